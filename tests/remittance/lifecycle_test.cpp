// The life of a remittance on the screen: company, account, branch, file,
// the bank-dependent choices and taking slips out of a remittance sent.
#include <unistd.h>

#include "screen_fixture.h"

namespace pag::testing {
namespace {

using Lifecycle = ScreenTest;

TEST_F(Lifecycle, CodesArePaddedToTheirWidth) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  s.FocusControl(kCtlCompany);
  s.TypeCompany("1");
  s.FocusControl(kCtlGrid);
  EXPECT_EQ(s.medCdEmpresa.text, "01");
  EXPECT_EQ(s.edtNmEmpresa.text, "ACME COMERCIO");

  NewRemittance("1", "1");
  EXPECT_EQ(s.AccountText(), "001");
  EXPECT_EQ(s.BankText(), "341");
  EXPECT_EQ(s.d.cdsCNABPag.FieldByName("CDAGENCIA").DisplayText(), "1234");
  EXPECT_EQ(s.d.cdsCNABPag.FieldByName("CDCONTCORR").DisplayText(), "12345-7");
  EXPECT_EQ(s.BranchText(), "0001");
  EXPECT_EQ(s.d.cdsCNABPag.FieldByName("NMFILIAL").AsString(), "MATRIZ");
  EXPECT_TRUE(dlg.Errors().empty());
}

TEST_F(Lifecycle, CompanyChecksKeepTheFocusOnTheCompany) {
  struct Case {
    const char* company;
    const char* operatorCode;
    const char* key;
  } cases[] = {{"", "ANA", "EMPRESA_DEVE_SER"}, {"99", "ANA", "EMPRESA_NAO_CAD"}, {"2", "BRUNO", "Emp_Nr"}};
  Open();
  for (const Case& c : cases) {
    session.operador = c.operatorCode;
    screen->FocusControl(kCtlCompany);
    screen->TypeCompany(c.company);
    EXPECT_EQ(RefusalOf([&] { screen->FocusControl(kCtlGrid); }), c.key) << c.company;
    EXPECT_EQ(screen->ActiveControl(), kCtlCompany);
    EXPECT_EQ(dlg.Errors().back(), Msg(c.key));
  }
}

TEST_F(Lifecycle, NewRemittanceStartsFromTheSessionAndThePathBefore) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  ASSERT_TRUE(s.LocateRemittance("1"));
  s.sbtIncluirClick();
  const TDataSet& r = s.d.cdsCNABPag;
  EXPECT_EQ(r.State(), DataSetState::kInsert);
  EXPECT_EQ(r.FieldByName("CDEMPRESA").AsString(), "01");
  EXPECT_EQ(r.FieldByName("CDOPERADOR").AsString(), "ANA");
  EXPECT_EQ(r.FieldByName("NMOPERADOR").AsString(), "ANA LIMA");
  EXPECT_EQ(r.FieldByName("DTCNABPAG").AsString(), "2026-12-06T14:30:05");
  EXPECT_EQ(r.FieldByName("IDTIPCNABPAG").AsString(), "0");
  EXPECT_EQ(r.FieldByName("IDOPECNABPAG").AsString(), "I");
  EXPECT_EQ(r.FieldByName("VRTOTALCNABPAG").AsString(), "0.00");
  EXPECT_EQ(s.FileText(), "/tmp/remessa-0001.txt");
  EXPECT_EQ(s.edtDtCNABPag.text, "dom 06/12/2026 14:30");
  EXPECT_EQ(s.ActivePage(), Page::kDetail);
  EXPECT_EQ(s.ActiveControl(), kCtlMovement);
  EXPECT_FALSE(s.panFiltro.enabled);
  EXPECT_TRUE(s.dbeCdReduCont.enabled && s.dbeArquivo.enabled && s.dbeCdFilial.enabled && s.dbcTpMov.enabled);
  EXPECT_EQ(s.dbcTpMov.text, "Inclusão");

