// Bad input, each case with a clear message and nothing changed: import
// files with every kind of bad row, remittances for an unknown company,
// account or branch, output paths that are folders or have no file name,
// store files that are not ours or are newer than the program. And names
// and addresses with emoji, control characters and right-to-left text,
// which must still give a sound bank file: printable ASCII, every record of
// its width.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <functional>
#include <iostream>

#include "bench/remit_store.h"
#include "harness.h"
#include "host/server/import.h"
#include "host/server/sqlite.h"

namespace pag::reliability {
namespace {

using nlohmann::json;

// Row counts of every table of a store: what an import must leave alone.
std::map<std::string, std::int64_t> TableCounts(Store& store) {
  std::map<std::string, std::int64_t> counts;
  std::vector<std::string> tables;
  {
    sql::Stmt st(store.db(), "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
    while (st.Step()) tables.push_back(st.Text(0));
  }
  for (const std::string& t : tables) {
    sql::Stmt count(store.db(), "SELECT count(*) FROM \"" + t + "\"");
    count.Step();
    counts[t] = count.Int(0);
  }
  return counts;
}

struct BadImport {
  const char* what;
  std::function<void(json&)> spoil;  // applied to a sound file
  const char* expect;                // in the message
};

TEST(BadInput, ImportFilesWithEveryKindOfBadRowAreRefusedWhole) {
  const json sound = json::parse(bench::RemitStoreJson(4, 2));
  const std::string longName(41, 'X');
  const BadImport cases[] = {
      {"an unknown table", [](json& j) { j["boletos"] = json::array(); }, "table boletos: unknown table"},
      {"another format", [](json& j) { j["format"] = 2; }, "format must be 1"},
      {"a table that is not an array", [](json& j) { j["slips"] = json::object(); }, "table slips: a table must be"},
      {"a row that is not an object", [](json& j) { j["slips"][1] = 42; }, "table slips, row 2: a row must be"},
      {"an unknown field", [](json& j) { j["slips"][1]["NRBOLETO"] = "1"; }, "row 2, field NRBOLETO: unknown field"},
      {"a text given as a number", [](json& j) { j["slips"][2]["CDEMPRESA"] = 1; }, "row 3, field CDEMPRESA"},
      {"an amount as a JSON number", [](json& j) { j["slips"][0]["VRFINALBPAG"] = 12.5; }, "row 1, field VRFINALBPAG"},
      {"an amount with three decimals", [](json& j) { j["slips"][3]["VRFINALBPAG"] = "1.005"; },
       "row 4, field VRFINALBPAG"},
      {"an amount with a comma", [](json& j) { j["slip_payables"][0]["VRCONTA"] = "10,50"; },
       "table slip_payables, row 1, field VRCONTA"},
      {"an amount that is not a number", [](json& j) { j["slips"][0]["VRFINALBPAG"] = "dez reais"; },
       "field VRFINALBPAG"},
      {"a text too long", [&](json& j) { j["suppliers"][1]["NMRAZSOCFORN"] = longName; },
       "table suppliers, row 2, field NMRAZSOCFORN"},
      {"a code outside its list", [](json& j) { j["slips"][1]["IDSITUCNABP"] = "77"; }, "field IDSITUCNABP"},
      {"a required field missing", [](json& j) { j["slips"][2].erase("VRFINALBPAG"); }, "row 3, field VRFINALBPAG"},
      {"a required text blank", [](json& j) { j["companies"][0]["NMEMPRESA"] = "   "; },
       "table companies, row 1, field NMEMPRESA"},
      {"a reference to nothing", [](json& j) { j["slips"][1]["CDFORNECED"] = "NINGUEM"; }, "row 2"},
      {"a key twice in the file", [](json& j) { j["slips"].push_back(j["slips"][0]); }, "duplicate key"},
      {"digits with a letter", [](json& j) { j["slips"][0]["CDBARRAPAG"] = std::string(43, '1') + "A"; },
       "field CDBARRAPAG"},
      {"too few digits", [](json& j) { j["slips"][0]["CDBARRAPAG"] = "123"; }, "field CDBARRAPAG"},
      {"a date that does not exist", [](json& j) { j["slips"][1]["DTVENBOLPAG"] = "2026-02-30"; },
       "field DTVENBOLPAG"},
      {"an integer as a text", [](json& j) { j["settings"][0]["QTDIAANTBOLP"] = "30"; }, "field QTDIAANTBOLP"},
      {"a whole number with a fraction", [](json& j) { j["settings"][0]["QTDIAANTBOLP"] = 30.5; },
       "field QTDIAANTBOLP"},
      {"a slip of an account of no company", [](json& j) { j["slips"][3]["CDREDUCONT"] = "999"; }, "row 4"},
  };

  TempDir dir("pag-rel-import");
  Store store((dir.path() / "store.db").string(), Store::Mode::kCreate);
  const auto before = TableCounts(store);
  int refused = 0;
  for (const BadImport& c : cases) {
    SCOPED_TRACE(c.what);
    json j = sound;
    c.spoil(j);
    try {
      ImportJson(store, j.dump());
      ADD_FAILURE() << "accepted";
    } catch (const ImportError& e) {
      ++refused;
      EXPECT_NE(std::string(e.what()).find(c.expect), std::string::npos) << e.what();
    }
    EXPECT_EQ(TableCounts(store), before);
  }
  // Files that are not JSON, or not one object of tables.
  for (const std::string& text : {std::string(), std::string("{\"companies\": ["), std::string("[1, 2]"),
                                  std::string("{\"settings\": [{\"CDGERALPAG\": \"1\", \"QTDIAANTBOLP\": 5E4000}]}"),
                                  std::string("\x00\xff\xfe garbage", 12), std::string("{\"slips\": [{\"CDFILIBPAG\": \"\xff\xff\"}]}")}) {
    SCOPED_TRACE(text);
    EXPECT_THROW(ImportJson(store, text), ImportError);
    EXPECT_EQ(TableCounts(store), before);
  }
  // A key already in the store: the second import of a sound file.
  ImportJson(store, sound.dump());
  const auto loaded = TableCounts(store);
  try {
    ImportJson(store, sound.dump());
    ADD_FAILURE() << "the same file was imported twice";
  } catch (const ImportError& e) {
    EXPECT_NE(std::string(e.what()).find("duplicate key"), std::string::npos) << e.what();
  }
  EXPECT_EQ(TableCounts(store), loaded);
  std::cout << "[ reliability ] " << refused << " bad import files refused whole\n";
}

TEST(BadInput, TheImportCommandNamesTheFaultAndLoadsNothing) {
  TempDir dir("pag-rel-import-cli");
  const fs::path db = dir.path() / "store.db";
  ASSERT_EQ(RunCli({{"init", "--db", db.string()}, dir.path() / "o", dir.path() / "e", std::nullopt, std::nullopt})
                .exitCode,
            0);
  json j = json::parse(bench::RemitStoreJson(3, 1));
  j["slips"][2]["VRFINALBPAG"] = 99.9;
  WriteAll(dir.path() / "bad.json", j.dump());
  const ChildResult r = RunCli({{"import", "--db", db.string(), (dir.path() / "bad.json").string()},
                                dir.path() / "o", dir.path() / "e", std::nullopt, std::nullopt});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("import refused: table slips, row 3, field VRFINALBPAG"), std::string::npos) << r.err;
  Store store(db.string());
  EXPECT_EQ(store.db().QueryInt("SELECT count(*) FROM BOLETOPAG"), 0);
  EXPECT_EQ(store.db().QueryInt("SELECT count(*) FROM EMPRESA"), 0);
}

class BadRemittance : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { tmpl_ = new TemplateStore(6); }
  static void TearDownTestSuite() {
    delete tmpl_;
    tmpl_ = nullptr;
  }

