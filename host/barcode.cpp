#include "host/barcode.h"

#include <algorithm>
#include <array>

#include "host/text.h"

namespace pag {
namespace {

constexpr std::size_t kBarcodeDigits = 44;
constexpr std::size_t kTypedLineDigits = 47;
constexpr std::size_t kUtilityTypedLineDigits = 48;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

// The digits of s, which must hold only digits and the given separators.
std::string DigitsBetween(std::string_view s, std::string_view separators, std::string_view what) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (IsDigit(c)) out.push_back(c);
    else if (separators.find(c) == std::string_view::npos)
      throw BarcodeError(std::string(what) + " " + Quoted(s) + " has a character that is not a digit at position " +
                         std::to_string(i + 1));
  }
  return out;
}

void RequireCount(std::string_view digits, std::size_t count, std::string_view original, std::string_view what) {
  if (digits.size() != count)
    throw BarcodeError(std::string(what) + " " + Quoted(original) + " has " + std::to_string(digits.size()) +
                       " digits instead of " + std::to_string(count));
}

// The 44 digits of a barcode (blanks around ignored), or BarcodeError.
std::string BarcodeDigits(std::string_view barcode) {
  const std::string_view t = TrimView(barcode);  // runs for every bank slip of a file
  const std::string digits = DigitsBetween(t, "", "barcode");
  RequireCount(digits, kBarcodeDigits, barcode, "barcode");
  return digits;
}

std::string TypedLineDigits(std::string_view typedLine) {
  const std::string digits = DigitsBetween(typedLine, " .", "typed line");
  RequireCount(digits, kTypedLineDigits, typedLine, "typed line");
  return digits;
}

void RequireDigits(std::string_view digits, std::string_view what) {
  if (!IsDigits(digits)) throw BarcodeError(std::string(what) + " needs a string of digits, not " + Quoted(digits));
}

// Weighted sum with weights cycling from 2 up to `top`, from the right.
int WeightedSum(std::string_view digits, int top) {
  int sum = 0;
  int weight = 2;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    sum += (*it - '0') * weight;
    weight = weight == top ? 2 : weight + 1;
  }
  return sum;
}

std::string Piece(std::string_view digits, std::size_t from, std::size_t count) {
  return std::string(digits.substr(from - 1, count));
}

char DigitChar(int d) { return static_cast<char>('0' + d); }

std::string CheckMismatch(std::string_view which, char found, int expected) {
  return std::string(which) + " is " + found + ", expected " + DigitChar(expected);
}

}  // namespace

std::string Nr_Codigo(std::string_view s) { return DigitsOnly(s); }

std::string Mod11_B7(std::string_view digits) {
  const std::string t = AllTrim(digits);
  RequireDigits(t, "Mod11_B7");
  const int r = WeightedSum(t, 7) % 11;
  if (r == 0) return "0";
  if (r == 1) return "P";
  return std::string(1, DigitChar(11 - r));
}

int Mod10Digit(std::string_view digits) {
  RequireDigits(digits, "the modulo 10 check digit");
  int sum = 0;
  int weight = 2;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    const int product = (*it - '0') * weight;
    sum += product / 10 + product % 10;
    weight = weight == 2 ? 1 : 2;
  }
  return (10 - sum % 10) % 10;
}

int BankSlipMod11Digit(std::string_view digits) {
  RequireDigits(digits, "the bank slip check digit");
  const int d = 11 - WeightedSum(digits, 9) % 11;
  return (d == 0 || d == 10 || d == 11) ? 1 : d;
}

int UtilityMod11Digit(std::string_view digits) {
  RequireDigits(digits, "the utility bill check digit");
  const int r = WeightedSum(digits, 9) % 11;
  return (r == 0 || r == 1) ? 0 : 11 - r;
}

// The amount in cents of the ten digits of positions 10-19.
void BarcodePieces::SetAmount() {
  long long cents = 0;
  for (const char c : amountDigits()) cents = cents * 10 + (c - '0');
  amount = Money::FromCents(cents);
}

