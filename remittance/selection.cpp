// The "Boletos" page of the remittance screen: loading the slips, marking
// them one by one or all at once, the checks each mark goes through, and the
// bookkeeping of the marked slips (key lists, count, total, work copy).
#include <algorithm>
#include <initializer_list>

#include "host/barcode.h"
#include "host/errors.h"
#include "host/text.h"
#include "remittance/Cli_pag00100.h"
#include "remittance/screen_util.h"

namespace pag {
namespace {

bool OneOf(const std::string& value, std::initializer_list<const char*> codes) {
  return std::any_of(codes.begin(), codes.end(), [&](const char* c) { return value == c; });
}

bool IsPix(const std::string& mode) { return mode == "Z" || mode == "F"; }

// The codes of a list joined with "_" ("_00_01_10"), blanks around each
// dropped, empty ones ignored.
std::vector<std::string> CodeList(const std::string& list) {
  std::vector<std::string> codes;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find('_', start);
    if (end == std::string::npos) end = list.size();
    std::string code = AllTrim(std::string_view(list).substr(start, end - start));
    if (!code.empty()) codes.push_back(std::move(code));
    start = end + 1;
  }
  return codes;
}

// The first 8 digits of a registration number: the CNPJ root.
std::string CnpjRoot(const std::string& registration) { return LeftStr(AllTrim(Nr_Codigo(registration)), 8); }

}  // namespace

// ---- Loading --------------------------------------------------------------------------

std::vector<Arg> TfrmRemessaCNAB::NoFilterCriteria() const {
  const bool browsing = !Editing();
  const std::string enabledSlips = Text(d.cdsGeralPag, "IDHABIBOLE") == "S" ? "S" : "T";
  const std::string remittance = browsing ? Remessa("NRCNABPAG") : "N";
  const std::string enabled = browsing ? "T" : enabledSlips;
  const std::string typedBranch = browsing ? std::string() : Remessa("CDFILIAL");
  const std::string branch = EmptyString(typedBranch) ? std::string(" ") : typedBranch;
  const DateTime none = ZeroDateTime();
  return {
      Arg(Company()),                                            // 1 company
      Arg::Ref(remittance),                                      // 2 remittance
      Arg::Ref(enabled),                                         // 3 enabled slips
      Arg::Ref(branch), Arg::Ref(branch == " " ? "T" : " "),     // 4-5 origin branches
      Arg(Remessa("CDREDUCONT")),                                // 6 account
      Arg::Ref(" "), Arg::Ref("T"),                              // 7-8 suppliers
      Arg::Ref(" "), Arg::Ref(" "), Arg::Ref("T"),               // 9-11 documents
      Arg::Ref(" "), Arg::Ref("T"),                              // 12-13 launch branches
      Arg(none), Arg(none), Arg::Ref("T"),                       // 14-16 due dates
      Arg::Ref(" "), Arg::Ref("T"),                              // 17-18 payment forms
      Arg(Decimal()), Arg(Decimal()), Arg::Ref("T"),             // 19-21 net values
      Arg::Ref(" "), Arg::Ref("T"),                              // 22-23 barcode
      Arg::Ref(browsing ? "_00_01_10_20_90" : "_00_01_10_20"),   // 24 situations
      Arg::Ref(" "), Arg::Ref("T"),                              // 25-26 beneficiary banks
      Arg::Ref(""), Arg::Ref("T"),                               // 27-28 person types
      Arg(""), Arg(""),                                          // 29-30 remittance and return numbers
      Arg::Ref(""),                                              // 31 supplier groups
  };
}

