// States, event order, navigation, indexes, filter, Locate, bookmarks and
// views of TDataSet.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "tests/dataset/fixture.h"

namespace pag {
namespace {

using test::Column;
using test::EventLog;
using test::FourSlips;

TField& F(TDataSet& ds, const char* name) { return ds.FieldByName(name); }

// ---- States and event order ----------------------------------------------------

struct OrderCase {
  const char* name;
  std::function<void(TDataSet&)> act;
  const char* events;
};

TEST(DataSetEvents, FireInTheHostsOrder) {
  const OrderCase cases[] = {
      {"append", [](TDataSet& d) { d.Append(); },
       "BeforeInsert,BeforeScroll,OnNewRecord,AfterInsert,AfterScroll"},
      {"post insert in insertion order",
       [](TDataSet& d) { d.Append(); F(d, "CDFILIBPAG").SetAsString("0009"); d.Post(); },
       "BeforeInsert,BeforeScroll,OnNewRecord,AfterInsert,AfterScroll,BeforePost,AfterPost"},
      {"edit and post", [](TDataSet& d) { d.Edit(); F(d, "IDMARCADO").SetAsString("S"); d.Post(); },
       "BeforeEdit,AfterEdit,BeforePost,AfterPost"},
      {"cancel edit", [](TDataSet& d) { d.Edit(); d.Cancel(); }, "BeforeEdit,AfterEdit,BeforeCancel,AfterCancel"},
      {"cancel insert", [](TDataSet& d) { d.Append(); d.Cancel(); },
       "BeforeInsert,BeforeScroll,OnNewRecord,AfterInsert,AfterScroll,BeforeCancel,BeforeScroll,AfterCancel,AfterScroll"},
      {"delete", [](TDataSet& d) { d.Delete(); }, "BeforeDelete,BeforeScroll,AfterDelete,AfterScroll"},
      {"next past the end still scrolls", [](TDataSet& d) { d.Last(); d.Next(); },
       "BeforeScroll,AfterScroll,BeforeScroll,AfterScroll"},
      {"locate found", [](TDataSet& d) { d.Locate("NRLANBOLPAG", {"0000000003"}); }, "BeforeScroll,AfterScroll"},
      {"locate missing", [](TDataSet& d) { d.Locate("NRLANBOLPAG", {"0000000099"}); }, "BeforeScroll"},
      {"scroll posts a typed edit",
       [](TDataSet& d) { d.Edit(); F(d, "IDMARCADO").SetAsString("S"); d.Next(); },
       "BeforeEdit,AfterEdit,BeforePost,AfterPost,BeforeScroll,AfterScroll"},
      {"scroll cancels an untouched insert", [](TDataSet& d) { d.Append(); d.First(); },
       "BeforeInsert,BeforeScroll,OnNewRecord,AfterInsert,AfterScroll,"
       "BeforeCancel,BeforeScroll,AfterCancel,AfterScroll,BeforeScroll,AfterScroll"},
      {"delete during insert cancels", [](TDataSet& d) { d.Append(); d.Delete(); },
       "BeforeInsert,BeforeScroll,OnNewRecord,AfterInsert,AfterScroll,BeforeCancel,BeforeScroll,AfterCancel,AfterScroll"},
      {"index change", [](TDataSet& d) { d.SetIndexFieldNames("NMRAZSOCFORN"); }, ""},
  };
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.name);
    TDataSet ds("cdsBoletos");
    ds.LoadPacket(FourSlips());
    EventLog log(ds);
    c.act(ds);
    EXPECT_EQ(log.Take(), c.events);
  }
}

