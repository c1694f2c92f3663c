// Each server method against the example store: what it answers, what it
// changes, and what it refuses.
#include <gtest/gtest.h>

#include "fixture.h"
#include "host/server/method_kit.h"

namespace pag::test {
namespace {

class MethodsTest : public ServerTest {};

TEST_F(MethodsTest, EveryMethodOfTheContractIsThere) {
  const std::vector<std::string> contract{
      "AtualizaBoleto", "BolVincRem",     "CancelaBolRemessa", "GetBolporRem",    "GetBoletos",
      "GetArquivoRel",  "GetCNABPag",     "GetCntPagar",    "GetContaCorrente",  "GetCtCNABPag",    "GetCtCnabDiaP",
      "GetDadosRel",    "GetDarf",        "GetDocBole",        "GetEmprBanc",     "GetEmpresa",
      "GetFiliRece",    "GetFilial",      "GetFormaPag",       "GetGeral_Pag",    "GetIdConta",
      "GetLayout",      "GetParamFilial", "GetTotRemessa",     "GetValor_Antec",  "GetVrDocumento",
      "PrxCodigoRemessaPag", "ProximoCodigo", "RetornaRelatorio", "SetCNABPag", "UpDateCC",
      "UpDatePrx",      "ValidaAjustes"};
  auto names = transport->server().MethodNames();
  for (const auto& m : contract) EXPECT_NE(std::find(names.begin(), names.end(), m), names.end()) << m;
  EXPECT_EQ(names.size(), contract.size());
}

TEST_F(MethodsTest, WrongArgumentsAreAnErrorNamingTheMethod) {
  for (const auto& m : transport->server().MethodNames()) {
    // Too many arguments for every method, of a kind no method takes first.
    std::vector<Arg> args(40, Arg(DateTime{}));
    Reply r = net->Call(m, args);
    ASSERT_TRUE(r.IsError()) << m;
    EXPECT_EQ(r.error().rfind(m + ": expected", 0), 0u) << r.error();
  }
  Reply r = Call("GetCntPagar", {Arg("0001")});
  EXPECT_EQ(r.error(), "GetCntPagar: expected 2 arguments, got 1");
  r = Call("GetCntPagar", {Arg("0001"), Arg(7)});
  EXPECT_EQ(r.error(), "GetCntPagar: argument 2 must be a text, not integer");
  r = Call("GetTotRemessa", {Arg(std::int32_t{1})});
  EXPECT_EQ(r.error(), "GetTotRemessa: argument 1 must be a text, not integer");
  EXPECT_EQ(Call("NoSuchMethod").error(), "unknown server method NoSuchMethod");
}

TEST_F(MethodsTest, SetupLookups) {
  Packet p = CallPacket("GetEmpresa", {"01", " "});
  ASSERT_EQ(p.rows.size(), 1u);
  EXPECT_EQ(Str(p, 0, "NMRAZSOCEMPR"), "ACME COMÉRCIO DE PEÇAS LTDA");
  EXPECT_EQ(p.fields[p.FieldIndex("NMEMPRESA").value()].size, 40);
  EXPECT_EQ(CallPacket("GetEmpresa", {" ", "T"}).rows.size(), 1u);
  EXPECT_TRUE(CallPacket("GetEmpresa", {"02", " "}).empty());

  p = CallPacket("GetContaCorrente", {"01", "001", " "});
  ASSERT_EQ(p.rows.size(), 1u);
  // Pictures and bank name come from the bank when the account has none.
  EXPECT_EQ(Str(p, 0, "CDPICTCONT"), "99999-9");
  EXPECT_EQ(Str(p, 0, "NMBANCO"), "ITAU UNIBANCO");
  EXPECT_EQ(Str(p, 0, "CDBANCCNAB"), "341");
  EXPECT_EQ(CallPacket("GetContaCorrente", {"01", " ", "T"}).rows.size(), 1u);
  EXPECT_TRUE(CallPacket("GetContaCorrente", {"02", "001", " "}).empty());

  EXPECT_EQ(Str(CallPacket("GetEmprBanc", {"341", "01"}), 0, "CDEMPBANCPAG"), "000123456");
  EXPECT_EQ(Str(CallPacket("GetIdConta", {"001"}), 0, "CDIDPAGCONTCORR"), "ACME341");
  EXPECT_EQ(CallPacket("GetFilial", {"", "01"}).rows.size(), 2u);
  EXPECT_EQ(Str(CallPacket("GetFilial", {"0002", "01"}), 0, "NMMUNICIPIO"), "CAMPINAS");
  EXPECT_TRUE(CallPacket("GetFilial", {"0002", "02"}).empty());
  EXPECT_EQ(Str(CallPacket("GetLayout", {"01", "001"}), 0, "IDLAYCNABPAG"), "1");
  p = CallPacket("GetGeral_Pag");
  EXPECT_EQ(std::get<std::int64_t>(p.At(0, "QTDIAANTBOLP")), 30);
  EXPECT_EQ(Str(p, 0, "IDUTCTRLCANREMP"), "S");
  EXPECT_EQ(Str(CallPacket("GetParamFilial", {"0001"}), 0, "NRTAMNUMNFUT"), "7");
  p = CallPacket("GetFormaPag");
  ASSERT_EQ(p.rows.size(), 4u);
  EXPECT_EQ(Str(p, 0, "IDMARCADO"), "N");
  EXPECT_EQ(std::get<Decimal>(p.At(0, "VRMAXDOCCNAB")), Decimal::FromUnits(0, 2));
}

TEST_F(MethodsTest, PerSlipLookups) {
  Packet p = CallPacket("GetCntPagar", {"0001", "0000000002"});
  ASSERT_EQ(p.rows.size(), 1u);
  EXPECT_EQ(Str(p, 0, "DOCUMENTO"), "0000456/1");

  Reply v = CheckResultServ(Call("ValidaAjustes", {"0001", "0000000002"}));
  ASSERT_EQ(v.items().size(), 3u);
  EXPECT_TRUE(v.items()[0].packet().empty());
  EXPECT_EQ(std::get<Decimal>(v.items()[1].packet().At(0, "VRCONTA")), Decimal::Parse("90.00"));
  EXPECT_EQ(std::get<Decimal>(v.items()[2].packet().At(0, "VRAJUSTE")), Decimal::Parse("-0.25"));
  // The advance of slip 3 involves it, but is smaller than the slip.
  v = CheckResultServ(Call("ValidaAjustes", {"0002", "0000000003"}));
  EXPECT_EQ(Str(v.items()[0].packet(), 0, "CDFILIAL"), "0002");
  EXPECT_TRUE(CallPacket("GetValor_Antec", {"0002", "0000000003"}).empty());
  store->db().Exec("UPDATE ANTECIPACAO SET VRLIQUANTECIPA = 300000");
  p = CallPacket("GetValor_Antec", {"0002", "0000000003"});
  ASSERT_EQ(p.rows.size(), 1u);
  EXPECT_EQ(Str(p, 0, "NMRAZSOCFORN"), "MARIA SOUZA");
  EXPECT_EQ(std::get<Decimal>(p.At(0, "VRLIQUANTECIPA")), Decimal::Parse("3000.00"));

  p = CallPacket("GetFiliRece", {"0002", "0000000003"});
  ASSERT_EQ(p.rows.size(), 1u);
  EXPECT_EQ(Str(p, 0, "NRINSJURFILI"), "12.345.678/0002-76");
  EXPECT_EQ(Str(p, 0, "NRLANBOLPAG"), "0000000003");

  p = CallPacket("GetDocBole", {"0001", "0000000001"});
  ASSERT_EQ(p.rows.size(), 1u);
  EXPECT_EQ(Str(p, 0, "NRNOTAFISC"), "0000123");
  EXPECT_EQ(std::get<DateTime>(p.At(0, "DTEMISSAO")), DateTime::Make(2026, 11, 10));
  EXPECT_TRUE(CallPacket("GetDocBole", {"0001", "0000000002"}).empty());
  EXPECT_EQ(std::get<Decimal>(CallPacket("GetVrDocumento", {"0002", "0000000003"}).At(0, "VRDOC")),
            Decimal::Parse("2350.10"));
  EXPECT_EQ(std::get<Decimal>(CallPacket("GetVrDocumento", {"0001", "0000000002"}).At(0, "VRDOC")),
            Decimal::FromUnits(0, 2));

  p = CallPacket("GetDarf", {"0001", "0000000004"});
  ASSERT_EQ(p.rows.size(), 1u);
  EXPECT_EQ(std::get<Decimal>(p.At(0, "SOMA")), Decimal::Parse("530.40"));
  EXPECT_EQ(p.fields[p.FieldIndex("SOMA").value()].kind, FieldKind::kDecimal);
}

TEST_F(MethodsTest, SlipsOfARemittanceAndItsTotals) {
  Packet p = CallPacket("GetBolporRem", {Arg::Ref("01"), Arg::Ref("0000000001")});
  ASSERT_EQ(p.rows.size(), 1u);
  EXPECT_EQ(Str(p, 0, "NRLANBOLPAG"), "0000000005");
  EXPECT_EQ(Str(p, 0, "NMRAZSOCFORN"), "JOSÉ DA CONCEIÇÃO & CIA. LTDA");
  EXPECT_EQ(Str(p, 0, "IDMARCADO"), "N");
  const auto& def = p.fields[p.FieldIndex("VRFINALBPAG").value()];
  EXPECT_EQ(def.kind, FieldKind::kDecimal);
  EXPECT_EQ(def.scale, 2);
  EXPECT_EQ(p.fields[p.FieldIndex("DTVENBOLPAG").value()].kind, FieldKind::kDateTime);

  p = CallPacket("GetTotRemessa", {"0000000001", "01"});
  EXPECT_EQ(std::get<std::int64_t>(p.At(0, "QTBOLETOS")), 1);
  EXPECT_EQ(std::get<Decimal>(p.At(0, "VRTOTBOL")), Decimal::Parse("700.00"));
  p = CallPacket("GetTotRemessa", {"0000000001"});
  EXPECT_EQ(std::get<std::int64_t>(p.At(0, "QTBOLETOS")), 1);
  p = CallPacket("GetTotRemessa", {"0000000099", "01"});
  EXPECT_EQ(std::get<std::int64_t>(p.At(0, "QTBOLETOS")), 0);
}

Delta NewRemittance(const std::string& number, const std::string& account = "001") {
  Delta d;
  d.fields = {{"CDEMPRESA", FieldKind::kString, 2},   {"NRCNABPAG", FieldKind::kString, 10},
              {"CDREDUCONT", FieldKind::kString, 3},  {"IDOPECNABPAG", FieldKind::kString, 1},
              {"DTCNABPAG", FieldKind::kDateTime},     {"VRTOTALCNABPAG", FieldKind::kDecimal, 0, 2},
              {"QTBOLCNABPAG", FieldKind::kInteger},   {"IDMARCADO", FieldKind::kString, 1},
              {"DSARQCNABPAG", FieldKind::kString, 250}};
  d.changes.push_back({ChangeKind::kInsert,
                       {},
                       {std::string("01"), number, account, std::string("I"), DateTime::Make(2026, 12, 6, 14, 30),
                        Decimal::Parse("1589.75"), std::int64_t{2}, std::string("S"), std::string("/tmp/x.txt")}});
  return d;
}

TEST_F(MethodsTest, SetCNABPagStoresANewRemittanceAndRefusesADuplicate) {
  ASSERT_EQ(Call("SetCNABPag", {NewRemittance("0000000002")}).kind(), Reply::Kind::kNothing);
  Packet p = CallPacket("GetCNABPag", {"01", DateTime::Make(2026, 12, 6), DateTime::Make(2026, 12, 6), Arg::Ref(""),
                                       Arg::Ref(""), Arg::Ref("T"), Arg::Ref(""), Arg::Ref("T"), Decimal(0),
                                       Decimal(0), Arg::Ref("T"), Arg::Ref(""), Arg::Ref("T"), Arg::Ref(""),
                                       Arg::Ref("T"), "", "", Arg::Ref("T"), DateTime{}, DateTime{}, Arg::Ref("T"),
                                       Arg::Ref(""), Arg::Ref("T"), Decimal(0), Decimal(0), Arg::Ref("T"), ""});
  ASSERT_EQ(p.rows.size(), 1u);
  EXPECT_EQ(Str(p, 0, "NRCNABPAG"), "0000000002");
  EXPECT_EQ(std::get<Decimal>(p.At(0, "VRTOTALCNABPAG")), Decimal::Parse("1589.75"));
  EXPECT_EQ(std::get<std::int64_t>(p.At(0, "QTBOLCNABPAG")), 2);
  EXPECT_EQ(std::get<DateTime>(p.At(0, "DTCNABPAG")), DateTime::Make(2026, 12, 6, 14, 30));
  EXPECT_EQ(Str(p, 0, "IDMARCADO"), "N");

  Reply dup = Call("SetCNABPag", {NewRemittance("0000000002")});
  ASSERT_TRUE(dup.IsError());
  EXPECT_EQ(dup.error(), "SetCNABPag: remittance 01/0000000002 already exists");

  Delta bad = NewRemittance("0000000003", "999");
  EXPECT_EQ(Call("SetCNABPag", {bad}).error(), "SetCNABPag: unknown account 999");
  Delta wrong = NewRemittance("0000000003");
  wrong.changes[0].current[5] = Decimal::Parse("1.005");
  EXPECT_EQ(Call("SetCNABPag", {wrong}).error(), "SetCNABPag: VRTOTALCNABPAG has more than 2 decimals");
  EXPECT_EQ(Scalar("SELECT count(*) FROM CNABPAG"), "2");
}

TEST_F(MethodsTest, SetCNABPagChangesAndDeletes) {
  CheckResultServ(Call("SetCNABPag", {NewRemittance("0000000002")}));
  Delta d = NewRemittance("0000000002");
  d.changes[0].kind = ChangeKind::kModify;
  d.changes[0].original = d.changes[0].current;
  d.changes[0].current[8] = std::string("/tmp/y.txt");
  CheckResultServ(Call("SetCNABPag", {d}));
  EXPECT_EQ(Scalar("SELECT DSARQCNABPAG FROM CNABPAG WHERE NRCNABPAG = '0000000002'"), "/tmp/y.txt");
  d.changes[0].kind = ChangeKind::kDelete;
  CheckResultServ(Call("SetCNABPag", {d}));
  EXPECT_EQ(Scalar("SELECT count(*) FROM CNABPAG"), "1");
  // A remittance with slips stays.
  Delta old = NewRemittance("0000000001");
  old.changes[0].kind = ChangeKind::kDelete;
  old.changes[0].original = old.changes[0].current;
  EXPECT_TRUE(Call("SetCNABPag", {old}).IsError());
}

TEST_F(MethodsTest, BolVincRemNamesLinkedSlipsOnlyAmongTheMarked) {
  EXPECT_EQ(Call("BolVincRem", {SlipRows({{"0001", "0000000001", "S"}, {"0001", "0000000005", "N"}})}).text(), "");
  EXPECT_EQ(Call("BolVincRem", {SlipRows({{"0001", "0000000001", "S"}, {"0001", "0000000005", "S"}})}).text(),
            "Bol_Vinc_Rem");
}

std::vector<Arg> Atualiza(const Packet& slips, const std::string& number, const std::string& movement) {
  return {slips, "341", "001", number, "10", movement, "01"};
}

TEST_F(MethodsTest, AtualizaBoletoMarksTheMarkedSlipsSent) {
  CheckResultServ(Call("SetCNABPag", {NewRemittance("0000000002")}));
  Packet rows = SlipRows({{"0001", "0000000001", "S"}, {"0001", "0000000002", "S"}, {"0002", "0000000003", "N"}});
  ASSERT_EQ(Call("AtualizaBoleto", Atualiza(rows, "0000000002", "I")).kind(), Reply::Kind::kNothing);
  EXPECT_EQ(Scalar("SELECT group_concat(NRLANBOLPAG || ':' || IDSITUCNABP || ':' || NRCNABPAGREM, ' ') FROM "
                   "(SELECT * FROM BOLETOPAG ORDER BY NRLANBOLPAG)"),
            "0000000001:10:0000000002 0000000002:10:0000000002 0000000003:00: 0000000004:00: "
            "0000000005:10:0000000001");
  EXPECT_EQ(CallPacket("GetBolporRem", {"01", "0000000002"}).rows.size(), 2u);
  // Confirming the same remittance again is allowed.
  EXPECT_FALSE(Call("AtualizaBoleto", Atualiza(rows, "0000000002", "I")).IsError());
}

TEST_F(MethodsTest, AtualizaBoletoRefusesASlipOfAnotherRemittanceAndChangesNothing) {
  CheckResultServ(Call("SetCNABPag", {NewRemittance("0000000002")}));
  Packet rows = SlipRows({{"0001", "0000000001", "S"}, {"0001", "0000000005", "S"}});
  Reply r = Call("AtualizaBoleto", Atualiza(rows, "0000000002", "I"));
  ASSERT_TRUE(r.IsError());
  EXPECT_EQ(r.error(), "Bol_Vinc_Rem");
  EXPECT_EQ(Scalar("SELECT IDSITUCNABP || NRCNABPAGREM FROM BOLETOPAG WHERE NRLANBOLPAG = '0000000001'"), "00");
  EXPECT_EQ(Scalar("SELECT count(*) FROM CNABPAGBOL WHERE NRCNABPAG = '0000000002'"), "0");
}

TEST_F(MethodsTest, AnExclusionKeepsTheInclusionLink) {
  CheckResultServ(Call("SetCNABPag", {NewRemittance("0000000002")}));
  Packet rows = SlipRows({{"0001", "0000000005", "S"}});
  CheckResultServ(Call("AtualizaBoleto", Atualiza(rows, "0000000002", "E")));
  EXPECT_EQ(Scalar("SELECT NRCNABPAGREM FROM BOLETOPAG WHERE NRLANBOLPAG = '0000000005'"), "0000000001");
  EXPECT_EQ(CallPacket("GetBolporRem", {"01", "0000000002"}).rows.size(), 1u);
  EXPECT_EQ(Scalar("SELECT IDOPECNABPAG FROM CNABPAGBOL WHERE NRCNABPAG = '0000000002'"), "E");
}

TEST_F(MethodsTest, AtualizaBoletoChecksItsArguments) {
  Packet rows = SlipRows({{"0001", "0000000001", "S"}});
  EXPECT_EQ(Call("AtualizaBoleto", Atualiza(rows, "0000000077", "I")).error(),
            "AtualizaBoleto: unknown remittance 01/0000000077");
  EXPECT_EQ(Call("AtualizaBoleto", Atualiza(rows, "0000000001", "X")).error(),
            "AtualizaBoleto: unknown movement type 'X'");
  Packet unknown = SlipRows({{"0001", "0000000404", "S"}});
  EXPECT_EQ(Call("AtualizaBoleto", Atualiza(unknown, "0000000001", "I")).error(),
            "AtualizaBoleto: unknown slip 0001/0000000404");
  Packet keyless;
  keyless.fields = {{"IDMARCADO", FieldKind::kString, 1}};
  EXPECT_NE(Call("AtualizaBoleto", Atualiza(keyless, "0000000001", "I")).error().find("CDFILIBPAG"),
            std::string::npos);
}

// The slips of the packet are taken all at once: a refusal still names the
// first slip of the packet that cannot go, and changes nothing.
TEST_F(MethodsTest, AtualizaBoletoNamesTheFirstSlipThatCannotGo) {
  CheckResultServ(Call("SetCNABPag", {NewRemittance("0000000002")}));
  const std::string unknown = "AtualizaBoleto: unknown slip 0001/0000000404";
  struct Case {
    Packet rows;
    std::string movement, error;
  } cases[] = {
      {SlipRows({{"0001", "0000000001", "S"}, {"0001", "0000000005", "S"}, {"0001", "0000000404", "S"}}), "I",
       "Bol_Vinc_Rem"},
      {SlipRows({{"0001", "0000000001", "S"}, {"0001", "0000000404", "S"}, {"0001", "0000000005", "S"}}), "I",
       unknown},
      {SlipRows({{"0001", "0000000404", "N"}, {"0001", "0000000001", "S"}, {"0001", "0000000005", "S"}}), "I",
       "Bol_Vinc_Rem"},
      // A block or exclusion may take a slip of another remittance.
      {SlipRows({{"0001", "0000000005", "S"}, {"0001", "0000000404", "S"}}), "B", unknown},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error + " " + c.movement);
    EXPECT_EQ(Call("AtualizaBoleto", Atualiza(c.rows, "0000000002", c.movement)).error(), c.error);
    EXPECT_EQ(Scalar("SELECT group_concat(IDSITUCNABP || ':' || NRCNABPAGREM, ' ') FROM "
                     "(SELECT * FROM BOLETOPAG WHERE CDFILIBPAG = '0001' ORDER BY NRLANBOLPAG)"),
              "00: 00: 00: 10:0000000001");
    EXPECT_EQ(Scalar("SELECT count(*) FROM CNABPAGBOL WHERE NRCNABPAG = '0000000002'"), "0");
  }
}

TEST_F(MethodsTest, AtualizaBoletoTakesARepeatedSlipOnceAndABlankLinkAsNone) {
  CheckResultServ(Call("SetCNABPag", {NewRemittance("0000000002")}));
  store->db().Exec("UPDATE BOLETOPAG SET NRCNABPAGREM = '   ' WHERE NRLANBOLPAG = '0000000002'");
  Packet rows = SlipRows({{"0001", "0000000002", "S"}, {"0001", "0000000001", "S"}, {"0001", "0000000002", "S"}});
  EXPECT_EQ(Call("BolVincRem", {rows}).text(), "");
  CheckResultServ(Call("AtualizaBoleto", Atualiza(rows, "0000000002", "I")));
  EXPECT_EQ(Scalar("SELECT group_concat(NRLANBOLPAG || ':' || IDOPECNABPAG, ' ') FROM "
                   "(SELECT * FROM CNABPAGBOL WHERE NRCNABPAG = '0000000002' ORDER BY NRLANBOLPAG)"),
            "0000000001:I 0000000002:I");
  EXPECT_EQ(Scalar("SELECT NRCNABPAGREM FROM BOLETOPAG WHERE NRLANBOLPAG = '0000000002'"), "0000000002");
}

// A refusal inside a unit of work undoes only the method's own changes, and
// the working list of keys leaves nothing behind.
TEST_F(MethodsTest, ARefusedAtualizaBoletoKeepsTheRestOfTheWork) {
  auto work = net->BeginWork();
  CheckResultServ(Call("SetCNABPag", {NewRemittance("0000000002")}));
  EXPECT_EQ(Call("BolVincRem", {SlipRows({{"0001", "0000000005", "S"}})}).text(), "Bol_Vinc_Rem");
  EXPECT_EQ(Call("AtualizaBoleto", Atualiza(SlipRows({{"0001", "0000000001", "S"}, {"0001", "0000000005", "S"}}),
                                           "0000000002", "I"))
                .error(),
            "Bol_Vinc_Rem");
  work.Commit();
  EXPECT_FALSE(store->db().InTransaction());
  EXPECT_EQ(Scalar("SELECT count(*) FROM CNABPAG WHERE NRCNABPAG = '0000000002'"), "1");
  EXPECT_EQ(Scalar("SELECT IDSITUCNABP FROM BOLETOPAG WHERE NRLANBOLPAG = '0000000001'"), "00");
  EXPECT_EQ(Scalar("SELECT count(*) FROM temp.PAG_SLIPKEYS"), "0");
  // Outside a unit of work the check leaves no transaction open.
  EXPECT_EQ(Call("BolVincRem", {SlipRows({{"0001", "0000000001", "S"}})}).text(), "");
  EXPECT_FALSE(store->db().InTransaction());
}

std::vector<Arg> Cancela(const std::string& op, const std::string& flag, const Packet& rows) {
  return {"01", "0000000001", op, flag, rows};
}

TEST_F(MethodsTest, CancelaBolRemessaNeedsThePermissionWhenControlled) {
  Packet rows = SlipRows({{"0001", "0000000005", "S"}});
  Reply r = Call("CancelaBolRemessa", Cancela("BRUNO", "S", rows));
  ASSERT_TRUE(r.IsError());
  EXPECT_EQ(r.error(), "OPER_INV");
  EXPECT_EQ(Call("CancelaBolRemessa", Cancela("", "S", rows)).error(), "OPER_INV");
  EXPECT_EQ(Scalar("SELECT NRCNABPAGREM FROM BOLETOPAG WHERE NRLANBOLPAG = '0000000005'"), "0000000001");

  ASSERT_EQ(Call("CancelaBolRemessa", Cancela("ANA", "S", rows)).kind(), Reply::Kind::kNothing);
  EXPECT_EQ(Scalar("SELECT IDSITUCNABP || '/' || NRCNABPAGREM FROM BOLETOPAG WHERE NRLANBOLPAG = '0000000005'"),
            "00/");
  EXPECT_TRUE(CallPacket("GetBolporRem", {"01", "0000000001"}).empty());
}

TEST_F(MethodsTest, CancelaBolRemessaWithoutControlLetsAnyOperatorAndSkipsUnmarked) {
  Packet rows = SlipRows({{"0001", "0000000005", "N"}});
  CheckResultServ(Call("CancelaBolRemessa", Cancela("BRUNO", "N", rows)));
  EXPECT_EQ(Scalar("SELECT NRCNABPAGREM FROM BOLETOPAG WHERE NRLANBOLPAG = '0000000005'"), "0000000001");
  rows = SlipRows({{"0001", "0000000005", "S"}});
  CheckResultServ(Call("CancelaBolRemessa", Cancela("BRUNO", "N", rows)));
  EXPECT_EQ(Scalar("SELECT NRCNABPAGREM FROM BOLETOPAG WHERE NRLANBOLPAG = '0000000005'"), "");
}

TEST_F(MethodsTest, APaidSlipCannotBeTakenOut) {
  store->db().Exec("UPDATE BOLETOPAG SET IDSITUCNABP = '90' WHERE NRLANBOLPAG = '0000000005'");
  EXPECT_EQ(Call("CancelaBolRemessa", Cancela("ANA", "S", SlipRows({{"0001", "0000000005", "S"}}))).error(),
            "Confirma_CancelaBaixa");
  EXPECT_EQ(Scalar("SELECT count(*) FROM CNABPAGBOL"), "1");
}

TEST_F(MethodsTest, ReportLayouts) {
  Reply r = CheckResultServ(Call("GetDadosRel", {"bordero.qr2"}));
  ASSERT_EQ(r.items().size(), 3u);
  EXPECT_EQ(std::get<DateTime>(r.items()[0].value()), DateTime::Make(2026, 1, 2, 8));
  EXPECT_EQ(r.items()[1].text(), "20260102");
  EXPECT_EQ(r.items()[2].text(), "relatorios/BORDERO.QR2");
  r = CheckResultServ(Call("GetDadosRel", {"NONE.QR2"}));
  EXPECT_EQ(std::get<DateTime>(r.items()[0].value()), ZeroDateTime());
  EXPECT_EQ(r.items()[1].text(), "0");

  std::vector<Arg> args{Arg::Ref("bordero.qr2"), Arg(" ")};
  r = CheckResultServ(net->Call("RetornaRelatorio", args));
  EXPECT_EQ(r.text(), "PAPEL=A4\r\n20260102");
  EXPECT_EQ(args[0].text(), "BORDERO.QR2");
  EXPECT_EQ(CallPacket("GetEmpresa", {"01", " "}).rows.size(), 1u);
}


// A packet row keeps null apart from an empty text, whatever the field's kind.
TEST_F(MethodsTest, PacketRowsTellNullFromEmpty) {
  using server::Col;
  const Col cols[] = {server::Text("A", 5),   server::Text("B", 5),      server::Text("C", 5),
                      server::Text("D", 5),   server::Integer("E"),       server::Integer("F"),
                      server::Amount("G"),    server::Amount("H"),        server::Percent("I"),
                      server::Percent("J"),   server::Percent("K"),       server::When("L"),
                      server::When("M"),      server::When("N")};
  sql::Stmt st(store->db(),
               "SELECT NULL, '', 'x y', 7, 5, NULL, 1234, NULL, '12.5', '', NULL, '2026-12-06T14:30:00', '', NULL");
  ASSERT_TRUE(st.Step());
  std::vector<Value> row;
  server::ReadRow(st, cols, row);
  const std::vector<Value> expected = {Value(),
                                       Value(std::string()),
                                       Value(std::string("x y")),
                                       Value(std::string("7")),
                                       Value(std::int64_t{5}),
                                       Value(),
                                       Value(Decimal::Parse("12.34")),
                                       Value(),
                                       Value(Decimal::Parse("12.5000")),
                                       Value(Decimal::Parse("0.0000")),
                                       Value(),
                                       Value(DateTime::Make(2026, 12, 6, 14, 30, 0)),
                                       Value(),
                                       Value()};
  ASSERT_EQ(row.size(), expected.size());
  for (std::size_t i = 0; i < row.size(); ++i) EXPECT_EQ(row[i], expected[i]) << "column " << cols[i].name;
}

}  // namespace
}  // namespace pag::test
