// The report designer that prints the payment list to a PDF file, standing in
// for the host's designer component: it reads a payment-list layout of our
// own format (report/layout.h), asks for the layout's query parameters,
// reads the remittance through its own connection to the report server
// (netQRDesign) and draws the pages with Qt: heading on every page, the slip
// table with its column titles repeated on every page, a subtotal per payment
// mode, the grand total, and "Página n de N" at the foot.
//
//   TNetConnection qrdesign(transport, "Qrd.rdmQRDesign");
//   PdfReportPrinter printer(qrdesign, "/tmp/bordero-0000000001.pdf");
//   RemessaReport(d, "01", net, session, dialogs, printer).sbtImprimirClick();
//   printer.last()->pages;   // 1
//
// Needs a QGuiApplication; when the program has none, one is created on the
// first print, on the "offscreen" platform unless QT_QPA_PLATFORM says
// otherwise (no display is needed to write a PDF).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "host/connection.h"
#include "host/decimal.h"
#include "host/session.h"
#include "remittance/report.h"
#include "report/layout.h"
#include "report/payment_list.h"

namespace pag::report {

class PdfReportPrinter : public ReportPrinter {
 public:
  // `connection` reaches the report server; the PDF goes to `pdf_path`,
  // written whole to a temporary file and renamed over it.
  PdfReportPrinter(TNetConnection& connection, std::string pdf_path);

  void Connect(const std::string& host, int port) override;
  void Disconnect() override;
  void Print(const ReportJob& job) override;

  // The clock of "Emitido em" ({EMISSAO}); the machine's by default.
  void set_clock(const Clock& clock) { clock_ = clock; }
  const std::string& pdf_path() const { return pdf_path_; }

  // What the last print put on paper.
  struct Summary {
    std::int64_t count = 0;
    Money total;
    int pages = 0;  // 0 when nothing was printed
    bool matches_remittance = true;
  };
  const std::optional<Summary>& last() const { return last_; }

 private:
  TNetConnection& connection_;
  std::string pdf_path_;
  Clock clock_;
  std::optional<Summary> last_;
};

// Draws a laid-out payment list into a PDF file; returns the page count.
// Throws std::runtime_error when the file cannot be written.
int WritePaymentListPdf(const PaymentListLayout& layout, const PaymentList& list, const DateTime& issued_at,
                        const std::string& pdf_path);

}  // namespace pag::report
