// The print action of the remittance screen: refreshing the layout (dates
// and version stamps), refusing names that leave the report folder, the
// question, and what the report designer is given.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "fixture.h"
#include "host/errors.h"
#include "model/fake_server.h"
#include "remittance/report.h"

namespace pag::test {
namespace {

namespace fs = std::filesystem;
using pag::testing::FakeTransport;

// GetAtuGerFos that records its calls and writes `content` when it succeeds.
class RecordingDownloader : public LayoutDownloader {
 public:
  bool GetAtuGerFos(const std::string& local_path, const std::string& reference) override {
    calls.emplace_back(local_path, reference);
    if (!succeed) return false;
    WriteText(local_path, content);
    return true;
  }
  std::vector<std::pair<std::string, std::string>> calls;
  bool succeed = true;
  std::string content = "PAGREL 1\n; versão 20240102#";
};

// The report designer: records its connection and the jobs it was given,
// with the parameters as the screen filled them.
class FakePrinter : public ReportPrinter {
 public:
  void Connect(const std::string& h, int p) override {
    connected = true;
    host = h;
    port = p;
  }
  void Disconnect() override { connected = false; }
  void Print(const ReportJob& job) override {
    EXPECT_TRUE(connected);
    ReportParams params = declared;
    job.before_get_query_params(params);
    jobs.push_back(job);
    filled.push_back(params);
    if (fail) throw std::runtime_error("printer jammed");
  }
  ReportParams declared{{"P_CDEMPRESA", ""}, {"P_NRCNABPAG", ""}};
  bool connected = false, fail = false;
  std::string host;
  int port = 0;
  std::vector<ReportJob> jobs;
  std::vector<ReportParams> filled;
};

Reply DadosRel(DateTime when, std::string version, std::string reference) {
  return Reply::Array({Reply::OfValue(when), Reply::Text(std::move(version)), Reply::Text(std::move(reference))});
}

class RefreshTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session.report_dir = dir.File("rel");
    session.web_url = "qrd.example";
    session.web_port = 8211;
    fs::create_directories(session.report_dir);
    server = std::make_shared<FakeTransport>();
    net = std::make_unique<TNetConnection>(server);
    server->handlers["RetornaRelatorio"] = [](std::vector<Arg>&) {
      return Reply::Text("PAPEL=A4;ORIENTACAO=PAISAGEM\r\n20240102");
    };
    Packet p;
    p.fields = {{"CDEMPRESA", FieldKind::kString, 2}, {"NRCNABPAG", FieldKind::kString, 10},
                {"DSARQBORDPAG", FieldKind::kString, 100}};
    p.rows.push_back({std::string("01"), std::string("0000000001"), std::string("BORDPAG.QR2")});
    d.cdsCNABPag.LoadPacket(p);
  }

  void ServerKnows(DateTime when, std::string version, std::string reference = "relatorios/pag/BORDPAG.QR2") {
    server->handlers["GetDadosRel"] = [=](std::vector<Arg>&) { return DadosRel(when, version, reference); };
  }
  void SetLayout(const std::string& layout) {
    d.cdsCNABPag.Edit();
    d.cdsCNABPag.FieldByName("DSARQBORDPAG").SetAsString(layout);
    d.cdsCNABPag.Post();
  }
  RemessaReport Report() { return RemessaReport(d, "01", *net, session, dialogs, printer, &downloader); }
  std::string Local(const std::string& name = "BORDPAG.QR2") { return session.report_dir + "/" + name; }
  // Runs the action; the key of the refusal that ended it, or "".
  template <class F>
  std::string Refusal(F&& f) {
    try {
      f();
    } catch (const Abort& e) {
      return e.key();
    }
    return "";
  }

  TempDir dir;
  Session session;
  std::shared_ptr<FakeTransport> server;
  std::unique_ptr<TNetConnection> net;
  RemessaData d;
  ScriptedDialogs dialogs;
  FakePrinter printer;
  RecordingDownloader downloader;
};

// ---- Comparing the local copy with the server's -----------------------------

