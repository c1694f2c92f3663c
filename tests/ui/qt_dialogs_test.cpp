// The Dialogs interface with windows: what the user presses is what the
// logic gets back, in the numbers the host uses (6 yes, 7 no, 10 the first
// captioned button), and the Portuguese captions and filters reach the
// windows. A dialog closed with Escape gives its safe answer.
#include <QFileDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <filesystem>

#include "fixture.h"

namespace pag::ui::test {
namespace {

class QtDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override { App(); }
  QtDialogs dialogs;
  Clerk clerk{dialogs};
};

TEST_F(QtDialogsTest, QuestionsGiveBackTheButtonPressed) {
  clerk.Press("Sim");
  EXPECT_EQ(dialogs.ShowMsg("Deseja marcar todos os boletos?", MsgType::kConfirmation, Buttons::kYesNo, kMrNo), kMrYes);
  clerk.Press("Não");
  EXPECT_EQ(dialogs.ShowMsg("Confirma?", MsgType::kConfirmation, Buttons::kYesNo, kMrYes), kMrNo);
  clerk.Press("OK");
  EXPECT_EQ(dialogs.ShowMsg("Continua?", MsgType::kConfirmation, Buttons::kOkCancel, kMrCancel), kMrOk);
  // Escape: no, cancel.
  EXPECT_EQ(dialogs.ShowMsg("Confirma?", MsgType::kConfirmation, Buttons::kYesNo, kMrYes), kMrNo);
  EXPECT_EQ(dialogs.ShowMsg("Continua?", MsgType::kConfirmation, Buttons::kOkCancel, kMrOk), kMrCancel);
  EXPECT_EQ(clerk.shown.front(), "Deseja marcar todos os boletos?");

  // The default button is the one the logic names.
  clerk.Then([](QDialog& d) {
    auto& box = static_cast<QMessageBox&>(d);
    EXPECT_EQ(box.defaultButton()->text(), "&Não");
    EXPECT_EQ(box.windowTitle(), "Confirmação");
    d.reject();
  });
  dialogs.ShowMsg("Arquivo já cadastrado. Deseja substituir?", MsgType::kConfirmation, Buttons::kYesNo, kMrNo);
}

TEST_F(QtDialogsTest, TheAlertShowsItsCaptionsAndNumbersThemFromTen) {
  clerk.Then([](QDialog& d) {
    QStringList captions;
    for (QAbstractButton* b : d.findChildren<QAbstractButton*>()) captions << b->text();
    captions.sort();
    EXPECT_EQ(captions, (QStringList{"Não", "Sim"}));
    ASSERT_TRUE(Click(d, "Sim"));
  });
  EXPECT_EQ(dialogs.MsgAlertEx("Boleto já enviado. Deseja REENVIAR?", MsgType::kConfirmation, {"Sim", "Não"}),
            kMrAlertFirst);
  clerk.Press("Não");
  EXPECT_EQ(dialogs.MsgAlertEx("x", MsgType::kConfirmation, {"Sim", "Não"}), kMrAlertFirst + 1);
  EXPECT_EQ(dialogs.MsgAlertEx("x", MsgType::kConfirmation, {"Sim", "Não"}), kMrAlertFirst + 1);  // Escape
}

TEST_F(QtDialogsTest, APickListGivesBackTheKeysOfThePickedRows) {
  PickList list{"Fornecedor", {"Razão Social", "Código"}, {}, 1, true};
  list.rows = {{"ALFA LTDA", "F001"}, {"BETA SA", "F002"}, {"GAMA ME", "F003"}, {"ALFAMA", "F004"}};
  clerk.Then([](QDialog& d) {
    auto& pick = static_cast<PickListDialog&>(d);
    EXPECT_EQ(d.windowTitle(), "Fornecedor");
    QTest::keyClicks(d.findChild<QLineEdit*>("pesquisa"), "alfa");  // the search ignores case
    EXPECT_EQ(pick.table()->model()->rowCount(), 2);
    pick.Pick({"F004", "F001"});
    d.findChild<QAbstractButton*>("confirmar")->click();
  });
  std::vector<std::string> picked;
  ASSERT_TRUE(dialogs.PesquisaLista(list, picked));
  EXPECT_EQ(picked, (std::vector<std::string>{"F001", "F004"}));  // in the list's order

  // One row only when the list is not multiple; a cancel picks nothing.
  list.multiple = false;
  clerk.Then([](QDialog& d) {
    auto& pick = static_cast<PickListDialog&>(d);
    EXPECT_EQ(pick.table()->selectionMode(), QAbstractItemView::SingleSelection);
    d.findChild<QAbstractButton*>("cancelar")->click();
  });
  picked = {"unchanged"};
  EXPECT_FALSE(dialogs.PesquisaLista(list, picked));
  EXPECT_EQ(picked, std::vector<std::string>{"unchanged"});
}

TEST_F(QtDialogsTest, TheFileChooserTakesTheCallersFilterAndGivesBackThePath) {
  EXPECT_EQ(QtNameFilters("Arquivos Texto (*.txt)|*.txt|Todos os Arquivos (*.*)|*.*"),
            "Arquivos Texto (*.txt);;Todos os Arquivos (*.*)");
  EXPECT_EQ(QtNameFilters("Remessas|*.rem;*.txt"), "Remessas (*.rem *.txt)");
  const std::string folder = std::filesystem::temp_directory_path().string();
  clerk.Then([&](QDialog& d) {
    auto& files = static_cast<QFileDialog&>(d);
    EXPECT_EQ(files.nameFilters(), (QStringList{"Arquivos Texto (*.txt)", "Todos os Arquivos (*.*)"}));
    EXPECT_EQ(files.acceptMode(), QFileDialog::AcceptSave);
    files.selectFile(Q(folder + "/remessa-nova.txt"));
    static_cast<QDialog&>(files).accept();
  });
  const auto chosen = dialogs.ChooseSaveFile("Arquivo", "Arquivos Texto (*.txt)|*.txt|Todos os Arquivos (*.*)|*.*",
                                             folder + "/rem.txt");
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(std::filesystem::path(*chosen).filename(), "remessa-nova.txt");
  EXPECT_FALSE(dialogs.ChooseSaveFile("Arquivo", "Todos (*.*)|*.*", "").has_value());  // Escape
}

TEST_F(QtDialogsTest, TheBusyAnimationSpansNestedCallsAndTheGaugeIsAnnounced) {
  QSignalSpy busy(&dialogs, &QtDialogs::busyChanged);
  QSignalSpy progress(&dialogs, &QtDialogs::progress);
  dialogs.ActiveShowAvi();
  dialogs.ActiveShowAvi();
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  dialogs.DeactiveShowAvi();
  EXPECT_TRUE(dialogs.Busy());
  dialogs.Progress(40, 100, "Exportando ...");
  dialogs.DeactiveShowAvi();
  dialogs.DeactiveShowAvi();  // one too many changes nothing
  EXPECT_FALSE(dialogs.Busy());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  ASSERT_EQ(busy.count(), 2);
  EXPECT_TRUE(busy[0][0].toBool());
  EXPECT_FALSE(busy[1][0].toBool());
  ASSERT_EQ(progress.count(), 1);
  EXPECT_EQ(progress[0][0].toLongLong(), 40);
  EXPECT_EQ(progress[0][2].toString(), "Exportando ...");
}

}  // namespace
}  // namespace pag::ui::test
