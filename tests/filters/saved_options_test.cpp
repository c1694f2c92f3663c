// Saved filter options: each dialog's controls and picked lists come back
// for the same operator; a damaged or foreign file is ignored with a
// message and changes nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "fixture.h"

namespace pag::test {
namespace {

using Slip = TfrmFiltroBoletoCNAB;
using Rem = TfrmFiltroRemessaCNAB;

class SavedOptionsTest : public FilterTest {
 protected:
  std::filesystem::path ConfFile() { return dir.path() / "config" / "filters-ANA.conf"; }
  void Write(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  std::vector<std::string> FolderFiles() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path() / "config"))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(SavedOptionsTest, SlipFilterOptionsComeBack) {
  Slip& f = SlipDialog();
  f.rbtListaGrFornClick();
  f.Unit().stGrForn = "_MAT";
  f.rbtListFornClick();
  f.Unit().stListForn = "_F001_F002";
  f.rbtListBancBeneClick();
  f.Unit().stListBancBene = "_341";
  f.Unit().stFiliOrig = "_0002";
  f.rbtListFiliLancClick();
  f.Unit().stFiliLanc = "_0001";
  f.rbtFPagClick();
  f.Unit().stListFPag = "_01_05";
  f.medDocIni.SetText("0000101");
  f.medDocFin.SetText("0000199");
  f.rdgPessoa.ItemIndex = 2;
  f.depDtIniVen.SetText("01/12/2026");
  f.depDtFinVen.SetText("");
  f.nedVrLiqIni.SetText("10,50");
  f.nedVrLiqFin.SetText("2.000,00");
  f.medNrRemessa.SetText("12");
  f.medNrRetorno.SetText("0000000777");
  f.rdgCdBarraPag.ItemIndex = 0;
  f.chbEnv_RetoErro.Checked = true;
  f.btfSaveOpcClick();
  EXPECT_TRUE(dialogs.Errors().empty());
  EXPECT_EQ(FolderFiles(), (std::vector<std::string>{"filters-ANA.conf"})) << "no temporary file is left";

  Reopen();  // a new screen with its own units: nothing in memory
  Slip& g = SlipDialog();
  g.btfLoadOpcClick();
  EXPECT_TRUE(dialogs.Errors().empty());
  EXPECT_TRUE(g.rbtListaGrForn.Checked && !g.rbtTodosGrForn.Checked && g.btnGrForn.Enabled);
  EXPECT_TRUE(g.rbtListForn.Checked);
  EXPECT_TRUE(g.rbtListBancBene.Checked);
  EXPECT_TRUE(g.rbtTFiliOrig.Checked);
  EXPECT_TRUE(g.rbtListFiliLanc.Checked);
  EXPECT_TRUE(g.rbtFPag.Checked);
  EXPECT_EQ(g.Unit().stGrForn, "_MAT");
  EXPECT_EQ(g.Unit().stListForn, "_F001_F002");
  EXPECT_EQ(g.Unit().stListBancBene, "_341");
  EXPECT_EQ(g.Unit().stFiliOrig, "_0002");
  EXPECT_EQ(g.Unit().stFiliLanc, "_0001");
  EXPECT_EQ(g.Unit().stListFPag, "_01_05");
  EXPECT_FALSE(g.Unit().boFiliOrigPesq);
  EXPECT_EQ(g.medDocIni.Text(), "0000101");
  EXPECT_EQ(g.medDocFin.Text(), "0000199");
  EXPECT_EQ(g.rdgPessoa.ItemIndex, 2);
  EXPECT_EQ(g.depDtIniVen.GetDate(), MakeDate(2026, 12, 1));
  EXPECT_TRUE(g.depDtFinVen.IsBlank());
  EXPECT_EQ(g.nedVrLiqIni.Value(), Decimal::Parse("10.50"));
  EXPECT_EQ(g.nedVrLiqFin.Value(), Decimal::Parse("2000"));
  EXPECT_EQ(g.medNrRemessa.Text(), "12");
  EXPECT_EQ(g.medNrRetorno.Text(), "0000000777");
  EXPECT_EQ(g.rdgCdBarraPag.ItemIndex, 0);
  EXPECT_FALSE(g.chbNaoEnviado.Checked);
  EXPECT_TRUE(g.chbEnv_RetoErro.Checked);
}

TEST_F(SavedOptionsTest, RemittanceFilterOptionsComeBackBesideTheSlipFilters) {
  SlipDialog().Unit().stListForn = "_F003";
  SlipDialog().btfSaveOpcClick();

  Rem& f = RemittanceDialog();
  f.rbtListaCCorClick();
  f.Unit().stListContCorr = "_002";
  f.rbtListaOperClick();
  f.Unit().stListOperador = "_BRUNO";
  f.rbtListFornClick();
  f.Unit().stListForn = "_F001";
  f.Unit().stListBancBene = "_001";
  f.rbtFPagClick();
  f.Unit().stListTpBx = "_05";
  f.depDtIniVen.SetText("01/12/2026");
  f.depDtFinVen.SetText("31/12/2026");
  f.nedVrRemFin.SetText("1000");
  f.medNrRemessa.SetText("0000000003");
  f.medDocIni.SetText("0000500");
  f.depVencFin.SetText("25/11/2026");
  f.nedVrLiqIni.SetText("2000");
  f.btfSaveOpcClick();

  Reopen();
  Rem& g = RemittanceDialog();
  g.btfLoadOpcClick();
  EXPECT_TRUE(dialogs.Errors().empty());
  EXPECT_TRUE(g.rbtListaCCor.Checked && g.btpContCorr.Enabled);
  EXPECT_TRUE(g.rbtListaOper.Checked);
  EXPECT_TRUE(g.rbtListForn.Checked);
  EXPECT_TRUE(g.rbtTdsBancBene.Checked);
  EXPECT_TRUE(g.rbtFPag.Checked);
  EXPECT_EQ(g.Unit().stListContCorr, "_002");
  EXPECT_EQ(g.Unit().stListOperador, "_BRUNO");
  EXPECT_EQ(g.Unit().stListForn, "_F001");
  EXPECT_EQ(g.Unit().stListBancBene, "_001");
  EXPECT_EQ(g.Unit().stListTpBx, "_05");
  EXPECT_EQ(g.depDtIniVen.GetDate(), MakeDate(2026, 12, 1));
  EXPECT_EQ(g.edtNmDiaSemIni.Text, "terça-feira");
  EXPECT_EQ(g.nedVrRemFin.Value(), Decimal::Parse("1000"));
  EXPECT_EQ(g.medNrRemessa.Text(), "0000000003");
  EXPECT_EQ(g.medDocIni.Text(), "0000500");
  EXPECT_EQ(g.depVencFin.GetDate(), MakeDate(2026, 11, 25));
  EXPECT_EQ(g.nedVrLiqIni.Value(), Decimal::Parse("2000"));

  // The slip filter's section is still there.
  SlipDialog().btfLoadOpcClick();
  EXPECT_EQ(SlipDialog().Unit().stListForn, "_F003");
}

TEST_F(SavedOptionsTest, DamagedOrForeignFileIsIgnoredWithAMessage) {
  const std::string header = "pag00100 filter options 1\n";
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"no header", "[PAG00102]\nrbtTForn=N\nstListForn=_BAD\n"},
      {"another program's file", "{\"rbtTForn\": \"N\", \"stListForn\": \"_BAD\"}"},
      {"empty file", ""},
      {"a later format", "pag00100 filter options 2\n[PAG00102]\nstListForn=_BAD\n"},
      {"bad escape", header + "[PAG00102]\nstListForn=_BAD\\q\n"},
      {"cut escape", header + "[PAG00102]\nstListForn=_BAD\\x4\n"},
      {"entry outside a section", header + "stListForn=_BAD\n"},
      {"line without =", header + "[PAG00102]\nstListForn\n"},
      {"bad section", header + "[PAG 00102]\nstListForn=_BAD\n"},
      {"entry twice", header + "[PAG00102]\nstListForn=_BAD\nstListForn=_BAD\n"},
      {"radio not S or N", header + "[PAG00102]\nrbtTForn=X\nstListForn=_BAD\n"},
      {"choice out of range", header + "[PAG00102]\nrdgPessoa=7\nstListForn=_BAD\n"},
      {"negative value", header + "[PAG00102]\nnedVrLiqIni=-5\nstListForn=_BAD\n"},
      {"value too precise", header + "[PAG00102]\nnedVrLiqFin=1,005\nstListForn=_BAD\n"},
      {"binary", header + "[PAG00102]\nstListForn=" + std::string("\0\1\2", 3)},
      {"too large", header + "[PAG00102]\n#" + std::string(2 << 20, 'x') + "\nstListForn=_BAD\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reopen();
    dialogs.Reset();
    Write(ConfFile(), c.text);
    Slip& f = SlipDialog();
    f.Unit().stListForn = "_KEEP";
    f.rdgPessoa.ItemIndex = 1;
    f.Opcoes.Set("stListForn", "_OLD");
    EXPECT_NO_THROW(f.btfLoadOpcClick());
    EXPECT_EQ(dialogs.Errors().size(), 1u);
    EXPECT_EQ(f.Unit().stListForn, "_KEEP");
    EXPECT_EQ(f.rdgPessoa.ItemIndex, 1);
    EXPECT_TRUE(f.rbtTForn.Checked);
    EXPECT_TRUE(f.Opcoes.empty());
  }

