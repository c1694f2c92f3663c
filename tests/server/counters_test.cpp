// Counters never hand out a number twice: across two connections to one
// store, across two processes, and around units of work.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <set>

#include "fixture.h"

namespace pag::test {
namespace {

class CountersTest : public ServerTest {};

std::string Next(TNetConnection& net, const std::string& name, const std::string& k1, const std::string& k2) {
  return net.CallText("ProximoCodigo", {name, k1, k2});
}

TEST_F(CountersTest, ProximoCodigoCountsPerNameAndKeys) {
  EXPECT_EQ(Next(*net, "CNABPag", "01", " "), "0000000002");  // the example holds 1
  EXPECT_EQ(Next(*net, "CNABPag", "01", " "), "0000000003");
  EXPECT_EQ(Next(*net, "CNABPag", "02", " "), "0000000001");
  EXPECT_EQ(Next(*net, "FaseCNABPag", " ", "001"), "0000000001");
  // UpDatePrx addresses the phase counter by its full key.
  CheckResultServ(Call("UpDatePrx", {"00000000000000000011", "FASECNABPAG001"}));
  EXPECT_EQ(Next(*net, "FaseCNABPag", " ", "001"), "0000000012");
  EXPECT_EQ(Call("UpDatePrx", {"1x", "FASECNABPAG001"}).error(), "UpDatePrx: the new value '1x' is not a number");
  EXPECT_EQ(Call("ProximoCodigo", {" ", "01", " "}).error(), "ProximoCodigo: the counter needs a name");
}

TEST_F(CountersTest, FileSequencePerAccount) {
  EXPECT_EQ(net->CallText("PrxCodigoRemessaPag", {"001"}), "0000000002");
  EXPECT_EQ(net->CallText("PrxCodigoRemessaPag", {"001"}), "0000000003");
  EXPECT_EQ(Call("PrxCodigoRemessaPag", {"777"}).error(), "PrxCodigoRemessaPag: unknown account '777'");
}

TEST_F(CountersTest, UpDateCCPutsAnAccountWithoutPhaseInTest) {
  CheckResultServ(Call("UpDateCC", {"001"}));
  EXPECT_EQ(Scalar("SELECT IDFASCNABPAG FROM CONTCORR"), "P");  // had a phase: unchanged
  store->db().Exec("UPDATE CONTCORR SET IDFASCNABPAG = ''");
  CheckResultServ(Call("UpDateCC", {"001"}));
  EXPECT_EQ(Scalar("SELECT IDFASCNABPAG FROM CONTCORR"), "T");
}

TEST_F(CountersTest, FileCountersAnswerTheCountBeforeThisFile) {
  const DateTime day = DateTime::Make(2026, 11, 28, 15, 0);
  Packet p = CallPacket("GetCtCnabDiaP", {"341", day});
  EXPECT_EQ(std::get<std::int64_t>(p.At(0, "CTCNAB")), 1);  // one file already that day
  p = CallPacket("GetCtCnabDiaP", {"341", day});
  EXPECT_EQ(std::get<std::int64_t>(p.At(0, "CTCNAB")), 2);
  p = CallPacket("GetCtCnabDiaP", {"341", DateTime::Make(2026, 11, 29)});
  EXPECT_EQ(std::get<std::int64_t>(p.At(0, "CTCNAB")), 0);
  p = CallPacket("GetCtCNABPag", {"399"});
  EXPECT_EQ(std::get<std::int64_t>(p.At(0, "CTCNAB")), 0);
  p = CallPacket("GetCtCNABPag", {"399"});
  EXPECT_EQ(std::get<std::int64_t>(p.At(0, "CTCNAB")), 1);
}

TEST_F(CountersTest, TwoConnectionsInterleavedNeverRepeat) {
  Store second_store(store->path());
  TNetConnection second(std::make_shared<InProcessTransport>(second_store));
  std::set<std::string> seen;
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(seen.insert(Next(*net, "CNABPag", "01", " ")).second);
    ASSERT_TRUE(seen.insert(Next(second, "CNABPag", "01", " ")).second);
  }
  EXPECT_EQ(*seen.rbegin(), "0000000101");
}

TEST_F(CountersTest, TwoProcessesNeverRepeat) {
  constexpr int kDraws = 100;
  const std::string out = dir.File("child.txt");
  const std::string path = store->path();
  // No SQLite file may be open across fork: close, fork, and each side opens.
  net.reset();
  transport.reset();
  store.reset();
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    int code = 0;
    try {
      Store s(path);
      TNetConnection n(std::make_shared<InProcessTransport>(s));
      std::ofstream f(out);
      for (int i = 0; i < kDraws; ++i) f << Next(n, "CNABPag", "01", " ") << "\n";
    } catch (...) {
      code = 1;
    }
    _exit(code);
  }
  store = std::make_unique<Store>(path);
  net = std::make_unique<TNetConnection>(std::make_shared<InProcessTransport>(*store));
  std::set<std::string> seen;
  for (int i = 0; i < kDraws; ++i) ASSERT_TRUE(seen.insert(Next(*net, "CNABPag", "01", " ")).second);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  std::ifstream in(out);
  std::string line;
  int lines = 0;
  while (std::getline(in, line)) {
    ++lines;
    EXPECT_TRUE(seen.insert(line).second) << "repeated " << line;
  }
  EXPECT_EQ(lines, kDraws);
  EXPECT_EQ(seen.size(), 2u * kDraws);
}

