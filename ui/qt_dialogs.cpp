#include "ui/qt_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

namespace pag::ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString TitleOf(MsgType type) {
  switch (type) {
    case MsgType::kError: return QStringLiteral("Erro");
    case MsgType::kWarning: return QStringLiteral("Aviso");
    case MsgType::kConfirmation: return QStringLiteral("Confirmação");
    default: return QStringLiteral("Informação");
  }
}

QMessageBox::Icon IconOf(MsgType type) {
  switch (type) {
    case MsgType::kError: return QMessageBox::Critical;
    case MsgType::kWarning: return QMessageBox::Warning;
    case MsgType::kConfirmation: return QMessageBox::Question;
    default: return QMessageBox::Information;
  }
}

constexpr int kKeyRole = Qt::UserRole + 1;

}  // namespace

// ---- PesquisaLista ------------------------------------------------------------------

PickListDialog::PickListDialog(const PickList& list, QWidget* parent) : QDialog(parent), list_(list) {
  setWindowTitle(Q(list.title));
  setObjectName(QStringLiteral("PesquisaLista"));
  auto* layout = new QVBoxLayout(this);

  auto* searchLabel = new QLabel(QStringLiteral("&Pesquisar:"), this);
  search_ = new QLineEdit(this);
  search_->setObjectName(QStringLiteral("pesquisa"));
  search_->setClearButtonEnabled(true);
  searchLabel->setBuddy(search_);
  layout->addWidget(searchLabel);
  layout->addWidget(search_);

  rows_ = new QStandardItemModel(static_cast<int>(list.rows.size()), static_cast<int>(list.columns.size()), this);
  for (std::size_t c = 0; c < list.columns.size(); ++c)
    rows_->setHeaderData(static_cast<int>(c), Qt::Horizontal, Q(list.columns[c]));
  for (std::size_t r = 0; r < list.rows.size(); ++r) {
    const auto& row = list.rows[r];
    for (std::size_t c = 0; c < list.columns.size(); ++c) {
      auto* item = new QStandardItem(c < row.size() ? Q(row[c]) : QString());
      item->setEditable(false);
      if (c == 0) item->setData(Q(list.key_column < row.size() ? row[list.key_column] : std::string()), kKeyRole);
      rows_->setItem(static_cast<int>(r), static_cast<int>(c), item);
    }
  }
  shown_ = new QSortFilterProxyModel(this);
  shown_->setSourceModel(rows_);
  shown_->setFilterKeyColumn(-1);
  shown_->setFilterCaseSensitivity(Qt::CaseInsensitive);
  connect(search_, &QLineEdit::textChanged, shown_, &QSortFilterProxyModel::setFilterFixedString);

  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("lista"));
  table_->setModel(shown_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(list.multiple ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setAlternatingRowColors(true);
  table_->resizeColumnsToContents();
  if (!list.rows.empty()) table_->selectRow(0);
  layout->addWidget(table_, 1);
  if (list.multiple) {
    auto* hint = new QLabel(QStringLiteral("Ctrl+clique ou Shift+clique escolhe várias linhas; Ctrl+A, todas."), this);
    hint->setEnabled(false);
    layout->addWidget(hint);
  }

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("&Confirmar"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("confirmar"));
  ok->setDefault(true);
  QPushButton* cancel = buttons->addButton(QStringLiteral("C&ancelar"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("cancelar"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(table_, &QTableView::doubleClicked, this, &QDialog::accept);
  layout->addWidget(buttons);

  int width = 40;
  for (int c = 0; c < shown_->columnCount(); ++c) width += table_->columnWidth(c);
  resize(std::clamp(width, 420, 900), 420);
  search_->setFocus();
}

std::vector<std::string> PickListDialog::PickedKeys() const {
  std::set<int> rows;
  for (const QModelIndex& i : table_->selectionModel()->selectedRows()) rows.insert(shown_->mapToSource(i).row());
  std::vector<std::string> keys;
  for (int r : rows) keys.push_back(rows_->item(r, 0)->data(kKeyRole).toString().toStdString());
  return keys;
}

void PickListDialog::Pick(const std::vector<std::string>& keys) {
  QItemSelectionModel* sel = table_->selectionModel();
  sel->clearSelection();
  for (int r = 0; r < shown_->rowCount(); ++r) {
    const QModelIndex source = shown_->mapToSource(shown_->index(r, 0));
    const std::string key = rows_->item(source.row(), 0)->data(kKeyRole).toString().toStdString();
    if (std::find(keys.begin(), keys.end(), key) != keys.end())
      sel->select(shown_->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
}

QString QtNameFilters(const std::string& filter) {
  const QStringList parts = Q(filter).split(QLatin1Char('|'));
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    QString patterns = parts[i + 1].trimmed();
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    out << (description.contains(QLatin1Char('(')) ? description : description + " (" + patterns + ")");
  }
  if (parts.size() % 2 == 1 && !parts.back().trimmed().isEmpty()) out << parts.back().trimmed();
  return out.join(QStringLiteral(";;"));
}

// ---- QtDialogs --------------------------------------------------------------------------

QtDialogs::QtDialogs(QWidget* window, QObject* parent) : QObject(parent), window_(window) {}

QtDialogs::~QtDialogs() {
  while (busy_ > 0) DeactiveShowAvi();
}

QWidget* QtDialogs::Parent() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  return window_;
}

int QtDialogs::Exec(QDialog& dialog) {
  // A question is answered with the normal cursor, even in the middle of a
  // long job.
  const bool busy = busy_ > 0;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  if (onShown) {
    QPointer<QDialog> shown(&dialog);
    QTimer::singleShot(0, &dialog, [this, shown] {
      if (shown && onShown) onShown(*shown);
    });
  }
  const int result = dialog.exec();
  if (busy) QApplication::restoreOverrideCursor();
  return result;
}

int QtDialogs::Message(const std::string& text, MsgType type, Buttons buttons, int default_button) {
  QMessageBox box(IconOf(type), TitleOf(type), Q(text), QMessageBox::NoButton, Parent());
  box.setObjectName(QStringLiteral("mensagem"));
  struct Choice {
    QMessageBox::StandardButton button;
    const char* caption;
    int result;
  };
  std::vector<Choice> choices;
  switch (buttons) {
    case Buttons::kOk: choices = {{QMessageBox::Ok, "&OK", kMrOk}}; break;
    case Buttons::kOkCancel: choices = {{QMessageBox::Ok, "&OK", kMrOk}, {QMessageBox::Cancel, "&Cancelar", kMrCancel}}; break;
    case Buttons::kYesNo: choices = {{QMessageBox::Yes, "&Sim", kMrYes}, {QMessageBox::No, "&Não", kMrNo}}; break;
    case Buttons::kYesNoCancel:
      choices = {{QMessageBox::Yes, "&Sim", kMrYes}, {QMessageBox::No, "&Não", kMrNo},
                 {QMessageBox::Cancel, "&Cancelar", kMrCancel}};
      break;
  }
  for (const Choice& c : choices) {
    QAbstractButton* b = box.addButton(c.button);
    b->setText(QString::fromUtf8(c.caption));
    if (c.result == default_button) box.setDefaultButton(c.button);
  }
  // Escape (or closing the box) answers with the last button: no, cancel, OK.
  box.setEscapeButton(choices.back().button);
  Exec(box);
  const auto pressed = box.standardButton(box.clickedButton());
  for (const Choice& c : choices)
    if (c.button == pressed) return c.result;
  return choices.back().result;
}

void QtDialogs::ShowError(const std::string& text) { Message(text, MsgType::kError, Buttons::kOk, kMrOk); }

void QtDialogs::ShowInfo(const std::string& text) { Message(text, MsgType::kInformation, Buttons::kOk, kMrOk); }

int QtDialogs::ShowMsg(const std::string& text, MsgType type, Buttons buttons, int default_button) {
  return Message(text, type, buttons, default_button);
}

int QtDialogs::MsgAlertEx(const std::string& text, MsgType type, const std::vector<std::string>& captions) {
  QMessageBox box(IconOf(type), TitleOf(type), Q(text), QMessageBox::NoButton, Parent());
  box.setObjectName(QStringLiteral("alerta"));
  std::vector<QPushButton*> pressed;
  for (const std::string& caption : captions) pressed.push_back(box.addButton(Q(caption), QMessageBox::ActionRole));
  if (pressed.empty()) pressed.push_back(box.addButton(QMessageBox::Ok));
  // The last caption (the "no" of a question) is the safe answer: it is the
  // default and what Escape gives.
  box.setDefaultButton(pressed.back());
  box.setEscapeButton(pressed.back());
  Exec(box);
  const auto it = std::find(pressed.begin(), pressed.end(), box.clickedButton());
  const auto index = it == pressed.end() ? pressed.size() - 1 : static_cast<std::size_t>(it - pressed.begin());
  return kMrAlertFirst + static_cast<int>(index);
}

bool QtDialogs::PesquisaLista(const PickList& list, std::vector<std::string>& picked) {
  PickListDialog dialog(list, Parent());
  if (Exec(dialog) != QDialog::Accepted) return false;
  picked = dialog.PickedKeys();
  return true;
}

std::optional<std::string> QtDialogs::ChooseSaveFile(const std::string& title, const std::string& filter,
                                                     const std::string& initial_path) {
  QFileDialog dialog(Parent(), Q(title));
  dialog.setObjectName(QStringLiteral("arquivo"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The module's own dialog, so it behaves alike everywhere; replacing an
  // existing file is asked by the screen when it confirms.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setNameFilters(QtNameFilters(filter).split(QStringLiteral(";;")));
  if (!initial_path.empty()) dialog.selectFile(Q(initial_path));
  if (Exec(dialog) != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
  return files.front().toStdString();
}

void QtDialogs::LetTheWindowRepaint() {
  // The user's clicks and keys wait for the job to end; paints and timers do not.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtDialogs::ActiveShowAvi() {
  if (busy_++ == 0) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    emit busyChanged(true);
  }
  LetTheWindowRepaint();
}

void QtDialogs::DeactiveShowAvi() {
  if (busy_ == 0) return;
  if (--busy_ == 0) {
    QApplication::restoreOverrideCursor();
    emit busyChanged(false);
  }
}

void QtDialogs::Progress(long position, long max, const std::string& text) {
  emit progress(position, max, Q(text));
  LetTheWindowRepaint();
}

}  // namespace pag::ui
