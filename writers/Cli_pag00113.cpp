#include "writers/Cli_pag00113.h"

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "host/barcode.h"
#include "host/dialogs.h"
#include "host/errors.h"
#include "host/text.h"
#include "remittance/model/cnab_helpers.h"
#include "writers/cnab/febraban240.h"
#include "writers/cnab/fields.h"

namespace pag {
namespace {

// Records of both bank codes carry "033".
constexpr Febraban240Bank kSantander{"033", "Santander (033)", 240};
constexpr std::string_view kOwnBank = "033";

// The payment modes this file has a record for. Any other marked slip (the
// tax guides without barcode "J", "K", "N", "Q", "V", a compensation "P")
// would be written as a credit to the payee's account: it is refused. So is
// a slip of a mode paid by its barcode ("I", "R", "U") that has none.
constexpr std::string_view kModos = "BFZORIUGHXCDST";
constexpr std::string_view kModosCodigoBarras = "IRU";

// ---- Record layouts -------------------------------------------------------------

// The company, its agreement and its paying account (18-102), in the file
// header and in every batch header.
constexpr FieldSpec kEmpresaRows[] = {
    {18, 18, "Tipo de inscrição"},
    {19, 32, "Número de inscrição"},
    {33, 52, "Convênio"},
    {53, 57, "Agência"},
    {58, 58, "DV da agência"},
    {59, 70, "Conta corrente"},
    {71, 71, "DV da conta"},
    {72, 72, "DV da agência/conta"},
    {73, 102, "Nome da empresa"},
};

constexpr FieldSpec kFileHeaderHead[] = {
    {1, 3, "Banco"},
    {4, 7, "Lote"},
    {8, 8, "Registro"},
    {9, 17, "CNAB"},
};
constexpr FieldSpec kFileHeaderTail[] = {
    {103, 132, "Nome do banco"},
    {133, 142, "CNAB"},
    {143, 143, "Remessa"},
    {144, 151, "Data de geração"},
    {152, 157, "Hora de geração"},
    {158, 163, "Sequência do arquivo"},
    {164, 166, "Versão do layout"},
    {167, 171, "Densidade"},
    {172, 240, "CNAB"},
};
constexpr auto kFileHeaderRows = JoinRows(kFileHeaderHead, kEmpresaRows, kFileHeaderTail);
constexpr Layout kFileHeader("Header de arquivo", 240, kFileHeaderRows.rows);

// Batch header: the batch's service (1-17) and the company (18-102), then
// the address block of bank-slip and credit batches, or blanks in tax
// batches.
constexpr FieldSpec kBatchHeaderHead[] = {
    {1, 3, "Banco"},
    {4, 7, "Lote"},
    {8, 8, "Registro"},
    {9, 9, "Operação"},
    {10, 11, "Tipo de serviço"},
    {12, 13, "Forma de lançamento"},
    {14, 16, "Versão do layout"},
    {17, 17, "CNAB"},
};
constexpr FieldSpec kBatchHeaderAddress[] = {
    {103, 142, "Mensagem"},
    {143, 172, "Logradouro"},
    {173, 177, "Número"},
    {178, 192, "Complemento"},
    {193, 212, "Cidade"},
    {213, 220, "CEP"},
    {221, 222, "Estado"},
    {223, 230, "CNAB"},
    {231, 240, "Ocorrências"},
};
constexpr FieldSpec kBatchHeaderNoAddress[] = {
    {103, 240, "CNAB"},
};
constexpr auto kBatchHeaderRows = JoinRows(kBatchHeaderHead, kEmpresaRows, kBatchHeaderAddress);
constexpr auto kTaxBatchHeaderRows = JoinRows(kBatchHeaderHead, kEmpresaRows, kBatchHeaderNoAddress);
constexpr Layout kBatchHeader("Header de lote", 240, kBatchHeaderRows.rows);
constexpr Layout kTaxBatchHeader("Header de lote (tributos)", 240, kTaxBatchHeaderRows.rows);

// Segment A: the family's rows, with the account's one check digit (42)
// and a last blank (43), and this bank's tail.
constexpr FieldSpec kSegmentADigits[] = {
    {42, 42, "DV da conta"},
    {43, 43, "DV da agência/conta"},
};
constexpr FieldSpec kSegmentATail[] = {
    {218, 219, "Finalidade do DOC"},
    {220, 229, "CNAB"},
    {230, 230, "Aviso ao favorecido"},
    {231, 240, "Ocorrências"},
};
constexpr auto kSegmentARows =
    JoinRows(kFebrabanSegmentAHeadRows, kSegmentADigits, kFebrabanSegmentAPaymentRows, kSegmentATail);
constexpr Layout kSegmentA("Segmento A", 240, kSegmentARows.rows);

// Segment B: the family's rows, then this bank's tail.
constexpr FieldSpec kSegmentBTail[] = {
    {211, 214, "Reservado"},
    {215, 225, "CNAB"},
    {226, 230, "Reservado"},
    {231, 240, "CNAB"},
};
constexpr auto kSegmentBRows = JoinRows(kFebrabanSegmentBHeadRows, kSegmentBTail);
constexpr Layout kSegmentB("Segmento B", 240, kSegmentBRows.rows);

// The segment B of a PIX credit by key: the key's type and the key.
constexpr FieldSpec kSegmentBPixRows[] = {
    {1, 3, "Banco"},
    {4, 7, "Lote"},
    {8, 8, "Registro"},
    {9, 13, "Nº do registro"},
    {14, 14, "Segmento"},
    {15, 17, "Tipo de chave Pix"},
    {18, 18, "Tipo de inscrição do favorecido"},
    {19, 32, "Inscrição do favorecido"},
    {33, 67, "CNAB"},
    {68, 127, "CNAB"},
    {128, 226, "Chave Pix"},
    {227, 232, "CNAB"},
    {233, 240, "CNAB"},
};
constexpr Layout kSegmentBPix("Segmento B (Pix)", 240, kSegmentBPixRows);

constexpr FieldSpec kFileTrailerRows[] = {
    {1, 3, "Banco"},
    {4, 7, "Lote"},
    {8, 8, "Registro"},
    {9, 17, "CNAB"},
    {18, 23, "Quantidade de lotes"},
    {24, 29, "Quantidade de registros"},
    {30, 240, "CNAB"},
};
constexpr Layout kFileTrailer("Trailer de arquivo", 240, kFileTrailerRows);

// ---- Payment methods ------------------------------------------------------------

// The payment method (forma de lançamento) of a slip, by its payment mode
// and its bank.
std::string FormaLancamento(std::string_view modo, std::string_view banco) {
  switch (modo.empty() ? ' ' : modo.front()) {
    case 'B': return banco == kOwnBank ? "30" : "31";
    case 'F': return "45";
    case 'Z': return "47";
    case 'O': return "10";
    case 'R':
    case 'I': return "11";
    case 'U': return "99";
    case 'G': return "17";
    case 'H': return "18";
    case 'X': return "22";
    default: return banco == kOwnBank ? "01" : "03";
  }
}

// What a slip of a method is written as, and in which kind of batch.
enum class Tipo {
  kBoleto,        // bank slips: J and J-52
  kPix,           // PIX: A, and for a key the PIX segment B
  kCredito,       // credits and payment orders: A and B
  kCodigoBarras,  // bills and guides with barcode: O (and W)
  kTributo,       // taxes without barcode: N
};

Tipo TipoDe(std::string_view method) {
  if (method == "30" || method == "31") return Tipo::kBoleto;
  if (method == "45" || method == "47") return Tipo::kPix;
  if (method == "11" || method == "99") return Tipo::kCodigoBarras;
  if (method == "17" || method == "18" || method == "22") return Tipo::kTributo;
  return Tipo::kCredito;
}

// Service type of a tax batch.
std::string_view TipoServicoTributo(std::string_view method) {
  for (std::string_view m : {"16", "17", "18", "19", "21", "25", "27", "35", "91", "11", "99"})
    if (method == m) return "22";
  return "20";
}

// ---- Small rules ----------------------------------------------------------------

// The text, or one blank in its place when it is empty.
std::string OrBlank(std::string s) { return s.empty() ? std::string(1, ' ') : s; }

// The payee's registration digits (the file's own registration when there
// is one, else the supplier's) and its type: "1" for the 11 digits of a
// person, "2" otherwise.
struct Inscricao {
  std::string type;
  std::string digits;
};
Inscricao InscricaoFavorecido(std::string_view fileRegistration, std::string_view registration) {
  Inscricao i;
  i.digits = AllTrim(Nr_Codigo(EmptyString(fileRegistration) ? registration : fileRegistration));
  i.type = std::string(i.digits.size() == 11 ? "1" : "2");
  return i;
}

// The agency part of a payee: number and check digit.
void AgenciaFavorecido(const SantanderPayeeSource& s, SantanderPayeeAccount& out) {
  const std::string ag = NovosCamposValidos(s.agency);
  if (!EmptyString(s.agencyPicture)) {
    const int p = Pos("-", s.agencyPicture);
    if (p == 0) {
      out.agency = LeftStr(AllTrim(ag), 5);
      out.agencyDigit = " ";
    } else {
      out.agency = CampoValido(LeftStr(ag, p - 1));
      out.agencyDigit = OrBlank(AllTrim(CampoValido(Copy(ag, p, 1))));
    }
    return;
  }
  const int q = Pos("-", s.agency);
  if (q == 0) {
    out.agency = AllTrim(LeftStr(s.agency, 5));
    out.agencyDigit = " ";
  } else {
    out.agency = CampoValido(Copy(s.agency, 1, q - 1));
    out.agencyDigit = OrBlank(AllTrim(CampoValido(Copy(s.agency, q + 1, 1))));
  }
}

// The account part of a payee: 12 positions of number and one of check
// digit, always measured on the account's letters and digits.
void ContaFavorecido(const SantanderPayeeSource& s, SantanderPayeeAccount& out) {
  const std::string digits = NovosCamposValidos(s.account);
  const int p = Pos("-", s.accountPicture);
  if (p > 0) {
    // The picture says where the check digit starts; the account is padded
    // to the picture's length, and number and digit are both taken from it.
    const std::string acc = Ajusta(digits, static_cast<int>(NovosCamposValidos(s.accountPicture).size()));
    const std::size_t inTamDVCCF = AllTrim(Copy(s.accountPicture, p + 1, 2)).size();
    if (inTamDVCCF == 2) {
      out.account = CampoValido(LeftStr(acc, p));
      out.accountDigit = OrBlank(AllTrim(CampoValido(Copy(acc, p + 1, 1))));
    } else {
      out.account = CampoValido(LeftStr(acc, p - 1));
      out.accountDigit = OrBlank(AllTrim(CampoValido(Copy(acc, p, 1))));
    }
    return;
  }
  const int q = Pos("-", s.account);
  if (q > 0) {
    // Stored with its check digit after a "-": the digits on each side.
    const std::string number = NovosCamposValidos(Copy(s.account, 1, q - 1));
    const std::string dv = NovosCamposValidos(Copy(s.account, q + 1, 2));
    if (dv.size() == 2) {
      out.account = Ajusta(number, 11) + dv.substr(0, 1);
      out.accountDigit = dv.substr(1, 1);
    } else {
      out.account = number;
      out.accountDigit = OrBlank(dv);
    }
    return;
  }
  if (s.payeeBank == kOwnBank) {
    out.account = digits.empty() ? std::string() : digits.substr(0, digits.size() - 1);
    out.accountDigit = OrBlank(Right(digits, 1));
  } else {
    out.account = LeftStr(digits, 12);
    out.accountDigit = " ";
  }
}

// ---- The writer -----------------------------------------------------------------

// The slip fields the file reads, found once per run.
enum CampoBoleto : std::size_t {
  kMarcado,
  kModo,
  kCodBarra,
  kLinhaDigitavel,
  kBancoFav,
  kAgenciaFav,
  kContaFav,
  kFornecedor,
  kNomeFav,
  kInscricaoFav,
  kInscricaoCnab,
  kFilialBol,
  kLancamento,
  kVencimento,
  kValor,
  kNossoNumero,
  kLimiteDoc,
  kTipoChavePix,
  kChavePix,
  kReceita,
  kReferencia,
  kLacre,
  kDigitoLacre,
  kCampos
};
constexpr std::array<std::string_view, kCampos> kNomesCampos = {
    "IDMARCADO",    "IDBAIXAUTILP",  "CDBARRAPAG",   "DSLINHBARPAG", "CDBANCBOLP", "CDAGENBOLP",
    "CDCCORBOLP",   "CDFORNECED",    "NMRAZSOCFORN", "NRINSJURFORN", "NRINSCNABBOP", "CDFILIBPAG",
    "NRLANBOLPAG",  "DTVENBOLPAG",   "VRFINALBPAG",  "NRRETCNABPAG", "VRMAXDOCCNAB", "IDCHAVEPIX",
    "CHAVEPIX",     "CDRECEITAGUIA", "NRREFEGUIA",   "NRLACRCONECTSOC", "NRDIGICONECTSOC",
};

// The company, or the remittance's branch, as the headers carry it.
struct Empresa {
  std::string type;    // registration type: "1" or "2"
  std::string number;  // registration digits, at most 14
  std::string name;    // NMFILIAL or NMEMPRESA, as stored
};

class RemessaSantander {
 public:
  explicit RemessaSantander(WriterContext& ctx) : ctx_(ctx), d_(ctx.d), slips_(ctx.d.cdsBoletos), payee_(ctx.d.cdsBoletos), file_(kSantander) {
    for (std::size_t i = 0; i < kCampos; ++i) campos_[i] = &slips_.FieldByName(kNomesCampos[i]);
  }

