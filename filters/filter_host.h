// What the two filter dialogs need from the remittance screen, and how they
// are shown to the user.
//
// The screen fills one FilterHost and hands it to FilterDialogs, which
// creates each dialog on first use:
//
//   FilterHost host{.data = data,
//                   .medCdEmpresa = [this] { return medCdEmpresa.Text(); },
//                   .net = netRemessaCNAB, .local = localDb, .session = session, .dialogs = dialogs,
//                   .view = &qtFilterView};
//   FilterDialogs filters(host);
//   if (filters.CriaFiltroBoletoCNAB("BOTAO_FILTRO")) ...   // the user confirmed: cdsBoletos reloaded
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "host/connection.h"
#include "host/dialogs.h"
#include "host/localdb.h"
#include "host/session.h"
#include "remittance/model/remessa_data.h"

namespace pag {

class TfrmFiltroBoletoCNAB;
class TfrmFiltroRemessaCNAB;
struct FilterUnits;

// Modes of CriaFiltroBoletoCNAB / CriaFiltroRemessaCNAB, and the slip
// filter's silent state.
inline constexpr const char* kModoBotaoFiltro = "BOTAO_FILTRO";      // show the dialog modally
inline constexpr const char* kModoEscondeFiltro = "ESCONDE_FILTRO";  // re-run the kept criteria unseen
inline constexpr const char* kModoEscondido = "ESCONDIDO";           // stModo after the first silent run

// Shows a filter dialog modally. The dialog has been activated (its controls
// show the kept criteria) when ShowModal is called; the view lets the user
// change the controls and forwards every action to the dialog's handlers,
// and returns once the dialog has closed: sbtConfirmaClick closes it with
// ModalResult kMrOk, sbtCancelClick with kMrCancel, and closing the window
// in any other way counts as a cancel. A handler's Abort (a refused check,
// its message already shown) leaves the dialog open.
//
// The desktop implements it with Qt dialogs, tests with scripts; without a
// view, ConfirmingFilterView stands in.
class FilterView {
 public:
  virtual ~FilterView() = default;
  virtual void ShowModal(TfrmFiltroBoletoCNAB& dialog) = 0;
  virtual void ShowModal(TfrmFiltroRemessaCNAB& dialog) = 0;
};

// Confirms the dialog as it shows itself, as a user pressing the confirm
// button at once. When the confirmation is refused (its message is shown),
// it cancels.
class ConfirmingFilterView : public FilterView {
 public:
  void ShowModal(TfrmFiltroBoletoCNAB& dialog) override;
  void ShowModal(TfrmFiltroRemessaCNAB& dialog) override;
};

// A view made of two functions, for the command line and tests. An unset
// function confirms, as ConfirmingFilterView.
class CallbackFilterView : public FilterView {
 public:
  std::function<void(TfrmFiltroBoletoCNAB&)> slips;
  std::function<void(TfrmFiltroRemessaCNAB&)> remittances;
  int shown = 0;  // how many times a dialog was shown

  void ShowModal(TfrmFiltroBoletoCNAB& dialog) override;
  void ShowModal(TfrmFiltroRemessaCNAB& dialog) override;
};

// Everything the filter dialogs take from the remittance screen. The
// references must outlive the dialogs (the screen owns all of them).
struct FilterHost {
  // The screen's datasets: the dialogs load cdsCNABPag, cdsBoletos,
  // cdsGeralPag, cdsParamFilial, cdsFormaPag and cdsTotRemessa, empty
  // cdsBolCnab and cdsCntPagar, and set nedQuant, nedTotal and inQtBol.
  // Whether the screen is browsing, inserting or editing a remittance is the
  // state of data.cdsCNABPag; the current remittance is its current row.
  RemessaData& data;
  // The company code typed on the screen (medCdEmpresa), read at each request.
  std::function<std::string()> medCdEmpresa;
  TNetConnection& net;   // the screen's connection (netRemessaCNAB)
  LocalDatabase& local;  // the host's local queries (lookups)
  const Session& session;
  Dialogs& dialogs;
  // How a dialog is shown; nullptr: ConfirmingFilterView.
  FilterView* view = nullptr;
  // Where saved options are kept; empty: OptionsFile::DefaultFolder().
  std::filesystem::path options_folder;
  // The units' own variables (picked lists, stModo), which live as long as
  // the module rather than the screen. The package passes one object for the
  // module's life; nullptr: FilterDialogs keeps its own.
  std::shared_ptr<FilterUnits> units;
};

}  // namespace pag
