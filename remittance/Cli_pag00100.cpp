// The remittance screen: creation and closing, pages and focus, the company,
// account, branch, scheduling and file checks, and the life of a remittance
// record (new, edit, cancel, take slips out, filters). Slip selection is in
// selection.cpp, the confirmation frame in confirmation.cpp.
#include "remittance/Cli_pag00100.h"

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <utility>

#include "host/barcode.h"
#include "host/errors.h"
#include "host/text.h"
#include "remittance/screen_util.h"

namespace pag {

// ---- Shared tools -------------------------------------------------------------

MutedEvents::MutedEvents(TDataSet& ds) : ds_(ds) {
  TDataSet::Event* events[] = {&ds.BeforeOpen,  &ds.AfterOpen,   &ds.BeforeClose,  &ds.AfterClose,  &ds.BeforeInsert,
                               &ds.OnNewRecord, &ds.AfterInsert, &ds.BeforeEdit,   &ds.AfterEdit,   &ds.BeforePost,
                               &ds.AfterPost,   &ds.BeforeCancel, &ds.AfterCancel, &ds.BeforeDelete, &ds.AfterDelete,
                               &ds.BeforeScroll, &ds.AfterScroll};
  for (int i = 0; i < 17; ++i) saved_[i] = std::exchange(*events[i], nullptr);
}

MutedEvents::~MutedEvents() {
  TDataSet::Event* events[] = {&ds_.BeforeOpen,  &ds_.AfterOpen,   &ds_.BeforeClose,  &ds_.AfterClose,
                               &ds_.BeforeInsert, &ds_.OnNewRecord, &ds_.AfterInsert,  &ds_.BeforeEdit,
                               &ds_.AfterEdit,   &ds_.BeforePost,  &ds_.AfterPost,    &ds_.BeforeCancel,
                               &ds_.AfterCancel, &ds_.BeforeDelete, &ds_.AfterDelete, &ds_.BeforeScroll,
                               &ds_.AfterScroll};
  for (int i = 0; i < 17; ++i) *events[i] = std::move(saved_[i]);
}

std::string TextAt(const TDataSet& ds, int recNo, const char* field) {
  const Value& v = ds.ValueAt(recNo, ds.FieldByName(field));
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  return ValueToText(v);
}

std::string Text(const TDataSet& ds, const char* field) { return ds.FieldByName(field).AsString(); }

void ComboBox::Select(int i) {
  if (i < 0 || i >= static_cast<int>(items.size())) {
    itemIndex = -1;
    text.clear();
    return;
  }
  itemIndex = i;
  text = items[static_cast<std::size_t>(i)];
}

void ComboBox::Clear() {
  items.clear();
  Select(-1);
}

namespace {

// "ddd ddddd hh:nn" in the host's Portuguese settings: "sáb 05/12/2026 14:30".
std::string DayDateTime(const DateTime& dt) {
  static const char* const kDays[] = {"dom", "seg", "ter", "qua", "qui", "sex", "sáb"};
  const std::chrono::weekday wd{std::chrono::sys_days(dt.date())};
  return std::string(kDays[wd.c_encoding()]) + " " + FormatDateTime(dt, "dd/mm/yyyy hh:nn");
}

// A code typed into a field with a fixed width: padded with zeros when it
// holds something, left blank otherwise.
std::string PadCode(const std::string& text, int width) {
  if (EmptyString(text)) return {};
  try {
    return Ajusta(text, width);
  } catch (const FieldError&) {
    return AllTrim(text);  // too long for the field: left for the lookup to refuse
  }
}

}  // namespace

// ---- Construction ---------------------------------------------------------------

TfrmRemessaCNAB::TfrmRemessaCNAB(Session& session, Dialogs& dialogs, TNetConnection& net, LocalDatabase& localdb)
    : session_(session), dialogs_(dialogs), net_(net), localdb_(localdb), dispatch_(RemittanceDispatchTable()) {
  slip_filter_factory_ = [](TfrmRemessaCNAB& s) { return std::make_unique<DefaultSlipFilter>(s); };
  remittance_filter_factory_ = [](TfrmRemessaCNAB& s) { return std::make_unique<DefaultRemittanceFilter>(s); };

  dbcTpMov.items = {msgs().Msg("I"), msgs().Msg("E"), msgs().Msg("B")};
  dbcAgendamento.items = {msgs().Msg("1"), msgs().Msg("2")};

  TDataSet& rem = d.cdsCNABPag;
  rem.OnNewRecord = [this](TDataSet& ds) { cdsCNABPagNewRecord(ds); };
  rem.AfterInsert = [this](TDataSet& ds) { cdsCNABPagAfterInsert(ds); };
  rem.BeforePost = [this](TDataSet& ds) { cdsCNABPagBeforePost(ds); };
  rem.AfterPost = [this](TDataSet& ds) { cdsCNABPagAfterPost(ds); };
  rem.AfterScroll = [this](TDataSet& ds) { cdsCNABPagAfterScroll(ds); };
  d.cdsBoletos.BeforePost = [this](TDataSet& ds) { cdsBoletosBeforePost(ds); };
  d.cdsBoletos.AfterScroll = [this](TDataSet& ds) { cdsBoletosAfterScroll(ds); };
  d.cdsBoletos.AfterClose = [this](TDataSet& ds) { cdsBoletosAfterClose(ds); };
  d.cdsBoletos.SetIndexName("idxOrdena");
  d.cdsBolCnab.AfterScroll = [this](TDataSet& ds) { cdsBolCnabAfterScroll(ds); };
  d.cdsBolCnab.SetIndexName("INDEXCDS");
  RefreshControls();
}

TfrmRemessaCNAB::~TfrmRemessaCNAB() = default;

void TfrmRemessaCNAB::SetSlipFilterFactory(SlipFilterFactory factory) {
  slip_filter_factory_ = std::move(factory);
  slip_filter_.reset();
}

void TfrmRemessaCNAB::SetRemittanceFilterFactory(RemittanceFilterFactory factory) {
  remittance_filter_factory_ = std::move(factory);
  remittance_filter_.reset();
}

SlipFilterPort& TfrmRemessaCNAB::FiltroBoleto() {
  if (!slip_filter_) slip_filter_ = slip_filter_factory_(*this);
  return *slip_filter_;
}

RemittanceFilterPort& TfrmRemessaCNAB::FiltroRemessa() {
  if (!remittance_filter_) remittance_filter_ = remittance_filter_factory_(*this);
  return *remittance_filter_;
}

void TfrmRemessaCNAB::SetDispatchTable(std::span<const DispatchRow> table) {
  dispatch_ = table.empty() ? RemittanceDispatchTable() : table;
}

void TfrmRemessaCNAB::SetWriterOverride(const std::string& writerName, WriterFunction writer) {
  if (writer) {
    writer_overrides_[writerName] = std::move(writer);
  } else {
    writer_overrides_.erase(writerName);
  }
}

// ---- Small helpers ----------------------------------------------------------------

bool TfrmRemessaCNAB::Editing() const {
  const DataSetState s = d.cdsCNABPag.State();
  return s == DataSetState::kInsert || s == DataSetState::kEdit;
}

bool TfrmRemessaCNAB::Inserting() const { return d.cdsCNABPag.State() == DataSetState::kInsert; }

std::string TfrmRemessaCNAB::Remessa(const char* field) const { return Text(d.cdsCNABPag, field); }

void TfrmRemessaCNAB::Refuse(const std::string& key) {
  MensErro(dialogs_, msgs().Msg(key), true, key);
  throw Abort(key);  // MensErro with stop has thrown already
}

bool TfrmRemessaCNAB::Ask(const std::string& key, Buttons buttons, int yes, int default_button) {
  return dialogs_.ShowMsg(msgs().Msg(key), MsgType::kConfirmation, buttons, default_button) == yes;
}

void TfrmRemessaCNAB::RequireEnabled(const ControlState& c, const char* name) const {
  if (!c.enabled || !c.visible) throw std::logic_error(std::string("the control ") + name + " is not enabled");
}

void TfrmRemessaCNAB::RethrowServer(const ServerError& e) {
  // A refusal of the server whose text is one of the screen's message keys
  // is shown as that message.
  if (msgs().Has(e.what())) Refuse(e.what());
  throw e;
}

void TfrmRemessaCNAB::RefreshControls() {
  const bool inserting = Inserting();
  const bool editing = Editing();
  panFiltro.enabled = !inserting;
  medCdEmpresa.enabled = !inserting;
  for (ControlState* c : {static_cast<ControlState*>(&dbcTpMov), &dbeArquivo, &btpArquivo, &dbeCdReduCont, &btpCdRedu,
                          &dbeCdFilial, &btnFilial, static_cast<ControlState*>(&DtRemPag)})
    c->enabled = inserting;
  if (!editing) {
    dbcTpRemessa.enabled = false;
    dbcAgendamento.enabled = false;
  }
  dbeCdBanco.enabled = false;
  edtDtCNABPag.enabled = false;
  const bool rows = d.cdsCNABPag.Active() && !d.cdsCNABPag.IsEmpty();
  pages_enabled_ = editing || rows;
  sbtIncluir.enabled = !editing;
  sbtAlterar.enabled = !editing && rows;
  sbtImprimir.enabled = !editing && rows;
  sbtConfirmar.enabled = editing;
  sbtCancelar.enabled = editing;
  dbcTpMov.Select(MovementIndex());
  UpdateCancelSlipButtons();
}

void TfrmRemessaCNAB::UpdateCancelSlipButtons() {
  const bool on = page_ == Page::kBoletos && !Editing() && d.klBoletos.Count() > 0;
  sbtCancelaRemessa.enabled = on;
  mnuCancelaRemessa.enabled = on;
}

// ---- Pages, focus and typing --------------------------------------------------

bool TfrmRemessaCNAB::PageEnabled(Page page) const { return page == page_ || pages_enabled_; }

void TfrmRemessaCNAB::SelectPage(Page page) {
  if (!PageEnabled(page)) throw std::logic_error("the page is not enabled");
  page_ = page;
  pgcPadraoChange();
}

void TfrmRemessaCNAB::FocusControl(const std::string& control) {
  if (control == focus_) return;
  if (focus_ == kCtlCompany) {
    panFiltroExit();
  } else if (focus_ == kCtlAccount) {
    dbeCdReduContExit();
  } else if (focus_ == kCtlBranch) {
    dbeCdFilialExit();
  } else if (focus_ == kCtlFile) {
    dbeArquivoExit();
  }
  focus_ = control;
  if (control == kCtlAccount) {
    dbeCdReduContEnter();
  } else if (control == kCtlBranch) {
    dbeCdFilialEnter();
  } else if (control == kCtlMovement) {
    dbcTpMovEnter();
  }
}

void TfrmRemessaCNAB::TypeCompany(const std::string& text) {
  RequireEnabled(medCdEmpresa, kCtlCompany);
  if (TextLength(text) > 2) throw FieldError("the company code has at most 2 characters: '" + text + "'");
  medCdEmpresa.text = text;
}

void TfrmRemessaCNAB::TypeAccount(const std::string& text) {
  RequireEnabled(dbeCdReduCont, kCtlAccount);
  d.cdsCNABPag.FieldByName("CDREDUCONT").SetAsString(text);
}

void TfrmRemessaCNAB::TypeBranch(const std::string& text) {
  RequireEnabled(dbeCdFilial, kCtlBranch);
  d.cdsCNABPag.FieldByName("CDFILIAL").SetAsString(text);
}

void TfrmRemessaCNAB::TypeFile(const std::string& text) {
  RequireEnabled(dbeArquivo, kCtlFile);
  d.cdsCNABPag.FieldByName("DSARQCNABPAG").SetAsString(text);
}

void TfrmRemessaCNAB::SelectMovement(int index) {
  RequireEnabled(dbcTpMov, kCtlMovement);
  if (index < 0 || index >= static_cast<int>(dbcTpMov.items.size())) throw std::out_of_range("no such movement type");
  d.cdsCNABPag.FieldByName("IDOPECNABPAG").SetText(dbcTpMov.items[static_cast<std::size_t>(index)]);
  dbcTpMov.Select(index);
}

void TfrmRemessaCNAB::SelectKind(int index) {
  RequireEnabled(dbcTpRemessa, kCtlKind);
  if (index < 0 || index >= static_cast<int>(dbcTpRemessa.items.size()))
    throw std::out_of_range("no such remittance kind");
  dbcTpRemessa.Select(index);
  if (Editing()) d.cdsCNABPag.FieldByName("IDTPREMCNABPAG").SetText(dbcTpRemessa.text);
}

void TfrmRemessaCNAB::SelectSchedule(int index) {
  RequireEnabled(dbcAgendamento, kCtlSchedule);
  if (index < 0 || index >= static_cast<int>(dbcAgendamento.items.size()))
    throw std::out_of_range("no such scheduling");
  dbcAgendamento.Select(index);
  if (Editing()) d.cdsCNABPag.FieldByName("IDAGENREMCNABPAG").SetText(dbcAgendamento.text);
}

void TfrmRemessaCNAB::SetPayDate(std::optional<Date> date) {
  RequireEnabled(DtRemPag, kCtlPayDate);
  DtRemPag.date = date;
}

std::string TfrmRemessaCNAB::AccountText() const { return Remessa("CDREDUCONT"); }
std::string TfrmRemessaCNAB::BranchText() const { return Remessa("CDFILIAL"); }
std::string TfrmRemessaCNAB::FileText() const { return Remessa("DSARQCNABPAG"); }
std::string TfrmRemessaCNAB::BankText() const { return Remessa("CDBANCO"); }

int TfrmRemessaCNAB::MovementIndex() const {
  const std::string m = Remessa("IDOPECNABPAG");
  if (m == "I") return 0;
  if (m == "E") return 1;
  if (m == "B") return 2;
  return -1;
}

bool TfrmRemessaCNAB::LocateRemittance(const std::string& number) {
  TDataSet& rem = d.cdsCNABPag;
  if (Editing() || !rem.Active() || EmptyString(number)) return false;
  const std::string wanted = PadCode(number, 10);
  for (int r = 1; r <= rem.RecordCount(); ++r) {
    if (PadCode(TextAt(rem, r, "NRCNABPAG"), 10) == wanted) {
      if (rem.RecNo() != r) rem.SetRecNo(r);
      return true;
    }
  }
  return false;
}

bool TfrmRemessaCNAB::SelectRemittanceRow(int recNo) {
  TDataSet& rem = d.cdsCNABPag;
  if (Editing() || !rem.Active() || recNo < 1 || recNo > rem.RecordCount()) return false;
  if (rem.RecNo() != recNo) rem.SetRecNo(recNo);
  return true;
}

bool TfrmRemessaCNAB::SelectSlipRow(int recNo) {
  TDataSet& b = d.cdsBoletos;
  if (!b.Active() || b.State() != DataSetState::kBrowse || recNo < 1 || recNo > b.RecordCount()) return false;
  if (b.RecNo() != recNo) b.SetRecNo(recNo);
  return true;
}

bool TfrmRemessaCNAB::LocateSlip(const std::string& branch, const std::string& entry) {
  return LocateSlipKey(RemessaData::SlipKey(branch, entry));
}

bool TfrmRemessaCNAB::LocateSlipKey(const std::string& key) {
  TDataSet& b = d.cdsBoletos;
  if (!b.Active()) return false;
  for (int r = 1; r <= b.RecordCount(); ++r) {
    if (RemessaData::SlipKey(TextAt(b, r, "CDFILIBPAG"), TextAt(b, r, "NRLANBOLPAG")) == key) {
      if (b.RecNo() != r) b.SetRecNo(r);
      return true;
    }
  }
  return false;
}

// ---- Screen life ----------------------------------------------------------------

void TfrmRemessaCNAB::FormCreate() {
  net_.host = session_.WebURL();
  net_.port = session_.WebPort();
  net_.Connect();
  d.klBoletos.Clear();
  d.klCodBarra.Clear();
  d.klTpBaixa.Clear();
  d.klRemessas.Clear();
  if (!d.cdsBolCnab.Active()) d.cdsBolCnab.CreateDataSet();
  if (d.cdsCntPagar.Active()) {
    d.cdsCntPagar.EmptyDataSet();
  } else {
    d.cdsCntPagar.CreateDataSet();
  }
  if (!d.cdsCNABPag.Active()) d.cdsCNABPag.CreateDataSet();
  page_ = Page::kList;
  medCdEmpresa.text = session_.EmprProc();
  focus_ = kCtlCompany;
  d.qryEmpresa.LoadPacket(localdb_.Query("qryEmpresa", {{"P_CDEMPRESA", Value(session_.EmprProc())}}));
  if (d.qryEmpresa.IsEmpty()) {
    edtNmEmpresa.text.clear();
    MensErro(dialogs_, msgs().Msg("EMPRESA_NAO_CAD"), false, "EMPRESA_NAO_CAD");
  } else {
    edtNmEmpresa.text = Text(d.qryEmpresa, "NMEMPRESA");
  }
  RefreshControls();
}

void TfrmRemessaCNAB::FormClose() {
  // The filter dialogs are built again on next use.
  slip_filter_.reset();
  remittance_filter_.reset();
  // A remittance left half-typed is abandoned with the screen.
  if (Editing()) {
    MutedEvents quiet(d.cdsCNABPag);
    d.cdsCNABPag.Cancel();
  }
  net_.Disconnect();
  d.klBoletos.Clear();
  d.klCodBarra.Clear();
  d.klTpBaixa.Clear();
  d.klRemessas.Clear();
  visible = false;
  if (onClose) onClose();
}

// ---- Company ------------------------------------------------------------------------

void TfrmRemessaCNAB::panFiltroExit() {
  Vd_CdEmpresa();
  if (!Editing()) FiltroRemessa().Run(kEscondeFiltro);
  RefreshControls();
}

void TfrmRemessaCNAB::Vd_CdEmpresa() {
  try {
    if (EmptyString(medCdEmpresa.text)) Refuse("EMPRESA_DEVE_SER");
    medCdEmpresa.text = PadCode(medCdEmpresa.text, 2);
    const std::string company = medCdEmpresa.text;
    d.cdsEmpresa.LoadPacket(net_.CallPacket("GetEmpresa", {Arg(company), Arg(" ")}));
    if (d.cdsEmpresa.IsEmpty()) Refuse("EMPRESA_NAO_CAD");
    if (!localdb_.AcessoOperEmpresa(company, session_.Operador())) Refuse("Emp_Nr");
    edtNmEmpresa.text = Text(d.cdsEmpresa, "NMEMPRESA");
  } catch (...) {
    focus_ = kCtlCompany;
    throw;
  }
}

void TfrmRemessaCNAB::btpEmpresaClick() {
  RequireEnabled(panFiltro, "btpEmpresa");
  d.cdsEmpresa.LoadPacket(net_.CallPacket("GetEmpresa", {Arg(" "), Arg("T")}));
  PickList list{"Empresas", {"Código", "Nome"}, {}, 0, false};
  for (int r = 1; r <= d.cdsEmpresa.RecordCount(); ++r)
    list.rows.push_back({TextAt(d.cdsEmpresa, r, "CDEMPRESA"), TextAt(d.cdsEmpresa, r, "NMEMPRESA")});
  std::vector<std::string> picked;
  if (dialogs_.PesquisaLista(list, picked) && !picked.empty()) {
    focus_ = kCtlCompany;
    medCdEmpresa.text = picked.front();
  }
}

// ---- Account ------------------------------------------------------------------------

void TfrmRemessaCNAB::dbeCdReduContEnter() { d.stContaAnt = AccountText(); }

void TfrmRemessaCNAB::LoadContaCorrente(const std::string& account) {
  d.cdsContaCorrente.LoadPacket(net_.CallPacket("GetContaCorrente", {Arg(Company()), Arg(account), Arg(" ")}));
}

void TfrmRemessaCNAB::CopyAccountFields() {
  for (const char* f : {"CDBANCO", "CDAGENCIA", "CDCONTCORR", "DSCONTCORR", "CDPICTCONT", "CDPICTAGEN", "CDBANCCNAB",
                        "CDREDUCONT"})
    d.cdsCNABPag.FieldByName(f).SetAsString(Text(d.cdsContaCorrente, f));
}

void TfrmRemessaCNAB::Vd_CdReduCont(bool required) {
  if (!Editing()) return;
  try {
    TField& field = d.cdsCNABPag.FieldByName("CDREDUCONT");
    std::string account = PadCode(field.AsString(), 3);
    if (account != field.AsString()) field.SetAsString(account);
    if (account != d.stContaAnt && d.klBoletos.Count() > 0) {
      if (Ask("Apaga_Boletos", Buttons::kYesNo, kMrYes, kMrNo)) {
        ClearSelection();
      } else {
        field.SetAsString(d.stContaAnt);
      }
    }
    if (d.klBoletos.Count() == 0) {
      account = field.AsString();
      d.stContaAnt = account;
      if (EmptyString(account)) {
        if (required) Refuse("CONTA_DEVE_SER");
        return;
      }
      // Confirming with the focus elsewhere: the account loaded when the
      // field was left stays.
      if (required && focus_ != kCtlAccount) return;
      LoadContaCorrente(account);
      if (d.cdsContaCorrente.IsEmpty()) Refuse("CONTA_NAO_CAD");
      CopyAccountFields();
      if (!AccountBankAccepted(Text(d.cdsContaCorrente, "CDBANCCNAB"))) Refuse("Remessa_inv");
      d.stContaAnt = Text(d.cdsContaCorrente, "CDREDUCONT");
    }
    if (d.klBoletos.Count() > 0) {
      // The marks belong to stContaAnt: its account stays on the remittance.
      LoadContaCorrente(d.stContaAnt);
      if (!d.cdsContaCorrente.IsEmpty()) CopyAccountFields();
    }
  } catch (...) {
    ShowPage(Page::kDetail);
    focus_ = kCtlAccount;
    throw;
  }
}

void TfrmRemessaCNAB::dbeCdReduContExit() {
  Vd_CdReduCont(false);
  if (Inserting()) SetupBankChoices(true);
}

void TfrmRemessaCNAB::LoadEmprBanc(const std::string& bank, const std::string& company) {
  d.cdsEmprBanc.LoadPacket(net_.CallPacket("GetEmprBanc", {Arg(bank), Arg(company)}));
  emprbanc_key_ = bank + "|" + company;
}

void TfrmRemessaCNAB::EnsureEmprBanc() {
  const std::string bank = Remessa("CDBANCO");
  if (!d.cdsEmprBanc.Active() || emprbanc_key_ != bank + "|" + Company()) LoadEmprBanc(bank, Company());
}

void TfrmRemessaCNAB::SetupBankChoices(bool newRemittance) {
  const std::string bank = Remessa("CDBANCCNAB");
  TDataSet& rem = d.cdsCNABPag;
  // The payment date of the whole remittance: bank 341 only.
  const bool payDate = bank == "341";
  DtRemPag.visible = payDate;
  lblDtPagRem.visible = payDate;
  if (newRemittance) {
    DtRemPag.date.reset();
  } else if (payDate) {
    const TField& f = rem.FieldByName("DTPAGREM");
    DtRemPag.date = f.IsNull() ? std::nullopt : std::optional<Date>(f.AsDateTime().date());
  }
  if (bank != "237") {
    dbcTpRemessa.Clear();
    dbcTpRemessa.enabled = false;
    dbcTpRemessa.infoColour = false;
    dbcAgendamento.Select(-1);
    dbcAgendamento.enabled = false;
    dbcAgendamento.infoColour = false;
    return;
  }
  LoadEmprBanc(Remessa("CDBANCO"), Company());
  const bool multipag = Text(d.cdsEmprBanc, "IDPADRCNABPAG") == "2";
  dbcTpRemessa.enabled = true;
  if (!multipag) {
    dbcTpRemessa.items = {msgs().Msg("PS"), msgs().Msg("WT")};
    dbcAgendamento.enabled = true;
    dbcTpRemessa.infoColour = true;
    dbcAgendamento.infoColour = true;
  } else {
    dbcTpRemessa.items = {msgs().Msg("Nor"), msgs().Msg("Ant")};
    dbcAgendamento.Select(-1);
    dbcAgendamento.enabled = false;
    dbcAgendamento.infoColour = false;
  }
  if (newRemittance) {
    dbcTpRemessa.Select(0);
    rem.FieldByName("IDTPREMCNABPAG").SetAsString(multipag ? "3" : "1");
    dbcAgendamento.Select(-1);
    if (!multipag) {
      const std::string byDefault = AllTrim(Text(d.cdsEmprBanc, "IDPADRAGENCNABPAG"));
      if (!byDefault.empty()) dbcAgendamento.Select(byDefault == "1" ? 0 : 1);
    }
  } else {
    // An existing remittance shows what it was made with.
    const std::string kind = Remessa("IDTPREMCNABPAG");
    const std::string kindText = rem.FieldByName("IDTPREMCNABPAG").DisplayText();
    int k = -1;
    for (std::size_t i = 0; i < dbcTpRemessa.items.size(); ++i)
      if (dbcTpRemessa.items[i] == kindText) k = static_cast<int>(i);
    dbcTpRemessa.Select(k);
    const std::string sched = Remessa("IDAGENREMCNABPAG");
    dbcAgendamento.Select(sched == "1" ? 0 : sched == "2" ? 1 : -1);
    (void)kind;
  }
}

void TfrmRemessaCNAB::btpCdReduClick() {
  RequireEnabled(btpCdRedu, "btpCdRedu");
  d.cdsContaCorrente.LoadPacket(net_.CallPacket("GetContaCorrente", {Arg(Company()), Arg(" "), Arg("T")}));
  if (d.cdsContaCorrente.IsEmpty()) {
    dialogs_.ShowInfo(msgs().Msg("SEM_CONTA"));
    return;
  }
  PickList list{"Contas Correntes", {"Código", "Banco", "Agência", "Conta Corrente", "Descrição"}, {}, 0, false};
  for (int r = 1; r <= d.cdsContaCorrente.RecordCount(); ++r)
    list.rows.push_back({TextAt(d.cdsContaCorrente, r, "CDREDUCONT"), TextAt(d.cdsContaCorrente, r, "CDBANCO"),
                         TextAt(d.cdsContaCorrente, r, "CDAGENCIA"), TextAt(d.cdsContaCorrente, r, "CDCONTCORR"),
                         TextAt(d.cdsContaCorrente, r, "DSCONTCORR")});
  std::vector<std::string> picked;
  if (dialogs_.PesquisaLista(list, picked) && !picked.empty()) {
    FocusControl(kCtlAccount);
    TypeAccount(picked.front());
  }
}

// ---- Branch -------------------------------------------------------------------------

void TfrmRemessaCNAB::dbeCdFilialEnter() { d.stFilialAnt = BranchText(); }

void TfrmRemessaCNAB::Vd_CdFilial() {
  if (!Editing()) return;
  try {
    TField& field = d.cdsCNABPag.FieldByName("CDFILIAL");
    std::string branch = PadCode(field.AsString(), 4);
    if (d.klBoletos.Count() > 0 && branch != PadCode(d.stFilialAnt, 4)) {
      if (Ask("Apaga_Bol_Fil", Buttons::kYesNo, kMrYes, kMrNo)) {
        ClearSelection();
      } else {
        branch = PadCode(d.stFilialAnt, 4);
      }
    }
    d.stFilialAnt = branch;
    if (branch.empty()) {
      // A remittance without a branch: the branch-root check is skipped.
      field.Clear();
      d.cdsCNABPag.FieldByName("NMFILIAL").Clear();
      return;
    }
    field.SetAsString(branch);
    d.cdsFilial.LoadPacket(net_.CallPacket("GetFilial", {Arg(branch), Arg(Company())}));
    if (d.cdsFilial.IsEmpty()) {
      focus_ = kCtlBranch;
      Refuse("FIL_N_CAD");
    }
    d.cdsCNABPag.FieldByName("NMFILIAL").SetAsString(Text(d.cdsFilial, "NMFILIAL"));
  } catch (...) {
    focus_ = kCtlBranch;
    throw;
  }
}

void TfrmRemessaCNAB::btnFilialClick() {
  RequireEnabled(btnFilial, "btnFilial");
  d.cdsFilial.LoadPacket(net_.CallPacket("GetFilial", {Arg(""), Arg(Company())}));
  if (d.cdsFilial.IsEmpty()) {
    dialogs_.ShowInfo(msgs().Msg("SEM_FILIAL"));
    return;
  }
  PickList list{"Filiais", {"Código", "Nome"}, {}, 0, false};
  for (int r = 1; r <= d.cdsFilial.RecordCount(); ++r)
    list.rows.push_back({TextAt(d.cdsFilial, r, "CDFILIAL"), TextAt(d.cdsFilial, r, "NMFILIAL")});
  std::vector<std::string> picked;
  if (dialogs_.PesquisaLista(list, picked) && !picked.empty()) {
    FocusControl(kCtlBranch);
    TypeBranch(picked.front());
  }
}

// ---- Scheduling, movement and file ----------------------------------------------------

void TfrmRemessaCNAB::Vd_Agendamento() {
  TField& field = d.cdsCNABPag.FieldByName("IDAGENREMCNABPAG");
  if (!EmptyString(field.AsString())) return;
  const std::string text = dbcAgendamento.text;
  if (EmptyString(text)) {
    ShowPage(Page::kDetail);
    focus_ = kCtlSchedule;
    Refuse("INF_AGENDAMENTO");
  }
  if (text == msgs().Msg("1")) field.SetAsString("1");
  if (text == msgs().Msg("2")) field.SetAsString("2");
}

void TfrmRemessaCNAB::dbcTpMovEnter() { d.stTpMovAnt = std::to_string(MovementIndex()); }

void TfrmRemessaCNAB::Vd_Arquivo(bool required) {
  namespace fs = std::filesystem;
  try {
    const std::string path = AllTrim(FileText());
    if (path.empty()) {
      if (required) Refuse("ARQU_DEVE_SER");
      return;
    }
    // The folder is checked where it is; the process's current folder is
    // never changed.
    const fs::path p(path);
    fs::path folder = p.parent_path();
    if (folder.empty()) folder = ".";
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) Refuse("DIR_INVALIDO");
    if (!p.has_filename()) Refuse("ARQU_DEVE_SER");
    if (fs::is_directory(p, ec)) Refuse("ARQU_DEVE_SER");
  } catch (...) {
    ShowPage(Page::kDetail);
    focus_ = kCtlFile;
    throw;
  }
}

