// The FEBRABAN 240 machinery that every batch-layout writer shares: the
// state of the file being written (batch number, record sequence in the
// batch, batch and file record counts, the batch total in exact money), the
// frames of its five kinds of record, and the rules several banks read the
// same way: the check-digit pair, the paying and payee agency and account
// blocks, the barcode pieces of a bank slip, the tax complements of
// segment N (DARF, DARF Simples, GPS, DARJ, GARE-SP), and the segments that
// several banks write alike (J, J-52, O, W, and the common rows of A, B and
// N).
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
//   file.SetSlip(branch, entry);   // errors name "0001/0000001234"
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
#include <functional>
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

class Dialogs;
class TMessages;

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

template <std::size_t... N>
consteval FieldRows<(N + ...)> JoinRows(const FieldSpec (&... parts)[N]) {
  FieldRows<(N + ...)> out{};
  std::size_t n = 0;
  auto add = [&out, &n](const auto& part) {
    for (const FieldSpec& f : part) out.rows[n++] = f;
  };
  (add(parts), ...);
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

  // The slip named by errors while its records are built: its branch and
  // entry, read only when an error names them ("0001/0000001234"; see
  // SlipName for how long the views must live); none for headers and
  // trailers.
  void SetSlip(std::string_view branch, std::string_view entry) { context_.slip.Set(branch, entry); }
  void SetSlip(SlipName slip) { context_.slip = std::move(slip); }
  void ClearSlip() { context_.slip.Clear(); }
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
  std::size_t stride() const;
  void CloseBatch();

  Febraban240Bank bank_;
  RecordContext context_;
  std::string records_;  // the records, each bank_.width characters and CR LF
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

// The guide's fields of a slip dataset, looked up once for a run (the
// dataset keeps its fields while its rows are read); TaxGuideOf then reads
// the current slip's values through them:
//
//   std::optional<TaxGuideFields> guideFields;   // made at the first guide
//   if (!guideFields) guideFields.emplace(slips);
//   TaxGuide g = TaxGuideOf(*guideFields);
struct TaxGuideFields {
  explicit TaxGuideFields(const TDataSet& slips);
  const TField& revenueCode;
  const TField& period;
  const TField& reference;
  const TField& total;
  const TField& otherEntities;
  const TField& fine;
  const TField& interest;
  const TField& percentage;
  const TField& stateRegistration;
  const TField& instalment;
  const TField& dueDate;
};
TaxGuide TaxGuideOf(const TaxGuideFields& fields);

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

// ---- Records the family shares ----------------------------------------------------
//
// Segments whose positions (and, for O and W, whose contents) several banks
// read the same way. The layouts are 240 positions wide; a bank's records
// use them with its own code in 1-3 and its batch number in 4-7 (the frame).

// The text of a text field of the current row, read in place; empty for null.
std::string_view FieldText(const TField& field);

// Segment A, the positions every bank reads alike: up to the payee's
// account (1-41), and from the payee's name to the other information
// (44-217); a bank's table joins them with its own check digits (42-43)
// and tail.
inline constexpr FieldSpec kFebrabanSegmentAHeadRows[] = {
    {1, 3, "Banco"},        {4, 7, "Lote"},          {8, 8, "Registro"},
    {9, 13, "Nº do registro"}, {14, 14, "Segmento"}, {15, 15, "Tipo de movimento"},
    {16, 17, "Instrução"},  {18, 20, "Câmara"},      {21, 23, "Banco do favorecido"},
    {24, 28, "Agência do favorecido"}, {29, 29, "DV da agência"}, {30, 41, "Conta do favorecido"},
};
inline constexpr FieldSpec kFebrabanSegmentAPaymentRows[] = {
    {44, 73, "Nome do favorecido"}, {74, 93, "Seu número"}, {94, 101, "Data do pagamento"},
    {102, 104, "Moeda"},    {105, 119, "Quantidade de moeda"}, {120, 134, "Valor do pagamento"},
    {135, 154, "Nosso número"}, {155, 162, "Data real"}, {163, 177, "Valor real"},
    {178, 217, "Outras informações"},
};

// Segment B up to the amounts of the document (1-210): the payee's
// registration and address; a bank's table adds its own tail.
inline constexpr FieldSpec kFebrabanSegmentBHeadRows[] = {
    {1, 3, "Banco"},        {4, 7, "Lote"},          {8, 8, "Registro"},
    {9, 13, "Nº do registro"}, {14, 14, "Segmento"}, {15, 17, "CNAB"},
    {18, 18, "Tipo de inscrição do favorecido"}, {19, 32, "Inscrição do favorecido"}, {33, 62, "Logradouro"},
    {63, 67, "Número"},     {68, 82, "Complemento"}, {83, 97, "Bairro"},
    {98, 117, "Cidade"},    {118, 122, "CEP"},       {123, 125, "Complemento do CEP"},
    {126, 127, "Estado"},   {128, 135, "Vencimento"}, {136, 150, "Valor do documento"},
    {151, 165, "Abatimento"}, {166, 180, "Desconto"}, {181, 195, "Mora"},
    {196, 210, "Multa"},
};

inline constexpr FieldSpec kFebrabanSegmentJRows[] = {
    {1, 3, "Banco"},        {4, 7, "Lote"},          {8, 8, "Registro"},
    {9, 13, "Nº do registro"}, {14, 14, "Segmento"}, {15, 15, "Tipo de movimento"},
    {16, 17, "Instrução"},  {18, 20, "Banco do código de barras"}, {21, 21, "Moeda"},
    {22, 22, "DV do código de barras"}, {23, 36, "Fator de vencimento e valor"}, {37, 61, "Campo livre"},
    {62, 91, "Nome do cedente"}, {92, 99, "Vencimento"}, {100, 114, "Valor do título"},
    {115, 129, "Desconto"}, {130, 144, "Acréscimos"}, {145, 152, "Data do pagamento"},
    {153, 167, "Valor do pagamento"}, {168, 182, "Quantidade de moeda"}, {183, 202, "Seu número"},
    {203, 222, "Nosso número"}, {223, 224, "Código da moeda"}, {225, 230, "CNAB"},
    {231, 240, "Ocorrências"},
};
inline constexpr Layout kFebrabanSegmentJ("Segmento J", 240, kFebrabanSegmentJRows);

inline constexpr FieldSpec kFebrabanSegmentJ52Rows[] = {
    {1, 3, "Banco"},        {4, 7, "Lote"},          {8, 8, "Registro"},
    {9, 13, "Nº do registro"}, {14, 14, "Segmento"}, {15, 15, "Tipo de movimento"},
    {16, 17, "Instrução"},  {18, 19, "Registro opcional"}, {20, 20, "Tipo de inscrição do sacado"},
    {21, 35, "Inscrição do sacado"}, {36, 75, "Nome do sacado"}, {76, 76, "Tipo de inscrição do cedente"},
    {77, 91, "Inscrição do cedente"}, {92, 131, "Nome do cedente"}, {132, 132, "Tipo de inscrição do avalista"},
    {133, 147, "Inscrição do avalista"}, {148, 187, "Nome do avalista"}, {188, 240, "CNAB"},
};
inline constexpr Layout kFebrabanSegmentJ52("Segmento J-52", 240, kFebrabanSegmentJ52Rows);

inline constexpr FieldSpec kFebrabanSegmentORows[] = {
    {1, 3, "Banco"},        {4, 7, "Lote"},          {8, 8, "Registro"},
    {9, 13, "Nº do registro"}, {14, 14, "Segmento"}, {15, 15, "Tipo de movimento"},
    {16, 17, "Instrução"},  {18, 61, "Código de barras"}, {62, 91, "Nome da concessionária"},
    {92, 99, "Vencimento"}, {100, 107, "Data do pagamento"}, {108, 122, "Valor do pagamento"},
    {123, 142, "Seu número"}, {143, 162, "Nosso número"}, {163, 230, "CNAB"},
    {231, 240, "Ocorrências"},
};
inline constexpr Layout kFebrabanSegmentO("Segmento O", 240, kFebrabanSegmentORows);

inline constexpr FieldSpec kFebrabanSegmentWRows[] = {
    {1, 3, "Banco"},        {4, 7, "Lote"},          {8, 8, "Registro"},
    {9, 13, "Nº do registro"}, {14, 14, "Segmento"}, {15, 15, "Nº do registro complementar"},
    {16, 16, "Uso das informações"}, {17, 96, "Informação complementar 1"},
    {97, 176, "Informação complementar 2"},
    {177, 178, "Identificador de tributo"}, {179, 184, "Código da receita"},
    {185, 186, "Tipo de inscrição do contribuinte"}, {187, 200, "Inscrição do contribuinte"},
    {201, 216, "Identificador da guia"}, {217, 225, "Lacre"}, {226, 227, "DV do lacre"},
    {228, 228, "CNAB"},     {229, 230, "CNAB"},      {231, 240, "Ocorrências"},
};
inline constexpr Layout kFebrabanSegmentW("Segmento W", 240, kFebrabanSegmentWRows);

// Segment N: its head (1-110), the tax complement of the batch's method
// (111-230), its tail.
inline constexpr FieldSpec kFebrabanSegmentNHeadRows[] = {
    {1, 3, "Banco"},        {4, 7, "Lote"},          {8, 8, "Registro"},
    {9, 13, "Nº do registro"}, {14, 14, "Segmento"}, {15, 15, "Tipo de movimento"},
    {16, 17, "Instrução"},  {18, 37, "Seu número"},  {38, 57, "Nosso número"},
    {58, 87, "Nome do contribuinte"}, {88, 95, "Data do pagamento"}, {96, 110, "Valor total"},
};
inline constexpr FieldSpec kFebrabanSegmentNTailRows[] = {
    {231, 240, "Ocorrências"},
};
// The layout of segment N for a batch's payment method: "16" DARF, "18"
// DARF Simples, "17" GPS, "21" DARJ, "22" GARE-SP; nullptr for any other.
const Layout* FebrabanSegmentNLayout(std::string_view method);

// Segment J: a bank slip paid by its barcode (positions 14-240; the
// barcode's pieces in 18-61 as SlipBarcodePieces gives them).
struct BankSlipDetail {
  std::string_view operation;   // IDOPECNABPAG: movement 15, instruction 16-17
  BarcodePieces code;           // 18-61
  std::string_view drawer;      // 62-91: NMRAZSOCFORN
  std::optional<Date> due;      // 92-99 and the payment date 145-152
  Money title;                  // 100-114
  Money discount;               // 115-129
  Money surcharge;              // 130-144
  Money amount;                 // 153-167
  std::string_view document;    // 183-202: the company's number of the slip
  std::string_view bankNumber;  // 203-222: the bank's number, for an exclusion only
  std::string_view currency;    // 223-224: the currency code of the bank's layout
};
void SegmentJ(Febraban240File& file, const BankSlipDetail& slip);
// The pieces of segment J, from the slip's barcode or typed line
// (SlipBarcodePieces); a code that cannot be read throws FieldError naming
// the bank, the segment's positions 18-61 and the slip being written.
BarcodePieces SegmentJBarcode(const Febraban240File& file, std::string_view barcode, std::string_view typedLine);

// Segment J-52: who pays a bank slip, who receives it and who guarantees it
// (positions 14-240). A party's number is written zero-filled to 15; a
// missing guarantor writes "0", zeros and blanks.
struct SlipParty {
  std::string_view type;    // registration type, one character
  std::string_view number;  // registration digits as the bank's layout cuts them
  std::string_view name;    // free text, cut to 40
};
void SegmentJ52(Febraban240File& file, std::string_view instruction, const SlipParty& payer,
                const SlipParty& beneficiary, const SlipParty* guarantor);

// Segment O: a bill or guide paid by its barcode (positions 14-240).
struct BarcodeBill {
  std::string_view operation;  // IDOPECNABPAG: movement 15, instruction 16-17
  std::string_view barcode;    // 18-61: CDBARRAPAG
  std::string_view payee;      // 62-91: NMRAZSOCFORN
  std::optional<Date> due;     // 92-99 and the payment date 100-107
  Money amount;                // 108-122
  std::string_view document;   // 123-142: the company's number of the slip
};
void SegmentO(Febraban240File& file, const BarcodeBill& bill);

// Segment W: the complement of a guide with a seal (positions 14-240): the
// last 6 digits of the revenue code, the contributor, the last 16
// characters of the guide's reference, the first 9 of the seal and the
// first 2 of its check digits.
struct SealedGuide {
  std::string_view revenueCode;        // CDRECEITAGUIA
  std::string_view contributorType;    // "1" or "2"
  std::string_view contributorNumber;  // the company's registration digits, at most 14
  std::string_view reference;          // NRREFEGUIA
  std::string_view seal;               // NRLACRCONECTSOC
  std::string_view sealDigits;         // NRDIGICONECTSOC
};
void SegmentW(Febraban240File& file, const SealedGuide& guide);

// ---- The slips of a run -------------------------------------------------------------

// The slip dataset while a writer goes through it: its controls disabled,
// and given back with the dataset unfiltered however the run ends.
class SlipsInUse {
 public:
  explicit SlipsInUse(TDataSet& slips) : slips_(slips) { slips_.DisableControls(); }
  ~SlipsInUse() {
    slips_.SetFiltered(false);
    slips_.EnableControls();
  }
  SlipsInUse(const SlipsInUse&) = delete;
  SlipsInUse& operator=(const SlipsInUse&) = delete;

 private:
  TDataSet& slips_;
};

// ---- Stopping a run -----------------------------------------------------------------

// Runs a writer's work and turns what stops it on a slip into the clerk's
// refusal, shown through MensErro (which ends the run) and naming the slip
// being written (context.slip): a negative amount ("Valor_Negativo"), a value
// that does not fit its field or a barcode that cannot be read
// ("Campo_Excede").
void RefuseFieldFaults(Dialogs& dialogs, const TMessages& msgs, const RecordContext& context,
                       const std::function<void()>& run);

}  // namespace pag
