// The one adapter between datasets and grids: what a cell shows, how every
// change of the dataset reaches the view, and the grid's cursor and the
// dataset's moving together. A dataset of 100,000 rows must cost only the
// rows on the screen.
#include <QElapsedTimer>
#include <QHeaderView>
#include <QSignalSpy>

#include "fixture.h"
#include "ui/data_grid.h"
#include "ui/dataset_model.h"

namespace pag::ui::test {
namespace {

FieldDef S(const char* name, int size) { return {name, FieldKind::kString, size, 0}; }

class DataSetGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ds.AddField(S("IDMARCADO", 1));
    ds.AddField(S("CODE", 10));
    ds.AddField(S("SITU", 2));
    ds.AddField({"VALUE", FieldKind::kDecimal, 0, 2});
    ds.AddField({"DUE", FieldKind::kDateTime, 0, 0});
    ds.AddField({"QTY", FieldKind::kDecimal, 0, 0});
    ds.AddIndex("byCode", "CODE");
    ds.FieldByName("SITU").OnGetText = [this](const TField& f) {
      ++situationTexts;
      return f.AsString() == "10" ? std::string("Enviado - Sem Retorno") : std::string("Não Agendado");
    };
  }

  void Load(int rows) {
    Packet p;
    p.fields = ds.DataFieldDefs();
    p.rows.reserve(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i) {
      char code[16];
      std::snprintf(code, sizeof code, "%08d", i * 10);
      p.rows.push_back({std::string(i % 3 == 0 ? "S" : "N"), std::string(code), std::string(i % 2 ? "10" : "00"),
                        Decimal::FromUnits(123450 + i, 2), DateTime::Make(2026, 12, 1 + i % 28), Decimal(i % 7)});
    }
    ds.LoadPacket(std::move(p));
  }

  std::vector<GridColumn> Columns() {
    return {{"IDMARCADO", "", ColumnKind::kCheck},
            {"CODE", "Código"},
            {"SITU", "Situação"},
            {"VALUE", "Valor", ColumnKind::kAmount},
            {"DUE", "Vencimento", ColumnKind::kDate},
            {"QTY", "Qtde.", ColumnKind::kNumber}};
  }

  TDataSet ds{"slips"};
  int situationTexts = 0;
};

