// The remittance screen with its real filter dialogs plugged in: which
// dialog each gesture opens, when a dialog runs unseen on its kept criteria,
// what becomes of the marked slips, and which criteria the slips and the
// remittance list are reloaded with.
#include <string>
#include <utility>
#include <vector>

#include "filters/Cli_pag00101.h"
#include "filters/Cli_pag00102.h"
#include "filters/filter_dialogs.h"
#include "filters/screen_filters.h"
#include "remittance/screen_util.h"
#include "screen_fixture.h"

namespace pag::testing {
namespace {

// The embedded server, with every call kept.
class CallLog : public Transport {
 public:
  explicit CallLog(Store& store) : inner_(store) {}
  void Connect() override { inner_.Connect(); }
  void Disconnect() override { inner_.Disconnect(); }
  bool Connected() const override { return inner_.Connected(); }
  Reply Call(const std::string& method, std::vector<Arg>& args) override {
    calls.emplace_back(method, args);
    return inner_.Call(method, args);
  }
  void BeginWork() override { inner_.BeginWork(); }
  void CommitWork() override { inner_.CommitWork(); }
  void RollbackWork() noexcept override { inner_.RollbackWork(); }

  int Count(const std::string& method) const {
    int n = 0;
    for (const auto& c : calls) n += c.first == method ? 1 : 0;
    return n;
  }
  // The arguments of the last call of a method, as text.
  std::vector<std::string> Last(const std::string& method) const {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
      if (it->first != method) continue;
      std::vector<std::string> texts;
      for (const Arg& a : it->second) texts.push_back(Show(a));
      return texts;
    }
    return {};
  }

  std::vector<std::pair<std::string, std::vector<Arg>>> calls;

 private:
  static std::string Show(const Arg& a) {
    if (a.IsText()) return a.text();
    if (const auto* d = std::get_if<Decimal>(&a.payload())) return d->ToString();
    if (const auto* t = std::get_if<DateTime>(&a.payload())) return IsoDate(t->date());
    return a.KindName();
  }

  InProcessTransport inner_;
};

class FilterWiring : public ScreenTest {
 protected:
  // The screen as the package opens it, with the filter dialogs installed
  // before it starts: its first list already comes through the remittance
  // filter.
  void OpenWithFilters() {
    screen.reset();
    auto t = std::make_shared<CallLog>(*store);
    log = t.get();
    transport = t;
    net = std::make_unique<TNetConnection>(transport);
    local = std::make_unique<SqliteLocalDatabase>(*store);
    screen = std::make_unique<TfrmRemessaCNAB>(session, dlg, *net, *local);
    view.slips = [](TfrmFiltroBoletoCNAB&) { ADD_FAILURE() << "the slip filter was shown"; };
    view.remittances = [](TfrmFiltroRemessaCNAB&) { ADD_FAILURE() << "the remittance filter was shown"; };
    InstallFilterDialogs(*screen, FilterSetup{.view = &view, .options_folder = dir / "options", .units = units});
    screen->FormCreate();
    screen->FocusControl(kCtlGrid);
  }

  // The clerk widens the remittance dates in the shown filter and confirms.
  void ListNovember() {
    view.remittances = [](TfrmFiltroRemessaCNAB& f) {
      f.depDtIniVen.SetText("01/11/2026");
      f.depDtIniVenChange();
      f.depDtFinVen.SetText("30/11/2026");
      f.depDtFinVenChange();
      f.sbtConfirmaClick();
    };
    screen->sbtFiltroClick();
  }

  // The clerk picks one supplier in the shown slip filter and confirms.
  void OnlySupplier(const std::string& supplier) {
    view.slips = [this, supplier](TfrmFiltroBoletoCNAB& f) {
      f.rbtListFornClick();
      dlg.picks.push_back(std::vector<std::string>{supplier});
      f.btnListFornClick();
      f.sbtConfirmaClick();
    };
  }

  std::vector<std::string> Offered() {
    std::vector<std::string> entries;
    const TDataSet& b = screen->d.cdsBoletos;
    if (!b.Active()) return entries;
    for (int r = 1; r <= b.RecordCount(); ++r) entries.push_back(TextAt(b, r, "NRLANBOLPAG"));
    return entries;
  }
  bool IsOffered(int entry) {
    for (const auto& e : Offered())
      if (e == E(entry)) return true;
    return false;
  }
  int Listed() { return screen->d.cdsCNABPag.Active() ? screen->d.cdsCNABPag.RecordCount() : 0; }

