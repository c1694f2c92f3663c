// Cli_pag00102: the slip filter (TfrmFiltroBoletoCNAB, "PAG00102", "Filtro
// de Boletos a Enviar"). It gathers the criteria for the slips that may go
// into the current remittance, asks the server for them with GetBoletos
// (31 values), loads the reply into the screen's cdsBoletos and keeps the
// criteria in Filtro, from which the screen rebuilds the same request
// (BoletosCriteria) when it reloads the slips.
//
//   TfrmFiltroBoletoCNAB& f = *filters.frmFiltroBoletoCNAB();
//   f.rbtListFornClick();
//   f.btnListFornClick();          // PesquisaLista over the suppliers: stListForn = "_F001_F003"
//   f.medDocIni.SetText("123");
//   f.medDocIniExit();             // "0000123", copied to medDocFin
//   f.sbtConfirmaClick();          // checks, GetBoletos, cdsBoletos loaded, Filtro kept
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "filters/filtro_padrao.h"

namespace pag {

// The unit's own variables, which outlive the dialog: the picked lists,
// the mode of the last run and whether a branch of origin was ever picked.
struct FiltroBoletoUnit {
  std::string stGrForn;
  std::string stListForn;
  std::string stListBancBene;
  std::string stFiliOrig;
  std::string stFiliLanc;
  std::string stListFPag;
  std::string stModo;  // "" until the first silent run, then "ESCONDIDO"
  bool boFiliOrigPesq = false;
};

// The slip filter's message table.
const TMessages& FiltroBoletoMessages();

class TfrmFiltroBoletoCNAB : public TfrmFiltroPadrao {
 public:
  using TGRUPFORN = TTodosLista;
  using TFORNECED = TTodosLista;
  using TBANCBENE = TTodosLista;
  using TFILI_ORIG = TTodosLista;
  using TFILI_LANC = TTodosLista;
  using TFORM_PAG = TTodosLista;
  struct TNUM_DOC {
    std::string Inicial, Final;
    friend bool operator==(const TNUM_DOC&, const TNUM_DOC&) = default;
  };
  struct TNUMEROCNAB {
    std::string NrRemessa, NrRetorno;
    friend bool operator==(const TNUMEROCNAB&, const TNUMEROCNAB&) = default;
  };
  // The criteria kept between showings (values after creation).
  struct TFILTRO {
    TGRUPFORN GrupForn{true, ""};
    TFORNECED Forneced{true, " "};
    TBANCBENE BancBene{true, " "};
    TNUM_DOC NumDoc{" ", " "};
    TFILI_ORIG FiliOrig{true, " "};
    TFILI_LANC FiliLanc{true, " "};
    std::optional<Date> DtVencIni;  // nullopt: no date
    std::optional<Date> DtVencFin;
    TFORM_PAG FormPag{true, " "};
    Decimal VrLiqIni;
    Decimal VrLiqFin;
    int CdBarraPag = 2;  // 0 "Boletos Preenchidos", 1 "Boletos não Preenchidos", 2 "Todos"
    bool NaoEnviado = false;
    bool EnvRetoErro = false;
    TNUMEROCNAB NumeroCNAB;
    friend bool operator==(const TFILTRO&, const TFILTRO&) = default;
  };

  TfrmFiltroBoletoCNAB(FilterHost& host, FiltroBoletoUnit& unit);

  TFILTRO Filtro;
  FiltroBoletoUnit& Unit() { return unit_; }
  const FiltroBoletoUnit& Unit() const { return unit_; }

  // ---- Controls ----
  RadioButton rbtTodosGrForn{true}, rbtListaGrForn;  // "Grupo de Fornecedores"
  Button btnGrForn{false};
  RadioButton rbtTForn{true}, rbtListForn;  // "Fornecedor"
  Button btnListForn{false};
  RadioButton rbtTdsBancBene{true}, rbtListBancBene;  // "Banco Beneficiário"
  Button btnBancBenef{false};
  RadioButton rbtTFiliOrig{true}, rbtListaFiliOr;  // "Filial de Origem"
  Button btnFiliOrig{false};
  RadioButton rbtTFiliLanc{true}, rbtListFiliLanc;  // "Filial de Lançamento"
  Button btnFiliLanc{false};
  MaskEdit medDocIni{7}, medDocFin{7};  // "Número" de / até
  RadioGroup rdgPessoa{{"Todas", "Jurídica", "Física", "Outros"}, 0};
  DateEdit depDtIniVen, depDtFinVen;  // "Vencimento"
  RadioButton rbtTFormPag{true}, rbtFPag;  // "Tipo de Baixa"
  Button btnPesqFPag{false};
  NumberEdit nedVrLiqIni, nedVrLiqFin;  // "Valor"
  MaskEdit medNrRemessa{10}, medNrRetorno{10};  // "Número Remessa" / "Número Retorno"
  RadioGroup rdgCdBarraPag{{"Boletos Preenchidos", "Boletos não Preenchidos", "Todos"}, 2};  // "Código de Barras"
  CheckBox chbNaoEnviado, chbEnv_RetoErro;  // "Não Agendado", "Enviado - Retorno com Erro"

