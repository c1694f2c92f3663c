// The connection to the application server (the host's TNetConnection): calls
// a server method by name with positional arguments and gives back its reply.
// How the call travels is the transport's business: in process today, over a
// socket to a separate server process later, without the screens noticing.
//
//   TNetConnection net(transport);
//   std::vector<Arg> args{Arg("01"), Arg(" ")};
//   Packet empresa = CheckResultServ(net.Call("GetEmpresa", args)).packet();
//
//   auto work = net.BeginWork();           // one unit of work over several calls
//   CheckResultServ(net.Call("SetCNABPag", {Arg(delta)}));
//   CheckResultServ(net.Call("AtualizaBoleto", {...}));
//   work.Commit();                         // rolled back if never reached
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "host/datetime.h"
#include "host/decimal.h"
#include "host/errors.h"
#include "host/packet.h"
#include "host/value.h"

namespace pag {

// One positional argument of a call: a string (by value, or by reference when
// the server may write back into it), a 32-bit integer, an exact number, a
// date-time, a data packet (rows of a dataset) or a delta (its change log).
// Numbers that the host passes as doubles travel as Decimal here.
class Arg {
 public:
  using Payload = std::variant<std::string, std::int32_t, Decimal, DateTime, Packet, Delta>;

  Arg(std::string s) : value_(std::move(s)) {}   // NOLINT(implicit)
  Arg(const char* s) : value_(std::string(s)) {}  // NOLINT(implicit)
  Arg(std::int32_t i) : value_(i) {}              // NOLINT(implicit)
  Arg(Decimal d) : value_(d) {}                   // NOLINT(implicit)
  Arg(Money m) : value_(m.ToDecimal()) {}         // NOLINT(implicit)
  Arg(DateTime t) : value_(t) {}                  // NOLINT(implicit)
  Arg(Packet p) : value_(std::move(p)) {}         // NOLINT(implicit)
  Arg(Delta d) : value_(std::move(d)) {}          // NOLINT(implicit)

  // A string passed by reference: the reply may come with a new value in it.
  static Arg Ref(std::string s) {
    Arg a(std::move(s));
    a.by_ref_ = true;
    return a;
  }

  bool by_ref() const { return by_ref_; }
  const Payload& payload() const { return value_; }
  Payload& payload() { return value_; }

  bool IsText() const { return std::holds_alternative<std::string>(value_); }
  // The string; throws std::bad_variant_access for another kind.
  const std::string& text() const { return std::get<std::string>(value_); }
  std::string& text() { return std::get<std::string>(value_); }
  // Name of the kind, for error messages ("text", "integer", ...).
  const char* KindName() const;

 private:
  Payload value_;
  bool by_ref_ = false;
};

// The reply of a call: nothing, an error (the server's text or a message key
// such as "OPER_INV"), a text, a single value, a data packet, or an array of
// replies (several packets, or several values).
class Reply {
 public:
  enum class Kind { kNothing, kError, kText, kValue, kPacket, kArray };

  Reply() = default;
  static Reply Error(std::string message);
  static Reply Text(std::string text);
  static Reply OfValue(Value v);
  static Reply OfPacket(Packet p);
  static Reply Array(std::vector<Reply> items);

  Kind kind() const { return kind_; }
  bool IsError() const { return kind_ == Kind::kError; }
  // Each accessor throws std::logic_error when the reply is of another kind.
  const std::string& error() const;
  const std::string& text() const;
  const Value& value() const;
  const Packet& packet() const;
  Packet& packet();
  const std::vector<Reply>& items() const;

 private:
  Kind kind_ = Kind::kNothing;
  std::string text_;  // error or text
  Value value_;
  Packet packet_;
  std::vector<Reply> items_;
};

// Checks a reply (the host's CheckResultServ(reply, true, 0)): an error
// reply throws ServerError whose message is exactly the server's text or
// message key; any other reply is given back as the payload.
const Reply& CheckResultServ(const Reply& reply);
Reply CheckResultServ(Reply&& reply);

// How calls reach the server. A transport also brackets a unit of work:
// between BeginWork and CommitWork every call belongs to one transaction of
// the server, and RollbackWork undoes all of them.
class Transport {
 public:
  virtual ~Transport() = default;
  virtual void Connect() {}
  virtual void Disconnect() {}
  virtual bool Connected() const { return true; }
  // Never throws for a server-side failure: that comes back as an error reply.
  virtual Reply Call(const std::string& method, std::vector<Arg>& args) = 0;
  virtual void BeginWork() = 0;
  virtual void CommitWork() = 0;
  virtual void RollbackWork() noexcept = 0;
};

class TNetConnection;

// A unit of work: rolls back when it goes out of scope without Commit().
//
//   { auto work = net.BeginWork(); ...calls...; work.Commit(); }
class UnitOfWork {
 public:
  UnitOfWork(UnitOfWork&& other) noexcept;
  UnitOfWork& operator=(UnitOfWork&&) = delete;
  UnitOfWork(const UnitOfWork&) = delete;
  UnitOfWork& operator=(const UnitOfWork&) = delete;
  ~UnitOfWork();

  void Commit();
  void Rollback() noexcept;
  bool active() const { return transport_ != nullptr; }

 private:
  friend class TNetConnection;
  explicit UnitOfWork(Transport* t) : transport_(t) {}
  Transport* transport_;
};

// The screen's connection to the server object ("PAG00100.rdmRemessaCNAB").
// Host and port come from the session (WebURL, WebPort) before connecting;
// the in-process transport ignores them.
class TNetConnection {
 public:
  explicit TNetConnection(std::shared_ptr<Transport> transport,
                          std::string server_name = "PAG00100.rdmRemessaCNAB");

  std::string host;
  int port = 0;
  const std::string& server_name() const { return server_name_; }

  void Connect();
  void Disconnect();
  bool Connected() const;

  // Calls a method by name; connects first when needed. By-reference string
  // arguments may come back changed in `args`.
  Reply Call(const std::string& method, std::vector<Arg>& args);
  Reply Call(const std::string& method, std::vector<Arg>&& args);
  Reply Call(const std::string& method) { return Call(method, std::vector<Arg>{}); }

  // Call, CheckResultServ and take the packet (or the text) out of the reply.
  Packet CallPacket(const std::string& method, std::vector<Arg> args = {});
  std::string CallText(const std::string& method, std::vector<Arg> args = {});

  [[nodiscard]] UnitOfWork BeginWork();

 private:
  std::shared_ptr<Transport> transport_;
  std::string server_name_;
};

}  // namespace pag