void TfrmRemessaCNAB::MostraBoletos() {
  // The marks of a remittance being prepared stay.
  if (Editing() && d.klBoletos.Count() > 0) return;
  if (hold_slip_reload_ && !Editing()) {
    slip_reload_held_ = true;
    return;
  }
  ClearSelection();
  d.cdsGeralPag.LoadPacket(net_.CallPacket("GetGeral_Pag"));
  if (!Editing() && (!d.cdsCNABPag.Active() || d.cdsCNABPag.IsEmpty())) {
    // No remittance to show the slips of.
    d.cdsBoletos.Close();
    d.stRemessaAnt.clear();
    return;
  }
  std::vector<Arg> criteria = HasSlipFilter() && Editing() ? FiltroBoleto().BoletosCriteria() : NoFilterCriteria();
  {
    BusyScope busy(dialogs_);
    // Right after a confirmation the grid may already hold exactly these
    // slips (see ShowsRemittanceSlips): they are not brought a second time.
    const bool shown = ShowsRemittanceSlips(criteria);
    confirmed_slips_.reset();
    if (!shown) d.cdsBoletos.LoadPacket(net_.CallPacket("GetBoletos", std::move(criteria)));
  }
  if (!Editing()) {
    d.cdsTotRemessa.LoadPacket(net_.CallPacket(
        "GetTotRemessa", {Arg(Text(d.cdsBoletos, "NRCNABPAGREM")), Arg(Remessa("CDEMPRESA"))}));
    d.nedQuant = static_cast<int>(d.cdsTotRemessa.FieldByName("QTBOLETOS").AsInteger());
    d.nedTotal = d.cdsTotRemessa.FieldByName("VRTOTBOL").AsDecimal();
    d.stRemessaAnt = Remessa("NRCNABPAG");
    ++browse_loads_;
  } else {
    d.stRemessaAnt.clear();
  }
  if (!d.cdsBoletos.IsEmpty()) LoadPayables();
}

bool TfrmRemessaCNAB::ShowsRemittanceSlips(const std::vector<Arg>& criteria) const {
  // GetBolporRem(company, number) gives the slips linked to the remittance;
  // GetBoletos, browsing it, gives the same slips of the company linked to
  // it, narrowed to the remittance's account (criterion 6, when given) and
  // to the situations of criterion 24. When every slip held passes those
  // two, both give the same rows; nothing else differs between the two
  // (every other criterion is "all", the columns are the same, the grid
  // orders the rows by idxOrdena).
  if (!confirmed_slips_ || Editing() || criteria.size() != 31) return false;
  const TDataSet& b = d.cdsBoletos;
  if (!b.Active() || b.State() != DataSetState::kBrowse || b.Filtered() || b.RecNo() > 1) return false;
  const std::string company = AllTrim(Company());
  if (company.empty() || company != AllTrim(confirmed_slips_->first)) return false;
  if (AllTrim(Remessa("NRCNABPAG")) != AllTrim(confirmed_slips_->second)) return false;
  if (!criteria[1].IsText() || AllTrim(criteria[1].text()) != AllTrim(Remessa("NRCNABPAG"))) return false;
  if (!criteria[5].IsText() || !criteria[23].IsText()) return false;
  const std::string account = AllTrim(criteria[5].text());
  const std::vector<std::string> situations = CodeList(criteria[23].text());
  const TField& accountField = b.FieldByName("CDREDUCONT");
  const TField& situationField = b.FieldByName("IDSITUCNABP");
  const TField& companyField = b.FieldByName("CDEMPRESA");
  for (int r = 1; r <= b.RecordCount(); ++r) {
    auto text = [&](const TField& f) -> std::string {
      const auto* s = std::get_if<std::string>(&b.ValueAt(r, f));
      return s ? *s : std::string();
    };
    if (text(companyField) != company) return false;
    if (!account.empty() && text(accountField) != account) return false;
    if (!situations.empty() &&
        std::find(situations.begin(), situations.end(), text(situationField)) == situations.end())
      return false;
  }
  return true;
}

void TfrmRemessaCNAB::LoadPayables() {
  TDataSet& b = d.cdsBoletos;
  payables_stale_ = false;
  BusyScope busy(dialogs_);
  d.cdsCntPagar.LoadPacket(
      net_.CallPacket("GetCntPagar", {Arg(Text(b, "CDFILIBPAG")), Arg(Text(b, "NRLANBOLPAG"))}));
}

void TfrmRemessaCNAB::LoadPayablesAfterBulk() {
  if (bulk_depth_ > 0 || !payables_stale_) return;
  payables_stale_ = false;
  const TDataSet& b = d.cdsBoletos;
  if (b.Active() && !b.IsEmpty()) LoadPayables();
}

