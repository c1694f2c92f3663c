// A remittance confirmation interrupted at every step where it can fail:
// each server step (every call, the start and the commit of the unit of
// work; an error reply or a lost connection), the bank writer stopped at
// every record with each kind of fault, a folder that cannot be written, and
// a full disk under `pag00100 remit` (a child process with a file-size
// limit). After each, the judge of harness.h reads the store and the folder:
// nothing kept, or everything. After a failure the same screen confirms
// again once the fault is gone, and must then send every slip it had marked.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "harness.h"
#include "writers/Cli_pag00114.h"

namespace pag::reliability {
namespace {

constexpr int kSlips = 24;

class Interrupted : public ::testing::Test {
 public:
  static void SetUpTestSuite() { tmpl_ = new TemplateStore(kSlips); }
  static void TearDownTestSuite() {
    delete tmpl_;
    tmpl_ = nullptr;
  }

  // A fresh store and an empty output folder for one run.
  struct Run {
    fs::path db, folder, target;
    std::optional<std::string> earlier;
  };
  Run NewRun(const std::string& name, bool withEarlierFile) {
    Run r;
    const fs::path base = dir_.path() / name;
    fs::create_directories(base / "out");
    r.db = tmpl_->CopyTo(base / "store.db");
    r.folder = base / "out";
    r.target = r.folder / "rem.txt";
    if (withEarlierFile) {
      r.earlier = "AN EARLIER FILE\r\n";
      WriteAll(r.target, *r.earlier);
    }
    return r;
  }
  Verdict JudgeRun(const Run& r, Ending ending = Ending::kReturned) const {
    return Judge(tmpl_->Facts())(r.db, r.folder, r.target, r.earlier, ending);
  }

