#include "ui/remessa_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "filters/screen_filters.h"
#include "host/errors.h"
#include "ui/qt_dialogs.h"

namespace pag::ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

void SetText(QLineEdit* edit, const std::string& text) {
  const QString q = Q(text);
  if (edit->text() == q) return;
  const QSignalBlocker quiet(edit);
  edit->setText(q);
}

void Apply(QWidget* w, const ControlState& c) {
  w->setEnabled(c.enabled);
  w->setVisible(c.visible);
}

void Apply(QAction* a, const ControlState& c) {
  a->setEnabled(c.enabled);
  a->setVisible(c.visible);
}

void Apply(QComboBox* box, const ComboBox& c) {
  const QSignalBlocker quiet(box);
  QStringList items;
  for (const std::string& i : c.items) items << Q(i);
  QStringList shown;
  for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
  if (items != shown) {
    box->clear();
    box->addItems(items);
  }
  if (box->currentIndex() != c.itemIndex) box->setCurrentIndex(c.itemIndex);
  // The info colour marks the choices the bank offers.
  QPalette palette = box->parentWidget() ? box->parentWidget()->palette() : QApplication::palette();
  if (c.infoColour) {
    palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
    palette.setColor(QPalette::Button, palette.color(QPalette::ToolTipBase));
  }
  box->setPalette(palette);
  Apply(static_cast<QWidget*>(box), c);
}

// The date typed into a "dd/mm/aaaa" box; nullopt while it is blank or not a date.
std::optional<Date> TypedDate(const QString& text) {
  const QDate d = QDate::fromString(text, QStringLiteral("dd/MM/yyyy"));
  if (!d.isValid()) return std::nullopt;
  return MakeDate(d.year(), static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day()));
}

QString DateText(const std::optional<Date>& d) {
  return d ? Q(FormatDate(*d, "dd/mm/yyyy")) : QString();
}

// What a data-bound box shows for a field of a dataset's current record
// (the record being typed while inserting or editing).
std::string FieldText(const TDataSet& ds, const char* field) {
  if (!ds.Active()) return {};
  if (ds.IsEmpty() && ds.State() == DataSetState::kBrowse) return {};
  return ds.FieldByName(field).DisplayText();
}

std::string AmountText(const TDataSet& ds, const char* field) {
  if (!ds.Active() || (ds.IsEmpty() && ds.State() == DataSetState::kBrowse)) return {};
  const TField& f = ds.FieldByName(field);
  if (f.IsNull()) return {};
  return Money::FromDecimal(RoundDec(f.AsDecimal(), 2)).ToDisplay();
}

std::vector<GridColumn> RemittanceColumns() {
  return {
      {"NRCNABPAG", "Nº da Remessa"},
      {"DTCNABPAG", "Data/Hora", ColumnKind::kDateTime},
      {"CDREDUCONT", "Conta"},
      {"CDBANCO", "Banco"},
      {"CDAGENCIA", "Agência", ColumnKind::kText, {}, 8},
      {"CDCONTCORR", "Conta Corrente", ColumnKind::kText, {}, 14},
      {"DSCONTCORR", "Descrição", ColumnKind::kText, {}, 18},
      {"IDOPECNABPAG", "Tipo do Movimento", ColumnKind::kText, {}, 10},
      {"CDFILIAL", "Filial"},
      {"QTBOLCNABPAG", "Qtde.", ColumnKind::kNumber, {}, 6},
      {"VRTOTALCNABPAG", "Valor", ColumnKind::kAmount},
      {"NMOPERADOR", "Operador", ColumnKind::kText, {}, 16},
      {"DSARQCNABPAG", "Arquivo", ColumnKind::kText, {}, 30},
  };
}

