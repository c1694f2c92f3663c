#include "writers/Cli_pag00114.h"

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

constexpr Febraban240Bank kBancoDoBrasil{"001", "Banco do Brasil (001)", 240};
constexpr std::string_view kOwnBank = "001";

// The payment modes of this file: bank slips, credits and payment orders
// (ProcessaTitulo), bills and taxes (ProcessaTributo).
constexpr std::string_view kTitulos = "BCDOST";
constexpr std::string_view kTributos = "GHIJRUX";

// Bank slips above this value go to a "03" batch's clearing house "018"
// (TED), the others to "700" (DOC).
constexpr Money kLimiteDoc = Money::FromCents(500000);

// ---- Record layouts -------------------------------------------------------------

constexpr FieldSpec kFileHeaderRows[] = {
    {1, 3, "Banco"},
    {4, 7, "Lote"},
    {8, 8, "Registro"},
    {9, 17, "CNAB"},
    {18, 18, "Tipo de inscrição"},
    {19, 32, "Número de inscrição"},
    {33, 41, "Convênio"},
    {42, 45, "Produto"},
    {46, 52, "Reservado ao banco"},
    {53, 57, "Agência"},
    {58, 58, "DV da agência"},
    {59, 70, "Conta corrente"},
    {71, 72, "DV da conta"},
    {73, 102, "Nome da empresa"},
    {103, 132, "Nome do banco"},
    {133, 142, "CNAB"},
    {143, 143, "Remessa"},
    {144, 151, "Data de geração"},
    {152, 157, "Hora de geração"},
    {158, 163, "Sequência do arquivo"},
    {164, 166, "Versão do layout"},
    {167, 171, "Densidade"},
    {172, 191, "Reservado ao banco"},
    {192, 211, "Reservado à empresa"},
    {212, 222, "CNAB"},
    {223, 225, "Identificação"},
    {226, 228, "Serviços"},
    {229, 240, "CNAB"},
};
constexpr Layout kFileHeader("Header de arquivo", 240, kFileHeaderRows);

