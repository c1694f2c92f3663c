// Shared by the filter dialogs' tests: a store in a temporary folder loaded
// with tests/data/filters-store.json, a connection that records every call,
// the local database, a session on 10/12/2026, scripted dialogs that keep
// the last list offered, and the screen's datasets.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

#include "filters/filter_dialogs.h"
#include "host/connection.h"
#include "host/errors.h"
#include "host/server/import.h"
#include "host/server/localdb.h"
#include "host/server/schema.h"
#include "host/server/server.h"
#include "host/text.h"

namespace pag::test {

// A folder removed at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "pagfltXXXXXX").string();
    if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
    path_ = templ;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// The in-process server, with every call kept for the tests to read.
class RecordingTransport : public Transport {
 public:
  explicit RecordingTransport(Store& store) : inner_(store) {}
  struct CallRec {
    std::string method;
    std::vector<Arg> args;
  };
  Reply Call(const std::string& method, std::vector<Arg>& args) override {
    calls.push_back({method, args});
    if (method == fail) return Reply::Error("Falha no servidor");
    return inner_.Call(method, args);
  }
  void BeginWork() override { inner_.BeginWork(); }
  void CommitWork() override { inner_.CommitWork(); }
  void RollbackWork() noexcept override { inner_.RollbackWork(); }

  // The arguments of the last call of a method (empty when none).
  std::vector<Arg> Last(const std::string& method) const {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
      if (it->method == method) return it->args;
    return {};
  }
  int Count(const std::string& method) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const auto& c) { return c.method == method; }));
  }

  std::vector<CallRec> calls;
  std::string fail;  // a method answered with an error

 private:
  InProcessTransport inner_;
};

// Scripted dialogs that also keep the last list offered to pick from.
class PickDialogs : public ScriptedDialogs {
 public:
  bool PesquisaLista(const PickList& list, std::vector<std::string>& picked) override {
    last_list = list;
    ++lists_shown;
    return ScriptedDialogs::PesquisaLista(list, picked);
  }
  PickList last_list;
  int lists_shown = 0;
};

// The local database, with some queries answering no rows.
class EmptyingLocalDatabase : public LocalDatabase {
 public:
  explicit EmptyingLocalDatabase(LocalDatabase& inner) : inner_(inner) {}
  Packet Query(const std::string& name, const QueryParams& params) override {
    Packet p = inner_.Query(name, params);
    if (empty.count(name)) p.rows.clear();
    return p;
  }
  bool AcessoOperEmpresa(const std::string& c, const std::string& o) override { return inner_.AcessoOperEmpresa(c, o); }
  std::set<std::string> empty;

 private:
  LocalDatabase& inner_;
};

// Text of a by-value or by-reference string argument; "<kind>" otherwise.
inline std::string ArgText(const Arg& a) {
  if (a.IsText()) return a.text();
  if (const auto* d = std::get_if<Decimal>(&a.payload())) return d->ToString();
  if (const auto* t = std::get_if<DateTime>(&a.payload())) return IsoDate(t->date());
  return std::string("<") + a.KindName() + ">";
}

class FilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ImportFile(store, std::string(PAG_TEST_DATA) + "/filters-store.json");
    session.empresa = "01";
    session.filial = "0001";
    session.operador = "ANA";
    session.nome_operador = "ANA LIMA";
    session.processing_dates["0001"] = MakeDate(2026, 12, 10);
  }

  FilterHost Host() {
    return FilterHost{.data = data,
                      .medCdEmpresa = [this] { return company; },
                      .net = net,
                      .local = emptying,
                      .session = session,
                      .dialogs = dialogs,
                      .view = &view,
                      .options_folder = dir.path() / "config",
                      .units = nullptr};
  }
  // The screen's filter dialogs (a new screen after Reopen()).
  FilterDialogs& Filters() {
    if (!filters) filters = std::make_unique<FilterDialogs>(Host());
    return *filters;
  }
  void Reopen() { filters.reset(); }
  TfrmFiltroBoletoCNAB& SlipDialog() {
    Filters().CriaFiltroBoletoCNAB("");
    return *Filters().frmFiltroBoletoCNAB();
  }
  TfrmFiltroRemessaCNAB& RemittanceDialog() {
    Filters().CriaFiltroRemessaCNAB("");
    return *Filters().frmFiltroRemessaCNAB();
  }

  // The screen inserting (or browsing) a remittance of an account.
  void Inserting(const std::string& account = "001", const std::string& movement = "I") {
    TDataSet& r = data.cdsCNABPag;
    if (!r.Active()) r.CreateDataSet();
    if (r.State() != DataSetState::kBrowse) r.Cancel();
    r.Append();
    r.FieldByName("CDEMPRESA").SetAsString("01");
    r.FieldByName("CDREDUCONT").SetAsString(account);
    r.FieldByName("IDOPECNABPAG").SetAsString(movement);
  }
  void Browsing(const std::string& account = "001", const std::string& movement = "I") {
    Inserting(account, movement);
    data.cdsCNABPag.FieldByName("NRCNABPAG").SetAsString("0000000001");
    data.cdsCNABPag.Post();
  }

  // Shows a dialog; the script sets the controls and the dialog is
  // confirmed. Gives the key of a refused confirmation ("" when accepted);
  // a refused dialog is then cancelled, as the user would.
  template <typename Dialog>
  std::string Show(const std::function<void(Dialog&)>& script) {
    std::string refused;
    auto run = [&](Dialog& f) {
      if (script) script(f);
      try {
        f.sbtConfirmaClick();
      } catch (const Abort& a) {
        refused = a.key();
        refused_focus = f.ActiveControl;
        refused_visible = f.Visible;
        f.sbtCancelClick();
      }
    };
    if constexpr (std::is_same_v<Dialog, TfrmFiltroBoletoCNAB>) {
      view.slips = run;
      const bool confirmed = Filters().CriaFiltroBoletoCNAB("BOTAO_FILTRO");
      EXPECT_EQ(confirmed, refused.empty());
    } else {
      view.remittances = run;
      const bool confirmed = Filters().CriaFiltroRemessaCNAB("BOTAO_FILTRO");
      EXPECT_EQ(confirmed, refused.empty());
    }
    return refused;
  }
  std::string ShowSlip(const std::function<void(TfrmFiltroBoletoCNAB&)>& script) { return Show(script); }
  std::string ShowRemittance(const std::function<void(TfrmFiltroRemessaCNAB&)>& script) { return Show(script); }

  // The entry numbers of cdsBoletos (last two digits), sorted: "01 03".
  std::string Slips() { return KeysOf(data.cdsBoletos, "NRLANBOLPAG"); }
  // The remittance numbers of cdsCNABPag (last digit), sorted: "1 2".
  std::string Remittances() { return KeysOf(data.cdsCNABPag, "NRCNABPAG", 1); }
  static std::string KeysOf(TDataSet& ds, const char* field, int digits = 2) {
    std::vector<std::string> keys;
    if (ds.Active())
      for (ds.First(); !ds.Eof(); ds.Next()) keys.push_back(Right(ds.FieldByName(field).AsString(), digits));
    std::sort(keys.begin(), keys.end());
    std::string s;
    for (const auto& k : keys) s += (s.empty() ? "" : " ") + k;
    return s;
  }

  // Links a slip to a remittance as the server does for a block ("B"),
  // without making it one of the remittance's own slips.
  void LinkSlip(const std::string& branch, const std::string& entry, const std::string& remittance) {
    Packet p;
    p.fields = {{"CDFILIBPAG", FieldKind::kString, 4}, {"NRLANBOLPAG", FieldKind::kString, 10},
                {"IDMARCADO", FieldKind::kString, 1}};
    p.rows.push_back({branch, entry, std::string("S")});
    CheckResultServ(net.Call("AtualizaBoleto", {Arg(p), Arg("001"), Arg("002"), Arg(remittance), Arg("00"),
                                                 Arg("B"), Arg("01")}));
  }

  TempDir dir;
  Store store{dir.File("store.db"), Store::Mode::kCreate};
  std::shared_ptr<RecordingTransport> transport = std::make_shared<RecordingTransport>(store);
  TNetConnection net{transport};
  SqliteLocalDatabase local{store};
  EmptyingLocalDatabase emptying{local};
  Session session;
  PickDialogs dialogs;
  RemessaData data;
  CallbackFilterView view;
  std::string company = "01";
  std::unique_ptr<FilterDialogs> filters;
  std::string refused_focus;
  bool refused_visible = false;
};

}  // namespace pag::test
