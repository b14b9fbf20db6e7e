#include "mirelon/run_notes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirelon {
namespace {

TEST(RunNotes, WrittenFilesNoteNamesNewAndOlderFiles) {
  struct Case {
    std::vector<std::string> written, older;
    const char* expected;
  };
  const Case cases[] = {
      {{}, {"kesta.prot"}, ""},
      {{"kesta.seq"}, {}, "Note: this run stopped after writing kesta.seq.\n"},
      {{"kesta.seq", "idarrayke.txt"},
       {"kesta.aco"},
       "Note: this run stopped after writing kesta.seq and idarrayke.txt; kesta.aco is older "
       "and not from this run.\n"},
      {{"kesta.seq", "idarrayke.txt", "kesta.aco"},
       {"kesta.prot", "hb.mac"},
       "Note: this run stopped after writing kesta.seq, idarrayke.txt and kesta.aco; kesta.prot "
       "and hb.mac are older and not from this run.\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(written_files_note(c.written, c.older), c.expected) << c.expected;
  }
}

TEST(RunNotes, UnreadArgumentsWarningNamesTheFileThisRunReads) {
  EXPECT_EQ(unread_arguments_warning({}, "rna.ct"), "");
  EXPECT_EQ(unread_arguments_warning({"duplex.ct"}, "rna.ct"),
            "Warning: the argument 'duplex.ct' is not read: name the CT file with -s (this run "
            "reads the CT file rna.ct).\n");
  EXPECT_EQ(unread_arguments_warning({"a", "", "b"}, "x.ct"),
            "Warning: the arguments 'a', '' and 'b' are not read: name the CT file with -s (this "
            "run reads the CT file x.ct).\n");
}

TEST(RunNotes, CapacityNotesNameTheirLimit) {
  const struct {
    Limit limit;
    const char* part;
  } cases[] = {
      {Limit::kCtLines, "at most 10000 nucleotide lines"},
      {Limit::kResidueIdLines, "(10000 for the restraints, 20000 for the shifts)"},
      {Limit::kRestraintLines, "at most 10000 restraint lines"},
      {Limit::kHelixEnds, "at most 10000 helix ends"},
      {Limit::kShiftEntries, "at most 19999 entries (740 nucleotides always fit, up to about 900"},
      {Limit::kTableRecords, "at most 20000 records"},
  };
  for (const auto& c : cases) {
    const std::string note = capacity_note(c.limit);
    EXPECT_EQ(note.rfind("Note: ", 0), 0U) << note;
    EXPECT_NE(note.find(c.part), std::string::npos) << note;
    EXPECT_EQ(note.back(), '\n');
  }
}

}  // namespace
}  // namespace mirelon
