#include "writers/Cli_pag00103.h"

#include <array>
#include <cstddef>
#include <optional>
#include <unordered_map>
#include <string>
#include <utility>
#include <variant>

#include "host/barcode.h"
#include "host/dialogs.h"
#include "host/errors.h"
#include "host/text.h"
#include "remittance/model/cnab_helpers.h"
#include "writers/cnab/febraban240.h"
#include "writers/cnab/fields.h"

namespace pag {
namespace {

constexpr std::string_view kOwnBank = "237";
constexpr int kWidth = 500;

// The payment modes this file has a detail for: bank slips, credits in
// account, DOC, TED and similar transfers, and payment orders.
constexpr std::string_view kModos = "BCDOST";

// ---- Record layouts -------------------------------------------------------------

constexpr FieldSpec kHeaderRows[] = {
    {1, 1, "Identificação do registro"},
    {2, 9, "Código de comunicação"},
    {10, 10, "Tipo de inscrição da empresa"},
    {11, 25, "Inscrição da empresa"},
    {26, 65, "Nome da empresa"},
    {66, 67, "Tipo de serviço"},
    {68, 68, "Código de origem"},
    {69, 73, "Número da remessa"},
    {74, 78, "Número do retorno"},
    {79, 86, "Data da gravação"},
    {87, 92, "Hora da gravação"},
    {93, 97, "Densidade de gravação"},
    {98, 100, "Unidade de densidade"},
    {101, 105, "Módulo micro"},
    {106, 106, "Tipo de processamento"},
    {107, 180, "Reservado à empresa"},
    {181, 260, "Reservado ao banco"},
    {261, 477, "Reservado ao banco"},
    {478, 486, "Lista de débito"},
    {487, 494, "Reservado ao banco"},
    {495, 500, "Número sequencial"},
};
constexpr Layout kHeader("Header", kWidth, kHeaderRows);

constexpr FieldSpec kDetailRows[] = {
    {1, 1, "Identificação do registro"},
    {2, 2, "Tipo de inscrição do fornecedor"},
    {3, 17, "Inscrição do fornecedor"},
    {18, 47, "Nome do fornecedor"},
    {48, 87, "Endereço do fornecedor"},
    {88, 95, "CEP do fornecedor"},
    {96, 98, "Banco do fornecedor"},
    {99, 103, "Agência do fornecedor"},
    {104, 104, "Dígito da agência"},
    {105, 117, "Conta do fornecedor"},
    {118, 119, "Dígito da conta"},
    {120, 135, "Número do pagamento"},
    {136, 138, "Carteira"},
    {139, 141, "Nosso número (início)"},
    {142, 150, "Nosso número"},
    {151, 165, "Seu número"},
    {166, 173, "Data de vencimento"},
    {174, 181, "Data de emissão"},
    {182, 189, "Data limite do desconto"},
    {190, 190, "Zero"},
    {191, 194, "Fator de vencimento"},
    {195, 204, "Valor do documento"},
    {205, 219, "Valor do pagamento"},
    {220, 234, "Valor do desconto"},
    {235, 249, "Valor do acréscimo"},
    {250, 251, "Tipo de documento"},
    {252, 261, "Número da nota fiscal"},
    {262, 263, "Série da nota fiscal"},
    {264, 265, "Modalidade de pagamento"},
    {266, 273, "Data do pagamento"},
    {274, 276, "Moeda"},
    {277, 278, "Situação do agendamento"},
    {279, 288, "Informação de retorno"},
    {289, 289, "Tipo de movimento"},
    {290, 291, "Código do movimento"},
    {292, 331, "Endereço do sacador"},
    {332, 371, "Sacador avalista"},
    {372, 372, "Reservado"},
    {373, 373, "Reservado"},
    {374, 413, "Informações complementares"},
    {414, 415, "Código de área"},
    {416, 450, "Uso da empresa"},
    {451, 472, "Reservado"},
    {473, 477, "Código de lançamento"},
    {478, 478, "Reservado"},
    {479, 479, "Tipo de conta"},
    {480, 486, "Conta complementar"},
    {487, 494, "Reservado"},
    {495, 500, "Número sequencial"},
};
constexpr Layout kDetail("Detalhe", kWidth, kDetailRows);

constexpr FieldSpec kTrailerRows[] = {
    {1, 1, "Identificação do registro"},
    {2, 7, "Quantidade de registros"},
    {8, 24, "Total dos pagamentos"},
    {25, 494, "Reservado"},
    {495, 500, "Número sequencial"},
};
constexpr Layout kTrailer("Trailer", kWidth, kTrailerRows);

// ---- The slip's fields --------------------------------------------------------------

// The fields of cdsBoletos the file reads, looked up once per run.
enum SlipField : std::size_t {
  kMarked, kMode, kBarcode, kTypedLine, kSupplier, kName, kPersonType, kRegistration, kFilePersonType,
  kFileRegistration, kPayeeBank, kPayeeAgency, kPayeeAccount, kBranch, kEntry, kDue, kValue, kSlipFieldCount
};
constexpr std::array<std::string_view, kSlipFieldCount> kSlipFieldNames = {
    "IDMARCADO",    "IDBAIXAUTILP", "CDBARRAPAG",   "DSLINHBARPAG", "CDFORNECED",   "NMRAZSOCFORN",
    "IDTPIJURFORN", "NRINSJURFORN", "IDTPICNABBOP", "NRINSCNABBOP", "CDBANCBOLP",   "CDAGENBOLP",
    "CDCCORBOLP",   "CDFILIBPAG",   "NRLANBOLPAG",  "DTVENBOLPAG",  "VRFINALBPAG"};

// A text field of the current row, read in place; "" for null.
std::string_view View(const TField& field) {
  const auto* text = std::get_if<std::string>(&field.Value());
  return text != nullptr ? std::string_view(*text) : std::string_view();
}

// s followed by blanks up to n characters; never cut, so that a value too
// long for its field reaches the record builder, which refuses it.
std::string BlankFilled(std::string s, std::size_t n) {
  if (s.size() < n) s.append(n - s.size(), ' ');
  return s;
}

// The payment mode of the detail (264-265), from the slip's mode and the
// supplier's bank.
std::string_view ModalidadePagamento(std::string_view modo, std::string_view banco) {
  if (modo == "B") return "31";  // bank slip
  if (modo == "O") return "02";  // payment order
  if (banco == kOwnBank) return "01";  // credit in a Bradesco account
  if (modo == "T") return "07";  // TED
  if (modo == "S") return "08";
  return "03";  // DOC
}

// A payee's agency or account (CDAGENBOLP, CDCCORBOLP) split into its number
// and check digit by the picture of the payee's bank (qryMascBancoForn).
struct PayeeSplit {
  std::string number;
  std::string digit;  // "" for none
};

enum class PayeePart { kAgency, kAccount };

// A value stored with its check digit after a "-" is split there, on its
// letters and digits, whatever the picture says: the picture places the "-"
// for the bank's usual length of number, and a number of another length
// would otherwise take its check digit into the number or lose digits.
// Without a "-" in the value the picture decides: with a "-" at p, the
// first p-1 letters and digits and the one at p; without one, the letters
// and digits up to the stored field's length and no check digit. Without a
// picture, the value's first characters (an agency trimmed, first 5; an
// account up to the stored field's length) and no check digit.
PayeeSplit SplitPayee(std::string_view value, std::string_view picture, std::string_view stored, PayeePart part) {
  const int length = static_cast<int>(TextLength(value));
  const int dash = Pos("-", value);
  if (dash > 0)
    return {NovosCamposValidos(Copy(value, 1, dash - 1)), NovosCamposValidos(Copy(value, dash + 1, length))};
  const int storedLength = static_cast<int>(TextLength(stored));
  if (!EmptyString(picture)) {
    const std::string compact = NovosCamposValidos(value);
    const int p = Pos("-", picture);
    if (p == 0) return {LeftStr(compact, storedLength), {}};
    return {CampoValido(LeftStr(compact, p - 1)), AllTrim(CampoValido(Copy(compact, p, 1)))};
  }
  if (part == PayeePart::kAgency) return {LeftStr(AllTrim(value), 5), {}};
  return {LeftStr(value, storedLength), {}};
}

// Agency, account and their check digits (99-119) as the detail carries
// them; an account of none is left blank.
struct PayeeBlock {
  std::string agency;                  // 99-103, zero-filled
  std::string agencyDigit;             // 104
  std::optional<std::string> account;  // 105-117, zero-filled
  std::string accountDigits;           // 118-119
};

// The company, or the remittance's branch, as the header names it.
struct PayerFields {
  std::string_view type;
  std::string_view number;
  std::string_view name;
};
constexpr PayerFields kCompanyFields{"IDTPIJUREMPR", "NRINSJUREMPR", "NMRAZSOCEMPR"};
constexpr PayerFields kBranchFields{"IDTPIJURFILI", "NRINSJURFILI", "NMRAZSOCFILI"};

struct Payer {
  std::string type;    // registration type digit: "1", "2" or "3"
  std::string number;  // registration digits, first 15
  std::string name;
};

// ---- The writer ---------------------------------------------------------------------

// One run of the writer: the unit's working values (record sequence and
// count, the total paid, the current slip's mode, bank, registration type
// and barcode pieces) and the data module's lookups, created fresh for each
// run.
class TdtmPag_Remessa_Bradesco {
 public:
  explicit TdtmPag_Remessa_Bradesco(WriterContext& ctx);

