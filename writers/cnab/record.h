// One fixed-width record of a bank file, built field by field with the
// 1-based, inclusive from-to positions that the bank's layout table prints,
// so the code can be read beside the table row by row.
//
//   RecordContext ctx{"Banco do Brasil (001)", "0001/0000001234"};
//   Record rec(ctx, "Segmento A", 240);
//   rec.num   (1,   3, "001");                  // numeric: Ajusta, zero-filled
//   rec.num   (4,   7, batchNumber);            // integer, zero-filled
//   rec.lit   (8,   8, "3");                    // literal of exactly the width
//   rec.text  (9,  38, name, "Nome");           // CampoValido, then PadR (cut)
//   rec.blank (39, 43);
//   rec.zeros (44, 50);
//   rec.amount(51, 65, money);                  // cents, implied decimals
//   rec.date  (66, 73, dueDate, "ddmmyyyy");    // empty date: zeros
//   rec.digits(74, 87, registration);           // Nr_Codigo, then numeric
//   rec.raw   (88, 240, formatted);             // exactly the width
//   std::string_view line = rec.finish();       // ends exactly at 240
//
// Every field must start right after the previous one and the record must
// end at its width; a gap, an overlap, a short record, a value that does not
// fit (numbers are never cut, only their leading zeros dropped), a literal
// or pre-formatted value of the wrong width, and any byte that is not
// printable ASCII throw FieldError naming the bank, the record, the
// positions, the field (when named), the value and the slip. Free text is
// the only thing cut at its width. The optional last argument of each field
// is the bank's own name of the field.
//
// Positions are compile-time constants (Col): a negative column or one past
// the widest record fails the build. A constexpr Layout adds a compile-time
// proof that a record's fields follow each other and end at its width; a
// Record made from it checks that every field call follows the table:
//
//   constexpr FieldSpec kTrailerFields[] = {{1, 3, "Banco"}, {4, 7, "Lote"},
//                                           {8, 8, "Registro"}, {9, 240, "CNAB"}};
//   constexpr Layout kTrailer("Trailer de arquivo", 240, kTrailerFields);
//   Record rec(ctx, kTrailer);
//
// Records are built in a fixed buffer: no field allocates memory.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "host/datetime.h"
#include "host/decimal.h"

namespace pag {

// The widest record of any layout the module writes (Bradesco: 500).
inline constexpr int kMaxRecordWidth = 500;

// A 1-based column of a record, fixed when the program is built.
class Col {
 public:
  // NOLINTNEXTLINE(google-explicit-constructor): columns are written as plain numbers.
  consteval Col(int column) : value_(column) {
    if (column < 1 || column > kMaxRecordWidth) throw "a record column lies between 1 and kMaxRecordWidth";
  }
  // A column worked out while the program runs (a frame shared by layouts
  // of different widths); only the run-time checks apply to it.
  static constexpr Col Computed(int column) { return Col(Unchecked{}, column); }
  constexpr int value() const { return value_; }

 private:
  struct Unchecked {};
  constexpr Col(Unchecked, int column) : value_(column) {}
  int value_;
};

// One row of a bank's layout table.
struct FieldSpec {
  int from;
  int to;
  std::string_view name;  // the bank's own name of the field
};

// A record's layout table, checked when the program is built: every field
// starts right after the previous one, none ends before it starts, and the
// last one ends at the width. The table must outlive the layout (a
// namespace-scope or static constexpr array).
class Layout {
 public:
  template <std::size_t N>
  consteval Layout(std::string_view name, int width, const FieldSpec (&fields)[N])
      : name_(name), width_(width), fields_(fields), count_(N) {
    if (width < 1 || width > kMaxRecordWidth) throw "a record is 1 to kMaxRecordWidth positions wide";
    int next = 1;
    for (const FieldSpec& f : fields) {
      if (f.from != next) throw "a field must start right after the previous one (gap or overlap)";
      if (f.to < f.from) throw "a field ends before it starts";
      next = f.to + 1;
    }
    if (next != width + 1) throw "the last field must end at the record width";
  }

  constexpr std::string_view name() const { return name_; }
  constexpr int width() const { return width_; }
  constexpr std::size_t size() const { return count_; }
  constexpr const FieldSpec& operator[](std::size_t i) const { return fields_[i]; }

