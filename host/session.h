// The host session: who is logged in, where, on which day, and the clock.
// The clock can be fixed so that files are reproducible.
//
//   Session s;
//   s.empresa = "01"; s.filial = "0001"; s.operador = "ANA";
//   s.clock.Fix(DateTime::Make(2026, 12, 6, 14, 30, 0));
//   s.DataProc("0001");   // 2026-12-06 unless the branch has its own date
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "host/datetime.h"

namespace pag {

class Clock {
 public:
  // Local time of the machine, or the fixed time.
  DateTime Now() const;
  Date Today() const { return Now().date(); }
  void Fix(const DateTime& t) { fixed_ = t; }
  void Unfix() { fixed_.reset(); }
  bool IsFixed() const { return fixed_.has_value(); }

 private:
  std::optional<DateTime> fixed_;
};

struct Session {
  std::string empresa;        // EmprProc
  std::string filial;         // FiliProc
  std::string operador;       // Operador
  std::string nome_operador;  // NomeOperador
  std::string report_dir;     // ReportDir
  std::string web_url = "localhost";
  int web_port = 211;
  // Processing date of each branch; a branch without one uses the clock's day.
  std::map<std::string, Date> processing_dates;
  // Whether an operator may use a company; everyone may when unset.
  std::function<bool(const std::string& company, const std::string& operator_code)> operator_access;
  Clock clock;

  const std::string& EmprProc() const { return empresa; }
  const std::string& FiliProc() const { return filial; }
  Date DataProc(const std::string& branch) const;
  const std::string& Operador() const { return operador; }
  const std::string& NomeOperador() const { return nome_operador; }
  const std::string& ReportDir() const { return report_dir; }
  const std::string& WebURL() const { return web_url; }
  int WebPort() const { return web_port; }
  bool AcessoOperEmpresa(const std::string& company, const std::string& operator_code) const;
};

}  // namespace pag
