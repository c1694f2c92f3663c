#include "filters/filtro_padrao.h"

#include "host/errors.h"
#include "host/text.h"

namespace pag {

const TMessages& FiltroPadraoMessages() {
  static const TMessages messages{
      "Data_Invalida|\"%s\" não é uma data válida.",
      "Opcoes_Ignoradas|As opções salvas do filtro foram ignoradas: %s",
      "Opcoes_NaoGravadas|As opções do filtro não foram salvas: %s",
  };
  return messages;
}

TfrmFiltroPadrao::TfrmFiltroPadrao(FilterHost& host, std::string screen_code, std::string caption,
                                   const TMessages& messages)
    : msgPadrao(messages), host_(host), screen_code_(std::move(screen_code)), caption_(std::move(caption)) {}

OptionsFile TfrmFiltroPadrao::Options() const {
  return OptionsFile(host_.options_folder.empty() ? OptionsFile::DefaultFolder() : host_.options_folder);
}

int TfrmFiltroPadrao::ShowModal() {
  // Hidden again however the showing ends, an exception included.
  struct Hide {
    TfrmFiltroPadrao& dlg;
    ~Hide() { dlg.Visible = false; }
  } hide{*this};
  ModalResult = 0;
  Visible = true;
  FormActivate();
  static ConfirmingFilterView confirming;
  RunView(host_.view ? *host_.view : confirming);
  if (ModalResult == 0) ModalResult = kMrCancel;
  return ModalResult;
}

void TfrmFiltroPadrao::FormCreate() {
  Visible = false;
  ModalResult = 0;
  ActiveControl.clear();
}

void TfrmFiltroPadrao::sbtCancelClick() {
  ModalResult = kMrCancel;
  Close();
}

void TfrmFiltroPadrao::btfSaveOpcClick() {
  SaveControls(Opcoes);
  try {
    Options().Save(host_.session.Operador(), screen_code_, Opcoes);
  } catch (const OptionsFileError& e) {
    MensErro(host_.dialogs, FiltroPadraoMessages().Format("Opcoes_NaoGravadas", {e.what()}), false);
  }
}

void TfrmFiltroPadrao::btfLoadOpcClick() {
  std::optional<OptionList> saved;
  try {
    saved = Options().Load(host_.session.Operador(), screen_code_);
  } catch (const OptionsFileError& e) {
    Opcoes.Clear();
    MensErro(host_.dialogs, FiltroPadraoMessages().Format("Opcoes_Ignoradas", {e.what()}), false);
    return;
  }
  if (!saved) {
    Opcoes.Clear();
    return;
  }
  if (!LoadControls(*saved)) {
    Opcoes.Clear();
    const std::string where = Options().PathFor(host_.session.Operador()).string() + " [" + screen_code_ + "]";
    MensErro(host_.dialogs, FiltroPadraoMessages().Format("Opcoes_Ignoradas", {where}), false);
    return;
  }
  Opcoes = std::move(*saved);
}

void TfrmFiltroPadrao::Falha(std::string_view key, std::string_view control) {
  ActiveControl = std::string(control);
  MensErro(host_.dialogs, Msg(key), true, std::string(key));
  throw Abort(std::string(key));  // not reached: MensErro with stop throws
}

void TfrmFiltroPadrao::VdDataValida(const DateEdit& edit, std::string_view control) {
  if (edit.IsValid()) return;
  ActiveControl = std::string(control);
  MensErro(host_.dialogs, FiltroPadraoMessages().Format("Data_Invalida", {edit.Text()}), true, "Data_Invalida");
}

bool TfrmFiltroPadrao::ReadFlag(const OptionList& o, std::string_view name, bool& out) {
  auto v = o.Get(name);
  if (!v) return true;
  if (*v != "S" && *v != "N") return false;
  out = *v == "S";
  return true;
}

bool TfrmFiltroPadrao::ReadIndex(const OptionList& o, std::string_view name, int count, int& out) {
  auto v = o.Get(name);
  if (!v) return true;
  if (v->size() != 1 || !IsDigits(*v)) return false;
  const int i = (*v)[0] - '0';
  if (i >= count) return false;
  out = i;
  return true;
}

}  // namespace pag
