// A Banco do Brasil remittance as the confirmation hands it to the writer:
// the screen's datasets filled from packets (slips in index
// idxGeraRemessa), a scripted server, the host's local database with the
// suppliers' addresses, a session with a fixed clock, scripted dialogs and a
// memory sink.
//
//   BbRun run({.movement = "I"}, {Slip("T", "11", "1500.00").Bank("237").Account("98765-4")});
//   run.Run();
//   run.sink.content();   // the file
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/connection.h"
#include "host/dialogs.h"
#include "host/localdb.h"
#include "host/session.h"
#include "model/fake_server.h"
#include "remittance/model/remessa_data.h"
#include "remittance/model/writer_context.h"
#include "writers/cnab/output_file.h"

namespace pag::testing {

// One slip of cdsBoletos; every field as the server's packet carries it
// (text; empty for none).
struct Slip {
  Slip(std::string mode, std::string entry, std::string value) {
    f["IDBAIXAUTILP"] = std::move(mode);
    f["NRLANBOLPAG"] = Pad(entry);
    f["VRFINALBPAG"] = std::move(value);
  }
  static std::string Pad(const std::string& entry) {
    return std::string(entry.size() < 10 ? 10 - entry.size() : 0, '0') + entry;
  }
  Slip& Set(const std::string& field, std::string v) {
    f[field] = std::move(v);
    return *this;
  }
  Slip& Barcode(std::string v) { return Set("CDBARRAPAG", std::move(v)); }
  Slip& TypedLine(std::string v) { return Set("DSLINHBARPAG", std::move(v)); }
  Slip& Bank(std::string v) { return Set("CDBANCBOLP", std::move(v)); }
  Slip& Agency(std::string v) { return Set("CDAGENBOLP", std::move(v)); }
  Slip& Account(std::string v) { return Set("CDCCORBOLP", std::move(v)); }
  Slip& Supplier(std::string code) { return Set("CDFORNECED", std::move(code)); }
  Slip& Name(std::string v) { return Set("NMRAZSOCFORN", std::move(v)); }
  Slip& Registration(std::string type, std::string number) {
    Set("IDTPIJURFORN", std::move(type));
    return Set("NRINSJURFORN", std::move(number));
  }
  Slip& FileRegistration(std::string type, std::string number) {
    Set("IDTPICNABBOP", std::move(type));
    return Set("NRINSCNABBOP", std::move(number));
  }
  Slip& Due(std::string iso) { return Set("DTVENBOLPAG", std::move(iso)); }
  Slip& BankNumber(std::string v) { return Set("NRRETCNABPAG", std::move(v)); }
  Slip& Unmarked() { return Set("IDMARCADO", "N"); }
  Slip& Branch(std::string v) { return Set("CDFILIBPAG", std::move(v)); }
  // Tax guides.
  Slip& Revenue(std::string code) { return Set("CDRECEITAGUIA", std::move(code)); }
  Slip& Period(std::string iso) { return Set("DTAPURACGUIA", std::move(iso)); }
  Slip& Reference(std::string v) { return Set("NRREFEGUIA", std::move(v)); }
  Slip& Other(std::string v) { return Set("VROUTRENTGUIA", std::move(v)); }
  Slip& Fine(std::string v) { return Set("VRMULTABPAG", std::move(v)); }
  Slip& Interest(std::string v) { return Set("VRMORDIABPAG", std::move(v)); }
  Slip& Percentage(std::string v) { return Set("VRPERCENTTRIB", std::move(v)); }
  Slip& StateRegistration(std::string v) { return Set("CDINSCESTA", std::move(v)); }
  Slip& Instalment(std::string v) { return Set("NRPARCELNOTIFIC", std::move(v)); }
  Slip& Seal(std::string number, std::string digits) {
    Set("NRLACRCONECTSOC", std::move(number));
    return Set("NRDIGICONECTSOC", std::move(digits));
  }
  // The payable's document behind a DARJ (GetCntPagar).
  Slip& Document(std::string v) {
    document = std::move(v);
    return *this;
  }

  std::map<std::string, std::string> f{
      {"IDMARCADO", "S"},          {"CDFILIBPAG", "0001"},        {"CDFORNECED", "F001"},
      {"NMRAZSOCFORN", "Fornecedor Padrão Ltda"}, {"IDTPIJURFORN", "J"}, {"NRINSJURFORN", "11.222.333/0001-81"},
      {"DTVENBOLPAG", "2026-12-10"}, {"CDBANCCNAB", "001"},
  };
  std::string document;
};

// The remittance and what the server and the screen know about it.
struct Remittance {
  std::string movement = "I";          // IDOPECNABPAG
  std::string branch;                  // CDFILIAL: empty for the company
  bool branchLoaded = false;           // cdsFilial already opened by the screen
  std::string accountIdent = "000123456";  // GetIdConta; empty to fall back to GetEmprBanc
  std::string agreement = "987654321";     // CDEMPBANCPAG of GetEmprBanc
  std::string sequence = "0000000042";     // NRSEQREMESSAPAG
  std::string companyRegistration = "12.345.678/0001-95";
  std::string accountPicture = "9999999-9";
};

// The host's local database: the suppliers' addresses.
class FakeLocalDb : public LocalDatabase {
 public:
  std::map<std::string, std::vector<std::string>> addresses;  // supplier -> DSENDEFORN, NMBAIRFORN, NMMUNICIPIO, NRCEPFORN, SGESTADO
  int queries = 0;

  Packet Query(const std::string& name, const QueryParams& params) override;
  bool AcessoOperEmpresa(const std::string&, const std::string&) override { return true; }
};

class BbRun {
 public:
  BbRun(const Remittance& remittance, const std::vector<Slip>& slips);
  // Remessa_BcoBrasil over the remittance.
  void Run();
  const std::string& content() const { return sink.content(); }

  RemessaData d;
  std::shared_ptr<FakeTransport> transport = std::make_shared<FakeTransport>();
  TNetConnection net{transport};
  FakeLocalDb localdb;
  Session session;
  ScriptedDialogs dialogs;
  MemorySink sink;
  WriterContext ctx{d, net, localdb, session, dialogs, sink, "01", "001", "001", 0, {}};
};

}  // namespace pag::testing
