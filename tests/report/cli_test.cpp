// `pag00100 report`: prints the PDF, and a refusal prints its key and text
// and exits 2.
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>

#include <filesystem>

#include "cli/report_cmd.h"
#include "fixture.h"

namespace pag::test {
namespace {

namespace fs = std::filesystem;

class ReportCommandTest : public DemoStoreTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kOffscreen);
    DemoStoreTest::SetUp();
    options.db = StorePath();
    options.company = "01";
    options.pdf = dir.File("out.pdf");
    options.report_dir = ReportDir();
  }

  // Runs the command; its exit code, with what it printed.
  int Run(const std::string& number) {
    options.number = number;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int rc = cli::RunReport(options);
    out = ::testing::internal::GetCapturedStdout();
    err = ::testing::internal::GetCapturedStderr();
    return rc;
  }

  cli::ReportOptions options;
  std::string out, err;
};

TEST_F(ReportCommandTest, PrintsThePaymentList) {
  ASSERT_EQ(Run("1"), 0) << err;
  EXPECT_EQ(out, "payment list of remittance 01/0000000001: 6 slips, R$ 14.143,86, 1 page -> " + options.pdf + "\n");
  EXPECT_EQ(err, "");
  EXPECT_TRUE(fs::exists(options.pdf));
  EXPECT_EQ(ReadVersionStamp(ReportDir() + "/BORDPAG_ITAU.QR2"), "20260312");
}

TEST_F(ReportCommandTest, RefusalsPrintTheirKeyAndExit2) {
  store->db().Exec("UPDATE CNABPAG SET DSARQBORDPAG = '' WHERE CDEMPRESA = '01' AND NRCNABPAG = '0000000002'");
  EXPECT_EQ(Run("2"), 2);
  EXPECT_EQ(err, "MODBORDPAG_NC: Modelo de borderô de pagamento não cadastrado para o banco informado.\n");

  store->db().Exec(
      "UPDATE CNABPAG SET DSARQBORDPAG = '../../BORDPAG.QR2' WHERE CDEMPRESA = '01' AND NRCNABPAG = '0000000002'");
  EXPECT_EQ(Run("2"), 2);
  EXPECT_EQ(err, "ARQU_INVALIDO: Aquivo não existe.\n");
  EXPECT_FALSE(fs::exists(options.pdf));
}

TEST_F(ReportCommandTest, FailuresExit1) {
  EXPECT_EQ(Run("99"), 1);
  EXPECT_EQ(err, "pag00100 report: company 01 has no remittance 99\n");
  options.db = dir.File("missing.db");
  EXPECT_EQ(Run("1"), 1);
  EXPECT_NE(err.find("does not exist"), std::string::npos) << err;
}

TEST_F(ReportCommandTest, TheSubcommandEndsWithTheExitCode) {
  CLI::App app;
  cli::AddReportCommand(app);
  const std::vector<std::string> ok{"report", "1", "--db", StorePath(), "--company", "01", "--pdf", options.pdf,
                                    "--report-dir", ReportDir()};
  auto parse = [&](std::vector<std::string> args) {
    std::reverse(args.begin(), args.end());  // CLI11 takes them last first
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    int rc = 0;
    try {
      app.parse(args);
    } catch (const CLI::ParseError& e) {
      rc = e.get_exit_code();
    }
    ::testing::internal::GetCapturedStdout();
    err = ::testing::internal::GetCapturedStderr();
    return rc;
  };
  EXPECT_EQ(parse(ok), 0) << err;
  auto missing = ok;
  missing[1] = "99";
  EXPECT_EQ(parse(missing), 1);
  EXPECT_NE(parse({"report", "1"}), 0);  // --db, --company and --pdf are required
}

}  // namespace
}  // namespace pag::test
