// Confirming a remittance: the order of the checks, the numbers, the file,
// the saved remittance and its slips; and what a failure anywhere in the
// frame leaves behind (nothing).
#include <stdexcept>

#include "remittance/screen_util.h"
#include "screen_fixture.h"

namespace pag::testing {
namespace {

class Confirmation : public ScreenTest {
 protected:
  // Account 011 (Itaú) with its three slips marked.
  void ThreeSlipsMarked(const std::string& branch = "", const std::string& file = "") {
    screen->SetWriterOverride("Remessa_BcoItau", TestWriter);
    NewRemittance("11", branch, file);
    dlg.answers = {kMrYes};
    screen->dbgBoletosTitleClick(kMarkColumn);
    ASSERT_EQ(screen->d.klBoletos.Count(), 3);
  }

  // Nothing of the confirmation reached the store or the folder.
  void ExpectNothingKept(const std::string& file, const std::string& earlier = "") {
    EXPECT_EQ(Count("SELECT COUNT(*) FROM CNABPAG"), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM CNABPAGBOL WHERE NRCNABPAG <> '0000000001'"), 0);
    for (int entry : {1101, 1102}) EXPECT_EQ(SlipSituation(entry), "00/") << entry;
    EXPECT_EQ(SlipSituation(1103, "0002"), "00/");
    EXPECT_EQ(Counter("CNABPAG01"), 1);
    EXPECT_EQ(Counter("REMESSAPAG011"), 5);
    if (earlier.empty()) {
      EXPECT_FALSE(std::filesystem::exists(file));
    } else {
      EXPECT_EQ(ReadFile(file), earlier);
    }
    EXPECT_EQ(FilesIn(), earlier.empty() ? 0 : 1) << "a temporary file was left behind";
  }

  // The screen as before the confirmation: the remittance still being
  // inserted, without numbers, its slips still marked.
  void ExpectStillInserting() {
    const TfrmRemessaCNAB& s = *screen;
    EXPECT_EQ(s.d.cdsCNABPag.State(), DataSetState::kInsert);
    EXPECT_EQ(s.d.cdsCNABPag.FieldByName("NRCNABPAG").AsString(), "");
    EXPECT_EQ(s.d.cdsCNABPag.FieldByName("NRSEQREMESSAPAG").AsString(), "");
    EXPECT_EQ(s.AccountText(), "011");
    EXPECT_EQ(s.d.klBoletos.Count(), 3);
    EXPECT_EQ(s.d.cdsBolCnab.RecordCount(), 3);
    EXPECT_FALSE(s.panStatus.visible);
    EXPECT_EQ(s.d.cdsBoletos.IndexName(), "idxOrdena");
    EXPECT_FALSE(s.LastConfirmation().has_value());
  }
};

TEST_F(Confirmation, ANewRemittanceIsNumberedWrittenSavedAndSent) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  ThreeSlipsMarked();
  s.SelectPage(Page::kDetail);
  s.SetPayDate(MakeDate(2026, 12, 10));
  s.sbtConfirmarClick();

  const std::string file = Out("rem.txt");
  EXPECT_EQ(ReadFile(file),
            "H|0000000002|0000000006|341\r\n"  // the writer reads by payment mode, then barcode
            "D|0001|0000001102|200.00\r\n"
            "D|0001|0000001101|100.00\r\n"
            "D|0002|0000001103|300.50\r\n"
            "T|3\r\n");
  EXPECT_EQ(FilesIn(), 1);
  ASSERT_TRUE(s.LastConfirmation().has_value());
  const ConfirmationReport& r = *s.LastConfirmation();
  EXPECT_EQ(r.number, "0000000002");
  EXPECT_EQ(r.sequence, "0000000006");
  EXPECT_EQ(r.slips, 3);
  EXPECT_EQ(r.total.ToString(), "600.50");
  EXPECT_EQ(r.writer, "Remessa_BcoItau");
  EXPECT_TRUE(r.newRemittance);

