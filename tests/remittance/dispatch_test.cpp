// The bank dispatch: every bank the account check lets through reaches its
// own writer, by the conditions of its rows; and on the screen the rows
// read what the confirmation loaded.
#include <algorithm>

#include "screen_fixture.h"

namespace pag::testing {
namespace {

TEST(DispatchTable, EveryBankOfTheAccountCheckResolvesToItsRow) {
  const std::vector<std::string> expected = {"237", "341", "275", "356", "291", "745", "151", "422", "409", "479",
                                             "033", "353", "399", "001", "104", "453", "756", "749", "021", "748"};
  std::vector<std::string> banks = AccountCheckBanks();
  std::vector<std::string> want = expected;
  std::sort(banks.begin(), banks.end());
  std::sort(want.begin(), want.end());
  EXPECT_EQ(banks, want);
  const auto table = RemittanceDispatchTable();
  for (const std::string& bank : expected) {
    for (const char* standard : {"", "1", "2"}) {
      for (const char* layout : {"", "0", "240"}) {
        const DispatchRow* row = FindDispatchRow(table, bank, {standard, layout, layout});
        ASSERT_NE(row, nullptr) << bank;
        EXPECT_TRUE(row->Serves(bank)) << bank;
        EXPECT_TRUE(row->accountAccepts) << bank;
      }
    }
  }
}

TEST(DispatchTable, ConditionsChooseTheWriter) {
  struct Case {
    const char* bank;
    DispatchFacts facts;
    const char* writer;
  } cases[] = {
      {"237", {"1", "", ""}, "Remessa_BcoBradesco"},     {"237", {"", "", ""}, "Remessa_BcoBradesco"},
      {"237", {"2", "", ""}, "Remessa_BcoBradesco_MultiPag"},
      {"341", {"2", "", ""}, "Remessa_BcoItau_Risco"},   {"341", {"1", "", ""}, "Remessa_BcoItau"},
      {"275", {}, "Remessa_BcoReal"},                    {"356", {}, "Remessa_BcoReal"},
      {"291", {}, "Remessa_BcoBCN"},                     {"745", {}, "Remessa_BcoCitiBank"},
      {"151", {}, "Remessa_BcoNossaCaixa"},              {"748", {}, "Remessa_BcoSicredi"},
      {"422", {}, "Remessa_BcoSafra"},                   {"409", {"", "0", ""}, "Remessa_Unibanco"},
      {"409", {"", "1", ""}, "Remessa_Unibanco_Febraban"}, {"409", {"", "", ""}, "Remessa_Unibanco_Febraban"},
      {"033", {}, "Remessa_Santander"},                  {"353", {}, "Remessa_Santander"},
      {"001", {}, "Remessa_BcoBrasil"},                  {"479", {}, "Remessa_BcoBankBoston"},
      {"399", {"", "", "240"}, "Remessa_BcoHSBC"},       {"399", {"", "", ""}, "Remessa_BcoHSBC_266"},
      {"399", {"", "", "266"}, "Remessa_BcoHSBC_266"},   {"104", {}, "Remessa_BcoCaixa"},
      {"453", {}, "Remessa_BcoRural"},                   {"749", {}, "Remessa_BcoRural"},
      {"756", {}, "Remessa_BcoSICOOB"},                  {"041", {}, "Remessa_BcoBanrisul"},
      {"021", {}, "Remessa_BcoBanestes"},
  };
  for (const Case& c : cases) {
    const DispatchRow* row = FindDispatchRow(RemittanceDispatchTable(), c.bank, c.facts);
    ASSERT_NE(row, nullptr) << c.bank;
    EXPECT_EQ(row->writer, c.writer) << c.bank;
  }
  // The gauge step after the writer is left out for Bradesco only.
  for (const DispatchRow& row : RemittanceDispatchTable()) EXPECT_EQ(row.gaugeAfter, !row.Serves("237")) << row.writer;
  EXPECT_EQ(PrepareFor(RemittanceDispatchTable(), "237"), DispatchPrepare::kReloadEmprBanc);
  EXPECT_EQ(PrepareFor(RemittanceDispatchTable(), "409"), DispatchPrepare::kLoadLayout);
  EXPECT_EQ(PrepareFor(RemittanceDispatchTable(), "341"), DispatchPrepare::kNone);
}

TEST(DispatchTable, CodesOutsideTheTableAndBanrisul) {
  for (const char* bank : {"", "33", "999", "0001", "237 "})
    EXPECT_EQ(FindDispatchRow(RemittanceDispatchTable(), bank, {}), nullptr) << "'" << bank << "'";
  EXPECT_FALSE(AccountBankAccepted("041"));
  EXPECT_FALSE(AccountBankAccepted("33"));
  EXPECT_TRUE(AccountBankAccepted("353"));
}

// On the screen: the row is chosen with the agreement, layout and layout
// name of the remittance, and the writer of that row runs.
class ScreenDispatch : public ScreenTest {
 protected:
  std::string Ran(const std::string& company, const std::string& account, int entry, const std::string& branch) {
    static std::string ran;
    ran.clear();
    Open();
    for (const DispatchRow& row : RemittanceDispatchTable()) {
      const std::string name(row.writer);
      screen->SetWriterOverride(name, [name](WriterContext& ctx) {
        ran = name;
        TestWriter(ctx);
      });
    }
    if (company != "01") {
      screen->FocusControl(kCtlCompany);
      screen->TypeCompany(company);
      screen->FocusControl(kCtlGrid);
    }
    NewRemittance(account);
    Toggle(entry, branch);
    screen->sbtConfirmarClick();
    return ran;
  }
};

TEST_F(ScreenDispatch, ItauByTheAgreementStandard) {
  EXPECT_EQ(Ran("01", "11", 1101, "0001"), "Remessa_BcoItau");
}

TEST_F(ScreenDispatch, ItauRiscoWhenTheAgreementSaysSo) {
  store->db().Exec("UPDATE EMPRBANC SET IDPADRCNABPAG = '2' WHERE CDEMPRESA = '01' AND CDBANCO = '341'");
  EXPECT_EQ(Ran("01", "11", 1101, "0001"), "Remessa_BcoItau_Risco");
}

TEST_F(ScreenDispatch, BradescoClassic) {
  EXPECT_EQ(Ran("01", "5", 501, "0001"), "Remessa_BcoBradesco");
}

TEST_F(ScreenDispatch, BradescoMultipag) { EXPECT_EQ(Ran("02", "6", 601, "0201"), "Remessa_BcoBradesco_MultiPag"); }

TEST_F(ScreenDispatch, UnibancoOwnLayout) { EXPECT_EQ(Ran("01", "12", 1201, "0001"), "Remessa_Unibanco"); }

TEST_F(ScreenDispatch, HsbcLayout240) { EXPECT_EQ(Ran("01", "13", 1301, "0001"), "Remessa_BcoHSBC"); }

}  // namespace
}  // namespace pag::testing
