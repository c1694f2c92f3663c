// Structure, loading, field values, calculated fields, display handlers and
// the change log of TDataSet.
#include <gtest/gtest.h>

#include "host/errors.h"
#include "tests/dataset/fixture.h"

namespace pag {
namespace {

using test::Column;
using test::FourSlips;

std::string What(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no exception)";
}

// ---- Loading -------------------------------------------------------------------

TEST(DataSetLoad, ReplacesRowsGoesFirstAndFiresAfterScrollOnce) {
  TDataSet ds("cdsBoletos");
  test::EventLog log(ds);
  ds.LoadPacket(FourSlips());
  EXPECT_EQ(log.Take(), "BeforeOpen,AfterOpen,AfterScroll");
  EXPECT_EQ(ds.RecordCount(), 4);
  EXPECT_EQ(ds.RecNo(), 1);
  EXPECT_TRUE(ds.Bof());
  EXPECT_FALSE(ds.Eof());
  EXPECT_EQ(ds.FieldByName("NRLANBOLPAG").AsString(), "0000000001");

  ds.Last();
  ds.Edit();
  ds.FieldByName("IDMARCADO").SetAsString("S");
  ds.Post();
  log.Take();
  ds.LoadPacket(test::SlipPacket({{"0009", "0000000009", "NOVO", MakeDate(2026, 1, 1), "1.00"}}));
  EXPECT_EQ(log.Take(), "BeforeClose,AfterClose,BeforeOpen,AfterOpen,AfterScroll");
  EXPECT_EQ(ds.RecordCount(), 1);
  EXPECT_EQ(ds.ChangeCount(), 0);
  EXPECT_EQ(ds.FieldByName("CDFILIBPAG").AsString(), "0009");

  ds.LoadPacket(test::SlipPacket({}));  // an empty reply gives an empty dataset
  EXPECT_EQ(log.Take(), "BeforeClose,AfterClose,BeforeOpen,AfterOpen");
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_TRUE(ds.Eof() && ds.Bof());
  EXPECT_TRUE(ds.FieldByName("CDFILIBPAG").IsNull());
}

TEST(DataSetLoad, MatchesColumnsByNameAddsUndeclaredAndNullsMissing) {
  TDataSet ds("cdsCNABPag");
  TField& declared = ds.AddField({"nmrazsocforn", FieldKind::kString, 40});
  TField& absent = ds.AddField({"DSARQCNABPAG", FieldKind::kString, 250});
  ds.LoadPacket(FourSlips());
  EXPECT_EQ(&ds.FieldByName("NMRAZSOCFORN"), &declared);
  EXPECT_EQ(declared.AsString(), "ZETA LTDA");
  EXPECT_TRUE(absent.IsNull());
  EXPECT_EQ(ds.FieldCount(), 2 + 9 - 1);
  TField& added = ds.FieldByName("vrfinalbpag");
  EXPECT_EQ(added.Kind(), FieldKind::kDecimal);
  EXPECT_EQ(added.AsString(), "100.00");
  // Field references survive a reload.
  ds.LoadPacket(FourSlips());
  EXPECT_EQ(&ds.FieldByName("VRFINALBPAG"), &added);
  EXPECT_EQ(added.AsMoney(), Money::FromCents(10000));
}

// A query loaded again and again: its columns, in an order of their own,
// must land in the same fields each time, and a packet whose columns differ
// from the last one's in order, case or number must be matched afresh.
TEST(DataSetLoad, ReloadsWithColumnsInAnotherOrderLandInTheRightFields) {
  TDataSet ds("qryEndeForn");
  ds.AddField({"CDFORNECED", FieldKind::kString, 21});
  ds.AddField({"DSENDEFORN", FieldKind::kString, 60});
  ds.AddField({"NRCEPFORN", FieldKind::kString, 9});
  auto packet = [](std::vector<std::pair<const char*, const char*>> columns) {
    Packet p;
    p.rows.emplace_back();
    for (const auto& [name, value] : columns) {
      p.fields.push_back({name, FieldKind::kString, 0, 0});
      p.rows.back().emplace_back(std::string(value));
    }
    return p;
  };
  auto shown = [&ds] {
    std::string s;
    for (int i = 0; i < ds.FieldCount(); ++i) s += ds.Fields(i).FieldName() + "=" + ds.Fields(i).AsString() + ";";
    return s;
  };
  const struct {
    std::vector<std::pair<const char*, const char*>> columns;
    std::string expected;
  } loads[] = {
      {{{"DSENDEFORN", "Rua A"}, {"NRCEPFORN", "1"}, {"CDFORNECED", "F1"}},
       "CDFORNECED=F1;DSENDEFORN=Rua A;NRCEPFORN=1;"},
      {{{"DSENDEFORN", "Rua B"}, {"NRCEPFORN", "2"}, {"CDFORNECED", "F2"}},  // as before
       "CDFORNECED=F2;DSENDEFORN=Rua B;NRCEPFORN=2;"},
      {{{"NRCEPFORN", "3"}, {"DSENDEFORN", "Rua C"}, {"CDFORNECED", "F3"}},  // same names, other order
       "CDFORNECED=F3;DSENDEFORN=Rua C;NRCEPFORN=3;"},
      {{{"nrcepforn", "4"}, {"dsendeforn", "Rua D"}, {"cdforneced", "F4"}},  // other case
       "CDFORNECED=F4;DSENDEFORN=Rua D;NRCEPFORN=4;"},
      {{{"DSENDEFORN", "Rua E"}, {"CDFORNECED", "F5"}},  // a column fewer: the postcode is null
       "CDFORNECED=F5;DSENDEFORN=Rua E;NRCEPFORN=;"},
      {{{"DSENDEFORN", "Rua F"}, {"SGESTADO", "SP"}, {"CDFORNECED", "F6"}},  // a new column adds a field
       "CDFORNECED=F6;DSENDEFORN=Rua F;NRCEPFORN=;SGESTADO=SP;"},
      {{{"DSENDEFORN", "Rua G"}, {"SGESTADO", "RJ"}, {"CDFORNECED", "F7"}},  // again, into that field
       "CDFORNECED=F7;DSENDEFORN=Rua G;NRCEPFORN=;SGESTADO=RJ;"},
      {{{"DSENDEFORN", "Rua H"}, {"NRCEPFORN", "8"}, {"CDFORNECED", "F8"}},  // the first order, once more
       "CDFORNECED=F8;DSENDEFORN=Rua H;NRCEPFORN=8;SGESTADO=;"},
  };
  for (const auto& load : loads) {
    ds.LoadPacket(packet(load.columns));
    EXPECT_EQ(shown(), load.expected);
  }
  // A packet naming one column twice is still refused, after a good load
  // of the same first columns.
  EXPECT_THROW(ds.LoadPacket(packet({{"DSENDEFORN", "x"}, {"NRCEPFORN", "9"}, {"DSENDEFORN", "y"}})),
               std::invalid_argument);
}

TEST(DataSetLoad, ConvertsToDeclaredKindsAndRefusesWholePacketOnBadValue) {
  TDataSet ds("cdsTotRemessa");
  ds.AddField({"QTBOLETOS", FieldKind::kInteger});
  ds.AddField({"VRTOTBOL", FieldKind::kDecimal, 0, 2});
  ds.AddField({"CDEMPRESA", FieldKind::kString, 2});
  Packet p;
  p.fields = {{"VRTOTBOL", FieldKind::kString, 20}, {"QTBOLETOS", FieldKind::kDecimal, 0, 0}, {"CDEMPRESA", FieldKind::kString}};
  p.rows = {{std::string("1.234,5"), Decimal(3), std::string("01")}};
  ds.LoadPacket(p);
  EXPECT_EQ(ds.FieldByName("VRTOTBOL").AsString(), "1234.50");
  EXPECT_EQ(ds.FieldByName("QTBOLETOS").Value(), Value(std::int64_t{3}));

  p.rows.push_back({std::string("1"), Decimal(1), std::string("012")});
  try {
    ds.LoadPacket(p);
    FAIL() << "a value longer than its field was loaded";
  } catch (const FieldError& e) {
    EXPECT_NE(std::string(e.what()).find("CDEMPRESA"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("012"), std::string::npos);
  }
  EXPECT_EQ(ds.RecordCount(), 1);  // the dataset is as it was
  EXPECT_EQ(ds.FieldByName("CDEMPRESA").AsString(), "01");
}

TEST(DataSetLoad, ToPacketGivesEveryRowInInsertionOrderWithoutCalculatedFields) {
  TDataSet ds("cdsBoletos");
  ds.AddCalcField({"IdPermCNAB", FieldKind::kString, 1});
  ds.AddIndex("idxOrdena", "DTVENBOLPAG;NMRAZSOCFORN");
  ds.SetIndexName("idxOrdena");
  ds.LoadPacket(FourSlips());
  ds.SetFilter([](const TDataSet& d) { return d.FieldByName("IDMARCADO").AsString() == "S"; });
  ds.SetFiltered(true);
  Packet out = ds.ToPacket();
  Packet in = FourSlips();
  EXPECT_EQ(out.fields, in.fields);
  EXPECT_EQ(out.rows, in.rows);
}

// ---- Fields ------------------------------------------------------------------

TEST(DataSetFields, FieldByNameIsCaseInsensitiveAndNamesTheDataSetWhenUnknown) {
  TDataSet ds("cdsBoletos");
  ds.LoadPacket(FourSlips());
  EXPECT_EQ(&ds.FieldByName("idmarcado"), &ds.FieldByName("IDMARCADO"));
  EXPECT_EQ(ds.FindField("NOPE"), nullptr);
  std::string msg = What([&] { ds.FieldByName("CDNOPE"); });
  EXPECT_NE(msg.find("CDNOPE"), std::string::npos);
  EXPECT_NE(msg.find("cdsBoletos"), std::string::npos);
  EXPECT_THROW(ds.AddField({"idmarcado", FieldKind::kString, 1}), std::invalid_argument);
}

TEST(DataSetFields, SettingOutsideEditOrInsertIsRefused) {
  TDataSet ds("cdsBoletos");
  ds.LoadPacket(FourSlips());
  EXPECT_EQ(What([&] { ds.FieldByName("IDMARCADO").SetAsString("S"); }),
            "dataset cdsBoletos is not in edit or insert mode");
  EXPECT_THROW(ds.FieldByName("VRFINALBPAG").Clear(), std::logic_error);
  EXPECT_EQ(ds.FieldByName("IDMARCADO").AsString(), "N");
}

struct SetCase {
  FieldKind kind;
  int size;
  int scale;
  Value in;
  const char* stored;  // AsString after the set; nullptr: FieldError
  bool null = false;
};

TEST(DataSetFields, SettingConvertsToTheKindAndRefusesWhatDoesNotFit) {
  constexpr auto kText = FieldKind::kString, kInt = FieldKind::kInteger, kDec = FieldKind::kDecimal,
                 kDate = FieldKind::kDateTime;
  const SetCase cases[] = {
      {kText, 5, 0, std::string("ABCDE"), "ABCDE"},
      {kText, 5, 0, std::string("ÁÉÍÓÚ"), "ÁÉÍÓÚ"},  // characters, not bytes
      {kText, 5, 0, std::string("ABCDEF"), nullptr},
      {kText, 5, 0, std::string(""), "", false},
      {kText, 3, 0, std::int64_t{12}, "12"},
      {kText, 3, 0, std::int64_t{1234}, nullptr},
      {kInt, 0, 0, std::string(" 42 "), "42"},
      {kInt, 0, 0, std::string("-7"), "-7"},
      {kInt, 0, 0, std::string(" "), "", true},
      {kInt, 0, 0, std::string("4x"), nullptr},
      {kInt, 0, 0, Decimal::Parse("3.00"), "3"},
      {kInt, 0, 0, Decimal::Parse("3.5"), nullptr},
      {kDec, 0, 2, std::string("1.234,5"), "1234.50"},
      {kDec, 0, 2, std::int64_t{10}, "10.00"},
      {kDec, 0, 2, Decimal::Parse("1.500"), "1.50"},
      {kDec, 0, 2, Decimal::Parse("1.005"), nullptr},
      {kDec, 0, 2, std::string("abc"), nullptr},
      {kDec, 0, 2, DateTime::Make(2026, 1, 1), nullptr},
      {kDate, 0, 0, std::string("2026-12-06"), "2026-12-06T00:00:00"},
      {kDate, 0, 0, std::string("2026-12-06 14:30:05"), "2026-12-06T14:30:05"},
      {kDate, 0, 0, std::string("06/12/2026"), nullptr},
      {kDate, 0, 0, std::string(""), "", true},
      {kDate, 0, 0, std::int64_t{1}, nullptr},
  };
  for (const SetCase& c : cases) {
    TDataSet ds("cdsTeste");
    TField& f = ds.AddField({"CAMPO", c.kind, c.size, c.scale});
    ds.CreateDataSet();
    ds.Append();
    SCOPED_TRACE(ValueToText(c.in));
    if (!c.stored) {
      EXPECT_THROW(f.SetValue(c.in), FieldError);
      EXPECT_TRUE(f.IsNull());
      continue;
    }
    f.SetValue(c.in);
    EXPECT_EQ(f.AsString(), c.stored);
    EXPECT_EQ(f.IsNull(), c.null);
  }
}

TEST(DataSetFields, TooLongTextNamesDataSetFieldSizeAndValue) {
  TDataSet ds("cdsBoletos");
  ds.LoadPacket(FourSlips());
  ds.Edit();
  std::string msg = What([&] { ds.FieldByName("CDFILIBPAG").SetAsString("00012"); });
  for (const char* part : {"cdsBoletos", "CDFILIBPAG", "4", "00012"})
    EXPECT_NE(msg.find(part), std::string::npos) << part << " missing from: " << msg;
  EXPECT_EQ(ds.FieldByName("CDFILIBPAG").AsString(), "0001");  // never cut
}

TEST(DataSetFields, NullReadsAsEmptyZeroAndTheHostZeroDate) {
  TDataSet ds("cdsBoletos");
  ds.LoadPacket(FourSlips());
  ds.Last();
  const TField& due = ds.FieldByName("DTVENBOLPAG");
  const TField& barcode = ds.FieldByName("CDBARRAPAG");
  EXPECT_TRUE(due.IsNull());
  EXPECT_EQ(due.AsDateTime(), ZeroDateTime());
  EXPECT_EQ(due.AsString(), "");
  EXPECT_EQ(barcode.AsString(), "");
  EXPECT_EQ(barcode.AsInteger(), 0);
  EXPECT_EQ(barcode.AsDecimal(), Decimal(0));
  EXPECT_EQ(ds.FieldByName("VRFINALBPAG").AsMoney(), Money::FromCents(99));
  EXPECT_EQ(ds.FieldByName("NRLANBOLPAG").AsInteger(), 4);
}

// ---- Calculated fields ---------------------------------------------------------

// IdPermCNAB: "S" when the slip has a barcode or a typeable line.
void SetPermCnab(TDataSet& ds) {
  ds.FieldByName("IdPermCNAB")
      .SetAsString(ds.FieldByName("CDBARRAPAG").IsNull() && ds.FieldByName("DSLINHBARPAG").IsNull() ? "N" : "S");
}

TEST(DataSetCalcFields, RecomputedWhenARowBecomesCurrentAndOnPost) {
  TDataSet ds("cdsBoletos");
  TField& perm = ds.AddCalcField({"IdPermCNAB", FieldKind::kString, 1});
  int calls = 0;
  ds.OnCalcFields = [&](TDataSet& d) {
    ++calls;
    SetPermCnab(d);
  };
  ds.LoadPacket(FourSlips());
  EXPECT_EQ(perm.AsString(), "S");
  ds.Next();
  ds.Next();
  EXPECT_EQ(perm.AsString(), "N");  // no barcode, no typeable line
  const int before = calls;
  ds.Edit();
  ds.FieldByName("DSLINHBARPAG").SetAsString("23790.00000 00000.000000 00000.000000 1 00000000000000");
  EXPECT_EQ(perm.AsString(), "S");  // follows the typing
  ds.Post();
  EXPECT_GT(calls, before);
  EXPECT_EQ(perm.AsString(), "S");
  // Views and filters see every row's value, also of rows never current.
  EXPECT_EQ(Column(ds, "IdPermCNAB"), "S|S|S|N");
  EXPECT_EQ(ds.ToPacket().fields.size(), 9u);
  EXPECT_EQ(ds.GetDelta().fields.size(), 9u);
}

TEST(DataSetCalcFields, OnlyOnCalcFieldsMaySetThemInBrowse) {
  TDataSet ds("cdsCNABPag");
  ds.AddField({"DTCNABPAG", FieldKind::kDateTime});
  ds.AddField({"NMOPERADOR", FieldKind::kString, 40});
  TField& name = ds.AddCalcField({"DataNome", FieldKind::kString, 50});
  ds.OnCalcFields = [](TDataSet& d) {
    d.FieldByName("DataNome").SetAsString(FormatDateTime(d.FieldByName("DTCNABPAG").AsDateTime(), "dd/mm/yyyy hh:nn") +
                                          " - " + d.FieldByName("NMOPERADOR").AsString());
  };
  ds.CreateDataSet();
  ds.Append();
  ds.FieldByName("DTCNABPAG").SetAsDateTime(DateTime::Make(2026, 12, 6, 14, 30));
  ds.FieldByName("NMOPERADOR").SetAsString("MARIA");
  ds.Post();
  EXPECT_EQ(name.AsString(), "06/12/2026 14:30 - MARIA");
  EXPECT_THROW(name.SetAsString("x"), std::logic_error);
  // A data field cannot be changed from OnCalcFields.
  ds.OnCalcFields = [](TDataSet& d) { d.FieldByName("NMOPERADOR").SetAsString("X"); };
  EXPECT_THROW(ds.First(), std::logic_error);
}

// ---- Display and edit handlers ---------------------------------------------------

TEST(DataSetDisplay, HandlersMapCodesToTextsAndBack) {
  TDataSet ds("cdsCNABPag");
  TField& kind = ds.AddField({"IDTPREMCNABPAG", FieldKind::kString, 1});
  const std::pair<const char*, const char*> texts[] = {
      {"1", "Pagamento Simples"}, {"2", "WEB TA"}, {"3", "Normal"}, {"4", "Antecipação"}};
  kind.OnGetText = [&](const TField& f) -> std::string {
    for (auto [code, text] : texts)
      if (f.AsString() == code) return text;
    return "";
  };
  kind.OnSetText = [&](TField& f, std::string_view text) {
    for (auto [code, t] : texts)
      if (text == t) f.SetAsString(code);
  };
  ds.CreateDataSet();
  for (const char* code : {"3", "9", "1"}) {
    ds.Append();
    kind.SetAsString(code);
    ds.Post();
  }
  EXPECT_EQ(kind.DisplayText(), "Pagamento Simples");
  EXPECT_EQ(ds.DisplayTextAt(1, kind), "Normal");
  EXPECT_EQ(ds.DisplayTextAt(2, kind), "");  // an unknown code shows nothing
  ds.First();
  ds.Edit();
  kind.SetText("WEB TA");
  EXPECT_EQ(kind.AsString(), "2");
  EXPECT_EQ(ds.FieldByName("IDTPREMCNABPAG").DisplayLabel(), "IDTPREMCNABPAG");
}

// ---- Change log ------------------------------------------------------------------

struct LogCase {
  const char* name;
  std::function<void(TDataSet&)> act;
  const char* expected;  // "kind:entry:supplier-before>supplier-after" per change
};

std::string Describe(const Delta& delta) {
  const auto entry = *delta.FieldIndex("NRLANBOLPAG");
  const auto name = *delta.FieldIndex("NMRAZSOCFORN");
  std::string out;
  for (const RowChange& c : delta.changes) {
    const char* kind = c.kind == ChangeKind::kInsert ? "I" : c.kind == ChangeKind::kModify ? "M" : "D";
    const auto& any = c.current.empty() ? c.original : c.current;
    out += std::string(out.empty() ? "" : " ") + kind + ":" + ValueToText(any[entry]) + ":" +
           (c.original.empty() ? "" : ValueToText(c.original[name])) + ">" +
           (c.current.empty() ? "" : ValueToText(c.current[name]));
  }
  return out;
}

void Rename(TDataSet& ds, const char* entry, const char* name) {
  ASSERT_TRUE(ds.Locate("NRLANBOLPAG", {entry}));
  ds.Edit();
  ds.FieldByName("NMRAZSOCFORN").SetAsString(name);
  ds.Post();
}

void AddSlip(TDataSet& ds, const char* entry, const char* name) {
  ds.Append();
  ds.FieldByName("CDFILIBPAG").SetAsString("0003");
  ds.FieldByName("NRLANBOLPAG").SetAsString(entry);
  ds.FieldByName("NMRAZSOCFORN").SetAsString(name);
  ds.Post();
}

void Remove(TDataSet& ds, const char* entry) {
  ASSERT_TRUE(ds.Locate("NRLANBOLPAG", {entry}));
  ds.Delete();
}

TEST(DataSetChangeLog, RecordsEachRowOnceWithItsValuesAsLoaded) {
  const LogCase cases[] = {
      {"modify", [](TDataSet& d) { Rename(d, "0000000002", "A2"); }, "M:0000000002:ALFA SA>A2"},
      {"modify twice", [](TDataSet& d) { Rename(d, "0000000002", "A2"); Rename(d, "0000000002", "A3"); },
       "M:0000000002:ALFA SA>A3"},
      {"insert then modify", [](TDataSet& d) { AddSlip(d, "0000000009", "NOVO"); Rename(d, "0000000009", "NOVO2"); },
       "I:0000000009:>NOVO2"},
      {"insert then delete", [](TDataSet& d) { AddSlip(d, "0000000009", "NOVO"); Remove(d, "0000000009"); }, ""},
      {"modify then delete", [](TDataSet& d) { Rename(d, "0000000003", "B2"); Remove(d, "0000000003"); },
       "D:0000000003:BETA ME>"},
      {"in order of first change",
       [](TDataSet& d) {
         Remove(d, "0000000004");
         AddSlip(d, "0000000009", "NOVO");
         Rename(d, "0000000001", "Z2");
         Rename(d, "0000000009", "NOVO2");
       },
       "D:0000000004:GAMA> I:0000000009:>NOVO2 M:0000000001:ZETA LTDA>Z2"},
      {"edit without change", [](TDataSet& d) { d.Edit(); d.Post(); }, ""},
      {"cancelled edit", [](TDataSet& d) { d.Edit(); d.FieldByName("NMRAZSOCFORN").SetAsString("X"); d.Cancel(); }, ""},
  };
  for (const LogCase& c : cases) {
    SCOPED_TRACE(c.name);
    TDataSet ds("cdsBoletos");
    ds.LoadPacket(FourSlips());
    c.act(ds);
    Delta delta = ds.GetDelta();
    EXPECT_EQ(Describe(delta), c.expected);
    EXPECT_EQ(ds.ChangeCount(), static_cast<int>(delta.changes.size()));
  }
}

TEST(DataSetChangeLog, MergeAcceptsAndCancelUpdatesRestoresTheLoadedRows) {
  TDataSet ds("cdsBoletos");
  ds.LoadPacket(FourSlips());
  Rename(ds, "0000000001", "Z2");
  AddSlip(ds, "0000000009", "NOVO");
  ds.MergeChangeLog();
  EXPECT_EQ(ds.ChangeCount(), 0);
  EXPECT_TRUE(ds.GetDelta().empty());

  Rename(ds, "0000000001", "Z3");  // the merged value is now the original
  EXPECT_EQ(Describe(ds.GetDelta()), "M:0000000001:Z2>Z3");
  Remove(ds, "0000000009");
  Remove(ds, "0000000002");
  AddSlip(ds, "0000000010", "OUTRO");
  ds.First();
  ds.Insert();  // inserted before the first row, then posted
  ds.FieldByName("NRLANBOLPAG").SetAsString("0000000011");
  ds.Post();
  ds.CancelUpdates();
  EXPECT_EQ(ds.ChangeCount(), 0);
  EXPECT_EQ(Column(ds, "NMRAZSOCFORN"), "Z2|ALFA SA|BETA ME|GAMA|NOVO");
  EXPECT_EQ(ds.State(), DataSetState::kBrowse);
}

TEST(DataSetChangeLog, EmptyDataSetForgetsRowsAndLog) {
  TDataSet ds("cdsBolCnab");
  ds.LoadPacket(FourSlips());
  AddSlip(ds, "0000000009", "NOVO");
  ds.EmptyDataSet();
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_EQ(ds.ChangeCount(), 0);
  EXPECT_TRUE(ds.Active());
  AddSlip(ds, "0000000010", "OUTRO");
  EXPECT_EQ(Describe(ds.GetDelta()), "I:0000000010:>OUTRO");
}

}  // namespace
}  // namespace pag
