// The fixed-width text helpers and the exact numbers under arbitrary input.
// The first byte picks a width (0..63), the rest is the text. Each helper
// either gives exactly the width asked for or refuses with its own error;
// a number that parses prints back to the same value; arithmetic either
// gives a value or refuses with std::out_of_range / std::domain_error.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "host/decimal.h"
#include "host/errors.h"
#include "host/text.h"

namespace {

void Require(bool ok) {
  if (!ok) std::abort();
}

std::optional<pag::Decimal> ParseDecimal(std::string_view s) {
  try {
    return pag::Decimal::Parse(s);
  } catch (const std::invalid_argument&) {
  } catch (const std::out_of_range&) {
  }
  return std::nullopt;
}

void Arithmetic(const pag::Decimal& a, const pag::Decimal& b) {
  auto guarded = [](auto f) {
    try {
      f();
    } catch (const std::out_of_range&) {
    } catch (const std::domain_error&) {
    }
  };
  guarded([&] { (void)(a + b).ToString(); });
  guarded([&] { (void)(a - b).ToString(); });
  guarded([&] { (void)(a * b).ToString(); });
  guarded([&] { (void)(a / b).ToString(); });
  guarded([&] { (void)(-a).ToString(); });
  guarded([&] { (void)pag::RoundDec(a, static_cast<int>(b.units() & 7)).ToString(); });
  guarded([&] { (void)(a <=> b); });
  guarded([&] { (void)a.Normalized().Trunc(); });
  guarded([&] {
    const pag::Money m = pag::Money::FromDecimal(a);
    (void)m.ToString();
    (void)m.ToDisplay();
    (void)(m + pag::Money::FromDecimal(b)).ToString();
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int n = data[0] % 64;
  const std::string_view s(reinterpret_cast<const char*>(data + 1), size - 1);

  Require(pag::TextLength(pag::PadR(s, n)) == static_cast<std::size_t>(n));
  try {
    Require(pag::TextLength(pag::Ajusta(s, n)) == static_cast<std::size_t>(n));
  } catch (const pag::FieldError&) {
  }
  try {
    Require(pag::TextLength(pag::PadL(s, n)) == static_cast<std::size_t>(n));
  } catch (const pag::FieldError&) {
  }
  Require(pag::TextLength(pag::Right(s, n)) <= static_cast<std::size_t>(n));
  Require(pag::TextLength(pag::Copy(s, n, n)) <= static_cast<std::size_t>(n));
  Require(pag::DecodeText(pag::EncodeText(pag::DecodeText(s))) == pag::DecodeText(s));
  (void)pag::Pos(s.substr(0, n % 4), s);
  (void)pag::Replace(s.substr(0, n % 3), s, "ab", n);
  (void)pag::AllTrim(s);
  (void)pag::DigitsOnly(s);
  try {
    (void)pag::StrToInt(s);
  } catch (const std::invalid_argument&) {
  }

  // A number that parses prints back to itself, and as money too.
  const auto a = ParseDecimal(s);
  if (a) {
    const auto again = ParseDecimal(a->ToString());
    Require(again && *again == *a && again->scale() == a->scale());
    try {
      const pag::Money m = pag::Money::Parse(s);
      Require(pag::Money::Parse(m.ToString()) == m);
      (void)m.ToDisplay();
    } catch (const std::out_of_range&) {
    }
  }
  // Two numbers, split where the text has a blank.
  const auto blank = s.find(' ');
  if (blank != std::string_view::npos) {
    const auto x = ParseDecimal(s.substr(0, blank)), y = ParseDecimal(s.substr(blank + 1));
    if (x && y) Arithmetic(*x, *y);
  }
  return 0;
}