  // Length of the document numbers: the branch parameter NRTAMNUMNFUT, 7 when blank.
  int DocLength() const { return medDocIni.MaxLength(); }

  // ---- Form ----
  // Settings and branch parameters from the server, then Filtro's defaults.
  void FormCreate() override;
  // The controls show Filtro again (entries not confirmed are forgotten).
  void FormActivate() override;
  // true: Filtro to the controls; false: the controls to Filtro.
  void AtualizaFiltro(bool toScreen);
  // Checks, GetBoletos into cdsBoletos, cdsBolCnab emptied, Filtro kept,
  // closed with kMrOk.
  void sbtConfirmaClick() override;
  // "Desfazer": the controls back to their defaults (Filtro stays).
  void sbtLimpaClick();
  void btfSaveOpcClick() override;
  void btfLoadOpcClick() override;
  // The silent run of mode "ESCONDE_FILTRO": activation, stModo
  // "ESCONDIDO", confirmation, then the count and total of the browsed
  // remittance (or zeros).
  void RunHidden();

  // ---- Field events ----
  void rbtTodosGrFornClick();
  void rbtListaGrFornClick();
  void rbtTFornClick();
  void rbtListFornClick();
  void rbtTdsBancBeneClick();
  void rbtListBancBeneClick();
  void rbtTFiliOrigClick();
  void rbtListaFiliOrClick();
  void rbtTFiliLancClick();
  void rbtListFiliLancClick();
  void rbtTFormPagClick();
  void rbtFPagClick();
  void medDocIniExit();
  void medDocFinExit();
  void medNrRemessaExit();
  void medNrRetornoExit();
  void depDtIniVenExit() { Vd_DtVencIni(false); }
  void depDtFinVenExit() { Vd_DtVencFin(false); }
  // Key presses: a key set to 0 is swallowed.
  void medNrRemessaKeyPress(char& key);
  void medNrRetornoKeyPress(char& key);
  void nedVrLiqIniKeyPress(char& key);
  void nedVrLiqFinKeyPress(char& key);

  // ---- Lookups (PesquisaLista) ----
  void btnGrFornClick();
  // The supplier query's parameters, from the group and person choices.
  QueryParams btnListFornBeforePesq() const;
  void btnListFornClick();
  void btnBancBenefClick();
  void btnFiliOrigClick();
  void btnFiliLancClick();
  void btnPesqFPagClick();

  // ---- Checks (each ends the action with its key) ----
  void Vd_GrForn();
  void Vd_Fornecedor();
  void Vd_BancBenef();
  void Vd_FiliOrig();
  void Vd_FiliLanc();
  void Vd_FormPag();
  void Vd_docuIni(bool required);
  void Vd_docuFin(bool required);
  void Vd_DtVencIni(bool required);
  void Vd_DtVencFin(bool required);
  void Vd_VrLiquIni();

  // The 31 GetBoletos values of the criteria kept in Filtro, for the
  // current remittance of the screen (the request of the last confirmation).
  std::vector<Arg> BoletosCriteria() const;

 protected:
  void SaveControls(OptionList& options) const override;
  bool LoadControls(const OptionList& options) override;
  void RunView(FilterView& view) override;

 private:
  struct Criteria;
  Criteria FromControls();
  Criteria FromFiltro() const;
  std::vector<Arg> Request(const Criteria& c) const;
  void SyncButtons();
  Date ProcessingDate() const;
  int GeralDays(const char* field) const;
  std::string Movement() const;

  FiltroBoletoUnit& unit_;
};

}  // namespace pag
