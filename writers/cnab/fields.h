// The field helpers every bank writer shares: bank-safe text, amounts with
// an implied decimal point, and the split of an agency or account number
// into number and check digit by its display picture.
//
//   CampoValido("José da Conceição & Cia.")  -> "JOSE DA CONCEICAO   CIA."
//   NovosCamposValidos("12.345.678/0001-95")  -> "12345678000195"
//   VirgDeciAssu("123,45", 15)               -> "000000000012345"
//   AmountField(Money::FromCents(12345), 15)  -> "000000000012345"
//   Retorna_ContaCorrente("123457", "99999-9")     -> "12345"
//   Retorna_DAC_ContaCorrente("123457", "99999-9") -> "7"
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "host/decimal.h"

namespace pag {

// Free text made safe for a bank file, one output position per input
// character (UTF-8, or Latin-1 bytes that are not valid UTF-8). ASCII
// letters are upper-cased; blank, "%", ",", "-", ".", "/", "\", digits and
// letters stay; the accented vowels of Latin-1 and Ç/ç become the plain
// upper-case letter; every other character becomes a blank. The result is
// printable ASCII.
std::string CampoValido(std::string_view s);

// The letters and digits of a text after the same mapping as CampoValido;
// everything else is dropped ("01.310-100" -> "01310100").
std::string NovosCamposValidos(std::string_view s);

// An amount given as text with one decimal separator ("123,45", "0.00") as
// digits with the decimal point implied, zero-filled on the left to `width`.
// The value is split at its first "," (or, without a comma, at its first
// "."), so "1.234,56" with width 10 gives "0001.23456". A value without any
// separator comes back as zeros + the value: width + 1 characters, which the
// record builder refuses; use AmountField for Money.
std::string VirgDeciAssu(std::string_view value, int width);

// An amount in exactly `width` digits, in cents with the decimal point
// implied: Money formatted "#0.00", through VirgDeciAssu and Ajusta. Throws
// FieldError for a negative amount or one with more digits than the width.
std::string AmountField(Money amount, int width);

// The company's agency and account split by their display pictures, where
// "-" marks the first position of the check digit (the stored value has no
// "-"). With p the position of "-" in the picture and v the trimmed value:
// the number is the first p-1 characters of v (all of v without "-"), the
// check digit the rest of v from position p, trimmed (one blank without "-").
//
//   Retorna_ContaCorrente("123457", "99999-9")  -> "12345"
//   Retorna_Agencia("0123", "9999")             -> "0123"
//   Retorna_DV_Agencia("0123", "9999")          -> " "
//
// On any failure the number functions and Retorna_DAC_ContaCorrente give
// "0", Retorna_DV_Agencia one blank.
std::string Retorna_ContaCorrente(std::string_view value, std::string_view picture);
std::string Retorna_DAC_ContaCorrente(std::string_view value, std::string_view picture);
std::string Retorna_Agencia(std::string_view value, std::string_view picture);
std::string Retorna_DV_Agencia(std::string_view value, std::string_view picture);

namespace cnab_detail {

// The next character of s from byte i (advanced past it), decoded exactly
// as DecodeText does: valid UTF-8, otherwise one Latin-1 byte.
char32_t NextChar(std::string_view s, std::size_t& i);

// The CampoValido mapping of one character (already an ASCII byte).
constexpr char CleanChar(char32_t c) {
  if (c >= U'a' && c <= U'z') return static_cast<char>(c - U'a' + U'A');
  if ((c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9')) return static_cast<char>(c);
  switch (c) {
    case U' ': case U'%': case U',': case U'-': case U'.': case U'/': case U'\\':
      return static_cast<char>(c);
    // À Á Â Ã Ä and à á â ã ä (not Å, å)
    case 0xC0: case 0xC1: case 0xC2: case 0xC3: case 0xC4:
    case 0xE0: case 0xE1: case 0xE2: case 0xE3: case 0xE4:
      return 'A';
    case 0xC8: case 0xC9: case 0xCA: case 0xCB:
    case 0xE8: case 0xE9: case 0xEA: case 0xEB:
      return 'E';
    case 0xCC: case 0xCD: case 0xCE: case 0xCF:
    case 0xEC: case 0xED: case 0xEE: case 0xEF:
      return 'I';
    case 0xD2: case 0xD3: case 0xD4: case 0xD5: case 0xD6:
    case 0xF2: case 0xF3: case 0xF4: case 0xF5: case 0xF6:
      return 'O';
    case 0xD9: case 0xDA: case 0xDB: case 0xDC:
    case 0xF9: case 0xFA: case 0xFB: case 0xFC:
      return 'U';
    case 0xC7: case 0xE7:
      return 'C';
    default:
      return ' ';
  }
}

// CleanChar of every character from U+0000 to U+00FF; every character past
// them becomes a blank.
inline constexpr std::array<char, 256> kCleanLatin1 = [] {
  std::array<char, 256> of{};
  for (std::size_t c = 0; c < of.size(); ++c) of[c] = CleanChar(static_cast<char32_t>(c));
  return of;
}();

// The CampoValido of the character at byte i of s, with i moved past it:
// ASCII and two-byte UTF-8 (the accented letters) decoded here as NextChar
// decodes them, anything else by NextChar.
inline char CleanNext(std::string_view s, std::size_t& i) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) {
    ++i;
    return kCleanLatin1[c];
  }
  if ((c & 0xE0) == 0xC0 && i + 1 < s.size()) {
    const auto cc = static_cast<unsigned char>(s[i + 1]);
    const unsigned cp = ((c & 0x1Fu) << 6) | (cc & 0x3Fu);
    if ((cc & 0xC0) == 0x80 && cp >= 0x80) {  // not an overlong form
      i += 2;
      return cp < 0x100 ? kCleanLatin1[cp] : ' ';
    }
  }
  return CleanChar(NextChar(s, i));
}

}  // namespace cnab_detail

}  // namespace pag
