// The FEBRABAN 240 machinery that every batch-layout writer shares: the
// state of the file being written (batch number, record sequence in the
// batch, batch and file record counts, the batch total in exact money), the
// frames of its five kinds of record, and the rules several banks read the
// same way: the check-digit pair, the paying and payee agency and account
// blocks, the barcode pieces of a bank slip, and the tax complements of
// segment N (DARF, DARF Simples, GPS, DARJ, GARE-SP).
//
// A bank's writer keeps only its differences: a row of parameters, its own
// layout tables and the body of each record. The frame writes the fields
// every record of the family starts with and keeps the counts:
//
//   constexpr Febraban240Bank kBank{"001", "Banco do Brasil (001)", 240};
//   constexpr FieldSpec kSegmentARows[] = {{1, 3, "Banco"}, {4, 7, "Lote"}, {8, 8, "Registro"},
//                                          {9, 13, "Nº do registro"}, {14, 14, "Segmento"}, ...};
//   constexpr Layout kSegmentA("Segmento A", 240, kSegmentARows);
//
//   Febraban240File file(kBank);
//   file.FileHeader(kFileHeader, [&](Record& rec) { rec.blank(9, 17); ... });   // 1-8 by the frame
//   file.BatchHeader(kBatchHeader, [&](Record& rec) { rec.lit(9, 9, "C"); ... });
//   file.SetSlip("0001/0000001234");
//   file.Detail(kSegmentA, [&](Record& rec) { rec.lit(14, 14, "A"); ... });   // 1-13 by the frame
//   file.AddToBatchTotal(amount);
//   file.StandardBatchTrailer();
//   file.StandardFileTrailer();
//   file.Commit(ctx.out);   // nothing reaches the sink before this
//
// Records are kept until Commit, so a run stopped by an error or a refusal
// leaves no record in the sink. Every error names the bank, the record, the
// positions, the field and the slip being written (see record.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "host/barcode.h"
#include "host/dataset.h"
#include "host/datetime.h"
#include "host/decimal.h"
#include "host/errors.h"
#include "writers/cnab/output_file.h"
#include "writers/cnab/record.h"

namespace pag {

// What sets one bank's file apart in the shared frames.
struct Febraban240Bank {
  std::string_view code;  // positions 1-3 of every record: "001"
  std::string_view name;  // named in every error: "Banco do Brasil (001)"
  int width = 240;        // 240, or 266 for the extended layout
};

// An amount that a record would have to carry negative (a difference
// worked out from a tax guide's values). The writer turns it into its
// refusal message; nothing is written.
class NegativeAmount : public FieldError {
 public:
  // `label` completes "valor ...": "do INSS", "principal do DARJ".
  NegativeAmount(std::string label, Money value);
  const std::string& label() const { return label_; }
  Money value() const { return value_; }

