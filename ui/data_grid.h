// DataGrid: the grid of the screens, a table view over a DataSetModel. Its
// current row and the dataset's current record move together: the dataset's
// scrolls move the grid, and a row the user picks (mouse or keyboard) is
// handed to `onMove`, which moves the dataset or refuses (the grid then goes
// back to the dataset's record). The keys, double clicks and title clicks are
// handed on as they come; the grid decides nothing itself.
//
//   DataGrid grid(new DataSetModel(d.cdsBoletos, columns));
//   grid.onMove = [&](int recNo) { return screen.SelectSlipRow(recNo); };
//   grid.onKey = [&](int key, Qt::KeyboardModifiers m) { return screen.dbgBoletosKeyDown(...); };
//   grid.onDoubleClick = [&] { screen.dbgBoletosDblClick(); };
//   grid.onTitleClick = [&](const std::string& field) { screen.dbgBoletosTitleClick(field); };
#pragma once

#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>
#include <string>

#include "ui/dataset_model.h"

namespace pag::ui {

// Draws a check column's cells as a check image, centred.
class CheckDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&, const QModelIndex&) override {
    return false;  // a click never changes a mark by itself
  }
};

class DataGrid : public QTableView {
  Q_OBJECT

 public:
  // Takes the model (it becomes the grid's child).
  explicit DataGrid(DataSetModel* model, QWidget* parent = nullptr);

  DataSetModel& dataModel() const { return *model_; }

  // The user moved to record recNo (1-based); false: not allowed. Unset: the
  // dataset moves there unless one of its records is being edited.
  std::function<bool(int recNo)> onMove;
  // A key pressed on the grid; true when it was taken (nothing else happens).
  std::function<bool(int key, Qt::KeyboardModifiers modifiers)> onKey;
  // A double click on a record.
  std::function<void()> onDoubleClick;
  // A click on a column's title, with the column's field.
  std::function<void(const std::string& field)> onTitleClick;

  // Puts the grid on the dataset's current record.
  void followDataSet();

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void FollowRow(int row);

  DataSetModel* model_;
  bool following_ = false;
};

}  // namespace pag::ui
