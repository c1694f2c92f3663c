// The import: the example loads; each kind of bad file is refused whole,
// naming table, row and field, with nothing imported.
#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>

#include "fixture.h"

namespace pag::test {
namespace {

using nlohmann::json;

json Example() { return json::parse(ReadText(ExamplePath())); }

struct BadCase {
  const char* name;
  std::function<void(json&)> spoil;
  const char* table;
  std::size_t row;
  const char* field;
  const char* reason;  // a fragment of the reason
};

class ImportRefusal : public ::testing::TestWithParam<BadCase> {};

TEST_P(ImportRefusal, NamesThePlaceAndImportsNothing) {
  const BadCase& c = GetParam();
  TempDir dir;
  Store store(dir.File("s.db"), Store::Mode::kCreate);
  json doc = Example();
  c.spoil(doc);
  try {
    ImportJson(store, doc.dump());
    FAIL() << "accepted";
  } catch (const ImportError& e) {
    EXPECT_EQ(e.table(), c.table) << e.what();
    EXPECT_EQ(e.row(), c.row) << e.what();
    EXPECT_EQ(e.field(), c.field) << e.what();
    EXPECT_NE(e.reason().find(c.reason), std::string::npos) << e.what();
  }
  for (const char* table : {"EMPRESA", "FILIAL", "BOLETOPAG", "CNABPAG", "CNABPAGBOL", "CONTADOR"})
    EXPECT_EQ(store.db().QueryInt(std::string("SELECT count(*) FROM ") + table), 0) << table;
}

const BadCase kBadCases[] = {
    {"UnknownTable", [](json& d) { d["widgets"] = json::array(); }, "widgets", 0, "", "unknown table"},
    {"TableNotArray", [](json& d) { d["slips"] = json::object(); }, "slips", 0, "", "JSON array"},
    {"RowNotObject", [](json& d) { d["slips"][1] = "row"; }, "slips", 2, "", "JSON object"},
    {"UnknownField", [](json& d) { d["slips"][0]["COLOR"] = "red"; }, "slips", 1, "COLOR", "unknown field"},
    {"AmountAsFloat", [](json& d) { d["slips"][1]["VRFINALBPAG"] = 89.75; }, "slips", 2, "VRFINALBPAG",
     "JSON string"},
    {"AmountThreeDecimals", [](json& d) { d["slips"][0]["VRFINALBPAG"] = "1.234"; }, "slips", 1, "VRFINALBPAG",
     "at most 2 decimals"},
    {"AmountWithComma", [](json& d) { d["slips"][0]["VRFINALBPAG"] = "1500,00"; }, "slips", 1, "VRFINALBPAG",
     "separator"},
    {"PercentFiveDecimals", [](json& d) { d["slips"][3]["VRPERCENTTRIB"] = "4.12345"; }, "slips", 4,
     "VRPERCENTTRIB", "at most 4 decimals"},
    {"TextTooLong", [](json& d) { d["companies"][0]["NMEMPRESA"] = std::string(41, 'A'); }, "companies", 1,
     "NMEMPRESA", "longer than 40"},
    {"RequiredMissing", [](json& d) { d["slips"][0].erase("DTVENBOLPAG"); }, "slips", 1, "DTVENBOLPAG",
     "required"},
    {"RequiredBlank", [](json& d) { d["suppliers"][0]["NMRAZSOCFORN"] = "   "; }, "suppliers", 1, "NMRAZSOCFORN",
     "blank"},
    {"IntegerAsString", [](json& d) { d["settings"][0]["QTDIAANTBOLP"] = "30"; }, "settings", 1, "QTDIAANTBOLP",
     "JSON integer"},
    {"BadDate", [](json& d) { d["slips"][0]["DTVENBOLPAG"] = "2026-02-30"; }, "slips", 1, "DTVENBOLPAG",
     "not a date"},
    {"DateWithTime", [](json& d) { d["slips"][0]["DTVENBOLPAG"] = "2026-02-03T10:00:00"; }, "slips", 1,
     "DTVENBOLPAG", "time of day"},
    {"CodeOutsideList", [](json& d) { d["slips"][0]["IDSITUCNABP"] = "55"; }, "slips", 1, "IDSITUCNABP",
     "not one of"},
    {"ShortBarcode", [](json& d) { d["slips"][0]["CDBARRAPAG"] = "3419"; }, "slips", 1, "CDBARRAPAG",
     "exactly 44 digits"},
    {"UnknownCompany", [](json& d) { d["branches"][1]["CDEMPRESA"] = "99"; }, "branches", 2, "CDEMPRESA",
     "no row of companies"},
    {"UnknownBranch", [](json& d) { d["slips"][2]["CDFILIBPAG"] = "0009"; }, "slips", 3, "CDFILIBPAG",
     "no row of branches"},
    {"UnknownAccount", [](json& d) { d["slips"][0]["CDREDUCONT"] = "999"; }, "slips", 1, "CDREDUCONT",
     "no row of accounts"},
    {"UnknownSlip", [](json& d) { d["slip_payables"][0]["NRLANBOLPAG"] = "0000000099"; }, "slip_payables", 1,
     "NRLANBOLPAG", "no row of slips"},
    {"UnknownRemittance", [](json& d) { d["slips"][4]["NRCNABPAGREM"] = "0000000042"; }, "slips", 5,
     "NRCNABPAGREM", "no row of remittances"},
    {"UnknownOperator", [](json& d) { d["operator_permissions"][0]["CDOPERADOR"] = "NOBODY"; },
     "operator_permissions", 1, "CDOPERADOR", "no row of operators"},
    {"BranchOfAnotherCompany",
     [](json& d) {
       d["companies"].push_back({{"CDEMPRESA", "02"}, {"NMEMPRESA", "OUTRA"}});
       d["slips"][0]["CDEMPRESA"] = "02";
     },
     "slips", 1, "CDFILIBPAG", "belongs to company '01', not '02'"},
    {"DuplicateKey", [](json& d) { d["slips"].push_back(d["slips"][0]); }, "slips", 6, "NRLANBOLPAG",
     "duplicate key (CDFILIBPAG, NRLANBOLPAG)"},
    {"FormatTwo", [](json& d) { d["format"] = 2; }, "", 0, "", "format must be 1"},
};

INSTANTIATE_TEST_SUITE_P(Bad, ImportRefusal, ::testing::ValuesIn(kBadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ImportTest, TextThatIsNotJsonIsRefused) {
  TempDir dir;
  Store store(dir.File("s.db"), Store::Mode::kCreate);
  EXPECT_THROW(ImportJson(store, "{\"companies\": [ {\"CDEMPRESA\": "), ImportError);
  EXPECT_THROW(ImportJson(store, "[1, 2]"), ImportError);
  EXPECT_THROW(ImportFile(store, dir.File("absent.json")), ImportError);
}

TEST(ImportTest, TheExampleLoadsExactly) {
  TempDir dir;
  Store store(dir.File("s.db"), Store::Mode::kCreate);
  ImportSummary s = ImportFile(store, ExamplePath());
  EXPECT_EQ(s.total, 51u);
  EXPECT_EQ(s.tables.front().first, "companies");
  auto one = [&](const std::string& sql) {
    sql::Stmt st(store.db(), sql);
    EXPECT_TRUE(st.Step()) << sql;
    return st.Text(0);
  };
  EXPECT_EQ(one("SELECT VRFINALBPAG FROM BOLETOPAG WHERE NRLANBOLPAG = '0000000002'"), "8975");
  EXPECT_EQ(one("SELECT VRPERCENTTRIB FROM BOLETOPAG WHERE NRLANBOLPAG = '0000000004'"), "4.5");
  EXPECT_EQ(one("SELECT DTVENBOLPAG FROM BOLETOPAG WHERE NRLANBOLPAG = '0000000001'"), "2026-12-10T00:00:00");
  // Defaults: situation, launch branch, the account's file bank.
  EXPECT_EQ(one("SELECT IDSITUCNABP || CDFILIAL FROM BOLETOPAG WHERE NRLANBOLPAG = '0000000001'"), "000001");
  EXPECT_EQ(one("SELECT CDBANCCNAB FROM BANCO WHERE CDBANCO = '001'"), "001");
  EXPECT_EQ(one("SELECT count(*) FROM CNABPAGBOL"), "1");
}

TEST(ImportTest, SizesCountCharactersNotBytes) {
  TempDir dir;
  Store store(dir.File("s.db"), Store::Mode::kCreate);
  std::string name;
  for (int i = 0; i < 40; ++i) name += "Ç";
  json doc = {{"companies", {{{"CDEMPRESA", "01"}, {"NMEMPRESA", name}}}}};
  EXPECT_NO_THROW(ImportJson(store, doc.dump()));
}

TEST(ImportTest, ASecondFileMayReferToRowsAlreadyInTheStoreButNotRepeatThem) {
  TempDir dir;
  Store store(dir.File("s.db"), Store::Mode::kCreate);
  ImportFile(store, ExamplePath());
  json more = {{"slips",
                {{{"CDFILIBPAG", "0002"},
                  {"NRLANBOLPAG", "0000000010"},
                  {"CDEMPRESA", "01"},
                  {"CDFORNECED", "F003"},
                  {"VRFINALBPAG", "10"},
                  {"DTVENBOLPAG", "2026-12-01"}}}}};
  EXPECT_EQ(ImportJson(store, more.dump()).total, 1u);
  try {
    ImportFile(store, ExamplePath());
    FAIL();
  } catch (const ImportError& e) {
    EXPECT_EQ(e.table(), "companies");
    EXPECT_NE(e.reason().find("duplicate"), std::string::npos);
  }
  EXPECT_EQ(store.db().QueryInt("SELECT count(*) FROM BOLETOPAG"), 6);
}

}  // namespace
}  // namespace pag::test
