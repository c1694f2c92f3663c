// Several clerks remitting overlapping slips on one store at the same time:
// rounds of `pag00100 remit` processes started together, each marking a few
// slips out of the same handful. Whatever the order they reach the store
// in, no slip may end in two inclusion remittances, no remittance number or
// file sequence may be handed out twice, every clerk either makes its
// remittance or gets a clear message (a busy store makes it wait), nothing
// crashes, and the store stays sound.
#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <set>

#include "bench/remit_store.h"
#include "harness.h"

namespace pag::reliability {
namespace {

constexpr int kClerks = 3;
constexpr int kRounds = 70;
constexpr int kWindow = 8;
constexpr int kPool = kRounds * kWindow;

std::string After(const std::string& text, const std::string& label) {
  const auto at = text.find(label);
  if (at == std::string::npos) return {};
  const auto end = text.find('\n', at);
  return text.substr(at + label.size(), end - at - label.size());
}

TEST(ConcurrentClerks, OverlappingSlipsOnOneStore) {
  std::mt19937 rng(Seed());
  TemplateStore tmpl(kPool);
  TempDir dir("pag-rel-clerks");
  const fs::path db = tmpl.CopyTo(dir.path() / "store.db");
  const fs::path out = dir.path() / "out";
  fs::create_directories(out);

  struct Made {
    std::string number, sequence, file;
    int slips = 0;
  };
  std::vector<Made> made;
  std::map<std::string, int> refusals;
  int runs = 0, broken = 0;
  auto fail = [&](const std::string& what) {
    ++broken;
    ADD_FAILURE() << what;
  };

  for (int round = 0; round < kRounds; ++round) {
    // Every clerk of the round picks half the slips of the round's window.
    const int base = 1 + round * kWindow;
    std::vector<ChildRun> children;
    for (int c = 0; c < kClerks; ++c) {
      std::vector<int> window(kWindow);
      for (int i = 0; i < kWindow; ++i) window[i] = base + i;
      std::shuffle(window.begin(), window.end(), rng);
      std::vector<std::string> slips;
      for (int i = 0; i < kWindow / 2; ++i) slips.push_back("0001:" + bench::RemitEntry(window[i]));
      const std::string name = "r" + std::to_string(round) + "c" + std::to_string(c);
      children.push_back({RemitArgs(db, out / (name + ".txt"), slips), dir.path() / (name + ".out"),
                          dir.path() / (name + ".err"), std::nullopt, std::nullopt});
    }
    std::vector<std::pair<pid_t, std::chrono::steady_clock::time_point>> started;
    for (const ChildRun& run : children) started.emplace_back(StartCli(run), std::chrono::steady_clock::now());
    for (std::size_t c = 0; c < children.size(); ++c) {
      const ChildResult r = WaitCli(started[c].first, children[c], started[c].second);
      ++runs;
      const std::string file = children[c].args[8];  // --out
      if (r.Crashed()) {
        fail("a clerk crashed: " + r.err);
        continue;
      }
      if (r.exitCode == 0) {
        made.push_back({After(r.out, "remittance: "), After(r.out, "sequence: "), file,
                        std::stoi(After(r.out, "slips: "))});
        continue;
      }
      // A refusal names its key; any other failure says what happened.
      const std::string first = r.err.substr(0, r.err.find('\n'));
      if (first.empty()) fail("a clerk failed without a message (exit " + std::to_string(r.exitCode) + ")");
      if (r.err.find("corrupt") != std::string::npos || r.err.find("malformed") != std::string::npos)
        fail("a clerk found the store damaged: " + r.err);
      const std::string key = r.exitCode == 2 ? first.substr(0, first.find(':')) : "not offered";
      if (r.exitCode == 1 && first.find("is not offered here") == std::string::npos)
        fail("a clerk failed with: " + first);
      ++refusals[key];
      if (fs::exists(file)) fail("a refused clerk left its file " + file);
    }
  }

  // The numbers: each handed out once, and each remittance as its clerk was told.
  const StoreFacts f = ReadFacts(db);
  std::set<std::string> numbers, sequences;
  for (const Made& m : made) {
    if (!numbers.insert(m.number).second) fail("remittance number " + m.number + " was handed out twice");
    if (!sequences.insert(m.sequence).second) fail("file sequence " + m.sequence + " was handed out twice");
    auto it = f.remittances.find("01/" + m.number);
    if (it == f.remittances.end()) {
      fail("remittance " + m.number + " was reported but is not in the store");
      continue;
    }
    if (it->second.rfind("001|" + m.sequence + "|" + std::to_string(m.slips) + "|", 0) != 0)
      fail("remittance " + m.number + " is stored as " + it->second);
    for (const std::string& p : BankFileProblems(ReadAll(m.file), m.sequence, m.slips))
      fail("remittance " + m.number + ": " + p);
  }
  EXPECT_EQ(f.remittances.size(), made.size());
  EXPECT_EQ(f.counters.count("CNABPAG01") ? f.counters.at("CNABPAG01") : 0, static_cast<long>(made.size()));
  EXPECT_EQ(f.counters.count("REMESSAPAG001") ? f.counters.at("REMESSAPAG001") : 0, static_cast<long>(made.size()));

  // The slips: none in two inclusion remittances, each sent one in its own.
  std::map<std::string, std::set<std::string>> included;
  for (const std::string& l : f.links) {
    const auto sp1 = l.find(' '), sp2 = l.rfind(' ');
    if (l.substr(sp2 + 1) == "I") included[l.substr(sp1 + 1, sp2 - sp1 - 1)].insert(l.substr(0, sp1));
  }
  for (const auto& [slip, in] : included) {
    if (in.size() > 1) fail("slip " + slip + " is in " + std::to_string(in.size()) + " inclusion remittances");
    const std::string state = f.slips.at(slip);
    if (state != "10/" + in.begin()->substr(3)) fail("slip " + slip + " of " + *in.begin() + " is " + state);
  }
  for (const auto& [slip, state] : f.slips)
    if (!included.count(slip) && state != "00/") fail("slip " + slip + " is " + state + " without a remittance");
  for (const auto& e : fs::directory_iterator(out))
    if (e.path().extension() == ".tmp") fail("a temporary file was left: " + e.path().filename().string());

  std::cout << "[ reliability ] " << runs << " remittances by " << kClerks << " clerks at once: " << made.size()
            << " made";
  for (const auto& [k, n] : refusals) std::cout << ", " << n << " " << k;
  std::cout << "; broken promises: " << broken << "\n";
  EXPECT_GT(made.size(), static_cast<std::size_t>(kRounds / 2));
  EXPECT_EQ(broken, 0);
}

}  // namespace
}  // namespace pag::reliability
