// Speed of the Banco do Brasil writer: a remittance of bank slips and
// credits written from the screen's datasets into memory. Counted in
// detail records (segments A, B, J and J-52); the goal is at least a million
// detail records a second on one core.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "host/connection.h"
#include "host/dialogs.h"
#include "host/localdb.h"
#include "host/session.h"
#include "remittance/model/remessa_data.h"
#include "remittance/model/writer_context.h"
#include "writers/Cli_pag00114.h"
#include "writers/cnab/output_file.h"

namespace pag {
namespace {

Packet Rows(const std::vector<std::string>& fields, const std::vector<std::vector<std::string>>& rows) {
  Packet p;
  for (const auto& f : fields) p.fields.push_back({f, FieldKind::kString, 0, 0});
  for (const auto& r : rows) {
    std::vector<Value> values(r.begin(), r.end());
    p.rows.push_back(std::move(values));
  }
  return p;
}

// The server: the account's agreement.
class Server final : public Transport {
 public:
  Reply Call(const std::string& method, std::vector<Arg>&) override {
    if (method == "GetIdConta") return Reply::OfPacket(Rows({"CDIDPAGCONTCORR"}, {{"000123456"}}));
    return Reply::Error("unexpected " + method);
  }
  void BeginWork() override {}
  void CommitWork() override {}
  void RollbackWork() noexcept override {}
};

// The host's database: the suppliers' addresses.
class Addresses final : public LocalDatabase {
 public:
  Packet Query(const std::string&, const QueryParams& params) override {
    return Rows({"CDFORNECED", "DSENDEFORN", "NMBAIRFORN", "NMMUNICIPIO", "NRCEPFORN", "SGESTADO"},
                {{ValueToText(params.at("CDFORNECED")), "Rua Augusta, 1500 - Conjunto 12", "Consolação", "São Paulo",
                  "01304-001", "SP"}});
  }
  bool AcessoOperEmpresa(const std::string&, const std::string&) override { return true; }
};

// A remittance of `slips` marked slips: half bank slips (of Banco do Brasil
// and of another bank), half credits (to Banco do Brasil and to other
// banks), every ten slips of another supplier.
void Load(RemessaData& d, int slips) {
  d.cdsCNABPag.LoadPacket(Rows({"CDEMPRESA", "CDBANCO", "CDREDUCONT", "IDOPECNABPAG", "NRSEQREMESSAPAG", "CDFILIAL"},
                               {{"01", "001", "001", "I", "42", ""}}));
  d.cdsEmpresa.LoadPacket(Rows({"NMEMPRESA", "IDTPIJUREMPR", "NMRAZSOCEMPR", "DSENDEEMPR", "NMMUNICIPIO", "NRCEPEMPR",
                                "SGESTADO", "NRINSJUREMPR"},
                               {{"Comércio & Indústria São João", "J", "Comércio e Indústria São João Ltda",
                                 "Rua da Consolação, 1000", "São Paulo", "01301-000", "SP", "12.345.678/0001-95"}}));
  d.cdsContaCorrente.LoadPacket(Rows({"CDAGENCIA", "CDCONTCORR", "CDPICTCONT", "NMBANCO"},
                                     {{"12345", "12345678", "9999999-9", "Banco do Brasil S.A."}}));
  const char* barcodes[] = {"00191917000000147800000003432568000001003517",
                            "34194920000000500001091234567800012345678000"};
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < slips; ++i) {
    const bool slip = i % 2 == 0;
    const std::string entry = std::to_string(1000000 + i);
    rows.push_back({"S", slip ? "B" : (i % 4 == 1 ? "T" : "D"), slip ? barcodes[(i / 2) % 2] : "",
                    slip ? "" : (i % 4 == 1 ? "001" : "237"), "1234", "12345-6", std::to_string(1000 + i / 10),
                    "José da Conceição & Cia. Peças", "11.222.333/0001-81", "J", "0001", entry, "2026-12-10",
                    slip ? "150.00" : "5000.00"});
  }
  d.cdsBoletos.LoadPacket(Rows({"IDMARCADO", "IDBAIXAUTILP", "CDBARRAPAG", "CDBANCBOLP", "CDAGENBOLP", "CDCCORBOLP",
                                "CDFORNECED", "NMRAZSOCFORN", "NRINSJURFORN", "IDTPIJURFORN", "CDFILIBPAG",
                                "NRLANBOLPAG", "DTVENBOLPAG", "VRFINALBPAG"},
                               rows));
  d.cdsBoletos.SetIndexName("idxGeraRemessa");
}

void BM_BancoDoBrasil(benchmark::State& state) {
  const int slips = static_cast<int>(state.range(0));
  RemessaData d;
  Load(d, slips);
  TNetConnection net(std::make_shared<Server>());
  Addresses localdb;
  Session session;
  session.clock.Fix(DateTime::Make(2026, 12, 6, 14, 30, 5));
  ScriptedDialogs dialogs;
  // A first run outside the measure sorts the slips into the file's order,
  // as the screen has done before a remittance is written.
  {
    MemorySink sink;
    WriterContext ctx{d, net, localdb, session, dialogs, sink, "01", "001", "001", 0, {}};
    Remessa_BcoBrasil(ctx);
  }
  std::int64_t details = 0;
  for (auto _ : state) {
    MemorySink sink;
    WriterContext ctx{d, net, localdb, session, dialogs, sink, "01", "001", "001", 0, {}};
    Remessa_BcoBrasil(ctx);
    details += sink.records();
    benchmark::DoNotOptimize(sink.content().data());
  }
  // Every slip is two detail records; the headers and trailers are few.
  state.SetItemsProcessed(state.iterations() * 2 * slips);
  state.counters["records"] = static_cast<double>(details) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_BancoDoBrasil)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pag
