#include "remittance/model/supplier_addresses.h"

#include <utility>

namespace pag {

void SupplierAddresses::Show(TDataSet& qry, LocalDatabase& db, std::string_view supplier) {
  if (runs_ == 0) {
    qry.LoadPacket(db.Query("qryEndeForn", {{"CDFORNECED", Value(std::string(supplier))}}));
    return;
  }
  auto it = kept_.find(supplier);
  if (it == kept_.end())
    it = kept_.emplace(std::string(supplier), db.Query("qryEndeForn", {{"CDFORNECED", Value(std::string(supplier))}}))
             .first;
  qry.LoadPacket(it->second);  // a copy: the kept rows stay for the next slip of this supplier
}

}  // namespace pag
