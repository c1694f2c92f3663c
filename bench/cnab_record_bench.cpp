// Speed of the record builder: a 240-position detail record of the FEBRABAN
// layout, about twenty fields of every kind, built and written to memory.
// The goal is at least a million records a second on one core.
#include <benchmark/benchmark.h>

#include <string>

#include "writers/cnab/output_file.h"
#include "writers/cnab/record.h"

namespace pag {
namespace {

void BuildSegmentA(const RecordContext& ctx, RecordSink& sink, std::int64_t sequence) {
  Record rec(ctx, "Segmento A", 240);
  rec.num(1, 3, "001", "Banco");
  rec.num(4, 7, 1, "Lote");
  rec.lit(8, 8, "3", "Registro");
  rec.num(9, 13, sequence, "Numero do registro");
  rec.lit(14, 14, "A", "Segmento");
  rec.num(15, 15, "0", "Tipo de movimento");
  rec.num(16, 17, "00", "Instrucao");
  rec.num(18, 20, "018", "Camara");
  rec.num(21, 23, "341", "Banco favorecido");
  rec.num(24, 28, "1234", "Agencia");
  rec.plain(29, 29, " ", "DV agencia");
  rec.num(30, 41, "0000012345", "Conta");
  rec.plain(42, 43, "6 ", "DV conta");
  rec.text(44, 73, "José da Conceição & Cia. Comércio de Peças Ltda", "Nome do favorecido");
  rec.plain(74, 93, "00010000001234", "Seu numero");
  rec.date(94, 101, MakeDate(2026, 12, 6), "ddmmyyyy", "Data do pagamento");
  rec.lit(102, 104, "BRL", "Moeda");
  rec.zeros(105, 119, "Quantidade de moeda");
  rec.amount(120, 134, Money::FromCents(1234567), "Valor do pagamento");
  rec.blank(135, 154, "Nosso numero");
  rec.zeros(155, 162, "Data real");
  rec.zeros(163, 177, "Valor real");
  rec.blank(178, 217, "Informacao 2");
  rec.blank(218, 219, "Finalidade DOC");
  rec.blank(220, 224, "Finalidade TED");
  rec.blank(225, 226, "Finalidade complementar");
  rec.blank(227, 229, "CNAB");
  rec.num(230, 230, "0", "Aviso");
  rec.digits(231, 240, "12.345-678/9", "Ocorrencias");
  sink.write(rec.finish());
}

class CountingSink final : public RecordSink {
 private:
  void append(std::string_view bytes) override { benchmark::DoNotOptimize(bytes.data()); }
};

void BM_SegmentA(benchmark::State& state) {
  const RecordContext ctx{"Banco do Brasil (001)", "0001/0000001234"};
  CountingSink sink;
  std::int64_t sequence = 0;
  for (auto _ : state) BuildSegmentA(ctx, sink, ++sequence % 100000);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SegmentA);

void BM_SegmentAToMemory(benchmark::State& state) {
  const RecordContext ctx{"Banco do Brasil (001)", "0001/0000001234"};
  for (auto _ : state) {
    MemorySink sink;
    for (std::int64_t i = 1; i <= 10000; ++i) BuildSegmentA(ctx, sink, i);
    benchmark::DoNotOptimize(sink.content().data());
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_SegmentAToMemory);

}  // namespace
}  // namespace pag
