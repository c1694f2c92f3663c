// The Banco do Brasil remittance file: golden files for every payment mode,
// the batch grouping, and the refusals that leave no record written.
#include "writers/Cli_pag00114.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bb_fixture.h"
#include "golden.h"
#include "host/errors.h"
#include "host/text.h"
#include "writers/cnab/invariants.h"

namespace pag::testing {
namespace {

// Barcodes (44 digits) and typed lines of bank slips; utility barcodes.
constexpr const char* kBb147 = "00191917000000147800000003432568000001003517";       // 147,80
constexpr const char* kBb1230 = "00192918000001230000000001234567000000012317";      // 1.230,00
constexpr const char* kBb2500 = "00192918500002500000000001234567000000099917";      // 2.500,00
constexpr const char* kItau500 = "34194920000000500001091234567800012345678000";     // 500,00
constexpr const char* kBradesco876 = "23797921000000876541234091234567890012345670";  // 876,54
constexpr const char* kLineBb147 = "00190.00009 03432.568008 00010.035178 1 91700000014780";
constexpr const char* kLineBradesco321 = "23790123435678901234356789012301392300000032150";
constexpr const char* kLineCaixa100 = "10491.23456 67890.123457 67890.123457 9 92200000010000";
constexpr const char* kLuz = "82650000001509001234567890123456789012345678";       // 150,90
constexpr const char* kAgua = "85610000004821702700000000000020261210000001";      // 482,17
constexpr const char* kGuia = "85610000010000000251234500000020261215000002";      // 1.000,00

// The amount each detail adds to its batch: segments A, J, N and O.
std::optional<Money> BbDetailAmount(std::string_view line) {
  auto cents = [&line](int from, int to) {
    return Money::FromCents(StrToInt(line.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1))));
  };
  switch (line[13]) {
    case 'A': return cents(120, 134);
    case 'J': return line[14] == ' ' ? std::nullopt : std::optional<Money>(cents(153, 167));
    case 'N': return cents(96, 110);
    case 'O': return cents(108, 122);
    default: return std::nullopt;
  }
}

struct Scenario {
  const char* name;
  Remittance remittance;
  std::vector<Slip> slips;
};

Remittance Branch() {
  Remittance r;
  r.branch = "0002";
  return r;
}
Remittance Movement(const char* m) {
  Remittance r;
  r.movement = m;
  return r;
}

