// The payment list printed to PDF from the demo store, read back with
// pdftotext: heading, count and total as the remittance records them,
// subtotals per payment mode, column titles and page numbers on every page.
// The page of a demo remittance is kept as docs/screenshots/payment-list.png.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "fixture.h"
#include "host/text.h"
#include "remittance/report.h"
#include "report/pdf_printer.h"

namespace pag::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Pages(const std::string& text) {
  std::vector<std::string> pages;
  std::size_t start = 0;
  for (std::size_t ff; (ff = text.find('\f', start)) != std::string::npos; start = ff + 1)
    pages.push_back(text.substr(start, ff - start));
  if (start < text.size() && !AllTrim(text.substr(start)).empty()) pages.push_back(text.substr(start));
  return pages;
}

bool Has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

class PdfTest : public DemoStoreTest {
 protected:
  void SetUp() override {
    if (!HaveTool("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: PDF checks skipped";
    ASSERT_TRUE(kOffscreen);
    DemoStoreTest::SetUp();
    session.clock.Fix(DateTime::Make(2026, 12, 6, 14, 30, 0));
  }

  // Prints remittance `number` of company 01 as the screen does; the PDF's text.
  std::string Print(const std::string& number) {
    LoadRemittance("01", number);
    if (HasFatalFailure()) return {};
    report::PdfReportPrinter printer(*qrdesign, Pdf());
    printer.set_clock(session.clock);
    ScriptedDialogs dialogs;
    RemessaReport(d, "01", *net, session, dialogs, printer).sbtImprimirClick();
    EXPECT_TRUE(dialogs.Errors().empty());
    summary = printer.last();
    return PdfText(Pdf());
  }

  // A remittance of company 01 holding its first `n` slips not yet sent, in
  // every payment mode, with the count and total the screen would record.
  void MakeLongRemittance(const std::string& number, int n) {
    store->db().Exec(
        "INSERT INTO CNABPAG (CDEMPRESA, NRCNABPAG, CDREDUCONT, CDOPERADOR, NMOPERADOR, CDBANCO, CDBANCCNAB, "
        "CDAGENCIA, CDPICTAGEN, CDCONTCORR, CDPICTCONT, DSCONTCORR, IDTPREMCNABPAG, IDAGENREMCNABPAG, "
        "IDTIPCNABPAG, IDOPECNABPAG, DTCNABPAG, DTPAGREM, DSARQCNABPAG, CDFILIAL, NMFILIAL, DSARQBORDPAG) "
        "SELECT CDEMPRESA, '" + number + "', CDREDUCONT, CDOPERADOR, NMOPERADOR, CDBANCO, CDBANCCNAB, CDAGENCIA, "
        "CDPICTAGEN, CDCONTCORR, CDPICTCONT, DSCONTCORR, IDTPREMCNABPAG, IDAGENREMCNABPAG, IDTIPCNABPAG, "
        "IDOPECNABPAG, '2026-12-06T10:15:00', DTPAGREM, DSARQCNABPAG, CDFILIAL, NMFILIAL, DSARQBORDPAG "
        "FROM CNABPAG WHERE CDEMPRESA = '01' AND NRCNABPAG = '0000000001'");
    store->db().Exec(
        "INSERT INTO CNABPAGBOL (CDEMPRESA, NRCNABPAG, CDFILIBPAG, NRLANBOLPAG, IDOPECNABPAG) "
        "SELECT CDEMPRESA, '" + number + "', CDFILIBPAG, NRLANBOLPAG, 'I' FROM BOLETOPAG "
        "WHERE CDEMPRESA = '01' AND NRCNABPAGREM = '' ORDER BY CDFILIBPAG, NRLANBOLPAG LIMIT " + std::to_string(n));
    store->db().Exec(
        "UPDATE CNABPAG SET "
        "QTBOLCNABPAG = (SELECT count(*) FROM CNABPAGBOL l WHERE l.CDEMPRESA = '01' AND l.NRCNABPAG = '" + number +
        "'), VRTOTALCNABPAG = (SELECT sum(b.VRFINALBPAG) FROM CNABPAGBOL l JOIN BOLETOPAG b "
        "ON b.CDFILIBPAG = l.CDFILIBPAG AND b.NRLANBOLPAG = l.NRLANBOLPAG "
        "WHERE l.CDEMPRESA = '01' AND l.NRCNABPAG = '" + number + "') "
        "WHERE CDEMPRESA = '01' AND NRCNABPAG = '" + number + "'");
  }

  Money RecordedTotal(const std::string& number) {
    return Money::FromCents(std::stoll(
        Scalar("SELECT VRTOTALCNABPAG FROM CNABPAG WHERE CDEMPRESA = '01' AND NRCNABPAG = '" + number + "'")));
  }

  std::string Pdf() const { return dir.File("bordero.pdf"); }

  std::optional<report::PdfReportPrinter::Summary> summary;
};

TEST_F(PdfTest, ADemoRemittanceHasItsHeadingCountAndTotal) {
  const std::string text = Print("1");
  ASSERT_TRUE(summary);
  EXPECT_EQ(summary->count, 6);
  EXPECT_EQ(summary->total, Money::FromCents(1414386));
  EXPECT_TRUE(summary->matches_remittance);
  EXPECT_EQ(summary->pages, 1);

  const auto pages = Pages(text);
  ASSERT_EQ(pages.size(), 1u) << text;
  for (const char* expected :
       {"BORDERÔ DE PAGAMENTO - ITAÚ", "Empresa: 01 - ", "Filial: 0001 - MATRIZ SÃO PAULO",
        "Remessa nº 0000000001 de ", "Movimento: Inclusão", "Banco: 341 - ITAU UNIBANCO S.A.", "Agência: 7861",
        "Conta: 43723-9", "Fornecedor", "Vencimento", "Valor (R$)", "Total da remessa: 6 boleto(s)", "14.143,86",
        "Emitido em 06/12/2026 14:30", "Página 1 de 1"})
    EXPECT_TRUE(Has(text, expected)) << expected << "\n" << text;
  EXPECT_FALSE(Has(text, "Atenção")) << text;

  // Kept to be seen by eye: the page as printed.
  if (HaveTool("pdftoppm")) {
    const std::string shots = std::string(PAG_SOURCE_DIR) + "/docs/screenshots";
    fs::create_directories(shots);
    ASSERT_TRUE(RunCommand("pdftoppm -png -r 60 -singlefile -f 1 -l 1 '" + Pdf() + "' '" + shots +
                           "/payment-list'"));
    EXPECT_TRUE(fs::exists(shots + "/payment-list.png"));
  }
}

TEST_F(PdfTest, ALongListRunsOverPagesWithItsTableHeadingOnEach) {
  MakeLongRemittance("0000000077", 130);
  const std::string text = Print("77");
  ASSERT_TRUE(summary);
  EXPECT_EQ(summary->count, 130);
  EXPECT_EQ(summary->total, RecordedTotal("0000000077"));
  EXPECT_TRUE(summary->matches_remittance);

  const auto pages = Pages(text);
  ASSERT_GE(pages.size(), 3u);
  EXPECT_EQ(static_cast<int>(pages.size()), summary->pages);
  const std::string of = " de " + std::to_string(pages.size());
  for (std::size_t i = 0; i < pages.size(); ++i) {
    SCOPED_TRACE("page " + std::to_string(i + 1));
    EXPECT_TRUE(Has(pages[i], "Remessa nº 0000000077"));
    EXPECT_TRUE(Has(pages[i], "Fornecedor"));
    EXPECT_TRUE(Has(pages[i], "Valor (R$)"));
    EXPECT_TRUE(Has(pages[i], "Página " + std::to_string(i + 1) + of));
  }

  // The subtotals of the payment modes add up to the count and the total.
  const std::regex subtotal(R"(Subtotal (.+): (\d+) boleto\(s\)\s+([\d.]+,\d\d))");
  std::int64_t count = 0;
  Money total;
  std::set<std::string> modes;
  for (std::sregex_iterator it(text.begin(), text.end(), subtotal), end; it != end; ++it) {
    modes.insert((*it)[1]);
    count += std::stoll((*it)[2]);
    total += Money::Parse((*it)[3].str());
  }
  EXPECT_GE(modes.size(), 5u);
  EXPECT_TRUE(modes.count("Boleto bancário"));
  EXPECT_EQ(count, 130);
  EXPECT_EQ(total, summary->total);
  EXPECT_TRUE(Has(pages.back(), "Total da remessa: 130 boleto(s)"));
  EXPECT_TRUE(Has(pages.back(), summary->total.ToDisplay()));
  // A group that runs onto the next page is named again atop it.
  EXPECT_TRUE(Has(pages[1], "Boleto bancário (continuação)")) << pages[1];
}

TEST_F(PdfTest, AListThatDisagreesWithTheRemittanceSaysSo) {
  store->db().Exec("UPDATE CNABPAG SET QTBOLCNABPAG = 7 WHERE CDEMPRESA = '01' AND NRCNABPAG = '0000000001'");
  const std::string text = Print("1");
  ASSERT_TRUE(summary);
  EXPECT_FALSE(summary->matches_remittance);
  EXPECT_TRUE(Has(text, "Total da remessa: 6 boleto(s)")) << text;
  EXPECT_TRUE(Has(text, "Atenção: a remessa registra 7 boleto(s) no valor de R$ 14.143,86.")) << text;
}

TEST_F(PdfTest, ARemittanceWithoutSlipsStillPrints) {
  store->db().Exec("DELETE FROM CNABPAGBOL WHERE CDEMPRESA = '01' AND NRCNABPAG = '0000000002'");
  const std::string text = Print("2");
  ASSERT_TRUE(summary);
  EXPECT_EQ(summary->pages, 1);
  EXPECT_TRUE(Has(text, "Nenhum boleto nesta remessa.")) << text;
  EXPECT_TRUE(Has(text, "Total da remessa: 0 boleto(s)")) << text;
}

TEST_F(PdfTest, ALayoutNamingAnUnknownFieldLeavesNoFile) {
  LoadRemittance("01", "1");
  WriteText(ReportDir() + "/BORDPAG_ITAU.QR2",
            "PAGREL 1\n[parametros]\nP_CDEMPRESA\nP_NRCNABPAG\n[colunas]\nX | NMFORNECEDOR | 1 | esquerda\n"
            "; 99999999#");
  report::PdfReportPrinter printer(*qrdesign, Pdf());
  ScriptedDialogs dialogs;
  try {
    RemessaReport(d, "01", *net, session, dialogs, printer).sbtImprimirClick();
    ADD_FAILURE() << "printed";
  } catch (const report::LayoutError& e) {
    EXPECT_TRUE(Has(e.what(), "unknown field NMFORNECEDOR")) << e.what();
  }
  EXPECT_FALSE(fs::exists(Pdf()));
  EXPECT_FALSE(qrdesign->Connected());
}

}  // namespace
}  // namespace pag::test