std::vector<GridColumn> SlipColumns() {
  return {
      {kMarkColumn, "Marca", ColumnKind::kCheck, {}, 3},
      {"IdPermCNAB", "CNAB", ColumnKind::kCheck, {}, 4},
      {"DTVENBOLPAG", "Vencimento", ColumnKind::kDate},
      {"NMRAZSOCFORN", "Fornecedor", ColumnKind::kText, {}, 26},
      {"VRFINALBPAG", "Vr. Líquido", ColumnKind::kAmount},
      {"NMTPBAIXAPAG", "Tipo de Baixa", ColumnKind::kText, {}, 22},
      {"IDSITUCNABP", "Situação CNAB", ColumnKind::kText, {}, 20},
      {"IDBPAGREAL", "Real", ColumnKind::kText, {}, 4},
      {"CDFILIBPAG", "Filial"},
      {"NRLANBOLPAG", "Lançamento", ColumnKind::kText, {}, 11},
      {"NRCNABPAGREM", "Nº da Remessa", ColumnKind::kText, {}, 11},
      {"NMFANTFORN", "Nome Fantasia", ColumnKind::kText, {}, 18},
      {"CDBARRAPAG", "Código de Barras", ColumnKind::kText, {}, 44},
  };
}

std::vector<GridColumn> PayableColumns(const TDataSet& ds) {
  return {{"FILORIG", ds.FieldByName("FILORIG").DisplayLabel()},
          {"DOCUMENTO", ds.FieldByName("DOCUMENTO").DisplayLabel(), ColumnKind::kText, {}, 18}};
}

}  // namespace

// ---- Construction -------------------------------------------------------------------------

RemessaWindow::RemessaWindow(TfrmRemessaCNAB& screen, Options options, QWidget* parent)
    : QMainWindow(parent), s_(screen), options_(std::move(options)) {
  setObjectName(QStringLiteral("frmRemessaCNAB"));
  setWindowTitle(QStringLiteral("Remessa CNAB de Pagamentos"));
  if (options_.filter_dialogs) {
    if (!options_.filter_units) options_.filter_units = std::make_shared<FilterUnits>();
    filter_view_ = std::make_unique<QtFilterView>(options_.dialogs, this);
    InstallFilterDialogs(s_, {.view = filter_view_.get(), .options_folder = {}, .units = options_.filter_units});
  }
  if (options_.printer) s_.SetReportPrinter(options_.printer);
  if (options_.dialogs) {
    options_.dialogs->SetWindow(this);
    connect(options_.dialogs, &QtDialogs::busyChanged, this, &RemessaWindow::ShowBusy);
    connect(options_.dialogs, &QtDialogs::progress, this, [this] { ShowProgress(); });
  }
  Build();
  connect(qApp, &QApplication::focusChanged, this, &RemessaWindow::OnFocusChanged);
  resize(1200, 700);
  Refresh();
}

RemessaWindow::~RemessaWindow() {
  // Nothing is forwarded any more; the grids (observers of the screen's
  // datasets) and the other widgets go while this window is still whole.
  running_ = refreshing_ = true;
  disconnect(qApp, nullptr, this, nullptr);
  delete takeCentralWidget();
  // The filter dialogs must not outlive the view they are shown through.
  if (filter_view_) InstallFilterDialogs(s_, {.view = nullptr, .options_folder = {}, .units = options_.filter_units});
  if (options_.printer) s_.SetReportPrinter(nullptr);
}

void RemessaWindow::Build() {
  BuildActions();
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(BuildCompanyPanel());
  pages_ = new QTabWidget(central);
  pages_->setObjectName(QStringLiteral("pgcPadrao"));
  pages_->addTab(BuildListPage(), QStringLiteral("Remessas"));
  pages_->addTab(BuildDetailPage(), QStringLiteral("Formulário"));
  pages_->addTab(BuildSlipsPage(), QStringLiteral("Boletos"));
  focusNames_[pages_->tabBar()] = "pgcPadrao";  // tabbing onto the page tabs leaves the control before them
  layout->addWidget(pages_, 1);
  layout->addWidget(BuildStatusPanel());
  setCentralWidget(central);

  busy_ = new QProgressBar(this);
  busy_->setObjectName(QStringLiteral("aviProcessando"));
  busy_->setRange(0, 0);  // the moving bar of "please wait"
  busy_->setMaximumWidth(120);
  busy_->setTextVisible(false);
  busy_->hide();
  statusBar()->addPermanentWidget(busy_);

  connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
    if (refreshing_) return;
    const Page page = static_cast<Page>(index);
    if (page == s_.ActivePage()) return;
    Run([&] { s_.SelectPage(page); });
  });
}

