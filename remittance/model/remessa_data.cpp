#include "remittance/model/remessa_data.h"

#include <initializer_list>
#include <vector>

#include "host/datetime.h"
#include "host/text.h"

namespace pag {
namespace {

FieldDef S(const char* name, int size) { return {name, FieldKind::kString, size, 0}; }
FieldDef V(const char* name, int scale = 2) { return {name, FieldKind::kDecimal, 0, scale}; }
FieldDef T(const char* name) { return {name, FieldKind::kDateTime, 0, 0}; }

void Declare(TDataSet& ds, std::initializer_list<FieldDef> fields) {
  for (const auto& f : fields) ds.AddField(f);
}

// The slip fields that the work copy shares with cdsBoletos.
const std::vector<FieldDef>& SharedSlipFields() {
  static const std::vector<FieldDef> fields = {
      S("NMFANTFORN", 40),  S("CDFORNECED", 21),   V("VRFINALBPAG"),     T("DTVENBOLPAG"),
      S("CDREDUCONT", 3),   S("CDEMPRESA", 2),     S("CDBARRAPAG", 44),  S("CDBANCO", 3),
      S("CDAGENCIA", 5),    S("CDCONTCORR", 10),   S("NRCNABPAGREM", 10), S("NRLANBOLPAG", 10),
      S("NRINSJURFORN", 20), S("IDTPIJURFORN", 1), S("NMRAZSOCFORN", 40), S("CDFILIBPAG", 4),
      S("CDBANCBOLP", 3),   S("CDAGENBOLP", 5),    S("CDCCORBOLP", 16),  S("NRRETCNABPAG", 20),
      S("DSLINHBARPAG", 55), S("IDTPICNABBOP", 1), S("NRINSCNABBOP", 20), S("CDTPBAIXAPAG", 2),
      S("IDBAIXAUTILP", 1), V("VRMAXDOCCNAB"),
      // tax and PIX fields
      S("CDRECEITAGUIA", 4), S("IDCHAVEPIX", 2),   S("CHAVEPIX", 100),   S("CODEQRPIX", 100),
      T("DTAPURACGUIA"),    S("NRREFEGUIA", 20),   V("VROUTRENTGUIA"),   S("NRLACRCONECTSOC", 9),
      S("NRDIGICONECTSOC", 2), V("VRMULTABPAG"),   V("VRMORDIABPAG"),    S("CDINSCESTA", 16),
      S("NRPARCELNOTIFIC", 13), V("VRPERCENTTRIB", 4),
  };
  return fields;
}

std::string MsgOf(const TField& f) {
  if (f.IsNull() || f.AsString().empty()) return {};
  return RemessaMessages().Msg(f.AsString());
}

// IDTPREMCNABPAG codes and the keys of their texts.
constexpr std::pair<const char*, const char*> kTipoRemessa[] = {{"1", "PS"}, {"2", "WT"}, {"3", "Nor"}, {"4", "Ant"}};
constexpr const char* kAgendamento[] = {"1", "2"};

void DeclareRemessa(TDataSet& ds) {
  Declare(ds, {S("CDEMPRESA", 2),     S("CDOPERADOR", 12),   S("CDBANCO", 3),      S("CDREDUCONT", 3),
               S("IDTPREMCNABPAG", 1), S("CDAGENCIA", 5),    S("CDPICTAGEN", 10),  S("CDCONTCORR", 10),
               S("CDPICTCONT", 20),   S("IDAGENREMCNABPAG", 1), S("IDTIPCNABPAG", 1), S("NRCNABPAG", 10),
               T("DTCNABPAG"),        S("NMOPERADOR", 40),   S("DSCONTCORR", 20),  S("DSARQCNABPAG", 250),
               T("DTPAGREM"),         S("IDOPECNABPAG", 1),  S("CDBANCCNAB", 3),   S("CDFILIAL", 4),
               S("NMFILIAL", 30),     S("IDMARCADO", 1),     S("DSARQBORDPAG", 100), V("VRTOTALCNABPAG"),
               V("QTBOLCNABPAG", 0),  S("NRSEQREMESSAPAG", 10)});
  ds.AddCalcField(S("DataNome", 50));
  ds.OnCalcFields = [](TDataSet& d) {
    const TField& dt = d.FieldByName("DTCNABPAG");
    std::string when = dt.IsNull() ? std::string() : FormatDateTime(dt.AsDateTime(), "dd/mm/yyyy hh:nn:ss");
    d.FieldByName("DataNome").SetAsString(LeftStr(when + " - " + d.FieldByName("NMOPERADOR").AsString(), 50));
  };
  ds.FieldByName("IDOPECNABPAG").OnGetText = MsgOf;
  ds.FieldByName("IDOPECNABPAG").OnSetText = [](TField& f, std::string_view text) {
    const TMessages& m = RemessaMessages();
    f.SetAsString(text == m.Msg("I") ? "I" : text == m.Msg("E") ? "E" : "B");
  };
  ds.FieldByName("IDTPREMCNABPAG").OnGetText = [](const TField& f) {
    for (auto [code, key] : kTipoRemessa)
      if (f.AsString() == code) return RemessaMessages().Msg(key);
    return std::string();
  };
  ds.FieldByName("IDTPREMCNABPAG").OnSetText = [](TField& f, std::string_view text) {
    for (auto [code, key] : kTipoRemessa)
      if (text == RemessaMessages().Msg(key)) return f.SetAsString(code);
    f.Clear();
  };
  ds.FieldByName("IDAGENREMCNABPAG").OnGetText = [](const TField& f) {
    for (const char* code : kAgendamento)
      if (f.AsString() == code) return RemessaMessages().Msg(code);
    return std::string();
  };
  ds.FieldByName("IDAGENREMCNABPAG").OnSetText = [](TField& f, std::string_view text) {
    for (const char* code : kAgendamento)
      if (text == RemessaMessages().Msg(code)) return f.SetAsString(code);
    f.Clear();
  };
  ds.FieldByName("CDAGENCIA").OnGetText = [](const TField& f) {
    return FormatPicture(f.AsString(), f.DataSet().FieldByName("CDPICTAGEN").AsString());
  };
  ds.FieldByName("CDCONTCORR").OnGetText = [](const TField& f) {
    return FormatPicture(f.AsString(), f.DataSet().FieldByName("CDPICTCONT").AsString());
  };
}

void DeclareBoletos(TDataSet& ds) {
  Declare(ds, {S("IDBPAGREAL", 1), S("IDSITUCNABP", 2), S("CDPICTAGEN", 10), S("IDMARCADO", 1)});
  for (const auto& f : SharedSlipFields()) ds.AddField(f);
  Declare(ds, {S("DSCONTCORR", 30), S("CDPICTCONT", 20), S("IDHABIBPAG", 1), S("NMTPBAIXAPAG", 50),
               S("CDBANCCNAB", 3), S("CDNOSNUMPAG", 20), V("FATORVENC", 0), S("CDFILIAL", 4)});
  ds.AddCalcField(S("IdPermCNAB", 1));
  ds.OnCalcFields = [](TDataSet& d) {
    bool has = !EmptyString(d.FieldByName("CDBARRAPAG").AsString()) ||
               !EmptyString(d.FieldByName("DSLINHBARPAG").AsString());
    d.FieldByName("IdPermCNAB").SetAsString(has ? "S" : "N");
  };
  ds.AddIndex("idxOrdena", "DTVENBOLPAG;NMRAZSOCFORN");
  ds.AddIndex("idxGeraRemessa", "IDBAIXAUTILP;CDBARRAPAG");
  for (const char* f : {"IDSITUCNABP", "IDBPAGREAL"}) ds.FieldByName(f).OnGetText = MsgOf;
  ds.FieldByName("CDAGENCIA").OnGetText = [](const TField& f) { return FormatPicture(f.AsString(), "9999-9"); };
  ds.FieldByName("CDCONTCORR").OnGetText = [](const TField& f) {
    return FormatPicture(f.AsString(), f.DataSet().FieldByName("CDPICTCONT").AsString());
  };
}

void DeclareBolCnab(TDataSet& ds) {
  for (const auto& f : SharedSlipFields()) ds.AddField(f);
  Declare(ds, {S("CDBANCOCRED", 3), S("ORDPROCESS", 1)});
  ds.AddIndex("INDEXCDS", "IDBAIXAUTILP;ORDPROCESS;CDBANCOCRED");
}

}  // namespace

const TMessages& RemessaMessages() {
  static const TMessages messages{
      // value labels
      "00|Não Agendado",
      "01|Enviado - Retorno com Erro",
      "10|Enviado - Sem Retorno",
      "20|Enviado - Retorno OK",
      "90|Baixado via CNAB",
      "I|Inclusão",
      "E|Exclusão",
      "B|Bloqueio",
      "S|Sim",
      "N|Não",
      "1|Autoriza",
      "2|Desautoriza",
      "PS|Pagamento Simples",
      "WT|WEB TA",
      "Nor|Normal",
      "Ant|Antecipação",
      // messages
      "EMPRESA_NAO_CAD|Empresa não cadastrada.",
      "EMPRESA_DEVE_SER|Empresa deve ser informada.",
      "CONTA_DEVE_SER|Conta corrente deve ser informada.",
      "CONTA_NAO_CAD|Conta corrente não cadastrada para empresa informada.",
      "CODI_BAR_NAO_INF|Operação bloqueada! Boleto não possui informações de código de barras.",
      "ARQU_EXISTE|Arquivo já cadastrado. Deseja substituir?",
      "DIR_INVALIDO|Arquivo inválido.",
      "ARQU_DEVE_SER|Arquivo deve ser informado.",
      "Bol_mar|Existem contas marcadas para baixar, ao selecionar um outro filtro, as contas já selecionadas serão "
      "desmarcadas, continua?",
      "Expor_susc|Arquivo foi gerado com sucesso.",
      "ARQU_INVALIDO|Aquivo não existe.",
      "Remessa_inv|Remessa não está disponível para o banco informado.",
      "Bole_inf|Boleto deve ser informado.",
      "EXP|Exportando ...",
      "CCFORN_INF|Banco, agência e conta corrente do favorecido devem ser informados.",
      "INSCRICAO_INV|Código da inscrição da empresa deve ter no máximo 14 posições.",
      "INSCR_FILI_INV|Código da inscrição da filial deve ter no máximo 14 posições.",
      "Apaga_Boletos|Existem boletos marcados para esta conta corrente e serão todos desmarcados. Confirma?",
      "Apaga_Bol_Fil|Existem boletos marcados para esta filial e serão todos desmarcados. Confirma?",
      "FIL_N_CAD|Filial não cadastrada para empresa informada.",
      "FILI_DIF|Boleto de filial origem com raiz de CNPJ diferente da filial da remessa não pode ser marcado.",
      "DESMARCA_BOL|Deseja desmarcar todos os boletos?",
      "MARCA_BOL|Deseja marcar todos os boletos?",
      "Ende_Empty|Endereço do fornecedor não cadastrado.",
      "TpBaixa_Deve|Operação bloqueada! Boleto não possui tipo de baixa.",
      "TpBaixa_Inv_Boleto|Operação Bloqueada! Tipo de baixa inválida para o boleto.",
      "TpBaixa_Inv|Operação bloqueada! O banco para pagamento deve ser igual ao banco do favorecido.",
      "OrdemPgto_Inv|Operação bloqueada! Tipo de baixa não disponível para o banco informado.",
      "DES_IMPRI_BORDERO|Deseja imprimir o borderô %s ?",
      "MODBORDPAG_NC|Modelo de borderô de pagamento não cadastrado para o banco informado.",
      "bol_ja_env|Boleto já enviado. Deseja REENVIAR?",
      "BOLTPCOMP|Boletos com tipo de baixa \"Compensação entre Contas\" não podem ser utilizados.",
      "ValorInv|Valor do boleto não confere com os valores das contas e os ajustes.",
      "OPER_INV|Operação bloqueada. Operador não possui permissão para cancelar boleto de uma remessa.",
      "Confirma_CancelaBaixa|Operação bloqueada! Boleto está ligado a uma baixa.",
      "Conc_Banco_Inv|Operação Bloqueada! Remessa para Tipo de Baixa Concessionária não está preparada para banco "
      "informado.",
      "Conc_CodBarra_Inv|Operação Bloqueada! Código de Barras inválido para Tipo de Baixa Concessionária.",
      "Bol_CodBarra_Inv|Operação Bloqueada! Código de Barras inválido para Tipo de Baixa Boleto Bancário.",
      "Emp_Nr|Empresa não relacionada ao operador logado.",
      "Conf_Cancel|Confirma o cancelamento dos boletos da remessa?",
      "Bol_Exclu|Boleto(s) excluído(s) da remessa com sucesso.",
      "BOL_RECEITA|Operação Bloqueada! Boleto não possui código da receita.",
      "Tributo_Banc_Inv|Operação Bloqueada! Remessa para pagamento de tributo não preparada para banco informado.",
      "Bol_Vinc_Rem|Operação bloqueada. Existem boletos selecionados que já foram remitidos a CNAB e remessas de "
      "tipo de movimento \"Inclusão\" não podem conter boletos vinculados à outras remessas.",
      "INF_AGENDAMENTO|Agendamento deve ser informado.",
      "PIX_Inv|Operação bloqueada! Tipo de baixa Pix não está disponível para o banco informado.",
      "Apenas_Pix|Operação Bloqueada! Apenas boletos com Tipo de Baixa Pix podem ser enviados na mesma remessa.",
      // texts of our own
      "Nrel|Não foi possível atualizar o modelo de relatório %s.",
      "SEM_CONTA|Não há conta corrente cadastrada para a empresa informada.",
      "SEM_FILIAL|Não há filial cadastrada para a empresa informada.",
      "Modo_Nao_Tratado|Operação bloqueada! O boleto %s (tipo de baixa %s) não pode ser enviado no arquivo do "
      "banco %s.",
      "Valor_Negativo|Operação bloqueada! O valor %s do boleto %s não pode ser negativo.",
      "Campo_Excede|Operação bloqueada! %s",
      "Bol_Nao_Gerado|Operação bloqueada! O boleto %s está marcado mas não foi gerado no arquivo. Nada foi enviado.",
      "Bol_Nao_Marcado|Operação bloqueada! O boleto %s foi gerado no arquivo sem estar marcado. Nada foi enviado.",
  };
  return messages;
}

std::string FormatPicture(std::string_view value, std::string_view picture) {
  if (picture.empty()) return std::string(value);
  // The host's mask "picture;0; ": only the picture's digit places take
  // characters of the stored value.
  std::string out;
  std::size_t next = 0;
  for (char p : picture) {
    if (p == '9' || p == '0' || p == '#' || p == 'a' || p == 'A') {
      out.push_back(next < value.size() ? value[next] : ' ');
      ++next;
    } else {
      out.push_back(p);
    }
  }
  if (next < value.size()) out.append(value.substr(next));  // a value longer than its picture is shown whole
  return out;
}

RemessaData::RemessaData() : msgs(RemessaMessages()) {
  DeclareRemessa(cdsCNABPag);
  DeclareBoletos(cdsBoletos);
  DeclareBolCnab(cdsBolCnab);

  Declare(cdsEmpresa, {S("CDEMPRESA", 2), S("NMEMPRESA", 40), S("IDTPIJUREMPR", 1), S("NMRAZSOCEMPR", 80),
                       S("DSENDEEMPR", 50), S("CDPAIS", 4), S("SGESTADO", 2), S("CDMUNICIPIO", 4),
                       S("NRINSJUREMPR", 20), S("NMMUNICIPIO", 30), S("NRCEPEMPR", 15), S("IDOPTSIMPLES", 1)});
  Declare(cdsFilial, {S("CDFILIAL", 4), S("NMFILIAL", 30), S("IDTPIJURFILI", 1), S("NRINSJURFILI", 20),
                      S("NMRAZSOCFILI", 40), S("SGESTADO", 2), S("CDMUNICIPIO", 4), S("DSENDEFILI", 50),
                      S("NMBAIRFILI", 30), S("NRCEPFILI", 15), S("NMMUNICIPIO", 30)});
  Declare(cdsContaCorrente, {S("CDREDUCONT", 3), S("CDBANCO", 3), S("CDAGENCIA", 5), S("CDCONTCORR", 10),
                             S("DSCONTCORR", 20), S("CDPICTCONT", 20), S("CDPICTAGEN", 10), S("CDBANCCNAB", 3),
                             S("CDCEDENTEBAN", 30), S("NMBANCO", 30), S("IDLAYCNABPAG", 1), S("IDFASCNABPAG", 1),
                             S("CDOPERCONTCORR", 4), S("IDLAYOUTCNAB", 3)});
  cdsContaCorrente.FieldByName("CDAGENCIA").OnGetText = [](const TField& f) {
    return FormatPicture(f.AsString(), f.DataSet().FieldByName("CDPICTAGEN").AsString());
  };
  cdsContaCorrente.FieldByName("CDCONTCORR").OnGetText = [](const TField& f) {
    return FormatPicture(f.AsString(), f.DataSet().FieldByName("CDPICTCONT").AsString());
  };
  Declare(cdsEmprBanc, {S("CDEMPBANCPAG", 20), S("IDPADRAGENCNABPAG", 20), S("IDPADRCNABPAG", 20),
                        S("IDCONSDTENVREM", 1), S("CDCOMPROMISSO", 4), S("DSARQBORDPAG", 100)});
  Declare(cdsLayout, {S("IDLAYCNABPAG", 20)});
  Declare(cdsGeralPag, {S("CDGERALPAG", 1), V("QTDIAANTBOLP", 0), V("QTDIAAPOBOLP", 0), S("IDHABIBOLE", 1),
                        S("IDUTCTRLCANREMP", 1)});
  Declare(cdsIdConta, {S("CDIDPAGCONTCORR", 20)});
  Declare(cdsParamFilial, {S("NRTAMNUMNFUT", 2)});
  Declare(cdsFormaPag, {S("IDMARCADO", 1), S("CDTPBAIXAPAG", 2), S("NMTPBAIXAPAG", 50), S("IDBAIXAUTILP", 1),
                        V("VRMAXDOCCNAB")});

  Declare(cdsDocBol, {S("NRNOTAFISC", 20), T("DTEMISSAO"), S("CDSERIEENTR", 5)});
  Declare(cdsFiliRece, {S("CDFILIAL", 4), S("NRLANCTONF", 10), S("CDFILIRECE", 4), S("CDFILIBPAG", 4),
                        S("NRLANBOLPAG", 10), S("NRINSJURFILI", 20)});
  for (TDataSet* guia : {&cdsDarf, &cdsGps})
    Declare(*guia, {S("CDIMPOSTO", 2), S("NRSEQUMAPAPU", 10), S("CDRECEGUIA", 20), S("CDFILIAL", 4),
                    S("NRLANCTONF", 10), T("DTFIMPERIODO"), T("DTVENCMAPA"), V("VRMULTAGUIA"), V("VRJUROGUIA"),
                    V("VRRECEGUIA"), V("SOMA")});
  Declare(cdsValorConta, {V("VRCONTA")});
  Declare(cdsValorAjuste, {V("VRAJUSTE")});
  Declare(cdsVd_Antec, {S("NRLANBOLPAG", 20), S("CDFILIAL", 20)});
  Declare(cdsValor_Antec, {S("NRLANCANTECIPA", 10), S("NMRAZSOCFORN", 40), V("VRLIQUANTECIPA"), T("DTVENCANTECIPA")});
  Declare(cdsCntPagar, {S("FILORIG", 4), S("DOCUMENTO", 25)});
  cdsCntPagar.FieldByName("FILORIG").SetDisplayLabel("Fil.Origem");
  cdsCntPagar.FieldByName("DOCUMENTO").SetDisplayLabel("Doc/Série");
  Declare(cdsTotRemessa, {V("QTBOLETOS", 0), V("VRTOTBOL")});
  Declare(cdsVrDocumento, {V("VRDOC")});
  Declare(cdsCtCNABPg, {V("CTCNAB", 0)});
  Declare(cdsCtCnabDiaP, {V("CTCNAB", 0)});

  Declare(qryEmpresa, {S("CDEMPRESA", 2), S("NMEMPRESA", 40), S("CDCENTCUST", 10)});
  Declare(qryEndeForn, {S("CDFORNECED", 21), S("IDTPENDEFORN", 1), S("CDPAIS", 4), S("SGESTADO", 2),
                        S("CDMUNICIPIO", 4), S("DSENDEFORN", 50), S("NMBAIRFORN", 30), S("NRCEPFORN", 15),
                        S("NRTELEFORN", 20), S("NMMUNICIPIO", 30), S("NMPAIS", 30)});
  Declare(qryMascBancoForn, {S("CDPICTCONT", 20), S("CDPICTAGEN", 10)});
}

std::string RemessaData::SlipKey(std::string_view branch, std::string_view entry) {
  return Ajusta(branch, 4) + Ajusta(entry, 10);
}

std::string RemessaData::SlipKey(const TDataSet& slips) {
  return SlipKey(slips.FieldByName("CDFILIBPAG").AsString(), slips.FieldByName("NRLANBOLPAG").AsString());
}

}  // namespace pag