  // Runs `pag00100 remit` with the options changed; it must be refused
  // with `key` and change nothing.
  void Refused(const std::string& what, std::function<void(std::vector<std::string>&)> change, const std::string& key,
               const fs::path& target, int exitCode = 2) {
    SCOPED_TRACE(what);
    const fs::path base = dir_.path() / ("b" + std::to_string(++runs_));
    fs::create_directories(base / "out");
    const fs::path db = tmpl_->CopyTo(base / "store.db");
    std::vector<std::string> args = RemitArgs(db, target);
    change(args);
    const ChildResult r = RunCli({args, base / "stdout", base / "stderr", std::nullopt, std::nullopt});
    EXPECT_EQ(r.exitCode, exitCode) << r.err;
    EXPECT_FALSE(r.Crashed()) << r.err;
    EXPECT_EQ(r.err.rfind(key, 0), 0u) << r.err;
    const Verdict v = Judge(tmpl_->Facts())(db, base / "out", base / "out" / "rem.txt", std::nullopt, Ending::kReturned);
    EXPECT_EQ(v.outcome, Outcome::kNothing) << v;
  }
  fs::path Out() const { return dir_.path() / ("b" + std::to_string(runs_ + 1)) / "out" / "rem.txt"; }

  static void Set(std::vector<std::string>& args, const std::string& option, const std::string& value) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i)
      if (args[i] == option) args[i + 1] = value;
  }

  static TemplateStore* tmpl_;
  TempDir dir_{"pag-rel-remit"};
  int runs_ = 0;
};

