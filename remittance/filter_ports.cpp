#include "remittance/filter_ports.h"

#include "host/datetime.h"
#include "remittance/Cli_pag00100.h"

namespace pag {

bool DefaultSlipFilter::Run(const std::string& mode) {
  if (mode != kBotaoFiltro && mode != kEscondeFiltro) return false;
  RemessaData& d = screen_.d;
  d.cdsBoletos.LoadPacket(screen_.net().CallPacket("GetBoletos", BoletosCriteria()));
  if (mode == kEscondeFiltro) {
    // Browsing a remittance: the count and total of its slips; otherwise none.
    TDataSet& rem = d.cdsCNABPag;
    if (rem.Active() && rem.State() == DataSetState::kBrowse && !rem.IsEmpty() && !d.cdsBoletos.IsEmpty()) {
      d.cdsTotRemessa.LoadPacket(screen_.net().CallPacket(
          "GetTotRemessa", {Arg(d.cdsBoletos.FieldByName("NRCNABPAGREM").AsString())}));
      d.nedQuant = static_cast<int>(d.cdsTotRemessa.FieldByName("QTBOLETOS").AsInteger());
      d.nedTotal = d.cdsTotRemessa.FieldByName("VRTOTBOL").AsDecimal();
    } else {
      d.nedQuant = 0;
      d.nedTotal = Decimal();
      d.inQtBol = 0;
    }
  }
  return true;
}

std::vector<Arg> DefaultSlipFilter::BoletosCriteria() { return screen_.NoFilterCriteria(); }

bool DefaultRemittanceFilter::Run(const std::string& mode) {
  if (mode != kBotaoFiltro && mode != kEscondeFiltro) return false;
  screen_.d.cdsCNABPag.LoadPacket(
      screen_.net().CallPacket("GetCNABPag", AllRemittancesCriteria(screen_.medCdEmpresa.text)));
  return true;
}

std::vector<Arg> AllRemittancesCriteria(const std::string& company) {
  const DateTime none = ZeroDateTime();
  return {
      Arg(company),                                   // 1 company
      Arg(none), Arg(none), Arg::Ref("T"),            // 2-4 remittance dates
      Arg::Ref(""), Arg::Ref("T"),                    // 5-6 accounts
      Arg::Ref(""), Arg::Ref("T"),                    // 7-8 operators
      Arg(Decimal()), Arg(Decimal()), Arg::Ref("T"),  // 9-11 remittance values
      Arg::Ref(""), Arg::Ref("T"),                    // 12-13 suppliers
      Arg::Ref(""), Arg::Ref("T"),                    // 14-15 beneficiary banks
      Arg(""), Arg(""), Arg::Ref("T"),                // 16-18 documents
      Arg(none), Arg(none), Arg::Ref("T"),            // 19-21 due dates
      Arg::Ref(""), Arg::Ref("T"),                    // 22-23 payment forms
      Arg(Decimal()), Arg(Decimal()), Arg::Ref("T"),  // 24-26 net values
      Arg(""),                                        // 27 remittance number
  };
}

}  // namespace pag