  // A folder where the file should be.
  std::filesystem::remove(ConfFile());
  std::filesystem::create_directories(ConfFile());
  dialogs.Reset();
  EXPECT_NO_THROW(SlipDialog().btfLoadOpcClick());
  EXPECT_EQ(dialogs.Errors().size(), 1u);
}

TEST_F(SavedOptionsTest, SavingReplacesADamagedFile) {
  Write(ConfFile(), "garbage\n");
  SlipDialog().Unit().stListFPag = "_02";
  SlipDialog().btfSaveOpcClick();
  EXPECT_TRUE(dialogs.Errors().empty());
  Reopen();
  SlipDialog().btfLoadOpcClick();
  EXPECT_TRUE(dialogs.Errors().empty());
  EXPECT_EQ(SlipDialog().Unit().stListFPag, "_02");
}

TEST_F(SavedOptionsTest, NothingSavedChangesNothingQuietly) {
  Slip& f = SlipDialog();
  f.Unit().stListForn = "_KEEP";
  f.btfLoadOpcClick();
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(f.Unit().stListForn, "_KEEP");
  // Options of another operator are not this one's.
  f.btfSaveOpcClick();
  session.operador = "BRUNO";
  f.Unit().stListForn = "_OTHER";
  f.btfLoadOpcClick();
  EXPECT_EQ(f.Unit().stListForn, "_OTHER");
}

TEST_F(SavedOptionsTest, AFileThatCannotBeWrittenIsReported) {
  Write(dir.path() / "not-a-folder", "x");
  FilterHost host = Host();
  host.options_folder = dir.path() / "not-a-folder";
  FilterDialogs other(host);
  other.CriaFiltroBoletoCNAB("");
  EXPECT_NO_THROW(other.frmFiltroBoletoCNAB()->btfSaveOpcClick());
  EXPECT_EQ(dialogs.Errors().size(), 1u);
}

TEST(OptionsFileTest, AnyTextRoundTripsOnOneLineEach) {
  TempDir dir;
  OptionsFile file(dir.path());
  const std::vector<std::pair<std::string, std::string>> values = {
      {"equals", "a=b=c"},      {"newline", "line\nbreak\r\n"}, {"backslash", "C:\\dir\\x41"},
      {"sql", "'; DROP TABLE BOLETOPAG; --"}, {"accents", "Conceição"}, {"control", std::string("\x01\x1f\x7f", 3)},
      {"empty", ""},            {"blank", " "}};
  OptionList opts;
  for (const auto& [k, v] : values) opts.Set(k, v);
  file.Save("ANA", "PAG00102", opts);
  auto back = file.Load("ANA", "PAG00102");
  ASSERT_TRUE(back);
  for (const auto& [k, v] : values) EXPECT_EQ(back->Get(k), v) << k;

  std::ifstream in(file.PathFor("ANA"));
  std::string line;
  int lines = 0;
  while (std::getline(in, line)) ++lines;
  EXPECT_EQ(lines, 2 + static_cast<int>(values.size()));
  EXPECT_FALSE(file.Load("ANA", "PAG00101").has_value());
  EXPECT_FALSE(file.Load("BRUNO", "PAG00102").has_value());
}

TEST(OptionsFileTest, OperatorCodeStaysAFileNameInTheFolder) {
  TempDir dir;
  OptionsFile file(dir.path() / "pag00100");
  for (const char* op : {"../../etc/passwd", "a/b", "..", "", "ANA LIMA", "JOSÉ"}) {
    SCOPED_TRACE(op);
    const auto path = file.PathFor(op);
    EXPECT_EQ(path.parent_path(), dir.path() / "pag00100");
    EXPECT_EQ(path.filename().string().find('/'), std::string::npos);
    EXPECT_NE(path.filename(), "..");
    OptionList o;
    o.Set("x", op);
    file.Save(op, "PAG00101", o);
    EXPECT_EQ(file.Load(op, "PAG00101")->Get("x"), op);
  }
  EXPECT_NE(file.PathFor("a/b"), file.PathFor("a%2Fb")) << "distinct codes, distinct files";
}

TEST(OptionsFileTest, DefaultFolderFollowsXdg) {
  const char* old_xdg = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old_xdg ? old_xdg : "";
  setenv("XDG_CONFIG_HOME", "/tmp/xdg-test", 1);
  EXPECT_EQ(OptionsFile::DefaultFolder(), std::filesystem::path("/tmp/xdg-test/pag00100"));
  setenv("XDG_CONFIG_HOME", "relative/not/allowed", 1);
  const char* home = std::getenv("HOME");
  if (home && *home) {
    EXPECT_EQ(OptionsFile::DefaultFolder(), std::filesystem::path(home) / ".config" / "pag00100");
  }
  if (old_xdg) {
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
}

}  // namespace
}  // namespace pag::test
