// The CT records of a text that mirelon's CT reader must accept, for tests.
#ifndef MIRELON_TESTS_CT_RECORDS_OK_H_
#define MIRELON_TESTS_CT_RECORDS_OK_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mirelon/ct_tables.h"

namespace mirelon {

inline std::vector<CtRecord> parse_ok(const std::string& content) {
  std::vector<CtRecord> records;
  std::string error;
  EXPECT_TRUE(parse_ct_records(content, "x.ct", &records, &error)) << error;
  return records;
}

}  // namespace mirelon

#endif  // MIRELON_TESTS_CT_RECORDS_OK_H_
