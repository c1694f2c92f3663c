// The Santander remittance file: golden files for every payment mode, the
// two passes and their batches, the payee's agency and account by the
// pictures of its bank, the file sequence of each phase, and the refusals
// that leave no record written.
#include "writers/Cli_pag00113.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/errors.h"
#include "host/text.h"
#include "santander_fixture.h"
#include "writers/cnab/invariants.h"
#include "writers/golden.h"

namespace pag::testing {
namespace {

// Bank slips (44 digits) and typed lines; utility and tax barcodes.
constexpr const char* kSantander1234 = "03391925000001234569123456700000012345670101";  // 1.234,56
constexpr const char* kSantander500 = "03394926000000500009765432100000098765430102";   // 500,00
constexpr const char* kItau899 = "34198920100000899901091234567800012345678000";        // 899,90
constexpr const char* kLineSantander500 = "03399.76540 32100.000093 87654.301024 4 92600000050000";
constexpr const char* kLineItau899 = "34191.09123 34567.800015 23456.780008 8 92010000089990";
constexpr const char* kLuz = "82650000001509001234567890123456789012345678";   // 150,90
constexpr const char* kAgua = "85610000004821702700000000000020261210000001";  // 482,17
constexpr const char* kGuia = "85610000010000000251234500000020261215000002";  // 1.000,00

// ---- Reading a file back ----------------------------------------------------------------

std::vector<std::string> Records(const std::string& content) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i + 240 <= content.size(); i += 242) out.push_back(content.substr(i, 240));
  return out;
}

std::string Field(const std::string& record, int from, int to) {
  return record.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1));
}

// Each batch header's number, service type, method and layout version:
// "0001 20 30 030".
std::vector<std::string> Batches(const std::string& content) {
  std::vector<std::string> out;
  for (const auto& r : Records(content))
    if (r[7] == '1')
      out.push_back(Field(r, 4, 7) + " " + Field(r, 10, 11) + " " + Field(r, 12, 13) + " " + Field(r, 14, 16));
  return out;
}

// The details in order, with their number and the entry of their slip
// where they carry one: "00001A", "00001B*" (a PIX segment B), "00002J52".
std::vector<std::string> Details(const std::string& content) {
  std::vector<std::string> out;
  for (const auto& r : Records(content)) {
    if (r[7] != '3') continue;
    std::string d = Field(r, 9, 14);
    if (r[13] == 'J' && r[14] == ' ') d += "52";
    if (r[13] == 'B' && Field(r, 15, 17) != "   ") d += "*";
    out.push_back(d);
  }
  return out;
}

// The amount each detail adds to its batch: segments A, J, N and O.
std::optional<Money> SantanderDetailAmount(std::string_view line) {
  struct Where {
    char segment;
    std::size_t from;
    std::size_t to;
  };
  static constexpr Where kAmounts[] = {{'A', 120, 134}, {'J', 153, 167}, {'N', 96, 110}, {'O', 108, 122}};
  if (line[13] == 'J' && line[14] == ' ') return std::nullopt;  // J-52
  for (const Where& w : kAmounts)
    if (line[13] == w.segment) return Money::FromCents(StrToInt(line.substr(w.from - 1, w.to - w.from + 1)));
  return std::nullopt;
}

// The file without the details that carry the number of the detail before
// them (the PIX segments B), its trailers' counts lowered to match, for the
// family's arithmetic that numbers every detail anew.
std::string WithoutRepeatedNumbers(const std::string& content) {
  std::string out;
  int inBatch = 0;
  int inFile = 0;
  std::string previous;
  for (std::string r : Records(content)) {
    const bool repeats =
        r[7] == '3' && !previous.empty() && previous[7] == '3' && Field(r, 9, 13) == Field(previous, 9, 13);
    previous = r;
    if (repeats) {
      ++inBatch;
      ++inFile;
      continue;
    }
    if (r[7] == '5') {
      r.replace(17, 6, Ajusta(std::to_string(StrToInt(Field(r, 18, 23)) - inBatch), 6));
      inBatch = 0;
    }
    if (r[7] == '9') r.replace(23, 6, Ajusta(std::to_string(StrToInt(Field(r, 24, 29)) - inFile), 6));
    out += r + "\r\n";
  }
  return out;
}

