// The payment list's content, before it is put on pages: the remittance's
// heading data and its slips as the report server answers them, and the
// lines of the table that a layout makes of them (group headings, slips,
// subtotals per payment mode, the grand total).
//
//   PaymentListData data = LoadPaymentListData(qrdesign, {{"P_CDEMPRESA", "01"}, {"P_NRCNABPAG", "0000000001"}});
//   PaymentList list = BuildPaymentList(layout, data);
//   list.count;   // 6, as QTBOLCNABPAG
//   list.total;   // 14143.86, as VRTOTALCNABPAG
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "host/connection.h"
#include "host/decimal.h"
#include "host/value.h"
#include "remittance/report.h"
#include "report/layout.h"

namespace pag::report {

// One record of the report's data: values by field name (upper case).
class Record {
 public:
  void Set(const std::string& name, Value v);
  // Copies the fields of a packet's row; fields already set are kept unless
  // `replace`.
  void AddRow(const Packet& p, std::size_t row, bool replace);
  const Value* Find(std::string_view name) const;
  bool Has(std::string_view name) const { return Find(name) != nullptr; }

 private:
  std::map<std::string, Value, std::less<>> values_;
};

// What the report server answers for one remittance.
struct PaymentListData {
  Record heading;                      // remittance, company, branch and account
  std::vector<Record> slips;           // in the server's order (due date, supplier)
  std::set<std::string> slip_fields;   // fields every slip record has
  std::int64_t declared_count = 0;     // QTBOLCNABPAG
  Money declared_total;                // VRTOTALCNABPAG
};

// The row of remittance `number` of `company` (GetCNABPag with every other
// criterion lifted; the number with or without its leading zeros). Empty
// when there is no such remittance.
Packet ReadRemittance(TNetConnection& net, const std::string& company, const std::string& number);

// Reads the remittance named by P_CDEMPRESA and P_NRCNABPAG: its row
// (GetCNABPag), company (GetEmpresa), branch (GetFilial), account
// (GetContaCorrente) and slips (GetBolporRem), each slip with its document
// (GetDocBole: invoice/series when there is exactly one invoice, else
// branch/entry) as DOCUMENTO. Throws std::runtime_error when the parameters
// are missing or the remittance does not exist; server errors as ServerError.
PaymentListData LoadPaymentListData(TNetConnection& net, const ReportParams& params);

// A field's value as the report shows it: amounts the Brazilian way
// ("1.234,56"), dates with the pattern (default "dd/mm/yyyy"; the zero date
// shows nothing), agency and account numbers through their pictures, and
// the movement, situation and scheduling codes through the screen's texts.
std::string DisplayValue(const Record& rec, const FieldRef& ref);

// Fills a template's fields from the records, first to last; a field none of
// them has throws LayoutError naming it and `where`.
std::string Expand(std::string_view tmpl, const std::vector<const Record*>& records, const std::string& where);

struct PaymentList {
  enum class Kind {
    kGroup,     // a group's heading: text
    kDetail,    // a slip: cells
    kSubtotal,  // a group's sum: text and amount
    kTotal,     // the grand total: text and amount
    kNote,      // a remark over the whole width: text
  };
  struct Line {
    Kind kind = Kind::kDetail;
    std::vector<std::string> cells;
    std::string text;
    std::string amount;
    std::string continued;  // kGroup: the heading repeated atop a page the group runs onto
  };

  std::vector<std::string> heading;  // title, then the heading lines
  std::vector<LayoutColumn> columns;
  int sum_column = -1;
  std::vector<Line> lines;
  std::int64_t count = 0;
  Money total;
  bool matches_remittance = true;  // count and total equal QTBOLCNABPAG and VRTOTALCNABPAG
  Record values;                   // QTDE, TOTAL and the heading's fields, for the footer
};

// Lays the data out as the layout says. Every field the layout names must
// exist in the data, else LayoutError.
PaymentList BuildPaymentList(const PaymentListLayout& layout, const PaymentListData& data);

}  // namespace pag::report
