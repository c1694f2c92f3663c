#include "bb_fixture.h"

#include <algorithm>
#include <stdexcept>

#include "writers/Cli_pag00114.h"

namespace pag::testing {
namespace {

Packet Rows(const std::vector<std::string>& fields, const std::vector<std::vector<std::string>>& rows) {
  Packet p;
  for (const auto& f : fields) p.fields.push_back({f, FieldKind::kString, 0, 0});
  for (const auto& r : rows) {
    std::vector<Value> values;
    for (const auto& v : r) values.emplace_back(v);
    p.rows.push_back(std::move(values));
  }
  return p;
}

const std::vector<std::string> kBranchFields = {"CDFILIAL", "NMFILIAL", "IDTPIJURFILI", "NRINSJURFILI",
                                                "DSENDEFILI", "NMMUNICIPIO", "NRCEPFILI", "SGESTADO"};
const std::vector<std::string> kBranchRow = {"0002", "Filial Campinas — Distribuição", "J", "12.345.678/0002-76",
                                             "Av. Brasil, 500 - Galpão 3", "Campinas", "13000-000", "SP"};

}  // namespace

Packet FakeLocalDb::Query(const std::string& name, const QueryParams& params) {
  if (name != "qryEndeForn") throw std::invalid_argument("unexpected query " + name);
  ++queries;
  const std::string supplier = ValueToText(params.at("CDFORNECED"));
  std::vector<std::vector<std::string>> rows;
  auto it = addresses.find(supplier);
  if (it != addresses.end()) {
    std::vector<std::string> row = {supplier, "C"};
    row.insert(row.end(), it->second.begin(), it->second.end());
    rows.push_back(row);
  }
  return Rows({"CDFORNECED", "IDTPENDEFORN", "DSENDEFORN", "NMBAIRFORN", "NMMUNICIPIO", "NRCEPFORN", "SGESTADO"},
              rows);
}

BbRun::BbRun(const Remittance& r, const std::vector<Slip>& slips) {
  session.empresa = "01";
  session.filial = "0001";
  session.clock.Fix(DateTime::Make(2026, 12, 6, 14, 30, 5));
  session.processing_dates["0001"] = MakeDate(2026, 12, 7);

  d.cdsCNABPag.LoadPacket(Rows({"CDEMPRESA", "CDBANCO", "CDREDUCONT", "IDOPECNABPAG", "NRSEQREMESSAPAG", "CDFILIAL",
                                "CDBANCCNAB", "DSARQCNABPAG"},
                               {{"01", "001", "001", r.movement, r.sequence, r.branch, "001", "/tmp/bb.rem"}}));
  d.cdsEmpresa.LoadPacket(Rows({"CDEMPRESA", "NMEMPRESA", "IDTPIJUREMPR", "NMRAZSOCEMPR", "DSENDEEMPR", "NMMUNICIPIO",
                                "NRCEPEMPR", "SGESTADO", "NRINSJUREMPR"},
                               {{"01", "Comércio & Indústria São João", "J",
                                 "Comércio e Indústria São João de Peças e Serviços Ltda",
                                 "Rua da Consolação, 1000 - 5º andar", "São Paulo", "01301-000", "SP",
                                 r.companyRegistration}}));
  d.cdsContaCorrente.LoadPacket(Rows({"CDREDUCONT", "CDBANCO", "CDAGENCIA", "CDPICTAGEN", "CDCONTCORR", "CDPICTCONT",
                                      "NMBANCO", "CDBANCCNAB"},
                                     {{"001", "001", "12345", "9999-9", "12345678", r.accountPicture,
                                       "Banco do Brasil S.A.", "001"}}));
  if (r.branchLoaded) d.cdsFilial.LoadPacket(Rows(kBranchFields, {kBranchRow}));

  localdb.addresses["F001"] = {"Rua Augusta, 1500 - Conjunto 12", "Consolação", "São Paulo", "01304-001", "SP"};
  localdb.addresses["F002"] = {"Av. Presidente Vargas, 3000", "Centro", "Rio de Janeiro", "20071-004", "RJ"};
  localdb.addresses["F003"] = {"Rua XV de Novembro, 50", "Centro", "Curitiba", "80020", "PR"};
  localdb.addresses["F004"] = {"Estrada do Açude, km 7 — Sítio Boa Esperança & Cia", "Zona Rural de Ibiúna — Sítio",
                               "São José dos Campos do Norte", "", "sp"};

  std::vector<std::string> fields;
  for (const auto& slip : slips)
    for (const auto& [k, v] : slip.f)
      if (std::find(fields.begin(), fields.end(), k) == fields.end()) fields.push_back(k);
  std::vector<std::vector<std::string>> rows;
  for (const auto& slip : slips) {
    std::vector<std::string> row;
    for (const auto& k : fields) {
      auto it = slip.f.find(k);
      row.push_back(it == slip.f.end() ? std::string() : it->second);
    }
    rows.push_back(row);
  }
  d.cdsBoletos.LoadPacket(Rows(fields, rows));
  d.cdsBoletos.SetIndexName("idxGeraRemessa");

  std::map<std::string, std::string> documents;
  for (const auto& slip : slips) documents[slip.f.at("NRLANBOLPAG")] = slip.document;

  transport->handlers["GetIdConta"] = [ident = r.accountIdent](std::vector<Arg>&) {
    return Reply::OfPacket(OneColumn("CDIDPAGCONTCORR", {ident}));
  };
  transport->handlers["GetEmprBanc"] = [agreement = r.agreement](std::vector<Arg>&) {
    return Reply::OfPacket(OneColumn("CDEMPBANCPAG", {agreement}));
  };
  transport->handlers["GetFilial"] = [](std::vector<Arg>& a) {
    if (a.at(0).text() != "0002" || a.at(1).text() != "01") return Reply::OfPacket(Rows(kBranchFields, {}));
    return Reply::OfPacket(Rows(kBranchFields, {kBranchRow}));
  };
  transport->handlers["GetCntPagar"] = [documents](std::vector<Arg>& a) {
    auto it = documents.find(a.at(1).text());
    std::vector<std::vector<std::string>> rows;
    if (it != documents.end() && !it->second.empty()) rows.push_back({a.at(0).text(), it->second});
    return Reply::OfPacket(Rows({"FILORIG", "DOCUMENTO"}, rows));
  };
}

void BbRun::Run() { Remessa_BcoBrasil(ctx); }

}  // namespace pag::testing
