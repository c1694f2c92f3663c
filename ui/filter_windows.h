// The two filter dialogs on the desktop: QtFilterView shows the remittance
// filter (Cli_pag00101, two pages) and the slip filter (Cli_pag00102) as
// modal Qt dialogs bound to the headless dialogs. Each widget carries the
// name of the control it shows ("depDtIniVen", "rbtListForn", ...); typing
// and clicking set the control or call its handler, leaving an edit runs its
// exit handler, keys typed into the edits that filter keys go through their
// key-press handler first; after each of them the widgets show the dialog's
// state again. A refused check (its message already shown) brings its page
// forward and focuses its control; the dialog stays open until the logic
// closes it (confirm or cancel).
//
//   QtFilterView view(&dialogs, &window);
//   InstallFilterDialogs(screen, {.view = &view});
//   screen.sbtFiltroClick();    // the slip or the remittance filter, shown modally
#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "filters/Cli_pag00101.h"
#include "filters/Cli_pag00102.h"
#include "filters/filter_host.h"

class QLineEdit;
class QRadioButton;
class QToolButton;
class QCheckBox;
class QGroupBox;
class QTabWidget;
class QAction;
class QLayout;

namespace pag::ui {

class QtDialogs;

// What both filter dialogs share: the toolbar (Confirmar, Cancelar,
// Desfazer, Salvar Opções, Carregar Opções), the bindings of the controls,
// and forwarding with refresh and focus.
class FilterWindow : public QDialog {
  Q_OBJECT

 public:
  // `limpa` is the dialog's "Desfazer" (each dialog has its own).
  FilterWindow(TfrmFiltroPadrao& dialog, std::function<void()> limpa, QWidget* parent);
  ~FilterWindow() override;

  // The widgets show the dialog's controls again.
  virtual void Refresh();
  // Runs a handler of the dialog: a refusal (its message shown) leaves the
  // dialog open, focused on the refused control; any other error is shown.
  // The window closes when the handler closed the dialog.
  void Run(const std::function<void()>& handler);
  QAction* action(const char* name) const;

  void reject() override;

 protected:
  QLineEdit* Mask(const char* name, MaskEdit& edit, int chars, std::function<void()> exit = {},
                  std::function<void(char&)> key = {});
  QLineEdit* Number(const char* name, NumberEdit& edit, std::function<void(char&)> key);
  QLineEdit* Date(const char* name, DateEdit& edit, std::function<void()> change, std::function<void()> exit);
  QLineEdit* ReadOnly(const char* name, const pag::Label& label, int chars);
  QRadioButton* Radio(const char* name, const char* caption, RadioButton& radio, std::function<void()> click);
  QToolButton* Lookup(const char* name, Button& button, std::function<void()> click);
  QCheckBox* Check(const char* name, const char* caption, CheckBox& box);
  QGroupBox* Choice(const char* name, const char* caption, RadioGroup& group, int columns);
  // A group box with a row of widgets.
  static QGroupBox* Group(const char* caption, const std::vector<QWidget*>& widgets, QWidget* parent);
  QWidget* Caption(const char* text);

  // Where the toolbar and the controls go.
  QLayout* body() const { return body_; }
  void FocusActiveControl();
  virtual void ShowPageOf(QWidget*) {}

 private:
  void OnFocusChanged(QWidget* old, QWidget* now);
  void AddAction(const char* name, const QString& text, const QKeySequence& keys, std::function<void()> handler);

  TfrmFiltroPadrao& dialog_;
  QLayout* body_;
  std::vector<std::function<void()>> refreshers_;
  std::map<QWidget*, std::function<void()>> exits_;
  bool running_ = false;
  bool focusing_ = false;
};

// The remittance filter, "Filtro de Remessas".
class RemessaFilterWindow : public FilterWindow {
  Q_OBJECT

 public:
  RemessaFilterWindow(TfrmFiltroRemessaCNAB& dialog, QWidget* parent);
  ~RemessaFilterWindow() override;
  void Refresh() override;

 protected:
  void ShowPageOf(QWidget* widget) override;

 private:
  TfrmFiltroRemessaCNAB& f_;
  QTabWidget* pages_;
};

// The slip filter, "Filtro de Boletos a Enviar".
class BoletoFilterWindow : public FilterWindow {
  Q_OBJECT

 public:
  BoletoFilterWindow(TfrmFiltroBoletoCNAB& dialog, QWidget* parent);
};

// The FilterView of the desktop.
class QtFilterView : public FilterView {
 public:
  // `dialogs` gives the test hook (onShown) that every dialog goes through;
  // `parent` is the window the dialogs are modal over.
  explicit QtFilterView(QtDialogs* dialogs = nullptr, QWidget* parent = nullptr) : dialogs_(dialogs), parent_(parent) {}
  void ShowModal(TfrmFiltroBoletoCNAB& dialog) override;
  void ShowModal(TfrmFiltroRemessaCNAB& dialog) override;
  void SetParent(QWidget* parent) { parent_ = parent; }

 private:
  void Exec(FilterWindow& window);

  QtDialogs* dialogs_;
  QPointer<QWidget> parent_;
};

}  // namespace pag::ui
