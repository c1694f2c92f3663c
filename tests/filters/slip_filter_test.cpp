// The slip filter as a clerk uses it: each criterion reaches the server and
// changes which slips come back, each check refuses with its key and its
// focus, and the silent mode re-runs the kept criteria unseen.
#include <gtest/gtest.h>

#include "fixture.h"

namespace pag::test {
namespace {

using Slip = TfrmFiltroBoletoCNAB;
using Keys = std::vector<std::string>;

class SlipFilterTest : public FilterTest {};

// The store holds, for company 01 and account 001, with the processing date
// 10/12/2026 and a due window of 30/11 to 20/12: slips 01..04 and 11 offered
// by default; 05 sent (situation 10); 07 of account 002; 08 due in 2027;
// 09 in remittance 1; 10 of company 02.
TEST_F(SlipFilterTest, EachCriterionChangesTheSlipsFound) {
  LinkSlip("0001", "0000000011", "0000000002");  // slip 11 recorded in remittance 2 (block)
  struct Case {
    const char* name;
    const char* company;
    const char* account;
    const char* movement;
    std::function<void(Slip&)> set;
    const char* expect;
  };
  auto pick = [this](Keys keys) { dialogs.picks.push_back(std::move(keys)); };
  const Case cases[] = {
      {"defaults", "01", "001", "I", nullptr, "01 02 03 04 11"},
      {"other account", "01", "002", "I", nullptr, "07"},
      {"other company", "02", "009", "I", nullptr, "10"},
      {"suppliers", "01", "001", "I", [&](Slip& f) { pick({"F001"}); f.rbtListFornClick(); f.btnListFornClick(); },
       "01"},
      {"supplier group", "01", "001", "I",
       [&](Slip& f) { f.rbtListaGrFornClick(); pick({"MAT"}); f.btnGrFornClick(); }, "01 04"},
      {"payee bank of a transfer", "01", "001", "I",
       [&](Slip& f) { f.rbtListBancBeneClick(); pick({"001"}); f.btnBancBenefClick(); }, "03"},
      {"payee bank of a barcode", "01", "001", "I",
       [&](Slip& f) { f.rbtListBancBeneClick(); pick({"341", "237"}); f.btnBancBenefClick(); }, "01 04 11"},
      {"branch of origin", "01", "001", "I",
       [&](Slip& f) { f.rbtListaFiliOrClick(); pick({"0002"}); f.btnFiliOrigClick(); }, "03"},
      {"launch branch", "01", "001", "I",
       [&](Slip& f) { f.rbtListFiliLancClick(); pick({"0002"}); f.btnFiliLancClick(); }, "03 04"},
      {"document range", "01", "001", "I",
       [](Slip& f) {
         f.medDocIni.SetText("102");
         f.medDocIniExit();
         f.medDocFin.SetText("103");
         f.medDocFinExit();
       },
       "02 03"},
      {"one document number", "01", "001", "I", [](Slip& f) { f.medDocIni.SetText("101"); }, "01"},
      {"due dates", "01", "001", "I",
       [](Slip& f) {
         f.depDtIniVen.SetText("05/12/2026");
         f.depDtFinVen.SetText("10/12/2026");
       },
       "02 03"},
      {"no due dates", "01", "001", "I",
       [](Slip& f) {
         f.depDtIniVen.Clear();
         f.depDtFinVen.Clear();
       },
       "01 02 03 04 08 11"},
      {"payment forms", "01", "001", "I", [&](Slip& f) { f.rbtFPagClick(); pick({"02"}); f.btnPesqFPagClick(); },
       "02"},
      {"net values", "01", "001", "I",
       [](Slip& f) {
         f.nedVrLiqIni.SetText("150");
         f.nedVrLiqFin.SetText("350,00");
       },
       "02 03"},
      {"with barcode", "01", "001", "I", [](Slip& f) { f.rdgCdBarraPag.ItemIndex = 0; }, "01 02 04 11"},
      {"without barcode", "01", "001", "I", [](Slip& f) { f.rdgCdBarraPag.ItemIndex = 1; }, "03"},
      {"not scheduled", "01", "001", "I", [](Slip& f) { f.chbNaoEnviado.Checked = true; }, "01 02 03 11"},
      {"returned with error", "01", "001", "I", [](Slip& f) { f.chbEnv_RetoErro.Checked = true; }, "04"},
      {"block", "01", "001", "B", nullptr, "01 02 03 04 11"},
      {"exclusion", "01", "001", "E", [](Slip& f) { f.chbNaoEnviado.Checked = true; }, "05"},
      {"companies", "01", "001", "I", [](Slip& f) { f.rdgPessoa.ItemIndex = 1; }, "01 02 11"},
      {"individuals", "01", "001", "I", [](Slip& f) { f.rdgPessoa.ItemIndex = 2; }, "03"},
      {"others", "01", "001", "I", [](Slip& f) { f.rdgPessoa.ItemIndex = 3; }, "04"},
      {"remittance number", "01", "001", "I", [](Slip& f) { f.medNrRemessa.SetText("2"); }, "11"},
      {"return number", "01", "001", "I", [](Slip& f) { f.medNrRetorno.SetText("777"); }, "03"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reopen();
    dialogs.Reset();
    company = c.company;
    Inserting(c.account, c.movement);
    EXPECT_EQ(ShowSlip(c.set), "");
    EXPECT_EQ(Slips(), c.expect);
    EXPECT_TRUE(dialogs.picks.empty()) << "a lookup was not opened";
  }
}

TEST_F(SlipFilterTest, RequestFollowsTheArgumentTable) {
  Inserting();
  ASSERT_EQ(ShowSlip(nullptr), "");
  const std::vector<Arg> args = transport->Last("GetBoletos");
  ASSERT_EQ(args.size(), 31u);
  // V by value, R by reference (strings; dates and numbers travel by value).
  const std::string pass = "VRRRRVRRRRRRRRRRRRRRRRRRRRRRVVR";
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
      "01", "N", "T", " ", "T", "001", " ", "T", " ", " ", "T", " ", "T", "2026-11-30", "2026-12-20", " ",
      " ", "T", "0", "0", "T", " ", "T", "_00_01", " ", "T", "", "T", "0000000000", "0000000000", ""};
  for (std::size_t i = 0; i < expect.size(); ++i) EXPECT_EQ(ArgText(args[i]), expect[i]) << "argument " << i + 1;
}

TEST_F(SlipFilterTest, EdgesOfTheRequest) {
  struct Case {
    const char* name;
    const char* movement;
    std::function<void(Slip&)> set;
    std::vector<std::pair<int, std::string>> expect;  // 1-based argument, text
  };
  const Case cases[] = {
      {"only the first document number gives first = last", "I", [](Slip& f) { f.medDocIni.SetText("101"); },
       {{9, "00000000000000101"}, {10, "00000000000000101"}, {11, " "}}},
      {"a highest value of 0 lifts the value criterion", "I",
       [](Slip& f) {
         f.nedVrLiqIni.SetText("500");
         f.nedVrLiqFin.SetText("0");
       },
       {{19, "0"}, {20, "0"}, {21, "T"}}},
      {"both boxes for an inclusion", "I",
       [](Slip& f) { f.chbNaoEnviado.Checked = f.chbEnv_RetoErro.Checked = true; }, {{24, "_00_01"}}},
      {"only returned with error", "I", [](Slip& f) { f.chbEnv_RetoErro.Checked = true; }, {{24, " _01"}}},
      {"an exclusion ignores the boxes", "E", [](Slip& f) { f.chbEnv_RetoErro.Checked = true; }, {{24, "10_20"}}},
      {"person: others", "I", [](Slip& f) { f.rdgPessoa.ItemIndex = 3; }, {{27, "_O_I"}, {28, ""}}},
      {"person: individual", "I", [](Slip& f) { f.rdgPessoa.ItemIndex = 2; }, {{27, "F"}, {28, ""}}},
      {"barcode filled", "I", [](Slip& f) { f.rdgCdBarraPag.ItemIndex = 0; }, {{22, "0"}, {23, " "}}},
      {"remittance and return numbers are zero-filled", "I",
       [](Slip& f) {
         f.medNrRemessa.SetText("12");
         f.medNrRetorno.SetText("3");
       },
       {{29, "0000000012"}, {30, "0000000003"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reopen();
    Inserting("001", c.movement);
    ASSERT_EQ(ShowSlip(c.set), "");
    const auto args = transport->Last("GetBoletos");
    for (const auto& [pos, text] : c.expect) EXPECT_EQ(ArgText(args.at(pos - 1)), text) << "argument " << pos;
  }
}

TEST_F(SlipFilterTest, ChecksRefuseWithTheirKeyAndFocus) {
  struct Case {
    const char* key;
    bool silent_only;  // made only once a silent run set stModo
    std::function<void(Slip&)> set;
    const char* focus;
  };
  const Case cases[] = {
      {"GrForn_inf", false, [](Slip& f) { f.rbtListaGrFornClick(); }, "rbtListaGrForn"},
      {"Forn_inf", false, [](Slip& f) { f.rbtListFornClick(); }, "rbtListForn"},
      {"BancBenef_inf", false, [](Slip& f) { f.rbtListBancBeneClick(); }, "rbtListBancBene"},
      {"Data_Invalida", false, [](Slip& f) { f.depDtIniVen.SetText("31/02/2026"); }, "depDtIniVen"},
      {"Data_Invalida", false, [](Slip& f) { f.depDtFinVen.SetText("1x/12/2026"); }, "depDtFinVen"},
      {"FiliOrig_inf", true, [](Slip& f) { f.rbtListaFiliOrClick(); }, "rbtListaFiliOr"},
      {"FiliLanc_inf", true, [](Slip& f) { f.rbtListFiliLancClick(); }, "rbtListFiliLanc"},
      {"NumeroIni_inf", true, [](Slip& f) { f.medDocFin.SetText("105"); }, "medDocIni"},
      {"NumeroIni_menor", true,
       [](Slip& f) {
         f.medDocIni.SetText("109");
         f.medDocFin.SetText("0000105");
       },
       "medDocIni"},
      {"DtVencIni_inf", true, [](Slip& f) { f.depDtIniVen.Clear(); }, "depDtIniVen"},
      {"DtVencIni_menor", true,
       [](Slip& f) {
         f.depDtIniVen.SetText("20/12/2026");
         f.depDtFinVen.SetText("01/12/2026");
       },
       "depDtIniVen"},
      {"DtVencFin_inf", true, [](Slip& f) { f.depDtFinVen.Clear(); }, "depDtFinVen"},
      {"FormPag_inf", true, [](Slip& f) { f.rbtFPagClick(); }, "rbtFPag"},
      {"VrLiqu_menor", true,
       [](Slip& f) {
         f.nedVrLiqIni.SetText("500");
         f.nedVrLiqFin.SetText("100");
       },
       "nedVrLiqIni"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " / " + c.focus);
    Reopen();
    Inserting();
    if (c.silent_only) {
      // Before any silent run the same entry goes to the server.
      EXPECT_EQ(ShowSlip(c.set), "");
      Filters().Units().boleto.stModo = kModoEscondido;
    }
    const Slip::TFILTRO kept = SlipDialog().Filtro;
    const int requests = transport->Count("GetBoletos");
    dialogs.Reset();
    EXPECT_EQ(ShowSlip(c.set), c.key);
    EXPECT_EQ(refused_focus, c.focus);
    EXPECT_TRUE(refused_visible) << "a refusal leaves the dialog open";
    EXPECT_EQ(transport->Count("GetBoletos"), requests);
    EXPECT_TRUE(SlipDialog().Filtro == kept);
    ASSERT_EQ(dialogs.Errors().size(), 1u);
    if (std::string(c.key) != "Data_Invalida") {
      EXPECT_EQ(dialogs.Errors()[0], SlipDialog().Msg(c.key));
    }
  }
}

TEST_F(SlipFilterTest, MessageTableHoldsItsTexts) {
  const TMessages& m = FiltroBoletoMessages();
  EXPECT_EQ(m.Keys().size(), 21u);
  EXPECT_EQ(m.Msg("FPag"), "Tipo de Baixa");  // asked as "FPag", held as "Fpag"
  EXPECT_EQ(m.Msg("DtVencIni_menor"),
            "Data de vencimento inicial deve ser menor ou igual a data de vencimento final.");
  EXPECT_EQ(m.Msg("GrForn_Cad"), "Não há Grupo de Fornecedor cadastrado.");
}

TEST_F(SlipFilterTest, CreationTakesSettingsAndBranchLength) {
  store.db().Exec("UPDATE PARAMFILIAL SET NRTAMNUMNFUT = '9' WHERE CDFILIAL = '0001'");
  Slip& f = SlipDialog();
  EXPECT_EQ(f.DocLength(), 9);
  EXPECT_EQ(f.Filtro.DtVencIni, MakeDate(2026, 11, 30));
  EXPECT_EQ(f.Filtro.DtVencFin, MakeDate(2026, 12, 20));
  EXPECT_EQ(f.Filtro.Forneced, (TTodosLista{true, " "}));
  EXPECT_EQ(f.Filtro.CdBarraPag, 2);

  Reopen();
  session.filial = "0002";  // no parameter row: 7
  EXPECT_EQ(SlipDialog().DocLength(), 7);
}

TEST_F(SlipFilterTest, SilentRunConfirmsWithoutShowing) {
  Inserting();
  data.inQtBol = 3;
  data.nedQuant = 3;
  EXPECT_TRUE(Filters().CriaFiltroBoletoCNAB("ESCONDE_FILTRO"));
  EXPECT_EQ(view.shown, 0);
  EXPECT_EQ(Slips(), "01 02 03 04 11");
  EXPECT_EQ(Filters().Units().boleto.stModo, "ESCONDIDO");
  EXPECT_EQ(data.nedQuant, 0);
  EXPECT_EQ(data.inQtBol, 0);
  EXPECT_EQ(transport->Count("GetTotRemessa"), 0);

  // Browsing a remittance: its count and total come from the server, and
  // the marked-slip counter is left alone.
  Browsing();
  data.inQtBol = 3;
  EXPECT_TRUE(Filters().CriaFiltroBoletoCNAB("ESCONDE_FILTRO"));
  EXPECT_EQ(transport->Last("GetTotRemessa").size(), 1u);
  EXPECT_TRUE(data.cdsTotRemessa.Active());
  EXPECT_EQ(data.inQtBol, 3);
  EXPECT_EQ(view.shown, 0);
}

TEST_F(SlipFilterTest, UnitVariablesOutliveTheScreen) {
  // The package keeps the units' variables for the module's life: a new
  // screen builds new dialogs (Filtro back to its defaults) but stModo stays.
  auto units = std::make_shared<FilterUnits>();
  FilterHost host = Host();
  host.units = units;
  Inserting();
  {
    FilterDialogs first(host);
    first.CriaFiltroBoletoCNAB("ESCONDE_FILTRO");
    first.frmFiltroBoletoCNAB()->Filtro.CdBarraPag = 0;
  }
  FilterDialogs second(host);
  second.CriaFiltroBoletoCNAB("");
  EXPECT_EQ(second.frmFiltroBoletoCNAB()->Filtro.CdBarraPag, 2);
  EXPECT_EQ(units->boleto.stModo, "ESCONDIDO");
  second.Free();
  EXPECT_EQ(second.frmFiltroBoletoCNAB(), nullptr);
}

TEST_F(SlipFilterTest, SilentModeMakesOneDueDateARefusal) {
  Inserting();
  auto only_first = [](Slip& f) { f.depDtFinVen.Clear(); };
  EXPECT_EQ(ShowSlip(only_first), "");
  EXPECT_EQ(ArgText(transport->Last("GetBoletos").at(15)), "T");
  EXPECT_EQ(ArgText(transport->Last("GetBoletos").at(13)), "1899-12-30");
  EXPECT_EQ(Slips(), "01 02 03 04 08 11");
  // The silent run re-checks the kept criteria and now refuses them...
  dialogs.Reset();
  try {
    Filters().CriaFiltroBoletoCNAB("ESCONDE_FILTRO");
    ADD_FAILURE() << "no refusal";
  } catch (const Abort& a) {
    EXPECT_EQ(a.key(), "DtVencFin_inf");
  }
  EXPECT_EQ(dialogs.Errors(), std::vector<std::string>{SlipDialog().Msg("DtVencFin_inf")});
  EXPECT_EQ(view.shown, 1);
  // ...and so does the dialog shown from then on.
  EXPECT_EQ(ShowSlip(only_first), "DtVencFin_inf");
}

TEST_F(SlipFilterTest, CancelForgetsAndConfirmKeeps) {
  Inserting();
  const Slip::TFILTRO kept = SlipDialog().Filtro;
  view.slips = [](Slip& f) {
    f.medDocIni.SetText("0000102");
    f.rdgCdBarraPag.ItemIndex = 0;
    f.sbtCancelClick();
  };
  EXPECT_FALSE(Filters().CriaFiltroBoletoCNAB("BOTAO_FILTRO"));
  EXPECT_TRUE(SlipDialog().Filtro == kept);
  EXPECT_FALSE(SlipDialog().Visible);
  EXPECT_EQ(SlipDialog().ModalResult, kMrCancel);

  // Shown again, the controls hold the kept criteria, not the cancelled ones.
  std::string shown_doc;
  int shown_barra = -1;
  ASSERT_EQ(ShowSlip([&](Slip& f) {
              shown_doc = f.medDocIni.Text();
              shown_barra = f.rdgCdBarraPag.ItemIndex;
              f.rdgCdBarraPag.ItemIndex = 1;
            }),
            "");
  EXPECT_EQ(shown_doc, " ");
  EXPECT_EQ(shown_barra, 2);
  EXPECT_EQ(SlipDialog().Filtro.CdBarraPag, 1);
  EXPECT_EQ(SlipDialog().ModalResult, kMrOk);
  EXPECT_EQ(Slips(), "03");
  EXPECT_TRUE(data.cdsBolCnab.Active());
  EXPECT_TRUE(data.cdsBolCnab.IsEmpty());

  // No slip found: the payables shown for the old current slip go too.
  data.cdsCntPagar.CreateDataSet();
  data.cdsCntPagar.Append();
  data.cdsCntPagar.FieldByName("FILORIG").SetAsString("0001");
  data.cdsCntPagar.Post();
  ASSERT_EQ(ShowSlip([](Slip& f) { f.medNrRetorno.SetText("999"); }), "");
  EXPECT_EQ(Slips(), "");
  EXPECT_TRUE(data.cdsCntPagar.IsEmpty());
}

TEST_F(SlipFilterTest, ScreenRebuildsTheLastRequest) {
  Inserting();
  ASSERT_EQ(ShowSlip([this](Slip& f) {
              f.rbtListFornClick();
              dialogs.picks.push_back(Keys{"F001", "F002"});
              f.btnListFornClick();
              f.rbtListFiliLancClick();
              dialogs.picks.push_back(Keys{"0001"});
              f.btnFiliLancClick();
              f.medDocIni.SetText("101");
              f.medDocFin.SetText("104");
              f.nedVrLiqIni.SetText("50");
              f.nedVrLiqFin.SetText("1000");
              f.chbNaoEnviado.Checked = true;
              f.rdgPessoa.ItemIndex = 1;
              f.medNrRetorno.SetText("0");
            }),
            "");
  EXPECT_EQ(Slips(), "01 02");
  const auto sent = transport->Last("GetBoletos");
  const auto rebuilt = SlipDialog().BoletosCriteria();
  ASSERT_EQ(rebuilt.size(), sent.size());
  for (std::size_t i = 0; i < sent.size(); ++i) {
    EXPECT_EQ(ArgText(rebuilt[i]), ArgText(sent[i])) << "argument " << i + 1;
    EXPECT_EQ(rebuilt[i].by_ref(), sent[i].by_ref()) << "argument " << i + 1;
  }
  data.cdsBoletos.LoadPacket(net.CallPacket("GetBoletos", rebuilt));
  EXPECT_EQ(Slips(), "01 02");
}

TEST_F(SlipFilterTest, BranchOfOriginCountsOnlyOncePicked) {
  Inserting();
  Slip& f = SlipDialog();
  // A list present (as restored from saved options) but never picked.
  ASSERT_EQ(ShowSlip([](Slip& d) {
              d.rbtListaFiliOrClick();
              d.Unit().stFiliOrig = "_0002";
            }),
            "");
  EXPECT_EQ(Slips(), "03") << "the confirmation itself uses the list shown";
  EXPECT_EQ(f.Filtro.FiliOrig, (TTodosLista{true, " "}));
  EXPECT_EQ(ArgText(f.BoletosCriteria().at(4)), "T");

  dialogs.picks.push_back(Keys{"0002"});
  ASSERT_EQ(ShowSlip([](Slip& d) {
              d.rbtListaFiliOrClick();
              d.btnFiliOrigClick();
            }),
            "");
  EXPECT_TRUE(f.Unit().boFiliOrigPesq);
  EXPECT_EQ(f.Filtro.FiliOrig, (TTodosLista{false, "_0002"}));
  EXPECT_EQ(Slips(), "03");
}

TEST_F(SlipFilterTest, ExclusionDisablesTheSituationBoxes) {
  Inserting("001", "E");
  ASSERT_EQ(ShowSlip(nullptr), "");
  EXPECT_FALSE(SlipDialog().chbNaoEnviado.Enabled);
  EXPECT_FALSE(SlipDialog().chbEnv_RetoErro.Enabled);
  Inserting("001", "I");
  ASSERT_EQ(ShowSlip(nullptr), "");
  EXPECT_TRUE(SlipDialog().chbNaoEnviado.Enabled);
}

TEST_F(SlipFilterTest, UndoResetsTheControlsNotTheRecord) {
  Inserting();
  ASSERT_EQ(ShowSlip([](Slip& f) { f.rdgCdBarraPag.ItemIndex = 1; }), "");
  Slip& f = SlipDialog();
  const Slip::TFILTRO kept = f.Filtro;
  f.rbtListFornClick();
  f.Unit().stListForn = "_F001";
  f.Unit().stGrForn = "_MAT";
  f.medNrRemessa.SetText("5");
  f.nedVrLiqFin.SetText("10");
  f.chbEnv_RetoErro.Checked = true;
  f.rdgPessoa.ItemIndex = 2;
  f.depDtIniVen.SetText("01/01/2026");
  f.sbtLimpaClick();
  EXPECT_TRUE(f.rbtTForn.Checked);
  EXPECT_FALSE(f.btnListForn.Enabled);
  EXPECT_EQ(f.Unit().stListForn, " ");
  EXPECT_EQ(f.Unit().stGrForn, "");
  EXPECT_EQ(f.medDocIni.Text(), " ");
  EXPECT_EQ(f.depDtIniVen.GetDate(), MakeDate(2026, 11, 30));
  EXPECT_EQ(f.depDtFinVen.GetDate(), MakeDate(2026, 12, 20));
  EXPECT_TRUE(f.nedVrLiqFin.Value().IsZero());
  EXPECT_EQ(f.rdgCdBarraPag.ItemIndex, 2);
  EXPECT_FALSE(f.chbEnv_RetoErro.Checked);
  EXPECT_EQ(f.medNrRemessa.Text(), "");
  EXPECT_EQ(f.rdgPessoa.ItemIndex, 2);  // the person choice stays
  EXPECT_TRUE(f.Filtro == kept);
}

TEST_F(SlipFilterTest, LookupsOfferWhatTheChoicesAllow) {
  Slip& f = SlipDialog();
  // Suppliers of group MAT that are companies.
  f.rbtListaGrForn.Checked = true;
  f.rbtTodosGrForn.Checked = false;
  f.Unit().stGrForn = "_MAT";
  f.rdgPessoa.ItemIndex = 1;
  f.btnListFornClick();
  EXPECT_EQ(dialogs.last_list.title, "Fornecedor");
  ASSERT_EQ(dialogs.last_list.rows.size(), 1u);
  EXPECT_EQ(dialogs.last_list.rows[0][dialogs.last_list.key_column], "F001");
  EXPECT_EQ(dialogs.last_list.rows[0][3], "11.222.333/0001-81");
  EXPECT_EQ(f.Unit().stListForn, "") << "a cancelled lookup keeps the list";

  // Payment forms come from the server each time.
  dialogs.picks.push_back(Keys{"01", "05"});
  f.btnPesqFPagClick();
  EXPECT_EQ(dialogs.last_list.title, "Tipo de Baixa");
  EXPECT_EQ(dialogs.last_list.rows.size(), 3u);
  EXPECT_EQ(transport->Count("GetFormaPag"), 1);
  EXPECT_EQ(f.Unit().stListFPag, "_01_05");

  // No supplier group at all.
  emptying.empty.insert("qryGrForn");
  const int shown = dialogs.lists_shown;
  try {
    f.btnGrFornClick();
    ADD_FAILURE() << "no refusal";
  } catch (const Abort& a) {
    EXPECT_EQ(a.key(), "GrForn_Cad");
  }
  EXPECT_EQ(f.ActiveControl, "rbtTodosGrForn");
  EXPECT_EQ(dialogs.lists_shown, shown);
}

TEST_F(SlipFilterTest, KeyPressesAndLeavingFields) {
  Slip& f = SlipDialog();
  char key = '-';
  f.medNrRemessaKeyPress(key);
  EXPECT_EQ(key, 0);
  f.nedVrLiqIni.SetText("1234567890");
  key = '1';
  f.nedVrLiqIniKeyPress(key);
  EXPECT_EQ(key, 0) << "an eleventh integer digit";
  key = ',';
  f.nedVrLiqIniKeyPress(key);
  EXPECT_EQ(key, ',');

  f.medDocIni.SetText("12");
  f.medDocFin.SetText("");
  f.medDocIniExit();
  EXPECT_EQ(f.medDocIni.Text(), "0000012");
  EXPECT_EQ(f.medDocFin.Text(), "0000012");
  f.medNrRetorno.SetText("77");
  f.medNrRetornoExit();
  EXPECT_EQ(f.medNrRetorno.Text(), "0000000077");
  f.depDtIniVen.SetText("32/12/2026");
  EXPECT_THROW(f.depDtIniVenExit(), Abort);
}

TEST_F(SlipFilterTest, ServerErrorLeavesEverythingAsItWas) {
  Inserting();
  ASSERT_EQ(ShowSlip(nullptr), "");
  const Slip::TFILTRO kept = SlipDialog().Filtro;
  transport->fail = "GetBoletos";
  EXPECT_THROW(Filters().CriaFiltroBoletoCNAB("ESCONDE_FILTRO"), ServerError);
  EXPECT_TRUE(SlipDialog().Filtro == kept);
  EXPECT_EQ(Slips(), "01 02 03 04 11");
}

}  // namespace
}  // namespace pag::test
