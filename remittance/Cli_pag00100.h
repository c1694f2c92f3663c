// TfrmRemessaCNAB: the remittance screen, without widgets. Its public
// methods carry the handler names of the screen's components; its state is
// the datasets (d), the key lists, the page shown, the focused control and
// the enabled/visible state of the controls the handlers switch. A view
// binds widgets to it and forwards events; the command line and the tests
// drive it the same way a clerk does.
//
//   TfrmRemessaCNAB s(session, dialogs, net, localdb);
//   s.FormCreate();                       // company of the session in medCdEmpresa
//   s.panFiltroExit();                    // checks it, lists its remittances
//   s.sbtIncluirClick();                  // new remittance, detail page
//   s.FocusControl(kCtlAccount); s.TypeAccount("1"); s.FocusControl(kCtlFile);   // "001", bank choices
//   s.TypeFile("/data/rem.txt"); s.FocusControl(kCtlBranch);
//   s.SelectPage(Page::kBoletos);         // slips offered
//   s.dbgBoletosDblClick();               // mark the current slip, with every check
//   s.sbtConfirmarClick();                // number, write, save, mark as sent
//
// A refusal shows its message through the Dialogs and ends the action with
// Abort (whose key() names the message); server faults end it with
// ServerError, file faults with OutputFileError.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "host/connection.h"
#include "host/dialogs.h"
#include "host/localdb.h"
#include "host/session.h"
#include "remittance/dispatch.h"
#include "remittance/filter_ports.h"
#include "remittance/model/remessa_data.h"
#include "remittance/report.h"
#include "writers/cnab/output_file.h"

namespace pag {

// The pages of pgcPadrao.
enum class Page { kList = 0, kDetail = 1, kBoletos = 2 };

// Names of the controls that take the focus.
inline constexpr const char* kCtlCompany = "medCdEmpresa";
inline constexpr const char* kCtlMovement = "dbcTpMov";
inline constexpr const char* kCtlAccount = "dbeCdReduCont";
inline constexpr const char* kCtlBranch = "dbeCdFilial";
inline constexpr const char* kCtlFile = "dbeArquivo";
inline constexpr const char* kCtlKind = "dbcTpRemessa";
inline constexpr const char* kCtlSchedule = "dbcAgendamento";
inline constexpr const char* kCtlPayDate = "DtRemPag";
inline constexpr const char* kCtlGrid = "dbgBoletos";

// The mark column of the slip grid.
inline constexpr const char* kMarkColumn = "IDMARCADO";

struct ControlState {
  bool enabled = true;
  bool visible = true;
};

struct EditBox : ControlState {
  std::string text;
};

struct ComboBox : ControlState {
  std::vector<std::string> items;
  int itemIndex = -1;
  std::string text;
  bool infoColour = false;  // the info colour of the choices the bank offers
  // Selects item i (-1: none) and shows its text.
  void Select(int i);
  // No item, no text.
  void Clear();
};

struct DateBox : ControlState {
  std::optional<Date> date;
};

// panStatus: the text and the progress gauge shown while a file is written.
struct StatusPanel {
  bool visible = false;
  std::string text;
  long gaugeMax = 100;
  long gaugePosition = 0;
};

enum class GridKey { kSpace, kDelete, kOther };
enum class WindowState { kNormal, kMinimized, kMaximized };

// What the last successful confirmation produced.
struct ConfirmationReport {
  std::string company;
  std::string number;    // NRCNABPAG
  std::string sequence;  // NRSEQREMESSAPAG
  std::string path;
  std::string bank;      // CDBANCCNAB
  std::string writer;    // entry name of the writer that ran
  bool newRemittance = false;
  int slips = 0;
  Decimal total;
};

class TfrmRemessaCNAB {
 public:
  using WriterFunction = std::function<void(WriterContext&)>;
  using SlipFilterFactory = std::function<std::unique_ptr<SlipFilterPort>(TfrmRemessaCNAB&)>;
  using RemittanceFilterFactory = std::function<std::unique_ptr<RemittanceFilterPort>(TfrmRemessaCNAB&)>;

  TfrmRemessaCNAB(Session& session, Dialogs& dialogs, TNetConnection& net, LocalDatabase& localdb);
  ~TfrmRemessaCNAB();
  TfrmRemessaCNAB(const TfrmRemessaCNAB&) = delete;
  TfrmRemessaCNAB& operator=(const TfrmRemessaCNAB&) = delete;

  // ---- The screen's data --------------------------------------------------
  RemessaData d;
  // True only between BeforePost and AfterPost of a new remittance.
  bool boEstado = false;

