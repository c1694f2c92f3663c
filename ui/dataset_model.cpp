#include "ui/dataset_model.h"

#include <exception>
#include <variant>

namespace pag::ui {

DataSetModel::DataSetModel(TDataSet& dataset, std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), ds_(dataset) {
  columns_.reserve(columns.size());
  for (GridColumn& c : columns) {
    const TField* field = &ds_.FieldByName(c.field);  // std::out_of_range for a field the dataset lacks
    columns_.push_back({std::move(c), field});
  }
  rows_ = ds_.RecordCount();
  ds_.AddObserver(this);
}

DataSetModel::~DataSetModel() { ds_.RemoveObserver(this); }

int DataSetModel::columnOf(const std::string& field) const {
  for (std::size_t i = 0; i < columns_.size(); ++i)
    if (columns_[i].field->FieldName() == field || columns_[i].def.field == field) return static_cast<int>(i);
  return -1;
}

int DataSetModel::currentRow() const {
  if (!ds_.Active() || ds_.IsEmpty()) return -1;
  const int recNo = ds_.RecNo();
  return recNo >= 1 && recNo <= ds_.RecordCount() ? recNo - 1 : -1;
}

int DataSetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int DataSetModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

Qt::Alignment DataSetModel::AlignmentOf(const Column& c) const {
  if (c.def.alignment) return c.def.alignment | Qt::AlignVCenter;
  switch (c.def.kind) {
    case ColumnKind::kAmount:
    case ColumnKind::kNumber:
      return Qt::AlignRight | Qt::AlignVCenter;
    case ColumnKind::kCheck:
      return Qt::AlignCenter;
    default:
      return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

std::string DataSetModel::cellText(int row, int c) const {
  const int recNo = row + 1;
  if (c < 0 || c >= columnCount() || !ds_.Active() || recNo < 1 || recNo > ds_.RecordCount()) return {};
  const Column& col = columns_[static_cast<std::size_t>(c)];
  const TField& f = *col.field;
  try {
    // A field with a display handler shows what the handler says, whatever
    // the column's kind.
    if (f.OnGetText || col.def.kind == ColumnKind::kText || col.def.kind == ColumnKind::kCheck)
      return ds_.DisplayTextAt(recNo, f);
    const Value& v = ds_.ValueAt(recNo, f);
    if (IsNull(v)) return {};
    switch (col.def.kind) {
      case ColumnKind::kAmount:
        if (const auto* d = std::get_if<Decimal>(&v)) return Money::FromDecimal(RoundDec(*d, 2)).ToDisplay();
        if (const auto* i = std::get_if<std::int64_t>(&v)) return Money::FromCents(*i * 100).ToDisplay();
        break;
      case ColumnKind::kNumber:
        if (const auto* d = std::get_if<Decimal>(&v)) return d->Format(d->scale(), ',');
        break;
      case ColumnKind::kDate:
        if (const auto* t = std::get_if<DateTime>(&v)) return FormatDateTime(*t, "dd/mm/yyyy");
        break;
      case ColumnKind::kDateTime:
        if (const auto* t = std::get_if<DateTime>(&v)) return FormatDateTime(*t, "dd/mm/yyyy hh:nn");
        break;
      default:
        break;
    }
    return ValueToText(v);
  } catch (const std::exception&) {
    return {};  // a row the dataset can no longer give (it is changing under controls disabled)
  }
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  const Column& col = columns_[static_cast<std::size_t>(index.column())];
  switch (role) {
    case Qt::DisplayRole:
      if (col.def.kind == ColumnKind::kCheck) return {};
      return QString::fromStdString(cellText(index.row(), index.column()));
    case Qt::CheckStateRole:
      if (col.def.kind != ColumnKind::kCheck) return {};
      return cellText(index.row(), index.column()) == "S" ? Qt::Checked : Qt::Unchecked;
    case Qt::AccessibleTextRole:
      if (col.def.kind == ColumnKind::kCheck) return cellText(index.row(), index.column()) == "S" ? "Sim" : "Não";
      return QString::fromStdString(cellText(index.row(), index.column()));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(AlignmentOf(col));
    default:
      return {};
  }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
    if (orientation == Qt::Vertical && role == Qt::DisplayRole) return section + 1;
    return {};
  }
  const Column& col = columns_[static_cast<std::size_t>(section)];
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(col.def.caption);
    case Qt::ToolTipRole:
      return QString::fromStdString(col.def.caption.empty() ? col.field->FieldName() : col.def.caption);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(AlignmentOf(col));
    default:
      return {};
  }
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

// ---- What the dataset tells ---------------------------------------------------------

void DataSetModel::Reset() {
  beginResetModel();
  rows_ = ds_.RecordCount();
  endResetModel();
  emit currentRowChanged(currentRow());
}

void DataSetModel::DataSetReset(const TDataSet&) { Reset(); }

void DataSetModel::RowChanged(const TDataSet&, int recNo) {
  const int row = recNo - 1;
  if (ds_.RecordCount() != rows_) {
    Reset();
    return;
  }
  if (row < 0 || row >= rows_) return;
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void DataSetModel::RowInserted(const TDataSet&, int recNo) {
  const int row = recNo - 1;
  if (row < 0 || row > rows_ || ds_.RecordCount() != rows_ + 1) {
    Reset();
    return;
  }
  beginInsertRows(QModelIndex(), row, row);
  rows_ += 1;
  endInsertRows();
}

void DataSetModel::RowDeleted(const TDataSet&, int recNo) {
  const int row = recNo - 1;
  if (row < 0 || row >= rows_ || ds_.RecordCount() != rows_ - 1) {
    Reset();
    return;
  }
  beginRemoveRows(QModelIndex(), row, row);
  rows_ -= 1;
  endRemoveRows();
}

void DataSetModel::CurrentRowChanged(const TDataSet&, int recNo) {
  emit currentRowChanged(recNo >= 1 && recNo <= rows_ ? recNo - 1 : -1);
}

}  // namespace pag::ui
