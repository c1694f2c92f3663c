#include "host/dataset.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <utility>

#include "host/errors.h"
#include "host/text.h"

namespace pag {
namespace {

const Value kNull{};

enum Alt : std::size_t { kNullAlt = 0, kTextAlt = 1, kIntAlt = 2, kDecimalAlt = 3, kDateTimeAlt = 4 };

template <typename T>
int Sign(const T& c) {
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

Decimal AsNumber(const Value& v) {
  return v.index() == kIntAlt ? Decimal(std::get<std::int64_t>(v)) : std::get<Decimal>(v);
}

// Order of two values: nulls first, text bytewise, numbers numerically,
// date-times by time. Values of one field share a kind; mixed kinds only
// come from search values.
int CompareValues(const Value& a, const Value& b) {
  const std::size_t ia = a.index(), ib = b.index();
  if (ia == kNullAlt || ib == kNullAlt) return (ia != kNullAlt) - (ib != kNullAlt);
  if (ia == ib) {
    switch (ia) {
      case kTextAlt: return Sign(std::get<std::string>(a).compare(std::get<std::string>(b)));
      case kIntAlt: {
        auto x = std::get<std::int64_t>(a), y = std::get<std::int64_t>(b);
        return (x > y) - (x < y);
      }
      case kDecimalAlt: return Sign(std::get<Decimal>(a) <=> std::get<Decimal>(b));
      default: return Sign(std::get<DateTime>(a) <=> std::get<DateTime>(b));
    }
  }
  const bool na = ia == kIntAlt || ia == kDecimalAlt, nb = ib == kIntAlt || ib == kDecimalAlt;
  if (na && nb) return Sign(AsNumber(a) <=> AsNumber(b));
  return Sign(ValueToText(a).compare(ValueToText(b)));
}

bool StartsWith(std::string_view s, std::string_view prefix, bool case_insensitive) {
  if (prefix.size() > s.size()) return false;
  return case_insensitive ? SameText(s.substr(0, prefix.size()), prefix) : s.substr(0, prefix.size()) == prefix;
}

// "A; B;C" -> {"A", "B", "C"}
std::vector<std::string> SplitNames(std::string_view list) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(';', start);
    if (end == std::string_view::npos) end = list.size();
    std::string name = AllTrim(list.substr(start, end - start));
    if (!name.empty()) out.push_back(std::move(name));
    start = end + 1;
  }
  return out;
}

// Whether a value already has the stored form of a field of def, so that
// loading can keep it as it is.
bool Fits(const FieldDef& def, const Value& v) {
  switch (v.index()) {
    case kNullAlt: return true;
    // Bytes bound characters from above, so only longer texts need counting.
    case kTextAlt:
      return def.kind == FieldKind::kString &&
             (def.size <= 0 || std::get<std::string>(v).size() <= static_cast<std::size_t>(def.size));
    case kIntAlt: return def.kind == FieldKind::kInteger;
    case kDecimalAlt: return def.kind == FieldKind::kDecimal && std::get<Decimal>(v).scale() == def.scale;
    default: return def.kind == FieldKind::kDateTime;
  }
}

}  // namespace

// ---- Scopes ------------------------------------------------------------------

// Points field reads at another row for as long as it lives.
class TDataSet::EvalScope {
 public:
  EvalScope(const TDataSet& ds, std::uint32_t slot) : ds_(ds), saved_(ds.eval_) { ds.eval_ = slot; }
  ~EvalScope() { ds_.eval_ = saved_; }
  EvalScope(const EvalScope&) = delete;
  EvalScope& operator=(const EvalScope&) = delete;

 private:
  const TDataSet& ds_;
  std::uint32_t saved_;
};

// Marks OnCalcFields as running, so that calculated fields may be set.
class TDataSet::CalcScope {
 public:
  explicit CalcScope(const TDataSet& ds) : ds_(ds), saved_(ds.calculating_) { ds.calculating_ = true; }
  ~CalcScope() { ds_.calculating_ = saved_; }
  CalcScope(const CalcScope&) = delete;
  CalcScope& operator=(const CalcScope&) = delete;

 private:
  const TDataSet& ds_;
  bool saved_;
};

// Field names are looked up on every read by name: the hash folds case by
// setting bit 0x20 (names equal but for the case of their letters hash the
// same), and the equality tries the bytes first.
std::size_t TDataSet::CaseInsensitiveHash::operator()(std::string_view s) const noexcept {
  std::size_t h = 1469598103934665603ull;
  for (char c : s) h = (h ^ (static_cast<unsigned char>(c) | 0x20u)) * 1099511628211ull;
  return h;
}

bool TDataSet::CaseInsensitiveEqual::operator()(std::string_view a, std::string_view b) const noexcept {
  return a == b || SameText(a, b);
}

// ---- TField -------------------------------------------------------------------

const Value& TField::Value() const { return dataset_->Read(*this); }

bool TField::IsNull() const { return pag::IsNull(Value()); }

namespace {
std::string FieldWhere(const TDataSet& ds, std::string_view field) {
  return "dataset " + ds.Name() + ", field " + std::string(field);
}

// Where a value is being converted, for the message of a refusal: built
// only when a value is refused, since values are set far more often.
struct Where {
  const TDataSet& ds;
  std::string_view field;
  std::string Text() const { return FieldWhere(ds, field); }
};
}  // namespace

std::string TField::AsString() const {
  const pag::Value& v = Value();
  if (v.index() == kDecimalAlt && def_.kind == FieldKind::kDecimal)
    return std::get<Decimal>(v).Rescaled(std::max(def_.scale, std::get<Decimal>(v).scale())).ToString();
  return ValueToText(v);
}

std::int64_t TField::AsInteger() const {
  const pag::Value& v = Value();
  switch (v.index()) {
    case kNullAlt: return 0;
    case kTextAlt: {
      const auto& s = std::get<std::string>(v);
      if (EmptyString(s)) return 0;
      try {
        return StrToInt(s);
      } catch (const std::invalid_argument&) {
        throw FieldError(FieldWhere(*dataset_, def_.name) + ": \"" + s + "\" is not an integer");
      }
    }
    case kIntAlt: return std::get<std::int64_t>(v);
    case kDecimalAlt: return std::get<Decimal>(v).Rescaled(0).units();
    default: throw FieldError(FieldWhere(*dataset_, def_.name) + ": a date-time is not an integer");
  }
}

Decimal TField::AsDecimal() const {
  const pag::Value& v = Value();
  switch (v.index()) {
    case kNullAlt: return def_.kind == FieldKind::kDecimal ? Decimal::FromUnits(0, def_.scale) : Decimal();
    case kTextAlt: {
      const auto& s = std::get<std::string>(v);
      if (EmptyString(s)) return Decimal();
      try {
        return Decimal::Parse(s);
      } catch (const std::exception&) {
        throw FieldError(FieldWhere(*dataset_, def_.name) + ": \"" + s + "\" is not a number");
      }
    }
    case kIntAlt: return Decimal(std::get<std::int64_t>(v));
    case kDecimalAlt: return std::get<Decimal>(v);
    default: throw FieldError(FieldWhere(*dataset_, def_.name) + ": a date-time is not a number");
  }
}

Money TField::AsMoney() const { return Money::FromDecimal(AsDecimal()); }

DateTime TField::AsDateTime() const {
  const pag::Value& v = Value();
  switch (v.index()) {
    case kNullAlt: return ZeroDateTime();
    case kTextAlt: {
      const auto& s = std::get<std::string>(v);
      if (EmptyString(s)) return ZeroDateTime();
      if (auto dt = ParseDateTime(AllTrim(s))) return *dt;
      throw FieldError(FieldWhere(*dataset_, def_.name) + ": \"" + s + "\" is not a date");
    }
    case kDateTimeAlt: return std::get<DateTime>(v);
    default: throw FieldError(FieldWhere(*dataset_, def_.name) + ": a number is not a date");
  }
}

