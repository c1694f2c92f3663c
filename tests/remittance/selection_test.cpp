// Marking slips: the check each mark goes through, mark-all, PIX never mixed
// with other payment modes, and the bookkeeping of the marked slips.
#include "screen_fixture.h"

namespace pag::testing {
namespace {

using Selection = ScreenTest;

TEST_F(Selection, EachCheckRefusesWithItsKey) {
  struct Case {
    const char* account;
    const char* branch;
    int entry;
    const char* key;
  } cases[] = {
      {"001", "", 101, "(accepted)"},         {"001", "", 102, "(accepted)"},
      {"001", "", 106, "TpBaixa_Deve"},       {"001", "", 105, "BOLTPCOMP"},
      {"008", "", 801, "Conc_Banco_Inv"},     {"008", "", 802, "Tributo_Banc_Inv"},
      {"001", "", 103, "Bol_CodBarra_Inv"},   {"001", "", 104, "Conc_CodBarra_Inv"},
      {"001", "", 107, "ValorInv"},           {"001", "", 117, "ValorInv"},
      {"001", "", 108, "TpBaixa_Inv_Boleto"}, {"001", "", 109, "(accepted)"},
      {"001", "", 110, "TpBaixa_Inv_Boleto"}, {"001", "", 111, "TpBaixa_Inv_Boleto"},
      {"001", "", 112, "CODI_BAR_NAO_INF"},   {"001", "", 119, "TpBaixa_Inv_Boleto"},
      {"001", "", 113, "Ende_Empty"},         {"001", "", 114, "CCFORN_INF"},
      {"001", "0001", 116, "FILI_DIF"},       {"001", "", 116, "(accepted)"},
      {"001", "", 115, "BOL_RECEITA"},        {"007", "", 701, "PIX_Inv"},
  };
  Open();
  std::string current;
  for (const Case& c : cases) {
    const std::string where = std::string(c.account) + "/" + c.branch;
    if (where != current) NewRemittance(c.account, c.branch);
    current = where;
    const std::string got = RefusalOf([&] { Toggle(c.entry); });
    EXPECT_EQ(got, c.key) << "slip " << c.entry;
    const bool accepted = std::string(c.key) == "(accepted)";
    EXPECT_EQ(Marked(c.entry), accepted) << "slip " << c.entry;
    if (!accepted) {
      EXPECT_EQ(dlg.Errors().back(), Msg(c.key));
    }
    if (accepted) Toggle(c.entry);  // unmark again
    EXPECT_FALSE(Marked(c.entry));
  }
}

TEST_F(Selection, TransferFit) {
  const Decimal limit0;
  struct Case {
    const char *paying, *payee, *mode, *value;
    bool refused;
  } cases[] = {
      {"341", "001", "D", "5000.00", true},  {"341", "001", "D", "4999.99", false}, {"341", "341", "D", "1.00", true},
      {"341", "001", "C", "1.00", true},     {"341", "341", "C", "1.00", false},    {"341", "341", "T", "1.00", true},
      {"341", "001", "T", "1.00", false},    {"341", "001", "O", "1.00", true},     {"341", "", "C", "1.00", false},
      {"", "001", "D", "9999.00", false},    {"341", "001", "", "1.00", false},     {"341", "341", "S", "1.00", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TfrmRemessaCNAB::Valida_Boleto_CNAB(c.paying, c.payee, c.mode, limit0, Decimal::Parse(c.value)),
              c.refused)
        << c.paying << "/" << c.payee << " " << c.mode << " " << c.value;
  EXPECT_FALSE(TfrmRemessaCNAB::Valida_Boleto_CNAB("341", "001", "D", Decimal::Parse("10000"), Decimal::Parse("9000")));
}

TEST_F(Selection, MarkingKeepsListsCountTotalAndWorkCopy) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  NewRemittance("2");
  Toggle(201);
  Toggle(204);
  RemessaData& d = s.d;
  EXPECT_EQ(d.klBoletos.Count(), 2);
  EXPECT_EQ(d.klBoletos.ValueOf(RemessaData::SlipKey("0001", E(204))).ToString(), "40.00");
  EXPECT_EQ(d.klTpBaixa.ValueOf("B").ToString(), "2");
  EXPECT_EQ(d.nedQuant, 2);
  EXPECT_EQ(d.inQtBol, 2);
  EXPECT_EQ(d.nedTotal.ToString(), "140.00");
  ASSERT_EQ(d.cdsBolCnab.RecordCount(), 2);
  // The work copy orders bank slips of the paying bank before the others'.
  d.cdsBolCnab.First();
  EXPECT_EQ(d.cdsBolCnab.FieldByName("NRLANBOLPAG").AsString(), E(201));
  EXPECT_EQ(d.cdsBolCnab.FieldByName("ORDPROCESS").AsString(), "2");
  EXPECT_EQ(d.cdsBolCnab.FieldByName("CDBANCOCRED").AsString(), "341");
  d.cdsBolCnab.Next();
  EXPECT_EQ(d.cdsBolCnab.FieldByName("ORDPROCESS").AsString(), "3");
  EXPECT_EQ(d.cdsBolCnab.FieldByName("CDBANCOCRED").AsString(), "237");

  // Unmarking the last slip of a mode takes the mode out.
  Toggle(201);
  Toggle(204);
  EXPECT_EQ(d.klTpBaixa.IndexOf("B"), -1);
  EXPECT_EQ(d.nedTotal.ToString(), "0.00");
  EXPECT_EQ(d.cdsBolCnab.RecordCount(), 0);
}

TEST_F(Selection, MarkAllSkipsCompensationSentSlipsFailedChecksAndPix) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  NewRemittance("2");  // a bank slip first, then PIX slips, then more bank slips
  dlg.answers = {kMrYes};
  s.dbgBoletosTitleClick(kMarkColumn);
  EXPECT_EQ(dlg.Questions().back(), Msg("MARCA_BOL"));
  EXPECT_TRUE(dlg.Errors().empty());
  for (int entry : {201, 204, 209}) EXPECT_TRUE(Marked(entry)) << entry;
  for (int entry : {202, 203, 205, 206, 207, 208}) EXPECT_FALSE(Marked(entry)) << entry;
  EXPECT_EQ(s.d.nedQuant, 3);
  EXPECT_EQ(s.d.nedTotal.ToString(), "230.00");
  EXPECT_EQ(s.d.klTpBaixa.Count(), 1);
  EXPECT_EQ(s.d.cdsBolCnab.RecordCount(), 3);
  EXPECT_FALSE(s.d.boPixMarcado);
  EXPECT_TRUE(s.d.boOutroMarcado);

