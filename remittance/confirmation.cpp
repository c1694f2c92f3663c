// Confirming a remittance: the checks in their order, then one unit of work
// on the server that draws the numbers, has the bank's writer produce the
// file (into a temporary file next to the target), saves the remittance and
// marks its slips as sent. Only when the server has committed is the file
// renamed into place. Anything that fails before leaves no file, nothing
// saved, no number used, and the remittance on the screen as it was.
#include <filesystem>
#include <stdexcept>

#include "host/errors.h"
#include "host/text.h"
#include "remittance/Cli_pag00100.h"
#include "remittance/screen_util.h"

namespace pag {

// What the confirmation changes on the screen, to put back when it fails.
struct TfrmRemessaCNAB::Snapshot {
  DataSetState state = DataSetState::kBrowse;
  TBookmark bookmark;          // the row being edited
  std::vector<Value> values;   // the record as typed (data fields, in field order)
  std::vector<Value> stored;   // the edited row as it is stored
  std::string slipBranch, slipEntry;  // the current slip
};

void TfrmRemessaCNAB::sbtConfirmarClick() {
  if (!Editing()) return;
  if (d.stContaAnt.empty()) d.stContaAnt = AccountText();
  Vd_CdReduCont(true);
  Vd_Arquivo(true);
  Vd_CdFilial();
  LoadEmprBanc(BankText(), Company());
  if (Remessa("CDBANCCNAB") == "237" && Text(d.cdsEmprBanc, "IDPADRCNABPAG") != "2") Vd_Agendamento();

  // Every marked slip's invoices must have been received by branches of
  // the remittance branch's CNPJ root.
  const std::string branch = Remessa("CDFILIAL");
  if (!EmptyString(branch)) {
    for (int i = 0; i < d.klBoletos.Count(); ++i) {
      const std::string key = d.klBoletos.Key(i);
      d.cdsFiliRece.LoadPacket(
          net_.CallPacket("GetFiliRece", {Arg(key.substr(0, 4)), Arg(key.substr(4))}));
      if (BranchRootDiffers(branch)) {
        LocateSlipKey(key);
        Refuse("FILI_DIF");
      }
    }
  }
  // The movement type changed on the detail page since the slips were marked.
  if (page_ == Page::kDetail && std::to_string(MovementIndex()) != d.stTpMovAnt) ClearSelection();
  if (d.klBoletos.Count() == 0) {
    if (page_ != Page::kBoletos) {
      page_ = Page::kBoletos;
      pgcPadraoChange();
    }
    Refuse("Bole_inf");
  }
  std::error_code ec;
  if (std::filesystem::exists(AllTrim(FileText()), ec) &&
      !Ask("ARQU_EXISTE", Buttons::kYesNo, kMrYes, kMrNo))
    throw Abort();
  Generate();
}

void TfrmRemessaCNAB::Gauge(long step) {
  panStatus.gaugePosition += step;
  dialogs_.Progress(panStatus.gaugePosition, panStatus.gaugeMax, panStatus.text);
}

std::set<std::string> TfrmRemessaCNAB::RecountMarked() {
  TDataSet& b = d.cdsBoletos;
  if (b.Filtered()) b.SetFiltered(false);
  std::set<std::string> keys;
  Decimal total;
  const TField& value = b.FieldByName("VRFINALBPAG");
  for (int r = 1; r <= b.RecordCount(); ++r) {
    if (TextAt(b, r, "IDMARCADO") != "S") continue;
    keys.insert(RemessaData::SlipKey(TextAt(b, r, "CDFILIBPAG"), TextAt(b, r, "NRLANBOLPAG")));
    if (const auto* v = std::get_if<Decimal>(&b.ValueAt(r, value))) total += *v;
  }
  d.inQtBol = static_cast<int>(keys.size());
  d.nedQuant = d.inQtBol;
  d.nedTotal = RoundDec(total, 2);
  if (keys.empty()) Refuse("Bole_inf");
  return keys;
}

void TfrmRemessaCNAB::CheckWritten(const std::set<std::string>& marked, const std::set<std::string>& written) {
  auto show = [](const std::string& key) { return key.substr(0, 4) + "/" + key.substr(4); };
  for (const std::string& k : marked)
    if (!written.count(k)) MensErro(dialogs_, msgs().Format("Bol_Nao_Gerado", {show(k)}), true, "Bol_Nao_Gerado");
  for (const std::string& k : written)
    if (!marked.count(k)) MensErro(dialogs_, msgs().Format("Bol_Nao_Marcado", {show(k)}), true, "Bol_Nao_Marcado");
}

void TfrmRemessaCNAB::EscolheFuncao() {
  TDataSet& b = d.cdsBoletos;
  b.SetIndexName("idxGeraRemessa");
  try {
    const std::string bank = Remessa("CDBANCCNAB");
    switch (PrepareFor(dispatch_, bank)) {
      case DispatchPrepare::kReloadEmprBanc:
        LoadEmprBanc(Remessa("CDBANCO"), Company());
        break;
      case DispatchPrepare::kLoadLayout:
        d.cdsLayout.LoadPacket(net_.CallPacket("GetLayout", {Arg(Company()), Arg(AccountText())}));
        break;
      case DispatchPrepare::kNone:
        break;
    }
    const DispatchFacts facts{Text(d.cdsEmprBanc, "IDPADRCNABPAG"), Text(d.cdsLayout, "IDLAYCNABPAG"),
                              Text(d.cdsContaCorrente, "IDLAYOUTCNAB")};
    const DispatchRow* row = FindDispatchRow(dispatch_, bank, facts);
    WriterFunction writer;
    if (row) {
      auto over = writer_overrides_.find(row->writer);
      if (over != writer_overrides_.end()) {
        writer = over->second;
      } else if (row->entry) {
        writer = row->entry;
      }
    }
    if (!writer) Refuse("Remessa_inv");
    out_file_.emplace(AllTrim(FileText()));
    WriterContext ctx{d, net_, localdb_, session_, dialogs_, *out_file_, Company(), AccountText(), BankText(),
                      dbcTpRemessa.itemIndex, {}};
    b.First();
    writer(ctx);
    last_written_ = std::move(ctx.written);
    last_writer_ = std::string(row->writer);
    if (row->gaugeAfter) Gauge(20);
  } catch (...) {
    b.SetIndexName("idxOrdena");
    mnuFormularioClick();
    throw;
  }
  b.SetIndexName("idxOrdena");
}

void TfrmRemessaCNAB::AtualizaBoleto() {
  d.cdsBoletos.First();
  try {
    // The slips packet is moved into the call, not copied.
    std::vector<Arg> args;
    args.reserve(7);
    args.emplace_back(d.cdsBoletos.ToPacket());
    for (const char* field : {"CDBANCCNAB", "CDREDUCONT", "NRCNABPAG"}) args.emplace_back(Remessa(field));
    args.emplace_back("10");
    for (const char* field : {"IDOPECNABPAG", "CDEMPRESA"}) args.emplace_back(Remessa(field));
    CheckResultServ(net_.Call("AtualizaBoleto", std::move(args)));
  } catch (const ServerError& e) {
    RethrowServer(e);
  }
  Gauge(50);
}

void TfrmRemessaCNAB::BoletosPorRemessa(const std::string& company, const std::string& number) {
  d.cdsBoletos.LoadPacket(net_.CallPacket("GetBolporRem", {Arg::Ref(company), Arg::Ref(number)}));
}

void TfrmRemessaCNAB::RefreshAfterConfirmation(std::optional<std::pair<std::string, std::string>> shown) {
  std::optional<std::string> failure;
  const int loadsBefore = browse_loads_;
  confirmed_slips_ = std::move(shown);
  try {
    // Entering the "Boletos" page shows the remittance's slips, which the
    // grid may hold already (MostraBoletos, ShowsRemittanceSlips).
    pgcPadraoChange();
    confirmed_slips_.reset();
    // Every scroll of the refreshed list would load the slips of the
    // remittance it lands on; only the last of those loads shows, so it is
    // made once, at the end.
    hold_slip_reload_ = true;
    slip_reload_held_ = false;
    sbtVerificarClick();
  } catch (const std::exception& e) {
    failure = e.what();
  }
  confirmed_slips_.reset();
  hold_slip_reload_ = false;
  if (slip_reload_held_) {
    slip_reload_held_ = false;
    // Not needed when the slips were loaded just before for the remittance
    // the list has come back to: they would come again as they are.
    const bool current = browse_loads_ != loadsBefore && d.cdsBoletos.Active() && !Editing() &&
                         d.cdsCNABPag.Active() && !d.cdsCNABPag.IsEmpty() && Remessa("NRCNABPAG") == d.stRemessaAnt;
    if (!current) {
      try {
        MostraBoletos();
      } catch (const std::exception& e) {
        if (!failure) failure = e.what();
      }
    }
  }
  if (failure) dialogs_.ShowError(*failure);
}

void TfrmRemessaCNAB::AfterFrame() {
  panStatus.visible = false;
  if (d.cdsBoletos.Active()) d.cdsBoletos.SetFiltered(false);
  if (d.cdsFilial.Active()) d.cdsFilial.SetFiltered(false);
  out_file_.reset();  // a file not committed is removed with its temporary
  emprbanc_key_.clear();  // writers may have loaded another agreement
  in_work_ = false;
}

void TfrmRemessaCNAB::Restore(const Snapshot& snap) {
  TDataSet& rem = d.cdsCNABPag;
  {
    MutedEvents quiet(rem);
    auto setAll = [&rem](const std::vector<Value>& values) {
      std::size_t j = 0;
      for (int i = 0; i < rem.FieldCount(); ++i) {
        TField& f = rem.Fields(i);
        if (!f.Calculated()) f.SetValue(values.at(j++));
      }
    };
    if (snap.state == DataSetState::kInsert) {
      if (rem.State() != DataSetState::kInsert) {
        // Posted but not accepted: the row leaves again (its insert was
        // never merged) and the remittance is being inserted once more.
        if (rem.State() == DataSetState::kEdit) rem.Cancel();
        if (!rem.IsEmpty()) rem.Delete();
        rem.Append();
      }
      setAll(snap.values);
    } else if (snap.state == DataSetState::kEdit) {
      if (rem.State() != DataSetState::kEdit) {
        rem.GotoBookmark(snap.bookmark);
        rem.Edit();
        setAll(snap.stored);
        rem.Post();
        rem.Edit();
      }
      setAll(snap.values);
    }
  }
  boEstado = false;
  pending_merge_ = false;
  if (!snap.slipBranch.empty() || !snap.slipEntry.empty()) LocateSlip(snap.slipBranch, snap.slipEntry);
  RefreshControls();
}

void TfrmRemessaCNAB::Generate() {
  TDataSet& rem = d.cdsCNABPag;
  Snapshot snap;
  snap.state = rem.State();
  for (int i = 0; i < rem.FieldCount(); ++i)
    if (!rem.Fields(i).Calculated()) snap.values.push_back(rem.Fields(i).Value());
  if (snap.state == DataSetState::kEdit) {
    snap.bookmark = rem.GetBookmark();
    const int recNo = rem.RecNo();
    for (int i = 0; i < rem.FieldCount(); ++i)
      if (!rem.Fields(i).Calculated()) snap.stored.push_back(rem.ValueAt(recNo, rem.Fields(i)));
  }
  if (d.cdsBoletos.Active() && !d.cdsBoletos.IsEmpty()) {
    snap.slipBranch = Text(d.cdsBoletos, "CDFILIBPAG");
    snap.slipEntry = Text(d.cdsBoletos, "NRLANBOLPAG");
  }

  const bool isNew = snap.state == DataSetState::kInsert;
  last_confirmation_.reset();
  last_written_.clear();
  ConfirmationReport report;
  std::exception_ptr fileFailure;
  try {
    BulkSlips bulk(*this);
    UnitOfWork work = net_.BeginWork();
    in_work_ = true;
    if (MovementIndex() == 0) Vd_BolVinc();
    if (isNew)
      rem.FieldByName("NRCNABPAG")
          .SetAsString(net_.CallText("ProximoCodigo", {Arg("CNABPag"), Arg(Remessa("CDEMPRESA")), Arg(" ")}));
    rem.FieldByName("NRSEQREMESSAPAG")
        .SetAsString(net_.CallText("PrxCodigoRemessaPag", {Arg(Remessa("CDREDUCONT"))}));
    // A new remittance prints with the payment-list layout its bank
    // agreement names.
    if (isNew && EmptyString(Remessa("DSARQBORDPAG")) && d.cdsEmprBanc.Active() && !d.cdsEmprBanc.IsEmpty())
      rem.FieldByName("DSARQBORDPAG").SetAsString(d.cdsEmprBanc.FieldByName("DSARQBORDPAG").AsString());
    if (DtRemPag.date) {
      rem.FieldByName("DTPAGREM").SetAsDateTime(DateTime::FromDate(*DtRemPag.date));
    } else {
      rem.FieldByName("DTPAGREM").Clear();
    }
    panStatus.visible = true;
    panStatus.text = msgs().Msg("EXP");
    panStatus.gaugeMax = 100;
    panStatus.gaugePosition = 0;
    Gauge(20);

    // The file carries exactly the marked slips: counted again here, and
    // compared with what the writer reports.
    const std::set<std::string> marked = RecountMarked();
    EscolheFuncao();
    CheckWritten(marked, last_written_);

    report.company = Remessa("CDEMPRESA");
    report.number = Remessa("NRCNABPAG");
    report.sequence = Remessa("NRSEQREMESSAPAG");
    report.path = AllTrim(FileText());
    report.bank = Remessa("CDBANCCNAB");
    report.writer = last_writer_;
    report.newRemittance = isNew;
    report.slips = d.inQtBol;
    report.total = d.nedTotal;

    rem.Post();  // a new remittance goes to the server (SetCNABPag)
    AtualizaBoleto();
    // The file is complete on disk before the store commits: a full disk
    // stops the confirmation here, with nothing saved.
    out_file_->finish();
    work.Commit();
    in_work_ = false;
    if (pending_merge_) {
      rem.MergeChangeLog();
      pending_merge_ = false;
    }
    try {
      out_file_->commit();
    } catch (...) {
      fileFailure = std::current_exception();
    }
  } catch (...) {
    // The unit of work has rolled back and the temporary file goes with
    // AfterFrame: put the screen back as it was before the confirmation.
    AfterFrame();
    try {
      Restore(snap);
      LoadPayablesAfterBulk();
    } catch (...) {
      // The failure that stopped the confirmation is the one to report.
    }
    throw;
  }

  // The slips went out: the selection is over, the grid shows the remittance.
  // Its rows are replaced by the remittance's: their marks are cleared only
  // when they stay.
  ForgetSelection(false);
  std::optional<std::pair<std::string, std::string>> shown;
  try {
    BoletosPorRemessa(report.company, report.number);
    shown.emplace(report.company, report.number);
    Gauge(10);
  } catch (const std::exception& e) {
    UnmarkRows();
    dialogs_.ShowError(e.what());
  }
  // The payables under the grid follow the slip it ends on, unless the
  // slips just loaded have brought them.
  try {
    LoadPayablesAfterBulk();
  } catch (const std::exception& e) {
    dialogs_.ShowError(e.what());
  }
  if (!fileFailure) {
    last_confirmation_ = report;
    dialogs_.ShowInfo(msgs().Msg("Expor_susc"));
  }
  AfterFrame();
  RefreshControls();
  RefreshAfterConfirmation(std::move(shown));
  if (fileFailure) {
    try {
      std::rethrow_exception(fileFailure);
    } catch (const std::exception& e) {
      throw OutputFileError("remittance " + report.number + " was saved and its slips marked as sent, but its file " +
                            report.path + " could not be put in place: " + e.what());
    }
  }
}

}  // namespace pag
