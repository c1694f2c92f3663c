#include "cli/filter_options.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <stdexcept>

#include "cli/cli_dialogs.h"
#include "filters/Cli_pag00101.h"
#include "filters/Cli_pag00102.h"
#include "host/datetime.h"

namespace pag::cli {
namespace {

std::invalid_argument BadOption(const std::string& option, const std::string& value, const std::string& why) {
  std::string message = option;
  message += " ";
  message += value;
  message += ": ";
  message += why;
  return std::invalid_argument(message);
}

// Types a text into an edit: the field emptied first, then key by key, each
// key through the edit's key handler when it has one (a swallowed key means
// the field does not take the text). The edit must end up holding the text
// whole: a field never takes more than its length.
void TypeText(MaskEdit& edit, const std::string& option, const std::string& text,
              const std::function<void(char&)>& keyPress = {}) {
  edit.SetText("");
  for (char c : text) {
    char key = c;
    if (keyPress) keyPress(key);
    if (key == 0) throw BadOption(option, text, std::string("the field does not take '") + c + "'");
  }
  edit.SetText(text);
  if (edit.Text() != text) {
    std::string why = "the field takes at most ";
    why += std::to_string(edit.MaxLength());
    why += " characters";
    throw BadOption(option, text, why);
  }
}

// Types an amount into a number edit: each key by the rule of the edit's key
// handler (MaxNumber with the edit's bounds: digits, one separator "," or
// ".", no sign), then the text as the edit takes it.
void TypeAmount(NumberEdit& edit, const std::string& option, const std::string& text) {
  std::string typed;
  for (char key : text) {
    if (!MaxNumber(typed, edit.IntDigits(), edit.Decimals(), key)) {
      std::string why = "not an amount the field takes (digits, one \",\" or \".\", at most ";
      why += std::to_string(edit.IntDigits());
      why += " digits before it and ";
      why += std::to_string(edit.Decimals());
      why += " after)";
      throw BadOption(option, text, why);
    }
    typed += key;
  }
  if (!edit.SetText(typed)) throw BadOption(option, text, "not an amount the field takes");
}

// Types a date given as YYYY-MM-DD into a date edit, the way it shows dates.
void TypeDate(DateEdit& edit, const std::string& option, const std::string& text) {
  const auto d = ParseDate(text);
  if (!d) throw BadOption(option, text, "not a date (YYYY-MM-DD)");
  edit.SetDate(*d);
}

void AddDate(CLI::App* sub, const char* name, std::string& into, const char* help) {
  sub->add_option(name, into, help)->type_name("YYYY-MM-DD");
}

}  // namespace

bool SlipFilterOptions::Any() const {
  return !suppliers.empty() || !payeeBanks.empty() || !docFrom.empty() || !docTo.empty() || !dueFrom.empty() ||
         !dueTo.empty() || !modes.empty() || !valueFrom.empty() || !valueTo.empty();
}

bool RemittanceFilterOptions::Any() const {
  return anyDate || !from.empty() || !to.empty() || !accounts.empty() || !operators.empty() || !valueFrom.empty() ||
         !valueTo.empty() || !number.empty() || !suppliers.empty() || !dueFrom.empty() || !dueTo.empty() ||
         !modes.empty();
}

RemittanceFilterOptions RemittanceFilterOptions::ByNumber(const std::string& number) {
  RemittanceFilterOptions o;
  o.anyDate = true;
  o.number = number;
  o.numberOption = "remittance number";
  return o;
}

void AddSlipFilterOptions(CLI::App* sub, SlipFilterOptions& o) {
  const char* group = "Slip filter";
  sub->add_option("--supplier", o.suppliers, "Only the slips of this supplier (CDFORNECED, repeatable)")
      ->group(group);
  sub->add_option("--payee-bank", o.payeeBanks, "Only the slips paid to this bank (repeatable)")->group(group);
  sub->add_option("--doc-from", o.docFrom, "First invoice number")->group(group);
  sub->add_option("--doc-to", o.docTo, "Last invoice number (default: the first)")->group(group);
  AddDate(sub, "--due-from", o.dueFrom, "First due date (default: the settings' window around the processing date)");
  AddDate(sub, "--due-to", o.dueTo, "Last due date");
  sub->add_option("--mode", o.modes, "Only the slips of this payment form (CDTPBAIXAPAG, repeatable)")->group(group);
  auto* to = sub->add_option("--value-to", o.valueTo, "Highest slip value")->group(group);
  sub->add_option("--value-from", o.valueFrom, "Lowest slip value (with --value-to)")->group(group)->needs(to);
  for (const char* name : {"--due-from", "--due-to"}) sub->get_option(name)->group(group);
}

void AddRemittanceFilterOptions(CLI::App* sub, RemittanceFilterOptions& o) {
  const char* group = "Remittance filter";
  auto* any = sub->add_flag("--any-date", o.anyDate, "Remittances of any date")->group(group);
  AddDate(sub, "--from", o.from, "First remittance date (default: the processing date)");
  AddDate(sub, "--to", o.to, "Last remittance date (default: the processing date)");
  sub->get_option("--from")->group(group)->excludes(any);
  sub->get_option("--to")->group(group)->excludes(any);
  sub->add_option("--account", o.accounts, "Only the remittances of this account (CDREDUCONT, repeatable)")
      ->group(group);
  sub->add_option("--operator-of", o.operators, "Only the remittances made by this operator (repeatable)")
      ->group(group);
  auto* to = sub->add_option("--value-to", o.valueTo, "Highest remittance total")->group(group);
  sub->add_option("--value-from", o.valueFrom, "Lowest remittance total (with --value-to)")->group(group)->needs(to);
  sub->add_option("--number", o.number, "The remittance of this number (within the dates)")->group(group);
  sub->add_option("--supplier", o.suppliers, "Only remittances with a slip of this supplier (repeatable)")
      ->group(group);
  AddDate(sub, "--due-from", o.dueFrom, "Only remittances with a slip due from this date (with --due-to)");
  AddDate(sub, "--due-to", o.dueTo, "... up to this date");
  for (const char* name : {"--due-from", "--due-to"}) sub->get_option(name)->group(group);
  sub->add_option("--mode", o.modes, "Only remittances with a slip of this payment form (repeatable)")->group(group);
}

void TypeSlipFilter(TfrmFiltroBoletoCNAB& f, const SlipFilterOptions& o, CliDialogs& dialogs) {
  if (!o.suppliers.empty()) {
    f.rbtListFornClick();
    dialogs.PickNext("--supplier", o.suppliers);
    f.btnListFornClick();
  }
  if (!o.payeeBanks.empty()) {
    f.rbtListBancBeneClick();
    dialogs.PickNext("--payee-bank", o.payeeBanks);
    f.btnBancBenefClick();
  }
  if (!o.docFrom.empty()) {
    TypeText(f.medDocIni, "--doc-from", o.docFrom);
    f.medDocIniExit();
  }
  if (!o.docTo.empty()) {
    TypeText(f.medDocFin, "--doc-to", o.docTo);
    f.medDocFinExit();
  }
  if (!o.dueFrom.empty()) {
    TypeDate(f.depDtIniVen, "--due-from", o.dueFrom);
    f.depDtIniVenExit();
  }
  if (!o.dueTo.empty()) {
    TypeDate(f.depDtFinVen, "--due-to", o.dueTo);
    f.depDtFinVenExit();
  }
  if (!o.modes.empty()) {
    f.rbtFPagClick();
    dialogs.PickNext("--mode", o.modes);
    f.btnPesqFPagClick();
  }
  if (!o.valueFrom.empty()) TypeAmount(f.nedVrLiqIni, "--value-from", o.valueFrom);
  if (!o.valueTo.empty()) TypeAmount(f.nedVrLiqFin, "--value-to", o.valueTo);
  f.sbtConfirmaClick();
}

void TypeRemittanceFilter(TfrmFiltroRemessaCNAB& f, const RemittanceFilterOptions& o, CliDialogs& dialogs) {
  f.ActivePage = TfrmFiltroRemessaCNAB::kTshRemessa;
  if (o.anyDate) {
    f.depDtIniVen.Clear();
    f.depDtIniVenChange();
    f.depDtFinVen.Clear();
    f.depDtFinVenChange();
  }
  if (!o.from.empty()) {
    TypeDate(f.depDtIniVen, "--from", o.from);
    f.depDtIniVenChange();
    f.depDtIniVenExit();
  }
  if (!o.to.empty()) {
    TypeDate(f.depDtFinVen, "--to", o.to);
    f.depDtFinVenChange();
    f.depDtFinVenExit();
  }
  if (!o.accounts.empty()) {
    f.rbtListaCCorClick();
    dialogs.PickNext("--account", o.accounts);
    f.btpContCorrClick();
  }
  if (!o.operators.empty()) {
    f.rbtListaOperClick();
    dialogs.PickNext("--operator-of", o.operators);
    f.btpOperadorClick();
  }
  if (!o.valueFrom.empty()) TypeAmount(f.nedVrRemIni, "--value-from", o.valueFrom);
  if (!o.valueTo.empty()) TypeAmount(f.nedVrRemFin, "--value-to", o.valueTo);
  if (!o.number.empty()) {
    TypeText(f.medNrRemessa, o.numberOption, o.number, [&f](char& key) { f.medNrRemessaKeyPress(key); });
    f.medNrRemessaExit();
  }
  if (!o.suppliers.empty() || !o.dueFrom.empty() || !o.dueTo.empty() || !o.modes.empty()) {
    f.ActivePage = TfrmFiltroRemessaCNAB::kTshBoletos;
    if (!o.suppliers.empty()) {
      f.rbtListFornClick();
      dialogs.PickNext("--supplier", o.suppliers);
      f.btnListFornClick();
    }
    if (!o.dueFrom.empty()) {
      TypeDate(f.depVencIni, "--due-from", o.dueFrom);
      f.depVencIniExit();
    }
    if (!o.dueTo.empty()) {
      TypeDate(f.depVencFin, "--due-to", o.dueTo);
      f.depVencFinExit();
    }
    if (!o.modes.empty()) {
      f.rbtFPagClick();
      dialogs.PickNext("--mode", o.modes);
      f.btnPesqFPagClick();
    }
  }
  f.sbtConfirmaClick();
}

}  // namespace pag::cli