  // Ctrl+Space: the same, now unmarking all.
  dlg.answers = {kMrYes};
  EXPECT_TRUE(s.dbgBoletosKeyDown(GridKey::kSpace, true));
  EXPECT_EQ(dlg.Questions().back(), Msg("DESMARCA_BOL"));
  EXPECT_EQ(s.d.klBoletos.Count(), 0);
  EXPECT_EQ(s.d.cdsBolCnab.RecordCount(), 0);
  EXPECT_FALSE(Marked(201));
  // Ctrl+Delete deletes nothing.
  const int rows = s.d.cdsBoletos.RecordCount();
  EXPECT_TRUE(s.dbgBoletosKeyDown(GridKey::kDelete, true));
  EXPECT_EQ(s.d.cdsBoletos.RecordCount(), rows);
}

TEST_F(Selection, MarkAllStartingWithPixMarksOnlyPix) {
  Open();
  NewRemittance("3");
  dlg.answers = {kMrYes};
  screen->dbgBoletosTitleClick(kMarkColumn);
  EXPECT_TRUE(Marked(301));
  EXPECT_TRUE(Marked(303));
  EXPECT_FALSE(Marked(302));
  EXPECT_FALSE(Marked(304));
}

TEST_F(Selection, PixIsNeverMixedWithOtherModes) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  NewRemittance("3");
  Toggle(301);  // PIX
  EXPECT_EQ(RefusalOf([&] { Toggle(302); }), "Apenas_Pix");
  EXPECT_FALSE(Marked(302));
  Toggle(303);  // another PIX still goes
  EXPECT_TRUE(Marked(303));
  EXPECT_TRUE(s.d.boPixMarcado);
  EXPECT_FALSE(s.d.boOutroMarcado);

  // One PIX unmarked, one still marked: a bank slip is still refused.
  Toggle(301);
  EXPECT_EQ(RefusalOf([&] { Toggle(302); }), "Apenas_Pix");
  Toggle(303);
  EXPECT_FALSE(s.d.boPixMarcado);
  Toggle(302);  // nothing marked any more: a bank slip goes
  EXPECT_TRUE(Marked(302));
  EXPECT_EQ(RefusalOf([&] { Toggle(303); }), "Apenas_Pix");
  EXPECT_TRUE(s.d.boOutroMarcado);
}

TEST_F(Selection, SentSlipsAskBeforeTheyAreMarkedAgain) {
  Open();
  NewRemittance("2");
  dlg.answers = {kMrAlertFirst + 1};  // "Não"
  Toggle(206);
  EXPECT_EQ(dlg.Questions().back(), Msg("bol_ja_env"));
  EXPECT_FALSE(Marked(206));
  dlg.answers = {kMrAlertFirst};  // "Sim"
  Toggle(206);
  EXPECT_TRUE(Marked(206));

  // A PIX slip is refused next to it, before any question.
  Toggle(206);
  Toggle(202);
  const auto asked = dlg.Questions().size();
  EXPECT_EQ(RefusalOf([&] { Toggle(206); }), "Apenas_Pix");
  EXPECT_EQ(dlg.Questions().size(), asked);
}

TEST_F(Selection, ANewFilterDropsTheWholeSelection) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  NewRemittance("2");
  Toggle(201);
  dlg.answers = {kMrCancel};
  s.sbtFiltroClick();  // "Bol_mar" declined: the marks stay
  EXPECT_EQ(dlg.Questions().back(), Msg("Bol_mar"));
  EXPECT_TRUE(Marked(201));
  dlg.answers = {kMrOk};
  s.sbtFiltroClick();
  EXPECT_FALSE(Marked(201));
  EXPECT_EQ(s.d.klBoletos.Count(), 0);
  EXPECT_EQ(s.d.cdsBolCnab.RecordCount(), 0);
  EXPECT_EQ(s.d.nedQuant, 0);

  // A change of the movement type drops the marks too, when the slips page comes back.
  Toggle(201);
  s.SelectPage(Page::kDetail);
  s.FocusControl(kCtlMovement);
  s.SelectMovement(2);
  s.SelectPage(Page::kBoletos);
  EXPECT_FALSE(Marked(201));
  EXPECT_EQ(s.d.klBoletos.Count(), 0);
  EXPECT_EQ(s.d.cdsBolCnab.RecordCount(), 0);
  // ...and the marks made for the new movement stay.
  Toggle(201);
  s.SelectPage(Page::kDetail);
  s.SelectPage(Page::kBoletos);
  EXPECT_TRUE(Marked(201));
}

}  // namespace
}  // namespace pag::testing
