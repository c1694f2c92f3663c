#include "filters/screen_filters.h"

#include "filters/Cli_pag00101.h"
#include "filters/Cli_pag00102.h"
#include "filters/filter_dialogs.h"

namespace pag {
namespace {

FilterHost HostOf(TfrmRemessaCNAB& screen, const FilterSetup& setup) {
  return FilterHost{.data = screen.d,
                    .medCdEmpresa = [&screen] { return screen.medCdEmpresa.text; },
                    .net = screen.net(),
                    .local = screen.localdb(),
                    .session = screen.session(),
                    .dialogs = screen.dialogs(),
                    .view = setup.view,
                    .options_folder = setup.options_folder,
                    .units = setup.units};
}

class SlipFilterAdapter : public SlipFilterPort {
 public:
  explicit SlipFilterAdapter(FilterHost host) : dialogs_(std::move(host)) {}
  bool Run(const std::string& mode) override { return dialogs_.CriaFiltroBoletoCNAB(mode); }
  std::vector<Arg> BoletosCriteria() override {
    dialogs_.CriaFiltroBoletoCNAB("");  // created when needed, nothing shown
    return dialogs_.frmFiltroBoletoCNAB()->BoletosCriteria();
  }

 private:
  FilterDialogs dialogs_;
};

class RemittanceFilterAdapter : public RemittanceFilterPort {
 public:
  explicit RemittanceFilterAdapter(FilterHost host) : dialogs_(std::move(host)) {}
  bool Run(const std::string& mode) override { return dialogs_.CriaFiltroRemessaCNAB(mode); }

 private:
  FilterDialogs dialogs_;
};

}  // namespace

void InstallFilterDialogs(TfrmRemessaCNAB& screen, FilterSetup setup) {
  if (!setup.units) setup.units = std::make_shared<FilterUnits>();
  screen.SetSlipFilterFactory([setup](TfrmRemessaCNAB& s) -> std::unique_ptr<SlipFilterPort> {
    return std::make_unique<SlipFilterAdapter>(HostOf(s, setup));
  });
  screen.SetRemittanceFilterFactory([setup](TfrmRemessaCNAB& s) -> std::unique_ptr<RemittanceFilterPort> {
    return std::make_unique<RemittanceFilterAdapter>(HostOf(s, setup));
  });
}

}  // namespace pag
