#include "host/server/catalog.h"

namespace pag::catalog {

namespace {

Column Txt(std::string_view n, int size) { return Column{n, Kind::kText, size}; }
Column Key(std::string_view n, int size) { return Column{n, Kind::kText, size, true, true}; }
Column Req(std::string_view n, int size) { return Column{n, Kind::kText, size, false, true}; }
Column Code(std::string_view n, int size, std::string_view codes, bool required = false) {
  Column c{n, Kind::kCode, size};
  c.codes = codes;
  c.required = required;
  return c;
}
Column Int(std::string_view n, bool required = false) { return Column{n, Kind::kInteger, 0, false, required}; }
Column Amt(std::string_view n, bool required = false) { return Column{n, Kind::kAmount, 0, false, required}; }
Column Dt(std::string_view n, bool required = false) { return Column{n, Kind::kDate, 0, false, required}; }
Column DtTm(std::string_view n, bool required = false) { return Column{n, Kind::kDateTime, 0, false, required}; }
Column Default(Column c, std::string_view value) {
  c.default_value = value;
  return c;
}
Column From(Column c, std::string_view field) {
  c.default_from = field;
  return c;
}
Column KeyOf(Column c) {
  c.key = true;
  c.required = true;
  return c;
}

std::vector<Table> Build() {
  std::vector<Table> t;
  t.push_back({"companies", "EMPRESA",
               {Key("CDEMPRESA", 2), Req("NMEMPRESA", 40), Code("IDTPIJUREMPR", 1, "J|F"),
                Txt("NMRAZSOCEMPR", 80), Txt("DSENDEEMPR", 50), Txt("CDPAIS", 4), Txt("SGESTADO", 2),
                Txt("CDMUNICIPIO", 4), Txt("NMMUNICIPIO", 30), Txt("NRINSJUREMPR", 20), Txt("NRCEPEMPR", 15),
                Code("IDOPTSIMPLES", 1, "S|N"), Txt("CDCENTCUST", 10)},
               {}});
  t.push_back({"branches", "FILIAL",
               {Key("CDFILIAL", 4), Req("CDEMPRESA", 2), Req("NMFILIAL", 30), Code("IDTPIJURFILI", 1, "J|F"),
                Txt("NRINSJURFILI", 20), Txt("NMRAZSOCFILI", 40), Txt("SGESTADO", 2), Txt("CDMUNICIPIO", 4),
                Txt("NMMUNICIPIO", 30), Txt("DSENDEFILI", 50), Txt("NMBAIRFILI", 30), Txt("NRCEPFILI", 15)},
               {{{"CDEMPRESA"}, "companies"}}});
  t.push_back({"branch_params", "PARAMFILIAL",
               {Key("CDFILIAL", 4), Txt("NRTAMNUMNFUT", 2)},
               {{{"CDFILIAL"}, "branches"}}});
  t.push_back({"banks", "BANCO",
               {Key("CDBANCO", 3), Req("NMBANCO", 30), From(Txt("CDBANCCNAB", 3), "CDBANCO"), Txt("CDPICTCONT", 20),
                Txt("CDPICTAGEN", 10)},
               {}});
  t.push_back({"accounts", "CONTCORR",
               {Key("CDREDUCONT", 3), Req("CDEMPRESA", 2), Req("CDBANCO", 3), Txt("CDAGENCIA", 5),
                Txt("CDCONTCORR", 10), Txt("DSCONTCORR", 20), Txt("CDPICTCONT", 20), Txt("CDPICTAGEN", 10),
                From(Txt("CDBANCCNAB", 3), "CDBANCO"), Txt("CDCEDENTEBAN", 30), Txt("NMBANCO", 30),
                Txt("IDLAYCNABPAG", 1), Txt("IDFASCNABPAG", 1), Txt("CDOPERCONTCORR", 4), Txt("IDLAYOUTCNAB", 3)},
               {{{"CDEMPRESA"}, "companies"}}});
  t.push_back({"account_ids", "IDCONTCORR",
               {Key("CDREDUCONT", 3), Req("CDIDPAGCONTCORR", 20)},
               {{{"CDREDUCONT"}, "accounts"}}});
  t.push_back({"agreements", "EMPRBANC",
               {Key("CDEMPRESA", 2), Key("CDBANCO", 3), Txt("CDEMPBANCPAG", 20), Txt("IDPADRAGENCNABPAG", 20),
                Txt("IDPADRCNABPAG", 20), Txt("IDCONSDTENVREM", 1), Txt("CDCOMPROMISSO", 4),
                Txt("DSARQBORDPAG", 100)},
               {{{"CDEMPRESA"}, "companies"}}});
  t.push_back({"layouts", "LAYOUTCNAB",
               {Key("CDEMPRESA", 2), Key("CDREDUCONT", 3), Req("IDLAYCNABPAG", 20)},
               {{{"CDEMPRESA"}, "companies"}, {{"CDREDUCONT"}, "accounts", true}}});
  t.push_back({"settings", "GERALPAG",
               {Key("CDGERALPAG", 1), Int("QTDIAANTBOLP"), Int("QTDIAAPOBOLP"), Code("IDHABIBOLE", 1, "S|N"),
                Code("IDUTCTRLCANREMP", 1, "S|N")},
               {}});
  t.push_back({"payment_kinds", "TIPOBAIXAPAG",
               {Key("CDTPBAIXAPAG", 2), Req("NMTPBAIXAPAG", 50),
                Code("IDBAIXAUTILP", 1, "B|R|P|G|I|H|J|K|N|Q|U|V|C|D|T|S|O|Z|F", true), Amt("VRMAXDOCCNAB")},
               {}});
  t.push_back({"supplier_groups", "GRUPFORN", {Key("CDGRUPFORN", 10), Req("NMGRUPFORN", 50)}, {}});
  t.push_back({"suppliers", "FORNECEDOR",
               {Key("CDFORNECED", 21), Req("NMRAZSOCFORN", 40), Txt("NMFANTFORN", 40),
                Code("IDTPIJURFORN", 1, "J|F|O|I"), Txt("NRINSJURFORN", 20), Txt("CDGRUPFORN", 10)},
               {{{"CDGRUPFORN"}, "supplier_groups"}}});
  t.push_back({"countries", "PAIS", {Key("CDPAIS", 4), Req("NMPAIS", 30)}, {}});
  t.push_back({"cities", "MUNICIPIO",
               {Key("CDPAIS", 4), Key("SGESTADO", 2), Key("CDMUNICIPIO", 4), Req("NMMUNICIPIO", 30)},
               {{{"CDPAIS"}, "countries"}}});
  t.push_back({"supplier_addresses", "ENDEFORN",
               {Key("CDFORNECED", 21), Key("IDTPENDEFORN", 1), Txt("CDPAIS", 4), Txt("SGESTADO", 2),
                Txt("CDMUNICIPIO", 4), Txt("DSENDEFORN", 50), Txt("NMBAIRFORN", 30), Txt("NRCEPFORN", 15),
                Txt("NRTELEFORN", 20)},
               {{{"CDFORNECED"}, "suppliers"}}});
  t.push_back({"remittances", "CNABPAG",
               {Key("CDEMPRESA", 2), Key("NRCNABPAG", 10), Req("CDREDUCONT", 3), Txt("CDOPERADOR", 12),
                Txt("NMOPERADOR", 40), Txt("CDBANCO", 3), Txt("CDBANCCNAB", 3), Txt("CDAGENCIA", 5),
                Txt("CDPICTAGEN", 10), Txt("CDCONTCORR", 10), Txt("CDPICTCONT", 20), Txt("DSCONTCORR", 20),
                Txt("IDTPREMCNABPAG", 1), Txt("IDAGENREMCNABPAG", 1), Txt("IDTIPCNABPAG", 1),
                Code("IDOPECNABPAG", 1, "I|E|B", true), DtTm("DTCNABPAG", true), DtTm("DTPAGREM"),
                Txt("DSARQCNABPAG", 250), Txt("CDFILIAL", 4), Txt("NMFILIAL", 30), Txt("DSARQBORDPAG", 100),
                Amt("VRTOTALCNABPAG"), Int("QTBOLCNABPAG"), Txt("NRSEQREMESSAPAG", 10)},
               {{{"CDEMPRESA"}, "companies"},
                {{"CDREDUCONT"}, "accounts", true},
                {{"CDFILIAL"}, "branches", true}}});
  t.push_back({"slips", "BOLETOPAG",
               {Key("CDFILIBPAG", 4),
                Key("NRLANBOLPAG", 10),
                Req("CDEMPRESA", 2),
                From(Txt("CDFILIAL", 4), "CDFILIBPAG"),
                Req("CDFORNECED", 21),
                Txt("CDREDUCONT", 3),
                Txt("CDTPBAIXAPAG", 2),
                Amt("VRFINALBPAG", true),
                Dt("DTVENBOLPAG", true),
                Default(Code("IDSITUCNABP", 2, "00|01|10|20|90"), "00"),
                Txt("NRCNABPAGREM", 10),
                Default(Code("IDHABIBPAG", 1, "S|N"), "S"),
                Default(Code("IDBPAGREAL", 1, "S|N"), "N"),
                Column{"CDBARRAPAG", Kind::kDigits, 44},
                Txt("DSLINHBARPAG", 55),
                Txt("CDBANCBOLP", 3),
                Txt("CDAGENBOLP", 5),
                Txt("CDCCORBOLP", 16),
                Txt("NRRETCNABPAG", 20),
                Txt("IDTPICNABBOP", 1),
                Txt("NRINSCNABBOP", 20),
                Txt("CDNOSNUMPAG", 20),
                Int("FATORVENC"),
                Txt("CDRECEITAGUIA", 4),
                Txt("IDCHAVEPIX", 2),
                Txt("CHAVEPIX", 100),
                Txt("CODEQRPIX", 100),
                Dt("DTAPURACGUIA"),
                Txt("NRREFEGUIA", 20),
                Amt("VROUTRENTGUIA"),
                Txt("NRLACRCONECTSOC", 9),
                Txt("NRDIGICONECTSOC", 2),
                Amt("VRMULTABPAG"),
                Amt("VRMORDIABPAG"),
                Txt("CDINSCESTA", 16),
                Txt("NRPARCELNOTIFIC", 13),
                Column{"VRPERCENTTRIB", Kind::kPercent}},
               {{{"CDFILIBPAG"}, "branches", true},
                {{"CDEMPRESA"}, "companies"},
                {{"CDFILIAL"}, "branches", true},
                {{"CDFORNECED"}, "suppliers"},
                {{"CDREDUCONT"}, "accounts", true},
                {{"CDTPBAIXAPAG"}, "payment_kinds"},
                {{"CDEMPRESA", "NRCNABPAGREM"}, "remittances"}}});
  t.push_back({"slip_payables", "CONTAPAGAR",
               {Key("CDFILIBPAG", 4), Key("NRLANBOLPAG", 10), Key("FILORIG", 4), Key("DOCUMENTO", 25),
                Amt("VRCONTA", true)},
               {{{"CDFILIBPAG", "NRLANBOLPAG"}, "slips"}}});
  t.push_back({"slip_adjustments", "AJUSTEBOL",
               {Req("CDFILIBPAG", 4), Req("NRLANBOLPAG", 10), Amt("VRAJUSTE", true), Txt("DSAJUSTE", 50)},
               {{{"CDFILIBPAG", "NRLANBOLPAG"}, "slips"}}});
  t.push_back({"advances", "ANTECIPACAO",
               {Key("NRLANCANTECIPA", 10), Req("CDFILIAL", 4), Req("CDFORNECED", 21), Amt("VRLIQUANTECIPA", true),
                Dt("DTVENCANTECIPA"), Txt("CDFILIBPAG", 4), Txt("NRLANBOLPAG", 10)},
               {{{"CDFILIAL"}, "branches"},
                {{"CDFORNECED"}, "suppliers"},
                {{"CDFILIBPAG", "NRLANBOLPAG"}, "slips"}}});
  t.push_back({"invoices", "NOTAFISCAL",
               {Key("CDFILIAL", 4), Key("NRLANCTONF", 10), Req("CDFILIBPAG", 4), Req("NRLANBOLPAG", 10),
                Txt("NRNOTAFISC", 20), Txt("CDSERIEENTR", 5), Dt("DTEMISSAO"), Amt("VRDOC")},
               {{{"CDFILIAL"}, "branches"}, {{"CDFILIBPAG", "NRLANBOLPAG"}, "slips"}}});
  t.push_back({"receiving_branches", "FILIRECE",
               {Key("CDFILIAL", 4), Key("NRLANCTONF", 10), Key("CDFILIRECE", 4)},
               {{{"CDFILIAL", "NRLANCTONF"}, "invoices"}, {{"CDFILIRECE"}, "branches"}}});
  t.push_back({"tax_guides", "GUIAIMPOSTO",
               {Key("CDFILIBPAG", 4), Key("NRLANBOLPAG", 10), Key("CDIMPOSTO", 2), Key("NRSEQUMAPAPU", 10),
                Txt("CDRECEGUIA", 20), Txt("CDFILIAL", 4), Txt("NRLANCTONF", 10), Dt("DTFIMPERIODO"),
                Dt("DTVENCMAPA"), Amt("VRMULTAGUIA"), Amt("VRJUROGUIA"), Amt("VRRECEGUIA")},
               {{{"CDFILIBPAG", "NRLANBOLPAG"}, "slips"}, {{"CDFILIAL"}, "branches"}}});
  t.push_back({"counters", "CONTADOR", {Key("CDCONTADOR", 40), Int("VRCONTADOR", true)}, {}});
  t.push_back({"daily_file_counters", "CTCNABDIA",
               {Key("CDBANCO", 3), KeyOf(Dt("DTCNAB")), Int("CTCNAB", true)},
               {}});
  t.push_back({"report_layouts", "RELATORIO",
               {Key("DSARQRELATORIO", 100), DtTm("DTRELATORIO", true), Txt("NRVERSAO", 8), Txt("DSREFERENCIA", 250),
                Txt("DSCONFIGREL", 255), Txt("DSCONTEUDO", 200000)},
               {}});
  t.push_back({"operators", "OPERADOR", {Key("CDOPERADOR", 12), Req("NMOPERADOR", 40)}, {}});
  t.push_back({"operator_companies", "OPEREMPRESA",
               {Key("CDOPERADOR", 12), Key("CDEMPRESA", 2)},
               {{{"CDOPERADOR"}, "operators"}, {{"CDEMPRESA"}, "companies"}}});
  t.push_back({"operator_permissions", "OPERPERMISSAO",
               {Key("CDOPERADOR", 12), Key("NMPERMISSAO", 40)},
               {{{"CDOPERADOR"}, "operators"}}});
  return t;
}

}  // namespace

const Column* Table::Find(std::string_view name) const {
  for (const Column& c : columns)
    if (c.name == name) return &c;
  return nullptr;
}

std::vector<const Column*> Table::Keys() const {
  std::vector<const Column*> keys;
  for (const Column& c : columns)
    if (c.key) keys.push_back(&c);
  return keys;
}

const std::vector<Table>& Tables() {
  static const std::vector<Table> tables = Build();
  return tables;
}

const Table* FindTable(std::string_view json_name) {
  for (const Table& t : Tables())
    if (t.json == json_name) return &t;
  return nullptr;
}

const Table* FindSqlTable(std::string_view sql_name) {
  for (const Table& t : Tables())
    if (t.sql == sql_name) return &t;
  return nullptr;
}

}  // namespace pag::catalog
