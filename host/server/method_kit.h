// What the server's method files share: the checked argument list, the
// refusal that becomes a message-key reply, the cache of prepared statements,
// packet building from a query, and key lists matched as whole tokens.
//
//   Reply GetIdConta(MethodContext& ctx, Args& a) {
//     a.Expect("s");
//     auto& st = ctx.Prepare("SELECT CDIDPAGCONTCORR FROM IDCONTCORR WHERE CDREDUCONT = ?");
//     st.Bind(1, a.Key(0));
//     return Reply::OfPacket(ReadPacket(st, kIdContaCols));
//   }
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/connection.h"
#include "host/server/sqlite.h"

namespace pag::server {

// A wrong argument list; the reply names the method and the argument.
class ArgError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A refusal by a rule of the server; the reply is exactly the message key
// ("OPER_INV", "Bol_Vinc_Rem").
class Refusal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The positional arguments of one call, checked against a signature.
class Args {
 public:
  explicit Args(std::vector<Arg>& args) : args_(args) {}

  // Signature letters: s text, n number (integer or decimal), d date,
  // p packet, x delta; a "|" starts the optional tail ("s|s": one or two).
  void Expect(std::string_view signature);

  std::size_t size() const { return args_.size(); }
  const std::string& Raw(std::size_t i) const;
  // The text without blanks at the ends: keys and flags (" " means none).
  std::string Key(std::size_t i) const;
  Decimal Number(std::size_t i) const;
  DateTime Date(std::size_t i) const;
  const Packet& PacketAt(std::size_t i) const;
  const Delta& DeltaAt(std::size_t i) const;
  // Writes back into a by-reference string argument (ignored otherwise).
  void SetRef(std::size_t i, std::string value);

 private:
  std::vector<Arg>& args_;
};

class MethodContext {
 public:
  explicit MethodContext(sql::Db& db) : db_(db) {}
  sql::Db& db() { return db_; }
  // A prepared statement for this SQL, kept for the next call; reset and
  // with no bindings.
  sql::Stmt& Prepare(const std::string& sql);
  // Rewinds every kept statement used since the last time, so that none
  // holds a read snapshot open between calls. Run after each method.
  void ResetAll();

 private:
  struct Kept {
    std::unique_ptr<sql::Stmt> st;
    bool used = false;  // handed out since the last ResetAll
  };
  sql::Db& db_;
  std::unordered_map<std::string, Kept> cache_;
  std::vector<Kept*> used_;
};

// The reads of one method from one snapshot of the store, in one read
// transaction (a deferred BEGIN, which locks nothing for writing) when no
// transaction is open; inside one, nothing. Ends with the scope.
class ReadScope {
 public:
  explicit ReadScope(MethodContext& ctx);
  ReadScope(const ReadScope&) = delete;
  ReadScope& operator=(const ReadScope&) = delete;
  ~ReadScope();

 private:
  MethodContext& ctx_;
  bool open_ = false;
};

using Handler = std::function<Reply(MethodContext&, Args&)>;
using MethodTable = std::map<std::string, Handler, std::less<>>;

// Each method file adds its methods.
void AddSetupMethods(MethodTable& t);
void AddSlipMethods(MethodTable& t);
void AddRemittanceMethods(MethodTable& t);
void AddCounterMethods(MethodTable& t);
void AddReportMethods(MethodTable& t);

// How a result column is read from the store into a packet field.
enum class Src {
  kText,     // TEXT -> string (NULL -> null)
  kCents,    // INTEGER cents -> Decimal scale 2
  kDecText,  // decimal TEXT -> Decimal with the field's scale
  kInt,      // INTEGER -> integer
  kIso,      // ISO TEXT -> DateTime ('' -> null)
};

struct Col {
  const char* name;
  FieldKind kind;
  int size;
  int scale;
  Src src;
};

constexpr Col Text(const char* n, int size) { return {n, FieldKind::kString, size, 0, Src::kText}; }
constexpr Col Amount(const char* n) { return {n, FieldKind::kDecimal, 0, 2, Src::kCents}; }
constexpr Col Percent(const char* n) { return {n, FieldKind::kDecimal, 0, 4, Src::kDecText}; }
constexpr Col Integer(const char* n) { return {n, FieldKind::kInteger, 0, 0, Src::kInt}; }
constexpr Col When(const char* n) { return {n, FieldKind::kDateTime, 0, 0, Src::kIso}; }

std::vector<FieldDef> FieldsOf(std::span<const Col> cols);
// Runs the statement and reads every row; the query's columns are in the
// order of `cols`.
Packet ReadPacket(sql::Stmt& st, std::span<const Col> cols);
// Reads the current row of a statement into values.
void ReadRow(const sql::Stmt& st, std::span<const Col> cols, std::vector<Value>& row);

// The keys of a picked list as whole tokens: "_0001_0002" -> {"0001",
// "0002"}; blanks around each key are dropped, empty keys ignored.
std::vector<std::string> SplitKeyList(std::string_view list);
// The tokens as a JSON array text, for `IN (SELECT value FROM json_each(?))`.
std::string KeyListJson(std::string_view list);

// A value of a packet row as text ("" for null).
std::string RowText(const Packet& p, std::size_t row, std::optional<std::size_t> col);

// Store forms of values.
std::string IsoOf(const DateTime& t);
// ISO date "YYYY-MM-DD" of a date-time.
std::string IsoDay(const DateTime& t);
// The counter's next number, drawn atomically (the caller holds a WriteScope).
std::int64_t DrawCounter(MethodContext& ctx, const std::string& name);

}  // namespace pag::server