void RemessaWindow::BuildActions() {
  QMenu* menu = menuBar()->addMenu(QStringLiteral("&Remessa"));
  QMenu* view = menuBar()->addMenu(QStringLiteral("&Exibir"));
  QToolBar* tools = addToolBar(QStringLiteral("Ferramentas"));
  tools->setObjectName(QStringLiteral("tbrPadrao"));
  tools->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  tools->setMovable(false);

  auto make = [this](const char* name, const QString& text, QStyle::StandardPixmap icon,
                     std::function<void()> handler) {
    auto* a = new QAction(style()->standardIcon(icon), text, this);
    a->setObjectName(QString::fromLatin1(name));
    a->setToolTip(QString(text).remove(QLatin1Char('&')));
    connect(a, &QAction::triggered, this, [this, handler] { Run(handler); });
    return a;
  };

  // The base screen's actions: one action for the button and the menu entry.
  QAction* incluir = make("sbtIncluir", QStringLiteral("&Incluir"), QStyle::SP_FileIcon, [this] { s_.sbtIncluirClick(); });
  QAction* alterar =
      make("sbtAlterar", QStringLiteral("&Alterar"), QStyle::SP_FileDialogDetailedView, [this] { s_.sbtAlterarClick(); });
  QAction* confirmar =
      make("sbtConfirmar", QStringLiteral("C&onfirmar"), QStyle::SP_DialogApplyButton, [this] { s_.sbtConfirmarClick(); });
  QAction* cancelar =
      make("sbtCancelar", QStringLiteral("&Cancelar"), QStyle::SP_DialogCancelButton, [this] { s_.sbtCancelarClick(); });
  QAction* verificar =
      make("sbtVerificar", QStringLiteral("&Verificar"), QStyle::SP_BrowserReload, [this] { s_.sbtVerificarClick(); });
  QAction* imprimir =
      make("sbtImprimir", QStringLiteral("&Imprimir"), QStyle::SP_FileDialogContentsView, [this] { s_.sbtImprimirClick(); });
  // The filter and taking slips out have a button and a menu entry of their
  // own (each enabled by the screen); the shortcuts belong to the entries.
  QAction* sbtFiltro = make("sbtFiltro", QStringLiteral("Filtrar"), QStyle::SP_FileDialogListView, [this] { s_.sbtFiltroClick(); });
  QAction* mnuFiltro = make("mnuFiltro", QStringLiteral("&Filtrar"), QStyle::SP_FileDialogListView, [this] { s_.sbtFiltroClick(); });
  mnuFiltro->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  const QString cancelaText = QStringLiteral("Cancelar Boleto da Remessa");
  QAction* sbtCancela = make("sbtCancelaRemessa", cancelaText, QStyle::SP_TrashIcon, [this] { s_.sbtCancelaRemessaClick(); });
  QAction* mnuCancela = make("mnuCancelaRemessa", cancelaText, QStyle::SP_TrashIcon, [this] { s_.sbtCancelaRemessaClick(); });
  mnuCancela->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  // An entry of the menu without an action on this screen: a file is written
  // again by editing its remittance and confirming.
  auto* gerar = new QAction(QStringLiteral("&Gerar novamente Arquivo CNAB"), this);
  gerar->setObjectName(QStringLiteral("mnuGerarNovamente"));
  gerar->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  gerar->setEnabled(false);
  QAction* formulario =
      make("mnuFormulario", QStringLiteral("&Formulário"), QStyle::SP_FileDialogInfoView, [this] { s_.mnuFormularioClick(); });
  // Closing the window is the screen's close (closeEvent).
  auto* fechar = new QAction(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Fec&har"), this);
  fechar->setObjectName(QStringLiteral("sbtFechar"));
  connect(fechar, &QAction::triggered, this, &QWidget::close);

  for (QAction* a : {incluir, alterar, confirmar, cancelar}) menu->addAction(a);
  menu->addSeparator();
  menu->addAction(mnuFiltro);
  menu->addAction(verificar);
  menu->addAction(imprimir);
  menu->addSeparator();
  menu->addAction(mnuCancela);
  menu->addAction(gerar);
  menu->addSeparator();
  menu->addAction(fechar);
  view->addAction(formulario);

  for (QAction* a : {incluir, alterar, confirmar, cancelar}) tools->addAction(a);
  tools->addSeparator();
  for (QAction* a : {sbtFiltro, verificar, imprimir, sbtCancela}) tools->addAction(a);
  tools->addSeparator();
  tools->addAction(fechar);
  // The toolbar keeps the focus where it is: pressing a button leaves no
  // field, just as the screen's buttons do.
  for (QToolButton* b : tools->findChildren<QToolButton*>()) b->setFocusPolicy(Qt::NoFocus);
}

QLineEdit* RemessaWindow::Display(const char* name, int chars, bool right) {
  auto* e = new QLineEdit(this);
  e->setObjectName(QString::fromLatin1(name));
  e->setReadOnly(true);
  e->setFocusPolicy(Qt::NoFocus);
  if (right) e->setAlignment(Qt::AlignRight);
  if (chars > 0) e->setFixedWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars + 14);
  QPalette p = e->palette();
  p.setColor(QPalette::Base, p.color(QPalette::Window));
  e->setPalette(p);
  displays_[name] = e;
  return e;
}

