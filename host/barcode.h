// Barcode helpers: the pieces of a bank slip's 44-digit barcode and of its
// 47-digit typed line, their check digits, the utility-bill form, and the
// payee's agency and account where a bank's free field carries them.
//
//   BarcodePieces p = BarcodePieces::FromTypedLine(
//       "00190.00009 03432.568008 00010.035178 1 91700000014780");
//   p.bank();      // "001"
//   p.amount;      // Money::FromCents(14780)
//   p.Barcode();   // "00191917000000147800000003432568000001003517"
//   BancoCdBarra(p.Barcode());   // "001"
//   Mod11_B7("1900000000002");   // "8"
//
// Positions of the barcode: bank 1-3, currency 4, general check digit 5,
// due-date factor 6-9, amount in cents 10-19, free field 20-44. Positions of
// the typed line's digits: field 1 is 1-10 (bank, currency, free field 1-5,
// check digit), field 2 is 11-21 (free field 6-15, check digit), field 3 is
// 22-32 (free field 16-25, check digit), then the general check digit 33,
// the factor 34-37 and the amount 38-47.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "host/decimal.h"

namespace pag {

// A barcode or typed line of the wrong length or with characters that do
// not belong there. The message names the value and what is wrong.
class BarcodeError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// The digits of a registration number (CNPJ/CPF) or a code, without its
// mask: Nr_Codigo("12.345.678/0001-95") -> "12345678000195".
std::string Nr_Codigo(std::string_view s);

// One check character of a digit string, modulo 11 with weights 2 to 7
// from the right (repeating): remainder r of the weighted sum gives 11 - r,
// except that remainder 0 gives "0" and remainder 1 gives "P". This is
// Bradesco's rule for the check digits of its agencies (4 digits: weights
// 5,4,3,2) and accounts (7 digits), as published account validators compute
// them, and for its "nosso número" (wallet 19 with 00000000002 gives "8").
// Blanks around are ignored; any other character that is not a digit, or
// no digit at all, throws BarcodeError.
std::string Mod11_B7(std::string_view digits);

// Check digit of the typed line's fields and of utility bills of value
// type 6 or 7: weights 2,1 from the right, the digits of each product
// summed, (10 - sum mod 10) mod 10.
int Mod10Digit(std::string_view digits);
// General check digit of a bank slip (position 5), over the 43 other
// digits: weights 2 to 9 from the right, 11 - (sum mod 11), where 0, 10
// and 11 give 1.
int BankSlipMod11Digit(std::string_view digits);
// General check digit of a utility bill of value type 8 or 9: weights 2 to
// 9 from the right, 11 - (sum mod 11), where remainders 0 and 1 give 0.
int UtilityMod11Digit(std::string_view digits);

// The pieces of a bank slip's barcode, as text of their widths, and the
// amount in cents. The 44 digits are kept in place, in the barcode's order,
// and each piece is a view of them (valid as long as the pieces): making
// the pieces of a slip allocates nothing. Pieces made by default are empty.
struct BarcodePieces {
  std::string_view bank() const { return Digits(0, 3); }
  std::string_view currency() const { return Digits(3, 1); }
  std::string_view checkDigit() const { return Digits(4, 1); }  // the general check digit
  std::string_view factor() const { return Digits(5, 4); }      // due-date factor
  std::string_view amountDigits() const { return Digits(9, 10); }  // amount in cents
  std::string_view factorAndAmount() const { return Digits(5, 14); }  // positions 6-19
  std::string_view freeField() const { return Digits(19, 25); }
  Money amount;

  // From the 44 digits of a barcode (blanks around are ignored). Throws
  // BarcodeError for another length or a character that is not a digit.
  static BarcodePieces FromBarcode(std::string_view barcode);
  // From a typed line of 47 digits; blanks and dots between them are
  // ignored, anything else throws BarcodeError, as does another count of
  // digits. The three field check digits are left out (see
  // TypedLineProblem to check them).
  static BarcodePieces FromTypedLine(std::string_view typedLine);

  // The 44-digit barcode made of the pieces.
  std::string Barcode() const { return std::string(Digits(0, 44)); }

 private:
  std::string_view Digits(std::size_t at, std::size_t count) const {
    return filled_ ? std::string_view(digits_.data() + at, count) : std::string_view();
  }
  void SetAmount();

  std::array<char, 44> digits_{};
  bool filled_ = false;
};

// The 44-digit barcode of a typed line (pieces rebuilt in barcode order).
std::string BarcodeFromTypedLine(std::string_view typedLine);
// The 47 digits of the typed line of a barcode, with the three field
// check digits computed.
std::string TypedLineFromBarcode(std::string_view barcode);

// The payee's bank, agency and account from a bank slip's barcode, for
// RetornaBanco, RetornaAgencia and RetornaConta. A blank or empty barcode
// gives one blank; a malformed one throws BarcodeError. The agency and the
// account come from the free field only for the banks whose layout of it is
// published, and only where it holds them:
//   001 Banco do Brasil: agreements of 4 and 6 digits with an 11-digit "nosso
//       número" (free field: agreement and number, agency 31-34, account
//       35-42, wallet 43-44). Agreements of 7 or 8 digits (free field
//       beginning with six zeros) and 6-digit agreements with a 17-digit
//       number (service "21" at 43-44) carry no agency or account.
//   237 Bradesco: agency 20-23, wallet 24-25, "nosso número" 26-36, account
//       37-43 (without check digits, which Mod11_B7 gives).
//   341 Itaú: wallet 20-22, number 23-30 and its check digit 31, agency
//       32-35, account 36-40 and the agency/account check digit 41 (not
//       returned by ContaCdBarra). The special wallets 106, 107, 122, 142,
//       143, 195, 196 and 198 carry a client code instead: not understood.
// Every other bank gives one blank for agency and account, Santander (033)
// included: its free field carries the beneficiary's code with the bank,
// not the agency and account.
std::string BancoCdBarra(std::string_view barcode);
std::string AgenciaCdBarra(std::string_view barcode);
std::string ContaCdBarra(std::string_view barcode);

// Agency, account and the account's check digit (empty where the barcode
// does not carry it) of the banks listed above; nullopt for other banks.
struct FreeFieldAccount {
  std::string agency;
  std::string account;
  std::string accountCheck;
};
std::optional<FreeFieldAccount> AccountFromBarcode(std::string_view barcode);

// A barcode starting with "8" is a utility bill or a tax guide; a bank
// slip's barcode starts with its bank code.
bool IsUtilityBarcode(std::string_view barcode);

// The barcode kind check made when a slip is marked: for a payment mode "R"
// (utility bill) whose barcode does not start with "8", "Conc_CodBarra_Inv";
// for mode "B" (bank slip) whose barcode starts with "8", "Bol_CodBarra_Inv";
// otherwise, or with an empty barcode, "".
std::string BarcodeKindKey(std::string_view mode, std::string_view barcode);

// What is wrong with a code, or nullopt when it is sound: the length, a
// character that is not a digit, the kind ("8" for a utility bill), and
// every check digit.
std::optional<std::string> BankSlipBarcodeProblem(std::string_view barcode);  // 44 digits
std::optional<std::string> TypedLineProblem(std::string_view typedLine);       // 47 digits
std::optional<std::string> UtilityBarcodeProblem(std::string_view barcode);   // 44 digits
// The typed line of a utility bill: 48 digits, four blocks of 11 digits
// each followed by its check digit (blanks, dots and hyphens ignored).
std::optional<std::string> UtilityTypedLineProblem(std::string_view typedLine);

}  // namespace pag
