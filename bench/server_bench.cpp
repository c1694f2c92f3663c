// The embedded server under load: importing 100,000 slips, listing them all
// with GetBoletos, and the per-slip lookups made while marking a slip.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "host/connection.h"
#include "host/server/import.h"
#include "host/server/schema.h"
#include "host/server/server.h"

namespace {

constexpr int kSlips = 100000;
constexpr int kSuppliers = 1000;

std::string Entry(int i) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%010d", i);
  return buf;
}

// An import file with one company, two branches, one account, four payment
// kinds, the suppliers, and n slips each with one payable, one invoice
// received by its branch, and every tenth with an adjustment and an advance.
std::string MakeImport(int n) {
  std::string j;
  j.reserve(static_cast<std::size_t>(n) * 900);
  j += R"({"companies":[{"CDEMPRESA":"01","NMEMPRESA":"BENCH"}],)";
  j += R"("branches":[{"CDFILIAL":"0001","CDEMPRESA":"01","NMFILIAL":"A","NRINSJURFILI":"12345678000195"},)";
  j += R"({"CDFILIAL":"0002","CDEMPRESA":"01","NMFILIAL":"B","NRINSJURFILI":"12345678000276"}],)";
  j += R"("banks":[{"CDBANCO":"341","NMBANCO":"ITAU"}],)";
  j += R"("accounts":[{"CDREDUCONT":"001","CDEMPRESA":"01","CDBANCO":"341"}],)";
  j += R"("payment_kinds":[{"CDTPBAIXAPAG":"01","NMTPBAIXAPAG":"BOLETO","IDBAIXAUTILP":"B"},)";
  j += R"({"CDTPBAIXAPAG":"05","NMTPBAIXAPAG":"TED","IDBAIXAUTILP":"T"}],"suppliers":[)";
  for (int s = 0; s < kSuppliers; ++s) {
    j += s ? "," : "";
    j += R"({"CDFORNECED":"F)" + std::to_string(s) + R"(","NMRAZSOCFORN":"FORNECEDOR )" + std::to_string(s) +
         R"(","IDTPIJURFORN":"J","NRINSJURFORN":"11222333000181"})";
  }
  std::string slips, payables, invoices, receiving, adjustments, advances;
  for (int i = 1; i <= n; ++i) {
    const std::string e = Entry(i), branch = i % 2 ? "0001" : "0002";
    const std::string sep = i > 1 ? "," : "";
    const std::string cents = std::to_string(1000 + i % 90000);
    const std::string value = cents.substr(0, cents.size() - 2) + "." + cents.substr(cents.size() - 2);
    slips += sep + R"({"CDFILIBPAG":")" + branch + R"(","NRLANBOLPAG":")" + e +
             R"(","CDEMPRESA":"01","CDFORNECED":"F)" + std::to_string(i % kSuppliers) +
             R"(","CDREDUCONT":"001","CDTPBAIXAPAG":")" + (i % 3 ? "01" : "05") + R"(","VRFINALBPAG":")" + value +
             R"(","DTVENBOLPAG":"2026-12-)" + (i % 28 < 9 ? "0" : "") + std::to_string(i % 28 + 1) +
             R"(","CDBARRAPAG":"34191100000001500001123456789012345678901234","VRPERCENTTRIB":"4.50"})";
    payables += sep + R"({"CDFILIBPAG":")" + branch + R"(","NRLANBOLPAG":")" + e +
                R"(","FILORIG":")" + branch + R"(","DOCUMENTO":"DOC)" + e + R"(","VRCONTA":")" + value + R"("})";
    invoices += sep + R"({"CDFILIAL":")" + branch + R"(","NRLANCTONF":")" + e + R"(","CDFILIBPAG":")" + branch +
                R"(","NRLANBOLPAG":")" + e + R"(","NRNOTAFISC":")" + std::to_string(i) + R"(","VRDOC":")" + value +
                R"("})";
    receiving += sep + R"({"CDFILIAL":")" + branch + R"(","NRLANCTONF":")" + e + R"(","CDFILIRECE":")" + branch +
                 R"("})";
    if (i % 10 == 0) {
      const std::string s2 = adjustments.empty() ? "" : ",";
      adjustments += s2 + R"({"CDFILIBPAG":")" + branch + R"(","NRLANBOLPAG":")" + e + R"(","VRAJUSTE":"-1.00"})";
      advances += s2 + R"({"NRLANCANTECIPA":")" + e + R"(","CDFILIAL":")" + branch +
                  R"(","CDFORNECED":"F1","VRLIQUANTECIPA":"5.00","CDFILIBPAG":")" + branch +
                  R"(","NRLANBOLPAG":")" + e + R"("})";
    }
  }
  j += "],\"slips\":[" + slips + "],\"slip_payables\":[" + payables + "],\"invoices\":[" + invoices +
       "],\"receiving_branches\":[" + receiving + "],\"slip_adjustments\":[" + adjustments +
       "],\"advances\":[" + advances + "]}";
  return j;
}

