// The script of mirelon-check's HTML report (report_script.js, compiled in
// at build time): zoom, pan and cursor read-out of the spectra.
#ifndef MIRELON_CHECK_REPORT_SCRIPT_H_
#define MIRELON_CHECK_REPORT_SCRIPT_H_

#include <string_view>

namespace mirelon {

// The script's text, as report_script.js holds it.
std::string_view report_script();

}  // namespace mirelon

#endif  // MIRELON_CHECK_REPORT_SCRIPT_H_
