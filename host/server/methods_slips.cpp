// Slips: the slip list with its 31 criteria, the slips of a remittance, and
// the per-slip lookups the marking checks and the writers use.
#include <algorithm>
#include <cstdint>
#include <string_view>
#include <variant>

#include "host/server/method_kit.h"
#include "host/text.h"

namespace pag::server {

namespace {

// The columns of cdsBoletos, in the order of the dataset.
constexpr Col kBoletos[] = {
    Text("IDBPAGREAL", 1),      Text("IDSITUCNABP", 2),    Text("CDPICTAGEN", 10),     Text("IDMARCADO", 1),
    Text("NMFANTFORN", 40),     Text("CDFORNECED", 21),    Amount("VRFINALBPAG"),      When("DTVENBOLPAG"),
    Text("CDREDUCONT", 3),      Text("CDEMPRESA", 2),      Text("CDBARRAPAG", 44),     Text("CDBANCO", 3),
    Text("CDAGENCIA", 5),       Text("CDCONTCORR", 10),    Text("DSCONTCORR", 30),     Text("CDPICTCONT", 20),
    Text("IDHABIBPAG", 1),      Text("NRCNABPAGREM", 10),  Text("NRLANBOLPAG", 10),    Text("NRINSJURFORN", 20),
    Text("IDTPIJURFORN", 1),    Text("NMRAZSOCFORN", 40),  Text("CDFILIBPAG", 4),      Text("CDBANCBOLP", 3),
    Text("CDAGENBOLP", 5),      Text("CDCCORBOLP", 16),    Text("NRRETCNABPAG", 20),   Text("DSLINHBARPAG", 55),
    Text("IDTPICNABBOP", 1),    Text("NRINSCNABBOP", 20),  Text("NMTPBAIXAPAG", 50),   Text("CDTPBAIXAPAG", 2),
    Text("IDBAIXAUTILP", 1),    Amount("VRMAXDOCCNAB"),    Text("CDBANCCNAB", 3),      Text("CDNOSNUMPAG", 20),
    Integer("FATORVENC"),       Text("CDFILIAL", 4),       Text("CDRECEITAGUIA", 4),   Text("IDCHAVEPIX", 2),
    Text("CHAVEPIX", 100),      Text("CODEQRPIX", 100),    When("DTAPURACGUIA"),       Text("NRREFEGUIA", 20),
    Amount("VROUTRENTGUIA"),    Text("NRLACRCONECTSOC", 9), Text("NRDIGICONECTSOC", 2), Amount("VRMULTABPAG"),
    Amount("VRMORDIABPAG"),     Text("CDINSCESTA", 16),    Text("NRPARCELNOTIFIC", 13), Percent("VRPERCENTTRIB")};

constexpr const char* kBoletosSelect =
    "SELECT b.IDBPAGREAL, b.IDSITUCNABP, "
    "CASE WHEN c.CDPICTAGEN <> '' THEN c.CDPICTAGEN ELSE k.CDPICTAGEN END, 'N', "
    "f.NMFANTFORN, b.CDFORNECED, b.VRFINALBPAG, b.DTVENBOLPAG, b.CDREDUCONT, b.CDEMPRESA, b.CDBARRAPAG, "
    "c.CDBANCO, c.CDAGENCIA, c.CDCONTCORR, c.DSCONTCORR, "
    "CASE WHEN c.CDPICTCONT <> '' THEN c.CDPICTCONT ELSE k.CDPICTCONT END, "
    "b.IDHABIBPAG, b.NRCNABPAGREM, b.NRLANBOLPAG, f.NRINSJURFORN, f.IDTPIJURFORN, f.NMRAZSOCFORN, b.CDFILIBPAG, "
    "b.CDBANCBOLP, b.CDAGENBOLP, b.CDCCORBOLP, b.NRRETCNABPAG, b.DSLINHBARPAG, b.IDTPICNABBOP, b.NRINSCNABBOP, "
    "t.NMTPBAIXAPAG, b.CDTPBAIXAPAG, t.IDBAIXAUTILP, t.VRMAXDOCCNAB, "
    "CASE WHEN c.CDBANCCNAB <> '' THEN c.CDBANCCNAB ELSE c.CDBANCO END, "
    "b.CDNOSNUMPAG, b.FATORVENC, b.CDFILIAL, b.CDRECEITAGUIA, b.IDCHAVEPIX, b.CHAVEPIX, b.CODEQRPIX, "
    "b.DTAPURACGUIA, b.NRREFEGUIA, b.VROUTRENTGUIA, b.NRLACRCONECTSOC, b.NRDIGICONECTSOC, b.VRMULTABPAG, "
    "b.VRMORDIABPAG, b.CDINSCESTA, b.NRPARCELNOTIFIC, b.VRPERCENTTRIB "
    "FROM BOLETOPAG b "
    "JOIN FORNECEDOR f ON f.CDFORNECED = b.CDFORNECED "
    "LEFT JOIN CONTCORR c ON c.CDREDUCONT = b.CDREDUCONT "
    "LEFT JOIN BANCO k ON k.CDBANCO = c.CDBANCO "
    "LEFT JOIN TIPOBAIXAPAG t ON t.CDTPBAIXAPAG = b.CDTPBAIXAPAG ";

// The slips are listed by due date, supplier's name, branch and entry. The
// order is made here, on those four texts alone, rather than by the store,
// which would copy whole rows of 53 columns through its sorter. All four
// are NOT NULL text columns and (branch, entry) is the slip's key, so the
// order is total and the same as the store's binary collation would give.
constexpr int kOrderColumns[] = {7, 21, 22, 18};  // DTVENBOLPAG, NMRAZSOCFORN, CDFILIBPAG, NRLANBOLPAG
static_assert(std::string_view(kBoletos[kOrderColumns[0]].name) == "DTVENBOLPAG" &&
              std::string_view(kBoletos[kOrderColumns[1]].name) == "NMRAZSOCFORN" &&
              std::string_view(kBoletos[kOrderColumns[2]].name) == "CDFILIBPAG" &&
              std::string_view(kBoletos[kOrderColumns[3]].name) == "NRLANBOLPAG");

// Appends a text to a sort key so that comparing whole keys byte by byte
// compares their texts one after the other: each NUL byte of the text is
// written as NUL 1, and the text ends with NUL NUL, which sorts before any
// continuation (a shorter text first, as the binary collation has it).
void AppendKeyPart(std::string& key, std::string_view text) {
  for (std::size_t start = 0;;) {
    const std::size_t nul = text.find('\0', start);
    key.append(text.substr(start, nul - start));
    if (nul == std::string_view::npos) break;
    key.append("\0\1", 2);
    start = nul + 1;
  }
  key.append("\0\0", 2);
}

Packet ReadSlipsInListOrder(sql::Stmt& st) {
  std::vector<std::vector<Value>> rows;
  std::vector<std::string> keys;
  while (st.Step()) {
    std::vector<Value> row;
    ReadRow(st, kBoletos, row);
    rows.push_back(std::move(row));
    std::string& key = keys.emplace_back();
    for (int c : kOrderColumns) AppendKeyPart(key, st.TextView(c));
  }
  // std::string compares as unsigned bytes: the store's binary collation.
  std::vector<std::uint32_t> order(rows.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&keys](std::uint32_t x, std::uint32_t y) {
    const int c = keys[x].compare(keys[y]);
    return c != 0 ? c < 0 : x < y;
  });
  Packet p;
  p.fields = FieldsOf(kBoletos);
  p.rows.reserve(rows.size());
  for (std::uint32_t i : order) p.rows.push_back(std::move(rows[i]));
  return p;
}

// A WHERE clause built from fixed fragments, with its values bound in order.
class Where {
 public:
  void Add(const char* fragment) { sql_ += (sql_.empty() ? "WHERE " : " AND ") + std::string(fragment); }
  void Add(const char* fragment, std::string v) {
    Add(fragment);
    values_.emplace_back(std::move(v));
  }
  void Add(const char* fragment, std::string v1, std::string v2) {
    Add(fragment, std::move(v1));
    values_.emplace_back(std::move(v2));
  }
  void AddInts(const char* fragment, std::int64_t v1, std::int64_t v2) {
    Add(fragment);
    values_.emplace_back(v1);
    values_.emplace_back(v2);
  }
  const std::string& sql() const { return sql_; }
  void BindTo(sql::Stmt& st) const {
    int i = 1;
    for (const auto& v : values_) {
      if (const auto* s = std::get_if<std::string>(&v)) {
        st.Bind(i++, *s);
      } else {
        st.Bind(i++, std::get<std::int64_t>(v));
      }
    }
  }

