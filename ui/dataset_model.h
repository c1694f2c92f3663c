// DataSetModel: a dataset seen as a Qt table model. It is the one adapter
// every grid of the desktop goes through: each column names a field of the
// dataset, its caption, how its value is shown (text through the field's
// display handler, a check image, an amount, a date) and its alignment. The
// model watches the dataset as an observer, so every post, insert, delete,
// load, filter, reorder and scroll reaches the view that shows it, and it
// reads only the rows the view asks for (no copy of the rows, no per-row
// widget): a dataset of 100,000 slips costs what the visible rows cost.
//
//   DataSetModel slips(d.cdsBoletos, {
//       {"IDMARCADO", "", ColumnKind::kCheck},
//       {"DTVENBOLPAG", "Vencimento", ColumnKind::kDate},
//       {"VRFINALBPAG", "Vr. Líquido", ColumnKind::kAmount},
//       {"IDSITUCNABP", "Situação CNAB"},          // "Enviado - Sem Retorno", by the field's handler
//   });
//   grid.setModel(&slips);
//   connect(&slips, &DataSetModel::currentRowChanged, ...);   // the dataset scrolled
//
// Row r of the model is record number r + 1 of the dataset, in the order and
// filter the dataset shows.
#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "host/dataset.h"

namespace pag::ui {

enum class ColumnKind {
  kText,      // the field's display text (its display handler when it has one)
  kCheck,     // a check image: checked when the field holds "S"
  kAmount,    // "#,##0.00": 1.234,50
  kNumber,    // a count or a number without grouping
  kDate,      // dd/mm/yyyy
  kDateTime,  // dd/mm/yyyy hh:nn
};

struct GridColumn {
  std::string field;
  std::string caption;
  ColumnKind kind = ColumnKind::kText;
  // Left for text and dates, right for amounts and numbers, centred for
  // checks, unless given.
  Qt::Alignment alignment = {};
  // Width in characters; 0: from the field's size and kind.
  int width = 0;
};

class DataSetModel : public QAbstractTableModel, private DataSetObserver {
  Q_OBJECT

 public:
  // The dataset must outlive the model. Unknown fields throw
  // std::out_of_range naming them.
  DataSetModel(TDataSet& dataset, std::vector<GridColumn> columns, QObject* parent = nullptr);
  ~DataSetModel() override;
  DataSetModel(const DataSetModel&) = delete;
  DataSetModel& operator=(const DataSetModel&) = delete;

  TDataSet& dataSet() const { return ds_; }
  const GridColumn& column(int c) const { return columns_.at(static_cast<std::size_t>(c)).def; }
  const std::string& fieldName(int c) const { return column(c).field; }
  // The column of a field, -1 when the grid does not show it.
  int columnOf(const std::string& field) const;
  // The text a cell shows (what DisplayRole gives; "S"/"N" for checks).
  std::string cellText(int row, int c) const;
  // The row of the dataset's current record, -1 when there is none.
  int currentRow() const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 signals:
  // The dataset's current record moved (scroll, locate, load, post), or the
  // whole dataset changed; -1 when no record is current.
  void currentRowChanged(int row);

 private:
  struct Column {
    GridColumn def;
    const TField* field;
  };

  void DataSetReset(const TDataSet&) override;
  void RowChanged(const TDataSet&, int recNo) override;
  void RowInserted(const TDataSet&, int recNo) override;
  void RowDeleted(const TDataSet&, int recNo) override;
  void CurrentRowChanged(const TDataSet&, int recNo) override;

  void Reset();
  Qt::Alignment AlignmentOf(const Column& c) const;

  TDataSet& ds_;
  std::vector<Column> columns_;
  // The rows the view was told about. While the dataset's controls are
  // disabled it may hold more or fewer; reads past its end give nothing.
  int rows_ = 0;
};

}  // namespace pag::ui
