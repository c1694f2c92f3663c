// host-app: a small host that loads the remittance module the way the
// application does (dlopen), gives it its services, calls its menu entry
// IniProc, and unloads it. With a display (or QT_QPA_PLATFORM set) the
// screen the package shows is bound to its Qt window (show_screen) and the
// clerk works in it until it is closed; without one the screen is described
// on standard output.
//
//   host-app --db STORE [--import FILE.json] [--company C] [--operator OP]
//            [--clock YYYY-MM-DDTHH:MM:SS] [--date YYYY-MM-DD] [--report-dir DIR]
//            [--package PATH] [--check] [--headless] [--screenshot FILE.png]
//
// --import loads an import file into the store first (creating it when
// missing). --check also proves the single-screen rules: a second IniProc
// shows the same screen, closing it allows a fresh one, and an IniProc
// before the services were given fails without leaving a screen behind; it
// runs without windows, as --headless does. --screenshot shows the window,
// saves a picture of it and closes it (a check of the desktop path).
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include "filters/filter_dialogs.h"
#include "host/connection.h"
#include "host/dialogs.h"
#include "host/server/import.h"
#include "host/server/localdb.h"
#include "host/server/server.h"
#include "host/session.h"
#include "host/text.h"
#include "package/pkg_pag00100.h"
#include "ui/pdf_print.h"
#include "ui/qt_dialogs.h"
#include "ui/remessa_window.h"

namespace {

// Messages go to standard error; every question takes its default answer.
class ConsoleDialogs : public pag::Dialogs {
 public:
  void ShowError(const std::string& text) override { std::cerr << "error: " << text << "\n"; }
  void ShowInfo(const std::string& text) override { std::cerr << text << "\n"; }
  int ShowMsg(const std::string& text, pag::MsgType, pag::Buttons, int default_button) override {
    std::cerr << text << " (default answer)\n";
    return default_button;
  }
  int MsgAlertEx(const std::string& text, pag::MsgType, const std::vector<std::string>& captions) override {
    std::cerr << text << " (" << (captions.empty() ? std::string() : captions.back()) << ")\n";
    return pag::kMrAlertFirst + static_cast<int>(captions.empty() ? 0 : captions.size() - 1);
  }
  bool PesquisaLista(const pag::PickList&, std::vector<std::string>&) override { return false; }
  std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
};

struct Options {
  std::string db, import, company, operatorCode, package, clock, date, reportDir, screenshot;
  bool check = false;
  bool headless = false;
};

void Usage() {
  std::cerr << "usage: host-app --db STORE [--import FILE.json] [--company C] [--operator OP]\n"
               "                [--clock YYYY-MM-DDTHH:MM:SS] [--date YYYY-MM-DD] [--report-dir DIR]\n"
               "                [--package PATH] [--check] [--headless] [--screenshot FILE.png]\n";
}

// Windows are shown when there is somewhere to show them.
bool HaveDisplay() {
  for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* v = std::getenv(var);
    if (v && *v) return true;
  }
  return false;
}

std::optional<Options> Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) throw std::invalid_argument(a + " needs a value");
      out = argv[++i];
    };
    if (a == "--db") {
      value(o.db);
    } else if (a == "--import") {
      value(o.import);
    } else if (a == "--company") {
      value(o.company);
    } else if (a == "--operator") {
      value(o.operatorCode);
    } else if (a == "--package") {
      value(o.package);
    } else if (a == "--clock") {
      value(o.clock);
    } else if (a == "--date") {
      value(o.date);
    } else if (a == "--report-dir") {
      value(o.reportDir);
    } else if (a == "--screenshot") {
      value(o.screenshot);
    } else if (a == "--check") {
      o.check = true;
    } else if (a == "--headless") {
      o.headless = true;
    } else if (a == "--help" || a == "-h") {
      Usage();
      return std::nullopt;
    } else {
      throw std::invalid_argument("unknown argument " + a);
    }
  }
  if (o.db.empty()) throw std::invalid_argument("--db STORE is required");
  return o;
}

// The package next to this program, unless named.
std::string PackagePath(const Options& o) {
  if (!o.package.empty()) return o.package;
  char self[PATH_MAX] = {};
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  const std::filesystem::path dir = n > 0 ? std::filesystem::path(std::string(self, static_cast<std::size_t>(n))).parent_path()
                                          : std::filesystem::path(".");
  return (dir / "libpag00100pkg.so").string();
}

