#include <gtest/gtest.h>

#include "host/datetime.h"
#include "host/dialogs.h"
#include "host/errors.h"
#include "host/keylist.h"
#include "host/messages.h"
#include "host/session.h"

namespace pag {
namespace {

TEST(TKeyList, AddAccumulatesAndRemoveKeepsTheOrderOfTheRest) {
  TKeyList kl;
  kl.Add("B", 1);
  kl.Add("R", 1);
  kl.Add("B", 1);
  kl.Add("Z", Decimal::Parse("10.50"));
  EXPECT_EQ(kl.Count(), 3);
  EXPECT_EQ(kl.Sum(kl.IndexOf("B")), Decimal(2));
  kl.Add("B", -2);
  EXPECT_EQ(kl.ValueOf("B"), Decimal(0));
  kl.Remove("R");
  kl.Remove("nao existe");
  EXPECT_EQ(kl.Count(), 2);
  EXPECT_EQ(kl.Key(0), "B");
  EXPECT_EQ(kl.Key(1), "Z");
  EXPECT_EQ(kl.IndexOf("R"), -1);
  EXPECT_EQ(kl.Total(), Decimal::Parse("10.50"));
  EXPECT_THROW(kl.Key(2), std::out_of_range);
  kl.Clear();
  EXPECT_EQ(kl.Count(), 0);
}

TEST(TKeyList, ManyRemovalsStayConsistent) {
  TKeyList kl;
  for (int i = 0; i < 1000; ++i) kl.Add(std::to_string(i), i);
  for (int i = 0; i < 1000; i += 2) kl.Remove(std::to_string(i));
  ASSERT_EQ(kl.Count(), 500);
  for (int i = 0; i < 500; ++i) {
    EXPECT_EQ(kl.Key(i), std::to_string(2 * i + 1));
    EXPECT_EQ(kl.IndexOf(std::to_string(2 * i + 1)), i);
  }
  EXPECT_EQ(kl.Total(), Decimal(250000));
}

TEST(TMessages, KeysIgnoreCaseAndMissingKeysComeBack) {
  TMessages m{"Bole_inf|Boleto deve ser informado.", "X|a %s b %s c %%"};
  EXPECT_EQ(m.Msg("BOLE_INF"), "Boleto deve ser informado.");
  EXPECT_EQ(m.Msg("Sem_Texto"), "Sem_Texto");
  EXPECT_EQ(m.Format("x", {"1"}), "a 1 b  c %");
}

TEST(Dialogs, MensErroShowsThenAbortsWithTheKey) {
  ScriptedDialogs dlg;
  try {
    MensErro(dlg, "Boleto deve ser informado.", true, "Bole_inf");
    FAIL();
  } catch (const Abort& a) {
    EXPECT_EQ(a.key(), "Bole_inf");
  }
  MensErro(dlg, "segue", false);
  EXPECT_EQ(dlg.Errors(), (std::vector<std::string>{"Boleto deve ser informado.", "segue"}));
  dlg.answers = {kMrNo};
  EXPECT_EQ(dlg.ShowMsg("?", MsgType::kConfirmation, Buttons::kYesNo, kMrYes), kMrNo);
  EXPECT_EQ(dlg.ShowMsg("?", MsgType::kConfirmation, Buttons::kYesNo, kMrYes), kMrYes);  // default when unscripted
  std::vector<std::string> picked;
  EXPECT_FALSE(dlg.PesquisaLista({}, picked));
}

TEST(DateTime, LayoutPatterns) {
  DateTime t = DateTime::Make(2026, 12, 6, 14, 30, 5);
  struct C {
    const char* pattern;
    const char* text;
  } cases[] = {{"ddmmyyyy", "06122026"}, {"yyyymmdd", "20261206"}, {"ddmmyy", "061226"},
               {"hhmmss", "143005"},     {"hh:mm", "14:30"},       {"dd/mm/yyyy hh:nn:ss", "06/12/2026 14:30:05"}};
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(t, c.pattern), c.text) << c.pattern;
  EXPECT_EQ(ParseDateTime("2026-12-06T14:30:05"), t);
  EXPECT_FALSE(ParseDate("2026-02-30"));
  EXPECT_FALSE(ParseDateTime("2026-12-06T24:00:00"));
  EXPECT_EQ(DaysBetween(MakeDate(2026, 12, 1), MakeDate(2027, 1, 1)), 31);
}

TEST(Session, FixedClockAndProcessingDates) {
  Session s;
  s.clock.Fix(DateTime::Make(2026, 12, 6, 9, 0, 0));
  s.processing_dates["0002"] = MakeDate(2026, 12, 1);
  EXPECT_EQ(s.DataProc("0001"), MakeDate(2026, 12, 6));
  EXPECT_EQ(s.DataProc("0002"), MakeDate(2026, 12, 1));
  EXPECT_TRUE(s.AcessoOperEmpresa("01", "ANA"));
  s.operator_access = [](const std::string& c, const std::string&) { return c == "01"; };
  EXPECT_FALSE(s.AcessoOperEmpresa("02", "ANA"));
}

}  // namespace
}  // namespace pag