void TfrmRemessaCNAB::LoadSlipLookups() {
  TDataSet& b = d.cdsBoletos;
  if (!b.Active() || b.IsEmpty()) {
    d.qryEndeForn.Close();
    return;
  }
  // The address is read again only for another supplier: the same one would
  // bring the same rows.
  const std::string supplier = Text(b, "CDFORNECED");
  TDataSet& address = d.qryEndeForn;
  if (address.Active() && !address.IsEmpty() && Text(address, "CDFORNECED") == AllTrim(supplier)) {
    if (address.RecNo() != 1) address.First();
  } else {
    address.LoadPacket(localdb_.Query("qryEndeForn", {{"CDFORNECED", Value(supplier)}}));
  }
  // Within a loop over every slip nothing reads the payables of the slips
  // passed over: those of the slip the loop ends on are read at its end.
  if (bulk_depth_ > 0) {
    payables_stale_ = true;
    return;
  }
  LoadPayables();
}

void TfrmRemessaCNAB::cdsBoletosAfterScroll(TDataSet&) { LoadSlipLookups(); }

void TfrmRemessaCNAB::cdsBoletosAfterClose(TDataSet&) { d.qryEndeForn.Close(); }

void TfrmRemessaCNAB::cdsBolCnabAfterScroll(TDataSet& ds) {
  // A writer walking the work copy reads the address of the row it writes.
  if (ds.IsEmpty()) return;
  const std::string supplier = Text(ds, "CDFORNECED");
  if (!EmptyString(supplier))
    d.qryEndeForn.LoadPacket(localdb_.Query("qryEndeForn", {{"CDFORNECED", Value(supplier)}}));
}

void TfrmRemessaCNAB::RunSlipFilterSilently() {
  ClearSelection();
  if (!d.cdsGeralPag.Active()) d.cdsGeralPag.LoadPacket(net_.CallPacket("GetGeral_Pag"));
  FiltroBoleto().Run(kEscondeFiltro);
  // The marks made from now on belong to this movement type.
  d.stTpMovAnt = std::to_string(MovementIndex());
  d.stRemessaAnt.clear();
}

void TfrmRemessaCNAB::pgcPadraoChange() {
  const bool editing = Editing();
  const bool filter = (page_ == Page::kList && !editing) || (page_ == Page::kBoletos && editing);
  sbtFiltro.enabled = filter;
  mnuFiltro.enabled = filter;
  if (page_ == Page::kBoletos) {
    if (editing) {
      const std::string movement = std::to_string(MovementIndex());
      if (d.klBoletos.Count() == 0 || movement != d.stTpMovAnt) RunSlipFilterSilently();
    } else if (Remessa("NRCNABPAG") != d.stRemessaAnt || !d.cdsBoletos.Active()) {
      MostraBoletos();
    }
  }
  UpdateCancelSlipButtons();
}

// ---- Marking -----------------------------------------------------------------------------

void TfrmRemessaCNAB::MarkCurrent(bool mark) {
  TDataSet& b = d.cdsBoletos;
  b.Edit();
  b.FieldByName("IDMARCADO").SetAsString(mark ? "S" : "N");
  b.Post();
}

bool TfrmRemessaCNAB::WouldMixPix(const std::string& mode) const {
  const Decimal pix = d.klTpBaixa.ValueOf("Z") + d.klTpBaixa.ValueOf("F");
  const Decimal others = d.klTpBaixa.Total() - pix;
  const bool isPix = IsPix(mode);
  return Vd_BoletoPIX(isPix ? others > Decimal() : true, isPix ? true : pix > Decimal());
}

void TfrmRemessaCNAB::UpdatePixFlags() {
  const Decimal pix = d.klTpBaixa.ValueOf("Z") + d.klTpBaixa.ValueOf("F");
  d.boPixMarcado = pix > Decimal();
  d.boOutroMarcado = d.klTpBaixa.Total() - pix > Decimal();
}

