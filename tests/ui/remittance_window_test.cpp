// The remittance screen in its window, driven through the widgets as a clerk
// drives it: keys, clicks, the toolbar, the dialogs. The screen's rules are
// tested headless elsewhere; these tests catch what the binding can break:
// an event not forwarded, a state not shown, the focus or the grid's cursor
// out of step, a dialog that cannot be answered.
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QHeaderView>
#include <QToolButton>
#include <algorithm>

#include "fixture.h"
#include "ui/filter_windows.h"

namespace pag::ui::test {
namespace {

const QString kSim = QStringLiteral("Sim");
const QString kOk = QStringLiteral("OK");

class RemittanceWindowTest : public WindowTest {
 protected:
  // From the company panel to a new remittance of account 001 (Banco do
  // Brasil) written to rem.txt, its slips on the "Boletos" page.
  void NewRemittanceOfAccount001() {
    ASSERT_EQ(Focused(), kCtlCompany);
    Tab();  // leaving the company panel lists its remittances
    Trigger("sbtIncluir");
    ASSERT_EQ(window->pages()->currentIndex(), static_cast<int>(Page::kDetail));
    ASSERT_EQ(Focused(), kCtlMovement);
    Type(kCtlAccount, "1");
    Type(kCtlFile, Q(Out("rem.txt")));  // leaving the account checks it
    Tab();
    window->pages()->setCurrentIndex(static_cast<int>(Page::kBoletos));  // the clerk clicks the tab
    QApplication::processEvents();
    ASSERT_EQ(window->pages()->currentIndex(), static_cast<int>(Page::kBoletos));
  }