void TField::SetAsString(std::string_view text) { dataset_->Assign(*this, std::string(text)); }
void TField::SetAsInteger(std::int64_t value) { dataset_->Assign(*this, value); }
void TField::SetAsDecimal(const Decimal& value) { dataset_->Assign(*this, value); }
void TField::SetAsMoney(Money value) { dataset_->Assign(*this, value.ToDecimal()); }
void TField::SetAsDateTime(const DateTime& value) { dataset_->Assign(*this, value); }
void TField::SetValue(const pag::Value& value) { dataset_->Assign(*this, value); }
void TField::Clear() { dataset_->Assign(*this, pag::Value{}); }

std::string TField::DisplayText() const { return OnGetText ? OnGetText(*this) : AsString(); }

void TField::SetText(std::string_view text) {
  if (OnSetText)
    OnSetText(*this, text);
  else
    SetAsString(text);
}

// ---- Structure -----------------------------------------------------------------

TDataSet::TDataSet(std::string name) : name_(name.empty() ? std::string("(unnamed)") : std::move(name)) {}

TDataSet::~TDataSet() = default;

TField& TDataSet::NewField(FieldDef def, bool calculated) {
  if (AllTrim(def.name).empty()) throw std::invalid_argument("dataset " + name_ + ": a field needs a name");
  if (by_name_.count(def.name))
    throw std::invalid_argument("dataset " + name_ + " already has a field " + def.name);
  if (def.size < 0 || def.scale < 0 || def.scale > Decimal::kMaxScale)
    throw std::invalid_argument(FieldWhere(*this, def.name) + ": bad size or scale");
  if (state_ == DataSetState::kEdit || state_ == DataSetState::kInsert)
    throw std::logic_error("dataset " + name_ + ": fields cannot be added while a row is edited");
  const std::size_t slot = calculated ? calc_fields_.size() : data_fields_.size();
  std::string name = def.name;
  fields_.push_back(std::unique_ptr<TField>(
      new TField(this, std::move(def), calculated, static_cast<int>(fields_.size()), slot)));
  TField* field = fields_.back().get();
  by_name_.emplace(std::move(name), fields_.size() - 1);
  if (calculated) {
    calc_fields_.push_back(field);
    for (const Row& row : rows_) row.calc_valid = false;
  } else {
    data_fields_.push_back(field);
    for (Row& row : rows_) {
      row.calc_valid = false;
      if (row.status != RowStatus::kDeleted && row.status != RowStatus::kGone) row.values.emplace_back();
      if (!row.original.empty()) row.original.emplace_back();
    }
    NotifyReset();
  }
  return *field;
}

TField& TDataSet::AddField(FieldDef def) { return NewField(std::move(def), false); }
TField& TDataSet::AddCalcField(FieldDef def) { return NewField(std::move(def), true); }

TField* TDataSet::FindField(std::string_view name) {
  auto it = by_name_.find(name);
  return it == by_name_.end() ? nullptr : fields_[it->second].get();
}

const TField* TDataSet::FindField(std::string_view name) const {
  auto it = by_name_.find(name);
  return it == by_name_.end() ? nullptr : fields_[it->second].get();
}

TField& TDataSet::FieldByName(std::string_view name) {
  if (TField* f = FindField(name)) return *f;
  throw std::out_of_range("dataset " + name_ + " has no field " + std::string(name));
}

const TField& TDataSet::FieldByName(std::string_view name) const {
  if (const TField* f = FindField(name)) return *f;
  throw std::out_of_range("dataset " + name_ + " has no field " + std::string(name));
}

std::vector<FieldDef> TDataSet::DataFieldDefs() const {
  std::vector<FieldDef> defs;
  defs.reserve(data_fields_.size());
  for (const TField* f : data_fields_) defs.push_back(f->def_);
  return defs;
}

void TDataSet::ThrowNotEditing() const {
  throw std::logic_error("dataset " + name_ + " is not in edit or insert mode");
}

void TDataSet::RequireActive() const {
  if (!Active()) throw std::logic_error("dataset " + name_ + " is closed");
}

// ---- Values ------------------------------------------------------------------------

const Value& TDataSet::RowValue(std::uint32_t slot, const TField& field) const {
  const Row& row = rows_[slot];
  if (!field.calculated_) return row.values[field.slot_];
  if (!CalcKnown(row)) CalcRow(slot);
  return row.calc[field.slot_];
}

const Value& TDataSet::Read(const TField& field) const {
  if (eval_ != kNoRow) return RowValue(eval_, field);
  if (state_ == DataSetState::kEdit || state_ == DataSetState::kInsert)
    return field.calculated_ ? edit_calc_[field.slot_] : edit_values_[field.slot_];
  if (cur_ == kNoRow) return kNull;
  return RowValue(cur_, field);
}

namespace {

Decimal FitScale(const Decimal& d, const FieldDef& def, const Where& where) {
  try {
    if (d.scale() <= def.scale) return d.Rescaled(def.scale);
    Decimal n = d.Normalized();
    if (n.scale() > def.scale)
      throw FieldError(where.Text() + ": " + d.ToString() + " has more than " + std::to_string(def.scale) +
                       " decimals");
    return n.Rescaled(def.scale);
  } catch (const std::out_of_range&) {
    throw FieldError(where.Text() + ": " + d.ToString() + " is out of range");
  }
}

// value in the stored form of a field of def: the kind's alternative,
// checked against size and scale unless for_search.
Value Conformed(const FieldDef& def, Value v, const Where& where, bool for_search) {
  if (IsNull(v)) return v;
  const std::size_t alt = v.index();
  auto refuse = [&](const std::string& why) -> FieldError {
    return FieldError(where.Text() + ": " + why);
  };
  auto text_of = [&]() -> std::string {
    return alt == kTextAlt ? std::move(std::get<std::string>(v)) : ValueToText(v);
  };
  switch (def.kind) {
    case FieldKind::kString: {
      std::string s = text_of();
      if (!for_search && def.size > 0 && s.size() > static_cast<std::size_t>(def.size) &&
          TextLength(s) > static_cast<std::size_t>(def.size))
        throw refuse("\"" + s + "\" is longer than " + std::to_string(def.size) + " characters");
      return s;
    }
    case FieldKind::kInteger:
      if (alt == kIntAlt) return v;
      if (alt == kTextAlt) {
        const auto& s = std::get<std::string>(v);
        if (EmptyString(s)) return Value{};
        try {
          return static_cast<std::int64_t>(StrToInt(s));
        } catch (const std::invalid_argument&) {
          throw refuse("\"" + s + "\" is not an integer");
        }
      }
      if (alt == kDecimalAlt) {
        Decimal n = std::get<Decimal>(v).Normalized();
        if (n.scale() != 0) throw refuse(n.ToString() + " is not an integer");
        return n.units();
      }
      throw refuse("a date-time cannot go into an integer field");
    case FieldKind::kDecimal: {
      Decimal d;
      if (alt == kDecimalAlt) {
        d = std::get<Decimal>(v);
      } else if (alt == kIntAlt) {
        d = Decimal(std::get<std::int64_t>(v));
      } else if (alt == kTextAlt) {
        const auto& s = std::get<std::string>(v);
        if (EmptyString(s)) return Value{};
        try {
          d = Decimal::Parse(s);
        } catch (const std::exception&) {
          throw refuse("\"" + s + "\" is not a number");
        }
      } else {
        throw refuse("a date-time cannot go into a decimal field");
      }
      return for_search ? d : FitScale(d, def, where);
    }
    case FieldKind::kDateTime:
      if (alt == kDateTimeAlt) return v;
      if (alt == kTextAlt) {
        const auto& s = std::get<std::string>(v);
        if (EmptyString(s)) return Value{};
        if (auto dt = ParseDateTime(AllTrim(s))) return *dt;
        throw refuse("\"" + s + "\" is not a date");
      }
      throw refuse("a number cannot go into a date-time field");
  }
  return v;
}

}  // namespace

