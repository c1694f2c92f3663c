// More than a hundred interrupted remittances, chosen by a seeded random
// generator (PAG_RELIABILITY_SEED to replay another run): in this process a
// server step failing, the writer stopping at a record, or a folder that
// cannot be written; as `pag00100 remit` child processes a full disk (a
// file-size limit) or SIGKILL at a random moment of the run. Each is judged
// from the store and the folder (harness.h); the test prints how many ran
// and how many broke a promise, which must be none.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>

#include "harness.h"
#include "writers/Cli_pag00114.h"

namespace pag::reliability {
namespace {

constexpr int kInProcess = 50;
constexpr int kKilled = 40;
constexpr int kDiskFull = 16;

TEST(Randomized, AHundredInterruptionsKeepEveryPromise) {
  const std::uint32_t seed = Seed();
  std::mt19937 rng(seed);
  auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

  TemplateStore small(24);
  TemplateStore big(300);
  TempDir dir("pag-rel-random");
  int runs = 0, broken = 0;
  std::map<std::string, int> outcomes, kinds;

  auto record = [&](const std::string& kind, const Verdict& v, const std::string& what) {
    ++runs;
    ++kinds[kind];
    ++outcomes[OutcomeName(v.outcome)];
    if (!v.broken.empty()) {
      ++broken;
      ADD_FAILURE() << kind << " (" << what << ", seed " << seed << "): " << v;
    }
  };
  auto newRun = [&](const TemplateStore& t, bool earlier, fs::path& db, fs::path& folder, fs::path& target,
                    std::optional<std::string>& earlierContent) {
    const fs::path base = dir.path() / ("r" + std::to_string(runs + 1));
    fs::create_directories(base / "out");
    db = t.CopyTo(base / "store.db");
    folder = base / "out";
    target = folder / "rem.txt";
    earlierContent.reset();
    if (earlier) {
      earlierContent = "AN EARLIER FILE\r\n";
      WriteAll(target, *earlierContent);
    }
    return base;
  };

  // The server steps of a clean confirmation, and its records.
  std::vector<std::string> steps;
  int records = 0;
  {
    fs::path db, folder, target;
    std::optional<std::string> earlier;
    newRun(small, false, db, folder, target, earlier);
    Clerk c(db);
    c.NewRemittanceAllMarked(target.string());
    c.transport().Arm(0, FaultyTransport::Mode::kErrorReply);
    c.Confirm();
    steps = c.transport().steps();
    const std::string file = ReadAll(target);
    records = static_cast<int>(std::count(file.begin(), file.end(), '\n'));
    fs::remove_all(folder.parent_path());
  }
  ASSERT_FALSE(steps.empty());

  // In this process.
  const Judge judgeSmall(small.Facts());
  for (int i = 0; i < kInProcess; ++i) {
    fs::path db, folder, target;
    std::optional<std::string> earlier;
    const fs::path base = newRun(small, uniform(0, 1) == 1, db, folder, target, earlier);
    std::string what;
    const int kind = uniform(0, 2);
    {
      Clerk c(db);
      int failAt = 0;
      auto faultKind = static_cast<FaultySink::Kind>(uniform(0, 3));
      if (kind == 1) {
        failAt = uniform(1, records);
        what = "record " + std::to_string(failAt);
        c.screen().SetWriterOverride("Remessa_BcoBrasil", [&](WriterContext& ctx) {
          FaultySink sink(ctx.out, ctx.dialogs, failAt, faultKind);
          WriterContext inner{ctx.d,           ctx.net,         ctx.localdb,  ctx.session,        ctx.dialogs, sink,
                              ctx.companyCode, ctx.accountCode, ctx.bankCode, ctx.tpRemessaIndex, {}};
          Remessa_BcoBrasil(inner);
          ctx.written = std::move(inner.written);
        });
      }
      if (kind == 2) {
        static const char* kBad[] = {"/proc/pag-remessa.txt", "/proc/self/pag-remessa.txt"};
        target = uniform(0, 1) ? fs::path(kBad[uniform(0, 1)]) : base / "a-file" / "rem.txt";
        WriteAll(base / "a-file", "not a folder\n");
        folder.clear();
        earlier.reset();
        what = target.string();
      }
      try {
        c.NewRemittanceAllMarked(target.string());
        if (kind == 0) {
          const int n = uniform(1, static_cast<int>(steps.size()));
          const auto mode = uniform(0, 1) ? FaultyTransport::Mode::kThrow : FaultyTransport::Mode::kErrorReply;
          what = steps[n - 1] + " (step " + std::to_string(n) + ")";
          c.transport().Arm(n, mode);
        }
        c.Confirm();
      } catch (const std::exception&) {
      }
    }
    record(kind == 0 ? "server step" : kind == 1 ? "writer record" : "folder", judgeSmall(db, folder, target, earlier, Ending::kReturned), what);
    fs::remove_all(base);
  }

  // `pag00100 remit` killed at a random moment: calibrated on clean runs.
  double clean = 0;
  {
    std::vector<double> times;
    for (int i = 0; i < 3; ++i) {
      fs::path db, folder, target;
      std::optional<std::string> earlier;
      const fs::path base = newRun(small, false, db, folder, target, earlier);
      const ChildResult c = RunCli({RemitArgs(db, target), base / "stdout", base / "stderr", std::nullopt, std::nullopt});
      ASSERT_EQ(c.exitCode, 0) << c.err;
      times.push_back(c.seconds);
      fs::remove_all(base);
    }
    std::sort(times.begin(), times.end());
    clean = times[1];
  }
  for (int i = 0; i < kKilled; ++i) {
    fs::path db, folder, target;
    std::optional<std::string> earlier;
    const fs::path base = newRun(small, uniform(0, 1) == 1, db, folder, target, earlier);
    // Half the kills anywhere in the run, half in its last part, where the
    // file is written and the remittance saved.
    const double from = uniform(0, 1) ? 0.0 : 0.6;
    const double at = clean * (from + (1.05 - from) * std::uniform_real_distribution<double>(0, 1)(rng));
    const auto delay = std::chrono::microseconds(static_cast<long>(at * 1e6));
    const ChildResult c = RunCli({RemitArgs(db, target), base / "stdout", base / "stderr", std::nullopt, delay});
    Verdict v = judgeSmall(db, folder, target, earlier, Ending::kKilled);
    if (c.Crashed()) v.broken.push_back("the child crashed: " + c.err);
    record("killed", v, std::to_string(delay.count()) + " us of " + std::to_string(static_cast<long>(clean * 1e6)));
    fs::remove_all(base);
  }

  // `pag00100 remit` on a full disk.
  const Judge judgeBig(big.Facts());
  for (int i = 0; i < kDiskFull; ++i) {
    fs::path db, folder, target;
    std::optional<std::string> earlier;
    const fs::path base = newRun(big, uniform(0, 1) == 1, db, folder, target, earlier);
    const long limit = uniform(8 * 1024, 220 * 1024);
    const ChildResult c = RunCli({RemitArgs(db, target), base / "stdout", base / "stderr", limit, std::nullopt});
    Verdict v = judgeBig(db, folder, target, earlier, Ending::kReturned);
    if (c.Crashed()) v.broken.push_back("the child crashed: " + c.err);
    if ((v.outcome == Outcome::kCommitted) != (c.exitCode == 0))
      v.broken.push_back("exit code " + std::to_string(c.exitCode) + " for " + OutcomeName(v.outcome) + ": " + c.err);
    record("disk full", v, "limit " + std::to_string(limit));
    fs::remove_all(base);
  }

  std::cout << "[ reliability ] seed " << seed << ": " << runs << " interruptions (";
  for (const auto& [k, n] : kinds) std::cout << k << " " << n << ", ";
  std::cout << "a clean run of the command line " << static_cast<long>(clean * 1000) << " ms); outcomes: ";
  for (const auto& [k, n] : outcomes) std::cout << k << " " << n << ", ";
  std::cout << "broken promises: " << broken << "\n";
  EXPECT_GE(runs, 100);
  EXPECT_EQ(broken, 0);
}

}  // namespace
}  // namespace pag::reliability