TEST(DataSetEvents, OnNewRecordRunsInInsertStateAndItsDefaultsAreNotTyping) {
  TDataSet ds("cdsCNABPag");
  ds.AddField({"VRTOTALCNABPAG", FieldKind::kDecimal, 0, 2});
  ds.AddField({"IDOPECNABPAG", FieldKind::kString, 1});
  DataSetState seen = DataSetState::kBrowse;
  ds.OnNewRecord = [&](TDataSet& d) {
    seen = d.State();
    F(d, "VRTOTALCNABPAG").SetAsMoney(Money());
  };
  ds.AfterInsert = [](TDataSet& d) { F(d, "IDOPECNABPAG").SetAsString("I"); };
  ds.CreateDataSet();
  ds.Append();
  EXPECT_EQ(seen, DataSetState::kInsert);
  EXPECT_EQ(F(ds, "VRTOTALCNABPAG").AsString(), "0.00");
  EXPECT_TRUE(ds.Modified());  // AfterInsert set a field: that counts
  ds.Post();
  EXPECT_EQ(ds.RecordCount(), 1);

  ds.OnNewRecord = [](TDataSet& d) { F(d, "IDOPECNABPAG").SetAsString("E"); };
  ds.AfterInsert = nullptr;
  ds.Append();
  EXPECT_FALSE(ds.Modified());
  ds.First();  // an insert nobody typed into vanishes
  EXPECT_EQ(ds.RecordCount(), 1);
  EXPECT_EQ(F(ds, "IDOPECNABPAG").AsString(), "I");
}

TEST(DataSetEvents, BeforePostCanRefuseAndTheRowStaysInItsState) {
  TDataSet ds("cdsCNABPag");
  ds.AddField({"NRCNABPAG", FieldKind::kString, 10});
  ds.BeforePost = [](TDataSet& d) {
    if (F(d, "NRCNABPAG").IsNull()) throw std::runtime_error("CONTA_DEVE_SER");
  };
  ds.CreateDataSet();
  ds.Append();
  F(ds, "NRCNABPAG").Clear();
  EXPECT_THROW(ds.Post(), std::runtime_error);
  EXPECT_EQ(ds.State(), DataSetState::kInsert);
  EXPECT_EQ(ds.RecordCount(), 0);
  F(ds, "NRCNABPAG").SetAsString("0000000001");
  ds.Post();
  EXPECT_EQ(ds.State(), DataSetState::kBrowse);
  EXPECT_EQ(ds.ChangeCount(), 1);

  ds.Edit();
  F(ds, "NRCNABPAG").Clear();
  EXPECT_THROW(ds.Post(), std::runtime_error);
  EXPECT_EQ(ds.State(), DataSetState::kEdit);
  EXPECT_TRUE(F(ds, "NRCNABPAG").IsNull());  // the typed value is kept
  ds.Cancel();
  EXPECT_EQ(F(ds, "NRCNABPAG").AsString(), "0000000001");
}

TEST(DataSetEvents, CancelOfInsertReturnsToThePreviousRowAndEditOnEmptyInserts) {
  TDataSet ds("cdsBoletos");
  ds.LoadPacket(FourSlips());
  ds.Next();
  ds.Insert();
  EXPECT_EQ(ds.RecNo(), 2);  // shown before the row that was current
  F(ds, "NRLANBOLPAG").SetAsString("0000000099");
  ds.Cancel();
  EXPECT_EQ(ds.RecordCount(), 4);
  EXPECT_EQ(F(ds, "NRLANBOLPAG").AsString(), "0000000002");

  TDataSet empty("cdsBolCnab");
  empty.AddField({"NRLANBOLPAG", FieldKind::kString, 10});
  empty.CreateDataSet();
  empty.Edit();
  EXPECT_EQ(empty.State(), DataSetState::kInsert);
  EXPECT_THROW(TDataSet("cdsX").Append(), std::logic_error);  // closed
}

// ---- Navigation ----------------------------------------------------------------

TEST(DataSetNavigation, BofEofRecNoAndMoveBy) {
  TDataSet ds("cdsBoletos");
  ds.LoadPacket(FourSlips());
  std::string seen;
  for (ds.First(); !ds.Eof(); ds.Next()) seen += F(ds, "NRLANBOLPAG").AsString().back();
  EXPECT_EQ(seen, "1234");
  EXPECT_EQ(ds.RecNo(), 4);  // stays on the last row
  EXPECT_EQ(ds.MoveBy(-10), -3);
  EXPECT_TRUE(ds.Bof());
  EXPECT_EQ(ds.MoveBy(2), 2);
  EXPECT_EQ(ds.RecNo(), 3);
  EXPECT_FALSE(ds.Bof() || ds.Eof());
  ds.SetRecNo(4);
  ds.Prior();
  EXPECT_EQ(ds.RecNo(), 3);
  EXPECT_THROW(ds.SetRecNo(5), std::out_of_range);
}

// ---- Indexes ---------------------------------------------------------------------

