#include "ui/data_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>

namespace pag::ui {

void CheckDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const QVariant state = index.data(Qt::CheckStateRole);
  if (!state.isValid()) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  // The cell's background and selection as any other cell, then the image.
  QStyleOptionViewItem cell = option;
  initStyleOption(&cell, index);
  cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
  cell.text.clear();
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

  QStyleOptionViewItem check = option;
  const QSize box(style->pixelMetric(QStyle::PM_IndicatorWidth, &option, widget),
                  style->pixelMetric(QStyle::PM_IndicatorHeight, &option, widget));
  check.rect = QStyle::alignedRect(option.direction, Qt::AlignCenter, box, option.rect);
  check.state = (check.state & ~(QStyle::State_HasFocus | QStyle::State_On | QStyle::State_Off)) |
                QStyle::State_Enabled;
  check.state |= state.value<Qt::CheckState>() == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
  style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, widget);
}

DataGrid::DataGrid(DataSetModel* model, QWidget* parent) : QTableView(parent), model_(model) {
  model_->setParent(this);
  setModel(model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setAlternatingRowColors(true);
  setTabKeyNavigation(false);
  setSortingEnabled(false);

  // Fixed row heights: the grid never measures rows, whatever their number.
  QHeaderView* rows = verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(fontMetrics().height() + 6);
  rows->hide();

  QHeaderView* titles = horizontalHeader();
  titles->setSectionsClickable(true);
  titles->setHighlightSections(false);
  titles->setStretchLastSection(true);
  // A title click is the screen's to interpret, not a column selection.
  disconnect(titles, &QHeaderView::sectionPressed, this, nullptr);
  disconnect(titles, &QHeaderView::sectionEntered, this, nullptr);
  connect(titles, &QHeaderView::sectionClicked, this, [this](int section) {
    if (onTitleClick && section >= 0 && section < model_->columnCount()) onTitleClick(model_->fieldName(section));
  });

  auto* checks = new CheckDelegate(this);
  const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
  for (int c = 0; c < model_->columnCount(); ++c) {
    const GridColumn& col = model_->column(c);
    const TField& field = model_->dataSet().FieldByName(col.field);
    int chars = col.width;
    if (chars == 0) {
      switch (col.kind) {
        case ColumnKind::kCheck: chars = 4; break;
        case ColumnKind::kAmount: chars = 13; break;
        case ColumnKind::kNumber: chars = 7; break;
        case ColumnKind::kDate: chars = 10; break;
        case ColumnKind::kDateTime: chars = 16; break;
        default: chars = std::clamp(field.Size(), 4, 30); break;
      }
    }
    const int title = fontMetrics().horizontalAdvance(QString::fromStdString(col.caption)) + 16;
    setColumnWidth(c, std::max(chars * digit + 12, title));
    if (col.kind == ColumnKind::kCheck) setItemDelegateForColumn(c, checks);
  }

  connect(model_, &DataSetModel::currentRowChanged, this, &DataGrid::FollowRow);
  followDataSet();
}

void DataGrid::followDataSet() { FollowRow(model_->currentRow()); }

void DataGrid::FollowRow(int row) {
  following_ = true;
  if (row < 0 || row >= model_->rowCount()) {
    if (selectionModel()) selectionModel()->clear();
  } else {
    const int column = std::max(currentIndex().column(), 0);
    const QModelIndex target = model_->index(row, column);
    if (currentIndex() != target) setCurrentIndex(target);
    scrollTo(target);
  }
  following_ = false;
}

void DataGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (following_ || !current.isValid()) return;
  if (previous.isValid() && previous.row() == current.row()) return;  // another column of the same record
  const int recNo = current.row() + 1;
  bool moved;
  if (onMove) {
    moved = onMove(recNo);
  } else {
    TDataSet& ds = model_->dataSet();
    moved = ds.Active() && ds.State() == DataSetState::kBrowse && recNo <= ds.RecordCount();
    if (moved && ds.RecNo() != recNo) ds.SetRecNo(recNo);
  }
  if (!moved || model_->currentRow() != current.row()) {
    // Back on the dataset's record, once the view has finished this change.
    QTimer::singleShot(0, this, [this] { followDataSet(); });
  }
}

void DataGrid::keyPressEvent(QKeyEvent* event) {
  if (onKey && onKey(event->key(), event->modifiers())) {
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  QTableView::mouseDoubleClickEvent(event);
  if (onDoubleClick && indexAt(event->position().toPoint()).isValid()) onDoubleClick();
}

}  // namespace pag::ui
