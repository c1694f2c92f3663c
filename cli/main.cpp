// pag00100: the remittance module from the command line.
#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv) {
  CLI::App app{"pag00100 - bank remittance (CNAB) files of accounts payable"};
  app.set_version_flag("--version", std::string("pag00100 ") + PAG_VERSION);
  app.require_subcommand(0, 1);
  auto* version = app.add_subcommand("version", "Print the version");
  CLI11_PARSE(app, argc, argv);
  if (version->parsed() || app.get_subcommands().empty()) {
    std::cout << "pag00100 " << PAG_VERSION << "\n";
  }
  return 0;
}
