// The criteria of GetBoletos and GetCNABPag: each one filters what it says,
// key lists match whole keys only, and hostile text is plain text.
#include <gtest/gtest.h>

#include <map>
#include <string_view>

#include "fixture.h"

namespace pag::test {
namespace {

// The 31 criteria of GetBoletos, every one set to "all"; tests change some.
struct SlipCriteria {
  std::vector<Arg> args{
      Arg("01"),        Arg::Ref("T"),  Arg::Ref("T"),  Arg::Ref(" "),  Arg::Ref("T"),  Arg(""),
      Arg::Ref(" "),    Arg::Ref("T"),  Arg::Ref(" "),  Arg::Ref(" "),  Arg::Ref("T"),  Arg::Ref(" "),
      Arg::Ref("T"),    Arg(DateTime{}), Arg(DateTime{}), Arg::Ref("T"), Arg::Ref(" "),  Arg::Ref("T"),
      Arg(Decimal(0)),  Arg(Decimal(0)), Arg::Ref("T"), Arg::Ref(" "),  Arg::Ref("T"),  Arg::Ref(""),
      Arg::Ref(" "),    Arg::Ref("T"),  Arg::Ref(""),   Arg::Ref("T"),  Arg(""),        Arg(""),
      Arg::Ref("")};
  // 1-based position, as the criteria are numbered.
  SlipCriteria& Set(int pos, Arg a) {
    args.at(static_cast<std::size_t>(pos - 1)) = std::move(a);
    return *this;
  }
};

class FiltersTest : public ServerTest {
 protected:
  // The entries of the slips found, sorted by entry.
  std::string Slips(const SlipCriteria& c) {
    Reply r = Call("GetBoletos", c.args);
    if (r.IsError()) return "error: " + r.error();
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < r.packet().rows.size(); ++i)
      entries.push_back(Str(r.packet(), i, "NRLANBOLPAG").substr(8));
    std::sort(entries.begin(), entries.end());
    std::string s;
    for (const auto& e : entries) s += (s.empty() ? "" : " ") + e;
    return s;
  }
};

TEST_F(FiltersTest, EachSlipCriterion) {
  store->db().Exec(
      "UPDATE BOLETOPAG SET IDHABIBPAG = 'N' WHERE NRLANBOLPAG = '0000000004';"
      "UPDATE BOLETOPAG SET NRRETCNABPAG = '000123' WHERE NRLANBOLPAG = '0000000005';"
      "UPDATE BOLETOPAG SET DSLINHBARPAG = '34191' WHERE NRLANBOLPAG = '0000000003';");
  struct Case {
    const char* name;
    std::function<void(SlipCriteria&)> set;
    const char* expect;
  };
  const Case cases[] = {
      {"all", [](SlipCriteria&) {}, "01 02 03 04 05"},
      {"other company", [](SlipCriteria& c) { c.Set(1, "02"); }, ""},
      {"not in a remittance", [](SlipCriteria& c) { c.Set(2, Arg::Ref("N")); }, "01 02 03 04"},
      {"in remittance 1", [](SlipCriteria& c) { c.Set(2, Arg::Ref("0000000001")); }, "05"},
      {"enabled only", [](SlipCriteria& c) { c.Set(3, Arg::Ref("S")); }, "01 02 03 05"},
      {"origin branch", [](SlipCriteria& c) { c.Set(4, Arg::Ref("0002")).Set(5, Arg::Ref(" ")); }, "03"},
      {"origin branch list", [](SlipCriteria& c) { c.Set(4, Arg::Ref("_0002_0001")).Set(5, Arg::Ref(" ")); },
       "01 02 03 04 05"},
      {"account", [](SlipCriteria& c) { c.Set(6, "001"); }, "01 02 03 04 05"},
      {"other account", [](SlipCriteria& c) { c.Set(6, "002"); }, ""},
      {"suppliers", [](SlipCriteria& c) { c.Set(7, Arg::Ref("_F001_F003")).Set(8, Arg::Ref(" ")); }, "01 03 05"},
      {"invoice numbers",
       [](SlipCriteria& c) { c.Set(9, Arg::Ref("0000700")).Set(10, Arg::Ref("0000800")).Set(11, Arg::Ref(" ")); },
       "03"},
      {"invoice number as typed",
       [](SlipCriteria& c) { c.Set(9, Arg::Ref("123")).Set(10, Arg::Ref("123")).Set(11, Arg::Ref(" ")); }, "01"},
      {"launch branch", [](SlipCriteria& c) { c.Set(12, Arg::Ref("_0001")).Set(13, Arg::Ref(" ")); },
       "01 02 04 05"},
      {"due dates",
       [](SlipCriteria& c) {
         c.Set(14, DateTime::Make(2026, 12, 10)).Set(15, DateTime::Make(2026, 12, 15)).Set(16, Arg::Ref(" "));
       },
       "01 02 03"},
      {"payment kinds", [](SlipCriteria& c) { c.Set(17, Arg::Ref("_01_05")).Set(18, Arg::Ref(" ")); }, "01 03 05"},
      {"net values",
       [](SlipCriteria& c) {
         c.Set(19, Decimal::Parse("89.75")).Set(20, Decimal::Parse("700.00")).Set(21, Arg::Ref(" "));
       },
       "02 04 05"},
      {"with barcode or line", [](SlipCriteria& c) { c.Set(22, Arg::Ref("0")).Set(23, Arg::Ref(" ")); },
       "01 02 03 05"},
      {"without barcode", [](SlipCriteria& c) { c.Set(22, Arg::Ref("1")).Set(23, Arg::Ref(" ")); }, "04"},
      {"situations", [](SlipCriteria& c) { c.Set(24, Arg::Ref("_00_01")); }, "01 02 03 04"},
      {"situations without leading bar", [](SlipCriteria& c) { c.Set(24, Arg::Ref("10_20")); }, "05"},
      {"payee bank from barcode or account",
       [](SlipCriteria& c) { c.Set(25, Arg::Ref("_001_836")).Set(26, Arg::Ref(" ")); }, "02 03"},
      {"person type", [](SlipCriteria& c) { c.Set(27, Arg::Ref("F")).Set(28, Arg::Ref("")); }, "03"},
      {"other person types", [](SlipCriteria& c) { c.Set(27, Arg::Ref("_O_I")).Set(28, Arg::Ref("")); }, "04"},
      {"remittance number typed", [](SlipCriteria& c) { c.Set(29, "0000000001"); }, "05"},
      {"zero remittance number is none", [](SlipCriteria& c) { c.Set(29, "0000000000"); }, "01 02 03 04 05"},
      {"return number", [](SlipCriteria& c) { c.Set(30, "0000000123"); }, "05"},
      {"supplier groups", [](SlipCriteria& c) { c.Set(31, Arg::Ref("_MAT")); }, "01 05"},
  };
  for (const Case& k : cases) {
    SlipCriteria c;
    k.set(c);
    EXPECT_EQ(Slips(c), k.expect) << k.name;
  }
}

TEST_F(FiltersTest, KeyListsMatchWholeKeysOnly) {
  // "F00" and "0001" are parts of real keys, never keys themselves.
  EXPECT_EQ(Slips(SlipCriteria().Set(7, Arg::Ref("_F00")).Set(8, Arg::Ref(" "))), "");
  EXPECT_EQ(Slips(SlipCriteria().Set(7, Arg::Ref("F001F003")).Set(8, Arg::Ref(" "))), "");
  EXPECT_EQ(Slips(SlipCriteria().Set(4, Arg::Ref("_000")).Set(5, Arg::Ref(" "))), "");
  EXPECT_EQ(Slips(SlipCriteria().Set(24, Arg::Ref("_0"))), "");
  // Blanks around keys are not part of them.
  EXPECT_EQ(Slips(SlipCriteria().Set(7, Arg::Ref(" _ F001 _")).Set(8, Arg::Ref(" "))), "01 05");
}

TEST_F(FiltersTest, HostileTextIsPlainText) {
  const char* hostile[] = {"' OR '1'='1", "%", "_", "F%", "0001' --", "\"; DROP TABLE BOLETOPAG; --",
                           "') OR 1=1 OR ('", "*"};
  for (const char* h : hostile) {
    EXPECT_EQ(Slips(SlipCriteria().Set(1, h)), "") << h;
    EXPECT_EQ(Slips(SlipCriteria().Set(6, h)), "") << h;
    EXPECT_EQ(Slips(SlipCriteria().Set(2, Arg::Ref(h))), "") << h;
    EXPECT_EQ(Slips(SlipCriteria().Set(7, Arg::Ref(h)).Set(8, Arg::Ref(" "))), "") << h;
    EXPECT_EQ(Slips(SlipCriteria().Set(9, Arg::Ref(h)).Set(10, Arg::Ref(h)).Set(11, Arg::Ref(" "))), "") << h;
    EXPECT_EQ(Slips(SlipCriteria().Set(30, h)), "") << h;
    EXPECT_TRUE(CallPacket("GetCntPagar", {h, h}).empty()) << h;
    EXPECT_TRUE(CallPacket("GetEmpresa", {h, " "}).empty()) << h;
  }
  EXPECT_EQ(Scalar("SELECT count(*) FROM BOLETOPAG"), "5");
}

TEST_F(FiltersTest, WrongKindsOfCriteriaAreRefused) {
  EXPECT_EQ(Slips(SlipCriteria().Set(14, "2026-12-01")), "error: GetBoletos: argument 14 must be a date, not text");
  EXPECT_EQ(Slips(SlipCriteria().Set(19, "10")), "error: GetBoletos: argument 19 must be a number, not text");
  SlipCriteria short_list;
  short_list.args.pop_back();
  EXPECT_EQ(Slips(short_list), "error: GetBoletos: expected 31 arguments, got 30");
}

// The 27 criteria of GetCNABPag, every one set to "all".
struct RemittanceCriteria {
  std::vector<Arg> args{Arg("01"),        Arg(DateTime{}), Arg(DateTime{}), Arg::Ref("T"),   Arg::Ref(""),
                        Arg::Ref("T"),    Arg::Ref(""),    Arg::Ref("T"),   Arg(Decimal(0)), Arg(Decimal(0)),
                        Arg::Ref("T"),    Arg::Ref(""),    Arg::Ref("T"),   Arg::Ref(""),    Arg::Ref("T"),
                        Arg(""),          Arg(""),         Arg::Ref("T"),   Arg(DateTime{}), Arg(DateTime{}),
                        Arg::Ref("T"),    Arg::Ref(""),    Arg::Ref("T"),   Arg(Decimal(0)), Arg(Decimal(0)),
                        Arg::Ref("T"),    Arg("")};
  RemittanceCriteria& Set(int pos, Arg a) {
    args.at(static_cast<std::size_t>(pos - 1)) = std::move(a);
    return *this;
  }
};

class RemittanceFiltersTest : public ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    // A second remittance, of another operator, with slip 1 in it.
    store->db().Exec(
        "INSERT INTO CNABPAG (CDEMPRESA, NRCNABPAG, CDREDUCONT, CDOPERADOR, DTCNABPAG, VRTOTALCNABPAG) "
        "VALUES ('01', '0000000002', '001', 'BRUNO', '2026-12-05T09:00:00', 150000);"
        "INSERT INTO CNABPAGBOL VALUES ('01', '0000000002', '0001', '0000000001', 'I');");
  }
  std::string Remittances(const RemittanceCriteria& c) {
    Reply r = Call("GetCNABPag", c.args);
    if (r.IsError()) return "error: " + r.error();
    std::string s;
    for (std::size_t i = 0; i < r.packet().rows.size(); ++i)
      s += (s.empty() ? "" : " ") + Str(r.packet(), i, "NRCNABPAG").substr(9);
    return s;
  }
};

