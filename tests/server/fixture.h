// Shared by the server tests: a store in a temporary folder, loaded with the
// import example, and a connection to it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

#include "host/connection.h"
#include "host/server/import.h"
#include "host/server/schema.h"
#include "host/server/server.h"

namespace pag::test {

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::string ExamplePath() { return std::string(PAG_TEST_DATA) + "/import-example.json"; }

// A folder removed at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "pagsrvXXXXXX").string();
    if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
    path_ = templ;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// A store loaded with tests/data/import-example.json, and a connection.
class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store = std::make_unique<Store>(dir.File("store.db"), Store::Mode::kCreate);
    ImportFile(*store, ExamplePath());
    transport = std::make_shared<InProcessTransport>(*store);
    net = std::make_unique<TNetConnection>(transport);
  }

  Reply Call(const std::string& method, std::vector<Arg> args = {}) { return net->Call(method, args); }
  Packet CallPacket(const std::string& method, std::vector<Arg> args = {}) {
    return net->CallPacket(method, std::move(args));
  }
  // Runs SQL on the store for checks ("SELECT IDSITUCNABP FROM ...").
  std::string Scalar(const std::string& sql) {
    sql::Stmt st(store->db(), sql);
    return st.Step() ? st.Text(0) : std::string("<none>");
  }

  TempDir dir;
  std::unique_ptr<Store> store;
  std::shared_ptr<InProcessTransport> transport;
  std::unique_ptr<TNetConnection> net;
};

inline std::string Str(const Packet& p, std::size_t row, std::string_view field) {
  const Value& v = p.At(row, field);
  return IsNull(v) ? std::string("<null>") : ValueToText(v);
}

// A slips packet as the screen sends it: keys and the mark.
inline Packet SlipRows(std::initializer_list<std::tuple<std::string, std::string, std::string>> rows) {
  Packet p;
  p.fields = {{"CDFILIBPAG", FieldKind::kString, 4}, {"NRLANBOLPAG", FieldKind::kString, 10},
              {"IDMARCADO", FieldKind::kString, 1}};
  for (const auto& [b, e, m] : rows) p.rows.push_back({b, e, m});
  return p;
}

}  // namespace pag::test
