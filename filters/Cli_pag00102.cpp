#include "filters/Cli_pag00102.h"

#include "host/errors.h"
#include "host/text.h"

namespace pag {

const TMessages& FiltroBoletoMessages() {
  static const TMessages messages{
      "Fpag|Tipo de Baixa",
      "CCorr|Conta Corrente",
      "Filial|Filial",
      "Fornece|Fornecedor",
      "Forn_inf|Fornecedor deve ser informado.",
      "NumeroIni_inf|Número inicial deve ser informado.",
      "NumeroIni_menor|Número inicial deve ser menor ou igual ao número final.",
      "NumeroFin_inf|Número final deve ser informado.",
      "FiliOrig_inf|Filial de origem deve ser informada.",
      "FiliLanc_inf|Filial de lançamento deve ser informada.",
      "DtVencIni_inf|Data de vencimento inicial deve ser informada.",
      "DtVencIni_menor|Data de vencimento inicial deve ser menor ou igual a data de vencimento final.",
      "DtVencFin_inf|Data de vencimento final deve ser informada.",
      "FormPag_inf|Tipo de Baixa deve ser informado.",
      "CCorr_inf|Conta corrente deve ser informada.",
      "VrLiqu_menor|Valor inicial deve ser menor ou igual ao valor final.",
      "BancBene|Banco Beneficiário",
      "BancBenef_inf|Banco Beneficiário deve ser informado.",
      "Grupo_Fornecedor|Grupo de Fornecedores",
      "GrForn_inf|Grupo de Fornecedores deve ser informado.",
      "GrForn_Cad|Não há Grupo de Fornecedor cadastrado.",
  };
  return messages;
}

namespace {

constexpr int kDefaultDocLength = 7;

std::string RowText(const Packet& p, std::size_t row, std::string_view field) {
  auto i = p.FieldIndex(field);
  return i ? ValueToText(p.rows[row][*i]) : std::string();
}

std::string ShowInscricao(const Packet& p, std::size_t row) {
  return FormatMaskText(RowText(p, row, "NRINSJURFORN"), PictPess(RowText(p, row, "IDTPIJURFORN")));
}

// A first or last document number as the server takes it: zero-filled to
// 20 less its own length. A number longer than 10 characters would lose
// digits that way; it goes as typed (the server compares numbers
// zero-filled to 20, so only leading zeros could differ).
std::string DocumentArg(const std::string& text) {
  const int length = static_cast<int>(TextLength(text));
  const std::string trimmed = AllTrim(text);
  const int width = 20 - length;
  return static_cast<int>(TextLength(trimmed)) <= width ? Ajusta(trimmed, width) : trimmed;
}

}  // namespace

// One request's criteria, read either from the controls (a confirmation) or
// from Filtro (the screen reloading its slips).
struct TfrmFiltroBoletoCNAB::Criteria {
  TTodosLista forn, banc, orig, lanc, fpag;  // Todos: no restriction
  std::string docIni, docFin;
  std::optional<Date> dtIni, dtFin;  // nullopt when the edit is blank
  Decimal vrIni, vrFin;
  int barra = 2;
  bool naoEnviado = false, envRetoErro = false;
  int pessoa = 0;
  std::string nrRemessa, nrRetorno;
  std::string grForn;
};

TfrmFiltroBoletoCNAB::TfrmFiltroBoletoCNAB(FilterHost& host, FiltroBoletoUnit& unit)
    : TfrmFiltroPadrao(host, "PAG00102", "Filtro de Boletos a Enviar", FiltroBoletoMessages()), unit_(unit) {}

Date TfrmFiltroBoletoCNAB::ProcessingDate() const {
  return host_.session.DataProc(host_.session.FiliProc());
}

int TfrmFiltroBoletoCNAB::GeralDays(const char* field) const {
  const TDataSet& geral = host_.data.cdsGeralPag;
  if (!geral.Active() || geral.IsEmpty()) return 0;
  return static_cast<int>(geral.FieldByName(field).AsInteger());
}

std::string TfrmFiltroBoletoCNAB::Movement() const {
  const TDataSet& rem = host_.data.cdsCNABPag;
  if (!rem.Active()) return {};
  return AllTrim(rem.FieldByName("IDOPECNABPAG").AsString());
}

void TfrmFiltroBoletoCNAB::FormCreate() {
  TfrmFiltroPadrao::FormCreate();
  RemessaData& d = host_.data;
  d.cdsGeralPag.LoadPacket(host_.net.CallPacket("GetGeral_Pag"));
  unit_.boFiliOrigPesq = false;
  d.cdsParamFilial.LoadPacket(host_.net.CallPacket("GetParamFilial", {Arg(host_.session.FiliProc())}));
  int length = kDefaultDocLength;
  if (!d.cdsParamFilial.IsEmpty()) {
    const std::string t = AllTrim(d.cdsParamFilial.FieldByName("NRTAMNUMNFUT").AsString());
    // A parameter that is not a length of 1 to 20 is taken as blank.
    if (IsDigits(t) && StrToInt(t) >= 1 && StrToInt(t) <= 20) length = static_cast<int>(StrToInt(t));
  }
  medDocIni.SetMaxLength(length);
  medDocFin.SetMaxLength(length);
  Filtro = TFILTRO{};
  const Date proc = ProcessingDate();
  Filtro.DtVencIni = AddDays(proc, -GeralDays("QTDIAANTBOLP"));
  Filtro.DtVencFin = AddDays(proc, GeralDays("QTDIAAPOBOLP"));
}

void TfrmFiltroBoletoCNAB::FormActivate() { AtualizaFiltro(true); }

void TfrmFiltroBoletoCNAB::SyncButtons() {
  btnGrForn.Enabled = rbtListaGrForn.Checked;
  btnListForn.Enabled = rbtListForn.Checked;
  btnBancBenef.Enabled = rbtListBancBene.Checked;
  btnFiliOrig.Enabled = rbtListaFiliOr.Checked;
  btnFiliLanc.Enabled = rbtListFiliLanc.Checked;
  btnPesqFPag.Enabled = rbtFPag.Checked;
}

void TfrmFiltroBoletoCNAB::AtualizaFiltro(bool toScreen) {
  struct Pair {
    TTodosLista& rec;
    RadioButton& todos;
    RadioButton& lista;
    std::string& list;
  };
  Pair pairs[] = {{Filtro.GrupForn, rbtTodosGrForn, rbtListaGrForn, unit_.stGrForn},
                  {Filtro.Forneced, rbtTForn, rbtListForn, unit_.stListForn},
                  {Filtro.BancBene, rbtTdsBancBene, rbtListBancBene, unit_.stListBancBene},
                  {Filtro.FiliOrig, rbtTFiliOrig, rbtListaFiliOr, unit_.stFiliOrig},
                  {Filtro.FiliLanc, rbtTFiliLanc, rbtListFiliLanc, unit_.stFiliLanc},
                  {Filtro.FormPag, rbtTFormPag, rbtFPag, unit_.stListFPag}};
  if (toScreen) {
    for (Pair& p : pairs) {
      p.todos.Checked = p.rec.Todos;
      p.lista.Checked = !p.rec.Todos;
      p.list = p.rec.Lista;
    }
    SyncButtons();
    medDocIni.SetText(Filtro.NumDoc.Inicial);
    medDocFin.SetText(Filtro.NumDoc.Final);
    depDtIniVen.Clear();
    depDtFinVen.Clear();
    depDtIniVen.SetDate(Filtro.DtVencIni);
    depDtFinVen.SetDate(Filtro.DtVencFin);
    nedVrLiqIni.SetValue(Filtro.VrLiqIni);
    nedVrLiqFin.SetValue(Filtro.VrLiqFin);
    rdgCdBarraPag.ItemIndex = Filtro.CdBarraPag;
    chbNaoEnviado.Checked = Filtro.NaoEnviado;
    chbEnv_RetoErro.Checked = Filtro.EnvRetoErro;
    medNrRemessa.SetText(Filtro.NumeroCNAB.NrRemessa);
    medNrRetorno.SetText(Filtro.NumeroCNAB.NrRetorno);
    return;
  }
  for (Pair& p : pairs) p.rec = TTodosLista{p.todos.Checked, p.list};
  // A branch-of-origin list counts only once the lookup has given one in
  // this dialog's life (not one restored from saved options).
  if (!unit_.boFiliOrigPesq) Filtro.FiliOrig = TTodosLista{true, " "};
  Filtro.NumDoc = {medDocIni.Text(), medDocFin.Text()};
  Filtro.DtVencIni = depDtIniVen.GetDate();
  Filtro.DtVencFin = depDtFinVen.GetDate();
  Filtro.VrLiqIni = nedVrLiqIni.Value();
  Filtro.VrLiqFin = nedVrLiqFin.Value();
  Filtro.CdBarraPag = rdgCdBarraPag.ItemIndex;
  Filtro.NaoEnviado = chbNaoEnviado.Checked;
  Filtro.EnvRetoErro = chbEnv_RetoErro.Checked;
  Filtro.NumeroCNAB = {medNrRemessa.Text(), medNrRetorno.Text()};
  // An exclusion always asks for the slips already sent: the situation
  // boxes mean nothing then. They come back for another movement.
  const bool exclusao = Movement() == "E";
  chbNaoEnviado.Enabled = !exclusao;
  chbEnv_RetoErro.Enabled = !exclusao;
}

TfrmFiltroBoletoCNAB::Criteria TfrmFiltroBoletoCNAB::FromControls() {
  Criteria c;
  c.forn = {!rbtListForn.Checked, unit_.stListForn};
  if (!rbtListBancBene.Checked) unit_.stListBancBene = " ";
  c.banc = {!rbtListBancBene.Checked, unit_.stListBancBene};
  c.orig = {!rbtListaFiliOr.Checked, unit_.stFiliOrig};
  c.lanc = {!rbtListFiliLanc.Checked, unit_.stFiliLanc};
  c.fpag = {!rbtFPag.Checked, unit_.stListFPag};
  c.docIni = medDocIni.Text();
  c.docFin = medDocFin.Text();
  c.dtIni = depDtIniVen.GetDate();
  c.dtFin = depDtFinVen.GetDate();
  c.vrIni = nedVrLiqIni.Value();
  c.vrFin = nedVrLiqFin.Value();
  c.barra = rdgCdBarraPag.ItemIndex;
  c.naoEnviado = chbNaoEnviado.Checked;
  c.envRetoErro = chbEnv_RetoErro.Checked;
  c.pessoa = rdgPessoa.ItemIndex;
  c.nrRemessa = medNrRemessa.Text();
  c.nrRetorno = medNrRetorno.Text();
  c.grForn = unit_.stGrForn;
  return c;
}

TfrmFiltroBoletoCNAB::Criteria TfrmFiltroBoletoCNAB::FromFiltro() const {
  Criteria c;
  c.forn = Filtro.Forneced;
  c.banc = Filtro.BancBene;
  c.orig = Filtro.FiliOrig;
  c.lanc = Filtro.FiliLanc;
  c.fpag = Filtro.FormPag;
  c.docIni = Filtro.NumDoc.Inicial;
  c.docFin = Filtro.NumDoc.Final;
  c.dtIni = Filtro.DtVencIni;
  c.dtFin = Filtro.DtVencFin;
  c.vrIni = Filtro.VrLiqIni;
  c.vrFin = Filtro.VrLiqFin;
  c.barra = Filtro.CdBarraPag;
  c.naoEnviado = Filtro.NaoEnviado;
  c.envRetoErro = Filtro.EnvRetoErro;
  c.pessoa = rdgPessoa.ItemIndex;  // the person choice lives only in its control
  c.nrRemessa = Filtro.NumeroCNAB.NrRemessa;
  c.nrRetorno = Filtro.NumeroCNAB.NrRetorno;
  c.grForn = Filtro.GrupForn.Todos ? std::string() : Filtro.GrupForn.Lista;
  return c;
}

std::vector<Arg> TfrmFiltroBoletoCNAB::Request(const Criteria& c) const {
  // A key-list criterion: the keys with flag " ", or " " with flag "T".
  auto list = [](const TTodosLista& t) { return t.Todos ? std::string(" ") : t.Lista; };
  auto flag = [](const TTodosLista& t) { return std::string(t.Todos ? "T" : " "); };

  const bool docs = !EmptyString(c.docIni) && !EmptyString(c.docFin);
  const bool dates = c.dtIni && c.dtFin;
  const bool values = !c.vrIni.IsNegative() && c.vrFin > Decimal(0);
  const DateTime zero = ZeroDateTime();

  std::string barra = " ", barraFlag = "T";
  if (c.barra == 0 || c.barra == 1) {
    barra = c.barra == 0 ? "0" : "1";
    barraFlag = " ";
  }

  std::string situacao = " ";
  if (c.naoEnviado) situacao = "_00";
  if (c.envRetoErro) situacao += "_01";
  const std::string mov = Movement();
  if (mov == "I" || mov == "B") {
    if (!c.naoEnviado && !c.envRetoErro) situacao = "_00_01";
  } else {
    situacao = "10_20";
  }

  std::string pessoa, pessoaFlag;
  switch (c.pessoa) {
    case 0: pessoaFlag = "T"; break;
    case 1: pessoa = "J"; break;
    case 2: pessoa = "F"; break;
    case 3: pessoa = "_O_I"; break;
    default: break;
  }

  const TDataSet& rem = host_.data.cdsCNABPag;
  const std::string conta = rem.Active() ? rem.FieldByName("CDREDUCONT").AsString() : std::string();

  return {
      Arg(host_.medCdEmpresa ? host_.medCdEmpresa() : std::string()),  // 1 company
      Arg::Ref("N"),                                                     // 2 slips not in a remittance
      Arg::Ref("T"),                                                     // 3 enabled or not
      Arg::Ref(list(c.orig)),                                            // 4-5 branches of origin
      Arg::Ref(flag(c.orig)),
      Arg(conta),                                                        // 6 the remittance's account
      Arg::Ref(list(c.forn)),                                            // 7-8 suppliers
      Arg::Ref(flag(c.forn)),
      Arg::Ref(docs ? DocumentArg(c.docIni) : " "),                      // 9-11 document numbers
      Arg::Ref(docs ? DocumentArg(c.docFin) : " "),
      Arg::Ref(docs ? " " : "T"),
      Arg::Ref(list(c.lanc)),                                            // 12-13 launch branches
      Arg::Ref(flag(c.lanc)),
      Arg(dates ? DateTime::FromDate(*c.dtIni) : zero),                  // 14-16 due dates
      Arg(dates ? DateTime::FromDate(*c.dtFin) : zero),
      Arg::Ref(dates ? " " : "T"),
      Arg::Ref(list(c.fpag)),                                            // 17-18 payment forms
      Arg::Ref(flag(c.fpag)),
      Arg(values ? c.vrIni : Decimal(0)),                                // 19-21 net values
      Arg(values ? c.vrFin : Decimal(0)),
      Arg::Ref(values ? " " : "T"),
      Arg::Ref(barra),                                                   // 22-23 barcode
      Arg::Ref(barraFlag),
      Arg::Ref(situacao),                                                // 24 situations
      Arg::Ref(list(c.banc)),                                            // 25-26 beneficiary banks
      Arg::Ref(flag(c.banc)),
      Arg::Ref(pessoa),                                                  // 27-28 person types
      Arg::Ref(pessoaFlag),
      Arg(c.nrRemessa),                                                  // 29 remittance number typed
      Arg(c.nrRetorno),                                                  // 30 return number typed
      Arg::Ref(c.grForn),                                                // 31 supplier groups
  };
}

std::vector<Arg> TfrmFiltroBoletoCNAB::BoletosCriteria() const { return Request(FromFiltro()); }

void TfrmFiltroBoletoCNAB::sbtConfirmaClick() {
  VdDataValida(depDtIniVen, "depDtIniVen");
  VdDataValida(depDtFinVen, "depDtFinVen");
  if (medDocFin.IsBlank()) medDocFin.SetText(medDocIni.Text());
  Vd_GrForn();
  Vd_Fornecedor();
  Vd_BancBenef();
  if (unit_.stModo == kModoEscondido) {
    Vd_FiliOrig();
    Vd_FiliLanc();
    Vd_docuIni(true);
    Vd_docuFin(true);
    Vd_DtVencIni(true);
    Vd_DtVencFin(true);
    Vd_FormPag();
    Vd_VrLiquIni();
  }
  medNrRemessa.SetText(Ajusta(medNrRemessa.Text(), 10));
  medNrRetorno.SetText(Ajusta(medNrRetorno.Text(), 10));

  std::vector<Arg> args = Request(FromControls());
  RemessaData& d = host_.data;
  d.cdsBoletos.LoadPacket(CheckResultServ(host_.net.Call("GetBoletos", args)).packet());
  if (!d.cdsBolCnab.Active()) d.cdsBolCnab.CreateDataSet();
  d.cdsBolCnab.EmptyDataSet();
  Close();
  AtualizaFiltro(false);
  if (d.cdsBoletos.IsEmpty()) {
    if (d.cdsCntPagar.Active()) {
      d.cdsCntPagar.EmptyDataSet();
    } else {
      d.cdsCntPagar.CreateDataSet();
    }
  }
  ModalResult = kMrOk;
}

void TfrmFiltroBoletoCNAB::RunHidden() {
  FormActivate();
  unit_.stModo = kModoEscondido;
  sbtConfirmaClick();
  RemessaData& d = host_.data;
  if (d.cdsCNABPag.State() == DataSetState::kBrowse && !d.cdsCNABPag.IsEmpty()) {
    const std::string remessa = d.cdsBoletos.FieldByName("NRCNABPAGREM").AsString();
    d.cdsTotRemessa.LoadPacket(host_.net.CallPacket("GetTotRemessa", {Arg(remessa)}));
    d.nedQuant = static_cast<int>(d.cdsTotRemessa.FieldByName("QTBOLETOS").AsInteger());
    d.nedTotal = d.cdsTotRemessa.FieldByName("VRTOTBOL").AsDecimal();
  } else {
    d.nedQuant = 0;
    d.nedTotal = Decimal::FromUnits(0, 2);
    d.inQtBol = 0;
  }
}

void TfrmFiltroBoletoCNAB::sbtLimpaClick() {
  host_.data.cdsGeralPag.LoadPacket(host_.net.CallPacket("GetGeral_Pag"));
  for (RadioButton* r : {&rbtTodosGrForn, &rbtTForn, &rbtTdsBancBene, &rbtTFiliOrig, &rbtTFiliLanc, &rbtTFormPag})
    r->Checked = true;
  for (RadioButton* r : {&rbtListaGrForn, &rbtListForn, &rbtListBancBene, &rbtListaFiliOr, &rbtListFiliLanc, &rbtFPag})
    r->Checked = false;
  SyncButtons();
  unit_.stListForn = unit_.stListBancBene = unit_.stFiliOrig = unit_.stFiliLanc = unit_.stListFPag = " ";
  unit_.stGrForn.clear();
  medDocIni.SetText(" ");
  medDocFin.SetText(" ");
  const Date proc = ProcessingDate();
  depDtIniVen.Clear();
  depDtFinVen.Clear();
  depDtIniVen.SetDate(AddDays(proc, -GeralDays("QTDIAANTBOLP")));
  depDtFinVen.SetDate(AddDays(proc, GeralDays("QTDIAAPOBOLP")));
  nedVrLiqIni.SetValue(Decimal(0));
  nedVrLiqFin.SetValue(Decimal(0));
  rdgCdBarraPag.ItemIndex = 2;
  chbNaoEnviado.Checked = false;
  chbEnv_RetoErro.Checked = false;
  medNrRemessa.SetText("");
  medNrRetorno.SetText("");
}

// ---- Field events ---------------------------------------------------------

void TfrmFiltroBoletoCNAB::rbtTodosGrFornClick() {
  CheckRadio(rbtTodosGrForn, rbtListaGrForn);
  btnGrForn.Enabled = false;
  unit_.stGrForn.clear();
}

void TfrmFiltroBoletoCNAB::rbtListaGrFornClick() {
  CheckRadio(rbtListaGrForn, rbtTodosGrForn);
  btnGrForn.Enabled = true;
  unit_.stGrForn.clear();
}

void TfrmFiltroBoletoCNAB::rbtTFornClick() {
  CheckRadio(rbtTForn, rbtListForn);
  unit_.stListForn .assign(1, ' ');
  btnListForn.Enabled = false;
}

void TfrmFiltroBoletoCNAB::rbtListFornClick() {
  CheckRadio(rbtListForn, rbtTForn);
  btnListForn.Enabled = true;
}

void TfrmFiltroBoletoCNAB::rbtTdsBancBeneClick() {
  CheckRadio(rbtTdsBancBene, rbtListBancBene);
  btnBancBenef.Enabled = false;
}

void TfrmFiltroBoletoCNAB::rbtListBancBeneClick() {
  CheckRadio(rbtListBancBene, rbtTdsBancBene);
  btnBancBenef.Enabled = true;
}

void TfrmFiltroBoletoCNAB::rbtTFiliOrigClick() {
  CheckRadio(rbtTFiliOrig, rbtListaFiliOr);
  unit_.stFiliOrig .assign(1, ' ');
  btnFiliOrig.Enabled = false;
}

void TfrmFiltroBoletoCNAB::rbtListaFiliOrClick() {
  CheckRadio(rbtListaFiliOr, rbtTFiliOrig);
  btnFiliOrig.Enabled = true;
}

void TfrmFiltroBoletoCNAB::rbtTFiliLancClick() {
  CheckRadio(rbtTFiliLanc, rbtListFiliLanc);
  unit_.stFiliLanc .assign(1, ' ');
  btnFiliLanc.Enabled = false;
}

void TfrmFiltroBoletoCNAB::rbtListFiliLancClick() {
  CheckRadio(rbtListFiliLanc, rbtTFiliLanc);
  btnFiliLanc.Enabled = true;
}

void TfrmFiltroBoletoCNAB::rbtTFormPagClick() {
  CheckRadio(rbtTFormPag, rbtFPag);
  unit_.stListFPag .assign(1, ' ');
  btnPesqFPag.Enabled = false;
}

void TfrmFiltroBoletoCNAB::rbtFPagClick() {
  CheckRadio(rbtFPag, rbtTFormPag);
  btnPesqFPag.Enabled = true;
}

void TfrmFiltroBoletoCNAB::medDocIniExit() {
  medDocIni.SetText(Ajusta(medDocIni.Text(), DocLength()));
  if (medDocFin.IsBlank()) medDocFin.SetText(medDocIni.Text());
}

void TfrmFiltroBoletoCNAB::medDocFinExit() { medDocFin.SetText(Ajusta(medDocFin.Text(), DocLength())); }

void TfrmFiltroBoletoCNAB::medNrRemessaExit() { medNrRemessa.SetText(Ajusta(medNrRemessa.Text(), 10)); }

void TfrmFiltroBoletoCNAB::medNrRetornoExit() { medNrRetorno.SetText(Ajusta(medNrRetorno.Text(), 10)); }

void TfrmFiltroBoletoCNAB::medNrRemessaKeyPress(char& key) {
  if (key == '-') key = 0;
}

void TfrmFiltroBoletoCNAB::medNrRetornoKeyPress(char& key) {
  if (key == '-') key = 0;
}

void TfrmFiltroBoletoCNAB::nedVrLiqIniKeyPress(char& key) {
  if (!MaxNumber(nedVrLiqIni.Text(), 10, 2, key)) key = 0;
}

void TfrmFiltroBoletoCNAB::nedVrLiqFinKeyPress(char& key) {
  if (!MaxNumber(nedVrLiqFin.Text(), 10, 2, key)) key = 0;
}

// ---- Lookups ----------------------------------------------------------------

void TfrmFiltroBoletoCNAB::btnGrFornClick() {
  const Packet rows = host_.local.Query("qryGrForn", {});
  if (rows.empty()) Falha("GrForn_Cad", "rbtTodosGrForn");
  std::vector<std::string> picked;
  if (host_.dialogs.PesquisaLista(MakePickList(rows, Msg("Grupo_Fornecedor"),
                                               {{"CDGRUPFORN", "Código"}, {"NMGRUPFORN", "Nome"}}, "CDGRUPFORN"),
                                  picked))
    unit_.stGrForn = JoinKeyList(picked);
}

QueryParams TfrmFiltroBoletoCNAB::btnListFornBeforePesq() const {
  static const char* const kPessoa[] = {"", "J", "F", "_O_I"};
  const int p = rdgPessoa.ItemIndex;
  return {{"P_TCDGRUPFORN", std::string(rbtTodosGrForn.Checked ? "T" : "")},
          {"P_CDGRUPFORN", unit_.stGrForn},
          {"P_TIDTPIJURFORN", std::string(p == 0 ? "T" : "")},
          {"P_IDTPIJURFORN", std::string(p >= 0 && p <= 3 ? kPessoa[p] : "")}};
}

void TfrmFiltroBoletoCNAB::btnListFornClick() {
  const Packet rows = host_.local.Query("qryFornecedor", btnListFornBeforePesq());
  std::vector<std::string> picked;
  if (host_.dialogs.PesquisaLista(MakePickList(rows, Msg("Fornece"),
                                               {{"CDFORNECED", "Código"},
                                                {"NMRAZSOCFORN", "Razão Social"},
                                                {"NMFANTFORN", "Nome Fantasia"},
                                                {"NRINSJURFORN", "Inscrição", ShowInscricao}},
                                               "CDFORNECED"),
                                  picked))
    unit_.stListForn = JoinKeyList(picked);
}

void TfrmFiltroBoletoCNAB::btnBancBenefClick() {
  const Packet rows = host_.local.Query("qryBancBene", {});
  std::vector<std::string> picked;
  if (host_.dialogs.PesquisaLista(
          MakePickList(rows, Msg("BancBene"), {{"CDBANCO", "Código"}, {"NMBANCO", "Nome"}}, "CDBANCO"), picked))
    unit_.stListBancBene = JoinKeyList(picked);
}

void TfrmFiltroBoletoCNAB::btnFiliOrigClick() {
  const Packet rows = host_.local.Query("qryFilial", {});
  std::vector<std::string> picked;
  if (host_.dialogs.PesquisaLista(
          MakePickList(rows, Msg("Filial"), {{"CDFILIAL", "Código"}, {"NMFILIAL", "Nome"}}, "CDFILIAL"), picked)) {
    unit_.stFiliOrig = JoinKeyList(picked);
    unit_.boFiliOrigPesq = true;
  }
}

void TfrmFiltroBoletoCNAB::btnFiliLancClick() {
  const Packet rows = host_.local.Query("qryFilial", {});
  std::vector<std::string> picked;
  if (host_.dialogs.PesquisaLista(
          MakePickList(rows, Msg("Filial"), {{"CDFILIAL", "Código"}, {"NMFILIAL", "Nome"}}, "CDFILIAL"), picked))
    unit_.stFiliLanc = JoinKeyList(picked);
}

void TfrmFiltroBoletoCNAB::btnPesqFPagClick() {
  TDataSet& forma = host_.data.cdsFormaPag;
  forma.LoadPacket(host_.net.CallPacket("GetFormaPag"));
  std::vector<std::string> picked;
  if (host_.dialogs.PesquisaLista(MakePickList(forma.ToPacket(), Msg("FPag"),
                                               {{"CDTPBAIXAPAG", "Código"}, {"NMTPBAIXAPAG", "Nome"}}, "CDTPBAIXAPAG"),
                                  picked))
    unit_.stListFPag = JoinKeyList(picked);
}

// ---- Checks -----------------------------------------------------------------

void TfrmFiltroBoletoCNAB::Vd_GrForn() {
  if (rbtListaGrForn.Checked && EmptyString(unit_.stGrForn)) Falha("GrForn_inf", "rbtListaGrForn");
}

void TfrmFiltroBoletoCNAB::Vd_Fornecedor() {
  if (rbtListForn.Checked && EmptyString(unit_.stListForn)) Falha("Forn_inf", "rbtListForn");
}

void TfrmFiltroBoletoCNAB::Vd_BancBenef() {
  if (rbtListBancBene.Checked && EmptyString(unit_.stListBancBene)) Falha("BancBenef_inf", "rbtListBancBene");
}

void TfrmFiltroBoletoCNAB::Vd_FiliOrig() {
  if (rbtListaFiliOr.Checked && EmptyString(unit_.stFiliOrig)) Falha("FiliOrig_inf", "rbtListaFiliOr");
}

void TfrmFiltroBoletoCNAB::Vd_FiliLanc() {
  if (rbtListFiliLanc.Checked && EmptyString(unit_.stFiliLanc)) Falha("FiliLanc_inf", "rbtListFiliLanc");
}

void TfrmFiltroBoletoCNAB::Vd_FormPag() {
  if (rbtFPag.Checked && EmptyString(unit_.stListFPag)) Falha("FormPag_inf", "rbtFPag");
}

void TfrmFiltroBoletoCNAB::Vd_docuIni(bool required) {
  if (medDocIni.IsBlank()) {
    if (required && !medDocFin.IsBlank()) Falha("NumeroIni_inf", "medDocIni");
    return;
  }
  // Both numbers zero-filled to the same width compare as numbers do.
  medDocIni.SetText(Ajusta(medDocIni.Text(), DocLength()));
  if (medDocFin.IsBlank()) return;
  medDocFin.SetText(Ajusta(medDocFin.Text(), DocLength()));
  if (medDocIni.Text() > medDocFin.Text()) Falha("NumeroIni_menor", "medDocIni");
}

void TfrmFiltroBoletoCNAB::Vd_docuFin(bool required) {
  if (!medDocFin.IsBlank()) {
    medDocFin.SetText(Ajusta(medDocFin.Text(), DocLength()));
    return;
  }
  if (required && !medDocIni.IsBlank()) Falha("NumeroFin_inf", "medDocFin");
}

void TfrmFiltroBoletoCNAB::Vd_DtVencIni(bool required) {
  VdDataValida(depDtIniVen, "depDtIniVen");
  if (!required) return;
  if (depDtIniVen.IsBlank()) {
    if (!depDtFinVen.IsBlank()) Falha("DtVencIni_inf", "depDtIniVen");
    return;
  }
  VdDataValida(depDtFinVen, "depDtFinVen");
  if (!depDtFinVen.IsBlank() && *depDtFinVen.GetDate() < *depDtIniVen.GetDate())
    Falha("DtVencIni_menor", "depDtIniVen");
}

void TfrmFiltroBoletoCNAB::Vd_DtVencFin(bool required) {
  VdDataValida(depDtFinVen, "depDtFinVen");
  if (required && depDtFinVen.IsBlank() && !depDtIniVen.IsBlank()) Falha("DtVencFin_inf", "depDtFinVen");
}

void TfrmFiltroBoletoCNAB::Vd_VrLiquIni() {
  if (nedVrLiqIni.IsBlank()) nedVrLiqIni.SetText("0");
  if (nedVrLiqFin.IsBlank()) nedVrLiqFin.SetText("0");
  if (nedVrLiqFin.Value() < nedVrLiqIni.Value()) Falha("VrLiqu_menor", "nedVrLiqIni");
}

// ---- Saved options ------------------------------------------------------------

namespace {

constexpr const char* kListNames[] = {"stGrForn", "stListForn", "stListBancBene",
                                      "stFiliOrig", "stFiliLanc", "stListFPag"};

}  // namespace

void TfrmFiltroBoletoCNAB::btfSaveOpcClick() {
  // The lists go into the option list before it is written, so that they
  // are saved with the controls.
  const std::string* lists[] = {&unit_.stGrForn,   &unit_.stListForn, &unit_.stListBancBene,
                                &unit_.stFiliOrig, &unit_.stFiliLanc, &unit_.stListFPag};
  for (std::size_t i = 0; i < 6; ++i) Opcoes.Set(kListNames[i], *lists[i]);
  TfrmFiltroPadrao::btfSaveOpcClick();
}

void TfrmFiltroBoletoCNAB::btfLoadOpcClick() {
  TfrmFiltroPadrao::btfLoadOpcClick();
  std::string* lists[] = {&unit_.stGrForn,   &unit_.stListForn, &unit_.stListBancBene,
                          &unit_.stFiliOrig, &unit_.stFiliLanc, &unit_.stListFPag};
  for (std::size_t i = 0; i < 6; ++i)
    if (auto v = Opcoes.Get(kListNames[i])) *lists[i] = *v;
}

void TfrmFiltroBoletoCNAB::SaveControls(OptionList& o) const {
  const std::pair<const char*, const RadioButton*> radios[] = {
      {"rbtTodosGrForn", &rbtTodosGrForn}, {"rbtTForn", &rbtTForn},         {"rbtTdsBancBene", &rbtTdsBancBene},
      {"rbtTFiliOrig", &rbtTFiliOrig},     {"rbtTFiliLanc", &rbtTFiliLanc}, {"rbtTFormPag", &rbtTFormPag}};
  for (const auto& [name, r] : radios) o.Set(name, Flag(r->Checked));
  o.Set("medDocIni", medDocIni.Text());
  o.Set("medDocFin", medDocFin.Text());
  o.Set("rdgPessoa", std::to_string(rdgPessoa.ItemIndex));
  o.Set("depDtIniVen", depDtIniVen.Text());
  o.Set("depDtFinVen", depDtFinVen.Text());
  o.Set("nedVrLiqIni", nedVrLiqIni.Text());
  o.Set("nedVrLiqFin", nedVrLiqFin.Text());
  o.Set("medNrRemessa", medNrRemessa.Text());
  o.Set("medNrRetorno", medNrRetorno.Text());
  o.Set("rdgCdBarraPag", std::to_string(rdgCdBarraPag.ItemIndex));
  o.Set("chbNaoEnviado", Flag(chbNaoEnviado.Checked));
  o.Set("chbEnv_RetoErro", Flag(chbEnv_RetoErro.Checked));
}

bool TfrmFiltroBoletoCNAB::LoadControls(const OptionList& o) {
  // Everything is read into a copy first, so that a damaged entry changes nothing.
  struct Pair {
    const char* name;
    RadioButton* todos;
    RadioButton* lista;
    bool value;
  };
  Pair pairs[] = {{"rbtTodosGrForn", &rbtTodosGrForn, &rbtListaGrForn, rbtTodosGrForn.Checked},
                  {"rbtTForn", &rbtTForn, &rbtListForn, rbtTForn.Checked},
                  {"rbtTdsBancBene", &rbtTdsBancBene, &rbtListBancBene, rbtTdsBancBene.Checked},
                  {"rbtTFiliOrig", &rbtTFiliOrig, &rbtListaFiliOr, rbtTFiliOrig.Checked},
                  {"rbtTFiliLanc", &rbtTFiliLanc, &rbtListFiliLanc, rbtTFiliLanc.Checked},
                  {"rbtTFormPag", &rbtTFormPag, &rbtFPag, rbtTFormPag.Checked}};
  for (Pair& p : pairs)
    if (!ReadFlag(o, p.name, p.value)) return false;
  int pessoa = rdgPessoa.ItemIndex, barra = rdgCdBarraPag.ItemIndex;
  bool naoEnv = chbNaoEnviado.Checked, envErro = chbEnv_RetoErro.Checked;
  if (!ReadIndex(o, "rdgPessoa", 4, pessoa) || !ReadIndex(o, "rdgCdBarraPag", 3, barra) ||
      !ReadFlag(o, "chbNaoEnviado", naoEnv) || !ReadFlag(o, "chbEnv_RetoErro", envErro))
    return false;
  NumberEdit vrIni = nedVrLiqIni, vrFin = nedVrLiqFin;
  if (auto v = o.Get("nedVrLiqIni"); v && !vrIni.SetText(*v)) return false;
  if (auto v = o.Get("nedVrLiqFin"); v && !vrFin.SetText(*v)) return false;

  for (Pair& p : pairs) {
    p.todos->Checked = p.value;
    p.lista->Checked = !p.value;
  }
  SyncButtons();
  rdgPessoa.ItemIndex = pessoa;
  rdgCdBarraPag.ItemIndex = barra;
  chbNaoEnviado.Checked = naoEnv;
  chbEnv_RetoErro.Checked = envErro;
  nedVrLiqIni = vrIni;
  nedVrLiqFin = vrFin;
  // Texts are taken as typed; the edits keep their maximum lengths and the
  // dates are checked when confirming, as if typed.
  if (auto v = o.Get("medDocIni")) medDocIni.SetText(*v);
  if (auto v = o.Get("medDocFin")) medDocFin.SetText(*v);
  if (auto v = o.Get("depDtIniVen")) depDtIniVen.SetText(*v);
  if (auto v = o.Get("depDtFinVen")) depDtFinVen.SetText(*v);
  if (auto v = o.Get("medNrRemessa")) medNrRemessa.SetText(*v);
  if (auto v = o.Get("medNrRetorno")) medNrRetorno.SetText(*v);
  return true;
}

void TfrmFiltroBoletoCNAB::RunView(FilterView& view) { view.ShowModal(*this); }

}  // namespace pag
