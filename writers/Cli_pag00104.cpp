#include "writers/Cli_pag00104.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
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

constexpr Febraban240Bank kItau{"341", "Itaú (341)", 240};
constexpr std::string_view kOwnBank = "341";

// ---- Record layouts ---------------------------------------------------------------

constexpr FieldSpec kFileHeaderRows[] = {
    {1, 3, "Código do banco"},
    {4, 7, "Código do lote"},
    {8, 8, "Tipo de registro"},
    {9, 14, "Brancos"},
    {15, 17, "Layout de arquivo"},
    {18, 18, "Tipo de inscrição da empresa"},
    {19, 32, "Inscrição da empresa"},
    {33, 52, "Brancos"},
    {53, 57, "Agência debitada"},
    {58, 58, "Brancos"},
    {59, 70, "Conta debitada"},
    {71, 71, "Brancos"},
    {72, 72, "DAC da agência/conta"},
    {73, 102, "Nome da empresa"},
    {103, 132, "Nome do banco"},
    {133, 142, "Brancos"},
    {143, 143, "Arquivo-código"},
    {144, 151, "Data de geração"},
    {152, 157, "Hora de geração"},
    {158, 166, "Zeros"},
    {167, 171, "Unidade de densidade"},
    {172, 240, "Brancos"},
};
constexpr Layout kFileHeader("Header de arquivo", 240, kFileHeaderRows);

constexpr FieldSpec kBatchHeaderRows[] = {
    {1, 3, "Código do banco"},
    {4, 7, "Código do lote"},
    {8, 8, "Tipo de registro"},
    {9, 9, "Tipo de operação"},
    {10, 11, "Tipo de pagamento"},
    {12, 13, "Forma de pagamento"},
    {14, 16, "Layout do lote"},
    {17, 17, "Brancos"},
    {18, 18, "Tipo de inscrição da empresa"},
    {19, 32, "Inscrição da empresa"},
    {33, 52, "Identificação do lançamento"},
    {53, 57, "Agência debitada"},
    {58, 58, "Brancos"},
    {59, 70, "Conta debitada"},
    {71, 71, "Brancos"},
    {72, 72, "DAC da agência/conta"},
    {73, 102, "Nome da empresa"},
    {103, 132, "Finalidade do lote"},
    {133, 142, "Histórico de C/C"},
    {143, 172, "Endereço da empresa"},
    {173, 177, "Número"},
    {178, 192, "Complemento"},
    {193, 212, "Cidade"},
    {213, 220, "CEP"},
    {221, 222, "Estado"},
    {223, 230, "Brancos"},
    {231, 240, "Ocorrências"},
};
constexpr Layout kBatchHeader("Header de lote", 240, kBatchHeaderRows);

// Positions 1-17 of every detail but segment B.
constexpr FieldSpec kDetailHead[] = {
    {1, 3, "Código do banco"},
    {4, 7, "Código do lote"},
    {8, 8, "Tipo de registro"},
    {9, 13, "Número do registro"},
    {14, 14, "Segmento"},
    {15, 17, "Tipo de movimento"},
};
// Positions 216-240 of segments J, N and O.
constexpr FieldSpec kDetailTail[] = {
    {216, 230, "Nosso número"},
    {231, 240, "Ocorrências"},
};

// Segment A: the head of every detail, the banks, the payee's agency and
// account (three forms of positions 24-43), the payment, the ISPB code (two
// forms of positions 105-119) and the tail.
constexpr FieldSpec kSegmentABanks[] = {
    {18, 20, "Câmara"},
    {21, 23, "Banco favorecido"},
};
constexpr FieldSpec kPayeeAccountItau[] = {
    {24, 24, "Zero"},
    {25, 28, "Agência favorecida"},
    {29, 29, "Brancos"},
    {30, 35, "Zeros"},
    {36, 41, "Conta favorecida"},
    {42, 42, "Brancos"},
    {43, 43, "DAC"},
};
constexpr FieldSpec kPayeeAccountOther[] = {
    {24, 28, "Agência favorecida"},
    {29, 29, "Brancos"},
    {30, 41, "Conta favorecida"},
    {42, 43, "DAC"},
};
constexpr FieldSpec kPayeeAccountPixKey[] = {
    {24, 43, "Agência conta (chave PIX no segmento B)"},
};
constexpr FieldSpec kSegmentAPayment[] = {
    {44, 73, "Nome do favorecido"},
    {74, 93, "Seu número"},
    {94, 101, "Data de pagamento"},
    {102, 104, "Moeda - tipo"},
};
constexpr FieldSpec kSegmentAIspb[] = {
    {105, 119, "Código ISPB"},
};
constexpr FieldSpec kSegmentAPixIspb[] = {
    {105, 112, "Código ISPB"},
    {113, 114, "Tipo de identificação da transferência"},
    {115, 119, "Zeros"},
};
constexpr FieldSpec kSegmentATail[] = {
    {120, 134, "Valor do pagamento"},
    {135, 149, "Nosso número"},
    {150, 154, "Brancos"},
    {155, 162, "Data efetiva"},
    {163, 177, "Valor efetivo"},
    {178, 195, "Finalidade detalhe"},
    {196, 197, "Brancos"},
    {198, 203, "Número do documento"},
    {204, 217, "Inscrição do favorecido"},
    {218, 219, "Finalidade DOC e status do funcionário"},
    {220, 224, "Finalidade TED"},
    {225, 229, "Brancos"},
    {230, 230, "Aviso"},
    {231, 240, "Ocorrências"},
};
constexpr auto kSegmentAItauRows =
    JoinRows(kDetailHead, kSegmentABanks, kPayeeAccountItau, kSegmentAPayment, kSegmentAIspb, kSegmentATail);
constexpr auto kSegmentAOtherRows =
    JoinRows(kDetailHead, kSegmentABanks, kPayeeAccountOther, kSegmentAPayment, kSegmentAIspb, kSegmentATail);
constexpr auto kSegmentAPixItauRows =
    JoinRows(kDetailHead, kSegmentABanks, kPayeeAccountItau, kSegmentAPayment, kSegmentAPixIspb, kSegmentATail);
constexpr auto kSegmentAPixOtherRows =
    JoinRows(kDetailHead, kSegmentABanks, kPayeeAccountOther, kSegmentAPayment, kSegmentAPixIspb, kSegmentATail);
constexpr auto kSegmentAPixKeyRows =
    JoinRows(kDetailHead, kSegmentABanks, kPayeeAccountPixKey, kSegmentAPayment, kSegmentAPixIspb, kSegmentATail);
constexpr Layout kSegmentAItau("Segmento A (conta Itaú)", 240, kSegmentAItauRows.rows);
constexpr Layout kSegmentAOther("Segmento A (outros bancos)", 240, kSegmentAOtherRows.rows);
constexpr Layout kSegmentAPixItau("Segmento A (PIX, conta Itaú)", 240, kSegmentAPixItauRows.rows);
constexpr Layout kSegmentAPixOther("Segmento A (PIX, conta de outro banco)", 240, kSegmentAPixOtherRows.rows);
constexpr Layout kSegmentAPixKey("Segmento A (PIX, chave)", 240, kSegmentAPixKeyRows.rows);

constexpr FieldSpec kSegmentBRows[] = {
    {1, 3, "Código do banco"},
    {4, 7, "Código do lote"},
    {8, 8, "Tipo de registro"},
    {9, 13, "Número do registro"},
    {14, 14, "Segmento"},
    {15, 16, "Tipo de chave"},
    {17, 17, "Brancos"},
    {18, 18, "Tipo de inscrição do favorecido"},
    {19, 32, "Inscrição do favorecido"},
    {33, 62, "Brancos"},
    {63, 127, "Brancos"},
    {128, 227, "Chave PIX"},
    {228, 230, "Brancos"},
    {231, 240, "Ocorrências"},
};
constexpr Layout kSegmentB("Segmento B (PIX)", 240, kSegmentBRows);

