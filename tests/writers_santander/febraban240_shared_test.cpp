// The pieces of the FEBRABAN 240 machinery the Santander file leans on: a
// detail that keeps the number of the one before it, layouts joined from
// several tables, and the slips given back unfiltered.
#include "writers/cnab/febraban240.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace pag {
namespace {

constexpr Febraban240Bank kTestBank{"999", "Banco de Teste (999)", 240};

constexpr FieldSpec kFrameRows[] = {{1, 3, "Banco"}, {4, 7, "Lote"}, {8, 8, "Registro"}};
constexpr FieldSpec kNumberRows[] = {{9, 13, "Nº do registro"}, {14, 14, "Segmento"}};
constexpr FieldSpec kRestRows[] = {{15, 240, "Resto"}};
constexpr FieldSpec kHeaderRest[] = {{9, 240, "Resto"}};
constexpr auto kDetailRows = JoinRows(kFrameRows, kNumberRows, kRestRows);
constexpr auto kHeaderRows = JoinRows(kFrameRows, kHeaderRest);
constexpr Layout kDetail("Segmento X", 240, kDetailRows.rows);
constexpr Layout kHeader("Header", 240, kHeaderRows.rows);

void Detail(Febraban240File& file, bool sameSequence) {
  auto body = [](Record& rec) {
    rec.lit(14, 14, "X");
    rec.blank(15, 240);
  };
  if (sameSequence)
    file.DetailSameSequence(kDetail, body);
  else
    file.Detail(kDetail, body);
}

TEST(Febraban240Shared, JoinedRowsFollowEachOther) {
  static_assert(sizeof(kDetailRows.rows) / sizeof(FieldSpec) == 6);
  EXPECT_EQ(kDetail.size(), 6u);
  EXPECT_EQ(kDetail[3].from, 9);
  EXPECT_EQ(kDetail[5].to, 240);
  EXPECT_EQ(kHeader.size(), 4u);
}

TEST(Febraban240Shared, ADetailThatKeepsTheNumberOfTheOneBefore) {
  Febraban240File file(kTestBank);
  file.FileHeader(kHeader, [](Record& rec) { rec.blank(9, 240); });
  file.BatchHeader(kHeader, [](Record& rec) { rec.blank(9, 240); });
  // A first detail of a batch has no number to keep.
  EXPECT_THROW(Detail(file, true), std::logic_error);
  Detail(file, false);
  Detail(file, true);
  Detail(file, false);
  EXPECT_EQ(file.sequence(), 2);
  EXPECT_EQ(file.batchRecords(), 4);  // header and three details
  EXPECT_EQ(file.line(2).substr(8, 6), "00001X");
  EXPECT_EQ(file.line(3).substr(8, 6), "00001X");
  EXPECT_EQ(file.line(4).substr(8, 6), "00002X");
  file.StandardBatchTrailer();
  EXPECT_EQ(file.line(5).substr(17, 6), "000005");
}

TEST(Febraban240Shared, SlipsGivenBackUnfilteredWhateverHappens) {
  TDataSet slips("cdsBoletos");
  slips.AddField({"IDMARCADO", FieldKind::kString, 1, 0});
  slips.CreateDataSet();
  try {
    SlipsInUse inUse(slips);
    EXPECT_TRUE(slips.ControlsDisabled());
    slips.SetFilter([](const TDataSet&) { return false; });
    slips.SetFiltered(true);
    throw std::runtime_error("stopped");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(slips.ControlsDisabled());
  EXPECT_FALSE(slips.Filtered());
}

}  // namespace
}  // namespace pag
