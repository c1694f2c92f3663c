#include "ui/filter_windows.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "host/errors.h"
#include "ui/qt_dialogs.h"

namespace pag::ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Hands each character typed into an edit to the control's key-press
// handler first; a character the handler sets to 0 is swallowed.
class KeyFilter : public QObject {
 public:
  KeyFilter(QObject* parent, std::function<void(char&)> handler) : QObject(parent), handler_(std::move(handler)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    if (text.size() != 1 || text[0].unicode() < 0x20 || text[0].unicode() > 0x7e) return false;
    char c = static_cast<char>(text[0].unicode());
    handler_(c);
    return c == 0;
  }

 private:
  std::function<void(char&)> handler_;
};

// An edit whose text is blank or only its mask's separators.
bool BlankDate(const QString& text) {
  for (QChar c : text)
    if (c != QLatin1Char(' ') && c != QLatin1Char('/') && c != QLatin1Char('_')) return false;
  return true;
}

void SetTextKeepingCursor(QLineEdit* edit, const QString& text) {
  if (edit->text() == text) return;
  const QSignalBlocker quiet(edit);
  edit->setText(text);
}

int CharWidth(const QWidget* w, int chars) {
  return w->fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars + 16;
}

}  // namespace

// ---- FilterWindow -----------------------------------------------------------------------

FilterWindow::FilterWindow(TfrmFiltroPadrao& dialog, std::function<void()> limpa, QWidget* parent)
    : QDialog(parent), dialog_(dialog) {
  setObjectName(Q(dialog.ScreenCode()));
  setWindowTitle(Q(dialog.Caption()));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  // The toolbar: a row of buttons that never folds away (a dialog is as
  // wide as its buttons).
  auto* tools = new QWidget(this);
  tools->setObjectName(QStringLiteral("ferramentas"));
  auto* row = new QHBoxLayout(tools);
  row->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(tools);
  body_ = layout;

  auto add = [&](const char* name, const QString& text, QStyle::StandardPixmap icon, const QKeySequence& keys,
                 std::function<void()> handler) {
    auto* a = new QAction(style()->standardIcon(icon), text, this);
    a->setObjectName(QString::fromLatin1(name));
    if (!keys.isEmpty()) {
      a->setShortcut(keys);
      a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }
    addAction(a);
    connect(a, &QAction::triggered, this, [this, handler] { Run(handler); });
    auto* button = new QToolButton(tools);
    button->setDefaultAction(a);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    // The buttons keep the focus where it is, so no edit is left by a click on them.
    button->setFocusPolicy(Qt::NoFocus);
    row->addWidget(button);
  };
  add("sbtConfirma", QStringLiteral("Confirmar"), QStyle::SP_DialogApplyButton, QKeySequence(Qt::CTRL | Qt::Key_Return),
      [this] { dialog_.sbtConfirmaClick(); });
  add("sbtCancel", QStringLiteral("Cancelar"), QStyle::SP_DialogCancelButton, {}, [this] { dialog_.sbtCancelClick(); });
  row->addSpacing(12);
  add("sbtLimpa", QStringLiteral("Desfazer"), QStyle::SP_DialogResetButton, QKeySequence(Qt::CTRL | Qt::Key_D),
      std::move(limpa));
  add("btfSaveOpc", QStringLiteral("Salvar Opções"), QStyle::SP_DialogSaveButton, {},
      [this] { dialog_.btfSaveOpcClick(); });
  add("btfLoadOpc", QStringLiteral("Carregar Opções"), QStyle::SP_DialogOpenButton, {},
      [this] { dialog_.btfLoadOpcClick(); });
  row->addStretch(1);

  connect(qApp, &QApplication::focusChanged, this, &FilterWindow::OnFocusChanged);
}

FilterWindow::~FilterWindow() {
  // Nothing is forwarded any more; the widgets go while this dialog is still whole.
  running_ = true;
  disconnect(qApp, nullptr, this, nullptr);
  for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) delete w;
}

QAction* FilterWindow::action(const char* name) const { return findChild<QAction*>(QString::fromLatin1(name)); }

void FilterWindow::Refresh() {
  for (auto& r : refreshers_) r();
}