 private:
  std::string sql_;
  std::vector<std::variant<std::string, std::int64_t>> values_;
};

bool NoRestriction(const std::string& flag) { return flag == "T"; }

// A typed number (remittance, return) that means "none" when blank or zero.
std::string SignificantNumber(const std::string& s) {
  std::size_t i = s.find_first_not_of('0');
  return i == std::string::npos ? std::string() : s.substr(i);
}

// Invoice numbers are compared as 20 characters zero-filled on the left.
std::string Pad20(const std::string& s) {
  return s.size() >= 20 ? s.substr(s.size() - 20) : std::string(20 - s.size(), '0') + s;
}

std::int64_t Cents(const Decimal& d) { return RoundDec(d, 2).Rescaled(2).units(); }

// GetBoletos: the slips that meet the criteria, in call order:
//  1 company; 2 remittance ("N" not in a remittance, "T"/blank any, else the
//  slips of that remittance); 3 enabled ("S" only enabled, "T" any);
//  4-5 origin branches (CDFILIBPAG) list and flag; 6 account (blank: any);
//  7-8 suppliers; 9-11 invoice numbers from, to, flag; 12-13 launch branches
//  (CDFILIAL); 14-16 due dates; 17-18 payment kinds; 19-21 net values;
//  22-23 barcode ("0" with, "1" without) and flag; 24 situations (blank: any);
//  25-26 payee banks; 27-28 person types and flag; 29 remittance number typed
//  (blank or zero: any); 30 return number typed; 31 supplier groups (blank:
//  any; a list that names no key finds nothing).
// A flag "T" lifts its criterion; lists are "_"-separated keys matched whole.
Reply GetBoletos(MethodContext& ctx, Args& a) {
  a.Expect("ssssss" "sssss" "ss" "dds" "ss" "nns" "ss" "s" "ss" "ss" "sss");
  Where w;
  if (auto company = a.Key(0); !company.empty()) w.Add("b.CDEMPRESA = ?", company);
  if (auto rem = a.Key(1); rem == "N") {
    w.Add("b.NRCNABPAGREM = ''");
  } else if (!rem.empty() && rem != "T") {
    w.Add("EXISTS (SELECT 1 FROM CNABPAGBOL l WHERE l.CDEMPRESA = b.CDEMPRESA AND l.NRCNABPAG = ? "
          "AND l.CDFILIBPAG = b.CDFILIBPAG AND l.NRLANBOLPAG = b.NRLANBOLPAG)",
          rem);
  }
  if (auto enabled = a.Key(2); !enabled.empty() && enabled != "T") w.Add("b.IDHABIBPAG = ?", enabled);
  if (!NoRestriction(a.Key(4))) w.Add("b.CDFILIBPAG IN (SELECT value FROM json_each(?))", KeyListJson(a.Raw(3)));
  if (auto account = a.Key(5); !account.empty()) w.Add("b.CDREDUCONT = ?", account);
  if (!NoRestriction(a.Key(7))) w.Add("b.CDFORNECED IN (SELECT value FROM json_each(?))", KeyListJson(a.Raw(6)));
  if (!NoRestriction(a.Key(10))) {
    w.Add("EXISTS (SELECT 1 FROM NOTAFISCAL n WHERE n.CDFILIBPAG = b.CDFILIBPAG AND n.NRLANBOLPAG = b.NRLANBOLPAG "
          "AND substr('00000000000000000000' || trim(n.NRNOTAFISC), -20) BETWEEN ? AND ?)",
          Pad20(a.Key(8)), Pad20(a.Key(9)));
  }
  if (!NoRestriction(a.Key(12))) w.Add("b.CDFILIAL IN (SELECT value FROM json_each(?))", KeyListJson(a.Raw(11)));
  if (!NoRestriction(a.Key(15))) {
    w.Add("b.DTVENBOLPAG BETWEEN ? AND ?", IsoDay(a.Date(13)) + "T00:00:00", IsoDay(a.Date(14)) + "T23:59:59");
  }
  if (!NoRestriction(a.Key(17)))
    w.Add("b.CDTPBAIXAPAG IN (SELECT value FROM json_each(?))", KeyListJson(a.Raw(16)));
  if (!NoRestriction(a.Key(20))) w.AddInts("b.VRFINALBPAG BETWEEN ? AND ?", Cents(a.Number(18)), Cents(a.Number(19)));
  if (!NoRestriction(a.Key(22))) {
    const std::string choice = a.Key(21);
    if (choice == "0") {
      w.Add("(b.CDBARRAPAG <> '' OR b.DSLINHBARPAG <> '')");
    } else if (choice == "1") {
      w.Add("b.CDBARRAPAG = '' AND b.DSLINHBARPAG = ''");
    }
  }
  if (!SplitKeyList(a.Raw(23)).empty())
    w.Add("b.IDSITUCNABP IN (SELECT value FROM json_each(?))", KeyListJson(a.Raw(23)));
  if (!NoRestriction(a.Key(25))) {
    w.Add("(CASE WHEN b.CDBANCBOLP <> '' THEN b.CDBANCBOLP ELSE substr(b.CDBARRAPAG, 1, 3) END) "
          "IN (SELECT value FROM json_each(?))",
          KeyListJson(a.Raw(24)));
  }
  if (!NoRestriction(a.Key(27)) && !SplitKeyList(a.Raw(26)).empty())
    w.Add("f.IDTPIJURFORN IN (SELECT value FROM json_each(?))", KeyListJson(a.Raw(26)));
  if (auto nr = SignificantNumber(a.Key(28)); !nr.empty()) {
    w.Add("EXISTS (SELECT 1 FROM CNABPAGBOL l WHERE l.CDEMPRESA = b.CDEMPRESA AND ltrim(l.NRCNABPAG, '0') = ? "
          "AND l.CDFILIBPAG = b.CDFILIBPAG AND l.NRLANBOLPAG = b.NRLANBOLPAG)",
          nr);
  }
  if (auto nr = SignificantNumber(a.Key(29)); !nr.empty()) w.Add("ltrim(b.NRRETCNABPAG, '0') = ?", nr);
  // Only a blank list means every group: a list that names no usable key
  // ("_") finds nothing rather than everything.
  if (!a.Key(30).empty()) w.Add("f.CDGRUPFORN IN (SELECT value FROM json_each(?))", KeyListJson(a.Raw(30)));

  auto& st = ctx.Prepare(std::string(kBoletosSelect) + w.sql());
  w.BindTo(st);
  return Reply::OfPacket(ReadSlipsInListOrder(st));
}

// GetBolporRem(company, remittance): the slips that went out in it.
Reply GetBolporRem(MethodContext& ctx, Args& a) {
  a.Expect("ss");
  auto& st = ctx.Prepare(std::string(kBoletosSelect) +
                         "JOIN CNABPAGBOL l ON l.CDFILIBPAG = b.CDFILIBPAG AND l.NRLANBOLPAG = b.NRLANBOLPAG "
                         "AND l.CDEMPRESA = b.CDEMPRESA WHERE l.CDEMPRESA = ? AND l.NRCNABPAG = ?");
  st.Bind(1, a.Key(0)).Bind(2, a.Key(1));
  return Reply::OfPacket(ReadSlipsInListOrder(st));
}

constexpr Col kTotRemessa[] = {Integer("QTBOLETOS"), Amount("VRTOTBOL")};

// GetTotRemessa(remittance[, company]): count and total of its slips.
Reply GetTotRemessa(MethodContext& ctx, Args& a) {
  a.Expect("s|s");
  constexpr const char* kSql =
      "SELECT COUNT(*), COALESCE(SUM(b.VRFINALBPAG), 0) FROM CNABPAGBOL l "
      "JOIN BOLETOPAG b ON b.CDFILIBPAG = l.CDFILIBPAG AND b.NRLANBOLPAG = l.NRLANBOLPAG "
      "WHERE l.NRCNABPAG = ?";
  const bool by_company = a.size() == 2 && !a.Key(1).empty();
  auto& st = ctx.Prepare(std::string(kSql) + (by_company ? " AND l.CDEMPRESA = ?" : ""));
  st.Bind(1, a.Key(0));
  if (by_company) st.Bind(2, a.Key(1));
  return Reply::OfPacket(ReadPacket(st, kTotRemessa));
}

constexpr Col kCntPagar[] = {Text("FILORIG", 4), Text("DOCUMENTO", 25)};

// GetCntPagar(branch, entry)
Reply GetCntPagar(MethodContext& ctx, Args& a) {
  a.Expect("ss");
  auto& st = ctx.Prepare(
      "SELECT FILORIG, DOCUMENTO FROM CONTAPAGAR WHERE CDFILIBPAG = ? AND NRLANBOLPAG = ? ORDER BY FILORIG, DOCUMENTO");
  st.Bind(1, a.Key(0)).Bind(2, a.Key(1));
  return Reply::OfPacket(ReadPacket(st, kCntPagar));
}

constexpr Col kFiliRece[] = {Text("CDFILIAL", 4),    Text("NRLANCTONF", 10),  Text("CDFILIRECE", 4),
                             Text("CDFILIBPAG", 4), Text("NRLANBOLPAG", 10), Text("NRINSJURFILI", 20)};

// GetFiliRece(branch, entry): the branches that received the slip's invoices.
Reply GetFiliRece(MethodContext& ctx, Args& a) {
  a.Expect("ss");
  auto& st = ctx.Prepare(
      "SELECT r.CDFILIAL, r.NRLANCTONF, r.CDFILIRECE, n.CDFILIBPAG, n.NRLANBOLPAG, COALESCE(f.NRINSJURFILI, '') "
      "FROM NOTAFISCAL n JOIN FILIRECE r ON r.CDFILIAL = n.CDFILIAL AND r.NRLANCTONF = n.NRLANCTONF "
      "LEFT JOIN FILIAL f ON f.CDFILIAL = r.CDFILIRECE "
      "WHERE n.CDFILIBPAG = ? AND n.NRLANBOLPAG = ? ORDER BY r.CDFILIAL, r.NRLANCTONF, r.CDFILIRECE");
  st.Bind(1, a.Key(0)).Bind(2, a.Key(1));
  return Reply::OfPacket(ReadPacket(st, kFiliRece));
}

constexpr Col kVdAntec[] = {Text("NRLANBOLPAG", 20), Text("CDFILIAL", 20)};
constexpr Col kValorConta[] = {Amount("VRCONTA")};
constexpr Col kValorAjuste[] = {Amount("VRAJUSTE")};

// ValidaAjustes(branch, entry): the advances that involve the slip, the sum
// of its payables and the sum of its adjustments.
Reply ValidaAjustes(MethodContext& ctx, Args& a) {
  a.Expect("ss");
  const std::string branch = a.Key(0), entry = a.Key(1);
  std::vector<Reply> items;
  ReadScope snapshot(ctx);
  {
    auto& st = ctx.Prepare(
        "SELECT NRLANBOLPAG, CDFILIAL FROM ANTECIPACAO WHERE CDFILIBPAG = ? AND NRLANBOLPAG = ? "
        "ORDER BY NRLANCANTECIPA");
    st.Bind(1, branch).Bind(2, entry);
    items.push_back(Reply::OfPacket(ReadPacket(st, kVdAntec)));
  }
  {
    // Both sums in one statement: one row, never null.
    auto& st = ctx.Prepare(
        "SELECT (SELECT COALESCE(SUM(VRCONTA), 0) FROM CONTAPAGAR WHERE CDFILIBPAG = ?1 AND NRLANBOLPAG = ?2), "
        "(SELECT COALESCE(SUM(VRAJUSTE), 0) FROM AJUSTEBOL WHERE CDFILIBPAG = ?1 AND NRLANBOLPAG = ?2)");
    st.Bind(1, branch).Bind(2, entry);
    Packet accounts, adjustments;
    accounts.fields = FieldsOf(kValorConta);
    adjustments.fields = FieldsOf(kValorAjuste);
    if (st.Step()) {
      accounts.rows.push_back({Decimal::FromUnits(st.Int(0), 2)});
      adjustments.rows.push_back({Decimal::FromUnits(st.Int(1), 2)});
    }
    st.Reset();
    items.push_back(Reply::OfPacket(std::move(accounts)));
    items.push_back(Reply::OfPacket(std::move(adjustments)));
  }
  return Reply::Array(std::move(items));
}

constexpr Col kValorAntec[] = {Text("NRLANCANTECIPA", 10), Text("NMRAZSOCFORN", 40), Amount("VRLIQUANTECIPA"),
                               When("DTVENCANTECIPA")};

// GetValor_Antec(branch, entry): the advances involving the slip whose value
// is greater than the slip's, which the slip cannot settle.
Reply GetValorAntec(MethodContext& ctx, Args& a) {
  a.Expect("ss");
  auto& st = ctx.Prepare(
      "SELECT v.NRLANCANTECIPA, COALESCE(f.NMRAZSOCFORN, ''), v.VRLIQUANTECIPA, v.DTVENCANTECIPA "
      "FROM ANTECIPACAO v JOIN BOLETOPAG b ON b.CDFILIBPAG = v.CDFILIBPAG AND b.NRLANBOLPAG = v.NRLANBOLPAG "
      "LEFT JOIN FORNECEDOR f ON f.CDFORNECED = v.CDFORNECED "
      "WHERE v.CDFILIBPAG = ? AND v.NRLANBOLPAG = ? AND v.VRLIQUANTECIPA > b.VRFINALBPAG ORDER BY v.NRLANCANTECIPA");
  st.Bind(1, a.Key(0)).Bind(2, a.Key(1));
  return Reply::OfPacket(ReadPacket(st, kValorAntec));
}

constexpr Col kDocBol[] = {Text("NRNOTAFISC", 20), When("DTEMISSAO"), Text("CDSERIEENTR", 5)};

// GetDocBole(branch, entry): the invoices behind the slip.
Reply GetDocBole(MethodContext& ctx, Args& a) {
  a.Expect("ss");
  auto& st = ctx.Prepare(
      "SELECT NRNOTAFISC, DTEMISSAO, CDSERIEENTR FROM NOTAFISCAL WHERE CDFILIBPAG = ? AND NRLANBOLPAG = ? "
      "ORDER BY CDFILIAL, NRLANCTONF");
  st.Bind(1, a.Key(0)).Bind(2, a.Key(1));
  return Reply::OfPacket(ReadPacket(st, kDocBol));
}

constexpr Col kVrDocumento[] = {Amount("VRDOC")};

// GetVrDocumento(branch, entry): the value of the slip's documents (one row).
Reply GetVrDocumento(MethodContext& ctx, Args& a) {
  a.Expect("ss");
  auto& st = ctx.Prepare("SELECT COALESCE(SUM(VRDOC), 0) FROM NOTAFISCAL WHERE CDFILIBPAG = ? AND NRLANBOLPAG = ?");
  st.Bind(1, a.Key(0)).Bind(2, a.Key(1));
  return Reply::OfPacket(ReadPacket(st, kVrDocumento));
}

constexpr Col kDarf[] = {Text("CDIMPOSTO", 2),    Text("NRSEQUMAPAPU", 10), Text("CDRECEGUIA", 20),
                         Text("CDFILIAL", 4),     Text("NRLANCTONF", 10),   When("DTFIMPERIODO"),
                         When("DTVENCMAPA"),      Amount("VRMULTAGUIA"),    Amount("VRJUROGUIA"),
                         Amount("VRRECEGUIA"),    Amount("SOMA")};

// GetDarf(branch, entry): the DARF and GPS guides behind the slip.
Reply GetDarf(MethodContext& ctx, Args& a) {
  a.Expect("ss");
  auto& st = ctx.Prepare(
      "SELECT CDIMPOSTO, NRSEQUMAPAPU, CDRECEGUIA, CDFILIAL, NRLANCTONF, DTFIMPERIODO, DTVENCMAPA, VRMULTAGUIA, "
      "VRJUROGUIA, VRRECEGUIA, VRMULTAGUIA + VRJUROGUIA + VRRECEGUIA FROM GUIAIMPOSTO "
      "WHERE CDFILIBPAG = ? AND NRLANBOLPAG = ? ORDER BY CDIMPOSTO, NRSEQUMAPAPU");
  st.Bind(1, a.Key(0)).Bind(2, a.Key(1));
  return Reply::OfPacket(ReadPacket(st, kDarf));
}

}  // namespace

void AddSlipMethods(MethodTable& t) {
  t["GetBoletos"] = GetBoletos;
  t["GetBolporRem"] = GetBolporRem;
  t["GetTotRemessa"] = GetTotRemessa;
  t["GetCntPagar"] = GetCntPagar;
  t["GetFiliRece"] = GetFiliRece;
  t["ValidaAjustes"] = ValidaAjustes;
  t["GetValor_Antec"] = GetValorAntec;
  t["GetDocBole"] = GetDocBole;
  t["GetVrDocumento"] = GetVrDocumento;
  t["GetDarf"] = GetDarf;
}

}  // namespace pag::server
