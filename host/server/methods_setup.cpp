// Setup lookups: company, branch, account, agreement, layout, settings,
// branch parameters and payment kinds.
#include "host/server/method_kit.h"

namespace pag::server {

namespace {

constexpr Col kEmpresa[] = {
    Text("CDEMPRESA", 2),     Text("NMEMPRESA", 40),  Text("IDTPIJUREMPR", 1), Text("NMRAZSOCEMPR", 80),
    Text("DSENDEEMPR", 50),   Text("CDPAIS", 4),      Text("SGESTADO", 2),     Text("CDMUNICIPIO", 4),
    Text("NRINSJUREMPR", 20), Text("NMMUNICIPIO", 30), Text("NRCEPEMPR", 15),  Text("IDOPTSIMPLES", 1)};
constexpr const char* kEmpresaSelect =
    "SELECT CDEMPRESA, NMEMPRESA, IDTPIJUREMPR, NMRAZSOCEMPR, DSENDEEMPR, CDPAIS, SGESTADO, CDMUNICIPIO, "
    "NRINSJUREMPR, NMMUNICIPIO, NRCEPEMPR, IDOPTSIMPLES FROM EMPRESA ";

// GetEmpresa(company, flag): one company, or every company with flag "T".
Reply GetEmpresa(MethodContext& ctx, Args& a) {
  a.Expect("ss");
  if (a.Key(1) == "T") {
    auto& st = ctx.Prepare(std::string(kEmpresaSelect) + "ORDER BY CDEMPRESA");
    return Reply::OfPacket(ReadPacket(st, kEmpresa));
  }
  auto& st = ctx.Prepare(std::string(kEmpresaSelect) + "WHERE CDEMPRESA = ?");
  st.Bind(1, a.Key(0));
  return Reply::OfPacket(ReadPacket(st, kEmpresa));
}

constexpr Col kContaCorrente[] = {
    Text("CDREDUCONT", 3),   Text("CDBANCO", 3),      Text("CDAGENCIA", 5),      Text("CDCONTCORR", 10),
    Text("DSCONTCORR", 20),  Text("CDPICTCONT", 20),  Text("CDPICTAGEN", 10),    Text("CDBANCCNAB", 3),
    Text("CDCEDENTEBAN", 30), Text("NMBANCO", 30),    Text("IDLAYCNABPAG", 1),   Text("IDFASCNABPAG", 1),
    Text("CDOPERCONTCORR", 4), Text("IDLAYOUTCNAB", 3)};
constexpr const char* kContaSelect =
    "SELECT c.CDREDUCONT, c.CDBANCO, c.CDAGENCIA, c.CDCONTCORR, c.DSCONTCORR, "
    "CASE WHEN c.CDPICTCONT <> '' THEN c.CDPICTCONT ELSE COALESCE(b.CDPICTCONT, '') END, "
    "CASE WHEN c.CDPICTAGEN <> '' THEN c.CDPICTAGEN ELSE COALESCE(b.CDPICTAGEN, '') END, "
    "CASE WHEN c.CDBANCCNAB <> '' THEN c.CDBANCCNAB ELSE c.CDBANCO END, c.CDCEDENTEBAN, "
    "CASE WHEN c.NMBANCO <> '' THEN c.NMBANCO ELSE COALESCE(b.NMBANCO, '') END, "
    "c.IDLAYCNABPAG, c.IDFASCNABPAG, c.CDOPERCONTCORR, c.IDLAYOUTCNAB "
    "FROM CONTCORR c LEFT JOIN BANCO b ON b.CDBANCO = c.CDBANCO WHERE c.CDEMPRESA = ? ";

// GetContaCorrente(company, account, flag): one account, or all of the
// company's with flag "T".
Reply GetContaCorrente(MethodContext& ctx, Args& a) {
  a.Expect("sss");
  if (a.Key(2) == "T") {
    auto& st = ctx.Prepare(std::string(kContaSelect) + "ORDER BY c.CDREDUCONT");
    st.Bind(1, a.Key(0));
    return Reply::OfPacket(ReadPacket(st, kContaCorrente));
  }
  auto& st = ctx.Prepare(std::string(kContaSelect) + "AND c.CDREDUCONT = ?");
  st.Bind(1, a.Key(0)).Bind(2, a.Key(1));
  return Reply::OfPacket(ReadPacket(st, kContaCorrente));
}

constexpr Col kEmprBanc[] = {Text("CDEMPBANCPAG", 20), Text("IDPADRAGENCNABPAG", 20), Text("IDPADRCNABPAG", 20),
                             Text("IDCONSDTENVREM", 1), Text("CDCOMPROMISSO", 4),     Text("DSARQBORDPAG", 100)};

// GetEmprBanc(bank, company)
Reply GetEmprBanc(MethodContext& ctx, Args& a) {
  a.Expect("ss");
  auto& st = ctx.Prepare(
      "SELECT CDEMPBANCPAG, IDPADRAGENCNABPAG, IDPADRCNABPAG, IDCONSDTENVREM, CDCOMPROMISSO, DSARQBORDPAG "
      "FROM EMPRBANC WHERE CDBANCO = ? AND CDEMPRESA = ?");
  st.Bind(1, a.Key(0)).Bind(2, a.Key(1));
  return Reply::OfPacket(ReadPacket(st, kEmprBanc));
}

constexpr Col kIdConta[] = {Text("CDIDPAGCONTCORR", 20)};

// GetIdConta(account)
Reply GetIdConta(MethodContext& ctx, Args& a) {
  a.Expect("s");
  auto& st = ctx.Prepare("SELECT CDIDPAGCONTCORR FROM IDCONTCORR WHERE CDREDUCONT = ?");
  st.Bind(1, a.Key(0));
  return Reply::OfPacket(ReadPacket(st, kIdConta));
}

constexpr Col kFilial[] = {Text("CDFILIAL", 4),     Text("NMFILIAL", 30),    Text("IDTPIJURFILI", 1),
                           Text("NRINSJURFILI", 20), Text("NMRAZSOCFILI", 40), Text("SGESTADO", 2),
                           Text("CDMUNICIPIO", 4),  Text("DSENDEFILI", 50),   Text("NMBAIRFILI", 30),
                           Text("NRCEPFILI", 15),   Text("NMMUNICIPIO", 30)};
constexpr const char* kFilialSelect =
    "SELECT CDFILIAL, NMFILIAL, IDTPIJURFILI, NRINSJURFILI, NMRAZSOCFILI, SGESTADO, CDMUNICIPIO, DSENDEFILI, "
    "NMBAIRFILI, NRCEPFILI, NMMUNICIPIO FROM FILIAL WHERE CDEMPRESA = ? ";

// GetFilial(branch, company): an empty branch lists every branch.
Reply GetFilial(MethodContext& ctx, Args& a) {
  a.Expect("ss");
  if (a.Key(0).empty()) {
    auto& st = ctx.Prepare(std::string(kFilialSelect) + "ORDER BY CDFILIAL");
    st.Bind(1, a.Key(1));
    return Reply::OfPacket(ReadPacket(st, kFilial));
  }
  auto& st = ctx.Prepare(std::string(kFilialSelect) + "AND CDFILIAL = ?");
  st.Bind(1, a.Key(1)).Bind(2, a.Key(0));
  return Reply::OfPacket(ReadPacket(st, kFilial));
}

constexpr Col kLayout[] = {Text("IDLAYCNABPAG", 20)};

// GetLayout(company, account)
Reply GetLayout(MethodContext& ctx, Args& a) {
  a.Expect("ss");
  auto& st = ctx.Prepare("SELECT IDLAYCNABPAG FROM LAYOUTCNAB WHERE CDEMPRESA = ? AND CDREDUCONT = ?");
  st.Bind(1, a.Key(0)).Bind(2, a.Key(1));
  return Reply::OfPacket(ReadPacket(st, kLayout));
}

constexpr Col kGeralPag[] = {Text("CDGERALPAG", 1), Integer("QTDIAANTBOLP"), Integer("QTDIAAPOBOLP"),
                             Text("IDHABIBOLE", 1), Text("IDUTCTRLCANREMP", 1)};

Reply GetGeralPag(MethodContext& ctx, Args& a) {
  a.Expect("");
  auto& st = ctx.Prepare(
      "SELECT CDGERALPAG, QTDIAANTBOLP, QTDIAAPOBOLP, IDHABIBOLE, IDUTCTRLCANREMP FROM GERALPAG ORDER BY CDGERALPAG");
  return Reply::OfPacket(ReadPacket(st, kGeralPag));
}

constexpr Col kParamFilial[] = {Text("NRTAMNUMNFUT", 2)};

// GetParamFilial(branch)
Reply GetParamFilial(MethodContext& ctx, Args& a) {
  a.Expect("s");
  auto& st = ctx.Prepare("SELECT NRTAMNUMNFUT FROM PARAMFILIAL WHERE CDFILIAL = ?");
  st.Bind(1, a.Key(0));
  return Reply::OfPacket(ReadPacket(st, kParamFilial));
}

constexpr Col kFormaPag[] = {Text("IDMARCADO", 1), Text("CDTPBAIXAPAG", 2), Text("NMTPBAIXAPAG", 50),
                             Text("IDBAIXAUTILP", 1), Amount("VRMAXDOCCNAB")};

Reply GetFormaPag(MethodContext& ctx, Args& a) {
  a.Expect("");
  auto& st = ctx.Prepare(
      "SELECT 'N', CDTPBAIXAPAG, NMTPBAIXAPAG, IDBAIXAUTILP, VRMAXDOCCNAB FROM TIPOBAIXAPAG ORDER BY CDTPBAIXAPAG");
  return Reply::OfPacket(ReadPacket(st, kFormaPag));
}

}  // namespace

void AddSetupMethods(MethodTable& t) {
  t["GetEmpresa"] = GetEmpresa;
  t["GetContaCorrente"] = GetContaCorrente;
  t["GetEmprBanc"] = GetEmprBanc;
  t["GetIdConta"] = GetIdConta;
  t["GetFilial"] = GetFilial;
  t["GetLayout"] = GetLayout;
  t["GetGeral_Pag"] = GetGeralPag;
  t["GetParamFilial"] = GetParamFilial;
  t["GetFormaPag"] = GetFormaPag;
}

}  // namespace pag::server
