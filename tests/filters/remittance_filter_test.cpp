// The remittance filter: each criterion reaches the server and changes which
// remittances are listed, each check refuses with its key on its page, and
// the silent mode lists without showing.
#include <gtest/gtest.h>

#include "fixture.h"

namespace pag::test {
namespace {

using Rem = TfrmFiltroRemessaCNAB;
using Keys = std::vector<std::string>;

class RemittanceFilterTest : public FilterTest {};

void WholeMonth(Rem& f) {
  f.depDtIniVen.SetText("01/12/2026");
  f.depDtFinVen.SetText("31/12/2026");
}

// Company 01 has remittance 1 (account 001, ANA, 10/12, 900.00, slip 09 of
// F001 with a 341 barcode, invoice 109, due 03/12), remittance 2 (account
// 002, BRUNO, 10/12, 50.00, no slip) and remittance 3 (account 001, BRUNO,
// 08/12, 2500.00, slip 12 of F003, TED to bank 001, invoice 555, due 20/11).
// Company 02 has its own remittance 1.
TEST_F(RemittanceFilterTest, EachCriterionChangesTheRemittancesListed) {
  struct Case {
    const char* name;
    const char* company;
    std::function<void(Rem&)> set;
    const char* expect;
  };
  auto pick = [this](Keys keys) { dialogs.picks.push_back(std::move(keys)); };
  const Case cases[] = {
      {"the processing date", "01", nullptr, "1 2"},
      {"other company", "02", nullptr, "1"},
      {"no dates", "01",
       [](Rem& f) {
         f.depDtIniVen.Clear();
         f.depDtFinVen.Clear();
       },
       "1 2 3"},
      {"one day", "01",
       [](Rem& f) {
         f.depDtIniVen.SetText("08/12/2026");
         f.depDtFinVen.SetText("2026-12-08");
       },
       "3"},
      {"accounts", "01",
       [&](Rem& f) {
         WholeMonth(f);
         f.rbtListaCCorClick();
         pick({"002"});
         f.btpContCorrClick();
       },
       "2"},
      {"operators", "01",
       [&](Rem& f) {
         WholeMonth(f);
         f.rbtListaOperClick();
         pick({"BRUNO"});
         f.btpOperadorClick();
       },
       "2 3"},
      {"remittance values", "01",
       [](Rem& f) {
         WholeMonth(f);
         f.nedVrRemIni.SetText("100");
         f.nedVrRemFin.SetText("1.000,00");
       },
       "1"},
      {"suppliers", "01",
       [&](Rem& f) {
         WholeMonth(f);
         f.rbtListFornClick();
         pick({"F003"});
         f.btnListFornClick();
       },
       "3"},
      {"payee bank of a transfer", "01",
       [&](Rem& f) {
         WholeMonth(f);
         f.rbtListBancBeneClick();
         pick({"001"});
         f.btnBancBenefClick();
       },
       "3"},
      {"payee bank of a barcode", "01",
       [&](Rem& f) {
         WholeMonth(f);
         f.rbtListBancBeneClick();
         pick({"341"});
         f.btnBancBenefClick();
       },
       "1"},
      {"documents", "01",
       [](Rem& f) {
         WholeMonth(f);
         f.medDocIni.SetText("500");
         f.medDocFin.SetText("600");
       },
       "3"},
      {"due dates", "01",
       [](Rem& f) {
         WholeMonth(f);
         f.depVencIni.SetText("15/11/2026");
         f.depVencFin.SetText("25/11/2026");
       },
       "3"},
      {"payment forms", "01",
       [&](Rem& f) {
         WholeMonth(f);
         f.rbtFPagClick();
         pick({"05"});
         f.btnPesqFPagClick();
       },
       "3"},
      {"net values", "01",
       [](Rem& f) {
         WholeMonth(f);
         f.nedVrLiqIni.SetText("2000");
         f.nedVrLiqFin.SetText("3000");
       },
       "3"},
      {"remittance number", "01",
       [](Rem& f) {
         WholeMonth(f);
         f.medNrRemessa.SetText("3");
       },
       "3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reopen();
    dialogs.Reset();
    company = c.company;
    EXPECT_EQ(ShowRemittance(c.set), "");
    EXPECT_EQ(Remittances(), c.expect);
    EXPECT_TRUE(dialogs.picks.empty()) << "a lookup was not opened";
  }
}

TEST_F(RemittanceFilterTest, FreshDialogAsksForTheProcessingDateOnly) {
  ASSERT_EQ(ShowRemittance(nullptr), "");
  const auto args = transport->Last("GetCNABPag");
  ASSERT_EQ(args.size(), 27u);
  const std::string pass = "VRRRRRRRVVRRRRRVVRVVRRRVVRV";
  for (std::size_t i = 0; i < args.size(); ++i) {
    SCOPED_TRACE(i + 1);
    if (pass[i] == 'V') {
      EXPECT_FALSE(args[i].by_ref());
    }
    if (pass[i] == 'R' && args[i].IsText()) {
      EXPECT_TRUE(args[i].by_ref());
    }
  }
  const std::vector<std::string> expect = {
      "01", "2026-12-10", "2026-12-10", "", "", "T", "", "T", "0.00", "0.00", "T", "", "T", "", "T",
      "",   "",           "T",          "1899-12-30", "1899-12-30", "T", "", "T", "0.00", "0.00", "T", "0000000000"};
  for (std::size_t i = 0; i < expect.size(); ++i) EXPECT_EQ(ArgText(args[i]), expect[i]) << "argument " << i + 1;
}

TEST_F(RemittanceFilterTest, HighestValueOfZeroMeansNoUpperLimit) {
  ASSERT_EQ(ShowRemittance([](Rem& f) {
              WholeMonth(f);
              f.nedVrRemIni.SetText("1000");
              f.nedVrRemFin.SetText("0");
              f.nedVrLiqIni.SetText("50");
              f.nedVrLiqFin.SetText("");
            }),
            "");
  const auto args = transport->Last("GetCNABPag");
  EXPECT_EQ(ArgText(args[8]), "1000.00");
  EXPECT_EQ(ArgText(args[10]), "T");
  EXPECT_EQ(ArgText(args[25]), "T");
  EXPECT_EQ(Remittances(), "1 2 3");
}

TEST_F(RemittanceFilterTest, ChecksRefuseOnTheirPage) {
  struct Case {
    const char* key;
    std::function<void(Rem&)> set;
    const char* page;
    const char* focus;
  };
  const Case cases[] = {
      {"DataInicial_Deve", [](Rem& f) { f.depDtIniVen.Clear(); }, Rem::kTshRemessa, "depDtIniVen"},
      {"DataFinal_Deve", [](Rem& f) { f.depDtFinVen.Clear(); }, Rem::kTshRemessa, "depDtFinVen"},
      {"DtIni<DtFin", [](Rem& f) { f.depDtFinVen.SetText("01/12/2026"); }, Rem::kTshRemessa, "depDtIniVen"},
      {"ContCorr_Deve", [](Rem& f) { f.rbtListaCCorClick(); }, Rem::kTshRemessa, "rbtListaCCor"},
      {"Operador_Deve", [](Rem& f) { f.rbtListaOperClick(); }, Rem::kTshRemessa, "rbtListaOper"},
      {"VrRemIni_menor",
       [](Rem& f) {
         f.nedVrRemIni.SetText("500");
         f.nedVrRemFin.SetText("100");
       },
       Rem::kTshRemessa, "nedVrRemIni"},
      {"Forn_inf", [](Rem& f) { f.rbtListFornClick(); }, Rem::kTshBoletos, "rbtListForn"},
      {"BancBene_Inf", [](Rem& f) { f.rbtListBancBeneClick(); }, Rem::kTshBoletos, "rbtListBancBene"},
      {"NumeroIni_inf", [](Rem& f) { f.medDocFin.SetText("5"); }, Rem::kTshBoletos, "medDocIni"},
      {"NumeroIni_menor",
       [](Rem& f) {
         f.medDocIni.SetText("9");
         f.medDocFin.SetText("5");
       },
       Rem::kTshBoletos, "medDocIni"},
      {"NumeroFin_inf", [](Rem& f) { f.medDocIni.SetText("5"); }, Rem::kTshBoletos, "medDocFin"},
      {"DtVencIni_inf", [](Rem& f) { f.depVencFin.SetText("01/12/2026"); }, Rem::kTshBoletos, "depVencIni"},
      {"DtVencFin_inf", [](Rem& f) { f.depVencIni.SetText("01/12/2026"); }, Rem::kTshBoletos, "depVencFin"},
      {"DtVencIni_menor",
       [](Rem& f) {
         f.depVencIni.SetText("20/12/2026");
         f.depVencFin.SetText("01/12/2026");
       },
       Rem::kTshBoletos, "depVencIni"},
      {"FormPag_inf", [](Rem& f) { f.rbtFPagClick(); }, Rem::kTshBoletos, "rbtFPag"},
      {"VrLiqu_menor",
       [](Rem& f) {
         f.nedVrLiqIni.SetText("500");
         f.nedVrLiqFin.SetText("100");
       },
       Rem::kTshBoletos, "nedVrLiqIni"},
      {"Data_Invalida", [](Rem& f) { f.depVencIni.SetText("30/02/2026"); }, Rem::kTshBoletos, "depVencIni"},
  };
  ASSERT_EQ(ShowRemittance(nullptr), "");  // lists remittances 1 and 2
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    const Rem::TFILTRO kept = RemittanceDialog().FiltroRemessa;
    const int requests = transport->Count("GetCNABPag");
    RemittanceDialog().ActivePage = Rem::kTshRemessa;
    if (std::string(c.page) == Rem::kTshRemessa) RemittanceDialog().ActivePage = Rem::kTshBoletos;
    dialogs.Reset();
    EXPECT_EQ(ShowRemittance(c.set), c.key);
    EXPECT_EQ(RemittanceDialog().ActivePage, c.page);
    EXPECT_EQ(refused_focus, c.focus);
    EXPECT_TRUE(refused_visible);
    EXPECT_EQ(transport->Count("GetCNABPag"), requests);
    EXPECT_TRUE(RemittanceDialog().FiltroRemessa == kept);
    EXPECT_EQ(Remittances(), "1 2");
    ASSERT_EQ(dialogs.Errors().size(), 1u);
    if (std::string(c.key) != "Data_Invalida") {
      EXPECT_EQ(dialogs.Errors()[0], RemittanceDialog().Msg(c.key));
    }
  }
}

TEST_F(RemittanceFilterTest, MessageTableHoldsItsTexts) {
  const TMessages& m = FiltroRemessaMessages();
  EXPECT_EQ(m.Keys().size(), 26u);
  EXPECT_EQ(m.Msg("OPERADOR"), "Operador ");
  EXPECT_EQ(m.Msg("DtIni<DtFin"), "Data de remessa inicial deve ser menor ou igual à data de remessa final.");
  EXPECT_EQ(m.Msg("FPag"), "Tipo de Baixa");
}

TEST_F(RemittanceFilterTest, SilentRunListsWithoutShowing) {
  EXPECT_TRUE(Filters().CriaFiltroRemessaCNAB("ESCONDE_FILTRO"));
  EXPECT_EQ(view.shown, 0);
  EXPECT_EQ(Remittances(), "1 2");
  EXPECT_FALSE(RemittanceDialog().Visible);
  EXPECT_EQ(RemittanceDialog().ActivePage, Rem::kTshRemessa);
}

TEST_F(RemittanceFilterTest, LeavingTheFirstNumberFillsTheLast) {
  ASSERT_EQ(ShowRemittance([](Rem& f) {
              WholeMonth(f);
              f.medDocIni.SetText("555");
              f.medDocIniExit();
            }),
            "");
  const auto args = transport->Last("GetCNABPag");
  EXPECT_EQ(ArgText(args[15]), "0000555");
  EXPECT_EQ(ArgText(args[16]), "0000555");
  EXPECT_EQ(ArgText(args[17]), "");
  EXPECT_EQ(Remittances(), "3");
}

TEST_F(RemittanceFilterTest, ActivationShowsTheKeptCriteriaAndUndoResetsThem) {
  ASSERT_EQ(ShowRemittance([](Rem& f) {
              WholeMonth(f);
              f.medNrRemessa.SetText("3");
            }),
            "");
  EXPECT_EQ(RemittanceDialog().FiltroRemessa.DtRemIni, MakeDate(2026, 12, 1));

  std::string weekday, nr;
  view.remittances = [&](Rem& f) {
    weekday = f.edtNmDiaSemIni.Text;
    nr = f.medNrRemessa.Text();
    f.depDtFinVen.SetText("02/12/2026");
    f.sbtCancelClick();
  };
  EXPECT_FALSE(Filters().CriaFiltroRemessaCNAB("BOTAO_FILTRO"));
  EXPECT_EQ(weekday, "terça-feira");
  EXPECT_EQ(nr, "0000000003");
  EXPECT_EQ(RemittanceDialog().FiltroRemessa.DtRemFin, MakeDate(2026, 12, 31)) << "a cancel keeps the record";

  view.remittances = [&](Rem& f) {
    f.sbtLimpaClick();
    weekday = f.edtNmDiaSemIni.Text;
    nr = f.medNrRemessa.Text();
    f.sbtConfirmaClick();
  };
  EXPECT_TRUE(Filters().CriaFiltroRemessaCNAB("BOTAO_FILTRO"));
  EXPECT_EQ(weekday, "quinta-feira");
  EXPECT_EQ(nr, "");
  EXPECT_EQ(RemittanceDialog().FiltroRemessa.DtRemIni, MakeDate(2026, 12, 10));
  EXPECT_EQ(Remittances(), "1 2");
}

TEST_F(RemittanceFilterTest, LookupsShowTheirRowsOrStop) {
  Rem& f = RemittanceDialog();
  f.btpContCorrClick();
  EXPECT_EQ(dialogs.last_list.title, "Conta Corrente");
  ASSERT_EQ(dialogs.last_list.rows.size(), 3u);
  EXPECT_EQ(dialogs.last_list.rows[0], (Keys{"001", "341", "1234", "12345-7", "ITAU MOVIMENTO"}));

  struct Case {
    const char* query;
    void (Rem::*click)();
    const char* key;
  };
  const Case cases[] = {{"qryContCorr", &Rem::btpContCorrClick, "ContCorr_NCadas"},
                        {"qryOperador", &Rem::btpOperadorClick, "Operador_NCadas"},
                        {"qryFornecedor", &Rem::btnListFornClick, "NFornece"},
                        {"qryBancBene", &Rem::btnBancBenefClick, "NBancBene"},
                        {"qryFormaPag", &Rem::btnPesqFPagClick, "NFPag"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    emptying.empty = {c.query};
    dialogs.Reset();
    const int shown = dialogs.lists_shown;
    try {
      (f.*c.click)();
      ADD_FAILURE() << "an empty source opened";
    } catch (const Abort& a) {
      EXPECT_EQ(a.key(), c.key);
    }
    EXPECT_EQ(dialogs.lists_shown, shown);
    EXPECT_EQ(dialogs.Errors(), (Keys{f.Msg(c.key)}));
  }

  // The dates are checked before the account and operator lookups.
  emptying.empty.clear();
  f.depDtFinVen.SetText("31/13/2026");
  const int shown = dialogs.lists_shown;
  EXPECT_THROW(f.btpOperadorClick(), Abort);
  EXPECT_EQ(dialogs.lists_shown, shown);
  EXPECT_EQ(f.ActiveControl, "depDtFinVen");
}

TEST_F(RemittanceFilterTest, AllRadiosOfAccountsAndOperatorsEmptyTheirList) {
  Rem& f = RemittanceDialog();
  f.rbtListaCCorClick();
  EXPECT_TRUE(f.btpContCorr.Enabled);
  dialogs.picks.push_back(Keys{"001", "002"});
  f.btpContCorrClick();
  EXPECT_EQ(f.Unit().stListContCorr, "_001_002");
  f.rbtTodosCCorClick();
  EXPECT_EQ(f.Unit().stListContCorr, "");
  EXPECT_FALSE(f.btpContCorr.Enabled);

  f.rbtListFornClick();
  f.Unit().stListForn = "_F001";
  f.rbtTFornClick();
  EXPECT_EQ(f.Unit().stListForn, "_F001") << "the other radios only switch their button";
  EXPECT_FALSE(f.btnListForn.Enabled);
}

TEST_F(RemittanceFilterTest, ServerErrorLeavesTheListAsItWas) {
  ASSERT_EQ(ShowRemittance(nullptr), "");
  const Rem::TFILTRO kept = RemittanceDialog().FiltroRemessa;
  transport->fail = "GetCNABPag";
  EXPECT_THROW(Filters().CriaFiltroRemessaCNAB("ESCONDE_FILTRO"), ServerError);
  EXPECT_EQ(Remittances(), "1 2");
  EXPECT_TRUE(RemittanceDialog().FiltroRemessa == kept);
}

}  // namespace
}  // namespace pag::test
