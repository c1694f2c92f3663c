// Speed of the Itaú writer: a remittance of bank slips (of Itaú and of other
// banks), credits (to Itaú accounts and to other banks), PIX by key and
// taxes, written from the screen's datasets into memory. Counted in slips;
// the records of the file are reported beside them.
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
#include "writers/Cli_pag00104.h"
#include "writers/cnab/output_file.h"

namespace pag {
namespace {

Packet TextPacket(const std::vector<std::string>& fields, const std::vector<std::vector<std::string>>& rows) {
  Packet p;
  for (const auto& f : fields) p.fields.push_back({f, FieldKind::kString, 0, 0});
  for (const auto& r : rows) p.rows.emplace_back(r.begin(), r.end());
  return p;
}

// This remittance needs nothing of the server: no branch, no DARJ.
class NoServer final : public Transport {
 public:
  Reply Call(const std::string& method, std::vector<Arg>&) override { return Reply::Error("unexpected " + method); }
  void BeginWork() override {}
  void CommitWork() override {}
  void RollbackWork() noexcept override {}
};

// The host's database: every bank's masks.
class Masks final : public LocalDatabase {
 public:
  Packet Query(const std::string&, const QueryParams&) override {
    return TextPacket({"CDPICTCONT", "CDPICTAGEN"}, {{"9999999-9", "9999"}});
  }
  bool AcessoOperEmpresa(const std::string&, const std::string&) override { return true; }
};

// One slip in five of each kind: bank slips, credits, PIX by key, GPS,
// credits to other banks over the DOC limit.
std::vector<std::string> SlipRow(int i) {
  static const char* const kBarcodes[] = {"34194920000000500001091234567800012345678000",
                                          "23797921000000876541234091234567890012345670"};
  const std::string entry = std::to_string(1000000 + i);
  const std::string supplier = "Distribuidora São João & Filhos Ltda";
  switch (i % 5) {
    case 0: return {"S", "B", kBarcodes[(i / 5) % 2], "", "", "", "", "", supplier, entry, "150.00", "", ""};
    case 1: return {"S", "T", "", "341", "0911", "12345-6", "", "", supplier, entry, "980.00", "", ""};
    case 2: return {"S", "F", "", "", "", "", "02", "financeiro@fornecedor.com.br", supplier, entry, "75.10", "", ""};
    case 3: return {"S", "G", "", "", "", "", "", "", "INSS", entry, "110.00", "2100", "5.00"};
    default: return {"S", "D", "", "237", "1234", "1234567-8", "", "", supplier, entry, "7500.00", "", ""};
  }
}

void Load(RemessaData& d, int slips) {
  d.cdsCNABPag.LoadPacket(TextPacket({"CDEMPRESA", "CDBANCO", "CDREDUCONT", "IDOPECNABPAG", "CDFILIAL"},
                                     {{"01", "341", "001", "I", ""}}));
  d.cdsEmpresa.LoadPacket(TextPacket({"NMEMPRESA", "IDTPIJUREMPR", "NMRAZSOCEMPR", "DSENDEEMPR", "NMMUNICIPIO",
                                      "NRCEPEMPR", "SGESTADO", "NRINSJUREMPR"},
                                     {{"Comércio & Indústria São João", "J",
                                       "Comércio e Indústria São João Ltda", "Rua da Consolação, 1000", "São Paulo",
                                       "01301-000", "SP", "12.345.678/0001-95"}}));
  d.cdsContaCorrente.LoadPacket(TextPacket({"CDAGENCIA", "CDCONTCORR", "CDPICTCONT", "NMBANCO"},
                                           {{"0911", "123456", "99999-9", "Banco Itaú Unibanco S.A."}}));
  std::vector<std::vector<std::string>> rows;
  rows.reserve(static_cast<std::size_t>(slips));
  for (int i = 0; i < slips; ++i) {
    std::vector<std::string> row = SlipRow(i);
    row.insert(row.end(), {"11.222.333/0001-81", "J", "0001", "2026-12-10", "4999.99", "341"});
    rows.push_back(std::move(row));
  }
  d.cdsBoletos.LoadPacket(TextPacket({"IDMARCADO", "IDBAIXAUTILP", "CDBARRAPAG", "CDBANCBOLP", "CDAGENBOLP",
                                      "CDCCORBOLP", "IDCHAVEPIX", "CHAVEPIX", "NMRAZSOCFORN", "NRLANBOLPAG",
                                      "VRFINALBPAG", "CDRECEITAGUIA", "VROUTRENTGUIA", "NRINSJURFORN",
                                      "IDTPIJURFORN", "CDFILIBPAG", "DTVENBOLPAG", "VRMAXDOCCNAB", "CDBANCCNAB"},
                                     rows));
  d.cdsBoletos.SetIndexName("idxGeraRemessa");
}

void BM_Itau(benchmark::State& state) {
  const int slips = static_cast<int>(state.range(0));
  RemessaData d;
  Load(d, slips);
  TNetConnection net(std::make_shared<NoServer>());
  Masks localdb;
  Session session;
  session.clock.Fix(DateTime::Make(2026, 12, 6, 14, 30, 5));
  ScriptedDialogs dialogs;
  // A first run outside the measure sorts the slips into the file's order,
  // as the screen has done before a remittance is written.
  {
    MemorySink sink;
    WriterContext ctx{d, net, localdb, session, dialogs, sink, "01", "001", "341", 0, {}};
    Remessa_BcoItau(ctx);
  }
  std::int64_t records = 0;
  for (auto _ : state) {
    MemorySink sink;
    WriterContext ctx{d, net, localdb, session, dialogs, sink, "01", "001", "341", 0, {}};
    Remessa_BcoItau(ctx);
    records += sink.records();
    benchmark::DoNotOptimize(sink.content().data());
  }
  state.SetItemsProcessed(state.iterations() * slips);
  state.counters["records"] = static_cast<double>(records) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Itau)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pag