 private:
  std::string_view name_;
  int width_;
  const FieldSpec* fields_;
  std::size_t count_;
};

// The slip a record is built for, as errors name it: "0001/0000001234".
// Writers name it by the slip's branch and entry, kept as views and made
// into the label (each trimmed, joined by "/") only when an error is
// raised, so that naming a slip costs nothing while nothing goes wrong. The
// views must stay valid while the slip is named and until an error raised
// meanwhile has been reported (the slip's own text in the dataset, which a
// run does not change, or the writer's copy of it). A label may also be
// given whole (tests, and messages about no particular record).
//
//   context.slip.Set(branch, entry);   // " 0001", "0000001234 " -> "0001/0000001234"
//   context.slip.Clear();              // headers and trailers name none
class SlipName {
 public:
  SlipName() = default;
  // NOLINTNEXTLINE(google-explicit-constructor): a label is written as plain text.
  SlipName(const char* label) : label_(label) {}
  // NOLINTNEXTLINE(google-explicit-constructor)
  SlipName(std::string label) : label_(std::move(label)) {}

  void Set(std::string_view branch, std::string_view entry) {
    label_.clear();
    branch_ = branch;
    entry_ = entry;
    parts_ = true;
  }
  void Clear() {
    label_.clear();
    parts_ = false;
  }
  // No slip is named.
  bool empty() const { return !parts_ && label_.empty(); }
  // The label: "branch/entry" trimmed, or the label given; empty for none.
  std::string str() const;

 private:
  std::string label_;
  std::string_view branch_;
  std::string_view entry_;
  bool parts_ = false;
};

// What an error names besides the record: the bank and the slip being
// written (none for headers and trailers). Writers update `slip` as they go.
struct RecordContext {
  std::string bank;  // "Banco do Brasil (001)"
  SlipName slip;     // "0001/0000001234"
};

class Record {
 public:
  // `name` (the record's name in the bank's manual) and `context` must
  // outlive the record.
  Record(const RecordContext& context, std::string_view name, int width);
  Record(const RecordContext& context, const Layout& layout)
      : context_(&context), name_(layout.name()), width_(layout.width()), layout_(&layout) {}
  // A temporary context or layout would die before the record.
  Record(const RecordContext&& context, std::string_view name, int width) = delete;
  Record(const RecordContext&& context, const Layout& layout) = delete;
  Record(const RecordContext& context, const Layout&& layout) = delete;

  Record(const Record&) = delete;
  Record& operator=(const Record&) = delete;

  // The usual cases of each field are written here, where the compiler sees
  // the field's constant positions and width; anything else (blanks to
  // trim, a value to refuse, a character to clean) goes to the general
  // path in record.cpp, which writes the same bytes or raises the error.