void TfrmRemessaCNAB::dbgBoletosDblClick() {
  TDataSet& b = d.cdsBoletos;
  if (!b.Active() || b.IsEmpty()) return;
  const bool marked = Text(b, "IDMARCADO") == "S";
  if (Editing()) {
    Vd_BoletoOk(true);
    if (marked) {
      MarkCurrent(false);
      return;
    }
    // PIX and other payment modes never go into one remittance.
    if (WouldMixPix(Text(b, "IDBAIXAUTILP"))) Refuse("Apenas_Pix");
    if (Text(b, "IDSITUCNABP") == "00") {
      MarkCurrent(true);
      return;
    }
    const int answer = dialogs_.MsgAlertEx(msgs().Msg("bol_ja_env"), MsgType::kConfirmation,
                                           {msgs().Msg("S"), msgs().Msg("N")});
    if (answer == kMrAlertFirst) MarkCurrent(true);
    return;
  }
  // Browsing a remittance: slips picked to be taken out of it.
  if (!marked) {
    if (Vd_BoletoCNAB(true)) MarkCurrent(true);
  } else {
    MarkCurrent(false);
  }
}

bool TfrmRemessaCNAB::dbgBoletosKeyDown(GridKey key, bool ctrl) {
  if (key == GridKey::kSpace) {
    if (ctrl) {
      dbgBoletosTitleClick(kMarkColumn);
    } else {
      dbgBoletosDblClick();
    }
    return true;
  }
  // No slip is ever deleted from the grid.
  return key == GridKey::kDelete && ctrl;
}

void TfrmRemessaCNAB::dbgBoletosTitleClick(const std::string& column) {
  if (column != kMarkColumn) return;
  MarcaDesmarcaTodos();
}

void TfrmRemessaCNAB::MarcaDesmarcaTodos() {
  TDataSet& b = d.cdsBoletos;
  if (!b.Active() || b.IsEmpty()) return;
  const bool unmark = d.klBoletos.Count() > 0;
  if (!Ask(unmark ? "DESMARCA_BOL" : "MARCA_BOL", Buttons::kYesNo, kMrYes, kMrNo)) return;
  const bool editing = Editing();
  try {
    BulkSlips bulk(*this);
    MarkEach(unmark, editing);
  } catch (...) {
    // The slip the loop stopped at is current: its payables are shown.
    try {
      LoadPayablesAfterBulk();
    } catch (...) {
      // The failure that stopped the loop is the one to report.
    }
    throw;
  }
  LoadPayablesAfterBulk();
}

void TfrmRemessaCNAB::MarkEach(bool unmark, bool editing) {
  TDataSet& b = d.cdsBoletos;
  for (b.First(); !b.Eof(); b.Next()) {
    const bool marked = Text(b, "IDMARCADO") == "S";
    if (!editing) {
      if (!unmark && !marked && Vd_BoletoCNAB(false)) MarkCurrent(true);
      if (unmark && marked) MarkCurrent(false);
      continue;
    }
    const std::string mode = Text(b, "IDBAIXAUTILP");
    if (mode == "P") continue;
    if (!Vd_BoletoOk(false)) continue;
    if (unmark) {
      if (marked) MarkCurrent(false);
      continue;
    }
    if (marked || WouldMixPix(mode)) continue;
    if (OneOf(Text(b, "IDSITUCNABP"), {"10", "20"})) continue;
    MarkCurrent(true);
  }
}

// ---- Checks -------------------------------------------------------------------------------

bool TfrmRemessaCNAB::Valida_Boleto_CNAB(const std::string& payingBank, const std::string& payeeBank,
                                         const std::string& mode, const Decimal& docLimit, const Decimal& value) {
  if (EmptyString(payingBank) || EmptyString(payeeBank) || EmptyString(mode)) return false;
  const bool sameBank = payingBank == payeeBank;
  if (!sameBank && (mode == "C" || mode == "O")) return true;
  if (sameBank && (mode == "D" || mode == "T" || mode == "S")) return true;
  const Decimal limit = docLimit.IsZero() ? Decimal::FromUnits(500000, 2) : docLimit;
  return mode == "D" && value >= limit;
}

bool TfrmRemessaCNAB::EnsureBranchRow(const std::string& branch) {
  TDataSet& f = d.cdsFilial;
  if (f.Active() && f.Locate("CDFILIAL", {Value(branch)})) return true;
  f.LoadPacket(net_.CallPacket("GetFilial", {Arg(branch), Arg(Company())}));
  return f.Locate("CDFILIAL", {Value(branch)});
}