constexpr FieldSpec kSegmentJBody[] = {
    {18, 20, "Banco favorecido"},
    {21, 21, "Moeda"},
    {22, 22, "DV do código de barras"},
    {23, 36, "Vencimento e valor"},
    {37, 61, "Campo livre"},
    {62, 91, "Nome do favorecido"},
    {92, 99, "Data de vencimento"},
    {100, 114, "Valor do título"},
    {115, 129, "Descontos"},
    {130, 144, "Acréscimos"},
    {145, 152, "Data de pagamento"},
    {153, 167, "Valor do pagamento"},
    {168, 182, "Zeros"},
    {183, 202, "Seu número"},
    {203, 215, "Brancos"},
};
constexpr auto kSegmentJRows = JoinRows(kDetailHead, kSegmentJBody, kDetailTail);
constexpr Layout kSegmentJ("Segmento J", 240, kSegmentJRows.rows);

constexpr FieldSpec kSegmentJ52Body[] = {
    {18, 19, "Identificação do registro opcional"},
    {20, 20, "Tipo de inscrição do sacado"},
    {21, 35, "Inscrição do sacado"},
    {36, 75, "Nome do sacado"},
    {76, 76, "Tipo de inscrição do cedente"},
    {77, 91, "Inscrição do cedente"},
    {92, 131, "Nome do cedente"},
};
constexpr FieldSpec kSegmentJ52Tail[] = {
    {132, 132, "Tipo de inscrição do sacador"},
    {133, 147, "Inscrição do sacador"},
    {148, 187, "Nome do sacador"},
    {188, 240, "Brancos"},
};
constexpr FieldSpec kSegmentJ52PixTail[] = {
    {132, 208, "Chave de pagamento (QR code)"},
    {209, 240, "Brancos"},
};
constexpr auto kSegmentJ52Rows = JoinRows(kDetailHead, kSegmentJ52Body, kSegmentJ52Tail);
constexpr auto kSegmentJ52PixRows = JoinRows(kDetailHead, kSegmentJ52Body, kSegmentJ52PixTail);
constexpr Layout kSegmentJ52("Segmento J-52", 240, kSegmentJ52Rows.rows);
constexpr Layout kSegmentJ52Pix("Segmento J-52 PIX", 240, kSegmentJ52PixRows.rows);

// Segment N: the head, the tax body of the batch's form (18-195), the
// company's number of the slip (196-215), the tail.
constexpr FieldSpec kSegmentNDocument[] = {
    {196, 215, "Seu número"},
};
// Tax identifier, revenue code and the company's registration (18-38), and
// the company's name (166-195), of the DARF, DARF Simples, GARE and DARJ.
constexpr FieldSpec kTaxContributor[] = {
    {18, 19, "Identificação do tributo"},
    {20, 23, "Código da receita"},
    {24, 24, "Tipo de inscrição do contribuinte"},
    {25, 38, "Inscrição do contribuinte"},
};
constexpr FieldSpec kTaxName[] = {
    {166, 195, "Nome do contribuinte"},
};
constexpr FieldSpec kDarfBody[] = {
    {39, 46, "Período de apuração"},
    {47, 63, "Número de referência"},
    {64, 77, "Valor principal"},
    {78, 91, "Multa"},
    {92, 105, "Juros / encargos"},
    {106, 119, "Valor total"},
    {120, 127, "Data de vencimento"},
    {128, 135, "Data de pagamento"},
    {136, 165, "Brancos"},
};
constexpr FieldSpec kDarfSimplesBody[] = {
    {39, 46, "Período de apuração"},
    {47, 55, "Receita bruta"},
    {56, 59, "Percentual"},
    {60, 63, "Brancos"},
    {64, 77, "Valor principal"},
    {78, 91, "Multa"},
    {92, 105, "Juros / encargos"},
    {106, 119, "Valor total"},
    {120, 127, "Data de vencimento"},
    {128, 135, "Data de pagamento"},
    {136, 165, "Brancos"},
};
constexpr FieldSpec kGpsBody[] = {
    {18, 19, "Identificação do tributo"},
    {20, 23, "Código de pagamento"},
    {24, 29, "Competência"},
    {30, 43, "Identificador"},
    {44, 57, "Valor do tributo"},
    {58, 71, "Valor de outras entidades"},
    {72, 85, "Atualização monetária"},
    {86, 99, "Valor arrecadado"},
    {100, 107, "Data da arrecadação"},
    {108, 115, "Brancos"},
    {116, 165, "Informações complementares"},
};
constexpr FieldSpec kGareBody[] = {
    {39, 50, "Inscrição estadual"},
    {51, 63, "Dívida ativa / etiqueta"},
    {64, 69, "Período de referência"},
    {70, 82, "Parcela / notificação"},
    {83, 96, "Valor da receita"},
    {97, 110, "Juros"},
    {111, 124, "Multa"},
    {125, 138, "Valor do pagamento"},
    {139, 146, "Data de vencimento"},
    {147, 154, "Data de pagamento"},
    {155, 165, "Brancos"},
};
constexpr FieldSpec kDarjBody[] = {
    {39, 46, "Inscrição estadual"},
    {47, 62, "Documento de origem"},
    {63, 63, "Brancos"},
    {64, 77, "Valor principal"},
    {78, 91, "Atualização monetária"},
    {92, 105, "Juros"},
    {106, 119, "Multa"},
    {120, 133, "Valor do pagamento"},
    {134, 141, "Data de vencimento"},
    {142, 149, "Data de pagamento"},
    {150, 155, "Período de referência"},
    {156, 165, "Brancos"},
};
constexpr FieldSpec kOtherTaxBody[] = {
    {18, 19, "Identificação do tributo"},
    {20, 23, "Código da receita"},
    {24, 24, "Tipo de inscrição do contribuinte"},
    {25, 38, "Inscrição do contribuinte"},
    {39, 86, "Código de barras"},
    {87, 102, "Identificador"},
    {103, 111, "Lacre de conectividade social"},
    {112, 113, "Dígito do lacre"},
    {114, 143, "Nome do contribuinte"},
    {144, 151, "Data de pagamento"},
    {152, 165, "Valor do pagamento"},
    {166, 195, "Brancos"},
};
constexpr auto kSegmentNDarfRows =
    JoinRows(kDetailHead, kTaxContributor, kDarfBody, kTaxName, kSegmentNDocument, kDetailTail);
constexpr auto kSegmentNDarfSimplesRows =
    JoinRows(kDetailHead, kTaxContributor, kDarfSimplesBody, kTaxName, kSegmentNDocument, kDetailTail);
constexpr auto kSegmentNGpsRows = JoinRows(kDetailHead, kGpsBody, kTaxName, kSegmentNDocument, kDetailTail);
constexpr auto kSegmentNGareRows =
    JoinRows(kDetailHead, kTaxContributor, kGareBody, kTaxName, kSegmentNDocument, kDetailTail);
constexpr auto kSegmentNDarjRows =
    JoinRows(kDetailHead, kTaxContributor, kDarjBody, kTaxName, kSegmentNDocument, kDetailTail);
constexpr auto kSegmentNOtherRows = JoinRows(kDetailHead, kOtherTaxBody, kSegmentNDocument, kDetailTail);
constexpr Layout kSegmentNDarf("Segmento N (DARF)", 240, kSegmentNDarfRows.rows);
constexpr Layout kSegmentNDarfSimples("Segmento N (DARF Simples)", 240, kSegmentNDarfSimplesRows.rows);
constexpr Layout kSegmentNGps("Segmento N (GPS)", 240, kSegmentNGpsRows.rows);
constexpr Layout kSegmentNGare("Segmento N (GARE-SP)", 240, kSegmentNGareRows.rows);
constexpr Layout kSegmentNDarj("Segmento N (DARJ)", 240, kSegmentNDarjRows.rows);
constexpr Layout kSegmentNOther("Segmento N (outros tributos)", 240, kSegmentNOtherRows.rows);

