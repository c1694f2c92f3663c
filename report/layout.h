// The payment-list layout: our own small text format for the report layouts
// that the server keeps and the print action downloads into the report
// folder (docs/report-layout.md). A layout says how the page is set up,
// which query parameters it takes, what the heading shows, which columns the
// slip table has, how slips are grouped and summed, and what the footer says.
//
//   PAGREL 1
//   [pagina]
//   papel = A4
//   [parametros]
//   P_CDEMPRESA
//   P_NRCNABPAG
//   [cabecalho]
//   titulo = BORDERÔ DE PAGAMENTO
//   linha = Remessa {NRCNABPAG} de {DTCNABPAG dd/mm/yyyy hh:nn}
//   [colunas]
//   Fornecedor | NMRAZSOCFORN | 40 | esquerda
//   Valor (R$) | VRFINALBPAG  | 14 | direita
//   [grupos]
//   campo = IDBAIXAUTILP
//   soma = VRFINALBPAG
//   ; versão 20260105#
//
//   PaymentListLayout layout = ReadLayoutFile("/rel/BORDPAG.QR2");
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pag::report {

// A fault of a layout file; the message names the file and the line.
class LayoutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class Align { kLeft, kCenter, kRight };
enum class Paper { kA4, kLetter, kLegal };

// A field as a template or a column names it: "DTVENBOLPAG dd/mm/yyyy" is
// field DTVENBOLPAG shown with pattern "dd/mm/yyyy".
struct FieldRef {
  std::string field;    // upper case
  std::string pattern;  // date pattern, or empty
};

struct LayoutColumn {
  std::string title;
  FieldRef field;
  int width = 1;  // share of the table's width, relative to the other columns
  Align align = Align::kLeft;
};

struct PaymentListLayout {
  std::string name;  // file name, for messages

  // [pagina]
  Paper paper = Paper::kA4;
  bool landscape = false;
  double margin_mm = 12;
  std::string font_family = "DejaVu Sans";
  double font_size = 8;  // points, body text

  // [parametros]: the query parameters the layout takes.
  std::vector<std::string> parameters;

  // [cabecalho]: repeated at the top of every page.
  std::string title;
  std::vector<std::string> header_lines;

  // [colunas]: the slip table.
  std::vector<LayoutColumn> columns;

  // [grupos]: slips grouped by a field, each group with its subtotal.
  std::string group_field;  // empty: no groups
  std::string sum_field;    // the column summed in subtotals and total
  std::string group_title = "{ROTULO}";
  std::string group_continued = "{ROTULO} (continuação)";
  std::string subtotal_text;
  std::map<std::string, std::string> group_labels;  // group value -> label ({ROTULO})
  std::vector<std::string> group_order;             // values in the order the labels were given
  std::string default_label;                        // label of a value without one

  // [totais]
  std::string total_text;
  std::string empty_text;     // shown when there are no slips
  std::string mismatch_text;  // shown when the slips disagree with the remittance's totals

  // [rodape]: at the bottom of every page.
  std::string footer_left;
  std::string footer_right;

  // Applies the report dialog's setting, "KEY=VALUE" pairs separated by ";":
  // PAPEL (A4, CARTA, OFICIO) and ORIENTACAO (RETRATO, PAISAGEM) override the
  // layout's page; other keys are left to other reports. Throws LayoutError
  // for a bad value of a known key.
  void ApplyDialogSetting(std::string_view setting);

  // Index of the column showing the summed field; -1 without one.
  int SumColumn() const;
};

// Reads a layout from its text; `name` is used in messages. A last line
// ending with "#" (the version stamp) is not read as layout.
PaymentListLayout ParseLayout(std::string_view text, const std::string& name);
// Reads a layout file; LayoutError when it cannot be read or parsed.
PaymentListLayout ReadLayoutFile(const std::string& path);

// A template's pieces: literal text and fields in braces ("{QTDE}",
// "{DTCNABPAG dd/mm/yyyy}"). "{{" is a literal brace.
struct TemplatePiece {
  bool is_field = false;
  std::string text;  // literal text
  FieldRef field;
};
std::vector<TemplatePiece> SplitTemplate(std::string_view tmpl);
FieldRef ParseFieldRef(std::string_view text);

}  // namespace pag::report