TemplateStore* BadRemittance::tmpl_ = nullptr;

TEST_F(BadRemittance, ForAnUnknownCompanyAccountOrBranch) {
  Refused("company", [](auto& a) { Set(a, "--company", "77"); }, "EMPRESA_NAO_CAD", Out());
  Refused("account", [](auto& a) { Set(a, "--account", "777"); }, "CONTA_NAO_CAD", Out());
  Refused("branch", [](auto& a) { a.insert(a.end(), {"--branch", "7777"}); }, "FIL_N_CAD", Out());
  Refused("slip", [](auto& a) {
            a.resize(a.size() - 2);  // no --slips all
            a.insert(a.end(), {"--slip", "0001:0000009999"});
          },
          "pag00100 remit: slip 0001:0000009999 is not offered here", Out(), 1);
}

TEST_F(BadRemittance, ToAFolderOrAPathWithoutAFileName) {
  const fs::path folder = dir_.path() / "a-folder";
  fs::create_directories(folder);
  Refused("a folder", [&](auto& a) { Set(a, "--out", folder.string()); }, "ARQU_DEVE_SER", Out());
  Refused("a path ending in a slash", [&](auto& a) { Set(a, "--out", folder.string() + "/"); }, "ARQU_DEVE_SER",
          Out());
  Refused("a missing folder", [&](auto& a) { Set(a, "--out", (dir_.path() / "nowhere" / "rem.txt").string()); },
          "DIR_INVALIDO", Out());
  const fs::path file = dir_.path() / "a-file";
  WriteAll(file, "x");
  Refused("a file as folder", [&](auto& a) { Set(a, "--out", (file / "rem.txt").string()); }, "DIR_INVALIDO", Out());
  EXPECT_EQ(ReadAll(file), "x");
}

