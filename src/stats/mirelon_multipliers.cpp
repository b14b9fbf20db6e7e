// mirelon-multipliers: writes section 3 of a statistics table, the interval
// multipliers, to standard output.
//
// usage: mirelon-multipliers [-h]
//
// Row n=N (N = 2 to 121) holds, for prediction levels 1 to 11 (coverage p =
// 50 % to 99.9 %), the prediction-interval factor t((1+p)/2, N-1) * sqrt(1 + 1/N)
// of a normal sample of N observations; the last row, n>121, holds the normal
// quantile z((1+p)/2). The section ends with its terminator line, so it can
// be appended to sections 1 and 2 of a table as it stands. The quantiles come
// from Boost.Math.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "stats/multipliers.h"
#include "tool/tool_fail.h"

using mirelon::fail;

namespace {

constexpr const char* kUsage =
    "usage: mirelon-multipliers [-h]\n"
    "Writes the interval multipliers (section 3 of a statistics table) to standard output.\n";

}  // namespace

int main(int argc, char* argv[]) {
  if (argc == 2 && std::strcmp(argv[1], "-h") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc != 1) fail("%s", kUsage);
  const std::string section = mirelon::format_multiplier_section();
  std::fwrite(section.data(), 1, section.size(), stdout);
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    fail("mirelon-multipliers: cannot write standard output (%s)\n", std::strerror(errno));
  }
  return 0;
}
