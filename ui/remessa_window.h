// RemessaWindow: the remittance screen (TfrmRemessaCNAB) on the desktop.
// The toolbar and the menu, the company panel, the three pages ("Remessas",
// the "Formulário" of the remittance, "Boletos" with the slip grid, the count
// and total under it and the payables grid dbgConta) and the status panel.
// Every click, key, page change and focus change is handed to the screen's
// handler of the same name; after each the window shows the screen's state
// again: texts, choices, enabled and visible controls, page and focus.
// Widgets and actions carry the names of the screen's controls
// ("dbeCdReduCont", "dbgBoletos", "sbtConfirmar", "mnuFiltro", ...).
//
//   TfrmRemessaCNAB screen(session, dialogs, net, local);
//   RemessaWindow window(screen, {.dialogs = &dialogs});
//   screen.FormCreate();
//   window.show();            // the clerk works; closing the window closes the screen
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>
#include <string>

#include "filters/filter_dialogs.h"
#include "remittance/Cli_pag00100.h"
#include "ui/data_grid.h"
#include "ui/filter_windows.h"

class QAction;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTabWidget;
class QToolButton;

namespace pag::ui {

class QtDialogs;

class RemessaWindow : public QMainWindow {
  Q_OBJECT

 public:
  struct Options {
    // The dialogs the screen talks through, when they are the Qt ones: the
    // window then shows their busy animation and the confirmation's gauge.
    QtDialogs* dialogs = nullptr;
    // Show the filter dialogs as Qt dialogs (installs them on the screen,
    // with these lasting variables; nullptr: a set of this window's own).
    bool filter_dialogs = true;
    std::shared_ptr<FilterUnits> filter_units;
    // The printer of the payment list; nullptr: the print action stays off.
    ReportPrinter* printer = nullptr;
  };

  RemessaWindow(TfrmRemessaCNAB& screen, Options options, QWidget* parent = nullptr);
  ~RemessaWindow() override;

  TfrmRemessaCNAB& screen() const { return s_; }
  // Shows the screen's state.
  void Refresh();

  // By the screen's names, for the host and tests.
  DataGrid* grid(const char* name) const;
  QAction* action(const char* name) const;
  QTabWidget* pages() const { return pages_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  template <typename F>
  bool Run(F&& handler);
  void Build();
  QWidget* BuildCompanyPanel();
  QWidget* BuildListPage();
  QWidget* BuildDetailPage();
  QWidget* BuildSlipsPage();
  QWidget* BuildStatusPanel();
  void BuildActions();
  QLineEdit* Display(const char* name, int chars, bool right = false);
  QToolButton* LookupButton(const char* name, void (TfrmRemessaCNAB::*handler)());
  void OnFocusChanged(QWidget* old, QWidget* now);
  std::string ControlOf(QWidget* widget) const;
  void ShowBusy(bool busy);
  void ShowProgress();

  TfrmRemessaCNAB& s_;
  Options options_;
  std::unique_ptr<QtFilterView> filter_view_;
  bool running_ = false;
  bool refreshing_ = false;

  QTabWidget* pages_ = nullptr;
  QWidget* panFiltro_ = nullptr;
  QLineEdit* medCdEmpresa_ = nullptr;
  QLineEdit* edtNmEmpresa_ = nullptr;
  QComboBox* dbcTpMov_ = nullptr;
  QComboBox* dbcTpRemessa_ = nullptr;
  QComboBox* dbcAgendamento_ = nullptr;
  QLineEdit* dbeCdReduCont_ = nullptr;
  QLineEdit* dbeCdFilial_ = nullptr;
  QLineEdit* dbeArquivo_ = nullptr;
  QLineEdit* DtRemPag_ = nullptr;
  QFormLayout* form_ = nullptr;
  QWidget* panStatus_ = nullptr;
  QLabel* statusText_ = nullptr;
  QProgressBar* gauge_ = nullptr;
  QProgressBar* busy_ = nullptr;
  // Read-only boxes of the detail page and under the slip grid, by name.
  std::map<std::string, QLineEdit*> displays_;
  // The controls that take the focus, by the screen's names.
  std::map<QWidget*, std::string> focusNames_;
};

}  // namespace pag::ui
