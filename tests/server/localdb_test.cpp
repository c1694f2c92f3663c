// The host's local database queries.
#include <gtest/gtest.h>

#include "fixture.h"
#include "host/server/localdb.h"

namespace pag::test {
namespace {

class LocalDbTest : public ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    local = std::make_unique<SqliteLocalDatabase>(*store);
  }
  std::unique_ptr<SqliteLocalDatabase> local;
};

TEST_F(LocalDbTest, CompaniesOneOrAll) {
  Packet p = local->Query("qryEmpresa", {{"P_CDEMPRESA", std::string("01")}});
  ASSERT_EQ(p.rows.size(), 1u);
  EXPECT_EQ(Str(p, 0, "CDCENTCUST"), "100");
  ASSERT_EQ(p.fields.size(), 3u);
  local->Query("qryEmpresa", {});
  EXPECT_EQ(local->Query("qryEmpresa", {{"P_CDEMPRESA", Value{}}}).rows.size(), 1u);
  EXPECT_TRUE(local->Query("qryEmpresa", {{"P_CDEMPRESA", std::string("' OR 1=1 --")}}).empty());
}

TEST_F(LocalDbTest, SupplierAddressWithCityAndCountryNames) {
  store->db().Exec(
      "INSERT INTO ENDEFORN (CDFORNECED, IDTPENDEFORN, DSENDEFORN) VALUES ('F001', 'X', 'OUTRO');"
      "INSERT INTO ENDEFORN (CDFORNECED, IDTPENDEFORN, DSENDEFORN) VALUES ('F001', 'P', 'PRINCIPAL');");
  Packet p = local->Query("qryEndeForn", {{"CDFORNECED", std::string("F001")}});
  ASSERT_EQ(p.rows.size(), 2u);  // types C and P only, in type order
  EXPECT_EQ(Str(p, 0, "IDTPENDEFORN"), "C");
  EXPECT_EQ(Str(p, 0, "NMMUNICIPIO"), "SÃO PAULO");
  EXPECT_EQ(Str(p, 0, "NMPAIS"), "BRASIL");
  EXPECT_EQ(Str(p, 1, "DSENDEFORN"), "PRINCIPAL");
  EXPECT_EQ(p.fields.size(), 11u);
  EXPECT_TRUE(local->Query("qryEndeForn", {{"CDFORNECED", std::string("F002")}}).empty());
}

// The addresses are kept between queries: every way the store can change
// under them must show in the next answer.
TEST_F(LocalDbTest, SupplierAddressFollowsEveryChangeOfTheStore) {
  auto street = [&] {
    Packet p = local->Query("qryEndeForn", {{"CDFORNECED", std::string("F001")}});
    return p.rows.empty() ? std::string("<none>") : Str(p, 0, "DSENDEFORN");
  };
  const std::string first = street();
  ASSERT_NE(first, "<none>");
  EXPECT_EQ(street(), first);

  // Changed through this connection.
  store->db().Exec("UPDATE ENDEFORN SET DSENDEFORN = 'RUA NOVA, 1' WHERE CDFORNECED = 'F001'");
  EXPECT_EQ(street(), "RUA NOVA, 1");

  // Committed by another connection to the same file.
  {
    Store other(dir.File("store.db"), Store::Mode::kOpenExisting);
    other.db().Exec("UPDATE ENDEFORN SET DSENDEFORN = 'RUA OUTRA, 2' WHERE CDFORNECED = 'F001'");
  }
  EXPECT_EQ(street(), "RUA OUTRA, 2");

  // Changed inside a unit of work and undone: seen while it lasts, gone after.
  transport->BeginWork();
  store->db().Exec("UPDATE ENDEFORN SET DSENDEFORN = 'RUA DESFEITA, 3' WHERE CDFORNECED = 'F001'");
  EXPECT_EQ(street(), "RUA DESFEITA, 3");
  transport->RollbackWork();
  EXPECT_EQ(street(), "RUA OUTRA, 2");

  // The same in a transaction opened on the store directly.
  store->db().Exec("BEGIN");
  EXPECT_EQ(street(), "RUA OUTRA, 2");
  store->db().Exec("UPDATE ENDEFORN SET DSENDEFORN = 'RUA CRUA, 4' WHERE CDFORNECED = 'F001'");
  EXPECT_EQ(street(), "RUA CRUA, 4");
  store->db().Exec("ROLLBACK");
  EXPECT_EQ(street(), "RUA OUTRA, 2");
}

TEST_F(LocalDbTest, BankMasksByFileBankCode) {
  Packet p = local->Query("qryMascBancoForn", {{"P_CDBANCO", std::string("001")}});
  ASSERT_EQ(p.rows.size(), 1u);
  EXPECT_EQ(Str(p, 0, "CDPICTCONT"), "99999999-9");
  EXPECT_EQ(Str(p, 0, "CDPICTAGEN"), "9999-9");
}

TEST_F(LocalDbTest, FilterLookups) {
  EXPECT_EQ(local->Query("qryContCorr", {}).rows.size(), 1u);
  EXPECT_EQ(local->Query("qryOperador", {}).rows.size(), 2u);
  EXPECT_EQ(local->Query("qryBancBene", {}).rows.size(), 2u);
  EXPECT_EQ(local->Query("qryFormaPag", {}).rows.size(), 4u);
  EXPECT_EQ(local->Query("qryGrForn", {}).rows.size(), 1u);
  EXPECT_EQ(local->Query("qryFilial", {{"P_CDEMPRESA", std::string("01")}}).rows.size(), 2u);
  auto suppliers = [&](const char* all_types, const char* types, const char* all_groups, const char* groups) {
    return local
        ->Query("qryFornecedor", {{"P_TIDTPIJURFORN", std::string(all_types)},
                                  {"P_IDTPIJURFORN", std::string(types)},
                                  {"P_TCDGRUPFORN", std::string(all_groups)},
                                  {"P_CDGRUPFORN", std::string(groups)}})
        .rows.size();
  };
  EXPECT_EQ(suppliers("T", "", "T", ""), 4u);
  EXPECT_EQ(suppliers("", "J", "T", ""), 2u);
  EXPECT_EQ(suppliers("", "_O_I", "T", ""), 1u);
  EXPECT_EQ(suppliers("T", "", "", "_MAT"), 1u);
  EXPECT_EQ(suppliers("T", "", "", "_MA"), 0u);
}

TEST_F(LocalDbTest, UnknownQueriesAndParametersAreRefused) {
  EXPECT_THROW(local->Query("qryNothing", {}), std::invalid_argument);
  EXPECT_THROW(local->Query("qryEmpresa", {{"CDEMPRESA", std::string("01")}}), std::invalid_argument);
  EXPECT_THROW(local->Query("qryEmpresa", {{"P_CDEMPRESA", std::int64_t{1}}}), std::invalid_argument);
}

TEST_F(LocalDbTest, OperatorAccessToCompanies) {
  EXPECT_TRUE(local->AcessoOperEmpresa("01", "ANA"));
  EXPECT_FALSE(local->AcessoOperEmpresa("02", "ANA"));
  EXPECT_FALSE(local->AcessoOperEmpresa("01", "NOBODY"));
}

}  // namespace
}  // namespace pag::test
