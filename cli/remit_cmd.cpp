#include "cli/remit_cmd.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "cli/cli_dialogs.h"
#include "filters/Cli_pag00101.h"
#include "filters/Cli_pag00102.h"
#include "filters/filter_dialogs.h"
#include "filters/screen_filters.h"
#include "host/errors.h"
#include "host/server/localdb.h"
#include "host/server/schema.h"
#include "host/server/server.h"
#include "host/text.h"
#include "remittance/Cli_pag00100.h"
#include "remittance/screen_util.h"

namespace pag::cli {
namespace {

namespace fs = std::filesystem;

// A question the screen asked that needs --yes.
struct QuestionRefused {};

// Where the filter dialogs would keep saved options: beside the store. The
// commands never load nor save them (no handler of theirs is pressed), so
// nothing is read from or written to the operator's own configuration.
fs::path FilterOptionsFolder(const std::string& db) {
  return fs::absolute(fs::path(db)).parent_path() / "pag00100-filter-options";
}

// The store, the server over it, the session and the remittance screen with
// its two filter dialogs, opened on the company with its remittances listed
// (leaving the company panel runs the remittance filter silently).
class Workspace {
 public:
  Workspace(const ScreenOptions& o, CliDialogs& dialogs, const std::string& branch = "")
      : store_(o.db, Store::Mode::kOpenExisting),
        local_(store_),
        net_(std::make_shared<InProcessTransport>(store_)) {
    session_.empresa = EmptyString(o.company) ? std::string() : Ajusta(o.company, 2);
    session_.filial = EmptyString(branch) ? std::string() : Ajusta(branch, 4);
    if (!o.clock.empty()) {
      const auto t = ParseDateTime(o.clock);
      if (!t) throw std::invalid_argument("--clock " + o.clock + " is not a date and time (YYYY-MM-DDTHH:MM:SS)");
      session_.clock.Fix(*t);
    }
    if (!o.date.empty()) {
      const auto d = ParseDate(o.date);
      if (!d) throw std::invalid_argument("--date " + o.date + " is not a date (YYYY-MM-DD)");
      session_.processing_dates[session_.filial] = *d;
    }
    const Packet operators = local_.Query("qryOperador", {});
    for (std::size_t r = 0; r < operators.rows.size(); ++r) {
      const std::string code = ValueToText(operators.At(r, "CDOPERADOR"));
      const bool wanted = o.operatorCode.empty() ? local_.AcessoOperEmpresa(session_.empresa, code)
                                                 : code == AllTrim(o.operatorCode);
      if (wanted) {
        session_.operador = code;
        session_.nome_operador = ValueToText(operators.At(r, "NMOPERADOR"));
        break;
      }
    }
    if (session_.operador.empty()) session_.operador = AllTrim(o.operatorCode);
    screen_ = std::make_unique<TfrmRemessaCNAB>(session_, dialogs, net_, local_);
    // A shown filter dialog gets the command's filter options typed into it
    // and is confirmed; a refusal of its checks ends the command.
    view_.slips = [this, &dialogs](TfrmFiltroBoletoCNAB& f) { TypeSlipFilter(f, slip_filter_, dialogs); };
    view_.remittances = [this, &dialogs](TfrmFiltroRemessaCNAB& f) {
      TypeRemittanceFilter(f, remittance_filter_, dialogs);
    };
    InstallFilterDialogs(*screen_,
                         FilterSetup{.view = &view_, .options_folder = FilterOptionsFolder(o.db), .units = {}});
    screen_->FormCreate();
    screen_->FocusControl(kCtlGrid);  // leaving the company panel checks it and lists its remittances
  }

  TfrmRemessaCNAB& screen() { return *screen_; }

  // The filter button on the list page: the remittance filter, shown, with
  // these options typed in. The list holds what it finds.
  void FilterRemittances(const RemittanceFilterOptions& o) {
    remittance_filter_ = o;
    if (screen_->ActivePage() != Page::kList) screen_->SelectPage(Page::kList);
    Press();
  }

  // The filter button on the "Boletos" page of a remittance being prepared:
  // the slip filter, shown, with these options typed in.
  void FilterSlips(const SlipFilterOptions& o) {
    slip_filter_ = o;
    if (screen_->ActivePage() != Page::kBoletos) screen_->SelectPage(Page::kBoletos);
    Press();
  }

 private:
  void Press() {
    const int before = view_.shown;
    screen_->sbtFiltroClick();
    if (view_.shown == before) throw std::logic_error("the filter button showed no filter");
  }