 private:
  std::string label_;
  Money value_;
};

// The rows of several layout tables joined into one, for a record made of
// a bank's own head and a block the family shares (segment N and its tax
// complement):
//
//   constexpr auto kSegmentNDarfRows = JoinRows(kSegmentNHead, kDarfComplementRows, kSegmentNTail);
//   constexpr Layout kSegmentNDarf("Segmento N (DARF)", 240, kSegmentNDarfRows.rows);
template <std::size_t N>
struct FieldRows {
  FieldSpec rows[N];
};

template <std::size_t A, std::size_t B, std::size_t C>
consteval FieldRows<A + B + C> JoinRows(const FieldSpec (&a)[A], const FieldSpec (&b)[B], const FieldSpec (&c)[C]) {
  FieldRows<A + B + C> out{};
  std::size_t n = 0;
  for (const FieldSpec& f : a) out.rows[n++] = f;
  for (const FieldSpec& f : b) out.rows[n++] = f;
  for (const FieldSpec& f : c) out.rows[n++] = f;
  return out;
}
template <std::size_t A, std::size_t B>
consteval FieldRows<A + B> JoinRows(const FieldSpec (&a)[A], const FieldSpec (&b)[B]) {
  FieldRows<A + B> out{};
  std::size_t n = 0;
  for (const FieldSpec& f : a) out.rows[n++] = f;
  for (const FieldSpec& f : b) out.rows[n++] = f;
  return out;
}

// One file of the FEBRABAN 240 family being written: its counters, its
// batch state and its records, kept in memory until Commit.
//
// Counting, as every bank of the family does it: the file header starts the
// file's count at 1; a batch header, every detail and the batch trailer add
// 1 to the batch's count and to the file's; the file trailer adds 1 to the
// file's count, so its count is the number of lines of the file. A detail
// takes the next sequence number of its batch (1, 2, ...). Closing a batch
// (after its trailer) adds 1 to the batch count and to the batch number and
// starts the sequence, the batch's count and its total again from zero.
class Febraban240File {
 public:
  explicit Febraban240File(const Febraban240Bank& bank);
  Febraban240File(const Febraban240File&) = delete;
  Febraban240File& operator=(const Febraban240File&) = delete;

  const Febraban240Bank& bank() const { return bank_; }

  // ---- Records. Each frame makes a record of `layout`, writes the fields
  // every record of its kind starts with, lets `body` write the rest from
  // the position given, and keeps the finished record.

  // File header, record type "0": bank 1-3, "0000" 4-7, "0" 8; body from 9.
  template <typename Body>
  void FileHeader(const Layout& layout, Body&& body) {
    Build(layout, Kind::kFileHeader, std::forward<Body>(body));
  }
  // Batch header, record type "1": bank 1-3, batch number 4-7, "1" 8; body
  // from 9. Opens the batch.
  template <typename Body>
  void BatchHeader(const Layout& layout, Body&& body) {
    Build(layout, Kind::kBatchHeader, std::forward<Body>(body));
  }
  // Detail, record type "3": bank 1-3, batch number 4-7, "3" 8, the next
  // sequence number of the batch 9-13; body from 14 (the segment).
  template <typename Body>
  void Detail(const Layout& layout, Body&& body) {
    Build(layout, Kind::kDetail, std::forward<Body>(body));
  }
  // A detail that carries the sequence number of the detail before it (a
  // second record of the same payment, as some banks want it): counted like
  // any detail, but the batch's sequence does not move.
  template <typename Body>
  void DetailSameSequence(const Layout& layout, Body&& body) {
    Build(layout, Kind::kDetailSameSequence, std::forward<Body>(body));
  }
  // Batch trailer, record type "5": bank 1-3, batch number 4-7, "5" 8,
  // blanks 9-17, the batch's records (this trailer included) 18-23; body
  // from 24. Closes the batch once the record is kept.
  template <typename Body>
  void BatchTrailer(const Layout& layout, Body&& body) {
    Build(layout, Kind::kBatchTrailer, std::forward<Body>(body));
    CloseBatch();
  }
  // File trailer, record type "9": bank 1-3, "9999" 4-7, "9" 8, blanks
  // 9-17, batches 18-23, the file's records (this trailer included) 24-29;
  // body from 30.
  template <typename Body>
  void FileTrailer(const Layout& layout, Body&& body) {
    Build(layout, Kind::kFileTrailer, std::forward<Body>(body));
  }

  // The family's usual batch trailer: the frame, then the batch total
  // 24-41, eighteen "0" (currency quantity) 42-59, "000000" (debit notice)
  // 60-65, blanks 66-230 and 231 to the record's end (return codes).
  void StandardBatchTrailer();
  // The family's usual file trailer: the frame, then "000000" (accounts)
  // 30-35 and blanks 36 to the record's end.
  void StandardFileTrailer();

