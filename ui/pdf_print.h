// The desktop's printer of the payment list: it asks where to save the PDF
// (the file chooser of the Dialogs), has the report designer draw it there
// (report::PdfReportPrinter, through the report server's connection), and
// opens it with the desktop's PDF viewer.
//
//   TNetConnection qrdesign(transport, "Qrd.rdmQRDesign");
//   PdfFilePrinter printer(qrdesign, dialogs, session.clock);
//   RemessaWindow window(screen, {.dialogs = &dialogs, .printer = &printer});
#pragma once

#include <string>

#include "host/connection.h"
#include "host/dialogs.h"
#include "host/session.h"
#include "remittance/report.h"

namespace pag::ui {

class PdfFilePrinter : public ReportPrinter {
 public:
  PdfFilePrinter(TNetConnection& connection, Dialogs& dialogs, const Clock& clock, bool open_when_printed = true)
      : connection_(connection), dialogs_(dialogs), clock_(clock), open_(open_when_printed) {}

  void Connect(const std::string& host, int port) override;
  void Disconnect() override;
  // A cancelled file choice ends the print silently (Abort without a key).
  void Print(const ReportJob& job) override;

  // The PDF of the last print ("" before any).
  const std::string& last_path() const { return last_path_; }

 private:
  TNetConnection& connection_;
  Dialogs& dialogs_;
  const Clock& clock_;
  bool open_;
  std::string last_path_;
};

}  // namespace pag::ui