  // ---- Controls -----------------------------------------------------------
  ControlState panFiltro;     // the company panel
  EditBox medCdEmpresa;       // company code
  EditBox edtNmEmpresa;       // company name beside it
  ComboBox dbcTpMov;          // movement type, bound to IDOPECNABPAG
  ControlState dbeArquivo, btpArquivo, dbeCdReduCont, btpCdRedu, dbeCdFilial, btnFilial;
  ControlState dbeCdBanco;    // read-only, shows CDBANCO
  EditBox edtDtCNABPag;       // read-only date box, "ddd ddddd hh:nn"
  ComboBox dbcTpRemessa;      // remittance kind
  ComboBox dbcAgendamento;    // scheduling
  ControlState lblDtPagRem;   // label of the payment date
  DateBox DtRemPag;           // payment date (bank 341)
  ControlState sbtFiltro, mnuFiltro, sbtCancelaRemessa, mnuCancelaRemessa;
  // The base screen's toolbar: new and edit while browsing (edit and print
  // need a remittance), confirm and cancel while inserting or editing.
  ControlState sbtIncluir, sbtAlterar, sbtConfirmar, sbtCancelar, sbtImprimir;
  StatusPanel panStatus;

  // The screen window, for the package entry.
  bool visible = false;
  WindowState windowState = WindowState::kNormal;
  void Show() { visible = true; }

  // Called at the end of FormClose (the package forgets its screen).
  std::function<void()> onClose;

  // ---- Services -------------------------------------------------------------
  Session& session() { return session_; }
  Dialogs& dialogs() { return dialogs_; }
  TNetConnection& net() { return net_; }
  LocalDatabase& localdb() { return localdb_; }
  const TMessages& msgs() const { return d.msgs; }

  // ---- Filters ----------------------------------------------------------------
  void SetSlipFilterFactory(SlipFilterFactory factory);
  void SetRemittanceFilterFactory(RemittanceFilterFactory factory);
  // The filter dialogs, created on first use (CriaFiltroBoletoCNAB and
  // CriaFiltroRemessaCNAB of the package run them).
  SlipFilterPort& FiltroBoleto();
  RemittanceFilterPort& FiltroRemessa();
  bool HasSlipFilter() const { return slip_filter_ != nullptr; }
  bool HasRemittanceFilter() const { return remittance_filter_ != nullptr; }
  // The GetBoletos arguments without any filter, for the current remittance.
  std::vector<Arg> NoFilterCriteria() const;

  // ---- Dispatch ---------------------------------------------------------------
  // Another table of writers (tests), or the production one when empty.
  void SetDispatchTable(std::span<const DispatchRow> table);
  // Runs `writer` in place of the entry of the rows that name it.
  void SetWriterOverride(const std::string& writerName, WriterFunction writer);

  // ---- Pages and focus ------------------------------------------------------
  Page ActivePage() const { return page_; }
  bool PageEnabled(Page page) const;
  // The user brings a page forward (then pgcPadraoChange).
  void SelectPage(Page page);
  // The user moves the focus: the control left runs its exit handler (an
  // abort there keeps the focus where the handler put it), then the control
  // entered its enter handler.
  void FocusControl(const std::string& control);
  const std::string& ActiveControl() const { return focus_; }

  // ---- Typing into the controls ------------------------------------------------
  // Each needs its control enabled (std::logic_error otherwise). The
  // data-bound ones write their field at once.
  void TypeCompany(const std::string& text);
  void TypeAccount(const std::string& text);
  void TypeBranch(const std::string& text);
  void TypeFile(const std::string& text);
  void SelectMovement(int index);
  void SelectKind(int index);
  void SelectSchedule(int index);
  void SetPayDate(std::optional<Date> date);
  // What the data-bound controls show.
  std::string AccountText() const;
  std::string BranchText() const;
  std::string FileText() const;
  std::string BankText() const;
  // dbcTpMov's item index of the remittance's movement (0 "I", 1 "E", 2 "B").
  int MovementIndex() const;
  // The user clicks a row of a grid: the remittance of that number (blanks
  // and leading zeros aside), the slip of that branch and entry. False when
  // the grid has no such row.
  bool LocateRemittance(const std::string& number);
  bool LocateSlip(const std::string& branch, const std::string& entry);
  // The user moves a grid's cursor to row recNo (1-based, in the order the
  // grid shows). The remittance list stays where it is while a remittance is
  // being inserted or edited, the slips while one of them is being posted.
  // False when the grid has no such row or may not move.
  bool SelectRemittanceRow(int recNo);
  bool SelectSlipRow(int recNo);