constexpr FieldSpec kSegmentOBody[] = {
    {18, 65, "Código de barras"},
    {66, 95, "Nome da concessionária"},
    {96, 103, "Data de vencimento"},
    {104, 106, "Moeda - tipo"},
    {107, 121, "Quantidade de moeda"},
    {122, 136, "Valor a pagar"},
    {137, 144, "Data de pagamento"},
    {145, 159, "Valor pago"},
    {160, 162, "Brancos"},
    {163, 171, "Nota fiscal"},
    {172, 174, "Brancos"},
    {175, 194, "Seu número"},
    {195, 215, "Brancos"},
};
constexpr auto kSegmentORows = JoinRows(kDetailHead, kSegmentOBody, kDetailTail);
constexpr Layout kSegmentO("Segmento O", 240, kSegmentORows.rows);

// Batch trailers: positions 1-23 are the family's frame.
constexpr FieldSpec kBatchTrailerHead[] = {
    {1, 3, "Código do banco"},
    {4, 7, "Código do lote"},
    {8, 8, "Tipo de registro"},
    {9, 17, "Brancos"},
    {18, 23, "Quantidade de registros"},
};
constexpr FieldSpec kPaymentsTotals[] = {
    {24, 41, "Somatória dos valores"},
    {42, 59, "Somatória de quantidade de moedas"},
    {60, 230, "Brancos"},
};
constexpr FieldSpec kTaxTotals[] = {
    {24, 37, "Somatória dos valores principais"},
    {38, 51, "Somatória de outras entidades"},
    {52, 65, "Somatória de acréscimos"},
    {66, 79, "Somatória dos valores arrecadados"},
    {80, 230, "Brancos"},
};
constexpr FieldSpec kBarcodedTaxTotals[] = {
    {24, 41, "Somatória dos valores"},
    {42, 56, "Somatória de quantidade de moedas"},
    {57, 230, "Brancos"},
};
constexpr FieldSpec kBatchTrailerTail[] = {
    {231, 240, "Ocorrências"},
};
constexpr auto kPaymentsTrailerRows = JoinRows(kBatchTrailerHead, kPaymentsTotals, kBatchTrailerTail);
constexpr auto kTaxTrailerRows = JoinRows(kBatchTrailerHead, kTaxTotals, kBatchTrailerTail);
constexpr auto kBarcodedTaxTrailerRows = JoinRows(kBatchTrailerHead, kBarcodedTaxTotals, kBatchTrailerTail);
constexpr Layout kPaymentsTrailer("Trailer de lote (pagamentos)", 240, kPaymentsTrailerRows.rows);
constexpr Layout kTaxTrailer("Trailer de lote (tributos)", 240, kTaxTrailerRows.rows);
constexpr Layout kBarcodedTaxTrailer("Trailer de lote (tributos com código de barras)", 240,
                                     kBarcodedTaxTrailerRows.rows);

constexpr FieldSpec kFileTrailerRows[] = {
    {1, 3, "Código do banco"},
    {4, 7, "Código do lote"},
    {8, 8, "Tipo de registro"},
    {9, 17, "Brancos"},
    {18, 23, "Quantidade de lotes"},
    {24, 29, "Quantidade de registros"},
    {30, 240, "Brancos"},
};
constexpr Layout kFileTrailer("Trailer de arquivo", 240, kFileTrailerRows);

// ---- Payment forms ----------------------------------------------------------------

// What a slip becomes in the file: its segments and its batch trailer.
enum class Kind {
  kNone,           // this file cannot carry it
  kPayments,       // A (credits), or J and J-52 (bank slips); payments trailer
  kPix,            // A and B (PIX by key or account), or J, J-52, J-52 PIX (QR code)
  kTaxes,          // N; taxes trailer
  kBarcodedTaxes,  // O; barcoded taxes trailer
};

bool IsOneOf(std::string_view form, std::initializer_list<std::string_view> forms) {
  for (std::string_view f : forms)
    if (form == f) return true;
  return false;
}

// The kind of a payment form, before the slip's bank and barcode are seen.
Kind KindOfForm(std::string_view form) {
  if (IsOneOf(form, {"01", "03", "41", "30", "31"})) return Kind::kPayments;
  if (IsOneOf(form, {"45", "47"})) return Kind::kPix;
  if (IsOneOf(form, {"16", "17", "18", "19", "21", "22", "25", "27", "35"})) return Kind::kTaxes;
  if (IsOneOf(form, {"13", "91"})) return Kind::kBarcodedTaxes;
  return Kind::kNone;
}

// The payment form of a slip, by its payment mode: for a bank slip by the
// bank of its barcode, for a credit by the payee's bank and the DOC limit.
std::string_view FormOf(std::string_view mode, std::string_view supplierBank, std::string_view slipBank,
                        Money docLimit, Money value) {
  switch (mode.empty() ? '\0' : mode.front()) {
    case 'B': return supplierBank == kOwnBank ? "30" : "31";
    case 'F': return "45";
    case 'Z': return "47";
    case 'G': return "17";
    case 'H': return "18";
    case 'I': return "16";
    case 'J': return "21";
    case 'K': return "27";
    case 'N': return "19";
    case 'O': return "10";
    case 'Q': return "91";
    case 'R': return "13";
    case 'U': return "35";
    case 'V': return "25";
    case 'X': return "22";
    default:
      if (slipBank == kOwnBank) return "01";
      return docLimit >= value ? "03" : "41";
  }
}

// The service of a batch (positions 10-11 of its header).
std::string_view ServiceOf(std::string_view form) {
  return IsOneOf(form, {"16", "17", "18", "19", "21", "25", "27", "35", "91"}) ? "22" : "20";
}

const Layout* SegmentNLayout(std::string_view form) {
  if (form == "16") return &kSegmentNDarf;
  if (form == "18") return &kSegmentNDarfSimples;
  if (form == "17") return &kSegmentNGps;
  if (form == "22") return &kSegmentNGare;
  if (form == "21") return &kSegmentNDarj;
  if (IsOneOf(form, {"19", "25", "27", "35"})) return &kSegmentNOther;
  return nullptr;
}

// ---- Field helpers ---------------------------------------------------------------

// "Ajusta to n, its last n characters", as the layout gives the payee's
// agency and account: zero-filled on the left to n; of a longer value, its
// last n characters.
std::string LastOf(std::string_view value, int n) {
  const std::string t = AllTrim(value);
  const auto length = static_cast<int>(TextLength(t));
  if (length >= n) return Right(t, n);
  return std::string(static_cast<std::size_t>(n - length), '0') + t;
}

// The check digits of a payee's account in positions 42-43: the first and
// the last of two or more, else a blank and the one there is (a blank when
// there is none).
std::string CheckDigitPositions(const std::string& digit) {
  if (digit.size() >= 2) return std::string{digit.front(), digit.back()};
  return std::string(1, ' ') + (digit.empty() ? ' ' : digit.back());
}

// A payee's agency and account as positions 24-43 carry them.
struct PayeeAccount {
  std::string agency;
  std::string account;
  std::string digit;
};

// A payee at Itaú itself: agency (4), account (6) and its check digit (1),
// all measured on the letters and digits of the stored values.
PayeeAccount ItauPayeeAccount(std::string_view agency, std::string_view account, std::string_view agencyMask) {
  const std::string ag = NovosCamposValidos(agency);
  const std::string acc = NovosCamposValidos(account);
  const auto lc = static_cast<int>(acc.size());
  PayeeAccount p;
  const int dash = Pos("-", agencyMask);
  p.agency = dash > 0 ? CampoValido(LeftStr(ag, dash - 1)) : LastOf(ag, 4);
  p.account = LastOf(LeftStr(acc, lc - 1), 6);
  p.digit = Copy(acc, lc, 1);
  return p;
}