  sql::Stmt st(store->db(),
               "SELECT VRTOTALCNABPAG, QTBOLCNABPAG, NRSEQREMESSAPAG, DTPAGREM, DSARQCNABPAG, CDFILIAL FROM CNABPAG "
               "WHERE CDEMPRESA = '01' AND NRCNABPAG = '0000000002'");
  ASSERT_TRUE(st.Step());
  EXPECT_EQ(st.Int(0), 60050);
  EXPECT_EQ(st.Int(1), 3);
  EXPECT_EQ(st.Text(2), "0000000006");
  EXPECT_EQ(st.Text(3).substr(0, 10), "2026-12-10");
  EXPECT_EQ(st.Text(4), file);
  EXPECT_EQ(st.Text(5), "");
  for (int entry : {1101, 1102}) EXPECT_EQ(SlipSituation(entry), "10/0000000002");
  EXPECT_EQ(SlipSituation(1103, "0002"), "10/0000000002");

  // The screen: browsing the new remittance, the selection over.
  EXPECT_EQ(s.d.cdsCNABPag.State(), DataSetState::kBrowse);
  EXPECT_EQ(s.d.cdsCNABPag.FieldByName("NRCNABPAG").AsString(), "0000000002");
  EXPECT_EQ(s.d.cdsCNABPag.ChangeCount(), 0);
  EXPECT_EQ(s.d.klBoletos.Count(), 0);
  EXPECT_EQ(s.d.cdsBolCnab.RecordCount(), 0);
  EXPECT_FALSE(s.panStatus.visible);
  EXPECT_EQ(dlg.last_position, 100);
  EXPECT_EQ(dlg.last_progress_text, Msg("EXP"));
  bool told = false;
  for (const auto& shown : dlg.shown) told = told || shown.text == Msg("Expor_susc");
  EXPECT_TRUE(told);
}

TEST_F(Confirmation, AnEditedRemittanceKeepsItsNumberAndDrawsANewSequence) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  s.SetWriterOverride("Remessa_BcoItau", TestWriter);
  NewRemittance("11");
  Toggle(1101);
  s.sbtConfirmarClick();
  ASSERT_EQ(s.LastConfirmation()->number, "0000000002");