  DataGrid* Slips() { return window->grid(kCtlGrid); }
  int Marked() {
    int n = 0;
    for (const auto& m : Column(kCtlGrid, kMarkColumn)) n += m == "S";
    return n;
  }
};

TEST_F(RemittanceWindowTest, AClerkMakesARemittanceWithTheKeyboardAndSeesItsSlipsSent) {
  NewRemittanceOfAccount001();
  // The account check ran when the field was left: "1" is account 001 of
  // Banco do Brasil, shown with its agency and account pictures.
  EXPECT_EQ(Widget<QLineEdit>(kCtlAccount)->text(), "001");
  EXPECT_EQ(Widget<QLineEdit>("dbeCdBanco")->text(), "001");
  EXPECT_EQ(Widget<QLineEdit>("CDAGENCIA")->text(), "9842-6");
  EXPECT_EQ(Widget<QLineEdit>("CDCONTCORR")->text(), "10350841-4");

  DataGrid* grid = Slips();
  ASSERT_GT(grid->model()->rowCount(), 10);
  EXPECT_EQ(Marked(), 0);
  EXPECT_FALSE(window->action("sbtCancelaRemessa")->isEnabled());

  // Ctrl+Space marks every slip the checks let through, after a question.
  Activate();
  grid->setFocus();
  clerk->Press(kSim);
  QTest::keyClick(grid, Qt::Key_Space, Qt::ControlModifier);
  ASSERT_TRUE(clerk->Saw(screen->msgs().Msg("MARCA_BOL")));
  const int all = Marked();
  ASSERT_GT(all, 5);
  EXPECT_LT(all, grid->model()->rowCount());  // some slips are refused by the checks
  EXPECT_EQ(Widget<QLineEdit>("nedQuant")->text().toInt(), all);

  // Home, then Space: the first slip is taken out and put back; the grid's
  // cursor and the dataset's stay together.
  QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
  ASSERT_EQ(grid->currentIndex().row(), 0);
  ASSERT_EQ(screen->d.cdsBoletos.RecNo(), 1);
  const bool firstMarked = Column(kCtlGrid, kMarkColumn)[0] == "S";
  QTest::keyClick(grid, Qt::Key_Space);
  EXPECT_NE(Column(kCtlGrid, kMarkColumn)[0] == "S", firstMarked);
  QTest::keyClick(grid, Qt::Key_Space);
  EXPECT_EQ(Column(kCtlGrid, kMarkColumn)[0] == "S", firstMarked);
  EXPECT_EQ(Marked(), all);
  // Ctrl+Delete deletes nothing.
  const int rows = grid->model()->rowCount();
  QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(grid->model()->rowCount(), rows);

  // Confirm: the status panel shows "Exportando ..." with its gauge moving
  // while the file is written, then the success message.
  std::vector<int> gauge;
  bool panelShown = true;
  QObject::connect(dialogs.get(), &QtDialogs::progress, window.get(), [&] {
    auto* panel = Widget("panStatus");
    panelShown = panelShown && panel->isVisible() &&
                 Widget<QLabel>("lblStatus")->text().toStdString() == screen->msgs().Msg("EXP");
    gauge.push_back(Widget<QProgressBar>("pgbStatus")->value());
  });
  clerk->Press(kOk);
  Trigger("sbtConfirmar");
  EXPECT_TRUE(clerk->Saw(screen->msgs().Msg("Expor_susc"))) << (clerk->shown.empty() ? "" : clerk->shown.back());
  ASSERT_FALSE(gauge.empty());
  EXPECT_TRUE(panelShown);
  EXPECT_EQ(gauge.front(), 20);
  EXPECT_EQ(gauge.back(), 100);
  EXPECT_FALSE(Widget("panStatus")->isVisible());

  // The file, and the grid now showing the remittance's slips as sent.
  ASSERT_TRUE(screen->LastConfirmation().has_value());
  EXPECT_EQ(screen->LastConfirmation()->slips, all);
  EXPECT_GT(std::filesystem::file_size(Out("rem.txt")), 0u);
  const auto situations = Column(kCtlGrid, "IDSITUCNABP");
  ASSERT_EQ(static_cast<int>(situations.size()), all);
  for (const auto& s : situations) EXPECT_EQ(s, "Enviado - Sem Retorno");
  EXPECT_EQ(Marked(), 0);
  // Browsing again: new and edit on, confirm and cancel off.
  EXPECT_TRUE(window->action("sbtIncluir")->isEnabled());
  EXPECT_FALSE(window->action("sbtConfirmar")->isEnabled());
  // The list holds the new remittance, and the grid stands on it.
  const auto numbers = Column("dbgPadrao", "NRCNABPAG");
  ASSERT_FALSE(numbers.empty());
  EXPECT_EQ(numbers[static_cast<std::size_t>(window->grid("dbgPadrao")->currentIndex().row())],
            screen->LastConfirmation()->number);
}

TEST_F(RemittanceWindowTest, ARefusedAccountKeepsTheFocusOnItsField) {
  Tab();
  Trigger("sbtIncluir");
  Type(kCtlAccount, "99");
  clerk->Press(kOk);
  Tab();  // leaving the account: "099" is no account of company 01
  EXPECT_TRUE(clerk->Saw(screen->msgs().Msg("CONTA_NAO_CAD")));
  EXPECT_EQ(Focused(), kCtlAccount);
  EXPECT_EQ(screen->ActiveControl(), kCtlAccount);
  EXPECT_EQ(Widget<QLineEdit>(kCtlAccount)->text(), "099");
  // Cancelling goes back to the list, where nothing is editable.
  Trigger("sbtCancelar");
  EXPECT_EQ(window->pages()->currentIndex(), static_cast<int>(Page::kList));
  EXPECT_FALSE(Widget(kCtlAccount)->isEnabled());
}

TEST_F(RemittanceWindowTest, ClicksOnTheGridMarkAndTheMarkTitleMarksAll) {
  NewRemittanceOfAccount001();
  DataGrid* grid = Slips();
  // A click on the title of the mark column: every slip, after the question.
  clerk->Press(kSim);
  QHeaderView* titles = grid->horizontalHeader();
  const int markColumn = grid->dataModel().columnOf(kMarkColumn);
  const QPoint title(titles->sectionViewportPosition(markColumn) + titles->sectionSize(markColumn) / 2,
                     titles->height() / 2);
  QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, title);
  const int all = Marked();
  ASSERT_GT(all, 0);
  // Again: the question to take them all out, answered no, changes nothing.
  clerk->Press(QStringLiteral("Não"));
  QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, title);
  EXPECT_TRUE(clerk->Saw(screen->msgs().Msg("DESMARCA_BOL")));
  EXPECT_EQ(Marked(), all);

  // A click on a row moves the dataset there; a double click toggles it.
  const auto marks = Column(kCtlGrid, kMarkColumn);
  const int row = static_cast<int>(std::find(marks.begin(), marks.end(), "S") - marks.begin());
  ASSERT_LT(row, static_cast<int>(marks.size()));
  grid->scrollTo(grid->model()->index(row, 3));
  const QRect cell = grid->visualRect(grid->model()->index(row, 3));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(screen->d.cdsBoletos.RecNo(), row + 1);
  const bool before = Column(kCtlGrid, kMarkColumn)[row] == "S";
  QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_NE(Column(kCtlGrid, kMarkColumn)[row] == "S", before) << ::testing::PrintToString(clerk->shown);

  // The dataset's scroll moves the grid.
  screen->d.cdsBoletos.Last();
  EXPECT_EQ(grid->currentIndex().row(), grid->model()->rowCount() - 1);
}