// A payee at another bank: agency (5), account (12) and check digits, by
// the bank's masks when it has them, else by a "-" in the stored values.
// The account is measured on its letters and digits, so an account stored
// as "12345-6" splits into "12345" and "6" under any mask.
PayeeAccount OtherPayeeAccount(std::string_view agency, std::string_view account, std::string_view agencyMask,
                               std::string_view accountMask) {
  PayeeAccount p;
  const std::string ag = NovosCamposValidos(agency);
  if (!EmptyString(agencyMask)) {
    const int dash = Pos("-", agencyMask);
    p.agency = dash > 0 ? LeftStr(ag, dash - 1) : ag;
  } else {
    const int dash = Pos("-", agency);
    p.agency = LastOf(dash > 0 ? NovosCamposValidos(Copy(agency, 1, dash - 1)) : ag, 5);
  }

  const std::string acc = NovosCamposValidos(account);
  const auto lc = static_cast<int>(acc.size());
  if (!EmptyString(accountMask)) {
    const std::string mask = AllTrim(accountMask);
    const int dash = Pos("-", mask);
    if (dash == 0) {
      p.account = LeftStr(acc, lc - 1);
      p.digit = Copy(acc, lc, 1);
    } else {
      const int n = static_cast<int>(TextLength(mask)) - dash;  // the mask's check digits
      p.account = LeftStr(acc, lc - n);
      p.digit = Copy(acc, lc - n + 1, n);
    }
    return p;
  }
  const int dash = Pos("-", account);
  if (dash == 0) {
    p.account = LastOf(LeftStr(acc, lc - 1), 12);
    p.digit = Copy(acc, lc, 1);
  } else {
    p.account = LastOf(NovosCamposValidos(Copy(account, 1, dash - 1)), 12);
    const std::string two = Copy(account, dash + 1, 2);
    const bool both = TextLength(two) == 2 && two.back() != ' ';
    p.digit = AllTrim(CampoValido(both ? two : Copy(account, dash + 1, 1)));
  }
  return p;
}

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
        name(s.FieldByName("NMRAZSOCFORN")),
        personType(s.FieldByName("IDTPIJURFORN")),
        registration(s.FieldByName("NRINSJURFORN")),
        filePersonType(s.FieldByName("IDTPICNABBOP")),
        fileRegistration(s.FieldByName("NRINSCNABBOP")),
        branch(s.FieldByName("CDFILIBPAG")),
        entry(s.FieldByName("NRLANBOLPAG")),
        due(s.FieldByName("DTVENBOLPAG")),
        value(s.FieldByName("VRFINALBPAG")),
        docLimit(s.FieldByName("VRMAXDOCCNAB")),
        bankNumber(s.FieldByName("NRRETCNABPAG")),
        ourNumber(s.FieldByName("CDNOSNUMPAG")),
        pixKeyType(s.FieldByName("IDCHAVEPIX")),
        pixKey(s.FieldByName("CHAVEPIX")),
        pixQrCode(s.FieldByName("CODEQRPIX")),
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
  TField& name;
  TField& personType;
  TField& registration;
  TField& filePersonType;
  TField& fileRegistration;
  TField& branch;
  TField& entry;
  TField& due;
  TField& value;
  TField& docLimit;
  TField& bankNumber;
  TField& ourNumber;
  TField& pixKeyType;
  TField& pixKey;
  TField& pixQrCode;
  TField& revenueCode;
  TField& reference;
  TField& seal;
  TField& sealDigits;
};

// Where a slip goes: its payee's bank, its payment form and its kind, or
// why this file cannot carry it.
struct Placement {
  std::string bank;  // RetornaBanco
  std::string form;
  Kind kind = Kind::kNone;
  std::string_view why;  // for kNone
};

// The company, or the remittance's branch, as the headers carry it.
struct Payer {
  std::string type;    // registration type: "1" or "2"
  std::string number;  // registration digits, at most 14
  std::string name;    // as stored
  std::string name30;  // first 30 characters, cleaned, 30 wide: the batch header's and J-52's
  std::string street;
  std::string city;
  std::string postcode;
  std::string state;
};

// The paying company as the tax records carry it, even in a branch's
// remittance.
struct Company {
  std::string type;    // "1" or "2"
  std::string number;  // registration digits
  std::string name;    // NMRAZSOCEMPR
};

// The company's paying account in positions 53-72 of both headers.
struct PayingAccount {
  std::string agency;   // first 4 characters
  std::string account;  // without its check digit, first 12 characters, cleaned
  std::string digit;    // one character or a blank
};

class RemessaBcoItau {
 public:
  explicit RemessaBcoItau(WriterContext& ctx)
      : ctx_(ctx), d_(ctx.d), slips_(ctx.d.cdsBoletos), f_(slips_), payee_(slips_), file_(kItau) {}

  void Run();
  // The bank and the slip being written, for messages.
  const RecordContext& context() const { return file_.context(); }
  std::string slip() const { return file_.context().slip.str(); }

 private:
  // Run
  void ShowOnly(bool bankSlips);
  void VerificaBoletos();
  Placement Place() const;
  const Placement& Placed();
  void Write(const Placement& p);
  void CarregaFilial();
  void LeEmpresa();
  const std::string& Contribuinte();
  void LeMascaras(std::string_view bank);
  [[noreturn]] void Recusa(const std::string& key);

  // Records
  void FileHeader();
  void BatchHeader(const Placement& p);
  void CloseBatch();
  void FileTrailer();
  void PayingAccountFields(Record& rec) const;
  void SegmentA(const Placement& p, bool pix);
  void SegmentB();
  void SegmentJ(bool pix);
  void SegmentJ52(bool pix);
  void SegmentN(const Placement& p);
  void SegmentO();
  void DarfBody(Record& rec, const TaxGuide& g);
  void DarfSimplesBody(Record& rec, const TaxGuide& g);
  void GpsBody(Record& rec, const TaxGuide& g);
  void GareBody(Record& rec, const TaxGuide& g);
  void DarjBody(Record& rec, const TaxGuide& g);
  void OtherTaxBody(Record& rec, const TaxGuide& g);
  void Contributor(Record& rec, const TaxGuide& g, std::string_view tax);

  // Slip values
  std::string_view Modo() const { return FieldText(f_.mode); }
  std::string SlipName() const { return AllTrim(FieldText(f_.branch)) + "/" + AllTrim(FieldText(f_.entry)); }
  // Names the current slip in errors by its own text, which the run does
  // not change; the label is made only when an error is raised.
  void NameSlip() { file_.SetSlip(FieldText(f_.branch), FieldText(f_.entry)); }
  std::string SeuNumero() const { return AllTrim(std::string(FieldText(f_.branch)).append(FieldText(f_.entry))); }
  Money Valor() const { return NotNegative(f_.value.AsMoney(), "do pagamento"); }
  std::optional<Date> Vencimento() const { return OptionalDate(f_.due); }
  // The remittance's payment date when it has one, else the slip's due date.
  std::optional<Date> DataPagamento() const { return payDate_ ? payDate_ : Vencimento(); }
  bool Exclusao() const { return operation_ == "E"; }
  std::string_view Movimento() const { return Exclusao() ? "999" : "000"; }
  std::string PayeeDigits() const;
  std::string_view PayeeType() const;
  std::string RevenueCode() const;
  void SomaLote() {
    if (!Exclusao()) file_.AddToBatchTotal(Valor());
  }

  WriterContext& ctx_;
  RemessaData& d_;
  TDataSet& slips_;
  SlipFields f_;
  const PayeeFields payee_;  // the slip fields of RetornaBanco
  std::optional<TaxGuideFields> guideFields_;  // looked up at the first guide of the run
  Febraban240File file_;

