#include "itau_fixture.h"

#include <algorithm>
#include <stdexcept>

#include "writers/Cli_pag00104.h"

namespace pag::testing {
namespace {

Packet TextRows(const std::vector<std::string>& fields, const std::vector<std::vector<std::string>>& rows) {
  Packet p;
  for (const auto& f : fields) p.fields.push_back({f, FieldKind::kString, 0, 0});
  for (const auto& r : rows) p.rows.emplace_back(r.begin(), r.end());
  return p;
}

const std::vector<std::string> kBranchFields = {"CDFILIAL", "NMFILIAL", "IDTPIJURFILI", "NRINSJURFILI",
                                                "DSENDEFILI", "NMMUNICIPIO", "NRCEPFILI", "SGESTADO"};
std::vector<std::string> BranchRow(const std::string& registration) {
  return {"0002", "Filial Campinas — Distribuição", "J", registration, "Av. Brasil, 500 - Galpão 3", "Campinas",
          "13000-000", "SP"};
}

}  // namespace

Packet MaskDb::Query(const std::string& name, const QueryParams& params) {
  if (name != "qryMascBancoForn") throw std::invalid_argument("unexpected query " + name);
  const std::string bank = ValueToText(params.at("P_CDBANCO"));
  asked.push_back(bank);
  std::vector<std::vector<std::string>> rows;
  if (auto it = masks.find(bank); it != masks.end()) rows.push_back({it->second.second, it->second.first});
  return TextRows({"CDPICTCONT", "CDPICTAGEN"}, rows);
}

ItauRun::ItauRun(const ItauRemittance& r, const std::vector<ItauSlip>& slips) {
  session.empresa = "01";
  session.filial = "0001";
  session.clock.Fix(DateTime::Make(2026, 12, 6, 14, 30, 5));
  session.processing_dates["0001"] = MakeDate(2026, 12, 7);
  localdb.masks = r.masks;

  d.cdsCNABPag.LoadPacket(TextRows({"CDEMPRESA", "CDBANCO", "CDREDUCONT", "IDOPECNABPAG", "NRSEQREMESSAPAG",
                                    "CDFILIAL", "CDBANCCNAB", "DSARQCNABPAG", "DTPAGREM"},
                                   {{"01", "341", "001", r.movement, "0000000042", r.branch, "341", "/tmp/itau.rem",
                                     r.payDate}}));
  d.cdsEmpresa.LoadPacket(TextRows({"CDEMPRESA", "NMEMPRESA", "IDTPIJUREMPR", "NMRAZSOCEMPR", "DSENDEEMPR",
                                    "NMMUNICIPIO", "NRCEPEMPR", "SGESTADO", "NRINSJUREMPR"},
                                   {{"01", "Comércio & Indústria São João", "J",
                                     "Comércio e Indústria São João de Peças e Serviços Ltda",
                                     "Rua da Consolação, 1000 - 5º andar", "São Paulo", "01301-000", "SP",
                                     r.companyRegistration}}));
  d.cdsContaCorrente.LoadPacket(TextRows({"CDREDUCONT", "CDBANCO", "CDAGENCIA", "CDPICTAGEN", "CDCONTCORR",
                                          "CDPICTCONT", "NMBANCO", "CDBANCCNAB"},
                                         {{"001", "341", "0911", "9999", "123456", r.accountPicture,
                                           "Banco Itaú Unibanco S.A.", "341"}}));
  if (r.branchLoaded) d.cdsFilial.LoadPacket(TextRows(kBranchFields, {BranchRow(r.branchRegistration)}));

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
  d.cdsBoletos.LoadPacket(TextRows(fields, rows));
  d.cdsBoletos.SetIndexName("idxGeraRemessa");
  d.inQtBol = static_cast<int>(std::count_if(slips.begin(), slips.end(),
                                             [](const ItauSlip& s) { return s.f.at("IDMARCADO") == "S"; }));

  std::map<std::string, std::string> documents;
  for (const auto& slip : slips) documents[slip.f.at("NRLANBOLPAG")] = slip.document;
  transport->handlers["GetFilial"] = [registration = r.branchRegistration](std::vector<Arg>& a) {
    if (a.at(0).text() != "0002" || a.at(1).text() != "01") return Reply::OfPacket(TextRows(kBranchFields, {}));
    return Reply::OfPacket(TextRows(kBranchFields, {BranchRow(registration)}));
  };
  transport->handlers["GetCntPagar"] = [documents](std::vector<Arg>& a) {
    auto it = documents.find(a.at(1).text());
    std::vector<std::vector<std::string>> rows;
    if (it != documents.end() && !it->second.empty()) rows.push_back({a.at(0).text(), it->second});
    return Reply::OfPacket(TextRows({"FILORIG", "DOCUMENTO"}, rows));
  };
}

void ItauRun::Run() { Remessa_BcoItau(ctx); }

}  // namespace pag::testing
