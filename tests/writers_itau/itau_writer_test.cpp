// The Itaú remittance file: golden files for every payment form and kind,
// the batches, the fields the bank reads, and the refusals that leave no
// record written.
#include "writers/Cli_pag00104.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/errors.h"
#include "host/text.h"
#include "itau_check.h"
#include "itau_fixture.h"
#include "writers/cnab/invariants.h"
#include "writers/golden.h"

namespace pag::testing {
namespace {

// Bank slips' barcodes (44 digits).
constexpr const char* kItau500 = "34194920000000500001091234567800012345678000";      // 500,00
constexpr const char* kItau1250 = "34195925000001250001570012345673091234567000";     // 1.250,00
constexpr const char* kItau99 = "34191927000000099991090000000180911234561000";       // 99,99
constexpr const char* kBradesco876 = "23797921000000876541234091234567890012345670";  // 876,54
constexpr const char* kBb147 = "00191917000000147800000003432568000001003517";        // 147,80
constexpr const char* kSantander319 = "03395926000000319909123456700000012345670101";  // 319,90
// Utility bills and barcoded guides: barcode and typed line (48 digits).
constexpr const char* kLuz = "82650000001509001234567890123456789012345678";
constexpr const char* kLineLuz = "826500000011509001234566789012345672890123456786";
constexpr const char* kAgua = "85610000004821702700000000000020261210000001";
constexpr const char* kLineAgua = "856100000046821702700005000000002022612100000019";
constexpr const char* kGuia = "85610000010000000251234500000020261215000002";
constexpr const char* kLineGuia = "856100000103000000251231450000002029612150000026";
// A PIX QR code ("copia e cola") longer than the 77 positions it is given.
constexpr const char* kQrLong =
    "00020126580014br.gov.bcb.pix0136123e4567-e12b-12d1-a456-4266554400005204000053039865802BR5913FULANO";
constexpr const char* kQrShort = "00020101021226300014br.gov.bcb.pix0108abcd1234";

ItauRemittance Movement(const char* m) {
  ItauRemittance r;
  r.movement = m;
  return r;
}
ItauRemittance Branch() {
  ItauRemittance r;
  r.branch = "0002";
  return r;
}
ItauRemittance PayDate(const char* iso) {
  ItauRemittance r;
  r.payDate = iso;
  return r;
}

// The slips written, as segments A, J, N and O carry them.
std::vector<std::string> MarkedSlips(const std::vector<ItauSlip>& slips) {
  std::vector<std::string> out;
  for (const ItauSlip& s : slips)
    if (s.f.at("IDMARCADO") == "S") out.push_back(s.f.at("CDFILIBPAG") + s.f.at("NRLANBOLPAG"));
  return out;
}

struct Scenario {
  const char* name;
  ItauRemittance remittance;
  std::vector<ItauSlip> slips;
};

void PrintTo(const Scenario& s, std::ostream* os) { *os << s.name; }

std::vector<Scenario> Scenarios() {
  return {
      {"creditos_conta_itau",
       {},
       {ItauSlip("C", "101", "980.00").Bank("341").Agency("0911").Account("12345-6"),
        ItauSlip("D", "102", "15000.00").Bank("341").Agency("911").Account("123456").Name("Gráfica Rápida ME")
            .Registration("F", "123.456.789-09"),
        ItauSlip("T", "103", "2500.00").Bank("341").Agency(" 0911").Account("0012345-6")
            .FileRegistration("J", "22.333.444/0001-05"),
        ItauSlip("T", "104", "77.70").Bank("341").Agency("0911").Account("54321-0").Unmarked()}},
      {"transferencias_doc_ted",
       {},
       {ItauSlip("T", "201", "4999.99").Bank("237").Agency("12345").Account("1234567-8"),  // at the limit: DOC
        ItauSlip("T", "202", "5000.00").Bank("237").Agency("12345").Account("1234567-8"),  // a cent above: TED
        ItauSlip("T", "203", "100.00").Bank("001").Agency("1234").Account("98765432").DocLimit(""),  // no limit
        ItauSlip("T", "204", "0.01").Bank("104").Agency("00123").Account("0001234567-89"),
        ItauSlip("T", "205", "300.00").Bank("033").Agency("123-4").Account("1234567")}},
      {"pix_chave_e_conta",
       {},
       {ItauSlip("F", "301", "1500.00").PixKey("02", "financeiro@fornecedor.com.br"),
        ItauSlip("F", "302", "250.75").PixKey("03", "12345678909").Registration("F", "123.456.789-09")
            .Name("João Pedro dos Santos"),
        ItauSlip("F", "303", "99.90").Bank("237").Agency("12345").Account("7654321-0"),
        ItauSlip("F", "304", "10.00").Bank("341").Agency("0911").Account("12345-6")}},
      {"pix_qrcode",
       {},
       {ItauSlip("Z", "401", "123.45").QrCode(kQrLong).Name("Padaria Pão Quente Ltda"),
        ItauSlip("Z", "402", "9.99").QrCode(kQrShort).Registration("F", "987.654.321-00").Name("Maria da Silva")}},
      {"boletos_itau_e_outros",
       {},
       {ItauSlip("B", "501", "500.00").Barcode(kItau500).Name("Papelaria Central Ltda"),
        ItauSlip("B", "502", "876.54").Barcode(kBradesco876).FileRegistration("F", "123.456.789-09"),
        ItauSlip("B", "503", "1250.00").Barcode(kItau1250).FileRegistration("J", "  .   .   /    -  "),
        ItauSlip("B", "504", "147.80").Barcode(kBb147).Due("2026-12-15"),
        ItauSlip("B", "505", "99.99").Barcode(kItau99).Unmarked()}},
      {"darf",
       {},
       {ItauSlip("I", "601", "1520.35").Name("Receita Federal").Revenue("0561").Period("2026-11-30")
            .Reference("12.345.678/0001-95").Fine("10.00").Interest("5.35").Due("2026-12-20"),
        ItauSlip("I", "602", "89.90").Name("Receita Federal").Revenue("2089")}},
      {"darf_simples",
       {},
       {ItauSlip("H", "701", "450.00").Name("Simples Nacional").Revenue("6106").Period("2026-11-30")
            .Other("10000.00").Percentage("4.50"),
        ItauSlip("H", "702", "15.00").Name("Simples Nacional").Revenue("6106").Other("333.33").Percentage("4.5")
            .Fine("1.50").Interest("0.30"),
        ItauSlip("H", "703", "80.00").Name("Simples Nacional").Revenue("6106")}},
      {"gps",
       {},
       {ItauSlip("G", "801", "110.00").Name("INSS").Revenue("2100").Period("2026-11-01").Other("5.00").Fine("3.00")
            .Interest("2.00"),
        ItauSlip("G", "802", "500.00").Name("INSS").Revenue("1007")}},
      {"gare",
       {},
       {ItauSlip("X", "901", "3000.00").Name("Fazenda SP").Revenue("0462").Due("2026-12-15")
            .StateRegistration("110.042.490.114").Reference("0000123456789").Period("2026-11-01")
            .Instalment("1234").Other("2900.00").Interest("60.00").Fine("40.00"),
        ItauSlip("X", "902", "45.00").Name("Fazenda SP").Revenue("0462")}},
      {"darj",
       {},
       {ItauSlip("J", "1001", "1250.00").Name("Secretaria de Fazenda RJ").Revenue("0123").Period("2026-11-01")
            .StateRegistration("12.345.67-8").Fine("50.00").Interest("25.00").Document("1234567/1"),
        ItauSlip("J", "1002", "99.00").Name("Secretaria de Fazenda RJ").Revenue("0456")}},
      {"outros_tributos",
       {},
       {ItauSlip("U", "1101", "1000.00").Name("FGTS").Revenue("0115").TypedLine(kLineGuia)
            .Reference("1234.5678.9012.3456").Seal("123456789", "07"),
        ItauSlip("N", "1102", "350.00").Name("IPTU Prefeitura").Revenue("").TypedLine(kLineAgua),
        ItauSlip("V", "1103", "820.10").Name("IPVA SP").Revenue("7000"),
        ItauSlip("K", "1104", "101.16").Name("DPVAT").Revenue("0001").Reference("ABC-123")}},
      {"tributos_codigo_barras",
       {},
       {ItauSlip("R", "1201", "150.90").Barcode(kLuz).TypedLine(kLineLuz)
            .Name("Eletropaulo Metropolitana Eletricidade"),
        ItauSlip("R", "1202", "482.17").Barcode(kAgua).TypedLine(kLineAgua).Name("Sabesp"),
        ItauSlip("Q", "1203", "1000.00").Barcode(kGuia).TypedLine(kLineGuia).Name("Guia de arrecadação")}},
      {"exclusao",
       Movement("E"),
       {ItauSlip("T", "1301", "700.00").Bank("341").Agency("0911").Account("12345-6")
            .BankNumber("IT1234567890123456XY"),
        ItauSlip("B", "1302", "500.00").Barcode(kItau500).OurNumber("109/12345678-0")
            .BankNumber("00012345670000001231"),
        ItauSlip("B", "1303", "876.54").Barcode(kBradesco876).BankNumber("SEM-NOSSO-NUMERO"),
        ItauSlip("I", "1304", "95.00").Name("Receita Federal").Revenue("0561").BankNumber("DARF-000123"),
        ItauSlip("R", "1305", "150.90").Barcode(kLuz).TypedLine(kLineLuz).BankNumber("LUZ-987"),
        ItauSlip("F", "1306", "60.00").PixKey("01", "+5511999998888").BankNumber("PIX-1")}},
      {"bloqueio",
       Movement("B"),
       {ItauSlip("T", "1401", "300.00").Bank("237").Agency("12345").Account("5555555-5"),
        ItauSlip("B", "1402", "500.00").Barcode(kItau500)}},
      {"remessa_da_filial",
       Branch(),
       {ItauSlip("T", "1501", "700.00").Bank("341").Agency("0911").Account("12345-6"),
        ItauSlip("B", "1502", "500.00").Barcode(kItau500),
        ItauSlip("I", "1503", "95.00").Name("Receita Federal").Revenue("0561").Period("2026-11-30")}},
      {"data_de_pagamento",
       PayDate("2026-12-18"),
       {ItauSlip("T", "1601", "10.00").Bank("341").Agency("0911").Account("12345-6"),
        ItauSlip("F", "1602", "20.00").Bank("341").Agency("0911").Account("12345-6"),
        ItauSlip("Z", "1603", "30.00").QrCode(kQrShort),
        ItauSlip("B", "1604", "500.00").Barcode(kItau500),
        ItauSlip("G", "1605", "40.00").Revenue("2100"),
        ItauSlip("I", "1606", "50.00").Revenue("0561"),
        ItauSlip("R", "1607", "150.90").Barcode(kLuz).TypedLine(kLineLuz)}},
      {"todas_as_formas",
       {},
       {ItauSlip("Z", "1701", "1.00").QrCode(kQrShort),
        ItauSlip("X", "1702", "2.00").Revenue("0462").Other("2.00"),
        ItauSlip("V", "1703", "3.00").Revenue("7000"),
        ItauSlip("U", "1704", "4.00").Revenue("0115").TypedLine(kLineGuia),
        ItauSlip("T", "1705", "5000.00").Bank("104").Agency("00123").Account("1234-5"),
        ItauSlip("S", "1706", "6.00").Bank("341").Agency("0911").Account("12345-6"),
        ItauSlip("R", "1707", "150.90").Barcode(kLuz).TypedLine(kLineLuz),
        ItauSlip("Q", "1708", "1000.00").Barcode(kGuia).TypedLine(kLineGuia),
        ItauSlip("N", "1709", "9.00").Revenue("0001"),
        ItauSlip("K", "1710", "10.00"),
        ItauSlip("J", "1711", "11.00").Revenue("0123"),
        ItauSlip("I", "1712", "12.00").Revenue("0561"),
        ItauSlip("H", "1713", "13.00").Revenue("6106"),
        ItauSlip("G", "1714", "14.00").Revenue("2100"),
        ItauSlip("F", "1715", "15.00").PixKey("04", "123e4567-e12b-12d1-a456-426655440000"),
        ItauSlip("D", "1716", "16.00").Bank("237").Agency("12345").Account("1234567-8"),
        ItauSlip("C", "1717", "17.00").Bank("341").Agency("0911").Account("12345-6"),
        ItauSlip("B", "1718", "876.54").Barcode(kBradesco876),
        ItauSlip("B", "1719", "500.00").Barcode(kItau500),
        ItauSlip("B", "1720", "319.90").Barcode(kSantander319)}},
  };
}

class ItauGolden : public ::testing::TestWithParam<Scenario> {};

TEST_P(ItauGolden, WritesTheExpectedFile) {
  const Scenario& s = GetParam();
  ItauRun run(s.remittance, s.slips);
  ASSERT_NO_THROW(run.Run()) << (run.dialogs.Errors().empty() ? "" : run.dialogs.Errors().front());
  const std::string& content = run.content();
  const auto problems = CheckRecords(content, 240);
  EXPECT_TRUE(problems.empty()) << Describe(problems.front());
  EXPECT_TRUE(ItauFileHolds(content, MarkedSlips(s.slips), s.remittance.movement == "E"));
  EXPECT_TRUE(MatchesGolden(std::string(PAG_TEST_GOLDEN) + "/itau/" + s.name + ".txt", content, BcoItauLayout));
  // Every marked slip reported once; the slips left unfiltered, their grid on.
  EXPECT_EQ(run.ctx.written.size(), MarkedSlips(s.slips).size());
  EXPECT_EQ(run.d.cdsBoletos.RecordCount(), static_cast<int>(s.slips.size()));
  EXPECT_FALSE(run.d.cdsBoletos.ControlsDisabled());
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ItauGolden, ::testing::ValuesIn(Scenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

std::string Write(const ItauRemittance& r, const std::vector<ItauSlip>& slips) {
  ItauRun run(r, slips);
  run.Run();
  return run.content();
}

// A detail of the slip with this entry (of branch "0001"): the one that
// carries the slip (A, J, N or O), or the segment B, J-52 or J-52 PIX that
// follows it.
std::string Detail(const std::string& content, const std::string& entry, const std::string& segment) {
  const auto records = Records(content);
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i][7] != '3' || SlipOf(records[i]) != "0001" + entry) continue;
    if (segment == std::string(1, records[i][13])) return records[i];
    int j52 = 0;
    for (std::size_t k = i + 1; k < records.size() && records[k][7] == '3' && SlipOf(records[k]).empty(); ++k) {
      const std::string& r = records[k];
      if (segment == "B" && r[13] == 'B') return r;
      if (r[13] == 'J' && Field(r, 18, 19) == "52" && segment == (++j52 == 1 ? "J52" : "J52PIX")) return r;
    }
    return {};
  }
  return {};
}

// ---- Batches ---------------------------------------------------------------------------

TEST(ItauBatches, OnePerRunOfAFormBankSlipsLast) {
  struct C {
    const char* why;
    std::vector<ItauSlip> slips;
    std::vector<std::string> batches;
  } cases[] = {
      {"credits to Itaú accounts only: one batch",
       {ItauSlip("C", "1", "1.00").Bank("341"), ItauSlip("T", "2", "2.00").Bank("341")},
       {"0001 01"}},
      {"Itaú, DOC, Itaú in the slips' order: three batches",
       {ItauSlip("T", "1", "1.00").Bank("341"), ItauSlip("T", "2", "1.00").Bank("237"),
        ItauSlip("T", "3", "1.00").Bank("341")},
       {"0001 01", "0002 03", "0003 01"}},
      {"bank slips of Itaú, then of other banks",
       {ItauSlip("B", "1", "1.00").Barcode(kBradesco876), ItauSlip("B", "2", "1.00").Barcode(kItau500),
        ItauSlip("B", "3", "1.00").Barcode(kBb147)},
       {"0001 30", "0002 31"}},
      {"bank slips of other banks only", {ItauSlip("B", "1", "1.00").Barcode(kBb147)}, {"0001 31"}},
      {"the first pass's last batch is closed before the bank slips",
       {ItauSlip("F", "1", "1.00").PixKey("02", "a@b.c"), ItauSlip("B", "2", "1.00").Barcode(kItau500)},
       {"0001 45", "0002 30"}},
      {"a PIX batch is closed when a tax follows",
       {ItauSlip("F", "1", "1.00").PixKey("02", "a@b.c"), ItauSlip("G", "2", "1.00")},
       {"0001 45", "0002 17"}},
      {"taxes: one batch per form",
       {ItauSlip("X", "1", "1.00"), ItauSlip("G", "2", "1.00"), ItauSlip("I", "3", "1.00"), ItauSlip("H", "4", "1.00"),
        ItauSlip("J", "5", "1.00"), ItauSlip("R", "6", "1.00").Barcode(kLuz), ItauSlip("G", "7", "1.00")},
       {"0001 17", "0002 18", "0003 16", "0004 21", "0005 13", "0006 22"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Batches(Write({}, c.slips)), c.batches) << c.why;
}

TEST(ItauBatches, ServiceOfEachForm) {
  const std::string file =
      Write({}, {ItauSlip("R", "1", "1.00").Barcode(kLuz), ItauSlip("Q", "2", "1.00").Barcode(kGuia),
                 ItauSlip("X", "3", "1.00"), ItauSlip("U", "4", "1.00"), ItauSlip("Z", "5", "1.00").QrCode(kQrShort)});
  std::vector<std::string> services;
  for (const auto& r : Records(file))
    if (r[7] == '1') services.push_back(Field(r, 12, 13) + ":" + Field(r, 10, 11));
  // GARE and the utility bills are "20", the other taxes and the barcoded guides "22".
  EXPECT_EQ(services, (std::vector<std::string>{"91:22", "13:20", "35:22", "22:20", "47:20"}));
}

TEST(ItauBatches, OnlyItauCreditsCountTheirRecords) {
  const std::string file = Write({}, {ItauSlip("C", "1", "1.00").Bank("341"), ItauSlip("C", "2", "2.00").Bank("341"),
                                     ItauSlip("C", "3", "3.00").Bank("341")});
  const auto records = Records(file);
  EXPECT_EQ(Field(records.back(), 18, 23), "000001");
  EXPECT_EQ(Field(records.back(), 24, 29), "000007");  // 4 + 3 slips
  EXPECT_EQ(Field(records[records.size() - 2], 18, 41), "000005000000000000000600");
}

// ---- Segments ----------------------------------------------------------------------------

TEST(ItauSegments, ContinuationsRepeatTheNumberBefore) {
  const std::string file =
      Write({}, {ItauSlip("F", "1", "1.00").PixKey("02", "a@b.c"), ItauSlip("F", "2", "1.00").Bank("237"),
                 ItauSlip("F", "3", "1.00").PixKey("04", "chave"), ItauSlip("Z", "4", "1.00").QrCode(kQrShort),
                 ItauSlip("Z", "5", "1.00").QrCode(kQrShort), ItauSlip("B", "6", "1.00").Barcode(kItau500),
                 ItauSlip("B", "7", "1.00").Barcode(kItau1250)});
  EXPECT_EQ(Details(file), (std::vector<std::string>{"00001A", "00001B", "00002A", "00003A", "00003B",
                                                     "00001J", "00001J52", "00001J52PIX", "00002J", "00002J52",
                                                     "00002J52PIX", "00001J", "00001J52", "00002J", "00002J52"}));
}

TEST(ItauSegments, PixByKeyAndByAccount) {
  const std::string file = Write({}, {ItauSlip("F", "1", "1.00").PixKey("02", "financeiro@fornecedor.com.br"),
                                     ItauSlip("F", "2", "2.00").Bank("237").Agency("12345").Account("7654321-0")});
  const std::string a = Detail(file, "0000000001", "A");
  EXPECT_EQ(Field(a, 18, 20), "009");
  EXPECT_EQ(Field(a, 24, 43), std::string(20, ' '));
  EXPECT_EQ(Field(a, 105, 119), "        0400000");
  const std::string b = Detail(file, "0000000001", "B");
  EXPECT_EQ(Field(b, 9, 17), "00001B02 ");
  EXPECT_EQ(Field(b, 18, 32), "211222333000181");
  EXPECT_EQ(AllTrim(Field(b, 128, 227)), "financeiro@fornecedor.com.br");
  const std::string account = Detail(file, "0000000002", "A");
  EXPECT_EQ(Field(account, 18, 43), "00923701234 000007654321 0");
  EXPECT_EQ(Field(account, 105, 119), "        0100000");
  EXPECT_EQ(Details(file), (std::vector<std::string>{"00001A", "00001B", "00002A"}));
}

TEST(ItauSegments, PixByQrCode) {
  const std::string file = Write({}, {ItauSlip("Z", "1", "123.45").QrCode(kQrLong)});
  const auto records = Records(file);
  ASSERT_EQ(records.size(), 7u);
  EXPECT_EQ(Field(records[2], 14, 61), "J000" + std::string(44, '0'));
  EXPECT_EQ(Field(records[3], 9, 19), "00001J00052");
  EXPECT_EQ(Field(records[3], 132, 147), std::string(16, '0'));
  EXPECT_EQ(Field(records[4], 9, 19), "00001J00052");
  EXPECT_EQ(Field(records[4], 132, 208), std::string(kQrLong).substr(0, 77));
  EXPECT_EQ(Field(records[4], 209, 240), std::string(32, ' '));
  EXPECT_EQ(Field(records[5], 18, 41), "000005000000000000012345");
}

TEST(ItauSegments, BankSlipsByTheirBarcodePieces) {
  const std::string file = Write({}, {ItauSlip("B", "1", "500.00").Barcode(kItau500)});
  const std::string j = Detail(file, "0000000001", "J");
  EXPECT_EQ(Field(j, 18, 61), kItau500);
  EXPECT_EQ(Field(j, 92, 114), "10122026000000000050000");
  const std::string j52 = Detail(file, "0000000001", "J52");
  EXPECT_EQ(Field(j52, 9, 19), "00001J00052");
  EXPECT_EQ(Field(j52, 20, 35), "2012345678000195");  // the payer, from the batch header
  EXPECT_EQ(Field(j52, 76, 91), "2011222333000181");
}

TEST(ItauSegments, AnIndividualBeneficiaryInJ52) {
  // CPF 123.456.789-09: base, "0000", check digits.
  const std::string file =
      Write({}, {ItauSlip("B", "1", "1.00").Barcode(kItau500).FileRegistration("F", "123.456.789-09")});
  EXPECT_EQ(Field(Detail(file, "0000000001", "J52"), 76, 91), "1123456789000009");
}

TEST(ItauSegments, DocLimitKeepsItsOperator) {
  // DOC ("03") when the limit is at least the value, else TED ("41").
  struct C {
    const char* value;
    const char* limit;
    const char* form;
  } cases[] = {{"4999.99", "4999.99", "03"}, {"5000.00", "4999.99", "41"}, {"0.01", "4999.99", "03"},
               {"0.01", "", "41"},           {"0.00", "", "03"}};
  for (const auto& c : cases)
    EXPECT_EQ(Batches(Write({}, {ItauSlip("T", "1", c.value).Bank("237").DocLimit(c.limit)})),
              (std::vector<std::string>{std::string("0001 ") + c.form}))
        << c.value << " for " << c.limit;
}

TEST(ItauSegments, PayeeAccountMeasuredOnItsDigits) {
  ItauRemittance r;
  r.masks["237"] = {"9999-9", "9999999-9"};
  r.masks["399"] = {"", "99999-99"};
  struct C {
    const char* bank;
    const char* agency;
    const char* account;
    const char* block;  // positions 24-43
  } cases[] = {
      // A check digit after a "-", under a mask with a "-": not swallowed.
      {"237", "12345", "1234567-8", "01234 000001234567 8"},
      {"237", "1234", "12345678", "01234 000001234567 8"},
      {"399", "1234", "12345-67", "01234 00000001234567"},
      // No mask: by the "-" of the stored value, or before its last character.
      {"104", "00123", "0001234567-89", "00123 00000123456789"},
      {"104", "123-4", "1.234.567-8", "00123 000001234567 8"},
      {"104", "123", "1234567", "00123 000000123456 7"},
      // Itaú: agency 4, six-digit account, its check digit.
      {"341", "0911", "12345-6", "00911 000000012345 6"},
      {"341", "911", "0012345-6", "00911 000000012345 6"},
  };
  for (const auto& c : cases) {
    const std::string file = Write(r, {ItauSlip("T", "1", "1.00").Bank(c.bank).Agency(c.agency).Account(c.account)});
    const std::string a = Detail(file, "0000000001", "A");
    ASSERT_EQ(a.size(), 240u) << c.account;
    EXPECT_EQ(Field(a, 24, 43), c.block) << c.bank << " " << c.agency << " " << c.account;
  }
}

TEST(ItauSegments, AgencyMaskWithItsCheckDigit) {
  ItauRemittance r;
  r.masks["341"] = {"9999-9", "99999-9"};
  const std::string file = Write(r, {ItauSlip("T", "1", "1.00").Bank("341").Agency("09117").Account("12345-6")});
  EXPECT_EQ(Field(Detail(file, "0000000001", "A"), 24, 43), "00911 000000012345 6");
}

TEST(ItauSegments, RegistrationsAreTheirDigits) {
  const std::string file =
      Write({}, {ItauSlip("T", "1", "1.00").Bank("341").FileRegistration("J", "  .   .   /    -  "),
                 ItauSlip("T", "2", "1.00").Bank("341").FileRegistration("J", "22.333.444/0001-05"),
                 ItauSlip("F", "3", "1.00").PixKey("03", "12345678909").Registration("F", "123.456.789-09")});
  // A stored mask without digits falls back to the supplier's registration.
  EXPECT_EQ(Field(Detail(file, "0000000001", "A"), 204, 217), "11222333000181");
  EXPECT_EQ(Field(Detail(file, "0000000002", "A"), 204, 217), "22333444000105");
  EXPECT_EQ(Field(Detail(file, "0000000003", "B"), 18, 32), "100012345678909");
}

TEST(ItauSegments, GpsAmounts) {
  const std::string file =
      Write({}, {ItauSlip("G", "1", "110.00").Revenue("2100").Other("5.00").Fine("3.00").Interest("2.00")});
  const std::string n = Detail(file, "0000000001", "N");
  EXPECT_EQ(Field(n, 44, 57), "00000000010000");  // 110 - (5 + 3 + 2)
  EXPECT_EQ(Field(n, 58, 71), "00000000000500");
  EXPECT_EQ(Field(n, 72, 85), "00000000000500");  // 3 + 2
  EXPECT_EQ(Field(n, 86, 99), "00000000011000");
  EXPECT_EQ(Field(n, 30, 43), "12345678000195");
}

TEST(ItauSegments, ExclusionCarriesTheBanksNumbersAndNoTotals) {
  const std::string file =
      Write(Movement("E"), {ItauSlip("T", "1", "700.00").Bank("341").BankNumber("IT1234567890123456XY"),
                            ItauSlip("B", "2", "500.00").Barcode(kItau500).OurNumber("109").BankNumber("NN-2"),
                            ItauSlip("B", "3", "876.54").Barcode(kBradesco876).BankNumber("NN-3")});
  EXPECT_EQ(Field(Detail(file, "0000000001", "A"), 135, 149), "IT1234567890123");
  EXPECT_EQ(Field(Detail(file, "0000000002", "J"), 216, 230), "NN-2           ");
  EXPECT_EQ(Field(Detail(file, "0000000003", "J"), 216, 230), std::string(15, ' '));  // no "nosso número"
  for (const auto& r : Records(file)) {
    if (r[7] == '3') {
      EXPECT_EQ(Field(r, 15, 17), "999") << r;
    }
    if (r[7] == '5') {
      EXPECT_EQ(Field(r, 24, 41), std::string(18, '0')) << r;
    }
  }
}

TEST(ItauSegments, PaymentDateOfTheRemittanceButForPix) {
  const std::string file = Write(PayDate("2026-12-18"), {ItauSlip("T", "1", "1.00").Bank("341"),
                                                         ItauSlip("F", "2", "1.00").Bank("341"),
                                                         ItauSlip("B", "3", "1.00").Barcode(kItau500),
                                                         ItauSlip("Z", "4", "1.00").QrCode(kQrShort)});
  EXPECT_EQ(Field(Detail(file, "0000000001", "A"), 94, 101), "18122026");
  EXPECT_EQ(Field(Detail(file, "0000000002", "A"), 94, 101), "10122026");
  EXPECT_EQ(Field(Detail(file, "0000000003", "J"), 145, 152), "18122026");
  EXPECT_EQ(Field(Detail(file, "0000000004", "J"), 145, 152), "10122026");
}

// ---- The run --------------------------------------------------------------------------------

TEST(ItauRun, CountsWhatItWritesNotTheScreensCount) {
  ItauRun run({}, {ItauSlip("T", "1", "1.00").Bank("341"), ItauSlip("G", "2", "2.00"),
                   ItauSlip("B", "3", "3.00").Barcode(kItau500)});
  run.d.inQtBol = 1;  // stale
  run.Run();
  EXPECT_EQ(run.ctx.written.size(), 3u);
  EXPECT_EQ(run.d.inQtBol, 1);
  EXPECT_TRUE(ItauFileHolds(run.content(), {"00010000000001", "00010000000002", "00010000000003"}, false));
}

TEST(ItauRun, EachRunStartsFresh) {
  ItauRun run({}, {ItauSlip("B", "1", "1.00").Barcode(kItau500), ItauSlip("T", "2", "1.00").Bank("237"),
                   ItauSlip("F", "3", "1.00").PixKey("02", "a@b.c")});
  run.Run();
  MemorySink second;
  WriterContext ctx{run.d, run.net, run.localdb, run.session, run.dialogs, second, "01", "001", "341", 0, {}};
  Remessa_BcoItau(ctx);
  EXPECT_EQ(second.content(), run.content());
}

TEST(ItauRun, BranchInTheHeadersCompanyInTheTaxRecords) {
  ItauRun run(Branch(), {ItauSlip("B", "1", "1.00").Barcode(kItau500), ItauSlip("I", "2", "9.00").Revenue("0561")});
  run.Run();
  const auto records = Records(run.content());
  EXPECT_EQ(Field(records[0], 18, 32), "212345678000276");
  EXPECT_EQ(Field(records[0], 73, 102), "FILIAL CAMPINAS   DISTRIBUICAO");
  EXPECT_EQ(Field(Detail(run.content(), "0000000002", "N"), 24, 38), "212345678000195");
  EXPECT_EQ(Field(Detail(run.content(), "0000000001", "J52"), 20, 75),
            "2012345678000276FILIAL CAMPINAS   DISTRIBUICAO          ");
  EXPECT_EQ(run.transport->Methods(), (std::vector<std::string>{"GetFilial"}));

  ItauRemittance loaded = Branch();
  loaded.branchLoaded = true;
  ItauRun again(loaded, {ItauSlip("T", "1", "1.00").Bank("341")});
  again.Run();
  EXPECT_TRUE(again.transport->Methods().empty());
}

TEST(ItauRun, MasksReadOncePerBankInARow) {
  ItauRun run({}, {ItauSlip("T", "1", "1.00").Bank("237"), ItauSlip("T", "2", "1.00").Bank("237"),
                   ItauSlip("T", "3", "1.00").Bank("001"), ItauSlip("F", "4", "1.00").PixKey("02", "a@b.c")});
  run.Run();
  EXPECT_EQ(run.localdb.asked, (std::vector<std::string>{"237", "001"}));
  EXPECT_EQ(run.d.qryMascBancoForn.FieldByName("CDPICTCONT").AsString(), "99999999");
}

// ---- Refusals: the run stops and nothing is written ----------------------------------

struct Refusal {
  const char* why;
  ItauRemittance remittance;
  std::vector<ItauSlip> slips;
  const char* key;
  std::vector<const char*> named;  // parts of the message shown
};

void PrintTo(const Refusal& r, std::ostream* os) { *os << r.why; }

class ItauRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(ItauRefusal, StopsBeforeAnyRecordIsWritten) {
  const Refusal& r = GetParam();
  ItauRun run(r.remittance, r.slips);
  try {
    run.Run();
    FAIL() << r.why << ": the file was written";
  } catch (const Abort& a) {
    EXPECT_EQ(a.key(), r.key) << r.why;
  }
  EXPECT_EQ(run.sink.records(), 0) << r.why;
  EXPECT_TRUE(run.content().empty()) << r.why;
  EXPECT_FALSE(run.d.cdsBoletos.Filtered()) << r.why;
  EXPECT_FALSE(run.d.cdsBoletos.ControlsDisabled()) << r.why;
  ASSERT_EQ(run.dialogs.Errors().size(), 1u) << r.why;
  const std::string shown = run.dialogs.Errors().front();
  for (const char* part : r.named)
    EXPECT_NE(shown.find(part), std::string::npos) << r.why << ": " << part << " in " << shown;
}

ItauRemittance CompanyRegistration(const char* number) {
  ItauRemittance r;
  r.companyRegistration = number;
  return r;
}
ItauRemittance BranchRegistration(const char* number) {
  ItauRemittance r = Branch();
  r.branchRegistration = number;
  return r;
}
ItauRemittance UnknownBranch() {
  ItauRemittance r;
  r.branch = "0777";
  return r;
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, ItauRefusal,
    ::testing::Values(
        Refusal{"a payment order",
                {},
                {ItauSlip("T", "1", "1.00").Bank("341"), ItauSlip("O", "99", "10.00").Bank("341"),
                 ItauSlip("O", "98", "1.00").Unmarked()},
                "Modo_Nao_Tratado",
                {"0001/0000000099", "tipo de baixa O: ordem de pagamento", "banco 341"}},
        Refusal{"a bank slip with its typed line only",
                {},
                {ItauSlip("B", "7", "147.80").TypedLine("00190.00009 03432.568008 00010.035178 1 91700000014780")},
                "Modo_Nao_Tratado",
                {"0001/0000000007", "tipo de baixa B: sem código de barras"}},
        Refusal{"a utility bill without barcode",
                {},
                {ItauSlip("R", "8", "150.90").TypedLine(kLineLuz)},
                "Modo_Nao_Tratado",
                {"0001/0000000008", "tipo de baixa R: sem código de barras"}},
        Refusal{"a barcoded guide without barcode",
                {},
                {ItauSlip("G", "1", "1.00"), ItauSlip("Q", "9", "1000.00")},
                "Modo_Nao_Tratado",
                {"0001/0000000009", "tipo de baixa Q"}},
        Refusal{"a credit without the payee's bank, to an Itaú remittance",
                {},
                {ItauSlip("T", "10", "1.00").Agency("0911").Account("12345-6")},
                "Modo_Nao_Tratado",
                {"0001/0000000010", "tipo de baixa T: banco do favorecido"}},
        Refusal{"a GPS whose parts exceed its total",
                {},
                {ItauSlip("T", "1", "1.00").Bank("341"), ItauSlip("G", "7", "100.00").Other("50.00").Fine("30.00")
                                                             .Interest("30.00")},
                "Valor_Negativo",
                {"do INSS (-10,00)", "0001/0000000007"}},
        Refusal{"a DARJ whose fine and interest exceed its total",
                {},
                {ItauSlip("J", "8", "10.00").Fine("20.00")},
                "Valor_Negativo",
                {"principal do DARJ (-10,00)", "0001/0000000008"}},
        Refusal{"a negative payment", {}, {ItauSlip("T", "9", "-5.00").Bank("341")}, "Valor_Negativo",
                {"do pagamento (-5,00)", "0001/0000000009"}},
        Refusal{"an amount too long for its field",
                {},
                {ItauSlip("T", "1", "1.00").Bank("341"), ItauSlip("T", "2", "10000000000000.00").Bank("341")},
                "Campo_Excede",
                {"Itaú (341)", "Segmento A", "120-134", "Valor do pagamento", "0001/0000000002"}},
        Refusal{"a payee account too long for its mask",
                {},
                {ItauSlip("D", "3", "1.00").Bank("237").Account("1234567890123-4")},
                "Campo_Excede",
                {"Segmento A", "30-41", "Conta favorecida", "0001/0000000003"}},
        Refusal{"a barcode short of digits",
                {},
                {ItauSlip("B", "4", "1.00").Barcode("3419492000000050000109123456780001234567800")},
                "Campo_Excede",
                {"Itaú (341)", "0001/0000000004"}},
        Refusal{"a branch the server does not know", UnknownBranch(), {ItauSlip("T", "1", "1.00").Bank("341")},
                "FIL_N_CAD", {"Filial não cadastrada"}},
        Refusal{"a company registration of 15 digits", CompanyRegistration("123456789012345"),
                {ItauSlip("T", "1", "1.00").Bank("341")}, "INSCRICAO_INV", {"no máximo 14"}},
        Refusal{"a branch registration of 15 digits", BranchRegistration("123456789012345"),
                {ItauSlip("T", "1", "1.00").Bank("341")}, "INSCR_FILI_INV", {}},
        Refusal{"a tax of a company whose registration has 15 digits, in a branch's remittance",
                [] {
                  ItauRemittance r = Branch();
                  r.companyRegistration = "123456789012345";
                  return r;
                }(),
                {ItauSlip("T", "1", "1.00").Bank("341"), ItauSlip("G", "2", "1.00")}, "INSCRICAO_INV", {}}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace pag::testing
