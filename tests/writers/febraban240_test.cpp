// The FEBRABAN 240 machinery on its own: counts and frames of a file, the
// agency and account blocks, the barcode pieces and the tax amounts.
#include "writers/cnab/febraban240.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "host/errors.h"
#include "writers/cnab/invariants.h"

namespace pag {
namespace {

constexpr Febraban240Bank kTestBank{"999", "Banco de Teste (999)", 240};

constexpr FieldSpec kHeaderRows[] = {{1, 3, "Banco"}, {4, 7, "Lote"}, {8, 8, "Registro"}, {9, 240, "Resto"}};
constexpr Layout kHeader("Header", 240, kHeaderRows);
constexpr FieldSpec kDetailRows[] = {{1, 3, "Banco"},          {4, 7, "Lote"},     {8, 8, "Registro"},
                                     {9, 13, "Nº do registro"}, {14, 14, "Segmento"}, {15, 29, "Valor"},
                                     {30, 240, "Resto"}};
constexpr Layout kDetail("Segmento X", 240, kDetailRows);
constexpr FieldSpec kWideRows[] = {{1, 3, "Banco"}, {4, 7, "Lote"}, {8, 8, "Registro"}, {9, 266, "Resto"}};
constexpr Layout kWideHeader("Header", 266, kWideRows);

void Detail(Febraban240File& file, Money value) {
  file.Detail(kDetail, [&](Record& rec) {
    rec.lit(14, 14, "X");
    rec.amount(15, 29, value);
    rec.blank(30, 240);
  });
  file.AddToBatchTotal(value);
}

void Header(Febraban240File& file) { file.FileHeader(kHeader, [](Record& rec) { rec.blank(9, 240); }); }
void BatchHeader(Febraban240File& file) { file.BatchHeader(kHeader, [](Record& rec) { rec.blank(9, 240); }); }

TEST(Febraban240File, CountsNumbersAndTotalsBatches) {
  Febraban240File file(kTestBank);
  Header(file);
  BatchHeader(file);
  Detail(file, Money::FromCents(10000));
  Detail(file, Money::FromCents(2550));
  Detail(file, Money::FromCents(1));
  EXPECT_EQ(file.sequence(), 3);
  EXPECT_EQ(file.batchRecords(), 4);
  EXPECT_EQ(file.batchTotal(), Money::FromCents(12551));
  file.StandardBatchTrailer();
  EXPECT_FALSE(file.batchOpen());
  EXPECT_EQ(file.batchNumber(), 2);
  EXPECT_EQ(file.batches(), 1);
  BatchHeader(file);
  Detail(file, Money::FromCents(99));
  file.StandardBatchTrailer();
  file.StandardFileTrailer();

  MemorySink sink;
  ASSERT_EQ(file.records(), 10);
  EXPECT_EQ(sink.records(), 0);  // nothing reaches the sink before the commit
  file.Commit(sink);
  EXPECT_EQ(sink.records(), 10);
  RequireValidRecords(sink.content(), 240);

  const std::string& c = sink.content();
  auto line = [&c](int n) { return c.substr(static_cast<std::size_t>(n - 1) * 242, 240); };
  EXPECT_EQ(line(1).substr(0, 8), "99900000");
  EXPECT_EQ(line(2).substr(0, 8), "99900011");
  EXPECT_EQ(line(3).substr(0, 14), "9990001300001X");
  EXPECT_EQ(line(5).substr(8, 5), "00003");
  // Batch trailer: 5 records (header, three details, itself), total 125.51.
  EXPECT_EQ(line(6).substr(0, 65), "99900015         000005000000000000012551" + std::string(24, '0'));
  EXPECT_EQ(line(6).substr(65), std::string(175, ' '));
  // The second batch starts its numbering again.
  EXPECT_EQ(line(7).substr(0, 8), "99900021");
  EXPECT_EQ(line(8).substr(0, 14), "9990002300001X");
  EXPECT_EQ(line(9).substr(17, 24), "000003000000000000000099");
  // File trailer: 2 batches, 10 records, no accounts.
  EXPECT_EQ(line(10).substr(0, 35), "99999999         000002000010000000");
  EXPECT_EQ(line(10).substr(35), std::string(205, ' '));
}

TEST(Febraban240File, ErrorsNameTheBankTheRecordTheFieldAndTheSlip) {
  Febraban240File file(kTestBank);
  Header(file);
  BatchHeader(file);
  file.SetSlip("0001/0000000042");
  try {
    Detail(file, Money::FromCents(1'000'000'000'000'000));
    FAIL() << "an amount of 16 digits went into 15 positions";
  } catch (const FieldError& e) {
    const std::string m = e.what();
    for (const char* part : {"Banco de Teste (999)", "Segmento X", "15-29", "Valor", "0001/0000000042"})
      EXPECT_NE(m.find(part), std::string::npos) << part << " in " << m;
  }
  // A layout of another width than the bank's is a fault of the writer.
  EXPECT_THROW(file.FileHeader(kWideHeader, [](Record& rec) { rec.blank(9, 266); }), std::logic_error);
}

TEST(Febraban240File, WideLayoutTrailersEndAt266) {
  Febraban240File file({"399", "HSBC (399)", 266});
  file.FileHeader(kWideHeader, [](Record& rec) { rec.blank(9, 266); });
  file.BatchHeader(kWideHeader, [](Record& rec) { rec.blank(9, 266); });
  file.StandardBatchTrailer();
  file.StandardFileTrailer();
  MemorySink sink;
  file.Commit(sink);
  EXPECT_TRUE(CheckRecords(sink.content(), 266).empty());
}

TEST(CheckDigitPair, TwoPositionsWhateverTheDigits) {
  const std::pair<const char*, const char*> cases[] = {
      {"7", "7 "}, {"X1", "X1"}, {"0X1", "X1"}, {" 5 ", "5 "}, {"", "  "}, {"  ", "  "}, {"x", "X "}, {"ç", "C "},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(CheckDigitPair(in), out) << "'" << in << "'";
}

TEST(SplitPayeeAccount, AtTheDashOrBeforeTheLastCharacter) {
  struct C {
    const char* in;
    const char* number;
    const char* digits;
  } cases[] = {
      {"12345-6", "12345", "6"}, {"123456", "12345", "6"},   {"9-87", "9", "87"},
      {"12-345", "12", "34"},    {" 55555-x ", "55555", "X"}, {"", "", "0"},
      {"7", "", "7"},            {"1234-", "1234", ""},
  };
  for (const auto& c : cases) {
    const SplitAccount s = SplitPayeeAccount(c.in);
    EXPECT_EQ(s.number, c.number) << c.in;
    EXPECT_EQ(s.digits, c.digits) << c.in;
  }
}

TEST(PayeeAgencyAccount, ByTheBankOfThePayee) {
  const AgencyAccount paying{"1234", "5", "1234567", "8 "};
  struct C {
    const char* why;
    const char* slipBank;
    bool order;
    const char* agency;
    const char* account;
    AgencyAccount want;
  } cases[] = {
      {"own bank: letters and digits, 4 + 1", "001", false, "1234X", "12345-6", {"1234", "X", "12345", "6 "}},
      {"own bank: no fifth character", "001", false, "0987", "123456", {"0987", " ", "12345", "6 "}},
      {"own bank: agency with a dash", "001", false, "123-4", "1-23", {"1234", " ", "1", "23"}},
      {"own bank: payment order at the paying agency", "001", true, "9999", "55555-5", {"1234", "5", "55555", "5 "}},
      {"other bank: no agency", "237", false, "", "7654321", {"", " ", "765432", "1 "}},
      {"other bank: agency with a dash", "341", false, "123-4", "123456", {"123", "4", "12345", "6 "}},
      {"other bank: first 4 and the 5th", "104", false, "00123", "0001234567-89", {"0012", "3", "0001234567", "89"}},
      {"other bank: payment order", "", true, "1111", "22222-2", {"1234", "5", "", "00"}},
  };
  for (const auto& c : cases) {
    const AgencyAccount a = PayeeAgencyAccount({.ownBank = "001",
                                                .slipBank = c.slipBank,
                                                .paymentOrder = c.order,
                                                .agency = c.agency,
                                                .account = c.account,
                                                .paying = &paying});
    EXPECT_EQ(a.agency, c.want.agency) << c.why;
    EXPECT_EQ(a.agencyDigit, c.want.agencyDigit) << c.why;
    EXPECT_EQ(a.account, c.want.account) << c.why;
    EXPECT_EQ(a.accountDigits, c.want.accountDigits) << c.why;
  }
}

TEST(PayingAgencyAccount, SplitByTheAccountsPicture) {
  struct C {
    const char* agency;
    const char* account;
    const char* picture;
    AgencyAccount want;
  } cases[] = {
      {"12345", "12345678", "9999999-9", {"1234", "5", "1234567", "8 "}},
      {"1234", "1234567X", "9999999-9", {"1234", "4", "1234567", "X "}},  // the agency's last character
      {"0123", "123456789", "9999999-99", {"0123", "3", "1234567", "89"}},
      {"", "123456", "999999", {"", " ", "123456", "  "}},  // no check digit in the picture
  };
  for (const auto& c : cases) {
    const AgencyAccount a = PayingAgencyAccount(c.agency, c.account, c.picture);
    EXPECT_EQ(a.agency, c.want.agency) << c.account;
    EXPECT_EQ(a.agencyDigit, c.want.agencyDigit) << c.account;
    EXPECT_EQ(a.account, c.want.account) << c.account;
    EXPECT_EQ(a.accountDigits, c.want.accountDigits) << c.account;
  }
}

TEST(SlipBarcodePieces, TheTypedLineGivesTheBarcodesPieces) {
  const std::string barcode = "00191917000000147800000003432568000001003517";
  const BarcodePieces fromBarcode = SlipBarcodePieces(barcode, "");
  for (const char* line : {"00190.00009 03432.568008 00010.035178 1 91700000014780",
                           "00190000090343256800800010035178191700000014780",
                           "00190-00009/03432.568008_00010.035178 1 9170000001478 0"}) {
    const BarcodePieces p = SlipBarcodePieces("", line);
    EXPECT_EQ(p.Barcode(), barcode) << line;
    EXPECT_EQ(p.checkDigit(), "1");
    EXPECT_EQ(p.factorAndAmount(), "91700000014780");
    EXPECT_EQ(p.freeField(), fromBarcode.freeField());
  }
  EXPECT_EQ(SlipBarcodePieces(barcode, "anything else").Barcode(), barcode);  // the barcode wins
  EXPECT_THROW(SlipBarcodePieces("", "00190.00009 03432.568008"), BarcodeError);
  EXPECT_THROW(SlipBarcodePieces("", ""), BarcodeError);
  EXPECT_THROW(SlipBarcodePieces("0019191700000014780000000343256800000100351", ""), BarcodeError);
}

TaxGuide Guide(std::int64_t total, std::int64_t other, std::int64_t fine, std::int64_t interest,
               const char* percentage = "0") {
  TaxGuide g;
  g.total = Money::FromCents(total);
  g.otherEntities = Money::FromCents(other);
  g.fine = Money::FromCents(fine);
  g.interest = Money::FromCents(interest);
  g.percentage = Decimal::Parse(percentage);
  return g;
}

TEST(TaxAmounts, DarfSimplesPrincipalIsRevenueTimesPercentage) {
  struct C {
    std::int64_t total, revenue;
    const char* percentage;
    std::int64_t principal;
  } cases[] = {
      {45000, 1000000, "4.50", 45000},  // 10 000,00 x 4,5 %
      {1500, 33333, "4.5", 1500},       // 14,99985 rounds to 15,00
      {126, 10100, "1.25", 126},        // 1,2625 rounds down to 1,26
      {1, 100, "0.5", 1},               // 0,005 rounds away from zero to 0,01
      {8000, 0, "4.5", 8000},           // no revenue: the guide's total
      {8000, 10000, "0", 8000},         // no percentage: the guide's total
  };
  for (const auto& c : cases)
    EXPECT_EQ(DarfSimplesPrincipal(Guide(c.total, c.revenue, 0, 0, c.percentage)), Money::FromCents(c.principal))
        << c.revenue << " x " << c.percentage;
}

TEST(TaxAmounts, DifferencesThatComeOutNegativeAreRefused) {
  EXPECT_EQ(GpsInssAmount(Guide(110000, 10000, 2000, 3000)), Money::FromCents(95000));
  EXPECT_EQ(GpsMonetaryUpdate(Guide(110000, 10000, 2000, 3000)), Money::FromCents(5000));
  EXPECT_EQ(GpsInssAmount(Guide(15000, 10000, 2000, 3000)), Money());
  EXPECT_EQ(DarjPrincipal(Guide(125000, 0, 5000, 2500)), Money::FromCents(117500));
  try {
    GpsInssAmount(Guide(10000, 5000, 3000, 3000));
    FAIL() << "a negative INSS amount";
  } catch (const NegativeAmount& e) {
    EXPECT_EQ(e.value(), Money::FromCents(-1000));
    EXPECT_EQ(e.label(), "do INSS");
  }
  EXPECT_THROW(DarjPrincipal(Guide(1000, 0, 2000, 0)), NegativeAmount);
  EXPECT_THROW(DarfSimplesPrincipal(Guide(-100, 0, 0, 0)), NegativeAmount);
}

}  // namespace
}  // namespace pag
