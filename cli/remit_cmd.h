// The remittance commands of pag00100: remit, list, show, rewrite and
// cancel-slips. Each opens the remittance screen over the store and drives
// it through its handlers exactly as a clerk would (the same checks, the
// same questions, the same confirmation): nothing here writes a file or the
// store by another way.
//
//   pag00100 remit --db pag.db --company 01 --account 001 --slips all --out /data/rem.txt --yes
//   remittance: 0000000002
//   file: /data/rem.txt
//   slips: 3
//   total: 600.50
//
// The slips offered and the remittances listed come through the screen's
// two filter dialogs, as on the screen: the filter options of a command are
// typed into the dialog (cli/filter_options.h) and the dialog confirmed.
//
// Exit codes: 0 done; 2 refused by a check of the screen or of a filter
// dialog (the message key and its text are printed: "Remessa_inv: Remessa
// não está disponível para o banco informado.") or by a question that needs
// --yes; 1 any other failure.
#pragma once

#include <string>
#include <vector>

#include "cli/filter_options.h"

namespace CLI {
class App;
}

namespace pag::cli {

// What every remittance command takes.
struct ScreenOptions {
  std::string db;        // --db STORE
  std::string company;   // --company C
  std::string operatorCode;  // --operator OP; default: the first operator allowed to use the company
  std::string clock;     // --clock YYYY-MM-DDTHH:MM:SS: the fixed clock
  std::string date;      // --date YYYY-MM-DD: the processing date
  bool yes = false;      // --yes: answer yes to the screen's questions
};

struct RemitOptions {
  ScreenOptions screen;
  std::string number;    // NR for rewrite, show, cancel-slips
  std::string account;   // --account A
  std::string branch;    // --branch F
  std::string movement;  // --movement I|E|B
  std::string kind;      // --kind K: code 1-4 or the text of the item
  std::string schedule;  // --schedule 1|2
  std::string payDate;   // --pay-date YYYY-MM-DD
  bool allSlips = false;               // --slips all
  std::vector<std::string> slips;      // --slip BRANCH:ENTRY ...
  std::string out;       // --out PATH
  SlipFilterOptions filter;  // remit, rewrite: typed into the slip filter
};

struct ListOptions {
  ScreenOptions screen;
  RemittanceFilterOptions filter;  // typed into the remittance filter
};

int RunRemit(const RemitOptions& o);
int RunList(const ListOptions& o);
int RunShow(const RemitOptions& o);
int RunRewrite(const RemitOptions& o);
int RunCancelSlips(const RemitOptions& o);

// Registers remit, list, show, rewrite and cancel-slips; a command that
// fails ends the program with its exit code.
void AddRemittanceCommands(CLI::App& app);

}  // namespace pag::cli