std::vector<Scenario> Scenarios() {
  return {
      {"boletos_001_e_outros_bancos",
       {},
       {Slip("B", "101", "1234.56").Barcode(kBb1230).Name("Papelaria Central Ltda"),  // surcharge 4,56
        Slip("B", "102", "2480.00").Barcode(kBb2500).Due("2026-12-15"),              // discount 20,00
        Slip("B", "103", "147.80").Barcode(kBb147),
        Slip("B", "104", "500.00").Barcode(kItau500).Supplier("F002").Name("Gráfica Rápida ME")
            .Registration("F", "123.456.789-09"),
        Slip("B", "105", "876.54").Barcode(kBradesco876).FileRegistration("J", "22.333.444/0001-05"),
        Slip("B", "106", "10.00").Barcode(kBradesco876).Unmarked()}},
      {"boletos_linha_digitavel",
       {},
       {Slip("B", "201", "147.80").TypedLine(kLineBb147),
        Slip("B", "202", "321.50").TypedLine(kLineBradesco321).Name("Distribuidora Norte S/A"),
        Slip("B", "203", "100.00").TypedLine(kLineCaixa100)}},
      {"transferencias_banco_do_brasil",
       {},
       {Slip("C", "301", "980.00").Bank("001").Agency("12345").Account("12345-6"),
        Slip("T", "302", "15000.00").Bank("001").Agency("0987X").Account("98765432-1").Supplier("F002"),
        Slip("T", "303", "2500.00").Bank("237").Agency("4321").Account("7654321").Supplier("F003")}},
      {"transferencias_outros_bancos",
       {},
       {Slip("D", "401", "5000.00").Bank("341").Agency("1234").Account("12345-6"),
        Slip("D", "402", "5000.01").Bank("341").Agency("123-4").Account("123456"),
        Slip("D", "403", "4999.99").Bank("237").Account("9-87").Supplier("F002"),
        Slip("D", "404", "12000.00").Bank("104").Agency("00123").Account("0001234567-89").Supplier("F003")}},
      {"ordem_de_pagamento",
       {},
       {Slip("O", "501", "350.00").Bank("001").Account("55555-5"),
        Slip("O", "502", "420.00").Supplier("F002").Name("João Pedro dos Santos").Registration("F", "987.654.321-00")}},
      {"concessionarias",
       {},
       {Slip("R", "601", "150.90").Barcode(kLuz).Name("Eletropaulo Metropolitana Eletricidade"),
        Slip("R", "602", "482.17").Barcode(kAgua).Name("Sabesp")}},
      {"guia_com_lacre",
       {},
       {Slip("U", "701", "1000.00").Barcode(kGuia).Name("Conectividade Social FGTS").Revenue("0115")
            .Reference("12345678901234567890").Seal("123456789", "07"),
        Slip("U", "702", "150.90").Barcode(kLuz).Revenue("").Name("Guia sem lacre")}},
      {"gps",
       {},
       {Slip("G", "801", "1100.00").Name("INSS").Revenue("2100").Period("2026-11-01").Other("100.00").Fine("20.00")
            .Interest("30.00"),
        Slip("G", "802", "500.00").Name("INSS").Revenue("1007")}},
      {"darf",
       {},
       {Slip("I", "901", "1520.35").Name("Receita Federal").Revenue("0561").Period("2026-11-30")
            .Reference("12.345.678/0001-95").Fine("10.00").Interest("5.35").Due("2026-12-20"),
        Slip("I", "902", "89.90").Name("Receita Federal").Revenue("2089")}},
      {"darf_simples",
       {},
       {Slip("H", "1001", "450.00").Name("Simples Nacional").Revenue("6106").Period("2026-11-30").Other("10000.00")
            .Percentage("4.50"),
        Slip("H", "1002", "15.00").Name("Simples Nacional").Revenue("6106").Other("333.33").Percentage("4.5")
            .Fine("1.50").Interest("0.30"),
        Slip("H", "1003", "80.00").Name("Simples Nacional").Revenue("6106"),
        Slip("H", "1004", "0.01").Name("Simples Nacional").Revenue("6106").Other("1.00").Percentage("0.5")}},
      {"darj",
       {},
       {Slip("J", "1101", "1250.00").Name("Secretaria de Fazenda RJ").Revenue("0123").Period("2026-11-01")
            .StateRegistration("12.345.67-8").Fine("50.00").Interest("25.00").Document("1234567/1"),
        Slip("J", "1102", "99.00").Name("Secretaria de Fazenda RJ").Revenue("0456")}},
      {"gare",
       {},
       {Slip("X", "1201", "3000.00").Name("Fazenda SP").Revenue("0462").Due("2026-12-15")
            .StateRegistration("110.042.490.114").Reference("0000123456789").Period("2026-11-01").Instalment("1234")
            .Other("2900.00").Interest("60.00").Fine("40.00")}},
      {"remessa_da_filial",
       Branch(),
       {Slip("T", "1301", "700.00").Bank("001").Agency("12345").Account("1234-5"),
        Slip("B", "1302", "147.80").Barcode(kBb147),
        Slip("I", "1303", "95.00").Name("Receita Federal").Revenue("0561").Period("2026-11-30")}},
      {"exclusao",
       Movement("E"),
       {Slip("T", "1501", "700.00").Bank("001").Agency("12345").Account("1234-5").BankNumber("BB1234567890123456XY"),
        Slip("B", "1502", "1234.56").Barcode(kBb1230).BankNumber("00012345670000001231"),
        Slip("I", "1503", "95.00").Name("Receita Federal").Revenue("0561").BankNumber("DARF-000123"),
        Slip("R", "1504", "150.90").Barcode(kLuz).BankNumber("LUZ-987")}},
      {"bloqueio",
       Movement("B"),
       {Slip("T", "1601", "300.00").Bank("237").Agency("1234").Account("5555-5"),
        Slip("B", "1602", "500.00").Barcode(kItau500)}},
      {"nomes_com_acentos",
       {},
       {Slip("T", "1701", "1.00").Bank("237").Agency("1234").Account("1-1").Supplier("F004")
            .Name("José da Conceição & Cia. — Peças/Serv.").FileRegistration("F", "123.456.789-09"),
        Slip("B", "1702", "876.54").Barcode(kBradesco876).Name("Ação Social São Tomé (ONG) #1 ÀÉÎÕÜ çñ")}},
      {"todos_os_modos",
       {},
       {Slip("X", "1801", "3000.00").Name("Fazenda SP").Revenue("0462").Other("3000.00"),
        Slip("U", "1802", "1000.00").Barcode(kGuia).Revenue("0115"),
        Slip("T", "1803", "100.00").Bank("001").Agency("12345").Account("1-1"),
        Slip("S", "1804", "200.00").Bank("237").Agency("1234").Account("2-2"),
        Slip("R", "1805", "150.90").Barcode(kLuz),
        Slip("O", "1806", "300.00").Bank("001").Account("3-3"),
        Slip("J", "1807", "400.00").Revenue("0123").StateRegistration("87654321"),
        Slip("I", "1808", "500.00").Revenue("0561"),
        Slip("H", "1809", "600.00").Revenue("6106"),
        Slip("G", "1810", "700.00").Revenue("2100").Other("100.00"),
        Slip("D", "1811", "800.00").Bank("341").Agency("1234").Account("4-4"),
        Slip("C", "1812", "900.00").Bank("001").Agency("12345").Account("5-5"),
        Slip("B", "1813", "500.00").Barcode(kItau500),
        Slip("B", "1814", "147.80").Barcode(kBb147)}},
  };
}