  Store store_;
  SqliteLocalDatabase local_;
  TNetConnection net_;
  Session session_;
  CallbackFilterView view_;
  SlipFilterOptions slip_filter_;
  RemittanceFilterOptions remittance_filter_;
  std::unique_ptr<TfrmRemessaCNAB> screen_;
};

template <typename F>
int Execute(const std::string& who, const ScreenOptions& so, F&& body) {
  CliDialogs dialogs(who, so.yes);
  auto printRefused = [&] {
    std::cerr << dialogs.refused() << ": " << dialogs.refusedText() << "\n"
              << who << ": the question was answered no (answer yes with --yes)\n";
  };
  try {
    body(dialogs);
    dialogs.Flush();
    return 0;
  } catch (const QuestionRefused&) {
    printRefused();
    return 2;
  } catch (const Abort& a) {
    std::string text = dialogs.TakePending();
    if (a.key().empty()) {
      // Ended without a message: a question was answered no.
      if (!dialogs.refused().empty()) {
        printRefused();
      } else {
        std::cerr << who << ": cancelled\n";
      }
      return 2;
    }
    if (text.empty()) text = RemessaMessages().Msg(a.key());
    std::cerr << a.key() << ": " << text << "\n";
    return 2;
  } catch (const std::exception& e) {
    dialogs.TakePending();
    std::cerr << who << ": " << e.what() << "\n";
    return 1;
  }
}

std::string Absolute(const std::string& path) { return fs::absolute(fs::path(path)).lexically_normal().string(); }

void SplitSlip(const std::string& slipArg, std::string& branch, std::string& entry) {
  const auto colon = slipArg.find(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == slipArg.size())
    throw std::invalid_argument("--slip " + slipArg + " is not BRANCH:ENTRY");
  branch = AllTrim(slipArg.substr(0, colon));
  entry = AllTrim(slipArg.substr(colon + 1));
}

bool CurrentMarked(TfrmRemessaCNAB& s) { return Text(s.d.cdsBoletos, "IDMARCADO") == "S"; }

// The detail page, control by control.
void FillRemittance(TfrmRemessaCNAB& s, const RemitOptions& o) {
  if (!o.movement.empty()) {
    const int index = o.movement == "I" ? 0 : o.movement == "E" ? 1 : o.movement == "B" ? 2 : -1;
    if (index < 0) throw std::invalid_argument("--movement must be I, E or B");
    s.FocusControl(kCtlMovement);
    s.SelectMovement(index);
  }
  s.FocusControl(kCtlAccount);
  s.TypeAccount(o.account);
  s.FocusControl(kCtlFile);
  s.TypeFile(Absolute(o.out));
  s.FocusControl(kCtlBranch);
  s.TypeBranch(o.branch);
  s.FocusControl(kCtlMovement);
  if (!o.kind.empty()) {
    if (!s.dbcTpRemessa.enabled)
      throw std::invalid_argument("--kind: the bank " + s.BankText() + " offers no remittance kind to choose");
    static const std::pair<const char*, const char*> kCodes[] = {{"1", "PS"}, {"2", "WT"}, {"3", "Nor"}, {"4", "Ant"}};
    std::string text = o.kind;
    for (auto [code, key] : kCodes)
      if (o.kind == code) text = s.msgs().Msg(key);
    int index = -1;
    for (std::size_t i = 0; i < s.dbcTpRemessa.items.size(); ++i)
      if (s.dbcTpRemessa.items[i] == text) index = static_cast<int>(i);
    if (index < 0) {
      std::string offered;
      for (const auto& item : s.dbcTpRemessa.items) offered += (offered.empty() ? "" : ", ") + item;
      throw std::invalid_argument("--kind " + o.kind + " is not offered for this account (" + offered + ")");
    }
    s.SelectKind(index);
  }
  if (!o.schedule.empty()) {
    if (!s.dbcAgendamento.enabled)
      throw std::invalid_argument("--schedule: the bank " + s.BankText() + " takes no scheduling");
    if (o.schedule != "1" && o.schedule != "2") throw std::invalid_argument("--schedule must be 1 or 2");
    s.SelectSchedule(o.schedule == "1" ? 0 : 1);
  }
  if (!o.payDate.empty()) {
    if (!s.DtRemPag.visible)
      throw std::invalid_argument("--pay-date: only remittances of bank 341 take a payment date (bank " +
                                  s.BankText() + ")");
    const auto d = ParseDate(o.payDate);
    if (!d) throw std::invalid_argument("--pay-date " + o.payDate + " is not a date (YYYY-MM-DD)");
    s.SetPayDate(*d);
  }
}

// The slips page: the slips come through the slip filter (its kept criteria
// when entering the page, or the filter options typed into it), then mark
// them all (the title of the mark column) or each named slip (a double click
// on its row).
void MarkSlips(Workspace& w, const RemitOptions& o, CliDialogs& dialogs) {
  TfrmRemessaCNAB& s = w.screen();
  s.SelectPage(Page::kBoletos);
  if (o.filter.Any()) w.FilterSlips(o.filter);
  s.FocusControl(kCtlGrid);
  if (o.allSlips) s.dbgBoletosTitleClick(kMarkColumn);
  for (const std::string& slipArg : o.slips) {
    std::string branch, entry;
    SplitSlip(slipArg, branch, entry);
    if (!s.LocateSlip(branch, entry)) throw std::runtime_error("slip " + slipArg + " is not offered here");
    if (CurrentMarked(s)) continue;
    dialogs.ClearRefused();
    s.dbgBoletosDblClick();
    if (!CurrentMarked(s) && !dialogs.refused().empty()) throw QuestionRefused{};
  }
}

void PrintConfirmation(const TfrmRemessaCNAB& s) {
  const auto& r = s.LastConfirmation();
  if (!r) throw std::runtime_error("the remittance was not confirmed");
  std::cout << "remittance: " << r->number << "\n"
            << "file: " << r->path << "\n"
            << "slips: " << r->slips << "\n"
            << "total: " << r->total.ToString() << "\n"
            << "sequence: " << r->sequence << "\n";
}

// The remittance of the command's number, looked for with the remittance
// filter's number (whatever its date) and clicked in the list.
void FindRemittance(Workspace& w, const RemitOptions& o) {
  w.FilterRemittances(RemittanceFilterOptions::ByNumber(o.number));
  TfrmRemessaCNAB& s = w.screen();
  if (!s.LocateRemittance(o.number))
    throw std::runtime_error("company " + s.medCdEmpresa.text + " has no remittance " + o.number);
}

std::string DateText(const TDataSet& ds, int r, const char* field) {
  std::string t = TextAt(ds, r, field);
  if (t.size() >= 16) t = t.substr(0, 10) + " " + t.substr(11, 5);
  return t;
}

void AddScreenOptions(CLI::App* sub, ScreenOptions& so) {
  sub->add_option("--db", so.db, "Store file")->required();
  sub->add_option("--company", so.company, "Company code")->required();
  sub->add_option("--operator", so.operatorCode, "Operator (default: the first one allowed to use the company)");
  sub->add_option("--clock", so.clock, "Fixed clock, YYYY-MM-DDTHH:MM:SS");
  sub->add_option("--date", so.date, "Processing date, YYYY-MM-DD");
  sub->add_flag("--yes", so.yes, "Answer yes to the screen's questions");
}

void AddSlipOptions(CLI::App* sub, RemitOptions& o, const std::shared_ptr<std::string>& mode) {
  auto* all = sub->add_option("--slips", *mode, "\"all\": mark every slip the checks let through")
                  ->check(CLI::IsMember({"all"}));
  sub->add_option("--slip", o.slips, "A slip to mark, BRANCH:ENTRY (repeatable)")->excludes(all);
}

}  // namespace

int RunRemit(const RemitOptions& o) {
  return Execute("pag00100 remit", o.screen, [&](CliDialogs& dialogs) {
    if (o.allSlips) dialogs.Answer("MARCA_BOL", true);
    Workspace w(o.screen, dialogs, o.branch);
    TfrmRemessaCNAB& s = w.screen();
    s.sbtIncluirClick();
    FillRemittance(s, o);
    MarkSlips(w, o, dialogs);
    s.sbtConfirmarClick();
    PrintConfirmation(s);
  });
}

int RunList(const ListOptions& o) {
  return Execute("pag00100 list", o.screen, [&](CliDialogs& dialogs) {
    Workspace w(o.screen, dialogs);
    if (o.filter.Any()) w.FilterRemittances(o.filter);
    const TDataSet& list = w.screen().d.cdsCNABPag;
    const TMessages& m = RemessaMessages();
    std::cout << fmt::format("{:<10}  {:<16}  {:<7}  {:<4}  {:<9}  {:>5}  {:>14}  {}\n", "NUMBER", "CREATED",
                             "ACCOUNT", "BANK", "MOVEMENT", "SLIPS", "TOTAL", "FILE");
    for (int r = 1; r <= list.RecordCount(); ++r) {
      std::cout << fmt::format("{:<10}  {:<16}  {:<7}  {:<4}  {:<9}  {:>5}  {:>14}  {}\n", TextAt(list, r, "NRCNABPAG"),
                               DateText(list, r, "DTCNABPAG"), TextAt(list, r, "CDREDUCONT"),
                               TextAt(list, r, "CDBANCCNAB"), m.Msg(TextAt(list, r, "IDOPECNABPAG")),
                               TextAt(list, r, "QTBOLCNABPAG"), TextAt(list, r, "VRTOTALCNABPAG"),
                               TextAt(list, r, "DSARQCNABPAG"));
    }
  });
}

int RunShow(const RemitOptions& o) {
  return Execute("pag00100 show", o.screen, [&](CliDialogs& dialogs) {
    Workspace w(o.screen, dialogs);
    TfrmRemessaCNAB& s = w.screen();
    FindRemittance(w, o);
    const TDataSet& r = s.d.cdsCNABPag;
    auto field = [&](const char* f) { return r.FieldByName(f).DisplayText(); };
    std::cout << "remittance: " << field("NRCNABPAG") << "\n"
              << "company: " << field("CDEMPRESA") << "\n"
              << "created: " << s.edtDtCNABPag.text << " by " << field("CDOPERADOR") << " (" << field("NMOPERADOR")
              << ")\n"
              << "account: " << field("CDREDUCONT") << " " << field("DSCONTCORR") << ", bank " << field("CDBANCO")
              << ", agency " << field("CDAGENCIA") << ", account " << field("CDCONTCORR") << "\n"
              << "file bank: " << field("CDBANCCNAB") << "\n"
              << "branch: " << field("CDFILIAL") << " " << field("NMFILIAL") << "\n"
              << "movement: " << field("IDOPECNABPAG") << "\n"
              << "kind: " << field("IDTPREMCNABPAG") << "\n"
              << "scheduling: " << field("IDAGENREMCNABPAG") << "\n"
              << "payment date: " << (r.FieldByName("DTPAGREM").IsNull() ? "" : field("DTPAGREM").substr(0, 10))
              << "\n"
              << "file: " << field("DSARQCNABPAG") << "\n"
              << "sequence: " << field("NRSEQREMESSAPAG") << "\n"
              << "saved slips: " << field("QTBOLCNABPAG") << ", total " << field("VRTOTALCNABPAG") << "\n";
    s.SelectPage(Page::kBoletos);
    const TDataSet& b = s.d.cdsBoletos;
    std::cout << "slips: " << s.d.nedQuant << ", total " << s.d.nedTotal.ToString() << "\n";
    for (int i = 1; i <= b.RecordCount(); ++i) {
      std::cout << fmt::format("  {}:{}  {}  {:>14}  {:<2} {:<26}  {}\n", TextAt(b, i, "CDFILIBPAG"),
                               TextAt(b, i, "NRLANBOLPAG"), TextAt(b, i, "DTVENBOLPAG").substr(0, 10),
                               TextAt(b, i, "VRFINALBPAG"), TextAt(b, i, "IDBAIXAUTILP"),
                               b.DisplayTextAt(i, b.FieldByName("IDSITUCNABP")), TextAt(b, i, "NMRAZSOCFORN"));
    }
  });
}

int RunRewrite(const RemitOptions& o) {
  return Execute("pag00100 rewrite", o.screen, [&](CliDialogs& dialogs) {
    if (o.allSlips) dialogs.Answer("MARCA_BOL", true);
    Workspace w(o.screen, dialogs);
    TfrmRemessaCNAB& s = w.screen();
    FindRemittance(w, o);
    s.sbtAlterarClick();
    // An existing remittance is written again under its own path: the file
    // field stays read-only while it is edited.
    const std::string stored = AllTrim(s.FileText());
    if (!o.out.empty() && (stored.empty() || Absolute(o.out) != Absolute(stored)))
      throw std::invalid_argument("remittance " + o.number + " is written again under its own path '" + stored +
                                  "'; --out must name it or be left out");
    MarkSlips(w, o, dialogs);
    s.sbtConfirmarClick();
    PrintConfirmation(s);
  });
}

int RunCancelSlips(const RemitOptions& o) {
  return Execute("pag00100 cancel-slips", o.screen, [&](CliDialogs& dialogs) {
    Workspace w(o.screen, dialogs);
    TfrmRemessaCNAB& s = w.screen();
    FindRemittance(w, o);
    s.SelectPage(Page::kBoletos);
    s.FocusControl(kCtlGrid);
    const int before = s.d.cdsBoletos.RecordCount();
    for (const std::string& slipArg : o.slips) {
      std::string branch, entry;
      SplitSlip(slipArg, branch, entry);
      if (!s.LocateSlip(branch, entry))
        throw std::runtime_error("slip " + slipArg + " is not in remittance " + o.number);
      if (!CurrentMarked(s)) s.dbgBoletosDblClick();
    }
    dialogs.ClearRefused();
    s.sbtCancelaRemessaClick();
    if (!dialogs.refused().empty()) throw QuestionRefused{};
    const int after = s.d.cdsBoletos.Active() ? s.d.cdsBoletos.RecordCount() : 0;
    std::cout << "remittance: " << s.d.cdsCNABPag.FieldByName("NRCNABPAG").AsString() << "\n"
              << "slips taken out: " << (before - after) << "\n"
              << "slips left: " << after << "\n";
  });
}

void AddRemittanceCommands(CLI::App& app) {
  auto run = [](int rc) {
    if (rc != 0) throw CLI::RuntimeError(rc);
  };
  {
    auto o = std::make_shared<RemitOptions>();
    auto mode = std::make_shared<std::string>();
    auto* sub = app.add_subcommand("remit", "Make a new remittance: mark slips, confirm, write the bank file");
    AddScreenOptions(sub, o->screen);
    sub->add_option("--account", o->account, "Company bank account (CDREDUCONT)")->required();
    sub->add_option("--branch", o->branch, "Branch of the remittance");
    sub->add_option("--movement", o->movement, "Movement type: I inclusion (default), E exclusion, B block")
        ->check(CLI::IsMember({"I", "E", "B"}));
    sub->add_option("--kind", o->kind, "Remittance kind (bank 237): 1 2 (classic) or 3 4 (Multipag), or its text");
    sub->add_option("--schedule", o->schedule, "Scheduling (bank 237 classic): 1 authorise, 2 do not")
        ->check(CLI::IsMember({"1", "2"}));
    sub->add_option("--pay-date", o->payDate, "Payment date of the remittance (bank 341), YYYY-MM-DD");
    AddSlipOptions(sub, *o, mode);
    sub->add_option("--out", o->out, "Path of the bank file")->required();
    AddSlipFilterOptions(sub, o->filter);
    sub->callback([o, mode, run] {
      o->allSlips = *mode == "all";
      run(RunRemit(*o));
    });
  }
  {
    auto o = std::make_shared<ListOptions>();
    auto* sub =
        app.add_subcommand("list", "List the remittances of a company (of the processing date unless filtered)");
    AddScreenOptions(sub, o->screen);
    AddRemittanceFilterOptions(sub, o->filter);
    sub->callback([o, run] { run(RunList(*o)); });
  }
  {
    auto o = std::make_shared<RemitOptions>();
    auto* sub = app.add_subcommand("show", "Show a remittance and its slips");
    sub->add_option("number", o->number, "Remittance number (NRCNABPAG)")->required();
    AddScreenOptions(sub, o->screen);
    sub->callback([o, run] { run(RunShow(*o)); });
  }
  {
    auto o = std::make_shared<RemitOptions>();
    auto mode = std::make_shared<std::string>();
    auto* sub = app.add_subcommand("rewrite", "Edit a remittance, mark more slips and write its file again");
    sub->add_option("number", o->number, "Remittance number (NRCNABPAG)")->required();
    AddScreenOptions(sub, o->screen);
    AddSlipOptions(sub, *o, mode);
    sub->add_option("--out", o->out, "Path of the bank file: the remittance's own path");
    AddSlipFilterOptions(sub, o->filter);
    sub->callback([o, mode, run] {
      o->allSlips = *mode == "all";
      run(RunRewrite(*o));
    });
  }
  {
    auto o = std::make_shared<RemitOptions>();
    auto* sub = app.add_subcommand("cancel-slips", "Take slips out of a remittance already sent");
    sub->add_option("number", o->number, "Remittance number (NRCNABPAG)")->required();
    AddScreenOptions(sub, o->screen);
    sub->add_option("--slip", o->slips, "A slip to take out, BRANCH:ENTRY (repeatable)")->required();
    sub->callback([o, run] { run(RunCancelSlips(*o)); });
  }
}

}  // namespace pag::cli