QToolButton* RemessaWindow::LookupButton(const char* name, void (TfrmRemessaCNAB::*handler)()) {
  auto* b = new QToolButton(this);
  b->setObjectName(QString::fromLatin1(name));
  b->setText(QStringLiteral("..."));
  b->setToolTip(QStringLiteral("Pesquisar"));
  b->setFocusPolicy(Qt::NoFocus);
  connect(b, &QToolButton::clicked, this, [this, handler] { Run([&] { (s_.*handler)(); }); });
  return b;
}

QWidget* RemessaWindow::BuildCompanyPanel() {
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("panFiltro"));
  panel->setFrameShape(QFrame::StyledPanel);
  auto* row = new QHBoxLayout(panel);
  auto* label = new QLabel(QStringLiteral("&Empresa:"), panel);
  medCdEmpresa_ = new QLineEdit(panel);
  medCdEmpresa_->setObjectName(QString::fromLatin1(kCtlCompany));
  medCdEmpresa_->setMaxLength(2);
  medCdEmpresa_->setFixedWidth(medCdEmpresa_->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 14);
  label->setBuddy(medCdEmpresa_);
  connect(medCdEmpresa_, &QLineEdit::textEdited, this,
          [this](const QString& t) { Run([&] { s_.TypeCompany(t.toStdString()); }); });
  focusNames_[medCdEmpresa_] = kCtlCompany;
  edtNmEmpresa_ = Display("edtNmEmpresa", 0);
  row->addWidget(label);
  row->addWidget(medCdEmpresa_);
  row->addWidget(LookupButton("btpEmpresa", &TfrmRemessaCNAB::btpEmpresaClick));
  row->addWidget(edtNmEmpresa_, 1);
  panFiltro_ = panel;
  return panel;
}

QWidget* RemessaWindow::BuildListPage() {
  auto* grid = new DataGrid(new DataSetModel(s_.d.cdsCNABPag, RemittanceColumns()), this);
  grid->setObjectName(QStringLiteral("dbgPadrao"));
  focusNames_[grid] = "dbgPadrao";
  grid->onMove = [this](int recNo) {
    bool moved = false;
    Run([&] { moved = s_.SelectRemittanceRow(recNo); });
    return moved;
  };
  return grid;
}