TEST_F(RemittanceWindowTest, TheRemittanceFilterFromTheToolbarListsTheRemittancesAskedFor) {
  Tab();  // the company panel left: the remittances of the processing date, none in the demo
  EXPECT_EQ(window->grid("dbgPadrao")->model()->rowCount(), 0);
  EXPECT_FALSE(window->pages()->isTabEnabled(static_cast<int>(Page::kBoletos)));

  clerk->Then([&](QDialog& d) {
    ASSERT_NE(qobject_cast<RemessaFilterWindow*>(&d), nullptr) << TextOf(d);
    EXPECT_EQ(d.windowTitle(), "Filtro de Remessas");
    auto* ini = d.findChild<QLineEdit*>("depDtIniVen");
    ASSERT_NE(ini, nullptr);
    EXPECT_EQ(ini->text(), "06/12/2026");  // the criteria kept: the processing date
    ini->setFocus();
    ini->selectAll();
    QTest::keyClicks(ini, "01112026");
    EXPECT_EQ(d.findChild<QLineEdit*>("edtNmDiaSemIni")->text(), "domingo");
    d.findChild<QAction*>("sbtConfirma")->trigger();
  });
  Trigger("sbtFiltro");
  EXPECT_EQ(clerk->Pending(), 0u);
  // November's two remittances of company 01, and the pages open again.
  EXPECT_EQ(Column("dbgPadrao", "NRCNABPAG"), (std::vector<std::string>{"0000000001", "0000000002"}));
  EXPECT_TRUE(window->pages()->isTabEnabled(static_cast<int>(Page::kBoletos)));
  EXPECT_EQ(Column("dbgPadrao", "VRTOTALCNABPAG").size(), 2u);

  // Ctrl+L opens it again, showing the criteria confirmed; a refused check
  // leaves it open on the control concerned.
  clerk->Then([&](QDialog& d) {
    EXPECT_EQ(d.findChild<QLineEdit*>("depDtIniVen")->text(), "01/11/2026");
    d.findChild<QRadioButton*>("rbtListaOper")->click();
    d.findChild<QAction*>("sbtConfirma")->trigger();  // a list of operators, none picked
    EXPECT_TRUE(d.isVisible());
    ASSERT_NE(d.focusWidget(), nullptr);
    EXPECT_EQ(d.focusWidget()->objectName(), "rbtListaOper");
    d.reject();  // Escape: cancelled
  });
  clerk->Press(kOk);  // "Operador deve ser informado."
  Activate();
  QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::Key_L));
  EXPECT_EQ(clerk->Pending(), 0u);
  EXPECT_TRUE(clerk->Saw("Operador deve ser informado."));
  EXPECT_EQ(window->grid("dbgPadrao")->model()->rowCount(), 2);

  // While a new remittance is typed the list cannot move to another one.
  Trigger("sbtIncluir");
  window->pages()->setCurrentIndex(static_cast<int>(Page::kList));
  DataGrid* list = window->grid("dbgPadrao");
  list->setCurrentIndex(list->model()->index(1, 0));
  QApplication::processEvents();
  EXPECT_EQ(screen->d.cdsCNABPag.State(), DataSetState::kInsert);
  EXPECT_NE(list->currentIndex().row(), 1);
  Trigger("sbtCancelar");
  list->setCurrentIndex(list->model()->index(1, 0));
  EXPECT_EQ(screen->d.cdsCNABPag.FieldByName("NRCNABPAG").AsString(), "0000000002");
}

TEST_F(RemittanceWindowTest, TheSlipFilterPicksAPaymentKindFromItsList) {
  NewRemittanceOfAccount001();
  const int offered = Slips()->model()->rowCount();
  clerk->Then([&](QDialog& d) {
    ASSERT_NE(qobject_cast<BoletoFilterWindow*>(&d), nullptr) << TextOf(d);
    d.findChild<QRadioButton*>("rbtFPag")->click();
    d.findChild<QToolButton*>("btnPesqFPag")->click();  // the list of payment kinds (next step)
    d.findChild<QAction*>("sbtConfirma")->trigger();
  });
  clerk->Then([&](QDialog& d) {
    auto* list = qobject_cast<PickListDialog*>(&d);
    ASSERT_NE(list, nullptr) << TextOf(d);
    EXPECT_EQ(d.windowTitle(), "Tipo de Baixa");
    // The search narrows the list; the clerk picks kind 01 and confirms.
    QTest::keyClicks(d.findChild<QLineEdit*>("pesquisa"), "BOLETO BANC");
    EXPECT_EQ(list->table()->model()->rowCount(), 1);
    list->Pick({"01"});
    d.findChild<QAbstractButton*>("confirmar")->click();
  });
  Trigger("sbtFiltro");
  EXPECT_EQ(clerk->Pending(), 0u);
  const auto kinds = Column(kCtlGrid, "NMTPBAIXAPAG");
  ASSERT_FALSE(kinds.empty());
  EXPECT_LT(static_cast<int>(kinds.size()), offered);
  for (const auto& k : kinds) EXPECT_EQ(k, "BOLETO BANCÁRIO");
}

}  // namespace
}  // namespace pag::ui::test
