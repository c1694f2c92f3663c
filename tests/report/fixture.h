// Shared by the report tests: the demo store in a temporary folder with a
// report folder beside it, the two connections (the screen's and the report
// server's), a remittance of the screen, and reading a PDF back as text.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "host/connection.h"
#include "host/server/import.h"
#include "host/server/schema.h"
#include "host/server/server.h"
#include "remittance/model/remessa_data.h"
#include "report/payment_list.h"
#include "server/fixture.h"

namespace pag::test {

// Qt draws without a display in every report test.
inline const bool kOffscreen = [] { return setenv("QT_QPA_PLATFORM", "offscreen", 1) == 0; }();

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Output of a shell command; nullopt when it could not run or failed.
inline std::optional<std::string> RunCommand(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string out;
  std::array<char, 4096> buf{};
  while (std::size_t n = fread(buf.data(), 1, buf.size(), pipe)) out.append(buf.data(), n);
  if (pclose(pipe) != 0) return std::nullopt;
  return out;
}

inline bool HaveTool(const std::string& tool) {
  return RunCommand("command -v " + tool + " >/dev/null 2>&1 && echo yes").value_or("") == "yes\n";
}

// The text of a PDF, pages separated by form feeds, laid out as printed.
inline std::string PdfText(const std::string& pdf) {
  return RunCommand("pdftotext -layout -enc UTF-8 '" + pdf + "' -").value_or("<pdftotext failed>");
}

// The demo store (data/demo.json) and everything a print needs.
class DemoStoreTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Importing the demo is the slow part: do it once and copy the file.
    suite_dir_ = std::make_unique<TempDir>();
    Store s(suite_dir_->File("demo.db"), Store::Mode::kCreate);
    ImportFile(s, std::string(PAG_SOURCE_DIR) + "/data/demo.json");
    s.db().Exec("PRAGMA wal_checkpoint(TRUNCATE)");
  }
  static void TearDownTestSuite() { suite_dir_.reset(); }

  void SetUp() override {
    std::filesystem::copy_file(suite_dir_->File("demo.db"), StorePath());
    store = std::make_unique<Store>(StorePath());
    net = std::make_unique<TNetConnection>(std::make_shared<InProcessTransport>(*store));
    qrdesign = std::make_unique<TNetConnection>(std::make_shared<InProcessTransport>(*store), "Qrd.rdmQRDesign");
    std::filesystem::create_directories(ReportDir());
    session.empresa = "01";
    session.report_dir = ReportDir();
  }

  std::string StorePath() const { return dir.File("store.db"); }
  std::string ReportDir() const { return dir.File("relatorios"); }

  // Puts remittance `number` of `company` in the screen's cdsCNABPag.
  void LoadRemittance(const std::string& company, const std::string& number) {
    Packet p = report::ReadRemittance(*net, company, number);
    ASSERT_EQ(p.rows.size(), 1u) << company << "/" << number;
    d.cdsCNABPag.LoadPacket(std::move(p));
  }

  std::string Scalar(const std::string& sql) {
    sql::Stmt st(store->db(), sql);
    return st.Step() ? st.Text(0) : std::string("<none>");
  }

  TempDir dir;
  std::unique_ptr<Store> store;
  std::unique_ptr<TNetConnection> net;
  std::unique_ptr<TNetConnection> qrdesign;
  Session session;
  RemessaData d;

 private:
  static inline std::unique_ptr<TempDir> suite_dir_;
};

}  // namespace pag::test
