#include "host/server/server.h"

#include <nlohmann/json.hpp>

#include "host/server/method_kit.h"
#include "host/text.h"

namespace pag {

namespace server {

namespace {
const char* LetterName(char c) {
  switch (c) {
    case 's': return "a text";
    case 'n': return "a number";
    case 'd': return "a date";
    case 'p': return "a packet";
    case 'x': return "a delta";
  }
  return "?";
}

bool Fits(char c, const Arg& a) {
  const auto& v = a.payload();
  switch (c) {
    case 's': return std::holds_alternative<std::string>(v);
    case 'n': return std::holds_alternative<std::int32_t>(v) || std::holds_alternative<Decimal>(v);
    case 'd': return std::holds_alternative<DateTime>(v);
    case 'p': return std::holds_alternative<Packet>(v);
    case 'x': return std::holds_alternative<Delta>(v);
  }
  return false;
}
}  // namespace

void Args::Expect(std::string_view signature) {
  const auto bar = signature.find('|');
  const std::string letters = [&] {
    std::string s(signature);
    if (bar != std::string_view::npos) s.erase(bar, 1);
    return s;
  }();
  const std::size_t min = bar == std::string_view::npos ? letters.size() : bar;
  const std::size_t max = letters.size();
  if (args_.size() < min || args_.size() > max) {
    std::string want = min == max ? std::to_string(min) : std::to_string(min) + " to " + std::to_string(max);
    throw ArgError("expected " + want + " argument" + (max == 1 ? "" : "s") + ", got " +
                   std::to_string(args_.size()));
  }
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (!Fits(letters[i], args_[i]))
      throw ArgError("argument " + std::to_string(i + 1) + " must be " + LetterName(letters[i]) + ", not " +
                     args_[i].KindName());
  }
}

const std::string& Args::Raw(std::size_t i) const { return std::get<std::string>(args_.at(i).payload()); }

std::string Args::Key(std::size_t i) const { return AllTrim(Raw(i)); }

Decimal Args::Number(std::size_t i) const {
  const auto& v = args_.at(i).payload();
  if (const auto* n = std::get_if<std::int32_t>(&v)) return Decimal(*n);
  return std::get<Decimal>(v);
}

DateTime Args::Date(std::size_t i) const { return std::get<DateTime>(args_.at(i).payload()); }
const Packet& Args::PacketAt(std::size_t i) const { return std::get<Packet>(args_.at(i).payload()); }
const Delta& Args::DeltaAt(std::size_t i) const { return std::get<Delta>(args_.at(i).payload()); }

void Args::SetRef(std::size_t i, std::string value) {
  Arg& a = args_.at(i);
  if (a.by_ref() && a.IsText()) a.text() = std::move(value);
}

sql::Stmt& MethodContext::Prepare(const std::string& sql) {
  auto it = cache_.find(sql);
  if (it == cache_.end()) it = cache_.emplace(sql, Kept{std::make_unique<sql::Stmt>(db_, sql)}).first;
  Kept& k = it->second;
  k.st->Reset();
  if (!k.used) {
    k.used = true;
    used_.push_back(&k);
  }
  return *k.st;
}

void MethodContext::ResetAll() {
  for (Kept* k : used_) {
    k->st->Reset();
    k->used = false;
  }
  used_.clear();
}

ReadScope::ReadScope(MethodContext& ctx) : ctx_(ctx) {
  if (ctx_.db().InTransaction()) return;
  ctx_.Prepare("BEGIN").Step();
  open_ = true;
}

ReadScope::~ReadScope() {
  if (!open_) return;
  try {
    ctx_.Prepare("COMMIT").Step();
  } catch (...) {
    try {
      ctx_.db().Exec("ROLLBACK");
    } catch (...) {
      // Nothing was written: the transaction is gone with the failure.
    }
  }
}

std::vector<FieldDef> FieldsOf(std::span<const Col> cols) {
  std::vector<FieldDef> f;
  f.reserve(cols.size());
  for (const Col& c : cols) f.push_back(FieldDef{c.name, c.kind, c.size, c.scale});
  return f;
}

void ReadRow(const sql::Stmt& st, std::span<const Col> cols, std::vector<Value>& row) {
  row.clear();
  row.reserve(cols.size());
  for (std::size_t i = 0; i < cols.size(); ++i) {
    const int c = static_cast<int>(i);
    switch (cols[i].src) {
      case Src::kText: {
        const auto t = st.TextOrNull(c);
        if (t) {
          row.emplace_back(std::in_place_type<std::string>, *t);
        } else {
          row.emplace_back();
        }
        break;
      }
      case Src::kCents:
        if (st.IsNull(c)) {
          row.emplace_back();
        } else {
          row.emplace_back(Decimal::FromUnits(st.Int(c), 2));
        }
        break;
      case Src::kDecText: {
        const auto t = st.TextOrNull(c);
        if (!t) {
          row.emplace_back();
        } else if (t->empty()) {
          row.emplace_back(Decimal::FromUnits(0, cols[i].scale));
        } else {
          row.emplace_back(Decimal::Parse(*t).Rescaled(cols[i].scale));
        }
        break;
      }
      case Src::kInt:
        if (st.IsNull(c)) {
          row.emplace_back();
        } else {
          row.emplace_back(st.Int(c));
        }
        break;
      case Src::kIso: {
        const auto t = st.TextOrNull(c);
        auto dt = !t || t->empty() ? std::nullopt : ParseDateTime(*t);
        if (dt) {
          row.emplace_back(*dt);
        } else {
          row.emplace_back();
        }
        break;
      }
    }
  }
}

Packet ReadPacket(sql::Stmt& st, std::span<const Col> cols) {
  Packet p;
  p.fields = FieldsOf(cols);
  std::vector<Value> row;
  while (st.Step()) {
    ReadRow(st, cols, row);
    p.rows.push_back(std::move(row));
    row = {};
  }
  return p;
}

std::vector<std::string> SplitKeyList(std::string_view list) {
  std::vector<std::string> keys;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find('_', start);
    if (end == std::string_view::npos) end = list.size();
    std::string key = AllTrim(list.substr(start, end - start));
    if (!key.empty()) keys.push_back(std::move(key));
    start = end + 1;
  }
  return keys;
}

