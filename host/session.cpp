#include "host/session.h"

#include <ctime>

namespace pag {

DateTime Clock::Now() const {
  if (fixed_) return *fixed_;
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return DateTime::Make(tm.tm_year + 1900, static_cast<unsigned>(tm.tm_mon + 1), static_cast<unsigned>(tm.tm_mday),
                        tm.tm_hour, tm.tm_min, tm.tm_sec);
}

Date Session::DataProc(const std::string& branch) const {
  auto it = processing_dates.find(branch);
  return it != processing_dates.end() ? it->second : clock.Today();
}

bool Session::AcessoOperEmpresa(const std::string& company, const std::string& operator_code) const {
  return !operator_access || operator_access(company, operator_code);
}

}  // namespace pag
