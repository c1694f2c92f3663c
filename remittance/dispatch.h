// The bank dispatch of the remittance screen (EscolheFuncao): one table from
// the remittance's bank code (CDBANCCNAB, compared as text) and a condition
// to the writer of that bank's file. Rows are tested in order and the first
// match wins; a code outside the table, or a row whose writer is not built
// yet, is refused with "Remessa_inv".
//
//   DispatchFacts facts{.standard = "2"};                   // cdsEmprBanc.IDPADRCNABPAG
//   const DispatchRow* row = FindDispatchRow(RemittanceDispatchTable(), "237", facts);
//   row->writer;                                            // "Remessa_BcoBradesco_MultiPag"
//   AccountBankAccepted("041");                             // false: no layout for Banrisul
//
// Adding a bank touches its writer file and one row here.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "remittance/model/writer_context.h"

namespace pag {

// A writer's entry: it writes the marked slips of the context into ctx.out
// and reports each slip it writes (ctx.SlipWritten).
using WriterEntry = void (*)(WriterContext&);

// What a row asks of the remittance besides its bank code.
enum class DispatchCondition {
  kAny,
  kStandardNot2,   // cdsEmprBanc.IDPADRCNABPAG <> "2"
  kStandard2,      // cdsEmprBanc.IDPADRCNABPAG = "2"
  kOwnLayout,      // cdsLayout.IDLAYCNABPAG = "0"
  kNotOwnLayout,   // any other layout, also none
  kLayout240,      // cdsContaCorrente.IDLAYOUTCNAB = "240"
  kNotLayout240,   // any other layout name, also empty
};

// What must be (re)loaded before the conditions of a bank's rows are read.
enum class DispatchPrepare {
  kNone,
  kReloadEmprBanc,  // cdsEmprBanc := GetEmprBanc(CDBANCO, company)
  kLoadLayout,      // cdsLayout := GetLayout(company, account)
};

struct DispatchRow {
  std::array<std::string_view, 2> banks;  // one or two codes; "" for none
  DispatchCondition condition;
  DispatchPrepare prepare;
  std::string_view writer;  // the writer's entry name
  WriterEntry entry;        // nullptr while the writer is not built
  bool gaugeAfter;          // the progress gauge advances by 20 after the writer
  bool accountAccepts;      // the account check lets an account of this bank through

  bool Serves(std::string_view bank) const;
};

// The values the conditions read, as the confirmation loaded them.
struct DispatchFacts {
  std::string standard;    // cdsEmprBanc.IDPADRCNABPAG
  std::string layout;      // cdsLayout.IDLAYCNABPAG
  std::string layoutName;  // cdsContaCorrente.IDLAYOUTCNAB
};

// The production table, in the order the rows are tested.
std::span<const DispatchRow> RemittanceDispatchTable();

bool ConditionHolds(DispatchCondition condition, const DispatchFacts& facts);
// What the rows of a bank need loaded first (the first row of the bank that
// needs something); kNone for a code outside the table.
DispatchPrepare PrepareFor(std::span<const DispatchRow> table, std::string_view bank);
// The first row that serves the bank and whose condition holds; nullptr
// when there is none.
const DispatchRow* FindDispatchRow(std::span<const DispatchRow> table, std::string_view bank,
                                   const DispatchFacts& facts);

// Whether the account check accepts an account of this bank: the bank has a
// row in the production table and a layout to write.
bool AccountBankAccepted(std::string_view bank);
// Every code the account check accepts, in table order without repeats.
std::vector<std::string> AccountCheckBanks();

}  // namespace pag
