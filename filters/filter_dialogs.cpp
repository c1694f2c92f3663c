#include "filters/filter_dialogs.h"

#include "host/errors.h"

namespace pag {

namespace {

// A user pressing confirm at once; a refused confirmation leaves the user
// nothing to change, so the dialog is cancelled.
void ConfirmOrCancel(TfrmFiltroPadrao& dialog) {
  try {
    dialog.sbtConfirmaClick();
  } catch (const Abort&) {
    dialog.sbtCancelClick();
  }
}

}  // namespace

void ConfirmingFilterView::ShowModal(TfrmFiltroBoletoCNAB& dialog) { ConfirmOrCancel(dialog); }
void ConfirmingFilterView::ShowModal(TfrmFiltroRemessaCNAB& dialog) { ConfirmOrCancel(dialog); }

void CallbackFilterView::ShowModal(TfrmFiltroBoletoCNAB& dialog) {
  ++shown;
  if (slips) {
    slips(dialog);
  } else {
    ConfirmOrCancel(dialog);
  }
}

void CallbackFilterView::ShowModal(TfrmFiltroRemessaCNAB& dialog) {
  ++shown;
  if (remittances) {
    remittances(dialog);
  } else {
    ConfirmOrCancel(dialog);
  }
}

FilterDialogs::FilterDialogs(FilterHost host) : host_(std::move(host)) {
  if (!host_.units) host_.units = std::make_shared<FilterUnits>();
}

FilterDialogs::~FilterDialogs() = default;

bool FilterDialogs::CriaFiltroBoletoCNAB(const std::string& mode) {
  if (!boleto_) {
    auto dialog = std::make_unique<TfrmFiltroBoletoCNAB>(host_, host_.units->boleto);
    dialog->FormCreate();  // a failure here leaves no dialog behind
    boleto_ = std::move(dialog);
  }
  if (mode == kModoBotaoFiltro) return boleto_->ShowModal() == kMrOk;
  if (mode == kModoEscondeFiltro) {
    boleto_->RunHidden();
    return true;
  }
  return false;
}

bool FilterDialogs::CriaFiltroRemessaCNAB(const std::string& mode) {
  if (!remessa_) {
    auto dialog = std::make_unique<TfrmFiltroRemessaCNAB>(host_, host_.units->remessa);
    dialog->FormCreate();
    remessa_ = std::move(dialog);
  }
  if (mode == kModoBotaoFiltro) return remessa_->ShowModal() == kMrOk;
  if (mode == kModoEscondeFiltro) {
    remessa_->FormActivate();
    remessa_->sbtConfirmaClick();
    return true;
  }
  return false;
}

void FilterDialogs::Free() {
  boleto_.reset();
  remessa_.reset();
}

}  // namespace pag