  std::string stFormaPagto;    // payment form of the open batch
  Kind kind_ = Kind::kNone;    // kind of the open batch: its trailer
  int written_ = 0;            // slips written
  int marked_ = 0;             // slips marked

  std::string operation_;      // IDOPECNABPAG: "I", "E" or "B"
  bool branch_ = false;        // the remittance names a branch
  std::optional<Date> payDate_;  // DTPAGREM
  Payer payer_;
  Company company_;
  PayingAccount paying_;
  std::optional<std::string> contributor_;  // the company's registration digits, for taxes
  std::optional<std::string> maskBank_;     // the bank qryMascBancoForn was opened on
  std::string agencyMask_;
  std::string accountMask_;
  // Where each marked slip goes, placed once by the checks and read again
  // by each pass that writes: by the slip's row (its bookmark's slot), an
  // index into placements_, -1 for a row not placed yet.
  std::vector<Placement> placements_;
  std::vector<std::int32_t> placedAt_;
};

void RemessaBcoItau::Run() {
  SlipsInUse inUse(slips_);  // left unfiltered, whatever happens
  const TDataSet& rem = d_.cdsCNABPag;
  operation_ = rem.FieldByName("IDOPECNABPAG").AsString();
  branch_ = !EmptyString(rem.FieldByName("CDFILIAL").AsString());
  payDate_ = OptionalDate(rem.FieldByName("DTPAGREM"));
  CarregaFilial();
  LeEmpresa();
  VerificaBoletos();
  file_.Reserve(3 * static_cast<std::int64_t>(marked_) + 16);

  FileHeader();
  // Every marked slip but the bank slips, in the order of idxGeraRemessa:
  // one batch per run of slips of one form.
  ShowOnly(false);
  for (slips_.First(); !slips_.Eof(); slips_.Next()) Write(Placed());
  if (file_.batchOpen()) CloseBatch();
  // The bank slips: those of Itaú, then those of other banks.
  ShowOnly(true);
  for (const std::string_view form : {"30", "31"}) {
    for (slips_.First(); !slips_.Eof(); slips_.Next()) {
      const Placement& p = Placed();
      if (p.form == form) Write(p);
    }
    if (file_.batchOpen()) CloseBatch();
  }
  if (written_ != marked_)
    throw std::logic_error("Itaú: " + std::to_string(marked_) + " slips marked, " + std::to_string(written_) +
                           " written");
  FileTrailer();
  file_.Commit(ctx_.out);
}

// Shows the marked bank slips, or every other marked slip.
void RemessaBcoItau::ShowOnly(bool bankSlips) {
  TField& marked = f_.marked;
  TField& mode = f_.mode;
  slips_.SetFiltered(false);
  slips_.SetFilter([&marked, &mode, bankSlips](const TDataSet&) {
    return FieldText(marked) == "S" && (FieldText(mode) == "B") == bankSlips;
  });
  slips_.SetFiltered(true);
}

// A marked slip this file cannot carry stops the run before anything is
// written, naming the slip and why; none is left out silently.
void RemessaBcoItau::VerificaBoletos() {
  TField& marked = f_.marked;
  slips_.SetFiltered(false);
  slips_.SetFilter([&marked](const TDataSet&) { return FieldText(marked) == "S"; });
  slips_.SetFiltered(true);
  marked_ = 0;
  placements_.reserve(static_cast<std::size_t>(slips_.RecordCount()));
  for (slips_.First(); !slips_.Eof(); slips_.Next()) {
    ++marked_;
    NameSlip();
    const Placement& p = Placed();
    if (p.kind != Kind::kNone) continue;
    const std::string mode = std::string(Modo()) + ": " + std::string(p.why);
    MensErro(ctx_.dialogs, ctx_.msgs().Format("Modo_Nao_Tratado", {slip(), mode, std::string(kOwnBank)}), true,
             "Modo_Nao_Tratado");
  }
  file_.ClearSlip();
}

// The placement of the current slip, made when the slip is first placed.
const Placement& RemessaBcoItau::Placed() {
  const std::uint32_t row = slips_.GetBookmark().slot;
  if (row < placedAt_.size() && placedAt_[row] >= 0) return placements_[static_cast<std::size_t>(placedAt_[row])];
  if (row >= placedAt_.size()) placedAt_.resize(std::size_t{row} + 1, -1);
  placedAt_[row] = static_cast<std::int32_t>(placements_.size());
  placements_.push_back(Place());
  return placements_.back();
}

Placement RemessaBcoItau::Place() const {
  Placement p;
  p.bank = RetornaBanco(payee_);
  const std::string_view mode = Modo();
  const bool barcode = !EmptyString(FieldText(f_.barcode));
  p.form = std::string(FormOf(mode, p.bank, FieldText(f_.bank), f_.docLimit.AsMoney(), f_.value.AsMoney()));
  p.kind = KindOfForm(p.form);
  if (p.form == "10") {
    p.why = "ordem de pagamento";
  } else if ((p.form == "30" || p.form == "31" || p.form == "13" || p.form == "91") && !barcode) {
    p.kind = Kind::kNone;
    p.why = "sem código de barras";
  } else if (p.form == "01" && p.bank != kOwnBank) {
    p.kind = Kind::kNone;
    p.why = "favorecido de outro banco em crédito Itaú";
  } else if ((p.form == "03" || p.form == "41") && p.bank == kOwnBank) {
    p.kind = Kind::kNone;
    p.why = "banco do favorecido não informado";
  }
  return p;
}

// One slip: a new batch when its form is not the open batch's, then its
// segments.
void RemessaBcoItau::Write(const Placement& p) {
  if (p.kind == Kind::kNone) throw std::logic_error("Itaú: the slip " + SlipName() + " has no place in the file");
  NameSlip();
  if (file_.batchOpen() && p.form != stFormaPagto) CloseBatch();
  if (!file_.batchOpen()) BatchHeader(p);
  switch (p.kind) {
    case Kind::kPayments:
      if (p.form == "30" || p.form == "31") {
        SegmentJ(false);
        SegmentJ52(false);
      } else {
        SegmentA(p, false);
      }
      break;
    case Kind::kPix:
      if (p.form == "45") {
        SegmentA(p, true);
        if (!EmptyString(FieldText(f_.pixKeyType))) SegmentB();
      } else {
        SegmentJ(true);
        SegmentJ52(false);
        SegmentJ52(true);
      }
      break;
    case Kind::kTaxes: SegmentN(p); break;
    case Kind::kBarcodedTaxes: SegmentO(); break;
    case Kind::kNone: break;
  }
  ++written_;
  ctx_.SlipWritten(f_.branch, f_.entry);
}

void RemessaBcoItau::Recusa(const std::string& key) {
  ctx_.Refuse(key);
}

// The remittance's branch, loaded when the screen has not loaded it.
void RemessaBcoItau::CarregaFilial() {
  if (CarregaFilialRemessa(d_, ctx_.net) == RemittanceBranch::kUnknown) Recusa("FIL_N_CAD");
}

