// The remittance screen on a real embedded server: a temporary store loaded
// with tests/data/remittance-screen.json, scripted dialogs, a fixed clock,
// and helpers that act like a clerk (new remittance, mark a slip, confirm).
// A FailingTransport in front of the server makes one call or the commit
// fail, to see what a failure leaves behind.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "host/errors.h"
#include "host/server/import.h"
#include "host/server/localdb.h"
#include "host/server/server.h"
#include "host/text.h"
#include "remittance/Cli_pag00100.h"

namespace pag::testing {

// Passes every call to the server, except the Nth call of one method (an
// error reply) or, when asked, the commit of the unit of work.
class FailingTransport : public Transport {
 public:
  explicit FailingTransport(Store& store) : inner_(store) {}
  std::string failMethod;
  int failOn = 1;
  bool failCommit = false;
  int calls = 0;

  void Connect() override { inner_.Connect(); }
  void Disconnect() override { inner_.Disconnect(); }
  bool Connected() const override { return inner_.Connected(); }
  Reply Call(const std::string& method, std::vector<Arg>& args) override {
    if (method == failMethod && ++calls == failOn) return Reply::Error("simulated failure of " + method);
    return inner_.Call(method, args);
  }
  void BeginWork() override { inner_.BeginWork(); }
  void CommitWork() override {
    if (failCommit) throw std::runtime_error("simulated failure of the commit");
    inner_.CommitWork();
  }
  void RollbackWork() noexcept override { inner_.RollbackWork(); }

 private:
  InProcessTransport inner_;
};

inline std::string E(int n) {
  std::string s = std::to_string(n);
  return std::string(10 - s.size(), '0') + s;
}

// A writer for the tests: a header with the remittance and file numbers,
// one line per marked slip of cdsBoletos, a trailer with the count.
inline void TestWriter(WriterContext& ctx) {
  TDataSet& b = ctx.d.cdsBoletos;
  ctx.out.write("H|" + ctx.d.cdsCNABPag.FieldByName("NRCNABPAG").AsString() + "|" +
                ctx.d.cdsCNABPag.FieldByName("NRSEQREMESSAPAG").AsString() + "|" + ctx.bankCode);
  int n = 0;
  for (b.First(); !b.Eof(); b.Next()) {
    if (b.FieldByName("IDMARCADO").AsString() != "S") continue;
    ctx.out.write("D|" + b.FieldByName("CDFILIBPAG").AsString() + "|" + b.FieldByName("NRLANBOLPAG").AsString() +
                  "|" + b.FieldByName("VRFINALBPAG").AsString());
    ctx.SlipWritten(b);
    ++n;
  }
  ctx.out.write("T|" + std::to_string(n));
}

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "pag-screen-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    store = std::make_unique<Store>((dir / "store.db").string(), Store::Mode::kCreate);
    ImportFile(*store, std::string(PAG_TEST_DATA) + "/remittance-screen.json");
    session.empresa = "01";
    session.filial = "0001";
    session.operador = "ANA";
    session.nome_operador = "ANA LIMA";
    session.clock.Fix(DateTime::Make(2026, 12, 6, 14, 30, 5));
    session.processing_dates["0001"] = MakeDate(2026, 12, 6);
  }

  void TearDown() override {
    screen.reset();
    net.reset();
    local.reset();
    transport.reset();
    store.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  // Opens the screen over the server (or over `t`), as the package does,
  // and leaves the company panel so the remittances are listed.
  void Open(std::shared_ptr<Transport> t = nullptr) {
    if (!t) t = std::make_shared<InProcessTransport>(*store);
    transport = t;
    net = std::make_unique<TNetConnection>(transport);
    local = std::make_unique<SqliteLocalDatabase>(*store);
    screen = std::make_unique<TfrmRemessaCNAB>(session, dlg, *net, *local);
    screen->FormCreate();
    screen->FocusControl(kCtlGrid);
  }

  FailingTransport& OpenFailing() {
    auto t = std::make_shared<FailingTransport>(*store);
    Open(t);
    return *t;
  }

  // A new remittance on an account (and branch), written to `file`, with
  // the slips page showing.
  void NewRemittance(const std::string& account, const std::string& branch = "", const std::string& file = "") {
    TfrmRemessaCNAB& s = *screen;
    if (s.d.cdsCNABPag.State() != DataSetState::kBrowse) s.sbtCancelarClick();
    s.sbtIncluirClick();
    s.FocusControl(kCtlAccount);
    s.TypeAccount(account);
    s.FocusControl(kCtlFile);
    s.TypeFile(file.empty() ? Out("rem.txt") : file);
    s.FocusControl(kCtlBranch);
    s.TypeBranch(branch);
    s.FocusControl(kCtlMovement);
    s.SelectPage(Page::kBoletos);
    s.FocusControl(kCtlGrid);
  }

  std::string Out(const std::string& name) const { return (dir / name).string(); }

  // Double-clicks the slip; false when the grid does not show it.
  void Toggle(int entry, const std::string& branch = "0001") {
    ASSERT_TRUE(screen->LocateSlip(branch, E(entry))) << "slip " << entry << " not offered";
    screen->dbgBoletosDblClick();
  }
  bool Marked(int entry, const std::string& branch = "0001") {
    return screen->LocateSlip(branch, E(entry)) && screen->d.cdsBoletos.FieldByName("IDMARCADO").AsString() == "S";
  }

  // Runs an action that must be refused: the key it ended with.
  std::string RefusalOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const Abort& a) {
      return a.key().empty() ? "(silent)" : a.key();
    }
    return "(accepted)";
  }

  std::string Msg(const std::string& key) const { return RemessaMessages().Msg(key); }

  // The store, read directly.
  std::int64_t Count(const std::string& sql) { return store->db().QueryInt(sql); }
  std::string SlipSituation(int entry, const std::string& branch = "0001") {
    sql::Stmt st(store->db(), "SELECT IDSITUCNABP || '/' || NRCNABPAGREM FROM BOLETOPAG WHERE CDFILIBPAG = ? AND NRLANBOLPAG = ?");
    st.Bind(1, branch).Bind(2, E(entry));
    return st.Step() ? st.Text(0) : std::string("(none)");
  }
  std::int64_t Counter(const std::string& name) {
    sql::Stmt st(store->db(), "SELECT VRCONTADOR FROM CONTADOR WHERE CDCONTADOR = ?");
    st.Bind(1, name);
    return st.Step() ? st.Int(0) : 0;
  }

  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  int FilesIn() const {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir))
      if (e.path().filename() != "store.db" && e.path().filename().string().rfind("store.db", 0) != 0) ++n;
    return n;
  }

  std::filesystem::path dir;
  std::unique_ptr<Store> store;
  std::shared_ptr<Transport> transport;
  std::unique_ptr<TNetConnection> net;
  std::unique_ptr<SqliteLocalDatabase> local;
  Session session;
  ScriptedDialogs dlg;
  std::unique_ptr<TfrmRemessaCNAB> screen;
};

}  // namespace pag::testing
