#include "filters/controls.h"

#include <cctype>
#include <chrono>
#include <stdexcept>

#include "host/text.h"
#include "remittance/model/remessa_data.h"

namespace pag {

void MaskEdit::SetText(std::string_view text) {
  text_ = max_length_ > 0 ? LeftStr(text, max_length_) : std::string(text);
}

void MaskEdit::SetMaxLength(int n) {
  max_length_ = n;
  SetText(std::string(text_));
}

bool MaskEdit::IsBlank() const { return EmptyString(text_); }

namespace {

int CountDigits(std::string_view s) {
  int n = 0;
  for (char c : s) n += std::isdigit(static_cast<unsigned char>(c)) ? 1 : 0;
  return n;
}

}  // namespace

bool NumberEdit::SetText(std::string_view text) {
  const std::string t = AllTrim(text);
  if (t.empty()) {
    text_.clear();
    return true;
  }
  if (t.find('-') != std::string::npos) return false;
  Decimal d;
  try {
    d = Decimal::Parse(t);
  } catch (const std::exception&) {
    return false;
  }
  if (d.IsNegative() || d.Normalized().scale() > decimals_) return false;
  std::int64_t whole = d.Trunc();
  int digits = 0;
  do {
    ++digits;
    whole /= 10;
  } while (whole != 0);
  if (digits > int_digits_) return false;
  text_ = t;
  return true;
}

void NumberEdit::SetValue(const Decimal& value) { text_ = value.Rescaled(decimals_).Format(decimals_, ','); }

Decimal NumberEdit::Value() const {
  if (IsBlank()) return Decimal::FromUnits(0, decimals_);
  return Decimal::Parse(text_).Rescaled(decimals_);
}

bool NumberEdit::IsBlank() const { return EmptyString(text_); }

void DateEdit::SetDate(const std::optional<Date>& date) {
  text_ = date ? FormatDate(*date, "dd/mm/yyyy") : std::string();
}

bool DateEdit::IsBlank() const { return CountDigits(text_) == 0; }

std::optional<Date> DateEdit::GetDate() const {
  const std::string t = AllTrim(text_);
  if (t.find('/') == std::string::npos) return ParseDate(t);
  // dd/mm/yyyy
  std::string part[3];
  int n = 0;
  for (char c : t) {
    if (c == '/') {
      if (++n > 2) return std::nullopt;
    } else {
      part[n] += c;
    }
  }
  if (n != 2) return std::nullopt;
  for (auto& p : part) p = AllTrim(p);
  if (!IsDigits(part[0]) || !IsDigits(part[1]) || !IsDigits(part[2])) return std::nullopt;
  if (part[0].size() > 2 || part[1].size() > 2 || part[2].size() != 4) return std::nullopt;
  const Date d{std::chrono::year(static_cast<int>(StrToInt(part[2]))),
               std::chrono::month(static_cast<unsigned>(StrToInt(part[1]))),
               std::chrono::day(static_cast<unsigned>(StrToInt(part[0])))};
  if (!d.ok()) return std::nullopt;
  return d;
}

bool DateEdit::IsValid() const { return IsBlank() || GetDate().has_value(); }

bool MaxNumber(std::string_view text, int int_digits, int decimals, char key) {
  if (key == '\b') return true;
  const std::size_t sep = text.find_first_of(",.");
  if (key == ',' || key == '.') return decimals > 0 && sep == std::string_view::npos;
  if (!std::isdigit(static_cast<unsigned char>(key))) return false;
  if (sep == std::string_view::npos) return CountDigits(text) < int_digits;
  return CountDigits(text.substr(sep + 1)) < decimals;
}

std::string WeekdayName(const Date& d) {
  static const char* const kNames[] = {"domingo",      "segunda-feira", "terça-feira", "quarta-feira",
                                       "quinta-feira", "sexta-feira",   "sábado"};
  return kNames[std::chrono::weekday(std::chrono::sys_days(d)).c_encoding()];
}

std::string PictPess(std::string_view person_type) {
  if (person_type == "J") return "99.999.999/9999-99";
  if (person_type == "F") return "999.999.999-99";
  return {};
}

std::string FormatMaskText(std::string_view value, std::string_view picture) {
  if (picture.empty()) return std::string(value);
  int places = 0;
  for (char p : picture) places += (p == '9' || p == '0' || p == '#') ? 1 : 0;
  const std::string digits = DigitsOnly(value);
  if (static_cast<int>(digits.size()) != places) return std::string(value);
  return FormatPicture(digits, picture);
}

std::string JoinKeyList(const std::vector<std::string>& keys) {
  std::string list;
  for (const auto& k : keys) {
    list += '_';
    list += k;
  }
  return list;
}

PickList MakePickList(const Packet& rows, std::string title, const std::vector<PickColumn>& columns,
                      std::string_view key_field) {
  PickList list;
  list.title = std::move(title);
  bool has_key = false;
  std::vector<std::optional<std::size_t>> index;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    list.columns.push_back(columns[c].title);
    index.push_back(rows.FieldIndex(columns[c].field));
    if (SameText(columns[c].field, key_field)) {
      list.key_column = c;
      has_key = true;
    }
  }
  if (!has_key) throw std::logic_error("lookup list without its key field " + std::string(key_field));
  for (std::size_t r = 0; r < rows.rows.size(); ++r) {
    std::vector<std::string> texts;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (columns[c].show) {
        texts.push_back(columns[c].show(rows, r));
      } else {
        texts.push_back(index[c] ? ValueToText(rows.rows[r][*index[c]]) : std::string());
      }
    }
    list.rows.push_back(std::move(texts));
  }
  return list;
}

}  // namespace pag