  s.sbtCancelarClick();
  EXPECT_EQ(r.State(), DataSetState::kBrowse);
  EXPECT_EQ(s.ActivePage(), Page::kList);
  EXPECT_TRUE(s.panFiltro.enabled);
  EXPECT_FALSE(s.dbeCdReduCont.enabled);
  EXPECT_TRUE(s.sbtFiltro.enabled);
}

TEST_F(Lifecycle, AccountChecks) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  s.sbtIncluirClick();
  s.FocusControl(kCtlAccount);
  s.TypeAccount("99");
  EXPECT_EQ(RefusalOf([&] { s.FocusControl(kCtlFile); }), "CONTA_NAO_CAD");
  EXPECT_EQ(s.ActiveControl(), kCtlAccount);
  EXPECT_EQ(s.ActivePage(), Page::kDetail);

  // Banrisul has no layout: refused by the account check, before any number.
  s.TypeAccount("4");
  EXPECT_EQ(RefusalOf([&] { s.FocusControl(kCtlFile); }), "Remessa_inv");
  s.TypeFile(Out("banrisul.txt"));
  EXPECT_EQ(RefusalOf([&] { s.sbtConfirmarClick(); }), "Remessa_inv");
  EXPECT_EQ(Counter("CNABPAG01"), 1);
  EXPECT_EQ(Counter("REMESSAPAG004"), 0);

  s.TypeAccount("");
  EXPECT_EQ(RefusalOf([&] { s.sbtConfirmarClick(); }), "CONTA_DEVE_SER");
}

TEST_F(Lifecycle, ChangingTheAccountWithMarksAsksFirst) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  NewRemittance("1");
  Toggle(101);
  ASSERT_EQ(s.d.klBoletos.Count(), 1);

  // No: the old account comes back and the marks stay.
  s.SelectPage(Page::kDetail);
  s.FocusControl(kCtlAccount);
  s.TypeAccount("2");
  dlg.answers = {kMrNo};
  s.FocusControl(kCtlFile);
  EXPECT_EQ(dlg.Questions().back(), Msg("Apaga_Boletos"));
  EXPECT_EQ(s.AccountText(), "001");
  EXPECT_EQ(s.d.klBoletos.Count(), 1);
  EXPECT_EQ(s.d.cdsBolCnab.RecordCount(), 1);

  // Yes: every mark goes, and the new account is loaded.
  s.FocusControl(kCtlAccount);
  s.TypeAccount("2");
  dlg.answers = {kMrYes};
  s.FocusControl(kCtlFile);
  EXPECT_EQ(s.AccountText(), "002");
  EXPECT_EQ(s.d.klBoletos.Count(), 0);
  EXPECT_EQ(s.d.klTpBaixa.Count(), 0);
  EXPECT_EQ(s.d.cdsBolCnab.RecordCount(), 0);
  EXPECT_EQ(s.d.nedQuant, 0);
  EXPECT_EQ(s.d.inQtBol, 0);
  EXPECT_FALSE(Marked(101));
  EXPECT_EQ(s.d.cdsContaCorrente.FieldByName("CDREDUCONT").AsString(), "002");
}

