// The host's fixed-width text helpers. Every bank-file field goes through one
// of them, so each returns exactly the width asked for. Text is UTF-8; a byte
// that does not start a valid UTF-8 sequence is taken as a Latin-1 character.
// Widths and positions count characters, not bytes.
//
//   Ajusta("1", 6)          -> "000001"
//   Ajusta("0012345", 5)    -> "12345"      (only leading zeros are dropped)
//   Ajusta("123456", 5)     -> throws FieldError: a number is never cut
//   PadR("JOSÉ", 6)         -> "JOSÉ  "
//   Right("ABCDEF", 2)      -> "EF"
#pragma once

#include <string>
#include <string_view>

namespace pag {

// Characters (code points) of a text.
std::u32string DecodeText(std::string_view s);
std::string EncodeText(std::u32string_view s);
std::size_t TextLength(std::string_view s);

// s (blanks trimmed) right-aligned and zero-filled in exactly n characters.
// When longer, leading "0" are dropped; if a significant character would be
// lost, throws FieldError naming the value and the width.
std::string Ajusta(std::string_view s, int n);
// s left-aligned in exactly n characters, blank-filled and cut at n.
std::string PadR(std::string_view s, int n);
// s right-aligned in exactly n characters, blank-filled on the left. When
// longer, leading blanks are dropped; if anything else would be lost, throws
// FieldError.
std::string PadL(std::string_view s, int n);
// s repeated n times (nothing for n <= 0).
std::string Replicate(std::string_view s, int n);
// The last / first n characters of s (all of s when shorter, "" for n <= 0).
std::string Right(std::string_view s, int n);
std::string LeftStr(std::string_view s, int n);
// Characters from 1-based position `from`, at most `count` of them; "" where
// the position lies beyond the text (the host's Copy).
std::string Copy(std::string_view s, int from, int count);
// 1-based position of the first `what` in s, 0 when absent (the host's Pos).
int Pos(std::string_view what, std::string_view s);
// s without blanks at both ends.
std::string AllTrim(std::string_view s);
// The same, as a view into s (no copy): what AllTrim returns, for callers
// that only read it.
std::string_view TrimView(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
// True when s holds nothing but blanks.
bool EmptyString(std::string_view s);
// s with every `old` replaced by `repl`. n is the width the caller expects
// back; the result is s's width whenever old and repl have the same length.
std::string Replace(std::string_view old, std::string_view s, std::string_view repl, int n);
// ASCII upper case; other characters unchanged.
std::string UpperCase(std::string_view s);
// Case-insensitive (ASCII) equality.
bool SameText(std::string_view a, std::string_view b);
// True when s is not empty and holds only "0".."9".
bool IsDigits(std::string_view s);
// Only the digits of s.
std::string DigitsOnly(std::string_view s);
// Integer value of a text of digits (blanks around allowed); throws
// std::invalid_argument otherwise (the host's StrToInt).
long long StrToInt(std::string_view s);

}  // namespace pag