TEST_F(RemittanceFiltersTest, EachRemittanceCriterion) {
  struct Case {
    const char* name;
    std::function<void(RemittanceCriteria&)> set;
    const char* expect;
  };
  const Case cases[] = {
      {"all", [](RemittanceCriteria&) {}, "1 2"},
      {"other company", [](RemittanceCriteria& c) { c.Set(1, "02"); }, ""},
      {"creation dates",
       [](RemittanceCriteria& c) {
         c.Set(2, DateTime::Make(2026, 12, 5)).Set(3, DateTime::Make(2026, 12, 5)).Set(4, Arg::Ref(""));
       },
       "2"},
      {"accounts", [](RemittanceCriteria& c) { c.Set(5, Arg::Ref("_001")).Set(6, Arg::Ref("")); }, "1 2"},
      {"account part", [](RemittanceCriteria& c) { c.Set(5, Arg::Ref("_00")).Set(6, Arg::Ref("")); }, ""},
      {"operators", [](RemittanceCriteria& c) { c.Set(7, Arg::Ref("_ANA")).Set(8, Arg::Ref("")); }, "1"},
      {"total values",
       [](RemittanceCriteria& c) {
         c.Set(9, Decimal::Parse("1000")).Set(10, Decimal::Parse("2000")).Set(11, Arg::Ref(""));
       },
       "2"},
      {"slip suppliers", [](RemittanceCriteria& c) { c.Set(12, Arg::Ref("_F001")).Set(13, Arg::Ref("")); }, "1 2"},
      {"slip payee banks", [](RemittanceCriteria& c) { c.Set(14, Arg::Ref("_001")).Set(15, Arg::Ref("")); }, ""},
      {"slip invoice numbers",
       [](RemittanceCriteria& c) { c.Set(16, "0000123").Set(17, "0000123").Set(18, Arg::Ref("")); }, "2"},
      {"slip due dates",
       [](RemittanceCriteria& c) {
         c.Set(19, DateTime::Make(2026, 11, 30)).Set(20, DateTime::Make(2026, 11, 30)).Set(21, Arg::Ref(""));
       },
       "1"},
      {"slip payment kinds", [](RemittanceCriteria& c) { c.Set(22, Arg::Ref("_01")).Set(23, Arg::Ref("")); },
       "1 2"},
      {"slip net values",
       [](RemittanceCriteria& c) {
         c.Set(24, Decimal::Parse("1000")).Set(25, Decimal::Parse("1500")).Set(26, Arg::Ref(""));
       },
       "2"},
      {"number typed", [](RemittanceCriteria& c) { c.Set(27, "0000000002"); }, "2"},
      {"hostile number", [](RemittanceCriteria& c) { c.Set(27, "2' OR '1'='1"); }, ""},
      {"hostile list", [](RemittanceCriteria& c) { c.Set(7, Arg::Ref("%")).Set(8, Arg::Ref("")); }, ""},
  };
  for (const Case& k : cases) {
    RemittanceCriteria c;
    k.set(c);
    EXPECT_EQ(Remittances(c), k.expect) << k.name;
  }
}


