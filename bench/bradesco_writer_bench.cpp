// Speed of the Bradesco writer (500 positions): a remittance of bank slips
// and transfers written from the screen's datasets into memory, with the
// server's document value and invoice asked for every slip. Counted in
// detail records (one per slip); the goal is at least a million detail
// records a second on one core.
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/connection.h"
#include "host/dialogs.h"
#include "host/localdb.h"
#include "host/session.h"
#include "remittance/model/remessa_data.h"
#include "remittance/model/writer_context.h"
#include "writers/Cli_pag00103.h"
#include "writers/cnab/output_file.h"

namespace pag {
namespace {

// A packet of text columns with one row.
Packet OneRow(std::initializer_list<std::pair<std::string_view, std::string_view>> columns) {
  Packet p;
  p.rows.emplace_back();
  for (const auto& [name, value] : columns) {
    p.fields.push_back({std::string(name), FieldKind::kString, 0, 0});
    p.rows.back().emplace_back(std::string(value));
  }
  return p;
}

// The server: the account's identification, each slip's document value (an
// amount) and its one invoice (with a date-time), typed as the server's
// packets are.
class Server final : public Transport {
 public:
  Server() {
    value_.fields = {{"VRDOC", FieldKind::kDecimal, 0, 2}};
    value_.rows = {{Decimal::FromUnits(510000, 2)}};
    invoice_.fields = {{"NRNOTAFISC", FieldKind::kString, 20, 0},
                       {"DTEMISSAO", FieldKind::kDateTime, 0, 0},
                       {"CDSERIEENTR", FieldKind::kString, 5, 0}};
    invoice_.rows = {{std::string("123456"), DateTime::Make(2026, 11, 20), std::string("1")}};
  }
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
  Reply Answer(const std::string& method) const {
    if (method == "GetVrDocumento") return Reply::OfPacket(value_);
    if (method == "GetDocBole") return Reply::OfPacket(invoice_);
    if (method == "GetIdConta") return Reply::OfPacket(OneRow({{"CDIDPAGCONTCORR", "4567890"}}));
    return Reply::Error("unexpected " + method);
  }

  Packet value_;
  Packet invoice_;
};

// The host's database: the suppliers' addresses and the banks' pictures.
class LocalDb final : public LocalDatabase {
 public:
  Packet Query(const std::string& name, const QueryParams& params) override {
    if (name == "qryMascBancoForn") return OneRow({{"CDPICTCONT", "99999-9"}, {"CDPICTAGEN", "9999"}});
    const std::string supplier = ValueToText(params.at("CDFORNECED"));
    return OneRow({{"CDFORNECED", supplier}, {"DSENDEFORN", "Rua Augusta, 1500 - Conjunto 12"},
                   {"NRCEPFORN", "01304-001"}});
  }
  bool AcessoOperEmpresa(const std::string&, const std::string&) override { return true; }
};

// The kinds of slip the remittance cycles through: mode, barcode, payee
// bank, value.
struct Kind {
  const char* mode;
  const char* barcode;
  const char* bank;
  const char* value;
};
constexpr std::array<Kind, 4> kKinds = {{
    {"B", "23796123400000100003381092600001234500456780", "", "100.00"},  // Bradesco slip, discount
    {"T", "", "341", "5000.00"},
    {"B", "34198123400000500001091234567800012345678000", "", "500.00"},  // another bank's slip
    {"D", "", "341", "4999.99"},
}};

// `slips` marked slips of the four kinds in turn, every ten of another
// supplier.
Packet Slips(int slips) {
  Packet p;
  for (const char* name : {"IDMARCADO", "IDBAIXAUTILP", "CDBARRAPAG", "CDBANCBOLP", "CDAGENBOLP", "CDCCORBOLP",
                           "CDFORNECED", "NMRAZSOCFORN", "NRINSJURFORN", "IDTPIJURFORN", "CDFILIBPAG", "NRLANBOLPAG",
                           "DTVENBOLPAG", "VRFINALBPAG"})
    p.fields.push_back({name, FieldKind::kString, 0, 0});
  p.rows.reserve(static_cast<std::size_t>(slips));
  for (int i = 0; i < slips; ++i) {
    const Kind& k = kKinds[static_cast<std::size_t>(i) % kKinds.size()];
    p.rows.push_back({std::string("S"), std::string(k.mode), std::string(k.barcode), std::string(k.bank),
                      std::string("1234"), std::string("12345-6"), std::to_string(1000 + i / 10),
                      std::string("José da Conceição & Cia. Peças"), std::string("11.222.333/0001-81"),
                      std::string("J"), std::string("0001"), std::to_string(1000000 + i), std::string("2026-12-10"),
                      std::string(k.value)});
  }
  return p;
}

// The screen's datasets, server, local database and session, made once
// for all the runs of one size.
class BradescoRemittance : public benchmark::Fixture {
 public:
  void SetUp(const benchmark::State& state) override {
    d = std::make_unique<RemessaData>();
    d->cdsCNABPag.LoadPacket(OneRow({{"CDEMPRESA", "01"}, {"CDBANCO", "237"}, {"CDREDUCONT", "001"},
                                     {"IDOPECNABPAG", "I"}, {"NRSEQREMESSAPAG", "42"}, {"IDAGENREMCNABPAG", "1"}}));
    d->cdsEmpresa.LoadPacket(OneRow({{"IDTPIJUREMPR", "J"}, {"NMRAZSOCEMPR", "Comércio e Indústria São João Ltda"},
                                     {"NRINSJUREMPR", "12.345.678/0001-95"}}));
    d->cdsContaCorrente.LoadPacket(OneRow({{"CDAGENCIA", "34567"}, {"CDCONTCORR", "123456"},
                                           {"CDPICTCONT", "99999-9"}, {"CDCEDENTEBAN", "0076543-2"}}));
    d->cdsEmprBanc.LoadPacket(OneRow({{"CDEMPBANCPAG", "1234"}, {"IDCONSDTENVREM", "N"}}));
    d->cdsBoletos.LoadPacket(Slips(static_cast<int>(state.range(0))));
    d->cdsBoletos.SetIndexName("idxGeraRemessa");
    session.clock.Fix(DateTime::Make(2026, 12, 6, 14, 30, 5));
    // A first run outside the measure sorts the slips into the file's order,
    // as the screen has done before a remittance is written.
    MemorySink sink;
    WriterContext ctx{*d, net, localdb, session, dialogs, sink, "01", "001", "237", 0, {}};
    Remessa_BcoBradesco(ctx);
    server->spent = {};
  }
  void TearDown(const benchmark::State&) override { d.reset(); }

  std::unique_ptr<RemessaData> d;
  std::shared_ptr<Server> server = std::make_shared<Server>();
  TNetConnection net{server};
  LocalDb localdb;
  Session session;
  ScriptedDialogs dialogs;
};

BENCHMARK_DEFINE_F(BradescoRemittance, Write)(benchmark::State& state) {
  std::int64_t details = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    MemorySink sink;
    WriterContext ctx{*d, net, localdb, session, dialogs, sink, "01", "001", "237", 0, {}};
    Remessa_BcoBradesco(ctx);
    details += sink.records() - 2;  // the header and the trailer
    benchmark::DoNotOptimize(sink.content().data());
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  state.SetItemsProcessed(details);
  // The share of the time that the server's answers took (GetVrDocumento
  // and GetDocBole per slip).
  state.counters["server_share"] = std::chrono::duration<double>(server->spent).count() /
                                   std::chrono::duration<double>(elapsed).count();
}
BENCHMARK_REGISTER_F(BradescoRemittance, Write)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pag
