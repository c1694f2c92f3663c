// Pictures of every page of the remittance screen and of its dialogs, taken
// along one clerk's work on the demo store, for docs/screenshots (README.md
// shows them). Each picture is checked to have been written with the size
// of the window it shows.
#include <QImage>
#include <QPixmap>
#include <QRadioButton>
#include <QSaveFile>
#include <QTabWidget>
#include <QToolButton>
#include <filesystem>

#include "fixture.h"
#include "ui/filter_windows.h"

namespace pag::ui::test {
namespace {

class ScreenshotsTest : public WindowTest {
 protected:
  void Save(QWidget& w, const char* name) {
    const std::filesystem::path folder = std::filesystem::path(PAG_SOURCE_DIR) / "docs" / "screenshots";
    std::filesystem::create_directories(folder);
    const QPixmap picture = w.grab();
    const std::string path = (folder / name).string();
    // Written whole and then renamed: two builds testing at once never see
    // half a picture.
    QSaveFile out(Q(path));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly)) << path;
    EXPECT_TRUE(picture.save(&out, "PNG")) << path;
    ASSERT_TRUE(out.commit()) << path;
    const QImage back(Q(path));
    EXPECT_EQ(back.size(), picture.size()) << path;
    saved.push_back(name);
  }
  std::vector<std::string> saved;
};

TEST_F(ScreenshotsTest, EveryPageAndDialog) {
  const std::string file = "/tmp/pag-remessa-001.txt";
  std::filesystem::remove(file);
  Tab();

  // The remittance filter: November and December.
  clerk->Then([&](QDialog& d) {
    auto* pages = d.findChild<QTabWidget*>("pgcPadrao");
    auto* ini = d.findChild<QLineEdit*>("depDtIniVen");
    ini->setFocus();
    ini->selectAll();
    QTest::keyClicks(ini, "01112026");
    auto* fin = d.findChild<QLineEdit*>("depDtFinVen");
    fin->setFocus();
    fin->selectAll();
    QTest::keyClicks(fin, "31122026");
    Save(d, "filtro-remessas.png");
    pages->setCurrentIndex(1);
    Save(d, "filtro-remessas-boletos.png");
    pages->setCurrentIndex(0);
    d.findChild<QAction*>("sbtConfirma")->trigger();
  });
  Trigger("sbtFiltro");
  ASSERT_EQ(window->grid("dbgPadrao")->model()->rowCount(), 2);
  Save(*window, "remessa-lista.png");

  // A new remittance of account 001.
  Trigger("sbtIncluir");
  Type(kCtlAccount, "1");
  Type(kCtlFile, Q(file));
  Tab();
  Save(*window, "remessa-formulario.png");

  // Its slips, all marked after the question.
  window->pages()->setCurrentIndex(static_cast<int>(Page::kBoletos));
  DataGrid* slips = window->grid(kCtlGrid);
  Activate();
  slips->setFocus();
  clerk->Then([&](QDialog& d) {
    Save(d, "mensagem-marcar-todos.png");
    ASSERT_TRUE(Click(d, "Sim"));
  });
  QTest::keyClick(slips, Qt::Key_Space, Qt::ControlModifier);
  QTest::keyClick(slips, Qt::Key_Home, Qt::ControlModifier);
  Save(*window, "remessa-boletos.png");

  // The slip filter, and the list of payment kinds it picks from (both
  // cancelled: the marks stay).
  clerk->Press("OK");  // "Existem contas marcadas ... continua?"
  clerk->Then([&](QDialog& d) {
    d.adjustSize();
    Save(d, "filtro-boletos.png");
    d.findChild<QRadioButton*>("rbtFPag")->click();
    d.findChild<QToolButton*>("btnPesqFPag")->click();
    d.reject();
  });
  clerk->Then([&](QDialog& d) {
    auto& pick = static_cast<PickListDialog&>(d);
    pick.Pick({"01", "21"});
    Save(d, "pesquisa-lista.png");
    d.reject();
  });
  Trigger("sbtFiltro");
  EXPECT_EQ(clerk->Pending(), 0u);

  // Confirming: the status panel while the file is written, then the
  // remittance's slips as sent.
  bool exporting = false;
  QObject::connect(dialogs.get(), &QtDialogs::progress, window.get(), [&] {
    if (!exporting && screen->panStatus.gaugePosition >= 40) {
      exporting = true;
      Save(*window, "remessa-exportando.png");
    }
  });
  clerk->Press("OK");
  Trigger("sbtConfirmar");
  EXPECT_TRUE(exporting);
  EXPECT_TRUE(clerk->Saw(screen->msgs().Msg("Expor_susc")));
  Save(*window, "remessa-enviada.png");
  std::filesystem::remove(file);
  EXPECT_EQ(saved.size(), 10u);
}

}  // namespace
}  // namespace pag::ui::test
