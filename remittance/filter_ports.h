// How the remittance screen reaches its two filter dialogs: the slip filter
// (which slips to offer) and the remittance filter (which remittances to
// list). The screen creates each on first use through a factory, keeps it
// while it is open and frees it when it closes.
//
//   screen.SetSlipFilterFactory([](TfrmRemessaCNAB& s) { return std::make_unique<MySlipFilter>(s); });
//   screen.FiltroBoleto().Run("ESCONDE_FILTRO");   // re-run the last criteria silently
//
// Until the dialogs exist, DefaultSlipFilter and DefaultRemittanceFilter
// stand in: no criteria at all, never shown.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/connection.h"

namespace pag {

class TfrmRemessaCNAB;

inline constexpr const char* kBotaoFiltro = "BOTAO_FILTRO";      // the user pressed the filter button
inline constexpr const char* kEscondeFiltro = "ESCONDE_FILTRO";  // run the kept criteria without showing

class SlipFilterPort {
 public:
  virtual ~SlipFilterPort() = default;
  // Runs the filter in a mode. When the criteria are confirmed it loads the
  // screen's cdsBoletos with GetBoletos and returns true; false when the
  // user cancelled (nothing loaded).
  virtual bool Run(const std::string& mode) = 0;
  // The 31 GetBoletos arguments of the criteria the filter keeps.
  virtual std::vector<Arg> BoletosCriteria() = 0;
};

class RemittanceFilterPort {
 public:
  virtual ~RemittanceFilterPort() = default;
  // Runs the filter in a mode. When confirmed it loads the screen's
  // cdsCNABPag with GetCNABPag and returns true.
  virtual bool Run(const std::string& mode) = 0;
};

// No criteria: the slips of the remittance's account that are not in a
// remittance (or, browsing, those of the remittance), every other criterion
// at "all".
class DefaultSlipFilter : public SlipFilterPort {
 public:
  explicit DefaultSlipFilter(TfrmRemessaCNAB& screen) : screen_(screen) {}
  bool Run(const std::string& mode) override;
  std::vector<Arg> BoletosCriteria() override;

 private:
  TfrmRemessaCNAB& screen_;
};

// Every remittance of the company typed on the screen.
class DefaultRemittanceFilter : public RemittanceFilterPort {
 public:
  explicit DefaultRemittanceFilter(TfrmRemessaCNAB& screen) : screen_(screen) {}
  bool Run(const std::string& mode) override;

 private:
  TfrmRemessaCNAB& screen_;
};

// The 27 GetCNABPag arguments with every criterion at "all".
std::vector<Arg> AllRemittancesCriteria(const std::string& company);

}  // namespace pag
