#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>

#include "fake_server.h"
#include "host/text.h"
#include "remittance/model/cnab_helpers.h"
#include "remittance/model/remessa_data.h"
#include "remittance/model/writer_context.h"

namespace pag {
namespace {

using testing::FakeTransport;
using testing::OneColumn;

TEST(FormatPicture, FillsDigitPlacesFromTheLeft) {
  struct C {
    const char* value;
    const char* picture;
    const char* shown;
  } cases[] = {
      {"123457", "99999-9", "12345-7"}, {"1234", "99999-9", "1234 - "}, {"0123", "9999", "0123"},
      {"123", "", "123"},               {"12345678", "9999-9", "1234-5678"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatPicture(c.value, c.picture), c.shown) << c.value;
}

TEST(RemessaData, CodesShowTheirTexts) {
  RemessaData d;
  d.cdsCNABPag.CreateDataSet();
  d.cdsCNABPag.Append();
  struct C {
    const char* field;
    const char* code;
    const char* text;
  } cases[] = {
      {"IDOPECNABPAG", "I", "Inclusão"},        {"IDOPECNABPAG", "B", "Bloqueio"},
      {"IDTPREMCNABPAG", "2", "WEB TA"},        {"IDTPREMCNABPAG", "4", "Antecipação"},
      {"IDTPREMCNABPAG", "7", ""},              {"IDAGENREMCNABPAG", "2", "Desautoriza"},
      {"IDAGENREMCNABPAG", "", ""},
  };
  for (const auto& c : cases) {
    d.cdsCNABPag.FieldByName(c.field).SetAsString(c.code);
    EXPECT_EQ(d.cdsCNABPag.FieldByName(c.field).DisplayText(), c.text) << c.field << "=" << c.code;
  }
  // Edit handlers store the code of the chosen text.
  d.cdsCNABPag.FieldByName("IDOPECNABPAG").SetText("Exclusão");
  EXPECT_EQ(d.cdsCNABPag.FieldByName("IDOPECNABPAG").AsString(), "E");
  d.cdsCNABPag.FieldByName("IDOPECNABPAG").SetText("qualquer outro");
  EXPECT_EQ(d.cdsCNABPag.FieldByName("IDOPECNABPAG").AsString(), "B");
  d.cdsCNABPag.FieldByName("IDTPREMCNABPAG").SetText("Normal");
  EXPECT_EQ(d.cdsCNABPag.FieldByName("IDTPREMCNABPAG").AsString(), "3");
  d.cdsCNABPag.FieldByName("IDAGENREMCNABPAG").SetText("Autoriza");
  EXPECT_EQ(d.cdsCNABPag.FieldByName("IDAGENREMCNABPAG").AsString(), "1");
}

TEST(RemessaData, SlipCalculatedFieldAndSituationText) {
  RemessaData d;
  Packet p;
  p.fields = {{"IDSITUCNABP", FieldKind::kString, 2, 0},
              {"CDBARRAPAG", FieldKind::kString, 44, 0},
              {"DSLINHBARPAG", FieldKind::kString, 55, 0}};
  p.rows = {{std::string("90"), std::string(""), std::string("")},
            {std::string("00"), std::string(""), std::string("00190000090343256800800010035178191700000014780")}};
  d.cdsBoletos.LoadPacket(p);
  d.cdsBoletos.SetIndexName("");
  d.cdsBoletos.First();
  EXPECT_EQ(d.cdsBoletos.FieldByName("IdPermCNAB").AsString(), "N");
  EXPECT_EQ(d.cdsBoletos.FieldByName("IDSITUCNABP").DisplayText(), "Baixado via CNAB");
  d.cdsBoletos.Next();
  EXPECT_EQ(d.cdsBoletos.FieldByName("IdPermCNAB").AsString(), "S");
}

TEST(RemessaMessages, KeysAreCaseInsensitiveAndUnknownKeysComeBack) {
  const TMessages& m = RemessaMessages();
  EXPECT_EQ(m.Msg("remessa_inv"), "Remessa não está disponível para o banco informado.");
  EXPECT_EQ(m.Format("DES_IMPRI_BORDERO", {"BORDPAG.QR2"}), "Deseja imprimir o borderô BORDPAG.QR2 ?");
  EXPECT_EQ(m.Msg("NAO_EXISTE"), "NAO_EXISTE");
}

// A slip row with the fields the payee helpers read.
void LoadSlip(RemessaData& d, const std::string& mode, const std::string& barcode, const std::string& bank,
              const std::string& agency, const std::string& account, const std::string& slipBank = "001") {
  Packet p;
  for (const char* f : {"IDBAIXAUTILP", "CDBARRAPAG", "CDBANCBOLP", "CDAGENBOLP", "CDCCORBOLP", "CDBANCCNAB"})
    p.fields.push_back({f, FieldKind::kString, 44, 0});
  p.rows.push_back({mode, barcode, bank, agency, account, slipBank});
  d.cdsBoletos.LoadPacket(p);
}

// The confirmation compares these keys with klBoletos' keys: written from
// the writer's fields they must be RemessaData::SlipKey, padded or not.
class NoLocalDatabase final : public LocalDatabase {
 public:
  Packet Query(const std::string&, const QueryParams&) override { return {}; }
  bool AcessoOperEmpresa(const std::string&, const std::string&) override { return true; }
};

TEST(SlipWritten, KeysOfTheFieldsAreTheSlipKeysAndASecondWriteIsRefused) {
  RemessaData d;
  TDataSet& s = d.cdsBoletos;
  Packet p;
  p.fields = {{"CDFILIBPAG", FieldKind::kString, 0, 0}, {"NRLANBOLPAG", FieldKind::kString, 0, 0}};
  p.rows = {{std::string("1"), std::string("42")},
            {std::string("0001"), std::string("0000000043")},
            {std::string(" 2 "), std::string("44 ")}};
  s.LoadPacket(std::move(p));
  TNetConnection net(std::make_shared<FakeTransport>());
  NoLocalDatabase localdb;
  Session session;
  ScriptedDialogs dialogs;
  MemorySink sink;
  WriterContext ctx{d, net, localdb, session, dialogs, sink, "01", "001", "001", 0, {}};
  const TField& branch = s.FieldByName("CDFILIBPAG");
  const TField& entry = s.FieldByName("NRLANBOLPAG");
  for (s.First(); !s.Eof(); s.Next()) ctx.SlipWritten(branch, entry);
  EXPECT_EQ(ctx.written, (std::set<std::string>{"00010000000042", "00010000000043", "00020000000044"}));
  s.First();
  EXPECT_EQ(RemessaData::SlipKey(s), "00010000000042");
  EXPECT_THROW(ctx.SlipWritten(branch, entry), std::logic_error);
  EXPECT_THROW(ctx.SlipWritten(s), std::logic_error);
  EXPECT_EQ(ctx.written.size(), 3u);
}

TEST(PayeeHelpers, FromBarcodeOrFromThePayeeFields) {
  RemessaData d;
  LoadSlip(d, "B", "", "341", "1234", "99999");
  EXPECT_EQ(RetornaBanco(d.cdsBoletos), " ");
  EXPECT_EQ(RetornaAgencia(d.cdsBoletos), " ");
  LoadSlip(d, "B", "34191917000000147800000003432568000001003517", "", "", "");
  EXPECT_EQ(RetornaBanco(d.cdsBoletos), "341");
  LoadSlip(d, "T", "", "", "1234", "", "237");
  EXPECT_EQ(RetornaBanco(d.cdsBoletos), "237");  // the slip's own bank when no payee bank
  EXPECT_EQ(RetornaAgencia(d.cdsBoletos), "1234");
  EXPECT_EQ(RetornaConta(d.cdsBoletos), "");
}

class ServerHelpers : public ::testing::Test {
 protected:
  void SetUp() override {
    transport = std::make_shared<FakeTransport>();
    net = std::make_unique<TNetConnection>(transport);
    Packet acc;
    for (const char* f : {"CDREDUCONT", "IDFASCNABPAG", "CDCONTCORR", "CDPICTCONT", "CDAGENCIA", "CDPICTAGEN"})
      acc.fields.push_back({f, FieldKind::kString, 20, 0});
    acc.rows.push_back({std::string("007"), std::string("T"), std::string("123457"), std::string("99999-9"),
                        std::string("0123"), std::string("9999")});
    d.cdsContaCorrente.LoadPacket(acc);
  }
  void SetPhase(const std::string& phase) {
    d.cdsContaCorrente.Edit();
    d.cdsContaCorrente.FieldByName("IDFASCNABPAG").SetAsString(phase);
    d.cdsContaCorrente.Post();
  }
  void CounterGives(const std::string& value) {
    transport->handlers["ProximoCodigo"] = [value](std::vector<Arg>&) { return Reply::Text(value); };
    transport->handlers["UpDatePrx"] = [this](std::vector<Arg>& a) {
      reset_to = a.at(0).text();
      reset_key = a.at(1).text();
      return Reply();
    };
    transport->handlers["UpDateCC"] = [](std::vector<Arg>&) { return Reply(); };
  }
  RemessaData d;
  std::shared_ptr<FakeTransport> transport;
  std::unique_ptr<TNetConnection> net;
  std::string reset_to, reset_key;
};

TEST_F(ServerHelpers, AccountSplitByPictures) {
  EXPECT_EQ(Retorna_ContaCorrente(d), "12345");
  EXPECT_EQ(Retorna_DAC_ContaCorrente(d), "7");
  EXPECT_EQ(Retorna_Agencia(d), "0123");
  EXPECT_EQ(Retorna_DV_Agencia(d), " ");
}

TEST_F(ServerHelpers, FileSequenceByPhase) {
  struct C {
    const char* phase;
    const char* counter;
    std::string result;
    bool reset;
  } cases[] = {
      {"T", "00000000000000000011", Ajusta("1", 20), true},
      {"T", "00000000000000000004", "00000000000000000004", false},
      {"P", "00000000000000000003", Ajusta("11", 20), true},
      {"P", "00000000000000000012", "00000000000000000012", false},
      {"", "00000000000000000011", Ajusta("1", 20), true},  // no phase: test phase after UpDateCC
  };
  for (const auto& c : cases) {
    SetPhase(c.phase);
    CounterGives(c.counter);
    reset_to.clear();
    transport->calls.clear();
    EXPECT_EQ(GeraSequencialCNAB(d, *net), c.result) << c.phase << " " << c.counter;
    EXPECT_EQ(!reset_to.empty(), c.reset);
    if (c.reset) {
      EXPECT_EQ(reset_to, c.result);
      EXPECT_EQ(reset_key, "FASECNABPAG007");
    }
    auto methods = transport->Methods();
    EXPECT_EQ(std::count(methods.begin(), methods.end(), "UpDateCC"), std::string(c.phase).empty() ? 1 : 0);
  }
  SetPhase("P");
  CounterGives("abc");
  EXPECT_THROW(GeraSequencialCNAB(d, *net), std::invalid_argument);
}

TEST_F(ServerHelpers, IdentificationOfTheAccountWinsOverTheAgreement) {
  Packet rem;
  rem.fields = {{"CDREDUCONT", FieldKind::kString, 3, 0}, {"CDBANCO", FieldKind::kString, 3, 0}};
  rem.rows = {{std::string("007"), std::string("001")}};
  d.cdsCNABPag.LoadPacket(rem);
  std::string id_conta = "ID-CONTA";
  transport->handlers["GetIdConta"] = [&](std::vector<Arg>&) {
    return Reply::OfPacket(OneColumn("CDIDPAGCONTCORR", {id_conta}));
  };
  transport->handlers["GetEmprBanc"] = [](std::vector<Arg>&) {
    return Reply::OfPacket(OneColumn("CDEMPBANCPAG", {"CONVENIO"}));
  };
  EXPECT_EQ(BuscaIdentPag(d, *net, "01"), "ID-CONTA");
  id_conta = "  ";
  EXPECT_EQ(BuscaIdentPag(d, *net, "01"), "CONVENIO");
  transport->handlers["GetEmprBanc"] = [](std::vector<Arg>&) { return Reply::OfPacket(OneColumn("CDEMPBANCPAG", {})); };
  EXPECT_EQ(BuscaIdentPag(d, *net, "01"), "");
  transport->handlers["GetIdConta"] = [](std::vector<Arg>&) { return Reply::Error("falha no servidor"); };
  EXPECT_THROW(BuscaIdentPag(d, *net, "01"), ServerError);
}

TEST_F(ServerHelpers, DocumentNumberWithOneInvoiceOrTheSlipKey) {
  auto invoices = [](std::vector<std::vector<std::string>> rows) {
    Packet p;
    p.fields = {{"NRNOTAFISC", FieldKind::kString, 20, 0}, {"CDSERIEENTR", FieldKind::kString, 5, 0}};
    for (auto& r : rows) p.rows.push_back({r[0], r[1]});
    return p;
  };
  transport->handlers["GetDocBole"] = [&](std::vector<Arg>&) {
    return Reply::OfPacket(invoices({{"000000123456789", "UNICA"}}));
  };
  EXPECT_EQ(NrDocumento(d, *net, "0001", "0000000042"), "0123456789UN");
  transport->handlers["GetDocBole"] = [&](std::vector<Arg>&) {
    return Reply::OfPacket(invoices({{"1", "A"}, {"2", "B"}}));
  };
  EXPECT_EQ(NrDocumento(d, *net, "0001", "0000000042"), "00010000000042");
  transport->handlers["GetDocBole"] = [&](std::vector<Arg>&) { return Reply::OfPacket(invoices({})); };
  EXPECT_EQ(NrDocumento(d, *net, "0001", "0000000042"), "00010000000042");
  EXPECT_EQ(RetornaEmissao(d, *net, "0001", "0000000042"), ZeroDateTime());
}

TEST_F(ServerHelpers, RemittanceBranchLoadedWhenMissingAndFoundOrRefused) {
  auto remittance = [&](const std::string& branch) {
    Packet rem;
    rem.fields = {{"CDFILIAL", FieldKind::kString, 4, 0}, {"CDEMPRESA", FieldKind::kString, 2, 0}};
    rem.rows = {{branch, std::string("01")}};
    d.cdsCNABPag.LoadPacket(rem);
  };
  int calls = 0;
  std::string asked;
  transport->handlers["GetFilial"] = [&](std::vector<Arg>& a) {
    ++calls;
    asked = a.at(0).text() + "/" + a.at(1).text();
    return Reply::OfPacket(OneColumn("CDFILIAL", {"0001", "0002"}));
  };
  struct Case {
    std::string branch;
    bool loaded;  // cdsFilial already open, as the screen leaves it
    RemittanceBranch result;
    std::string current;  // cdsFilial's current branch afterwards
  } cases[] = {
      {"    ", false, RemittanceBranch::kNone, ""},
      {"0001", false, RemittanceBranch::kFound, "0001"},
      {"0002", false, RemittanceBranch::kFound, "0002"},
      {"0002", true, RemittanceBranch::kFound, "0002"},
      {"0009", false, RemittanceBranch::kUnknown, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.branch);
    d.cdsFilial.Close();
    if (c.loaded) d.cdsFilial.LoadPacket(OneColumn("CDFILIAL", {"0001", "0002"}));
    calls = 0;
    remittance(c.branch);
    EXPECT_EQ(CarregaFilialRemessa(d, *net), c.result);
    EXPECT_EQ(calls, c.loaded || c.result == RemittanceBranch::kNone ? 0 : 1);
    if (calls) {
      EXPECT_EQ(asked, c.branch + "/01");
    }
    if (!c.current.empty()) {
      EXPECT_EQ(d.cdsFilial.FieldByName("CDFILIAL").AsString(), c.current);
    }
  }
  // A branch the server does not know: an empty answer.
  d.cdsFilial.Close();
  transport->handlers["GetFilial"] = [](std::vector<Arg>&) { return Reply::OfPacket(OneColumn("CDFILIAL", {})); };
  remittance("0001");
  EXPECT_EQ(CarregaFilialRemessa(d, *net), RemittanceBranch::kUnknown);
}

}  // namespace
}  // namespace pag
