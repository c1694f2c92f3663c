// The suppliers' addresses (qryEndeForn) as a writer run reads them: each
// supplier's rows are asked of the host's local database once per run and
// kept, and the query dataset is refilled from the kept rows whenever the
// slip being written belongs to that supplier again. Outside a run nothing
// is kept, so an address changed between two runs is read afresh.
//
//   SupplierAddresses::Run run(d.addresses);            // kept until it ends
//   d.addresses.Show(d.qryEndeForn, ctx.localdb, "F001");  // asks the database
//   d.addresses.Show(d.qryEndeForn, ctx.localdb, "F002");
//   d.addresses.Show(d.qryEndeForn, ctx.localdb, "F001");  // from the kept rows
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "host/dataset.h"
#include "host/localdb.h"
#include "host/packet.h"

namespace pag {

class SupplierAddresses {
 public:
  // Fills `qry` with the supplier's address rows (the supplier code as the
  // slip holds it), reading them from `db` unless this run already did.
  void Show(TDataSet& qry, LocalDatabase& db, std::string_view supplier);

  // How many suppliers' rows are kept now.
  std::size_t Kept() const { return kept_.size(); }

  // The span of one run: rows are kept from its start to its end. Runs may
  // nest; the rows are dropped when the outermost one ends.
  class Run {
   public:
    explicit Run(SupplierAddresses& cache) : cache_(cache) { ++cache_.runs_; }
    ~Run() {
      if (--cache_.runs_ == 0) cache_.kept_.clear();
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

   private:
    SupplierAddresses& cache_;
  };

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
  };
  int runs_ = 0;
  std::unordered_map<std::string, Packet, Hash, std::equal_to<>> kept_;
};

}  // namespace pag