Value TDataSet::Conform(const TField& field, Value value) const {
  return Conformed(field.def_, std::move(value), Where{*this, field.def_.name}, false);
}

Value TDataSet::ConformForSearch(const TField& field, const Value& value) const {
  return Conformed(field.def_, value, Where{*this, field.def_.name}, true);
}

void TDataSet::Assign(TField& field, Value value) {
  const bool editing = state_ == DataSetState::kEdit || state_ == DataSetState::kInsert;
  if (field.calculated_) {
    if (!calculating_ && (!editing || eval_ != kNoRow)) ThrowNotEditing();
  } else {
    if (calculating_)
      throw std::logic_error("dataset " + name_ + ": data field " + field.def_.name +
                             " cannot be set while fields are calculated");
    if (!editing || eval_ != kNoRow) ThrowNotEditing();
  }
  Value v = Conform(field, std::move(value));
  if (field.calculated_) {
    if (eval_ != kNoRow)
      rows_[eval_].calc[field.slot_] = std::move(v);
    else
      edit_calc_[field.slot_] = std::move(v);
    return;
  }
  edit_values_[field.slot_] = std::move(v);
  modified_ = true;
  if (OnCalcFields && HasCalc()) CalcEditBuffer();
}

void TDataSet::CalcRow(std::uint32_t slot) const {
  const Row& row = rows_[slot];
  row.calc.assign(calc_fields_.size(), Value{});
  row.calc_valid = true;
  row.calc_version = OnCalcFields.version();
  if (!OnCalcFields || calc_fields_.empty()) return;
  EvalScope eval(*this, slot);
  CalcScope calc(*this);
  // Calculated values are a cache of the row; filling them is not a change.
  OnCalcFields(const_cast<TDataSet&>(*this));
}

void TDataSet::CalcEditBuffer() {
  edit_calc_.assign(calc_fields_.size(), Value{});
  if (!OnCalcFields || calc_fields_.empty()) return;
  EvalScope eval(*this, kNoRow);
  CalcScope calc(*this);
  OnCalcFields(*this);
}

// ---- Orders and the visible rows ---------------------------------------------

TDataSet::Index* TDataSet::ActiveIndex() {
  return active_index_ < 0 ? nullptr : &indexes_[static_cast<std::size_t>(active_index_)];
}

const TDataSet::Index* TDataSet::ActiveIndex() const {
  return active_index_ < 0 ? nullptr : &indexes_[static_cast<std::size_t>(active_index_)];
}

void TDataSet::Resolve(Index& index) const {
  if (index.resolved) return;
  const std::string label = index.name.empty() ? "\"" + index.fields + "\"" : index.name;
  std::vector<std::size_t> keys;
  std::vector<bool> descending;
  const auto desc = SplitNames(index.desc_fields);
  for (const std::string& name : SplitNames(index.fields)) {
    const TField* f = FindField(name);
    if (!f) throw std::out_of_range("dataset " + name_ + " has no field " + name + " (index " + label + ")");
    if (f->calculated_)
      throw std::logic_error("dataset " + name_ + ": calculated field " + name + " cannot be in index " + label);
    keys.push_back(f->slot_);
    descending.push_back(std::any_of(desc.begin(), desc.end(), [&](const std::string& d) { return SameText(d, name); }));
  }
  if (keys.empty()) throw std::invalid_argument("dataset " + name_ + ": index " + label + " has no fields");
  index.keys = std::move(keys);
  index.descending = std::move(descending);
  index.resolved = true;
}

bool TDataSet::Less(const Index& index, std::uint32_t a, std::uint32_t b) const {
  const auto& va = rows_[a].values;
  const auto& vb = rows_[b].values;
  for (std::size_t k = 0; k < index.keys.size(); ++k) {
    int c = CompareValues(va[index.keys[k]], vb[index.keys[k]]);
    if (c != 0) return index.descending[k] ? c > 0 : c < 0;
  }
  return a < b;
}

void TDataSet::Build(Index& index) const {
  Resolve(index);
  index.pending.clear();
  // Sorting pointers to the rows' values saves a hop through the row table
  // on every comparison.
  struct Entry {
    const Value* values;
    std::uint32_t slot;
  };
  std::vector<Entry> entries;
  entries.reserve(natural_.size());
  for (std::uint32_t slot : natural_) entries.push_back({rows_[slot].values.data(), slot});
  std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
    for (std::size_t k = 0; k < index.keys.size(); ++k) {
      int c = CompareValues(a.values[index.keys[k]], b.values[index.keys[k]]);
      if (c != 0) return index.descending[k] ? c > 0 : c < 0;
    }
    return a.slot < b.slot;
  });
  index.order.resize(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) index.order[i] = entries[i].slot;
  index.built = true;
}

const std::vector<std::uint32_t>& TDataSet::Order() const {
  if (active_index_ < 0) return natural_;
  // Indexes are rebuilt lazily; building one does not change what the
  // dataset holds.
  Index& index = const_cast<Index&>(indexes_[static_cast<std::size_t>(active_index_)]);
  if (!index.built) {
    Build(index);
  } else {
    Settle(index);
  }
  return index.order;
}

bool TDataSet::Passes(std::uint32_t slot) const {
  if (!filtered_ || !filter_) return true;
  signed char& cached = filter_cache_[slot];
  if (cached < 0) {
    EvalScope eval(*this, slot);
    cached = filter_(*this) ? 1 : 0;
  }
  return cached == 1;
}

const std::vector<std::uint32_t>& TDataSet::View() const {
  if (!filtered_ || !filter_) return Order();
  if (!view_valid_) {
    const auto& order = Order();
    std::vector<std::uint32_t> view;
    view.reserve(order.size());
    for (std::uint32_t slot : order)
      if (Passes(slot)) view.push_back(slot);
    view_ = std::move(view);
    view_valid_ = true;
    cur_pos_valid_ = false;
  }
  return view_;
}

void TDataSet::ViewChanged() const {
  view_valid_ = false;
  cur_pos_valid_ = false;
}

std::size_t TDataSet::CurPos() const {
  if (!cur_pos_valid_) {
    const auto& view = View();
    cur_pos_ = static_cast<std::size_t>(std::find(view.begin(), view.end(), cur_) - view.begin());
    cur_pos_valid_ = true;
  }
  return cur_pos_;
}

int TDataSet::PosOf(std::uint32_t slot) const {
  if (slot == kNoRow) return 0;
  const auto& view = View();
  auto it = std::find(view.begin(), view.end(), slot);
  return it == view.end() ? 0 : static_cast<int>(it - view.begin()) + 1;
}

std::uint32_t TDataSet::SlotAt(int recNo) const {
  const auto& view = View();
  if (recNo < 1 || static_cast<std::size_t>(recNo) > view.size())
    throw std::out_of_range("dataset " + name_ + " has no row " + std::to_string(recNo));
  return view[static_cast<std::size_t>(recNo) - 1];
}