// The slip lists come by due date, supplier's name, branch and entry, byte by
// byte as the store compares texts: a name that is the start of another comes
// first, capitals before small letters, accented letters after both, NUL
// bytes before any other. The
// store's own ORDER BY over the same rows is the expected order.
TEST_F(FiltersTest, SlipListsComeInDueDateNameBranchEntryOrder) {
  struct Slip {
    const char* branch;
    const char* entry;
    const char* supplier;
    std::string_view name;
    const char* due;
  };
  const Slip slips[] = {
      {"0001", "0000000011", "S1", "ABC", "2026-12-10T00:00:00"},
      {"0001", "0000000012", "S2", "ABC ", "2026-12-10T00:00:00"},
      {"0001", "0000000013", "S3", "ABCD", "2026-12-10T00:00:00"},
      {"0001", "0000000014", "S4", "\xC3\x81" "BC", "2026-12-10T00:00:00"},
      {"0001", "0000000015", "S5", "abc", "2026-12-10T00:00:00"},
      {"0002", "0000000016", "S1", "ABC", "2026-12-10T00:00:00"},
      {"0001", "0000000010", "S1", "ABC", "2026-12-10T00:00:00"},
      {"0001", "0000000009", "S1", "ABC", "2026-12-09T00:00:00"},
      {"0001", "0000000017", "S6", "", "2026-12-10T00:00:00"},
      {"0001", "0000000018", "S5", "abc", ""},
      // A NUL byte inside a name is a byte like any other.
      {"0001", "0000000019", "S7", std::string_view("AB\0C", 4), "2026-12-10T00:00:00"},
      {"0001", "0000000020", "S8", std::string_view("AB\0", 3), "2026-12-10T00:00:00"},
      {"0001", "0000000021", "S9", "AB\x01", "2026-12-10T00:00:00"},
      {"0001", "0000000022", "SA", "AB", "2026-12-10T00:00:00"},
  };
  auto& db = store->db();
  db.Exec("CREATE TEMP TABLE model AS SELECT * FROM BOLETOPAG WHERE NRLANBOLPAG = '0000000001'");
  for (const Slip& s : slips) {
    sql::Stmt supplier(db, "INSERT OR IGNORE INTO FORNECEDOR (CDFORNECED, NMRAZSOCFORN) VALUES (?, ?)");
    supplier.Bind(1, s.supplier).Bind(2, s.name);
    supplier.Step();
    sql::Stmt slip(db,
                   "UPDATE temp.model SET CDFILIBPAG = ?, NRLANBOLPAG = ?, CDFORNECED = ?, DTVENBOLPAG = ?, "
                   "NRCNABPAGREM = ''");
    slip.Bind(1, s.branch).Bind(2, s.entry).Bind(3, s.supplier).Bind(4, s.due);
    slip.Step();
    db.Exec("INSERT INTO BOLETOPAG SELECT * FROM temp.model");
  }
  // Every slip of the company also in remittance 1, for GetBolporRem.
  db.Exec(
      "INSERT OR IGNORE INTO CNABPAGBOL (CDEMPRESA, NRCNABPAG, CDFILIBPAG, NRLANBOLPAG) "
      "SELECT CDEMPRESA, '0000000001', CDFILIBPAG, NRLANBOLPAG FROM BOLETOPAG WHERE CDEMPRESA = '01'");

  std::vector<std::string> expected;
  {
    sql::Stmt st(db,
                 "SELECT b.CDFILIBPAG || '/' || b.NRLANBOLPAG FROM BOLETOPAG b "
                 "JOIN FORNECEDOR f ON f.CDFORNECED = b.CDFORNECED WHERE b.CDEMPRESA = '01' "
                 "ORDER BY b.DTVENBOLPAG, f.NMRAZSOCFORN, b.CDFILIBPAG, b.NRLANBOLPAG");
    while (st.Step()) expected.push_back(st.Text(0));
  }
  ASSERT_EQ(expected.size(), 5u + std::size(slips));
  auto keys = [](const Packet& p) {
    std::vector<std::string> k;
    for (std::size_t i = 0; i < p.rows.size(); ++i)
      k.push_back(Str(p, i, "CDFILIBPAG") + "/" + Str(p, i, "NRLANBOLPAG"));
    return k;
  };
  Reply all = Call("GetBoletos", SlipCriteria().args);
  ASSERT_FALSE(all.IsError()) << all.error();
  EXPECT_EQ(keys(all.packet()), expected);
  EXPECT_EQ(keys(CallPacket("GetBolporRem", {Arg::Ref("01"), Arg::Ref("0000000001")})), expected);
}

}  // namespace
}  // namespace pag::test