QWidget* RemessaWindow::BuildDetailPage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("tshFormulario"));
  form_ = new QFormLayout(page);
  auto line = [page](std::initializer_list<QWidget*> widgets, bool stretch = true) {
    auto* w = new QWidget(page);
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    for (QWidget* x : widgets) h->addWidget(x);
    if (stretch) h->addStretch(1);
    return w;
  };
  auto label = [page](const char* text) { return new QLabel(QString::fromUtf8(text), page); };
  auto edit = [this](const char* name, int maxLength, int chars) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(maxLength);
    if (chars > 0) e->setFixedWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars + 14);
    focusNames_[e] = name;
    return e;
  };
  auto combo = [this](const char* name) {
    auto* c = new QComboBox(this);
    c->setObjectName(QString::fromLatin1(name));
    c->setMinimumContentsLength(18);
    focusNames_[c] = name;
    return c;
  };

  form_->addRow(QStringLiteral("Nº da Remessa:"),
                line({Display("NRCNABPAG", 11), label("Data/Hora:"), Display("edtDtCNABPag", 26),
                      label("Sequência do Arquivo:"), Display("NRSEQREMESSAPAG", 11)}));

  dbcTpMov_ = combo(kCtlMovement);
  connect(dbcTpMov_, &QComboBox::activated, this, [this](int i) { Run([&] { s_.SelectMovement(i); }); });
  form_->addRow(QStringLiteral("Tipo do &Movimento:"), line({dbcTpMov_}));

  dbeCdReduCont_ = edit(kCtlAccount, 3, 4);
  connect(dbeCdReduCont_, &QLineEdit::textEdited, this,
          [this](const QString& t) { Run([&] { s_.TypeAccount(t.toStdString()); }); });
  form_->addRow(QStringLiteral("Conta &Corrente:"),
                line({dbeCdReduCont_, LookupButton("btpCdRedu", &TfrmRemessaCNAB::btpCdReduClick),
                      Display("DSCONTCORR", 22)}));
  form_->addRow(QStringLiteral("Banco:"),
                line({Display("dbeCdBanco", 4), label("Agência:"), Display("CDAGENCIA", 9), label("Conta:"),
                      Display("CDCONTCORR", 16)}));

  dbeCdFilial_ = edit(kCtlBranch, 4, 5);
  connect(dbeCdFilial_, &QLineEdit::textEdited, this,
          [this](const QString& t) { Run([&] { s_.TypeBranch(t.toStdString()); }); });
  form_->addRow(QStringLiteral("F&ilial:"),
                line({dbeCdFilial_, LookupButton("btnFilial", &TfrmRemessaCNAB::btnFilialClick), Display("NMFILIAL", 30)}));

  dbeArquivo_ = edit(kCtlFile, 250, 0);
  dbeArquivo_->setMinimumWidth(dbeArquivo_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 48);
  connect(dbeArquivo_, &QLineEdit::textEdited, this,
          [this](const QString& t) { Run([&] { s_.TypeFile(t.toStdString()); }); });
  form_->addRow(QStringLiteral("&Arquivo:"),
                line({dbeArquivo_, LookupButton("btpArquivo", &TfrmRemessaCNAB::btpArquivoClick)}));

  dbcTpRemessa_ = combo(kCtlKind);
  connect(dbcTpRemessa_, &QComboBox::activated, this, [this](int i) { Run([&] { s_.SelectKind(i); }); });
  dbcAgendamento_ = combo(kCtlSchedule);
  connect(dbcAgendamento_, &QComboBox::activated, this, [this](int i) { Run([&] { s_.SelectSchedule(i); }); });
  form_->addRow(QStringLiteral("Tipo de Remessa:"), line({dbcTpRemessa_, label("Agendamento:"), dbcAgendamento_}));

  DtRemPag_ = edit(kCtlPayDate, 10, 11);
  DtRemPag_->setInputMask(QStringLiteral("99/99/9999;_"));
  connect(DtRemPag_, &QLineEdit::textEdited, this,
          [this](const QString& t) { Run([&] { s_.SetPayDate(TypedDate(t)); }); });
  auto* lblDtPagRem = new QLabel(QStringLiteral("Data de &Pagamento:"), page);
  lblDtPagRem->setObjectName(QStringLiteral("lblDtPagRem"));
  lblDtPagRem->setBuddy(DtRemPag_);
  form_->addRow(lblDtPagRem, DtRemPag_);

  form_->addRow(QStringLiteral("Operador:"), line({Display("CDOPERADOR", 12), Display("NMOPERADOR", 30)}));
  form_->addRow(QStringLiteral("Valor:"), line({Display("VRTOTALCNABPAG", 14, true), label("Qtde.:"),
                                                 Display("QTBOLCNABPAG", 6, true)}));
  return page;
}