bool TfrmRemessaCNAB::BranchRootDiffers(const std::string& branch) {
  EnsureBranchRow(branch);
  TDataSet& f = d.cdsFilial;
  // cdsFilial restricted to the remittance's branch while the roots are compared.
  f.SetFilter([branch](const TDataSet& ds) { return ds.FieldByName("CDFILIAL").AsString() == branch; });
  f.SetFiltered(true);
  struct Lift {
    TDataSet& ds;
    ~Lift() { ds.SetFiltered(false); }
  } lift{f};
  const std::string root = CnpjRoot(Text(f, "NRINSJURFILI"));
  TDataSet& rece = d.cdsFiliRece;
  for (rece.First(); !rece.Eof(); rece.Next())
    if (CnpjRoot(Text(rece, "NRINSJURFILI")) != root) return true;
  return false;
}

bool TfrmRemessaCNAB::Vd_BoletoOk(bool raise) {
  TDataSet& b = d.cdsBoletos;
  bool ok = true;
  auto fail = [&](const std::string& key, bool always = false) {
    ok = false;
    if (raise || always) Refuse(key);
  };
  const std::string mode = Text(b, "IDBAIXAUTILP");
  const std::string payingBank = Text(b, "CDBANCCNAB");
  const std::string barcode = AllTrim(Text(b, "CDBARRAPAG"));
  const std::string typedLine = AllTrim(Text(b, "DSLINHBARPAG"));
  const Decimal value = b.FieldByName("VRFINALBPAG").AsDecimal();
  // The agreement of the remittance's bank, loaded again when it is another's.
  EnsureEmprBanc();
  const std::string standard = Text(d.cdsEmprBanc, "IDPADRCNABPAG");

  if (Text(b, "IDMARCADO") != "S") {
    if (EmptyString(Text(b, "CDTPBAIXAPAG")) || EmptyString(mode)) fail("TpBaixa_Deve");
    if (mode == "P") fail("BOLTPCOMP", true);
    if (mode == "R" &&
        !(OneOf(payingBank, {"001", "104", "341", "033", "353", "356", "275", "041", "237"}) || standard == "1"))
      fail("Conc_Banco_Inv");
    if (OneOf(mode, {"G", "I", "H", "J", "K", "N", "Q", "U", "V"}) &&
        !(OneOf(payingBank, {"001", "341", "033", "353", "237"}) || standard == "1"))
      fail("Tributo_Banc_Inv");
    const std::string code = !barcode.empty() ? barcode : DigitsOnly(typedLine);
    if (!code.empty()) {
      const std::string key = BarcodeKindKey(mode, code);
      if (!key.empty()) fail(key);
    }
    const std::string branch = Text(b, "CDFILIBPAG"), entry = Text(b, "NRLANBOLPAG");
    const Reply checks = CheckResultServ(net_.Call("ValidaAjustes", {Arg(branch), Arg(entry)}));
    const auto& items = checks.items();
    if (items.size() != 3) throw ServerError("ValidaAjustes: expected three packets");
    d.cdsVd_Antec.LoadPacket(items[0].packet());
    d.cdsValorConta.LoadPacket(items[1].packet());
    d.cdsValorAjuste.LoadPacket(items[2].packet());
    d.cdsValor_Antec.LoadPacket(net_.CallPacket("GetValor_Antec", {Arg(branch), Arg(entry)}));
    if (!d.cdsValor_Antec.IsEmpty()) fail("ValorInv", true);
    if (d.cdsVd_Antec.IsEmpty()) {
      const Decimal accounts = d.cdsValorConta.FieldByName("VRCONTA").AsDecimal() +
                               d.cdsValorAjuste.FieldByName("VRAJUSTE").AsDecimal();
      if (!(RoundDec(value, 2) == RoundDec(accounts, 2))) fail("ValorInv");
    }
  }
  if (Valida_Boleto_CNAB(payingBank, Text(b, "CDBANCBOLP"), mode, b.FieldByName("VRMAXDOCCNAB").AsDecimal(), value))
    fail("TpBaixa_Inv_Boleto");
  if (OneOf(mode, {"B", "R", "U", "Q"}) && barcode.empty() && typedLine.empty()) fail("CODI_BAR_NAO_INF");
  if (mode == "O") {
    const std::string payee = AllTrim(Text(b, "CDBANCBOLP"));
    const std::string remittanceBank = Remessa("CDBANCCNAB");
    if (!payee.empty() && payee != remittanceBank) fail("TpBaixa_Inv");
    bool address = false;
    if (d.qryEndeForn.Active())
      for (int r = 1; r <= d.qryEndeForn.RecordCount() && !address; ++r)
        address = !EmptyString(TextAt(d.qryEndeForn, r, "DSENDEFORN"));
    if (!address) fail("Ende_Empty");
    if (!(OneOf(remittanceBank, {"021", "033", "237", "341", "409"}) || payingBank == "001")) fail("OrdemPgto_Inv");
  } else if (OneOf(mode, {"C", "D", "T", "S"})) {
    if (EmptyString(Text(b, "CDBANCBOLP")) || EmptyString(Text(b, "CDAGENBOLP")) ||
        EmptyString(Text(b, "CDCCORBOLP")))
      fail("CCFORN_INF");
  }
  const std::string branch = Remessa("CDFILIAL");
  if (!EmptyString(branch)) {
    d.cdsFiliRece.LoadPacket(
        net_.CallPacket("GetFiliRece", {Arg(Text(b, "CDFILIBPAG")), Arg(Text(b, "NRLANBOLPAG"))}));
    if (BranchRootDiffers(branch)) fail("FILI_DIF");
  }
  if ((mode == "G" || mode == "I") && EmptyString(Text(b, "CDRECEITAGUIA"))) fail("BOL_RECEITA");
  if (IsPix(mode) && !OneOf(payingBank, {"033", "341", "237"})) fail("PIX_Inv");
  return ok;
}