  // ---- Screen life ----------------------------------------------------------
  void FormCreate();
  void FormClose();

  // ---- Remittance lifecycle --------------------------------------------------
  void sbtIncluirClick();
  void sbtAlterarClick();
  void sbtCancelarClick();
  void sbtConfirmarClick();
  void sbtCancelaRemessaClick();
  void sbtFiltroClick();
  void sbtVerificarClick();
  void mnuFormularioClick() { ShowPage(Page::kDetail); }
  // Prints the payment list of the current remittance through the printer
  // the host gave (SetReportPrinter).
  void sbtImprimirClick();
  void SetReportPrinter(ReportPrinter* printer) { report_printer_ = printer; }

  void panFiltroExit();
  void dbeCdReduContEnter();
  void dbeCdReduContExit();
  void dbeCdFilialEnter();
  void dbeCdFilialExit() { Vd_CdFilial(); }
  void dbeArquivoExit() { Vd_Arquivo(false); }
  void dbcTpMovEnter();
  void btpArquivoClick();
  void btpEmpresaClick();
  void btpCdReduClick();
  void btnFilialClick();

  void Vd_CdEmpresa();
  void Vd_CdReduCont(bool required);
  void Vd_CdFilial();
  void Vd_Agendamento();
  void Vd_Arquivo(bool required);

  // ---- Slip selection ----------------------------------------------------------
  void MostraBoletos();
  void pgcPadraoChange();
  void dbgBoletosDblClick();
  // True when the key was taken (Space, Ctrl+Space, Ctrl+Delete).
  bool dbgBoletosKeyDown(GridKey key, bool ctrl);
  void dbgBoletosTitleClick(const std::string& column);
  bool Vd_BoletoOk(bool raise);
  static bool Valida_Boleto_CNAB(const std::string& payingBank, const std::string& payeeBank, const std::string& mode,
                                 const Decimal& docLimit, const Decimal& value);
  bool Vd_BoletoCNAB(bool raise);
  static bool Vd_BoletoPIX(bool other, bool pix) { return other && pix; }
  // Whether marking a slip of `mode` would put PIX and other modes together,
  // by the counts of the marked slips per mode.
  bool WouldMixPix(const std::string& mode) const;
  void Vd_BolVinc();
  // Drops the whole selection: the marks of cdsBoletos, the three slip key
  // lists, the work copy, the count, the total and inQtBol.
  void ClearSelection();

  // ---- File generation --------------------------------------------------------
  void EscolheFuncao();
  void AtualizaBoleto();
  void BoletosPorRemessa(const std::string& company, const std::string& number);
  const std::optional<ConfirmationReport>& LastConfirmation() const { return last_confirmation_; }

  // ---- Dataset handlers ------------------------------------------------------
  void cdsCNABPagNewRecord(TDataSet&);
  void cdsCNABPagAfterInsert(TDataSet&);
  void cdsCNABPagBeforePost(TDataSet&);
  void cdsCNABPagAfterPost(TDataSet&);
  void cdsCNABPagAfterScroll(TDataSet&);
  void cdsBoletosBeforePost(TDataSet&);
  void cdsBoletosAfterScroll(TDataSet&);
  void cdsBoletosAfterClose(TDataSet&);
  void cdsBolCnabAfterScroll(TDataSet&);

 private:
  struct Snapshot;
  // A loop over every slip: the grid's updates suspended, the payables of
  // the slips scrolled over left unread (see LoadPayablesAfterBulk).
  class BulkSlips {
   public:
    explicit BulkSlips(TfrmRemessaCNAB& s) : s_(s) {
      s_.d.cdsBoletos.DisableControls();
      ++s_.bulk_depth_;
    }
    ~BulkSlips() {
      --s_.bulk_depth_;
      s_.d.cdsBoletos.EnableControls();
    }
    BulkSlips(const BulkSlips&) = delete;
    BulkSlips& operator=(const BulkSlips&) = delete;

   private:
    TfrmRemessaCNAB& s_;
  };

  bool Editing() const;  // cdsCNABPag in insert or edit
  bool Inserting() const;
  std::string Company() const { return medCdEmpresa.text; }
  std::string Remessa(const char* field) const;
  void ShowPage(Page page) { page_ = page; }
  void SetFocusQuietly(const std::string& control) { focus_ = control; }
  void RefreshControls();
  void UpdateCancelSlipButtons();
  void RequireEnabled(const ControlState& c, const char* name) const;
  [[noreturn]] void Refuse(const std::string& key);
  [[noreturn]] void RethrowServer(const ServerError& e);
  bool LocateSlipKey(const std::string& key);
  bool Ask(const std::string& key, Buttons buttons, int yes, int default_button);
  void Busy(bool on);