void PrintTo(const Scenario& s, std::ostream* os) { *os << s.name; }

class BbGolden : public ::testing::TestWithParam<Scenario> {};

TEST_P(BbGolden, WritesTheExpectedFile) {
  const Scenario& s = GetParam();
  BbRun run(s.remittance, s.slips);
  ASSERT_NO_THROW(run.Run()) << (run.dialogs.Errors().empty() ? "" : run.dialogs.Errors().front());
  const std::string& content = run.content();
  EXPECT_TRUE(CheckRecords(content, 240).empty()) << Describe(CheckRecords(content, 240).front());
  EXPECT_TRUE(TrailersMatchDetails(content, BbDetailAmount, s.remittance.movement == "E"));
  EXPECT_TRUE(MatchesGolden(std::string(PAG_TEST_GOLDEN) + "/bb/" + s.name + ".txt", content, BcoBrasilLayout));
  // Every marked slip went into the file once; the unmarked ones did not.
  std::size_t marked = 0;
  for (const Slip& slip : s.slips)
    if (slip.f.at("IDMARCADO") == "S") {
      ++marked;
      EXPECT_EQ(run.ctx.written.count(RemessaData::SlipKey(slip.f.at("CDFILIBPAG"), slip.f.at("NRLANBOLPAG"))), 1u)
          << slip.f.at("NRLANBOLPAG");
    }
  EXPECT_EQ(run.ctx.written.size(), marked);
  EXPECT_EQ(run.d.cdsBoletos.RecordCount(), static_cast<int>(marked));  // left filtered to the marked slips
  EXPECT_FALSE(run.d.cdsBoletos.ControlsDisabled());
}

INSTANTIATE_TEST_SUITE_P(Scenarios, BbGolden, ::testing::ValuesIn(Scenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

// ---- Reading a file back ----------------------------------------------------------------

std::vector<std::string> Records(const std::string& content) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i + 240 <= content.size(); i += 242) out.push_back(content.substr(i, 240));
  return out;
}

std::string Field(const std::string& record, int from, int to) {
  return record.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1));
}

// Each batch header's number, method and layout version: "0001 30 030".
std::vector<std::string> Batches(const std::string& content) {
  std::vector<std::string> out;
  for (const auto& r : Records(content))
    if (r[7] == '1') out.push_back(Field(r, 4, 7) + " " + Field(r, 12, 13) + " " + Field(r, 14, 16));
  return out;
}