void TDataSet::AddToOrders(std::uint32_t slot, std::uint32_t natural_before) {
  auto at = natural_before == kNoRow ? natural_.end() : std::find(natural_.begin(), natural_.end(), natural_before);
  natural_.insert(at, slot);
  // A built order takes the row when it is next read: many rows appended
  // one after another are then merged in once.
  for (Index& index : indexes_)
    if (index.built) index.pending.push_back(slot);
  ViewChanged();
}

void TDataSet::Settle(Index& index) const {
  if (index.pending.empty()) return;
  auto less = [&](std::uint32_t a, std::uint32_t b) { return Less(index, a, b); };
  std::sort(index.pending.begin(), index.pending.end(), less);
  const auto settled = static_cast<std::ptrdiff_t>(index.order.size());
  index.order.insert(index.order.end(), index.pending.begin(), index.pending.end());
  std::inplace_merge(index.order.begin(), index.order.begin() + settled, index.order.end(), less);
  index.pending.clear();
}

void TDataSet::RemoveFromOrders(std::uint32_t slot) {
  auto erase = [slot](std::vector<std::uint32_t>& v) {
    auto it = std::find(v.begin(), v.end(), slot);
    if (it != v.end()) v.erase(it);
  };
  erase(natural_);
  // A row not merged into an order yet is only among its pending rows (its
  // values are gone: nothing may be compared now).
  for (Index& index : indexes_) {
    if (!index.built) continue;
    auto pending = std::find(index.pending.begin(), index.pending.end(), slot);
    if (pending != index.pending.end()) {
      index.pending.erase(pending);
    } else {
      erase(index.order);
    }
  }
  if (view_valid_) erase(view_);
  cur_pos_valid_ = false;
}

bool TDataSet::ReorderRow(std::uint32_t slot, const std::vector<Value>& old_values) {
  const auto& now = rows_[slot].values;
  LookupChange(slot, old_values, now);
  bool moved_in_view = false;
  for (std::size_t i = 0; i < indexes_.size(); ++i) {
    Index& index = indexes_[i];
    const bool active = static_cast<int>(i) == active_index_;
    if (!index.resolved) {
      moved_in_view = moved_in_view || active;
      continue;
    }
    bool moved = std::any_of(index.keys.begin(), index.keys.end(),
                             [&](std::size_t k) { return CompareValues(old_values[k], now[k]) != 0; });
    if (!moved) continue;
    moved_in_view = moved_in_view || active;
    if (!index.built) continue;
    // The row leaves the order before the pending rows are merged in: with
    // its new values it no longer stands where it did.
    auto pending = std::find(index.pending.begin(), index.pending.end(), slot);
    if (pending != index.pending.end()) {
      index.pending.erase(pending);
    } else {
      index.order.erase(std::find(index.order.begin(), index.order.end(), slot));
    }
    Settle(index);
    auto pos = std::lower_bound(index.order.begin(), index.order.end(), slot,
                                [&](std::uint32_t a, std::uint32_t b) { return Less(index, a, b); });
    index.order.insert(pos, slot);
  }
  filter_cache_[slot] = -1;
  ViewChanged();
  return moved_in_view;
}

void TDataSet::ResetOrders() {
  for (Index& index : indexes_) {
    index.built = false;
    index.order.clear();
    index.pending.clear();
  }
  for (KeyLookup& lookup : lookups_) {
    lookup.built = false;
    lookup.rows.clear();
  }
  filter_cache_.assign(rows_.size(), -1);
  view_.clear();
  ViewChanged();
}

// ---- Cursor --------------------------------------------------------------------------

void TDataSet::Fire(const Event& event) {
  if (!event) return;
  const Event handler = event;  // the handler may replace itself
  handler(*this);
}

void TDataSet::SetCurrent(std::uint32_t slot, std::size_t pos) {
  const bool changed = slot != cur_;
  cur_ = slot;
  cur_pos_ = pos;
  cur_pos_valid_ = pos != kUnknownPos;
  if (slot != kNoRow && HasCalc() && !CalcKnown(rows_[slot])) CalcRow(slot);
  if (changed) NotifyCurrent();
}

// Rows are read one after another in the order of an index, which is not
// the order they lie in memory: on a large dataset every row read was a
// wait for memory. While the current row is read, the next one is brought
// into the cache (a hint; it changes nothing the dataset holds).
void TDataSet::PrefetchRow(std::size_t pos) const {
#if defined(__GNUC__)
  const auto& view = View();
  if (pos >= view.size()) return;
  const Row& row = rows_[view[pos]];
  const char* p = reinterpret_cast<const char*>(row.values.data());
  const char* end = p + row.values.size() * sizeof(Value);
  for (; p < end; p += 64) __builtin_prefetch(p);
#else
  (void)pos;
#endif
}

void TDataSet::ScrollTo(int recNo) {
  SetCurrent(SlotAt(recNo), static_cast<std::size_t>(recNo) - 1);
  bof_ = eof_ = false;
}

// After the visible rows changed: the current row stays when it is still
// visible; otherwise row `fallback` (clamped) becomes current, with
// AfterScroll.
void TDataSet::AfterViewChange(int fallback) {
  cur_pos_valid_ = false;
  if (!Active() || (cur_ != kNoRow && PosOf(cur_) > 0)) return;
  const int count = RecordCount();
  if (count == 0) {
    SetCurrent(kNoRow);
    bof_ = eof_ = true;
    return;
  }
  ScrollTo(std::clamp(fallback, 1, count));
  Fire(AfterScroll);
}

void TDataSet::SetState(DataSetState state) {
  if (state_ == state) return;
  state_ = state;
  Notify([&](DataSetObserver& o) { o.StateChanged(*this, state); });
}

void TDataSet::LeaveEditState() {
  edit_values_.clear();
  edit_calc_.clear();
  edit_slot_ = kNoRow;
  insert_before_ = kNoRow;
  insert_recno_ = 0;
  modified_ = false;
  SetState(DataSetState::kBrowse);
}

// ---- Opening, loading, closing ----------------------------------------------------------

void TDataSet::CreateDataSet() {
  if (Index* active = ActiveIndex()) Resolve(*active);
  if (Active()) Close();
  Fire(BeforeOpen);
  rows_.clear();
  natural_.clear();
  natural_saved_.clear();
  natural_saved_is_identity_ = true;
  loaded_count_ = 0;
  change_count_ = 0;
  next_seq_ = 0;
  ++generation_;
  ResetOrders();
  cur_ = kNoRow;
  bof_ = eof_ = true;
  SetState(DataSetState::kBrowse);
  NotifyReset();
  Fire(AfterOpen);
}

void TDataSet::Close() {
  if (!Active()) return;
  if (state_ != DataSetState::kBrowse) Cancel();
  Fire(BeforeClose);
  rows_.clear();
  natural_.clear();
  natural_saved_.clear();
  natural_saved_is_identity_ = true;
  loaded_count_ = 0;
  change_count_ = 0;
  ++generation_;
  ResetOrders();
  cur_ = kNoRow;
  bof_ = eof_ = true;
  SetState(DataSetState::kInactive);
  NotifyReset();
  Fire(AfterClose);
}