TEST(DataSetIndexes, OrderByKindNullsFirstAndEqualKeysInInsertionOrder) {
  TDataSet ds("cdsBoletos");
  ds.AddIndex("idxOrdena", "DTVENBOLPAG;NMRAZSOCFORN");
  ds.AddIndex("idxGeraRemessa", "IDBAIXAUTILP;CDBARRAPAG");
  ds.AddIndex("idxValor", "VRFINALBPAG;CDFILIBPAG", "VRFINALBPAG");
  ds.LoadPacket(FourSlips());
  struct Case {
    const char* index;
    const char* entries;
  } cases[] = {
      {"", "0000000001|0000000002|0000000003|0000000004"},
      {"idxOrdena", "0000000004|0000000002|0000000003|0000000001"},  // null date first, then date, name
      {"idxGeraRemessa", "0000000003|0000000001|0000000004|0000000002"},  // "B" null barcode first
      {"idxValor", "0000000001|0000000002|0000000003|0000000004"},  // 100.00 > 50.25 > 7.10 > 0.99
  };
  for (const Case& c : cases) {
    ds.SetIndexName(c.index);
    EXPECT_EQ(Column(ds, "NRLANBOLPAG"), c.entries) << c.index;
  }
  // Equal keys stay in the order the rows were added, also for new rows.
  ds.SetIndexFieldNames("CDFILIBPAG");
  ds.Append();
  F(ds, "CDFILIBPAG").SetAsString("0001");
  F(ds, "NRLANBOLPAG").SetAsString("0000000005");
  ds.Post();
  EXPECT_EQ(Column(ds, "NRLANBOLPAG"), "0000000001|0000000002|0000000005|0000000003|0000000004");
  EXPECT_EQ(ds.IndexFieldNames(), "CDFILIBPAG");
  EXPECT_EQ(ds.IndexName(), "");
}

TEST(DataSetIndexes, TextBytewiseNumbersNumerically) {
  TDataSet ds("cdsT");
  ds.AddField({"T", FieldKind::kString, 5});
  ds.AddField({"N", FieldKind::kInteger});
  ds.AddIndex("byText", "T");
  ds.AddIndex("byNumber", "N");
  ds.CreateDataSet();
  for (auto [t, n] : {std::pair{"b", 10}, {"B", 9}, {"a", 100}, {"É", 2}}) {
    ds.Append();
    F(ds, "T").SetAsString(t);
    F(ds, "N").SetAsInteger(n);
    ds.Post();
  }
  ds.SetIndexName("byText");
  EXPECT_EQ(Column(ds, "T"), "B|a|b|É");
  ds.SetIndexName("bynumber");
  EXPECT_EQ(Column(ds, "N"), "2|9|10|100");
}

TEST(DataSetIndexes, SwitchingKeepsTheCurrentRowAndPostPlacesByIndex) {
  TDataSet ds("cdsBoletos");
  ds.AddIndex("idxOrdena", "DTVENBOLPAG;NMRAZSOCFORN");
  ds.AddIndex("idxGeraRemessa", "IDBAIXAUTILP;CDBARRAPAG");
  ds.SetIndexName("idxOrdena");
  ds.LoadPacket(FourSlips());
  ASSERT_TRUE(ds.Locate("NRLANBOLPAG", {"0000000002"}));
  EXPECT_EQ(ds.RecNo(), 2);
  ds.SetIndexName("idxGeraRemessa");
  EXPECT_EQ(F(ds, "NRLANBOLPAG").AsString(), "0000000002");
  EXPECT_EQ(ds.RecNo(), 4);
  ds.SetIndexName("idxOrdena");

  EventLog log(ds);
  ds.Append();
  F(ds, "NRLANBOLPAG").SetAsString("0000000005");
  F(ds, "DTVENBOLPAG").SetAsString("2026-03-06");
  log.Take();
  ds.Post();
  EXPECT_EQ(log.Take(), "BeforePost,AfterPost,AfterScroll");  // it moved from the end
  EXPECT_EQ(ds.RecNo(), 3);
  ds.Edit();
  F(ds, "DTVENBOLPAG").SetAsString("2027-01-01");
  ds.Post();
  EXPECT_EQ(ds.RecNo(), 5);
  EXPECT_EQ(F(ds, "NRLANBOLPAG").AsString(), "0000000005");
  EXPECT_THROW(ds.SetIndexName("idxNone"), std::out_of_range);
  ds.AddIndex("idxBad", "CDNOPE");
  EXPECT_THROW(ds.SetIndexName("idxBad"), std::out_of_range);
  EXPECT_EQ(ds.IndexName(), "idxOrdena");
}

