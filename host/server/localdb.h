// The host's local database on SQLite: the named read-only queries of the
// screens (supplier addresses, bank masks, companies, and the filter dialogs'
// lookups), answered from the same store file.
//
//   SqliteLocalDatabase local(store);
//   Packet masks = local.Query("qryMascBancoForn", {{"P_CDBANCO", std::string("001")}});
//   masks.At(0, "CDPICTCONT");   // "99999999-9"
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "host/localdb.h"
#include "host/server/schema.h"

namespace pag {

namespace server {
class MethodContext;
}

class SqliteLocalDatabase : public LocalDatabase {
 public:
  explicit SqliteLocalDatabase(Store& store);
  ~SqliteLocalDatabase() override;

  Packet Query(const std::string& name, const QueryParams& params) override;
  // True when table OPEREMPRESA links the operator to the company.
  bool AcessoOperEmpresa(const std::string& company, const std::string& operator_code) override;

 private:
  Packet Run(const std::string& name, const QueryParams& params);
  // The store's state as far as a kept answer goes: commits of other
  // connections (PRAGMA data_version) and changes of this one.
  // Inside the server's unit of work, other connections cannot commit, and
  // its start and end (undone or not) are counted by the store.
  struct Stamp {
    std::int64_t dataVersion = -1;
    std::int64_t changes = -1;
    std::uint64_t workEpoch = 0;
    bool operator==(const Stamp&) const = default;
  };
  // Nullopt inside a transaction that is not the server's unit of work,
  // where nothing is kept or given again.
  std::optional<Stamp> StampNow();

  Store& store_;
  std::unique_ptr<server::MethodContext> ctx_;
  // Supplier addresses (qryEndeForn) by supplier code, read at `kept_at_`:
  // screens ask for the same few suppliers again and again while a
  // remittance is marked, and get the same rows while the store is
  // unchanged.
  std::unordered_map<std::string, Packet> addresses_;
  Stamp kept_at_;
};

}  // namespace pag