// Store files the program must not touch: refused with a message that says
// why, and left byte for byte as they were, with no journal beside them.
TEST(BadInput, StoreFilesThatAreNotOursOrNewerAreRefusedUntouched) {
  TempDir dir("pag-rel-stores");
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> make;
    const char* expect;
  };
  const Case cases[] = {
      {"a text file", [](const fs::path& p) { WriteAll(p, "remessa de pagamentos\n"); }, "not a remittance store"},
      {"another program's database",
       [](const fs::path& p) {
         sql::Db db(p.string(), true);
         db.Exec("CREATE TABLE agenda (nome TEXT); INSERT INTO agenda VALUES ('Maria')");
       },
       "another application's database"},
      {"a store of a newer version",
       [](const fs::path& p) {
         { Store s(p.string(), Store::Mode::kCreate); }
         sql::Db db(p.string(), false);
         db.Exec("PRAGMA journal_mode = DELETE");
         db.Exec("PRAGMA user_version = " + std::to_string(kSchemaVersion + 1));
       },
       "newer than this program"},
      {"an empty database file", [](const fs::path& p) { WriteAll(p, ""); }, "empty database"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path base = dir.path() / ("s" + std::to_string(++n));
    fs::create_directories(base);
    const fs::path db = base / "store.db";
    c.make(db);
    const std::string bytes = ReadAll(db);
    for (const std::vector<std::string>& args :
         {RemitArgs(db, base / "rem.txt"), std::vector<std::string>{"list", "--db", db.string(), "--company", "01"},
          std::vector<std::string>{"import", "--db", db.string(), (base / "none.json").string()}}) {
      const ChildResult r = RunCli({args, dir.path() / "o", dir.path() / "e", std::nullopt, std::nullopt});
      EXPECT_EQ(r.exitCode, 1) << args[0] << ": " << r.err;
      EXPECT_NE(r.err.find(c.expect), std::string::npos) << args[0] << ": " << r.err;
      EXPECT_FALSE(r.Crashed()) << r.err;
    }
    EXPECT_EQ(ReadAll(db), bytes);
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(base)) left.push_back(e.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"store.db"});
  }
}

// Emoji, control characters (a line break among them) and right-to-left
// text in the supplier's name and address still give a sound file.
TEST(BadInput, HostileNamesStillGiveASoundBankFile) {
  const std::string hostile[] = {
      "Padaria \xF0\x9F\x98\x80 P\xC3\xA3o Quente \xF0\x9F\x8D\x9E",          // emoji
      "LINHA\r\nQUEBRADA\tCOM\x01" "CONTROLE\x7F" "FIM",                        // control characters
      "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xD8\xB3\xD9\x84\xD8\xA7\xD9\x85 LTDA",  // Hebrew and Arabic
      "\xE2\x80\xAE" "ADVERTENCIA\xE2\x80\xAC \xE2\x80\x8F" "A\xCC\x81",          // bidi overrides, combining mark
  };
  TempDir dir("pag-rel-names");
  int n = 0;
  for (const std::string& name : hostile) {
    SCOPED_TRACE(name);
    const fs::path base = dir.path() / ("n" + std::to_string(++n));
    fs::create_directories(base / "out");
    const fs::path db = base / "store.db";
    {
      // Through the import, as such names reach a store.
      json j = json::parse(bench::RemitStoreJson(8, 1));
      j["suppliers"][0]["NMRAZSOCFORN"] = name;
      j["suppliers"][0]["NMFANTFORN"] = name;
      j["supplier_addresses"][0]["DSENDEFORN"] = name;
      j["supplier_addresses"][0]["NMBAIRFORN"] = "\xF0\x9F\x8F\xA0\r\n\x01\xD7\xA9\xD7\x9C";
      j["companies"][0]["NMRAZSOCEMPR"] = name;
      Store store(db.string(), Store::Mode::kCreate);
      ImportJson(store, j.dump());
    }
    const fs::path target = base / "out" / "rem.txt";
    const ChildResult r = RunCli({RemitArgs(db, target), base / "stdout", base / "stderr", std::nullopt, std::nullopt});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string file = ReadAll(target);
    const StoreFacts f = ReadFacts(db);
    ASSERT_EQ(f.remittances.size(), 1u);
    const std::string sequence = f.remittances.begin()->second.substr(4, 10);
    EXPECT_EQ(BankFileProblems(file, sequence, 8), std::vector<std::string>{}) << file;
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), std::count(file.begin(), file.end(), '\r'));
  }
}

}  // namespace
}  // namespace pag::reliability
