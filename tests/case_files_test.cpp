// The behavioural cases of tests/cases/*.case, run through the built shared
// library's exports. The Windows host test runs the same files on the DLL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/case_file.h"
#include "support/library_handle.h"

namespace {

const std::vector<testcase::Case>& Cases() {
  static const std::vector<testcase::Case> cases = testcase::LoadCases(testcase::DefaultCasesDir());
  return cases;
}

const testcase::Entry& Exports() {
  static const testlib::Library library;
  static const testcase::Entry entry{library.ore(), library.path()};
  return entry;
}

class CaseFile : public ::testing::TestWithParam<testcase::Case> {};

TEST_P(CaseFile, ResultMatches) {
  const testcase::Case& c = GetParam();
  bool consistent = false;
  const testcase::Bytes result = testcase::Run(c, Exports(), consistent);
  EXPECT_TRUE(consistent) << "address and count disagree, or the image was written";
  EXPECT_EQ(testcase::Hex(result), testcase::Hex(c.expected)) << c.file << ":" << c.line << " " << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, CaseFile, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<testcase::Case>& p) { return p.param.name; });

TEST(CaseFileFormat, RejectsAMapRowOfTheWrongLength) {
  EXPECT_THROW(testcase::ParseCases("case A\nore 0 0\nmap 24 2\n..\n...\nexpect empty\n", "t"),
               std::runtime_error);
}

TEST(CaseFileFormat, WordsAreLittleEndianLow16Bits) {
  const auto cases = testcase::ParseCases("case A\npath 0 0 0 0\nnone\nexpect words 1 -2 65537\n", "t");
  ASSERT_EQ(cases.size(), 1u);
  EXPECT_EQ(testcase::Hex(cases[0].expected), "01 00 FE FF 01 00");
}

}  // namespace