  // Numeric: blanks trimmed, right-aligned and zero-filled (Ajusta); when
  // longer than the field only leading zeros may be dropped.
  [[gnu::always_inline]] void num(Col from, Col to, std::string_view value, std::string_view field = {}) {
    Take(from, to, field);
    const std::size_t w = Width(from, to);
    char* out = At(from);
    if (value.size() <= w && (value.empty() || (value.front() != ' ' && value.back() != ' '))) {
      std::memset(out, '0', w);
      if (CopyPrintable(out + (w - value.size()), value)) return;
    }
    Numeric(from.value(), to.value(), field, value);
  }
  [[gnu::always_inline]] void num(Col from, Col to, std::int64_t value, std::string_view field = {}) {
    Take(from, to, field);
    if (value < 0 || !PutNumber(At(from), Width(from, to), static_cast<std::uint64_t>(value)))
      NumberFailed(from.value(), to.value(), field, value);
  }
  // A character, a flag or a floating-point number is never a numeric field.
  template <typename T>
    requires(std::same_as<T, char> || std::same_as<T, bool> || std::floating_point<T>)
  void num(Col from, Col to, T value, std::string_view field = {}) = delete;
  // A constant of exactly the field's width.
  [[gnu::always_inline]] void lit(Col from, Col to, std::string_view literal, std::string_view field = {}) {
    Take(from, to, field);
    if (literal.size() == Width(from, to) && CopyPrintable(At(from), literal)) return;
    LiteralFailed(from.value(), to.value(), field, literal);
  }
  // Free text: CampoValido, then left-aligned, blank-filled and cut (PadR).
  [[gnu::always_inline]] void text(Col from, Col to, std::string_view value, std::string_view field = {}) {
    Take(from, to, field);
    const std::size_t w = Width(from, to);
    std::memset(At(from), ' ', w);
    CleanText(At(from), w, value);
  }
  // Text written as given (already cleaned, or a code): left-aligned,
  // blank-filled and cut like PadR; a character that is not printable ASCII
  // is an error.
  [[gnu::always_inline]] void plain(Col from, Col to, std::string_view value, std::string_view field = {}) {
    Take(from, to, field);
    const std::size_t w = Width(from, to);
    std::memset(At(from), ' ', w);
    if (!CopyPrintable(At(from), value.substr(0, w)))
      Fail(from.value(), to.value(), FieldName(field), value, "has a character that is not printable ASCII");
  }
  [[gnu::always_inline]] void blank(Col from, Col to, std::string_view field = {}) {
    Take(from, to, field);
    std::memset(At(from), ' ', Width(from, to));
  }
  [[gnu::always_inline]] void zeros(Col from, Col to, std::string_view field = {}) {
    Take(from, to, field);
    std::memset(At(from), '0', Width(from, to));
  }
  // An amount in cents with the decimal point implied, zero-filled; the
  // same digits as AmountField. Negative amounts are refused.
  [[gnu::always_inline]] void amount(Col from, Col to, Money value, std::string_view field = {}) {
    Take(from, to, field);
    if (value.cents() < 0 || !PutNumber(At(from), Width(from, to), static_cast<std::uint64_t>(value.cents())))
      AmountFailed(from.value(), to.value(), field, value);
  }
  // Dates and times with a pattern of "dd", "mm", "yyyy", "yy", "hh", "nn"
  // and "ss" ("mm" after "hh" is minutes), as FormatDateTime writes them:
  // "ddmmyyyy", "yyyymmdd", "ddmmyy", "hhmmss", "mmyyyy". The pattern must
  // be as wide as the field; an empty date writes zeros.
  [[gnu::always_inline]] void date(Col from, Col to, const Date& value, std::string_view pattern,
                                   std::string_view field = {}) {
    Take(from, to, field);
    if (Width(from, to) == 8 && PutDate(At(from), value, pattern)) return;
    DateFields(from.value(), to.value(), field, pattern, &value, 0, 0, 0);
  }
  void date(Col from, Col to, const DateTime& value, std::string_view pattern, std::string_view field = {});
  [[gnu::always_inline]] void date(Col from, Col to, const std::optional<Date>& value, std::string_view pattern,
                                   std::string_view field = {}) {
    if (value) return date(from, to, *value, pattern, field);
    Take(from, to, field);
    DateFields(from.value(), to.value(), field, pattern, nullptr, 0, 0, 0);
  }
  void date(Col from, Col to, const std::optional<DateTime>& value, std::string_view pattern,
            std::string_view field = {});
  void date(Col from, Col to, std::nullopt_t, std::string_view pattern, std::string_view field = {});
  // Only the digits of the value (Nr_Codigo), then as num.
  void digits(Col from, Col to, std::string_view value, std::string_view field = {});
  // A value formatted beforehand that must be exactly the field's width.
  [[gnu::always_inline]] void raw(Col from, Col to, std::string_view value, std::string_view field = {}) {
    Take(from, to, field);
    if (value.size() == Width(from, to) && CopyPrintable(At(from), value)) return;
    RawFailed(from.value(), to.value(), field, value);
  }

  // The finished record; refuses one that does not end at its width. The
  // view lives as long as the record.
  [[gnu::always_inline]] std::string_view finish() {
    if (next_ != width_ + 1) Unfinished();
    return std::string_view(buffer_.data(), static_cast<std::size_t>(width_));
  }

  // The column the next field must start at.
  int next() const { return next_; }
  int width() const { return width_; }
  std::string_view name() const { return name_; }