constexpr FieldSpec kBatchHeaderRows[] = {
    {1, 3, "Banco"},
    {4, 7, "Lote"},
    {8, 8, "Registro"},
    {9, 9, "Operação"},
    {10, 11, "Tipo de serviço"},
    {12, 13, "Forma de lançamento"},
    {14, 16, "Versão do layout"},
    {17, 17, "CNAB"},
    {18, 18, "Tipo de inscrição"},
    {19, 32, "Número de inscrição"},
    {33, 41, "Convênio"},
    {42, 45, "Produto"},
    {46, 52, "Reservado ao banco"},
    {53, 57, "Agência"},
    {58, 58, "DV da agência"},
    {59, 70, "Conta corrente"},
    {71, 72, "DV da conta"},
    {73, 102, "Nome da empresa"},
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
constexpr Layout kBatchHeader("Header de lote", 240, kBatchHeaderRows);

// Segment A: the family's rows, with this bank's two account check digits
// (42-43) and its tail.
constexpr FieldSpec kSegmentADigits[] = {
    {42, 43, "DV da conta"},
};
constexpr FieldSpec kSegmentATail[] = {
    {218, 219, "Complemento do serviço"},
    {220, 224, "Finalidade TED"},
    {225, 226, "Complemento de finalidade"},
    {227, 229, "CNAB"},
    {230, 230, "Aviso ao favorecido"},
    {231, 240, "Ocorrências"},
};
constexpr auto kSegmentARows =
    JoinRows(kFebrabanSegmentAHeadRows, kSegmentADigits, kFebrabanSegmentAPaymentRows, kSegmentATail);
constexpr Layout kSegmentA("Segmento A", 240, kSegmentARows.rows);

// Segment B: the family's rows, then this bank's tail.
constexpr FieldSpec kSegmentBTail[] = {
    {211, 225, "Código do documento"},
    {226, 226, "Aviso"},
    {227, 232, "Código UG"},
    {233, 240, "CNAB"},
};
constexpr auto kSegmentBRows = JoinRows(kFebrabanSegmentBHeadRows, kSegmentBTail);
constexpr Layout kSegmentB("Segmento B", 240, kSegmentBRows.rows);

// Segments J, J-52, O, W and N: the family's (febraban240.h).

// ---- The writer ---------------------------------------------------------------------

// The text of a text field of the current row, read in place.
std::string_view Text(const TField& f) { return FieldText(f); }

// The slip fields the file reads, found once per run.
struct SlipFields {
  explicit SlipFields(TDataSet& s)
      : marked(s.FieldByName("IDMARCADO")),
        mode(s.FieldByName("IDBAIXAUTILP")),
        barcode(s.FieldByName("CDBARRAPAG")),
        typedLine(s.FieldByName("DSLINHBARPAG")),
        bank(s.FieldByName("CDBANCBOLP")),
        agency(s.FieldByName("CDAGENBOLP")),
        account(s.FieldByName("CDCCORBOLP")),
        supplier(s.FieldByName("CDFORNECED")),
        name(s.FieldByName("NMRAZSOCFORN")),
        registration(s.FieldByName("NRINSJURFORN")),
        personType(s.FieldByName("IDTPIJURFORN")),
        fileRegistration(s.FieldByName("NRINSCNABBOP")),
        filePersonType(s.FieldByName("IDTPICNABBOP")),
        branch(s.FieldByName("CDFILIBPAG")),
        entry(s.FieldByName("NRLANBOLPAG")),
        due(s.FieldByName("DTVENBOLPAG")),
        value(s.FieldByName("VRFINALBPAG")),
        bankNumber(s.FieldByName("NRRETCNABPAG")),
        revenueCode(s.FieldByName("CDRECEITAGUIA")),
        reference(s.FieldByName("NRREFEGUIA")),
        seal(s.FieldByName("NRLACRCONECTSOC")),
        sealDigits(s.FieldByName("NRDIGICONECTSOC")) {}

  TField& marked;
  TField& mode;
  TField& barcode;
  TField& typedLine;
  TField& bank;
  TField& agency;
  TField& account;
  TField& supplier;
  TField& name;
  TField& registration;
  TField& personType;
  TField& fileRegistration;
  TField& filePersonType;
  TField& branch;
  TField& entry;
  TField& due;
  TField& value;
  TField& bankNumber;
  TField& revenueCode;
  TField& reference;
  TField& seal;
  TField& sealDigits;
};

// The supplier's address (qryEndeForn) that segment B reads.
struct AddressFields {
  explicit AddressFields(TDataSet& q)
      : supplier(q.FieldByName("CDFORNECED")),
        street(q.FieldByName("DSENDEFORN")),
        district(q.FieldByName("NMBAIRFORN")),
        city(q.FieldByName("NMMUNICIPIO")),
        postcode(q.FieldByName("NRCEPFORN")),
        state(q.FieldByName("SGESTADO")) {}

  TField& supplier;
  TField& street;
  TField& district;
  TField& city;
  TField& postcode;
  TField& state;
};

// The paying company as segment J-52 and the tax records carry it, even in
// a branch's remittance.
struct Company {
  std::string type;    // registration type: "1" or "2"
  std::string number;  // registration digits
  std::string name;    // NMRAZSOCEMPR
};

// The company, or the remittance's branch, as the headers carry it.
struct Payer {
  std::string type;    // registration type: "1" or "2"
  std::string number;  // registration digits, at most 14
  std::string name;
  std::string street;
  std::string city;
  std::string postcode;
  std::string state;
};

class RemessaBcoBrasil {
 public:
  explicit RemessaBcoBrasil(WriterContext& ctx)
      : ctx_(ctx),
        d_(ctx.d),
        slips_(ctx.d.cdsBoletos),
        f_(slips_),
        address_(ctx.d.qryEndeForn),
        file_(kBancoDoBrasil) {}

  void Run();
  // The slip being written ("0001/0000001234"), for messages.
  std::string slip() const { return file_.context().slip.str(); }
  const RecordContext& context() const { return file_.context(); }

 private:
  // Run
  void VerificaModos();
  void ProcessaTitulo();
  void ProcessaTributo();
  std::string BancoPagamento() const;
  std::string FormaLancamento();
  void CarregaFilial();
  void LeEmpresa();
  const std::string& Contribuinte();
  void EnderecoFornecedor();
  [[noreturn]] void Recusa(const std::string& key);

  // Records
  void FileHeader();
  void BatchHeader();
  void SegmentA();
  void SegmentB();
  void SegmentJ();
  void SegmentJ52();
  void SegmentO();
  void SegmentW();
  void SegmentN();
  void CloseBatch();
  void PayingAccount(Record& rec) const;

  // Slip values
  std::string_view Modo() const { return Text(f_.mode); }
  std::string SeuNumero() const { return AllTrim(std::string(Text(f_.branch)).append(Text(f_.entry))); }
  Money Valor() const { return NotNegative(f_.value.AsMoney(), "do pagamento"); }
  std::optional<Date> Vencimento() const { return OptionalDate(f_.due); }
  bool Exclusao() const { return operation_ == "E"; }
  void SomaLote() {
    if (!Exclusao()) file_.AddToBatchTotal(Valor());
  }

  WriterContext& ctx_;
  RemessaData& d_;
  TDataSet& slips_;
  SlipFields f_;
  std::optional<TaxGuideFields> guideFields_;  // looked up at the first guide of the run
  AddressFields address_;
  Febraban240File file_;

  std::string stFormaPagto;  // payment method of the open batch
  std::string stBanco;       // bank of the current slip
  std::string stTipo;        // payment mode of the open batch
  std::string stBancoAux;    // bank of the open bank-slip batch
  bool boTesta = true;       // a bank-slip batch of another bank is still to come
  std::string stIdent;       // the company's agreement with the bank

  std::string operation_;    // IDOPECNABPAG: "I", "E" or "B"
  bool branch_ = false;      // the remittance names a branch
  Payer payer_;
  Company company_;
  std::string agreement_;
  AgencyAccount paying_;
  std::optional<std::string> contributor_;  // the company's registration digits, for taxes
};

// Restores the slip grid's updates whatever way the run ends.
class ControlsDisabled {
 public:
  explicit ControlsDisabled(TDataSet& ds) : ds_(ds) { ds_.DisableControls(); }
  ~ControlsDisabled() { ds_.EnableControls(); }
  ControlsDisabled(const ControlsDisabled&) = delete;
  ControlsDisabled& operator=(const ControlsDisabled&) = delete;

 private:
  TDataSet& ds_;
};

void RemessaBcoBrasil::Run() {
  ControlsDisabled controls(slips_);
  SupplierAddresses::Run addressesKept(d_.addresses);  // each supplier read once
  // Only the marked slips, in the order of idxGeraRemessa (mode, barcode).
  TField& marked = f_.marked;
  slips_.SetFiltered(false);
  slips_.SetFilter([&marked](const TDataSet&) { return Text(marked) == "S"; });
  slips_.SetFiltered(true);
  VerificaModos();
  slips_.First();
  file_.Reserve(2 * static_cast<std::int64_t>(slips_.RecordCount()) + 32);

  stTipo.clear();
  stBancoAux.clear();
  boTesta = true;
  FileHeader();
  while (!slips_.Eof()) {
    file_.SetSlip(Text(f_.branch), Text(f_.entry));  // the slip's own text, which the run does not change
    stBanco = BancoPagamento();
    if (kTitulos.find(Modo().front()) != std::string_view::npos)
      ProcessaTitulo();
    else
      ProcessaTributo();
  }
  if (file_.batchOpen()) CloseBatch();
  file_.StandardFileTrailer();
  file_.Commit(ctx_.out);
}

// A marked slip of a mode this file cannot carry stops the run before
// anything is written, naming the slip; none is left out silently.
void RemessaBcoBrasil::VerificaModos() {
  const int n = slips_.RecordCount();
  for (int i = 1; i <= n; ++i) {
    const std::string mode = ValueToText(slips_.ValueAt(i, f_.mode));
    if (mode.size() == 1 && (kTitulos.find(mode[0]) != std::string_view::npos ||
                             kTributos.find(mode[0]) != std::string_view::npos))
      continue;
    const std::string slip =
        AllTrim(ValueToText(slips_.ValueAt(i, f_.branch))) + "/" + AllTrim(ValueToText(slips_.ValueAt(i, f_.entry)));
    MensErro(ctx_.dialogs, ctx_.msgs().Format("Modo_Nao_Tratado", {slip, mode, std::string(kOwnBank)}), true,
             "Modo_Nao_Tratado");
  }
}

// Bank slips and credits. A batch is opened by the first slip of a mode, and
// for bank slips by the first slip of another bank while the bank slips of
// Banco do Brasil are still being written; it is closed when the next slip
// would open another one.
void RemessaBcoBrasil::ProcessaTitulo() {
  const std::string_view modo = Modo();
  if (!file_.batchOpen() || modo != stTipo || (modo == "B" && stBanco != stBancoAux && boTesta)) {
    BatchHeader();
    stTipo = modo;
    stBancoAux = stBanco;
    if (modo == "B" && stBancoAux != kOwnBank) boTesta = false;
  }
  if (stFormaPagto == "30" || stFormaPagto == "31") {
    SegmentJ();
    SegmentJ52();
  } else {
    SegmentA();
    SegmentB();
  }
  ctx_.SlipWritten(f_.branch, f_.entry);
  slips_.Next();
  if (slips_.Eof()) return;  // the last slip: the run closes its batch
  const std::string_view proximo = Modo();
  if (proximo != stTipo || (proximo == "B" && BancoPagamento() != stBancoAux && boTesta)) CloseBatch();
}

// Bills and taxes: one batch per payment mode.
void RemessaBcoBrasil::ProcessaTributo() {
  const std::string_view modo = Modo();
  if (!file_.batchOpen() || modo != stTipo) {
    BatchHeader();
    stTipo = modo;
  }
  if (stFormaPagto == "11" || stFormaPagto == "99") {
    SegmentO();
    if (stFormaPagto == "99") SegmentW();
  } else {
    SegmentN();
  }
  ctx_.SlipWritten(f_.branch, f_.entry);
  slips_.Next();
  if (!slips_.Eof() && Modo() != stTipo) CloseBatch();
}

// The slip's bank: for a bank slip the bank of its barcode (none without
// one), for any other mode the payee's bank.
std::string RemessaBcoBrasil::BancoPagamento() const {
  const std::string_view b = Modo() == "B" ? Text(f_.barcode) : Text(f_.bank);
  if (EmptyString(b)) return {};
  return Modo() == "B" ? LeftStr(b, 3) : std::string(b);
}

// The payment method of a batch, from the slip that opens it.
std::string RemessaBcoBrasil::FormaLancamento() {
  switch (Modo().front()) {
    case 'B': stFormaPagto = stBanco == kOwnBank ? "30" : "31"; break;
    case 'O': stFormaPagto = "10"; break;
    case 'R': stFormaPagto = "11"; break;
    case 'G': stFormaPagto = "17"; break;
    case 'H': stFormaPagto = "18"; break;
    case 'I': stFormaPagto = "16"; break;
    case 'J': stFormaPagto = "21"; break;
    case 'U': stFormaPagto = "99"; break;
    case 'X': stFormaPagto = "22"; break;
    default: stFormaPagto = stBanco == kOwnBank ? "01" : "03"; break;
  }
  return stFormaPagto;
}

void RemessaBcoBrasil::Recusa(const std::string& key) {
  ctx_.Refuse(key);
}

// The remittance's branch, loaded when the screen has not loaded it.
void RemessaBcoBrasil::CarregaFilial() {
  if (CarregaFilialRemessa(d_, ctx_.net) == RemittanceBranch::kUnknown) Recusa("FIL_N_CAD");
}

// The company, or the branch when the remittance names one: registration,
// name and address of the headers. A registration of more than 14 digits
// is refused.
void RemessaBcoBrasil::LeEmpresa() {
  const TDataSet& e = branch_ ? d_.cdsFilial : d_.cdsEmpresa;
  auto field = [&e](const char* name) { return e.FieldByName(name).AsString(); };
  payer_.type = CompanyRegistrationType(field(branch_ ? "IDTPIJURFILI" : "IDTPIJUREMPR"));
  payer_.number = Nr_Codigo(AllTrim(field(branch_ ? "NRINSJURFILI" : "NRINSJUREMPR")));
  if (payer_.number.size() > 14) Recusa(branch_ ? "INSCR_FILI_INV" : "INSCRICAO_INV");
  payer_.name = AllTrim(field(branch_ ? "NMFILIAL" : "NMEMPRESA"));
  payer_.street = field(branch_ ? "DSENDEFILI" : "DSENDEEMPR");
  payer_.city = field("NMMUNICIPIO");
  payer_.postcode = field(branch_ ? "NRCEPFILI" : "NRCEPEMPR");
  payer_.state = field("SGESTADO");

  const TDataSet& c = d_.cdsEmpresa;
  company_.type = CompanyRegistrationType(c.FieldByName("IDTPIJUREMPR").AsString());
  company_.number = AllTrim(Nr_Codigo(c.FieldByName("NRINSJUREMPR").AsString()));
  company_.name = c.FieldByName("NMRAZSOCEMPR").AsString();
}

// The company's registration digits for the tax records (never the
// branch's), refused when longer than 14 digits.
const std::string& RemessaBcoBrasil::Contribuinte() {
  if (!contributor_) {
    if (company_.number.size() > 14) Recusa("INSCRICAO_INV");
    contributor_ = company_.number;
  }
  return *contributor_;
}

// The payee's address belongs to the slip being written: the screen keeps
// it on the current slip's supplier, and it is read again here when it
// does not.
void RemessaBcoBrasil::EnderecoFornecedor() {
  TDataSet& q = d_.qryEndeForn;
  const std::string_view supplier = Text(f_.supplier);
  if (q.Active() && !q.IsEmpty() && Text(address_.supplier) == supplier) return;
  d_.addresses.Show(q, ctx_.localdb, supplier);
}

// ---- Records ------------------------------------------------------------------------

// Agency, account and their check digits of the company's paying account
// (53-72 of both headers).
void RemessaBcoBrasil::PayingAccount(Record& rec) const {
  rec.num(53, 57, paying_.agency);
  rec.raw(58, 58, paying_.agencyDigit);
  rec.num(59, 70, paying_.account);
  rec.raw(71, 72, paying_.accountDigits);
}

// File header: the company (or branch), its agreement and paying account.
void RemessaBcoBrasil::FileHeader() {
  file_.ClearSlip();
  operation_ = d_.cdsCNABPag.FieldByName("IDOPECNABPAG").AsString();
  branch_ = !EmptyString(d_.cdsCNABPag.FieldByName("CDFILIAL").AsString());
  CarregaFilial();
  stIdent = BuscaIdentPag(d_, ctx_.net, ctx_.companyCode);
  LeEmpresa();
  agreement_ = CampoValido(LeftStr(AllTrim(stIdent), 9));
  const TDataSet& conta = d_.cdsContaCorrente;
  paying_ = PayingAgencyAccount(conta.FieldByName("CDAGENCIA").AsString(), conta.FieldByName("CDCONTCORR").AsString(),
                                conta.FieldByName("CDPICTCONT").AsString());
  const std::string seq = AllTrim(d_.cdsCNABPag.FieldByName("NRSEQREMESSAPAG").AsString());

  file_.FileHeader(kFileHeader, [&](Record& rec) {
    rec.blank(9, 17);
    rec.raw(18, 18, payer_.type);
    rec.num(19, 32, payer_.number);
    rec.num(33, 41, agreement_);
    rec.lit(42, 45, "0126");
    rec.blank(46, 52);
    PayingAccount(rec);
    rec.text(73, 102, payer_.name);
    rec.text(103, 132, conta.FieldByName("NMBANCO").AsString());
    rec.blank(133, 142);
    rec.lit(143, 143, "1");
    rec.date(144, 151, ctx_.ProcessingDate(), "ddmmyyyy");
    rec.date(152, 157, ctx_.Now(), "hhmmss");
    rec.num(158, 163, seq.empty() ? std::string("000001") : Right(seq, 6));
    rec.lit(164, 166, "030");
    rec.lit(167, 171, "00000");
    rec.blank(172, 191);
    rec.blank(192, 211);
    rec.blank(212, 222);
    rec.lit(223, 225, "CSP");
    rec.lit(226, 228, "000");
    rec.blank(229, 240);
  });
}

// Batch header: the method of the batch, from the slip that opens it.
void RemessaBcoBrasil::BatchHeader() {
  if (file_.batchOpen()) throw std::logic_error("Banco do Brasil: a batch opened inside another");
  FormaLancamento();
  std::string_view version = "010";
  if (stFormaPagto == "30" || stFormaPagto == "31") version = "030";
  if (stFormaPagto == "01" || stFormaPagto == "03" || stFormaPagto == "10") version = "042";

  file_.BatchHeader(kBatchHeader, [&](Record& rec) {
    rec.lit(9, 9, "C");
    rec.lit(10, 11, "98");
    rec.num(12, 13, stFormaPagto == "99" ? "11" : stFormaPagto);
    rec.lit(14, 16, version);
    rec.blank(17, 17);
    rec.raw(18, 18, payer_.type);
    rec.num(19, 32, payer_.number);
    rec.num(33, 41, agreement_);
    rec.lit(42, 45, "0126");
    rec.blank(46, 52);
    PayingAccount(rec);
    rec.text(73, 102, payer_.name);
    rec.blank(103, 142);
    rec.text(143, 172, payer_.street);
    rec.lit(173, 177, "00000");
    rec.blank(178, 192);
    rec.text(193, 212, payer_.city);
    rec.plain(213, 220, LeftStr(NovosCamposValidos(payer_.postcode), 8));
    rec.text(221, 222, payer_.state);
    rec.blank(223, 230);
    rec.blank(231, 240);
  });
}

// Segment A: credit to the payee's account, or a payment order.
void RemessaBcoBrasil::SegmentA() {
  const Money valor = Valor();
  std::string_view camara = "000";
  if (stFormaPagto == "03") camara = valor > kLimiteDoc ? "018" : "700";
  const std::string_view agency = Text(f_.agency);
  const std::string_view account = Text(f_.account);
  const AgencyAccount payee = PayeeAgencyAccount({.ownBank = kOwnBank,
                                                  .slipBank = stBanco,
                                                  .paymentOrder = Modo() == "O",
                                                  .agency = agency,
                                                  .account = account,
                                                  .paying = &paying_});

  file_.Detail(kSegmentA, [&](Record& rec) {
    rec.lit(14, 14, "A");
    rec.num(15, 15, MovementCode(operation_));
    rec.num(16, 17, InstructionCode(operation_));
    rec.num(18, 20, camara);
    rec.num(21, 23, LeftStr(stBanco, 3));
    rec.num(24, 28, payee.agency);
    rec.raw(29, 29, payee.agencyDigit);
    rec.num(30, 41, payee.account);
    rec.raw(42, 43, payee.accountDigits);
    rec.text(44, 73, Text(f_.name));
    rec.plain(74, 93, SeuNumero());
    rec.date(94, 101, Vencimento(), "ddmmyyyy");
    rec.lit(102, 104, "BRL");
    rec.zeros(105, 119);
    rec.amount(120, 134, valor);
    if (Exclusao())
      rec.text(135, 154, LeftStr(Text(f_.bankNumber), 15));
    else
      rec.blank(135, 154);
    rec.zeros(155, 162);
    rec.zeros(163, 177);
    rec.blank(178, 217);
    rec.blank(218, 219);
    rec.blank(220, 224);
    rec.blank(225, 226);
    rec.blank(227, 229);
    rec.lit(230, 230, "0");
    rec.blank(231, 240);
  });
  SomaLote();
}

// Segment B: the payee's registration and address.
void RemessaBcoBrasil::SegmentB() {
  EnderecoFornecedor();
  const std::string_view fileType = Text(f_.filePersonType);
  const std::string fileNumber = AllTrim(Text(f_.fileRegistration));
  const std::string_view type = EmptyString(fileType) ? Text(f_.personType) : fileType;
  const std::string number = fileNumber.empty() ? AllTrim(Text(f_.registration)) : fileNumber;
  const std::string_view cepText = Text(address_.postcode);
  const std::string cep = NovosCamposValidos(AllTrim(cepText));

  file_.Detail(kSegmentB, [&](Record& rec) {
    rec.lit(14, 14, "B");
    rec.blank(15, 17);
    rec.raw(18, 18, PayeeRegistrationType(type));
    rec.num(19, 32, LeftStr(Nr_Codigo(number), 14));
    rec.text(33, 62, Text(address_.street));
    rec.lit(63, 67, "00000");
    rec.blank(68, 82);
    rec.text(83, 97, Text(address_.district));
    rec.text(98, 117, Text(address_.city));
    if (EmptyString(cepText)) {
      rec.zeros(118, 122);
      rec.blank(123, 125);
    } else {
      rec.num(118, 122, LeftStr(cep, 5));
      rec.plain(123, 125, Right(cep, 3));
    }
    rec.text(126, 127, Text(address_.state));
    rec.date(128, 135, Vencimento(), "ddmmyyyy");
    rec.amount(136, 150, Valor());
    rec.zeros(151, 165);
    rec.zeros(166, 180);
    rec.zeros(181, 195);
    rec.zeros(196, 210);
    rec.blank(211, 225);
    rec.lit(226, 226, "0");
    rec.lit(227, 232, "000000");
    rec.blank(233, 240);
  });
}

// Segment J: a bank slip, by its barcode or its typed line.
void RemessaBcoBrasil::SegmentJ() {
  const Money valor = Valor();
  const std::string_view barcode = Text(f_.barcode);
  const BarcodePieces code = SegmentJBarcode(file_, barcode, Text(f_.typedLine));
  // The title's value is read from the barcode's last 9 digits of value;
  // a barcode whose value needs all ten is refused rather than cut.
  Money titulo = valor;
  Money desconto;
  Money acrescimo;
  if (!EmptyString(barcode)) {
    if (code.amountDigits().front() != '0')
      throw FieldError(std::string(kBancoDoBrasil.name) + ", Segmento J, positions 100-114 (Valor do título): value '" +
                       std::string(code.amountDigits()) + "' of the barcode does not fit in 9 digits; slip " +
                       slip());
    titulo = Money::FromCents(StrToInt(code.amountDigits().substr(1)));
    if (valor - titulo > Money())
      acrescimo = valor - titulo;
    else
      desconto = titulo - valor;
  }
  const std::string seuNumero = SeuNumero();
  pag::SegmentJ(file_, {.operation = operation_,
                        .code = code,
                        .drawer = Text(f_.name),
                        .due = Vencimento(),
                        .title = titulo,
                        .discount = desconto,
                        .surcharge = acrescimo,
                        .amount = valor,
                        .document = seuNumero,
                        .bankNumber = Text(f_.bankNumber),
                        .currency = "09"});
  SomaLote();
}

// Segment J-52: the payer (always the company) and the beneficiary.
void RemessaBcoBrasil::SegmentJ52() {
  const std::string_view fileNumber = Text(f_.fileRegistration);
  const std::string beneficiary =
      NovosCamposValidos(EmptyString(fileNumber) ? Text(f_.registration) : fileNumber);
  const std::string payerNumber = LeftStr(company_.number, 14);
  const std::string beneficiaryNumber = LeftStr(beneficiary, 14);
  pag::SegmentJ52(file_, InstructionCode(operation_), {company_.type, payerNumber, company_.name},
                  {beneficiary.size() == 11 ? "1" : "2", beneficiaryNumber, Text(f_.name)}, nullptr);
}

// Segment O: a bill or guide paid by its barcode.
void RemessaBcoBrasil::SegmentO() {
  const std::string seuNumero = SeuNumero();
  pag::SegmentO(file_, {.operation = operation_,
                        .barcode = Text(f_.barcode),
                        .payee = Text(f_.name),
                        .due = Vencimento(),
                        .amount = Valor(),
                        .document = seuNumero});
  SomaLote();
}

// Segment W: the guide's revenue, contributor, identifier and seal.
void RemessaBcoBrasil::SegmentW() {
  pag::SegmentW(file_, {.revenueCode = Text(f_.revenueCode),
                        .contributorType = company_.type,
                        .contributorNumber = Contribuinte(),
                        .reference = Text(f_.reference),
                        .seal = Text(f_.seal),
                        .sealDigits = Text(f_.sealDigits)});
}

// Segment N: a tax paid without barcode, with the complement of its kind.
void RemessaBcoBrasil::SegmentN() {
  const Layout* layout = FebrabanSegmentNLayout(stFormaPagto);
  if (layout == nullptr) throw std::logic_error("Banco do Brasil: no segment N for method " + stFormaPagto);
  if (!guideFields_) guideFields_.emplace(slips_);
  TaxGuide guide = TaxGuideOf(*guideFields_);
  guide.contributorType = d_.cdsEmpresa.FieldByName("IDTPIJUREMPR").AsString();  // the company, never the branch
  guide.contributorNumber = Contribuinte();
  if (stFormaPagto == "21") {
    // The document of the payable behind the guide.
    d_.cdsCntPagar.LoadPacket(ctx_.net.CallPacket("GetCntPagar", {Arg(std::string(Text(f_.branch))), Arg(std::string(Text(f_.entry)))}));
    guide.sourceDocument = d_.cdsCntPagar.FieldByName("DOCUMENTO").AsString();
  }

  file_.Detail(*layout, [&](Record& rec) {
    rec.lit(14, 14, "N");
    rec.num(15, 15, MovementCode(operation_));
    rec.num(16, 17, InstructionCode(operation_));
    rec.plain(18, 37, SeuNumero());
    if (Exclusao())
      rec.text(38, 57, Text(f_.bankNumber));
    else
      rec.blank(38, 57);
    rec.text(58, 87, Text(f_.name));
    rec.date(88, 95, Vencimento(), "ddmmyyyy");
    rec.amount(96, 110, Valor());
    if (stFormaPagto == "16") DarfComplement(rec, guide, stFormaPagto);
    if (stFormaPagto == "18") DarfSimplesComplement(rec, guide, stFormaPagto);
    if (stFormaPagto == "17") GpsComplement(rec, guide, stFormaPagto);
    if (stFormaPagto == "21") DarjComplement(rec, guide);
    if (stFormaPagto == "22") GareComplement(rec, guide, stFormaPagto);
    rec.blank(231, 240);
  });
  SomaLote();
}

// Batch trailer: the batch's records and total; the batch is closed.
void RemessaBcoBrasil::CloseBatch() {
  file_.ClearSlip();
  file_.StandardBatchTrailer();
}

}  // namespace

void Remessa_BcoBrasil(WriterContext& ctx) {
  RemessaBcoBrasil writer(ctx);
  RefuseFieldFaults(ctx.dialogs, ctx.msgs(), writer.context(), [&writer] { writer.Run(); });
}

const Layout* BcoBrasilLayout(std::string_view line, std::string_view batchMethod) {
  if (line.size() != 240) return nullptr;
  switch (line[7]) {
    case '0': return &kFileHeader;
    case '1': return &kBatchHeader;
    case '5': return &StandardBatchTrailerLayout(240);
    case '9': return &StandardFileTrailerLayout(240);
    case '3': break;
    default: return nullptr;
  }
  switch (line[13]) {
    case 'A': return &kSegmentA;
    case 'B': return &kSegmentB;
    case 'J': return line[14] == ' ' && line.substr(17, 2) == "52" ? &kFebrabanSegmentJ52 : &kFebrabanSegmentJ;
    case 'O': return &kFebrabanSegmentO;
    case 'W': return &kFebrabanSegmentW;
    case 'N': return FebrabanSegmentNLayout(batchMethod);
    default: return nullptr;
  }
}

}  // namespace pag
