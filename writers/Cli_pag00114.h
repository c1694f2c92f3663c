// Banco do Brasil (bank "001"): the payment remittance file in the
// FEBRABAN 240-position layout. One file header, one batch per run of slips
// of one payment mode (bank slips of Banco do Brasil and of other banks in
// batches of their own), each with its header, its detail segments (A and B
// for credits and payment orders, J and J-52 for bank slips, O for bills,
// O and W for guides with a seal, N for taxes without barcode) and its
// trailer, and one file trailer.
//
//   WriterContext ctx{d, net, localdb, session, dialogs, out, "01", "001", "001"};
//   d.cdsBoletos.SetIndexName("idxGeraRemessa");
//   Remessa_BcoBrasil(ctx);   // every marked slip of cdsBoletos, or nothing
//
// The records reach ctx.out only once the whole file is built: a slip that
// is refused (a payment mode this file cannot carry, a negative amount, a
// value too long for its field, an unknown branch, a registration number
// longer than 14 digits) stops the run through MensErro before anything is
// written. cdsBoletos is left filtered to the marked slips.
#pragma once

#include <string_view>

#include "remittance/model/writer_context.h"
#include "writers/cnab/record.h"

namespace pag {

void Remessa_BcoBrasil(WriterContext& ctx);

// The layout of one record of a Banco do Brasil remittance file (the file's
// line, without CR LF), for readers of the file: by its record type and
// segment, and for a segment N by the payment method of its batch
// (positions 12-13 of the batch header). Nullptr for a line of no record of
// this file.
const Layout* BcoBrasilLayout(std::string_view line, std::string_view batchMethod);

}  // namespace pag
