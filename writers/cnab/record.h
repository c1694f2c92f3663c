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
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

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

// What an error names besides the record: the bank and the slip being
// written (empty for headers and trailers). Writers update `slip` as they go.
struct RecordContext {
  std::string bank;  // "Banco do Brasil (001)"
  std::string slip;  // "0001/0000001234"
};

class Record {
 public:
  // `name` (the record's name in the bank's manual) and `context` must
  // outlive the record.
  Record(const RecordContext& context, std::string_view name, int width);
  Record(const RecordContext& context, const Layout& layout);
  // A temporary context or layout would die before the record.
  Record(const RecordContext&& context, std::string_view name, int width) = delete;
  Record(const RecordContext&& context, const Layout& layout) = delete;
  Record(const RecordContext& context, const Layout&& layout) = delete;

  Record(const Record&) = delete;
  Record& operator=(const Record&) = delete;

  // Numeric: blanks trimmed, right-aligned and zero-filled (Ajusta); when
  // longer than the field only leading zeros may be dropped.
  void num(Col from, Col to, std::string_view value, std::string_view field = {});
  void num(Col from, Col to, std::int64_t value, std::string_view field = {});
  // A character, a flag or a floating-point number is never a numeric field.
  template <typename T>
    requires(std::same_as<T, char> || std::same_as<T, bool> || std::floating_point<T>)
  void num(Col from, Col to, T value, std::string_view field = {}) = delete;
  // A constant of exactly the field's width.
  void lit(Col from, Col to, std::string_view literal, std::string_view field = {});
  // Free text: CampoValido, then left-aligned, blank-filled and cut (PadR).
  void text(Col from, Col to, std::string_view value, std::string_view field = {});
  // Text written as given (already cleaned, or a code): left-aligned,
  // blank-filled and cut like PadR; a character that is not printable ASCII
  // is an error.
  void plain(Col from, Col to, std::string_view value, std::string_view field = {});
  void blank(Col from, Col to, std::string_view field = {});
  void zeros(Col from, Col to, std::string_view field = {});
  // An amount in cents with the decimal point implied, zero-filled; the
  // same digits as AmountField. Negative amounts are refused.
  void amount(Col from, Col to, Money value, std::string_view field = {});
  // Dates and times with a pattern of "dd", "mm", "yyyy", "yy", "hh", "nn"
  // and "ss" ("mm" after "hh" is minutes), as FormatDateTime writes them:
  // "ddmmyyyy", "yyyymmdd", "ddmmyy", "hhmmss", "mmyyyy". The pattern must
  // be as wide as the field; an empty date writes zeros.
  void date(Col from, Col to, const Date& value, std::string_view pattern, std::string_view field = {});
  void date(Col from, Col to, const DateTime& value, std::string_view pattern, std::string_view field = {});
  void date(Col from, Col to, const std::optional<Date>& value, std::string_view pattern,
            std::string_view field = {});
  void date(Col from, Col to, const std::optional<DateTime>& value, std::string_view pattern,
            std::string_view field = {});
  void date(Col from, Col to, std::nullopt_t, std::string_view pattern, std::string_view field = {});
  // Only the digits of the value (Nr_Codigo), then as num.
  void digits(Col from, Col to, std::string_view value, std::string_view field = {});
  // A value formatted beforehand that must be exactly the field's width.
  void raw(Col from, Col to, std::string_view value, std::string_view field = {});

  // The finished record; refuses one that does not end at its width. The
  // view lives as long as the record.
  std::string_view finish();

  // The column the next field must start at.
  int next() const { return next_; }
  int width() const { return width_; }
  std::string_view name() const { return name_; }

 private:
  struct Span {
    char* out;
    int width;
    std::string_view field;
  };
  // Checks the positions against the previous field, the width and the
  // layout, and moves past the field. A record made from a Layout only has
  // to match the table's next row: the table itself was proven contiguous
  // and of the record's width when the program was built.
  Span Take(Col from, Col to, std::string_view field) {
    if (layout_ != nullptr && row_ < layout_->size()) {
      const FieldSpec& expected = (*layout_)[row_];
      if (expected.from == from.value() && expected.to == to.value()) {
        next_ = expected.to + 1;
        ++row_;
        return Span{buffer_.data() + (expected.from - 1), expected.to - expected.from + 1,
                    field.empty() ? expected.name : field};
      }
    }
    return TakeChecked(from, to, field);
  }
  Span TakeChecked(Col from, Col to, std::string_view field);
  void Numeric(const Span& s, int from, std::string_view value);
  void DateFields(const Span& s, int from, std::string_view pattern, const Date* d, int hour, int minute, int second);
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