// What every file keeps: 240 printable positions and CR LF a line, trailers
// equal to the details they close, and every slip written once.
void ExpectSound(const SantanderRun& run, const std::vector<Slip>& slips, bool exclusion) {
  const std::string& content = run.content();
  const auto problems = CheckRecords(content, 240);
  EXPECT_TRUE(problems.empty()) << Describe(problems.front());
  EXPECT_TRUE(TrailersMatchDetails(WithoutRepeatedNumbers(content), SantanderDetailAmount, exclusion));
  std::size_t marked = 0;
  for (const Slip& slip : slips)
    if (slip.f.at("IDMARCADO") == "S") {
      ++marked;
      EXPECT_EQ(run.ctx.written.count(RemessaData::SlipKey(slip.f.at("CDFILIBPAG"), slip.f.at("NRLANBOLPAG"))), 1u)
          << slip.f.at("NRLANBOLPAG");
    }
  EXPECT_EQ(run.ctx.written.size(), marked);
}

// The file of a remittance, checked as every file is.
std::string Write(const SantanderRemittance& r, const std::vector<Slip>& slips) {
  SantanderRun run(r, slips);
  try {
    run.Run();
  } catch (const Abort&) {
    ADD_FAILURE() << run.dialogs.Errors().front();
  }
  ExpectSound(run, slips, r.movement == "E");
  return run.content();
}

// ---- Golden files ---------------------------------------------------------------------------

struct Scenario {
  const char* name;
  SantanderRemittance remittance;
  std::vector<Slip> slips;
};

void PrintTo(const Scenario& s, std::ostream* os) { *os << s.name; }

SantanderRemittance Movement(const char* m) {
  SantanderRemittance r;
  r.movement = m;
  return r;
}

Slip Doc(const char* mode, const char* entry, const char* value, const char* bank, const char* limit) {
  return Slip(mode, entry, value).Bank(bank).Agency("1234").Account("12345-6").Set("VRMAXDOCCNAB", limit);
}