// The detail segments in order, with the entry of their slip where they
// carry one: "J 0000000103".
std::vector<std::string> Details(const std::string& content) {
  std::vector<std::string> out;
  for (const auto& r : Records(content)) {
    if (r[7] != '3') continue;
    std::string seg(1, r[13]);
    if (seg == "J" && r[14] == ' ') seg = "J52";
    out.push_back(seg);
  }
  return out;
}

std::string Write(const Remittance& r, const std::vector<Slip>& slips) {
  BbRun run(r, slips);
  run.Run();
  return run.content();
}

TEST(BbBatches, GroupedByPaymentModeAndSlipBank) {
  struct C {
    const char* why;
    std::vector<Slip> slips;
    std::vector<std::string> batches;
  } cases[] = {
      {"bank slips of Banco do Brasil only", {Slip("B", "1", "147.80").Barcode(kBb147)}, {"0001 30 030"}},
      {"bank slips of other banks only",
       {Slip("B", "1", "500.00").Barcode(kItau500), Slip("B", "2", "876.54").Barcode(kBradesco876)},
       {"0001 31 030"}},
      {"both: Banco do Brasil first",
       {Slip("B", "1", "500.00").Barcode(kItau500), Slip("B", "2", "147.80").Barcode(kBb147),
        Slip("B", "3", "876.54").Barcode(kBradesco876)},
       {"0001 30 030", "0002 31 030"}},
      {"a bank slip without barcode is of no bank: it opens the other banks' batch",
       {Slip("B", "1", "147.80").TypedLine(kLineBb147), Slip("B", "2", "147.80").Barcode(kBb147)},
       {"0001 31 030"}},
      {"transfers are not split by bank; the first slip decides",
       {Slip("T", "1", "1.00").Bank("001"), Slip("T", "2", "1.00").Bank("237")}, {"0001 01 042"}},
      {"a transfer batch opened for another bank", {Slip("T", "1", "1.00").Bank("237"), Slip("T", "2", "1.00").Bank("001")},
       {"0001 03 042"}},
      {"modes C then T: two batches", {Slip("T", "1", "1.00").Bank("001"), Slip("C", "2", "1.00").Bank("001")},
       {"0001 01 042", "0002 01 042"}},
      {"payment order", {Slip("O", "1", "1.00").Bank("001")}, {"0001 10 042"}},
      {"a guide with seal is written as a bill", {Slip("U", "1", "1.00").Barcode(kGuia)}, {"0001 11 010"}},
      {"taxes, one batch per mode",
       {Slip("X", "1", "1.00"), Slip("G", "2", "1.00"), Slip("I", "3", "1.00"), Slip("H", "4", "1.00"),
        Slip("J", "5", "1.00"), Slip("R", "6", "1.00").Barcode(kLuz), Slip("G", "7", "1.00")},
       {"0001 17 010", "0002 18 010", "0003 16 010", "0004 21 010", "0005 11 010", "0006 22 010"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Batches(Write({}, c.slips)), c.batches) << c.why;
}

TEST(BbBatches, DetailsOfEachMode) {
  const std::string file =
      Write({}, {Slip("U", "1", "1.00").Barcode(kGuia), Slip("T", "2", "1.00").Bank("001"),
               Slip("B", "3", "147.80").Barcode(kBb147), Slip("G", "4", "1.00")});
  EXPECT_EQ(Details(file), (std::vector<std::string>{"J", "J52", "N", "A", "B", "O", "W"}));
  // Segment W follows its segment O with the next number.
  const auto records = Records(file);
  EXPECT_EQ(Field(records[records.size() - 4], 9, 14), "00001O");
  EXPECT_EQ(Field(records[records.size() - 3], 9, 14), "00002W");
}

TEST(BbSegmentJ, SurchargeAndDiscountFromTheBarcodesValue) {
  const std::string file = Write({}, {Slip("B", "1", "1234.56").Barcode(kBb1230), Slip("B", "2", "2480.00").Barcode(kBb2500),
                                    Slip("B", "3", "147.80").TypedLine(kLineBb147)});
  // One batch of other banks (the typed line's slip, of no bank, sorts
  // first): records 2, 4 and 6 are its segments J.
  const auto records = Records(file);
  struct Want {
    std::size_t record;
    const char* title;
    const char* discount;
    const char* surcharge;
  } wants[] = {
      {2, "000000000014780", "000000000000000", "000000000000000"},  // no barcode: the slip's value
      {4, "000000000123000", "000000000000000", "000000000000456"},  // 1.234,56 for 1.230,00
      {6, "000000000250000", "000000000002000", "000000000000000"},  // 2.480,00 for 2.500,00
  };
  for (const auto& w : wants) {
    EXPECT_EQ(Field(records[w.record], 100, 114), w.title) << w.record;
    EXPECT_EQ(Field(records[w.record], 115, 129), w.discount) << w.record;
    EXPECT_EQ(Field(records[w.record], 130, 144), w.surcharge) << w.record;
  }
}

TEST(BbSegmentJ, TypedLineWithOrWithoutPointsGivesTheBarcodesPieces) {
  const std::string dotted = Write({}, {Slip("B", "1", "147.80").TypedLine(kLineBb147)});
  const std::string bare = Write({}, {Slip("B", "1", "147.80").TypedLine(DigitsOnly(kLineBb147))});
  const std::string barcode = Write({}, {Slip("B", "1", "147.80").Barcode(kBb147)});
  EXPECT_EQ(dotted, bare);
  EXPECT_EQ(Field(Records(dotted)[2], 18, 61), kBb147);
  EXPECT_EQ(Field(Records(barcode)[2], 18, 61), kBb147);
}

TEST(BbRemittance, BranchInTheHeadersCompanyInTheTaxRecords) {
  BbRun run(Branch(), {Slip("B", "1", "147.80").Barcode(kBb147), Slip("I", "2", "9.00").Revenue("0561")});
  run.Run();
  const auto records = Records(run.content());
  EXPECT_EQ(Field(records[0], 19, 32), "12345678000276");  // branch
  EXPECT_EQ(Field(records[1], 19, 32), "12345678000276");
  EXPECT_EQ(Field(records[3], 21, 35), "012345678000195");  // J-52: the company
  EXPECT_EQ(Field(records[6], 119, 132), "12345678000195");  // DARF: the company
  EXPECT_EQ(run.transport->Methods(), (std::vector<std::string>{"GetFilial", "GetIdConta"}));

  // A branch the screen has already loaded is not asked for again.
  Remittance loaded = Branch();
  loaded.branchLoaded = true;
  BbRun again(loaded, {Slip("T", "1", "1.00").Bank("001")});
  again.Run();
  EXPECT_EQ(again.transport->Methods(), (std::vector<std::string>{"GetIdConta"}));
  EXPECT_EQ(Field(Records(again.content())[0], 73, 102), "FILIAL CAMPINAS   DISTRIBUICAO");
}

TEST(BbRemittance, AgreementFromTheAccountOrTheCompanysAgreement) {
  Remittance r;
  r.accountIdent = "";
  r.agreement = "1234567890123";  // its first 9 characters
  const std::string file = Write(r, {Slip("T", "1", "1.00").Bank("001")});
  EXPECT_EQ(Field(Records(file)[0], 33, 41), "123456789");
  r.agreement = "";
  EXPECT_EQ(Field(Records(Write(r, {Slip("T", "1", "1.00").Bank("001")}))[0], 33, 41), "000000000");
}

TEST(BbRemittance, EachRunStartsFresh) {
  const std::vector<Slip> slips = {Slip("B", "1", "147.80").Barcode(kBb147), Slip("T", "2", "1.00").Bank("237")};
  BbRun run({}, slips);
  run.Run();
  const std::string first = run.content();
  // The same screen confirms again: nothing of the first run is left over.
  MemorySink second;
  WriterContext ctx{run.d, run.net, run.localdb, run.session, run.dialogs, second, "01", "001", "001", 0, {}};
  Remessa_BcoBrasil(ctx);
  EXPECT_EQ(second.content(), first);
}

TEST(BbRemittance, SupplierAddressFollowsTheSlipBeingWritten) {
  BbRun run({}, {Slip("T", "1", "1.00").Bank("001").Supplier("F002"), Slip("T", "2", "1.00").Bank("001").Supplier("F002"),
                 Slip("T", "3", "1.00").Bank("001").Supplier("F003")});
  run.Run();
  const auto records = Records(run.content());
  EXPECT_EQ(Field(records[3], 98, 117), "RIO DE JANEIRO      ");
  EXPECT_EQ(Field(records[7], 98, 117), "CURITIBA            ");
  EXPECT_EQ(Field(records[7], 126, 127), "PR");
  EXPECT_EQ(run.localdb.queries, 2);  // read again only for another supplier
}

// ---- Refusals: the run stops and nothing is written ----------------------------------

struct Refusal {
  const char* why;
  Remittance remittance;
  std::vector<Slip> slips;
  const char* key;
  std::vector<const char*> named;  // parts of the message shown
};

void PrintTo(const Refusal& r, std::ostream* os) { *os << r.why; }

class BbRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(BbRefusal, StopsBeforeAnyRecordIsWritten) {
  const Refusal& r = GetParam();
  BbRun run(r.remittance, r.slips);
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
  for (const char* part : r.named) EXPECT_NE(shown.find(part), std::string::npos) << r.why << ": " << part << " in " << shown;
}

Remittance CompanyRegistration(const char* number) {
  Remittance r;
  r.companyRegistration = number;
  return r;
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, BbRefusal,
    ::testing::Values(
        Refusal{"a payment mode this file does not carry",
                {},
                {Slip("T", "1", "1.00").Bank("001"), Slip("F", "99", "10.00"), Slip("Z", "98", "1.00").Unmarked()},
                "Modo_Nao_Tratado",
                {"0001/0000000099", "tipo de baixa F", "banco 001"}},
        Refusal{"a GPS whose parts exceed its total",
                {},
                {Slip("T", "1", "1.00").Bank("001"), Slip("G", "7", "100.00").Other("50.00").Fine("30.00").Interest("30.00")},
                "Valor_Negativo",
                {"do INSS (-10,00)", "0001/0000000007"}},
        Refusal{"a DARJ whose fine and interest exceed its total",
                {},
                {Slip("J", "8", "10.00").Fine("20.00")},
                "Valor_Negativo",
                {"principal do DARJ (-10,00)", "0001/0000000008"}},
        Refusal{"a negative payment", {}, {Slip("T", "9", "-5.00").Bank("001")}, "Valor_Negativo",
                {"do pagamento (-5,00)", "0001/0000000009"}},
        Refusal{"an amount too long for its field",
                {},
                {Slip("T", "1", "1.00").Bank("001"), Slip("T", "2", "10000000000000.00").Bank("001")},
                "Campo_Excede",
                {"Banco do Brasil (001)", "Segmento A", "120-134", "Valor do pagamento", "0001/0000000002"}},
        Refusal{"a payee account too long for its field",
                {},
                {Slip("C", "3", "1.00").Bank("237").Account("1234567890123-4")},
                "Campo_Excede",
                {"Segmento A", "30-41", "Conta do favorecido", "0001/0000000003"}},
        Refusal{"a typed line short of digits",
                {},
                {Slip("B", "4", "1.00").TypedLine("00190.00009 03432.568008 00010.035178 1 9170000001478")},
                "Campo_Excede",
                {"Segmento J", "0001/0000000004"}},
        Refusal{"a barcode whose value needs ten digits",
                {},
                {Slip("B", "5", "1.00").Barcode("00191917012345678900000003432568000001003517")},
                "Campo_Excede",
                {"Segmento J", "Valor do título", "0001/0000000005"}},
        Refusal{"a branch the server does not know", [] {
                  Remittance r;
                  r.branch = "0777";
                  return r;
                }(),
                {Slip("T", "1", "1.00").Bank("001")}, "FIL_N_CAD", {"Filial não cadastrada"}},
        Refusal{"a company registration of 15 digits", CompanyRegistration("123456789012345"),
                {Slip("T", "1", "1.00").Bank("001")}, "INSCRICAO_INV", {"no máximo 14"}}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace pag::testing