void TDataSet::LoadPacket(Packet packet) {
  // Work out the columns and convert every value before touching the
  // dataset, so that a refused packet leaves it as it was.
  const std::size_t old_count = data_fields_.size();
  std::vector<FieldDef> new_defs;
  std::vector<std::ptrdiff_t> target(packet.fields.size(), -1);  // data slot per column, -1: ignored
  // The packet of a query loaded again has the data fields' names in their
  // order (field names are unique): no column needs looking up.
  bool as_declared = packet.fields.size() == old_count;
  for (std::size_t j = 0; as_declared && j < old_count; ++j) {
    const std::string& name = data_fields_[j]->def_.name;
    as_declared = packet.fields[j].name == name || SameText(packet.fields[j].name, name);
    target[j] = static_cast<std::ptrdiff_t>(j);
  }
  if (!as_declared) std::fill(target.begin(), target.end(), -1);
  // A query loaded again brings its columns in the order of its last load:
  // they go where they went then.
  bool as_before = !as_declared && last_columns_fields_ == old_count &&
                   last_columns_.size() == packet.fields.size();
  for (std::size_t j = 0; as_before && j < packet.fields.size(); ++j) as_before = last_columns_[j] == packet.fields[j].name;
  if (as_before) target = last_targets_;
  for (std::size_t j = 0; !as_declared && !as_before && j < packet.fields.size(); ++j) {
    const FieldDef& col = packet.fields[j];
    for (std::size_t i = 0; i < j; ++i)
      if (SameText(packet.fields[i].name, col.name))
        throw std::invalid_argument("dataset " + name_ + ": packet has two columns " + col.name);
    if (const TField* f = FindField(col.name)) {
      if (!f->calculated_) target[j] = static_cast<std::ptrdiff_t>(f->slot_);
    } else {
      if (col.size < 0 || col.scale < 0 || col.scale > Decimal::kMaxScale)
        throw std::invalid_argument(FieldWhere(*this, col.name) + ": bad size or scale in packet");
      target[j] = static_cast<std::ptrdiff_t>(old_count + new_defs.size());
      new_defs.push_back(col);
    }
  }
  const std::size_t width = old_count + new_defs.size();
  auto def_of = [&](std::size_t slot) -> const FieldDef& {
    return slot < old_count ? data_fields_[slot]->def_ : new_defs[slot - old_count];
  };
  // Every active index field must exist once the packet is in.
  if (Index* active = ActiveIndex(); active && !active->resolved) {
    for (const std::string& name : SplitNames(active->fields)) {
      bool known = FindField(name) != nullptr ||
                   std::any_of(new_defs.begin(), new_defs.end(), [&](const FieldDef& d) { return SameText(d.name, name); });
      if (!known)
        throw std::out_of_range("dataset " + name_ + " has no field " + name + " (index " +
                                (index_name_.empty() ? index_field_names_ : index_name_) + ")");
    }
  }
  if (!as_declared && !as_before && new_defs.empty()) {
    last_columns_.clear();
    for (const FieldDef& col : packet.fields) last_columns_.push_back(col.name);
    last_targets_ = target;
    last_columns_fields_ = old_count;
  }
  bool same_layout = packet.fields.size() == width;
  for (std::size_t j = 0; same_layout && j < target.size(); ++j) same_layout = target[j] == static_cast<std::ptrdiff_t>(j);

  std::vector<Row> rows(packet.rows.size());
  for (std::size_t r = 0; r < packet.rows.size(); ++r) {
    std::vector<Value>& in = packet.rows[r];
    if (in.size() != packet.fields.size())
      throw std::invalid_argument("dataset " + name_ + ": packet row " + std::to_string(r + 1) + " has " +
                                  std::to_string(in.size()) + " values for " +
                                  std::to_string(packet.fields.size()) + " columns");
    std::vector<Value>& out = rows[r].values;
    if (same_layout) {
      out = std::move(in);
      for (std::size_t j = 0; j < width; ++j) {
        const FieldDef& def = def_of(j);
        if (!Fits(def, out[j])) out[j] = Conformed(def, std::move(out[j]), Where{*this, def.name}, false);
      }
    } else {
      out.resize(width);
      for (std::size_t j = 0; j < in.size(); ++j) {
        if (target[j] < 0) continue;
        const auto slot = static_cast<std::size_t>(target[j]);
        const FieldDef& def = def_of(slot);
        out[slot] = Fits(def, in[j]) ? std::move(in[j]) : Conformed(def, std::move(in[j]), Where{*this, def.name}, false);
      }
    }
  }
  if (rows.size() >= kNoRow) throw std::length_error("dataset " + name_ + ": too many rows");

  // Commit.
  if (state_ == DataSetState::kEdit || state_ == DataSetState::kInsert) Cancel();
  if (Active()) {
    Fire(BeforeClose);
    Fire(AfterClose);
  }
  Fire(BeforeOpen);
  rows_.clear();
  for (FieldDef& def : new_defs) NewField(std::move(def), false);
  rows_ = std::move(rows);
  loaded_count_ = static_cast<std::uint32_t>(rows_.size());
  natural_.resize(rows_.size());
  std::iota(natural_.begin(), natural_.end(), 0u);
  natural_saved_.clear();
  natural_saved_is_identity_ = true;
  change_count_ = 0;
  next_seq_ = 0;
  ++generation_;
  ResetOrders();
  cur_ = kNoRow;
  SetState(DataSetState::kBrowse);
  const bool empty = View().empty();
  bof_ = true;
  eof_ = empty;
  NotifyReset();
  if (!empty) SetCurrent(View().front(), 0);
  Fire(AfterOpen);
  if (!empty) Fire(AfterScroll);
}

Packet TDataSet::ToPacket() const {
  Packet packet;
  packet.fields = DataFieldDefs();
  packet.rows.reserve(natural_.size());
  for (std::uint32_t slot : natural_) packet.rows.push_back(rows_[slot].values);
  return packet;
}

void TDataSet::EmptyDataSet() {
  RequireActive();
  CheckBrowseMode();
  rows_.clear();
  natural_.clear();
  natural_saved_.clear();
  natural_saved_is_identity_ = true;
  loaded_count_ = 0;
  change_count_ = 0;
  next_seq_ = 0;
  ++generation_;
  ResetOrders();
  bof_ = eof_ = true;
  NotifyReset();
  SetCurrent(kNoRow);
}

// ---- Navigation ---------------------------------------------------------------------------

int TDataSet::RecordCount() const {
  if (!Active()) return 0;
  // Every order holds every live row; only a filter makes the view smaller.
  if (!filtered_ || !filter_) return static_cast<int>(natural_.size());
  return static_cast<int>(View().size());
}

bool TDataSet::IsEmpty() const { return RecordCount() == 0 && state_ != DataSetState::kInsert; }

int TDataSet::RecNo() const {
  switch (state_) {
    case DataSetState::kInactive: return 0;
    case DataSetState::kInsert: return insert_recno_;
    default: return cur_ == kNoRow ? 0 : static_cast<int>(CurPos()) + 1;
  }
}

void TDataSet::First() {
  RequireActive();
  CheckBrowseMode();
  Fire(BeforeScroll);
  if (RecordCount() == 0) {
    SetCurrent(kNoRow);
    eof_ = true;
  } else {
    ScrollTo(1);
    eof_ = false;
  }
  bof_ = true;
  Fire(AfterScroll);
}

void TDataSet::Last() {
  RequireActive();
  CheckBrowseMode();
  Fire(BeforeScroll);
  const int count = RecordCount();
  if (count == 0) {
    SetCurrent(kNoRow);
    bof_ = true;
  } else {
    ScrollTo(count);
    bof_ = false;
  }
  eof_ = true;
  Fire(AfterScroll);
}

void TDataSet::Next() { MoveBy(1); }
void TDataSet::Prior() { MoveBy(-1); }