void TfrmRemessaCNAB::btpArquivoClick() {
  RequireEnabled(btpArquivo, "btpArquivo");
  auto chosen = dialogs_.ChooseSaveFile("Arquivo", "Arquivos Texto (*.txt)|*.txt|Todos os Arquivos (*.*)|*.*",
                                        FileText());
  if (chosen) d.cdsCNABPag.FieldByName("DSARQCNABPAG").SetAsString(*chosen);
}

// ---- Remittance lifecycle --------------------------------------------------------------

void TfrmRemessaCNAB::sbtIncluirClick() {
  if (Editing()) return;
  // Leaving the company panel checks the company first.
  if (focus_ == kCtlCompany) panFiltroExit();
  if (!d.cdsCNABPag.Active()) d.cdsCNABPag.CreateDataSet();
  d.cdsCNABPag.Append();
  ShowPage(Page::kDetail);
  focus_ = kCtlMovement;
  dbcTpMovEnter();
  SetupBankChoices(true);
  RefreshControls();
}

void TfrmRemessaCNAB::sbtAlterarClick() {
  if (Editing() || !d.cdsCNABPag.Active() || d.cdsCNABPag.IsEmpty()) return;
  d.cdsCNABPag.Edit();
  ShowPage(Page::kDetail);
  // The marks made now belong to this remittance's account, branch and movement.
  d.stContaAnt = AccountText();
  d.stFilialAnt = BranchText();
  d.stTpMovAnt = std::to_string(MovementIndex());
  ClearSelection();
  SetupBankChoices(false);
  RefreshControls();
}

