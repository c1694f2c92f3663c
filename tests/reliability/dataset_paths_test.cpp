// The dataset's fast paths against plain reading, on thousands of random
// operations: Locate through its lookup by value (datasets of 64 rows or
// more), rows appended to a built index and merged in when it is read, and
// the place of a posted row worked out only when needed. After every
// operation the rows in view, their order, the current row and its RecNo
// must be those a plain reading of the rows gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "harness.h"
#include "host/dataset.h"

namespace pag::reliability {
namespace {

struct ModelRow {
  std::int64_t id;
  std::string branch, entry, mode;
};

class Paths : public ::testing::Test {
 protected:
  void SetUp() override {
    ds.AddField({"ID", FieldKind::kInteger});
    ds.AddField({"CDFILIBPAG", FieldKind::kString, 4});
    ds.AddField({"NRLANBOLPAG", FieldKind::kString, 10});
    ds.AddField({"IDBAIXAUTILP", FieldKind::kString, 1});
    ds.AddIndex("idxModo", "IDBAIXAUTILP;CDFILIBPAG");
    ds.CreateDataSet();
  }

  std::string Pick(std::initializer_list<const char*> from) {
    std::vector<const char*> v(from);
    return v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(rng)];
  }
  std::string Entry() { return std::to_string(std::uniform_int_distribution<int>(1, 120)(rng)); }

  // The ids in view, read row by row.
  std::vector<std::int64_t> Viewed() const {
    std::vector<std::int64_t> ids;
    const TField& id = ds.FieldByName("ID");
    for (int r = 1; r <= ds.RecordCount(); ++r) ids.push_back(std::get<std::int64_t>(ds.ValueAt(r, id)));
    return ids;
  }

  // The ids in view as the model orders and filters them.
  std::vector<std::int64_t> Expected() const {
    std::vector<ModelRow> rows;
    for (const ModelRow& r : model)
      if (!filtered || r.mode != "T") rows.push_back(r);
    if (indexed)
      std::stable_sort(rows.begin(), rows.end(), [](const ModelRow& a, const ModelRow& b) {
        return a.mode != b.mode ? a.mode < b.mode : a.branch < b.branch;
      });
    std::vector<std::int64_t> ids;
    for (const ModelRow& r : rows) ids.push_back(r.id);
    return ids;
  }

  ModelRow* Find(std::int64_t id) {
    for (ModelRow& r : model)
      if (r.id == id) return &r;
    return nullptr;
  }

  std::mt19937 rng{Seed()};
  TDataSet ds{"cdsTeste"};
  std::vector<ModelRow> model;  // in insertion order
  std::int64_t next_id = 1;
  bool indexed = false, filtered = false;
};

TEST_F(Paths, AgreeWithPlainReading) {
  auto append = [&] {
    ModelRow r{next_id++, Pick({"0001", "0002", "0003"}), Entry(), Pick({"B", "C", "T"})};
    ds.Append();
    ds.FieldByName("ID").SetAsInteger(r.id);
    ds.FieldByName("CDFILIBPAG").SetAsString(r.branch);
    ds.FieldByName("NRLANBOLPAG").SetAsString(r.entry);
    ds.FieldByName("IDBAIXAUTILP").SetAsString(r.mode);
    ds.Post();
    model.push_back(r);
  };
  for (int i = 0; i < 150; ++i) append();

  int located = 0, found = 0;
  for (int step = 0; step < 4000; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    const int op = std::uniform_int_distribution<int>(0, 99)(rng);
    const bool hasRow = ds.RecordCount() > 0;
    if (op < 25) {
      append();
    } else if (op < 45 && hasRow) {
      // Edit the current row: its key, its mode (the index key) or both.
      ModelRow* r = Find(ds.FieldByName("ID").AsInteger());
      ASSERT_NE(r, nullptr);
      ds.Edit();
      if (op % 2) {
        r->entry = Entry();
        ds.FieldByName("NRLANBOLPAG").SetAsString(r->entry);
      }
      if (op % 3 == 0) {
        r->mode = Pick({"B", "C", "T"});
        ds.FieldByName("IDBAIXAUTILP").SetAsString(r->mode);
      }
      ds.Post();
    } else if (op < 52 && hasRow) {
      const std::int64_t id = ds.FieldByName("ID").AsInteger();
      ds.Delete();
      model.erase(std::find_if(model.begin(), model.end(), [&](const ModelRow& r) { return r.id == id; }));
    } else if (op < 85) {
      // Locate: the first row in view with those values, or no move.
      const std::string branch = Pick({"0001", "0002", "0003", "0009"}), entry = Entry();
      const int before = ds.RecNo();
      const bool hit = ds.Locate("CDFILIBPAG;NRLANBOLPAG", {Value(branch), Value(entry)});
      ++located;
      std::int64_t want = 0;
      for (std::int64_t id : Expected()) {
        const ModelRow* r = Find(id);
        if (r->branch == branch && r->entry == entry) {
          want = id;
          break;
        }
      }
      ASSERT_EQ(hit, want != 0) << branch << "/" << entry;
      if (hit) {
        ++found;
        ASSERT_EQ(ds.FieldByName("ID").AsInteger(), want);
      } else {
        ASSERT_EQ(ds.RecNo(), before);
      }
    } else if (op < 90) {
      indexed = !indexed;
      ds.SetIndexName(indexed ? "idxModo" : "");
    } else if (op < 94) {
      filtered = !filtered;
      ds.SetFilter([](const TDataSet& d) { return d.FieldByName("IDBAIXAUTILP").AsString() != "T"; });
      ds.SetFiltered(filtered);
    } else if (hasRow) {
      ds.MoveBy(std::uniform_int_distribution<int>(-5, 5)(rng));
    }
    // The view, the current row and its place.
    const std::vector<std::int64_t> view = Viewed();
    ASSERT_EQ(view, Expected());
    if (ds.RecordCount() > 0) {
      const std::int64_t current = ds.FieldByName("ID").AsInteger();
      const auto at = std::find(view.begin(), view.end(), current);
      ASSERT_NE(at, view.end()) << "the current row is not in view";
      ASSERT_EQ(ds.RecNo(), static_cast<int>(at - view.begin()) + 1);
    }
  }
  EXPECT_GT(found, 100);
  EXPECT_GT(located, 1000);
}

}  // namespace
}  // namespace pag::reliability