  // ---- State.
  int batchNumber() const { return batch_number_; }       // stNrLote: 1 at start
  int sequence() const { return sequence_; }              // stNrSeqRegLote: last detail's number
  int batches() const { return batches_; }                // inQtdLote: batches closed
  int batchRecords() const { return batch_records_; }     // inQtdRegiLote
  std::int64_t fileRecords() const { return file_records_; }  // inQtdRegiArq
  Money batchTotal() const { return batch_total_; }       // doVrPagtLote
  bool batchOpen() const { return batch_open_; }
  void AddToBatchTotal(Money amount) { batch_total_ += amount; }

  // The slip named by errors while its records are built ("0001/0000001234");
  // empty for headers and trailers.
  void SetSlip(std::string slip) { context_.slip = std::move(slip); }
  void ClearSlip() { context_.slip.clear(); }
  const RecordContext& context() const { return context_; }

  // Room for this many records, so that keeping them does not move them.
  void Reserve(std::int64_t records);
  // Records kept so far, and their lines (without CR LF).
  std::int64_t records() const;
  std::string_view line(std::int64_t index) const;
  // Hands every record kept to the sink, in order, and forgets them.
  void Commit(RecordSink& out);

 private:
  enum class Kind { kFileHeader, kBatchHeader, kDetail, kDetailSameSequence, kBatchTrailer, kFileTrailer };

  template <typename Body>
  void Build(const Layout& layout, Kind kind, Body&& body) {
    Record rec(context_, layout);
    Start(rec, kind);
    body(rec);
    Keep(rec);
  }
  // Counts the record and writes the frame's fields.
  void Start(Record& rec, Kind kind);
  void Keep(Record& rec);
  void CloseBatch();