void TfrmRemessaCNAB::sbtCancelarClick() {
  if (!Editing()) return;
  d.cdsCNABPag.Cancel();
  ShowPage(Page::kList);
  RefreshControls();
  sbtFiltro.enabled = true;
  mnuFiltro.enabled = true;
  MostraBoletos();
  ClearSelection();
  RefreshControls();
}

void TfrmRemessaCNAB::sbtCancelaRemessaClick() {
  if (Editing()) return;
  if (!d.cdsBolCnab.Active() || d.cdsBolCnab.IsEmpty()) Refuse("Bole_inf");
  if (!Ask("Conf_Cancel", Buttons::kYesNo, kMrYes, kMrNo)) {
    ClearSelection();
    d.stRemessaAnt.clear();
    pgcPadraoChange();
    return;
  }
  const std::string company = Remessa("CDEMPRESA");
  const std::string number = Remessa("NRCNABPAG");
  auto count = [&] {
    d.cdsTotRemessa.LoadPacket(net_.CallPacket("GetTotRemessa", {Arg(number), Arg(company)}));
    return d.cdsTotRemessa.IsEmpty() ? 0 : d.cdsTotRemessa.FieldByName("QTBOLETOS").AsInteger();
  };
  {
    BusyScope busy(dialogs_);
    if (!d.cdsGeralPag.Active()) d.cdsGeralPag.LoadPacket(net_.CallPacket("GetGeral_Pag"));
    const auto before = count();
    try {
      CheckResultServ(net_.Call("CancelaBolRemessa", {Arg(company), Arg(number), Arg(session_.Operador()),
                                                       Arg(Text(d.cdsGeralPag, "IDUTCTRLCANREMP")),
                                                       Arg(d.cdsBoletos.ToPacket())}));
    } catch (const ServerError& e) {
      RethrowServer(e);
    }
    // Told only when slips really left the remittance.
    if (count() < before) dialogs_.ShowInfo(msgs().Msg("Bol_Exclu"));
  }
  sbtVerificarClick();
}

