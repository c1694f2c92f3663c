// The connection: replies, CheckResultServ, and the unit of work over a
// transport that records what it was asked.
#include <gtest/gtest.h>

#include "host/connection.h"

namespace pag {
namespace {

class RecordingTransport : public Transport {
 public:
  Reply Call(const std::string& method, std::vector<Arg>& args) override {
    calls.push_back(method);
    if (method == "Fail") return Reply::Error("OPER_INV");
    if (method == "Echo" && !args.empty() && args[0].by_ref()) args[0].text() = "changed";
    return Reply::Text(method);
  }
  void Connect() override { connected = true; }
  bool Connected() const override { return connected; }
  void BeginWork() override { log += "B"; }
  void CommitWork() override {
    log += "C";
    if (fail_commit) throw std::runtime_error("commit failed");
  }
  void RollbackWork() noexcept override { log += "R"; }

  std::vector<std::string> calls;
  std::string log;
  bool connected = false;
  bool fail_commit = false;
};

TEST(ConnectionTest, CheckResultServRaisesTheServerTextAsIs) {
  EXPECT_EQ(CheckResultServ(Reply::Text("x")).text(), "x");
  try {
    CheckResultServ(Reply::Error("OPER_INV"));
    FAIL();
  } catch (const ServerError& e) {
    EXPECT_STREQ(e.what(), "OPER_INV");
  }
}

TEST(ConnectionTest, ReplyAccessorsRefuseTheWrongKind) {
  Reply r = Reply::OfPacket(Packet{});
  EXPECT_NO_THROW(r.packet());
  EXPECT_THROW(r.text(), std::logic_error);
  EXPECT_THROW(Reply().items(), std::logic_error);
  Reply arr = Reply::Array({Reply::OfValue(std::int64_t{3}), Reply::Text("v")});
  ASSERT_EQ(arr.items().size(), 2u);
  EXPECT_EQ(std::get<std::int64_t>(arr.items()[0].value()), 3);
}

TEST(ConnectionTest, CallsConnectFirstAndByReferenceArgumentsComeBack) {
  auto t = std::make_shared<RecordingTransport>();
  TNetConnection net(t);
  std::vector<Arg> args{Arg::Ref("orig"), Arg("by value")};
  EXPECT_EQ(net.Call("Echo", args).text(), "Echo");
  EXPECT_TRUE(t->connected);
  EXPECT_EQ(args[0].text(), "changed");
  EXPECT_EQ(net.CallText("Other"), "Other");
  EXPECT_THROW(net.CallText("Fail"), ServerError);
}

TEST(ConnectionTest, ArgumentKindsAreKeptExactly) {
  Arg money(Money::FromCents(123456));
  EXPECT_EQ(std::get<Decimal>(money.payload()), Decimal::FromUnits(123456, 2));
  EXPECT_TRUE(std::holds_alternative<std::int32_t>(Arg(5).payload()));
  EXPECT_TRUE(std::holds_alternative<std::string>(Arg("5").payload()));
  EXPECT_FALSE(Arg("x").by_ref());
}

TEST(ConnectionTest, UnitOfWorkRollsBackUnlessCommitted) {
  auto t = std::make_shared<RecordingTransport>();
  TNetConnection net(t);
  { auto w = net.BeginWork(); }
  EXPECT_EQ(t->log, "BR");
  {
    auto w = net.BeginWork();
    w.Commit();
    EXPECT_FALSE(w.active());
    EXPECT_THROW(w.Commit(), std::logic_error);
  }
  EXPECT_EQ(t->log, "BRBC");
  {
    auto w = net.BeginWork();
    try {
      throw std::runtime_error("writer failed");
    } catch (...) {
    }
  }
  EXPECT_EQ(t->log, "BRBCBR");
}

TEST(ConnectionTest, AFailedCommitRollsBackAndReports) {
  auto t = std::make_shared<RecordingTransport>();
  t->fail_commit = true;
  TNetConnection net(t);
  auto w = net.BeginWork();
  EXPECT_THROW(w.Commit(), std::runtime_error);
  EXPECT_EQ(t->log, "BCR");
}

}  // namespace
}  // namespace pag
