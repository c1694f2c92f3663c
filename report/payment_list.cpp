#include "report/payment_list.h"

#include <algorithm>
#include <stdexcept>

#include "host/datetime.h"
#include "host/text.h"
#include "remittance/model/remessa_data.h"

namespace pag::report {

namespace {

std::string TextOf(const Value* v) { return v ? ValueToText(*v) : std::string(); }

std::string Trimmed(const Record& rec, std::string_view field) { return AllTrim(TextOf(rec.Find(field))); }

// Fields shown through another field's picture.
const std::map<std::string, std::string, std::less<>>& Pictures() {
  static const std::map<std::string, std::string, std::less<>> m{{"CDAGENCIA", "CDPICTAGEN"},
                                                                  {"CDCONTCORR", "CDPICTCONT"}};
  return m;
}

// Code fields shown through the screen's message table; the value is the key,
// or maps to one.
std::string CodeText(std::string_view field, const std::string& code) {
  if (code.empty()) return code;
  const TMessages& msgs = RemessaMessages();
  if (field == "IDOPECNABPAG" || field == "IDSITUCNABP" || field == "IDAGENREMCNABPAG" || field == "IDBPAGREAL")
    return msgs.Has(code) ? msgs.Msg(code) : code;
  if (field == "IDTPREMCNABPAG") {
    static const std::map<std::string, std::string, std::less<>> keys{{"1", "PS"}, {"2", "WT"}, {"3", "Nor"},
                                                                       {"4", "Ant"}};
    auto it = keys.find(code);
    return it == keys.end() ? code : msgs.Msg(it->second);
  }
  return code;
}

Money MoneyOf(const Value* v) {
  if (!v) return Money();
  if (const auto* d = std::get_if<Decimal>(v)) return Money::FromDecimal(*d);
  if (const auto* i = std::get_if<std::int64_t>(v)) return Money::FromCents(*i * 100);
  if (const auto* s = std::get_if<std::string>(v); s && !EmptyString(*s)) return Money::Parse(*s);
  return Money();
}

std::int64_t IntegerOf(const Value* v) {
  if (!v) return 0;
  if (const auto* i = std::get_if<std::int64_t>(v)) return *i;
  if (const auto* d = std::get_if<Decimal>(v)) return RoundDec(*d, 0).Trunc();
  if (const auto* s = std::get_if<std::string>(v); s && !EmptyString(*s)) return StrToInt(*s);
  return 0;
}

std::string Document(TNetConnection& net, const std::string& branch, const std::string& entry) {
  const Packet docs = net.CallPacket("GetDocBole", {branch, entry});
  if (docs.rows.size() == 1) {
    const std::string invoice = AllTrim(ValueToText(docs.At(0, "NRNOTAFISC")));
    const std::string series = AllTrim(ValueToText(docs.At(0, "CDSERIEENTR")));
    if (!invoice.empty()) return series.empty() ? invoice : invoice + "/" + series;
  }
  return branch + "/" + entry;
}

}  // namespace

Packet ReadRemittance(TNetConnection& net, const std::string& company, const std::string& number) {
  auto significant = [](const std::string& s) {
    const std::string t = AllTrim(s);
    const std::size_t i = t.find_first_not_of('0');
    return i == std::string::npos ? std::string() : t.substr(i);
  };
  const std::string wanted = significant(number);
  const DateTime zero = ZeroDateTime();
  const Decimal none(0);
  // A blank or zero number lifts that criterion too: keep only the row asked for.
  Packet p = net.CallPacket("GetCNABPag", {company, zero, zero, "T",       // creation dates
                                       " ", "T", " ", "T",             // accounts, operators
                                       none, none, "T",                // total value
                                       " ", "T", " ", "T",             // suppliers, payee banks
                                       " ", " ", "T",                  // invoice numbers
                                       zero, zero, "T",                // due dates
                                       " ", "T",                       // payment kinds
                                       none, none, "T",                // net values
                                       number});
  const auto nr = p.FieldIndex("NRCNABPAG");
  std::erase_if(p.rows, [&](const std::vector<Value>& row) {
    return wanted.empty() || !nr || significant(ValueToText(row[*nr])) != wanted;
  });
  return p;
}

void Record::Set(const std::string& name, Value v) { values_[UpperCase(name)] = std::move(v); }

void Record::AddRow(const Packet& p, std::size_t row, bool replace) {
  for (std::size_t i = 0; i < p.fields.size(); ++i) {
    const std::string name = UpperCase(p.fields[i].name);
    if (replace || !values_.count(name)) values_[name] = p.rows[row][i];
  }
}

const Value* Record::Find(std::string_view name) const {
  auto it = values_.find(name);
  return it == values_.end() ? nullptr : &it->second;
}

PaymentListData LoadPaymentListData(TNetConnection& net, const ReportParams& params) {
  auto param = [&](const char* name) {
    auto it = params.find(name);
    return it == params.end() ? std::string() : AllTrim(it->second);
  };
  const std::string company = param("P_CDEMPRESA");
  const std::string number = param("P_NRCNABPAG");
  if (company.empty() || number.empty())
    throw std::runtime_error("the payment list needs the parameters P_CDEMPRESA and P_NRCNABPAG");

  PaymentListData data;
  const Packet remittance = ReadRemittance(net, company, number);
  if (remittance.rows.empty())
    throw std::runtime_error("remittance " + number + " of company " + company + " does not exist");
  data.heading.AddRow(remittance, 0, true);
  const std::string account = Trimmed(data.heading, "CDREDUCONT");
  const std::string branch = Trimmed(data.heading, "CDFILIAL");
  if (const Packet p = net.CallPacket("GetEmpresa", {company, " "}); !p.rows.empty()) data.heading.AddRow(p, 0, false);
  if (!branch.empty()) {
    if (const Packet p = net.CallPacket("GetFilial", {branch, company}); !p.rows.empty())
      data.heading.AddRow(p, 0, false);
  }
  if (!account.empty()) {
    if (const Packet p = net.CallPacket("GetContaCorrente", {company, account, " "}); !p.rows.empty())
      data.heading.AddRow(p, 0, false);
  }
  data.declared_count = IntegerOf(data.heading.Find("QTBOLCNABPAG"));
  data.declared_total = MoneyOf(data.heading.Find("VRTOTALCNABPAG"));

  const std::string nr = Trimmed(data.heading, "NRCNABPAG");
  const Packet slips = net.CallPacket("GetBolporRem", {Arg::Ref(company), Arg::Ref(nr)});
  for (const FieldDef& f : slips.fields) data.slip_fields.insert(UpperCase(f.name));
  data.slip_fields.insert("DOCUMENTO");
  for (std::size_t r = 0; r < slips.rows.size(); ++r) {
    Record& rec = data.slips.emplace_back();
    rec.AddRow(slips, r, true);
    rec.Set("DOCUMENTO", Document(net, Trimmed(rec, "CDFILIBPAG"), Trimmed(rec, "NRLANBOLPAG")));
  }
  return data;
}

std::string DisplayValue(const Record& rec, const FieldRef& ref) {
  const Value* v = rec.Find(ref.field);
  if (!v || IsNull(*v)) return {};
  if (const auto* dt = std::get_if<DateTime>(v)) {
    if (*dt <= ZeroDateTime()) return {};
    return FormatDateTime(*dt, ref.pattern.empty() ? "dd/mm/yyyy" : ref.pattern);
  }
  if (const auto* d = std::get_if<Decimal>(v)) {
    if (d->scale() <= 2) return Money::FromDecimal(*d).ToDisplay();
    const Decimal n = d->Normalized();
    return n.Format(n.scale(), ',');
  }
  if (const auto* i = std::get_if<std::int64_t>(v)) return std::to_string(*i);
  const std::string text = AllTrim(std::get<std::string>(*v));
  if (auto pic = Pictures().find(ref.field); pic != Pictures().end())
    return FormatPicture(text, Trimmed(rec, pic->second));
  return CodeText(ref.field, text);
}

std::string Expand(std::string_view tmpl, const std::vector<const Record*>& records, const std::string& where) {
  std::string out;
  for (const TemplatePiece& p : SplitTemplate(tmpl)) {
    if (!p.is_field) {
      out += p.text;
      continue;
    }
    const Record* found = nullptr;
    for (const Record* r : records)
      if (r && r->Has(p.field.field)) {
        found = r;
        break;
      }
    if (!found) throw LayoutError(where + ": unknown field {" + p.field.field + "}");
    out += DisplayValue(*found, p.field);
  }
  return out;
}

PaymentList BuildPaymentList(const PaymentListLayout& layout, const PaymentListData& data) {
  PaymentList list;
  list.columns = layout.columns;
  list.sum_column = layout.SumColumn();
  const std::string where = "report layout " + layout.name;
  auto add = [&list](PaymentList::Kind kind, std::string text, std::string amount) {
    PaymentList::Line& line = list.lines.emplace_back();
    line.kind = kind;
    line.text = std::move(text);
    line.amount = std::move(amount);
  };

  for (const LayoutColumn& c : layout.columns)
    if (!data.slip_fields.count(c.field.field))
      throw LayoutError(where + ": column \"" + c.title + "\" shows unknown field " + c.field.field);
  for (const std::string* f : {&layout.group_field, &layout.sum_field})
    if (!f->empty() && !data.slip_fields.count(*f)) throw LayoutError(where + ": unknown slip field " + *f);

  // Groups in the order of the layout's labels, then the others by value.
  std::map<std::string, std::vector<const Record*>> by_value;
  for (const Record& s : data.slips)
    by_value[layout.group_field.empty() ? std::string() : Trimmed(s, layout.group_field)].push_back(&s);
  std::vector<std::string> order;
  for (const std::string& v : layout.group_order)
    if (by_value.count(v)) order.push_back(v);
  for (const auto& [v, rows] : by_value)
    if (std::find(order.begin(), order.end(), v) == order.end()) order.push_back(v);

  for (const std::string& value : order) {
    const auto& rows = by_value[value];
    Money sum;
    for (const Record* s : rows)
      if (!layout.sum_field.empty()) sum += MoneyOf(s->Find(layout.sum_field));
    list.count += static_cast<std::int64_t>(rows.size());
    list.total += sum;
    if (layout.group_field.empty()) {
      for (const Record* s : rows) {
        PaymentList::Line line;
        for (const LayoutColumn& c : layout.columns) line.cells.push_back(DisplayValue(*s, c.field));
        list.lines.push_back(std::move(line));
      }
      continue;
    }
    Record group;
    auto label = layout.group_labels.find(value);
    group.Set("ROTULO", label != layout.group_labels.end()  ? label->second
                        : !layout.default_label.empty()     ? layout.default_label
                                                            : value);
    group.Set("MODO", value);
    group.Set("QTDE", static_cast<std::int64_t>(rows.size()));
    group.Set("TOTAL", sum.ToDecimal());
    add(PaymentList::Kind::kGroup, Expand(layout.group_title, {&group, rows.front()}, where), {});
    list.lines.back().continued = Expand(layout.group_continued, {&group, rows.front()}, where);
    for (const Record* s : rows) {
      PaymentList::Line line;
      for (const LayoutColumn& c : layout.columns) line.cells.push_back(DisplayValue(*s, c.field));
      list.lines.push_back(std::move(line));
    }
    if (!layout.subtotal_text.empty() || !layout.sum_field.empty())
      add(PaymentList::Kind::kSubtotal, Expand(layout.subtotal_text, {&group}, where), sum.ToDisplay());
  }

  list.values = data.heading;
  list.values.Set("QTDE", list.count);
  list.values.Set("TOTAL", list.total.ToDecimal());
  const std::vector<const Record*> heading{&list.values};
  if (!layout.title.empty()) list.heading.push_back(Expand(layout.title, heading, where));
  for (const std::string& l : layout.header_lines) list.heading.push_back(Expand(l, heading, where));

  if (data.slips.empty() && !layout.empty_text.empty())
    add(PaymentList::Kind::kNote, Expand(layout.empty_text, heading, where), {});
  add(PaymentList::Kind::kTotal, Expand(layout.total_text, heading, where), list.total.ToDisplay());
  list.matches_remittance = list.count == data.declared_count && list.total == data.declared_total;
  if (!list.matches_remittance && !layout.mismatch_text.empty())
    add(PaymentList::Kind::kNote, Expand(layout.mismatch_text, heading, where), {});
  return list;
}

}  // namespace pag::report