void FilterWindow::Run(const std::function<void()>& handler) {
  if (running_) return;
  running_ = true;
  const std::string focusBefore = dialog_.ActiveControl;
  bool refused = false;
  try {
    handler();
  } catch (const Abort&) {
    refused = true;  // its message was shown
  } catch (const std::exception& e) {
    dialog_.Host().dialogs.ShowError(e.what());
  }
  running_ = false;
  Refresh();
  if (!dialog_.Visible) {
    done(dialog_.ModalResult == kMrOk ? QDialog::Accepted : QDialog::Rejected);
    return;
  }
  if (refused || dialog_.ActiveControl != focusBefore) FocusActiveControl();
}

void FilterWindow::reject() {
  // Escape and the window's close button cancel, as the Cancelar button does.
  if (running_) return;
  Run([this] { dialog_.sbtCancelClick(); });  // closes the window
}

void FilterWindow::FocusActiveControl() {
  QWidget* w = findChild<QWidget*>(Q(dialog_.ActiveControl));
  if (!w) return;
  ShowPageOf(w);
  focusing_ = true;
  w->setFocus(Qt::OtherFocusReason);
  focusing_ = false;
}

void FilterWindow::OnFocusChanged(QWidget* old, QWidget* now) {
  if (running_ || focusing_ || !now || now->window() != this) return;
  dialog_.ActiveControl = now->objectName().toStdString();
  if (old && old->window() == this) {
    if (auto it = exits_.find(old); it != exits_.end()) Run(it->second);
  }
}

QWidget* FilterWindow::Caption(const char* text) { return new QLabel(QString::fromUtf8(text), this); }

QGroupBox* FilterWindow::Group(const char* caption, const std::vector<QWidget*>& widgets, QWidget* parent) {
  auto* box = new QGroupBox(QString::fromUtf8(caption), parent);
  auto* h = new QHBoxLayout(box);
  for (QWidget* w : widgets) {
    w->setParent(box);
    h->addWidget(w);
  }
  h->addStretch(1);
  return box;
}

QLineEdit* FilterWindow::Mask(const char* name, MaskEdit& edit, int chars, std::function<void()> exit,
                              std::function<void(char&)> key) {
  auto* w = new QLineEdit(this);
  w->setObjectName(QString::fromLatin1(name));
  if (edit.MaxLength() > 0) w->setMaxLength(edit.MaxLength());
  w->setFixedWidth(CharWidth(w, chars));
  connect(w, &QLineEdit::textEdited, this, [this, &edit](const QString& t) { Run([&] { edit.SetText(t.toStdString()); }); });
  if (key) w->installEventFilter(new KeyFilter(w, [this, key](char& c) {
    Run([&] { key(c); });
  }));
  if (exit) exits_[w] = std::move(exit);
  refreshers_.push_back([w, &edit] {
    if (edit.MaxLength() > 0) w->setMaxLength(edit.MaxLength());
    SetTextKeepingCursor(w, Q(edit.Text()));
    w->setEnabled(edit.Enabled);
  });
  return w;
}

QLineEdit* FilterWindow::Number(const char* name, NumberEdit& edit, std::function<void(char&)> key) {
  auto* w = new QLineEdit(this);
  w->setObjectName(QString::fromLatin1(name));
  w->setAlignment(Qt::AlignRight);
  w->setFixedWidth(CharWidth(w, 14));
  // A text the edit cannot hold is refused: the refresh puts the last good one back.
  connect(w, &QLineEdit::textEdited, this, [this, &edit](const QString& t) { Run([&] { edit.SetText(t.toStdString()); }); });
  w->installEventFilter(new KeyFilter(w, [this, key](char& c) { Run([&] { key(c); }); }));
  refreshers_.push_back([w, &edit] {
    SetTextKeepingCursor(w, Q(edit.Text()));
    w->setEnabled(edit.Enabled);
  });
  return w;
}

QLineEdit* FilterWindow::Date(const char* name, DateEdit& edit, std::function<void()> change,
                              std::function<void()> exit) {
  auto* w = new QLineEdit(this);
  w->setObjectName(QString::fromLatin1(name));
  w->setInputMask(QStringLiteral("99/99/9999;_"));
  w->setFixedWidth(CharWidth(w, 11));
  connect(w, &QLineEdit::textEdited, this, [this, &edit, change](const QString& t) {
    Run([&] {
      edit.SetText(BlankDate(t) ? std::string() : t.toStdString());
      if (change) change();
    });
  });
  if (exit) exits_[w] = std::move(exit);
  refreshers_.push_back([w, &edit] {
    const QString shown = w->text();
    const bool same = shown == Q(edit.Text()) || (BlankDate(shown) && edit.IsBlank());
    if (!same) SetTextKeepingCursor(w, Q(edit.Text()));
    w->setEnabled(edit.Enabled);
  });
  return w;
}

