// Whatever a clerk types or a lookup gives back reaches the server as plain
// text: quotes, "%", "_" and pieces of SQL find nothing and harm nothing.
#include <gtest/gtest.h>

#include "fixture.h"

namespace pag::test {
namespace {

using Slip = TfrmFiltroBoletoCNAB;
using Rem = TfrmFiltroRemessaCNAB;

const char* const kHostile[] = {"'",     "%",         "_",  "' OR '1'='1", "%_%", "1; DROP TABLE BOLETOPAG; --",
                                "\"x\"", "\\' OR 1--", "*"};

class HostileTextTest : public FilterTest {
 protected:
  std::string Count(const char* table) {
    sql::Stmt st(store.db(), std::string("SELECT COUNT(*) FROM ") + table);
    return st.Step() ? st.Text(0) : "?";
  }
};

TEST_F(HostileTextTest, SlipCriteriaTakeTextAsText) {
  struct Criterion {
    const char* name;
    std::function<void(Slip&, const std::string&)> set;
  };
  const Criterion criteria[] = {
      {"document number", [](Slip& f, const std::string& v) { f.medDocIni.SetText(v); }},
      {"remittance number", [](Slip& f, const std::string& v) { f.medNrRemessa.SetText(v); }},
      {"return number", [](Slip& f, const std::string& v) { f.medNrRetorno.SetText(v); }},
      {"supplier key",
       [this](Slip& f, const std::string& v) {
         f.rbtListFornClick();
         dialogs.picks.push_back(std::vector<std::string>{v});
         f.btnListFornClick();
       }},
      {"group key",
       [this](Slip& f, const std::string& v) {
         f.rbtListaGrFornClick();
         dialogs.picks.push_back(std::vector<std::string>{v});
         f.btnGrFornClick();
       }},
      {"bank key",
       [this](Slip& f, const std::string& v) {
         f.rbtListBancBeneClick();
         dialogs.picks.push_back(std::vector<std::string>{v});
         f.btnBancBenefClick();
       }},
      {"launch branch key",
       [this](Slip& f, const std::string& v) {
         f.rbtListFiliLancClick();
         dialogs.picks.push_back(std::vector<std::string>{v});
         f.btnFiliLancClick();
       }},
      {"payment form key",
       [this](Slip& f, const std::string& v) {
         f.rbtFPagClick();
         dialogs.picks.push_back(std::vector<std::string>{v});
         f.btnPesqFPagClick();
       }},
  };
  Inserting();
  for (const Criterion& c : criteria) {
    for (const char* value : kHostile) {
      SCOPED_TRACE(std::string(c.name) + ": " + value);
      Reopen();
      EXPECT_EQ(ShowSlip([&](Slip& f) { c.set(f, value); }), "");
      EXPECT_EQ(Slips(), "");
    }
  }
  EXPECT_EQ(Count("BOLETOPAG"), "11");
}

TEST_F(HostileTextTest, RemittanceCriteriaTakeTextAsText) {
  struct Criterion {
    const char* name;
    std::function<void(Rem&, const std::string&)> set;
  };
  const Criterion criteria[] = {
      {"document numbers",
       [](Rem& f, const std::string& v) {
         f.medDocIni.SetText(v);
         f.medDocFin.SetText(v);
       }},
      {"remittance number", [](Rem& f, const std::string& v) { f.medNrRemessa.SetText(v); }},
      {"account key",
       [this](Rem& f, const std::string& v) {
         f.rbtListaCCorClick();
         dialogs.picks.push_back(std::vector<std::string>{v});
         f.btpContCorrClick();
       }},
      {"operator key",
       [this](Rem& f, const std::string& v) {
         f.rbtListaOperClick();
         dialogs.picks.push_back(std::vector<std::string>{v});
         f.btpOperadorClick();
       }},
      {"supplier key",
       [this](Rem& f, const std::string& v) {
         f.rbtListFornClick();
         dialogs.picks.push_back(std::vector<std::string>{v});
         f.btnListFornClick();
       }},
      {"payment form key",
       [this](Rem& f, const std::string& v) {
         f.rbtFPagClick();
         dialogs.picks.push_back(std::vector<std::string>{v});
         f.btnPesqFPagClick();
       }},
  };
  for (const Criterion& c : criteria) {
    for (const char* value : kHostile) {
      SCOPED_TRACE(std::string(c.name) + ": " + value);
      Reopen();
      EXPECT_EQ(ShowRemittance([&](Rem& f) {
                  f.depDtIniVen.Clear();
                  f.depDtFinVen.Clear();
                  c.set(f, value);
                }),
                "");
      EXPECT_EQ(Remittances(), "");
    }
  }
  EXPECT_EQ(Count("CNABPAG"), "4");
}

}  // namespace
}  // namespace pag::test
