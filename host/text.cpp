#include "host/text.h"

#include <stdexcept>

#include "host/errors.h"

namespace pag {

std::u32string DecodeText(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    int len = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; }
    else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; }
    else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; }
    bool ok = len > 0 && i + len <= n;
    for (int k = 1; ok && k < len; ++k) {
      unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not UTF-8.
    if (ok && ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
               (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF))
      ok = false;
    if (ok) {
      out.push_back(cp);
      i += len;
    } else {
      out.push_back(c);  // Latin-1
      ++i;
    }
  }
  return out;
}

std::string EncodeText(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t cp : s) {
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

namespace {
bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}
}  // namespace

std::size_t TextLength(std::string_view s) { return IsAscii(s) ? s.size() : DecodeText(s).size(); }

std::string Ajusta(std::string_view s, int n) {
  if (n < 0) n = 0;
  std::string t = AllTrim(s);
  std::size_t len = TextLength(t);
  if (len <= static_cast<std::size_t>(n)) return std::string(n - len, '0') + t;
  std::size_t drop = len - n;
  std::size_t zeros = t.find_first_not_of('0');
  if (zeros == std::string::npos) zeros = t.size();
  if (zeros < drop)
    throw FieldError("value '" + std::string(s) + "' does not fit in " + std::to_string(n) + " positions");
  return t.substr(drop);  // only ASCII zeros dropped, so bytes == characters here
}

std::string PadR(std::string_view s, int n) {
  if (n <= 0) return {};
  if (IsAscii(s)) {
    if (s.size() >= static_cast<std::size_t>(n)) return std::string(s.substr(0, n));
    return std::string(s) + std::string(n - s.size(), ' ');
  }
  std::u32string u = DecodeText(s);
  if (u.size() > static_cast<std::size_t>(n)) u.resize(n);
  return EncodeText(u) + std::string(n - u.size(), ' ');
}

std::string PadL(std::string_view s, int n) {
  if (n < 0) n = 0;
  std::u32string u = DecodeText(s);
  std::size_t len = u.size();
  if (len <= static_cast<std::size_t>(n)) return std::string(n - len, ' ') + std::string(s);
  std::size_t drop = len - n;
  for (std::size_t i = 0; i < drop; ++i)
    if (u[i] != U' ')
      throw FieldError("value '" + std::string(s) + "' does not fit in " + std::to_string(n) + " positions");
  return EncodeText(u.substr(drop));
}

std::string Replicate(std::string_view s, int n) {
  std::string out;
  if (n <= 0) return out;
  out.reserve(s.size() * n);
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

std::string Right(std::string_view s, int n) {
  if (n <= 0) return {};
  if (IsAscii(s)) return std::string(s.size() <= static_cast<std::size_t>(n) ? s : s.substr(s.size() - n));
  std::u32string u = DecodeText(s);
  if (u.size() <= static_cast<std::size_t>(n)) return EncodeText(u);
  return EncodeText(std::u32string_view(u).substr(u.size() - n));
}

std::string LeftStr(std::string_view s, int n) { return Copy(s, 1, n); }

std::string Copy(std::string_view s, int from, int count) {
  if (from < 1) from = 1;
  if (count <= 0) return {};
  if (IsAscii(s)) {
    if (static_cast<std::size_t>(from) > s.size()) return {};
    return std::string(s.substr(from - 1, count));
  }
  std::u32string u = DecodeText(s);
  if (static_cast<std::size_t>(from) > u.size()) return {};
  return EncodeText(std::u32string_view(u).substr(from - 1, count));
}

int Pos(std::string_view what, std::string_view s) {
  if (what.empty()) return 0;
  auto p = s.find(what);
  if (p == std::string_view::npos) return 0;
  return static_cast<int>(TextLength(s.substr(0, p))) + 1;
}

// One copy of what is left; blanks are found in place.
std::string_view TrimView(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return s.substr(b, e - b);
}

std::string AllTrim(std::string_view s) { return std::string(TrimView(s)); }

std::string TrimLeft(std::string_view s) {
  auto b = s.find_first_not_of(' ');
  return b == std::string_view::npos ? std::string() : std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
  auto e = s.find_last_not_of(' ');
  return e == std::string_view::npos ? std::string() : std::string(s.substr(0, e + 1));
}

bool EmptyString(std::string_view s) {
  for (char c : s)
    if (c != ' ') return false;
  return true;
}

std::string Replace(std::string_view old, std::string_view s, std::string_view repl, int /*n*/) {
  if (old.empty()) return std::string(s);
  std::string out;
  std::size_t i = 0;
  while (i < s.size()) {
    if (s.compare(i, old.size(), old) == 0) {
      out += repl;
      i += old.size();
    } else {
      out.push_back(s[i++]);
    }
  }
  return out;
}

std::string UpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

bool IsDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string DigitsOnly(std::string_view s) {
  std::string out;
  for (char c : s)
    if (c >= '0' && c <= '9') out.push_back(c);
  return out;
}

long long StrToInt(std::string_view s) {
  std::string t = AllTrim(s);
  bool neg = false;
  std::string_view v = t;
  if (!v.empty() && (v[0] == '-' || v[0] == '+')) {
    neg = v[0] == '-';
    v.remove_prefix(1);
  }
  if (!IsDigits(v)) throw std::invalid_argument("'" + std::string(s) + "' is not a valid integer value");
  long long r = 0;
  for (char c : v) {
    if (r > (9223372036854775807LL - (c - '0')) / 10)
      throw std::invalid_argument("'" + std::string(s) + "' is not a valid integer value");
    r = r * 10 + (c - '0');
  }
  return neg ? -r : r;
}

}  // namespace pag
