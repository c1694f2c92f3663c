// A scripted server for tests of the screen's helpers: each method answers
// from a function, and every call is recorded.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/connection.h"

namespace pag::testing {

class FakeTransport : public Transport {
 public:
  using Handler = std::function<Reply(std::vector<Arg>&)>;
  std::map<std::string, Handler> handlers;
  std::vector<std::pair<std::string, std::vector<Arg>>> calls;

  Reply Call(const std::string& method, std::vector<Arg>& args) override {
    calls.emplace_back(method, args);
    auto it = handlers.find(method);
    if (it == handlers.end()) return Reply::Error("unknown method " + method);
    return it->second(args);
  }
  void BeginWork() override {}
  void CommitWork() override {}
  void RollbackWork() noexcept override {}

  std::vector<std::string> Methods() const {
    std::vector<std::string> out;
    for (const auto& c : calls) out.push_back(c.first);
    return out;
  }
};

inline Packet OneColumn(const std::string& name, std::vector<std::string> values, int size = 20) {
  Packet p;
  p.fields.push_back({name, FieldKind::kString, size, 0});
  for (auto& v : values) p.rows.push_back({Value(v)});
  return p;
}

}  // namespace pag::testing
