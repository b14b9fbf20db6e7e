// What the tests of mirelon-nef's file share: the shipped statistics table,
// structures, settings, the file built from them and its loops read back.
#ifndef MIRELON_TESTS_NEF_NEF_TEST_SUPPORT_H_
#define MIRELON_TESTS_NEF_NEF_TEST_SUPPORT_H_

#include <map>
#include <string>
#include <vector>

#include "nef/nef_writer.h"
#include "prediction/stat_table.h"
#include "structure/structure.h"

namespace mirelon {

// The shipped statistics table.
extern const std::string kTablePath;

// Three strands: a left-out N, a G-U pair inside the duplex, a strand of one.
constexpr const char* kThreeStrands = "GGNGCC&GGCUCC&A\n((.(((&))))).&.\n";
// An H-type pseudoknot.
constexpr const char* kPseudoknot = "GGCGAAGCAGAACGCCAACUGC\n((((..[[[[..))))..]]]]\n";

// The shipped table, loaded once.
const StatTable& shipped_table();

// `content` parsed as a structure file named `name`.
Structure structure_of(const std::string& content, const std::string& name = "rna.db");

// Settings of a file named "test" from structure file `name`, with a fixed
// date and identifier.
NefSettings settings_for(const std::string& name);

// The NEF text of `structure`; the warnings go to `warnings` when given.
std::string nef_text(const Structure& structure, const NefSettings& settings,
                     std::vector<std::string>* warnings = nullptr);

// The error of building the NEF file of `structure`, which must fail.
std::string nef_error(const Structure& structure, const NefSettings& settings);

// The rows of the first loop of category `category` in `text`.
std::vector<std::map<std::string, std::string>> loop_rows(const std::string& text,
                                                          const std::string& category);

}  // namespace mirelon

#endif  // MIRELON_TESTS_NEF_NEF_TEST_SUPPORT_H_
