// The CNAB field helpers that read the remittance screen's current rows:
// the payee's bank, agency and account of a slip, the company account split
// by its pictures, the document number and issue date of a slip, the file
// sequence of an account, and the company's identification at the bank.
//
//   std::string bank = RetornaBanco(d.cdsBoletos);             // "237", or " "
//   std::string conta = Retorna_ContaCorrente(d);              // "12345" of "123457" / "99999-9"
//   std::string doc = NrDocumento(d, net, "0001", "0000000042");
#pragma once

#include <string>

#include "host/connection.h"
#include "host/datetime.h"
#include "remittance/model/remessa_data.h"

namespace pag {

// The payee's bank, agency and account of the current slip of `slips`
// (cdsBoletos, or the work copy cdsBolCnab): from the barcode for a bank
// slip (mode "B"; one blank without barcode), else CDBANCBOLP (or the slip's
// CDBANCCNAB when that is empty), CDAGENBOLP and CDCCORBOLP as stored.
// A malformed barcode throws BarcodeError.
std::string RetornaBanco(const TDataSet& slips);
std::string RetornaAgencia(const TDataSet& slips);
std::string RetornaConta(const TDataSet& slips);

// The same, from the slip fields found once for a whole run (a writer asks
// for every slip it places):
//
//   const PayeeFields payee(d.cdsBoletos);
//   for (...) { const std::string bank = RetornaBanco(payee); ... }
struct PayeeFields {
  explicit PayeeFields(const TDataSet& slips);
  const TDataSet& slips;
  const TField& mode;     // IDBAIXAUTILP
  const TField& barcode;  // CDBARRAPAG
  const TField& bank;     // CDBANCBOLP
  const TField& agency;   // CDAGENBOLP
  const TField& account;  // CDCCORBOLP
  const TField* bankCnab;  // CDBANCCNAB, where the dataset has it
};
std::string RetornaBanco(const PayeeFields& f);
std::string RetornaAgencia(const PayeeFields& f);
std::string RetornaConta(const PayeeFields& f);

// The company account of cdsContaCorrente split by its pictures; each falls
// back to "0" on failure (Retorna_DV_Agencia to one blank).
std::string Retorna_ContaCorrente(const RemessaData& d);
std::string Retorna_DAC_ContaCorrente(const RemessaData& d);
std::string Retorna_Agencia(const RemessaData& d);
std::string Retorna_DV_Agencia(const RemessaData& d);

// Document number of a slip: with exactly one invoice behind it, the last 10
// characters of NRNOTAFISC and the first 2 of CDSERIEENTR; else branch +
// entry. Refills cdsDocBol.
std::string NrDocumento(RemessaData& d, TNetConnection& net, const std::string& branch, const std::string& entry);
// Issue date of the slip's document (the current row of cdsDocBol after
// refilling it); the zero date when there is none.
DateTime RetornaEmissao(RemessaData& d, TNetConnection& net, const std::string& branch, const std::string& entry);

// Next file sequence number of the current account, with test files
// numbered 1 to 10 and production files from 11 upwards.
std::string GeraSequencialCNAB(RemessaData& d, TNetConnection& net);

// The company's identification at the bank for the remittance's account:
// the account's own identification when there is one, else the company's
// agreement code with the bank, else "". Refills cdsIdConta and, when it
// comes to that, cdsEmprBanc.
std::string BuscaIdentPag(RemessaData& d, TNetConnection& net, const std::string& company);

// The branch the remittance names (cdsCNABPag.CDFILIAL) as the current row
// of cdsFilial, which is loaded with GetFilial(branch, company) when the
// screen has not loaded it. kNone when the remittance names no branch,
// kUnknown when cdsFilial has no row of it (the writer refuses with
// "FIL_N_CAD").
enum class RemittanceBranch { kNone, kFound, kUnknown };
RemittanceBranch CarregaFilialRemessa(RemessaData& d, TNetConnection& net);

}  // namespace pag