struct RefreshCase {
  const char* what;
  std::optional<std::string> local;  // content of the local copy; nullopt: none
  int server_hours_after_local;      // server date = local file's time + hours
  const char* server_version;
  bool downloaded;
};

void PrintTo(const RefreshCase& c, std::ostream* os) { *os << c.what; }

class BaixaRelatorioTest : public RefreshTest, public ::testing::WithParamInterface<RefreshCase> {};

TEST_P(BaixaRelatorioTest, DownloadsOnlyWhenTheServerCopyIsNewer) {
  const RefreshCase& c = GetParam();
  DateTime local_time = DateTime::Make(2026, 6, 1, 12);
  if (c.local) {
    WriteText(Local(), *c.local);
    local_time = *FileModified(Local());
  }
  DateTime server_time{local_time.value + std::chrono::hours(c.server_hours_after_local)};
  ServerKnows(server_time, c.server_version);

  Report().BaixaRelatorio("BORDPAG.QR2");

  if (c.downloaded) {
    ASSERT_EQ(downloader.calls.size(), 1u);
    EXPECT_EQ(downloader.calls[0].first, Local());
    EXPECT_EQ(downloader.calls[0].second, "relatorios/pag/BORDPAG.QR2");
  } else {
    EXPECT_TRUE(downloader.calls.empty());
  }
  EXPECT_TRUE(dialogs.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BaixaRelatorioTest,
    ::testing::Values(
        // An older stamp is downloaded again even when the local file is newer.
        RefreshCase{"older stamp, newer file", "PAGREL 1\n; 20240101#", -1, "20240102", true},
        RefreshCase{"same stamp, newer file", "PAGREL 1\n; 20240102#", -1, "20240102", false},
        RefreshCase{"newer stamp, newer file", "PAGREL 1\n; 20240103#", -1, "20240102", false},
        // Without a trailing "#" the version is empty: any server version is greater.
        RefreshCase{"no stamp", "PAGREL 1\n", -1, "20240102", true},
        RefreshCase{"no stamp, no server version", "PAGREL 1\n", -1, "", false},
        RefreshCase{"stamp followed by a line break", "PAGREL 1\n; 20240102#\n", -1, "20240102", true},
        RefreshCase{"same stamp, server dated later", "PAGREL 1\n; 20240102#", 1, "20240102", true},
        RefreshCase{"no local copy", std::nullopt, 0, "20240102", true}),
    [](const auto& info) {
      std::string n = info.param.what;
      for (char& ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

TEST_F(RefreshTest, NothingIsFetchedWhenTheServerHasNoDateOrCannotBeAsked) {
  struct Case {
    const char* what;
    std::function<Reply(std::vector<Arg>&)> answer;
  };
  const std::vector<Case> cases{
      {"zero date", [](std::vector<Arg>&) { return DadosRel(ZeroDateTime(), "99999999", "relatorios/x"); }},
      {"no date at all", [](std::vector<Arg>&) {
         return Reply::Array({Reply::OfValue(Value{}), Reply::Text("99999999"), Reply::Text("relatorios/x")});
       }},
      {"error reply", [](std::vector<Arg>&) { return Reply::Error("GetDadosRel: store error: disk I/O error"); }},
      {"short reply", [](std::vector<Arg>&) { return Reply::Array({Reply::OfValue(DateTime::Make(2030, 1, 1))}); }},
      {"transport fault", [](std::vector<Arg>&) -> Reply { throw std::runtime_error("connection refused"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    server->handlers["GetDadosRel"] = c.answer;
    downloader.calls.clear();
    Report().BaixaRelatorio("BORDPAG.QR2");  // no local copy at all
    EXPECT_TRUE(downloader.calls.empty());
    EXPECT_TRUE(dialogs.shown.empty());
  }
}

TEST_F(RefreshTest, AFailedDownloadIsShownAndTheActionGoesOn) {
  ServerKnows(DateTime::Make(2030, 1, 1), "20300101");
  downloader.succeed = false;
  Report().BaixaRelatorio("BORDPAG.QR2");
  ASSERT_EQ(dialogs.Errors().size(), 1u);
  EXPECT_EQ(dialogs.Errors()[0], "Não foi possível atualizar o modelo de relatório BORDPAG.QR2.\n" + Local());
}

// ---- The print action -------------------------------------------------------

TEST_F(RefreshTest, ALayoutStillMissingAfterTheRefreshStopsWithTheKey) {
  const std::string text = RemessaMessages().Msg("MODBORDPAG_NC");
  // No layout name: the report folder itself is not a file.
  SetLayout("");
  ServerKnows(ZeroDateTime(), "0", "");
  EXPECT_EQ(Refusal([&] { Report().sbtImprimirClick(); }), "MODBORDPAG_NC");
  EXPECT_EQ(dialogs.Errors(), std::vector<std::string>{text});

  // A layout the server does not know, with no local copy.
  dialogs.Reset();
  SetLayout("NONE.QR2");
  EXPECT_EQ(Refusal([&] { Report().sbtImprimirClick(); }), "MODBORDPAG_NC");
  EXPECT_TRUE(downloader.calls.empty());

  // The download fails: its message, then the refusal.
  dialogs.Reset();
  SetLayout("BORDPAG.QR2");
  ServerKnows(DateTime::Make(2030, 1, 1), "20300101");
  downloader.succeed = false;
  EXPECT_EQ(Refusal([&] { Report().sbtImprimirClick(); }), "MODBORDPAG_NC");
  ASSERT_EQ(dialogs.Errors().size(), 2u);
  EXPECT_EQ(dialogs.Errors()[0].rfind("Não foi possível atualizar", 0), 0u);
  EXPECT_EQ(dialogs.Errors()[1], text);
  EXPECT_TRUE(dialogs.Questions().empty());
  EXPECT_TRUE(printer.jobs.empty());
}

TEST_F(RefreshTest, AFailedDownloadPrintsWithTheCopyThatIsThere) {
  WriteText(Local(), "PAGREL 1\n; 20240101#");
  ServerKnows(DateTime::Make(2030, 1, 1), "20300101");
  downloader.succeed = false;
  Report().sbtImprimirClick();
  EXPECT_EQ(dialogs.Errors().size(), 1u);
  ASSERT_EQ(printer.jobs.size(), 1u);
  EXPECT_EQ(printer.jobs[0].layout_path, Local());
}

TEST_F(RefreshTest, NamesThatLeaveTheReportFolderAreRefused) {
  const std::string text = RemessaMessages().Msg("ARQU_INVALIDO");
  for (const char* layout : {"../BORDPAG.QR2", "../../etc/passwd", "/etc/passwd", "rel/../../x.QR2",
                             "..\\..\\BORDPAG.QR2", "C:\\REL\\BORDPAG.QR2", ".."}) {
    SCOPED_TRACE(layout);
    dialogs.Reset();
    server->calls.clear();
    SetLayout(layout);
    EXPECT_EQ(Refusal([&] { Report().sbtImprimirClick(); }), "ARQU_INVALIDO");
    EXPECT_EQ(dialogs.Errors(), std::vector<std::string>{text});
    EXPECT_TRUE(server->calls.empty());
    EXPECT_EQ(Refusal([&] { Report().EmiteRelatorio(layout); }), "ARQU_INVALIDO");
  }
  EXPECT_TRUE(downloader.calls.empty());
  EXPECT_TRUE(printer.jobs.empty());

  // A server reference of that kind is not fetched.
  dialogs.Reset();
  SetLayout("BORDPAG.QR2");
  for (const char* reference : {"../../outside.QR2", "/etc/BORDPAG.QR2"}) {
    ServerKnows(DateTime::Make(2030, 1, 1), "20300101", reference);
    EXPECT_EQ(Refusal([&] { Report().BaixaRelatorio("BORDPAG.QR2"); }), "ARQU_INVALIDO") << reference;
  }
  EXPECT_TRUE(downloader.calls.empty());
}

TEST_F(RefreshTest, PrintsAfterYesWithTheParametersAndTheServersHost) {
  ServerKnows(DateTime::Make(2030, 1, 1), "20300101");
  dialogs.answers = {kMrNo};
  Report().sbtImprimirClick();
  EXPECT_EQ(dialogs.Questions(), std::vector<std::string>{"Deseja imprimir o borderô 0000000001 ?"});
  EXPECT_TRUE(printer.jobs.empty());
  EXPECT_EQ(downloader.calls.size(), 1u);  // the refresh came first

  dialogs.answers = {kMrYes};
  Report().sbtImprimirClick();
  ASSERT_EQ(printer.jobs.size(), 1u);
  const ReportJob& job = printer.jobs[0];
  EXPECT_EQ(job.layout_path, Local());
  EXPECT_EQ(job.dialog_setting, "PAPEL=A4;ORIENTACAO=PAISAGEM");
  EXPECT_EQ(job.default_database, "dbQuiltor");
  EXPECT_TRUE(job.print_if_empty);
  EXPECT_EQ(printer.filled[0], (ReportParams{{"P_CDEMPRESA", "01"}, {"P_NRCNABPAG", "0000000001"}}));
  EXPECT_EQ(printer.host, "qrd.example");
  EXPECT_EQ(printer.port, 8211);
  EXPECT_FALSE(printer.connected);
}

TEST_F(RefreshTest, TheReportConnectionIsClosedWhenPrintingFails) {
  ServerKnows(DateTime::Make(2030, 1, 1), "20300101");
  printer.fail = true;
  EXPECT_THROW(Report().sbtImprimirClick(), std::runtime_error);
  EXPECT_EQ(printer.jobs.size(), 1u);
  EXPECT_FALSE(printer.connected);
}

TEST_F(RefreshTest, TheDialogSettingIsTheFirstOfExactlyTwoLines) {
  WriteText(Local(), "PAGREL 1\n");
  struct Case {
    const char* text;
    const char* setting;
  };
  for (const Case& c : {Case{"PAPEL=CARTA\r\n20240102", "PAPEL=CARTA"}, Case{"PAPEL=CARTA\n20240102\n", "PAPEL=CARTA"},
                        Case{"PAPEL=CARTA", ""}, Case{"A\r\nB\r\nC", ""}, Case{"", ""}}) {
    server->handlers["RetornaRelatorio"] = [&](std::vector<Arg>& args) {
      EXPECT_TRUE(args[0].by_ref());
      EXPECT_EQ(args[0].text(), "BORDPAG.QR2");
      return Reply::Text(c.text);
    };
    printer.jobs.clear();
    Report().EmiteRelatorio("REL\\BORDPAG.QR2");
    ASSERT_EQ(printer.jobs.size(), 1u);
    EXPECT_EQ(printer.jobs[0].dialog_setting, c.setting) << c.text;
    EXPECT_EQ(printer.jobs[0].layout_path, Local());
  }
  EXPECT_EQ(Refusal([&] { Report().EmiteRelatorio("  "); }), "ARQU_INVALIDO");
}

// ---- The pieces -------------------------------------------------------------

TEST(ReportPieces, VersionStampIsTheEightBytesBeforeATrailingHash) {
  TempDir dir;
  struct Case {
    const char* content;
    const char* stamp;
  };
  for (const Case& c : {Case{"PAGREL 1\n; versão 20260105#", "20260105"}, Case{"20260105#", "20260105"},
                        Case{"1234#", "1234"}, Case{"#", ""}, Case{"", ""}, Case{"PAGREL 1\n", ""},
                        Case{"x 20260105#\n", ""}, Case{"x20260105#", "20260105"}}) {
    WriteText(dir.File("l.QR2"), c.content);
    EXPECT_EQ(ReadVersionStamp(dir.File("l.QR2")), std::optional<std::string>(c.stamp)) << c.content;
  }
  EXPECT_EQ(ReadVersionStamp(dir.File("missing.QR2")), std::nullopt);
  fs::create_directories(dir.File("folder"));
  EXPECT_EQ(ReadVersionStamp(dir.File("folder")), std::nullopt);
  EXPECT_EQ(FileModified(dir.File("folder")), std::nullopt);
}

TEST(ReportPieces, FileTimesAreTheMachinesLocalTime) {
  TempDir dir;
  WriteText(dir.File("l.QR2"), "x");
  fs::last_write_time(dir.File("l.QR2"), fs::file_time_type::clock::now() - std::chrono::hours(3));
  const auto modified = FileModified(dir.File("l.QR2"));
  ASSERT_TRUE(modified);
  const auto expected = Clock{}.Now().value - std::chrono::hours(3);
  EXPECT_LT(std::chrono::abs(modified->value - expected), std::chrono::minutes(1));
}

TEST(ReportPieces, WhatLeavesAFolder) {
  struct Case {
    const char* name;
    bool leaves;
  };
  for (const Case& c : {Case{"BORDPAG.QR2", false}, Case{"", false}, Case{"rel/BORDPAG.QR2", false},
                        Case{"a..b.QR2", false}, Case{"...", false}, Case{"relatorios/pag/BORDPAG.QR2", false},
                        Case{"..", true}, Case{"../x", true}, Case{"a/../../x", true}, Case{"a\\..\\x", true},
                        Case{"/x", true}, Case{"\\\\server\\x", true}, Case{"c:x", true}, Case{"a/ .. /x", true}})
    EXPECT_EQ(LeavesFolder(c.name), c.leaves) << c.name;
  EXPECT_EQ(FileNamePart("C:\\REL\\BORDPAG.QR2"), "BORDPAG.QR2");
  EXPECT_EQ(FileNamePart("relatorios/pag/B.QR2"), "B.QR2");
  EXPECT_EQ(FileNamePart("B.QR2"), "B.QR2");
}

// ---- Downloading from our server --------------------------------------------

class DownloadTest : public DemoStoreTest {};

TEST_F(DownloadTest, TheServerHandsOutTheStoredLayoutWithItsStamp) {
  ServerLayoutDownloader get(*net);
  const std::string path = ReportDir() + "/BORDPAG.QR2";
  ASSERT_TRUE(get.GetAtuGerFos(path, "relatorios/pag/BORDPAG.QR2"));
  EXPECT_EQ(ReadText(path), Scalar("SELECT DSCONTEUDO FROM RELATORIO WHERE DSARQRELATORIO = 'BORDPAG.QR2'"));
  EXPECT_EQ(ReadVersionStamp(path), "20260105");

  // An unknown reference fails and leaves the earlier copy as it was.
  EXPECT_FALSE(get.GetAtuGerFos(path, "relatorios/pag/NONE.QR2"));
  EXPECT_EQ(ReadVersionStamp(path), "20260105");
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(ReportDir())) ++files;
  EXPECT_EQ(files, 1u);
}

TEST_F(DownloadTest, TheRefreshFetchesOnceAndAgainWhenTheServerVersionMovesOn) {
  struct Counting : LayoutDownloader {
    explicit Counting(TNetConnection& net) : inner(net) {}
    bool GetAtuGerFos(const std::string& l, const std::string& r) override {
      ++count;
      return inner.GetAtuGerFos(l, r);
    }
    ServerLayoutDownloader inner;
    int count = 0;
  } get(*net);
  ScriptedDialogs dialogs;
  FakePrinter printer;
  LoadRemittance("01", "1");
  RemessaReport report(d, "01", *net, session, dialogs, printer, &get);
  report.FazFTP_Rel("BORDPAG_ITAU.QR2", "MODBORDPAG_NC");
  report.FazFTP_Rel("BORDPAG_ITAU.QR2", "MODBORDPAG_NC");
  EXPECT_EQ(get.count, 1);
  store->db().Exec("UPDATE RELATORIO SET NRVERSAO = '20260313' WHERE DSARQRELATORIO = 'BORDPAG_ITAU.QR2'");
  report.FazFTP_Rel("BORDPAG_ITAU.QR2", "MODBORDPAG_NC");
  EXPECT_EQ(get.count, 2);
  EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace pag::test
