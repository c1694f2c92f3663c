#include "writers/cnab/fields.h"

#include <limits>

#include "host/errors.h"
#include "host/text.h"

namespace pag {

namespace cnab_detail {

char32_t NextChar(std::string_view s, std::size_t& i) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) {
    ++i;
    return c;
  }
  std::size_t len = 0;
  char32_t cp = 0;
  if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; }
  else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; }
  else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; }
  bool ok = len > 0 && i + len <= s.size();
  for (std::size_t k = 1; ok && k < len; ++k) {
    const auto cc = static_cast<unsigned char>(s[i + k]);
    if ((cc & 0xC0) != 0x80) ok = false;
    else cp = (cp << 6) | (cc & 0x3F);
  }
  // Overlong forms, surrogates and values past Unicode are not UTF-8.
  if (ok && ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
             (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF))
    ok = false;
  if (!ok) {
    ++i;
    return c;  // a Latin-1 byte
  }
  i += len;
  return cp;
}

}  // namespace cnab_detail

// Never more characters than bytes: the result is written in place and
// cut to its length.
std::string CampoValido(std::string_view s) {
  std::string out(s.size(), ' ');
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size();) out[n++] = cnab_detail::CleanNext(s, i);
  out.resize(n);
  return out;
}

std::string NovosCamposValidos(std::string_view s) {
  std::string out(s.size(), ' ');
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size();) {
    const char c = cnab_detail::CleanNext(s, i);
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) out[n++] = c;
  }
  out.resize(n);
  return out;
}

std::string VirgDeciAssu(std::string_view value, int width) {
  constexpr int kRest = std::numeric_limits<int>::max();
  const auto length = static_cast<long long>(TextLength(AllTrim(value)));
  const long long count = static_cast<long long>(width) - (length - 1);
  std::string out = count > 0 ? std::string(static_cast<std::size_t>(count), '0') : std::string();
  // The split is made on the value as given, blanks included.
  int p = Pos(",", value);
  if (p == 0) p = Pos(".", value);
  // Without any separator p is 0: nothing before it and the whole value after.
  out += Copy(value, 1, p - 1);
  out += Copy(value, p + 1, kRest);
  return out;
}

std::string AmountField(Money amount, int width) {
  const std::string text = amount.ToString();
  if (amount.cents() < 0)
    throw FieldError("amount " + text + " is negative; a bank file never carries a negative amount");
  try {
    return Ajusta(VirgDeciAssu(text, width), width);
  } catch (const FieldError&) {
    throw FieldError("amount " + text + " does not fit in " + std::to_string(width) + " positions");
  }
}

namespace {

// The part of v before the picture's "-" (all of v without one).
std::string NumberPart(std::string_view value, std::string_view picture) {
  const int p = Pos("-", picture);
  const std::string v = AllTrim(value);
  return p > 0 ? Copy(v, 1, p - 1) : v;
}

// The part of v from the picture's "-" on, trimmed; one blank without "-".
std::string CheckPart(std::string_view value, std::string_view picture) {
  const int p = Pos("-", picture);
  if (p == 0) return " ";
  return AllTrim(Copy(AllTrim(value), p, std::numeric_limits<int>::max()));
}

}  // namespace

std::string Retorna_ContaCorrente(std::string_view value, std::string_view picture) {
  try {
    return NumberPart(value, picture);
  } catch (...) {
    return "0";
  }
}

std::string Retorna_DAC_ContaCorrente(std::string_view value, std::string_view picture) {
  try {
    return CheckPart(value, picture);
  } catch (...) {
    return "0";
  }
}

std::string Retorna_Agencia(std::string_view value, std::string_view picture) {
  try {
    return NumberPart(value, picture);
  } catch (...) {
    return "0";
  }
}

std::string Retorna_DV_Agencia(std::string_view value, std::string_view picture) {
  try {
    return CheckPart(value, picture);
  } catch (...) {
    return " ";
  }
}

}  // namespace pag