class Package {
 public:
  explicit Package(const std::string& path) : handle_(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
    if (!handle_) throw std::runtime_error(std::string("cannot load the package: ") + ::dlerror());
  }
  ~Package() {
    if (handle_) ::dlclose(handle_);
  }
  Package(const Package&) = delete;
  Package& operator=(const Package&) = delete;

  template <typename F>
  F Entry(const char* name) const {
    void* p = ::dlsym(handle_, name);
    if (!p) throw std::runtime_error(std::string("the package has no entry ") + name);
    return reinterpret_cast<F>(p);
  }

 private:
  void* handle_;
};

void Expect(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error("check failed: " + what);
  std::cout << "ok: " << what << "\n";
}

// The desktop: the screen the package shows, in its Qt window.
struct Desktop {
  pag::ui::QtDialogs* dialogs = nullptr;
  pag::ReportPrinter* printer = nullptr;
  // The filter dialogs' lasting variables (picked lists, stModo): one set
  // for as long as the package is loaded, across screens.
  std::shared_ptr<pag::FilterUnits> filterUnits = std::make_shared<pag::FilterUnits>();
  QPointer<pag::ui::RemessaWindow> window;
};

// show_screen: binds a window to the screen the first time it is shown and
// brings it forward every time.
void ShowScreen(pag::TfrmRemessaCNAB* screen, void* context) {
  Desktop& desk = *static_cast<Desktop*>(context);
  // A window lives as long as its screen is open: closing it closes the
  // screen and deletes the window, so a new screen always finds none.
  if (!desk.window || &desk.window->screen() != screen) {
    desk.window = new pag::ui::RemessaWindow(
        *screen, {.dialogs = desk.dialogs, .filter_dialogs = true, .filter_units = desk.filterUnits,
                  .printer = desk.printer});
    // Closed, the window goes with its screen (closeEvent runs FormClose).
    desk.window->setAttribute(Qt::WA_DeleteOnClose);
  }
  desk.window->Refresh();
  desk.window->showNormal();
  desk.window->raise();
  desk.window->activateWindow();
}