QWidget* RemessaWindow::BuildSlipsPage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("tshBoletos"));
  auto* layout = new QVBoxLayout(page);

  auto* slips = new DataGrid(new DataSetModel(s_.d.cdsBoletos, SlipColumns()), page);
  slips->setObjectName(QString::fromLatin1(kCtlGrid));
  slips->setToolTip(QStringLiteral("Espaço ou duplo clique marca o boleto; Ctrl+Espaço ou clique no título da marca, "
                                   "todos"));
  focusNames_[slips] = kCtlGrid;
  slips->onMove = [this](int recNo) {
    bool moved = false;
    Run([&] { moved = s_.SelectSlipRow(recNo); });
    return moved;
  };
  slips->onKey = [this](int key, Qt::KeyboardModifiers modifiers) {
    GridKey k;
    if (key == Qt::Key_Space) {
      k = GridKey::kSpace;
    } else if (key == Qt::Key_Delete) {
      k = GridKey::kDelete;
    } else {
      return false;
    }
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    bool taken = true;  // a key refused half-way was still the screen's
    Run([&] { taken = s_.dbgBoletosKeyDown(k, ctrl); });
    return taken;
  };
  slips->onDoubleClick = [this] { Run([&] { s_.dbgBoletosDblClick(); }); };
  slips->onTitleClick = [this](const std::string& field) { Run([&] { s_.dbgBoletosTitleClick(field); }); };
  layout->addWidget(slips, 1);

  // Under the grid: the account of the current slip, the count and total of
  // the marked slips, and the payables behind the current slip.
  auto* below = new QWidget(page);
  auto* row = new QHBoxLayout(below);
  row->setContentsMargins(0, 0, 0, 0);
  auto* account = new QGroupBox(QStringLiteral("Conta Corrente do Boleto"), below);
  auto* af = new QFormLayout(account);
  auto pair = [account](std::initializer_list<QWidget*> widgets) {
    auto* w = new QWidget(account);
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    for (QWidget* x : widgets) h->addWidget(x);
    h->addStretch(1);
    return w;
  };
  af->addRow(QStringLiteral("Banco:"), pair({Display("bolCDBANCO", 4), new QLabel(QStringLiteral("Agência:"), account),
                                             Display("bolCDAGENCIA", 9)}));
  af->addRow(QStringLiteral("Conta:"), pair({Display("bolCDCONTCORR", 14), Display("bolDSCONTCORR", 20)}));
  row->addWidget(account);

  auto* totals = new QGroupBox(QStringLiteral("Boletos"), below);
  auto* tf = new QFormLayout(totals);
  tf->addRow(QStringLiteral("Quantidade:"), Display("nedQuant", 8, true));
  tf->addRow(QStringLiteral("Total:"), Display("nedTotal", 16, true));
  row->addWidget(totals);

  auto* payables = new DataGrid(new DataSetModel(s_.d.cdsCntPagar, PayableColumns(s_.d.cdsCntPagar)), below);
  payables->setObjectName(QStringLiteral("dbgConta"));
  payables->setMaximumHeight(payables->verticalHeader()->defaultSectionSize() * 5 +
                             payables->horizontalHeader()->sizeHint().height() + 4);
  focusNames_[payables] = "dbgConta";
  row->addWidget(payables, 1);
  layout->addWidget(below);
  return page;
}