QLineEdit* FilterWindow::ReadOnly(const char* name, const pag::Label& label, int chars) {
  auto* w = new QLineEdit(this);
  w->setObjectName(QString::fromLatin1(name));
  w->setReadOnly(true);
  w->setFocusPolicy(Qt::NoFocus);
  w->setFixedWidth(CharWidth(w, chars));
  refreshers_.push_back([w, &label] { SetTextKeepingCursor(w, Q(label.Text)); });
  return w;
}

QRadioButton* FilterWindow::Radio(const char* name, const char* caption, RadioButton& radio,
                                  std::function<void()> click) {
  auto* w = new QRadioButton(QString::fromUtf8(caption), this);
  w->setObjectName(QString::fromLatin1(name));
  connect(w, &QRadioButton::clicked, this, [this, click] { Run(click); });
  refreshers_.push_back([w, &radio] {
    const QSignalBlocker quiet(w);
    if (radio.Checked) w->setChecked(true);
    w->setEnabled(radio.Enabled);
  });
  return w;
}

QToolButton* FilterWindow::Lookup(const char* name, Button& button, std::function<void()> click) {
  auto* w = new QToolButton(this);
  w->setObjectName(QString::fromLatin1(name));
  w->setText(QStringLiteral("..."));
  w->setToolTip(QStringLiteral("Pesquisar"));
  w->setFocusPolicy(Qt::NoFocus);
  connect(w, &QToolButton::clicked, this, [this, click] { Run(click); });
  refreshers_.push_back([w, &button] { w->setEnabled(button.Enabled); });
  return w;
}

QCheckBox* FilterWindow::Check(const char* name, const char* caption, CheckBox& box) {
  auto* w = new QCheckBox(QString::fromUtf8(caption), this);
  w->setObjectName(QString::fromLatin1(name));
  connect(w, &QCheckBox::clicked, this, [this, w, &box] { Run([&] { box.Checked = w->isChecked(); }); });
  refreshers_.push_back([w, &box] {
    const QSignalBlocker quiet(w);
    w->setChecked(box.Checked);
    w->setEnabled(box.Enabled);
  });
  return w;
}

QGroupBox* FilterWindow::Choice(const char* name, const char* caption, RadioGroup& group, int columns) {
  auto* box = new QGroupBox(QString::fromUtf8(caption), this);
  box->setObjectName(QString::fromLatin1(name));
  auto* grid = new QGridLayout(box);
  auto* buttons = new QButtonGroup(box);
  for (std::size_t i = 0; i < group.Items.size(); ++i) {
    auto* r = new QRadioButton(Q(group.Items[i]), box);
    r->setObjectName(QString::fromLatin1(name) + "_" + QString::number(i));
    buttons->addButton(r, static_cast<int>(i));
    grid->addWidget(r, static_cast<int>(i) / columns, static_cast<int>(i) % columns);
  }
  connect(buttons, &QButtonGroup::idClicked, this, [this, &group](int id) { Run([&] { group.ItemIndex = id; }); });
  refreshers_.push_back([box, buttons, &group] {
    if (QAbstractButton* b = buttons->button(group.ItemIndex)) {
      const QSignalBlocker quiet(b);
      b->setChecked(true);
    }
    box->setEnabled(group.Enabled);
  });
  return box;
}

// ---- Remittance filter --------------------------------------------------------------------

