// Remittances: the list with its 27 criteria, saving a remittance from the
// screen's change log, marking its slips as sent, taking slips out of it,
// and the check that no slip of an inclusion belongs to another remittance.
#include <sqlite3.h>

#include <algorithm>
#include <variant>

#include "host/server/catalog.h"
#include "host/server/method_kit.h"
#include "host/text.h"

namespace pag::server {

namespace {

constexpr Col kCNABPag[] = {
    Text("CDEMPRESA", 2),        Text("CDOPERADOR", 12),     Text("CDBANCO", 3),        Text("CDREDUCONT", 3),
    Text("IDTPREMCNABPAG", 1),   Text("CDAGENCIA", 5),       Text("CDPICTAGEN", 10),    Text("CDCONTCORR", 10),
    Text("CDPICTCONT", 20),      Text("IDAGENREMCNABPAG", 1), Text("IDTIPCNABPAG", 1),  Text("NRCNABPAG", 10),
    When("DTCNABPAG"),           Text("NMOPERADOR", 40),     Text("DSCONTCORR", 20),    Text("DSARQCNABPAG", 250),
    When("DTPAGREM"),            Text("IDOPECNABPAG", 1),    Text("CDBANCCNAB", 3),     Text("CDFILIAL", 4),
    Text("NMFILIAL", 30),        Text("IDMARCADO", 1),       Text("DSARQBORDPAG", 100), Amount("VRTOTALCNABPAG"),
    Integer("QTBOLCNABPAG"),     Text("NRSEQREMESSAPAG", 10)};

constexpr const char* kCNABPagSelect =
    "SELECT r.CDEMPRESA, r.CDOPERADOR, r.CDBANCO, r.CDREDUCONT, r.IDTPREMCNABPAG, r.CDAGENCIA, r.CDPICTAGEN, "
    "r.CDCONTCORR, r.CDPICTCONT, r.IDAGENREMCNABPAG, r.IDTIPCNABPAG, r.NRCNABPAG, r.DTCNABPAG, r.NMOPERADOR, "
    "r.DSCONTCORR, r.DSARQCNABPAG, r.DTPAGREM, r.IDOPECNABPAG, r.CDBANCCNAB, r.CDFILIAL, r.NMFILIAL, 'N', "
    "r.DSARQBORDPAG, r.VRTOTALCNABPAG, r.QTBOLCNABPAG, r.NRSEQREMESSAPAG FROM CNABPAG r ";

std::int64_t Cents(const Decimal& d) { return RoundDec(d, 2).Rescaled(2).units(); }

std::string Pad20(const std::string& s) {
  return s.size() >= 20 ? s.substr(s.size() - 20) : std::string(20 - s.size(), '0') + s;
}

std::string SignificantNumber(const std::string& s) {
  std::size_t i = s.find_first_not_of('0');
  return i == std::string::npos ? std::string() : s.substr(i);
}

// GetCNABPag: the company's remittances that meet the criteria, in call order:
//  1 company; 2-4 creation dates from, to, flag; 5-6 accounts; 7-8 operators;
//  9-11 total value from, to, flag; then criteria on the remittance's slips
//  (a remittance qualifies when one of its slips meets all of them):
//  12-13 suppliers; 14-15 payee banks; 16-18 invoice numbers; 19-21 due
//  dates; 22-23 payment kinds; 24-26 net values; 27 remittance number typed
//  (blank or zero: any). A flag "T" lifts its criterion.
Reply GetCNABPag(MethodContext& ctx, Args& a) {
  a.Expect("sdds" "ssss" "nns" "ssss" "sss" "dds" "ss" "nns" "s");
  std::string where = "WHERE r.CDEMPRESA = ?";
  std::vector<std::variant<std::string, std::int64_t>> values{a.Key(0)};
  auto add = [&](const char* sql) { where += std::string(" AND ") + sql; };
  if (a.Key(3) != "T") {
    add("r.DTCNABPAG BETWEEN ? AND ?");
    values.emplace_back(IsoDay(a.Date(1)) + "T00:00:00");
    values.emplace_back(IsoDay(a.Date(2)) + "T23:59:59");
  }
  if (a.Key(5) != "T") {
    add("r.CDREDUCONT IN (SELECT value FROM json_each(?))");
    values.emplace_back(KeyListJson(a.Raw(4)));
  }
  if (a.Key(7) != "T") {
    add("r.CDOPERADOR IN (SELECT value FROM json_each(?))");
    values.emplace_back(KeyListJson(a.Raw(6)));
  }
  if (a.Key(10) != "T") {
    add("r.VRTOTALCNABPAG BETWEEN ? AND ?");
    values.emplace_back(Cents(a.Number(8)));
    values.emplace_back(Cents(a.Number(9)));
  }
  std::string slip;
  auto add_slip = [&](const char* sql) { slip += std::string(" AND ") + sql; };
  if (a.Key(12) != "T") {
    add_slip("b.CDFORNECED IN (SELECT value FROM json_each(?))");
    values.emplace_back(KeyListJson(a.Raw(11)));
  }
  if (a.Key(14) != "T") {
    add_slip("(CASE WHEN b.CDBANCBOLP <> '' THEN b.CDBANCBOLP ELSE substr(b.CDBARRAPAG, 1, 3) END) "
             "IN (SELECT value FROM json_each(?))");
    values.emplace_back(KeyListJson(a.Raw(13)));
  }
  if (a.Key(17) != "T") {
    add_slip("EXISTS (SELECT 1 FROM NOTAFISCAL n WHERE n.CDFILIBPAG = b.CDFILIBPAG AND n.NRLANBOLPAG = b.NRLANBOLPAG "
             "AND substr('00000000000000000000' || trim(n.NRNOTAFISC), -20) BETWEEN ? AND ?)");
    values.emplace_back(Pad20(a.Key(15)));
    values.emplace_back(Pad20(a.Key(16)));
  }
  if (a.Key(20) != "T") {
    add_slip("b.DTVENBOLPAG BETWEEN ? AND ?");
    values.emplace_back(IsoDay(a.Date(18)) + "T00:00:00");
    values.emplace_back(IsoDay(a.Date(19)) + "T23:59:59");
  }
  if (a.Key(22) != "T") {
    add_slip("b.CDTPBAIXAPAG IN (SELECT value FROM json_each(?))");
    values.emplace_back(KeyListJson(a.Raw(21)));
  }
  if (a.Key(25) != "T") {
    add_slip("b.VRFINALBPAG BETWEEN ? AND ?");
    values.emplace_back(Cents(a.Number(23)));
    values.emplace_back(Cents(a.Number(24)));
  }
  if (!slip.empty()) {
    add(("EXISTS (SELECT 1 FROM CNABPAGBOL l JOIN BOLETOPAG b ON b.CDFILIBPAG = l.CDFILIBPAG "
         "AND b.NRLANBOLPAG = l.NRLANBOLPAG WHERE l.CDEMPRESA = r.CDEMPRESA AND l.NRCNABPAG = r.NRCNABPAG" +
         slip + ")")
            .c_str());
  }
  if (auto nr = SignificantNumber(a.Key(26)); !nr.empty()) {
    add("ltrim(r.NRCNABPAG, '0') = ?");
    values.emplace_back(nr);
  }
  auto& st = ctx.Prepare(std::string(kCNABPagSelect) + where + " ORDER BY r.NRCNABPAG");
  int i = 1;
  for (const auto& v : values) {
    if (const auto* s = std::get_if<std::string>(&v)) {
      st.Bind(i++, *s);
    } else {
      st.Bind(i++, std::get<std::int64_t>(v));
    }
  }
  return Reply::OfPacket(ReadPacket(st, kCNABPag));
}

// A dataset value made ready for a column of the catalogue, checked.
struct Bound {
  bool is_int = false;
  std::string text;
  std::int64_t number = 0;
};

Bound ToStore(const catalog::Column& c, const Value& v) {
  using catalog::Kind;
  const std::string field(c.name);
  Bound b;
  switch (c.kind) {
    case Kind::kText:
    case Kind::kCode:
    case Kind::kDigits: {
      if (IsNull(v)) {
        b.text = std::string(c.default_value);
        return b;
      }
      const auto* s = std::get_if<std::string>(&v);
      if (!s) throw ArgError(field + " must be a text");
      if (static_cast<int>(TextLength(*s)) > c.size)
        throw ArgError(field + " is longer than " + std::to_string(c.size) + " characters");
      b.text = *s;
      return b;
    }
    case Kind::kInteger:
    case Kind::kAmount: {
      b.is_int = true;
      if (IsNull(v)) return b;
      Decimal d;
      if (const auto* i = std::get_if<std::int64_t>(&v)) {
        d = Decimal(*i);
      } else if (const auto* x = std::get_if<Decimal>(&v)) {
        d = *x;
      } else {
        throw ArgError(field + " must be a number");
      }
      const int scale = c.kind == Kind::kAmount ? 2 : 0;
      const Decimal r = d.Rescaled(scale);
      if (!(r == d)) throw ArgError(field + " has more than " + std::to_string(scale) + " decimals");
      b.number = r.units();
      return b;
    }
    case Kind::kPercent: {
      if (IsNull(v)) {
        b.text = "0";
        return b;
      }
      const auto* x = std::get_if<Decimal>(&v);
      if (!x) throw ArgError(field + " must be a number");
      b.text = x->Normalized().ToString();
      return b;
    }
    case Kind::kDate:
    case Kind::kDateTime: {
      if (IsNull(v)) return b;
      if (const auto* t = std::get_if<DateTime>(&v)) {
        b.text = IsoOf(*t);
        return b;
      }
      throw ArgError(field + " must be a date");
    }
  }
  return b;
}

void BindBound(sql::Stmt& st, int i, const Bound& b) {
  if (b.is_int) {
    st.Bind(i, b.number);
  } else {
    st.Bind(i, b.text);
  }
}

const Value& ValueIn(const std::vector<Value>& row, std::optional<std::size_t> col) {
  static const Value kNull;
  if (!col || *col >= row.size()) return kNull;
  return row[*col];
}

std::string KeyText(const std::vector<Value>& row, std::optional<std::size_t> col) {
  const Value& v = ValueIn(row, col);
  if (const auto* s = std::get_if<std::string>(&v)) return AllTrim(*s);
  return IsNull(v) ? std::string() : ValueToText(v);
}

bool RemittanceExists(MethodContext& ctx, const std::string& company, const std::string& number) {
  auto& st = ctx.Prepare("SELECT 1 FROM CNABPAG WHERE CDEMPRESA = ? AND NRCNABPAG = ?");
  st.Bind(1, company).Bind(2, number);
  const bool found = st.Step();
  st.Reset();
  return found;
}

void CheckOwner(MethodContext& ctx, const char* table_sql, const std::string& key, const std::string& company,
                const char* what) {
  if (key.empty()) return;
  auto& st = ctx.Prepare(table_sql);
  st.Bind(1, key);
  if (!st.Step()) throw ArgError(std::string("unknown ") + what + " " + key);
  const std::string owner = st.Text(0);
  st.Reset();
  if (owner != company) throw ArgError(std::string(what) + " " + key + " is not of company " + company);
}

void InsertRemittance(MethodContext& ctx, const catalog::Table& t, const Delta& d, const std::vector<Value>& row) {
  const std::string company = KeyText(row, d.FieldIndex("CDEMPRESA"));
  const std::string number = KeyText(row, d.FieldIndex("NRCNABPAG"));
  const std::string account = KeyText(row, d.FieldIndex("CDREDUCONT"));
  if (company.empty() || number.empty() || account.empty())
    throw ArgError("a new remittance needs CDEMPRESA, NRCNABPAG and CDREDUCONT");
  {
    auto& st = ctx.Prepare("SELECT 1 FROM EMPRESA WHERE CDEMPRESA = ?");
    st.Bind(1, company);
    const bool found = st.Step();
    st.Reset();
    if (!found) throw ArgError("unknown company " + company);
  }
  CheckOwner(ctx, "SELECT CDEMPRESA FROM CONTCORR WHERE CDREDUCONT = ?", account, company, "account");
  CheckOwner(ctx, "SELECT CDEMPRESA FROM FILIAL WHERE CDFILIAL = ?", KeyText(row, d.FieldIndex("CDFILIAL")), company,
             "branch");
  std::string cols, marks;
  std::vector<Bound> values;
  for (const catalog::Column& c : t.columns) {
    const auto idx = d.FieldIndex(c.name);
    Value v = ValueIn(row, idx);
    if (c.key || c.name == "CDREDUCONT") v = KeyText(row, idx);
    if (IsNull(v) && c.name == "IDOPECNABPAG") v = std::string("I");
    values.push_back(ToStore(c, v));
    cols += (cols.empty() ? "" : ", ") + std::string(c.name);
    marks += marks.empty() ? "?" : ", ?";
  }
  auto& st = ctx.Prepare("INSERT INTO CNABPAG (" + cols + ") VALUES (" + marks + ")");
  for (std::size_t i = 0; i < values.size(); ++i) BindBound(st, static_cast<int>(i + 1), values[i]);
  const int rc = st.StepCode();
  if (rc == SQLITE_CONSTRAINT_PRIMARYKEY) throw ArgError("remittance " + company + "/" + number + " already exists");
  if (rc != SQLITE_DONE) throw ArgError("remittance " + company + "/" + number + " breaks a rule of the store");
}

void UpdateRemittance(MethodContext& ctx, const catalog::Table& t, const Delta& d, const RowChange& ch) {
  const auto& orig = ch.original.empty() ? ch.current : ch.original;
  const std::string company = KeyText(orig, d.FieldIndex("CDEMPRESA"));
  const std::string number = KeyText(orig, d.FieldIndex("NRCNABPAG"));
  if (!RemittanceExists(ctx, company, number)) throw ArgError("unknown remittance " + company + "/" + number);
  std::string sets;
  std::vector<Bound> values;
  for (const catalog::Column& c : t.columns) {
    const auto idx = d.FieldIndex(c.name);
    if (!idx) continue;
    if (c.key) {
      if (KeyText(ch.current, idx) != KeyText(orig, idx)) throw ArgError(std::string(c.name) + " cannot change");
      continue;
    }
    if (c.name == "CDREDUCONT") {
      CheckOwner(ctx, "SELECT CDEMPRESA FROM CONTCORR WHERE CDREDUCONT = ?", KeyText(ch.current, idx), company,
                 "account");
    }
    if (c.name == "CDFILIAL") {
      CheckOwner(ctx, "SELECT CDEMPRESA FROM FILIAL WHERE CDFILIAL = ?", KeyText(ch.current, idx), company, "branch");
    }
    values.push_back(ToStore(c, ValueIn(ch.current, idx)));
    sets += (sets.empty() ? "" : ", ") + std::string(c.name) + " = ?";
  }
  if (sets.empty()) return;
  auto& st = ctx.Prepare("UPDATE CNABPAG SET " + sets + " WHERE CDEMPRESA = ? AND NRCNABPAG = ?");
  int i = 1;
  for (const Bound& b : values) BindBound(st, i++, b);
  st.Bind(i, company);
  st.Bind(i + 1, number);
  st.Step();
}

void DeleteRemittance(MethodContext& ctx, const Delta& d, const RowChange& ch) {
  const auto& orig = ch.original.empty() ? ch.current : ch.original;
  const std::string company = KeyText(orig, d.FieldIndex("CDEMPRESA"));
  const std::string number = KeyText(orig, d.FieldIndex("NRCNABPAG"));
  auto& has = ctx.Prepare("SELECT 1 FROM CNABPAGBOL WHERE CDEMPRESA = ? AND NRCNABPAG = ? LIMIT 1");
  has.Bind(1, company).Bind(2, number);
  const bool has_slips = has.Step();
  has.Reset();
  if (has_slips) throw ArgError("remittance " + company + "/" + number + " has slips and cannot be deleted");
  auto& st = ctx.Prepare("DELETE FROM CNABPAG WHERE CDEMPRESA = ? AND NRCNABPAG = ?");
  st.Bind(1, company).Bind(2, number);
  st.Step();
}

// SetCNABPag(delta of cdsCNABPag): inserts, changes and deletes remittances.
// Fields the store does not keep (IDMARCADO, DataNome) are ignored.
Reply SetCNABPag(MethodContext& ctx, Args& a) {
  a.Expect("x");
  const Delta& d = a.DeltaAt(0);
  const catalog::Table& t = *catalog::FindSqlTable("CNABPAG");
  sql::WriteScope scope(ctx.db());
  for (const RowChange& ch : d.changes) {
    switch (ch.kind) {
      case ChangeKind::kInsert: InsertRemittance(ctx, t, d, ch.current); break;
      case ChangeKind::kModify: UpdateRemittance(ctx, t, d, ch); break;
      case ChangeKind::kDelete: DeleteRemittance(ctx, d, ch); break;
    }
  }
  scope.Commit();
  return Reply();
}

struct SlipKey {
  std::string branch, entry;
};

// The marked slips of a cdsBoletos packet (every row when it has no
// IDMARCADO field).
std::vector<SlipKey> MarkedSlips(const Packet& p) {
  const auto branch = p.FieldIndex("CDFILIBPAG");
  const auto entry = p.FieldIndex("NRLANBOLPAG");
  const auto marked = p.FieldIndex("IDMARCADO");
  if (!branch || !entry) throw ArgError("the slips packet needs the fields CDFILIBPAG and NRLANBOLPAG");
  std::vector<SlipKey> keys;
  for (std::size_t r = 0; r < p.rows.size(); ++r) {
    if (marked && AllTrim(RowText(p, r, marked)) != "S") continue;
    keys.push_back({AllTrim(RowText(p, r, branch)), AllTrim(RowText(p, r, entry))});
  }
  return keys;
}

struct SlipState {
  std::string company, remittance, situation;
};

std::optional<SlipState> FindSlip(MethodContext& ctx, const SlipKey& k) {
  auto& st = ctx.Prepare(
      "SELECT CDEMPRESA, NRCNABPAGREM, IDSITUCNABP FROM BOLETOPAG WHERE CDFILIBPAG = ? AND NRLANBOLPAG = ?");
  st.Bind(1, k.branch).Bind(2, k.entry);
  if (!st.Step()) return std::nullopt;
  SlipState s{st.Text(0), st.Text(1), st.Text(2)};
  st.Reset();
  return s;
}

// The keys of the marked slips of a packet, in the packet's order, in a
// temporary table of the connection, for statements that take them all at
// once instead of one slip at a time. The table is emptied when the scope
// ends. Its writes go to the connection's temporary database only, inside a
// savepoint (so outside a unit of work nothing of the store is locked).
class SlipKeyTable {
 public:
  SlipKeyTable(MethodContext& ctx, const std::vector<SlipKey>& keys) : ctx_(ctx) {
    ctx_.db().Exec(
        "CREATE TEMP TABLE IF NOT EXISTS PAG_SLIPKEYS "
        "(SEQ INTEGER PRIMARY KEY, CDFILIBPAG TEXT NOT NULL, NRLANBOLPAG TEXT NOT NULL)");
    ctx_.db().Exec("SAVEPOINT pag_slipkeys");
    try {
      ctx_.Prepare("DELETE FROM temp.PAG_SLIPKEYS").Step();
      auto& add = ctx_.Prepare("INSERT INTO temp.PAG_SLIPKEYS (SEQ, CDFILIBPAG, NRLANBOLPAG) VALUES (?, ?, ?)");
      std::int64_t seq = 0;
      for (const SlipKey& k : keys) {
        add.Reset();
        add.Bind(1, ++seq).Bind(2, k.branch).Bind(3, k.entry);
        add.Step();
      }
      add.Reset();
    } catch (...) {
      End();
      throw;
    }
  }
  SlipKeyTable(const SlipKeyTable&) = delete;
  SlipKeyTable& operator=(const SlipKeyTable&) = delete;
  ~SlipKeyTable() { End(); }

