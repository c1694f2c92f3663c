// pag00100: the remittance module from the command line.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <iostream>

#include "cli/remit_cmd.h"
#include "cli/report_cmd.h"
#include "host/server/admin.h"
#include "host/server/import.h"
#include "host/server/schema.h"
#include "writers/cnab/invariants.h"

namespace {

void PrintSummary(const pag::ImportSummary& s, const std::string& file) {
  std::cout << "imported " << s.total << " rows from " << file << "\n";
  for (const auto& [table, n] : s.tables) std::cout << "  " << table << ": " << n << "\n";
}

// init --db STORE [--demo] [--data FILE] [--force]
int RunInit(const std::string& db, bool demo, std::string data, bool force) {
  if (demo && data.empty()) data = pag::DefaultDemoDataPath();
  if (!data.empty() && !std::filesystem::exists(data)) {
    std::cerr << "pag00100 init: the demo data " << data << " does not exist\n";
    return 1;
  }
  pag::CreateStore(db, force);
  std::cout << "created store " << db << " (schema version " << pag::kSchemaVersion << ")\n";
  if (!data.empty()) {
    try {
      pag::Store store(db);
      PrintSummary(pag::ImportFile(store, data), data);
    } catch (...) {
      std::filesystem::remove(db);
      throw;
    }
  }
  return 0;
}

// check FILE [--width N]: the invariants of a bank file (every record of the
// layout's width, printable ASCII, CR LF after each). Without --width, the
// width of the first record.
int RunCheck(const std::string& file, int width) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::cerr << "pag00100 check: cannot read " << file << "\n";
    return 1;
  }
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (width <= 0) {
    const auto eol = content.find("\r\n");
    width = static_cast<int>(eol == std::string::npos ? content.size() : eol);
  }
  const auto problems = pag::CheckRecords(content, width);
  for (const auto& p : problems) std::cerr << file << ": " << pag::Describe(p) << "\n";
  if (!problems.empty()) return 1;
  std::cout << file << ": " << std::count(content.begin(), content.end(), '\n') << " records of " << width
            << " positions, printable ASCII, CR LF\n";
  return 0;
}

int RunImport(const std::string& db, const std::string& file) {
  pag::Store store(db);
  PrintSummary(pag::ImportFile(store, file), file);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"pag00100 - bank remittance (CNAB) files of accounts payable"};
  app.set_version_flag("--version", std::string("pag00100 ") + PAG_VERSION);
  app.require_subcommand(0, 1);
  auto* version = app.add_subcommand("version", "Print the version");

  std::string db, data, file;
  bool demo = false, force = false;
  auto* init = app.add_subcommand("init", "Create an empty store, or the demo store with --demo");
  init->add_option("--db", db, "Store file to create")->required();
  init->add_flag("--demo", demo, "Also load the demo data (data/demo.json)");
  init->add_option("--data", data, "Load this import file instead of the demo data");
  init->add_flag("--force", force, "Replace an existing store file");

  auto* import = app.add_subcommand("import", "Load a JSON import file into a store (see docs/import-format.md)");
  import->add_option("--db", db, "Store file")->required();
  import->add_option("file", file, "Import file (JSON)")->required();

  int width = 0;
  auto* check = app.add_subcommand("check", "Check a bank file: record width, printable ASCII, CR LF");
  check->add_option("file", file, "Bank file")->required();
  check->add_option("--width", width, "Record width (default: the first record's)");

  pag::cli::AddRemittanceCommands(app);
  pag::cli::AddReportCommand(app);

  CLI11_PARSE(app, argc, argv);
  try {
    if (init->parsed()) return RunInit(db, demo, data, force);
    if (import->parsed()) return RunImport(db, file);
    if (check->parsed()) return RunCheck(file, width);
  } catch (const std::exception& e) {
    std::cerr << "pag00100 " << app.get_subcommands().front()->get_name() << ": " << e.what() << "\n";
    return 1;
  }
  if (version->parsed() || app.get_subcommands().empty()) {
    std::cout << "pag00100 " << PAG_VERSION << "\n";
  }
  return 0;
}
