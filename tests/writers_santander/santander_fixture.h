// A Santander remittance as the confirmation hands it to the writer: the
// screen's datasets filled from packets (slips in index idxGeraRemessa), a
// scripted server (agreement, file sequence counter, documents of the
// slips), the host's local database (suppliers' addresses, the banks'
// account pictures), a session with a fixed clock, scripted dialogs and a
// memory sink. Slips are the Banco do Brasil tests' Slip; each is given the
// remittance's bank.
//
//   SantanderRun run({}, {Slip("D", "11", "1500.00").Bank("237").Account("98765-4")});
//   run.Run();
//   run.content();   // the file
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/connection.h"
#include "host/dialogs.h"
#include "host/localdb.h"
#include "host/session.h"
#include "model/fake_server.h"
#include "remittance/model/remessa_data.h"
#include "remittance/model/writer_context.h"
#include "writers/bb_fixture.h"
#include "writers/cnab/output_file.h"

namespace pag::testing {

// A PIX slip (mode "F" by key, "Z" by QR code); an empty key type for none.
Slip PixSlip(std::string mode, std::string entry, std::string value, std::string keyType, std::string key);

// The remittance and what the server and the screen know about it.
struct SantanderRemittance {
  std::string bank = "033";           // CDBANCCNAB: "033" or "353"
  std::string movement = "I";         // IDOPECNABPAG
  std::string branch;                 // CDFILIAL: empty for the company
  std::string accountIdent = "3300123456789012";     // GetIdConta; empty to fall back to GetEmprBanc
  std::string agreement = "SANTANDER0042";              // CDEMPBANCPAG of GetEmprBanc
  std::string phase = "P";            // IDFASCNABPAG: "T" test files, "" none yet, else production
  std::string counter = "00000000000000000042";  // what ProximoCodigo("FaseCNABPag") gives
  std::string companyRegistration = "12.345.678/0001-95";
  std::string agency = "3456";        // CDAGENCIA of the paying account
  std::string account = "130012345";  // CDCONTCORR
  std::string accountPicture = "99999999-9";
};

// The host's local database: the suppliers' addresses and the banks'
// agency and account pictures.
class SantanderLocalDb : public LocalDatabase {
 public:
  SantanderLocalDb();
  // supplier -> DSENDEFORN, NMBAIRFORN, NMMUNICIPIO, NRCEPFORN, SGESTADO
  std::map<std::string, std::vector<std::string>> addresses;
  // bank -> CDPICTAGEN, CDPICTCONT
  std::map<std::string, std::pair<std::string, std::string>> pictures;
  std::map<std::string, int> queries;  // by name

  Packet Query(const std::string& name, const QueryParams& params) override;
  bool AcessoOperEmpresa(const std::string&, const std::string&) override { return true; }
};

class SantanderRun {
 public:
  SantanderRun(const SantanderRemittance& remittance, const std::vector<Slip>& slips);
  // Remessa_Santander over the remittance.
  void Run();
  const std::string& content() const { return sink.content(); }
  // The documents behind a slip (GetDocBole): entry -> invoice number and series.
  std::map<std::string, std::pair<std::string, std::string>> documents;

  RemessaData d;
  std::shared_ptr<FakeTransport> transport = std::make_shared<FakeTransport>();
  TNetConnection net{transport};
  SantanderLocalDb localdb;
  Session session;
  ScriptedDialogs dialogs;
  MemorySink sink;
  WriterContext ctx;
  std::string counterReset;  // what UpDatePrx set the file counter to
};

}  // namespace pag::testing