BarcodePieces BarcodePieces::FromBarcode(std::string_view barcode) {
  BarcodePieces p;
  const std::string_view t = TrimView(barcode);
  if (t.size() == kBarcodeDigits && IsDigits(t)) {
    std::copy(t.begin(), t.end(), p.digits_.begin());
  } else {
    const std::string b = BarcodeDigits(barcode);  // throws the BarcodeError that says why
    std::copy(b.begin(), b.end(), p.digits_.begin());
  }
  p.filled_ = true;
  p.SetAmount();
  return p;
}

BarcodePieces BarcodePieces::FromTypedLine(std::string_view typedLine) {
  const std::string d = TypedLineDigits(typedLine);
  // Bank and currency 1-4, then the free field's three parts (each without
  // its check digit), the general check digit 33, the factor and amount 34-47.
  BarcodePieces p;
  const std::string b = Piece(d, 1, 4) + Piece(d, 33, 15) + Piece(d, 5, 5) + Piece(d, 11, 10) + Piece(d, 22, 10);
  std::copy(b.begin(), b.end(), p.digits_.begin());
  p.filled_ = true;
  p.SetAmount();
  return p;
}

std::string BarcodeFromTypedLine(std::string_view typedLine) {
  return BarcodePieces::FromTypedLine(typedLine).Barcode();
}

std::string TypedLineFromBarcode(std::string_view barcode) {
  const std::string b = BarcodeDigits(barcode);
  std::string field1 = Piece(b, 1, 4) + Piece(b, 20, 5);
  std::string field2 = Piece(b, 25, 10);
  std::string field3 = Piece(b, 35, 10);
  field1.push_back(DigitChar(Mod10Digit(field1)));
  field2.push_back(DigitChar(Mod10Digit(field2)));
  field3.push_back(DigitChar(Mod10Digit(field3)));
  return field1 + field2 + field3 + Piece(b, 5, 1) + Piece(b, 6, 14);
}

std::optional<FreeFieldAccount> AccountFromBarcode(std::string_view barcode) {
  if (EmptyString(barcode)) return std::nullopt;
  const std::string b = BarcodeDigits(barcode);
  const std::string bank = Piece(b, 1, 3);
  if (bank == "001") {
    // 7- and 8-digit agreements: six zeros, agreement, number, wallet.
    if (Piece(b, 20, 6) == "000000") return std::nullopt;
    // 6-digit agreement with a 17-digit number: service "21" at the end.
    if (Piece(b, 43, 2) == "21") return std::nullopt;
    return FreeFieldAccount{Piece(b, 31, 4), Piece(b, 35, 8), ""};
  }
  if (bank == "237") return FreeFieldAccount{Piece(b, 20, 4), Piece(b, 37, 7), ""};
  if (bank == "341") {
    static constexpr std::array<std::string_view, 8> kClientCodeWallets = {"106", "107", "122", "142",
                                                                           "143", "195", "196", "198"};
    const std::string wallet = Piece(b, 20, 3);
    for (std::string_view w : kClientCodeWallets)
      if (wallet == w) return std::nullopt;
    return FreeFieldAccount{Piece(b, 32, 4), Piece(b, 36, 5), Piece(b, 41, 1)};
  }
  return std::nullopt;
}

std::string BancoCdBarra(std::string_view barcode) {
  if (EmptyString(barcode)) return " ";
  // Checked as BarcodeDigits checks it, without a copy of the digits: this
  // runs for every bank slip of a file.
  const std::string_view t = TrimView(barcode);
  std::size_t count = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (IsDigit(t[i])) ++count;
    else return Piece(BarcodeDigits(barcode), 1, 3);  // throws the error BarcodeDigits names
  }
  if (count != kBarcodeDigits) return Piece(BarcodeDigits(barcode), 1, 3);  // throws likewise
  return std::string(t.substr(0, 3));
}

std::string AgenciaCdBarra(std::string_view barcode) {
  const auto account = AccountFromBarcode(barcode);
  return account ? account->agency : " ";
}

std::string ContaCdBarra(std::string_view barcode) {
  const auto account = AccountFromBarcode(barcode);
  return account ? account->account : " ";
}

bool IsUtilityBarcode(std::string_view barcode) {
  const std::string t = TrimLeft(barcode);
  return !t.empty() && t.front() == '8';
}