int Run(const Options& o, int& argc, char** argv) {
  using pag::Store;
  std::unique_ptr<Store> store;
  if (!o.import.empty()) {
    store = std::make_unique<Store>(o.db, Store::Mode::kCreate);
    const pag::ImportSummary s = pag::ImportFile(*store, o.import);
    std::cout << "imported " << s.total << " rows from " << o.import << "\n";
  } else {
    store = std::make_unique<Store>(o.db, Store::Mode::kOpenExisting);
  }
  pag::SqliteLocalDatabase local(*store);
  pag::TNetConnection net(std::make_shared<pag::InProcessTransport>(*store));
  pag::Session session;
  session.empresa = o.company;
  if (session.empresa.empty()) {
    const pag::Packet companies = local.Query("qryEmpresa", {{"P_CDEMPRESA", pag::Value{}}});
    if (companies.empty()) throw std::runtime_error("the store has no company");
    session.empresa = pag::ValueToText(companies.At(0, "CDEMPRESA"));
  }
  {
    const pag::Packet ops = local.Query("qryOperador", {});
    for (std::size_t r = 0; r < ops.rows.size() && session.operador.empty(); ++r) {
      const std::string code = pag::ValueToText(ops.At(r, "CDOPERADOR"));
      const bool wanted = o.operatorCode.empty() ? local.AcessoOperEmpresa(session.empresa, code)
                                                 : code == pag::AllTrim(o.operatorCode);
      if (wanted) {
        session.operador = code;
        session.nome_operador = pag::ValueToText(ops.At(r, "NMOPERADOR"));
      }
    }
    if (session.operador.empty()) session.operador = pag::AllTrim(o.operatorCode);
  }
  if (!o.clock.empty()) {
    const auto t = pag::ParseDateTime(o.clock);
    if (!t) throw std::invalid_argument("--clock " + o.clock + " is not a date and time (YYYY-MM-DDTHH:MM:SS)");
    session.clock.Fix(*t);
  }
  if (!o.date.empty()) {
    const auto d = pag::ParseDate(o.date);
    if (!d) throw std::invalid_argument("--date " + o.date + " is not a date (YYYY-MM-DD)");
    session.processing_dates[session.filial] = *d;
  }
  session.report_dir = o.reportDir;

  // Windows when there is a display and no scripted check.
  const bool desktop = !o.check && !o.headless && HaveDisplay();
  if (!desktop && !o.check && !o.headless)
    std::cout << "no display (DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM): the screen is described, not shown\n";
  std::unique_ptr<QApplication> app;
  std::unique_ptr<pag::ui::QtDialogs> qtDialogs;
  std::unique_ptr<pag::TNetConnection> qrdesign;
  std::unique_ptr<pag::ui::PdfFilePrinter> printer;
  ConsoleDialogs console;
  Desktop desk;
  if (desktop) {
    app = std::make_unique<QApplication>(argc, argv);
    qtDialogs = std::make_unique<pag::ui::QtDialogs>();
    qrdesign = std::make_unique<pag::TNetConnection>(std::make_shared<pag::InProcessTransport>(*store),
                                                     "Qrd.rdmQRDesign");
    printer = std::make_unique<pag::ui::PdfFilePrinter>(*qrdesign, *qtDialogs, session.clock,
                                                        /*open_when_printed=*/o.screenshot.empty());
    desk.dialogs = qtDialogs.get();
    desk.printer = printer.get();
  }
  pag::Dialogs& dialogs = desktop ? static_cast<pag::Dialogs&>(*qtDialogs) : console;

  const Package pkg(PackagePath(o));
  const auto info = pkg.Entry<PagInfoProc>("GetPackageInfoTable")();
  std::cout << "package " << info->name << ": " << info->unit_count << " units\n";
  const auto initialize = pkg.Entry<PagInitializeProc>("Initialize");
  const auto finalize = pkg.Entry<PagProc>("Finalize");
  const auto iniProc = pkg.Entry<PagProc>("IniProc");
  const auto created = pkg.Entry<PagIntProc>("RemessaCNABCriada");
  const auto close = pkg.Entry<PagProc>("FechaRemessaCNAB");
  const auto describe = pkg.Entry<PagTextProc>("EstadoRemessaCNAB");
  const auto listRemittances = pkg.Entry<PagFilterProc>("CriaFiltroRemessaCNAB");

  if (o.check) {
    // Without its services the module cannot build the screen: the error
    // reaches this host, and no screen is left half made.
    bool failed = false;
    try {
      iniProc();
    } catch (const std::exception& e) {
      failed = true;
      std::cout << "IniProc before Initialize: " << e.what() << "\n";
    }
    Expect(failed && !created(), "an exception while creating reaches the host and leaves no screen");
  }

  PagHostServices services{PAG_HOST_SERVICES_VERSION, &session, &dialogs, &net, &local,
                           desktop ? &ShowScreen : nullptr, desktop ? &desk : nullptr};
  initialize(&services);
  iniProc();
  listRemittances("ESCONDE_FILTRO");  // as leaving the company panel does
  const std::string first = describe();
  std::cout << first << "\n";
  if (desktop && desk.window) {
    desk.window->Refresh();
    if (!o.screenshot.empty()) {
      // Once laid out and painted: the picture, then the window is closed
      // as the clerk closes it.
      QTimer::singleShot(300, desk.window, [&desk, &o] {
        const bool saved = desk.window->grab().save(QString::fromStdString(o.screenshot));
        std::cout << (saved ? "window saved to " : "could not save the window to ") << o.screenshot << "\n";
        desk.window->close();
      });
    }
    app->exec();
    delete desk.window.data();
    std::cout << describe() << "\n";
  }
  if (o.check) {
    Expect(created(), "IniProc builds the screen");
    iniProc();
    Expect(describe() == first, "a second IniProc shows the same screen");
    close();
    Expect(!created(), "closing the screen lets it go");
    iniProc();
    Expect(created() && std::string(describe()).rfind("screen 2,", 0) == 0, "the next IniProc builds a fresh screen");
    std::cout << describe() << "\n";
    close();
  }
  finalize();
  std::cout << "package unloaded\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const auto options = Parse(argc, argv);
    if (!options) return 0;
    return Run(*options, argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "host-app: " << e.what() << "\n";
    return 1;
  }
}