  // Nothing marked anywhere: lists, work copy, count, total and inQtBol.
  void ExpectNoSelection() {
    const RemessaData& d = screen->d;
    EXPECT_EQ(d.klBoletos.Count(), 0);
    EXPECT_EQ(d.klCodBarra.Count(), 0);
    EXPECT_EQ(d.klTpBaixa.Count(), 0);
    EXPECT_TRUE(!d.cdsBolCnab.Active() || d.cdsBolCnab.IsEmpty());
    EXPECT_EQ(d.nedQuant, 0);
    EXPECT_TRUE(d.nedTotal.IsZero());
    EXPECT_EQ(d.inQtBol, 0);
    for (int r = 1; d.cdsBoletos.Active() && r <= d.cdsBoletos.RecordCount(); ++r)
      EXPECT_NE(TextAt(d.cdsBoletos, r, "IDMARCADO"), "S") << "row " << r;
  }

  CallbackFilterView view;
  std::shared_ptr<FilterUnits> units = std::make_shared<FilterUnits>();
  CallLog* log = nullptr;
};

TEST_F(FilterWiring, TheFirstListIsTheProcessingDateOfTheRemittanceFilter) {
  OpenWithFilters();
  EXPECT_EQ(view.shown, 0);
  const auto args = log->Last("GetCNABPag");
  ASSERT_EQ(args.size(), 27u);
  EXPECT_EQ(args[0], "01");
  EXPECT_EQ(args[1], "2026-12-06");
  EXPECT_EQ(args[2], "2026-12-06");
  EXPECT_EQ(args[3], "");
  // Remittance 1 was made on 28/11/2026.
  EXPECT_EQ(Listed(), 0);
}

TEST_F(FilterWiring, FilterButtonOnTheListPageShowsTheRemittanceFilterAndRelists) {
  OpenWithFilters();
  TfrmRemessaCNAB& s = *screen;
  ListNovember();
  EXPECT_EQ(view.shown, 1);
  ASSERT_EQ(Listed(), 1);
  EXPECT_EQ(Text(s.d.cdsCNABPag, "NRCNABPAG"), E(1));

  // Typed, then cancelled: nothing is asked of the server, the list stays,
  // and the criteria kept are the confirmed ones.
  const int asked = log->Count("GetCNABPag");
  view.remittances = [](TfrmFiltroRemessaCNAB& f) {
    f.depDtIniVen.SetText("01/12/2026");
    f.sbtCancelClick();
  };
  s.sbtFiltroClick();
  EXPECT_EQ(view.shown, 2);
  EXPECT_EQ(log->Count("GetCNABPag"), asked);
  EXPECT_EQ(Listed(), 1);

  s.sbtVerificarClick();  // unseen, on the kept criteria
  EXPECT_EQ(view.shown, 2);
  EXPECT_EQ(log->Count("GetCNABPag"), asked + 1);
  EXPECT_EQ(log->Last("GetCNABPag")[1], "2026-11-01");
  ASSERT_EQ(Listed(), 1);
  EXPECT_EQ(Text(s.d.cdsCNABPag, "NRCNABPAG"), E(1));
}

TEST_F(FilterWiring, LeavingTheCompanyPanelRelistsTheTypedCompanyOnTheKeptCriteria) {
  OpenWithFilters();
  TfrmRemessaCNAB& s = *screen;
  ListNovember();
  ASSERT_EQ(Listed(), 1);

  s.FocusControl(kCtlCompany);
  s.TypeCompany("2");
  s.FocusControl(kCtlGrid);
  EXPECT_EQ(view.shown, 1);
  auto args = log->Last("GetCNABPag");
  EXPECT_EQ(args[0], "02");
  EXPECT_EQ(args[1], "2026-11-01");
  EXPECT_EQ(args[2], "2026-11-30");
  EXPECT_EQ(Listed(), 0);

  s.FocusControl(kCtlCompany);
  s.TypeCompany("1");
  s.FocusControl(kCtlGrid);
  EXPECT_EQ(view.shown, 1);
  EXPECT_EQ(log->Last("GetCNABPag")[0], "01");
  EXPECT_EQ(Listed(), 1);
}

TEST_F(FilterWiring, EnteringTheSlipsPageRunsTheSlipFilterUnseen) {
  OpenWithFilters();
  NewRemittance("001");
  EXPECT_EQ(view.shown, 0);
  EXPECT_EQ(units->boleto.stModo, "ESCONDIDO");
  const auto args = log->Last("GetBoletos");
  ASSERT_EQ(args.size(), 31u);
  EXPECT_EQ(args[0], "01");
  EXPECT_EQ(args[1], "N");
  EXPECT_EQ(args[5], "001");
  // The settings' window around the processing date: 30 days each side.
  EXPECT_EQ(args[13], "2026-11-06");
  EXPECT_EQ(args[14], "2027-01-05");
  EXPECT_EQ(args[15], " ");
  EXPECT_EQ(args[23], "_00_01");
  // Slips of the account not yet sent; 118 was sent ("10"), 190 and 191
  // belong to remittance 1.
  EXPECT_TRUE(IsOffered(101));
  EXPECT_TRUE(IsOffered(119));
  EXPECT_FALSE(IsOffered(118));
  EXPECT_FALSE(IsOffered(190));
  EXPECT_FALSE(IsOffered(201));
  ExpectNoSelection();
}

TEST_F(FilterWiring, FilterButtonOnTheSlipsPageAsksBeforeDroppingTheMarks) {
  OpenWithFilters();
  TfrmRemessaCNAB& s = *screen;
  NewRemittance("001");
  Toggle(101);
  Toggle(102);
  ASSERT_EQ(s.d.klBoletos.Count(), 2);
  ASSERT_EQ(s.d.inQtBol, 2);

  // "Cancelar" to the question: no filter, marks kept.
  dlg.answers.push_back(kMrCancel);
  s.sbtFiltroClick();
  ASSERT_EQ(dlg.Questions().size(), 1u);
  EXPECT_EQ(dlg.Questions().back(), Msg("Bol_mar"));
  EXPECT_EQ(view.shown, 0);
  EXPECT_EQ(s.d.klBoletos.Count(), 2);
  EXPECT_TRUE(Marked(101));

  // OK, then the filter cancelled: marks kept.
  dlg.answers.push_back(kMrOk);
  view.slips = [](TfrmFiltroBoletoCNAB& f) { f.sbtCancelClick(); };
  s.sbtFiltroClick();
  EXPECT_EQ(view.shown, 1);
  EXPECT_EQ(s.d.klBoletos.Count(), 2);
  EXPECT_EQ(s.d.nedQuant, 2);
  EXPECT_TRUE(Marked(102));

  // OK, then the filter confirmed: the slips of its criteria, none marked.
  dlg.answers.push_back(kMrOk);
  OnlySupplier("F002");
  s.sbtFiltroClick();
  EXPECT_EQ(view.shown, 2);
  EXPECT_EQ(dlg.Questions().size(), 3u);
  EXPECT_EQ(Offered(), std::vector<std::string>{E(113)});
  ExpectNoSelection();

  // Without marks the filter opens at once.
  OnlySupplier("F001");
  s.sbtFiltroClick();
  EXPECT_EQ(dlg.Questions().size(), 3u);
  EXPECT_EQ(view.shown, 3);
  EXPECT_TRUE(IsOffered(101));
  EXPECT_FALSE(IsOffered(113));
}

TEST_F(FilterWiring, MostraBoletosAsksWithTheSlipFilterWhilePreparingOnly) {
  OpenWithFilters();
  TfrmRemessaCNAB& s = *screen;
  ListNovember();
  NewRemittance("001");
  OnlySupplier("F002");
  s.sbtFiltroClick();
  ASSERT_EQ(Offered(), std::vector<std::string>{E(113)});

  const int asked = log->Count("GetBoletos");
  s.MostraBoletos();
  EXPECT_EQ(log->Count("GetBoletos"), asked + 1);
  auto args = log->Last("GetBoletos");
  ASSERT_EQ(args.size(), 31u);
  EXPECT_EQ(args[5], "001");
  EXPECT_EQ(args[6], "_F002");
  EXPECT_EQ(args[7], " ");
  EXPECT_EQ(Offered(), std::vector<std::string>{E(113)});

  // Back to the list: the browsed remittance shows its own slips, whatever
  // the slip filter keeps.
  s.sbtCancelarClick();
  ASSERT_TRUE(s.LocateRemittance("1"));
  s.SelectPage(Page::kBoletos);
  EXPECT_EQ(log->Last("GetBoletos")[1], E(1));
  EXPECT_EQ(Offered(), (std::vector<std::string>{E(190), E(191)}));

  // Editing it: the slip filter's criteria again, on the remittance's account.
  s.SelectPage(Page::kList);
  s.sbtAlterarClick();
  s.SelectPage(Page::kBoletos);
  EXPECT_EQ(view.shown, 2);  // ListNovember and OnlySupplier only
  s.MostraBoletos();
  args = log->Last("GetBoletos");
  EXPECT_EQ(args[1], "N");
  EXPECT_EQ(args[5], "001");
  EXPECT_EQ(args[6], "_F002");
  EXPECT_EQ(Offered(), std::vector<std::string>{E(113)});
}

}  // namespace
}  // namespace pag::testing
