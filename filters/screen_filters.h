// The filter dialogs plugged into the remittance screen: its two filter
// ports create the slip filter and the remittance filter on first use and
// share one set of the dialogs' lasting variables (picked lists, stModo).
//
//   InstallFilterDialogs(screen, {.view = &qtView});
//   screen.sbtFiltroClick();   // shows the slip or the remittance filter
#pragma once

#include <filesystem>
#include <memory>

#include "filters/filter_host.h"
#include "remittance/Cli_pag00100.h"

namespace pag {

struct FilterSetup {
  FilterView* view = nullptr;               // nullptr: confirm as shown
  std::filesystem::path options_folder;     // empty: the user's configuration folder
  std::shared_ptr<FilterUnits> units;       // nullptr: one set for this screen
};

void InstallFilterDialogs(TfrmRemessaCNAB& screen, FilterSetup setup = {});

}  // namespace pag
