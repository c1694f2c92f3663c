#include "host/datetime.h"

#include <cstdio>

namespace pag {

using namespace std::chrono;

DateTime DateTime::FromDate(const Date& d) { return DateTime{sys_seconds(sys_days(d))}; }

DateTime DateTime::Make(int y, unsigned mo, unsigned d, int h, int mi, int s) {
  return DateTime{sys_seconds(sys_days(MakeDate(y, mo, d))) + hours(h) + minutes(mi) + seconds(s)};
}

Date DateTime::date() const { return Date(floor<days>(value)); }

namespace {
hh_mm_ss<seconds> TimeOfDay(const DateTime& dt) {
  return hh_mm_ss<seconds>(dt.value - floor<days>(dt.value));
}
}  // namespace

int DateTime::hour() const { return static_cast<int>(TimeOfDay(*this).hours().count()); }
int DateTime::minute() const { return static_cast<int>(TimeOfDay(*this).minutes().count()); }
int DateTime::second() const { return static_cast<int>(TimeOfDay(*this).seconds().count()); }

Date MakeDate(int y, unsigned m, unsigned d) { return Date{year{y}, month{m}, day{d}}; }

DateTime ZeroDateTime() { return DateTime::Make(1899, 12, 30); }

namespace {
void AppendNumber(std::string& out, long value, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*ld", width, value);
  std::string s(buf);
  if (static_cast<int>(s.size()) > width) s = s.substr(s.size() - width);
  out += s;
}
}  // namespace

std::string FormatDateTime(const DateTime& dt, std::string_view p) {
  const Date d = dt.date();
  const long y = static_cast<int>(d.year());
  std::string out;
  bool after_hour = false;
  for (std::size_t i = 0; i < p.size();) {
    auto at = [&](std::string_view tok) { return p.substr(i, tok.size()) == tok; };
    if (at("yyyy")) {
      AppendNumber(out, y, 4); i += 4; after_hour = false;
    } else if (at("yy")) {
      AppendNumber(out, y % 100, 2); i += 2; after_hour = false;
    } else if (at("dd")) {
      AppendNumber(out, static_cast<unsigned>(d.day()), 2); i += 2; after_hour = false;
    } else if (at("mm")) {
      AppendNumber(out, after_hour ? dt.minute() : static_cast<long>(static_cast<unsigned>(d.month())), 2);
      i += 2; after_hour = false;
    } else if (at("hh")) {
      AppendNumber(out, dt.hour(), 2); i += 2; after_hour = true;
    } else if (at("nn")) {
      AppendNumber(out, dt.minute(), 2); i += 2; after_hour = false;
    } else if (at("ss")) {
      AppendNumber(out, dt.second(), 2); i += 2; after_hour = false;
    } else {
      out.push_back(p[i]);
      if (p[i] != ':') after_hour = false;
      ++i;
    }
  }
  return out;
}

std::string FormatDate(const Date& d, std::string_view pattern) {
  return FormatDateTime(DateTime::FromDate(d), pattern);
}

std::optional<Date> ParseDate(std::string_view t) {
  int y = 0;
  unsigned m = 0, d = 0;
  if (t.size() != 10 || t[4] != '-' || t[7] != '-') return std::nullopt;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (t[i] < '0' || t[i] > '9') return std::nullopt;
  y = (t[0] - '0') * 1000 + (t[1] - '0') * 100 + (t[2] - '0') * 10 + (t[3] - '0');
  m = static_cast<unsigned>((t[5] - '0') * 10 + (t[6] - '0'));
  d = static_cast<unsigned>((t[8] - '0') * 10 + (t[9] - '0'));
  Date date = MakeDate(y, m, d);
  if (!date.ok()) return std::nullopt;
  return date;
}

std::optional<DateTime> ParseDateTime(std::string_view t) {
  auto date = ParseDate(t.substr(0, 10));
  if (!date) return std::nullopt;
  if (t.size() == 10) return DateTime::FromDate(*date);
  if (t.size() != 19 || (t[10] != 'T' && t[10] != ' ') || t[13] != ':' || t[16] != ':') return std::nullopt;
  int v[3];
  for (int k = 0; k < 3; ++k) {
    char a = t[11 + 3 * k], b = t[12 + 3 * k];
    if (a < '0' || a > '9' || b < '0' || b > '9') return std::nullopt;
    v[k] = (a - '0') * 10 + (b - '0');
  }
  if (v[0] > 23 || v[1] > 59 || v[2] > 59) return std::nullopt;
  return DateTime{sys_seconds(sys_days(*date)) + hours(v[0]) + minutes(v[1]) + seconds(v[2])};
}

std::string IsoDate(const Date& d) { return FormatDate(d, "yyyy-mm-dd"); }
std::string IsoDateTime(const DateTime& dt) { return FormatDateTime(dt, "yyyy-mm-ddThh:nn:ss"); }

int DaysBetween(const Date& a, const Date& b) {
  return static_cast<int>((sys_days(b) - sys_days(a)).count());
}

Date AddDays(const Date& d, int n) { return Date(sys_days(d) + days(n)); }

}  // namespace pag
