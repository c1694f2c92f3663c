// Shared by the desktop tests: a QApplication on the offscreen platform, the
// remittance screen in its Qt window over a temporary copy of the demo store
// (data/demo.json), and a clerk's hand that answers the dialogs: every
// dialog the screen opens is handed to the script's next step, which may
// click, type or pick. A dialog beyond the script is closed with Escape, its
// safe answer (no, cancel), so a test never says yes by accident.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "filters/filter_dialogs.h"
#include "host/server/import.h"
#include "host/server/localdb.h"
#include "host/server/server.h"
#include "remittance/Cli_pag00100.h"
#include "ui/qt_dialogs.h"
#include "ui/remessa_window.h"

namespace pag::ui::test {

// The one QApplication of the test program, offscreen.
inline QApplication& App() {
  static QApplication* app = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  return *app;
}

inline QString Q(const std::string& s) { return QString::fromStdString(s); }

// The text of a message box or of any dialog, for the record of what was shown.
inline std::string TextOf(QDialog& dialog) {
  if (auto* box = qobject_cast<QMessageBox*>(&dialog)) return box->text().toStdString();
  return dialog.windowTitle().toStdString();
}

// Clicks the button of a message box whose caption (without "&") is `caption`.
inline bool Click(QDialog& dialog, const QString& caption) {
  for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>()) {
    if (b->text().remove(QLatin1Char('&')) == caption && b->isVisible()) {
      b->click();
      return true;
    }
  }
  return false;
}

// Answers the dialogs in the order they come. Each step sees the dialog;
// dialogs beyond the script are closed with Escape (their safe answer).
class Clerk {
 public:
  using Step = std::function<void(QDialog&)>;

  explicit Clerk(QtDialogs& dialogs) {
    dialogs.onShown = [this](QDialog& d) { Answer(d); };
  }

  void Then(Step step) { steps_.push_back(std::move(step)); }
  // Presses the button with that caption on the next dialog.
  void Press(const QString& caption) {
    Then([caption](QDialog& d) {
      ASSERT_TRUE(Click(d, caption)) << "no button " << caption.toStdString() << " on \"" << TextOf(d) << "\"";
    });
  }

  // What every dialog said, in order.
  std::vector<std::string> shown;
  bool Saw(const std::string& text) const {
    for (const auto& s : shown)
      if (s == text) return true;
    return false;
  }
  std::size_t Pending() const { return steps_.size(); }

 private:
  void Answer(QDialog& d) {
    shown.push_back(TextOf(d));
    if (steps_.empty()) {
      d.reject();
      return;
    }
    Step step = std::move(steps_.front());
    steps_.pop_front();
    step(d);
  }

  std::deque<Step> steps_;
};

// The demo store, imported once per test program and copied for each test.
class DemoStore {
 public:
  static std::string Master() {
    static DemoStore master;
    return master.db_;
  }

 private:
  DemoStore() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pag-ui-demo-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
    dir_ = pattern;
    db_ = (dir_ / "demo.db").string();
    Store s(db_, Store::Mode::kCreate);
    ImportFile(s, std::string(PAG_SOURCE_DIR) + "/data/demo.json");
    s.db().Exec("PRAGMA wal_checkpoint(TRUNCATE)");
  }
  ~DemoStore() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::filesystem::path dir_;
  std::string db_;
};

// The remittance screen of the demo store, as a clerk of company 01 on
// 2026-12-06 sees it in its window.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    std::string pattern = (std::filesystem::temp_directory_path() / "pag-ui-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    std::filesystem::copy_file(DemoStore::Master(), dir / "store.db");
    store = std::make_unique<Store>((dir / "store.db").string());
    local = std::make_unique<SqliteLocalDatabase>(*store);
    net = std::make_unique<TNetConnection>(std::make_shared<InProcessTransport>(*store));
    session.empresa = "01";
    session.filial = "0001";
    session.operador = "ANA";
    session.nome_operador = "ANA LIMA";
    session.clock.Fix(DateTime::Make(2026, 12, 6, 10, 0, 0));
    session.processing_dates["0001"] = MakeDate(2026, 12, 6);
    dialogs = std::make_unique<QtDialogs>();
    clerk = std::make_unique<Clerk>(*dialogs);
    screen = std::make_unique<TfrmRemessaCNAB>(session, *dialogs, *net, *local);
    units = std::make_shared<FilterUnits>();
    window = std::make_unique<RemessaWindow>(
        *screen, RemessaWindow::Options{.dialogs = dialogs.get(), .filter_dialogs = true, .filter_units = units,
                                        .printer = nullptr});
    screen->FormCreate();
    window->Refresh();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  void TearDown() override {
    window.reset();
    screen.reset();
    clerk.reset();
    dialogs.reset();
    net.reset();
    local.reset();
    store.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  template <typename T = QWidget>
  T* Widget(const char* name) {
    T* w = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << "no widget " << name;
    return w;
  }
  void Trigger(const char* action) {
    QAction* a = window->action(action);
    ASSERT_NE(a, nullptr) << action;
    ASSERT_TRUE(a->isEnabled()) << action << " is disabled";
    a->trigger();
  }
  // Types into an edit as a clerk does: click into it, select what is there, type.
  void Type(const char* name, const QString& text) {
    auto* e = Widget<QLineEdit>(name);
    ASSERT_NE(e, nullptr);
    Activate();
    e->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    e->selectAll();
    QTest::keyClicks(e, text);
  }
  // The window back in front (after a dialog), so keys reach it.
  void Activate() {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  // Leaves the focused control with Tab.
  void Tab() {
    Activate();
    QWidget* w = QApplication::focusWidget();
    ASSERT_NE(w, nullptr);
    QTest::keyClick(w, Qt::Key_Tab);
    QApplication::processEvents();
  }
  // The control that has (or gets, once the window is in front) the focus.
  std::string Focused() const {
    QWidget* w = window->focusWidget();
    return w ? w->objectName().toStdString() : std::string();
  }
  std::string Out(const std::string& name) const { return (dir / name).string(); }

  // Column text of a grid, row by row.
  std::vector<std::string> Column(const char* grid, const std::string& field) {
    std::vector<std::string> out;
    DataGrid* g = window->grid(grid);
    const int c = g->dataModel().columnOf(field);
    for (int r = 0; r < g->dataModel().rowCount(); ++r) out.push_back(g->dataModel().cellText(r, c));
    return out;
  }

  std::filesystem::path dir;
  std::unique_ptr<Store> store;
  std::unique_ptr<SqliteLocalDatabase> local;
  std::unique_ptr<TNetConnection> net;
  Session session;
  std::unique_ptr<QtDialogs> dialogs;
  std::unique_ptr<Clerk> clerk;
  std::unique_ptr<TfrmRemessaCNAB> screen;
  std::shared_ptr<FilterUnits> units;
  std::unique_ptr<RemessaWindow> window;
};

}  // namespace pag::ui::test
