#include <gtest/gtest.h>

#include "host/decimal.h"

namespace pag {
namespace {

TEST(DecimalParse, SeparatorsAndSigns) {
  struct C {
    const char* in;
    std::int64_t units;
    int scale;
  } cases[] = {
      {"123", 123, 0},        {"-1.5", -15, 1},     {"1.234,56", 123456, 2}, {"1234,56", 123456, 2},
      {"1,234.56", 123456, 2}, {"1.234.567", 1234567, 0}, {" 0,00 ", 0, 2},     {"+7", 7, 0},
  };
  for (const auto& c : cases) {
    Decimal d = Decimal::Parse(c.in);
    EXPECT_EQ(d.units(), c.units) << c.in;
    EXPECT_EQ(d.scale(), c.scale) << c.in;
  }
  for (const char* bad : {"", " ", "-", "1a", "1,2,3.4.5", "1.2.3,4,5", "1,,2"})
    EXPECT_ANY_THROW(Decimal::Parse(bad)) << bad;
  EXPECT_THROW(Decimal::Parse("99999999999999999999"), std::out_of_range);
}

TEST(RoundDec, HalfAwayFromZero) {
  struct C {
    const char* in;
    int n;
    const char* out;
  } cases[] = {
      {"2.345", 2, "2.35"}, {"-2.345", 2, "-2.35"}, {"2.344", 2, "2.34"},
      {"0.005", 2, "0.01"}, {"-0.005", 2, "-0.01"}, {"1.5", 0, "2"},
      {"2.5", 0, "3"},      {"1.2", 3, "1.2"},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundDec(Decimal::Parse(c.in), c.n).ToString(), c.out) << c.in;
}

TEST(DecimalArithmetic, ExactSumsAndDivision) {
  Decimal sum;
  for (int i = 0; i < 10; ++i) sum += Decimal::Parse("0.1");
  EXPECT_EQ(sum, Decimal(1));
  EXPECT_EQ((Decimal::Parse("1000.00") * Decimal::Parse("4.5") / Decimal(100)).ToString(), "45");
  EXPECT_EQ(RoundDec(Decimal(1) / Decimal(3), 2).ToString(), "0.33");
  EXPECT_EQ(RoundDec(Decimal(2) / Decimal(3), 2).ToString(), "0.67");
  EXPECT_THROW(Decimal(1) / Decimal(0), std::domain_error);
  EXPECT_TRUE(Decimal::Parse("5000.00") == Decimal(5000));
  EXPECT_TRUE(Decimal::Parse("4999.99") < Decimal(5000));
}

TEST(Money, FormatsIndependentOfLocale) {
  EXPECT_EQ(Money::FromCents(12345).ToString(), "123.45");
  EXPECT_EQ(Money::FromCents(5).ToString(), "0.05");
  EXPECT_EQ(Money::FromCents(0).ToString(), "0.00");
  EXPECT_EQ(Money::FromCents(-150).ToString(), "-1.50");
  EXPECT_EQ(Money::FromCents(123456789).ToDisplay(), "1.234.567,89");
  EXPECT_EQ(Money::FromCents(99).ToDisplay(), "0,99");
  EXPECT_EQ(Money::Parse("10,005").cents(), 1001);  // rounded half away from zero
  EXPECT_EQ(Money::Parse("1.234,56").cents(), 123456);
}

}  // namespace
}  // namespace pag
