#include "harness.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "bench/remit_store.h"
#include "host/errors.h"
#include "host/server/import.h"
#include "host/server/sqlite.h"
#include "writers/cnab/invariants.h"

namespace pag::reliability {

// ---- Files --------------------------------------------------------------------------

TempDir::TempDir(const std::string& prefix) {
  std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteAll(const fs::path& p, const std::string& content) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + p.string());
}

// ---- The store -----------------------------------------------------------------------

StoreFacts ReadFacts(const fs::path& db) {
  Store store(db.string(), Store::Mode::kOpenExisting);
  sql::Db& h = store.db();
  {
    sql::Stmt check(h, "PRAGMA integrity_check");
    std::string result;
    while (check.Step()) result += (result.empty() ? "" : "; ") + check.Text(0);
    if (result != "ok") throw std::runtime_error("PRAGMA integrity_check: " + result);
  }
  StoreFacts f;
  {
    sql::Stmt st(h,
                 "SELECT CDEMPRESA, NRCNABPAG, CDREDUCONT, NRSEQREMESSAPAG, QTBOLCNABPAG, VRTOTALCNABPAG, "
                 "DSARQCNABPAG FROM CNABPAG");
    while (st.Step())
      f.remittances[st.Text(0) + "/" + st.Text(1)] =
          st.Text(2) + "|" + st.Text(3) + "|" + st.Text(4) + "|" + st.Text(5) + "|" + st.Text(6);
  }
  {
    sql::Stmt st(h, "SELECT CDFILIBPAG, NRLANBOLPAG, IDSITUCNABP, NRCNABPAGREM, VRFINALBPAG FROM BOLETOPAG");
    while (st.Step()) {
      const std::string key = st.Text(0) + "/" + st.Text(1);
      f.slips[key] = st.Text(2) + "/" + st.Text(3);
      f.slipCents[key] = st.Int(4);
    }
  }
  {
    sql::Stmt st(h, "SELECT CDCONTADOR, VRCONTADOR FROM CONTADOR");
    while (st.Step()) f.counters[st.Text(0)] = st.Int(1);
  }
  {
    sql::Stmt st(h, "SELECT CDEMPRESA, NRCNABPAG, CDFILIBPAG, NRLANBOLPAG, IDOPECNABPAG FROM CNABPAGBOL");
    while (st.Step())
      f.links.insert(st.Text(0) + "/" + st.Text(1) + " " + st.Text(2) + "/" + st.Text(3) + " " + st.Text(4));
  }
  return f;
}

TemplateStore::TemplateStore(int slips, const std::string& firstSupplierName)
    : dir_("pag-rel-template"), path_(dir_.path() / "template.db"), slips_(slips) {
  {
    Store store(path_.string(), Store::Mode::kCreate);
    ImportJson(store, bench::RemitStoreJson(slips, slips < 50 ? slips : 50, firstSupplierName));
  }
  facts_ = ReadFacts(path_);
  if (fs::exists(path_.string() + "-wal")) throw std::runtime_error("the template store kept its WAL file");
}

fs::path TemplateStore::CopyTo(const fs::path& to) const {
  for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(to.string() + suffix);
  fs::copy_file(path_, to);
  return to;
}

// ---- The judge ------------------------------------------------------------------------

const char* OutcomeName(Outcome o) {
  switch (o) {
    case Outcome::kNothing: return "nothing kept";
    case Outcome::kCommitted: return "committed";
    case Outcome::kCommittedFileInTemporary: return "committed, file in its temporary";
    case Outcome::kBroken: return "BROKEN";
  }
  return "?";
}

std::ostream& operator<<(std::ostream& os, const Verdict& v) {
  os << OutcomeName(v.outcome);
  if (!v.remittance.empty()) os << " (remittance " << v.remittance << ")";
  for (const std::string& b : v.broken) os << "\n  - " << b;
  return os;
}

namespace {

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : s) {
    if (c == sep) {
      out.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  out.push_back(cur);
  return out;
}

std::string Last6(const std::string& digits) {
  const std::string six = "000000" + digits;
  return six.substr(six.size() - 6);
}

template <typename Map>
std::string Differences(const Map& before, const Map& after) {
  std::ostringstream os;
  int shown = 0;
  for (const auto& [k, v] : after) {
    auto it = before.find(k);
    if (it == before.end() || it->second != v) {
      if (shown++ < 3) os << " " << k << "=" << v;
    }
  }
  for (const auto& [k, v] : before)
    if (!after.count(k) && shown++ < 3) os << " " << k << " gone";
  return os.str();
}

}  // namespace

