#include "remittance/report.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "host/errors.h"
#include "host/text.h"

namespace pag {

namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// A temporary name beside `path` that no other download uses.
std::string TemporaryBeside(const std::string& path) {
  static std::mt19937_64 gen{std::random_device{}()};
  return path + "." + std::to_string(gen() % 1000000000ULL) + ".tmp";
}

// The zero date, or earlier: "no date".
bool IsZeroDate(const DateTime& dt) { return dt <= ZeroDateTime(); }

}  // namespace

bool ServerLayoutDownloader::GetAtuGerFos(const std::string& local_path, const std::string& server_reference) {
  std::string content;
  try {
    content = net_.CallText("GetArquivoRel", {Arg(server_reference)});
  } catch (const std::exception&) {
    return false;
  }
  const std::string tmp = TemporaryBeside(local_path);
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ec;
      fs::remove(tmp, ec);
      return false;
    }
  }
  std::error_code ec;
  fs::rename(tmp, local_path, ec);
  if (ec) {
    fs::remove(tmp, ec);
    return false;
  }
  return true;
}

std::string FileNamePart(std::string_view path) {
  for (std::size_t i = path.size(); i > 0; --i)
    if (IsSeparator(path[i - 1])) return std::string(path.substr(i));
  return std::string(path);
}

bool LeavesFolder(std::string_view name) {
  if (name.empty()) return false;
  if (IsSeparator(name.front())) return true;
  if (name.size() >= 2 && name[1] == ':' &&
      ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')))
    return true;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    if (AllTrim(name.substr(start, end - start)) == "..") return true;
    start = end + 1;
  }
  return false;
}

std::optional<std::string> ReadVersionStamp(const std::string& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return std::nullopt;
  if (size == 0) return std::string();
  in.seekg(size - 1);
  char last = 0;
  if (!in.get(last)) return std::nullopt;
  if (last != '#') return std::string();
  const std::streamoff n = std::min<std::streamoff>(8, size - 1);
  std::string stamp(static_cast<std::size_t>(n), '\0');
  in.seekg(size - 1 - n);
  if (!in.read(stamp.data(), n)) return std::nullopt;
  return stamp;
}

std::optional<DateTime> FileModified(const std::string& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  const auto when = fs::last_write_time(path, ec);
  if (ec) return std::nullopt;
  const auto sys = std::chrono::file_clock::to_sys(when);
  const std::time_t t = std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys));
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return std::nullopt;
  return DateTime::Make(tm.tm_year + 1900, static_cast<unsigned>(tm.tm_mon + 1), static_cast<unsigned>(tm.tm_mday),
                        tm.tm_hour, tm.tm_min, tm.tm_sec);
}