RemessaFilterWindow::RemessaFilterWindow(TfrmFiltroRemessaCNAB& f, QWidget* parent)
    : FilterWindow(f, [&f] { f.sbtLimpaClick(); }, parent), f_(f) {
  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("pgcPadrao"));
  body()->addWidget(pages_);

  // "Dados da Remessa"
  auto* remessa = new QWidget(pages_);
  remessa->setObjectName(Q(TfrmFiltroRemessaCNAB::kTshRemessa));
  auto* r = new QVBoxLayout(remessa);
  r->addWidget(Group("Data de Remessa",
                     {Date("depDtIniVen", f.depDtIniVen, [&f] { f.depDtIniVenChange(); }, [&f] { f.depDtIniVenExit(); }),
                      ReadOnly("edtNmDiaSemIni", f.edtNmDiaSemIni, 14), Caption("a"),
                      Date("depDtFinVen", f.depDtFinVen, [&f] { f.depDtFinVenChange(); }, [&f] { f.depDtFinVenExit(); }),
                      ReadOnly("edtNmDiaSemFin", f.edtNmDiaSemFin, 14)},
                     remessa));
  r->addWidget(Group("Conta Corrente",
                     {Radio("rbtTodosCCor", "Todas", f.rbtTodosCCor, [&f] { f.rbtTodosCCorClick(); }),
                      Radio("rbtListaCCor", "Lista", f.rbtListaCCor, [&f] { f.rbtListaCCorClick(); }),
                      Lookup("btpContCorr", f.btpContCorr, [&f] { f.btpContCorrClick(); })},
                     remessa));
  r->addWidget(Group("Operador",
                     {Radio("rbtTodosOper", "Todos", f.rbtTodosOper, [&f] { f.rbtTodosOperClick(); }),
                      Radio("rbtListaOper", "Lista", f.rbtListaOper, [&f] { f.rbtListaOperClick(); }),
                      Lookup("btpOperador", f.btpOperador, [&f] { f.btpOperadorClick(); })},
                     remessa));
  r->addWidget(Group("Valor",
                     {Number("nedVrRemIni", f.nedVrRemIni, [&f](char& k) { f.nedVrRemIniKeyPress(k); }), Caption("a"),
                      Number("nedVrRemFin", f.nedVrRemFin, [&f](char& k) { f.nedVrRemFinKeyPress(k); })},
                     remessa));
  r->addWidget(Group("Número Remessa",
                     {Mask("medNrRemessa", f.medNrRemessa, 12, [&f] { f.medNrRemessaExit(); },
                           [&f](char& k) { f.medNrRemessaKeyPress(k); })},
                     remessa));
  r->addStretch(1);
  pages_->addTab(remessa, QStringLiteral("Dados da Remessa"));

  // "Boletos"
  auto* boletos = new QWidget(pages_);
  boletos->setObjectName(Q(TfrmFiltroRemessaCNAB::kTshBoletos));
  auto* b = new QVBoxLayout(boletos);
  b->addWidget(Group("Fornecedor",
                     {Radio("rbtTForn", "Todos", f.rbtTForn, [&f] { f.rbtTFornClick(); }),
                      Radio("rbtListForn", "Lista", f.rbtListForn, [&f] { f.rbtListFornClick(); }),
                      Lookup("btnListForn", f.btnListForn, [&f] { f.btnListFornClick(); })},
                     boletos));
  b->addWidget(Group("Banco Beneficiário",
                     {Radio("rbtTdsBancBene", "Todos", f.rbtTdsBancBene, [&f] { f.rbtTdsBancBeneClick(); }),
                      Radio("rbtListBancBene", "Lista", f.rbtListBancBene, [&f] { f.rbtListBancBeneClick(); }),
                      Lookup("btnBancBenef", f.btnBancBenef, [&f] { f.btnBancBenefClick(); })},
                     boletos));
  b->addWidget(Group("Número",
                     {Caption("de"),
                      Mask("medDocIni", f.medDocIni, 10, [&f] { f.medDocIniExit(); },
                           [&f](char& k) { f.medDocIniKeyPress(k); }),
                      Caption("até"),
                      Mask("medDocFin", f.medDocFin, 10, [&f] { f.medDocFinExit(); },
                           [&f](char& k) { f.medDocFinKeyPress(k); })},
                     boletos));
  b->addWidget(Group("Vencimento",
                     {Date("depVencIni", f.depVencIni, {}, [&f] { f.depVencIniExit(); }), Caption("a"),
                      Date("depVencFin", f.depVencFin, {}, [&f] { f.depVencFinExit(); })},
                     boletos));
  b->addWidget(Group("Tipo de Baixa",
                     {Radio("rbtTFormPag", "Todos", f.rbtTFormPag, [&f] { f.rbtTFormPagClick(); }),
                      Radio("rbtFPag", "Lista", f.rbtFPag, [&f] { f.rbtFPagClick(); }),
                      Lookup("btnPesqFPag", f.btnPesqFPag, [&f] { f.btnPesqFPagClick(); })},
                     boletos));
  b->addWidget(Group("Valor",
                     {Number("nedVrLiqIni", f.nedVrLiqIni, [&f](char& k) { f.nedVrLiqIniKeyPress(k); }), Caption("a"),
                      Number("nedVrLiqFin", f.nedVrLiqFin, [&f](char& k) { f.nedVrLiqFinKeyPress(k); })},
                     boletos));
  b->addStretch(1);
  pages_->addTab(boletos, QStringLiteral("Boletos"));

  connect(pages_, &QTabWidget::currentChanged, this, [this](int i) {
    if (QWidget* page = pages_->widget(i)) f_.ActivePage = page->objectName().toStdString();
  });
  Refresh();
}