  void Run();
  const RecordContext& context() const { return file_.context(); }

 private:
  // Run
  int VerificaModos();
  void Filtra(bool boletos);
  void PrimeiraPassada();
  void Boletos();
  std::string Metodo();
  void ProcessaPagamento(const std::string& method);
  void CarregaFilial();
  void LeEmpresa();
  const std::string& Contribuinte();
  void EnderecoFornecedor();
  void MascarasBanco();
  [[noreturn]] void Recusa(const std::string& key);

  // Records
  void FileHeader();
  void BatchHeader(const std::string& method);
  void PayingAccount(Record& rec) const;
  void SegmentA();
  void SegmentB();
  void SegmentBPix();
  void SegmentJ();
  void SegmentJ52();
  void SegmentO();
  void SegmentW();
  void SegmentN();
  void CloseBatch();
  void FileTrailer();

  // Slip values
  std::string_view Campo(CampoBoleto c) const { return FieldText(*campos_[c]); }
  std::string_view Modo() const { return Campo(kModo); }
  std::string SeuNumero() const { return AllTrim(std::string(Campo(kFilialBol)).append(Campo(kLancamento))); }
  Money Valor() const { return NotNegative(campos_[kValor]->AsMoney(), "do pagamento"); }
  std::optional<Date> Vencimento() const { return OptionalDate(*campos_[kVencimento]); }
  bool Exclusao() const { return operation_ == "E"; }
  Inscricao Favorecido() const { return InscricaoFavorecido(Campo(kInscricaoCnab), Campo(kInscricaoFav)); }
  void SomaLote() {
    if (!Exclusao()) file_.AddToBatchTotal(Valor());
  }