QWidget* RemessaWindow::BuildStatusPanel() {
  panStatus_ = new QFrame(this);
  panStatus_->setObjectName(QStringLiteral("panStatus"));
  auto* frame = static_cast<QFrame*>(panStatus_);
  frame->setFrameShape(QFrame::StyledPanel);
  auto* row = new QHBoxLayout(panStatus_);
  statusText_ = new QLabel(panStatus_);
  statusText_->setObjectName(QStringLiteral("lblStatus"));
  gauge_ = new QProgressBar(panStatus_);
  gauge_->setObjectName(QStringLiteral("pgbStatus"));
  row->addWidget(statusText_);
  row->addWidget(gauge_, 1);
  panStatus_->hide();
  return panStatus_;
}

// ---- Forwarding -------------------------------------------------------------------------

template <typename F>
bool RemessaWindow::Run(F&& handler) {
  // An event that a handler's own dialogs or repaints let through while it
  // runs is not a second user action.
  if (running_) return false;
  running_ = true;
  bool done = false;
  try {
    handler();
    done = true;
  } catch (const Abort&) {
    // Its message was shown: the screen stays as the handler left it.
  } catch (const std::exception& e) {
    running_ = false;  // the message box is modal: nothing else can start meanwhile
    s_.dialogs().ShowError(e.what());
  }
  running_ = false;
  Refresh();
  return done;
}

std::string RemessaWindow::ControlOf(QWidget* widget) const {
  for (QWidget* w = widget; w && w != this; w = w->parentWidget()) {
    if (auto it = focusNames_.find(w); it != focusNames_.end()) return it->second;
  }
  return {};
}

void RemessaWindow::OnFocusChanged(QWidget*, QWidget* now) {
  if (running_ || refreshing_ || !now || now->window() != this) return;
  const std::string name = ControlOf(now);
  if (name.empty() || name == s_.ActiveControl()) return;
  // The control left runs its exit handler, the one entered its enter handler.
  Run([&] { s_.FocusControl(name); });
}

void RemessaWindow::closeEvent(QCloseEvent* event) {
  Run([&] { s_.FormClose(); });
  event->accept();
}

void RemessaWindow::ShowBusy(bool busy) { busy_->setVisible(busy); }

void RemessaWindow::ShowProgress() {
  const StatusPanel& p = s_.panStatus;
  panStatus_->setVisible(p.visible);
  statusText_->setText(Q(p.text));
  gauge_->setRange(0, static_cast<int>(p.gaugeMax));
  gauge_->setValue(static_cast<int>(std::min(p.gaugePosition, p.gaugeMax)));
}

DataGrid* RemessaWindow::grid(const char* name) const { return findChild<DataGrid*>(QString::fromLatin1(name)); }

QAction* RemessaWindow::action(const char* name) const { return findChild<QAction*>(QString::fromLatin1(name)); }

// ---- Refresh ----------------------------------------------------------------------------

