// Thin RAII wrappers over SQLite for the embedded server: a database handle,
// prepared statements with positional parameters, and the write scope that
// makes one method atomic (its own BEGIN IMMEDIATE transaction, or a savepoint
// inside a unit of work that is already open).
//
//   Stmt s(db, "SELECT NMEMPRESA FROM EMPRESA WHERE CDEMPRESA = ?");
//   s.Bind(1, code);
//   if (s.Step()) name = s.Text(0);
//
// Nothing here ever pastes a value into SQL text: values go through Bind.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace pag::sql {

// A failure of the store itself (I/O, locking, corrupt file, bad SQL).
class StoreError : public std::runtime_error {
 public:
  StoreError(const std::string& what, int code) : std::runtime_error(what), code_(code) {}
  int code() const { return code_; }  // SQLite extended result code

 private:
  int code_;
};

class Db {
 public:
  Db() = default;
  // Opens a file; `create` allows a new file. Sets the busy timeout.
  Db(const std::string& path, bool create);
  Db(Db&& o) noexcept : db_(o.db_) { o.db_ = nullptr; }
  Db& operator=(Db&& o) noexcept;
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;
  ~Db();

  sqlite3* handle() const { return db_; }
  explicit operator bool() const { return db_ != nullptr; }

  // Runs SQL without parameters (DDL, PRAGMA, BEGIN/COMMIT).
  void Exec(std::string_view sql);
  // First column of the first row of a query without parameters.
  std::int64_t QueryInt(std::string_view sql);
  bool InTransaction() const;
  std::string ErrorMessage() const;

 private:
  sqlite3* db_ = nullptr;
};

class Stmt {
 public:
  Stmt(const Db& db, std::string_view sql);
  Stmt(Stmt&& o) noexcept : st_(o.st_), db_(o.db_) { o.st_ = nullptr; }
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;
  Stmt& operator=(Stmt&&) = delete;
  ~Stmt();

  // 1-based parameter index, as SQLite counts them.
  Stmt& Bind(int i, std::string_view text);
  Stmt& Bind(int i, std::int64_t value);
  Stmt& Bind(int i, int value) { return Bind(i, static_cast<std::int64_t>(value)); }
  Stmt& BindNull(int i);
  // True when a row is ready; false when done. Throws StoreError.
  bool Step();
  // Step() that reports a constraint violation instead of throwing: returns
  // the SQLite extended code (SQLITE_DONE on success).
  int StepCode();
  // Clears the bindings and rewinds, ready to run again.
  void Reset();

  // 0-based column index.
  bool IsNull(int col) const;
  // Appends the column's text to `out` ("" for null), without a copy in between.
  void AppendText(int col, std::string& out) const;
  std::string Text(int col) const;
  std::string_view TextView(int col) const;
  // The column's text, or nullopt for null: one call where IsNull and
  // TextView would make two.
  std::optional<std::string_view> TextOrNull(int col) const;
  std::int64_t Int(int col) const;
  int ParameterCount() const;

 private:
  sqlite3_stmt* st_ = nullptr;
  sqlite3* db_ = nullptr;
};

// Makes one server method atomic. Outside a transaction it runs BEGIN
// IMMEDIATE (so two processes serialise their writes and counters never
// repeat); inside a unit of work it opens a savepoint, so that a refused
// method undoes only its own changes. Rolls back unless Commit() is called.
class WriteScope {
 public:
  explicit WriteScope(Db& db);
  WriteScope(const WriteScope&) = delete;
  WriteScope& operator=(const WriteScope&) = delete;
  ~WriteScope();
  void Commit();

 private:
  Db& db_;
  bool savepoint_ = false;
  bool done_ = false;
};

}  // namespace pag::sql