 private:
  void End() noexcept {
    try {
      ctx_.Prepare("DELETE FROM temp.PAG_SLIPKEYS").Step();
      ctx_.db().Exec("RELEASE pag_slipkeys");
    } catch (...) {
      // Emptied again by the next use.
    }
  }
  MethodContext& ctx_;
};

// BolVincRem(slips): "Bol_Vinc_Rem" when a marked slip already belongs to a
// remittance, else an empty text.
Reply BolVincRem(MethodContext& ctx, Args& a) {
  a.Expect("p");
  const auto slips = MarkedSlips(a.PacketAt(0));
  if (slips.empty()) return Reply::Text("");
  bool linked = false;
  {
    SlipKeyTable keys(ctx, slips);
    auto& st = ctx.Prepare(
        "SELECT 1 FROM temp.PAG_SLIPKEYS k JOIN BOLETOPAG b ON b.CDFILIBPAG = k.CDFILIBPAG "
        "AND b.NRLANBOLPAG = k.NRLANBOLPAG WHERE trim(b.NRCNABPAGREM, ' ') <> '' LIMIT 1");
    linked = st.Step();
    st.Reset();
  }
  return Reply::Text(linked ? "Bol_Vinc_Rem" : "");
}

// AtualizaBoleto(slips, bank, account, remittance, situation, movement,
// company): the marked slips went out in the remittance. Inclusion ("I")
// links each slip to it and refuses, with "Bol_Vinc_Rem", a slip already
// linked to another remittance; exclusion ("E") and block ("B") record the
// slip in the remittance and keep its inclusion link. Every marked slip
// takes the situation given. Nothing changes when a slip is refused: the
// first slip of the packet that cannot go (unknown, of another company,
// linked elsewhere, checked in that order) names the refusal.
Reply AtualizaBoleto(MethodContext& ctx, Args& a) {
  a.Expect("pssssss");
  const std::string situation = a.Key(4), movement = a.Key(5), company = a.Key(6), number = a.Key(3);
  static const std::vector<std::string> kSituations{"00", "01", "10", "20", "90"};
  if (std::find(kSituations.begin(), kSituations.end(), situation) == kSituations.end())
    throw ArgError("unknown slip situation '" + situation + "'");
  if (movement != "I" && movement != "E" && movement != "B")
    throw ArgError("unknown movement type '" + movement + "'");
  const auto slips = MarkedSlips(a.PacketAt(0));
  sql::WriteScope scope(ctx.db());
  if (!RemittanceExists(ctx, company, number)) throw ArgError("unknown remittance " + company + "/" + number);
  if (slips.empty()) {
    scope.Commit();
    return Reply();
  }
  {
    SlipKeyTable keys(ctx, slips);
    // The slips that may not go, or may, in the packet's order: a linked
    // remittance of blanks only is no link.
    std::optional<std::string> refusal;
    bool refusedByRule = false;
    {
      auto& st = ctx.Prepare(
          "SELECT k.CDFILIBPAG, k.NRLANBOLPAG, b.CDFILIBPAG IS NULL, b.CDEMPRESA, b.NRCNABPAGREM "
          "FROM temp.PAG_SLIPKEYS k LEFT JOIN BOLETOPAG b ON b.CDFILIBPAG = k.CDFILIBPAG "
          "AND b.NRLANBOLPAG = k.NRLANBOLPAG "
          "WHERE b.CDFILIBPAG IS NULL OR b.CDEMPRESA <> ? OR (? = 1 AND b.NRCNABPAGREM <> '' AND b.NRCNABPAGREM <> ?) "
          "ORDER BY k.SEQ");
      st.Bind(1, company).Bind(2, movement == "I" ? 1 : 0).Bind(3, number);
      while (!refusal && st.Step()) {
        const std::string where = st.Text(0) + "/" + st.Text(1);
        if (st.Int(2) != 0) {
          refusal = "unknown slip " + where;
        } else if (st.Text(3) != company) {
          refusal = "slip " + where + " is not of company " + company;
        } else {
          const std::string linked = AllTrim(st.Text(4));
          if (!linked.empty() && linked != number) {
            refusal = "Bol_Vinc_Rem";
            refusedByRule = true;
          }
        }
      }
      st.Reset();
    }
    if (refusal) {
      if (refusedByRule) throw Refusal(*refusal);
      throw ArgError(*refusal);
    }
    if (movement == "I") {
      auto& up = ctx.Prepare(
          "UPDATE BOLETOPAG SET IDSITUCNABP = ?, NRCNABPAGREM = ? "
          "WHERE (CDFILIBPAG, NRLANBOLPAG) IN (SELECT CDFILIBPAG, NRLANBOLPAG FROM temp.PAG_SLIPKEYS)");
      up.Bind(1, situation).Bind(2, number);
      up.Step();
    } else {
      auto& up = ctx.Prepare(
          "UPDATE BOLETOPAG SET IDSITUCNABP = ? "
          "WHERE (CDFILIBPAG, NRLANBOLPAG) IN (SELECT CDFILIBPAG, NRLANBOLPAG FROM temp.PAG_SLIPKEYS)");
      up.Bind(1, situation);
      up.Step();
    }
    auto& link = ctx.Prepare(
        "INSERT INTO CNABPAGBOL (CDEMPRESA, NRCNABPAG, CDFILIBPAG, NRLANBOLPAG, IDOPECNABPAG) "
        "SELECT ?, ?, CDFILIBPAG, NRLANBOLPAG, ? FROM temp.PAG_SLIPKEYS WHERE true ORDER BY SEQ "
        "ON CONFLICT DO UPDATE SET IDOPECNABPAG = excluded.IDOPECNABPAG");
    link.Bind(1, company).Bind(2, number).Bind(3, movement);
    link.Step();
  }
  scope.Commit();
  return Reply();
}

bool HasPermission(MethodContext& ctx, const std::string& op, const char* permission) {
  auto& st = ctx.Prepare("SELECT 1 FROM OPERPERMISSAO WHERE CDOPERADOR = ? AND NMPERMISSAO = ?");
  st.Bind(1, op).Bind(2, permission);
  const bool found = st.Step();
  st.Reset();
  return found;
}

// CancelaBolRemessa(company, remittance, operator, IDUTCTRLCANREMP, slips):
// takes the marked slips out of the remittance; they go back to "00" and,
// when the remittance was their inclusion, lose the link. With the control
// flag "S" the operator needs the permission "CancelaBolRemessa", else the
// reply is "OPER_INV". A slip paid through a return ("90") cannot be taken
// out ("Confirma_CancelaBaixa").
Reply CancelaBolRemessa(MethodContext& ctx, Args& a) {
  a.Expect("ssssp");
  const std::string company = a.Key(0), number = a.Key(1), op = a.Key(2);
  if (a.Key(3) == "S" && (op.empty() || !HasPermission(ctx, op, "CancelaBolRemessa"))) throw Refusal("OPER_INV");
  const auto slips = MarkedSlips(a.PacketAt(4));
  sql::WriteScope scope(ctx.db());
  if (!RemittanceExists(ctx, company, number)) throw ArgError("unknown remittance " + company + "/" + number);
  for (const SlipKey& k : slips) {
    auto& in = ctx.Prepare(
        "SELECT 1 FROM CNABPAGBOL WHERE CDEMPRESA = ? AND NRCNABPAG = ? AND CDFILIBPAG = ? AND NRLANBOLPAG = ?");
    in.Bind(1, company).Bind(2, number).Bind(3, k.branch).Bind(4, k.entry);
    const bool linked = in.Step();
    in.Reset();
    if (!linked) continue;
    auto s = FindSlip(ctx, k);
    if (s && s->situation == "90") throw Refusal("Confirma_CancelaBaixa");
    auto& del = ctx.Prepare(
        "DELETE FROM CNABPAGBOL WHERE CDEMPRESA = ? AND NRCNABPAG = ? AND CDFILIBPAG = ? AND NRLANBOLPAG = ?");
    del.Bind(1, company).Bind(2, number).Bind(3, k.branch).Bind(4, k.entry);
    del.Step();
    auto& up = ctx.Prepare(
        "UPDATE BOLETOPAG SET IDSITUCNABP = '00', "
        "NRCNABPAGREM = CASE WHEN NRCNABPAGREM = ? THEN '' ELSE NRCNABPAGREM END "
        "WHERE CDFILIBPAG = ? AND NRLANBOLPAG = ?");
    up.Bind(1, number).Bind(2, k.branch).Bind(3, k.entry);
    up.Step();
  }
  scope.Commit();
  return Reply();
}

}  // namespace

void AddRemittanceMethods(MethodTable& t) {
  t["GetCNABPag"] = GetCNABPag;
  t["SetCNABPag"] = SetCNABPag;
  t["BolVincRem"] = BolVincRem;
  t["AtualizaBoleto"] = AtualizaBoleto;
  t["CancelaBolRemessa"] = CancelaBolRemessa;
}

}  // namespace pag::server