  s.sbtAlterarClick();
  EXPECT_EQ(s.d.cdsCNABPag.State(), DataSetState::kEdit);
  EXPECT_FALSE(s.dbeArquivo.enabled);
  s.SelectPage(Page::kBoletos);
  EXPECT_FALSE(s.LocateSlip("0001", E(1101)));  // already in a remittance
  Toggle(1102);
  dlg.answers = {kMrYes};  // the file is there: replace it
  s.sbtConfirmarClick();
  EXPECT_EQ(dlg.Questions().back(), Msg("ARQU_EXISTE"));
  ASSERT_TRUE(s.LastConfirmation().has_value());
  EXPECT_EQ(s.LastConfirmation()->number, "0000000002");
  EXPECT_EQ(s.LastConfirmation()->sequence, "0000000007");
  EXPECT_FALSE(s.LastConfirmation()->newRemittance);
  EXPECT_EQ(ReadFile(Out("rem.txt")), "H|0000000002|0000000007|341\r\nD|0001|0000001102|200.00\r\nT|1\r\n");
  EXPECT_EQ(SlipSituation(1102), "10/0000000002");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM CNABPAG"), 2);
  EXPECT_EQ(Counter("CNABPAG01"), 2);
}

// What the slips page shows: each slip with its situation and mark, in grid
// order, the current slip, its payables, and the count and total below.
std::string SlipsPage(const TfrmRemessaCNAB& s) {
  const TDataSet& b = s.d.cdsBoletos;
  std::string page;
  for (int r = 1; b.Active() && r <= b.RecordCount(); ++r)
    page += TextAt(b, r, "CDFILIBPAG") + "/" + TextAt(b, r, "NRLANBOLPAG") + ":" + TextAt(b, r, "IDSITUCNABP") +
            TextAt(b, r, "IDMARCADO") + " ";
  page += "| current " + std::to_string(b.Active() ? b.RecNo() : 0);
  for (int r = 1; s.d.cdsCntPagar.Active() && r <= s.d.cdsCntPagar.RecordCount(); ++r)
    page += " " + TextAt(s.d.cdsCntPagar, r, "DOCUMENTO");
  page += " | " + std::to_string(s.d.nedQuant) + " " + s.d.nedTotal.ToString() + " of " + s.d.stRemessaAnt;
  return page;
}

// After a confirmation the slips are brought once; the page must show what
// browsing the remittance shows when its slips are loaded afresh, also when
// a slip of the remittance no longer belongs to its account (browsing
// leaves it out, while the remittance's slip list has it).
TEST_F(Confirmation, AfterAConfirmationThePageShowsTheRemittanceAsBrowsingShowsIt) {
  for (const bool moved : {false, true}) {
    SCOPED_TRACE(moved ? "a slip moved to another account" : "as sent");
    TearDown();
    SetUp();
    Open();
    TfrmRemessaCNAB& s = *screen;
    s.SetWriterOverride("Remessa_BcoItau", TestWriter);
    NewRemittance("11");
    Toggle(1101);
    s.sbtConfirmarClick();
    if (moved) {
      store->db().Exec("UPDATE BOLETOPAG SET CDREDUCONT = '001' WHERE NRLANBOLPAG = '0000001101'");
      s.sbtAlterarClick();
      s.SelectPage(Page::kBoletos);
      Toggle(1102);
      dlg.answers = {kMrYes};  // replace the file
      s.sbtConfirmarClick();
    }
    ASSERT_TRUE(s.LastConfirmation().has_value());
    ASSERT_EQ(s.ActivePage(), Page::kBoletos);
    const std::string shown = SlipsPage(s);
    EXPECT_EQ(shown.find("0000001101") == std::string::npos, moved) << shown;
    s.d.stRemessaAnt.clear();
    s.MostraBoletos();
    EXPECT_EQ(shown, SlipsPage(s));
  }
}

// Marking all slips reads the payables of the slip the loop ends on, not
// of every slip passed over; a failed confirmation leaves those of the
// current slip.
TEST_F(Confirmation, PayablesFollowTheCurrentSlipAfterBulkWork) {
  FailingTransport& t = OpenFailing();
  t.failMethod = "GetCntPagar";
  t.failOn = 1 << 30;  // counts, never fails
  TfrmRemessaCNAB& s = *screen;
  s.SetWriterOverride("Remessa_BcoItau", TestWriter);
  NewRemittance("11");
  const int before = t.calls;
  dlg.answers = {kMrYes};
  s.dbgBoletosTitleClick(kMarkColumn);
  ASSERT_EQ(s.d.klBoletos.Count(), 3);
  EXPECT_LE(t.calls - before, 1);
  const std::string current = Text(s.d.cdsBoletos, "NRLANBOLPAG");
  ASSERT_EQ(s.d.cdsCntPagar.RecordCount(), 1);
  EXPECT_EQ(Text(s.d.cdsCntPagar, "DOCUMENTO"), "DOC" + current.substr(6));

  s.SetWriterOverride("Remessa_BcoItau", [](WriterContext& ctx) {
    TDataSet& b = ctx.d.cdsBoletos;
    for (b.First(); !b.Eof(); b.Next()) {
    }
    throw std::runtime_error("the writer stopped at the end");
  });
  ASSERT_TRUE(s.LocateSlip("0001", E(1102)));
  EXPECT_THROW(s.sbtConfirmarClick(), std::runtime_error);
  EXPECT_EQ(Text(s.d.cdsBoletos, "NRLANBOLPAG"), E(1102));
  ASSERT_EQ(s.d.cdsCntPagar.RecordCount(), 1);
  EXPECT_EQ(Text(s.d.cdsCntPagar, "DOCUMENTO"), "DOC1102");
}

// When the remittance's slips cannot be brought after the commit, the grid
// keeps its rows, none of them marked any more.
TEST_F(Confirmation, WithoutTheRemittancesSlipsTheGridKeepsItsRowsUnmarked) {
  FailingTransport& t = OpenFailing();
  t.failMethod = "GetBolporRem";
  ThreeSlipsMarked();
  screen->SelectPage(Page::kDetail);  // no page handling brings the slips again
  screen->sbtConfirmarClick();
  ASSERT_TRUE(screen->LastConfirmation().has_value());
  bool told = false;
  for (const auto& shown : dlg.shown) told = told || shown.text.find("simulated failure of GetBolporRem") != std::string::npos;
  EXPECT_TRUE(told);
  const TDataSet& b = screen->d.cdsBoletos;
  ASSERT_GE(b.RecordCount(), 3);
  for (int r = 1; r <= b.RecordCount(); ++r) EXPECT_EQ(TextAt(b, r, "IDMARCADO"), "N") << r;
  EXPECT_EQ(screen->d.klBoletos.Count(), 0);
}

TEST_F(Confirmation, ChecksComeInTheirOrder) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  s.SetWriterOverride("Remessa_BcoItau", TestWriter);
  const std::string file = Out("rem.txt");