int TDataSet::MoveBy(int distance) {
  RequireActive();
  CheckBrowseMode();
  Fire(BeforeScroll);
  int moved = 0;
  if ((distance > 0 && !eof_) || (distance < 0 && !bof_)) {
    const int count = RecordCount();
    if (count == 0) {
      SetCurrent(kNoRow);
      bof_ = eof_ = true;
    } else {
      const int from = cur_ == kNoRow ? (distance > 0 ? 0 : count + 1) : static_cast<int>(CurPos()) + 1;
      long long to = static_cast<long long>(from) + distance;
      bool hit_end = false, hit_start = false;
      if (to > count) {
        to = count;
        hit_end = true;
      } else if (to < 1) {
        to = 1;
        hit_start = true;
      }
      moved = static_cast<int>(to) - from;
      ScrollTo(static_cast<int>(to));
      eof_ = hit_end;
      bof_ = hit_start;
      if (distance == 1 && !hit_end) PrefetchRow(static_cast<std::size_t>(to));
    }
  } else if (cur_ != kNoRow) {
    SetCurrent(cur_, CurPos());  // the host fetches the row again
  }
  Fire(AfterScroll);
  return moved;
}

void TDataSet::SetRecNo(int recNo) {
  RequireActive();
  CheckBrowseMode();
  if (recNo < 1 || recNo > RecordCount())
    throw std::out_of_range("dataset " + name_ + " has no row " + std::to_string(recNo));
  Fire(BeforeScroll);
  ScrollTo(recNo);
  Fire(AfterScroll);
}

TBookmark TDataSet::GetBookmark() const {
  if ((state_ != DataSetState::kBrowse && state_ != DataSetState::kEdit) || cur_ == kNoRow) return {};
  return TBookmark{generation_, cur_};
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const {
  if (bookmark.IsEmpty() || bookmark.generation != generation_ || bookmark.slot >= rows_.size()) return false;
  const RowStatus status = rows_[bookmark.slot].status;
  if (status == RowStatus::kDeleted || status == RowStatus::kGone) return false;
  return PosOf(bookmark.slot) > 0;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
  RequireActive();
  CheckBrowseMode();
  if (!BookmarkValid(bookmark))
    throw std::out_of_range("dataset " + name_ + ": the bookmarked row no longer exists");
  Fire(BeforeScroll);
  SetCurrent(bookmark.slot);
  bof_ = eof_ = false;
  Fire(AfterScroll);
}

bool TDataSet::Locate(std::string_view fieldNames, const std::vector<Value>& values, LocateOptions options) {
  RequireActive();
  CheckBrowseMode();
  std::vector<const TField*> fields;
  for (const std::string& name : SplitNames(fieldNames)) fields.push_back(&FieldByName(name));
  if (fields.empty() || fields.size() != values.size())
    throw std::invalid_argument("dataset " + name_ + ": Locate on \"" + std::string(fieldNames) + "\" with " +
                                std::to_string(values.size()) + " values");
  std::vector<Value> keys;
  keys.reserve(values.size());
  for (std::size_t i = 0; i < fields.size(); ++i) keys.push_back(ConformForSearch(*fields[i], values[i]));

  auto matches = [&](std::uint32_t slot) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const Value& have = RowValue(slot, *fields[i]);
      const Value& want = keys[i];
      if (IsNull(want) || IsNull(have)) {
        if (IsNull(want) != IsNull(have)) return false;
        continue;
      }
      if (have.index() == kTextAlt && want.index() == kTextAlt) {
        const auto& h = std::get<std::string>(have);
        const auto& w = std::get<std::string>(want);
        bool ok = options.partialKey ? StartsWith(h, w, options.caseInsensitive)
                                     : (options.caseInsensitive ? SameText(h, w) : h == w);
        if (!ok) return false;
      } else if (CompareValues(have, want) != 0) {
        return false;
      }
    }
    return true;
  };

  Fire(BeforeScroll);
  // Text fields located exactly go through a lookup by their values.
  if (KeyLookup* lookup = LookupFor(fields, keys, options)) {
    std::string key;
    for (const Value& v : keys) AppendKey(key, v);
    auto [first, last] = lookup->rows.equal_range(key);
    std::uint32_t hit = kNoRow;
    int hits = 0;
    for (auto it = first; it != last && hits < 2; ++it)
      if (Passes(it->second)) {
        hit = it->second;
        ++hits;
      }
    if (hits == 0) return false;
    if (hits == 1) {
      SetCurrent(hit);
      bof_ = eof_ = false;
      Fire(AfterScroll);
      return true;
    }
    // Several rows hold these values: the first in the current order.
  }
  const auto& view = View();
  std::size_t found = view.size();
  // When the current index starts with the located fields, the first match
  // in the order is found by halving.
  const Index* index = ActiveIndex();
  bool by_index = index && index->built && !options.caseInsensitive && !options.partialKey &&
                  index->keys.size() >= fields.size();
  for (std::size_t i = 0; by_index && i < fields.size(); ++i)
    by_index = !fields[i]->calculated_ && index->keys[i] == fields[i]->slot_;
  if (by_index) {
    auto below = [&](std::uint32_t slot) {
      const auto& row = rows_[slot].values;
      for (std::size_t i = 0; i < keys.size(); ++i) {
        int c = CompareValues(row[index->keys[i]], keys[i]);
        if (c != 0) return index->descending[i] ? c > 0 : c < 0;
      }
      return false;
    };
    auto it = std::partition_point(view.begin(), view.end(), below);
    if (it != view.end() && matches(*it)) found = static_cast<std::size_t>(it - view.begin());
  } else {
    for (std::size_t p = 0; p < view.size(); ++p)
      if (matches(view[p])) {
        found = p;
        break;
      }
  }
  if (found == view.size()) return false;
  ScrollTo(static_cast<int>(found) + 1);
  Fire(AfterScroll);
  return true;
}

// ---- Lookups by value ---------------------------------------------------------------------

// A lookup key: each value as its length and bytes, a null as a mark of
// its own. Lookups take text fields only.
void TDataSet::AppendKey(std::string& key, const Value& v) {
  if (IsNull(v)) {
    key.push_back('\0');
    return;
  }
  const std::string& text = std::get<std::string>(v);
  const auto size = static_cast<std::uint32_t>(text.size());
  key.push_back('\1');
  key.append(reinterpret_cast<const char*>(&size), sizeof size);
  key.append(text);
}

std::string TDataSet::RowKey(const KeyLookup& lookup, const std::vector<Value>& row) {
  std::string key;
  for (std::size_t f : lookup.fields) AppendKey(key, row[f]);
  return key;
}

TDataSet::KeyLookup* TDataSet::LookupFor(const std::vector<const TField*>& fields, const std::vector<Value>& keys,
                                         const LocateOptions& options) {
  // Small datasets are read through; so are other kinds and inexact matches.
  if (options.caseInsensitive || options.partialKey || natural_.size() < kLookupMinRows) return nullptr;
  std::vector<std::size_t> slots;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i]->calculated_ || fields[i]->def_.kind != FieldKind::kString) return nullptr;
    if (!IsNull(keys[i]) && keys[i].index() != kTextAlt) return nullptr;
    slots.push_back(fields[i]->slot_);
  }
  KeyLookup* lookup = nullptr;
  for (KeyLookup& l : lookups_)
    if (l.fields == slots) lookup = &l;
  if (!lookup) {
    lookups_.push_back(KeyLookup{slots, {}, false});
    lookup = &lookups_.back();
  }
  if (!lookup->built) {
    lookup->rows.clear();
    lookup->rows.reserve(natural_.size());
    for (std::uint32_t slot : natural_) lookup->rows.emplace(RowKey(*lookup, rows_[slot].values), slot);
    lookup->built = true;
  }
  return lookup;
}

void TDataSet::LookupAdd(std::uint32_t slot) {
  for (KeyLookup& l : lookups_)
    if (l.built) l.rows.emplace(RowKey(l, rows_[slot].values), slot);
}

