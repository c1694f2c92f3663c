#include "bradesco_fixture.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <stdexcept>

#include "writers/Cli_pag00103.h"

namespace pag::testing {
namespace {

// A packet whose columns are all text, as a server or a query answers it
// before the dataset converts each value to its field's kind.
Packet TextRows(const std::vector<std::string>& names, const std::vector<std::vector<std::string>>& rows) {
  Packet p;
  p.fields.reserve(names.size());
  std::transform(names.begin(), names.end(), std::back_inserter(p.fields),
                 [](const std::string& name) { return FieldDef{name, FieldKind::kString, 0, 0}; });
  p.rows.reserve(rows.size());
  for (const auto& texts : rows) p.rows.emplace_back(texts.begin(), texts.end());
  return p;
}

const std::vector<std::string> kBranchColumns = {"CDFILIAL", "NMFILIAL", "IDTPIJURFILI", "NRINSJURFILI",
                                                 "NMRAZSOCFILI"};
const std::vector<std::string> kBranchRow = {"0002", "Filial Campinas", "J", "12.345.678/0002-76",
                                             "Comércio São João — Filial Campinas"};

// The slips as the server's packet: a column for every field any slip
// sets, empty where a slip does not; the paying bank is Bradesco's.
Packet SlipRows(const std::vector<Slip>& slips) {
  std::set<std::string> names;
  for (const auto& slip : slips)
    for (const auto& field : slip.f) names.insert(field.first);
  names.insert("CDBANCCNAB");
  Packet p;
  for (const auto& name : names) p.fields.push_back({name, FieldKind::kString, 0, 0});
  for (const auto& slip : slips) {
    std::vector<Value>& row = p.rows.emplace_back();
    for (const auto& name : names) {
      const auto it = slip.f.find(name);
      row.emplace_back(name == "CDBANCCNAB" ? "237" : it == slip.f.end() ? std::string() : it->second);
    }
  }
  return p;
}

}  // namespace

Packet BradescoLocalDb::Query(const std::string& name, const QueryParams& params) {
  if (name == "qryEndeForn") {
    const std::string supplier = ValueToText(params.at("CDFORNECED"));
    queries.push_back(name + " " + supplier);
    std::vector<std::vector<std::string>> rows;
    if (auto it = addresses.find(supplier); it != addresses.end())
      rows.push_back({supplier, "C", it->second.first, it->second.second});
    return TextRows({"CDFORNECED", "IDTPENDEFORN", "DSENDEFORN", "NRCEPFORN"}, rows);
  }
  if (name == "qryMascBancoForn") {
    const std::string bank = ValueToText(params.at("P_CDBANCO"));
    queries.push_back(name + " " + bank);
    std::vector<std::vector<std::string>> rows;
    if (auto it = pictures.find(bank); it != pictures.end()) rows.push_back({it->second.second, it->second.first});
    return TextRows({"CDPICTCONT", "CDPICTAGEN"}, rows);
  }
  throw std::invalid_argument("unexpected query " + name);
}

BradescoRun::BradescoRun(const BradescoRemittance& r, const std::vector<Slip>& slips) {
  session.empresa = "01";
  session.filial = "0001";
  session.clock.Fix(DateTime::Make(2026, 12, 6, 14, 30, 5));
  session.processing_dates["0001"] = MakeDate(2026, 12, 7);
  ctx.tpRemessaIndex = r.kind;

  d.cdsCNABPag.LoadPacket(TextRows({"CDEMPRESA", "CDBANCO", "CDREDUCONT", "IDOPECNABPAG", "NRSEQREMESSAPAG",
                                    "CDFILIAL", "CDBANCCNAB", "IDAGENREMCNABPAG", "IDTPREMCNABPAG"},
                                   {{"01", "237", "001", r.movement, r.sequence, r.branch, "237", r.schedule,
                                     r.kind > 0 ? "2" : "1"}}));
  d.cdsEmpresa.LoadPacket(TextRows({"CDEMPRESA", "NMEMPRESA", "IDTPIJUREMPR", "NMRAZSOCEMPR", "NRINSJUREMPR"},
                                   {{"01", "Comércio & Indústria São João", r.companyType,
                                     "Comércio e Indústria São João de Peças e Serviços Ltda",
                                     r.companyRegistration}}));
  d.cdsContaCorrente.LoadPacket(TextRows({"CDREDUCONT", "CDBANCO", "CDAGENCIA", "CDPICTAGEN", "CDCONTCORR",
                                          "CDPICTCONT", "NMBANCO", "CDBANCCNAB", "CDCEDENTEBAN"},
                                         {{"001", "237", r.agency, "9999-9", r.account, r.accountPicture,
                                           "Banco Bradesco S.A.", "237", r.cedente}}));
  d.cdsEmprBanc.LoadPacket(TextRows({"CDEMPBANCPAG", "IDPADRCNABPAG", "IDCONSDTENVREM"},
                                    {{r.agreement, "1", r.sendDate}}));
  if (r.branchLoaded) d.cdsFilial.LoadPacket(TextRows(kBranchColumns, {kBranchRow}));

  localdb.addresses["F001"] = {"Rua Augusta, 1500 - Conjunto 12", "01304-001"};
  localdb.addresses["F002"] = {"Av. Presidente Vargas, 3000", "20071-004"};
  localdb.addresses["F003"] = {"Rua XV de Novembro, 50", "80020"};
  localdb.addresses["F004"] = {"Estrada do Açude, km 7 — Sítio Boa Esperança & Cia", "13.250-000"};
  localdb.pictures["237"] = {"9999-9", "9999999-9"};
  localdb.pictures["341"] = {"9999", "99999-9"};
  localdb.pictures["001"] = {"9999-9", "99999999-9"};
  localdb.pictures["033"] = {"9999", "999999999"};
  // Caixa (104) has no pictures: the values decide.

  d.cdsBoletos.LoadPacket(SlipRows(slips));
  d.cdsBoletos.SetIndexName("idxGeraRemessa");
  for (const auto& slip : slips) values_[slip.f.at("NRLANBOLPAG")] = slip.f.at("VRFINALBPAG");

  transport->handlers["GetIdConta"] = [ident = r.accountIdent](std::vector<Arg>&) {
    return Reply::OfPacket(OneColumn("CDIDPAGCONTCORR", {ident}));
  };
  transport->handlers["GetEmprBanc"] = [r](std::vector<Arg>&) {
    return Reply::OfPacket(
        TextRows({"CDEMPBANCPAG", "IDPADRCNABPAG", "IDCONSDTENVREM"}, {{r.agreement, "1", r.sendDate}}));
  };
  transport->handlers["GetFilial"] = [](std::vector<Arg>& a) {
    if (a.at(0).text() != "0002" || a.at(1).text() != "01") return Reply::OfPacket(TextRows(kBranchColumns, {}));
    return Reply::OfPacket(TextRows(kBranchColumns, {kBranchRow}));
  };
  transport->handlers["GetVrDocumento"] = [this](std::vector<Arg>& a) {
    return Reply::OfPacket(TextRows({"VRDOC"}, {{values_.at(a.at(1).text())}}));
  };
  transport->handlers["GetDocBole"] = [this](std::vector<Arg>& a) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& [number, series] : invoices_[a.at(1).text()]) rows.push_back({number, "2026-11-20", series});
    return Reply::OfPacket(TextRows({"NRNOTAFISC", "DTEMISSAO", "CDSERIEENTR"}, rows));
  };
}

void BradescoRun::DocumentValue(const std::string& entry, std::string value) {
  values_[Slip::Pad(entry)] = std::move(value);
}

void BradescoRun::Invoices(const std::string& entry, std::vector<std::pair<std::string, std::string>> numberAndSeries) {
  invoices_[Slip::Pad(entry)] = std::move(numberAndSeries);
}

void BradescoRun::Run() { Remessa_BcoBradesco(ctx); }

std::vector<std::string> Lines(const std::string& content) {
  constexpr std::size_t kLine = 500 + 2;  // the record and CR LF
  std::vector<std::string> out;
  for (std::size_t at = 0; at < content.size(); at += kLine) out.push_back(content.substr(at, kLine - 2));
  return out;
}

std::string Cut(const std::string& line, int from, int to) {
  return line.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1));
}

}  // namespace pag::testing