TEST_F(Lifecycle, BankDependentChoices) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  NewRemittance("1");  // Itaú: the payment date of the remittance
  EXPECT_TRUE(s.DtRemPag.visible);
  EXPECT_TRUE(s.lblDtPagRem.visible);
  EXPECT_FALSE(s.dbcTpRemessa.enabled);
  EXPECT_TRUE(s.dbcTpRemessa.items.empty());
  EXPECT_FALSE(s.dbcAgendamento.enabled);

  NewRemittance("5");  // Bradesco, classic layout, scheduling authorised by default
  EXPECT_FALSE(s.DtRemPag.visible);
  EXPECT_TRUE(s.dbcTpRemessa.enabled);
  EXPECT_EQ(s.dbcTpRemessa.items, (std::vector<std::string>{"Pagamento Simples", "WEB TA"}));
  EXPECT_EQ(s.dbcTpRemessa.text, "Pagamento Simples");
  EXPECT_EQ(s.d.cdsCNABPag.FieldByName("IDTPREMCNABPAG").AsString(), "1");
  EXPECT_TRUE(s.dbcAgendamento.enabled);
  EXPECT_EQ(s.dbcAgendamento.text, "Autoriza");
  EXPECT_TRUE(s.dbcTpRemessa.infoColour);

  NewRemittance("7");  // Banco do Brasil: nothing to choose
  EXPECT_FALSE(s.DtRemPag.visible);
  EXPECT_FALSE(s.dbcTpRemessa.enabled);
  EXPECT_EQ(s.dbcTpRemessa.itemIndex, -1);
  EXPECT_FALSE(s.dbcAgendamento.enabled);

  // Multipag (company 02): "Normal", and no scheduling.
  s.sbtCancelarClick();
  s.FocusControl(kCtlCompany);
  s.TypeCompany("02");
  s.FocusControl(kCtlGrid);
  NewRemittance("6");
  EXPECT_EQ(s.dbcTpRemessa.items, (std::vector<std::string>{"Normal", "Antecipação"}));
  EXPECT_EQ(s.dbcTpRemessa.text, "Normal");
  EXPECT_EQ(s.d.cdsCNABPag.FieldByName("IDTPREMCNABPAG").AsString(), "3");
  EXPECT_FALSE(s.dbcAgendamento.enabled);
  s.SelectKind(1);
  EXPECT_EQ(s.d.cdsCNABPag.FieldByName("IDTPREMCNABPAG").AsString(), "4");
}

TEST_F(Lifecycle, ClassicBradescoWithoutSchedulingStops) {
  store->db().Exec("UPDATE EMPRBANC SET IDPADRAGENCNABPAG = '' WHERE CDEMPRESA = '01' AND CDBANCO = '237'");
  Open();
  TfrmRemessaCNAB& s = *screen;
  NewRemittance("5");
  EXPECT_EQ(s.dbcAgendamento.itemIndex, -1);
  EXPECT_EQ(RefusalOf([&] { s.sbtConfirmarClick(); }), "INF_AGENDAMENTO");
  EXPECT_EQ(s.ActivePage(), Page::kDetail);
  EXPECT_EQ(s.ActiveControl(), kCtlSchedule);
  s.SelectSchedule(1);
  EXPECT_EQ(s.d.cdsCNABPag.FieldByName("IDAGENREMCNABPAG").AsString(), "2");
  EXPECT_EQ(RefusalOf([&] { s.sbtConfirmarClick(); }), "Bole_inf");
}

TEST_F(Lifecycle, FileChecks) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  std::filesystem::create_directory(dir / "sub");
  { std::ofstream(dir / "plain") << "x"; }
  const auto before = std::filesystem::current_path();
  struct Case {
    std::string path;
    const char* key;
  } cases[] = {
      {"", "ARQU_DEVE_SER"},
      {Out("sub"), "ARQU_DEVE_SER"},
      {Out("sub") + "/", "ARQU_DEVE_SER"},
      {Out("missing/rem.txt"), "DIR_INVALIDO"},
      {Out("plain/rem.txt"), "DIR_INVALIDO"},
      {Out("sub/rem.txt"), "(accepted)"},
  };
  NewRemittance("1");
  for (const Case& c : cases) {
    s.SelectPage(Page::kBoletos);
    s.FocusControl(kCtlFile);
    s.TypeFile(c.path);
    EXPECT_EQ(RefusalOf([&] { s.Vd_Arquivo(true); }), c.key) << c.path;
    if (std::string(c.key) != "(accepted)") {
      EXPECT_EQ(s.ActivePage(), Page::kDetail);
      EXPECT_EQ(s.ActiveControl(), kCtlFile);
    }
  }
  // Leaving the field accepts a blank path; the folder of the process never changes.
  s.TypeFile("");
  s.FocusControl(kCtlBranch);
  EXPECT_EQ(std::filesystem::current_path(), before);
}

