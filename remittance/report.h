// The print action of the remittance screen: the payment list ("borderô") of
// the current remittance, printed from the report layout that the bank
// agreement names (cdsCNABPag.DSARQBORDPAG). The layout file lives in the
// session's report folder (ReportDir) and is refreshed from the application
// server before each print: downloaded again when the server's copy is dated
// later than the local file, or carries a greater version stamp.
//
//   PdfReportPrinter printer(qrdesign, "/tmp/bordero.pdf");   // the report designer
//   RemessaReport report(d, "01", net, session, dialogs, printer);
//   report.sbtImprimirClick();   // refresh, "Deseja imprimir o borderô 0000000001 ?", print
//
// A layout name that would leave the report folder (an absolute path, a ".."
// part), and a server reference of that kind, are refused with
// "ARQU_INVALIDO". Standard library only: the printer is an interface.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/connection.h"
#include "host/datetime.h"
#include "host/dialogs.h"
#include "host/session.h"
#include "remittance/model/remessa_data.h"

namespace pag {

// The query parameters a report layout declares, by name, with the values
// given to them before its queries run ("P_CDEMPRESA" -> "01").
using ReportParams = std::map<std::string, std::string>;

// One print request to the report designer.
struct ReportJob {
  std::string layout_path;      // the local layout file: report folder + file name
  std::string dialog_setting;   // the report dialog's setting (at most 255 characters), or empty
  std::string default_database = "dbQuiltor";
  std::string layout_extension = ".QR2";
  bool print_if_empty = true;   // print the page even when the queries bring no rows
  // Fills the parameters the layout declares (rddEmitirBeforeGetQueryParams).
  std::function<void(ReportParams&)> before_get_query_params;
};

// The host's report designer and printer (rddEmitir), with its own connection
// to the report server (netQRDesign). Print throws on a fault of the layout
// or of the output; the caller disconnects afterwards in every case.
class ReportPrinter {
 public:
  virtual ~ReportPrinter() = default;
  virtual void Connect(const std::string& host, int port) = 0;
  virtual void Disconnect() = 0;
  virtual void Print(const ReportJob& job) = 0;
};

// The host's download service (GetAtuGerFos): fetches the file that the
// server knows by `server_reference` into `local_path`. True on success; on
// failure any earlier file at local_path is left as it was.
class LayoutDownloader {
 public:
  virtual ~LayoutDownloader() = default;
  virtual bool GetAtuGerFos(const std::string& local_path, const std::string& server_reference) = 0;
};

// GetAtuGerFos over the screen's server connection: asks the server method
// GetArquivoRel(reference) for the layout's content and writes it to a
// temporary file beside local_path, renamed over it once complete.
class ServerLayoutDownloader : public LayoutDownloader {
 public:
  explicit ServerLayoutDownloader(TNetConnection& net) : net_(net) {}
  bool GetAtuGerFos(const std::string& local_path, const std::string& server_reference) override;

 private:
  TNetConnection& net_;
};

// The file-name part of a path, after the last "/" or "\" ("REL\BORDPAG.QR2"
// -> "BORDPAG.QR2").
std::string FileNamePart(std::string_view path);

// True when a layout name or server reference would lead out of its folder:
// an absolute path ("/x", "\x", "C:x") or one with a ".." part.
bool LeavesFolder(std::string_view name);

// The version stamp of a layout file: when its last byte is "#", the (at most
// 8) bytes just before it, else "". nullopt when the file cannot be read.
std::optional<std::string> ReadVersionStamp(const std::string& path);

// Modification time of a regular file, in the machine's local time; nullopt
// when there is no such file.
std::optional<DateTime> FileModified(const std::string& path);

// Whether the local copy of a layout must be downloaded again: the server's
// date is later than the local file's, or its version is greater as text.
// Never when the server's date is the zero date (the server does not know
// the layout, or could not be asked).
bool LayoutNeedsDownload(const DateTime& server_date, const std::string& server_version,
                         const DateTime& local_date, const std::string& local_version);

// Lines of a text as the host's string list reads it: split at CR LF, LF or
// CR; a line break at the very end does not start another line.
std::vector<std::string> SplitLines(std::string_view text);

// The print action and its steps, for the current row of cdsCNABPag.
class RemessaReport {
 public:
  // `company` is the screen's company field (P_CDEMPRESA). Without a
  // downloader the layout is fetched through `net` (ServerLayoutDownloader).
  RemessaReport(RemessaData& d, std::string company, TNetConnection& net, const Session& session,
                Dialogs& dialogs, ReportPrinter& printer, LayoutDownloader* downloader = nullptr);
  ~RemessaReport();
  RemessaReport(const RemessaReport&) = delete;
  RemessaReport& operator=(const RemessaReport&) = delete;

  // Button sbtImprimir: refresh the remittance's layout (stops with
  // "MODBORDPAG_NC" when there is none), ask "DES_IMPRI_BORDERO" and print
  // on yes. Refusals end with Abort after their message was shown.
  void sbtImprimirClick();

  // Refreshes the layout into the report folder; stops with the text of
  // `key` when the file is still missing afterwards.
  void FazFTP_Rel(const std::string& layout, const std::string& key);

  // Compares the local copy of layout `name` with the server's and
  // downloads it when older. A failed download is shown ("Nrel" and the
  // path) without stopping.
  void BaixaRelatorio(const std::string& name);

  // Prints the layout for the current remittance through the printer.
  void EmiteRelatorio(const std::string& layout);

  // Gives P_CDEMPRESA and P_NRCNABPAG their values when the layout declares
  // P_CDEMPRESA.
  void rddEmitirBeforeGetQueryParams(ReportParams& params) const;

  // The report folder, ending with "/" (empty when ReportDir is empty: the
  // current folder).
  std::string ReportFolder() const;

 private:
  void RefuseIfLeaving(std::string_view name) const;

  RemessaData& d_;
  std::string company_;
  TNetConnection& net_;
  const Session& session_;
  Dialogs& dialogs_;
  ReportPrinter& printer_;
  std::unique_ptr<ServerLayoutDownloader> own_downloader_;
  LayoutDownloader& downloader_;
};

// The print action in one call, for screens and the command line.
void sbtImprimirClick(RemessaData& d, const std::string& company, TNetConnection& net, const Session& session,
                      Dialogs& dialogs, ReportPrinter& printer);

}  // namespace pag