void TfrmRemessaCNAB::sbtFiltroClick() {
  if (page_ == Page::kList) {
    if (!Editing()) FiltroRemessa().Run(kBotaoFiltro);
    RefreshControls();
    return;
  }
  if (d.klBoletos.Count() > 0 && !Ask("Bol_mar", Buttons::kOkCancel, kMrOk, kMrCancel)) return;
  if (FiltroBoleto().Run(kBotaoFiltro)) ClearSelection();
}

void TfrmRemessaCNAB::sbtVerificarClick() {
  if (Editing()) return;
  const std::string current = Remessa("NRCNABPAG");
  FiltroRemessa().Run(kEscondeFiltro);
  if (!current.empty()) LocateRemittance(current);
  RefreshControls();
}

// ---- cdsCNABPag handlers ---------------------------------------------------------------

void TfrmRemessaCNAB::cdsCNABPagNewRecord(TDataSet& ds) {
  ds.FieldByName("VRTOTALCNABPAG").SetAsDecimal(Decimal());
  ds.FieldByName("QTBOLCNABPAG").SetAsInteger(0);
}

void TfrmRemessaCNAB::cdsCNABPagAfterInsert(TDataSet& ds) {
  ClearSelection();
  d.klRemessas.Clear();
  d.stFilialAnt.clear();
  ds.FieldByName("CDEMPRESA").SetAsString(Company());
  ds.FieldByName("CDOPERADOR").SetAsString(session_.Operador());
  ds.FieldByName("NMOPERADOR").SetAsString(session_.NomeOperador());
  const DateTime now = session_.clock.Now();
  const Date day = session_.DataProc(session_.FiliProc());
  ds.FieldByName("DTCNABPAG").SetAsDateTime(
      DateTime::Make(static_cast<int>(day.year()), static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()),
                     now.hour(), now.minute(), now.second()));
  ds.FieldByName("IDTIPCNABPAG").SetAsString("0");
  ds.FieldByName("DSARQCNABPAG").SetAsString(last_path_);
  ds.FieldByName("IDOPECNABPAG").SetAsString("I");
  edtDtCNABPag.text = DayDateTime(ds.FieldByName("DTCNABPAG").AsDateTime());
  d.cdsBoletos.Close();
}