bool TfrmRemessaCNAB::Vd_BoletoCNAB(bool raise) {
  if (Text(d.cdsBoletos, "IDSITUCNABP") != "90") return true;
  if (raise) Refuse("Confirma_CancelaBaixa");
  return false;
}

void TfrmRemessaCNAB::Vd_BolVinc() {
  std::vector<Arg> args;
  args.emplace_back(d.cdsBoletos.ToPacket());
  const std::string key = net_.CallText("BolVincRem", std::move(args));
  if (!EmptyString(key)) Refuse(AllTrim(key));
}

// ---- Bookkeeping ----------------------------------------------------------------------------

void TfrmRemessaCNAB::cdsBoletosBeforePost(TDataSet& b) {
  const TField& markField = b.FieldByName("IDMARCADO");
  const std::string now = markField.AsString();
  std::string before;
  if (b.State() == DataSetState::kEdit) {
    const Value& v = b.ValueAt(b.RecNo(), markField);
    if (const auto* s = std::get_if<std::string>(&v)) before = *s;
  }
  const bool marked = now == "S";
  if (marked == (before == "S")) return;  // the mark did not change

  const std::string key = RemessaData::SlipKey(b);
  const std::string mode = Text(b, "IDBAIXAUTILP");
  const std::string barcode = Text(b, "CDBARRAPAG");
  const Decimal value = b.FieldByName("VRFINALBPAG").AsDecimal();
  const bool editing = Editing();
  if (marked) {
    d.klBoletos.Add(key, value);
    d.klCodBarra.Add(barcode, Decimal());
    d.klTpBaixa.Add(mode, Decimal(1));
    if (editing) {
      d.nedQuant += 1;
      d.nedTotal = RoundDec(d.nedTotal + value, 2);
      d.inQtBol += 1;
    }
  } else {
    d.klBoletos.Remove(key);
    d.klCodBarra.Remove(barcode);
    d.klTpBaixa.Add(mode, Decimal(-1));
    if (!(d.klTpBaixa.ValueOf(mode) > Decimal())) d.klTpBaixa.Remove(mode);
    if (editing) {
      d.nedQuant -= 1;
      d.nedTotal = RoundDec(d.nedTotal - value, 2);
      d.inQtBol -= 1;
    }
  }
  BookkeepWorkCopy(marked);
  UpdatePixFlags();
  UpdateCancelSlipButtons();
}

