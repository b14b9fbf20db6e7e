// What mirelon-check's report must be, checked on its text: self-contained
// (nothing it would load from elsewhere), its ids unique and every link
// within it pointing at one of them, its script present once.
#ifndef MIRELON_TESTS_CHECK_REPORT_CHECKS_H_
#define MIRELON_TESTS_CHECK_REPORT_CHECKS_H_

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "check/report_script.h"

namespace mirelon {

// The namespace names an SVG may hold; not addresses anything is loaded from.
inline constexpr std::string_view kNamespaceNames[] = {"http://www.w3.org/2000/svg",
                                                       "http://www.w3.org/1999/xlink"};

// Each text that follows `lead` in `html` up to `end`.
inline std::multiset<std::string> values_after(const std::string& html, const std::string& lead,
                                               char end) {
  std::multiset<std::string> values;
  for (size_t at = html.find(lead); at != std::string::npos; at = html.find(lead, at + 1)) {
    const size_t start = at + lead.size();
    values.insert(html.substr(start, html.find(end, start) - start));
  }
  return values;
}

// Everything in `html` that loads or links outside the page, repeated ids,
// and links within the page to no id; one line each, empty when none.
inline std::string report_problems(const std::string& html) {
  std::string problems;
  for (const char* lead : {" src=", " srcset=", " SRC="}) {
    if (html.find(lead) != std::string::npos) problems += std::string("has") + lead + "\n";
  }
  for (const char* call : {"fetch", "XMLHttpRequest", "WebSocket", "EventSource", "sendBeacon",
                           "@import", "import("}) {
    if (html.find(call) != std::string::npos) problems += std::string("calls ") + call + "\n";
  }
  std::string rest = html;
  for (std::string_view name : kNamespaceNames) {
    for (size_t at = rest.find(name); at != std::string::npos; at = rest.find(name)) {
      rest.erase(at, name.size());
    }
  }
  for (const char* scheme : {"http", "ftp:", "file:", "data:"}) {
    const size_t at = rest.find(scheme);
    if (at != std::string::npos) problems += "names an address: " + rest.substr(at, 40) + "\n";
  }
  // Links and ids of the markup; the script's text is not markup.
  std::string markup = html;
  const size_t script = markup.find("<script>");
  if (script != std::string::npos) {
    markup.erase(script, markup.find("</script>", script) - script);
  }
  std::multiset<std::string> links = values_after(markup, "href=\"", '"');
  for (const std::string& reference : values_after(markup, "url(", ')')) links.insert(reference);
  const std::multiset<std::string> ids = values_after(markup, " id=\"", '"');
  for (const std::string& id : ids) {
    if (ids.count(id) > 1) problems += "id " + id + " more than once\n";
  }
  for (const std::string& link : links) {
    if (link.empty() || link[0] != '#') {
      problems += "links outside the page: " + link + "\n";
    } else if (ids.count(link.substr(1)) == 0) {
      problems += "links to no id: " + link + "\n";
    }
  }
  return problems;
}

// Whether `html` holds the report's script once, whole, at the end of its
// body.
inline bool has_report_script(const std::string& html) {
  const std::string script = "<script>\n" + std::string(report_script()) + "</script>\n";
  const size_t at = html.find(script);
  return at != std::string::npos && html.find("<script", at + 1) == std::string::npos &&
         html.compare(at + script.size(), 7, "</body>") == 0;
}

}  // namespace mirelon

#endif  // MIRELON_TESTS_CHECK_REPORT_CHECKS_H_
