#include "writers/cnab/invariants.h"

#include <gtest/gtest.h>

#include <string>

namespace pag {
namespace {

struct FaultCase {
  const char* name;
  std::string content;
  long record;  // of the first problem; 0: none expected
  int column;
  const char* what;
};

TEST(CheckRecords, FindsEachKindOfFault) {
  const FaultCase cases[] = {
      {"sound file", "ABC\r\nDEF\r\n", 0, 0, ""},
      {"empty file", "", 1, 1, "empty"},
      {"short record", "ABC\r\nDE\r\n", 2, 3, "2 characters instead of 3"},
      {"long record", "ABCD\r\nDEF\r\n", 1, 4, "4 characters instead of 3"},
      {"empty line", "ABC\r\n\r\nDEF\r\n", 2, 1, "0 characters"},
      {"control byte", "ABC\r\nD\x01" "F\r\n", 2, 2, "0x01"},
      {"DEL", "AB\x7F\r\n", 1, 3, "0x7F"},
      {"non-ASCII", "AB\xC3\r\n", 1, 3, "0xC3"},
      {"bare LF", "ABC\nDEF\r\n", 1, 4, "LF without CR"},
      {"bare CR", "ABC\rDEF\r\n", 1, 4, "CR without LF"},
      {"last record open", "ABC\r\nDEF", 2, 4, "not ended"},
      {"CR at the very end", "ABC\r\nDEF\r", 2, 4, "CR without LF"},
  };
  for (const auto& c : cases) {
    const auto problems = CheckRecords(c.content, 3);
    if (c.record == 0) {
      EXPECT_TRUE(problems.empty()) << c.name << ": " << Describe(problems.front());
      continue;
    }
    ASSERT_FALSE(problems.empty()) << c.name;
    EXPECT_EQ(problems.front().record, c.record) << c.name;
    EXPECT_EQ(problems.front().column, c.column) << c.name;
    EXPECT_NE(problems.front().what.find(c.what), std::string::npos) << c.name << ": " << problems.front().what;
  }
}

TEST(CheckRecords, ListsEveryProblemUpToALimit) {
  const auto two = CheckRecords("A\x01\x02\r\n", 3);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[1].column, 3);
  std::string many;
  for (int i = 0; i < 500; ++i) many += "\x01\x01\x01\r\n";
  const auto problems = CheckRecords(many, 3);
  ASSERT_EQ(problems.size(), kMaxProblems);
  EXPECT_NE(problems.back().what.find("left out"), std::string::npos);
}

TEST(RequireValidRecords, ThrowsWithRecordAndColumn) {
  EXPECT_NO_THROW(RequireValidRecords("ABC\r\n", 3));
  try {
    RequireValidRecords("ABC\r\nAB\r\n", 3);
    FAIL() << "a short record passed";
  } catch (const RecordFileError& e) {
    EXPECT_NE(std::string(e.what()).find("record 2, column 3"), std::string::npos) << e.what();
  }
  const auto missing = CheckRecordFile("/nonexistent/folder/file.rem", 240);
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_NE(missing[0].what.find("cannot read"), std::string::npos);
}

}  // namespace
}  // namespace pag
