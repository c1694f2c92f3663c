#include "host/decimal.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

namespace pag {
namespace {

using i128 = __int128;

constexpr std::int64_t kPow10[] = {1,         10,         100,         1000,        10000,
                                   100000,    1000000,    10000000,    100000000,   1000000000,
                                   10000000000LL, 100000000000LL, 1000000000000LL,
                                   10000000000000LL, 100000000000000LL, 1000000000000000LL,
                                   10000000000000000LL, 100000000000000000LL,
                                   1000000000000000000LL};

std::int64_t Narrow(i128 v) {
  if (v > std::numeric_limits<std::int64_t>::max() || v < std::numeric_limits<std::int64_t>::min())
    throw std::out_of_range("decimal value out of range");
  return static_cast<std::int64_t>(v);
}

// Divides rounding half away from zero.
i128 DivRound(i128 num, i128 den) {
  i128 q = num / den;
  i128 r = num % den;
  if (r < 0) r = -r;
  i128 d = den < 0 ? -den : den;
  if (2 * r >= d) q += ((num < 0) != (den < 0)) ? -1 : 1;
  return q;
}

i128 Scale(std::int64_t units, int from, int to) {
  return static_cast<i128>(units) * kPow10[to - from];
}

}  // namespace

Decimal Decimal::FromUnits(std::int64_t units, int scale) {
  if (scale < 0 || scale > kMaxScale) throw std::out_of_range("decimal scale out of range");
  Decimal d;
  d.units_ = units;
  d.scale_ = scale;
  return d;
}

Decimal Decimal::Parse(std::string_view text) {
  auto b = text.find_first_not_of(' ');
  auto e = text.find_last_not_of(' ');
  if (b == std::string_view::npos) throw std::invalid_argument("empty number");
  std::string_view t = text.substr(b, e - b + 1);
  bool negative = false;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  if (t.empty()) throw std::invalid_argument("number without digits: '" + std::string(text) + "'");
  auto commas = std::count(t.begin(), t.end(), ',');
  auto points = std::count(t.begin(), t.end(), '.');
  char decimal_sep = 0;
  if (commas && points) {
    decimal_sep = t.find_last_of(",.") == t.rfind(',') ? ',' : '.';
    if (std::count(t.begin(), t.end(), decimal_sep) != 1)
      throw std::invalid_argument("bad number: '" + std::string(text) + "'");
  } else if (commas == 1) {
    decimal_sep = ',';
  } else if (points == 1) {
    decimal_sep = '.';
  }
  for (std::size_t i = 0; i < t.size(); ++i) {
    bool sep = t[i] == ',' || t[i] == '.';
    bool digit_before = i > 0 && t[i - 1] >= '0' && t[i - 1] <= '9';
    bool digit_after = i + 1 < t.size() && t[i + 1] >= '0' && t[i + 1] <= '9';
    // "1." and ",5" are fine for the decimal separator; a thousands mark sits between digits.
    if (sep && !(digit_before && digit_after) && !(t[i] == decimal_sep && (digit_before || digit_after)))
      throw std::invalid_argument("bad number: '" + std::string(text) + "'");
  }
  i128 units = 0;
  int scale = 0;
  bool in_fraction = false;
  bool any_digit = false;
  for (char c : t) {
    if (c >= '0' && c <= '9') {
      any_digit = true;
      if (in_fraction) {
        if (scale == kMaxScale) {
          if (c != '0') throw std::out_of_range("too many decimals: '" + std::string(text) + "'");
          continue;
        }
        ++scale;
      }
      units = units * 10 + (c - '0');
      if (units > std::numeric_limits<std::int64_t>::max())
        throw std::out_of_range("number too large: '" + std::string(text) + "'");
    } else if (c == decimal_sep && !in_fraction) {
      in_fraction = true;
    } else if (c == ',' || c == '.') {
      if (in_fraction) throw std::invalid_argument("bad number: '" + std::string(text) + "'");
      // thousands mark
    } else {
      throw std::invalid_argument("bad number: '" + std::string(text) + "'");
    }
  }
  if (!any_digit) throw std::invalid_argument("number without digits: '" + std::string(text) + "'");
  return FromUnits(Narrow(negative ? -units : units), scale);
}

Decimal Decimal::Rescaled(int scale) const {
  if (scale < 0 || scale > kMaxScale) throw std::out_of_range("decimal scale out of range");
  if (scale >= scale_) return FromUnits(Narrow(Scale(units_, scale_, scale)), scale);
  return FromUnits(Narrow(DivRound(units_, kPow10[scale_ - scale])), scale);
}

Decimal Decimal::Normalized() const {
  Decimal d = *this;
  while (d.scale_ > 0 && d.units_ % 10 == 0) {
    d.units_ /= 10;
    --d.scale_;
  }
  return d;
}

std::string Decimal::ToString() const { return Format(scale_, '.'); }

std::string Decimal::Format(int decimals, char separator) const {
  Decimal d = Rescaled(decimals);
  i128 u = d.units_;
  bool negative = u < 0;
  if (negative) u = -u;
  std::string digits;
  do {
    digits.push_back(static_cast<char>('0' + static_cast<int>(u % 10)));
    u /= 10;
  } while (u > 0);
  while (static_cast<int>(digits.size()) <= decimals) digits.push_back('0');
  std::reverse(digits.begin(), digits.end());
  std::string out;
  if (negative) out.push_back('-');
  out.append(digits, 0, digits.size() - decimals);
  if (decimals > 0) {
    out.push_back(separator);
    out.append(digits, digits.size() - decimals, std::string::npos);
  }
  return out;
}

std::int64_t Decimal::Trunc() const { return units_ / kPow10[scale_]; }

Decimal operator+(const Decimal& a, const Decimal& b) {
  int s = std::max(a.scale_, b.scale_);
  return Decimal::FromUnits(Narrow(Scale(a.units_, a.scale_, s) + Scale(b.units_, b.scale_, s)), s);
}

Decimal operator-(const Decimal& a, const Decimal& b) {
  int s = std::max(a.scale_, b.scale_);
  return Decimal::FromUnits(Narrow(Scale(a.units_, a.scale_, s) - Scale(b.units_, b.scale_, s)), s);
}

Decimal operator*(const Decimal& a, const Decimal& b) {
  i128 u = static_cast<i128>(a.units_) * b.units_;
  int s = a.scale_ + b.scale_;
  while (s > Decimal::kMaxScale) {
    u = DivRound(u, 10);
    --s;
  }
  return Decimal::FromUnits(Narrow(u), s);
}

Decimal operator/(const Decimal& a, const Decimal& b) {
  if (b.units_ == 0) throw std::domain_error("division by zero");
  // a/b = (ua * 10^-sa) / (ub * 10^-sb); result scale kMaxScale.
  int shift = Decimal::kMaxScale - a.scale_ + b.scale_;
  i128 num = a.units_;
  i128 den = b.units_;
  if (shift >= 0) {
    num *= kPow10[shift];
  } else {
    den *= kPow10[-shift];
  }
  return Decimal::FromUnits(Narrow(DivRound(num, den)), Decimal::kMaxScale).Normalized();
}

bool operator==(const Decimal& a, const Decimal& b) { return (a <=> b) == 0; }

std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
  int s = std::max(a.scale_, b.scale_);
  return Scale(a.units_, a.scale_, s) <=> Scale(b.units_, b.scale_, s);
}

Decimal RoundDec(const Decimal& x, int n) {
  if (n >= x.scale()) return x;
  return x.Rescaled(n);
}

Money Money::FromDecimal(const Decimal& d) { return Money(d.Rescaled(2).units()); }

Money Money::Parse(std::string_view text) { return FromDecimal(Decimal::Parse(text)); }

std::string Money::ToString() const { return ToDecimal().Format(2, '.'); }

std::string Money::ToDisplay() const {
  std::string plain = ToDecimal().Format(2, ',');
  bool negative = !plain.empty() && plain[0] == '-';
  std::string digits = plain.substr(negative ? 1 : 0, plain.size() - 3 - (negative ? 1 : 0));
  std::string grouped;
  int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) grouped.push_back('.');
    grouped.push_back(digits[i]);
  }
  return (negative ? "-" : "") + grouped + plain.substr(plain.size() - 3);
}

}  // namespace pag
