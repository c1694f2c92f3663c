// The remittance screen's data: every dataset it keeps (filled from server
// packets and local queries), its key lists and variables, the value codes
// with their display and edit handlers, and the screen's message table.
// The screen owns one RemessaData; bank writers and field helpers read the
// current rows through it.
//
//   RemessaData d;
//   d.cdsBoletos.LoadPacket(net.CallPacket("GetBoletos", criteria));
//   d.cdsBoletos.FieldByName("IDSITUCNABP").DisplayText();   // "Enviado - Sem Retorno"
//   d.klBoletos.Add(key, value);
#pragma once

#include <string>

#include "host/dataset.h"
#include "host/keylist.h"
#include "host/messages.h"
#include "remittance/model/supplier_addresses.h"

namespace pag {

// The screen's message table: every key the screen and the bank writers show,
// with its text, and the labels of the value codes.
const TMessages& RemessaMessages();

// Agency and account numbers shown through their picture ("99999-9"): the
// stored digits fill the picture's "9" places from the left, other picture
// characters are shown as they are, a blank fills missing digits. An empty
// picture shows the value as stored.
std::string FormatPicture(std::string_view value, std::string_view picture);

class RemessaData {
 public:
  RemessaData();
  RemessaData(const RemessaData&) = delete;
  RemessaData& operator=(const RemessaData&) = delete;

  const TMessages& msgs;

  // The two central records.
  TDataSet cdsCNABPag{"cdsCNABPag"};  // remittances
  TDataSet cdsBoletos{"cdsBoletos"};  // slips; indexes idxOrdena, idxGeraRemessa
  TDataSet cdsBolCnab{"cdsBolCnab"};  // work copy of the marked slips; index INDEXCDS

  // Company, branch, account and agreement context.
  TDataSet cdsEmpresa{"cdsEmpresa"};
  TDataSet cdsFilial{"cdsFilial"};
  TDataSet cdsContaCorrente{"cdsContaCorrente"};
  TDataSet cdsEmprBanc{"cdsEmprBanc"};
  TDataSet cdsLayout{"cdsLayout"};
  TDataSet cdsGeralPag{"cdsGeralPag"};
  TDataSet cdsIdConta{"cdsIdConta"};
  TDataSet cdsParamFilial{"cdsParamFilial"};
  TDataSet cdsFormaPag{"cdsFormaPag"};

  // Per-slip lookups.
  TDataSet cdsDocBol{"cdsDocBol"};
  TDataSet cdsFiliRece{"cdsFiliRece"};
  TDataSet cdsDarf{"cdsDarf"};
  TDataSet cdsGps{"cdsGps"};
  TDataSet cdsValorConta{"cdsValorConta"};
  TDataSet cdsValorAjuste{"cdsValorAjuste"};
  TDataSet cdsVd_Antec{"cdsVd_Antec"};
  TDataSet cdsValor_Antec{"cdsValor_Antec"};
  TDataSet cdsCntPagar{"cdsCntPagar"};
  TDataSet cdsTotRemessa{"cdsTotRemessa"};
  TDataSet cdsVrDocumento{"cdsVrDocumento"};
  TDataSet cdsCtCNABPg{"cdsCtCNABPg"};
  TDataSet cdsCtCnabDiaP{"cdsCtCnabDiaP"};

  // The host's local queries.
  TDataSet qryEmpresa{"qryEmpresa"};
  TDataSet qryEndeForn{"qryEndeForn"};
  TDataSet qryMascBancoForn{"qryMascBancoForn"};
  // The rows qryEndeForn is refilled from during a writer run.
  SupplierAddresses addresses;

  // Marked slips: key CDFILIBPAG + NRLANBOLPAG (4 + 10), value VRFINALBPAG.
  TKeyList klBoletos;
  // Barcodes of the marked slips (value 0).
  TKeyList klCodBarra;
  // Payment modes of the marked slips, value = how many of that mode.
  TKeyList klTpBaixa;
  // Remittances marked in the remittance grid: key NRCNABPAG.
  TKeyList klRemessas;

  std::string stContaAnt;
  std::string stFilialAnt;
  std::string stTpMovAnt;
  std::string stRemessaAnt;
  // Number of slips marked in the current remittance.
  int inQtBol = 0;
  // A PIX slip / a slip of another mode has been marked.
  bool boPixMarcado = false;
  bool boOutroMarcado = false;
  // Count and total shown under the slip grid (nedQuant, nedTotal).
  int nedQuant = 0;
  Decimal nedTotal;

  // The key of a slip in klBoletos: branch (4) + entry (10).
  static std::string SlipKey(std::string_view branch, std::string_view entry);
  // Key of the current slip of a dataset holding CDFILIBPAG and NRLANBOLPAG.
  static std::string SlipKey(const TDataSet& slips);
};

}  // namespace pag
