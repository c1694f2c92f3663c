// What the reliability tests share: a generated Banco do Brasil store copied
// fresh for every run, a clerk driving the remittance screen in this
// process, a transport and a sink that fail on the Nth step, the built
// `pag00100` run as a child process (with a file-size limit, or killed),
// and the judge that says, from the store and the folder alone, whether an
// interrupted remittance kept its promise:
//
//   nothing happened: the store as before (no remittance, no slip sent, no
//     counter moved, PRAGMA integrity_check "ok"), no file at the target (an
//     earlier file there unchanged), no temporary file left;
//   or it all happened: one new remittance with the next numbers, exactly
//     its slips sent, and its complete bank file at the target.
//
// A process killed with SIGKILL cannot remove its temporary file, so after
// a kill a ".NAME.XXXXXX.tmp" beside the target is allowed; if the kill
// fell between the store's commit and the rename, that temporary file must
// be the remittance's complete file (see docs/reliability.md).
//
//   TemplateStore t(40);                       // 40 slips, imported once
//   Judge judge(t.Facts());
//   fs::path db = t.CopyTo(run / "store.db");
//   ... interrupt a confirmation ...
//   Verdict v = judge(db, run / "out", target, earlier, Ending::kKilled);
//   EXPECT_TRUE(v.broken.empty()) << v;
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "host/connection.h"
#include "host/dialogs.h"
#include "host/server/localdb.h"
#include "host/server/schema.h"
#include "host/server/server.h"
#include "remittance/Cli_pag00100.h"
#include "writers/cnab/output_file.h"

namespace pag::reliability {

namespace fs = std::filesystem;

// A temporary folder, removed with its content.
class TempDir {
 public:
  explicit TempDir(const std::string& prefix = "pag-rel");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::string ReadAll(const fs::path& p);
void WriteAll(const fs::path& p, const std::string& content);

// What the store says about remittances, slips and counters.
struct StoreFacts {
  // "01/0000000002" -> account|sequence|count|total cents|path
  std::map<std::string, std::string> remittances;
  // "0001/0000000001" -> situation/remittance
  std::map<std::string, std::string> slips;
  std::map<std::string, std::int64_t> slipCents;
  std::map<std::string, std::int64_t> counters;
  // "01/0000000002 0001/0000000001 I"
  std::set<std::string> links;
};
// Opens the store as the program does and reads it; throws when it does
// not open or PRAGMA integrity_check is not "ok".
StoreFacts ReadFacts(const fs::path& db);

// A store of n generated slips (bench/remit_store.h) on the Banco do Brasil
// account 001 of company 01, made once and copied for each run.
class TemplateStore {
 public:
  explicit TemplateStore(int slips, const std::string& firstSupplierName = {});
  fs::path CopyTo(const fs::path& to) const;
  const StoreFacts& Facts() const { return facts_; }
  int slips() const { return slips_; }

 private:
  TempDir dir_;
  fs::path path_;
  int slips_;
  StoreFacts facts_;
};

enum class Ending {
  kReturned,  // the confirmation returned or threw; the process lives on
  kKilled,    // the process was killed: its temporary file may remain
};

enum class Outcome { kNothing, kCommitted, kCommittedFileInTemporary, kBroken };
const char* OutcomeName(Outcome o);

struct Verdict {
  Outcome outcome = Outcome::kBroken;
  std::vector<std::string> broken;  // every promise not kept, in words
  std::string remittance;           // "01/0000000001" when committed
};
std::ostream& operator<<(std::ostream& os, const Verdict& v);

// The problems of a Banco do Brasil file of a remittance: record width,
// printable ASCII and CR LF, the file sequence in the header, the record
// count in the file trailer, and one primary segment (A, J, N or O) per slip.
std::vector<std::string> BankFileProblems(const std::string& content, const std::string& sequence, int slips);

class Judge {
 public:
  explicit Judge(StoreFacts before, std::string company = "01", std::string account = "001")
      : before_(std::move(before)), company_(std::move(company)), account_(std::move(account)) {}
  // `folder` holds the target and nothing else of ours (the store lives
  // elsewhere); `earlier` is what was at the target before, if anything.
  Verdict operator()(const fs::path& db, const fs::path& folder, const fs::path& target,
                     const std::optional<std::string>& earlier, Ending ending) const;

