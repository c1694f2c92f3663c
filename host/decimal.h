// Exact decimal numbers: Money in integer cents, Decimal with a fixed scale.
// No binary floating point ever holds an amount.
//
//   Money m = Money::Parse("1.234,56");   // 123456 cents
//   m.ToString();                        // "1234.56"  (pattern "#0.00")
//   Decimal pct = Decimal::Parse("4.5");  // 45 with scale 1
//   Money tax = Money::FromDecimal(m.ToDecimal() * pct / Decimal(100));  // rounded half away from zero
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace pag {

// A fixed-point decimal: units * 10^-scale, scale 0..9.
class Decimal {
 public:
  static constexpr int kMaxScale = 9;

  constexpr Decimal() = default;
  constexpr Decimal(std::int64_t integer) : units_(integer), scale_(0) {}  // NOLINT(implicit)
  static Decimal FromUnits(std::int64_t units, int scale);

  // Parses "123", "-1.5", "1.234,56", "1234,56", "1,234.56", with blanks
  // around. Where both "," and "." occur, the last one is the decimal
  // separator and the others are thousands marks; where one of them occurs
  // once, it is the decimal separator; several of one kind are thousands
  // marks. Throws std::invalid_argument on anything else, std::out_of_range
  // when the value does not fit.
  static Decimal Parse(std::string_view text);

  std::int64_t units() const { return units_; }
  int scale() const { return scale_; }
  bool IsZero() const { return units_ == 0; }
  bool IsNegative() const { return units_ < 0; }

  // Same value with another scale; reducing the scale rounds half away from zero.
  Decimal Rescaled(int scale) const;
  // Drops trailing zero decimals.
  Decimal Normalized() const;

  // Plain text with '.' as separator and exactly scale() decimals ("-12.50").
  std::string ToString() const;
  // Text with the given number of decimals and separator, no thousands marks.
  std::string Format(int decimals, char separator = '.') const;
  // Integer part, truncated toward zero.
  std::int64_t Trunc() const;

  friend Decimal operator+(const Decimal& a, const Decimal& b);
  friend Decimal operator-(const Decimal& a, const Decimal& b);
  friend Decimal operator*(const Decimal& a, const Decimal& b);
  // Division keeps kMaxScale decimals, rounded half away from zero.
  friend Decimal operator/(const Decimal& a, const Decimal& b);
  Decimal operator-() const { return FromUnits(-units_, scale_); }
  Decimal& operator+=(const Decimal& o) { return *this = *this + o; }
  Decimal& operator-=(const Decimal& o) { return *this = *this - o; }

  friend bool operator==(const Decimal& a, const Decimal& b);
  friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b);

 private:
  std::int64_t units_ = 0;
  int scale_ = 0;
};

// x rounded to n decimal places, half away from zero (the host's RoundDec).
Decimal RoundDec(const Decimal& x, int n);

// An amount of money in integer cents.
class Money {
 public:
  constexpr Money() = default;
  static constexpr Money FromCents(std::int64_t cents) { return Money(cents); }
  // Exact conversion; a value with more than two decimals is rounded half
  // away from zero (callers that must refuse such values test first).
  static Money FromDecimal(const Decimal& d);
  // Parses like Decimal::Parse; more than two decimals are rounded.
  static Money Parse(std::string_view text);

  constexpr std::int64_t cents() const { return cents_; }
  Decimal ToDecimal() const { return Decimal::FromUnits(cents_, 2); }
  bool IsZero() const { return cents_ == 0; }

  // "#0.00": no thousands marks, two decimals, '.' as the separator,
  // whatever the machine's locale.
  std::string ToString() const;
  // "#,##0.00" in the Brazilian way: "1.234.567,89".
  std::string ToDisplay() const;

  constexpr Money operator+(Money o) const { return Money(cents_ + o.cents_); }
  constexpr Money operator-(Money o) const { return Money(cents_ - o.cents_); }
  constexpr Money operator-() const { return Money(-cents_); }
  constexpr Money& operator+=(Money o) { cents_ += o.cents_; return *this; }
  constexpr Money& operator-=(Money o) { cents_ -= o.cents_; return *this; }
  constexpr auto operator<=>(const Money&) const = default;

 private:
  constexpr explicit Money(std::int64_t cents) : cents_(cents) {}
  std::int64_t cents_ = 0;
};

}  // namespace pag
