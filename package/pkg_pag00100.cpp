// The module's entries: the unit start-up and shutdown steps, and the one
// remittance screen of the module.
#include "package/pkg_pag00100.h"

#include <memory>
#include <stdexcept>
#include <string>

#include "host/connection.h"
#include "filters/filter_dialogs.h"
#include "filters/screen_filters.h"
#include "remittance/Cli_pag00100.h"

namespace {

using pag::TfrmRemessaCNAB;

PagHostServices services{};
bool haveServices = false;

// Unit Cli_pag00100: the screen and whether it exists.
std::unique_ptr<TfrmRemessaCNAB> frmRemessaCNAB;
// The filter dialogs' lasting variables (picked lists, stModo) live as long
// as the package, across screens.
std::shared_ptr<pag::FilterUnits> filterUnits = std::make_shared<pag::FilterUnits>();
bool boIdCriado = false;
int screensBuilt = 0;  // how many screens this load has built (the host's view of "a fresh screen")

// Start-up and shutdown of a unit: a counter keeps them from running twice.
struct UnitCounter {
  int count = 0;
  // True the first time the counter passes below zero.
  bool StartUp() { return --count == -1; }
  // True when it comes back to zero.
  bool ShutDown() { return ++count == 0; }
};
UnitCounter unitRemessa;        // Cli_pag00100
UnitCounter unitFiltroRemessa;  // Cli_pag00101
UnitCounter unitFiltroBoleto;   // Cli_pag00102

std::string state;

TfrmRemessaCNAB& OpenScreen() {
  if (!boIdCriado || !frmRemessaCNAB) throw std::logic_error("the remittance screen is not open");
  return *frmRemessaCNAB;
}

}  // namespace

extern "C" {

void Initialize(const PagHostServices* given) {
  if (!given || given->version != PAG_HOST_SERVICES_VERSION || !given->session || !given->dialogs || !given->net ||
      !given->localdb)
    throw std::invalid_argument("Pkg_Pag00100: Initialize needs the host services of version " +
                                std::to_string(PAG_HOST_SERVICES_VERSION));
  if (boIdCriado) throw std::logic_error("Pkg_Pag00100: the remittance screen is open");
  services = *given;
  haveServices = true;
  if (unitRemessa.StartUp()) {
    frmRemessaCNAB.reset();
    boIdCriado = false;
  }
  unitFiltroRemessa.StartUp();  // the filter dialogs live with the screen
  unitFiltroBoleto.StartUp();
}

void Finalize(void) {
  if (boIdCriado && frmRemessaCNAB) frmRemessaCNAB->FormClose();
  unitFiltroBoleto.ShutDown();
  unitFiltroRemessa.ShutDown();
  if (unitRemessa.ShutDown()) {
    frmRemessaCNAB.reset();
    boIdCriado = false;
    state.clear();
  }
  services = PagHostServices{};
  haveServices = false;
}

void IniProc(void) { CriaRemessaCNAB(); }

void CriaRemessaCNAB(void) {
  if (!boIdCriado) {
    if (!haveServices) throw std::logic_error("Pkg_Pag00100: the host services were not given (Initialize)");
    frmRemessaCNAB.reset();  // a screen closed before
    auto screen = std::make_unique<TfrmRemessaCNAB>(*services.session, *services.dialogs, *services.net,
                                                    *services.localdb);
    screen->onClose = [] { boIdCriado = false; };
    pag::InstallFilterDialogs(*screen, {.view = nullptr, .options_folder = {}, .units = filterUnits});
    screen->FormCreate();
    frmRemessaCNAB = std::move(screen);
    boIdCriado = true;
    ++screensBuilt;
  }
  frmRemessaCNAB->windowState = pag::WindowState::kNormal;
  frmRemessaCNAB->Show();
  if (services.show_screen) services.show_screen(frmRemessaCNAB.get(), services.context);
}

int CriaFiltroRemessaCNAB(const char* mode) { return OpenScreen().FiltroRemessa().Run(mode ? mode : "") ? 1 : 0; }

int CriaFiltroBoletoCNAB(const char* mode) { return OpenScreen().FiltroBoleto().Run(mode ? mode : "") ? 1 : 0; }

const PagPackageInfo* GetPackageInfoTable(void) {
  static const char* const units[] = {"Cli_pag00100", "Cli_pag00101", "Cli_pag00102", "Cli_pag00114"};
  static const char* const required[] = {"pag_host"};
  static const PagPackageInfo info{"Pkg_Pag00100", units, 4, required, 1};
  return &info;
}

int RemessaCNABCriada(void) { return boIdCriado ? 1 : 0; }

void FechaRemessaCNAB(void) {
  if (boIdCriado && frmRemessaCNAB) frmRemessaCNAB->FormClose();
}

const char* EstadoRemessaCNAB(void) {
  if (!boIdCriado || !frmRemessaCNAB) {
    state = "no screen";
    return state.c_str();
  }
  const TfrmRemessaCNAB& s = *frmRemessaCNAB;
  const pag::TDataSet& list = s.d.cdsCNABPag;
  state = "screen " + std::to_string(screensBuilt) + (s.visible ? ", shown" : ", hidden") + ", company " +
          s.medCdEmpresa.text + " " + s.edtNmEmpresa.text + ", " + std::to_string(list.RecordCount()) +
          " remittance(s) listed";
  return state.c_str();
}

}  // extern "C"