// ---- Filter, Locate and bookmarks ----------------------------------------------------

TEST(DataSetFilter, NavigationCountAndLocateSeeOnlyPassingRows) {
  TDataSet ds("cdsBoletos");
  ds.LoadPacket(FourSlips());
  ds.Last();
  ds.SetFilter([](const TDataSet& d) { return d.FieldByName("IDMARCADO").AsString() == "S"; });
  ds.SetFiltered(true);
  EXPECT_EQ(ds.RecordCount(), 2);
  EXPECT_EQ(F(ds, "NRLANBOLPAG").AsString(), "0000000002");  // the current row was filtered out
  EXPECT_FALSE(ds.Locate("NRLANBOLPAG", {"0000000001"}));
  EXPECT_EQ(F(ds, "NRLANBOLPAG").AsString(), "0000000002");  // not found: no move
  EXPECT_TRUE(ds.Locate("CDFILIBPAG;NMRAZSOCFORN", {"0002", "beta"}, {.caseInsensitive = true, .partialKey = true}));
  EXPECT_EQ(ds.RecNo(), 2);
  EXPECT_FALSE(ds.Locate("NMRAZSOCFORN", {"beta"}));

  ds.Edit();  // unmarking makes the row leave the filter
  F(ds, "IDMARCADO").SetAsString("N");
  ds.Post();
  EXPECT_EQ(ds.RecordCount(), 1);
  EXPECT_EQ(F(ds, "NRLANBOLPAG").AsString(), "0000000002");
  ds.SetFiltered(false);
  EXPECT_EQ(ds.RecordCount(), 4);
  EXPECT_EQ(F(ds, "NRLANBOLPAG").AsString(), "0000000002");
}

TEST(DataSetFilter, LocateFindsTheFirstMatchInTheCurrentOrder) {
  TDataSet ds("cdsBoletos");
  ds.AddIndex("idxGeraRemessa", "IDBAIXAUTILP;CDBARRAPAG");
  ds.LoadPacket(FourSlips());
  for (const char* index : {"", "idxGeraRemessa"}) {
    ds.SetIndexName(index);
    ASSERT_TRUE(ds.Locate("IDBAIXAUTILP", {"B"}));
    EXPECT_EQ(F(ds, "NRLANBOLPAG").AsString(), *index ? "0000000003" : "0000000001") << index;
    ASSERT_TRUE(ds.Locate("IDBAIXAUTILP;CDBARRAPAG", {"B", Value()}));  // null matches null
    EXPECT_EQ(F(ds, "NRLANBOLPAG").AsString(), "0000000003");
  }
  ASSERT_TRUE(ds.Locate("VRFINALBPAG", {"7,1"}));  // numbers compare by value
  EXPECT_EQ(F(ds, "NRLANBOLPAG").AsString(), "0000000003");
  EXPECT_THROW(ds.Locate("NRLANBOLPAG;CDFILIBPAG", {"1"}), std::invalid_argument);
}

TEST(DataSetBookmarks, SurviveIndexChangesAndDieWithTheirRow) {
  TDataSet ds("cdsBoletos");
  ds.AddIndex("idxOrdena", "DTVENBOLPAG;NMRAZSOCFORN");
  ds.LoadPacket(FourSlips());
  ds.Next();
  ds.Next();
  TBookmark third = ds.GetBookmark();
  ds.First();
  ds.SetIndexName("idxOrdena");
  ds.GotoBookmark(third);
  EXPECT_EQ(F(ds, "NRLANBOLPAG").AsString(), "0000000003");
  EXPECT_EQ(ds.RecNo(), 3);
  ds.Delete();
  EXPECT_FALSE(ds.BookmarkValid(third));
  EXPECT_THROW(ds.GotoBookmark(third), std::out_of_range);
  TBookmark other = ds.GetBookmark();
  ds.LoadPacket(FourSlips());
  EXPECT_FALSE(ds.BookmarkValid(other));
}

// ---- Views ---------------------------------------------------------------------------