  WriterContext& ctx_;
  RemessaData& d_;
  TDataSet& slips_;
  const PayeeFields payee_;  // the slip fields of RetornaBanco
  std::array<const TField*, kCampos> campos_{};
  std::optional<TaxGuideFields> guideFields_;  // looked up at the first guide of the run
  Febraban240File file_;

  std::string stFormaPagto;  // payment method of the slip being written
  std::string stBanco;       // bank of the slip being written
  std::string stIdent;       // the company's agreement with the bank
  std::string stNrDoc;       // the company's document number of the slip
  bool boGeraBPix = false;   // segment A left the payee to a PIX key

  std::string operation_;  // IDOPECNABPAG: "I", "E" or "B"
  bool branch_ = false;    // the remittance names a branch
  Empresa payer_;          // the company or branch of the headers
  Empresa company_;        // the company itself (J-52, taxes)
  AgencyAccount paying_;   // the company's paying account
  std::string payingDigit_;  // its one check digit (71)
  std::string sequence_;   // the file's sequence (158-163)
  std::optional<std::string> contributor_;  // the company's registration digits, for taxes
  SlipName slip_;          // the slip of stBanco and stFormaPagto: its own text in the dataset
  std::string masksBank_;  // the bank whose pictures qryMascBancoForn holds
  bool masksLoaded_ = false;
  std::string agencyPicture_;   // its CDPICTAGEN
  std::string accountPicture_;  // its CDPICTCONT
  int written_ = 0;  // slips written so far
};

void RemessaSantander::Run() {
  SlipsInUse inUse(slips_);  // left unfiltered, whatever happens
  SupplierAddresses::Run addressesKept(d_.addresses);  // each supplier read once
  const int marked = VerificaModos();
  file_.Reserve(2 * static_cast<std::int64_t>(slips_.RecordCount()) + 32);
  FileHeader();
  PrimeiraPassada();
  Boletos();
  FileTrailer();
  // Every marked slip went into the file, each once.
  if (written_ != marked)
    throw std::logic_error("Santander: " + std::to_string(written_) + " slips written of " + std::to_string(marked) +
                           " marked");
  file_.Commit(ctx_.out);
}

// Every marked slip must be of a mode this file has a record for (and
// carry its barcode when the mode is paid by it); the first that is not
// stops the run before anything is written or numbered. Gives the number of
// marked slips.
namespace {

// A barcode of a slip's row, read in place when it is text.
bool HasBarcode(const Value& v) {
  if (const auto* text = std::get_if<std::string>(&v)) return !EmptyString(*text);
  return !EmptyString(ValueToText(v));
}

}  // namespace

int RemessaSantander::VerificaModos() {
  slips_.SetFiltered(false);
  const std::string bank = AllTrim(d_.cdsCNABPag.FieldByName("CDBANCCNAB").AsString());
  const int n = slips_.RecordCount();
  int marked = 0;
  for (int i = 1; i <= n; ++i) {
    const auto* mark = std::get_if<std::string>(&slips_.ValueAt(i, *campos_[kMarcado]));
    if (mark == nullptr || *mark != "S") continue;  // only the text "S" marks a slip
    ++marked;
    const std::string mode = ValueToText(slips_.ValueAt(i, *campos_[kModo]));
    const bool carried = mode.size() == 1 && kModos.find(mode[0]) != std::string_view::npos &&
                         (kModosCodigoBarras.find(mode[0]) == std::string_view::npos ||
                          HasBarcode(slips_.ValueAt(i, *campos_[kCodBarra])));
    if (carried) continue;
    const std::string slip = AllTrim(ValueToText(slips_.ValueAt(i, *campos_[kFilialBol]))) + "/" +
                             AllTrim(ValueToText(slips_.ValueAt(i, *campos_[kLancamento])));
    MensErro(ctx_.dialogs,
             ctx_.msgs().Format("Modo_Nao_Tratado", {slip, mode, bank.empty() ? std::string(kOwnBank) : bank}),
             true, "Modo_Nao_Tratado");
  }
  return marked;
}

// Only the marked slips: the bank slips, or every other one.
void RemessaSantander::Filtra(bool boletos) {
  const TField& marked = *campos_[kMarcado];
  const TField& mode = *campos_[kModo];
  slips_.SetFiltered(false);
  slips_.SetFilter([&marked, &mode, boletos](const TDataSet&) {
    return FieldText(marked) == "S" && (FieldText(mode) == "B") == boletos;
  });
  slips_.SetFiltered(true);
  slips_.First();
}

// The bank and the payment method of the current slip.
std::string RemessaSantander::Metodo() {
  slip_.Set(Campo(kFilialBol), Campo(kLancamento));
  file_.SetSlip(slip_);
  stBanco = RetornaBanco(payee_);
  stFormaPagto = FormaLancamento(Modo(), stBanco);
  return stFormaPagto;
}

// Everything but bank slips, in the order of idxGeraRemessa: a batch holds
// a run of consecutive slips of one method and is closed when the next slip
// is of another one, and at the end.
void RemessaSantander::PrimeiraPassada() {
  Filtra(false);
  std::string next = slips_.Eof() ? std::string() : Metodo();
  while (!slips_.Eof()) {
    const std::string method = next;
    ProcessaPagamento(method);
    slips_.Next();
    if (slips_.Eof()) break;
    next = Metodo();
    if (next != method) CloseBatch();
  }
  if (file_.batchOpen()) CloseBatch();
}

// The bank slips in the order of idxGeraRemessa: one batch of those of
// Santander ("30"), then one of those of other banks ("31").
void RemessaSantander::Boletos() {
  Filtra(true);
  std::vector<int> outros;  // positions of the other banks' slips
  for (; !slips_.Eof(); slips_.Next()) {
    if (Metodo() == "30")
      ProcessaPagamento("30");
    else
      outros.push_back(slips_.RecNo());
  }
  if (file_.batchOpen()) CloseBatch();
  for (const int recNo : outros) {
    slips_.SetRecNo(recNo);
    ProcessaPagamento(Metodo());
  }
  if (file_.batchOpen()) CloseBatch();
}

// One slip into the batch of its method, opened when none is.
void RemessaSantander::ProcessaPagamento(const std::string& method) {
  file_.SetSlip(slip_);
  if (!file_.batchOpen()) BatchHeader(method);
  switch (TipoDe(method)) {
    case Tipo::kPix:
      boGeraBPix = false;
      SegmentA();
      if (method == "45" && boGeraBPix) SegmentBPix();
      break;
    case Tipo::kBoleto:
      SegmentJ();
      SegmentJ52();
      break;
    case Tipo::kCredito:
      SegmentA();
      SegmentB();
      break;
    case Tipo::kCodigoBarras:
      SegmentO();
      if (method == "99") SegmentW();
      break;
    case Tipo::kTributo: SegmentN(); break;
  }
  ctx_.SlipWritten(*campos_[kFilialBol], *campos_[kLancamento]);
  ++written_;
  file_.ClearSlip();
}

void RemessaSantander::Recusa(const std::string& key) {
  ctx_.Refuse(key);
}

// The remittance's branch, loaded when the screen has not loaded it.
void RemessaSantander::CarregaFilial() {
  const RemittanceBranch found = CarregaFilialRemessa(d_, ctx_.net);
  branch_ = found != RemittanceBranch::kNone;
  if (found == RemittanceBranch::kUnknown) Recusa("FIL_N_CAD");
}

// The company, or the branch when the remittance names one, as the headers
// carry it; the company itself for segment J-52 and the taxes. A
// registration of more than 14 digits is refused.
void RemessaSantander::LeEmpresa() {
  const TDataSet& e = branch_ ? d_.cdsFilial : d_.cdsEmpresa;
  payer_.type = CompanyRegistrationType(e.FieldByName(branch_ ? "IDTPIJURFILI" : "IDTPIJUREMPR").AsString());
  payer_.number = Nr_Codigo(AllTrim(e.FieldByName(branch_ ? "NRINSJURFILI" : "NRINSJUREMPR").AsString()));
  if (payer_.number.size() > 14) Recusa(branch_ ? "INSCR_FILI_INV" : "INSCRICAO_INV");
  payer_.name = e.FieldByName(branch_ ? "NMFILIAL" : "NMEMPRESA").AsString();

  const TDataSet& c = d_.cdsEmpresa;
  company_.type = CompanyRegistrationType(c.FieldByName("IDTPIJUREMPR").AsString());
  company_.number = Nr_Codigo(AllTrim(c.FieldByName("NRINSJUREMPR").AsString()));
  company_.name = c.FieldByName("NMRAZSOCEMPR").AsString();
}

// The company's registration digits for the tax records (never the
// branch's), refused when longer than 14 digits.
const std::string& RemessaSantander::Contribuinte() {
  if (!contributor_) {
    if (company_.number.size() > 14) Recusa("INSCRICAO_INV");
    contributor_ = company_.number;
  }
  return *contributor_;
}

// The payee's address of the slip being written: read again when the
// screen holds another supplier's.
void RemessaSantander::EnderecoFornecedor() {
  TDataSet& q = d_.qryEndeForn;
  const std::string_view supplier = Campo(kFornecedor);
  if (q.Active() && !q.IsEmpty() && q.FieldByName("CDFORNECED").AsString() == supplier) return;
  d_.addresses.Show(q, ctx_.localdb, supplier);
}

// The agency and account pictures of the payee's bank (the host's bank
// table), read again for a slip of another bank.
void RemessaSantander::MascarasBanco() {
  const std::string_view bank = Campo(kBancoFav);
  if (masksLoaded_ && masksBank_ == bank) return;
  TDataSet& m = d_.qryMascBancoForn;
  m.Close();
  m.LoadPacket(ctx_.localdb.Query("qryMascBancoForn", {{"P_CDBANCO", Value(std::string(bank))}}));
  masksBank_ = bank;
  masksLoaded_ = true;
  agencyPicture_ = m.IsEmpty() ? std::string() : m.FieldByName("CDPICTAGEN").AsString();
  accountPicture_ = m.IsEmpty() ? std::string() : m.FieldByName("CDPICTCONT").AsString();
}

// ---- Records ------------------------------------------------------------------------

// Registration, agreement, agency and account of the company or branch
// (18-72 of both headers).
void RemessaSantander::PayingAccount(Record& rec) const {
  rec.raw(18, 18, payer_.type);
  rec.num(19, 32, payer_.number);
  rec.text(33, 52, LeftStr(AllTrim(stIdent), 20));
  rec.num(53, 57, paying_.agency);
  rec.blank(58, 58);
  rec.num(59, 70, paying_.account);
  rec.raw(71, 71, payingDigit_);
  rec.blank(72, 72);
}

// File header: the company (or branch), its agreement and paying account,
// and the file's sequence.
void RemessaSantander::FileHeader() {
  file_.ClearSlip();
  operation_ = d_.cdsCNABPag.FieldByName("IDOPECNABPAG").AsString();
  CarregaFilial();
  LeEmpresa();
  stIdent = BuscaIdentPag(d_, ctx_.net, ctx_.companyCode);
  const TDataSet& conta = d_.cdsContaCorrente;
  paying_ = PayingAgencyAccount(conta.FieldByName("CDAGENCIA").AsString(), conta.FieldByName("CDCONTCORR").AsString(),
                                conta.FieldByName("CDPICTCONT").AsString());
  payingDigit_ = OrBlank(Right(AllTrim(CampoValido(LeftStr(Retorna_DAC_ContaCorrente(d_), 2))), 1));
  sequence_ = Right(GeraSequencialCNAB(d_, ctx_.net), 6);

  file_.FileHeader(kFileHeader, [&](Record& rec) {
    rec.blank(9, 17);
    PayingAccount(rec);
    rec.text(73, 102, AllTrim(payer_.name));
    rec.plain(103, 132, "Banco Santander");
    rec.blank(133, 142);
    rec.lit(143, 143, "1");
    rec.date(144, 151, ctx_.ProcessingDate(), "ddmmyyyy");
    rec.date(152, 157, ctx_.Now(), "hhmmss");
    rec.num(158, 163, sequence_);
    rec.lit(164, 166, "060");
    rec.lit(167, 171, "00000");
    rec.blank(172, 240);
  });
}

// Batch header of the method of the slip that opens it: bank slips "030",
// credits and PIX "031", taxes "010" without the address block.
void RemessaSantander::BatchHeader(const std::string& method) {
  const Tipo tipo = TipoDe(method);
  const bool tributo = tipo == Tipo::kCodigoBarras || tipo == Tipo::kTributo;
  std::string_view version = "031";
  if (tipo == Tipo::kBoleto) version = "030";
  if (tributo) version = "010";
  const SlipName saved = file_.context().slip;
  file_.ClearSlip();
  LeEmpresa();  // the registration is checked again for every batch
  stIdent = BuscaIdentPag(d_, ctx_.net, ctx_.companyCode);

  file_.BatchHeader(tributo ? kTaxBatchHeader : kBatchHeader, [&](Record& rec) {
    rec.lit(9, 9, "C");
    rec.num(10, 11, tributo ? TipoServicoTributo(method) : "20");
    rec.num(12, 13, tributo && method == "99" ? "11" : method);
    rec.lit(14, 16, version);
    rec.blank(17, 17);
    PayingAccount(rec);
    rec.text(73, 102, payer_.name);
    if (tributo) {
      rec.blank(103, 240);
      return;
    }
    rec.blank(103, 142);
    rec.blank(143, 172);
    rec.lit(173, 177, "00000");
    rec.blank(178, 192);
    rec.blank(193, 212);
    rec.lit(213, 220, "00000000");
    rec.blank(221, 222);
    rec.blank(223, 230);
    rec.blank(231, 240);
  });
  file_.SetSlip(saved);
}

// The payee's agency and account; an account longer than its bank's
// picture or than its field is refused, naming the field.
SantanderPayeeAccount PayeeOf(const SantanderPayeeSource& source, const RecordContext& context) {
  try {
    return SantanderPayeeAccountOf(source);
  } catch (const FieldError& e) {
    throw FieldError(context.bank + ", Segmento A, positions 24-42 (Agência e conta do favorecido): " + e.what() +
                     "; slip " + context.slip.str());
  }
}

// Segment A: a credit to the payee's account, a payment order or a PIX.
void RemessaSantander::SegmentA() {
  const Money valor = Valor();
  const std::string_view modo = Modo();
  std::string_view camara;
  if (modo == "Z" || modo == "F")
    camara = "009";
  else if (stBanco == kOwnBank)
    camara = "000";
  else
    camara = campos_[kLimiteDoc]->AsMoney() > valor ? "700" : "810";

  // The payee's agency and account: the paying agency for a payment order,
  // zeros when a PIX key names the payee, else by the pictures of its bank.
  SantanderPayeeAccount payee;
  const bool ordem = modo == "O";
  const bool chave = !ordem && !EmptyString(Campo(kTipoChavePix));
  if (ordem) {
    payee.agency = LeftStr(AllTrim(d_.cdsContaCorrente.FieldByName("CDAGENCIA").AsString()), 5);
  } else if (chave) {
    boGeraBPix = true;
  } else {
    MascarasBanco();
    payee = PayeeOf({.agency = Campo(kAgenciaFav),
                     .account = Campo(kContaFav),
                     .agencyPicture = agencyPicture_,
                     .accountPicture = accountPicture_,
                     .payeeBank = stBanco},
                    file_.context());
  }
  stNrDoc = AllTrim(NrDocumento(d_, ctx_.net, std::string(Campo(kFilialBol)), std::string(Campo(kLancamento))));

  file_.Detail(kSegmentA, [&](Record& rec) {
    rec.lit(14, 14, "A");
    rec.num(15, 15, MovementCode(operation_));
    rec.num(16, 17, InstructionCode(operation_));
    rec.num(18, 20, camara);
    rec.num(21, 23, LeftStr(stBanco, 3));
    if (ordem) {
      rec.num(24, 28, payee.agency);
      rec.lit(29, 29, "0");
      rec.blank(30, 41);
      rec.lit(42, 42, "0");
      rec.blank(43, 43);
    } else if (chave) {
      rec.zeros(24, 28);
      rec.zeros(29, 29);
      rec.zeros(30, 41);
      rec.zeros(42, 42);
      rec.zeros(43, 43);
    } else {
      rec.num(24, 28, payee.agency);
      rec.raw(29, 29, payee.agencyDigit);
      rec.num(30, 41, payee.account);
      rec.raw(42, 42, payee.accountDigit);
      rec.blank(43, 43);
    }
    rec.text(44, 73, Campo(kNomeFav));
    rec.plain(74, 93, stNrDoc);
    rec.date(94, 101, Vencimento(), "ddmmyyyy");
    rec.lit(102, 104, "BRL");
    rec.zeros(105, 119);
    rec.amount(120, 134, valor);
    if (Exclusao())
      rec.text(135, 154, Campo(kNossoNumero));
    else
      rec.blank(135, 154);
    rec.zeros(155, 162);
    rec.zeros(163, 177);
    rec.plain(178, 217, SeuNumero());
    rec.num(218, 219, stFormaPagto == "03" ? "03" : "99");
    rec.blank(220, 229);
    rec.lit(230, 230, "0");
    rec.blank(231, 240);
  });
  SomaLote();
}

// Segment B: the payee's registration and address.
void RemessaSantander::SegmentB() {
  EnderecoFornecedor();
  const Inscricao favorecido = Favorecido();
  const TDataSet& q = d_.qryEndeForn;
  auto address = [&q](const char* name) { return q.IsEmpty() ? std::string() : q.FieldByName(name).AsString(); };
  const std::string cep = CampoValido(AllTrim(address("NRCEPFORN")));

  file_.Detail(kSegmentB, [&](Record& rec) {
    rec.lit(14, 14, "B");
    rec.blank(15, 17);
    rec.raw(18, 18, favorecido.type);
    rec.num(19, 32, LeftStr(favorecido.digits, 14));
    rec.text(33, 62, address("DSENDEFORN"));
    rec.lit(63, 67, "00000");
    rec.blank(68, 82);
    rec.text(83, 97, address("NMBAIRFORN"));
    rec.text(98, 117, address("NMMUNICIPIO"));
    if (cep.empty()) {
      rec.zeros(118, 122);
      rec.lit(123, 125, "000");
    } else {
      rec.num(118, 122, LeftStr(cep, 5));
      rec.plain(123, 125, Right(cep, 3));
    }
    rec.text(126, 127, address("SGESTADO"));
    rec.date(128, 135, Vencimento(), "ddmmyyyy");
    rec.amount(136, 150, Valor());
    rec.zeros(151, 165);
    rec.zeros(166, 180);
    rec.zeros(181, 195);
    rec.zeros(196, 210);
    rec.lit(211, 214, "0000");
    rec.blank(215, 225);
    rec.lit(226, 230, "00000");
    rec.blank(231, 240);
  });
}

// PIX segment B: the key that names the payee; it keeps the number of the
// segment A before it.
void RemessaSantander::SegmentBPix() {
  const Inscricao favorecido = Favorecido();
  const std::string_view keyType = Campo(kTipoChavePix);
  const std::string_view key = Campo(kChavePix);
  if (TextLength(keyType) > 2 || TextLength(key) > 99)
    throw FieldError(std::string(kSantander.name) + ", " + std::string(kSegmentBPix.name()) +
                     ": the PIX key type '" + std::string(keyType) + "' or the key '" + std::string(key) +
                     "' is longer than its field (2, 99); slip " + file_.context().slip.str());

  file_.DetailSameSequence(kSegmentBPix, [&](Record& rec) {
    rec.lit(14, 14, "B");
    rec.plain(15, 17, PadR(keyType, 2));
    rec.raw(18, 18, favorecido.type);
    rec.num(19, 32, LeftStr(favorecido.digits, 14));
    rec.blank(33, 67);
    rec.blank(68, 127);
    rec.plain(128, 226, key);
    rec.blank(227, 232);
    rec.blank(233, 240);
  });
}

// Segment J: a bank slip, by its barcode or its typed line, for its value.
void RemessaSantander::SegmentJ() {
  const Money valor = Valor();
  const std::string seuNumero = SeuNumero();
  pag::SegmentJ(file_, {.operation = operation_,
                        .code = SegmentJBarcode(file_, Campo(kCodBarra), Campo(kLinhaDigitavel)),
                        .drawer = Campo(kNomeFav),
                        .due = Vencimento(),
                        .title = valor,
                        .discount = Money(),
                        .surcharge = Money(),
                        .amount = valor,
                        .document = seuNumero,
                        .bankNumber = Campo(kNossoNumero),
                        .currency = "00"});
  SomaLote();
}

// Segment J-52: the company pays and guarantees, the payee receives.
void RemessaSantander::SegmentJ52() {
  const Inscricao favorecido = Favorecido();
  const std::string companyNumber = LeftStr(company_.number, 14);
  const std::string payeeNumber = LeftStr(favorecido.digits, 14);
  const SlipParty company{company_.type, companyNumber, company_.name};
  pag::SegmentJ52(file_, "00", company, {favorecido.type, payeeNumber, Campo(kNomeFav)}, &company);
}

// Segment O: a bill or guide paid by its barcode.
void RemessaSantander::SegmentO() {
  const std::string seuNumero = SeuNumero();
  pag::SegmentO(file_, {.operation = operation_,
                        .barcode = Campo(kCodBarra),
                        .payee = Campo(kNomeFav),
                        .due = Vencimento(),
                        .amount = Valor(),
                        .document = seuNumero});
  SomaLote();
}

// Segment W: the guide's revenue, contributor, identifier and seal.
void RemessaSantander::SegmentW() {
  pag::SegmentW(file_, {.revenueCode = Campo(kReceita),
                        .contributorType = company_.type,
                        .contributorNumber = Contribuinte(),
                        .reference = Campo(kReferencia),
                        .seal = Campo(kLacre),
                        .sealDigits = Campo(kDigitoLacre)});
}

// Segment N: a tax paid without barcode, in the company's name, with the
// complement of its kind.
void RemessaSantander::SegmentN() {
  const Layout* layout = FebrabanSegmentNLayout(stFormaPagto);
  if (layout == nullptr) throw std::logic_error("Santander: no segment N for method " + stFormaPagto);
  if (!guideFields_) guideFields_.emplace(slips_);
  TaxGuide guide = TaxGuideOf(*guideFields_);
  guide.contributorType = d_.cdsEmpresa.FieldByName("IDTPIJUREMPR").AsString();
  guide.contributorNumber = Contribuinte();

  file_.Detail(*layout, [&](Record& rec) {
    rec.lit(14, 14, "N");
    rec.num(15, 15, MovementCode(operation_));
    rec.num(16, 17, InstructionCode(operation_));
    rec.plain(18, 37, SeuNumero());
    rec.blank(38, 57);
    rec.text(58, 87, company_.name);
    rec.date(88, 95, Vencimento(), "ddmmyyyy");
    rec.amount(96, 110, Valor());
    if (stFormaPagto == "18") DarfSimplesComplement(rec, guide, stFormaPagto);
    if (stFormaPagto == "17") GpsComplement(rec, guide, stFormaPagto);
    if (stFormaPagto == "22") GareComplement(rec, guide, stFormaPagto);
    rec.blank(231, 240);
  });
  SomaLote();
}

// Batch trailer: the batch's records and total; the batch is closed.
void RemessaSantander::CloseBatch() {
  file_.ClearSlip();
  file_.StandardBatchTrailer();
}

// File trailer: batches and records of the file.
void RemessaSantander::FileTrailer() {
  file_.ClearSlip();
  file_.FileTrailer(kFileTrailer, [](Record& rec) { rec.blank(30, 240); });
}

}  // namespace

SantanderPayeeAccount SantanderPayeeAccountOf(const SantanderPayeeSource& source) {
  SantanderPayeeAccount out;
  AgenciaFavorecido(source, out);
  ContaFavorecido(source, out);
  return out;
}

void Remessa_Santander(WriterContext& ctx) {
  RemessaSantander writer(ctx);
  RefuseFieldFaults(ctx.dialogs, ctx.msgs(), writer.context(), [&writer] { writer.Run(); });
}

const Layout* SantanderLayout(std::string_view line, std::string_view batchMethod) {
  if (line.size() != 240) return nullptr;
  switch (line[7]) {
    case '0': return &kFileHeader;
    case '1': {
      const Tipo tipo = TipoDe(line.substr(11, 2));
      return tipo == Tipo::kCodigoBarras || tipo == Tipo::kTributo ? &kTaxBatchHeader : &kBatchHeader;
    }
    case '5': return &StandardBatchTrailerLayout(240);
    case '9': return &kFileTrailer;
    case '3': break;
    default: return nullptr;
  }
  switch (line[13]) {
    case 'A': return &kSegmentA;
    case 'B': return line.substr(14, 3) == "   " ? &kSegmentB : &kSegmentBPix;
    case 'J': return line[14] == ' ' && line.substr(17, 2) == "52" ? &kFebrabanSegmentJ52 : &kFebrabanSegmentJ;
    case 'O': return &kFebrabanSegmentO;
    case 'W': return &kFebrabanSegmentW;
    case 'N': return FebrabanSegmentNLayout(batchMethod);
    default: return nullptr;
  }
}

}  // namespace pag