void TfrmRemessaCNAB::BookkeepWorkCopy(bool marked) {
  TDataSet& b = d.cdsBoletos;
  TDataSet& w = d.cdsBolCnab;
  // The work copy's own scrolling follows the writers, not the marking.
  MutedEvents quiet(w);
  if (!w.Active()) w.CreateDataSet();
  const std::string branch = Text(b, "CDFILIBPAG"), entry = Text(b, "NRLANBOLPAG");
  const bool held = !w.IsEmpty() && w.Locate("CDFILIBPAG;NRLANBOLPAG", {Value(branch), Value(entry)});
  if (!marked) {
    if (held) w.Delete();
    return;
  }
  if (held) return;
  w.Append();
  for (const auto& [to, from] : WorkCopyFields()) to->SetValue(from->Value());
  const std::string mode = Text(b, "IDBAIXAUTILP");
  const std::string barcode = AllTrim(Text(b, "CDBARRAPAG"));
  std::string payeeBank;
  if (mode == "B") {
    payeeBank = LeftStr(barcode, 3);
  } else {
    payeeBank = AllTrim(Text(b, "CDBANCBOLP"));
  }
  w.FieldByName("IDBAIXAUTILP").SetAsString(OneOf(mode, {"D", "S", "T"}) ? "D" : mode);
  w.FieldByName("CDBANCOCRED").SetAsString(payeeBank);
  w.FieldByName("ORDPROCESS").SetAsString(mode != "B" ? "1" : payeeBank == Remessa("CDBANCCNAB") ? "2" : "3");
  w.Post();
}

const std::vector<std::pair<TField*, const TField*>>& TfrmRemessaCNAB::WorkCopyFields() {
  // The work copy takes every field of the slip it has by name, but the
  // calculated ones. Fields keep their place for a dataset's whole life:
  // the pairs are found again only when a field has been added.
  TDataSet& b = d.cdsBoletos;
  TDataSet& w = d.cdsBolCnab;
  if (work_copy_counts_ != std::make_pair(w.FieldCount(), b.FieldCount())) {
    work_copy_fields_.clear();
    for (int i = 0; i < w.FieldCount(); ++i) {
      TField& f = w.Fields(i);
      if (const TField* src = b.FindField(f.FieldName()); src && !src->Calculated()) work_copy_fields_.emplace_back(&f, src);
    }
    work_copy_counts_ = {w.FieldCount(), b.FieldCount()};
  }
  return work_copy_fields_;
}

void TfrmRemessaCNAB::ClearSelection() { ForgetSelection(true); }

void TfrmRemessaCNAB::UnmarkRows() {
  TDataSet& b = d.cdsBoletos;
  if (!b.Active() || b.State() != DataSetState::kBrowse || b.IsEmpty()) return;
  MutedEvents quiet(b);
  const TBookmark here = b.GetBookmark();
  const TField& mark = b.FieldByName("IDMARCADO");
  for (int r = 1; r <= b.RecordCount(); ++r) {
    const auto* v = std::get_if<std::string>(&b.ValueAt(r, mark));
    if (!v || *v != "S") continue;
    b.SetRecNo(r);
    b.Edit();
    b.FieldByName("IDMARCADO").SetAsString("N");
    b.Post();
  }
  if (b.BookmarkValid(here)) b.GotoBookmark(here);
}

void TfrmRemessaCNAB::ForgetSelection(bool unmarkRows) {
  TDataSet& b = d.cdsBoletos;
  if (b.Active() && b.State() == DataSetState::kBrowse) {
    if (b.Filtered()) b.SetFiltered(false);
    if (unmarkRows) UnmarkRows();
  }
  d.klBoletos.Clear();
  d.klCodBarra.Clear();
  d.klTpBaixa.Clear();
  if (d.cdsBolCnab.Active()) {
    d.cdsBolCnab.EmptyDataSet();
  } else {
    d.cdsBolCnab.CreateDataSet();
  }
  d.nedQuant = 0;
  d.nedTotal = Decimal();
  d.inQtBol = 0;
  UpdatePixFlags();
  UpdateCancelSlipButtons();
}

}  // namespace pag