class Folder {
 public:
  Folder() {
    std::string t = (std::filesystem::temp_directory_path() / "pagbenchXXXXXX").string();
    if (!mkdtemp(t.data())) throw std::runtime_error("mkdtemp failed");
    path = t;
  }
  ~Folder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::filesystem::path path;
};

const std::string& ImportText() {
  static const std::string text = MakeImport(kSlips);
  return text;
}

// One store with the 100,000 slips, shared by the read benchmarks.
struct Loaded {
  Folder dir;
  std::unique_ptr<pag::Store> store;
  std::unique_ptr<pag::TNetConnection> net;
  Loaded() {
    store = std::make_unique<pag::Store>((dir.path / "bench.db").string(), pag::Store::Mode::kCreate);
    pag::ImportJson(*store, ImportText());
    net = std::make_unique<pag::TNetConnection>(std::make_shared<pag::InProcessTransport>(*store));
  }
};

Loaded& Shared() {
  static Loaded loaded;
  return loaded;
}

void BM_Import100kSlips(benchmark::State& state) {
  const std::string& text = ImportText();
  for (auto _ : state) {
    state.PauseTiming();
    Folder dir;
    pag::Store store((dir.path / "i.db").string(), pag::Store::Mode::kCreate);
    state.ResumeTiming();
    auto s = pag::ImportJson(store, text);
    benchmark::DoNotOptimize(s.total);
  }
  state.counters["slips"] = kSlips;
}
BENCHMARK(BM_Import100kSlips)->Unit(benchmark::kMillisecond)->Iterations(2);

std::vector<pag::Arg> AllSlips() {
  using pag::Arg;
  return {Arg("01"),  Arg::Ref("T"), Arg::Ref("T"),    Arg::Ref(" "),     Arg::Ref("T"),    Arg("001"),
          Arg::Ref(" "), Arg::Ref("T"), Arg::Ref(" "),  Arg::Ref(" "),     Arg::Ref("T"),    Arg::Ref(" "),
          Arg::Ref("T"), Arg(pag::DateTime{}), Arg(pag::DateTime{}), Arg::Ref("T"), Arg::Ref(" "), Arg::Ref("T"),
          Arg(pag::Decimal(0)), Arg(pag::Decimal(0)), Arg::Ref("T"), Arg::Ref(" "), Arg::Ref("T"),
          Arg::Ref("_00_01_10_20_90"), Arg::Ref(" "), Arg::Ref("T"), Arg::Ref(""), Arg::Ref("T"), Arg(""),
          Arg(""), Arg::Ref("")};
}

void BM_GetBoletos100k(benchmark::State& state) {
  auto& s = Shared();
  for (auto _ : state) {
    pag::Packet p = s.net->CallPacket("GetBoletos", AllSlips());
    if (p.rows.size() != kSlips) state.SkipWithError("wrong row count");
    benchmark::DoNotOptimize(p.rows.data());
  }
  state.counters["rows"] = kSlips;
}
BENCHMARK(BM_GetBoletos100k)->Unit(benchmark::kMillisecond);

// A per-slip method, over slips spread through the store.
void PerSlip(benchmark::State& state, const char* method) {
  auto& s = Shared();
  int i = 0;
  for (auto _ : state) {
    i = (i + 7919) % kSlips;
    const int n = i + 1;
    pag::Reply r = s.net->Call(method, {pag::Arg(n % 2 ? "0001" : "0002"), pag::Arg(Entry(n))});
    if (r.IsError()) state.SkipWithError(r.error().c_str());
    benchmark::DoNotOptimize(r.kind());
  }
}

void BM_ValidaAjustes(benchmark::State& state) { PerSlip(state, "ValidaAjustes"); }
void BM_GetValorAntec(benchmark::State& state) { PerSlip(state, "GetValor_Antec"); }
void BM_GetFiliRece(benchmark::State& state) { PerSlip(state, "GetFiliRece"); }
BENCHMARK(BM_ValidaAjustes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetValorAntec)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetFiliRece)->Unit(benchmark::kMicrosecond);

}  // namespace
