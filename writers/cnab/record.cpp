#include "writers/cnab/record.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "host/errors.h"
#include "host/text.h"
#include "writers/cnab/fields.h"

namespace pag {
namespace {

bool Printable(char c) { return c >= 0x20 && c <= 0x7E; }

// Position of the first byte of s that is not printable ASCII, or npos.
std::size_t FirstUnprintable(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i)
    if (!Printable(s[i])) return i;
  return std::string_view::npos;
}

std::string_view TrimBlanks(std::string_view s) {
  const auto b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  const auto e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

// The value as a message shows it: control bytes and DEL as \xNN.
std::string Shown(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) {
      out += "\\x";
      out.push_back(kHex[u >> 4]);
      out.push_back(kHex[u & 0xF]);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// Writes the decimal digits of a non-negative number right-aligned in
// buf[0..20); returns the first one.
std::string_view DecimalDigits(std::uint64_t v, char (&buf)[20]) {
  char* p = buf + sizeof buf;
  do {
    *--p = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  return std::string_view(p, static_cast<std::size_t>(buf + sizeof buf - p));
}

// memcpy that accepts an empty view, whose data() may be null.
void Put(char* out, std::string_view s) {
  if (!s.empty()) std::memcpy(out, s.data(), s.size());
}

void TwoDigits(char* out, int v) {
  out[0] = static_cast<char>('0' + v / 10 % 10);
  out[1] = static_cast<char>('0' + v % 10);
}

}  // namespace

std::string SlipName::str() const {
  if (!parts_) return label_;
  std::string label(TrimView(branch_));
  label += '/';
  label += TrimView(entry_);
  return label;
}

Record::Record(const RecordContext& context, std::string_view name, int width)
    : context_(&context), name_(name), width_(width) {
  if (width < 1 || width > kMaxRecordWidth)
    throw FieldError(context.bank + ", " + std::string(name) + ": a record is 1 to " +
                     std::to_string(kMaxRecordWidth) + " positions wide, not " + std::to_string(width));
}

void Record::Fail(int from, int to, std::string_view field, std::optional<std::string_view> value,
                  std::string_view reason) const {
  std::string m = context_->bank;
  m += ", ";
  m += name_;
  m += ", positions ";
  m += std::to_string(from);
  m += '-';
  m += std::to_string(to);
  if (!field.empty()) {
    m += " (";
    m += field;
    m += ')';
  }
  m += ": ";
  if (value) {
    m += "value '";
    m += Shown(*value);
    m += "' ";
  }
  m += reason;
  if (!context_->slip.empty()) {
    m += "; slip ";
    m += context_->slip.str();
  }
  throw FieldError(m);
}

void Record::TakeChecked(Col fromCol, Col toCol, std::string_view field) {
  const int from = fromCol.value();
  const int to = toCol.value();
  if (layout_ != nullptr) {
    if (row_ >= layout_->size()) Fail(from, to, field, std::nullopt, "lies past the last field of the layout");
    const FieldSpec& expected = (*layout_)[row_];
    if (expected.from != from || expected.to != to)
      Fail(from, to, field, std::nullopt,
           "does not follow the layout, whose next field is " + std::to_string(expected.from) + "-" +
               std::to_string(expected.to) + " (" + std::string(expected.name) + ")");
    if (field.empty()) field = expected.name;
  }
  if (to < from) Fail(from, to, field, std::nullopt, "ends before it starts");
  if (from > next_)
    Fail(from, to, field, std::nullopt, "leaves a gap: the previous field ended at " + std::to_string(next_ - 1));
  if (from < next_)
    Fail(from, to, field, std::nullopt,
         "overlaps the previous field, which ended at " + std::to_string(next_ - 1));
  if (to > width_)
    Fail(from, to, field, std::nullopt, "lies past the record's width of " + std::to_string(width_));
  next_ = to + 1;
  ++row_;
}

void Record::Numeric(int from, int to, std::string_view field, std::string_view value) {
  field = FieldName(field);
  char* out = buffer_.data() + (from - 1);
  const std::string_view t = TrimBlanks(value);
  if (FirstUnprintable(t) != std::string_view::npos)
    Fail(from, to, field, value, "has a character that is not printable ASCII");
  const auto width = static_cast<std::size_t>(to - from + 1);
  if (t.size() <= width) {
    std::memset(out, '0', width - t.size());
    Put(out + (width - t.size()), t);
    return;
  }
  const std::size_t drop = t.size() - width;
  for (std::size_t i = 0; i < drop; ++i)
    if (t[i] != '0') Fail(from, to, field, value, "does not fit in " + std::to_string(width) + " positions");
  Put(out, t.substr(drop));
}

void Record::NumberFailed(int from, int to, std::string_view field, std::int64_t value) {
  char buf[20];
  if (value < 0) {
    const std::string shown = std::string("-") + std::string(DecimalDigits(0 - static_cast<std::uint64_t>(value), buf));
    Fail(from, to, FieldName(field), shown, "is negative");
  }
  // More digits than the field: refused as a numeric text would be.
  Numeric(from, to, field, DecimalDigits(static_cast<std::uint64_t>(value), buf));
  throw std::logic_error("a number that fits its field was refused");
}

void Record::LiteralFailed(int from, int to, std::string_view field, std::string_view literal) {
  field = FieldName(field);
  const auto width = static_cast<std::size_t>(to - from + 1);
  if (literal.size() != width)
    Fail(from, to, field, literal,
         "is a literal of " + std::to_string(literal.size()) + " characters for " + std::to_string(width) +
             " positions");
  Fail(from, to, field, literal, "has a character that is not printable ASCII");
}

void Record::RawFailed(int from, int to, std::string_view field, std::string_view value) {
  field = FieldName(field);
  const auto width = static_cast<std::size_t>(to - from + 1);
  if (value.size() != width)
    Fail(from, to, field, value,
         "has " + std::to_string(value.size()) + " characters for " + std::to_string(width) + " positions");
  Fail(from, to, field, value, "has a character that is not printable ASCII");
}

void Record::CleanText(char* out, std::size_t w, std::string_view value) {
  const char* in = value.data();
  const std::size_t size = value.size();
  const char* clean = cnab_detail::kCleanLatin1.data();
  std::size_t n = 0;
  std::size_t i = 0;
  while (i < size && n < w) {
    // A run of ASCII characters, one byte each, as far as the value and the
    // field allow; then the character that ends it.
    const std::size_t room = std::min(size - i, w - n);
    std::size_t k = 0;
    for (; k < room; ++k) {
      const auto c = static_cast<unsigned char>(in[i + k]);
      if (c >= 0x80) break;
      out[n + k] = clean[c];
    }
    i += k;
    n += k;
    if (k == room) return;
    out[n++] = cnab_detail::CleanNext(value, i);
  }
}

void Record::AmountFailed(int from, int to, std::string_view field, Money value) {
  field = FieldName(field);
  if (value.cents() < 0) Fail(from, to, field, value.ToString(), "is a negative amount");
  Fail(from, to, field, value.ToString(),
       "is an amount that does not fit in " + std::to_string(to - from + 1) + " positions");
}

void Record::DateFields(int from, int to, std::string_view field, std::string_view pattern, const Date* d, int hour,
                        int minute, int second) {
  field = FieldName(field);
  const auto width = static_cast<std::size_t>(to - from + 1);
  if (pattern.size() != width)
    Fail(from, to, field, pattern,
         "is a date pattern of " + std::to_string(pattern.size()) + " characters for " + std::to_string(width) +
             " positions");
  char* out = buffer_.data() + (from - 1);
  if (d == nullptr) {  // an empty date
    if (FirstUnprintable(pattern) != std::string_view::npos)
      Fail(from, to, field, pattern, "is a date pattern with a character that is not printable ASCII");
    std::memset(out, '0', width);
    return;
  }
  if (!d->ok()) Fail(from, to, field, std::nullopt, "holds a date that does not exist");
  const int year = static_cast<int>(d->year());
  const int month = static_cast<int>(static_cast<unsigned>(d->month()));
  const int day = static_cast<int>(static_cast<unsigned>(d->day()));
  bool afterHour = false;
  std::size_t i = 0;
  while (i < pattern.size()) {
    const std::string_view rest = pattern.substr(i);
    if (rest.starts_with("yyyy")) {
      if (year < 0 || year > 9999) Fail(from, to, field, std::nullopt, "holds a year that has no four digits");
      TwoDigits(out, year / 100);
      TwoDigits(out + 2, year % 100);
      out += 4; i += 4; afterHour = false;
    } else if (rest.starts_with("yy")) {
      TwoDigits(out, (year % 100 + 100) % 100);
      out += 2; i += 2; afterHour = false;
    } else if (rest.starts_with("dd")) {
      TwoDigits(out, day);
      out += 2; i += 2; afterHour = false;
    } else if (rest.starts_with("mm")) {
      TwoDigits(out, afterHour ? minute : month);
      out += 2; i += 2; afterHour = false;
    } else if (rest.starts_with("hh")) {
      TwoDigits(out, hour);
      out += 2; i += 2; afterHour = true;
    } else if (rest.starts_with("nn")) {
      TwoDigits(out, minute);
      out += 2; i += 2; afterHour = false;
    } else if (rest.starts_with("ss")) {
      TwoDigits(out, second);
      out += 2; i += 2; afterHour = false;
    } else {
      if (!Printable(pattern[i]))
        Fail(from, to, field, pattern, "is a date pattern with a character that is not printable ASCII");
      *out++ = pattern[i];
      if (pattern[i] != ':') afterHour = false;
      ++i;
    }
  }
}

void Record::date(Col from, Col to, const DateTime& value, std::string_view pattern, std::string_view field) {
  Take(from, to, field);
  const Date d = value.date();
  DateFields(from.value(), to.value(), field, pattern, &d, value.hour(), value.minute(), value.second());
}

void Record::date(Col from, Col to, const std::optional<DateTime>& value, std::string_view pattern,
                  std::string_view field) {
  if (value) return date(from, to, *value, pattern, field);
  Take(from, to, field);
  DateFields(from.value(), to.value(), field, pattern, nullptr, 0, 0, 0);
}

void Record::date(Col from, Col to, std::nullopt_t, std::string_view pattern, std::string_view field) {
  Take(from, to, field);
  DateFields(from.value(), to.value(), field, pattern, nullptr, 0, 0, 0);
}

void Record::digits(Col fromCol, Col toCol, std::string_view value, std::string_view field) {
  Take(fromCol, toCol, field);
  const int from = fromCol.value();
  const int to = toCol.value();
  std::size_t count = 0;
  for (char c : value)
    if (c >= '0' && c <= '9') ++count;
  const auto width = Width(fromCol, toCol);
  std::size_t skip = 0;  // leading digits left out, which must all be zeros
  if (count > width) {
    skip = count - width;
    std::size_t seen = 0;
    for (char c : value) {
      if (c < '0' || c > '9') continue;
      if (seen++ == skip) break;
      if (c != '0')
        Fail(from, to, FieldName(field), value, "has more than " + std::to_string(width) + " significant digits");
    }
  }
  char* out = At(fromCol);
  if (count < width) {
    std::memset(out, '0', width - count);
    out += width - count;
  }
  std::size_t seen = 0;
  for (char c : value) {
    if (c < '0' || c > '9') continue;
    if (seen++ >= skip) *out++ = c;
  }
}

void Record::Unfinished() const {
  const std::string ended = next_ == 1 ? "no field was written" : "the last field ends at " + std::to_string(next_ - 1);
  std::string m = context_->bank + ", " + std::string(name_) + ": " + ended + ", the record is " +
                  std::to_string(width_) + " positions wide";
  if (layout_ != nullptr && row_ < layout_->size())
    m += "; the next field would be " + std::to_string((*layout_)[row_].from) + "-" +
         std::to_string((*layout_)[row_].to) + " (" + std::string((*layout_)[row_].name) + ")";
  if (!context_->slip.empty()) m += "; slip " + context_->slip.str();
  throw FieldError(m);
}

}  // namespace pag