TEST_F(Lifecycle, TakingSlipsOutOfASentRemittance) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  ASSERT_TRUE(s.LocateRemittance("0000000001"));
  s.SelectPage(Page::kBoletos);
  ASSERT_EQ(s.d.cdsBoletos.RecordCount(), 2);
  EXPECT_EQ(s.d.nedQuant, 2);
  EXPECT_EQ(s.d.nedTotal.ToString(), "150.00");
  EXPECT_FALSE(s.sbtCancelaRemessa.enabled);

  // A slip paid through a return cannot be picked.
  EXPECT_EQ(RefusalOf([&] { Toggle(191); }), "Confirma_CancelaBaixa");
  Toggle(190);
  EXPECT_TRUE(s.sbtCancelaRemessa.enabled && s.mnuCancelaRemessa.enabled);

  // Answered no: nothing leaves.
  dlg.answers = {kMrNo};
  s.sbtCancelaRemessaClick();
  EXPECT_EQ(SlipSituation(190), "10/0000000001");
  EXPECT_EQ(s.d.klBoletos.Count(), 0);

  // An operator without the permission: the server's key, shown as its text.
  session.operador = "BRUNO";
  Toggle(190);
  dlg.answers = {kMrYes};
  EXPECT_EQ(RefusalOf([&] { s.sbtCancelaRemessaClick(); }), "OPER_INV");
  EXPECT_EQ(dlg.Errors().back(), Msg("OPER_INV"));
  EXPECT_EQ(SlipSituation(190), "10/0000000001");

  // Allowed: the slip is back to "not sent", and the clerk is told.
  session.operador = "ANA";
  dlg.Reset();
  dlg.answers = {kMrYes};
  s.sbtCancelaRemessaClick();
  EXPECT_EQ(SlipSituation(190), "00/");
  ASSERT_FALSE(dlg.shown.empty());
  EXPECT_EQ(dlg.shown.back().text, Msg("Bol_Exclu"));
  EXPECT_EQ(s.d.cdsBoletos.RecordCount(), 1);
}

TEST_F(Lifecycle, NoSuccessMessageWhenNoSlipLeft) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  ASSERT_TRUE(s.LocateRemittance("1"));
  s.SelectPage(Page::kBoletos);
  Toggle(190);
  // Someone else took it out meanwhile.
  store->db().Exec("DELETE FROM CNABPAGBOL WHERE NRLANBOLPAG = '0000000190'");
  dlg.answers = {kMrYes};
  s.sbtCancelaRemessaClick();
  for (const auto& shown : dlg.shown) EXPECT_NE(shown.text, Msg("Bol_Exclu"));
}

TEST_F(Lifecycle, LookupsPickARowForTheFieldBesideThem) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  s.sbtIncluirClick();
  dlg.picks = {std::vector<std::string>{"002"}};
  s.btpCdReduClick();
  EXPECT_EQ(s.ActiveControl(), kCtlAccount);
  EXPECT_EQ(s.AccountText(), "002");
  s.FocusControl(kCtlFile);  // leaving the field loads the account picked
  EXPECT_EQ(s.d.cdsCNABPag.FieldByName("DSCONTCORR").AsString(), "ITAU MARCA TODOS");
  dlg.picks = {std::vector<std::string>{"0002"}};
  s.btnFilialClick();
  s.FocusControl(kCtlMovement);
  EXPECT_EQ(s.d.cdsCNABPag.FieldByName("NMFILIAL").AsString(), "FILIAL CAMPINAS");
  dlg.picks = {std::nullopt};  // cancelled: nothing changes
  s.btnFilialClick();
  EXPECT_EQ(s.BranchText(), "0002");
}

TEST_F(Lifecycle, ClosingFreesTheFiltersAndTheSelection) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  bool closed = false;
  s.onClose = [&] { closed = true; };
  NewRemittance("2");
  Toggle(201);
  EXPECT_TRUE(s.HasSlipFilter());
  EXPECT_TRUE(s.HasRemittanceFilter());
  s.FormClose();
  EXPECT_TRUE(closed);
  EXPECT_FALSE(s.HasSlipFilter());
  EXPECT_FALSE(s.HasRemittanceFilter());
  EXPECT_EQ(s.d.klBoletos.Count(), 0);
  EXPECT_EQ(s.d.cdsCNABPag.State(), DataSetState::kBrowse);
}

}  // namespace
}  // namespace pag::testing