class Recorder : public DataSetObserver {
 public:
  void DataSetReset(const TDataSet&) override { calls += "reset "; }
  void RowChanged(const TDataSet&, int r) override { calls += "changed" + std::to_string(r) + " "; }
  void RowInserted(const TDataSet&, int r) override { calls += "inserted" + std::to_string(r) + " "; }
  void RowDeleted(const TDataSet&, int r) override { calls += "deleted" + std::to_string(r) + " "; }
  void CurrentRowChanged(const TDataSet&, int r) override { calls += "current" + std::to_string(r) + " "; }
  void StateChanged(const TDataSet&, DataSetState s) override { calls += "state" + std::to_string(int(s)) + " "; }
  std::string calls;
};

TEST(DataSetViews, ObserversHearChangesUnlessControlsAreDisabled) {
  TDataSet ds("cdsBoletos");
  ds.LoadPacket(FourSlips());
  Recorder view;
  ds.AddObserver(&view);
  ds.Next();
  ds.Edit();
  F(ds, "IDMARCADO").SetAsString("N");
  ds.Post();
  ds.Delete();
  ds.Append();
  F(ds, "NRLANBOLPAG").SetAsString("0000000009");
  ds.Post();
  EXPECT_EQ(view.calls,
            "current2 state2 state1 changed2 deleted2 current2 state3 state1 inserted4 current4 ");

  view.calls.clear();
  int scrolls = 0;
  ds.AfterScroll = [&](TDataSet&) { ++scrolls; };
  ds.DisableControls();
  ds.DisableControls();
  for (ds.First(); !ds.Eof(); ds.Next()) {
    ds.Edit();
    F(ds, "IDMARCADO").SetAsString("S");
    ds.Post();
  }
  ds.EnableControls();
  EXPECT_EQ(view.calls, "");
  ds.EnableControls();
  EXPECT_EQ(view.calls, "reset ");
  EXPECT_EQ(scrolls, 5);  // events are not suppressed
  ds.RemoveObserver(&view);
  ds.First();
  EXPECT_EQ(view.calls, "reset ");
}

// ---- Size ----------------------------------------------------------------------------

template <typename... Args>
std::string Text(const char* format, Args... args) {
  char buf[48];
  std::snprintf(buf, sizeof buf, format, args...);
  return buf;
}

TEST(DataSetSize, LargePacketLoadsAndReordersQuickly) {
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
  const int rows = 100000;
  const bool timed = true;
#else
  const int rows = 20000;  // instrumented builds only check the result
  const bool timed = false;
#endif
  const int columns = 60;
  Packet p;
  for (int c = 0; c < columns; ++c) {
    FieldKind kind = c % 4 == 0 ? FieldKind::kDecimal : c % 4 == 1 ? FieldKind::kDateTime : FieldKind::kString;
    p.fields.push_back({Text("F%d", c), kind, kind == FieldKind::kString ? 20 : 0, kind == FieldKind::kDecimal ? 2 : 0});
  }
  p.rows.reserve(rows);
  for (int r = 0; r < rows; ++r) {
    std::vector<Value> row;
    row.reserve(columns);
    const int key = (r * 7919) % 1009;
    for (int c = 0; c < columns; ++c) {
      if (c % 4 == 0)
        row.emplace_back(Decimal::FromUnits(key * 100 + c, 2));
      else if (c % 4 == 1)
        row.emplace_back(DateTime::Make(2026, 1, 1 + key % 28));
      else
        row.emplace_back(Text("S%d-%d", key, c));
    }
    p.rows.push_back(std::move(row));
  }
  TDataSet ds("cdsBoletos");
  ds.AddIndex("idxOrdena", "F1;F2");
  ds.AddIndex("idxValor", "F0;F3", "F0");
  const auto start = std::chrono::steady_clock::now();
  ds.LoadPacket(std::move(p));
  ds.SetIndexName("idxOrdena");
  ds.Last();
  ds.SetIndexName("idxValor");
  ds.First();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(ds.RecordCount(), rows);
  const TField& value = ds.FieldByName("F0");
  Decimal previous = value.AsDecimal();
  for (int r = 2; r <= ds.RecordCount(); r += 997) {
    Decimal v = ds.ValueAt(r, value).index() == 3 ? std::get<Decimal>(ds.ValueAt(r, value)) : Decimal();
    EXPECT_LE(v, previous);
    previous = v;
  }
  if (timed) {
    EXPECT_LT(std::chrono::duration<double>(elapsed).count(), 1.0);  // typically about 0.1 s
  }
}

}  // namespace
}  // namespace pag
