// A Bradesco remittance as the confirmation hands it to the writer: the
// screen's datasets filled from packets (slips in index idxGeraRemessa), a
// scripted server that knows each slip's document value and invoices, the
// host's local database with the suppliers' addresses and the banks'
// pictures, a session with a fixed clock (2026-12-06 14:30:05), scripted
// dialogs and a memory sink.
//
//   BradescoRun run({.kind = 1}, {Slip("D", "11", "1500.00").Bank("341").Agency("1234").Account("12345-6")});
//   run.DocumentValue("11", "1600.00");
//   run.Invoices("11", {{"123456", "1"}});
//   run.Run();
//   run.content();   // the file
#pragma once

#include <map>
#include <memory>
#include <optional>
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
#include "writers/bb_fixture.h"  // Slip, the builder of one slip's fields
#include "writers/cnab/output_file.h"

namespace pag::testing {

// The remittance and what the screen, the agreement and the account say.
struct BradescoRemittance {
  std::string movement = "I";               // IDOPECNABPAG
  std::string branch;                       // CDFILIAL: empty for the company
  bool branchLoaded = false;                // cdsFilial already opened by the screen
  int kind = 0;                             // dbcTpRemessa: 0 "Pagamento Simples", 1 "WEB TA"
  std::string schedule = "1";               // IDAGENREMCNABPAG: "1" Autoriza, "2" Desautoriza
  std::string sendDate = "N";               // cdsEmprBanc.IDCONSDTENVREM
  std::string sequence = "0000000042";      // NRSEQREMESSAPAG
  std::string accountIdent = "4567890";     // GetIdConta; empty to fall back to GetEmprBanc
  std::string agreement = "1234";           // CDEMPBANCPAG of GetEmprBanc
  std::string cedente = "0076543-2";        // CDCEDENTEBAN of the account
  std::string account = "123456";           // CDCONTCORR of the account
  std::string accountPicture = "99999-9";   // shown as "12345-6"
  std::string agency = "34567";             // CDAGENCIA of the account (3456-7)
  std::string companyType = "J";
  std::string companyRegistration = "12.345.678/0001-95";
};

// The host's local database: suppliers' addresses and banks' pictures.
class BradescoLocalDb : public LocalDatabase {
 public:
  std::map<std::string, std::pair<std::string, std::string>> addresses;  // supplier -> DSENDEFORN, NRCEPFORN
  std::map<std::string, std::pair<std::string, std::string>> pictures;   // bank -> CDPICTAGEN, CDPICTCONT
  std::vector<std::string> queries;  // "qryEndeForn F001", "qryMascBancoForn 341", ...

  Packet Query(const std::string& name, const QueryParams& params) override;
  bool AcessoOperEmpresa(const std::string&, const std::string&) override { return true; }
};

class BradescoRun {
 public:
  BradescoRun(const BradescoRemittance& remittance, const std::vector<Slip>& slips);

  // What GetVrDocumento answers for the slip of this entry (by default the
  // slip's own value), and the invoices GetDocBole answers (none by default).
  void DocumentValue(const std::string& entry, std::string value);
  void Invoices(const std::string& entry, std::vector<std::pair<std::string, std::string>> numberAndSeries);

  // Remessa_BcoBradesco over the remittance.
  void Run();
  const std::string& content() const { return sink.content(); }

  RemessaData d;
  std::shared_ptr<FakeTransport> transport = std::make_shared<FakeTransport>();
  TNetConnection net{transport};
  BradescoLocalDb localdb;
  Session session;
  ScriptedDialogs dialogs;
  MemorySink sink;
  WriterContext ctx{d, net, localdb, session, dialogs, sink, "01", "001", "237", 0, {}};

 private:
  std::map<std::string, std::string> values_;  // entry -> VRDOC
  std::map<std::string, std::vector<std::pair<std::string, std::string>>> invoices_;
};

// The records of a file of 500-position records, without their CR LF
// (CheckRecords proves the file is made of such records).
std::vector<std::string> Lines(const std::string& content);
// Positions from-to (1-based, inclusive) of a line.
std::string Cut(const std::string& line, int from, int to);

}  // namespace pag::testing
