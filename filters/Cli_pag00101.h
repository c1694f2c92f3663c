// Cli_pag00101: the remittance filter (TfrmFiltroRemessaCNAB, "PAG00101",
// "Filtro de Remessas"). It gathers the criteria for the remittances listed
// on the remittance screen, asks the server for them with GetCNABPag (27
// values) and loads the reply into the screen's cdsCNABPag. It keeps the
// criteria in FiltroRemessa and shows them again at each activation.
//
//   TfrmFiltroRemessaCNAB& f = *filters.frmFiltroRemessaCNAB();
//   f.depDtIniVen.SetText("01/12/2026");
//   f.rbtListaOperClick();
//   f.btpOperadorClick();    // PesquisaLista over the operators: stListOperador = "_ANA"
//   f.sbtConfirmaClick();    // checks, GetCNABPag into cdsCNABPag, FiltroRemessa kept
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "filters/filtro_padrao.h"

namespace pag {

// The unit's picked lists, which outlive the dialog ("" at load).
struct FiltroRemessaUnit {
  std::string stListContCorr;
  std::string stListOperador;
  std::string stListForn;
  std::string stListBancBene;
  std::string stListTpBx;
};

// The remittance filter's message table.
const TMessages& FiltroRemessaMessages();

class TfrmFiltroRemessaCNAB : public TfrmFiltroPadrao {
 public:
  using TCONTCORR = TTodosLista;
  using TOPERADOR = TTodosLista;
  using TFORNECED = TTodosLista;
  using TBANCBENE = TTodosLista;
  using TTPBAIXA = TTodosLista;
  struct TDOCUMENTO {
    std::string Inicial, Final;
    friend bool operator==(const TDOCUMENTO&, const TDOCUMENTO&) = default;
  };
  // The criteria kept between showings (LimpaFiltro's values; the dates
  // are the processing date).
  struct TFILTRO {
    std::optional<Date> DtRemIni;  // nullopt: no date
    std::optional<Date> DtRemFin;
    TCONTCORR ContCorr{true, ""};
    TOPERADOR Operador{true, ""};
    Decimal VrRemIni;
    Decimal VrRemFin;
    TFORNECED Forneced{true, ""};
    TBANCBENE BancBene{true, ""};
    TDOCUMENTO Documento{"", ""};
    std::optional<Date> DtVencIni;
    std::optional<Date> DtVencFin;
    TTPBAIXA TpBaixa{true, ""};
    Decimal VrLiqIni;
    Decimal VrLiqFin;
    friend bool operator==(const TFILTRO&, const TFILTRO&) = default;
  };

  // Pages of pgcPadrao.
  static constexpr const char* kTshRemessa = "tshRemessa";  // "Dados da Remessa"
  static constexpr const char* kTshBoletos = "tshBoletos";  // "Boletos"

  TfrmFiltroRemessaCNAB(FilterHost& host, FiltroRemessaUnit& unit);

  TFILTRO FiltroRemessa;
  FiltroRemessaUnit& Unit() { return unit_; }
  const FiltroRemessaUnit& Unit() const { return unit_; }

  // ---- Controls ----
  std::string ActivePage = kTshRemessa;
  // "Dados da Remessa"
  DateEdit depDtIniVen, depDtFinVen;  // "Data de Remessa"
  Label edtNmDiaSemIni, edtNmDiaSemFin;  // weekday of each date
  RadioButton rbtTodosCCor{true}, rbtListaCCor;  // "Conta Corrente": "Todas" / "Lista"
  Button btpContCorr{false};
  RadioButton rbtTodosOper{true}, rbtListaOper;  // "Operador"
  Button btpOperador{false};
  NumberEdit nedVrRemIni, nedVrRemFin;  // "Valor"
  MaskEdit medNrRemessa{10};  // "Número Remessa"
  // "Boletos"
  RadioButton rbtTForn{true}, rbtListForn;  // "Fornecedor"
  Button btnListForn{false};
  RadioButton rbtTdsBancBene{true}, rbtListBancBene;  // "Banco Beneficiário"
  Button btnBancBenef{false};
  MaskEdit medDocIni{7}, medDocFin{7};  // "Número"
  DateEdit depVencIni, depVencFin;  // "Vencimento"
  RadioButton rbtTFormPag{true}, rbtFPag;  // "Tipo de Baixa"
  Button btnPesqFPag{false};
  NumberEdit nedVrLiqIni, nedVrLiqFin;  // "Valor"

