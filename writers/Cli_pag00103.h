// Bradesco (bank "237", classic agreement): the supplier-payment remittance
// file in the bank's own 500-position layout. One header, one detail per
// marked slip (bank slips, credits, DOC, TED and payment orders) and one
// trailer with the record count and the total paid.
//
//   WriterContext ctx{d, net, localdb, session, dialogs, out, "01", "001", "237", kindIndex, {}};
//   d.cdsBoletos.SetIndexName("idxGeraRemessa");
//   Remessa_BcoBradesco(ctx);   // every marked slip of cdsBoletos, or nothing
//
// ctx.tpRemessaIndex > 0 ("WEB TA") takes the complementary account of the
// details (480-486) from the account number as the screen shows it instead
// of the company's code at the bank (CDCEDENTEBAN).
//
// The records reach ctx.out only once the whole file is built. A marked
// slip this file has no record for (utility bills, tax guides, PIX), a
// negative amount or a value too long for its field stops the run through
// MensErro before anything is written; so does a server reply that reports
// an error (ServerError). cdsBoletos is left after its last row.
#pragma once

#include <string_view>

#include "remittance/model/writer_context.h"
#include "writers/cnab/record.h"

namespace pag {

void Remessa_BcoBradesco(WriterContext& ctx);

// The layout of one line of a Bradesco remittance file (without CR LF), by
// its record type (position 1); nullptr for a line of no record of this file.
const Layout* BcoBradescoLayout(std::string_view line);

}  // namespace pag