  // Lookups and loads.
  void LoadEmprBanc(const std::string& bank, const std::string& company);
  void EnsureEmprBanc();
  void LoadContaCorrente(const std::string& account);
  void CopyAccountFields();
  bool EnsureBranchRow(const std::string& branch);
  bool BranchRootDiffers(const std::string& branch);
  void LoadSlipLookups();
  // cdsCntPagar: the payables of the current slip.
  void LoadPayables();
  // After a loop over every slip (updates of the slip grid suspended): the
  // payables of the slip the loop ended on, read once instead of at every row.
  void LoadPayablesAfterBulk();
  // Whether cdsBoletos holds, unchanged, what GetBolporRem gave for the
  // remittance just confirmed, and that is exactly what GetBoletos would
  // give for it while browsing (same rows, same order, same values).
  bool ShowsRemittanceSlips(const std::vector<Arg>& criteria) const;
  // Redoes the page handling and the remittance list after a confirmation,
  // loading the slips no more often than what they show needs.
  // `shown`: company and number of the remittance whose slips GetBolporRem
  // has just put into cdsBoletos, when it did.
  void RefreshAfterConfirmation(std::optional<std::pair<std::string, std::string>> shown);
  void SetupBankChoices(bool newRemittance);
  void MarkCurrent(bool mark);
  void MarcaDesmarcaTodos();
  void MarkEach(bool unmark, bool editing);
  void BookkeepWorkCopy(bool marked);
  // ClearSelection; with unmarkRows false the marks stay on the rows of
  // cdsBoletos, for rows about to be replaced (UnmarkRows clears them).
  void ForgetSelection(bool unmarkRows);
  void UnmarkRows();
  // Each field of the work copy (cdsBolCnab) with the slip field it copies.
  const std::vector<std::pair<TField*, const TField*>>& WorkCopyFields();
  void UpdatePixFlags();
  void RunSlipFilterSilently();

  // The confirmation frame.
  void Generate();
  std::set<std::string> RecountMarked();
  void CheckWritten(const std::set<std::string>& marked, const std::set<std::string>& written);
  void Gauge(long step);
  void Restore(const Snapshot& snap);
  void AfterFrame();

  Session& session_;
  Dialogs& dialogs_;
  TNetConnection& net_;
  LocalDatabase& localdb_;

  Page page_ = Page::kList;
  std::string focus_;
  bool pages_enabled_ = true;
  std::string last_path_;  // DSARQCNABPAG of the remittance current before
  std::string emprbanc_key_;  // bank + company of the agreement in cdsEmprBanc
  bool in_work_ = false;      // inside the confirmation's unit of work
  bool pending_merge_ = false;
  bool bookkeeping_muted_ = false;
  // Loops over every slip with the grid's updates suspended: while one runs,
  // the payables of each slip scrolled to are not read (nothing in the loop
  // reads them), and payables_stale_ says they are owed for the slip the
  // loop ends on.
  int bulk_depth_ = 0;
  bool payables_stale_ = false;
  // While the page is handled after a confirmation: cdsBoletos holds what
  // GetBolporRem gave for this remittance (company, number), untouched since.
  std::optional<std::pair<std::string, std::string>> confirmed_slips_;
  // While the remittance list is refreshed after a confirmation, the slips
  // are loaded once at the end for the remittance then current, and only
  // when they are not already its slips.
  bool hold_slip_reload_ = false;
  bool slip_reload_held_ = false;
  int browse_loads_ = 0;  // slips of a browsed remittance loaded, counted
  std::vector<std::pair<TField*, const TField*>> work_copy_fields_;
  std::pair<int, int> work_copy_counts_{-1, -1};  // field counts they were found for

  SlipFilterFactory slip_filter_factory_;
  RemittanceFilterFactory remittance_filter_factory_;
  std::unique_ptr<SlipFilterPort> slip_filter_;
  std::unique_ptr<RemittanceFilterPort> remittance_filter_;

  std::span<const DispatchRow> dispatch_;
  std::map<std::string, WriterFunction, std::less<>> writer_overrides_;
  std::optional<OutputFile> out_file_;
  std::set<std::string> last_written_;
  std::string last_writer_;
  std::optional<ConfirmationReport> last_confirmation_;
  ReportPrinter* report_printer_ = nullptr;
};

}  // namespace pag
