// The payment-list layout format: the demo's layouts read, faults are named
// with their line, and the report dialog's setting overrides the page.
#include <gtest/gtest.h>

#include "fixture.h"
#include "report/layout.h"

namespace pag::test {
namespace {

using report::LayoutError;
using report::ParseLayout;
using report::PaymentListLayout;

const char* const kMinimal =
    "PAGREL 1\n"
    "[parametros]\nP_CDEMPRESA\nP_NRCNABPAG\n"
    "[colunas]\nFornecedor | NMRAZSOCFORN | 3 | esquerda\nValor | VRFINALBPAG | 1 | direita\n"
    "[grupos]\nsoma = VRFINALBPAG\n";

class LayoutTest : public DemoStoreTest {};

TEST_F(LayoutTest, TheDemoLayoutsRead) {
  for (const char* name : {"BORDPAG.QR2", "BORDPAG_ITAU.QR2"}) {
    SCOPED_TRACE(name);
    const std::string text =
        Scalar(std::string("SELECT DSCONTEUDO FROM RELATORIO WHERE DSARQRELATORIO = '") + name + "'");
    const PaymentListLayout l = ParseLayout(text, name);
    EXPECT_EQ(l.parameters, (std::vector<std::string>{"P_CDEMPRESA", "P_NRCNABPAG"}));
    ASSERT_EQ(l.columns.size(), 5u);
    EXPECT_EQ(l.columns[2].field.field, "DTVENBOLPAG");
    EXPECT_EQ(l.columns[2].field.pattern, "dd/mm/yyyy");
    EXPECT_EQ(l.columns[4].align, report::Align::kRight);
    EXPECT_EQ(l.group_field, "IDBAIXAUTILP");
    EXPECT_EQ(l.SumColumn(), 4);
    EXPECT_EQ(l.group_labels.at("B"), "Boleto bancário");
    EXPECT_EQ(l.default_label, "Sem forma de pagamento");
    EXPECT_EQ(l.footer_right, "Página {PAGINA} de {PAGINAS}");
  }
}

TEST(LayoutFormat, FaultsNameTheFileAndTheLine) {
  struct Case {
    std::string text;
    const char* fragment;
  };
  const std::string body = std::string(kMinimal).substr(std::string("PAGREL 1\n").size());
  const std::vector<Case> cases{
      {"", "empty layout"},
      {"<?xml version=\"1.0\"?>\n", "line 1: not a payment-list layout"},
      {"PAGREL 2\n" + body, "\"PAGREL 2\" is not supported"},
      {"PAGREL 1\nlinha = x\n", "line 2: \"linha = x\" comes before any section"},
      {std::string(kMinimal) + "[detalhe]\n", "line 10: unknown section [detalhe]"},
      {std::string(kMinimal) + "[colunas]\nDoc | DOCUMENTO | 2\n", "line 11: a column is"},
      {std::string(kMinimal) + "[colunas]\nDoc | DOCUMENTO | 2 | meio\n", "alignment \"meio\""},
      {std::string(kMinimal) + "[pagina]\npapel = A3\n", "paper \"A3\""},
      {std::string(kMinimal) + "[pagina]\ncor = azul\n", "unknown key \"cor\" in [pagina]"},
      {std::string(kMinimal) + "[cabecalho]\nlinha = Remessa {NRCNABPAG\n", "line 11: \"{\" without \"}\""},
      {std::string(kMinimal) + "[cabecalho]\nlinha = {NR-CNAB}\n", "does not name a field"},
      {"PAGREL 1\n[parametros]\nP_CDEMPRESA\n[colunas]\nV | VRFINALBPAG | 1 | direita\n",
       "does not declare the parameter P_NRCNABPAG"},
      {"PAGREL 1\n[parametros]\nP_CDEMPRESA\nP_NRCNABPAG\n", "has no [colunas]"},
      {std::string(kMinimal) + "[grupos]\nsoma = VRMULTABPAG\n", "summed field VRMULTABPAG is not one of the columns"},
      {std::string(kMinimal) + "[grupos]\nrotulo B = Boleto\nrotulo B = Outro\n", "label of \"B\" given twice"},
  };
  for (const Case& c : cases) {
    try {
      ParseLayout(c.text, "X.QR2");
      ADD_FAILURE() << "read: " << c.text;
    } catch (const LayoutError& e) {
      const std::string what = e.what();
      EXPECT_EQ(what.rfind("report layout X.QR2, line ", 0), 0u) << what;
      EXPECT_NE(what.find(c.fragment), std::string::npos) << what;
    }
  }
}

TEST(LayoutFormat, TheVersionStampAndCommentsAreNotLayout) {
  const PaymentListLayout l = ParseLayout(std::string(kMinimal) + "; versão 20260105\nrotulo B = Boleto\n20260105#",
                                          "X.QR2");
  EXPECT_EQ(l.group_labels.at("B"), "Boleto");
  EXPECT_EQ(l.columns.size(), 2u);
}

TEST(LayoutFormat, TheDialogSettingOverridesThePage) {
  PaymentListLayout l = ParseLayout(kMinimal, "X.QR2");
  EXPECT_EQ(l.paper, report::Paper::kA4);
  EXPECT_FALSE(l.landscape);
  l.ApplyDialogSetting("PAPEL=CARTA; ORIENTACAO=PAISAGEM;COPIAS=2");
  EXPECT_EQ(l.paper, report::Paper::kLetter);
  EXPECT_TRUE(l.landscape);
  EXPECT_THROW(l.ApplyDialogSetting("PAPEL=A3"), LayoutError);
}

}  // namespace
}  // namespace pag::test
