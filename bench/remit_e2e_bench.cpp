// A remittance from start to end through the screen logic, as `pag00100
// remit --slips all` makes it: open the screen on a generated store (see
// remit_store.h), start a new remittance on the Banco do Brasil account,
// load the slips, mark them all with every check, confirm (numbers, the
// Banco do Brasil file, the saved remittance, the slips marked as sent).
// Also mark-all alone. Each run starts from a fresh copy of the store.
//
// Budgets (docs/performance.md): 100,000 slips end to end under 5 seconds,
// growing linearly (100,000 slips at most about 11 times 10,000).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "bench/remit_store.h"
#include "host/dialogs.h"
#include "host/server/import.h"
#include "host/server/localdb.h"
#include "host/server/schema.h"
#include "host/server/server.h"
#include "remittance/Cli_pag00100.h"

namespace pag::bench {
namespace {

namespace fs = std::filesystem;

class Folder {
 public:
  Folder() {
    std::string t = (fs::temp_directory_path() / "pag-e2e-XXXXXX").string();
    if (!::mkdtemp(t.data())) throw std::runtime_error("mkdtemp failed");
    path = t;
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  fs::path path;
};

// A store of n slips, imported once per size and copied for every run.
class Template {
 public:
  explicit Template(int slips) : path_(dir_.path / "template.db") {
    Store store(path_.string(), Store::Mode::kCreate);
    ImportJson(store, RemitStoreJson(slips, 1000));
  }
  // A fresh copy, closed: its slips not yet sent.
  fs::path Copy(const fs::path& to) const {
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(to.string() + suffix);
    fs::copy_file(path_, to);
    return to;
  }

 private:
  Folder dir_;
  fs::path path_;
};

const Template& TemplateOf(int slips) {
  static std::map<int, std::unique_ptr<Template>> made;
  auto& t = made[slips];
  if (!t) t = std::make_unique<Template>(slips);
  return *t;
}

// The screen over a store, as the command line opens it.
struct Clerk {
  explicit Clerk(const fs::path& db)
      : store(db.string(), Store::Mode::kOpenExisting),
        local(store),
        net(std::make_shared<InProcessTransport>(store)) {
    session.empresa = "01";
    session.filial = "0001";
    session.operador = "ANA";
    session.nome_operador = "ANA LIMA";
    session.clock.Fix(DateTime::Make(2026, 12, 6, 14, 30, 5));
    session.processing_dates["0001"] = MakeDate(2026, 12, 6);
    screen = std::make_unique<TfrmRemessaCNAB>(session, dialogs, net, local);
    screen->FormCreate();
    screen->FocusControl(kCtlGrid);
  }

  // A new remittance on the Banco do Brasil account with its slips loaded.
  void LoadSlips(const fs::path& out) {
    TfrmRemessaCNAB& s = *screen;
    s.sbtIncluirClick();
    s.FocusControl(kCtlAccount);
    s.TypeAccount("001");
    s.FocusControl(kCtlFile);
    s.TypeFile(out.string());
    s.FocusControl(kCtlBranch);
    s.FocusControl(kCtlMovement);
    s.SelectPage(Page::kBoletos);
    s.FocusControl(kCtlGrid);
  }

  void MarkAll() {
    dialogs.answers = {kMrYes};
    screen->dbgBoletosTitleClick(kMarkColumn);
  }

  Store store;
  SqliteLocalDatabase local;
  TNetConnection net;
  Session session;
  ScriptedDialogs dialogs;
  std::unique_ptr<TfrmRemessaCNAB> screen;
};

void BM_RemitEndToEnd(benchmark::State& state) {
  const int slips = static_cast<int>(state.range(0));
  const Template& t = TemplateOf(slips);
  Folder dir;
  // Where the time goes, in milliseconds a run: opening the screen and
  // loading the slips, marking them, confirming (with the file).
  using Clock = std::chrono::steady_clock;
  double load = 0, mark = 0, confirm = 0;
  auto ms = [](Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); };
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path db = t.Copy(dir.path / "run.db");
    const fs::path out = dir.path / "rem.txt";
    fs::remove(out);
    state.ResumeTiming();
    {
      const auto t0 = Clock::now();
      Clerk c(db);
      c.LoadSlips(out);
      const auto t1 = Clock::now();
      c.MarkAll();
      const auto t2 = Clock::now();
      c.screen->sbtConfirmarClick();
      const auto t3 = Clock::now();
      load += ms(t0, t1);
      mark += ms(t1, t2);
      confirm += ms(t2, t3);
      const auto& r = c.screen->LastConfirmation();
      if (!r || r->slips != slips) {
        state.SkipWithError("not every slip went into the remittance");
        break;
      }
    }
  }
  const double runs = static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() * slips);
  state.counters["slips"] = slips;
  state.counters["load_ms"] = load / runs;
  state.counters["mark_ms"] = mark / runs;
  state.counters["confirm_ms"] = confirm / runs;
}
BENCHMARK(BM_RemitEndToEnd)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_MarkAll(benchmark::State& state) {
  const int slips = static_cast<int>(state.range(0));
  const Template& t = TemplateOf(slips);
  Folder dir;
  const fs::path db = t.Copy(dir.path / "run.db");
  for (auto _ : state) {
    state.PauseTiming();
    auto c = std::make_unique<Clerk>(db);
    c->LoadSlips(dir.path / "rem.txt");
    state.ResumeTiming();
    c->MarkAll();
    state.PauseTiming();
    if (c->screen->d.klBoletos.Count() != slips) state.SkipWithError("not every slip was marked");
    c.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * slips);
  state.counters["slips"] = slips;
}
BENCHMARK(BM_MarkAll)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace
}  // namespace pag::bench