  Febraban240Bank bank_;
  RecordContext context_;
  std::string records_;  // the records, each bank_.width characters
  int batch_number_ = 1;
  int sequence_ = 0;
  int batches_ = 0;
  int batch_records_ = 0;
  std::int64_t file_records_ = 0;
  Money batch_total_;
  bool batch_open_ = false;
};

// The layouts of the usual trailers, for a width of 240 or 266.
const Layout& StandardBatchTrailerLayout(int width);
const Layout& StandardFileTrailerLayout(int width);

// ---- Codes of the family ----------------------------------------------------

// Movement type of a detail: "9" for an exclusion ("E"), else "0".
std::string_view MovementCode(std::string_view operation);
// Movement instruction: "00" for an inclusion ("I"), "99" for an exclusion
// ("E"), "09" for anything else (a block, "B").
std::string_view InstructionCode(std::string_view operation);
// Registration type of the paying company: "1" for a person ("F"), else "2".
std::string_view CompanyRegistrationType(std::string_view personType);
// Registration type of a payee: "1" for "F", "2" for "J", "3" otherwise.
std::string_view PayeeRegistrationType(std::string_view personType);

// ---- Agencies and accounts --------------------------------------------------

// The check digits of an account in the two positions the layouts give
// them: the text cleaned (CampoValido) and trimmed; its last two characters
// when it has two or more, else its one character and a blank; two blanks
// when there is none.
//
//   CheckDigitPair("7") -> "7 "    CheckDigitPair("0X1") -> "X1"    CheckDigitPair("") -> "  "
std::string CheckDigitPair(std::string_view digits);

// An agency and an account as a detail or a header carries them. The
// numbers are written zero-filled by the record (agency 5, account 12);
// agencyDigit is one character, accountDigits two.
struct AgencyAccount {
  std::string agency;
  std::string agencyDigit;
  std::string account;
  std::string accountDigits;
};

// The company's paying account (file and batch headers): the agency's first
// 4 characters (trimmed); the agency's check digit, the last character of
// the cleaned and trimmed agency (a blank when empty); the first 12
// characters of the account without its check digit (Retorna_ContaCorrente
// by the account's picture), cleaned; and the check-digit pair of the first
// 2 characters of the account's check digit (Retorna_DAC_ContaCorrente).
AgencyAccount PayingAgencyAccount(std::string_view agency, std::string_view account,
                                  std::string_view accountPicture);

// A payee account as a slip holds it, split into number and check digits:
// at its "-" (the part before it cleaned; up to two characters after it,
// cleaned and trimmed), or else before its last character (all but the last
// character; the last one, zero when there is none). Blanks around are
// ignored.
//
//   SplitPayeeAccount("12345-6") -> {"12345", "6"}    SplitPayeeAccount("123456") -> {"12345", "6"}
struct SplitAccount {
  std::string number;
  std::string digits;
};
SplitAccount SplitPayeeAccount(std::string_view account);

// The payee's agency and account of a credit (segment A), from the slip's
// CDAGENBOLP and CDCCORBOLP.
struct PayeeAccountSource {
  std::string_view ownBank;     // the paying bank: "001"
  std::string_view slipBank;    // the payee's bank of the slip
  bool paymentOrder = false;    // payment mode "O": paid at the paying agency
  std::string_view agency;      // CDAGENBOLP
  std::string_view account;     // CDCCORBOLP
  const AgencyAccount* paying = nullptr;  // the company's account (payment orders)
};
// A payee at the paying bank itself: the agency's letters and digits, first
// 4 of them as the agency and the 5th (or a blank) as its check digit; for
// a payment order the paying agency and its digit instead. A payee at any
// other bank: an empty agency gives zeros and a blank; with a "-", the part
// before it (cleaned) and the one character after it (or a blank); without
// one, the first 4 characters and the 5th (or a blank); for a payment order
// the paying agency, and zeros for the account with "00" as its digits.
// Otherwise the account is split by SplitPayeeAccount and its digits made a
// pair by CheckDigitPair.
AgencyAccount PayeeAgencyAccount(const PayeeAccountSource& source);

// ---- Bank slips ---------------------------------------------------------------

// The pieces of a bank slip's code for segment J: from its 44-digit barcode
// when there is one, else rebuilt from the digits of its typed line (every
// other character dropped). Throws BarcodeError when neither holds a code of
// the right length.
BarcodePieces SlipBarcodePieces(std::string_view barcode, std::string_view typedLine);

// ---- Tax complements of segment N (positions 111-230) ---------------------------
//
// Each complement writes positions 111 to 230 of segment N. A bank's segment
// N layout joins its own head (1-110), the complement's rows below and its
// own tail (231 to the end). The company is always the paying company,
// never a branch.

struct TaxGuide {
  std::string revenueCode;         // CDRECEITAGUIA
  std::optional<Date> period;      // DTAPURACGUIA; none when zero
  std::string reference;           // NRREFEGUIA
  Money total;                     // VRFINALBPAG
  Money otherEntities;             // VROUTRENTGUIA (gross revenue of a DARF Simples)
  Money fine;                      // VRMULTABPAG
  Money interest;                  // VRMORDIABPAG
  Decimal percentage;              // VRPERCENTTRIB, a percentage: 4.50 is 4.5 %
  std::string stateRegistration;   // CDINSCESTA
  std::string instalment;          // NRPARCELNOTIFIC
  std::optional<Date> dueDate;     // DTVENBOLPAG
  std::string sourceDocument;      // DARJ: the payable's document (cdsCntPagar.DOCUMENTO)
  std::string contributorType;     // IDTPIJUREMPR of the company
  std::string contributorNumber;   // digits of the company's registration (at most 14)
};

// A date field of a slip: none when null or the host's zero date.
std::optional<Date> OptionalDate(const TField& field);
// The guide's values of the current slip of `slips` (cdsBoletos or
// cdsBolCnab); the source document and the contributor are the caller's.
TaxGuide TaxGuideOf(const TDataSet& slips);

// The amount itself; NegativeAmount naming it ("do pagamento") when it is
// below zero.
Money NotNegative(Money amount, std::string label);

// Amounts worked out from a guide. A difference that comes out negative
// throws NegativeAmount.
// DARF Simples principal: gross revenue x percentage / 100, rounded half
// away from zero to cents, when both are non-zero; else the total.
Money DarfSimplesPrincipal(const TaxGuide& g);
// GPS: the INSS amount, total - (other entities + fine + interest), and
// the monetary update, fine + interest.
Money GpsInssAmount(const TaxGuide& g);
Money GpsMonetaryUpdate(const TaxGuide& g);
// DARJ principal: total - (fine + interest).
Money DarjPrincipal(const TaxGuide& g);

inline constexpr FieldSpec kDarfComplementRows[] = {
    {111, 116, "Código da receita"},   {117, 118, "Tipo de inscrição do contribuinte"},
    {119, 132, "Inscrição do contribuinte"}, {133, 134, "Identificador do tributo"},
    {135, 142, "Período de apuração"}, {143, 159, "Número de referência"},
    {160, 174, "Valor principal"},     {175, 189, "Multa"},
    {190, 204, "Juros"},               {205, 212, "Vencimento"},
    {213, 230, "CNAB"},
};
inline constexpr FieldSpec kDarfSimplesComplementRows[] = {
    {111, 116, "Código da receita"},   {117, 118, "Tipo de inscrição do contribuinte"},
    {119, 132, "Inscrição do contribuinte"}, {133, 134, "Identificador do tributo"},
    {135, 142, "Período de apuração"}, {143, 157, "Receita bruta"},
    {158, 164, "Percentual"},          {165, 179, "Valor principal"},
    {180, 194, "Multa"},               {195, 209, "Juros"},
    {210, 230, "CNAB"},
};
inline constexpr FieldSpec kGpsComplementRows[] = {
    {111, 116, "Código de pagamento"}, {117, 118, "Tipo de inscrição do contribuinte"},
    {119, 132, "Inscrição do contribuinte"}, {133, 134, "Identificador do tributo"},
    {135, 140, "Competência"},         {141, 155, "Valor do INSS"},
    {156, 170, "Outras entidades"},    {171, 185, "Atualização monetária"},
    {186, 230, "CNAB"},
};
inline constexpr FieldSpec kDarjComplementRows[] = {
    {111, 116, "Código da receita"},   {117, 118, "Tipo de inscrição do contribuinte"},
    {119, 132, "Inscrição do contribuinte"}, {133, 140, "Inscrição estadual"},
    {141, 156, "Documento de origem"}, {157, 171, "Valor principal"},
    {172, 186, "Atualização monetária"}, {187, 201, "Juros"},
    {202, 216, "Multa"},               {217, 224, "Vencimento"},
    {225, 230, "Período de referência"},
};
inline constexpr FieldSpec kGareComplementRows[] = {
    {111, 116, "Código da receita"},   {117, 118, "Tipo de inscrição do contribuinte"},
    {119, 132, "Inscrição do contribuinte"}, {133, 134, "Identificador do tributo"},
    {135, 142, "Vencimento"},          {143, 154, "Inscrição estadual"},
    {155, 167, "Dívida ativa / etiqueta"}, {168, 173, "Período de referência"},
    {174, 186, "Parcela / notificação"}, {187, 201, "Valor da receita"},
    {202, 215, "Juros"},               {216, 229, "Multa"},
    {230, 230, "CNAB"},
};

// The complements, each written from position 111 of a segment N being
// built. `taxCode` is the batch's payment method ("16", "18", "17", "22"),
// which the layouts carry as the tax identifier.
void DarfComplement(Record& rec, const TaxGuide& g, std::string_view taxCode);
void DarfSimplesComplement(Record& rec, const TaxGuide& g, std::string_view taxCode);
void GpsComplement(Record& rec, const TaxGuide& g, std::string_view taxCode);
void DarjComplement(Record& rec, const TaxGuide& g);
void GareComplement(Record& rec, const TaxGuide& g, std::string_view taxCode);

}  // namespace pag
