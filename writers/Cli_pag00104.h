// Itaú (bank "341", first agreement standard): the payment remittance file in
// the bank's 240-position layout. One file header; then, in the order of the
// marked slips other than bank slips, one batch per run of slips of one
// payment form (credits and DOC/TED in segment A, PIX by key or account in A
// and B, PIX by QR code in J, J-52 and J-52 PIX, taxes without barcode in N,
// barcoded taxes and bills in O); then one batch of Itaú bank slips (form
// "30") and one of other banks' bank slips (form "31"), in J and J-52; and
// one file trailer. A segment B or J-52 carries the number of the segment
// before it.
//
//   WriterContext ctx{d, net, localdb, session, dialogs, out, "01", "001", "341"};
//   d.cdsBoletos.SetIndexName("idxGeraRemessa");
//   Remessa_BcoItau(ctx);   // every marked slip of cdsBoletos, or nothing
//
// The records reach ctx.out only once the whole file is built. A marked slip
// this file cannot carry (a payment order, a bank slip without barcode, a
// barcoded tax without barcode, a credit whose payee bank does not match
// its form) stops the run through MensErro ("Modo_Nao_Tratado", naming the
// slip and why) before anything is written, as do a negative amount, a
// value too long for its field, an unknown branch and a registration number
// longer than 14 digits. cdsBoletos is left unfiltered.
#pragma once

#include <string_view>

#include "remittance/model/writer_context.h"
#include "writers/cnab/record.h"

namespace pag {

void Remessa_BcoItau(WriterContext& ctx);

// The layout of one record of an Itaú remittance file (the file's line,
// without CR LF), for readers of the file: by its record type and segment,
// and for a segment N, a J-52 and a batch trailer by the payment form of its
// batch (positions 12-13 of the batch header). Nullptr for a line of no
// record of this file.
const Layout* BcoItauLayout(std::string_view line, std::string_view batchForm);

}  // namespace pag
