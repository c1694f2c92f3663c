#include "ui/pdf_print.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

#include "host/errors.h"
#include "report/pdf_printer.h"

namespace pag::ui {

void PdfFilePrinter::Connect(const std::string& host, int port) {
  connection_.host = host;
  connection_.port = port;
  connection_.Connect();
}

void PdfFilePrinter::Disconnect() { connection_.Disconnect(); }

void PdfFilePrinter::Print(const ReportJob& job) {
  const std::string suggested =
      last_path_.empty() ? QDir::home().filePath(QStringLiteral("bordero.pdf")).toStdString() : last_path_;
  const auto path = dialogs_.ChooseSaveFile("Salvar borderô", "Arquivos PDF (*.pdf)|*.pdf", suggested);
  if (!path) throw Abort();
  report::PdfReportPrinter pdf(connection_, *path);
  pdf.set_clock(clock_);
  pdf.Print(job);
  last_path_ = *path;
  if (open_) QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(*path)));
}

}  // namespace pag::ui