RemessaFilterWindow::~RemessaFilterWindow() { pages_->disconnect(this); }

void RemessaFilterWindow::Refresh() {
  FilterWindow::Refresh();
  for (int i = 0; i < pages_->count(); ++i) {
    if (pages_->widget(i)->objectName().toStdString() == f_.ActivePage && pages_->currentIndex() != i) {
      const QSignalBlocker quiet(pages_);
      pages_->setCurrentIndex(i);
    }
  }
}

void RemessaFilterWindow::ShowPageOf(QWidget* widget) {
  for (int i = 0; i < pages_->count(); ++i) {
    if (pages_->widget(i)->isAncestorOf(widget)) {
      f_.ActivePage = pages_->widget(i)->objectName().toStdString();
      const QSignalBlocker quiet(pages_);
      pages_->setCurrentIndex(i);
    }
  }
}

// ---- Slip filter --------------------------------------------------------------------------

BoletoFilterWindow::BoletoFilterWindow(TfrmFiltroBoletoCNAB& f, QWidget* parent)
    : FilterWindow(f, [&f] { f.sbtLimpaClick(); }, parent) {
  auto* columns = new QWidget(this);
  auto* grid = new QGridLayout(columns);
  grid->setContentsMargins(0, 0, 0, 0);
  body()->addWidget(columns);

  auto lists = [&](const char* caption, const char* all, const char* allCaption, RadioButton& todos,
                   std::function<void()> todosClick, const char* list, RadioButton& lista,
                   std::function<void()> listaClick, const char* button, Button& btn, std::function<void()> pick) {
    return Group(caption,
                 {Radio(all, allCaption, todos, std::move(todosClick)), Radio(list, "Lista", lista, std::move(listaClick)),
                  Lookup(button, btn, std::move(pick))},
                 columns);
  };
  int row = 0;
  grid->addWidget(lists("Grupo de Fornecedores", "rbtTodosGrForn", "Todos", f.rbtTodosGrForn,
                        [&f] { f.rbtTodosGrFornClick(); }, "rbtListaGrForn", f.rbtListaGrForn,
                        [&f] { f.rbtListaGrFornClick(); }, "btnGrForn", f.btnGrForn, [&f] { f.btnGrFornClick(); }),
                  row++, 0);
  grid->addWidget(lists("Fornecedor", "rbtTForn", "Todos", f.rbtTForn, [&f] { f.rbtTFornClick(); }, "rbtListForn",
                        f.rbtListForn, [&f] { f.rbtListFornClick(); }, "btnListForn", f.btnListForn,
                        [&f] { f.btnListFornClick(); }),
                  row++, 0);
  grid->addWidget(lists("Banco Beneficiário", "rbtTdsBancBene", "Todos", f.rbtTdsBancBene,
                        [&f] { f.rbtTdsBancBeneClick(); }, "rbtListBancBene", f.rbtListBancBene,
                        [&f] { f.rbtListBancBeneClick(); }, "btnBancBenef", f.btnBancBenef,
                        [&f] { f.btnBancBenefClick(); }),
                  row++, 0);
  grid->addWidget(lists("Filial de Origem", "rbtTFiliOrig", "Todas", f.rbtTFiliOrig, [&f] { f.rbtTFiliOrigClick(); },
                        "rbtListaFiliOr", f.rbtListaFiliOr, [&f] { f.rbtListaFiliOrClick(); }, "btnFiliOrig",
                        f.btnFiliOrig, [&f] { f.btnFiliOrigClick(); }),
                  row++, 0);
  grid->addWidget(lists("Filial de Lançamento", "rbtTFiliLanc", "Todas", f.rbtTFiliLanc,
                        [&f] { f.rbtTFiliLancClick(); }, "rbtListFiliLanc", f.rbtListFiliLanc,
                        [&f] { f.rbtListFiliLancClick(); }, "btnFiliLanc", f.btnFiliLanc,
                        [&f] { f.btnFiliLancClick(); }),
                  row++, 0);
  grid->addWidget(lists("Tipo de Baixa", "rbtTFormPag", "Todos", f.rbtTFormPag, [&f] { f.rbtTFormPagClick(); },
                        "rbtFPag", f.rbtFPag, [&f] { f.rbtFPagClick(); }, "btnPesqFPag", f.btnPesqFPag,
                        [&f] { f.btnPesqFPagClick(); }),
                  row++, 0);
  grid->addWidget(Choice("rdgPessoa", "Pessoa", f.rdgPessoa, 4), row++, 0);

  row = 0;
  grid->addWidget(Group("Número", {Caption("de"), Mask("medDocIni", f.medDocIni, 12, [&f] { f.medDocIniExit(); }),
                                    Caption("até"), Mask("medDocFin", f.medDocFin, 12, [&f] { f.medDocFinExit(); })},
                        columns),
                  row++, 1);
  grid->addWidget(Group("Vencimento",
                        {Caption("de"), Date("depDtIniVen", f.depDtIniVen, {}, [&f] { f.depDtIniVenExit(); }),
                         Caption("até"), Date("depDtFinVen", f.depDtFinVen, {}, [&f] { f.depDtFinVenExit(); })},
                        columns),
                  row++, 1);
  grid->addWidget(Group("Valor",
                        {Caption("de"), Number("nedVrLiqIni", f.nedVrLiqIni, [&f](char& k) { f.nedVrLiqIniKeyPress(k); }),
                         Caption("até"),
                         Number("nedVrLiqFin", f.nedVrLiqFin, [&f](char& k) { f.nedVrLiqFinKeyPress(k); })},
                        columns),
                  row++, 1);
  grid->addWidget(Group("Número Remessa / Número Retorno",
                        {Mask("medNrRemessa", f.medNrRemessa, 12, [&f] { f.medNrRemessaExit(); },
                              [&f](char& k) { f.medNrRemessaKeyPress(k); }),
                         Caption("/"),
                         Mask("medNrRetorno", f.medNrRetorno, 12, [&f] { f.medNrRetornoExit(); },
                              [&f](char& k) { f.medNrRetornoKeyPress(k); })},
                        columns),
                  row++, 1);
  grid->addWidget(Choice("rdgCdBarraPag", "Código de Barras", f.rdgCdBarraPag, 1), row, 1, 2, 1);
  row += 2;
  grid->addWidget(Group("Situação", {Check("chbNaoEnviado", "Não Agendado", f.chbNaoEnviado),
                                     Check("chbEnv_RetoErro", "Enviado - Retorno com Erro", f.chbEnv_RetoErro)},
                        columns),
                  row++, 1);
  grid->setRowStretch(std::max(row, 7), 1);

  Refresh();
}

// ---- The view ---------------------------------------------------------------------------

void QtFilterView::Exec(FilterWindow& window) {
  window.adjustSize();
  if (dialogs_ && dialogs_->onShown) {
    QPointer<QDialog> shown(&window);
    QTimer::singleShot(0, &window, [this, shown] {
      if (shown && dialogs_->onShown) dialogs_->onShown(*shown);
    });
  }
  window.exec();
}

void QtFilterView::ShowModal(TfrmFiltroBoletoCNAB& dialog) {
  QWidget* parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : parent_.data();
  BoletoFilterWindow window(dialog, parent);
  Exec(window);
}

void QtFilterView::ShowModal(TfrmFiltroRemessaCNAB& dialog) {
  QWidget* parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : parent_.data();
  RemessaFilterWindow window(dialog, parent);
  Exec(window);
}

}  // namespace pag::ui
