#include "santander_fixture.h"

#include <algorithm>
#include <stdexcept>

#include "writers/Cli_pag00113.h"

namespace pag::testing {
namespace {

Packet Table(const std::vector<std::string>& fields, const std::vector<std::vector<std::string>>& rows) {
  Packet p;
  for (const auto& f : fields) p.fields.push_back({f, FieldKind::kString, 0, 0});
  for (const auto& r : rows) p.rows.emplace_back(r.begin(), r.end());
  return p;
}

const std::vector<std::string> kBranchFields = {"CDFILIAL", "NMFILIAL", "IDTPIJURFILI", "NRINSJURFILI"};
const std::vector<std::string> kBranchRow = {"0002", "  Filial Campinas Distribuição", "J", "12.345.678/0002-76"};

}  // namespace

Slip PixSlip(std::string mode, std::string entry, std::string value, std::string keyType, std::string key) {
  Slip s(std::move(mode), std::move(entry), std::move(value));
  s.Set("IDCHAVEPIX", std::move(keyType));
  s.Set("CHAVEPIX", std::move(key));
  return s;
}

SantanderLocalDb::SantanderLocalDb() {
  addresses["F001"] = {"Rua Augusta, 1500 - Conjunto 12", "Consolação", "São Paulo", "01304-001", "SP"};
  addresses["F002"] = {"Av. Presidente Vargas, 3000", "Centro", "Rio de Janeiro", "20071004", "RJ"};
  addresses["F003"] = {"Rua XV de Novembro, 50", "Centro", "Curitiba", "80", "PR"};
  addresses["F004"] = {"Estrada do Açude, km 7 — Sítio Boa Esperança & Cia", "Zona Rural de Ibiúna — Sítio",
                       "São José dos Campos do Norte", "", "sp"};
  // The banks' pictures, as the host's bank table keeps them.
  pictures["033"] = {"9999", "99999999-9"};
  pictures["237"] = {"9999-9", "9999999-9"};
  pictures["341"] = {"9999", "99999-9"};
  pictures["104"] = {"9999", ""};
  pictures["756"] = {"", "999999-9"};
  pictures["422"] = {"99999", "99999-99"};
  pictures["748"] = {"9999", "9999999999"};
}

Packet SantanderLocalDb::Query(const std::string& name, const QueryParams& params) {
  ++queries[name];
  if (name == "qryEndeForn") {
    const std::string supplier = ValueToText(params.at("CDFORNECED"));
    std::vector<std::vector<std::string>> rows;
    if (auto it = addresses.find(supplier); it != addresses.end()) {
      std::vector<std::string> row = {supplier, "C"};
      row.insert(row.end(), it->second.begin(), it->second.end());
      rows.push_back(row);
    }
    return Table({"CDFORNECED", "IDTPENDEFORN", "DSENDEFORN", "NMBAIRFORN", "NMMUNICIPIO", "NRCEPFORN", "SGESTADO"},
                 rows);
  }
  if (name == "qryMascBancoForn") {
    std::vector<std::vector<std::string>> rows;
    if (auto it = pictures.find(ValueToText(params.at("P_CDBANCO"))); it != pictures.end())
      rows.push_back({it->second.second, it->second.first});
    return Table({"CDPICTCONT", "CDPICTAGEN"}, rows);
  }
  throw std::invalid_argument("unexpected query " + name);
}

SantanderRun::SantanderRun(const SantanderRemittance& r, const std::vector<Slip>& slips)
    : ctx{d, net, localdb, session, dialogs, sink, "01", "001", r.bank, 0, {}} {
  session.empresa = "01";
  session.filial = "0001";
  session.clock.Fix(DateTime::Make(2026, 12, 6, 14, 30, 5));
  session.processing_dates["0001"] = MakeDate(2026, 12, 7);

  d.cdsCNABPag.LoadPacket(Table({"CDEMPRESA", "CDBANCO", "CDREDUCONT", "IDOPECNABPAG", "NRSEQREMESSAPAG", "CDFILIAL",
                                 "CDBANCCNAB", "DSARQCNABPAG"},
                                {{"01", r.bank, "001", r.movement, "0000000042", r.branch, r.bank, "/tmp/s.rem"}}));
  d.cdsEmpresa.LoadPacket(Table({"CDEMPRESA", "NMEMPRESA", "IDTPIJUREMPR", "NMRAZSOCEMPR", "NRINSJUREMPR"},
                                {{"01", "Comércio & Indústria São João", "J",
                                  "Comércio e Indústria São João de Peças e Serviços Ltda",
                                  r.companyRegistration}}));
  d.cdsContaCorrente.LoadPacket(Table({"CDREDUCONT", "CDBANCO", "CDAGENCIA", "CDPICTAGEN", "CDCONTCORR", "CDPICTCONT",
                                       "NMBANCO", "CDBANCCNAB", "IDFASCNABPAG"},
                                      {{"001", r.bank, r.agency, "9999", r.account, r.accountPicture,
                                        "Banco Santander (Brasil) S.A.", r.bank, r.phase}}));

  std::vector<std::string> fields;
  for (const auto& slip : slips)
    for (const auto& [k, v] : slip.f)
      if (std::find(fields.begin(), fields.end(), k) == fields.end()) fields.push_back(k);
  std::vector<std::vector<std::string>> rows;
  for (const auto& slip : slips) {
    std::vector<std::string> row;
    for (const auto& k : fields) {
      auto it = slip.f.find(k);
      row.push_back(k == "CDBANCCNAB" ? r.bank : it == slip.f.end() ? std::string() : it->second);
    }
    rows.push_back(row);
  }
  d.cdsBoletos.LoadPacket(Table(fields, rows));
  d.cdsBoletos.SetIndexName("idxGeraRemessa");
  d.inQtBol = static_cast<int>(std::count_if(slips.begin(), slips.end(), [](const Slip& s) {
    return s.f.at("IDMARCADO") == "S";
  }));

  transport->handlers["GetIdConta"] = [ident = r.accountIdent](std::vector<Arg>&) {
    return Reply::OfPacket(OneColumn("CDIDPAGCONTCORR", {ident}));
  };
  transport->handlers["GetEmprBanc"] = [agreement = r.agreement](std::vector<Arg>&) {
    return Reply::OfPacket(OneColumn("CDEMPBANCPAG", {agreement}));
  };
  transport->handlers["GetFilial"] = [](std::vector<Arg>& a) {
    if (a.at(0).text() != "0002" || a.at(1).text() != "01") return Reply::OfPacket(Table(kBranchFields, {}));
    return Reply::OfPacket(Table(kBranchFields, {kBranchRow}));
  };
  transport->handlers["ProximoCodigo"] = [counter = r.counter](std::vector<Arg>& a) {
    if (a.at(0).text() != "FaseCNABPag") return Reply::Error("unexpected counter " + a.at(0).text());
    return Reply::Text(counter);
  };
  transport->handlers["UpDatePrx"] = [this](std::vector<Arg>& a) {
    counterReset = a.at(0).text();
    return Reply();
  };
  transport->handlers["UpDateCC"] = [](std::vector<Arg>&) { return Reply(); };
  transport->handlers["GetDocBole"] = [this](std::vector<Arg>& a) {
    std::vector<std::vector<std::string>> rows;
    if (auto it = documents.find(a.at(1).text()); it != documents.end())
      rows.push_back({it->second.first, "2026-11-20", it->second.second});
    return Reply::OfPacket(Table({"NRNOTAFISC", "DTEMISSAO", "CDSERIEENTR"}, rows));
  };
}

void SantanderRun::Run() { Remessa_Santander(ctx); }

}  // namespace pag::testing
