#include "writers/cnab/febraban240.h"

#include <stdexcept>
#include <variant>

#include "host/dialogs.h"
#include "host/messages.h"
#include "host/text.h"
#include "writers/cnab/fields.h"

namespace pag {
namespace {

// The family's usual trailers, for the two widths it knows.
template <int W>
inline constexpr FieldSpec kStandardBatchTrailerRows[] = {
    {1, 3, "Banco"},
    {4, 7, "Lote"},
    {8, 8, "Registro"},
    {9, 17, "CNAB"},
    {18, 23, "Quantidade de registros"},
    {24, 41, "Somatória dos valores"},
    {42, 59, "Quantidade de moedas"},
    {60, 65, "Número do aviso de débito"},
    {66, 230, "CNAB"},
    {231, W, "Ocorrências"},
};
template <int W>
inline constexpr FieldSpec kStandardFileTrailerRows[] = {
    {1, 3, "Banco"},
    {4, 7, "Lote"},
    {8, 8, "Registro"},
    {9, 17, "CNAB"},
    {18, 23, "Quantidade de lotes"},
    {24, 29, "Quantidade de registros"},
    {30, 35, "Quantidade de contas"},
    {36, W, "CNAB"},
};
constexpr Layout kStandardBatchTrailer240("Trailer de lote", 240, kStandardBatchTrailerRows<240>);
constexpr Layout kStandardBatchTrailer266("Trailer de lote", 266, kStandardBatchTrailerRows<266>);
constexpr Layout kStandardFileTrailer240("Trailer de arquivo", 240, kStandardFileTrailerRows<240>);
constexpr Layout kStandardFileTrailer266("Trailer de arquivo", 266, kStandardFileTrailerRows<266>);

const Layout& ForWidth(int width, const Layout& l240, const Layout& l266) {
  if (width == 240) return l240;
  if (width == 266) return l266;
  throw std::logic_error("the family's trailers are 240 or 266 positions wide, not " + std::to_string(width));
}

bool HasText(std::string_view s) { return !EmptyString(s); }

// The text, or one blank in its place when it is empty.
std::string OrBlank(std::string s) { return s.empty() ? std::string(1, ' ') : s; }

}  // namespace

NegativeAmount::NegativeAmount(std::string label, Money value)
    : FieldError("valor " + label + " negativo: " + value.ToString()), label_(std::move(label)), value_(value) {}

// ---- Febraban240File ----------------------------------------------------------

Febraban240File::Febraban240File(const Febraban240Bank& bank)
    : bank_(bank), context_{std::string(bank.name), {}} {
  if (bank.width < 1 || bank.width > kMaxRecordWidth)
    throw std::logic_error(std::string(bank.name) + ": a record width of " + std::to_string(bank.width));
}

void Febraban240File::Start(Record& rec, Kind kind) {
  if (rec.width() != bank_.width)
    throw std::logic_error(context_.bank + ", " + std::string(rec.name()) + ": a layout of " +
                           std::to_string(rec.width()) + " positions in a file of " + std::to_string(bank_.width));
  rec.num(1, 3, bank_.code, "Banco");
  switch (kind) {
    case Kind::kFileHeader:
      batch_records_ = 0;
      file_records_ = 1;
      batch_total_ = Money();
      rec.lit(4, 7, "0000", "Lote");
      rec.lit(8, 8, "0", "Registro");
      break;
    case Kind::kBatchHeader:
      ++batch_records_;
      ++file_records_;
      batch_open_ = true;
      rec.num(4, 7, batch_number_, "Lote");
      rec.lit(8, 8, "1", "Registro");
      break;
    case Kind::kDetail:
    case Kind::kDetailSameSequence:
      if (kind == Kind::kDetail)
        ++sequence_;
      else if (sequence_ == 0)
        throw std::logic_error(context_.bank + ", " + std::string(rec.name()) + ": no detail before it in the batch");
      ++batch_records_;
      ++file_records_;
      rec.num(4, 7, batch_number_, "Lote");
      rec.lit(8, 8, "3", "Registro");
      rec.num(9, 13, sequence_, "Nº do registro");
      break;
    case Kind::kBatchTrailer:
      ++batch_records_;
      ++file_records_;
      rec.num(4, 7, batch_number_, "Lote");
      rec.lit(8, 8, "5", "Registro");
      rec.blank(9, 17, "CNAB");
      rec.num(18, 23, batch_records_, "Quantidade de registros");
      break;
    case Kind::kFileTrailer:
      ++file_records_;
      rec.lit(4, 7, "9999", "Lote");
      rec.lit(8, 8, "9", "Registro");
      rec.blank(9, 17, "CNAB");
      rec.num(18, 23, batches_, "Quantidade de lotes");
      rec.num(24, 29, file_records_, "Quantidade de registros");
      break;
  }
}

void Febraban240File::Keep(Record& rec) {
  records_.append(rec.finish());
  records_.append("\r\n", 2);
}

void Febraban240File::CloseBatch() {
  ++batches_;
  ++batch_number_;
  sequence_ = 0;
  batch_records_ = 0;
  batch_total_ = Money();
  batch_open_ = false;
}

const Layout& StandardBatchTrailerLayout(int width) {
  return ForWidth(width, kStandardBatchTrailer240, kStandardBatchTrailer266);
}

const Layout& StandardFileTrailerLayout(int width) {
  return ForWidth(width, kStandardFileTrailer240, kStandardFileTrailer266);
}

void Febraban240File::StandardBatchTrailer() {
  BatchTrailer(StandardBatchTrailerLayout(bank_.width), [&](Record& rec) {
    rec.amount(24, 41, batch_total_);
    rec.zeros(42, 59);
    rec.zeros(60, 65);
    rec.blank(66, 230);
    rec.blank(231, Col::Computed(bank_.width));
  });
}

void Febraban240File::StandardFileTrailer() {
  FileTrailer(StandardFileTrailerLayout(bank_.width), [&](Record& rec) {
    rec.zeros(30, 35);
    rec.blank(36, Col::Computed(bank_.width));
  });
}

// Records are kept as the file's lines, each followed by CR LF, so that
// Commit hands them to the sink in one piece.
std::size_t Febraban240File::stride() const { return static_cast<std::size_t>(bank_.width) + 2; }

void Febraban240File::Reserve(std::int64_t records) {
  if (records > 0) records_.reserve(static_cast<std::size_t>(records) * stride());
}

std::int64_t Febraban240File::records() const { return static_cast<std::int64_t>(records_.size() / stride()); }

std::string_view Febraban240File::line(std::int64_t index) const {
  return std::string_view(records_).substr(static_cast<std::size_t>(index) * stride(),
                                           static_cast<std::size_t>(bank_.width));
}

void Febraban240File::Commit(RecordSink& out) {
  std::string lines = std::move(records_);
  records_.clear();
  out.writeLines(std::move(lines), static_cast<std::size_t>(bank_.width));
}

// ---- Codes --------------------------------------------------------------------

std::string_view MovementCode(std::string_view operation) { return operation == "E" ? "9" : "0"; }

std::string_view InstructionCode(std::string_view operation) {
  if (operation == "E") return "99";
  if (operation == "I") return "00";
  return "09";
}

std::string_view CompanyRegistrationType(std::string_view personType) { return personType == "F" ? "1" : "2"; }

std::string_view PayeeRegistrationType(std::string_view personType) {
  if (personType == "F") return "1";
  if (personType == "J") return "2";
  return "3";
}

// ---- Agencies and accounts ----------------------------------------------------

std::string CheckDigitPair(std::string_view digits) {
  const std::string dac = AllTrim(CampoValido(digits));
  if (dac.empty()) return "  ";
  if (dac.size() >= 2) return dac.substr(dac.size() - 2);
  return dac + " ";
}

AgencyAccount PayingAgencyAccount(std::string_view agency, std::string_view account,
                                  std::string_view accountPicture) {
  AgencyAccount a;
  a.agency = LeftStr(AllTrim(agency), 4);
  const std::string cleaned = AllTrim(CampoValido(agency));
  a.agencyDigit = OrBlank(Right(cleaned, 1));
  a.account = CampoValido(LeftStr(Retorna_ContaCorrente(account, accountPicture), 12));
  a.accountDigits = CheckDigitPair(LeftStr(Retorna_DAC_ContaCorrente(account, accountPicture), 2));
  return a;
}

SplitAccount SplitPayeeAccount(std::string_view account) {
  const std::string t = AllTrim(account);
  const int dash = Pos("-", t);
  if (dash > 0)
    return {CampoValido(Copy(t, 1, dash - 1)), AllTrim(CampoValido(Copy(t, dash + 1, 2)))};
  const int n = static_cast<int>(TextLength(t));
  const std::string last = Right(t, 1);
  return {LeftStr(t, n - 1), last.empty() ? "0" : last};
}

AgencyAccount PayeeAgencyAccount(const PayeeAccountSource& s) {
  AgencyAccount a;
  const SplitAccount split = SplitPayeeAccount(s.account);
  a.account = split.number;
  a.accountDigits = CheckDigitPair(split.digits);
  if (s.paymentOrder) {
    if (s.paying == nullptr) throw std::logic_error("a payment order needs the paying account");
    a.agency = s.paying->agency;
    a.agencyDigit = s.paying->agencyDigit;
    if (s.slipBank != s.ownBank) {
      a.account.clear();  // zero-filled by the record
      a.accountDigits.assign(2, '0');
    }
    return a;
  }
  if (s.slipBank == s.ownBank) {
    const std::string ag = NovosCamposValidos(s.agency);
    a.agency = LeftStr(ag, 4);
    a.agencyDigit = ag.size() >= 5 ? Ajusta(AllTrim(CampoValido(Copy(ag, 5, 1))), 1) : OrBlank({});
    return a;
  }
  if (EmptyString(s.agency)) {
    a.agencyDigit = OrBlank({});
    return a;
  }
  const int dash = Pos("-", s.agency);
  if (dash > 0) {
    a.agency = CampoValido(Copy(s.agency, 1, dash - 1));
    a.agencyDigit = OrBlank(Copy(s.agency, dash + 1, 1));
  } else {
    a.agency = LeftStr(s.agency, 4);
    a.agencyDigit = OrBlank(Copy(s.agency, 5, 1));
  }
  return a;
}

// ---- Bank slips ---------------------------------------------------------------

BarcodePieces SlipBarcodePieces(std::string_view barcode, std::string_view typedLine) {
  if (HasText(barcode)) return BarcodePieces::FromBarcode(barcode);
  return BarcodePieces::FromTypedLine(DigitsOnly(typedLine));
}

// ---- Tax complements ----------------------------------------------------------

std::optional<Date> OptionalDate(const TField& field) {
  if (field.IsNull()) return std::nullopt;
  const DateTime t = field.AsDateTime();
  if (t == ZeroDateTime()) return std::nullopt;
  return t.date();
}

Money NotNegative(Money amount, std::string label) {
  if (amount < Money()) throw NegativeAmount(std::move(label), amount);
  return amount;
}

TaxGuideFields::TaxGuideFields(const TDataSet& slips)
    : revenueCode(slips.FieldByName("CDRECEITAGUIA")),
      period(slips.FieldByName("DTAPURACGUIA")),
      reference(slips.FieldByName("NRREFEGUIA")),
      total(slips.FieldByName("VRFINALBPAG")),
      otherEntities(slips.FieldByName("VROUTRENTGUIA")),
      fine(slips.FieldByName("VRMULTABPAG")),
      interest(slips.FieldByName("VRMORDIABPAG")),
      percentage(slips.FieldByName("VRPERCENTTRIB")),
      stateRegistration(slips.FieldByName("CDINSCESTA")),
      instalment(slips.FieldByName("NRPARCELNOTIFIC")),
      dueDate(slips.FieldByName("DTVENBOLPAG")) {}

TaxGuide TaxGuideOf(const TaxGuideFields& f) {
  TaxGuide g;
  g.revenueCode = f.revenueCode.AsString();
  g.period = OptionalDate(f.period);
  g.reference = f.reference.AsString();
  g.total = f.total.AsMoney();
  g.otherEntities = f.otherEntities.AsMoney();
  g.fine = f.fine.AsMoney();
  g.interest = f.interest.AsMoney();
  g.percentage = f.percentage.AsDecimal();
  g.stateRegistration = f.stateRegistration.AsString();
  g.instalment = f.instalment.AsString();
  g.dueDate = OptionalDate(f.dueDate);
  return g;
}

TaxGuide TaxGuideOf(const TDataSet& slips) { return TaxGuideOf(TaxGuideFields(slips)); }

namespace {

// The guide's own amounts, refused when below zero.
Money Total(const TaxGuide& g) { return NotNegative(g.total, "do pagamento"); }
Money Fine(const TaxGuide& g) { return NotNegative(g.fine, "da multa"); }
Money Interest(const TaxGuide& g) { return NotNegative(g.interest, "dos juros"); }
Money OtherEntities(const TaxGuide& g) { return NotNegative(g.otherEntities, "de outras entidades"); }

// Revenue code (111-116), contributor's registration type (117-118) and
// number (119-132): the head of every complement.
void Contributor(Record& rec, const TaxGuide& g) {
  rec.num(111, 116, Right(AllTrim(Nr_Codigo(g.revenueCode)), 6));
  rec.raw(117, 118, std::string(CompanyRegistrationType(g.contributorType)) + " ");
  rec.digits(119, 132, g.contributorNumber);
}

}  // namespace

Money DarfSimplesPrincipal(const TaxGuide& g) {
  if (g.percentage.IsZero() || g.otherEntities.IsZero()) return Total(g);
  const Decimal principal = RoundDec(g.otherEntities.ToDecimal() * g.percentage / Decimal(100), 2);
  return NotNegative(Money::FromDecimal(principal), "principal do DARF Simples");
}

Money GpsInssAmount(const TaxGuide& g) {
  return NotNegative(g.total - (g.otherEntities + g.fine + g.interest), "do INSS");
}

Money GpsMonetaryUpdate(const TaxGuide& g) { return NotNegative(g.fine + g.interest, "da atualização monetária"); }

Money DarjPrincipal(const TaxGuide& g) { return NotNegative(g.total - (g.fine + g.interest), "principal do DARJ"); }

void DarfComplement(Record& rec, const TaxGuide& g, std::string_view taxCode) {
  Contributor(rec, g);
  rec.num(133, 134, taxCode);
  rec.date(135, 142, g.period, "ddmmyyyy");
  rec.num(143, 159, Right(AllTrim(Nr_Codigo(g.reference)), 17));
  rec.amount(160, 174, Total(g));
  rec.amount(175, 189, Fine(g));
  rec.amount(190, 204, Interest(g));
  rec.date(205, 212, g.dueDate, "ddmmyyyy");
  rec.blank(213, 230);
}

void DarfSimplesComplement(Record& rec, const TaxGuide& g, std::string_view taxCode) {
  Contributor(rec, g);
  rec.num(133, 134, taxCode);
  rec.date(135, 142, g.period, "ddmmyyyy");
  rec.amount(143, 157, NotNegative(g.otherEntities, "da receita bruta"));
  rec.amount(158, 164, NotNegative(Money::FromDecimal(RoundDec(g.percentage, 2)), "do percentual"));
  rec.amount(165, 179, DarfSimplesPrincipal(g));
  rec.amount(180, 194, Fine(g));
  rec.amount(195, 209, Interest(g));
  rec.blank(210, 230);
}

void GpsComplement(Record& rec, const TaxGuide& g, std::string_view taxCode) {
  Contributor(rec, g);
  rec.num(133, 134, taxCode);
  rec.date(135, 140, g.period, "mmyyyy");
  rec.amount(141, 155, GpsInssAmount(g));
  rec.amount(156, 170, OtherEntities(g));
  rec.amount(171, 185, GpsMonetaryUpdate(g));
  rec.blank(186, 230);
}

void DarjComplement(Record& rec, const TaxGuide& g) {
  Contributor(rec, g);
  rec.num(133, 140, LeftStr(AllTrim(Nr_Codigo(g.stateRegistration)), 8));
  rec.num(141, 156, LeftStr(g.sourceDocument, 7));
  rec.amount(157, 171, DarjPrincipal(g));
  rec.zeros(172, 186);
  rec.amount(187, 201, Interest(g));
  rec.amount(202, 216, Fine(g));
  rec.date(217, 224, g.dueDate, "ddmmyyyy");
  rec.date(225, 230, g.period, "mmyyyy");
}

void GareComplement(Record& rec, const TaxGuide& g, std::string_view taxCode) {
  Contributor(rec, g);
  rec.num(133, 134, taxCode);
  rec.date(135, 142, g.dueDate, "ddmmyyyy");
  rec.num(143, 154, LeftStr(AllTrim(Nr_Codigo(g.stateRegistration)), 12));
  rec.num(155, 167, Right(AllTrim(Nr_Codigo(g.reference)), 13));
  rec.date(168, 173, g.period, "mmyyyy");
  rec.num(174, 186, g.instalment);
  rec.amount(187, 201, OtherEntities(g));
  rec.amount(202, 215, Interest(g));
  rec.amount(216, 229, Fine(g));
  rec.blank(230, 230);
}

// ---- Records the family shares --------------------------------------------------

namespace {

// Segment N of each tax: the family's head, the complement, the tail.
template <std::size_t N>
consteval auto SegmentNRows(const FieldSpec (&complement)[N]) {
  return JoinRows(kFebrabanSegmentNHeadRows, complement, kFebrabanSegmentNTailRows);
}
constexpr auto kSegmentNDarfRows = SegmentNRows(kDarfComplementRows);
constexpr auto kSegmentNDarfSimplesRows = SegmentNRows(kDarfSimplesComplementRows);
constexpr auto kSegmentNGpsRows = SegmentNRows(kGpsComplementRows);
constexpr auto kSegmentNDarjRows = SegmentNRows(kDarjComplementRows);
constexpr auto kSegmentNGareRows = SegmentNRows(kGareComplementRows);
constexpr Layout kSegmentNDarf("Segmento N (DARF)", 240, kSegmentNDarfRows.rows);
constexpr Layout kSegmentNDarfSimples("Segmento N (DARF Simples)", 240, kSegmentNDarfSimplesRows.rows);
constexpr Layout kSegmentNGps("Segmento N (GPS)", 240, kSegmentNGpsRows.rows);
constexpr Layout kSegmentNDarj("Segmento N (DARJ)", 240, kSegmentNDarjRows.rows);
constexpr Layout kSegmentNGare("Segmento N (GARE-SP)", 240, kSegmentNGareRows.rows);

}  // namespace

std::string_view FieldText(const TField& field) {
  const Value& v = field.Value();
  if (const auto* text = std::get_if<std::string>(&v)) return *text;
  if (IsNull(v)) return {};
  throw std::logic_error("field " + field.FieldName() + " holds no text");
}

const Layout* FebrabanSegmentNLayout(std::string_view method) {
  if (method == "16") return &kSegmentNDarf;
  if (method == "18") return &kSegmentNDarfSimples;
  if (method == "17") return &kSegmentNGps;
  if (method == "21") return &kSegmentNDarj;
  if (method == "22") return &kSegmentNGare;
  return nullptr;
}

void SegmentJ(Febraban240File& file, const BankSlipDetail& s) {
  file.Detail(kFebrabanSegmentJ, [&](Record& rec) {
    rec.lit(14, 14, "J");
    rec.num(15, 15, MovementCode(s.operation));
    rec.num(16, 17, InstructionCode(s.operation));
    rec.num(18, 20, s.code.bank());
    rec.num(21, 21, s.code.currency());
    rec.num(22, 22, s.code.checkDigit());
    rec.num(23, 36, s.code.factorAndAmount());
    rec.num(37, 61, s.code.freeField());
    rec.text(62, 91, s.drawer);
    rec.date(92, 99, s.due, "ddmmyyyy");
    rec.amount(100, 114, s.title);
    rec.amount(115, 129, s.discount);
    rec.amount(130, 144, s.surcharge);
    rec.date(145, 152, s.due, "ddmmyyyy");
    rec.amount(153, 167, s.amount);
    rec.zeros(168, 182);
    rec.plain(183, 202, s.document);
    if (s.operation == "E")
      rec.text(203, 222, s.bankNumber);
    else
      rec.blank(203, 222);
    rec.lit(223, 224, s.currency);
    rec.blank(225, 230);
    rec.blank(231, 240);
  });
}

BarcodePieces SegmentJBarcode(const Febraban240File& file, std::string_view barcode, std::string_view typedLine) {
  try {
    return SlipBarcodePieces(barcode, typedLine);
  } catch (const BarcodeError& e) {
    throw FieldError(file.context().bank + ", Segmento J, positions 18-61 (Código de barras): " + e.what() +
                     "; slip " + file.context().slip.str());
  }
}

void SegmentJ52(Febraban240File& file, std::string_view instruction, const SlipParty& payer,
                const SlipParty& beneficiary, const SlipParty* guarantor) {
  file.Detail(kFebrabanSegmentJ52, [&](Record& rec) {
    rec.lit(14, 14, "J");
    rec.blank(15, 15);
    rec.num(16, 17, instruction);
    rec.lit(18, 19, "52");
    rec.raw(20, 20, payer.type);
    rec.num(21, 35, payer.number);
    rec.text(36, 75, payer.name);
    rec.raw(76, 76, beneficiary.type);
    rec.num(77, 91, beneficiary.number);
    rec.text(92, 131, beneficiary.name);
    if (guarantor != nullptr) {
      rec.raw(132, 132, guarantor->type);
      rec.num(133, 147, guarantor->number);
      rec.text(148, 187, guarantor->name);
    } else {
      rec.lit(132, 132, "0");
      rec.zeros(133, 147);
      rec.blank(148, 187);
    }
    rec.blank(188, 240);
  });
}

void SegmentO(Febraban240File& file, const BarcodeBill& b) {
  file.Detail(kFebrabanSegmentO, [&](Record& rec) {
    rec.lit(14, 14, "O");
    rec.num(15, 15, MovementCode(b.operation));
    rec.num(16, 17, InstructionCode(b.operation));
    rec.num(18, 61, b.barcode);
    rec.text(62, 91, b.payee);
    rec.date(92, 99, b.due, "ddmmyyyy");
    rec.date(100, 107, b.due, "ddmmyyyy");
    rec.amount(108, 122, b.amount);
    rec.plain(123, 142, b.document);
    rec.blank(143, 162);
    rec.blank(163, 230);
    rec.blank(231, 240);
  });
}

void SegmentW(Febraban240File& file, const SealedGuide& g) {
  const std::string reference = AllTrim(g.reference);
  file.Detail(kFebrabanSegmentW, [&](Record& rec) {
    rec.lit(14, 14, "W");
    rec.lit(15, 15, "0");
    rec.lit(16, 16, "1");
    rec.blank(17, 96);
    rec.blank(97, 176);
    rec.lit(177, 178, "01");
    rec.num(179, 184, Right(AllTrim(Nr_Codigo(g.revenueCode)), 6));
    rec.raw(185, 186, std::string(g.contributorType) + " ");
    rec.num(187, 200, g.contributorNumber);
    rec.num(201, 216, Right(reference, 16));
    rec.num(217, 225, LeftStr(g.seal, 9));
    rec.num(226, 227, LeftStr(g.sealDigits, 2));
    rec.blank(228, 228);
    rec.blank(229, 230);
    rec.blank(231, 240);
  });
}

// ---- Stopping a run ---------------------------------------------------------------

void RefuseFieldFaults(Dialogs& dialogs, const TMessages& msgs, const RecordContext& context,
                       const std::function<void()>& run) {
  // The slip, added to a message that does not name it yet.
  auto withSlip = [&context](std::string what) {
    const std::string slip = "slip " + context.slip.str();
    if (!context.slip.empty() && what.find(slip) == std::string::npos) what += "; " + slip;
    return what;
  };
  try {
    run();
  } catch (const NegativeAmount& e) {
    const std::string text =
        msgs.Format("Valor_Negativo", {e.label() + " (" + e.value().ToDisplay() + ")", context.slip.str()});
    MensErro(dialogs, text, true, "Valor_Negativo");
  } catch (const FieldError& e) {
    // A value that does not fit: the record builder names the bank, the
    // record, the field and the slip.
    MensErro(dialogs, msgs.Format("Campo_Excede", {withSlip(e.what())}), true, "Campo_Excede");
  } catch (const BarcodeError& e) {
    MensErro(dialogs, msgs.Format("Campo_Excede", {withSlip(context.bank + ": " + e.what())}), true,
             "Campo_Excede");
  }
}

}  // namespace pag
