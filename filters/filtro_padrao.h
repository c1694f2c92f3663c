// TfrmFiltroPadrao: what both filter dialogs share. The window state
// (shown, modal result, focused control), creation, cancelling, showing
// modally through a FilterView, the date edits' own check, stopping an
// action with a message key, and the saving and loading of the dialog's
// options for the operator.
//
//   dlg.btfSaveOpcClick();   // every control and picked list, under the dialog's screen code
//   ...
//   dlg.btfLoadOpcClick();   // back again; a damaged file is ignored with a message
#pragma once

#include <string>
#include <string_view>

#include "filters/controls.h"
#include "filters/filter_host.h"
#include "filters/saved_options.h"
#include "host/messages.h"

namespace pag {

// A criterion of a filter record on a list of keys: Todos (no
// restriction) or the keys picked with PesquisaLista.
struct TTodosLista {
  bool Todos = true;
  std::string Lista;
  friend bool operator==(const TTodosLista&, const TTodosLista&) = default;
};

// The base dialog's own texts (saved options, the date edits' check).
const TMessages& FiltroPadraoMessages();

class TfrmFiltroPadrao {
 public:
  TfrmFiltroPadrao(FilterHost& host, std::string screen_code, std::string caption, const TMessages& messages);
  virtual ~TfrmFiltroPadrao() = default;
  TfrmFiltroPadrao(const TfrmFiltroPadrao&) = delete;
  TfrmFiltroPadrao& operator=(const TfrmFiltroPadrao&) = delete;

  const std::string& ScreenCode() const { return screen_code_; }  // "PAG00101", "PAG00102"
  const std::string& Caption() const { return caption_; }
  // The dialog's message table.
  const TMessages& msgPadrao;
  std::string Msg(std::string_view key) const { return msgPadrao.Msg(key); }

  // ---- Window state ----
  bool Visible = false;
  int ModalResult = 0;        // kMrOk, kMrCancel, or 0 while open
  std::string ActiveControl;  // name of the control with the focus

  // Closing only hides: the dialog keeps its state for the next showing.
  void Close() { Visible = false; }
  // Activates the dialog, shows it through the host's view and gives back
  // its modal result (kMrCancel unless it was confirmed).
  int ShowModal();

  // ---- Handlers ----
  virtual void FormCreate();
  virtual void FormActivate() {}
  virtual void sbtConfirmaClick() = 0;
  // Closes with kMrCancel.
  virtual void sbtCancelClick();
  // Writes the controls into the option list and saves the list for the
  // operator. A file that cannot be written is reported, nothing more.
  virtual void btfSaveOpcClick();
  // Reads the operator's saved list into the option list and the controls.
  // A damaged or foreign file (or a damaged entry) is ignored with a message
  // and changes nothing; the option list is then empty.
  virtual void btfLoadOpcClick();

  // The base dialog's option list: name=value entries.
  OptionList Opcoes;

  FilterHost& Host() const { return host_; }
  OptionsFile Options() const;

 protected:
  // The controls as entries of the option list.
  virtual void SaveControls(OptionList& options) const = 0;
  // Applies saved entries to the controls, all or nothing: false, with no
  // control changed, when an entry does not fit its control. Entries that
  // are missing leave their control as it is.
  virtual bool LoadControls(const OptionList& options) = 0;
  // Hands the dialog, as its own type, to the view.
  virtual void RunView(FilterView& view) = 0;

  // Focuses the control, shows the key's text and ends the action (Abort).
  [[noreturn]] void Falha(std::string_view key, std::string_view control);
  // The date edit's own check: a filled edit must hold a real date.
  void VdDataValida(const DateEdit& edit, std::string_view control);

  // Helpers for SaveControls / LoadControls.
  static std::string Flag(bool b) { return b ? "S" : "N"; }
  // Reads "S"/"N"; false when present and anything else.
  static bool ReadFlag(const OptionList& o, std::string_view name, bool& out);
  // Reads an index in [0, count).
  static bool ReadIndex(const OptionList& o, std::string_view name, int count, int& out);

  FilterHost& host_;

 private:
  std::string screen_code_;
  std::string caption_;
};

}  // namespace pag