  // No slip marked: the slips page comes forward.
  NewRemittance("11");
  s.SelectPage(Page::kDetail);
  EXPECT_EQ(RefusalOf([&] { s.sbtConfirmarClick(); }), "Bole_inf");
  EXPECT_EQ(s.ActivePage(), Page::kBoletos);

  // A slip whose invoice went meanwhile to a branch of another CNPJ root.
  NewRemittance("11", "0001");
  Toggle(1101);
  Toggle(1102);
  store->db().Exec("INSERT INTO FILIRECE (CDFILIAL, NRLANCTONF, CDFILIRECE) VALUES ('0001', '0000001102', '0003')");
  s.FocusControl(kCtlGrid);
  ASSERT_TRUE(s.LocateSlip("0001", E(1101)));
  EXPECT_EQ(RefusalOf([&] { s.sbtConfirmarClick(); }), "FILI_DIF");
  EXPECT_EQ(s.d.cdsBoletos.FieldByName("NRLANBOLPAG").AsString(), E(1102));
  EXPECT_FALSE(s.d.cdsFilial.Filtered());
  store->db().Exec("DELETE FROM FILIRECE WHERE CDFILIRECE = '0003' AND NRLANCTONF = '0000001102'");

  // The file is there already and the clerk does not want it replaced.
  { std::ofstream(file, std::ios::binary) << "OLD\r\n"; }
  dlg.answers = {kMrNo};
  EXPECT_EQ(RefusalOf([&] { s.sbtConfirmarClick(); }), "(silent)");
  EXPECT_EQ(dlg.Questions().back(), Msg("ARQU_EXISTE"));
  ExpectNothingKept(file, "OLD\r\n");
  std::filesystem::remove(file);

  // A marked slip went into another remittance meanwhile.
  store->db().Exec("UPDATE BOLETOPAG SET NRCNABPAGREM = '0000000001' WHERE NRLANBOLPAG = '0000001101'");
  EXPECT_EQ(RefusalOf([&] { s.sbtConfirmarClick(); }), "Bol_Vinc_Rem");
  store->db().Exec("UPDATE BOLETOPAG SET NRCNABPAGREM = '' WHERE NRLANBOLPAG = '0000001101'");
  EXPECT_EQ(Counter("CNABPAG01"), 1);
  EXPECT_EQ(Counter("REMESSAPAG011"), 5);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(s.d.cdsCNABPag.State(), DataSetState::kInsert);
}

TEST_F(Confirmation, ARowWithoutWriterIsRefusedAndKeepsNothing) {
  static constexpr DispatchRow kNoWriter[] = {
      {{"341", ""}, DispatchCondition::kAny, DispatchPrepare::kNone, "Remessa_BcoItau", nullptr, true, true}};
  Open();
  ThreeSlipsMarked();
  screen->SetWriterOverride("Remessa_BcoItau", nullptr);
  screen->SetDispatchTable(kNoWriter);
  EXPECT_EQ(RefusalOf([&] { screen->sbtConfirmarClick(); }), "Remessa_inv");
  ExpectNothingKept(Out("rem.txt"));
  ExpectStillInserting();
  EXPECT_EQ(screen->ActivePage(), Page::kDetail);
}

TEST_F(Confirmation, AWriterFailingMidwayLeavesNothingAndTheNextTryGetsTheSameNumbers) {
  Open();
  TfrmRemessaCNAB& s = *screen;
  ThreeSlipsMarked();
  const std::string file = Out("rem.txt");
  { std::ofstream(file, std::ios::binary) << "OLD\r\n"; }
  s.SetWriterOverride("Remessa_BcoItau", [](WriterContext& ctx) {
    ctx.out.write("H|partial");
    ctx.SlipWritten(ctx.d.cdsBoletos);
    throw std::runtime_error("the writer stopped midway");
  });
  dlg.answers = {kMrYes};
  EXPECT_THROW(s.sbtConfirmarClick(), std::runtime_error);
  ExpectNothingKept(file, "OLD\r\n");
  ExpectStillInserting();
  EXPECT_EQ(s.ActivePage(), Page::kDetail);

  // Mended, confirmed again: the numbers nobody got are drawn again.
  s.SetWriterOverride("Remessa_BcoItau", TestWriter);
  dlg.answers = {kMrYes};
  s.sbtConfirmarClick();
  EXPECT_EQ(s.LastConfirmation()->number, "0000000002");
  EXPECT_EQ(s.LastConfirmation()->sequence, "0000000006");
  EXPECT_EQ(ReadFile(file).substr(0, 27), "H|0000000002|0000000006|341");
}