TEST_F(DataSetGridTest, CellsShowValuesTheWayTheGridsDo) {
  Load(3);
  DataSetModel m(ds, Columns());
  ASSERT_EQ(m.rowCount(), 3);
  EXPECT_EQ(m.data(m.index(0, 0), Qt::CheckStateRole), Qt::Checked);
  EXPECT_EQ(m.data(m.index(1, 0), Qt::CheckStateRole), Qt::Unchecked);
  EXPECT_FALSE(m.data(m.index(0, 0), Qt::DisplayRole).isValid());  // a check shows no text
  EXPECT_EQ(m.data(m.index(1, 2)).toString(), "Enviado - Sem Retorno");  // through the display handler
  EXPECT_EQ(m.data(m.index(1, 3)).toString(), "1.234,51");
  EXPECT_EQ(m.data(m.index(2, 4)).toString(), "03/12/2026");
  EXPECT_EQ(m.data(m.index(2, 5)).toString(), "2");
  EXPECT_EQ(m.data(m.index(0, 3), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignRight | Qt::AlignVCenter);
  EXPECT_EQ(m.data(m.index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
  EXPECT_EQ(m.data(m.index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignLeft | Qt::AlignVCenter);
  EXPECT_EQ(m.headerData(3, Qt::Horizontal).toString(), "Valor");
  // A cleared value shows nothing; a grid never edits or checks by itself.
  ds.SetRecNo(1);
  ds.Edit();
  ds.FieldByName("VALUE").Clear();
  ds.Post();
  EXPECT_EQ(m.data(m.index(0, 3)).toString(), "");
  EXPECT_FALSE(m.flags(m.index(0, 0)) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable));
  EXPECT_THROW(DataSetModel(ds, {{"NOSUCH", "x"}}), std::out_of_range);
}

TEST_F(DataSetGridTest, EveryChangeOfTheDataSetReachesTheView) {
  Load(5);  // codes 00, 10, 20, 30, 40
  ds.SetIndexName("byCode");
  DataSetModel m(ds, Columns());
  QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
  QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
  QSignalSpy removed(&m, &QAbstractItemModel::rowsRemoved);
  QSignalSpy reset(&m, &QAbstractItemModel::modelReset);
  QSignalSpy current(&m, &DataSetModel::currentRowChanged);

  // An edited row: that row only.
  ds.SetRecNo(3);
  ds.Edit();
  ds.FieldByName("IDMARCADO").SetAsString("S");
  ds.Post();
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed[0][0].toModelIndex().row(), 2);
  EXPECT_EQ(m.data(m.index(2, 0), Qt::CheckStateRole), Qt::Checked);

  // A new row goes where the index puts it; the view is told that place.
  ds.Append();
  ds.FieldByName("CODE").SetAsString("00000015");
  ds.Post();
  ASSERT_EQ(inserted.count(), 1);
  EXPECT_EQ(inserted[0][1].toInt(), 2);
  EXPECT_EQ(m.rowCount(), 6);
  EXPECT_EQ(m.data(m.index(2, 1)).toString(), "00000015");
  EXPECT_EQ(current.last()[0].toInt(), 2);

  ds.SetRecNo(1);
  ds.Delete();
  ASSERT_EQ(removed.count(), 1);
  EXPECT_EQ(removed[0][1].toInt(), 0);
  EXPECT_EQ(m.rowCount(), 5);

  // Filters, loads and closing reset the view.
  ds.SetFilter([](const TDataSet& d) { return d.FieldByName("SITU").AsString() == "10"; });
  ds.SetFiltered(true);
  EXPECT_EQ(m.rowCount(), ds.RecordCount());
  EXPECT_LT(m.rowCount(), 5);
  Load(7);
  EXPECT_EQ(m.rowCount(), ds.RecordCount());
  const int resets = static_cast<int>(reset.count());
  EXPECT_GE(resets, 2);

  // With controls disabled the view hears nothing, even when rows go; one
  // reset when they are enabled again. Reading the rows it still believes
  // in gives nothing rather than a crash.
  ds.SetFiltered(false);
  const int rows = m.rowCount();
  changed.clear();
  reset.clear();
  ds.DisableControls();
  ds.SetRecNo(1);
  ds.Edit();
  ds.FieldByName("IDMARCADO").SetAsString("N");
  ds.Post();
  ds.EmptyDataSet();
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(reset.count(), 0);
  EXPECT_EQ(m.rowCount(), rows);
  EXPECT_EQ(m.data(m.index(rows - 1, 1)).toString(), "");
  ds.EnableControls();
  EXPECT_EQ(reset.count(), 1);
  EXPECT_EQ(m.rowCount(), 0);

  ds.Close();
  EXPECT_EQ(m.rowCount(), 0);
}

TEST_F(DataSetGridTest, TheGridsCursorAndTheDataSetsMoveTogether) {
  Load(40);
  DataGrid grid(new DataSetModel(ds, Columns()));
  grid.resize(600, 300);
  grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
  EXPECT_EQ(grid.currentIndex().row(), 0);

  // The user moves: the dataset follows (mouse, keys).
  grid.setCurrentIndex(grid.model()->index(5, 1));
  EXPECT_EQ(ds.RecNo(), 6);
  QTest::keyClick(&grid, Qt::Key_Down);
  EXPECT_EQ(ds.RecNo(), 7);
  // The dataset moves: the grid follows and shows the row.
  ds.SetRecNo(39);
  EXPECT_EQ(grid.currentIndex().row(), 38);
  EXPECT_TRUE(grid.viewport()->rect().intersects(grid.visualRect(grid.currentIndex())));
  ds.Locate("CODE", {Value(std::string("00000030"))});
  EXPECT_EQ(grid.currentIndex().row(), 3);

  // A record being edited keeps the dataset where it is: the grid goes back.
  ds.Edit();
  ds.FieldByName("IDMARCADO").SetAsString("S");
  grid.setCurrentIndex(grid.model()->index(10, 1));
  QApplication::processEvents();
  EXPECT_EQ(ds.RecNo(), 4);
  EXPECT_EQ(grid.currentIndex().row(), 3);
  ds.Post();

  // So does a move the owner refuses.
  grid.onMove = [](int recNo) { return recNo != 20; };
  grid.setCurrentIndex(grid.model()->index(19, 1));
  QApplication::processEvents();
  EXPECT_EQ(grid.currentIndex().row(), 3);
  grid.setCurrentIndex(grid.model()->index(20, 1));  // allowed, but the owner does not move the dataset
  QApplication::processEvents();
  EXPECT_EQ(grid.currentIndex().row(), 3);
}

TEST_F(DataSetGridTest, KeysDoubleClicksAndTitleClicksAreHandedOn) {
  Load(10);
  DataGrid grid(new DataSetModel(ds, Columns()));
  grid.resize(600, 300);
  grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
  std::vector<std::pair<int, bool>> keys;
  grid.onKey = [&](int key, Qt::KeyboardModifiers m) {
    if (key == Qt::Key_Control) return false;  // the Ctrl key itself, pressed first
    keys.emplace_back(key, m.testFlag(Qt::ControlModifier));
    return key == Qt::Key_Space || key == Qt::Key_End;
  };
  int doubles = 0;
  grid.onDoubleClick = [&] { ++doubles; };
  std::vector<std::string> titles;
  grid.onTitleClick = [&](const std::string& field) { titles.push_back(field); };

  QTest::keyClick(&grid, Qt::Key_Space, Qt::ControlModifier);
  QTest::keyClick(&grid, Qt::Key_End);  // taken: the grid does not move
  EXPECT_EQ(grid.currentIndex().row(), 0);
  QTest::keyClick(&grid, Qt::Key_Down);  // not taken: the grid moves
  EXPECT_EQ(grid.currentIndex().row(), 1);
  EXPECT_EQ(keys, (std::vector<std::pair<int, bool>>{{Qt::Key_Space, true}, {Qt::Key_End, false}, {Qt::Key_Down, false}}));

  const QRect cell = grid.visualRect(grid.model()->index(4, 2));
  QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(ds.RecNo(), 5);

  QHeaderView* header = grid.horizontalHeader();
  auto title = [header](int section) {
    return QPoint(header->sectionViewportPosition(section) + header->sectionSize(section) / 2, header->height() / 2);
  };
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, title(0));
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, title(3));
  EXPECT_EQ(titles, (std::vector<std::string>{"IDMARCADO", "VALUE"}));
  EXPECT_EQ(ds.RecNo(), 5);  // a title click selects nothing
}

