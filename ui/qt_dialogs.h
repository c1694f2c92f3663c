// QtDialogs: the Dialogs interface with real windows. Errors, information
// and questions are message boxes with Portuguese buttons; the alert shows
// the captions it is given; PesquisaLista is a list to pick one or several
// rows from (with a search box); ChooseSaveFile is the file chooser with the
// caller's filter ("Arquivos Texto (*.txt)|*.txt|..."). The busy animation
// (ActiveShowAvi / DeactiveShowAvi) shows the wait cursor, and both it and
// Progress let the window repaint while the logic's synchronous work goes on.
//
//   QtDialogs dialogs;
//   connect(&dialogs, &QtDialogs::progress, gauge, ...);   // the window's status panel
//   TfrmRemessaCNAB screen(session, dialogs, net, local);
//
// Every dialog is modal over the window the user is in. Tests answer them
// through `onShown`, which is handed each dialog once it is on the screen,
// with its event loop running: click a button, pick rows, type a name.
#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/dialogs.h"

class QMessageBox;
class QLineEdit;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

namespace pag::ui {

// The list of PesquisaLista: a search box over a table of the rows, one or
// several rows picked. Its children are named "pesquisa", "lista",
// "confirmar" and "cancelar".
class PickListDialog : public QDialog {
  Q_OBJECT

 public:
  PickListDialog(const PickList& list, QWidget* parent = nullptr);
  // The keys of the picked rows, in the order of the list.
  std::vector<std::string> PickedKeys() const;
  // Picks the rows whose key is one of `keys` (tests and saved picks).
  void Pick(const std::vector<std::string>& keys);
  QTableView* table() const { return table_; }

 private:
  const PickList& list_;
  QStandardItemModel* rows_;
  QSortFilterProxyModel* shown_;
  QLineEdit* search_;
  QTableView* table_;
};

// "Arquivos Texto (*.txt)|*.txt|Todos os Arquivos (*.*)|*.*" as Qt writes
// name filters: "Arquivos Texto (*.txt);;Todos os Arquivos (*.*)".
QString QtNameFilters(const std::string& filter);

class QtDialogs : public QObject, public Dialogs {
  Q_OBJECT

 public:
  explicit QtDialogs(QWidget* window = nullptr, QObject* parent = nullptr);
  ~QtDialogs() override;

  // The window the dialogs belong to when no other window of ours is active.
  void SetWindow(QWidget* window) { window_ = window; }

  void ShowError(const std::string& text) override;
  void ShowInfo(const std::string& text) override;
  int ShowMsg(const std::string& text, MsgType type, Buttons buttons, int default_button) override;
  int MsgAlertEx(const std::string& text, MsgType type, const std::vector<std::string>& captions) override;
  bool PesquisaLista(const PickList& list, std::vector<std::string>& picked) override;
  std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& filter,
                                            const std::string& initial_path) override;
  void ActiveShowAvi() override;
  void DeactiveShowAvi() override;
  void Progress(long position, long max, const std::string& text) override;

  bool Busy() const { return busy_ > 0; }

  // Handed every dialog once it is shown (tests answer through it).
  std::function<void(QDialog&)> onShown;

 signals:
  // The busy animation starts (true) or stops (false).
  void busyChanged(bool busy);
  // A long job moved on.
  void progress(long position, long max, const QString& text);

 private:
  QWidget* Parent() const;
  int Exec(QDialog& dialog);
  int Message(const std::string& text, MsgType type, Buttons buttons, int default_button);
  void LetTheWindowRepaint();

  QPointer<QWidget> window_;
  int busy_ = 0;
};

}  // namespace pag::ui
