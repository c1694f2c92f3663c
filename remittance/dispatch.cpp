#include "remittance/dispatch.h"

#include <algorithm>

#include "writers/Cli_pag00103.h"
#include "writers/Cli_pag00104.h"
#include "writers/Cli_pag00113.h"
#include "writers/Cli_pag00114.h"

namespace pag {
namespace {

using C = DispatchCondition;
using P = DispatchPrepare;

// Writers that are not built yet have a null entry: the confirmation stops
// at them with "Remessa_inv", inside its unit of work, so nothing is kept.
constexpr DispatchRow kTable[] = {
    // Bradesco: the classic layout, or Multipag when the agreement says "2".
    // The agreement is read again for this bank right before the choice.
    {{"237", ""}, C::kStandardNot2, P::kReloadEmprBanc, "Remessa_BcoBradesco", Remessa_BcoBradesco, false, true},
    {{"237", ""}, C::kStandard2, P::kReloadEmprBanc, "Remessa_BcoBradesco_MultiPag", nullptr, false, true},
    // Itaú: the "Risco" layout when the agreement (as the confirmation loaded it) says "2".
    {{"341", ""}, C::kStandard2, P::kNone, "Remessa_BcoItau_Risco", nullptr, true, true},
    {{"341", ""}, C::kAny, P::kNone, "Remessa_BcoItau", Remessa_BcoItau, true, true},
    {{"275", "356"}, C::kAny, P::kNone, "Remessa_BcoReal", nullptr, true, true},
    {{"291", ""}, C::kAny, P::kNone, "Remessa_BcoBCN", nullptr, true, true},
    {{"745", ""}, C::kAny, P::kNone, "Remessa_BcoCitiBank", nullptr, true, true},
    {{"151", ""}, C::kAny, P::kNone, "Remessa_BcoNossaCaixa", nullptr, true, true},
    {{"748", ""}, C::kAny, P::kNone, "Remessa_BcoSicredi", nullptr, true, true},
    {{"422", ""}, C::kAny, P::kNone, "Remessa_BcoSafra", nullptr, true, true},
    // Unibanco: its own layout when the account's layout is "0", else FEBRABAN.
    {{"409", ""}, C::kOwnLayout, P::kLoadLayout, "Remessa_Unibanco", nullptr, true, true},
    {{"409", ""}, C::kNotOwnLayout, P::kLoadLayout, "Remessa_Unibanco_Febraban", nullptr, true, true},
    {{"033", "353"}, C::kAny, P::kNone, "Remessa_Santander", Remessa_Santander, true, true},
    {{"001", ""}, C::kAny, P::kNone, "Remessa_BcoBrasil", Remessa_BcoBrasil, true, true},
    {{"479", ""}, C::kAny, P::kNone, "Remessa_BcoBankBoston", nullptr, true, true},
    // HSBC: the 240-position layout when the account names it, else the 266 one.
    {{"399", ""}, C::kLayout240, P::kNone, "Remessa_BcoHSBC", nullptr, true, true},
    {{"399", ""}, C::kNotLayout240, P::kNone, "Remessa_BcoHSBC_266", nullptr, true, true},
    {{"104", ""}, C::kAny, P::kNone, "Remessa_BcoCaixa", nullptr, true, true},
    {{"453", "749"}, C::kAny, P::kNone, "Remessa_BcoRural", nullptr, true, true},
    {{"756", ""}, C::kAny, P::kNone, "Remessa_BcoSICOOB", nullptr, true, true},
    // Banrisul has no layout to write: its accounts are refused already by
    // the account check, before any number is drawn.
    {{"041", ""}, C::kAny, P::kNone, "Remessa_BcoBanrisul", nullptr, true, false},
    {{"021", ""}, C::kAny, P::kNone, "Remessa_BcoBanestes", nullptr, true, true},
};

}  // namespace

bool DispatchRow::Serves(std::string_view bank) const {
  return !bank.empty() && (banks[0] == bank || banks[1] == bank);
}

std::span<const DispatchRow> RemittanceDispatchTable() { return kTable; }

bool ConditionHolds(DispatchCondition condition, const DispatchFacts& facts) {
  switch (condition) {
    case C::kAny: return true;
    case C::kStandardNot2: return facts.standard != "2";
    case C::kStandard2: return facts.standard == "2";
    case C::kOwnLayout: return facts.layout == "0";
    case C::kNotOwnLayout: return facts.layout != "0";
    case C::kLayout240: return facts.layoutName == "240";
    case C::kNotLayout240: return facts.layoutName != "240";
  }
  return false;
}

DispatchPrepare PrepareFor(std::span<const DispatchRow> table, std::string_view bank) {
  for (const DispatchRow& row : table)
    if (row.Serves(bank) && row.prepare != P::kNone) return row.prepare;
  return P::kNone;
}

const DispatchRow* FindDispatchRow(std::span<const DispatchRow> table, std::string_view bank,
                                   const DispatchFacts& facts) {
  for (const DispatchRow& row : table)
    if (row.Serves(bank) && ConditionHolds(row.condition, facts)) return &row;
  return nullptr;
}

bool AccountBankAccepted(std::string_view bank) {
  bool served = false;
  for (const DispatchRow& row : kTable) {
    if (!row.Serves(bank)) continue;
    if (!row.accountAccepts) return false;
    served = true;
  }
  return served;
}

std::vector<std::string> AccountCheckBanks() {
  std::vector<std::string> banks;
  for (const DispatchRow& row : kTable)
    for (std::string_view b : row.banks)
      if (!b.empty() && AccountBankAccepted(b) && std::find(banks.begin(), banks.end(), b) == banks.end())
        banks.emplace_back(b);
  return banks;
}

}  // namespace pag