TEST_F(DataSetGridTest, AHundredThousandRowsCostOnlyTheRowsOnTheScreen) {
  Load(100000);
  QElapsedTimer clock;
  clock.start();
  DataGrid grid(new DataSetModel(ds, Columns()));
  grid.resize(800, 600);
  grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
  situationTexts = 0;
  grid.grab();
  const int onScreen = grid.viewport()->height() / grid.verticalHeader()->defaultSectionSize() + 1;
  // The display handler ran for the visible rows only (a few times each).
  EXPECT_GT(situationTexts, 0);
  EXPECT_LE(situationTexts, onScreen * 4);

  // To the last row and back, by the dataset and by the keyboard.
  ds.Last();
  EXPECT_EQ(grid.currentIndex().row(), 99999);
  grid.grab();
  QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(ds.RecNo(), 1);
  QTest::keyClick(&grid, Qt::Key_PageDown);
  EXPECT_GT(ds.RecNo(), 1);
  grid.grab();
  // No widget per row, and all of it in a time no row-by-row work could
  // keep (generous: sanitizers and a busy machine slow everything down).
  EXPECT_LT(grid.findChildren<QWidget*>().size(), 40);
  EXPECT_LT(clock.elapsed(), 10000);
}

}  // namespace
}  // namespace pag::ui::test