std::vector<std::string> BankFileProblems(const std::string& content, const std::string& sequence, int slips) {
  std::vector<std::string> out;
  for (const FileProblem& p : CheckRecords(content, 240)) out.push_back("bank file: " + Describe(p));
  if (!out.empty()) return out;
  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at < content.size();) {
    const std::size_t end = content.find("\r\n", at);
    lines.push_back(std::string_view(content).substr(at, end - at));
    at = end + 2;
  }
  if (lines.size() < 4) return {"bank file: only " + std::to_string(lines.size()) + " records"};
  const std::string_view header = lines.front(), trailer = lines.back();
  if (header[7] != '0') out.push_back("bank file: the first record is not a file header");
  if (header.substr(157, 6) != Last6(sequence))
    out.push_back("bank file: the header carries file sequence " + std::string(header.substr(157, 6)) +
                  ", the store " + sequence);
  if (trailer[7] != '9') out.push_back("bank file: the last record is not a file trailer");
  if (std::stoul(std::string(trailer.substr(23, 6))) != lines.size())
    out.push_back("bank file: the trailer counts " + std::string(trailer.substr(23, 6)) + " records, the file has " +
                  std::to_string(lines.size()));
  int primary = 0;
  for (std::string_view l : lines) {
    if (l[7] != '3') continue;
    const bool j52 = l[13] == 'J' && l[14] == ' ' && l.substr(17, 2) == "52";
    if (!j52 && (l[13] == 'A' || l[13] == 'J' || l[13] == 'N' || l[13] == 'O')) ++primary;
  }
  if (primary != slips)
    out.push_back("bank file: " + std::to_string(primary) + " slips written, " + std::to_string(slips) + " saved");
  return out;
}

