// The host's local database as the screens see it: read-only named queries
// (the host's TADOIBQuery components) with named parameters, answering rows
// as a data packet.
//
//   Packet end = db.Query("qryEndeForn", {{"CDFORNECED", std::string("F001")}});
//   Packet all = db.Query("qryEmpresa", {{"P_CDEMPRESA", Value{}}});   // null: every company
//
// Queries: qryEmpresa (P_CDEMPRESA), qryEndeForn (CDFORNECED),
// qryMascBancoForn (P_CDBANCO), and the filter dialogs' lookups qryContCorr,
// qryOperador, qryFornecedor (P_TIDTPIJURFORN, P_IDTPIJURFORN, P_TCDGRUPFORN,
// P_CDGRUPFORN), qryBancBene, qryFormaPag, qryGrForn, qryFilial.
#pragma once

#include <map>
#include <string>

#include "host/packet.h"
#include "host/value.h"

namespace pag {

using QueryParams = std::map<std::string, Value>;

class LocalDatabase {
 public:
  virtual ~LocalDatabase() = default;
  // Runs a named query. Throws std::invalid_argument for an unknown query or
  // parameter name, or a parameter of the wrong kind.
  virtual Packet Query(const std::string& name, const QueryParams& params) = 0;
  // Whether the operator may use the company (the host's AcessoOperEmpresa).
  virtual bool AcessoOperEmpresa(const std::string& company, const std::string& operator_code) = 0;
};

}  // namespace pag
