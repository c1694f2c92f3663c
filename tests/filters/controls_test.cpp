// The controls' own rules: what a date edit, a number edit and a masked
// edit accept, one expectation per case.
#include <gtest/gtest.h>

#include "filters/controls.h"

namespace pag {
namespace {

TEST(DateEditTest, TypedTextAndItsDate) {
  struct Case {
    const char* text;
    bool blank, valid;
    std::optional<Date> date;
  };
  const Case cases[] = {
      {"", true, true, std::nullopt},
      {"  /  /    ", true, true, std::nullopt},
      {"10/12/2026", false, true, MakeDate(2026, 12, 10)},
      {"1/2/2026", false, true, MakeDate(2026, 2, 1)},
      {"2026-12-10", false, true, MakeDate(2026, 12, 10)},
      {"29/02/2024", false, true, MakeDate(2024, 2, 29)},
      {"29/02/2026", false, false, std::nullopt},
      {"31/04/2026", false, false, std::nullopt},
      {"10/12/26", false, false, std::nullopt},
      {"10/12/2026/1", false, false, std::nullopt},
      {"ab/12/2026", false, false, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    DateEdit e;
    e.SetText(c.text);
    EXPECT_EQ(e.IsBlank(), c.blank);
    EXPECT_EQ(e.IsValid(), c.valid);
    EXPECT_EQ(e.GetDate(), c.date);
  }
  DateEdit e;
  e.SetDate(MakeDate(2026, 1, 5));
  EXPECT_EQ(e.Text(), "05/01/2026");
}

TEST(NumberEditTest, AcceptsOnlyWhatTheEditCanHold) {
  struct Case {
    const char* text;
    bool accepted;
    const char* value;  // after the text was taken (or kept)
  };
  const Case cases[] = {
      {"", true, "0.00"},           {"1.234,56", true, "1234.56"}, {"1234.5", true, "1234.50"},
      {"9999999999,99", true, "9999999999.99"}, {"10000000000", false, "0.00"}, {"-1", false, "0.00"},
      {"1,234", false, "0.00"},     {"abc", false, "0.00"},        {"  7 ", true, "7.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    NumberEdit e;
    EXPECT_EQ(e.SetText(c.text), c.accepted);
    EXPECT_EQ(e.Value().ToString(), c.value);
  }
  NumberEdit e;
  e.SetValue(Decimal::Parse("1234.5"));
  EXPECT_EQ(e.Text(), "1234,50");
}

TEST(MaxNumberTest, BoundsTypedKeys) {
  struct Case {
    const char* text;
    char key;
    bool accepted;
  };
  const Case cases[] = {
      {"", '1', true},          {"123456789", '0', true}, {"1234567890", '0', false}, {"12", ',', true},
      {"12,", ',', false},      {"12,3", '4', true},      {"12,34", '5', false},       {"12", '-', false},
      {"12", 'a', false},       {"12,34", '\b', true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " + " + c.key);
    EXPECT_EQ(MaxNumber(c.text, 10, 2, c.key), c.accepted);
  }
}

TEST(ControlsTest, MaskEditCutsAtItsLengthInCharacters) {
  MaskEdit e(3);
  e.SetText("ÁÉÍÓÚ");
  EXPECT_EQ(e.Text(), "ÁÉÍ");
  e.SetMaxLength(2);
  EXPECT_EQ(e.Text(), "ÁÉ");
}

TEST(ControlsTest, WeekdayNamesAndPictures) {
  EXPECT_EQ(WeekdayName(MakeDate(2026, 12, 6)), "domingo");
  EXPECT_EQ(WeekdayName(MakeDate(2026, 12, 12)), "sábado");
  EXPECT_EQ(FormatMaskText("11222333000181", PictPess("J")), "11.222.333/0001-81");
  EXPECT_EQ(FormatMaskText("12345678909", PictPess("F")), "123.456.789-09");
  EXPECT_EQ(FormatMaskText("11.222.333/0001-81", PictPess("J")), "11.222.333/0001-81");
  EXPECT_EQ(FormatMaskText("123", PictPess("J")), "123");
  EXPECT_EQ(JoinKeyList({"0001", "0002"}), "_0001_0002");
  EXPECT_EQ(JoinKeyList({}), "");
}

}  // namespace
}  // namespace pag