TEST_F(CountersTest, ALookupBetweenDrawsLeavesNoStaleSnapshot) {
  Store second_store(store->path());
  TNetConnection second(std::make_shared<InProcessTransport>(second_store));
  std::set<std::string> seen;
  for (int i = 0; i < 5; ++i) {
    // Lookups that stop at their first row must not keep a read open.
    CheckResultServ(Call("GetDadosRel", {"BORDERO.QR2"}));
    CheckResultServ(Call("PrxCodigoRemessaPag", {"001"}));
    ASSERT_TRUE(seen.insert(Next(second, "CNABPag", "01", " ")).second);
    ASSERT_TRUE(seen.insert(Next(*net, "CNABPag", "01", " ")).second);
  }
  EXPECT_EQ(*seen.rbegin(), "0000000011");
}

TEST_F(CountersTest, AUnitOfWorkCommitsEverythingOrNothing) {
  Delta d;
  d.fields = {{"CDEMPRESA", FieldKind::kString, 2}, {"NRCNABPAG", FieldKind::kString, 10},
              {"CDREDUCONT", FieldKind::kString, 3}};
  d.changes.push_back({ChangeKind::kInsert, {}, {std::string("01"), std::string("0000000002"), std::string("001")}});
  Packet ok = SlipRows({{"0001", "0000000001", "S"}});
  Packet linked = SlipRows({{"0001", "0000000001", "S"}, {"0001", "0000000005", "S"}});
  auto atualiza = [&](const Packet& rows) {
    return Call("AtualizaBoleto", {rows, "341", "001", "0000000002", "10", "I", "01"});
  };
  {
    auto work = net->BeginWork();
    CheckResultServ(Call("SetCNABPag", {d}));
    CheckResultServ(atualiza(ok));
    // A refused step undoes only itself; the caller then gives up.
    EXPECT_EQ(atualiza(linked).error(), "Bol_Vinc_Rem");
    EXPECT_EQ(Scalar("SELECT NRCNABPAGREM FROM BOLETOPAG WHERE NRLANBOLPAG = '0000000001'"), "0000000002");
  }
  EXPECT_EQ(Scalar("SELECT count(*) FROM CNABPAG"), "1");
  EXPECT_EQ(Scalar("SELECT NRCNABPAGREM FROM BOLETOPAG WHERE NRLANBOLPAG = '0000000001'"), "");
  {
    auto work = net->BeginWork();
    CheckResultServ(Call("SetCNABPag", {d}));
    CheckResultServ(atualiza(ok));
    work.Commit();
  }
  EXPECT_EQ(Scalar("SELECT count(*) FROM CNABPAG"), "2");
  EXPECT_EQ(Scalar("SELECT NRCNABPAGREM FROM BOLETOPAG WHERE NRLANBOLPAG = '0000000001'"), "0000000002");
  EXPECT_THROW({
    auto a = net->BeginWork();
    auto b = net->BeginWork();
  }, std::logic_error);
}

TEST_F(CountersTest, AnotherConnectionWaitsForAnOpenUnitOfWork) {
  Store second_store(store->path());
  TNetConnection second(std::make_shared<InProcessTransport>(second_store));
  {
    auto work = net->BeginWork();
    EXPECT_EQ(Next(*net, "CNABPag", "01", " "), "0000000002");
    // Reads are not blocked while the unit of work is open.
    EXPECT_EQ(second.CallPacket("GetEmpresa", {"01", " "}).rows.size(), 1u);
  }
  // The rolled-back number is handed out again: it was never used.
  EXPECT_EQ(Next(second, "CNABPag", "01", " "), "0000000002");
}

}  // namespace
}  // namespace pag::test
