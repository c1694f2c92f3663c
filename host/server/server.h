// The embedded application server: every method the remittance screens call,
// answered from a Store, and the in-process transport that a TNetConnection
// uses to reach it.
//
//   Store store(path, Store::Mode::kCreate);
//   auto transport = std::make_shared<InProcessTransport>(store);
//   TNetConnection net(transport);
//   Packet slips = net.CallPacket("GetBoletos", {...31 criteria...});
//
// Replies: a wrong argument list gives an error naming the method ("GetCntPagar:
// expected 2 arguments, got 1"); a refusal by a rule gives its message key
// alone ("OPER_INV", "Bol_Vinc_Rem"); a failure of the store gives the method
// and the store's message. A method that writes is atomic: alone it runs in
// its own BEGIN IMMEDIATE transaction; inside a unit of work (BeginWork) it
// runs in a savepoint, so a refusal undoes only its own changes and the caller
// decides whether to commit the rest.
//
// Operator permissions (table OPERPERMISSAO): "CancelaBolRemessa" lets an
// operator take slips out of a remittance when the general settings'
// IDUTCTRLCANREMP is "S"; without it CancelaBolRemessa answers "OPER_INV".
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/connection.h"
#include "host/server/schema.h"

namespace pag {

namespace server {
class MethodContext;
}

class AppServer {
 public:
  explicit AppServer(Store& store);
  ~AppServer();
  AppServer(const AppServer&) = delete;
  AppServer& operator=(const AppServer&) = delete;

  // Never throws for a bad call or a refusal: those are error replies.
  Reply Call(const std::string& method, std::vector<Arg>& args);

  // One transaction over several calls (BEGIN IMMEDIATE ... COMMIT).
  void BeginWork();
  void CommitWork();
  void RollbackWork() noexcept;
  bool InWork() const { return in_work_; }

  // Names of every method, sorted.
  std::vector<std::string> MethodNames() const;

 private:
  struct Impl;
  Store& store_;
  std::unique_ptr<Impl> impl_;
  bool in_work_ = false;
};

// Calls the server in the same process. A socket transport to a server
// process would take its place behind the same Transport interface.
class InProcessTransport : public Transport {
 public:
  explicit InProcessTransport(Store& store) : server_(store) {}
  void Connect() override { connected_ = true; }
  void Disconnect() override;
  bool Connected() const override { return connected_; }
  Reply Call(const std::string& method, std::vector<Arg>& args) override { return server_.Call(method, args); }
  void BeginWork() override { server_.BeginWork(); }
  void CommitWork() override { server_.CommitWork(); }
  void RollbackWork() noexcept override { server_.RollbackWork(); }
  AppServer& server() { return server_; }

 private:
  AppServer server_;
  bool connected_ = false;
};

}  // namespace pag