TEST_F(Confirmation, AWriterMustWriteExactlyTheMarkedSlips) {
  struct Case {
    const char* name;
    TfrmRemessaCNAB::WriterFunction writer;
    const char* key;
  } cases[] = {
      {"skips one",
       [](WriterContext& ctx) {
         TDataSet& b = ctx.d.cdsBoletos;
         ctx.out.write("H");
         for (b.First(); !b.Eof(); b.Next())
           if (b.FieldByName("IDMARCADO").AsString() == "S" && b.FieldByName("NRLANBOLPAG").AsString() != E(1102))
             ctx.SlipWritten(b);
       },
       "Bol_Nao_Gerado"},
      {"writes an unmarked one",
       [](WriterContext& ctx) {
         TestWriter(ctx);
         TDataSet& b = ctx.d.cdsBoletos;
         for (b.First(); !b.Eof(); b.Next())
           if (b.FieldByName("IDMARCADO").AsString() != "S") ctx.SlipWritten(b);
       },
       "Bol_Nao_Marcado"},
  };
  Open();
  for (const Case& c : cases) {
    ThreeSlipsMarked();
    Toggle(1103, "0002");  // unmarked: the writer of the second case puts it in anyway
    screen->SetWriterOverride("Remessa_BcoItau", c.writer);
    EXPECT_EQ(RefusalOf([&] { screen->sbtConfirmarClick(); }), c.key) << c.name;
    EXPECT_EQ(Count("SELECT COUNT(*) FROM CNABPAG"), 1) << c.name;
    EXPECT_FALSE(std::filesystem::exists(Out("rem.txt"))) << c.name;
    EXPECT_EQ(FilesIn(), 0) << c.name;
  }
}

class ServerFailure : public Confirmation, public ::testing::WithParamInterface<std::string> {};

TEST_P(ServerFailure, LeavesNothingBehind) {
  FailingTransport& t = OpenFailing();
  ThreeSlipsMarked();
  if (GetParam() == "commit") {
    t.failCommit = true;
  } else {
    t.failMethod = GetParam();
  }
  EXPECT_ANY_THROW(screen->sbtConfirmarClick());
  ExpectNothingKept(Out("rem.txt"));
  ExpectStillInserting();

  // The same remittance goes through once the server answers again.
  t.failCommit = false;
  t.failMethod.clear();
  screen->sbtConfirmarClick();
  EXPECT_EQ(screen->LastConfirmation()->number, "0000000002");
  EXPECT_EQ(SlipSituation(1101), "10/0000000002");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM CNABPAG"), 2);
}

INSTANTIATE_TEST_SUITE_P(EachCall, ServerFailure,
                         ::testing::Values("ProximoCodigo", "PrxCodigoRemessaPag", "SetCNABPag", "AtualizaBoleto",
                                           "commit"));

TEST_F(Confirmation, AFailedConfirmationOfAnEditedRemittanceLeavesItAsItWas) {
  FailingTransport& t = OpenFailing();
  TfrmRemessaCNAB& s = *screen;
  s.SetWriterOverride("Remessa_BcoItau", TestWriter);
  NewRemittance("11");
  Toggle(1101);
  s.sbtConfirmarClick();
  const std::string first = ReadFile(Out("rem.txt"));

  s.sbtAlterarClick();
  s.SelectPage(Page::kBoletos);
  Toggle(1102);
  t.failMethod = "AtualizaBoleto";
  dlg.answers = {kMrYes};
  EXPECT_THROW(s.sbtConfirmarClick(), ServerError);
  const TDataSet& r = s.d.cdsCNABPag;
  EXPECT_EQ(r.State(), DataSetState::kEdit);
  EXPECT_EQ(r.FieldByName("NRCNABPAG").AsString(), "0000000002");
  EXPECT_EQ(r.FieldByName("NRSEQREMESSAPAG").AsString(), "0000000006");
  EXPECT_TRUE(Marked(1102));
  EXPECT_EQ(ReadFile(Out("rem.txt")), first);
  EXPECT_EQ(SlipSituation(1102), "00/");
  EXPECT_EQ(Counter("REMESSAPAG011"), 6);
  s.sbtCancelarClick();
  EXPECT_EQ(r.FieldByName("NRSEQREMESSAPAG").AsString(), "0000000006");
}

}  // namespace
}  // namespace pag::testing