Verdict Judge::operator()(const fs::path& db, const fs::path& folder, const fs::path& target,
                          const std::optional<std::string>& earlier, Ending ending) const {
  Verdict v;
  auto broke = [&](std::string s) { v.broken.push_back(std::move(s)); };
  StoreFacts after;
  try {
    after = ReadFacts(db);
  } catch (const std::exception& e) {
    broke(std::string("the store does not open cleanly: ") + e.what());
    return v;
  }

  // The folder: the target, temporary files of the target, nothing else.
  const std::string name = target.filename().string();
  std::vector<fs::path> temps;
  std::error_code ec;
  const bool targetThere = fs::is_regular_file(target, ec);
  if (!folder.empty()) {
    for (const auto& e : fs::directory_iterator(folder)) {
      const std::string n = e.path().filename().string();
      if (n == name) continue;
      if (n.size() > name.size() + 5 && n.rfind("." + name + ".", 0) == 0 && n.ends_with(".tmp")) {
        temps.push_back(e.path());
      } else {
        broke("an unexpected file was left beside the target: " + n);
      }
    }
  }
  const std::string content = targetThere ? ReadAll(target) : std::string();
  const bool targetAsBefore = earlier ? (targetThere && content == *earlier) : !fs::exists(target, ec);

  for (const auto& [k, r] : before_.remittances) {
    auto it = after.remittances.find(k);
    if (it == after.remittances.end()) {
      broke("remittance " + k + " disappeared");
    } else if (it->second != r) {
      broke("remittance " + k + " changed: " + it->second);
    }
  }
  std::vector<std::string> added;
  for (const auto& [k, r] : after.remittances)
    if (!before_.remittances.count(k)) added.push_back(k);

  if (added.empty()) {
    v.outcome = Outcome::kNothing;
    if (after.slips != before_.slips)
      broke("slips changed although no remittance was saved:" + Differences(before_.slips, after.slips));
    if (after.counters != before_.counters)
      broke("counters moved although no remittance was saved:" + Differences(before_.counters, after.counters));
    if (after.links != before_.links) broke("slips were linked to a remittance that was not saved");
    if (!targetAsBefore)
      broke(earlier ? "the earlier file at the target was changed" : "a file was left at the target");
    if (ending != Ending::kKilled)
      for (const fs::path& t : temps) broke("a temporary file was left behind: " + t.filename().string());
  } else if (added.size() > 1) {
    broke(std::to_string(added.size()) + " remittances were saved by one confirmation");
  } else {
    const std::string key = added.front();
    v.remittance = key;
    const std::vector<std::string> r = Split(after.remittances.at(key), '|');  // account|seq|count|cents|path
    const std::string number = key.substr(key.find('/') + 1);
    const std::string& sequence = r.at(1);
    const int count = std::stoi(r.at(2));
    const std::int64_t cents = std::stoll(r.at(3));
    if (r.at(0) != account_) broke("remittance " + key + " is of account " + r.at(0));
    if (fs::path(r.at(4)) != target) broke("remittance " + key + " names the file " + r.at(4));

    // The numbers: each counter moved by one, to the numbers the remittance got.
    auto counter = [](const StoreFacts& f, const std::string& c) {
      auto it = f.counters.find(c);
      return it == f.counters.end() ? std::int64_t{0} : it->second;
    };
    const std::string remCounter = "CNABPAG" + company_, seqCounter = "REMESSAPAG" + account_;
    if (counter(after, remCounter) != counter(before_, remCounter) + 1 || counter(after, remCounter) != std::stoll(number))
      broke("counter " + remCounter + " is " + std::to_string(counter(after, remCounter)) + " for remittance " + number);
    if (counter(after, seqCounter) != counter(before_, seqCounter) + 1 || counter(after, seqCounter) != std::stoll(sequence))
      broke("counter " + seqCounter + " is " + std::to_string(counter(after, seqCounter)) + " for sequence " + sequence);
    for (const auto& [c, n] : after.counters)
      if (c != remCounter && c != seqCounter && counter(before_, c) != n) broke("counter " + c + " moved");

    // The slips: exactly the remittance's ones sent, in it.
    std::set<std::string> linked;
    for (const std::string& l : after.links) {
      if (before_.links.count(l)) continue;
      const std::vector<std::string> parts = Split(l, ' ');
      if (parts.at(0) != key || parts.at(2) != "I") {
        broke("an unexpected slip link: " + l);
        continue;
      }
      linked.insert(parts.at(1));
    }
    for (const std::string& l : before_.links)
      if (!after.links.count(l)) broke("a slip link disappeared: " + l);
    std::int64_t sum = 0;
    for (const auto& [slip, state] : after.slips) {
      const bool in = linked.count(slip) != 0;
      if (in) {
        sum += after.slipCents.at(slip);
        if (state != "10/" + number) broke("slip " + slip + " of remittance " + key + " is " + state);
      } else if (before_.slips.count(slip) && before_.slips.at(slip) != state) {
        broke("slip " + slip + " changed to " + state + " outside remittance " + key);
      }
    }
    if (linked.empty()) broke("remittance " + key + " has no slip");
    if (static_cast<std::size_t>(count) != linked.size())
      broke("remittance " + key + " counts " + std::to_string(count) + " slips, " + std::to_string(linked.size()) +
            " are in it");
    if (cents != sum) broke("remittance " + key + " totals " + std::to_string(cents) + " cents, its slips " +
                            std::to_string(sum));

    // The file: complete at the target; after a kill between the commit
    // and the rename, complete in its temporary file.
    if (targetThere && !(earlier && content == *earlier)) {
      v.outcome = Outcome::kCommitted;
      for (std::string& p : BankFileProblems(content, sequence, count)) broke(std::move(p));
      if (ending != Ending::kKilled)
        for (const fs::path& t : temps) broke("a temporary file was left behind: " + t.filename().string());
    } else if (ending == Ending::kKilled) {
      v.outcome = Outcome::kCommittedFileInTemporary;
      if (!targetAsBefore) broke("the target holds neither the earlier file nor the new one");
      bool complete = false;
      for (const fs::path& t : temps) complete = complete || BankFileProblems(ReadAll(t), sequence, count).empty();
      if (!complete)
        broke("killed after the store committed remittance " + key +
              ", and its complete file is neither at the target nor in a temporary file");
    } else {
      broke("remittance " + key + " was saved and its slips marked as sent, but its file is not at the target");
    }
  }
  if (!v.broken.empty()) v.outcome = Outcome::kBroken;
  return v;
}

// ---- In this process --------------------------------------------------------------

bool FaultyTransport::Step(const std::string& name) {
  if (!armed_) return false;
  steps_.push_back(name);
  if (static_cast<int>(steps_.size()) != fail_at_) return false;
  fired_ = true;
  return true;
}

Reply FaultyTransport::Call(const std::string& method, std::vector<Arg>& args) {
  if (Step(method)) {
    if (mode_ == Mode::kErrorReply) return Reply::Error("simulated failure of " + method);
    throw TransportFault("the connection to the server was lost during " + method + " (simulated)");
  }
  return inner_.Call(method, args);
}

void FaultyTransport::BeginWork() {
  if (Step("BeginWork")) throw TransportFault("the server could not begin the unit of work (simulated)");
  inner_.BeginWork();
}

void FaultyTransport::CommitWork() {
  if (Step("CommitWork")) throw TransportFault("the server could not commit (simulated)");
  inner_.CommitWork();
}