std::vector<Scenario> Scenarios() {
  SantanderRemittance branch;
  branch.branch = "0002";
  return {
      {"doc_gps_e_boletos",
       {},
       {Slip("D", "101", "1500.00").Bank("237").Agency("12345").Account("1234567-8").Set("VRMAXDOCCNAB", "5000.00"),
        Slip("G", "102", "1100.00").Name("INSS").Revenue("2100").Period("2026-11-01").Other("100.00").Fine("20.00")
            .Interest("30.00"),
        Slip("B", "103", "1234.56").Barcode(kSantander1234).Name("Papelaria Central Ltda"),
        Slip("B", "104", "899.90").Barcode(kItau899).Supplier("F002").Name("Gráfica Rápida ME")
            .Registration("F", "123.456.789-09")}},
      {"transferencias_alternadas",
       {},
       {Slip("C", "201", "100.00").Bank("033").Agency("3456").Account("13001234-5"),
        Slip("D", "202", "200.00").Bank("237").Agency("12345").Account("7654321-0").Set("VRMAXDOCCNAB", "5000.00"),
        Slip("S", "203", "300.00").Bank("237").Agency("12345").Account("7654321-0").Supplier("F002"),
        Slip("T", "204", "400.00").Bank("033").Agency("3456").Account("13005678-9"),
        Slip("T", "205", "500.00").Bank("237").Agency("43210").Account("1111111-1").Supplier("F002"),
        Slip("T", "206", "999.00").Bank("237").Agency("43210").Account("1111111-1").Unmarked(),
        Slip("T", "207", "600.00").Bank("033").Agency("3456").Account("13009999-0")}},
      {"limites_do_doc",
       {},
       {Doc("D", "301", "4999.99", "341", "5000.00"), Doc("D", "302", "5000.00", "341", "5000.00"),
        Doc("T", "303", "5000.01", "341", "5000.00"), Doc("D", "304", "1.00", "341", "0"),
        Doc("C", "305", "5000.00", "033", "5000.00").Account("13001234-5")}},
      {"pix",
       {},
       {PixSlip("F", "401", "150.00", "01", "+5511987654321").Name("Maria da Silva")
            .Registration("F", "123.456.789-09"),
        PixSlip("F", "402", "250.00", "02", "financeiro@fornecedor.com.br").Supplier("F002"),
        PixSlip("F", "403", "350.00", "03", "11222333000181").FileRegistration("J", "22.333.444/0001-05"),
        PixSlip("F", "404", "450.00", "04", "123e4567-e89b-12d3-a456-426614174000"),
        PixSlip("F", "405", "550.00", "", "").Bank("341").Agency("0987").Account("54321-0"),
        PixSlip("Z", "406", "650.00", "", "").Bank("237").Agency("43210").Account("1111111-1")}},
      {"ordem_de_pagamento",
       {},
       {Slip("O", "501", "350.00").Bank("033").Account("13001234-5"),
        Slip("O", "502", "420.00").Supplier("F002").Name("João Pedro dos Santos")
            .Registration("F", "987.654.321-00")}},
      {"contas_pelas_mascaras",
       {},
       {Slip("C", "601", "10.00").Bank("033").Agency("3456").Account("13001234-5"),
        Slip("T", "602", "20.00").Bank("422").Agency("01234").Account("12345-67"),
        Slip("T", "603", "30.00").Bank("756").Agency("321-0").Account("123456-7").Supplier("F003"),
        Slip("T", "604", "40.00").Bank("104").Agency("0123").Account("0012345-67").Supplier("F004")
            .Name("José da Conceição & Cia. — Peças/Serv."),
        Slip("T", "605", "50.00").Bank("104").Agency("0123").Account("98765-4"),
        Slip("T", "606", "60.00").Bank("748").Agency("0101").Account("1234567890"),
        Slip("T", "607", "70.00").Bank("748").Agency("0101").Account("123456789-0"),
        Slip("T", "608", "80.00").Bank("070").Agency("123").Account("4567890")}},
      {"tributos_com_codigo_de_barras",
       {},
       {Slip("R", "701", "150.90").Barcode(kLuz).Name("Eletropaulo Metropolitana Eletricidade"),
        Slip("I", "702", "482.17").Barcode(kAgua).Name("Sabesp"),
        Slip("U", "703", "1000.00").Barcode(kGuia).Name("Conectividade Social FGTS").Revenue("0115")
            .Reference("12345678901234567890").Seal("123456789", "07"),
        Slip("U", "704", "150.90").Barcode(kLuz).Name("Guia sem lacre")}},
      {"tributos_sem_codigo_de_barras",
       {},
       {Slip("G", "801", "1100.00").Name("INSS").Revenue("2100").Period("2026-11-01").Other("100.00").Fine("20.00")
            .Interest("30.00"),
        Slip("H", "802", "450.00").Name("Simples Nacional").Revenue("6106").Period("2026-11-30").Other("10000.00")
            .Percentage("4.50").Fine("1.50").Interest("0.30"),
        Slip("X", "803", "3000.00").Name("Fazenda SP").Revenue("0462").Due("2026-12-15")
            .StateRegistration("110.042.490.114").Reference("0000123456789").Period("2026-11-01").Instalment("1234")
            .Other("2900.00").Interest("60.00").Fine("40.00")}},
      {"boletos",
       {},
       {Slip("B", "901", "1234.56").Barcode(kSantander1234),
        Slip("B", "902", "500.00").TypedLine(kLineSantander500).Name("Distribuidora Norte S/A"),
        Slip("B", "903", "899.90").Barcode(kItau899).FileRegistration("J", "22.333.444/0001-05"),
        Slip("B", "904", "899.90").TypedLine(kLineItau899),
        Slip("B", "905", "500.00").Barcode(kSantander500).Supplier("F002"),
        Slip("B", "906", "10.00").Barcode(kSantander500).Unmarked()}},
      {"exclusao",
       Movement("E"),
       {Slip("D", "1001", "700.00").Bank("237").Agency("12345").Account("1234567-8").Set("VRMAXDOCCNAB", "5000.00")
            .BankNumber("STD123456789012345XY"),
        Slip("B", "1002", "1234.56").Barcode(kSantander1234).BankNumber("00012345670000001231"),
        Slip("G", "1003", "500.00").Name("INSS").Revenue("2100").BankNumber("GPS-000123"),
        Slip("R", "1004", "150.90").Barcode(kLuz).BankNumber("LUZ-987")}},
      {"bloqueio",
       Movement("B"),
       {Slip("T", "1101", "300.00").Bank("341").Agency("1234").Account("5555-5").Set("VRMAXDOCCNAB", "5000.00"),
        Slip("B", "1102", "899.90").Barcode(kItau899)}},
      {"remessa_da_filial",
       branch,
       {Slip("T", "1201", "700.00").Bank("033").Agency("3456").Account("13001234-5"),
        Slip("B", "1202", "1234.56").Barcode(kSantander1234),
        Slip("H", "1203", "95.00").Name("Simples Nacional").Revenue("6106")}},
      {"todos_os_modos",
       {},
       {Slip("X", "1301", "3000.00").Name("Fazenda SP").Revenue("0462").Other("3000.00"),
        Slip("U", "1302", "1000.00").Barcode(kGuia).Revenue("0115"),
        Slip("T", "1303", "100.00").Bank("033").Agency("3456").Account("1-1"),
        Slip("S", "1304", "200.00").Bank("237").Agency("1234").Account("2-2"),
        Slip("R", "1305", "150.90").Barcode(kLuz),
        Slip("O", "1306", "300.00").Bank("033").Account("3-3"),
        Slip("I", "1307", "482.17").Barcode(kAgua),
        Slip("H", "1308", "600.00").Revenue("6106"),
        Slip("G", "1309", "700.00").Revenue("2100").Other("100.00"),
        Slip("D", "1310", "800.00").Bank("341").Agency("1234").Account("4-4").Set("VRMAXDOCCNAB", "5000.00"),
        Slip("C", "1311", "900.00").Bank("033").Agency("3456").Account("5-5"),
        PixSlip("F", "1312", "50.00", "02", "pix@fornecedor.com.br"),
        PixSlip("Z", "1313", "60.00", "", "").Bank("237").Agency("1234").Account("6-6"),
        Slip("B", "1314", "899.90").Barcode(kItau899),
        Slip("B", "1315", "1234.56").Barcode(kSantander1234)}},
  };
}

