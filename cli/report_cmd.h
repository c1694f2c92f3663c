// `pag00100 report NR --db STORE --company C --pdf PATH [--report-dir DIR]`:
// prints the payment list of remittance NR of company C to a PDF file, the
// way the remittance screen's print button does: the layout that the
// remittance's bank agreement names is refreshed from the server into the
// report folder, then printed. The question "Deseja imprimir o borderô ...?"
// is answered yes. A refusal prints its message key and text
// ("MODBORDPAG_NC: Modelo de borderô ...") and exits 2; any other failure
// exits 1.
//
//   pag00100 report 1 --db pag.db --company 01 --pdf bordero.pdf
//   // payment list of remittance 01/0000000001: 6 slips, R$ 14.143,86, 1 page -> bordero.pdf
#pragma once

#include <string>

namespace CLI {
class App;
}

namespace pag::cli {

struct ReportOptions {
  std::string number;      // NR: the remittance number, with or without its leading zeros
  std::string db;          // --db STORE
  std::string company;     // --company C
  std::string pdf;         // --pdf PATH
  std::string report_dir;  // --report-dir DIR; default: the folder "relatorios" beside the store
};

// Runs the command; returns the exit code (0 printed, 1 failure, 2 refusal).
int RunReport(const ReportOptions& options);

// Registers the subcommand "report" on the application; once parsed it runs
// and ends the program with RunReport's exit code when that is not 0.
void AddReportCommand(CLI::App& app);

}  // namespace pag::cli
