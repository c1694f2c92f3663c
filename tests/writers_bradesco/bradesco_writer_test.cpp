// The Bradesco remittance file (500 positions): golden files for every
// payment mode and choice of the remittance, the arithmetic of the trailer,
// and the refusals that leave nothing written.
#include "writers/Cli_pag00103.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "bradesco_fixture.h"
#include "host/errors.h"
#include "host/text.h"
#include "remittance/model/cnab_helpers.h"
#include "writers/cnab/invariants.h"
#include "writers/golden.h"

namespace pag::testing {
namespace {

// Bank slips (44 digits) and typed lines. Bradesco's free field: agency
// 20-23, wallet 24-25, "nosso número" 26-36, account 37-43.
constexpr const char* kBradesco100 = "23796123400000100003381092600001234500456780";  // 100,00; 3381-2 / 0045678-0
constexpr const char* kBradesco250 = "23791124000000250001234192598765432176543210";  // 250,00; 1234-3 / 7654321-6
constexpr const char* kItau500 = "34198123400000500001091234567800012345678000";      // 500,00
constexpr const char* kBb147 = "00195123400000147800000003432568000001003517";        // 147,80
constexpr const char* kLineBradesco321 = "23790123435678901234356789012301392300000032150";  // 321,50
constexpr const char* kLineBb147 = "00190.00009 03432.568008 00010.035178 1 91700000014780";   // 147,80

const LayoutOf kLayoutOf = [](std::string_view line, std::string_view) { return BcoBradescoLayout(line); };

// What the server knows of a slip besides the slip itself.
struct Documents {
  const char* entry;
  const char* value;  // VRDOC; nullptr: the slip's own value
  std::vector<std::pair<std::string, std::string>> invoices;
};

struct Scenario {
  const char* name;
  BradescoRemittance remittance;
  std::vector<Slip> slips;
  std::vector<Documents> documents;
};

BradescoRemittance With(void (*change)(BradescoRemittance&)) {
  BradescoRemittance r;
  change(r);
  return r;
}

std::vector<Scenario> Scenarios() {
  return {
      {"boletos_bradesco_e_outros_bancos",
       {},
       {Slip("B", "101", "90.00").Barcode(kBradesco100).Name("Papelaria Central Ltda"),  // discount 10,00
        Slip("B", "102", "262.50").Barcode(kBradesco250).Supplier("F002").Name("Gráfica Rápida ME")
            .Registration("F", "123.456.789-09").Due("2026-12-15"),  // surcharge 12,50
        Slip("B", "103", "500.00").Barcode(kItau500).Supplier("F003"),
        Slip("B", "104", "147.80").Barcode(kBb147).FileRegistration("J", "22.333.444/0001-05"),
        Slip("B", "105", "10.00").Barcode(kBradesco100).Unmarked()},
       {{"101", nullptr, {{"123456", "1"}}},
        {"102", nullptr, {{"NF-77", "A1"}}},
        {"103", nullptr, {{"1", "1"}, {"2", "1"}}}}},
      {"boletos_linha_digitavel",
       {},
       {Slip("B", "201", "321.50").TypedLine(kLineBradesco321).Name("Distribuidora Norte S/A"),
        Slip("B", "202", "147.80").TypedLine(kLineBb147),
        Slip("B", "203", "150.00").TypedLine(kLineBb147).Supplier("F002")},  // surcharge 2,20
       {}},
      {"transferencias",
       {},
       {Slip("C", "301", "980.00").Bank("237").Agency("3381").Account("0045678-0"),
        Slip("D", "302", "4999.99").Bank("341").Agency("1234").Account("12345-6").Supplier("F002"),
        Slip("D", "303", "5000.00").Bank("341").Agency("1234").Account("123456"),
        Slip("D", "304", "5000.01").Bank("104").Agency("00123").Account("0001234567").Supplier("F003"),
        Slip("T", "305", "15000.00").Bank("001").Agency("12345").Account("98765432-1"),
        Slip("S", "306", "2500.00").Bank("033").Agency("0987").Account("123456789"),
        Slip("T", "307", "300.00").Bank("237").Agency("1234").Account("7654321-6")},
       {{"301", "1000.00", {}}, {"302", "0.00", {}}, {"304", "4000.00", {{"000987654321", "U"}}}}},
      {"agencias_e_contas",
       {},
       {Slip("C", "401", "100.00").Bank("237").Agency("1234").Account("12345678"),
        Slip("D", "402", "100.00").Bank("001").Agency("123-4").Account("1234-5"),
        Slip("D", "403", "100.00").Bank("104").Agency("12-3").Account("1234567-89"),
        Slip("D", "404", "100.00").Bank("104").Agency(" 123 ").Account("987654"),
        Slip("D", "405", "100.00").Bank("033").Agency("0987").Account("12345678-9"),
        Slip("D", "406", "100.00").Bank("341").Agency("1234").Account("1.234-5"),
        Slip("D", "407", "100.00").Bank("399").Agency("").Account("")},
       {}},
      {"ordem_de_pagamento",
       {},
       {Slip("O", "501", "350.00").Supplier("F002"),
        Slip("O", "502", "420.00").Bank("237").Name("João Pedro dos Santos").Registration("F", "987.654.321-00")},
       {{"502", "400.00", {}}}},
      {"exclusao",
       With([](BradescoRemittance& r) { r.movement = "E"; r.schedule = "2"; }),
       {Slip("B", "601", "100.00").Barcode(kBradesco100), Slip("T", "602", "700.00").Bank("341").Agency("1234")
                                                              .Account("5555-5")},
       {}},
      {"bloqueio",
       With([](BradescoRemittance& r) { r.movement = "B"; r.schedule = "2"; }),
       {Slip("B", "701", "500.00").Barcode(kItau500), Slip("C", "702", "300.00").Bank("237").Agency("1234")
                                                          .Account("7654321-6")},
       {}},
      {"web_ta",
       With([](BradescoRemittance& r) { r.kind = 1; }),
       {Slip("B", "801", "250.00").Barcode(kBradesco250), Slip("D", "802", "80.00").Bank("341").Agency("1234")
                                                              .Account("12345-6")},
       {}},
      {"agendamento_e_data_de_envio",
       With([](BradescoRemittance& r) { r.schedule = "2"; r.sendDate = "S"; }),
       {Slip("D", "901", "1200.00").Bank("341").Agency("1234").Account("12345-6").Due("2026-12-20"),
        Slip("B", "902", "100.00").Barcode(kBradesco100).Due("2026-12-21")},
       {}},
      {"nomes_com_acentos",
       {},
       {Slip("D", "1001", "1.00").Bank("341").Agency("1234").Account("1-1").Supplier("F004")
            .Name("José da Conceição & Cia. — Peças/Serv.").FileRegistration("F", "123.456.789-09"),
        Slip("B", "1002", "500.00").Barcode(kItau500).Name("Ação Social São Tomé (ONG) #1 ÀÉÎÕÜ çñ")
            .Registration("", "ISENTO").Supplier("F009")},
       {{"1001", nullptr, {{"4321", "Únic"}}}}},
      {"remessa_da_filial",
       With([](BradescoRemittance& r) { r.branch = "0002"; r.accountIdent = ""; }),
       {Slip("D", "1101", "640.00").Bank("341").Agency("1234").Account("12345-6")},
       {}},
      {"tres_de_cinco",
       With([](BradescoRemittance& r) { r.sequence = "7"; }),
       {Slip("D", "1201", "10.00").Bank("341").Agency("1234").Account("1-1").Unmarked(),
        Slip("D", "1202", "20.00").Bank("341").Agency("1234").Account("2-2"),
        Slip("D", "1203", "30.00").Bank("341").Agency("1234").Account("3-3").Unmarked(),
        Slip("D", "1204", "40.00").Bank("341").Agency("1234").Account("4-4"),
        Slip("D", "1205", "50.00").Bank("341").Agency("1234").Account("5-5")},
       {}},
      {"sem_boletos_marcados",
       With([](BradescoRemittance& r) { r.companyType = ""; r.sequence = ""; r.accountIdent = ""; r.agreement = ""; }),
       {Slip("B", "1301", "100.00").Barcode(kBradesco100).Unmarked(),
        Slip("R", "1302", "150.90").Barcode("82650000001509001234567890123456789012345678").Unmarked()},
       {}},
  };
}

void PrintTo(const Scenario& s, std::ostream* os) { *os << s.name; }

void Prepare(BradescoRun& run, const Scenario& s) {
  for (const Documents& doc : s.documents) {
    if (doc.value != nullptr) run.DocumentValue(doc.entry, doc.value);
    run.Invoices(doc.entry, doc.invoices);
  }
}

// Every record numbered 1, 2, ... (495-500); the trailer's count (2-7) the
// number of records and its total (8-24) the sum of the details' values
// (205-219).
::testing::AssertionResult TrailerMatchesDetails(const std::string& content) {
  const std::vector<std::string> lines = Lines(content);
  if (lines.size() < 2) return ::testing::AssertionFailure() << "a file has a header and a trailer at least";
  if (lines.front()[0] != '0') return ::testing::AssertionFailure() << "record 1 is no header";
  long long total = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (StrToInt(Cut(lines[i], 495, 500)) != static_cast<long long>(i + 1))
      return ::testing::AssertionFailure() << "record " << i + 1 << " is numbered " << Cut(lines[i], 495, 500);
    if (i == 0 || i + 1 == lines.size()) continue;
    if (lines[i][0] != '1') return ::testing::AssertionFailure() << "record " << i + 1 << " is no detail";
    total += StrToInt(Cut(lines[i], 205, 219));
  }
  const std::string& trailer = lines.back();
  if (trailer[0] != '9') return ::testing::AssertionFailure() << "the last record is no trailer";
  if (StrToInt(Cut(trailer, 2, 7)) != static_cast<long long>(lines.size()))
    return ::testing::AssertionFailure() << "the trailer counts " << Cut(trailer, 2, 7) << " records of "
                                         << lines.size();
  if (StrToInt(Cut(trailer, 8, 24)) != total)
    return ::testing::AssertionFailure() << "the trailer's total " << Cut(trailer, 8, 24) << ", the details sum "
                                         << total;
  return ::testing::AssertionSuccess();
}

class BradescoGolden : public ::testing::TestWithParam<Scenario> {};

TEST_P(BradescoGolden, WritesTheExpectedFile) {
  const Scenario& s = GetParam();
  BradescoRun run(s.remittance, s.slips);
  Prepare(run, s);
  ASSERT_NO_THROW(run.Run()) << (run.dialogs.Errors().empty() ? "" : run.dialogs.Errors().front());
  const std::string& content = run.content();
  const auto problems = CheckRecords(content, 500);
  EXPECT_TRUE(problems.empty()) << Describe(problems.front());
  EXPECT_TRUE(TrailerMatchesDetails(content));
  EXPECT_TRUE(MatchesGolden(std::string(PAG_TEST_GOLDEN) + "/bradesco/" + s.name + ".txt", content, kLayoutOf));
  // The slips reported written are the marked ones, each with its detail.
  std::set<std::string> marked;
  for (const Slip& slip : s.slips)
    if (slip.f.at("IDMARCADO") == "S")
      marked.insert(RemessaData::SlipKey(slip.f.at("CDFILIBPAG"), slip.f.at("NRLANBOLPAG")));
  EXPECT_EQ(run.ctx.written, marked);
  EXPECT_EQ(Lines(content).size(), marked.size() + 2);
  EXPECT_TRUE(run.d.cdsBoletos.Eof());
  EXPECT_FALSE(run.d.cdsBoletos.ControlsDisabled());
}

INSTANTIATE_TEST_SUITE_P(Scenarios, BradescoGolden, ::testing::ValuesIn(Scenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

// ---- Fields read back from a file ------------------------------------------------------

// The detail of a one-slip remittance.
std::string OnlyDetail(BradescoRun& run) {
  run.Run();
  const std::vector<std::string> lines = Lines(run.content());
  EXPECT_EQ(lines.size(), 3u);
  return lines.size() == 3 ? lines[1] : std::string(500, ' ');
}

Slip Doc(const char* entry) { return Slip("D", entry, "100.00").Bank("341").Agency("1234").Account("12345-6"); }

// 480-486: for "WEB TA" the account as the screen shows it, up to its "-";
// else the company's code at the bank, its letters and digits.
TEST(BradescoFile, ComplementaryAccountByTheKindOfRemittance) {
  struct Case {
    int kind;
    const char* account;  // CDCONTCORR, or CDCEDENTEBAN for kind 0
    const char* picture;
    const char* expected;
  };
  for (const Case& c : {Case{1, "123456", "99999-9", "0012345"}, Case{1, "123456789", "", "1234567"},
                        Case{1, "1234567890", "999999999-9", "1234567"}, Case{1, "1234567", "9999999-9", "1234567"},
                        Case{1, "", "99999-9", "0000000"}, Case{1, "", "", "0000000"},
                        Case{0, "0076543-2", "", "0076543"}, Case{0, "98765", "", "0098765"},
                        Case{0, " ", "", "0000000"}, Case{0, "AB.12", "", "000AB12"}}) {
    BradescoRemittance r;
    r.kind = c.kind;
    (c.kind > 0 ? r.account : r.cedente) = c.account;
    r.accountPicture = c.picture;
    BradescoRun run(r, {Doc("1")});
    EXPECT_EQ(Cut(OnlyDetail(run), 480, 486), c.expected) << c.kind << ": " << c.account << " " << c.picture;
  }
}

TEST(BradescoFile, HeaderTakesTheIdentificationAndTheRemittanceNumber) {
  struct Case {
    const char* ident;
    const char* agreement;
    const char* sequence;
    const char* code;
    const char* number;
  };
  for (const Case& c : {Case{"4567890", "1234", "0000000042", "04567890", "00042"},
                        Case{"", "1234", "7", "00001234", "00007"}, Case{"", "", "", "00000000", "00001"},
                        Case{" 123456789 ", "", "123456", "12345678", "23456"}}) {
    BradescoRemittance r;
    r.accountIdent = c.ident;
    r.agreement = c.agreement;
    r.sequence = c.sequence;
    BradescoRun run(r, {});
    run.Run();
    const std::string header = Lines(run.content()).at(0);
    EXPECT_EQ(Cut(header, 2, 9), c.code) << c.ident << "/" << c.agreement;
    EXPECT_EQ(Cut(header, 69, 73), c.number) << c.sequence;
  }
}

TEST(BradescoFile, SupplierRegistrationIsWrittenAsItsDigits) {
  struct Case {
    const char* type;
    const char* number;
    const char* fileType;
    const char* fileNumber;
    const char* expected;  // 2-17
  };
  for (const Case& c : {Case{"F", "123.456.789-09", "", "", "1123456789000009"},
                        Case{"J", "11.222.333/0001-81", "F", "987.654.321-00", "1987654321000000"},
                        Case{"F", "123.456.789-09", "", "ISENTO", "1123456789000009"},
                        Case{"J", "11.222.333/0001-81", "", "  ", "2011222333000181"},
                        Case{"", "ISENTO", "", "", "3000000000000000"}}) {
    BradescoRun run({}, {Doc("1").Registration(c.type, c.number).FileRegistration(c.fileType, c.fileNumber)});
    const std::string detail = OnlyDetail(run);
    EXPECT_EQ(Cut(detail, 2, 17), c.expected) << c.number << " / " << c.fileNumber;
  }
}

TEST(BradescoFile, DiscountAndSurchargeFollowTheDifferenceToTheDocument) {
  struct Case {
    const char* value;
    const char* document;
    const char* discountDate;  // 182-189
    const char* discount;      // 220-234
    const char* surcharge;     // 235-249
  };
  for (const Case& c : {Case{"90.00", "100.00", "20261210", "000000000001000", "000000000000000"},
                        Case{"100.01", "100.00", "00000000", "000000000000000", "000000000000001"},
                        Case{"100.00", "100.00", "00000000", "000000000000000", "000000000000000"},
                        Case{"100.00", "0.00", "00000000", "000000000000000", "000000000000000"},
                        Case{"99.99", "100.00", "20261210", "000000000000001", "000000000000000"}}) {
    BradescoRun run({}, {Slip("D", "1", c.value).Bank("341").Agency("1234").Account("1-1")});
    run.DocumentValue("1", c.document);
    const std::string detail = OnlyDetail(run);
    EXPECT_EQ(Cut(detail, 182, 189), c.discountDate) << c.value << " / " << c.document;
    EXPECT_EQ(Cut(detail, 220, 234), c.discount) << c.value << " / " << c.document;
    EXPECT_EQ(Cut(detail, 235, 249), c.surcharge) << c.value << " / " << c.document;
  }
}

TEST(BradescoFile, EachRunStartsAfreshAndLeavesTheLookupsOnTheLastSlip) {
  const std::vector<Slip> slips = {Doc("1"), Doc("2").Supplier("F002"), Doc("3").Supplier("F002")};
  BradescoRun run({}, slips);
  run.Invoices("3", {{"777", "B"}});
  run.Run();
  const std::string first = run.content();
  // The address is read again only when the supplier changes; the pictures
  // once for the one bank.
  EXPECT_EQ(run.localdb.queries,
            (std::vector<std::string>{"qryEndeForn F001", "qryMascBancoForn 341", "qryEndeForn F002"}));
  EXPECT_EQ(run.d.qryEndeForn.FieldByName("CDFORNECED").AsString(), "F002");
  EXPECT_EQ(run.d.cdsDocBol.FieldByName("NRNOTAFISC").AsString(), "777");

  MemorySink again;
  WriterContext ctx{run.d, run.net, run.localdb, run.session, run.dialogs, again, "01", "001", "237", 0, {}};
  Remessa_BcoBradesco(ctx);
  EXPECT_EQ(again.content(), first);
  EXPECT_EQ(ctx.written.size(), 3u);
}

// ---- Refusals: nothing is written --------------------------------------------------------

struct Refused {
  std::string key;
  std::string text;
};

// Runs the writer expecting it to stop with `key`; nothing may reach the sink.
Refused RunRefused(BradescoRun& run, const std::string& key) {
  try {
    run.Run();
  } catch (const Abort& a) {
    EXPECT_EQ(a.key(), key);
    EXPECT_TRUE(run.content().empty());
    EXPECT_EQ(run.sink.records(), 0);
    const auto errors = run.dialogs.Errors();
    EXPECT_EQ(errors.size(), 1u);
    return {a.key(), errors.empty() ? std::string() : errors.front()};
  }
  ADD_FAILURE() << "the run was not stopped with " << key;
  return {};
}

class ModeWithoutRecord : public ::testing::TestWithParam<const char*> {};

TEST_P(ModeWithoutRecord, StopsTheRunBeforeAnyRecordNamingTheSlip) {
  const std::string mode = GetParam();
  BradescoRun run({}, {Doc("1"), Slip(mode, "2", "150.90").Barcode("82650000001509001234567890123456789012345678")
                                    .Revenue("0561"),
                       Doc("3")});
  const Refused r = RunRefused(run, "Modo_Nao_Tratado");
  EXPECT_EQ(r.text, RemessaMessages().Format("Modo_Nao_Tratado", {"0001/0000000002", mode, "237"}));
  EXPECT_TRUE(run.ctx.written.empty());
  for (const auto& call : run.transport->calls) EXPECT_NE(call.first, "GetVrDocumento");
}

// Utility bills, tax guides, PIX, compensation between accounts and an
// unknown or missing mode.
INSTANTIATE_TEST_SUITE_P(Modes, ModeWithoutRecord,
                         ::testing::Values("R", "G", "I", "H", "J", "K", "N", "Q", "U", "V", "X", "Z", "F", "P", ""));

TEST(BradescoRefusal, NegativeValueOfTheSlipOrOfItsDocument) {
  {
    BradescoRun run({}, {Doc("1"), Slip("D", "2", "-5.00").Bank("341").Agency("1").Account("1-1")});
    const Refused r = RunRefused(run, "Valor_Negativo");
    EXPECT_EQ(r.text, RemessaMessages().Format("Valor_Negativo", {"do pagamento (-5,00)", "0001/0000000002"}));
  }
  {
    BradescoRun run({}, {Doc("1")});
    run.DocumentValue("1", "-0.01");
    const Refused r = RunRefused(run, "Valor_Negativo");
    EXPECT_EQ(r.text, RemessaMessages().Format("Valor_Negativo", {"do documento (-0,01)", "0001/0000000001"}));
  }
}

TEST(BradescoRefusal, ValueTooLongForItsFieldNamesThePlace) {
  struct Case {
    Slip slip;
    const char* document;  // VRDOC; nullptr: the slip's value
    const char* place;
  };
  for (const Case& c :
       {Case{Slip("D", "1", "1.00").Bank("104").Agency("1").Account("12345678901234"), nullptr, "positions 105-117"},
        Case{Slip("D", "1", "1.00").Bank("341").Agency("1").Account("1234-567"), nullptr, "positions 118-119"},
        Case{Slip("D", "1", "1.00").Bank("341").Agency("12-34").Account("1-1"), nullptr, "positions 104-104"},
        Case{Slip("D", "1", "1.00").Bank("341").Agency("1").Account("1-1"), "100000000.00", "positions 195-204"},
        Case{Slip("B", "1", "1.00").Barcode("2379612340000"), nullptr, "código de barras"},
        Case{Slip("B", "1", "1.00").TypedLine("2379 0123"), nullptr, "código de barras"},
        Case{Slip("B", "1", "1.00"), nullptr, "código de barras"}}) {
    BradescoRun run({}, {Doc("2"), c.slip});
    if (c.document != nullptr) run.DocumentValue("1", c.document);
    const Refused r = RunRefused(run, "Campo_Excede");
    EXPECT_NE(r.text.find("Bradesco (237)"), std::string::npos) << r.text;
    EXPECT_NE(r.text.find(c.place), std::string::npos) << r.text;
    EXPECT_NE(r.text.find("slip 0001/0000000001"), std::string::npos) << r.text;
  }
}

TEST(BradescoRefusal, ServerErrorStopsTheRunWithNothingWritten) {
  BradescoRun run({}, {Doc("1"), Doc("2")});
  run.transport->handlers["GetVrDocumento"] = [](std::vector<Arg>& a) {
    return a.at(1).text() == "0000000002" ? Reply::Error("Documento não encontrado.")
                                          : Reply::OfPacket(OneColumn("VRDOC", {"100.00"}));
  };
  EXPECT_THROW(run.Run(), ServerError);
  EXPECT_TRUE(run.content().empty());
  EXPECT_FALSE(run.d.cdsBoletos.ControlsDisabled());
}

TEST(BradescoRefusal, UnknownBranch) {
  BradescoRemittance r;
  r.branch = "0009";
  BradescoRun run(r, {Doc("1")});
  const Refused refused = RunRefused(run, "FIL_N_CAD");
  EXPECT_EQ(refused.text, RemessaMessages().Msg("FIL_N_CAD"));
}

TEST(BradescoRefusal, BranchAlreadyLoadedIsUsedAsItIs) {
  BradescoRemittance r;
  r.branch = "0002";
  r.branchLoaded = true;
  BradescoRun run(r, {});
  run.Run();
  for (const auto& call : run.transport->calls) EXPECT_NE(call.first, "GetFilial");
  EXPECT_EQ(Cut(Lines(run.content()).at(0), 11, 25), "012345678000276");
}

}  // namespace
}  // namespace pag::testing

namespace pag::testing {
namespace {

// The writers read the payee's bank, agency and account through fields
// found once per run; each row must give what the helpers that look the
// fields up by name give.
TEST(PayeeFieldsFoundOnce, GiveWhatTheLookupsByNameGive) {
  struct Row {
    const char* mode;
    const char* barcode;
    const char* bank;
    const char* bankCnab;
  };
  const Row rows[] = {
      {"B", kBradesco100, "", "033"}, {"B", kItau500, "341", ""}, {"B", "", "237", "033"}, {"B", "   ", "", ""},
      {"T", "", "341", "033"},        {"D", "", "", "033"},       {"D", "", "  ", "237"},  {"O", kBb147, "001", ""},
  };
  for (const Row& r : rows) {
    Packet p;
    for (const char* name : {"IDBAIXAUTILP", "CDBARRAPAG", "CDBANCBOLP", "CDAGENBOLP", "CDCCORBOLP", "CDBANCCNAB"})
      p.fields.push_back({name, FieldKind::kString, 0, 0});
    p.rows.push_back({std::string(r.mode), std::string(r.barcode), std::string(r.bank), std::string("1234-5"),
                      std::string("98765-4"), std::string(r.bankCnab)});
    TDataSet slips;
    slips.LoadPacket(p);
    const PayeeFields fields(slips);
    EXPECT_EQ(RetornaBanco(fields), RetornaBanco(slips)) << r.mode << ' ' << r.barcode;
    EXPECT_EQ(RetornaAgencia(fields), RetornaAgencia(slips)) << r.mode << ' ' << r.barcode;
    EXPECT_EQ(RetornaConta(fields), RetornaConta(slips)) << r.mode << ' ' << r.barcode;
  }
}

}  // namespace
}  // namespace pag::testing
