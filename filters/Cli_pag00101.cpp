#include "filters/Cli_pag00101.h"

#include "host/errors.h"
#include "host/text.h"

namespace pag {

const TMessages& FiltroRemessaMessages() {
  static const TMessages messages{
      "CONTCORR|Conta Corrente",
      "ContCorr_Deve|Conta corrente deve ser informada.",
      "ContCorr_NCadas|Não há conta corrente cadastrada.",
      "OPERADOR|Operador ",
      "Operador_Deve|Operador deve ser informado.",
      "Operador_NCadas|Não há operador cadastrado.",
      "DataInicial_Deve|Data de remessa inicial deve ser informada.",
      "DataFinal_Deve|Data de remessa final deve ser informada.",
      "DtIni<DtFin|Data de remessa inicial deve ser menor ou igual à data de remessa final.",
      "Fpag|Tipo de Baixa",
      "Fornece|Fornecedor",
      "Forn_inf|Fornecedor deve ser informado.",
      "NumeroIni_inf|Número inicial deve ser informado.",
      "NumeroIni_menor|Número inicial deve ser menor ou igual ao número final.",
      "NumeroFin_inf|Número final deve ser informado.",
      "DtVencIni_inf|Data de vencimento inicial deve ser informada.",
      "DtVencIni_menor|Data de vencimento inicial deve ser menor ou igual a data de vencimento final.",
      "DtVencFin_inf|Data de vencimento final deve ser informada.",
      "FormPag_inf|Tipo de Baixa deve ser informado.",
      "VrLiqu_menor|Valor inicial deve ser menor ou igual ao valor final.",
      "BancBene|Banco Beneficiário",
      "BancBene_Inf|Banco Beneficiário deve ser informado.",
      "VrRemIni_menor|Valor inicial da remessa deve ser menor ou igual ao valor final.",
      "NFornece|Não há fornecedor cadastrado.",
      "NFPag|Não há tipo de baixa cadastrado.",
      "NBancBene|Não há banco cadastrado.",
  };
  return messages;
}

namespace {

std::string RowText(const Packet& p, std::size_t row, std::string_view field) {
  auto i = p.FieldIndex(field);
  return i ? ValueToText(p.rows[row][*i]) : std::string();
}

std::string ShowAgencia(const Packet& p, std::size_t row) {
  return FormatPicture(RowText(p, row, "CDAGENCIA"), RowText(p, row, "CDPICTAGEN"));
}

std::string ShowConta(const Packet& p, std::size_t row) {
  return FormatPicture(RowText(p, row, "CDCONTCORR"), RowText(p, row, "CDPICTCONT"));
}

std::string ShowInscricao(const Packet& p, std::size_t row) {
  return FormatMaskText(RowText(p, row, "NRINSJURFORN"), PictPess(RowText(p, row, "IDTPIJURFORN")));
}

const std::vector<PickColumn> kFornecedorColumns = {{"CDFORNECED", "Código"},
                                                    {"NMRAZSOCFORN", "Razão Social"},
                                                    {"NMFANTFORN", "Nome Fantasia"},
                                                    {"NRINSJURFORN", "Inscrição", ShowInscricao}};

}  // namespace

TfrmFiltroRemessaCNAB::TfrmFiltroRemessaCNAB(FilterHost& host, FiltroRemessaUnit& unit)
    : TfrmFiltroPadrao(host, "PAG00101", "Filtro de Remessas", FiltroRemessaMessages()), unit_(unit) {}

void TfrmFiltroRemessaCNAB::FormCreate() {
  TfrmFiltroPadrao::FormCreate();
  LimpaFiltro();
  ActivePage = kTshRemessa;
}

void TfrmFiltroRemessaCNAB::FormActivate() { SetCamposFiltro(); }

void TfrmFiltroRemessaCNAB::LimpaFiltro() {
  FiltroRemessa = TFILTRO{};
  const Date proc = host_.session.DataProc(host_.session.FiliProc());
  FiltroRemessa.DtRemIni = proc;
  FiltroRemessa.DtRemFin = proc;
  medNrRemessa.SetText("");
}

void TfrmFiltroRemessaCNAB::SyncButtons() {
  btpContCorr.Enabled = rbtListaCCor.Checked;
  btpOperador.Enabled = rbtListaOper.Checked;
  btnListForn.Enabled = rbtListForn.Checked;
  btnBancBenef.Enabled = rbtListBancBene.Checked;
  btnPesqFPag.Enabled = rbtFPag.Checked;
}

void TfrmFiltroRemessaCNAB::SetCamposFiltro() {
  TFILTRO& f = FiltroRemessa;
  depDtIniVen.SetDate(f.DtRemIni);
  depDtFinVen.SetDate(f.DtRemFin);
  depDtIniVenChange();
  depDtFinVenChange();
  struct Pair {
    const TTodosLista& rec;
    RadioButton& todos;
    RadioButton& lista;
    std::string& list;
  };
  const Pair pairs[] = {{f.ContCorr, rbtTodosCCor, rbtListaCCor, unit_.stListContCorr},
                        {f.Operador, rbtTodosOper, rbtListaOper, unit_.stListOperador},
                        {f.Forneced, rbtTForn, rbtListForn, unit_.stListForn},
                        {f.BancBene, rbtTdsBancBene, rbtListBancBene, unit_.stListBancBene},
                        {f.TpBaixa, rbtTFormPag, rbtFPag, unit_.stListTpBx}};
  for (const Pair& p : pairs) {
    p.todos.Checked = p.rec.Todos;
    p.lista.Checked = !p.rec.Todos;
    p.list = p.rec.Lista;
  }
  SyncButtons();
  nedVrRemIni.SetValue(f.VrRemIni);
  nedVrRemFin.SetValue(f.VrRemFin);
  nedVrLiqIni.SetValue(f.VrLiqIni);
  nedVrLiqFin.SetValue(f.VrLiqFin);
  medDocIni.SetText(f.Documento.Inicial);
  medDocFin.SetText(f.Documento.Final);
  depVencIni.SetDate(f.DtVencIni);
  depVencFin.SetDate(f.DtVencFin);
}

void TfrmFiltroRemessaCNAB::SetFiltroCampos() {
  TFILTRO& f = FiltroRemessa;
  f.DtRemIni = depDtIniVen.GetDate();
  f.DtRemFin = depDtFinVen.GetDate();
  f.ContCorr = {rbtTodosCCor.Checked, unit_.stListContCorr};
  f.Operador = {rbtTodosOper.Checked, unit_.stListOperador};
  f.VrRemIni = nedVrRemIni.Value();
  f.VrRemFin = nedVrRemFin.Value();
  f.Forneced = {rbtTForn.Checked, unit_.stListForn};
  f.BancBene = {rbtTdsBancBene.Checked, unit_.stListBancBene};
  f.Documento = {medDocIni.Text(), medDocFin.Text()};
  f.DtVencIni = depVencIni.GetDate();
  f.DtVencFin = depVencFin.GetDate();
  f.TpBaixa = {rbtTFormPag.Checked, unit_.stListTpBx};
  f.VrLiqIni = nedVrLiqIni.Value();
  f.VrLiqFin = nedVrLiqFin.Value();
}

void TfrmFiltroRemessaCNAB::FalhaNaPagina(std::string_view key, const char* page, std::string_view control) {
  ActivePage = page;
  Falha(key, control);
}

std::vector<Arg> TfrmFiltroRemessaCNAB::RemessasCriteria() const {
  const DateTime zero = ZeroDateTime();
  auto when = [&](const DateEdit& e) {
    auto d = e.GetDate();
    return d ? DateTime::FromDate(*d) : zero;
  };
  const bool datas = !depDtIniVen.IsBlank() && !depDtFinVen.IsBlank();
  // Accounts and operators restrict when "Lista" is checked; suppliers,
  // banks and payment forms unless "Todos" is checked.
  auto lista = [](const RadioButton& r, const std::string& list) { return r.Checked ? list : std::string(); };
  auto todos = [](const RadioButton& r, const std::string& list) { return r.Checked ? std::string() : list; };
  auto flag = [](bool all) { return std::string(all ? "T" : ""); };

  return {
      Arg(host_.medCdEmpresa ? host_.medCdEmpresa() : std::string()),      // 1 company
      Arg(datas ? when(depDtIniVen) : zero),                                 // 2-4 remittance dates
      Arg(datas ? when(depDtFinVen) : zero),
      Arg::Ref(flag(!datas)),
      Arg::Ref(lista(rbtListaCCor, unit_.stListContCorr)),                  // 5-6 accounts
      Arg::Ref(flag(!rbtListaCCor.Checked)),
      Arg::Ref(lista(rbtListaOper, unit_.stListOperador)),                  // 7-8 operators
      Arg::Ref(flag(!rbtListaOper.Checked)),
      Arg(RoundDec(nedVrRemIni.Value(), 2)),                                 // 9-11 remittance values
      Arg(RoundDec(nedVrRemFin.Value(), 2)),
      Arg::Ref(flag(nedVrRemFin.Value().IsZero())),
      Arg::Ref(todos(rbtTForn, unit_.stListForn)),                          // 12-13 suppliers
      Arg::Ref(flag(rbtTForn.Checked)),
      Arg::Ref(todos(rbtTdsBancBene, unit_.stListBancBene)),                // 14-15 beneficiary banks
      Arg::Ref(flag(rbtTdsBancBene.Checked)),
      Arg(medDocIni.Text()),                                                 // 16-18 document numbers
      Arg(medDocFin.Text()),
      Arg::Ref(flag(medDocFin.IsBlank())),
      Arg(when(depVencIni)),                                                 // 19-21 due dates
      Arg(when(depVencFin)),
      Arg::Ref(flag(!depVencFin.GetDate())),
      Arg::Ref(todos(rbtTFormPag, unit_.stListTpBx)),                       // 22-23 payment forms
      Arg::Ref(flag(rbtTFormPag.Checked)),
      Arg(RoundDec(nedVrLiqIni.Value(), 2)),                                 // 24-26 net values
      Arg(RoundDec(nedVrLiqFin.Value(), 2)),
      Arg::Ref(flag(nedVrLiqFin.Value().IsZero())),
      Arg(medNrRemessa.Text()),                                              // 27 remittance number typed
  };
}

void TfrmFiltroRemessaCNAB::sbtConfirmaClick() {
  const struct {
    const DateEdit& edit;
    const char* page;
    const char* name;
  } dates[] = {{depDtIniVen, kTshRemessa, "depDtIniVen"},
               {depDtFinVen, kTshRemessa, "depDtFinVen"},
               {depVencIni, kTshBoletos, "depVencIni"},
               {depVencFin, kTshBoletos, "depVencFin"}};
  for (const auto& d : dates) {
    if (!d.edit.IsValid()) {
      ActivePage = d.page;
      VdDataValida(d.edit, d.name);
    }
  }
  Vd_DataDe();
  Vd_DataAte();
  Vd_DataDeAte();
  Vd_ContCorr();
  Vd_Operador();
  Vd_VrRem();
  Vd_Fornecedor();
  Vd_BancBene();
  Vd_docuIni();
  Vd_docuFin();
  Vd_DtVencIni();
  Vd_DtVencFin();
  Vd_DtVenc();
  Vd_FormPag();
  Vd_VrLiquIni();
  medNrRemessa.SetText(Ajusta(medNrRemessa.Text(), 10));

  std::vector<Arg> args = RemessasCriteria();
  host_.data.cdsCNABPag.LoadPacket(CheckResultServ(host_.net.Call("GetCNABPag", args)).packet());
  SetFiltroCampos();
  Close();
  ModalResult = kMrOk;
}

void TfrmFiltroRemessaCNAB::sbtLimpaClick() {
  LimpaFiltro();
  SetCamposFiltro();
}

// ---- Field events ---------------------------------------------------------

void TfrmFiltroRemessaCNAB::depDtIniVenChange() {
  auto d = depDtIniVen.GetDate();
  edtNmDiaSemIni.Text = d ? WeekdayName(*d) : std::string();
}

void TfrmFiltroRemessaCNAB::depDtFinVenChange() {
  auto d = depDtFinVen.GetDate();
  edtNmDiaSemFin.Text = d ? WeekdayName(*d) : std::string();
}

void TfrmFiltroRemessaCNAB::rbtTodosCCorClick() {
  CheckRadio(rbtTodosCCor, rbtListaCCor);
  unit_.stListContCorr.clear();
  btpContCorr.Enabled = false;
}

void TfrmFiltroRemessaCNAB::rbtListaCCorClick() {
  CheckRadio(rbtListaCCor, rbtTodosCCor);
  btpContCorr.Enabled = true;
}

void TfrmFiltroRemessaCNAB::rbtTodosOperClick() {
  CheckRadio(rbtTodosOper, rbtListaOper);
  unit_.stListOperador.clear();
  btpOperador.Enabled = false;
}

void TfrmFiltroRemessaCNAB::rbtListaOperClick() {
  CheckRadio(rbtListaOper, rbtTodosOper);
  btpOperador.Enabled = true;
}

void TfrmFiltroRemessaCNAB::rbtTFornClick() {
  CheckRadio(rbtTForn, rbtListForn);
  btnListForn.Enabled = false;
}

void TfrmFiltroRemessaCNAB::rbtListFornClick() {
  CheckRadio(rbtListForn, rbtTForn);
  btnListForn.Enabled = true;
}

void TfrmFiltroRemessaCNAB::rbtTdsBancBeneClick() {
  CheckRadio(rbtTdsBancBene, rbtListBancBene);
  btnBancBenef.Enabled = false;
}

void TfrmFiltroRemessaCNAB::rbtListBancBeneClick() {
  CheckRadio(rbtListBancBene, rbtTdsBancBene);
  btnBancBenef.Enabled = true;
}

void TfrmFiltroRemessaCNAB::rbtTFormPagClick() {
  CheckRadio(rbtTFormPag, rbtFPag);
  btnPesqFPag.Enabled = false;
}

void TfrmFiltroRemessaCNAB::rbtFPagClick() {
  CheckRadio(rbtFPag, rbtTFormPag);
  btnPesqFPag.Enabled = true;
}

void TfrmFiltroRemessaCNAB::medDocIniExit() {
  medDocIni.SetText(Ajusta(medDocIni.Text(), medDocIni.MaxLength()));
  if (medDocFin.IsBlank()) medDocFin.SetText(medDocIni.Text());
}

void TfrmFiltroRemessaCNAB::medDocFinExit() {
  medDocFin.SetText(Ajusta(medDocFin.Text(), medDocFin.MaxLength()));
}

void TfrmFiltroRemessaCNAB::medNrRemessaExit() { medNrRemessa.SetText(Ajusta(medNrRemessa.Text(), 10)); }

void TfrmFiltroRemessaCNAB::medDocIniKeyPress(char& key) {
  if (key == '-') key = 0;
}

void TfrmFiltroRemessaCNAB::medDocFinKeyPress(char& key) {
  if (key == '-') key = 0;
}

void TfrmFiltroRemessaCNAB::medNrRemessaKeyPress(char& key) {
  if (key == '-') key = 0;
}

void TfrmFiltroRemessaCNAB::ValueKey(const NumberEdit& edit, char& key) {
  if (!MaxNumber(edit.Text(), 10, 2, key)) key = 0;
}

// ---- Lookups ----------------------------------------------------------------

void TfrmFiltroRemessaCNAB::Lookup(const std::string& query, const char* key_field, const char* title_key,
                                   const char* empty_key, const std::vector<PickColumn>& columns,
                                   std::string& list) {
  const Packet rows = host_.local.Query(query, {});
  if (rows.empty()) MensErro(host_.dialogs, Msg(empty_key), true, empty_key);
  std::vector<std::string> picked;
  if (host_.dialogs.PesquisaLista(MakePickList(rows, Msg(title_key), columns, key_field), picked))
    list = JoinKeyList(picked);
}

void TfrmFiltroRemessaCNAB::btpContCorrClick() {
  for (const auto& [edit, name] : {std::pair{&depDtIniVen, "depDtIniVen"}, std::pair{&depDtFinVen, "depDtFinVen"}}) {
    if (!edit->IsValid()) {
      ActivePage = kTshRemessa;
      VdDataValida(*edit, name);
    }
  }
  Lookup("qryContCorr", "CDREDUCONT", "CONTCORR", "ContCorr_NCadas",
         {{"CDREDUCONT", "Código"},
          {"CDBANCO", "Banco"},
          {"CDAGENCIA", "Agência", ShowAgencia},
          {"CDCONTCORR", "Conta Corrente", ShowConta},
          {"DSCONTCORR", "Descrição"}},
         unit_.stListContCorr);
}

void TfrmFiltroRemessaCNAB::btpOperadorClick() {
  for (const auto& [edit, name] : {std::pair{&depDtIniVen, "depDtIniVen"}, std::pair{&depDtFinVen, "depDtFinVen"}}) {
    if (!edit->IsValid()) {
      ActivePage = kTshRemessa;
      VdDataValida(*edit, name);
    }
  }
  Lookup("qryOperador", "CDOPERADOR", "OPERADOR", "Operador_NCadas",
         {{"CDOPERADOR", "Código"}, {"NMOPERADOR", "Nome"}}, unit_.stListOperador);
}

void TfrmFiltroRemessaCNAB::btnListFornClick() {
  Lookup("qryFornecedor", "CDFORNECED", "Fornece", "NFornece", kFornecedorColumns, unit_.stListForn);
}

void TfrmFiltroRemessaCNAB::btnBancBenefClick() {
  Lookup("qryBancBene", "CDBANCO", "BancBene", "NBancBene", {{"CDBANCO", "Código"}, {"NMBANCO", "Nome"}},
         unit_.stListBancBene);
}

void TfrmFiltroRemessaCNAB::btnPesqFPagClick() {
  Lookup("qryFormaPag", "CDTPBAIXAPAG", "FPag", "NFPag", {{"CDTPBAIXAPAG", "Código"}, {"NMTPBAIXAPAG", "Nome"}},
         unit_.stListTpBx);
}

// ---- Checks -----------------------------------------------------------------

void TfrmFiltroRemessaCNAB::Vd_DataDe() {
  if (depDtIniVen.IsBlank() && !depDtFinVen.IsBlank()) FalhaNaPagina("DataInicial_Deve", kTshRemessa, "depDtIniVen");
}

void TfrmFiltroRemessaCNAB::Vd_DataAte() {
  if (!depDtIniVen.IsBlank() && depDtFinVen.IsBlank()) FalhaNaPagina("DataFinal_Deve", kTshRemessa, "depDtFinVen");
}

void TfrmFiltroRemessaCNAB::Vd_DataDeAte() {
  auto ini = depDtIniVen.GetDate(), fin = depDtFinVen.GetDate();
  if (ini && fin && *fin < *ini) FalhaNaPagina("DtIni<DtFin", kTshRemessa, "depDtIniVen");
}

void TfrmFiltroRemessaCNAB::Vd_ContCorr() {
  if (rbtListaCCor.Checked && EmptyString(unit_.stListContCorr))
    FalhaNaPagina("ContCorr_Deve", kTshRemessa, "rbtListaCCor");
}

void TfrmFiltroRemessaCNAB::Vd_Operador() {
  if (rbtListaOper.Checked && EmptyString(unit_.stListOperador))
    FalhaNaPagina("Operador_Deve", kTshRemessa, "rbtListaOper");
}

void TfrmFiltroRemessaCNAB::Vd_VrRem() {
  if (nedVrRemIni.IsBlank()) nedVrRemIni.SetText("0");
  if (nedVrRemFin.IsBlank()) nedVrRemFin.SetText("0");
  // A highest value of 0 means no upper limit (the request then carries
  // flag "T"), so any lowest value goes with it.
  const Decimal fin = nedVrRemFin.Value();
  if (!fin.IsZero() && fin < nedVrRemIni.Value()) FalhaNaPagina("VrRemIni_menor", kTshRemessa, "nedVrRemIni");
}

void TfrmFiltroRemessaCNAB::Vd_Fornecedor() {
  if (rbtListForn.Checked && EmptyString(unit_.stListForn)) FalhaNaPagina("Forn_inf", kTshBoletos, "rbtListForn");
}

void TfrmFiltroRemessaCNAB::Vd_BancBene() {
  if (rbtListBancBene.Checked && EmptyString(unit_.stListBancBene))
    FalhaNaPagina("BancBene_Inf", kTshBoletos, "rbtListBancBene");
}

void TfrmFiltroRemessaCNAB::Vd_docuIni() {
  if (medDocIni.IsBlank()) {
    if (!medDocFin.IsBlank()) FalhaNaPagina("NumeroIni_inf", kTshBoletos, "medDocIni");
    return;
  }
  medDocIni.SetText(Ajusta(medDocIni.Text(), medDocIni.MaxLength()));
  if (medDocFin.IsBlank()) return;
  medDocFin.SetText(Ajusta(medDocFin.Text(), medDocFin.MaxLength()));
  if (medDocIni.Text() > medDocFin.Text()) FalhaNaPagina("NumeroIni_menor", kTshBoletos, "medDocIni");
}

void TfrmFiltroRemessaCNAB::Vd_docuFin() {
  if (!medDocFin.IsBlank()) {
    medDocFin.SetText(Ajusta(medDocFin.Text(), medDocFin.MaxLength()));
    return;
  }
  if (!medDocIni.IsBlank()) FalhaNaPagina("NumeroFin_inf", kTshBoletos, "medDocFin");
}

void TfrmFiltroRemessaCNAB::Vd_DtVencIni() {
  if (depVencIni.IsBlank() && !depVencFin.IsBlank()) FalhaNaPagina("DtVencIni_inf", kTshBoletos, "depVencIni");
}

void TfrmFiltroRemessaCNAB::Vd_DtVencFin() {
  if (!depVencIni.IsBlank() && depVencFin.IsBlank()) FalhaNaPagina("DtVencFin_inf", kTshBoletos, "depVencFin");
}

void TfrmFiltroRemessaCNAB::Vd_DtVenc() {
  auto ini = depVencIni.GetDate(), fin = depVencFin.GetDate();
  if (ini && fin && *fin < *ini) FalhaNaPagina("DtVencIni_menor", kTshBoletos, "depVencIni");
}

void TfrmFiltroRemessaCNAB::Vd_FormPag() {
  if (rbtFPag.Checked && EmptyString(unit_.stListTpBx)) FalhaNaPagina("FormPag_inf", kTshBoletos, "rbtFPag");
}

void TfrmFiltroRemessaCNAB::Vd_VrLiquIni() {
  if (nedVrLiqIni.IsBlank()) nedVrLiqIni.SetText("0");
  if (nedVrLiqFin.IsBlank()) nedVrLiqFin.SetText("0");
  const Decimal fin = nedVrLiqFin.Value();
  if (!fin.IsZero() && fin < nedVrLiqIni.Value()) FalhaNaPagina("VrLiqu_menor", kTshBoletos, "nedVrLiqIni");
}

// ---- Saved options ------------------------------------------------------------

namespace {

constexpr const char* kListNames[] = {"stListOperador", "stListContCorr", "stListForn", "stListBancBene",
                                      "stListTpBx"};

}  // namespace

void TfrmFiltroRemessaCNAB::btfSaveOpcClick() {
  const std::string* lists[] = {&unit_.stListOperador, &unit_.stListContCorr, &unit_.stListForn,
                                &unit_.stListBancBene, &unit_.stListTpBx};
  for (std::size_t i = 0; i < 5; ++i) Opcoes.Set(kListNames[i], *lists[i]);
  TfrmFiltroPadrao::btfSaveOpcClick();
}

void TfrmFiltroRemessaCNAB::btfLoadOpcClick() {
  TfrmFiltroPadrao::btfLoadOpcClick();
  std::string* lists[] = {&unit_.stListOperador, &unit_.stListContCorr, &unit_.stListForn, &unit_.stListBancBene,
                          &unit_.stListTpBx};
  for (std::size_t i = 0; i < 5; ++i)
    if (auto v = Opcoes.Get(kListNames[i])) *lists[i] = *v;
}

void TfrmFiltroRemessaCNAB::SaveControls(OptionList& o) const {
  const std::pair<const char*, const RadioButton*> radios[] = {{"rbtTodosCCor", &rbtTodosCCor},
                                                               {"rbtTodosOper", &rbtTodosOper},
                                                               {"rbtTForn", &rbtTForn},
                                                               {"rbtTdsBancBene", &rbtTdsBancBene},
                                                               {"rbtTFormPag", &rbtTFormPag}};
  for (const auto& [name, r] : radios) o.Set(name, Flag(r->Checked));
  o.Set("depDtIniVen", depDtIniVen.Text());
  o.Set("depDtFinVen", depDtFinVen.Text());
  o.Set("nedVrRemIni", nedVrRemIni.Text());
  o.Set("nedVrRemFin", nedVrRemFin.Text());
  o.Set("medNrRemessa", medNrRemessa.Text());
  o.Set("medDocIni", medDocIni.Text());
  o.Set("medDocFin", medDocFin.Text());
  o.Set("depVencIni", depVencIni.Text());
  o.Set("depVencFin", depVencFin.Text());
  o.Set("nedVrLiqIni", nedVrLiqIni.Text());
  o.Set("nedVrLiqFin", nedVrLiqFin.Text());
}

bool TfrmFiltroRemessaCNAB::LoadControls(const OptionList& o) {
  struct Pair {
    const char* name;
    RadioButton* todos;
    RadioButton* lista;
    bool value;
  };
  Pair pairs[] = {{"rbtTodosCCor", &rbtTodosCCor, &rbtListaCCor, rbtTodosCCor.Checked},
                  {"rbtTodosOper", &rbtTodosOper, &rbtListaOper, rbtTodosOper.Checked},
                  {"rbtTForn", &rbtTForn, &rbtListForn, rbtTForn.Checked},
                  {"rbtTdsBancBene", &rbtTdsBancBene, &rbtListBancBene, rbtTdsBancBene.Checked},
                  {"rbtTFormPag", &rbtTFormPag, &rbtFPag, rbtTFormPag.Checked}};
  for (Pair& p : pairs)
    if (!ReadFlag(o, p.name, p.value)) return false;
  struct Value {
    const char* name;
    NumberEdit* edit;
    NumberEdit copy;
  };
  Value values[] = {{"nedVrRemIni", &nedVrRemIni, nedVrRemIni},
                    {"nedVrRemFin", &nedVrRemFin, nedVrRemFin},
                    {"nedVrLiqIni", &nedVrLiqIni, nedVrLiqIni},
                    {"nedVrLiqFin", &nedVrLiqFin, nedVrLiqFin}};
  for (Value& v : values)
    if (auto t = o.Get(v.name); t && !v.copy.SetText(*t)) return false;

  for (Pair& p : pairs) {
    p.todos->Checked = p.value;
    p.lista->Checked = !p.value;
  }
  SyncButtons();
  for (Value& v : values) *v.edit = v.copy;
  const std::pair<const char*, DateEdit*> dates[] = {{"depDtIniVen", &depDtIniVen},
                                                     {"depDtFinVen", &depDtFinVen},
                                                     {"depVencIni", &depVencIni},
                                                     {"depVencFin", &depVencFin}};
  for (const auto& [name, edit] : dates)
    if (auto t = o.Get(name)) edit->SetText(*t);
  const std::pair<const char*, MaskEdit*> texts[] = {
      {"medNrRemessa", &medNrRemessa}, {"medDocIni", &medDocIni}, {"medDocFin", &medDocFin}};
  for (const auto& [name, edit] : texts)
    if (auto t = o.Get(name)) edit->SetText(*t);
  depDtIniVenChange();
  depDtFinVenChange();
  return true;
}

void TfrmFiltroRemessaCNAB::RunView(FilterView& view) { view.ShowModal(*this); }

}  // namespace pag
