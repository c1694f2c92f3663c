// An Itaú remittance as the confirmation hands it to the writer: the
// screen's datasets filled from packets (slips in index idxGeraRemessa), a
// scripted server, the host's local database with the banks' agency and
// account masks, a session with a fixed clock, scripted dialogs and a memory
// sink.
//
//   ItauRun run({.movement = "E"}, {ItauSlip("T", "11", "1500.00").Bank("237").Account("98765-4")});
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
#include "writers/cnab/output_file.h"

namespace pag::testing {

// One slip of cdsBoletos; every field as the server's packet carries it
// (text; empty for none).
struct ItauSlip {
  ItauSlip(std::string mode, const std::string& entry, std::string value) {
    f["IDBAIXAUTILP"] = std::move(mode);
    f["NRLANBOLPAG"] = std::string(entry.size() < 10 ? 10 - entry.size() : 0, '0') + entry;
    f["VRFINALBPAG"] = std::move(value);
  }
  ItauSlip& Set(const std::string& field, std::string v) {
    f[field] = std::move(v);
    return *this;
  }
  ItauSlip& Barcode(std::string v) { return Set("CDBARRAPAG", std::move(v)); }
  ItauSlip& TypedLine(std::string v) { return Set("DSLINHBARPAG", std::move(v)); }
  ItauSlip& Bank(std::string v) { return Set("CDBANCBOLP", std::move(v)); }
  ItauSlip& Agency(std::string v) { return Set("CDAGENBOLP", std::move(v)); }
  ItauSlip& Account(std::string v) { return Set("CDCCORBOLP", std::move(v)); }
  ItauSlip& Name(std::string v) { return Set("NMRAZSOCFORN", std::move(v)); }
  ItauSlip& Registration(std::string type, std::string number) {
    Set("IDTPIJURFORN", std::move(type));
    return Set("NRINSJURFORN", std::move(number));
  }
  ItauSlip& FileRegistration(std::string type, std::string number) {
    Set("IDTPICNABBOP", std::move(type));
    return Set("NRINSCNABBOP", std::move(number));
  }
  ItauSlip& Due(std::string iso) { return Set("DTVENBOLPAG", std::move(iso)); }
  ItauSlip& DocLimit(std::string v) { return Set("VRMAXDOCCNAB", std::move(v)); }
  ItauSlip& BankNumber(std::string v) { return Set("NRRETCNABPAG", std::move(v)); }
  ItauSlip& OurNumber(std::string v) { return Set("CDNOSNUMPAG", std::move(v)); }
  ItauSlip& Unmarked() { return Set("IDMARCADO", "N"); }
  ItauSlip& Branch(std::string v) { return Set("CDFILIBPAG", std::move(v)); }
  ItauSlip& PixKey(std::string type, std::string key) {
    Set("IDCHAVEPIX", std::move(type));
    return Set("CHAVEPIX", std::move(key));
  }
  ItauSlip& QrCode(std::string v) { return Set("CODEQRPIX", std::move(v)); }
  // Tax guides.
  ItauSlip& Revenue(std::string code) { return Set("CDRECEITAGUIA", std::move(code)); }
  ItauSlip& Period(std::string iso) { return Set("DTAPURACGUIA", std::move(iso)); }
  ItauSlip& Reference(std::string v) { return Set("NRREFEGUIA", std::move(v)); }
  ItauSlip& Other(std::string v) { return Set("VROUTRENTGUIA", std::move(v)); }
  ItauSlip& Fine(std::string v) { return Set("VRMULTABPAG", std::move(v)); }
  ItauSlip& Interest(std::string v) { return Set("VRMORDIABPAG", std::move(v)); }
  ItauSlip& Percentage(std::string v) { return Set("VRPERCENTTRIB", std::move(v)); }
  ItauSlip& StateRegistration(std::string v) { return Set("CDINSCESTA", std::move(v)); }
  ItauSlip& Instalment(std::string v) { return Set("NRPARCELNOTIFIC", std::move(v)); }
  ItauSlip& Seal(std::string number, std::string digits) {
    Set("NRLACRCONECTSOC", std::move(number));
    return Set("NRDIGICONECTSOC", std::move(digits));
  }
  // The payable's document behind a DARJ (GetCntPagar).
  ItauSlip& Document(std::string v) {
    document = std::move(v);
    return *this;
  }

  std::map<std::string, std::string> f{
      {"IDMARCADO", "S"},
      {"CDFILIBPAG", "0001"},
      {"CDFORNECED", "F001"},
      {"NMRAZSOCFORN", "Fornecedor Padrão Ltda"},
      {"IDTPIJURFORN", "J"},
      {"NRINSJURFORN", "11.222.333/0001-81"},
      {"DTVENBOLPAG", "2026-12-10"},
      {"CDBANCCNAB", "341"},
      {"VRMAXDOCCNAB", "4999.99"},
  };
  std::string document;
};

// The remittance and what the server, the screen and the host's database
// know about it.
struct ItauRemittance {
  std::string movement = "I";  // IDOPECNABPAG
  std::string branch;          // CDFILIAL: empty for the company
  bool branchLoaded = false;   // cdsFilial already opened by the screen
  std::string payDate;         // DTPAGREM: empty for none
  std::string companyRegistration = "12.345.678/0001-95";
  std::string branchRegistration = "12.345.678/0002-76";
  std::string accountPicture = "99999-9";
  // The banks' masks (qryMascBancoForn): bank -> agency mask, account mask.
  std::map<std::string, std::pair<std::string, std::string>> masks = {
      {"341", {"9999", "99999-9"}},
      {"237", {"9999-9", "9999999-9"}},
      {"001", {"9999", "99999999"}},
  };
};

// The host's local database: the banks' masks.
class MaskDb : public LocalDatabase {
 public:
  std::map<std::string, std::pair<std::string, std::string>> masks;
  std::vector<std::string> asked;  // P_CDBANCO of each query

  Packet Query(const std::string& name, const QueryParams& params) override;
  bool AcessoOperEmpresa(const std::string&, const std::string&) override { return true; }
};

class ItauRun {
 public:
  ItauRun(const ItauRemittance& remittance, const std::vector<ItauSlip>& slips);
  // Remessa_BcoItau over the remittance.
  void Run();
  const std::string& content() const { return sink.content(); }

  RemessaData d;
  std::shared_ptr<FakeTransport> transport = std::make_shared<FakeTransport>();
  TNetConnection net{transport};
  MaskDb localdb;
  Session session;
  ScriptedDialogs dialogs;
  MemorySink sink;
  WriterContext ctx{d, net, localdb, session, dialogs, sink, "01", "001", "341", 0, {}};
};

}  // namespace pag::testing
