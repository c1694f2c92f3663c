#include "cli/report_cmd.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "cli/cli_dialogs.h"
#include "host/errors.h"
#include "host/server/schema.h"
#include "host/server/server.h"
#include "remittance/model/remessa_data.h"
#include "remittance/report.h"
#include "report/pdf_printer.h"

namespace pag::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kWho = "pag00100 report";

std::string DefaultReportDir(const std::string& db) {
  return (fs::path(db).parent_path() / "relatorios").string();
}

int Refused(const std::string& key, const std::string& text) {
  std::cerr << key << ": " << text << "\n";
  return 2;
}

}  // namespace

int RunReport(const ReportOptions& o) {
  // Asking for the PDF is the request: the print question is answered yes.
  CliDialogs dialogs(kWho, /*yes=*/true);
  try {
    Store store(o.db);
    TNetConnection net(std::make_shared<InProcessTransport>(store));
    TNetConnection qrdesign(std::make_shared<InProcessTransport>(store), "Qrd.rdmQRDesign");

    Session session;
    session.empresa = o.company;
    session.report_dir = o.report_dir.empty() ? DefaultReportDir(o.db) : o.report_dir;
    fs::create_directories(session.report_dir);

    RemessaData d;
    Packet remittance = report::ReadRemittance(net, o.company, o.number);
    if (remittance.rows.empty()) {
      std::cerr << kWho << ": company " << o.company << " has no remittance " << o.number << "\n";
      return 1;
    }
    d.cdsCNABPag.LoadPacket(std::move(remittance));

    report::PdfReportPrinter printer(qrdesign, o.pdf);
    RemessaReport(d, o.company, net, session, dialogs, printer).sbtImprimirClick();
    dialogs.Flush();

    const auto& last = printer.last();
    const std::string which = o.company + "/" + d.cdsCNABPag.FieldByName("NRCNABPAG").AsString();
    if (!last || last->pages == 0) {
      std::cout << "payment list of remittance " << which << ": nothing printed\n";
      return 0;
    }
    std::cout << "payment list of remittance " << which << ": " << last->count << " slip"
              << (last->count == 1 ? "" : "s") << ", R$ " << last->total.ToDisplay() << ", " << last->pages
              << " page" << (last->pages == 1 ? "" : "s") << " -> " << o.pdf << "\n";
    if (!last->matches_remittance) {
      const Money declared = d.cdsCNABPag.FieldByName("VRTOTALCNABPAG").AsMoney();
      std::cout << "note: the remittance records " << d.cdsCNABPag.FieldByName("QTBOLCNABPAG").AsInteger()
                << " slips, R$ " << declared.ToDisplay() << "\n";
    }
    return 0;
  } catch (const Abort& e) {
    std::string text = dialogs.TakePending();
    return Refused(e.key(), text.empty() ? RemessaMessages().Msg(e.key()) : text);
  } catch (const ServerError& e) {
    // A refusal by the server comes as a message key.
    dialogs.Flush();
    if (RemessaMessages().Has(e.what())) return Refused(e.what(), RemessaMessages().Msg(e.what()));
    std::cerr << kWho << ": " << e.what() << "\n";
    return 1;
  } catch (const std::exception& e) {
    dialogs.Flush();
    std::cerr << kWho << ": " << e.what() << "\n";
    return 1;
  }
}

void AddReportCommand(CLI::App& app) {
  auto o = std::make_shared<ReportOptions>();
  auto* sub = app.add_subcommand("report", "Print the payment list (borderô) of a remittance to a PDF file");
  sub->add_option("number", o->number, "Remittance number (NRCNABPAG)")->required();
  sub->add_option("--db", o->db, "Store file")->required();
  sub->add_option("--company", o->company, "Company of the remittance")->required();
  sub->add_option("--pdf", o->pdf, "PDF file to write")->required();
  sub->add_option("--report-dir", o->report_dir,
                  "Report folder the layout is refreshed into (default: relatorios beside the store)");
  sub->callback([o] {
    if (const int rc = RunReport(*o); rc != 0) throw CLI::RuntimeError(rc);
  });
}

}  // namespace pag::cli
