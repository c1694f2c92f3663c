#include <gtest/gtest.h>

#include "host/errors.h"
#include "host/text.h"

namespace pag {
namespace {

struct AjustaCase {
  const char* in;
  int width;
  const char* out;
};

TEST(Ajusta, PadsTrimsAndDropsOnlyLeadingZeros) {
  const AjustaCase cases[] = {
      {"1", 6, "000001"},     {"", 3, "000"},         {"  12 ", 4, "0012"},
      {"0012345", 5, "12345"}, {"000", 1, "0"},        {"12345", 5, "12345"},
      {"0", 0, ""},           {"00000000000000012345", 15, "000000000012345"},
  };
  for (const auto& c : cases) EXPECT_EQ(Ajusta(c.in, c.width), c.out) << c.in << " / " << c.width;
}

TEST(Ajusta, RefusesToCutASignificantCharacter) {
  try {
    Ajusta("123456", 5);
    FAIL() << "a number was cut";
  } catch (const FieldError& e) {
    EXPECT_NE(std::string(e.what()).find("123456"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("5"), std::string::npos);
  }
  EXPECT_THROW(Ajusta("0100", 2), FieldError);
}

TEST(PadRAndPadL, ExactWidthCountingCharacters) {
  EXPECT_EQ(PadR("ABC", 5), "ABC  ");
  EXPECT_EQ(PadR("ABCDEF", 3), "ABC");
  EXPECT_EQ(PadR("JOSÉ", 6), "JOSÉ  ");  // É is one position
  EXPECT_EQ(TextLength(PadR("AÇÃO LTDA", 4)), 4u);
  EXPECT_EQ(PadR("X", 0), "");
  EXPECT_EQ(PadL("12", 5), "   12");
  EXPECT_EQ(PadL("   12", 3), " 12");
  EXPECT_THROW(PadL("1234", 3), FieldError);
}

TEST(Substrings, NeverThrowWhereTheHostGivesEmptyText) {
  EXPECT_EQ(Right("ABCDEF", 2), "EF");
  EXPECT_EQ(Right("AB", 5), "AB");
  EXPECT_EQ(Right("AB", -1), "");
  EXPECT_EQ(LeftStr("ABCDEF", 2), "AB");
  EXPECT_EQ(LeftStr("", 2), "");
  EXPECT_EQ(Copy("ABCDEF", 5, 10), "EF");
  EXPECT_EQ(Copy("ABC", 9, 2), "");
  EXPECT_EQ(Copy("ABC", 0, 2), "AB");
  EXPECT_EQ(Right("CONCEIÇÃO", 3), "ÇÃO");
  EXPECT_EQ(Pos("-", "99999-9"), 6);
  EXPECT_EQ(Pos("-", "9999"), 0);
}

TEST(TrimAndTests, Blanks) {
  EXPECT_EQ(AllTrim("  a b  "), "a b");
  EXPECT_EQ(AllTrim("   "), "");
  EXPECT_EQ(AllTrim(""), "");
  EXPECT_EQ(AllTrim(" a"), "a");
  EXPECT_EQ(AllTrim("a "), "a");
  EXPECT_EQ(AllTrim("\ta\t"), "\ta\t");  // only blanks are trimmed
  EXPECT_FALSE(EmptyString("\t"));
  EXPECT_TRUE(EmptyString("   "));
  EXPECT_TRUE(EmptyString(""));
  EXPECT_FALSE(EmptyString(" 0 "));
  EXPECT_EQ(Replicate("0", 4), "0000");
  EXPECT_EQ(Replicate(" ", 0), "");
}

TEST(Replace, TurnsBlanksIntoZerosKeepingTheWidth) {
  EXPECT_EQ(Replace(" ", "  1234 567 89 ", "0", 14), "00123405670890");
  EXPECT_EQ(Replace("ab", "xabyab", "Z", 6), "xZyZ");
}

TEST(DecodeText, Latin1BytesAreOneCharacterEach) {
  std::string latin1 = "JOS\xC9";  // É in Latin-1
  EXPECT_EQ(TextLength(latin1), 4u);
  EXPECT_EQ(DecodeText(latin1).back(), U'\u00C9');
  EXPECT_EQ(TextLength("JOSÉ"), 4u);
  EXPECT_EQ(TextLength("\xE0\x80\x80"), 3u);  // overlong form: three Latin-1 characters
}

TEST(StrToInt, DigitsOnly) {
  EXPECT_EQ(StrToInt(" 0011 "), 11);
  EXPECT_EQ(StrToInt("-3"), -3);
  EXPECT_THROW(StrToInt("1a"), std::invalid_argument);
  EXPECT_THROW(StrToInt(""), std::invalid_argument);
  EXPECT_THROW(StrToInt("99999999999999999999"), std::invalid_argument);
}

}  // namespace
}  // namespace pag

namespace pag {
namespace {

TEST(TrimView, SameTextAsAllTrimWithoutACopy) {
  for (const char* s : {"", " ", "   ", "a", " a", "a ", "  a b  ", "\ta\t", "JOSÉ  "}) {
    EXPECT_EQ(TrimView(s), AllTrim(s)) << '[' << s << ']';
  }
  const std::string text = "  0001 ";
  const std::string_view t = TrimView(text);
  EXPECT_EQ(t.data(), text.data() + 2);  // a view into the text itself
}

}  // namespace
}  // namespace pag