// The company, or the branch when the remittance names one, as the headers
// carry it; a registration of more than 14 digits is refused.
void RemessaBcoItau::LeEmpresa() {
  const TDataSet& e = branch_ ? d_.cdsFilial : d_.cdsEmpresa;
  auto field = [&e](const char* name) { return e.FieldByName(name).AsString(); };
  payer_.type = CompanyRegistrationType(field(branch_ ? "IDTPIJURFILI" : "IDTPIJUREMPR"));
  payer_.number = AllTrim(Nr_Codigo(field(branch_ ? "NRINSJURFILI" : "NRINSJUREMPR")));
  if (payer_.number.size() > 14) Recusa(branch_ ? "INSCR_FILI_INV" : "INSCRICAO_INV");
  payer_.name = field(branch_ ? "NMFILIAL" : "NMEMPRESA");
  payer_.name30 = PadR(CampoValido(LeftStr(payer_.name, 30)), 30);
  payer_.street = field(branch_ ? "DSENDEFILI" : "DSENDEEMPR");
  payer_.city = field("NMMUNICIPIO");
  payer_.postcode = field(branch_ ? "NRCEPFILI" : "NRCEPEMPR");
  payer_.state = field("SGESTADO");

  const TDataSet& c = d_.cdsEmpresa;
  company_.type = CompanyRegistrationType(c.FieldByName("IDTPIJUREMPR").AsString());
  company_.number = AllTrim(Nr_Codigo(c.FieldByName("NRINSJUREMPR").AsString()));
  company_.name = c.FieldByName("NMRAZSOCEMPR").AsString();

  const TDataSet& conta = d_.cdsContaCorrente;
  paying_.agency = LeftStr(AllTrim(conta.FieldByName("CDAGENCIA").AsString()), 4);
  paying_.account = CampoValido(LeftStr(Retorna_ContaCorrente(d_), 12));
  paying_.digit = Right(AllTrim(CampoValido(Retorna_DAC_ContaCorrente(d_))), 1);
}

// The company's registration digits for the tax records (never the
// branch's), refused when longer than 14 digits.
const std::string& RemessaBcoItau::Contribuinte() {
  if (!contributor_) {
    if (company_.number.size() > 14) Recusa("INSCRICAO_INV");
    contributor_ = company_.number;
  }
  return *contributor_;
}

// The agency and account masks of the payee's bank (qryMascBancoForn).
void RemessaBcoItau::LeMascaras(std::string_view bank) {
  if (maskBank_ && *maskBank_ == bank) return;
  TDataSet& q = d_.qryMascBancoForn;
  q.Close();
  q.LoadPacket(ctx_.localdb.Query("qryMascBancoForn", {{"P_CDBANCO", Value(std::string(bank))}}));
  maskBank_ = std::string(bank);
  agencyMask_ = q.IsEmpty() ? std::string() : q.FieldByName("CDPICTAGEN").AsString();
  accountMask_ = q.IsEmpty() ? std::string() : q.FieldByName("CDPICTCONT").AsString();
}

// The payee's registration digits: of the file's registration of the slip
// when it has any digits, else of the supplier's.
std::string RemessaBcoItau::PayeeDigits() const {
  std::string digits = AllTrim(Nr_Codigo(FieldText(f_.fileRegistration)));
  if (digits.empty()) digits = AllTrim(Nr_Codigo(FieldText(f_.registration)));
  return digits;
}

// "1" for a person, else "2": the slip's file type, or the supplier's when
// that is blank.
std::string_view RemessaBcoItau::PayeeType() const {
  const std::string_view fileType = FieldText(f_.filePersonType);
  return CompanyRegistrationType(EmptyString(fileType) ? FieldText(f_.personType) : fileType);
}

// The guide's revenue code: its last 4 digits, "0000" without one.
std::string RemessaBcoItau::RevenueCode() const {
  const std::string_view code = FieldText(f_.revenueCode);
  if (EmptyString(code)) return "0000";
  return Right(AllTrim(Nr_Codigo(code)), 4);
}

// ---- Records ------------------------------------------------------------------------

// Agency, account and check digit of the company's paying account (53-72
// of both headers).
void RemessaBcoItau::PayingAccountFields(Record& rec) const {
  rec.num(53, 57, paying_.agency);
  rec.blank(58, 58);
  rec.num(59, 70, paying_.account);
  rec.blank(71, 71);
  rec.plain(72, 72, paying_.digit);
}

// File header: the company (or branch) and its paying account.
void RemessaBcoItau::FileHeader() {
  file_.ClearSlip();
  file_.FileHeader(kFileHeader, [&](Record& rec) {
    rec.blank(9, 14);
    rec.lit(15, 17, "080");
    rec.raw(18, 18, payer_.type);
    rec.num(19, 32, payer_.number);
    rec.blank(33, 52);
    PayingAccountFields(rec);
    rec.text(73, 102, AllTrim(payer_.name));
    rec.text(103, 132, d_.cdsContaCorrente.FieldByName("NMBANCO").AsString());
    rec.blank(133, 142);
    rec.lit(143, 143, "1");
    rec.date(144, 151, ctx_.ProcessingDate(), "ddmmyyyy");
    rec.date(152, 157, ctx_.Now(), "hhmmss");
    rec.zeros(158, 166);
    rec.zeros(167, 171);
    rec.blank(172, 240);
  });
}

