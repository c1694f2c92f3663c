#include "host/server/localdb.h"

#include <sqlite3.h>

#include <functional>
#include <map>
#include <stdexcept>

#include "host/server/method_kit.h"
#include "host/text.h"

namespace pag {

namespace {

using server::Amount;
using server::Col;
using server::MethodContext;
using server::Text;

// Reads a text parameter: nullopt when absent or null.
class Params {
 public:
  Params(const std::string& query, const QueryParams& p, std::initializer_list<const char*> allowed)
      : query_(query), p_(p) {
    for (const auto& [name, v] : p) {
      bool ok = false;
      for (const char* a : allowed) ok = ok || name == a;
      if (!ok) throw std::invalid_argument(query + " has no parameter " + name);
    }
  }
  std::optional<std::string> Text(const char* name) const {
    auto it = p_.find(name);
    if (it == p_.end() || IsNull(it->second)) return std::nullopt;
    if (const auto* s = std::get_if<std::string>(&it->second)) return *s;
    throw std::invalid_argument(query_ + ": parameter " + name + " must be a text");
  }

 private:
  const std::string& query_;
  const QueryParams& p_;
};

constexpr Col kEmpresa[] = {Text("CDEMPRESA", 2), Text("NMEMPRESA", 40), Text("CDCENTCUST", 10)};
constexpr Col kEndeForn[] = {Text("CDFORNECED", 21), Text("IDTPENDEFORN", 1), Text("CDPAIS", 4),
                             Text("SGESTADO", 2),    Text("CDMUNICIPIO", 4), Text("DSENDEFORN", 50),
                             Text("NMBAIRFORN", 30), Text("NRCEPFORN", 15),  Text("NRTELEFORN", 20),
                             Text("NMMUNICIPIO", 30), Text("NMPAIS", 30)};
constexpr Col kMascBanco[] = {Text("CDPICTCONT", 20), Text("CDPICTAGEN", 10)};
constexpr Col kContCorr[] = {Text("CDREDUCONT", 3), Text("CDBANCO", 3),     Text("CDAGENCIA", 5),
                             Text("CDCONTCORR", 10), Text("DSCONTCORR", 20), Text("CDPICTCONT", 20),
                             Text("CDPICTAGEN", 10)};
constexpr Col kOperador[] = {Text("CDOPERADOR", 12), Text("NMOPERADOR", 40)};
constexpr Col kFornecedor[] = {Text("CDFORNECED", 21), Text("NMRAZSOCFORN", 40), Text("NMFANTFORN", 40),
                               Text("IDTPIJURFORN", 1), Text("NRINSJURFORN", 20)};
constexpr Col kBancBene[] = {Text("CDBANCO", 3), Text("NMBANCO", 30)};
constexpr Col kFormaPag[] = {Text("CDTPBAIXAPAG", 2), Text("NMTPBAIXAPAG", 50), Text("IDBAIXAUTILP", 1),
                             Amount("VRMAXDOCCNAB")};
constexpr Col kGrForn[] = {Text("CDGRUPFORN", 10), Text("NMGRUPFORN", 50)};
constexpr Col kFilial[] = {Text("CDFILIAL", 4), Text("NMFILIAL", 30)};

// A query whose only parameter is optional: null means every row.
Packet OptionalFilter(MethodContext& ctx, const std::optional<std::string>& value, const std::string& select,
                      const std::string& where, const std::string& order, std::span<const Col> cols) {
  if (!value) {
    auto& st = ctx.Prepare(select + order);
    return server::ReadPacket(st, cols);
  }
  auto& st = ctx.Prepare(select + where + order);
  st.Bind(1, AllTrim(*value));
  return server::ReadPacket(st, cols);
}

}  // namespace

SqliteLocalDatabase::SqliteLocalDatabase(Store& store)
    : store_(store), ctx_(std::make_unique<MethodContext>(store.db())) {}

SqliteLocalDatabase::~SqliteLocalDatabase() = default;

std::optional<SqliteLocalDatabase::Stamp> SqliteLocalDatabase::StampNow() {
  sqlite3* db = store_.db().handle();
  // Inside a transaction of someone else's making, changes may be undone
  // unseen: nothing is kept.
  const bool inTransaction = !sqlite3_get_autocommit(db);
  if (inTransaction != store_.in_work()) return std::nullopt;
  auto& st = ctx_->Prepare("PRAGMA data_version");
  Stamp s;
  s.dataVersion = st.Step() ? st.Int(0) : -1;
  st.Reset();
  s.changes = sqlite3_total_changes64(db);
  s.workEpoch = store_.work_epoch();
  return s;
}

Packet SqliteLocalDatabase::Query(const std::string& name, const QueryParams& params) {
  struct Rewind {
    MethodContext& ctx;
    ~Rewind() { ctx.ResetAll(); }
  } rewind{*ctx_};
  if (name != "qryEndeForn") return Run(name, params);
  // The addresses of a supplier, read again only when the store may have
  // changed since they were read.
  Params p(name, params, {"CDFORNECED"});
  const std::string supplier = AllTrim(p.Text("CDFORNECED").value_or(""));
  const std::optional<Stamp> now = StampNow();
  if ((!now || !(*now == kept_at_)) && !addresses_.empty()) addresses_.clear();
  if (now) {
    if (auto it = addresses_.find(supplier); it != addresses_.end()) return it->second;
  }
  Packet rows = Run(name, params);
  if (now) {
    // A bound on what is kept: a store of many suppliers starts again.
    if (addresses_.size() >= 4096) addresses_.clear();
    kept_at_ = *now;
    addresses_.emplace(supplier, rows);
  }
  return rows;
}

Packet SqliteLocalDatabase::Run(const std::string& name, const QueryParams& params) {
  MethodContext& ctx = *ctx_;
  if (name == "qryEmpresa") {
    Params p(name, params, {"P_CDEMPRESA"});
    return OptionalFilter(ctx, p.Text("P_CDEMPRESA"), "SELECT CDEMPRESA, NMEMPRESA, CDCENTCUST FROM EMPRESA",
                          " WHERE CDEMPRESA = ?", " ORDER BY CDEMPRESA", kEmpresa);
  }
  if (name == "qryEndeForn") {
    Params p(name, params, {"CDFORNECED"});
    auto& st = ctx.Prepare(
        "SELECT e.CDFORNECED, e.IDTPENDEFORN, e.CDPAIS, e.SGESTADO, e.CDMUNICIPIO, e.DSENDEFORN, e.NMBAIRFORN, "
        "e.NRCEPFORN, e.NRTELEFORN, COALESCE(m.NMMUNICIPIO, ''), COALESCE(s.NMPAIS, '') FROM ENDEFORN e "
        "LEFT JOIN MUNICIPIO m ON m.CDPAIS = e.CDPAIS AND m.SGESTADO = e.SGESTADO AND m.CDMUNICIPIO = e.CDMUNICIPIO "
        "LEFT JOIN PAIS s ON s.CDPAIS = e.CDPAIS "
        // The supplier's addresses come in key order from the primary key;
        // the kinds are a filter on them ("+" keeps the IN list from being
        // turned into a temporary index made again on every call).
        "WHERE e.CDFORNECED = ? AND +e.IDTPENDEFORN IN ('C', 'P') ORDER BY e.IDTPENDEFORN");
    st.Bind(1, AllTrim(p.Text("CDFORNECED").value_or("")));
    return server::ReadPacket(st, kEndeForn);
  }
  if (name == "qryMascBancoForn") {
    Params p(name, params, {"P_CDBANCO"});
    auto& st = ctx.Prepare("SELECT CDPICTCONT, CDPICTAGEN FROM BANCO WHERE CDBANCCNAB = ? ORDER BY CDBANCO");
    st.Bind(1, AllTrim(p.Text("P_CDBANCO").value_or("")));
    return server::ReadPacket(st, kMascBanco);
  }
  if (name == "qryContCorr") {
    Params p(name, params, {"P_CDEMPRESA"});
    return OptionalFilter(ctx, p.Text("P_CDEMPRESA"),
                          "SELECT c.CDREDUCONT, c.CDBANCO, c.CDAGENCIA, c.CDCONTCORR, c.DSCONTCORR, "
                          "CASE WHEN c.CDPICTCONT <> '' THEN c.CDPICTCONT ELSE COALESCE(b.CDPICTCONT, '') END, "
                          "CASE WHEN c.CDPICTAGEN <> '' THEN c.CDPICTAGEN ELSE COALESCE(b.CDPICTAGEN, '') END "
                          "FROM CONTCORR c LEFT JOIN BANCO b ON b.CDBANCO = c.CDBANCO",
                          " WHERE c.CDEMPRESA = ?", " ORDER BY c.CDREDUCONT", kContCorr);
  }
  if (name == "qryOperador") {
    Params p(name, params, {});
    auto& st = ctx.Prepare("SELECT CDOPERADOR, NMOPERADOR FROM OPERADOR ORDER BY CDOPERADOR");
    return server::ReadPacket(st, kOperador);
  }
  if (name == "qryFornecedor") {
    // "T" in a P_T... parameter lifts its criterion; the lists ("J", "_O_I",
    // "_MAT_SERV") are matched as whole keys.
    Params p(name, params, {"P_TIDTPIJURFORN", "P_IDTPIJURFORN", "P_TCDGRUPFORN", "P_CDGRUPFORN"});
    const bool all_types = AllTrim(p.Text("P_TIDTPIJURFORN").value_or("T")) == "T";
    const bool all_groups = AllTrim(p.Text("P_TCDGRUPFORN").value_or("T")) == "T";
    auto& st = ctx.Prepare(
        "SELECT CDFORNECED, NMRAZSOCFORN, NMFANTFORN, IDTPIJURFORN, NRINSJURFORN FROM FORNECEDOR "
        "WHERE (? = 1 OR IDTPIJURFORN IN (SELECT value FROM json_each(?))) "
        "AND (? = 1 OR CDGRUPFORN IN (SELECT value FROM json_each(?))) ORDER BY NMRAZSOCFORN, CDFORNECED");
    st.Bind(1, all_types ? 1 : 0).Bind(2, server::KeyListJson(p.Text("P_IDTPIJURFORN").value_or("")));
    st.Bind(3, all_groups ? 1 : 0).Bind(4, server::KeyListJson(p.Text("P_CDGRUPFORN").value_or("")));
    return server::ReadPacket(st, kFornecedor);
  }
  if (name == "qryBancBene") {
    Params p(name, params, {});
    auto& st = ctx.Prepare("SELECT CDBANCO, NMBANCO FROM BANCO ORDER BY CDBANCO");
    return server::ReadPacket(st, kBancBene);
  }
  if (name == "qryFormaPag") {
    Params p(name, params, {});
    auto& st = ctx.Prepare(
        "SELECT CDTPBAIXAPAG, NMTPBAIXAPAG, IDBAIXAUTILP, VRMAXDOCCNAB FROM TIPOBAIXAPAG ORDER BY CDTPBAIXAPAG");
    return server::ReadPacket(st, kFormaPag);
  }
  if (name == "qryGrForn") {
    Params p(name, params, {});
    auto& st = ctx.Prepare("SELECT CDGRUPFORN, NMGRUPFORN FROM GRUPFORN ORDER BY CDGRUPFORN");
    return server::ReadPacket(st, kGrForn);
  }
  if (name == "qryFilial") {
    Params p(name, params, {"P_CDEMPRESA"});
    return OptionalFilter(ctx, p.Text("P_CDEMPRESA"), "SELECT CDFILIAL, NMFILIAL FROM FILIAL",
                          " WHERE CDEMPRESA = ?", " ORDER BY CDFILIAL", kFilial);
  }
  throw std::invalid_argument("unknown local query " + name);
}

bool SqliteLocalDatabase::AcessoOperEmpresa(const std::string& company, const std::string& operator_code) {
  auto& st = ctx_->Prepare("SELECT 1 FROM OPEREMPRESA WHERE CDOPERADOR = ? AND CDEMPRESA = ?");
  st.Bind(1, AllTrim(operator_code)).Bind(2, AllTrim(company));
  const bool found = st.Step();
  st.Reset();
  return found;
}

}  // namespace pag
