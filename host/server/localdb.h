// The host's local database on SQLite: the named read-only queries of the
// screens (supplier addresses, bank masks, companies, and the filter dialogs'
// lookups), answered from the same store file.
//
//   SqliteLocalDatabase local(store);
//   Packet masks = local.Query("qryMascBancoForn", {{"P_CDBANCO", std::string("001")}});
//   masks.At(0, "CDPICTCONT");   // "99999999-9"
#pragma once

#include <memory>

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
  std::unique_ptr<server::MethodContext> ctx_;
};

}  // namespace pag
