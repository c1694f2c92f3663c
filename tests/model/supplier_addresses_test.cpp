// The suppliers' addresses kept during a writer run: each supplier is asked
// of the local database once per run, qryEndeForn always ends up holding
// the rows of the supplier last shown, and nothing outlives the run.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "remittance/model/remessa_data.h"

namespace pag {
namespace {

// The host's database: one address row per supplier but "F000", which has
// none; the columns come in another order than qryEndeForn declares them.
class CountingDb final : public LocalDatabase {
 public:
  Packet Query(const std::string& name, const QueryParams& params) override {
    asked.push_back(name + ":" + ValueToText(params.at("CDFORNECED")));
    Packet p;
    for (const char* f : {"DSENDEFORN", "CDFORNECED", "NRCEPFORN"}) p.fields.push_back({f, FieldKind::kString, 0, 0});
    const std::string supplier = ValueToText(params.at("CDFORNECED"));
    if (supplier != "F000")
      p.rows.push_back({Value(std::string("Rua ") + supplier), Value(supplier), Value(std::string("01304-001"))});
    return p;
  }
  bool AcessoOperEmpresa(const std::string&, const std::string&) override { return true; }
  std::vector<std::string> asked;
};

std::string Shown(const TDataSet& q) {
  if (q.IsEmpty()) return "(none)";
  return q.FieldByName("CDFORNECED").AsString() + "|" + q.FieldByName("DSENDEFORN").AsString();
}

TEST(SupplierAddresses, WithinARunEachSupplierIsReadOnceAndShownEveryTime) {
  RemessaData d;
  CountingDb db;
  SupplierAddresses::Run run(d.addresses);
  // Interleaved suppliers, as a writer's order brings them; "F000" has no
  // address and is not asked again either.
  const std::vector<std::pair<std::string, std::string>> steps = {
      {"F001", "F001|Rua F001"}, {"F002", "F002|Rua F002"}, {"F001", "F001|Rua F001"},
      {"F000", "(none)"},        {"F002", "F002|Rua F002"}, {"F000", "(none)"},
      {"F001", "F001|Rua F001"},
  };
  for (const auto& [supplier, shown] : steps) {
    d.addresses.Show(d.qryEndeForn, db, supplier);
    EXPECT_EQ(Shown(d.qryEndeForn), shown) << supplier;
  }
  EXPECT_EQ(db.asked, (std::vector<std::string>{"qryEndeForn:F001", "qryEndeForn:F002", "qryEndeForn:F000"}));
  EXPECT_EQ(d.addresses.Kept(), 3u);
}

TEST(SupplierAddresses, NothingIsKeptOutsideARunNorAfterTheOutermostEnds) {
  RemessaData d;
  CountingDb db;
  d.addresses.Show(d.qryEndeForn, db, "F001");
  d.addresses.Show(d.qryEndeForn, db, "F001");
  EXPECT_EQ(db.asked.size(), 2u);  // the screen's own reads are never answered from old rows
  EXPECT_EQ(d.addresses.Kept(), 0u);
  {
    SupplierAddresses::Run outer(d.addresses);
    {
      SupplierAddresses::Run inner(d.addresses);
      d.addresses.Show(d.qryEndeForn, db, "F001");
    }
    EXPECT_EQ(d.addresses.Kept(), 1u);  // the outer run still goes on
    d.addresses.Show(d.qryEndeForn, db, "F001");
    EXPECT_EQ(db.asked.size(), 3u);
  }
  EXPECT_EQ(d.addresses.Kept(), 0u);
  d.addresses.Show(d.qryEndeForn, db, "F001");  // a new run reads the address afresh
  EXPECT_EQ(db.asked.size(), 4u);
}

TEST(SupplierAddresses, AnAbortedRunDropsItsRows) {
  RemessaData d;
  CountingDb db;
  try {
    SupplierAddresses::Run run(d.addresses);
    d.addresses.Show(d.qryEndeForn, db, "F001");
    throw std::runtime_error("refused");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(d.addresses.Kept(), 0u);
}

}  // namespace
}  // namespace pag