std::string KeyListJson(std::string_view list) { return nlohmann::json(SplitKeyList(list)).dump(); }

std::string RowText(const Packet& p, std::size_t row, std::optional<std::size_t> col) {
  if (!col) return {};
  const Value& v = p.rows.at(row).at(*col);
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  return ValueToText(v);
}

std::string IsoOf(const DateTime& t) { return IsoDateTime(t); }
std::string IsoDay(const DateTime& t) { return IsoDate(t.date()); }

std::int64_t DrawCounter(MethodContext& ctx, const std::string& name) {
  auto& st = ctx.Prepare(
      "INSERT INTO CONTADOR (CDCONTADOR, VRCONTADOR) VALUES (?, 1) "
      "ON CONFLICT (CDCONTADOR) DO UPDATE SET VRCONTADOR = VRCONTADOR + 1 RETURNING VRCONTADOR");
  st.Bind(1, name);
  if (!st.Step()) throw std::runtime_error("counter " + name + " gave no value");
  const std::int64_t v = st.Int(0);
  while (st.Step()) {
  }
  return v;
}

}  // namespace server

struct AppServer::Impl {
  explicit Impl(sql::Db& db) : ctx(db) {
    server::AddSetupMethods(methods);
    server::AddSlipMethods(methods);
    server::AddRemittanceMethods(methods);
    server::AddCounterMethods(methods);
    server::AddReportMethods(methods);
  }
  server::MethodContext ctx;
  server::MethodTable methods;
};

AppServer::AppServer(Store& store) : store_(store), impl_(std::make_unique<Impl>(store.db())) {}

AppServer::~AppServer() { RollbackWork(); }

Reply AppServer::Call(const std::string& method, std::vector<Arg>& args) {
  auto it = impl_->methods.find(method);
  if (it == impl_->methods.end()) return Reply::Error("unknown server method " + method);
  struct Rewind {
    server::MethodContext& ctx;
    ~Rewind() { ctx.ResetAll(); }
  } rewind{impl_->ctx};
  try {
    server::Args a(args);
    return it->second(impl_->ctx, a);
  } catch (const server::Refusal& e) {
    return Reply::Error(e.what());
  } catch (const server::ArgError& e) {
    return Reply::Error(method + ": " + e.what());
  } catch (const sql::StoreError& e) {
    return Reply::Error(method + ": store error: " + e.what());
  } catch (const std::exception& e) {
    return Reply::Error(method + ": " + e.what());
  }
}

void AppServer::BeginWork() {
  if (in_work_) throw std::logic_error("a unit of work is already open");
  store_.db().Exec("BEGIN IMMEDIATE");
  in_work_ = true;
  store_.SetInWork(true);
}

void AppServer::CommitWork() {
  if (!in_work_) throw std::logic_error("no unit of work is open");
  store_.db().Exec("COMMIT");
  in_work_ = false;
  store_.SetInWork(false);
}

void AppServer::RollbackWork() noexcept {
  if (!in_work_) return;
  in_work_ = false;
  store_.SetInWork(false);
  try {
    if (store_.db().InTransaction()) store_.db().Exec("ROLLBACK");
  } catch (...) {
  }
}

std::vector<std::string> AppServer::MethodNames() const {
  std::vector<std::string> names;
  for (const auto& [name, h] : impl_->methods) names.push_back(name);
  return names;
}

void InProcessTransport::Disconnect() {
  server_.RollbackWork();
  connected_ = false;
}

}  // namespace pag