void RemessaWindow::Refresh() {
  refreshing_ = true;
  const RemessaData& d = s_.d;
  const TDataSet& rem = d.cdsCNABPag;

  // Toolbar and menu.
  Apply(action("sbtIncluir"), s_.sbtIncluir);
  Apply(action("sbtAlterar"), s_.sbtAlterar);
  Apply(action("sbtConfirmar"), s_.sbtConfirmar);
  Apply(action("sbtCancelar"), s_.sbtCancelar);
  Apply(action("sbtImprimir"), s_.sbtImprimir);
  if (!options_.printer) action("sbtImprimir")->setEnabled(false);
  Apply(action("sbtFiltro"), s_.sbtFiltro);
  Apply(action("mnuFiltro"), s_.mnuFiltro);
  Apply(action("sbtCancelaRemessa"), s_.sbtCancelaRemessa);
  Apply(action("mnuCancelaRemessa"), s_.mnuCancelaRemessa);

  // Company panel.
  Apply(panFiltro_, s_.panFiltro);
  medCdEmpresa_->setEnabled(s_.medCdEmpresa.enabled);
  SetText(medCdEmpresa_, s_.medCdEmpresa.text);
  SetText(edtNmEmpresa_, s_.edtNmEmpresa.text);

  // Pages.
  for (Page p : {Page::kList, Page::kDetail, Page::kBoletos})
    pages_->setTabEnabled(static_cast<int>(p), s_.PageEnabled(p));
  if (pages_->currentIndex() != static_cast<int>(s_.ActivePage())) pages_->setCurrentIndex(static_cast<int>(s_.ActivePage()));

  // Detail page.
  SetText(displays_["NRCNABPAG"], FieldText(rem, "NRCNABPAG"));
  SetText(displays_["edtDtCNABPag"], s_.edtDtCNABPag.text);
  SetText(displays_["NRSEQREMESSAPAG"], FieldText(rem, "NRSEQREMESSAPAG"));
  Apply(dbcTpMov_, s_.dbcTpMov);
  SetText(dbeCdReduCont_, s_.AccountText());
  dbeCdReduCont_->setEnabled(s_.dbeCdReduCont.enabled);
  SetText(displays_["DSCONTCORR"], FieldText(rem, "DSCONTCORR"));
  SetText(displays_["dbeCdBanco"], s_.BankText());
  SetText(displays_["CDAGENCIA"], FieldText(rem, "CDAGENCIA"));
  SetText(displays_["CDCONTCORR"], FieldText(rem, "CDCONTCORR"));
  SetText(dbeCdFilial_, s_.BranchText());
  dbeCdFilial_->setEnabled(s_.dbeCdFilial.enabled);
  SetText(displays_["NMFILIAL"], FieldText(rem, "NMFILIAL"));
  SetText(dbeArquivo_, s_.FileText());
  dbeArquivo_->setEnabled(s_.dbeArquivo.enabled);
  for (const char* name : {"btpCdRedu", "btnFilial", "btpArquivo"}) {
    const ControlState& c = std::string(name) == "btpCdRedu" ? s_.btpCdRedu
                            : std::string(name) == "btnFilial" ? s_.btnFilial
                                                               : s_.btpArquivo;
    findChild<QToolButton*>(QString::fromLatin1(name))->setEnabled(c.enabled);
  }
  Apply(dbcTpRemessa_, s_.dbcTpRemessa);
  Apply(dbcAgendamento_, s_.dbcAgendamento);
  // The payment date box: what is typed stays while it is not a date yet.
  if (TypedDate(DtRemPag_->text()) != s_.DtRemPag.date) {
    const QSignalBlocker quiet(DtRemPag_);
    DtRemPag_->setText(DateText(s_.DtRemPag.date));
  }
  DtRemPag_->setEnabled(s_.DtRemPag.enabled);
  form_->setRowVisible(DtRemPag_, s_.DtRemPag.visible && s_.lblDtPagRem.visible);
  SetText(displays_["CDOPERADOR"], FieldText(rem, "CDOPERADOR"));
  SetText(displays_["NMOPERADOR"], FieldText(rem, "NMOPERADOR"));
  SetText(displays_["VRTOTALCNABPAG"], AmountText(rem, "VRTOTALCNABPAG"));
  SetText(displays_["QTBOLCNABPAG"], FieldText(rem, "QTBOLCNABPAG"));

  // Under the slip grid.
  const TDataSet& slips = d.cdsBoletos;
  SetText(displays_["bolCDBANCO"], FieldText(slips, "CDBANCO"));
  SetText(displays_["bolCDAGENCIA"], FieldText(slips, "CDAGENCIA"));
  SetText(displays_["bolCDCONTCORR"], FieldText(slips, "CDCONTCORR"));
  SetText(displays_["bolDSCONTCORR"], FieldText(slips, "DSCONTCORR"));
  SetText(displays_["nedQuant"], std::to_string(d.nedQuant));
  SetText(displays_["nedTotal"], Money::FromDecimal(RoundDec(d.nedTotal, 2)).ToDisplay());

  ShowProgress();

  // The focus goes where the screen put it.
  auto it = std::find_if(focusNames_.begin(), focusNames_.end(),
                         [&](const auto& entry) { return entry.second == s_.ActiveControl(); });
  if (it != focusNames_.end()) {
    QWidget* w = it->first;
    if (w->isVisible() && w->isEnabled() && QApplication::focusWidget() != w) w->setFocus(Qt::OtherFocusReason);
  }
  refreshing_ = false;
}

}  // namespace pag::ui
