// Santander (banks "033" and "353"): the payment remittance file in the
// FEBRABAN 240-position layout. One file header; the batches of the first
// pass, each a run of consecutive slips of one payment method (credits and
// payment orders in segments A and B, PIX in segment A and, for a key, the
// PIX segment B, bills and guides with barcode in segment O (and W), taxes
// without barcode in segment N); then one batch of bank slips of Santander
// and one of other banks (segments J and J-52); one file trailer.
//
//   WriterContext ctx{d, net, localdb, session, dialogs, out, "01", "001", "033"};
//   d.cdsBoletos.SetIndexName("idxGeraRemessa");
//   Remessa_Santander(ctx);   // every marked slip of cdsBoletos, or nothing
//
// The records reach ctx.out only once the whole file is built: a marked slip
// of a payment mode this file has no record for (a DARJ or another tax guide
// without barcode, a compensation, a bill or guide paid by a barcode it does
// not have), a negative amount, a value too long for its field, an unknown
// branch or a registration number longer than 14 digits stops the run
// through MensErro before anything is written. cdsBoletos is left
// unfiltered.
#pragma once

#include <string>
#include <string_view>

#include "remittance/model/writer_context.h"
#include "writers/cnab/record.h"

namespace pag {

void Remessa_Santander(WriterContext& ctx);

// The payee's agency and account of a credit as segment A carries them:
// agency 24-28, its check digit 29, account 30-41, its check digit 42 (each
// digit one character, a blank for none). Worked out from the slip's
// CDAGENBOLP and CDCCORBOLP and the pictures of the payee's bank (CDPICTAGEN,
// CDPICTCONT of qryMascBancoForn); an account picture with two check digits
// ends the account with the first and writes the second as its digit:
//
//   SantanderPayeeAccountOf({.account = "12345-67", .accountPicture = "99999-99", ...})
//       -> account "123456", digit "7"
struct SantanderPayeeSource {
  std::string_view agency = {};          // CDAGENBOLP
  std::string_view account = {};         // CDCCORBOLP
  std::string_view agencyPicture = {};   // CDPICTAGEN of the payee's bank
  std::string_view accountPicture = {};  // CDPICTCONT of the payee's bank
  std::string_view payeeBank = {};       // the slip's bank
};
struct SantanderPayeeAccount {
  std::string agency;
  std::string agencyDigit;
  std::string account;
  std::string accountDigit;
};
SantanderPayeeAccount SantanderPayeeAccountOf(const SantanderPayeeSource& source);

// The layout of one record of a Santander remittance file (the file's line,
// without CR LF), for readers of the file: by its record type and segment,
// and for a segment N by the payment method of its batch (positions 12-13
// of the batch header). Nullptr for a line of no record of this file.
const Layout* SantanderLayout(std::string_view line, std::string_view batchMethod);

}  // namespace pag