  void Run();
  // The slip being written ("0001/0000001234"), for messages.
  std::string slip() const { return context_.slip.str(); }

 private:
  // Run
  void VerificaModos();
  void LeParametros();
  Payer LeEmpresa();
  void PreparaBoleto();
  void EnderecoFornecedor();
  void ShowAddress(std::string_view supplier);
  void MascaraBanco();
  void ValorDocumento();
  PayeeBlock ContaFornecedor();
  std::string InformacaoComplementar() const;
  std::string ContaComplementar() const;
  [[noreturn]] void Recusa(const std::string& key, const std::string& text);

  // Records
  void Header();
  void Detail();
  void Trailer();
  void Keep(Record& rec);

  std::string_view Text(SlipField f) const { return View(*fields_[f]); }
  // A text field of row `row`, read in place; "" for null or another kind.
  std::string_view TextAt(int row, SlipField f) const {
    const auto* text = std::get_if<std::string>(&slips_.ValueAt(row, *fields_[f]));
    return text != nullptr ? std::string_view(*text) : std::string_view();
  }

  WriterContext& ctx_;
  RemessaData& d_;
  TDataSet& slips_;
  std::array<TField*, kSlipFieldCount> fields_{};
  const PayeeFields payee_;  // the slip fields of RetornaBanco, RetornaAgencia and RetornaConta
  TField& street_;    // qryEndeForn.DSENDEFORN
  TField& postcode_;  // qryEndeForn.NRCEPFORN
  TField& vrdoc_;     // cdsVrDocumento.VRDOC
  TField& invoice_;   // cdsDocBol.NRNOTAFISC
  TField& series_;    // cdsDocBol.CDSERIEENTR
  RecordContext context_{"Bradesco (237)", {}};
  std::string records_;  // every record of the file, kWidth characters and CR LF each