 private:
  // Checks the positions against the previous field, the width and the
  // layout, and moves past the field. A record made from a Layout only has
  // to match the table's next row: the table itself was proven contiguous
  // and of the record's width when the program was built; one without a
  // layout, to start where the previous field ended and end within its
  // width. Anything else is left to TakeChecked, which throws the error
  // that names the fault.
  [[gnu::always_inline]] void Take(Col from, Col to, std::string_view field) {
    if (layout_ != nullptr) {
      if (row_ < layout_->size()) {
        const FieldSpec& expected = (*layout_)[row_];
        if (expected.from == from.value() && expected.to == to.value()) {
          next_ = expected.to + 1;
          ++row_;
          return;
        }
      }
    } else if (from.value() == next_ && from.value() <= to.value() && to.value() <= width_) {
      next_ = to.value() + 1;
      ++row_;
      return;
    }
    TakeChecked(from, to, field);
  }
  void TakeChecked(Col from, Col to, std::string_view field);
  // Where a field taken starts, and its width (its positions were checked).
  [[gnu::always_inline]] char* At(Col from) { return buffer_.data() + (from.value() - 1); }
  // Take has refused a field that ends before it starts; the guard lets the
  // compiler see that no width is ever negative.
  [[gnu::always_inline]] static std::size_t Width(Col from, Col to) {
    const int w = to.value() - from.value() + 1;
    return w > 0 ? static_cast<std::size_t>(w) : 0;
  }
  // The field's name for a message: the one given, else the layout's.
  std::string_view FieldName(std::string_view given) const {
    return given.empty() && layout_ != nullptr && row_ > 0 ? (*layout_)[row_ - 1].name : given;
  }

  // Copies s to out; false when a byte of it is not printable ASCII.
  [[gnu::always_inline]] static bool CopyPrintable(char* out, std::string_view s) {
    unsigned bad = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
      const auto c = static_cast<unsigned char>(s[i]);
      bad |= static_cast<unsigned>(c - 0x20u > 0x5Eu);
      out[i] = static_cast<char>(c);
    }
    return bad == 0;
  }
  // v right-aligned and zero-filled in out[0..w); false when it has more
  // than w digits.
  [[gnu::always_inline]] static bool PutNumber(char* out, std::size_t w, std::uint64_t v) {
    std::memset(out, '0', w);
    for (std::size_t i = w; v != 0 && i > 0; v /= 10) out[--i] = static_cast<char>('0' + v % 10);
    return v == 0;
  }
  // The two patterns most records use, of a date that exists with a
  // four-digit year; false for anything else.
  [[gnu::always_inline]] static bool PutDate(char* out, const Date& d, std::string_view pattern) {
    const bool dmy = pattern == "ddmmyyyy";
    if ((!dmy && pattern != "yyyymmdd") || !d.ok()) return false;
    const int year = static_cast<int>(d.year());
    if (year < 0 || year > 9999) return false;
    const auto day = static_cast<unsigned>(d.day());
    const auto month = static_cast<unsigned>(d.month());
    char* y = dmy ? out + 4 : out;
    char* m = dmy ? out + 2 : out + 4;
    char* dd = dmy ? out : out + 6;
    PutNumber(y, 4, static_cast<std::uint64_t>(year));
    PutNumber(m, 2, month);
    PutNumber(dd, 2, day);
    return true;
  }

  // The general paths: they write the field when the value is one the fast
  // path leaves to them, else throw the field's FieldError.
  void Numeric(int from, int to, std::string_view field, std::string_view value);
  [[noreturn]] void NumberFailed(int from, int to, std::string_view field, std::int64_t value);
  [[noreturn]] void AmountFailed(int from, int to, std::string_view field, Money value);
  [[noreturn]] void LiteralFailed(int from, int to, std::string_view field, std::string_view literal);
  [[noreturn]] void RawFailed(int from, int to, std::string_view field, std::string_view value);
  // CampoValido of value into the first w positions of out (blank already).
  static void CleanText(char* out, std::size_t w, std::string_view value);
  void DateFields(int from, int to, std::string_view field, std::string_view pattern, const Date* d, int hour,
                  int minute, int second);
  [[noreturn]] void Unfinished() const;
  // Throws the FieldError that names the bank, record, positions, field,
  // value (when there is one) and slip.
  [[noreturn]] void Fail(int from, int to, std::string_view field, std::optional<std::string_view> value,
                         std::string_view reason) const;

  const RecordContext* context_;
  std::string_view name_;
  int width_;
  int next_ = 1;
  const Layout* layout_ = nullptr;
  std::size_t row_ = 0;
  std::array<char, kMaxRecordWidth> buffer_;
};

}  // namespace pag