std::string BarcodeKindKey(std::string_view mode, std::string_view barcode) {
  if (EmptyString(barcode)) return "";
  if (mode == "R" && !IsUtilityBarcode(barcode)) return "Conc_CodBarra_Inv";
  if (mode == "B" && IsUtilityBarcode(barcode)) return "Bol_CodBarra_Inv";
  return "";
}

std::optional<std::string> BankSlipBarcodeProblem(std::string_view barcode) {
  std::string b;
  try {
    b = BarcodeDigits(barcode);
  } catch (const BarcodeError& e) {
    return std::string(e.what());
  }
  if (b.front() == '8') return "barcode " + b + " starts with 8: it is a utility bill, not a bank slip";
  const int expected = BankSlipMod11Digit(Piece(b, 1, 4) + Piece(b, 6, 39));
  if (b[4] != DigitChar(expected)) return "barcode " + b + ": " + CheckMismatch("check digit (position 5)", b[4], expected);
  return std::nullopt;
}

std::optional<std::string> TypedLineProblem(std::string_view typedLine) {
  std::string d;
  try {
    d = TypedLineDigits(typedLine);
  } catch (const BarcodeError& e) {
    return std::string(e.what());
  }
  struct Field {
    const char* name;
    std::size_t from;
    std::size_t count;  // digits before the check digit
  };
  static constexpr Field kFields[] = {{"field 1", 1, 9}, {"field 2", 11, 10}, {"field 3", 22, 10}};
  for (const Field& f : kFields) {
    const int expected = Mod10Digit(Piece(d, f.from, f.count));
    const char found = d[f.from - 1 + f.count];
    if (found != DigitChar(expected))
      return "typed line " + d + ": " + CheckMismatch(std::string("check digit of ") + f.name, found, expected);
  }
  if (auto problem = BankSlipBarcodeProblem(BarcodeFromTypedLine(d))) return "typed line " + d + ": " + *problem;
  return std::nullopt;
}

namespace {

// The check digit of utility-bill digits by its value type (third digit).
std::optional<int> UtilityDigit(char valueType, std::string_view digits) {
  if (valueType == '6' || valueType == '7') return Mod10Digit(digits);
  if (valueType == '8' || valueType == '9') return UtilityMod11Digit(digits);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> UtilityBarcodeProblem(std::string_view barcode) {
  std::string b;
  try {
    b = BarcodeDigits(barcode);
  } catch (const BarcodeError& e) {
    return std::string(e.what());
  }
  if (b.front() != '8') return "barcode " + b + " does not start with 8: it is not a utility bill";
  const auto expected = UtilityDigit(b[2], Piece(b, 1, 3) + Piece(b, 5, 40));
  if (!expected) return "barcode " + b + ": value type " + b[2] + " is none of 6, 7, 8, 9";
  if (b[3] != DigitChar(*expected))
    return "barcode " + b + ": " + CheckMismatch("check digit (position 4)", b[3], *expected);
  return std::nullopt;
}

std::optional<std::string> UtilityTypedLineProblem(std::string_view typedLine) {
  std::string d;
  try {
    d = DigitsBetween(typedLine, " .-", "typed line");
    RequireCount(d, kUtilityTypedLineDigits, typedLine, "typed line");
  } catch (const BarcodeError& e) {
    return std::string(e.what());
  }
  if (d.front() != '8') return "typed line " + d + " does not start with 8: it is not a utility bill";
  std::string barcode;
  for (std::size_t block = 0; block < 4; ++block) {
    const std::string part = d.substr(block * 12, 11);
    const auto expected = UtilityDigit(d[2], part);
    if (!expected) return "typed line " + d + ": value type " + d[2] + " is none of 6, 7, 8, 9";
    const char found = d[block * 12 + 11];
    if (found != DigitChar(*expected))
      return "typed line " + d + ": " +
             CheckMismatch("check digit of block " + std::to_string(block + 1), found, *expected);
    barcode += part;
  }
  if (auto problem = UtilityBarcodeProblem(barcode)) return "typed line " + d + ": " + *problem;
  return std::nullopt;
}

}  // namespace pag