void TfrmRemessaCNAB::cdsCNABPagBeforePost(TDataSet& ds) {
  // Empty texts go to the server as nulls.
  for (int i = 0; i < ds.FieldCount(); ++i) {
    TField& f = ds.Fields(i);
    if (!f.Calculated() && f.Kind() == FieldKind::kString && !f.IsNull() && f.AsString().empty()) f.Clear();
  }
  if (ds.State() == DataSetState::kInsert) {
    ds.FieldByName("VRTOTALCNABPAG").SetAsDecimal(RoundDec(d.nedTotal, 2));
    ds.FieldByName("QTBOLCNABPAG").SetAsInteger(d.nedQuant);
    boEstado = true;
  } else {
    boEstado = false;
  }
}

void TfrmRemessaCNAB::cdsCNABPagAfterPost(TDataSet& ds) {
  const bool send = boEstado && ds.ChangeCount() > 0;
  boEstado = false;
  if (!send) return;
  BusyScope busy(dialogs_);
  try {
    CheckResultServ(net_.Call("SetCNABPag", {Arg(ds.GetDelta())}));
  } catch (const ServerError& e) {
    RethrowServer(e);
  }
  // Inside the confirmation's unit of work the change is accepted only when
  // the work is committed.
  if (in_work_) {
    pending_merge_ = true;
  } else {
    ds.MergeChangeLog();
  }
}