  static TemplateStore* tmpl_;
  TempDir dir_;
};

TemplateStore* Interrupted::tmpl_ = nullptr;

// The server steps of one confirmation, as the screen makes them.
std::vector<std::string> ConfirmationSteps(const Interrupted::Run& r) {
  Clerk c(r.db);
  c.NewRemittanceAllMarked(r.target.string());
  c.transport().Arm(0, FaultyTransport::Mode::kErrorReply);
  c.Confirm();
  return c.transport().steps();
}

TEST_F(Interrupted, AtEveryServerStep) {
  const std::vector<std::string> steps = ConfirmationSteps(NewRun("steps", false));
  for (const char* must : {"BeginWork", "ProximoCodigo", "PrxCodigoRemessaPag", "SetCNABPag", "AtualizaBoleto",
                           "CommitWork"})
    ASSERT_NE(std::find(steps.begin(), steps.end(), must), steps.end()) << must;
  const auto commit = static_cast<int>(std::find(steps.begin(), steps.end(), "CommitWork") - steps.begin()) + 1;

  int runs = 0;
  for (auto mode : {FaultyTransport::Mode::kErrorReply, FaultyTransport::Mode::kThrow}) {
    for (int n = 1; n <= static_cast<int>(steps.size()); ++n) {
      const std::string what = steps[n - 1] + " (step " + std::to_string(n) + ", " +
                               (mode == FaultyTransport::Mode::kThrow ? "lost connection" : "error reply") + ")";
      SCOPED_TRACE(what);
      const Run r = NewRun("s" + std::to_string(++runs), n % 2 == 0);
      Clerk c(r.db);
      c.NewRemittanceAllMarked(r.target.string());
      const int marked = c.Marked();
      ASSERT_EQ(marked, kSlips);
      c.transport().Arm(n, mode);
      bool threw = false;
      try {
        c.Confirm();
      } catch (const std::exception&) {
        threw = true;
      }
      ASSERT_TRUE(c.transport().fired());
      const Verdict v = JudgeRun(r);
      EXPECT_TRUE(v.broken.empty()) << v;
      if (n > commit) {
        // Past the commit the remittance is made; the fault is only shown.
        EXPECT_EQ(v.outcome, Outcome::kCommitted) << v;
        EXPECT_FALSE(threw);
        continue;
      }
      EXPECT_EQ(v.outcome, Outcome::kNothing) << v;
      EXPECT_TRUE(threw);
      // The clerk confirms again: every slip still marked goes out.
      c.transport().Disarm();
      EXPECT_EQ(c.Marked(), marked);
      c.Confirm();
      const Verdict again = JudgeRun(r);
      EXPECT_EQ(again.outcome, Outcome::kCommitted) << again;
      ASSERT_TRUE(c.screen().LastConfirmation().has_value());
      EXPECT_EQ(c.screen().LastConfirmation()->slips, marked);
      EXPECT_EQ(c.screen().LastConfirmation()->number, "0000000001");
      EXPECT_EQ(c.screen().LastConfirmation()->sequence, "0000000001");
    }
  }
  std::cout << "[ reliability ] " << runs << " confirmations failed at a server step, " << steps.size()
            << " steps each way\n";
}

TEST_F(Interrupted, WhenTheWriterStopsAtEveryRecord) {
  int records = 0;
  {
    const Run r = NewRun("count", false);
    Clerk c(r.db);
    c.NewRemittanceAllMarked(r.target.string());
    c.Confirm();
    const std::string file = ReadAll(r.target);
    records = static_cast<int>(std::count(file.begin(), file.end(), '\n'));
  }
  ASSERT_GT(records, kSlips);
  const FaultySink::Kind kinds[] = {FaultySink::Kind::kFieldError, FaultySink::Kind::kOutputFileError,
                                    FaultySink::Kind::kAbort, FaultySink::Kind::kRuntimeError};
  for (int k = 1; k <= records; ++k) {
    SCOPED_TRACE("record " + std::to_string(k));
    const Run r = NewRun("w" + std::to_string(k), k % 3 == 0);
    Clerk c(r.db);
    int failAt = k;
    const FaultySink::Kind kind = kinds[k % 4];
    c.screen().SetWriterOverride("Remessa_BcoBrasil", [&](WriterContext& ctx) {
      FaultySink sink(ctx.out, ctx.dialogs, failAt, kind);
      WriterContext inner{ctx.d,         ctx.net,        ctx.localdb,  ctx.session,        ctx.dialogs, sink,
                          ctx.companyCode, ctx.accountCode, ctx.bankCode, ctx.tpRemessaIndex, {}};
      Remessa_BcoBrasil(inner);
      ctx.written = std::move(inner.written);
    });
    c.NewRemittanceAllMarked(r.target.string());
    EXPECT_ANY_THROW(c.Confirm());
    const Verdict v = JudgeRun(r);
    EXPECT_EQ(v.outcome, Outcome::kNothing) << v;
    // Mended, the same remittance goes out whole.
    failAt = 0;
    c.Confirm();
    const Verdict again = JudgeRun(r);
    EXPECT_EQ(again.outcome, Outcome::kCommitted) << again;
    ASSERT_TRUE(c.screen().LastConfirmation().has_value());
    EXPECT_EQ(c.screen().LastConfirmation()->slips, kSlips);
  }
}

TEST_F(Interrupted, WhenTheFolderCannotBeWritten) {
  int runs = 0;
  auto check = [&](const std::string& target, const fs::path& folder) {
    SCOPED_TRACE(target);
    const Run base = NewRun("f" + std::to_string(++runs), false);
    Run r = base;
    r.target = target;
    r.folder = folder;
    Clerk c(r.db);
    bool threw = false;
    try {
      c.NewRemittanceAllMarked(target);
      c.Confirm();
    } catch (const std::exception&) {
      threw = true;
    }
    EXPECT_TRUE(threw);
    const Verdict v = JudgeRun(r);
    EXPECT_EQ(v.outcome, Outcome::kNothing) << v;
  };
  // A folder of the kernel, where no file can be created (also as root).
  check("/proc/pag-remessa.txt", {});
  check("/proc/self/pag-remessa.txt", {});
  // A file where a folder is expected.
  const fs::path file = dir_.path() / "a-file";
  WriteAll(file, "not a folder\n");
  check((file / "rem.txt").string(), {});
  // A folder that does not exist.
  check((dir_.path() / "missing" / "rem.txt").string(), dir_.path() / "f3" / "out");
}

// `pag00100 remit` with a file-size limit: every write past the limit fails
// with EFBIG, as on a full disk, wherever it falls (the bank file, the
// store's journal). Limits are swept from below the store's shared-memory
// file to above the bank file.
TEST_F(Interrupted, WhenTheDiskIsFull) {
  TemplateStore big(300);
  TempDir dir("pag-rel-full");
  Judge judge(big.Facts());
  std::size_t fileSize = 0;
  {
    const fs::path base = dir.path() / "clean";
    fs::create_directories(base / "out");
    const ChildResult c = RunCli({RemitArgs(big.CopyTo(base / "store.db"), base / "out" / "rem.txt"),
                                  base / "stdout", base / "stderr", std::nullopt, std::nullopt});
    ASSERT_EQ(c.exitCode, 0) << c.err;
    fileSize = fs::file_size(base / "out" / "rem.txt");
  }
  int runs = 0, fileFailures = 0, committed = 0;
  for (long limit = 8 * 1024; limit < static_cast<long>(fileSize) + 64 * 1024; limit += 12 * 1024 + 1) {
    SCOPED_TRACE("limit " + std::to_string(limit));
    const fs::path base = dir.path() / ("l" + std::to_string(++runs));
    fs::create_directories(base / "out");
    const fs::path db = big.CopyTo(base / "store.db"), target = base / "out" / "rem.txt";
    const ChildResult c = RunCli({RemitArgs(db, target), base / "stdout", base / "stderr", limit, std::nullopt});
    EXPECT_FALSE(c.Crashed()) << c.err;
    const Verdict v = judge(db, base / "out", target, std::nullopt, Ending::kReturned);
    EXPECT_TRUE(v.broken.empty()) << v << "\n" << c.err;
    if (v.outcome == Outcome::kCommitted) {
      ++committed;
      EXPECT_EQ(c.exitCode, 0) << c.err;
    } else {
      EXPECT_NE(c.exitCode, 0);
      EXPECT_FALSE(c.err.empty());
    }
    if (c.err.find("File too large") != std::string::npos && c.err.find("rem.txt") != std::string::npos) ++fileFailures;
  }
  EXPECT_GT(fileFailures, 0) << "no limit made the bank file fail";
  EXPECT_GT(committed, 0) << "no limit let the remittance through";
  std::cout << "[ reliability ] " << runs << " remittances under a file-size limit: " << fileFailures
            << " stopped writing the bank file, " << committed << " went through\n";
}

}  // namespace
}  // namespace pag::reliability