void TDataSet::LookupErase(KeyLookup& lookup, const std::string& key, std::uint32_t slot) {
  auto [first, last] = lookup.rows.equal_range(key);
  for (auto it = first; it != last; ++it)
    if (it->second == slot) {
      lookup.rows.erase(it);
      return;
    }
}

void TDataSet::LookupRemove(std::uint32_t slot, const std::vector<Value>& values) {
  for (KeyLookup& l : lookups_) {
    if (l.built) LookupErase(l, RowKey(l, values), slot);
  }
}

void TDataSet::LookupChange(std::uint32_t slot, const std::vector<Value>& before, const std::vector<Value>& now) {
  for (KeyLookup& l : lookups_) {
    if (!l.built) continue;
    const bool same = std::all_of(l.fields.begin(), l.fields.end(),
                                  [&](std::size_t f) { return CompareValues(before[f], now[f]) == 0; });
    if (same) continue;
    LookupErase(l, RowKey(l, before), slot);
    l.rows.emplace(RowKey(l, now), slot);
  }
}

// ---- Editing ----------------------------------------------------------------------------------

void TDataSet::CheckBrowseMode() {
  if (state_ != DataSetState::kEdit && state_ != DataSetState::kInsert) return;
  if (modified_)
    Post();
  else
    Cancel();
}

void TDataSet::Append() {
  RequireActive();
  CheckBrowseMode();
  Fire(BeforeInsert);
  Fire(BeforeScroll);
  StartInsert(kNoRow, RecordCount() + 1);
}

void TDataSet::Insert() {
  RequireActive();
  CheckBrowseMode();
  Fire(BeforeInsert);
  Fire(BeforeScroll);
  StartInsert(cur_, cur_ == kNoRow ? 1 : static_cast<int>(CurPos()) + 1);
}

void TDataSet::StartInsert(std::uint32_t natural_before, int recno) {
  insert_recno_ = recno;
  insert_before_ = natural_before;
  edit_values_.assign(data_fields_.size(), Value{});
  edit_calc_.assign(calc_fields_.size(), Value{});
  bof_ = eof_ = false;
  SetState(DataSetState::kInsert);
  try {
    Fire(OnNewRecord);
    CalcEditBuffer();
  } catch (...) {
    LeaveEditState();
    bof_ = eof_ = RecordCount() == 0;
    throw;
  }
  modified_ = false;  // defaults are not typing
  Fire(AfterInsert);
  Fire(AfterScroll);
}

void TDataSet::Edit() {
  RequireActive();
  if (state_ == DataSetState::kEdit || state_ == DataSetState::kInsert) return;
  if (RecordCount() == 0) {
    Insert();
    return;
  }
  if (cur_ == kNoRow) throw std::logic_error("dataset " + name_ + " has no current row to edit");
  Fire(BeforeEdit);
  const Row& row = rows_[cur_];
  if (!CalcKnown(row)) CalcRow(cur_);
  edit_slot_ = cur_;
  edit_values_ = row.values;
  edit_calc_ = row.calc;
  modified_ = false;
  SetState(DataSetState::kEdit);
  Fire(AfterEdit);
}

void TDataSet::Post() {
  if (state_ != DataSetState::kEdit && state_ != DataSetState::kInsert) return;
  Fire(BeforePost);
  const bool inserting = state_ == DataSetState::kInsert;
  const int old_recno = RecNo();
  std::uint32_t slot;
  bool changed = true;
  bool moved = inserting;  // whether the row may now stand elsewhere in the view
  if (inserting) {
    if (rows_.size() + 1 >= kNoRow) throw std::length_error("dataset " + name_ + ": too many rows");
    slot = static_cast<std::uint32_t>(rows_.size());
    Row row;
    row.values = std::move(edit_values_);
    rows_.push_back(std::move(row));
    filter_cache_.push_back(-1);
    Log(rows_[slot], RowStatus::kInserted);
    AddToOrders(slot, insert_before_);
    LookupAdd(slot);
  } else {
    slot = edit_slot_;
    changed = modified_;
    if (changed) {
      Row& row = rows_[slot];
      std::vector<Value> old = std::move(row.values);
      row.values = std::move(edit_values_);
      moved = ReorderRow(slot, old);
      if (row.status == RowStatus::kUnchanged) {
        row.original = std::move(old);
        Log(row, RowStatus::kModified);
      }
    }
  }
  const std::uint32_t before = cur_;
  LeaveEditState();
  cur_ = slot;
  cur_pos_valid_ = false;
  if (HasCalc()) CalcRow(slot);
  // The row's place in the view (0: it left the view). Unfiltered, a row
  // edited without moving keeps its place; another one is looked for only
  // when a view is told (-1: visible, its place found when asked for).
  const bool filtered = filtered_ && filter_;
  int recno;
  if (!filtered && !moved && old_recno > 0) {
    recno = old_recno;
    cur_pos_ = static_cast<std::size_t>(recno) - 1;
    cur_pos_valid_ = true;
  } else if (!filtered && (controls_disabled_ > 0 || observers_.empty())) {
    recno = -1;
  } else {
    recno = PosOf(slot);
  }
  if (recno != 0) {
    if (inserting)
      Notify([&](DataSetObserver& o) { o.RowInserted(*this, recno); });
    else if (recno == old_recno)
      Notify([&](DataSetObserver& o) { o.RowChanged(*this, recno); });
    else
      NotifyReset();
    bof_ = eof_ = false;
    if (before != slot) NotifyCurrent();
  } else {
    // The row no longer passes the filter: the one now in its place is current.
    NotifyReset();
    const int count = RecordCount();
    if (count == 0) {
      SetCurrent(kNoRow);
      bof_ = eof_ = true;
    } else {
      ScrollTo(std::clamp(old_recno, 1, count));
    }
  }
  Fire(AfterPost);
  if (AfterScroll && (cur_ != slot || RecNo() != old_recno)) Fire(AfterScroll);
}

void TDataSet::Cancel() {
  if (state_ == DataSetState::kEdit) {
    Fire(BeforeCancel);
    LeaveEditState();
    Fire(AfterCancel);
  } else if (state_ == DataSetState::kInsert) {
    Fire(BeforeCancel);
    Fire(BeforeScroll);
    LeaveEditState();
    bof_ = eof_ = RecordCount() == 0;
    if (cur_ != kNoRow) SetCurrent(cur_, CurPos());
    Fire(AfterCancel);
    Fire(AfterScroll);
  }
}

void TDataSet::Delete() {
  RequireActive();
  if (state_ == DataSetState::kInsert) {
    Cancel();
    return;
  }
  if (RecordCount() == 0 || cur_ == kNoRow)
    throw std::logic_error("dataset " + name_ + " is empty: there is no row to delete");
  Fire(BeforeDelete);
  Fire(BeforeScroll);
  if (state_ == DataSetState::kEdit) LeaveEditState();
  const std::uint32_t slot = cur_;
  const int recno = static_cast<int>(CurPos()) + 1;
  Row& row = rows_[slot];
  LookupRemove(slot, row.values);
  if (row.status == RowStatus::kInserted) {
    Unlog(row);
    row.status = RowStatus::kGone;
    row.values.clear();
  } else {
    if (row.status == RowStatus::kUnchanged) row.original = std::move(row.values);
    row.values.clear();
    Log(row, RowStatus::kDeleted);
  }
  row.calc.clear();
  row.calc_valid = false;
  RemoveFromOrders(slot);
  Notify([&](DataSetObserver& o) { o.RowDeleted(*this, recno); });
  const int count = RecordCount();
  if (count == 0) {
    SetCurrent(kNoRow);
    bof_ = eof_ = true;
  } else {
    ScrollTo(std::min(recno, count));
  }
  Fire(AfterDelete);
  Fire(AfterScroll);
}

