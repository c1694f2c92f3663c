#include "host/connection.h"

#include <stdexcept>

namespace pag {

const char* Arg::KindName() const {
  switch (value_.index()) {
    case 0: return by_ref_ ? "text (by reference)" : "text";
    case 1: return "integer";
    case 2: return "number";
    case 3: return "date";
    case 4: return "packet";
    case 5: return "delta";
  }
  return "?";
}

Reply Reply::Error(std::string message) {
  Reply r;
  r.kind_ = Kind::kError;
  r.text_ = std::move(message);
  return r;
}

Reply Reply::Text(std::string text) {
  Reply r;
  r.kind_ = Kind::kText;
  r.text_ = std::move(text);
  return r;
}

Reply Reply::OfValue(Value v) {
  Reply r;
  r.kind_ = Kind::kValue;
  r.value_ = std::move(v);
  return r;
}

Reply Reply::OfPacket(Packet p) {
  Reply r;
  r.kind_ = Kind::kPacket;
  r.packet_ = std::move(p);
  return r;
}

Reply Reply::Array(std::vector<Reply> items) {
  Reply r;
  r.kind_ = Kind::kArray;
  r.items_ = std::move(items);
  return r;
}

namespace {
[[noreturn]] void WrongKind(const char* wanted) {
  throw std::logic_error(std::string("server reply is not ") + wanted);
}
}  // namespace

const std::string& Reply::error() const {
  if (kind_ != Kind::kError) WrongKind("an error");
  return text_;
}
const std::string& Reply::text() const {
  if (kind_ != Kind::kText) WrongKind("a text");
  return text_;
}
const Value& Reply::value() const {
  if (kind_ != Kind::kValue) WrongKind("a value");
  return value_;
}
const Packet& Reply::packet() const {
  if (kind_ != Kind::kPacket) WrongKind("a packet");
  return packet_;
}
Packet& Reply::packet() {
  if (kind_ != Kind::kPacket) WrongKind("a packet");
  return packet_;
}
const std::vector<Reply>& Reply::items() const {
  if (kind_ != Kind::kArray) WrongKind("an array");
  return items_;
}

const Reply& CheckResultServ(const Reply& reply) {
  if (reply.IsError()) throw ServerError(reply.error());
  return reply;
}

Reply CheckResultServ(Reply&& reply) {
  if (reply.IsError()) throw ServerError(reply.error());
  return std::move(reply);
}

UnitOfWork::UnitOfWork(UnitOfWork&& other) noexcept : transport_(other.transport_) {
  other.transport_ = nullptr;
}

UnitOfWork::~UnitOfWork() { Rollback(); }

void UnitOfWork::Commit() {
  if (!transport_) throw std::logic_error("unit of work already ended");
  Transport* t = transport_;
  transport_ = nullptr;
  try {
    t->CommitWork();
  } catch (...) {
    t->RollbackWork();
    throw;
  }
}

void UnitOfWork::Rollback() noexcept {
  if (!transport_) return;
  Transport* t = transport_;
  transport_ = nullptr;
  t->RollbackWork();
}

TNetConnection::TNetConnection(std::shared_ptr<Transport> transport, std::string server_name)
    : transport_(std::move(transport)), server_name_(std::move(server_name)) {
  if (!transport_) throw std::invalid_argument("TNetConnection needs a transport");
}

void TNetConnection::Connect() {
  if (!transport_->Connected()) transport_->Connect();
}

void TNetConnection::Disconnect() { transport_->Disconnect(); }

bool TNetConnection::Connected() const { return transport_->Connected(); }

Reply TNetConnection::Call(const std::string& method, std::vector<Arg>& args) {
  Connect();
  return transport_->Call(method, args);
}

Reply TNetConnection::Call(const std::string& method, std::vector<Arg>&& args) {
  std::vector<Arg> local = std::move(args);
  return Call(method, local);
}

Packet TNetConnection::CallPacket(const std::string& method, std::vector<Arg> args) {
  Reply r = CheckResultServ(Call(method, args));
  return std::move(r.packet());
}

std::string TNetConnection::CallText(const std::string& method, std::vector<Arg> args) {
  Reply r = CheckResultServ(Call(method, args));
  return r.text();
}

UnitOfWork TNetConnection::BeginWork() {
  Connect();
  transport_->BeginWork();
  return UnitOfWork(transport_.get());
}

}  // namespace pag
