// Dates and times of the module, and the one place that formats them.
//
//   Date d = MakeDate(2026, 12, 6);
//   FormatDate(d, "ddmmyyyy");                // "06122026"
//   FormatDateTime(dt, "hhmmss");             // "143005"
//   ParseDate("2026-12-06");                  // ISO in, Date out
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace pag {

using Date = std::chrono::year_month_day;

// A date and time to the second, with no time zone (the host's local time).
struct DateTime {
  std::chrono::sys_seconds value{};

  static DateTime FromDate(const Date& d);
  static DateTime Make(int y, unsigned mo, unsigned d, int h = 0, int mi = 0, int s = 0);
  Date date() const;
  int hour() const;
  int minute() const;
  int second() const;
  friend auto operator<=>(const DateTime&, const DateTime&) = default;
};

Date MakeDate(int y, unsigned m, unsigned d);

// The host's zero date, 30/12/1899, which an empty date field reads as.
DateTime ZeroDateTime();

// Formats with a pattern made of "dd", "mm", "yyyy", "yy", "hh", "nn" (minutes),
// "ss" and literal characters; "mm" right after "hh" or "hh:" means minutes.
// The layouts use "ddmmyyyy", "yyyymmdd", "ddmmyy" and "hhmmss".
std::string FormatDateTime(const DateTime& dt, std::string_view pattern);
std::string FormatDate(const Date& d, std::string_view pattern);

// "YYYY-MM-DD"; nullopt when the text is not a valid date.
std::optional<Date> ParseDate(std::string_view text);
// "YYYY-MM-DDTHH:MM:SS" or "YYYY-MM-DD HH:MM:SS" or a date alone.
std::optional<DateTime> ParseDateTime(std::string_view text);
// ISO text of a date ("2026-12-06") and of a date-time ("2026-12-06T14:30:05").
std::string IsoDate(const Date& d);
std::string IsoDateTime(const DateTime& dt);

// Days from a to b (b - a).
int DaysBetween(const Date& a, const Date& b);
Date AddDays(const Date& d, int days);

}  // namespace pag
