#include "host/server/sqlite.h"

#include <sqlite3.h>

namespace pag::sql {

namespace {
constexpr int kBusyTimeoutMs = 15000;

[[noreturn]] void Fail(sqlite3* db, int rc, std::string_view what) {
  std::string msg(what);
  msg += ": ";
  msg += db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  throw StoreError(msg, db ? sqlite3_extended_errcode(db) : rc);
}
}  // namespace

Db::Db(const std::string& path, bool create) {
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
  if (create) flags |= SQLITE_OPEN_CREATE;
  int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    std::string msg = "cannot open " + path + ": " + (db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
    sqlite3_close(db_);
    db_ = nullptr;
    throw StoreError(msg, rc);
  }
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
}

Db& Db::operator=(Db&& o) noexcept {
  if (this != &o) {
    sqlite3_close_v2(db_);
    db_ = o.db_;
    o.db_ = nullptr;
  }
  return *this;
}

Db::~Db() { sqlite3_close_v2(db_); }

void Db::Exec(std::string_view sql) {
  std::string s(sql);
  char* err = nullptr;
  int rc = sqlite3_exec(db_, s.c_str(), nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    std::string msg = err ? err : sqlite3_errstr(rc);
    sqlite3_free(err);
    throw StoreError(msg, sqlite3_extended_errcode(db_));
  }
}

std::int64_t Db::QueryInt(std::string_view sql) {
  Stmt s(*this, sql);
  return s.Step() ? s.Int(0) : 0;
}

bool Db::InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

std::string Db::ErrorMessage() const { return sqlite3_errmsg(db_); }

Stmt::Stmt(const Db& db, std::string_view sql) : db_(db.handle()) {
  int rc = sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &st_,
                              nullptr);
  if (rc != SQLITE_OK) Fail(db_, rc, "prepare");
}

Stmt::~Stmt() { sqlite3_finalize(st_); }

Stmt& Stmt::Bind(int i, std::string_view text) {
  int rc = sqlite3_bind_text(st_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) Fail(db_, rc, "bind");
  return *this;
}

Stmt& Stmt::Bind(int i, std::int64_t value) {
  int rc = sqlite3_bind_int64(st_, i, value);
  if (rc != SQLITE_OK) Fail(db_, rc, "bind");
  return *this;
}

Stmt& Stmt::BindNull(int i) {
  int rc = sqlite3_bind_null(st_, i);
  if (rc != SQLITE_OK) Fail(db_, rc, "bind");
  return *this;
}

bool Stmt::Step() {
  int rc = sqlite3_step(st_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  Fail(db_, rc, "step");
}

int Stmt::StepCode() {
  int rc = sqlite3_step(st_);
  if (rc == SQLITE_ROW || rc == SQLITE_DONE) return rc;
  int ext = sqlite3_extended_errcode(db_);
  if ((ext & 0xff) == SQLITE_CONSTRAINT) {
    sqlite3_reset(st_);
    return ext;
  }
  Fail(db_, rc, "step");
}

void Stmt::Reset() {
  sqlite3_reset(st_);
  sqlite3_clear_bindings(st_);
}

bool Stmt::IsNull(int col) const { return sqlite3_column_type(st_, col) == SQLITE_NULL; }

std::string Stmt::Text(int col) const { return std::string(TextView(col)); }

void Stmt::AppendText(int col, std::string& out) const {
  const unsigned char* p = sqlite3_column_text(st_, col);
  if (p) out.append(reinterpret_cast<const char*>(p), static_cast<std::size_t>(sqlite3_column_bytes(st_, col)));
}

std::string_view Stmt::TextView(int col) const {
  const unsigned char* p = sqlite3_column_text(st_, col);
  if (!p) return {};
  return std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(sqlite3_column_bytes(st_, col)));
}

std::optional<std::string_view> Stmt::TextOrNull(int col) const {
  const unsigned char* p = sqlite3_column_text(st_, col);
  if (!p) {
    if (sqlite3_column_type(st_, col) == SQLITE_NULL) return std::nullopt;
    return std::string_view();
  }
  return std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(sqlite3_column_bytes(st_, col)));
}

std::int64_t Stmt::Int(int col) const { return sqlite3_column_int64(st_, col); }

int Stmt::ParameterCount() const { return sqlite3_bind_parameter_count(st_); }

WriteScope::WriteScope(Db& db) : db_(db) {
  if (db_.InTransaction()) {
    savepoint_ = true;
    db_.Exec("SAVEPOINT pag_method");
  } else {
    db_.Exec("BEGIN IMMEDIATE");
  }
}

WriteScope::~WriteScope() {
  if (done_) return;
  try {
    if (savepoint_) {
      db_.Exec("ROLLBACK TO pag_method");
      db_.Exec("RELEASE pag_method");
    } else {
      db_.Exec("ROLLBACK");
    }
  } catch (...) {
    // The transaction is gone already (SQLite rolls back on some errors).
  }
}

void WriteScope::Commit() {
  db_.Exec(savepoint_ ? "RELEASE pag_method" : "COMMIT");
  done_ = true;
}

}  // namespace pag::sql
