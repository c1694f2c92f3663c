#include "host/barcode.h"

#include <gtest/gtest.h>

#include <string>

namespace pag {
namespace {

// Bank slips with correct check digits, each with its typed line. The
// first is a published Banco do Brasil slip; the others were put together
// for the banks whose free field layout is known.
struct Slip {
  const char* name;
  const char* barcode;
  const char* typedLine;
  const char* bank;
  const char* agency;   // " ": not carried by the barcode
  const char* account;
  std::int64_t cents;
  const char* factor;
};

const Slip kSlips[] = {
    {"BB, 7-digit agreement", "00191917000000147800000003432568000001003517",
     "00190.00009 03432.568008 00010.035178 1 91700000014780", "001", " ", " ", 14780, "9170"},
    {"BB, 4-digit agreement", "00191987600000123451234567890143210005432118",
     "00191.23454 67890.143216 00054.321187 1 98760000012345", "001", "4321", "00054321", 12345, "9876"},
    {"BB, 6-digit agreement, service 21", "00191100000000001001234561234567890123456721",
     "00191.23454 61234.567891 01234.567210 1 10000000000100", "001", " ", " ", 100, "1000"},
    {"Bradesco", "23791500000000090001234090000012345600543210",
     "23791.23405 90000.012345 56005.432101 1 50000000009000", "237", "1234", "0054321", 9000, "5000"},
    {"Itau", "34198777700000150751091234567890057123456000",
     "34191.09123 34567.890057 71234.560002 8 77770000015075", "341", "0057", "12345", 15075, "7777"},
    {"Itau, client-code wallet 198", "34198777700000150751981234567812345671234530",
     "34191.98126 34567.812341 56712.345307 8 77770000015075", "341", " ", " ", 15075, "7777"},
    {"Santander", "03392888800000250009123456700000000123450101",
     "03399.12347 56700.000005 01234.501011 2 88880000025000", "033", " ", " ", 25000, "8888"},
};

TEST(BarcodePieces, BarcodeAndTypedLineGiveTheSamePieces) {
  for (const Slip& s : kSlips) {
    const BarcodePieces a = BarcodePieces::FromBarcode(s.barcode);
    const BarcodePieces b = BarcodePieces::FromTypedLine(s.typedLine);
    EXPECT_EQ(a.bank(), s.bank) << s.name;
    EXPECT_EQ(a.currency(), "9") << s.name;
    EXPECT_EQ(a.checkDigit(), std::string(1, s.barcode[4])) << s.name;
    EXPECT_EQ(a.factor(), s.factor) << s.name;
    EXPECT_EQ(a.amount, Money::FromCents(s.cents)) << s.name;
    EXPECT_EQ(a.freeField(), std::string(s.barcode).substr(19)) << s.name;
    EXPECT_EQ(std::string(a.factorAndAmount()), std::string(s.barcode).substr(5, 14)) << s.name;
    EXPECT_EQ(b.bank(), a.bank()) << s.name;
    EXPECT_EQ(b.checkDigit(), a.checkDigit()) << s.name;
    EXPECT_EQ(b.freeField(), a.freeField()) << s.name;
    EXPECT_EQ(b.amount, a.amount) << s.name;
    EXPECT_EQ(a.Barcode(), s.barcode) << s.name;
    EXPECT_EQ(b.Barcode(), s.barcode) << s.name;
    EXPECT_EQ(BarcodeFromTypedLine(s.typedLine), s.barcode) << s.name;
    std::string typedDigits;
    for (char c : std::string(s.typedLine))
      if (c >= '0' && c <= '9') typedDigits.push_back(c);
    EXPECT_EQ(TypedLineFromBarcode(s.barcode), typedDigits) << s.name;
  }
}

TEST(BarcodePieces, KeepTheirOwnDigitsAndAreEmptyByDefault) {
  const BarcodePieces none;
  EXPECT_TRUE(none.bank().empty() && none.factorAndAmount().empty() && none.freeField().empty());
  EXPECT_EQ(none.Barcode(), "");
  EXPECT_EQ(none.amount, Money());
  BarcodePieces kept;
  {
    std::string code = kSlips[0].barcode;
    kept = BarcodePieces::FromBarcode(code);
    code.assign(code.size(), '9');  // the text read from is changed, then gone
  }
  EXPECT_EQ(kept.Barcode(), kSlips[0].barcode);
  EXPECT_EQ(kept.bank(), kSlips[0].bank);
  // The largest amount a barcode can hold.
  const std::string largest = std::string("34191") + "1234" + std::string(10, '9') + std::string(25, '0');
  EXPECT_EQ(BarcodePieces::FromBarcode(largest).amount, Money::FromCents(9'999'999'999));
}

TEST(BarcodePieces, MalformedInputIsAClearError) {
  const char* barcodes[] = {
      "",
      "0019191700000014780000000343256800000100351",    // 43 digits
      "001919170000001478000000034325680000010035170",  // 45 digits
      "0019191700000014780000000343256800000100351A",
      "00191.91700000014780000000343256800000100351",
  };
  for (const char* b : barcodes) {
    EXPECT_THROW(BarcodePieces::FromBarcode(b), BarcodeError) << b;
    EXPECT_THROW(TypedLineFromBarcode(b), BarcodeError) << b;
  }
  EXPECT_NO_THROW(BarcodePieces::FromBarcode("  00191917000000147800000003432568000001003517 "));
  const char* typedLines[] = {
      "00190.00009 03432.568008 00010.035178 1 9170000001478",    // 46 digits
      "00190.00009 03432.568008 00010.035178 1 917000000147800",  // 48 digits
      "00190-00009 03432-568008 00010-035178 1 91700000014780",
      "OO190.00009 03432.568008 00010.035178 1 91700000014780",
  };
  for (const char* t : typedLines) {
    EXPECT_THROW(BarcodePieces::FromTypedLine(t), BarcodeError) << t;
    EXPECT_TRUE(TypedLineProblem(t).has_value()) << t;
  }
  try {
    BarcodePieces::FromBarcode("123");
    FAIL();
  } catch (const BarcodeError& e) {
    EXPECT_NE(std::string(e.what()).find("'123' has 3 digits instead of 44"), std::string::npos) << e.what();
  }
}

TEST(PayeeFromBarcode, BankAgencyAndAccountWhereTheFreeFieldCarriesThem) {
  for (const Slip& s : kSlips) {
    EXPECT_EQ(BancoCdBarra(s.barcode), s.bank) << s.name;
    EXPECT_EQ(AgenciaCdBarra(s.barcode), s.agency) << s.name;
    EXPECT_EQ(ContaCdBarra(s.barcode), s.account) << s.name;
  }
  EXPECT_EQ(AccountFromBarcode(kSlips[4].barcode)->accountCheck, "6");  // Itau DAC
  EXPECT_EQ(AccountFromBarcode(kSlips[3].barcode)->accountCheck, "");   // Bradesco: not in the barcode
  // A utility bill names no bank.
  EXPECT_EQ(AgenciaCdBarra("83630000012345012300001234567890123456789012"), " ");
  for (const char* empty : {"", "   "}) {
    EXPECT_EQ(BancoCdBarra(empty), " ");
    EXPECT_EQ(AgenciaCdBarra(empty), " ");
    EXPECT_EQ(ContaCdBarra(empty), " ");
  }
  EXPECT_THROW(BancoCdBarra("2379"), BarcodeError);
  // The bank of a barcode is read without copying its digits, but a
  // malformed barcode is refused with the same words as every other reader.
  EXPECT_EQ(BancoCdBarra("  23796123400000100003381092600001234500456780 "), "237");
  for (const char* bad : {"2379", "23796123400000100003381092600001234500456780 1",
                          "2379612340000010000338109260000123450045678X",
                          "237961234000001000033810926000012345004567801"}) {
    std::string bank, pieces;
    try {
      BancoCdBarra(bad);
    } catch (const BarcodeError& e) {
      bank = e.what();
    }
    try {
      BarcodePieces::FromBarcode(bad);
    } catch (const BarcodeError& e) {
      pieces = e.what();
    }
    EXPECT_FALSE(bank.empty()) << bad;
    EXPECT_EQ(bank, pieces) << bad;
  }
  EXPECT_THROW(AgenciaCdBarra("23791500000000090001234090000012345600543X10"), BarcodeError);
  EXPECT_THROW(ContaCdBarra("2379150000000009000123409000001234560054321"), BarcodeError);
}

TEST(Mod11_B7, KnownValues) {
  struct Case {
    const char* digits;
    const char* check;
  };
  const Case mod11b7[] = {
      {"1900000000002", "8"},  // Bradesco's manual: wallet 19, number 00000000002
      {"1584", "9"},           // agency: weights 5,4,3,2
      {"0123456", "0"},        // remainder 0
      {"0006", "P"},           // remainder 1
      {"0054321", "7"},
      {" 1234 ", "3"},
  };
  for (const auto& c : mod11b7) EXPECT_EQ(Mod11_B7(c.digits), c.check) << c.digits;
  for (const char* bad : {"", "  ", "12a4", "12-3"}) EXPECT_THROW(Mod11_B7(bad), BarcodeError) << bad;
  EXPECT_THROW(Mod10Digit(""), BarcodeError);
}

TEST(BarcodeKind, UtilityBillsStartWithEight) {
  const std::string utility = "83630000012345012300001234567890123456789012";
  const std::string slip = kSlips[0].barcode;
  struct Case {
    const char* mode;
    std::string barcode;
    const char* key;
  };
  const Case cases[] = {
      {"R", utility, ""}, {"R", slip, "Conc_CodBarra_Inv"}, {"B", utility, "Bol_CodBarra_Inv"},
      {"B", slip, ""},    {"B", "", ""},                     {"R", "  ", ""},
      {"C", utility, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(BarcodeKindKey(c.mode, c.barcode), c.key) << c.mode << " " << c.barcode;
  EXPECT_TRUE(IsUtilityBarcode(utility));
  EXPECT_FALSE(IsUtilityBarcode(slip));
  EXPECT_FALSE(IsUtilityBarcode(""));
}

TEST(BarcodeValidation, SoundCodesPassAndEachCheckDigitIsTested) {
  for (const Slip& s : kSlips) {
    EXPECT_FALSE(BankSlipBarcodeProblem(s.barcode).has_value()) << s.name << ": " << *BankSlipBarcodeProblem(s.barcode);
    EXPECT_FALSE(TypedLineProblem(s.typedLine).has_value()) << s.name << ": " << *TypedLineProblem(s.typedLine);
  }
  struct Case {
    std::string code;
    const char* mentions;
  };
  const std::string typed = "00190000090343256800800010035178191700000014780";
  auto changed = [](std::string s, std::size_t position, char c) {
    s[position - 1] = c;
    return s;
  };
  const Case barcodes[] = {
      {changed(kSlips[0].barcode, 5, '2'), "check digit (position 5) is 2, expected 1"},
      {changed(kSlips[0].barcode, 30, '4'), "position 5"},  // a digit of the free field
      {"83630000012345012300001234567890123456789012", "utility bill"},
      {"123", "3 digits"},
  };
  for (const auto& c : barcodes) {
    const auto problem = BankSlipBarcodeProblem(c.code);
    ASSERT_TRUE(problem.has_value()) << c.code;
    EXPECT_NE(problem->find(c.mentions), std::string::npos) << *problem;
  }
  const Case lines[] = {
      {changed(typed, 10, '0'), "field 1"},
      {changed(typed, 15, '9'), "field 2"},
      {changed(typed, 32, '0'), "field 3"},
      {changed(typed, 33, '7'), "position 5"},  // field digits sound, general digit wrong
      {changed(typed, 40, '9'), "position 5"},
  };
  for (const auto& c : lines) {
    const auto problem = TypedLineProblem(c.code);
    ASSERT_TRUE(problem.has_value()) << c.code;
    EXPECT_NE(problem->find(c.mentions), std::string::npos) << *problem;
  }
}

TEST(BarcodeValidation, UtilityBillsByTheirValueType) {
  struct Case {
    const char* barcode;
    const char* typedLine;
  };
  const Case sound[] = {
      // Value type 6: modulo 10.
      {"83630000012345012300001234567890123456789012", "83630000012-9 34501230000-9 12345678901-5 23456789012-9"},
      // Value type 8: modulo 11 (this one's remainder gives 0).
      {"83800000012345012300001234567890123456789012", "83800000012-2 34501230000-3 12345678901-0 23456789012-8"},
  };
  for (const auto& c : sound) {
    EXPECT_FALSE(UtilityBarcodeProblem(c.barcode).has_value()) << *UtilityBarcodeProblem(c.barcode);
    EXPECT_FALSE(UtilityTypedLineProblem(c.typedLine).has_value()) << *UtilityTypedLineProblem(c.typedLine);
  }
  const auto wrongDigit = UtilityBarcodeProblem("83610000012345012300001234567890123456789012");
  ASSERT_TRUE(wrongDigit.has_value());
  EXPECT_NE(wrongDigit->find("position 4"), std::string::npos) << *wrongDigit;
  const auto wrongBlock = UtilityTypedLineProblem("83630000012-9 34501230000-9 12345678901-4 23456789012-9");
  ASSERT_TRUE(wrongBlock.has_value());
  EXPECT_NE(wrongBlock->find("block 3"), std::string::npos) << *wrongBlock;
  const auto badType = UtilityBarcodeProblem("83530000012345012300001234567890123456789012");
  ASSERT_TRUE(badType.has_value());
  EXPECT_NE(badType->find("value type 5"), std::string::npos) << *badType;
  EXPECT_TRUE(UtilityBarcodeProblem(kSlips[0].barcode).has_value());
  EXPECT_TRUE(UtilityTypedLineProblem("8363000001").has_value());
}

}  // namespace
}  // namespace pag