  // ---- Form ----
  // LimpaFiltro, then the remittance page comes forward.
  void FormCreate() override;
  // SetCamposFiltro: the controls show FiltroRemessa again.
  void FormActivate() override;
  // FiltroRemessa back to its defaults, medNrRemessa emptied.
  void LimpaFiltro();
  // FiltroRemessa to the controls.
  void SetCamposFiltro();
  // The controls to FiltroRemessa.
  void SetFiltroCampos();
  // Checks, GetCNABPag into cdsCNABPag, FiltroRemessa kept, closed with kMrOk.
  void sbtConfirmaClick() override;
  // "Desfazer": LimpaFiltro and SetCamposFiltro (the record is reset too).
  void sbtLimpaClick();
  void btfSaveOpcClick() override;
  void btfLoadOpcClick() override;

  // ---- Field events ----
  void depDtIniVenChange();
  void depDtFinVenChange();
  void depDtIniVenExit() { VdDataValida(depDtIniVen, "depDtIniVen"); }
  void depDtFinVenExit() { VdDataValida(depDtFinVen, "depDtFinVen"); }
  void depVencIniExit() { VdDataValida(depVencIni, "depVencIni"); }
  void depVencFinExit() { VdDataValida(depVencFin, "depVencFin"); }
  void rbtTodosCCorClick();
  void rbtListaCCorClick();
  void rbtTodosOperClick();
  void rbtListaOperClick();
  void rbtTFornClick();
  void rbtListFornClick();
  void rbtTdsBancBeneClick();
  void rbtListBancBeneClick();
  void rbtTFormPagClick();
  void rbtFPagClick();
  void medDocIniExit();
  void medDocFinExit();
  void medNrRemessaExit();
  // Key presses: a key set to 0 is swallowed.
  void medDocIniKeyPress(char& key);
  void medDocFinKeyPress(char& key);
  void medNrRemessaKeyPress(char& key);
  void nedVrRemIniKeyPress(char& key) { ValueKey(nedVrRemIni, key); }
  void nedVrRemFinKeyPress(char& key) { ValueKey(nedVrRemFin, key); }
  void nedVrLiqIniKeyPress(char& key) { ValueKey(nedVrLiqIni, key); }
  void nedVrLiqFinKeyPress(char& key) { ValueKey(nedVrLiqFin, key); }

  // ---- Lookups (PesquisaLista); an empty source shows its key and stops ----
  void btpContCorrClick();
  void btpOperadorClick();
  void btnListFornClick();
  void btnBancBenefClick();
  void btnPesqFPagClick();

  // ---- Checks (each brings its page forward, focuses its field and ends
  // the action with its key) ----
  void Vd_DataDe();
  void Vd_DataAte();
  void Vd_DataDeAte();
  void Vd_ContCorr();
  void Vd_Operador();
  void Vd_VrRem();
  void Vd_Fornecedor();
  void Vd_BancBene();
  void Vd_docuIni();
  void Vd_docuFin();
  void Vd_DtVencIni();
  void Vd_DtVencFin();
  void Vd_DtVenc();
  void Vd_FormPag();
  void Vd_VrLiquIni();

  // The 27 GetCNABPag values the controls give (after the checks).
  std::vector<Arg> RemessasCriteria() const;

 protected:
  void SaveControls(OptionList& options) const override;
  bool LoadControls(const OptionList& options) override;
  void RunView(FilterView& view) override;

 private:
  [[noreturn]] void FalhaNaPagina(std::string_view key, const char* page, std::string_view control);
  void ValueKey(const NumberEdit& edit, char& key);
  void Lookup(const std::string& query, const char* key_field, const char* title_key, const char* empty_key,
              const std::vector<PickColumn>& columns, std::string& list);
  void SyncButtons();

  FiltroRemessaUnit& unit_;
};

}  // namespace pag