void TfrmRemessaCNAB::cdsCNABPagAfterScroll(TDataSet& ds) {
  const bool row = !ds.IsEmpty() || ds.State() == DataSetState::kInsert;
  const TField& when = ds.FieldByName("DTCNABPAG");
  edtDtCNABPag.text = row && !when.IsNull() ? DayDateTime(when.AsDateTime()) : std::string();
  last_path_ = row ? ds.FieldByName("DSARQCNABPAG").AsString() : std::string();
  const bool payDate = row && ds.FieldByName("CDBANCCNAB").AsString() == "341";
  DtRemPag.visible = payDate;
  lblDtPagRem.visible = payDate;
  if (payDate) {
    const TField& f = ds.FieldByName("DTPAGREM");
    DtRemPag.date = f.IsNull() ? std::nullopt : std::optional<Date>(f.AsDateTime().date());
  }
  dbcTpMov.Select(MovementIndex());
  // While a file is being written the slips stay as the writer left them.
  if (page_ == Page::kBoletos && !in_work_) MostraBoletos();
  UpdateCancelSlipButtons();
}

void TfrmRemessaCNAB::sbtImprimirClick() {
  if (report_printer_ == nullptr) throw std::logic_error("no report printer was given to the remittance screen");
  RemessaReport(d, Company(), net_, session_, dialogs_, *report_printer_).sbtImprimirClick();
}

}  // namespace pag