// Batch header: the form of the slip that opens the batch.
void RemessaBcoItau::BatchHeader(const Placement& p) {
  stFormaPagto = p.form;
  kind_ = p.kind;
  file_.BatchHeader(kBatchHeader, [&](Record& rec) {
    rec.lit(9, 9, "C");
    rec.lit(10, 11, ServiceOf(stFormaPagto));
    rec.num(12, 13, stFormaPagto);
    rec.lit(14, 16, "040");
    rec.blank(17, 17);
    rec.raw(18, 18, payer_.type);
    rec.num(19, 32, payer_.number);
    rec.blank(33, 52);
    PayingAccountFields(rec);
    rec.plain(73, 102, payer_.name30);
    rec.blank(103, 132);
    rec.blank(133, 142);
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

// Segment A: a credit to the payee's account (forms "01", "03", "41"), or a
// PIX transfer (form "45") to an account or, with a key, to the key that
// segment B carries.
void RemessaBcoItau::SegmentA(const Placement& p, bool pix) {
  const bool key = pix && !EmptyString(FieldText(f_.pixKeyType));
  const bool own = p.bank == kOwnBank;
  PayeeAccount payee;
  if (!key) {
    LeMascaras(FieldText(f_.bank));
    payee = own ? ItauPayeeAccount(FieldText(f_.agency), FieldText(f_.account), agencyMask_)
                : OtherPayeeAccount(FieldText(f_.agency), FieldText(f_.account), agencyMask_, accountMask_);
  }
  const Layout& layout = key ? kSegmentAPixKey
                         : own ? (pix ? kSegmentAPixItau : kSegmentAItau)
                               : (pix ? kSegmentAPixOther : kSegmentAOther);

  file_.Detail(layout, [&](Record& rec) {
    rec.lit(14, 14, "A");
    rec.lit(15, 17, Movimento());
    rec.lit(18, 20, pix ? "009" : "000");
    rec.num(21, 23, LeftStr(p.bank, 3));
    if (key) {
      rec.blank(24, 43);
    } else if (own) {
      rec.lit(24, 24, "0");
      rec.num(25, 28, payee.agency);
      rec.blank(29, 29);
      rec.lit(30, 35, "000000");
      rec.num(36, 41, payee.account);
      rec.blank(42, 42);
      rec.num(43, 43, payee.digit);
    } else {
      rec.num(24, 28, payee.agency);
      rec.blank(29, 29);
      rec.num(30, 41, payee.account);
      rec.raw(42, 43, CheckDigitPositions(payee.digit));
    }
    rec.text(44, 73, AllTrim(FieldText(f_.name)));
    rec.plain(74, 93, SeuNumero());
    rec.date(94, 101, pix ? Vencimento() : DataPagamento(), "ddmmyyyy");
    rec.lit(102, 104, "REA");
    if (pix) {
      rec.blank(105, 112);
      rec.lit(113, 114, key ? "04" : "01");
      rec.lit(115, 119, "00000");
    } else {
      rec.zeros(105, 119);
    }
    rec.amount(120, 134, Valor());
    if (Exclusao())
      rec.text(135, 149, FieldText(f_.bankNumber));
    else
      rec.blank(135, 149);
    rec.blank(150, 154);
    rec.zeros(155, 162);
    rec.zeros(163, 177);
    rec.blank(178, 195);
    rec.blank(196, 197);
    rec.zeros(198, 203);
    rec.num(204, 217, LeftStr(PayeeDigits(), 14));
    rec.blank(218, 219);
    rec.blank(220, 224);
    rec.blank(225, 229);
    rec.lit(230, 230, "0");
    rec.blank(231, 240);
  });
  SomaLote();
}

// Segment B (PIX): the key of a PIX transfer, with the number of its A.
void RemessaBcoItau::SegmentB() {
  file_.DetailSameSequence(kSegmentB, [&](Record& rec) {
    rec.lit(14, 14, "B");
    rec.plain(15, 16, FieldText(f_.pixKeyType));
    rec.blank(17, 17);
    rec.raw(18, 18, PayeeType());
    rec.num(19, 32, LeftStr(PayeeDigits(), 14));
    rec.blank(33, 62);
    rec.blank(63, 127);
    rec.plain(128, 227, FieldText(f_.pixKey));
    rec.blank(228, 230);
    rec.blank(231, 240);
  });
}

// Segment J: a bank slip by its barcode (forms "30", "31"), or a PIX by QR
// code (form "47"), whose barcode positions are zeros.
void RemessaBcoItau::SegmentJ(bool pix) {
  BarcodePieces code;
  if (!pix) code = BarcodePieces::FromBarcode(FieldText(f_.barcode));
  file_.Detail(kSegmentJ, [&](Record& rec) {
    rec.lit(14, 14, "J");
    rec.lit(15, 17, Movimento());
    if (pix) {
      rec.zeros(18, 20);
      rec.zeros(21, 21);
      rec.zeros(22, 22);
      rec.zeros(23, 36);
      rec.zeros(37, 61);
    } else {
      rec.num(18, 20, code.bank());
      rec.num(21, 21, code.currency());
      rec.num(22, 22, code.checkDigit());
      rec.num(23, 36, code.factorAndAmount());
      rec.num(37, 61, code.freeField());
    }
    rec.text(62, 91, FieldText(f_.name));
    rec.date(92, 99, Vencimento(), "ddmmyyyy");
    rec.amount(100, 114, Valor());
    rec.zeros(115, 129);
    rec.zeros(130, 144);
    rec.date(145, 152, pix ? Vencimento() : DataPagamento(), "ddmmyyyy");
    rec.amount(153, 167, Valor());
    rec.zeros(168, 182);
    rec.plain(183, 202, SeuNumero());
    rec.blank(203, 215);
    if (!EmptyString(FieldText(f_.ourNumber)) && Exclusao())
      rec.text(216, 230, FieldText(f_.bankNumber));
    else
      rec.blank(216, 230);
    rec.blank(231, 240);
  });
  SomaLote();
}

// Segment J-52, with the number of its J: the payer (from the batch header)
// and the beneficiary; the PIX variant carries the QR code.
void RemessaBcoItau::SegmentJ52(bool pix) {
  const std::string_view type = PayeeType();
  const std::string digits = PayeeDigits();
  const std::string beneficiary =
      type == "1" ? Copy(digits, 1, 9) + "0000" + Copy(digits, 10, 2) : LeftStr(digits, 15);

  file_.DetailSameSequence(pix ? kSegmentJ52Pix : kSegmentJ52, [&](Record& rec) {
    rec.lit(14, 14, "J");
    rec.lit(15, 17, Movimento());
    rec.lit(18, 19, "52");
    rec.raw(20, 20, payer_.type);
    rec.num(21, 35, payer_.number);
    rec.plain(36, 75, payer_.name30);
    rec.raw(76, 76, type);
    rec.num(77, 91, beneficiary);
    rec.text(92, 131, AllTrim(FieldText(f_.name)));
    if (pix) {
      rec.plain(132, 208, FieldText(f_.pixQrCode));
      rec.blank(209, 240);
    } else {
      rec.lit(132, 132, "0");
      rec.zeros(133, 147);
      rec.blank(148, 187);
      rec.blank(188, 240);
    }
  });
}

// Segment N: a tax paid without barcode, with the body of its form.
void RemessaBcoItau::SegmentN(const Placement& p) {
  const Layout* layout = SegmentNLayout(p.form);
  if (layout == nullptr) throw std::logic_error("Itaú: no segment N for form " + p.form);
  if (!guideFields_) guideFields_.emplace(slips_);
  TaxGuide g = TaxGuideOf(*guideFields_);
  g.contributorType = d_.cdsEmpresa.FieldByName("IDTPIJUREMPR").AsString();  // the company, never the branch
  g.contributorNumber = Contribuinte();
  if (p.form == "21") {
    // The document of the payable behind the guide.
    const std::string branch(FieldText(f_.branch));
    const std::string entry(FieldText(f_.entry));
    d_.cdsCntPagar.LoadPacket(ctx_.net.CallPacket("GetCntPagar", {Arg(branch), Arg(entry)}));
    g.sourceDocument = d_.cdsCntPagar.FieldByName("DOCUMENTO").AsString();
  }

  file_.Detail(*layout, [&](Record& rec) {
    rec.lit(14, 14, "N");
    rec.lit(15, 17, Movimento());
    if (p.form == "16") DarfBody(rec, g);
    if (p.form == "18") DarfSimplesBody(rec, g);
    if (p.form == "17") GpsBody(rec, g);
    if (p.form == "22") GareBody(rec, g);
    if (p.form == "21") DarjBody(rec, g);
    if (layout == &kSegmentNOther)
      OtherTaxBody(rec, g);
    else
      rec.text(166, 195, company_.name);
    rec.plain(196, 215, SeuNumero());
    rec.blank(216, 230);
    rec.blank(231, 240);
  });
  SomaLote();
}

// Tax identifier, revenue code, the company's registration type and number
// (18-38 of the DARF, DARF Simples, GARE and DARJ bodies).
void RemessaBcoItau::Contributor(Record& rec, const TaxGuide& g, std::string_view tax) {
  rec.lit(18, 19, tax);
  rec.num(20, 23, RevenueCode());
  rec.raw(24, 24, CompanyRegistrationType(g.contributorType));
  rec.num(25, 38, g.contributorNumber);
}

void RemessaBcoItau::DarfBody(Record& rec, const TaxGuide& g) {
  Contributor(rec, g, "02");
  rec.date(39, 46, g.period, "ddmmyyyy");
  rec.num(47, 63, Right(AllTrim(Nr_Codigo(g.reference)), 17));
  rec.amount(64, 77, NotNegative(g.total, "do pagamento"));
  rec.amount(78, 91, NotNegative(g.fine, "da multa"));
  rec.amount(92, 105, NotNegative(g.interest, "dos juros"));
  rec.amount(106, 119, NotNegative(g.total, "do pagamento"));
  rec.date(120, 127, g.dueDate, "ddmmyyyy");
  rec.date(128, 135, DataPagamento(), "ddmmyyyy");
  rec.blank(136, 165);
}

void RemessaBcoItau::DarfSimplesBody(Record& rec, const TaxGuide& g) {
  Contributor(rec, g, "03");
  rec.date(39, 46, g.period, "ddmmyyyy");
  rec.amount(47, 55, NotNegative(g.otherEntities, "da receita bruta"));
  rec.amount(56, 59, NotNegative(Money::FromDecimal(RoundDec(g.percentage, 2)), "do percentual"));
  rec.blank(60, 63);
  rec.amount(64, 77, DarfSimplesPrincipal(g));
  rec.amount(78, 91, NotNegative(g.fine, "da multa"));
  rec.amount(92, 105, NotNegative(g.interest, "dos juros"));
  rec.amount(106, 119, NotNegative(g.total, "do pagamento"));
  rec.date(120, 127, g.dueDate, "ddmmyyyy");
  rec.date(128, 135, DataPagamento(), "ddmmyyyy");
  rec.blank(136, 165);
}

void RemessaBcoItau::GpsBody(Record& rec, const TaxGuide& g) {
  rec.lit(18, 19, "01");
  rec.num(20, 23, RevenueCode());
  rec.date(24, 29, g.period, "mmyyyy");
  rec.num(30, 43, g.contributorNumber);
  rec.amount(44, 57, GpsInssAmount(g));
  rec.amount(58, 71, NotNegative(g.otherEntities, "de outras entidades"));
  rec.amount(72, 85, GpsMonetaryUpdate(g));
  rec.amount(86, 99, NotNegative(g.total, "do pagamento"));
  rec.date(100, 107, g.dueDate, "ddmmyyyy");
  rec.blank(108, 115);
  rec.blank(116, 165);
}

void RemessaBcoItau::GareBody(Record& rec, const TaxGuide& g) {
  Contributor(rec, g, "05");
  rec.num(39, 50, LeftStr(AllTrim(Nr_Codigo(g.stateRegistration)), 12));
  rec.num(51, 63, Right(AllTrim(Nr_Codigo(g.reference)), 13));
  rec.date(64, 69, g.period, "mmyyyy");
  rec.num(70, 82, g.instalment);
  rec.amount(83, 96, NotNegative(g.otherEntities, "da receita"));
  rec.amount(97, 110, NotNegative(g.interest, "dos juros"));
  rec.amount(111, 124, NotNegative(g.fine, "da multa"));
  rec.amount(125, 138, NotNegative(g.total, "do pagamento"));
  rec.date(139, 146, g.dueDate, "ddmmyyyy");
  rec.date(147, 154, DataPagamento(), "ddmmyyyy");
  rec.blank(155, 165);
}

void RemessaBcoItau::DarjBody(Record& rec, const TaxGuide& g) {
  Contributor(rec, g, "04");
  rec.num(39, 46, LeftStr(AllTrim(Nr_Codigo(g.stateRegistration)), 8));
  rec.num(47, 62, LeftStr(g.sourceDocument, 7));
  rec.blank(63, 63);
  rec.amount(64, 77, DarjPrincipal(g));
  rec.zeros(78, 91);
  rec.amount(92, 105, NotNegative(g.interest, "dos juros"));
  rec.amount(106, 119, NotNegative(g.fine, "da multa"));
  rec.amount(120, 133, NotNegative(g.total, "do pagamento"));
  rec.date(134, 141, g.dueDate, "ddmmyyyy");
  rec.date(142, 149, DataPagamento(), "ddmmyyyy");
  rec.date(150, 155, g.period, "mmyyyy");
  rec.blank(156, 165);
}

// The taxes of forms "19", "25", "27" and "35": the guide's typed line,
// identifier and seal.
void RemessaBcoItau::OtherTaxBody(Record& rec, const TaxGuide& g) {
  rec.lit(18, 19, "11");
  rec.num(20, 23, RevenueCode());
  rec.lit(24, 24, "1");
  rec.num(25, 38, g.contributorNumber);
  rec.plain(39, 86, FieldText(f_.typedLine));
  rec.num(87, 102, Right(AllTrim(Nr_Codigo(g.reference)), 16));
  rec.num(103, 111, LeftStr(AllTrim(FieldText(f_.seal)), 9));
  rec.num(112, 113, LeftStr(AllTrim(FieldText(f_.sealDigits)), 2));
  rec.text(114, 143, company_.name);
  rec.date(144, 151, DataPagamento(), "ddmmyyyy");
  rec.amount(152, 165, NotNegative(g.total, "do pagamento"));
  rec.blank(166, 195);
}

// Segment O: a barcoded tax or bill, by its typed line.
void RemessaBcoItau::SegmentO() {
  file_.Detail(kSegmentO, [&](Record& rec) {
    rec.lit(14, 14, "O");
    rec.lit(15, 17, Movimento());
    rec.plain(18, 65, FieldText(f_.typedLine));
    rec.text(66, 95, FieldText(f_.name));
    rec.date(96, 103, Vencimento(), "ddmmyyyy");
    rec.lit(104, 106, "REA");
    rec.zeros(107, 121);
    rec.amount(122, 136, Valor());
    rec.date(137, 144, DataPagamento(), "ddmmyyyy");
    rec.zeros(145, 159);
    rec.blank(160, 162);
    rec.blank(163, 171);
    rec.blank(172, 174);
    rec.plain(175, 194, SeuNumero());
    rec.blank(195, 215);
    rec.blank(216, 230);
    rec.blank(231, 240);
  });
  SomaLote();
}

// Batch trailer of the open batch's kind; the batch is closed.
void RemessaBcoItau::CloseBatch() {
  file_.ClearSlip();
  const Money total = file_.batchTotal();
  switch (kind_) {
    case Kind::kPayments:
    case Kind::kPix:
      file_.BatchTrailer(kPaymentsTrailer, [&](Record& rec) {
        rec.amount(24, 41, total);
        rec.zeros(42, 59);
        rec.blank(60, 230);
        rec.blank(231, 240);
      });
      break;
    case Kind::kTaxes:
      file_.BatchTrailer(kTaxTrailer, [&](Record& rec) {
        rec.amount(24, 37, total);
        rec.zeros(38, 51);
        rec.zeros(52, 65);
        rec.amount(66, 79, total);
        rec.blank(80, 230);
        rec.blank(231, 240);
      });
      break;
    case Kind::kBarcodedTaxes:
      file_.BatchTrailer(kBarcodedTaxTrailer, [&](Record& rec) {
        rec.amount(24, 41, total);
        rec.zeros(42, 56);
        rec.blank(57, 230);
        rec.blank(231, 240);
      });
      break;
    case Kind::kNone: throw std::logic_error("Itaú: a batch of no kind");
  }
  stFormaPagto.clear();
  kind_ = Kind::kNone;
}

void RemessaBcoItau::FileTrailer() {
  file_.ClearSlip();
  file_.FileTrailer(kFileTrailer, [](Record& rec) { rec.blank(30, 240); });
}

}  // namespace

void Remessa_BcoItau(WriterContext& ctx) {
  RemessaBcoItau writer(ctx);
  RefuseFieldFaults(ctx.dialogs, ctx.msgs(), writer.context(), [&writer] { writer.Run(); });
}

const Layout* BcoItauLayout(std::string_view line, std::string_view batchForm) {
  if (line.size() != 240) return nullptr;
  switch (line[7]) {
    case '0': return &kFileHeader;
    case '1': return &kBatchHeader;
    case '9': return &kFileTrailer;
    case '5':
      switch (KindOfForm(batchForm)) {
        case Kind::kTaxes: return &kTaxTrailer;
        case Kind::kBarcodedTaxes: return &kBarcodedTaxTrailer;
        default: return &kPaymentsTrailer;
      }
    case '3': break;
    default: return nullptr;
  }
  switch (line[13]) {
    case 'A': {
      const bool pix = line.substr(17, 3) == "009";
      if (pix && line.substr(112, 2) == "04") return &kSegmentAPixKey;
      const bool own = line.substr(20, 3) == kOwnBank;
      if (pix) return own ? &kSegmentAPixItau : &kSegmentAPixOther;
      return own ? &kSegmentAItau : &kSegmentAOther;
    }
    case 'B': return &kSegmentB;
    case 'J':
      // A J-52 has "52" where a J has its barcode's bank; the PIX one has
      // the QR code where the plain one has sixteen zeros.
      if (line.substr(17, 2) != "52") return &kSegmentJ;
      if (batchForm == "47" && line.substr(131, 16) != std::string(16, '0')) return &kSegmentJ52Pix;
      return &kSegmentJ52;
    case 'N': return SegmentNLayout(batchForm);
    case 'O': return &kSegmentO;
    default: return nullptr;
  }
}

}  // namespace pag