  // Working values of the run.
  int inSequencial = 1;  // record sequence number (495-500)
  int inQtdRegistros = 1;  // records of the file
  Money vrTotal;           // total of the slips' values
  bool boDataEnvio = false;  // cdsEmprBanc.IDCONSDTENVREM = "S": pay on the day of generation
  bool boWebTA = false;
  std::string stOperacao;     // IDOPECNABPAG: "I", "E" or "B"
  bool boDesautoriza = false;  // scheduling (IDAGENREMCNABPAG) "Desautoriza"
  std::string stContaComplementar;  // 480-486

  // The slip's key and payment mode (IDBAIXAUTILP).
  std::string stFilial;
  std::string stLancamento;
  std::string stBaixa;

  // Working values of the slip.
  std::string stModo;   // payment mode of the detail
  std::string stTpInsc;  // supplier's registration type digit
  std::string stBanco;  // supplier's bank
  BarcodePieces pieces_;
  Money vrPagamento;
  Money vrDocumento;

  // Supplier address and payee bank pictures, read again only when the
  // supplier or the bank changes from one slip to the next.
  // The suppliers met in this run, so that slips of one supplier that the
  // file's order does not keep together read its address once.
  struct Address {
    std::string street;    // DSENDEFORN
    std::string postcode;  // NRCEPFORN
  };
  std::unordered_map<std::string, Address> addresses_;
  std::optional<std::string> addressOf_;  // the supplier qryEndeForn shows
  const Address* address_ = nullptr;      // the current slip's supplier
  std::optional<std::string> picturesOf_;
  std::string stMascAgencia;  // CDPICTAGEN
  std::string stMascConta;    // CDPICTCONT
};

TdtmPag_Remessa_Bradesco::TdtmPag_Remessa_Bradesco(WriterContext& ctx)
    : ctx_(ctx),
      d_(ctx.d),
      slips_(ctx.d.cdsBoletos),
      payee_(ctx.d.cdsBoletos),
      street_(ctx.d.qryEndeForn.FieldByName("DSENDEFORN")),
      postcode_(ctx.d.qryEndeForn.FieldByName("NRCEPFORN")),
      vrdoc_(ctx.d.cdsVrDocumento.FieldByName("VRDOC")),
      invoice_(ctx.d.cdsDocBol.FieldByName("NRNOTAFISC")),
      series_(ctx.d.cdsDocBol.FieldByName("CDSERIEENTR")) {
  for (std::size_t i = 0; i < kSlipFieldCount; ++i) fields_[i] = &slips_.FieldByName(kSlipFieldNames[i]);
}

void TdtmPag_Remessa_Bradesco::Run() {
  SupplierAddresses::Run addressesKept(d_.addresses);  // each supplier read once
  VerificaModos();
  LeParametros();
  records_.reserve(static_cast<std::size_t>(slips_.RecordCount() + 2) * (kWidth + 2));
  Header();

  slips_.DisableControls();
  std::string lastSupplier;
  bool written = false;
  try {
    for (slips_.First(); !slips_.Eof(); slips_.Next()) {
      if (Text(kMarked) != "S") continue;
      ++inSequencial;
      ++inQtdRegistros;
      stFilial = Text(kBranch);
      stLancamento = Text(kEntry);
      stBaixa = Text(kMode);
      context_.slip.Set(stFilial, stLancamento);
      Detail();
      ctx_.SlipWritten(*fields_[kBranch], *fields_[kEntry]);
      lastSupplier = Text(kSupplier);
      written = true;
    }
    // qryEndeForn is left on the last slip's supplier, as when every slip
    // shows its own.
    if (written && (!addressOf_ || *addressOf_ != lastSupplier)) ShowAddress(lastSupplier);
  } catch (...) {
    slips_.EnableControls();
    throw;
  }
  slips_.EnableControls();
  context_.slip.Clear();

  ++inQtdRegistros;
  ++inSequencial;
  Trailer();
  ctx_.out.writeLines(std::move(records_), static_cast<std::size_t>(kWidth));
  records_.clear();
}

// A marked slip of a mode this file has no detail for stops the run before
// any record is made, naming the slip: none is written as something else.
void TdtmPag_Remessa_Bradesco::VerificaModos() {
  const int n = slips_.RecordCount();
  for (int row = 1; row <= n; ++row) {
    if (TextAt(row, kMarked) != "S") continue;
    const std::string_view shown = TextAt(row, kMode);
    if (shown.size() == 1 && kModos.find(shown[0]) != std::string_view::npos) continue;
    const std::string mode = ValueToText(slips_.ValueAt(row, *fields_[kMode]));
    const std::string slip = AllTrim(ValueToText(slips_.ValueAt(row, *fields_[kBranch]))) + "/" +
                             AllTrim(ValueToText(slips_.ValueAt(row, *fields_[kEntry])));
    Recusa("Modo_Nao_Tratado", ctx_.msgs().Format("Modo_Nao_Tratado", {slip, mode, std::string(kOwnBank)}));
  }
}

// What holds for the whole run: the agreement's sending-date flag, the
// movement, the scheduling and the remittance kind.
void TdtmPag_Remessa_Bradesco::LeParametros() {
  boDataEnvio = d_.cdsEmprBanc.FieldByName("IDCONSDTENVREM").AsString() == "S";
  boWebTA = ctx_.tpRemessaIndex > 0;
  stOperacao = d_.cdsCNABPag.FieldByName("IDOPECNABPAG").AsString();
  boDesautoriza = d_.cdsCNABPag.FieldByName("IDAGENREMCNABPAG").AsString() == "2";
  stContaComplementar = ContaComplementar();
}

void TdtmPag_Remessa_Bradesco::Recusa(const std::string& key, const std::string& text) {
  ctx_.Refuse(key, text);
}

void TdtmPag_Remessa_Bradesco::Keep(Record& rec) {
  records_.append(rec.finish());
  records_.append("\r\n", 2);
}

// ---- Per slip ---------------------------------------------------------------------

// The slip's bank, barcode pieces, registration type, address, payment
// mode and amounts, before its detail is built.
void TdtmPag_Remessa_Bradesco::PreparaBoleto() {
  const std::string_view modo = stBaixa;
  try {
    stBanco = modo == "O" ? std::string(kOwnBank) : RetornaBanco(payee_);
    pieces_ = modo == "B" ? SlipBarcodePieces(Text(kBarcode), Text(kTypedLine)) : BarcodePieces{};
  } catch (const BarcodeError& e) {
    throw FieldError(context_.bank + ", " + std::string(kDetail.name()) + " (código de barras): " + e.what() +
                     "; slip " + slip());
  }
  const std::string_view fileType = Text(kFilePersonType);
  stTpInsc = PayeeRegistrationType(EmptyString(fileType) ? Text(kPersonType) : fileType);
  EnderecoFornecedor();
  stModo = ModalidadePagamento(modo, stBanco);
  vrPagamento = NotNegative(fields_[kValue]->AsMoney(), "do pagamento");
  ValorDocumento();
  vrTotal += vrPagamento;
}

// The supplier's address (qryEndeForn); none gives a blank address and
// postal code.
void TdtmPag_Remessa_Bradesco::EnderecoFornecedor() {
  const std::string_view supplier = Text(kSupplier);
  if (address_ != nullptr && addressOf_ && *addressOf_ == supplier) return;
  const std::string key(supplier);
  if (const auto it = addresses_.find(key); it != addresses_.end()) {
    address_ = &it->second;
    return;
  }
  ShowAddress(supplier);
  address_ = &addresses_.emplace(key, Address{std::string(View(street_)), std::string(View(postcode_))}).first->second;
}

// qryEndeForn on the supplier's address.
void TdtmPag_Remessa_Bradesco::ShowAddress(std::string_view supplier) {
  d_.addresses.Show(d_.qryEndeForn, ctx_.localdb, supplier);
  addressOf_ = std::string(supplier);
}

// The agency and account pictures of the payee's bank (qryMascBancoForn).
void TdtmPag_Remessa_Bradesco::MascaraBanco() {
  const std::string_view bank = Text(kPayeeBank);
  if (picturesOf_ && *picturesOf_ == bank) return;
  TDataSet& q = d_.qryMascBancoForn;
  q.LoadPacket(ctx_.localdb.Query("qryMascBancoForn", {{"P_CDBANCO", Value(std::string(bank))}}));
  stMascAgencia = q.FieldByName("CDPICTAGEN").AsString();
  stMascConta = q.FieldByName("CDPICTCONT").AsString();
  picturesOf_ = std::string(bank);
}

// The document amount: a bank slip's is the amount of its barcode; any
// other slip's is the face value of its payables (GetVrDocumento).
void TdtmPag_Remessa_Bradesco::ValorDocumento() {
  if (stBaixa == "B") {
    vrDocumento = pieces_.amount;
    return;
  }
  d_.cdsVrDocumento.LoadPacket(ctx_.net.CallPacket("GetVrDocumento", {Arg(stFilial), Arg(stLancamento)}));
  vrDocumento = NotNegative(vrdoc_.AsMoney(), "do documento");
}

// Agency and account block (99-119), by the four cases of the layout: a
// bank slip of another bank, a Bradesco bank slip (the issuer's agency and
// account from the barcode, with their check digits), a payment order (the
// paying agency), and any other slip (the payee's agency and account by the
// pictures of the payee's bank).
PayeeBlock TdtmPag_Remessa_Bradesco::ContaFornecedor() {
  if (stModo == "31" && stBanco != kOwnBank) return {"0", "0", "0", "00"};
  if (stModo == "31") {
    const std::string agency(pieces_.freeField().substr(0, 4));     // barcode 20-23
    const std::string account(pieces_.freeField().substr(17, 7));   // barcode 37-43
    return {agency, Mod11_B7(agency), account, Mod11_B7(account) + " "};
  }
  if (stBaixa == "O") {
    const AgencyAccount paying =
        PayingAgencyAccount(d_.cdsContaCorrente.FieldByName("CDAGENCIA").AsString(), {}, {});
    return {paying.agency, paying.agencyDigit, std::nullopt, "  "};
  }
  MascaraBanco();
  const PayeeSplit agency =
      SplitPayee(RetornaAgencia(payee_), stMascAgencia, Text(kPayeeAgency), PayeePart::kAgency);
  const PayeeSplit account =
      SplitPayee(RetornaConta(payee_), stMascConta, Text(kPayeeAccount), PayeePart::kAccount);
  return {agency.number, agency.digit.empty() ? " " : agency.digit, account.number,
          BlankFilled(account.digit, 2)};
}

// Complementary information (374-413) by the payment mode.
std::string TdtmPag_Remessa_Bradesco::InformacaoComplementar() const {
  if (stModo == "31")
    return std::string(pieces_.freeField()).append(pieces_.checkDigit()).append(pieces_.currency()).append(13, ' ');
  if (stModo == "03" || stModo == "07" || stModo == "08") return BlankFilled("C0000000101", 40);
  return std::string(40, ' ');
}

// Complementary account (480-486): the company's code at the bank; for
// "WEB TA" the account number as the screen shows it, up to its "-".
std::string TdtmPag_Remessa_Bradesco::ContaComplementar() const {
  if (!boWebTA)
    return LeftStr(AllTrim(NovosCamposValidos(d_.cdsContaCorrente.FieldByName("CDCEDENTEBAN").AsString())), 7);
  const std::string shown = d_.cdsContaCorrente.FieldByName("CDCONTCORR").DisplayText();
  if (EmptyString(shown)) return {};
  const int dash = Pos("-", shown);
  return LeftStr(shown, dash == 0 || dash > 7 ? 7 : dash - 1);
}

// ---- Records ------------------------------------------------------------------------

// The company, or the branch the remittance names (loaded when the screen
// has not loaded it): registration type digit, registration digits and name.
Payer TdtmPag_Remessa_Bradesco::LeEmpresa() {
  const TDataSet* source = &d_.cdsEmpresa;
  PayerFields names = kCompanyFields;
  const RemittanceBranch branch = CarregaFilialRemessa(d_, ctx_.net);
  if (branch == RemittanceBranch::kUnknown) Recusa("FIL_N_CAD", ctx_.msgs().Msg("FIL_N_CAD"));
  if (branch == RemittanceBranch::kFound) {
    source = &d_.cdsFilial;
    names = kBranchFields;
  }
  Payer p;
  p.type = PayeeRegistrationType(source->FieldByName(names.type).AsString());
  p.number = LeftStr(AllTrim(Nr_Codigo(source->FieldByName(names.number).AsString())), 15);
  p.name = AllTrim(source->FieldByName(names.name).AsString());
  return p;
}

// Header: the company's code at the bank, its registration and name, the
// remittance's number, the date and time of generation.
void TdtmPag_Remessa_Bradesco::Header() {
  const std::string ident = AllTrim(BuscaIdentPag(d_, ctx_.net, ctx_.companyCode));
  const Payer payer = LeEmpresa();
  const std::string sequence = AllTrim(d_.cdsCNABPag.FieldByName("NRSEQREMESSAPAG").AsString());
  const DateTime now = ctx_.Now();

  Record rec(context_, kHeader);
  rec.lit(1, 1, "0");
  if (EmptyString(ident))
    rec.zeros(2, 9);
  else
    rec.num(2, 9, CampoValido(LeftStr(ident, 8)));
  rec.raw(10, 10, payer.type);
  if (payer.type == "3")
    rec.zeros(11, 25);
  else
    rec.num(11, 25, payer.number);
  rec.text(26, 65, payer.name);
  rec.lit(66, 67, "20");
  rec.lit(68, 68, "1");
  rec.num(69, 73, sequence.empty() ? std::string("00001") : Right(sequence, 5));
  rec.zeros(74, 78);
  rec.date(79, 86, now, "yyyymmdd");
  rec.date(87, 92, now, "hhmmss");
  rec.blank(93, 97);
  rec.blank(98, 100);
  rec.blank(101, 105);
  rec.lit(106, 106, "0");
  rec.blank(107, 180);
  rec.blank(181, 260);
  rec.blank(261, 477);
  rec.blank(478, 486);
  rec.blank(487, 494);
  rec.num(495, 500, inSequencial);
  Keep(rec);
}

// Detail: one slip.
void TdtmPag_Remessa_Bradesco::Detail() {
  PreparaBoleto();
  const PayeeBlock payee = ContaFornecedor();

  // The supplier's registration: of the slip's own drawer when it has
  // digits, else the supplier's; a CPF as its 9 digits, "0000" and its 2
  // check digits.
  const std::string fileDigits = Nr_Codigo(Text(kFileRegistration));
  const std::string registration = fileDigits.empty() ? Nr_Codigo(Text(kRegistration)) : fileDigits;
  const std::string inscricao = stTpInsc == "1" ? Copy(registration, 1, 9) + "0000" + Copy(registration, 10, 2)
                                                 : LeftStr(registration, 15);

  const Money diferenca = vrPagamento - vrDocumento;
  Money desconto;
  Money acrescimo;
  if (!vrDocumento.IsZero()) {
    if (diferenca < Money()) desconto = -diferenca;
    if (diferenca > Money()) acrescimo = diferenca;
  }
  const std::optional<Date> vencimento = OptionalDate(*fields_[kDue]);
  const bool bradescoSlip = stModo == "31" && stBanco == kOwnBank;
  const std::string ourNumber = AllTrim(stFilial + stLancamento);

  // The invoice behind the slip, when there is exactly one.
  NrDocumento(d_, ctx_.net, stFilial, stLancamento);  // refills cdsDocBol
  const bool oneInvoice = d_.cdsDocBol.RecordCount() == 1;
  const std::string_view invoice = oneInvoice ? TrimView(View(invoice_)) : std::string_view();
  const std::string_view series = oneInvoice ? TrimView(View(series_)) : std::string_view();

  Record rec(context_, kDetail);
  rec.lit(1, 1, "1");
  rec.raw(2, 2, stTpInsc);
  rec.num(3, 17, inscricao);
  rec.text(18, 47, TrimView(Text(kName)));
  rec.text(48, 87, TrimView(address_->street));
  rec.plain(88, 95, LeftStr(NovosCamposValidos(address_->postcode), 8));
  rec.num(96, 98, stBanco);
  rec.num(99, 103, payee.agency);
  rec.raw(104, 104, payee.agencyDigit);
  if (payee.account)
    rec.num(105, 117, *payee.account);
  else
    rec.blank(105, 117);
  rec.raw(118, 119, payee.accountDigits);
  rec.plain(120, 135, ourNumber);
  if (bradescoSlip) {
    rec.num(136, 138, pieces_.freeField().substr(4, 2));
    rec.num(139, 141, pieces_.freeField().substr(6, 2));
    rec.num(142, 150, pieces_.freeField().substr(8, 9));
  } else {
    rec.zeros(136, 138);
    rec.zeros(139, 141);
    rec.zeros(142, 150);
  }
  rec.blank(151, 165);
  rec.date(166, 173, vencimento, "yyyymmdd");
  rec.zeros(174, 181);
  if (diferenca < Money())
    rec.date(182, 189, vencimento, "yyyymmdd");
  else
    rec.zeros(182, 189);
  rec.lit(190, 190, "0");
  if (stModo == "31")
    rec.num(191, 194, pieces_.factor());
  else
    rec.zeros(191, 194);
  if (stModo == "31")
    rec.num(195, 204, pieces_.amountDigits());  // as the barcode writes it
  else
    rec.amount(195, 204, vrDocumento);
  rec.amount(205, 219, vrPagamento);
  rec.amount(220, 234, desconto);
  rec.amount(235, 249, acrescimo);
  rec.lit(250, 251, "04");
  if (oneInvoice && IsDigits(invoice))
    rec.num(252, 261, CampoValido(Right(invoice, 9)));
  else
    rec.zeros(252, 261);
  rec.text(262, 263, series);
  rec.num(264, 265, stModo);
  if (boDataEnvio)
    rec.date(266, 273, ctx_.Now(), "yyyymmdd");
  else
    rec.date(266, 273, vencimento, "yyyymmdd");
  rec.blank(274, 276);
  rec.lit(277, 278, "01");
  rec.blank(279, 288);
  if (stOperacao == "E") {
    rec.lit(289, 289, "9");
    rec.blank(290, 291);
  } else {
    rec.lit(289, 289, "0");
    rec.lit(290, 291, boDesautoriza ? "25" : "00");
  }
  rec.blank(292, 331);
  rec.blank(332, 371);
  rec.blank(372, 372);
  rec.blank(373, 373);
  rec.raw(374, 413, InformacaoComplementar());
  rec.lit(414, 415, "00");
  rec.plain(416, 450, ourNumber);
  rec.blank(451, 472);
  rec.lit(473, 477, "00000");
  rec.blank(478, 478);
  rec.lit(479, 479, "1");
  rec.num(480, 486, stContaComplementar);
  rec.blank(487, 494);
  rec.num(495, 500, inSequencial);
  Keep(rec);
}

// Trailer: the file's records and the total of the slips' values.
void TdtmPag_Remessa_Bradesco::Trailer() {
  Record rec(context_, kTrailer);
  rec.lit(1, 1, "9");
  rec.num(2, 7, inQtdRegistros);
  rec.amount(8, 24, vrTotal);
  rec.blank(25, 494);
  rec.num(495, 500, inSequencial);
  Keep(rec);
}

}  // namespace

void Remessa_BcoBradesco(WriterContext& ctx) {
  TdtmPag_Remessa_Bradesco dtmPag_Remessa_Bradesco(ctx);
  std::string key;
  std::string text;
  try {
    dtmPag_Remessa_Bradesco.Run();
    return;
  } catch (const NegativeAmount& e) {
    key = "Valor_Negativo";
    text = ctx.msgs().Format(key, {e.label() + " (" + e.value().ToDisplay() + ")", dtmPag_Remessa_Bradesco.slip()});
  } catch (const FieldError& e) {
    // The record builder names the bank, the record, the positions, the
    // field and the slip.
    key = "Campo_Excede";
    text = ctx.msgs().Format(key, {e.what()});
  }
  MensErro(ctx.dialogs, text, true, key);
}

const Layout* BcoBradescoLayout(std::string_view line) {
  if (line.size() != static_cast<std::size_t>(kWidth)) return nullptr;
  switch (line[0]) {
    case '0': return &kHeader;
    case '1': return &kDetail;
    case '9': return &kTrailer;
    default: return nullptr;
  }
}

}  // namespace pag