class SantanderGolden : public ::testing::TestWithParam<Scenario> {};

TEST_P(SantanderGolden, WritesTheExpectedFile) {
  const Scenario& s = GetParam();
  SantanderRun run(s.remittance, s.slips);
  run.documents["0000000101"] = {"000000045678", "1"};  // one invoice behind the DOC
  ASSERT_NO_THROW(run.Run()) << (run.dialogs.Errors().empty() ? "" : run.dialogs.Errors().front());
  ExpectSound(run, s.slips, s.remittance.movement == "E");
  EXPECT_TRUE(MatchesGolden(std::string(PAG_TEST_GOLDEN) + "/santander/" + s.name + ".txt", run.content(),
                            SantanderLayout));
  EXPECT_FALSE(run.d.cdsBoletos.Filtered());
  EXPECT_FALSE(run.d.cdsBoletos.ControlsDisabled());
}

INSTANTIATE_TEST_SUITE_P(Scenarios, SantanderGolden, ::testing::ValuesIn(Scenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

// ---- Batches --------------------------------------------------------------------------------

TEST(SantanderBatches, OneBatchPerRunOfAMethodThenTheBankSlips) {
  struct C {
    const char* why;
    std::vector<Slip> slips;
    std::vector<std::string> batches;
  } cases[] = {
      {"a DOC, a GPS and bank slips of Santander and of another bank",
       {Slip("B", "1", "500.00").Barcode(kItau899), Slip("G", "2", "1.00"),
        Slip("B", "3", "1.00").Barcode(kSantander500),
        Slip("D", "4", "1.00").Bank("237")},
       {"0001 20 03 031", "0002 22 17 010", "0003 20 30 030", "0004 20 31 030"}},
      {"transfers alternating between Santander and another bank",
       {Slip("T", "1", "1.00").Bank("033"), Slip("T", "2", "1.00").Bank("237"), Slip("T", "3", "1.00").Bank("033"),
        Slip("T", "4", "1.00").Bank("033")},
       {"0001 20 01 031", "0002 20 03 031", "0003 20 01 031"}},
      {"modes of one method share a batch", {Slip("D", "1", "1.00").Bank("237"), Slip("T", "2", "1.00").Bank("341")},
       {"0001 20 03 031"}},
      {"a bill and a bill-like DARF share the batch of method 11",
       {Slip("R", "1", "1.00").Barcode(kLuz), Slip("I", "2", "1.00").Barcode(kAgua)}, {"0001 22 11 010"}},
      {"a guide with seal: method 99 written as 11",
       {Slip("R", "1", "1.00").Barcode(kLuz), Slip("U", "2", "1.00").Barcode(kGuia)},
       {"0001 22 11 010", "0002 22 11 010"}},
      {"a GARE batch is of service type 20", {Slip("X", "1", "1.00")}, {"0001 20 22 010"}},
      {"PIX by key and by QR code",
       {PixSlip("Z", "1", "1.00", "", "").Bank("237"), PixSlip("F", "2", "1.00", "04", "chave")},
       {"0001 20 45 031", "0002 20 47 031"}},
      {"a bank slip without barcode is of no bank: the other banks' batch",
       {Slip("B", "1", "1.00").TypedLine(kLineSantander500), Slip("B", "2", "1.00").Barcode(kSantander500)},
       {"0001 20 30 030", "0002 20 31 030"}},
      {"only bank slips of other banks", {Slip("B", "1", "1.00").Barcode(kItau899)}, {"0001 20 31 030"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Batches(Write({}, c.slips)), c.batches) << c.why;
}

TEST(SantanderBatches, DetailsOfEachKindAndTheirNumbers) {
  const std::string file =
      Write({}, {Slip("U", "1", "1.00").Barcode(kGuia), Slip("T", "2", "1.00").Bank("033"),
                 Slip("B", "3", "1.00").Barcode(kItau899), Slip("G", "4", "1.00"),
                 PixSlip("F", "5", "1.00", "02", "a@b.com"), PixSlip("F", "6", "1.00", "02", "c@d.com"),
                 PixSlip("F", "7", "1.00", "", "").Bank("237"), Slip("O", "8", "1.00").Bank("033")});
  // A PIX segment B repeats the number of its segment A; J-52 and the
  // other segments B and W take the next one.
  EXPECT_EQ(Details(file), (std::vector<std::string>{"00001A", "00001B*", "00002A", "00002B*", "00003A", "00001N",
                                                     "00001A", "00002B", "00001A", "00002B", "00001O", "00002W",
                                                     "00001J", "00002J52"}));
  // The trailer of the PIX batch counts both of its segments B.
  const auto records = Records(file);
  EXPECT_EQ(Field(records[7], 18, 23), "000007");
}

TEST(SantanderBatches, ClosedAtTheEndOfEveryPassWhateverTheScreenCounted) {
  const std::vector<Slip> slips = {Slip("T", "1", "1.00").Bank("033"), Slip("T", "2", "1.00").Bank("033"),
                                   Slip("B", "3", "1.00").Barcode(kSantander500),
                                   Slip("B", "4", "1.00").Barcode(kItau899)};
  SantanderRun run({}, slips);
  run.d.inQtBol = 1;  // the screen's count is not what decides
  run.Run();
  EXPECT_EQ(Batches(run.content()), (std::vector<std::string>{"0001 20 01 031", "0002 20 30 030", "0003 20 31 030"}));
  EXPECT_EQ(run.ctx.written.size(), 4u);
  EXPECT_EQ(run.d.inQtBol, 1);
  ExpectSound(run, slips, false);
}

// ---- Segment A --------------------------------------------------------------------------------

TEST(SantanderSegmentA, PayeeAgencyAndAccountByThePicturesOfItsBank) {
  struct C {
    SantanderPayeeSource in;
    const char* agency;
    const char* agencyDigit;
    const char* account;
    const char* accountDigit;
  } cases[] = {
      // Two check digits: the first ends the account, the second is its digit.
      {{.agency = "1234", .account = "12345-67", .agencyPicture = "9999", .accountPicture = "99999-99",
        .payeeBank = "422"},
       "1234", " ", "123456", "7"},
      {{.account = "123456-7", .accountPicture = "999999-9", .payeeBank = "756"}, "", " ", "123456", "7"},
      // Digits short of the picture are padded before they are split.
      {{.account = "1234567", .accountPicture = "99999999-99", .payeeBank = "422"}, "", " ", "000123456", "7"},
      {{.account = "345-6", .accountPicture = "99999999-9", .payeeBank = "033"}, "", " ", "00000345", "6"},
      // An agency picture with "-": its digits, the last one as check digit.
      {{.agency = "1234-5", .accountPicture = "9-9", .payeeBank = "237"}, "1234", "5", "0", "0"},
      {{.agency = "0987", .agencyPicture = "9999-9", .payeeBank = "237"}, "0987", " ", "", " "},
      {{.agency = "01234", .agencyPicture = "99999", .payeeBank = "422"}, "01234", " ", "", " "},
      // No picture: the agency and the account split at their "-".
      {{.agency = "4321-0", .account = "98765-4", .payeeBank = "104"}, "4321", "0", "98765", "4"},
      {{.agency = "4321-", .account = "0012345-67", .payeeBank = "104"}, "4321", " ", "000000123456", "7"},
      {{.agency = " 123 ", .account = "12.345-6", .payeeBank = "104"}, "123", " ", "12345", "6"},
      // Stored with a "-" its picture does not have: split on its digits.
      {{.account = "123456789-0", .accountPicture = "9999999999", .payeeBank = "748"}, "", " ", "123456789", "0"},
      // Without "-": Santander's last digit is the check digit; others have none.
      {{.account = "130012345", .payeeBank = "033"}, "", " ", "13001234", "5"},
      {{.account = "1234567890", .accountPicture = "9999999999", .payeeBank = "748"}, "", " ", "1234567890", " "},
      {{.account = "", .payeeBank = "033"}, "", " ", "", " "},
  };
  for (const auto& c : cases) {
    const SantanderPayeeAccount p = SantanderPayeeAccountOf(c.in);
    const std::string what = std::string(c.in.agency) + " " + std::string(c.in.account);
    EXPECT_EQ(p.agency, c.agency) << what;
    EXPECT_EQ(p.agencyDigit, c.agencyDigit) << what;
    EXPECT_EQ(p.account, c.account) << what;
    EXPECT_EQ(p.accountDigit, c.accountDigit) << what;
  }
}

TEST(SantanderSegmentA, ClearingHouseAndDocPurpose) {
  struct C {
    Slip slip;
    const char* clearing;  // 18-20
    const char* purpose;   // 218-219
  } cases[] = {
      {Doc("D", "1", "4999.99", "341", "5000.00"), "700", "03"},
      {Doc("D", "1", "5000.00", "341", "5000.00"), "810", "03"},
      {Doc("D", "1", "0.01", "341", "0"), "810", "03"},
      {Doc("T", "1", "5000.00", "033", "5000.00"), "000", "99"},
      {Doc("O", "1", "5000.00", "033", "5000.00"), "000", "99"},
      {PixSlip("F", "1", "1.00", "01", "+5511987654321"), "009", "99"},
      {PixSlip("Z", "1", "1.00", "", "").Bank("237").Set("VRMAXDOCCNAB", "5000.00"), "009", "99"},
  };
  for (const auto& c : cases) {
    const auto records = Records(Write({}, {c.slip}));
    const std::string what = c.slip.f.at("IDBAIXAUTILP") + " " + c.slip.f.at("VRFINALBPAG");
    EXPECT_EQ(Field(records[2], 18, 20), c.clearing) << what;
    EXPECT_EQ(Field(records[2], 218, 219), c.purpose) << what;
  }
}

TEST(SantanderSegmentA, DocumentNumberFromTheSlipsInvoice) {
  SantanderRun run({}, {Doc("D", "1", "1.00", "341", "0"), Doc("D", "2", "1.00", "341", "0")});
  run.documents["0000000001"] = {"000000123456789", "UNICA"};
  run.Run();
  const auto records = Records(run.content());
  EXPECT_EQ(Field(records[2], 74, 93), "0123456789UN        ");
  EXPECT_EQ(Field(records[4], 74, 93), "00010000000002      ");  // none: branch and entry
  EXPECT_EQ(Field(records[2], 178, 217), "00010000000001" + std::string(26, ' '));
}

// ---- The file header ---------------------------------------------------------------------------

TEST(SantanderFileHeader, SequenceOfTheTestAndTheProductionPhase) {
  struct C {
    const char* phase;
    const char* counter;
    const char* sequence;  // 158-163
    const char* reset;     // what the counter was set to
  } cases[] = {
      {"T", "7", "000007", ""},
      {"T", "00000000000000000011", "000001", "00000000000000000001"},
      {"P", "3", "000011", "00000000000000000011"},
      {"P", "00000000000001234567", "234567", ""},
      {"", "11", "000001", "00000000000000000001"},  // no phase yet: a test file
  };
  for (const auto& c : cases) {
    SantanderRemittance r;
    r.phase = c.phase;
    r.counter = c.counter;
    SantanderRun run(r, {Slip("T", "1", "1.00").Bank("033")});
    run.Run();
    EXPECT_EQ(Field(Records(run.content())[0], 158, 163), c.sequence) << c.phase << " " << c.counter;
    EXPECT_EQ(run.counterReset, c.reset) << c.phase << " " << c.counter;
  }
}

TEST(SantanderFileHeader, Bank353WritesTheSameFileAs033) {
  SantanderRemittance r353;
  r353.bank = "353";
  const std::vector<Slip> slips = {Slip("T", "1", "1.00").Bank("033"), Slip("B", "2", "1.00").Barcode(kSantander500),
                                   Doc("D", "3", "1.00", "237", "5000.00"), Slip("G", "4", "1.00")};
  const std::string file = Write(r353, slips);
  EXPECT_EQ(file, Write({}, slips));
  EXPECT_EQ(Field(Records(file)[0], 1, 3), "033");
}

TEST(SantanderFileHeader, AgreementOfTheAccountOrOfTheCompany) {
  SantanderRemittance r;
  EXPECT_EQ(Field(Records(Write(r, {Slip("T", "1", "1.00").Bank("033")}))[0], 33, 52), "3300123456789012    ");
  r.accountIdent = "";
  EXPECT_EQ(Field(Records(Write(r, {Slip("T", "1", "1.00").Bank("033")}))[0], 33, 52), "SANTANDER0042       ");
  r.agreement = "";
  EXPECT_EQ(Field(Records(Write(r, {Slip("T", "1", "1.00").Bank("033")}))[1], 33, 52), std::string(20, ' '));
}

TEST(SantanderFileHeader, ServerCallsOfARun) {
  SantanderRun run({}, {Slip("T", "1", "1.00").Bank("033"), Slip("G", "2", "1.00")});
  run.Run();
  // The agreement again for every batch header; one document per segment A.
  EXPECT_EQ(run.transport->Methods(),
            (std::vector<std::string>{"GetIdConta", "ProximoCodigo", "GetIdConta", "GetIdConta", "GetDocBole"}));
  EXPECT_EQ(run.localdb.queries["qryMascBancoForn"], 1);
  EXPECT_EQ(run.localdb.queries["qryEndeForn"], 1);
}

TEST(SantanderFileHeader, EachRunStartsFresh) {
  const std::vector<Slip> slips = {Slip("B", "1", "1.00").Barcode(kSantander500), Slip("T", "2", "1.00").Bank("237")};
  SantanderRun run({}, slips);
  run.Run();
  MemorySink second;
  WriterContext ctx{run.d, run.net, run.localdb, run.session, run.dialogs, second, "01", "001", "033", 0, {}};
  Remessa_Santander(ctx);
  EXPECT_EQ(second.content(), run.content());
}

// ---- Refusals: the run stops and nothing is written ----------------------------------

struct Refusal {
  const char* why;
  SantanderRemittance remittance;
  std::vector<Slip> slips;
  const char* key;
  std::vector<std::string> named;  // parts of the message shown
};

void PrintTo(const Refusal& r, std::ostream* os) { *os << r.why; }

class SantanderRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(SantanderRefusal, StopsBeforeAnyRecordIsWritten) {
  const Refusal& r = GetParam();
  SantanderRun run(r.remittance, r.slips);
  try {
    run.Run();
    FAIL() << r.why << ": the file was written";
  } catch (const Abort& a) {
    EXPECT_EQ(a.key(), r.key) << r.why;
  }
  EXPECT_EQ(run.sink.records(), 0) << r.why;
  EXPECT_TRUE(run.content().empty()) << r.why;
  ASSERT_EQ(run.dialogs.Errors().size(), 1u) << r.why;
  const std::string shown = run.dialogs.Errors().front();
  for (const std::string& part : r.named)
    EXPECT_NE(shown.find(part), std::string::npos) << r.why << ": " << part << " in " << shown;
  EXPECT_FALSE(run.d.cdsBoletos.Filtered()) << r.why;
  EXPECT_FALSE(run.d.cdsBoletos.ControlsDisabled()) << r.why;
  if (std::string_view(r.key) == "Modo_Nao_Tratado") {  // refused before the file is numbered
    const auto methods = run.transport->Methods();
    EXPECT_EQ(std::count(methods.begin(), methods.end(), "ProximoCodigo"), 0) << r.why;
  }
}

SantanderRemittance CompanyRegistration(const char* number) {
  SantanderRemittance r;
  r.companyRegistration = number;
  return r;
}

std::vector<Refusal> Refusals() {
  std::vector<Refusal> out;
  // A tax guide without barcode that this file has no record for would be
  // written as a credit: each is refused, as is a compensation.
  for (const char* mode : {"J", "K", "N", "Q", "V", "P"})
    out.push_back({"a slip of a mode without a record",
                   {},
                   {Slip("T", "1", "1.00").Bank("033"), Slip(mode, "99", "10.00"), Slip("J", "98", "1.00").Unmarked()},
                   "Modo_Nao_Tratado",
                   {"0001/0000000099", std::string("tipo de baixa ") + mode, "banco 033"}});
  out.push_back({"a DARF of mode I without the barcode it is paid by",
                 {},
                 {Slip("R", "1", "1.00").Barcode(kLuz), Slip("I", "96", "10.00").Revenue("0561")},
                 "Modo_Nao_Tratado",
                 {"0001/0000000096", "tipo de baixa I", "banco 033"}});
  out.push_back({"a slip of no mode on a remittance of bank 353",
                 [] {
                   SantanderRemittance r;
                   r.bank = "353";
                   return r;
                 }(),
                 {Slip("", "97", "10.00")},
                 "Modo_Nao_Tratado",
                 {"0001/0000000097", "banco 353"}});
  out.push_back({"a GPS whose parts exceed its total",
                 {},
                 {Slip("T", "1", "1.00").Bank("033"),
                  Slip("G", "7", "100.00").Other("50.00").Fine("30.00").Interest("30.00")},
                 "Valor_Negativo",
                 {"do INSS (-10,00)", "0001/0000000007"}});
  out.push_back({"a negative payment", {}, {Slip("T", "9", "-5.00").Bank("033")}, "Valor_Negativo",
                 {"do pagamento (-5,00)", "0001/0000000009"}});
  out.push_back({"an amount too long for its field",
                 {},
                 {Slip("T", "1", "1.00").Bank("033"), Slip("T", "2", "10000000000000.00").Bank("033")},
                 "Campo_Excede",
                 {"Santander (033)", "Segmento A", "120-134", "Valor do pagamento", "0001/0000000002"}});
  out.push_back({"a payee account longer than its bank's picture",
                 {},
                 {Slip("T", "3", "1.00").Bank("341").Account("1234567-8")},
                 "Campo_Excede",
                 {"Segmento A", "24-42", "0001/0000000003"}});
  out.push_back({"a payee account too long for its field",
                 {},
                 {Slip("T", "4", "1.00").Bank("070").Account("1234567890123-4")},
                 "Campo_Excede",
                 {"Segmento A", "30-41", "Conta do favorecido", "0001/0000000004"}});
  out.push_back({"a PIX key too long for its field",
                 {},
                 {PixSlip("F", "5", "1.00", "02", std::string(100, 'a'))},
                 "Campo_Excede",
                 {"Segmento B (Pix)", "0001/0000000005"}});
  out.push_back({"a typed line short of digits",
                 {},
                 {Slip("B", "6", "1.00").TypedLine("03399.76540 32100.000093 87654.301024 4 9260000005000")},
                 "Campo_Excede",
                 {"Segmento J", "18-61", "0001/0000000006"}});
  out.push_back({"a bank slip whose barcode cannot be read",
                 {},
                 {Slip("B", "8", "1.00").Barcode("0339192500000123456")},
                 "Campo_Excede",
                 {"Santander (033)", "0001/0000000008"}});
  out.push_back({"a branch the server does not know",
                 [] {
                   SantanderRemittance r;
                   r.branch = "0777";
                   return r;
                 }(),
                 {Slip("T", "1", "1.00").Bank("033")},
                 "FIL_N_CAD",
                 {"Filial não cadastrada"}});
  out.push_back({"a company registration of 15 digits", CompanyRegistration("123456789012345"),
                 {Slip("T", "1", "1.00").Bank("033")}, "INSCRICAO_INV", {"no máximo 14"}});
  return out;
}

INSTANTIATE_TEST_SUITE_P(Refusals, SantanderRefusal, ::testing::ValuesIn(Refusals()),
                         [](const ::testing::TestParamInfo<Refusal>& info) {
                           return "Case" + std::to_string(info.index);
                         });

}  // namespace
}  // namespace pag::testing
