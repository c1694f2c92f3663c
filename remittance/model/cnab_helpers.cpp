#include "remittance/model/cnab_helpers.h"

#include <string_view>
#include <utility>
#include <vector>
#include <variant>

#include "host/barcode.h"
#include "host/text.h"
#include "writers/cnab/fields.h"

namespace pag {
namespace {

std::string Str(const TDataSet& ds, const char* field) { return ds.FieldByName(field).AsString(); }

// The text of a field of the current row, read in place when it is stored
// as text (these run for every slip a writer places).
std::string_view View(const TDataSet& ds, const char* field, std::string& spare) {
  const TField& f = ds.FieldByName(field);
  if (const auto* s = std::get_if<std::string>(&f.Value())) return *s;
  spare = f.AsString();
  return spare;
}

std::string_view View(const TField& f, std::string& spare) {
  if (const auto* s = std::get_if<std::string>(&f.Value())) return *s;
  spare = f.AsString();
  return spare;
}

}  // namespace

PayeeFields::PayeeFields(const TDataSet& s)
    : slips(s),
      mode(s.FieldByName("IDBAIXAUTILP")),
      barcode(s.FieldByName("CDBARRAPAG")),
      bank(s.FieldByName("CDBANCBOLP")),
      agency(s.FieldByName("CDAGENBOLP")),
      account(s.FieldByName("CDCCORBOLP")),
      bankCnab(s.FindField("CDBANCCNAB")) {}

std::string RetornaBanco(const PayeeFields& f) {
  std::string spare;
  if (View(f.mode, spare) == "B") {
    const std::string_view barcode = View(f.barcode, spare);
    if (EmptyString(barcode)) return std::string(1, ' ');
    return BancoCdBarra(barcode);
  }
  const std::string_view bank = View(f.bank, spare);
  if (EmptyString(bank)) return f.bankCnab != nullptr ? f.bankCnab->AsString() : Str(f.slips, "CDBANCCNAB");
  return std::string(bank);
}

std::string RetornaAgencia(const PayeeFields& f) {
  std::string spare;
  if (View(f.mode, spare) == "B") {
    const std::string_view barcode = View(f.barcode, spare);
    if (EmptyString(barcode)) return std::string(1, ' ');
    return AgenciaCdBarra(barcode);
  }
  return f.agency.AsString();
}

std::string RetornaConta(const PayeeFields& f) {
  std::string spare;
  if (View(f.mode, spare) == "B") {
    const std::string_view barcode = View(f.barcode, spare);
    if (EmptyString(barcode)) return std::string(1, ' ');
    return ContaCdBarra(barcode);
  }
  return f.account.AsString();
}

namespace {

bool IsBankSlip(const TDataSet& slips) {
  std::string spare;
  return View(slips, "IDBAIXAUTILP", spare) == "B";
}

}  // namespace

std::string RetornaBanco(const TDataSet& slips) {
  std::string spare;
  if (IsBankSlip(slips)) {
    const std::string_view barcode = View(slips, "CDBARRAPAG", spare);
    if (EmptyString(barcode)) return std::string(1, ' ');
    return BancoCdBarra(barcode);
  }
  const std::string_view bank = View(slips, "CDBANCBOLP", spare);
  if (EmptyString(bank)) return Str(slips, "CDBANCCNAB");
  return std::string(bank);
}

std::string RetornaAgencia(const TDataSet& slips) {
  std::string spare;
  if (IsBankSlip(slips)) {
    const std::string_view barcode = View(slips, "CDBARRAPAG", spare);
    if (EmptyString(barcode)) return std::string(1, ' ');
    return AgenciaCdBarra(barcode);
  }
  return Str(slips, "CDAGENBOLP");
}

std::string RetornaConta(const TDataSet& slips) {
  std::string spare;
  if (IsBankSlip(slips)) {
    const std::string_view barcode = View(slips, "CDBARRAPAG", spare);
    if (EmptyString(barcode)) return std::string(1, ' ');
    return ContaCdBarra(barcode);
  }
  return Str(slips, "CDCCORBOLP");
}

std::string Retorna_ContaCorrente(const RemessaData& d) {
  return Retorna_ContaCorrente(Str(d.cdsContaCorrente, "CDCONTCORR"), Str(d.cdsContaCorrente, "CDPICTCONT"));
}

std::string Retorna_DAC_ContaCorrente(const RemessaData& d) {
  return Retorna_DAC_ContaCorrente(Str(d.cdsContaCorrente, "CDCONTCORR"), Str(d.cdsContaCorrente, "CDPICTCONT"));
}

std::string Retorna_Agencia(const RemessaData& d) {
  return Retorna_Agencia(Str(d.cdsContaCorrente, "CDAGENCIA"), Str(d.cdsContaCorrente, "CDPICTAGEN"));
}

std::string Retorna_DV_Agencia(const RemessaData& d) {
  return Retorna_DV_Agencia(Str(d.cdsContaCorrente, "CDAGENCIA"), Str(d.cdsContaCorrente, "CDPICTAGEN"));
}

std::string NrDocumento(RemessaData& d, TNetConnection& net, const std::string& branch, const std::string& entry) {
  // Runs for every slip some writers write: the arguments are moved into
  // the call and the invoice's texts read in place.
  std::vector<Arg> args;
  args.reserve(2);
  args.emplace_back(branch);
  args.emplace_back(entry);
  TDataSet& docs = d.cdsDocBol;
  docs.LoadPacket(net.CallPacket("GetDocBole", std::move(args)));
  if (docs.RecordCount() != 1) return branch + entry;
  std::string spareInvoice, spareSeries;
  const std::string_view invoice = View(docs, "NRNOTAFISC", spareInvoice);
  const std::string_view series = View(docs, "CDSERIEENTR", spareSeries);
  std::string doc = Right(invoice, 10);
  doc.append(LeftStr(series, 2));
  return doc;
}

DateTime RetornaEmissao(RemessaData& d, TNetConnection& net, const std::string& branch, const std::string& entry) {
  d.cdsDocBol.LoadPacket(net.CallPacket("GetDocBole", {Arg(branch), Arg(entry)}));
  if (d.cdsDocBol.IsEmpty()) return ZeroDateTime();
  return d.cdsDocBol.FieldByName("DTEMISSAO").AsDateTime();
}

std::string GeraSequencialCNAB(RemessaData& d, TNetConnection& net) {
  const std::string account = Str(d.cdsContaCorrente, "CDREDUCONT");
  std::string seq = net.CallText("ProximoCodigo", {Arg("FaseCNABPag"), Arg(" "), Arg(account)});
  std::string phase = Str(d.cdsContaCorrente, "IDFASCNABPAG");
  if (EmptyString(phase)) {
    CheckResultServ(net.Call("UpDateCC", {Arg(account)}));
    phase.assign(1, 'T');
  }
  const long long n = StrToInt(seq);  // a counter that is not a number ends the run
  if (phase == "T") {
    if (n > 10) {
      CheckResultServ(net.Call("UpDatePrx", {Arg(Ajusta("1", 20)), Arg("FASECNABPAG" + account)}));
      return Ajusta("1", 20);
    }
  } else if (n < 11) {
    CheckResultServ(net.Call("UpDatePrx", {Arg(Ajusta("11", 20)), Arg("FASECNABPAG" + account)}));
    return Ajusta("11", 20);
  }
  return seq;
}

RemittanceBranch CarregaFilialRemessa(RemessaData& d, TNetConnection& net) {
  const TDataSet& rem = d.cdsCNABPag;
  const std::string branch = AllTrim(Str(rem, "CDFILIAL"));
  if (branch.empty()) return RemittanceBranch::kNone;
  TDataSet& filial = d.cdsFilial;
  if (!filial.Active())
    filial.LoadPacket(net.CallPacket("GetFilial", {Arg(Str(rem, "CDFILIAL")), Arg(Str(rem, "CDEMPRESA"))}));
  if (filial.IsEmpty()) return RemittanceBranch::kUnknown;
  if (AllTrim(Str(filial, "CDFILIAL")) != branch && !filial.Locate("CDFILIAL", {Value(branch)}))
    return RemittanceBranch::kUnknown;
  return RemittanceBranch::kFound;
}

std::string BuscaIdentPag(RemessaData& d, TNetConnection& net, const std::string& company) {
  d.cdsIdConta.LoadPacket(net.CallPacket("GetIdConta", {Arg(Str(d.cdsCNABPag, "CDREDUCONT"))}));
  const std::string id = Str(d.cdsIdConta, "CDIDPAGCONTCORR");
  if (!EmptyString(id)) return id;
  d.cdsEmprBanc.LoadPacket(net.CallPacket("GetEmprBanc", {Arg(Str(d.cdsCNABPag, "CDBANCO")), Arg(company)}));
  const TField& code = d.cdsEmprBanc.FieldByName("CDEMPBANCPAG");
  return d.cdsEmprBanc.IsEmpty() || code.IsNull() ? std::string() : code.AsString();
}

}  // namespace pag