// ---- Indexes --------------------------------------------------------------------------------

void TDataSet::AddIndex(std::string name, std::string fields, std::string descFields) {
  if (AllTrim(name).empty()) throw std::invalid_argument("dataset " + name_ + ": an index needs a name");
  for (const Index& index : indexes_)
    if (SameText(index.name, name)) throw std::invalid_argument("dataset " + name_ + " already has index " + name);
  Index index;
  index.name = std::move(name);
  index.fields = std::move(fields);
  index.desc_fields = std::move(descFields);
  indexes_.push_back(std::move(index));
}

void TDataSet::SetIndexName(std::string_view name) {
  int found = -1;
  if (!name.empty()) {
    for (std::size_t i = 0; i < indexes_.size(); ++i)
      if (!indexes_[i].name.empty() && SameText(indexes_[i].name, name)) found = static_cast<int>(i);
    if (found < 0) throw std::out_of_range("dataset " + name_ + " has no index " + std::string(name));
  }
  CheckBrowseMode();
  if (found >= 0 && Active()) Resolve(indexes_[static_cast<std::size_t>(found)]);
  active_index_ = found;
  index_name_ = found < 0 ? std::string() : indexes_[static_cast<std::size_t>(found)].name;
  index_field_names_.clear();
  ViewChanged();
  NotifyReset();
}

void TDataSet::SetIndexFieldNames(std::string_view fields) {
  if (AllTrim(fields).empty()) {
    CheckBrowseMode();
    active_index_ = -1;
    index_name_.clear();
    index_field_names_.clear();
    ViewChanged();
    NotifyReset();
    return;
  }
  int found = -1;
  for (std::size_t i = 0; i < indexes_.size(); ++i)
    if (indexes_[i].name.empty() && SameText(indexes_[i].fields, fields)) found = static_cast<int>(i);
  if (found < 0) {
    Index index;
    index.fields = std::string(fields);
    if (Active()) Resolve(index);
    indexes_.push_back(std::move(index));
    found = static_cast<int>(indexes_.size()) - 1;
  } else if (Active()) {
    Resolve(indexes_[static_cast<std::size_t>(found)]);
  }
  CheckBrowseMode();
  active_index_ = found;
  index_name_.clear();
  index_field_names_ = std::string(fields);
  ViewChanged();
  NotifyReset();
}

// ---- Filter -------------------------------------------------------------------------------------

void TDataSet::SetFilter(FilterFunc filter) {
  CheckBrowseMode();
  filter_ = std::move(filter);
  filter_cache_.assign(rows_.size(), -1);
  ViewChanged();
  if (!filtered_) return;
  NotifyReset();
  AfterViewChange(1);
}

void TDataSet::SetFiltered(bool filtered) {
  if (filtered_ == filtered) return;
  CheckBrowseMode();
  filtered_ = filtered;
  ViewChanged();
  NotifyReset();
  AfterViewChange(1);
}

// ---- Change log ---------------------------------------------------------------------------------

void TDataSet::Log(Row& row, RowStatus status) {
  if (row.status == RowStatus::kUnchanged || status == RowStatus::kInserted) {
    ++change_count_;
    row.change_seq = ++next_seq_;
  }
  row.status = status;
}

void TDataSet::Unlog(Row& row) {
  --change_count_;
  row.change_seq = 0;
}

Delta TDataSet::GetDelta() const {
  Delta delta;
  delta.fields = DataFieldDefs();
  std::vector<const Row*> changed;
  for (const Row& row : rows_)
    if (row.status == RowStatus::kInserted || row.status == RowStatus::kModified || row.status == RowStatus::kDeleted)
      changed.push_back(&row);
  std::sort(changed.begin(), changed.end(), [](const Row* a, const Row* b) { return a->change_seq < b->change_seq; });
  for (const Row* row : changed) {
    RowChange change;
    switch (row->status) {
      case RowStatus::kInserted:
        change.kind = ChangeKind::kInsert;
        change.current = row->values;
        break;
      case RowStatus::kModified:
        change.kind = ChangeKind::kModify;
        change.original = row->original;
        change.current = row->values;
        break;
      default:
        change.kind = ChangeKind::kDelete;
        change.original = row->original;
        break;
    }
    delta.changes.push_back(std::move(change));
  }
  return delta;
}

void TDataSet::MergeChangeLog() {
  for (Row& row : rows_) {
    switch (row.status) {
      case RowStatus::kInserted:
      case RowStatus::kModified:
        row.status = RowStatus::kUnchanged;
        row.original.clear();
        break;
      case RowStatus::kDeleted:
        row.status = RowStatus::kGone;
        row.original.clear();
        break;
      default: break;
    }
    row.change_seq = 0;
  }
  change_count_ = 0;
  next_seq_ = 0;
  natural_saved_ = natural_;
  natural_saved_is_identity_ = false;
}

void TDataSet::CancelUpdates() {
  if (!Active()) return;
  if (state_ != DataSetState::kBrowse) Cancel();
  for (Row& row : rows_) {
    switch (row.status) {
      case RowStatus::kInserted:
        row.status = RowStatus::kGone;
        row.values.clear();
        break;
      case RowStatus::kModified:
      case RowStatus::kDeleted:
        row.status = RowStatus::kUnchanged;
        row.values = std::move(row.original);
        row.original.clear();
        break;
      default: break;
    }
    row.change_seq = 0;
    row.calc_valid = false;
  }
  change_count_ = 0;
  next_seq_ = 0;
  if (natural_saved_is_identity_) {
    natural_.resize(loaded_count_);
    std::iota(natural_.begin(), natural_.end(), 0u);
  } else {
    natural_ = natural_saved_;
  }
  ResetOrders();
  if (cur_ != kNoRow && rows_[cur_].status == RowStatus::kGone) cur_ = kNoRow;
  NotifyReset();
  if (cur_ != kNoRow && PosOf(cur_) > 0) {
    SetCurrent(cur_, CurPos());  // its values may be the loaded ones again
    bof_ = eof_ = false;
  } else {
    AfterViewChange(1);
  }
}

// ---- Views --------------------------------------------------------------------------------------

void TDataSet::AddObserver(DataSetObserver* observer) {
  if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
}

void TDataSet::RemoveObserver(DataSetObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

template <typename F>
void TDataSet::Notify(F&& f) const {
  if (controls_disabled_ > 0 || observers_.empty()) return;
  const auto observers = observers_;  // an observer may detach itself
  for (DataSetObserver* o : observers) f(*o);
}

void TDataSet::NotifyReset() const {
  Notify([&](DataSetObserver& o) { o.DataSetReset(*this); });
}

void TDataSet::NotifyCurrent() const {
  if (controls_disabled_ > 0 || observers_.empty()) return;
  const int recno = RecNo();
  Notify([&](DataSetObserver& o) { o.CurrentRowChanged(*this, recno); });
}

void TDataSet::DisableControls() { ++controls_disabled_; }

void TDataSet::EnableControls() {
  if (controls_disabled_ == 0) return;
  if (--controls_disabled_ == 0) NotifyReset();
}

const Value& TDataSet::ValueAt(int recNo, const TField& field) const {
  if (&field.DataSet() != this) throw std::invalid_argument("dataset " + name_ + ": field of another dataset");
  return RowValue(SlotAt(recNo), field);
}

std::string TDataSet::DisplayTextAt(int recNo, const TField& field) const {
  if (&field.DataSet() != this) throw std::invalid_argument("dataset " + name_ + ": field of another dataset");
  EvalScope eval(*this, SlotAt(recNo));
  return field.DisplayText();
}

}  // namespace pag