 private:
  StoreFacts before_;
  std::string company_, account_;
};

// ---- In this process --------------------------------------------------------------

// A transport that counts the steps of the server (each call, BeginWork and
// CommitWork) once armed, and fails step N: an error reply or a thrown
// fault for a call, a thrown fault for BeginWork and CommitWork.
class FaultyTransport : public Transport {
 public:
  enum class Mode { kErrorReply, kThrow };
  struct TransportFault : std::runtime_error {
    using std::runtime_error::runtime_error;
  };

  explicit FaultyTransport(Store& store) : inner_(store) {}
  void Arm(int failAt, Mode mode) {
    steps_.clear();
    armed_ = true;
    fail_at_ = failAt;
    mode_ = mode;
  }
  void Disarm() { armed_ = false; }
  // The steps seen since Arm ("GetEmprBanc", "BeginWork", ...).
  const std::vector<std::string>& steps() const { return steps_; }
  bool fired() const { return fired_; }

  void Connect() override { inner_.Connect(); }
  void Disconnect() override { inner_.Disconnect(); }
  bool Connected() const override { return inner_.Connected(); }
  Reply Call(const std::string& method, std::vector<Arg>& args) override;
  void BeginWork() override;
  void CommitWork() override;
  void RollbackWork() noexcept override { inner_.RollbackWork(); }

 private:
  bool Step(const std::string& name);  // true: fail this one

  InProcessTransport inner_;
  bool armed_ = false;
  bool fired_ = false;
  int fail_at_ = 0;
  Mode mode_ = Mode::kErrorReply;
  std::vector<std::string> steps_;
};

// A sink in front of the writer's own that fails at record N with one kind
// of fault.
class FaultySink : public RecordSink {
 public:
  enum class Kind { kFieldError, kOutputFileError, kAbort, kRuntimeError };
  FaultySink(RecordSink& inner, Dialogs& dialogs, int failAt, Kind kind)
      : inner_(inner), dialogs_(dialogs), fail_at_(failAt), kind_(kind) {}
  int seen() const { return seen_; }

 private:
  void append(std::string_view bytes) override;
  RecordSink& inner_;
  Dialogs& dialogs_;
  int fail_at_;
  Kind kind_;
  int seen_ = 0;
};

// The remittance screen over a store, driven as a clerk drives it.
class Clerk {
 public:
  explicit Clerk(const fs::path& db);
  ~Clerk();
  Clerk(const Clerk&) = delete;
  Clerk& operator=(const Clerk&) = delete;

  // A new remittance on the Banco do Brasil account, written to `out`,
  // every slip offered marked.
  void NewRemittanceAllMarked(const std::string& out);
  // Confirms; the answer to "the file exists, replace it?" is yes.
  void Confirm();

  TfrmRemessaCNAB& screen() { return *screen_; }
  FaultyTransport& transport() { return *transport_; }
  ScriptedDialogs& dialogs() { return dialogs_; }
  int Marked() const { return screen_->d.klBoletos.Count(); }

 private:
  Store store_;
  SqliteLocalDatabase local_;
  std::shared_ptr<FaultyTransport> transport_;
  TNetConnection net_;
  Session session_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<TfrmRemessaCNAB> screen_;
};

// ---- The command line as a child process ---------------------------------------------

struct ChildRun {
  std::vector<std::string> args;  // after the program name
  fs::path stdoutFile, stderrFile;
  std::optional<long> fileSizeLimit;                     // RLIMIT_FSIZE, bytes
  std::optional<std::chrono::microseconds> killAfter;    // SIGKILL after this long
};

struct ChildResult {
  int exitCode = -1;  // -1 when ended by a signal
  int signal = 0;
  double seconds = 0;
  std::string out, err;
  bool Crashed() const;  // a signal we did not send, or a sanitizer's report
};

// Runs the built pag00100 (PAG_CLI) and waits for it.
ChildResult RunCli(const ChildRun& run);
// Starts it without waiting; Wait collects it.
pid_t StartCli(const ChildRun& run);
ChildResult WaitCli(pid_t pid, const ChildRun& run, std::chrono::steady_clock::time_point started);

// The arguments of `pag00100 remit` on the generated store, every slip or
// the ones named ("0001:0000000042").
std::vector<std::string> RemitArgs(const fs::path& db, const fs::path& out, const std::vector<std::string>& slips = {});

// The seed of the randomized runs: PAG_RELIABILITY_SEED, or a fixed one.
std::uint32_t Seed();

}  // namespace pag::reliability