void FaultySink::append(std::string_view bytes) {
  if (bytes == "\r\n") return;  // the inner sink ends each record itself
  if (++seen_ == fail_at_) {
    const std::string where = "record " + std::to_string(seen_) + " (simulated)";
    switch (kind_) {
      case Kind::kFieldError: throw FieldError("a value does not fit its field at " + where);
      case Kind::kOutputFileError: throw OutputFileError("cannot write: No space left on device at " + where);
      case Kind::kAbort: MensErro(dialogs_, "the writer refused a slip at " + where, true, "SIMULADO"); break;
      case Kind::kRuntimeError: throw std::runtime_error("the writer failed at " + where);
    }
  }
  inner_.write(bytes);
}

Clerk::Clerk(const fs::path& db)
    : store_(db.string(), Store::Mode::kOpenExisting),
      local_(store_),
      transport_(std::make_shared<FaultyTransport>(store_)),
      net_(transport_) {
  session_.empresa = "01";
  session_.filial = "0001";
  session_.operador = "ANA";
  session_.nome_operador = "ANA LIMA";
  session_.clock.Fix(DateTime::Make(2026, 12, 6, 14, 30, 5));
  session_.processing_dates["0001"] = MakeDate(2026, 12, 6);
  screen_ = std::make_unique<TfrmRemessaCNAB>(session_, dialogs_, net_, local_);
  screen_->FormCreate();
  screen_->FocusControl(kCtlGrid);
}

Clerk::~Clerk() { screen_.reset(); }

void Clerk::NewRemittanceAllMarked(const std::string& out) {
  TfrmRemessaCNAB& s = *screen_;
  s.sbtIncluirClick();
  s.FocusControl(kCtlAccount);
  s.TypeAccount("001");
  s.FocusControl(kCtlFile);
  s.TypeFile(out);
  s.FocusControl(kCtlBranch);
  s.FocusControl(kCtlMovement);
  s.SelectPage(Page::kBoletos);
  s.FocusControl(kCtlGrid);
  dialogs_.answers = {kMrYes};
  s.dbgBoletosTitleClick(kMarkColumn);
}

void Clerk::Confirm() {
  dialogs_.answers = {kMrYes};
  screen_->sbtConfirmarClick();
}

// ---- The command line ------------------------------------------------------------------

bool ChildResult::Crashed() const {
  return (signal != 0 && signal != SIGKILL) || exitCode > 2 ||
         err.find("AddressSanitizer") != std::string::npos || err.find("LeakSanitizer") != std::string::npos ||
         err.find("runtime error:") != std::string::npos;
}

pid_t StartCli(const ChildRun& run) {
  std::vector<std::string> words{PAG_CLI};
  words.insert(words.end(), run.args.begin(), run.args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const std::string out = run.stdoutFile.string(), err = run.stderrFile.string();
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (o < 0 || e < 0) ::_exit(126);
    ::dup2(o, 1);
    ::dup2(e, 2);
    if (run.fileSizeLimit) {
      // Writing past the limit then fails with EFBIG, as on a full disk.
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{static_cast<rlim_t>(*run.fileSizeLimit), static_cast<rlim_t>(*run.fileSizeLimit)};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  return pid;
}

ChildResult WaitCli(pid_t pid, const ChildRun& run, std::chrono::steady_clock::time_point started) {
  ChildResult r;
  bool killed = false;
  if (run.killAfter) {
    std::this_thread::sleep_until(started + *run.killAfter);
    killed = ::kill(pid, SIGKILL) == 0;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error("waitpid failed");
  }
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
  if (r.signal == SIGKILL && !killed) r.signal = -SIGKILL;  // not ours: a crash
  r.out = ReadAll(run.stdoutFile);
  r.err = ReadAll(run.stderrFile);
  return r;
}

ChildResult RunCli(const ChildRun& run) {
  const auto started = std::chrono::steady_clock::now();
  return WaitCli(StartCli(run), run, started);
}

std::vector<std::string> RemitArgs(const fs::path& db, const fs::path& out, const std::vector<std::string>& slips) {
  std::vector<std::string> a{"remit",  "--db",   db.string(),  "--company", "01",      "--account",
                             "001",    "--out",  out.string(), "--date",    "2026-12-06", "--clock",
                             "2026-12-06T14:30:05", "--yes"};
  if (slips.empty()) {
    a.insert(a.end(), {"--slips", "all"});
  } else {
    for (const std::string& s : slips) a.insert(a.end(), {"--slip", s});
  }
  return a;
}

std::uint32_t Seed() {
  if (const char* s = std::getenv("PAG_RELIABILITY_SEED")) return static_cast<std::uint32_t>(std::stoul(s));
  return 20261206u;
}

}  // namespace pag::reliability
