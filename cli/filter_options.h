// The two filter dialogs typed from the command line. The options say what
// a clerk types into the dialog; these functions set its controls through
// the dialog's own handlers (radio clicks, lookup buttons, key presses, the
// edits' exit handlers) and press its confirm button, so the dialog's checks
// and its request to the server are the ones the screen makes.
//
//   SlipFilterOptions o;
//   o.suppliers = {"F001"};
//   o.dueFrom = "2026-12-01";
//   TypeSlipFilter(dialog, o, dialogs);   // "Lista" of suppliers, F001 picked, due from 01/12/2026, confirmed
//
// A refusal of the dialog ends the command with its key (Abort); an option
// the dialog cannot take at all (a date that is not one, an amount with
// letters, a code its lists do not offer) with std::invalid_argument.
#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace pag {
class TfrmFiltroBoletoCNAB;
class TfrmFiltroRemessaCNAB;
}  // namespace pag

namespace pag::cli {

class CliDialogs;

// The slip filter ("Filtro de Boletos a Enviar") of remit. Empty options
// leave the control as the dialog shows it (its kept criteria).
struct SlipFilterOptions {
  std::vector<std::string> suppliers;   // --supplier CODE: "Fornecedor", "Lista"
  std::vector<std::string> payeeBanks;  // --payee-bank CODE: "Banco Beneficiário", "Lista"
  std::string docFrom, docTo;           // --doc-from / --doc-to: "Número"
  std::string dueFrom, dueTo;           // --due-from / --due-to YYYY-MM-DD: "Vencimento"
  std::vector<std::string> modes;       // --mode CODE: "Tipo de Baixa", "Lista"
  std::string valueFrom, valueTo;       // --value-from / --value-to: "Valor"
  bool Any() const;
};

// The remittance filter ("Filtro de Remessas") of list, and the number
// search of show, rewrite and cancel-slips.
struct RemittanceFilterOptions {
  bool anyDate = false;                 // --any-date: both remittance dates emptied
  std::string from, to;                 // --from / --to YYYY-MM-DD: "Data de Remessa"
  std::vector<std::string> accounts;    // --account CODE: "Conta Corrente", "Lista"
  std::vector<std::string> operators;   // --operator-of CODE: "Operador", "Lista"
  std::string valueFrom, valueTo;       // --value-from / --value-to: remittance "Valor"
  std::string number;                   // --number NR: "Número Remessa"
  std::vector<std::string> suppliers;   // --supplier CODE: slips page, "Fornecedor"
  std::string dueFrom, dueTo;           // --due-from / --due-to: slips page, "Vencimento"
  std::vector<std::string> modes;       // --mode CODE: slips page, "Tipo de Baixa"
  std::string numberOption = "--number";  // how errors name the number
  bool Any() const;
  // A remittance by its number, whatever its date (show, rewrite, cancel-slips).
  static RemittanceFilterOptions ByNumber(const std::string& number);
};

void AddSlipFilterOptions(CLI::App* sub, SlipFilterOptions& o);
void AddRemittanceFilterOptions(CLI::App* sub, RemittanceFilterOptions& o);

// Types the options into the shown dialog and confirms it.
void TypeSlipFilter(TfrmFiltroBoletoCNAB& f, const SlipFilterOptions& o, CliDialogs& dialogs);
void TypeRemittanceFilter(TfrmFiltroRemessaCNAB& f, const RemittanceFilterOptions& o, CliDialogs& dialogs);

}  // namespace pag::cli
