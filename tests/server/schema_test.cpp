// The store's schema: creation, refusal of foreign or newer files, and the
// upgrade from version 1.
#include <gtest/gtest.h>

#include "fixture.h"
#include "host/server/catalog.h"

namespace pag::test {
namespace {

void ExpectRefused(const std::string& path, Store::Mode mode, const std::string& fragment) {
  try {
    Store s(path, mode);
    FAIL() << "opened " << path;
  } catch (const StoreRefused& e) {
    EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
  }
}

TEST(SchemaTest, ANewStoreIsStampedAndInWalMode) {
  TempDir dir;
  Store s(dir.File("a.db"), Store::Mode::kCreate);
  EXPECT_EQ(s.db().QueryInt("PRAGMA user_version"), kSchemaVersion);
  EXPECT_EQ(s.db().QueryInt("PRAGMA application_id"), kApplicationId);
  sql::Stmt st(s.db(), "PRAGMA journal_mode");
  ASSERT_TRUE(st.Step());
  EXPECT_EQ(st.Text(0), "wal");
}

TEST(SchemaTest, FilesThatAreNotAStoreAreRefused) {
  TempDir dir;
  ExpectRefused(dir.File("missing.db"), Store::Mode::kOpenExisting, "does not exist");

  std::ofstream(dir.File("text.db")) << "just some text, long enough to not be an empty file at all\n";
  ExpectRefused(dir.File("text.db"), Store::Mode::kOpenExisting, "not an SQLite database");
  ExpectRefused(dir.File("text.db"), Store::Mode::kCreate, "not an SQLite database");

  {
    sql::Db other(dir.File("other.db"), true);
    other.Exec("CREATE TABLE notes (x TEXT)");
  }
  ExpectRefused(dir.File("other.db"), Store::Mode::kCreate, "another application");

  { sql::Db empty(dir.File("empty.db"), true); }
  ExpectRefused(dir.File("empty.db"), Store::Mode::kOpenExisting, "empty database");
}

TEST(SchemaTest, AStoreOfANewerVersionIsRefused) {
  TempDir dir;
  { Store s(dir.File("a.db"), Store::Mode::kCreate); }
  {
    sql::Db db(dir.File("a.db"), false);
    db.Exec("PRAGMA user_version = " + std::to_string(kSchemaVersion + 1));
  }
  ExpectRefused(dir.File("a.db"), Store::Mode::kOpenExisting, "newer than this program");
}

TEST(SchemaTest, AVersion1StoreIsUpgradedAndItsRemittanceLinksCarriedOver) {
  TempDir dir;
  const std::string path = dir.File("v1.db");
  {
    sql::Db db(path, true);
    CreateSchema(db, 1);
    db.Exec(
        "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('01', 'ACME');"
        "INSERT INTO FILIAL (CDFILIAL, CDEMPRESA, NMFILIAL) VALUES ('0001', '01', 'MATRIZ');"
        "INSERT INTO FORNECEDOR (CDFORNECED, NMRAZSOCFORN) VALUES ('F1', 'FORN');"
        "INSERT INTO CONTCORR (CDREDUCONT, CDEMPRESA, CDBANCO) VALUES ('001', '01', '341');"
        "INSERT INTO CNABPAG (CDEMPRESA, NRCNABPAG, CDREDUCONT) VALUES ('01', '0000000007', '001');"
        "INSERT INTO BOLETOPAG (CDFILIBPAG, NRLANBOLPAG, CDEMPRESA, CDFORNECED, VRFINALBPAG, NRCNABPAGREM) "
        "  VALUES ('0001', '0000000001', '01', 'F1', 1050, '0000000007');"
        "INSERT INTO BOLETOPAG (CDFILIBPAG, NRLANBOLPAG, CDEMPRESA, CDFORNECED, VRFINALBPAG) "
        "  VALUES ('0001', '0000000002', '01', 'F1', 99);");
    EXPECT_EQ(db.QueryInt("PRAGMA user_version"), 1);
    EXPECT_EQ(db.QueryInt("SELECT count(*) FROM sqlite_master WHERE name = 'CNABPAGBOL'"), 0);
  }
  Store s(path);
  EXPECT_EQ(s.opened_version(), 1);
  EXPECT_EQ(s.db().QueryInt("PRAGMA user_version"), kSchemaVersion);
  AppServer server(s);
  std::vector<Arg> args{Arg("0000000007"), Arg("01")};
  Reply r = server.Call("GetTotRemessa", args);
  ASSERT_EQ(r.kind(), Reply::Kind::kPacket) << (r.IsError() ? r.error() : "");
  EXPECT_EQ(std::get<std::int64_t>(r.packet().At(0, "QTBOLETOS")), 1);
  EXPECT_EQ(std::get<Decimal>(r.packet().At(0, "VRTOTBOL")), Decimal::FromUnits(1050, 2));
  // Opening again finds nothing to do.
  Store again(path);
  EXPECT_EQ(again.opened_version(), kSchemaVersion);
}

TEST(SchemaTest, TheCatalogueMatchesTheTablesOfTheStore) {
  TempDir dir;
  Store s(dir.File("a.db"), Store::Mode::kCreate);
  for (const catalog::Table& t : catalog::Tables()) {
    std::set<std::string> columns;
    sql::Stmt st(s.db(), "SELECT name FROM pragma_table_info(?)");
    st.Bind(1, t.sql);
    while (st.Step()) columns.insert(st.Text(0));
    ASSERT_FALSE(columns.empty()) << t.sql;
    for (const auto& c : t.columns) EXPECT_TRUE(columns.count(std::string(c.name))) << t.sql << "." << c.name;
    for (const auto& r : t.refs) {
      const catalog::Table* target = catalog::FindTable(r.table);
      ASSERT_NE(target, nullptr) << r.table;
      EXPECT_EQ(target->Keys().size(), r.fields.size()) << t.json << " -> " << r.table;
    }
  }
}

}  // namespace
}  // namespace pag::test
