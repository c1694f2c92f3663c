// Speed of the Santander writer: a remittance of bank slips (of Santander
// and of another bank) and credits (to Santander and DOCs to another bank)
// written from the screen's datasets into memory, with the server's and the
// host's answers in memory too. Counted in detail records (segments A, B, J
// and J-52, two a slip); the budget is at least a million detail records a
// second on one core.
#include <benchmark/benchmark.h>

#include <chrono>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "host/connection.h"
#include "host/dialogs.h"
#include "host/localdb.h"
#include "host/session.h"
#include "remittance/model/remessa_data.h"
#include "remittance/model/writer_context.h"
#include "writers/Cli_pag00113.h"
#include "writers/cnab/output_file.h"

namespace pag {
namespace {

// A packet of text columns.
Packet TextPacket(std::initializer_list<const char*> columns, std::vector<std::vector<std::string>> rows) {
  Packet p;
  for (const char* c : columns) p.fields.push_back({c, FieldKind::kString, 0, 0});
  for (auto& r : rows) p.rows.emplace_back(r.begin(), r.end());
  return p;
}

// The server: the account's agreement, the file counter, no invoice behind
// the slips.
class Server final : public Transport {
 public:
  Reply Call(const std::string& method, std::vector<Arg>&) override {
    const auto start = std::chrono::steady_clock::now();
    Reply reply = Answer(method);
    spent += std::chrono::steady_clock::now() - start;
    return reply;
  }
  void BeginWork() override {}
  void CommitWork() override {}
  void RollbackWork() noexcept override {}

  // Time spent answering calls: the share of a run that is the server's.
  std::chrono::steady_clock::duration spent{};

 private:
  static Reply Answer(const std::string& method) {
    if (method == "GetIdConta") return Reply::OfPacket(TextPacket({"CDIDPAGCONTCORR"}, {{"3300123456789012"}}));
    if (method == "ProximoCodigo") return Reply::Text("42");
    if (method == "GetDocBole") return Reply::OfPacket(TextPacket({"NRNOTAFISC", "DTEMISSAO", "CDSERIEENTR"}, {}));
    return Reply::Error("unexpected " + method);
  }
};

// The host's database: the suppliers' addresses and the banks' pictures.
class HostDb final : public LocalDatabase {
 public:
  Packet Query(const std::string& name, const QueryParams& params) override {
    if (name == "qryMascBancoForn") return TextPacket({"CDPICTCONT", "CDPICTAGEN"}, {{"9999999-9", "9999-9"}});
    return TextPacket({"CDFORNECED", "DSENDEFORN", "NMBAIRFORN", "NMMUNICIPIO", "NRCEPFORN", "SGESTADO"},
                      {{ValueToText(params.at("CDFORNECED")), "Rua Augusta, 1500 - Conjunto 12", "Consolação",
                        "São Paulo", "01304-001", "SP"}});
  }
  bool AcessoOperEmpresa(const std::string&, const std::string&) override { return true; }
};

// A remittance of `count` marked slips: a quarter each of bank slips of
// Santander, bank slips of Itaú, credits to Santander and DOCs to Bradesco;
// every ten slips of another supplier.
void Load(RemessaData& d, int count) {
  d.cdsCNABPag.LoadPacket(TextPacket({"CDEMPRESA", "CDBANCO", "CDREDUCONT", "IDOPECNABPAG", "CDFILIAL", "CDBANCCNAB"},
                                     {{"01", "033", "001", "I", "", "033"}}));
  d.cdsEmpresa.LoadPacket(
      TextPacket({"NMEMPRESA", "IDTPIJUREMPR", "NMRAZSOCEMPR", "NRINSJUREMPR"},
                 {{"Comércio & Indústria São João", "J", "Comércio e Indústria São João Ltda",
                   "12.345.678/0001-95"}}));
  d.cdsContaCorrente.LoadPacket(TextPacket({"CDREDUCONT", "CDAGENCIA", "CDCONTCORR", "CDPICTCONT", "IDFASCNABPAG"},
                                           {{"001", "3456", "130012345", "99999999-9", "P"}}));
  const char* barcodes[] = {"03391925000001234569123456700000012345670101",
                            "34198920100000899901091234567800012345678000"};
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < count; ++i) {
    const int kind = i % 4;
    const bool slip = kind == 0 || kind == 2;
    rows.push_back({"S", slip ? "B" : (kind == 1 ? "T" : "D"), slip ? barcodes[kind / 2] : "",
                    slip ? "" : (kind == 1 ? "033" : "237"), "12345", "1234567-8", std::to_string(1000 + i / 10),
                    "José da Conceição & Cia. Peças", "11.222.333/0001-81", "J", "0001",
                    std::to_string(1000000 + i), "2026-12-10", slip ? "150.00" : "4000.00", "5000.00", "033"});
  }
  d.cdsBoletos.LoadPacket(TextPacket({"IDMARCADO", "IDBAIXAUTILP", "CDBARRAPAG", "CDBANCBOLP", "CDAGENBOLP",
                                      "CDCCORBOLP", "CDFORNECED", "NMRAZSOCFORN", "NRINSJURFORN", "IDTPIJURFORN",
                                      "CDFILIBPAG", "NRLANBOLPAG", "DTVENBOLPAG", "VRFINALBPAG", "VRMAXDOCCNAB",
                                      "CDBANCCNAB"},
                                     std::move(rows)));
  d.cdsBoletos.SetIndexName("idxGeraRemessa");
}

void BM_Santander(benchmark::State& state) {
  const int slips = static_cast<int>(state.range(0));
  RemessaData d;
  Load(d, slips);
  auto server = std::make_shared<Server>();
  TNetConnection net(server);
  HostDb localdb;
  Session session;
  session.clock.Fix(DateTime::Make(2026, 12, 6, 14, 30, 5));
  ScriptedDialogs dialogs;
  // A first run outside the measure sorts the slips into the file's order,
  // as the screen has done before a remittance is written.
  {
    MemorySink sink;
    WriterContext ctx{d, net, localdb, session, dialogs, sink, "01", "001", "033", 0, {}};
    Remessa_Santander(ctx);
  }
  std::int64_t records = 0;
  server->spent = {};
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    MemorySink sink;
    WriterContext ctx{d, net, localdb, session, dialogs, sink, "01", "001", "033", 0, {}};
    Remessa_Santander(ctx);
    records += sink.records();
    benchmark::DoNotOptimize(sink.content().data());
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  state.SetItemsProcessed(state.iterations() * 2 * slips);
  // The share of the time that the server's answers took (GetDocBole per slip).
  state.counters["server_share"] = std::chrono::duration<double>(server->spent).count() /
                                   std::chrono::duration<double>(elapsed).count();
  state.counters["records"] = static_cast<double>(records) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Santander)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pag
