// The remittance screen's two filter dialogs and their creators. One
// FilterDialogs belongs to one screen: each dialog is created on its first
// use, only hidden when closed, and freed with the screen (Free, from the
// screen's FormClose), so that the next screen builds them again.
//
//   FilterDialogs filters(host);
//   filters.CriaFiltroRemessaCNAB("ESCONDE_FILTRO");        // list the company's remittances
//   if (filters.CriaFiltroBoletoCNAB("BOTAO_FILTRO")) ...    // the user confirmed new slip criteria
//   if (auto* f = filters.frmFiltroBoletoCNAB())             // MostraBoletos, while inserting or editing
//     data.cdsBoletos.LoadPacket(net.CallPacket("GetBoletos", f->BoletosCriteria()));
#pragma once

#include <memory>
#include <string>

#include "filters/Cli_pag00101.h"
#include "filters/Cli_pag00102.h"
#include "filters/filter_host.h"

namespace pag {

// The two units' own variables; see FilterHost::units.
struct FilterUnits {
  FiltroRemessaUnit remessa;
  FiltroBoletoUnit boleto;
};

class FilterDialogs {
 public:
  explicit FilterDialogs(FilterHost host);
  ~FilterDialogs();
  FilterDialogs(const FilterDialogs&) = delete;
  FilterDialogs& operator=(const FilterDialogs&) = delete;

  // Creates the slip filter when needed (FormCreate asks the server for the
  // settings and branch parameters), then, by mode:
  //   "BOTAO_FILTRO"   shows it modally; true when the user confirmed
  //                    (cdsBoletos reloaded), false when cancelled;
  //   "ESCONDE_FILTRO" re-runs the kept criteria without showing it (checks
  //                    included: a refusal shows its key and throws Abort),
  //                    then sets the count and total under the slip grid;
  //                    true;
  //   anything else    nothing more; false.
  // Server errors are thrown (ServerError).
  bool CriaFiltroBoletoCNAB(const std::string& mode);
  // The same for the remittance filter, which loads cdsCNABPag.
  bool CriaFiltroRemessaCNAB(const std::string& mode);

  // The dialogs, or nullptr while not created.
  TfrmFiltroBoletoCNAB* frmFiltroBoletoCNAB() { return boleto_.get(); }
  TfrmFiltroRemessaCNAB* frmFiltroRemessaCNAB() { return remessa_.get(); }

  // Frees both dialogs (the screen closing); the units' variables stay.
  void Free();

  FilterHost& Host() { return host_; }
  FilterUnits& Units() { return *host_.units; }

 private:
  FilterHost host_;
  std::unique_ptr<TfrmFiltroBoletoCNAB> boleto_;
  std::unique_ptr<TfrmFiltroRemessaCNAB> remessa_;
};

}  // namespace pag