bool LayoutNeedsDownload(const DateTime& server_date, const std::string& server_version,
                         const DateTime& local_date, const std::string& local_version) {
  if (IsZeroDate(server_date)) return false;
  return server_date > local_date || server_version > local_version;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    lines.emplace_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

// ---- RemessaReport ----------------------------------------------------------

RemessaReport::RemessaReport(RemessaData& d, std::string company, TNetConnection& net, const Session& session,
                             Dialogs& dialogs, ReportPrinter& printer, LayoutDownloader* downloader)
    : d_(d),
      company_(std::move(company)),
      net_(net),
      session_(session),
      dialogs_(dialogs),
      printer_(printer),
      own_downloader_(downloader ? nullptr : std::make_unique<ServerLayoutDownloader>(net)),
      downloader_(downloader ? *downloader : *own_downloader_) {}

RemessaReport::~RemessaReport() = default;

std::string RemessaReport::ReportFolder() const {
  std::string folder = session_.ReportDir();
  if (!folder.empty() && !IsSeparator(folder.back())) folder += '/';
  return folder;
}

void RemessaReport::RefuseIfLeaving(std::string_view name) const {
  if (LeavesFolder(name)) MensErro(dialogs_, d_.msgs.Msg("ARQU_INVALIDO"), true, "ARQU_INVALIDO");
}

void RemessaReport::sbtImprimirClick() {
  const std::string layout = d_.cdsCNABPag.FieldByName("DSARQBORDPAG").AsString();
  FazFTP_Rel(layout, "MODBORDPAG_NC");
  const std::string number = d_.cdsCNABPag.FieldByName("NRCNABPAG").AsString();
  const std::string question = d_.msgs.Format("DES_IMPRI_BORDERO", {number});
  if (dialogs_.ShowMsg(question, MsgType::kConfirmation, Buttons::kYesNo, kMrYes) == kMrYes) EmiteRelatorio(layout);
}

void RemessaReport::FazFTP_Rel(const std::string& layout, const std::string& key) {
  RefuseIfLeaving(layout);
  const std::string name = FileNamePart(layout);
  BaixaRelatorio(name);
  std::error_code ec;
  if (!fs::is_regular_file(ReportFolder() + name, ec)) MensErro(dialogs_, d_.msgs.Msg(key), true, key);
}

void RemessaReport::BaixaRelatorio(const std::string& name) {
  RefuseIfLeaving(name);
  const std::string local_path = ReportFolder() + FileNamePart(name);

  DateTime server_date = ZeroDateTime();
  std::string server_version = "0";
  std::string reference;
  try {
    Reply r = CheckResultServ(net_.Call("GetDadosRel", {Arg(name)}));
    const auto& items = r.items();
    if (items.size() < 3) throw std::runtime_error("GetDadosRel: three values expected");
    const Value& when = items[0].value();
    if (const auto* dt = std::get_if<DateTime>(&when)) server_date = *dt;
    server_version = items[1].text();
    reference = items[2].text();
  } catch (const std::exception&) {
    server_date = ZeroDateTime();
    server_version = "0";
  }
  if (IsZeroDate(server_date)) return;

  DateTime local_date = ZeroDateTime();
  std::string local_version = "0";
  const auto modified = FileModified(local_path);
  const auto stamp = ReadVersionStamp(local_path);
  if (modified && stamp) {
    local_date = *modified;
    local_version = *stamp;
  }
  if (!LayoutNeedsDownload(server_date, server_version, local_date, local_version)) return;

  RefuseIfLeaving(reference);
  if (!downloader_.GetAtuGerFos(local_path, reference))
    MensErro(dialogs_, d_.msgs.Format("Nrel", {FileNamePart(name)}) + "\n" + local_path, false);
}

void RemessaReport::EmiteRelatorio(const std::string& layout) {
  if (EmptyString(layout)) MensErro(dialogs_, d_.msgs.Msg("ARQU_INVALIDO"), true, "ARQU_INVALIDO");
  RefuseIfLeaving(layout);
  const std::string name = FileNamePart(layout);

  std::vector<Arg> args{Arg::Ref(name), Arg(" ")};
  const std::string text = CheckResultServ(net_.Call("RetornaRelatorio", args)).text();
  ReportJob job;
  if (const auto lines = SplitLines(text); lines.size() == 2) job.dialog_setting = LeftStr(lines[0], 255);
  job.layout_path = ReportFolder() + name;
  job.before_get_query_params = [this](ReportParams& params) { rddEmitirBeforeGetQueryParams(params); };

  try {
    printer_.Disconnect();
    printer_.Connect(session_.WebURL(), session_.WebPort());
    printer_.Print(job);
  } catch (...) {
    printer_.Disconnect();
    throw;
  }
  printer_.Disconnect();
}

void RemessaReport::rddEmitirBeforeGetQueryParams(ReportParams& params) const {
  if (params.find("P_CDEMPRESA") == params.end()) return;
  params["P_CDEMPRESA"] = company_;
  params["P_NRCNABPAG"] = d_.cdsCNABPag.FieldByName("NRCNABPAG").AsString();
}

void sbtImprimirClick(RemessaData& d, const std::string& company, TNetConnection& net, const Session& session,
                      Dialogs& dialogs, ReportPrinter& printer) {
  RemessaReport(d, company, net, session, dialogs, printer).sbtImprimirClick();
}

}  // namespace pag
