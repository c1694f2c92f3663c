#include "writers/cnab/record.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "host/errors.h"
#include "writers/cnab/fields.h"

namespace pag {
namespace {

const RecordContext kCtx{"Banco do Brasil (001)", "0001/0000001234"};

// The message of the FieldError that `f` throws; fails the test otherwise.
template <typename F>
std::string ErrorOf(F f) {
  try {
    f();
  } catch (const FieldError& e) {
    return e.what();
  }
  ADD_FAILURE() << "no FieldError";
  return {};
}

void ExpectMentions(const std::string& message, std::initializer_list<const char*> parts) {
  for (const char* p : parts) EXPECT_NE(message.find(p), std::string::npos) << "'" << p << "' missing in: " << message;
}

TEST(Record, BuildsAFullRecordFieldByField) {
  Record rec(kCtx, "Segmento A", 240);
  rec.num(1, 3, "001");
  rec.num(4, 7, 12);
  rec.lit(8, 8, "3");
  rec.text(9, 38, "José da Conceição & Cia.");
  rec.blank(39, 43);
  rec.zeros(44, 50);
  rec.amount(51, 65, Money::FromCents(123456));
  rec.date(66, 73, MakeDate(2026, 12, 6), "ddmmyyyy");
  rec.digits(74, 87, "12.345.678/0001-95");
  rec.plain(88, 107, "0001 0000001234");
  rec.date(108, 113, DateTime::Make(2026, 12, 6, 14, 30, 5), "hhmmss");
  rec.date(114, 121, std::nullopt, "yyyymmdd");
  rec.raw(122, 240, std::string(119, ' '));
  const std::string expected = std::string("001") + "0012" + "3" + "JOSE DA CONCEICAO   CIA.      " + "     " +
                               "0000000" + "000000000123456" + "06122026" + "12345678000195" +
                               "0001 0000001234     " + "143005" + "00000000" + std::string(119, ' ');
  ASSERT_EQ(expected.size(), 240u);
  EXPECT_EQ(rec.finish(), expected);
}

TEST(Record, NumericFieldsZeroFillAndNeverCutASignificantDigit) {
  struct Case {
    const char* value;
    const char* out;  // nullptr: refused
  };
  const Case cases[] = {
      {"1", "00001"},      {"  42 ", "00042"}, {"", "00000"},       {"0000012345", "12345"},
      {"12345", "12345"},  {"123456", nullptr}, {"0100000", nullptr}, {"1-2", "001-2"},
      {"12é", nullptr},    {"1\t2", nullptr},
  };
  for (const auto& c : cases) {
    Record rec(kCtx, "R", 5);
    if (c.out == nullptr) {
      EXPECT_THROW(rec.num(1, 5, c.value), FieldError) << c.value;
      continue;
    }
    rec.num(1, 5, c.value);
    EXPECT_EQ(rec.finish(), c.out) << c.value;
  }
  Record rec(kCtx, "R", 5);
  rec.num(1, 5, std::int64_t{99999});
  EXPECT_EQ(rec.finish(), "99999");
  Record negative(kCtx, "R", 5);
  EXPECT_THROW(negative.num(1, 5, -1), FieldError);
  Record tooBig(kCtx, "R", 5);
  EXPECT_THROW(tooBig.num(1, 5, 100000), FieldError);
}

TEST(Record, DigitsKeepsOnlyDigitsThenNumericRules) {
  struct Case {
    const char* value;
    int width;
    const char* out;  // nullptr: refused
  };
  const Case cases[] = {
      {"12.345.678/0001-95", 14, "12345678000195"}, {"12.345.678/0001-95", 15, "012345678000195"},
      {"000.123.456/0001-95", 14, "00123456000195"}, {"", 3, "000"},
      {"123.456.789-01", 10, nullptr},               {"CPF: 123.456.789-09 ", 11, "12345678909"},
  };
  for (const auto& c : cases) {
    Record rec(kCtx, "R", c.width);
    if (c.out == nullptr) {
      EXPECT_THROW(rec.digits(1, Col::Computed(c.width), c.value), FieldError) << c.value;
      continue;
    }
    rec.digits(1, Col::Computed(c.width), c.value);
    EXPECT_EQ(rec.finish(), c.out) << c.value;
  }
}

TEST(Record, TextIsCleanedPaddedAndCutPlainTextIsCheckedNotCleaned) {
  struct Case {
    const char* value;
    const char* text;
  };
  const Case cases[] = {
      {"Conceição", "CONCEICAO "}, {"ABCDEFGHIJKLM", "ABCDEFGHIJ"}, {"ÇÃO", "CAO       "},
      {"a&b", "A B       "},        {"", "          "},
  };
  for (const auto& c : cases) {
    Record rec(kCtx, "R", 10);
    rec.text(1, 10, c.value);
    EXPECT_EQ(rec.finish(), c.text) << c.value;
  }
  Record plain(kCtx, "R", 10);
  plain.plain(1, 10, "a_b@c.d  XYZ");  // written as given, cut at the width
  EXPECT_EQ(plain.finish(), "a_b@c.d  X");
  Record accented(kCtx, "R", 10);
  EXPECT_THROW(accented.plain(1, 10, "Conceição"), FieldError);
}

TEST(Record, AmountsAgreeWithAmountField) {
  const std::int64_t cents[] = {0, 1, 99, 100, 123456, 999999999999999};
  for (std::int64_t c : cents) {
    Record rec(kCtx, "R", 15);
    rec.amount(1, 15, Money::FromCents(c));
    EXPECT_EQ(rec.finish(), AmountField(Money::FromCents(c), 15)) << c;
  }
  Record tooBig(kCtx, "R", 5);
  EXPECT_THROW(tooBig.amount(1, 5, Money::FromCents(100000)), FieldError);
  Record negative(kCtx, "R", 5);
  ExpectMentions(ErrorOf([&] { negative.amount(1, 5, Money::FromCents(-250), "Valor"); }),
                 {"-2.50", "negative", "Valor"});
}

TEST(Record, DatesFollowTheirPatternAndEmptyDatesAreZeros) {
  const Date d = MakeDate(2026, 3, 7);
  const DateTime dt = DateTime::Make(2026, 3, 7, 9, 5, 1);
  struct Case {
    const char* pattern;
    const char* out;
  };
  const Case cases[] = {{"ddmmyyyy", "07032026"}, {"yyyymmdd", "20260307"}, {"ddmmyy", "070326"},
                        {"hhmmss", "090501"},     {"mmyyyy", "032026"},     {"hh:mm", "09:05"}};
  for (const auto& c : cases) {
    const int w = static_cast<int>(std::string_view(c.pattern).size());
    Record rec(kCtx, "R", w);
    rec.date(1, Col::Computed(w), dt, c.pattern);
    EXPECT_EQ(rec.finish(), c.out) << c.pattern;
    EXPECT_EQ(FormatDateTime(dt, c.pattern), c.out) << c.pattern;
  }
  Record dateOnly(kCtx, "R", 8);
  dateOnly.date(1, 8, std::optional<Date>(d), "ddmmyyyy");
  EXPECT_EQ(dateOnly.finish(), "07032026");
  Record empty(kCtx, "R", 14);
  empty.date(1, 8, std::optional<Date>(), "ddmmyyyy");
  empty.date(9, 14, std::optional<DateTime>(), "hhmmss");
  EXPECT_EQ(empty.finish(), "00000000000000");
  Record narrow(kCtx, "R", 6);
  ExpectMentions(ErrorOf([&] { narrow.date(1, 6, d, "ddmmyyyy", "Data"); }), {"ddmmyyyy", "Data", "1-6"});
  Record invalid(kCtx, "R", 8);
  EXPECT_THROW(invalid.date(1, 8, MakeDate(2026, 2, 30), "ddmmyyyy"), FieldError);
}

TEST(Record, RefusesGapsOverlapsAndRecordsOfTheWrongWidth) {
  {
    Record rec(kCtx, "Segmento A", 240);
    rec.num(1, 3, "001");
    ExpectMentions(ErrorOf([&] { rec.num(5, 7, "1", "Lote de servico"); }),
                   {"Banco do Brasil (001)", "Segmento A", "5-7", "Lote de servico", "gap", "3", "0001/0000001234"});
  }
  {
    Record rec(kCtx, "Segmento A", 240);
    rec.num(1, 3, "001");
    ExpectMentions(ErrorOf([&] { rec.num(3, 7, "1", "Lote"); }), {"3-7", "Lote", "overlaps"});
  }
  {
    Record rec(kCtx, "Segmento A", 240);
    rec.num(1, 3, "001");
    rec.blank(4, 230);
    ExpectMentions(ErrorOf([&] { rec.finish(); }), {"Segmento A", "230", "240"});
  }
  {
    Record rec(kCtx, "Segmento A", 240);
    rec.blank(1, 239);
    ExpectMentions(ErrorOf([&] { rec.blank(240, 241, "Brancos"); }), {"240-241", "width"});
  }
  {
    Record rec(kCtx, "Segmento A", 240);
    ExpectMentions(ErrorOf([&] { rec.blank(5, 3); }), {"5-3", "before it starts"});
  }
  EXPECT_THROW(Record(kCtx, "Too wide", kMaxRecordWidth + 1), FieldError);
}

TEST(Record, ErrorsNameFieldValueAndSlip) {
  Record rec(kCtx, "Segmento J", 240);
  rec.num(1, 3, "001");
  ExpectMentions(ErrorOf([&] { rec.num(4, 7, "12345", "Lote"); }),
                 {"Banco do Brasil (001)", "Segmento J", "4-7", "Lote", "'12345'", "does not fit", "0001/0000001234"});
  Record literal(kCtx, "Header", 240);
  ExpectMentions(ErrorOf([&] { literal.lit(1, 3, "01", "Banco"); }), {"1-3", "Banco", "'01'", "literal"});
  Record raw(kCtx, "Header", 240);
  ExpectMentions(ErrorOf([&] { raw.raw(1, 3, "0011", "Banco"); }), {"'0011'", "4 characters for 3"});
  Record control(kCtx, "Header", 240);
  ExpectMentions(ErrorOf([&] { control.raw(1, 3, "0\n1", "Banco"); }), {"\\x0A", "printable ASCII"});
  Record utf8(kCtx, "Header", 240);
  ExpectMentions(ErrorOf([&] { utf8.lit(1, 3, "Nº", "Banco"); }), {"printable ASCII", "Banco"});
  // Without a slip (headers and trailers) the message has none.
  const RecordContext header{"Itaú (341)", ""};
  Record h(header, "Header de arquivo", 240);
  const std::string m = ErrorOf([&] { h.num(1, 3, "3410"); });
  EXPECT_EQ(m.find("slip"), std::string::npos) << m;
}

constexpr FieldSpec kTrailerFields[] = {
    {1, 3, "Banco"}, {4, 7, "Lote"}, {8, 8, "Registro"}, {9, 17, "CNAB"}, {18, 23, "Quantidade de lotes"},
    {24, 29, "Quantidade de registros"}, {30, 240, "CNAB"}};
constexpr Layout kTrailer("Trailer de arquivo", 240, kTrailerFields);
static_assert(kTrailer.width() == 240 && kTrailer.size() == 7);

TEST(Record, FollowsALayoutCheckedAtCompileTime) {
  Record rec(kCtx, kTrailer);
  rec.num(1, 3, "001");
  rec.lit(4, 7, "9999");
  rec.lit(8, 8, "9");
  rec.blank(9, 17);
  rec.num(18, 23, 1);
  rec.num(24, 29, 4);
  rec.blank(30, 240);
  EXPECT_EQ(rec.finish(), "00199999         000001000004" + std::string(211, ' '));

  Record wrong(kCtx, kTrailer);
  wrong.num(1, 3, "001");
  ExpectMentions(ErrorOf([&] { wrong.num(4, 8, "1"); }), {"4-8", "layout", "4-7 (Lote)"});

  Record unnamed(kCtx, kTrailer);
  unnamed.num(1, 3, "001");
  ExpectMentions(ErrorOf([&] { unnamed.num(4, 7, "12345"); }), {"Trailer de arquivo", "4-7 (Lote)", "'12345'"});

  Record shortOne(kCtx, kTrailer);
  shortOne.num(1, 3, "001");
  ExpectMentions(ErrorOf([&] { shortOne.finish(); }), {"4-7 (Lote)"});
}

// Every refusal, word for word: the common values are written inline and
// the rest by a general path, and both must raise the same message, naming
// the layout's field when the call names none.
constexpr FieldSpec kTestRows[] = {{1, 3, "Banco"},   {4, 8, "Lote"}, {9, 9, "Registro"}, {10, 24, "Valor"},
                                   {25, 32, "Data"},  {33, 40, "Nome"}, {41, 41, "DV"}};
constexpr Layout kTest("Segmento T", 41, kTestRows);

TEST(Record, RefusalsWordForWord) {
  const RecordContext ctx{"Banco (999)", "0001/0000001234"};
  // The fields before the one tried: bank, batch, type, amount, date, name.
  auto upTo = [](Record& r, int fields) {
    if (fields > 0) r.num(1, 3, "001");
    if (fields > 1) r.num(4, 8, "1");
    if (fields > 2) r.lit(9, 9, "3");
    if (fields > 3) r.zeros(10, 24);
    if (fields > 4) r.zeros(25, 32);
    if (fields > 5) r.blank(33, 40);
  };
  struct Case {
    int before;
    std::function<void(Record&)> field;
    const char* message;  // after "Banco (999), Segmento T, positions "
  };
  const Case cases[] = {
      {0, [](Record& r) { r.num(1, 3, "1234"); }, "1-3 (Banco): value '1234' does not fit in 3 positions"},
      {0, [](Record& r) { r.num(1, 3, " 12\x7f "); },
       "1-3 (Banco): value ' 12\\x7F ' has a character that is not printable ASCII"},
      {0, [](Record& r) { r.num(1, 3, "0001234", "Meu"); },
       "1-3 (Meu): value '0001234' does not fit in 3 positions"},
      {1, [](Record& r) { r.num(4, 8, std::int64_t{-12}); }, "4-8 (Lote): value '-12' is negative"},
      {1, [](Record& r) { r.num(4, 8, std::int64_t{123456}); },
       "4-8 (Lote): value '123456' does not fit in 5 positions"},
      {2, [](Record& r) { r.lit(9, 9, "33"); },
       "9-9 (Registro): value '33' is a literal of 2 characters for 1 positions"},
      {2, [](Record& r) { r.lit(9, 9, "\n"); },
       "9-9 (Registro): value '\\x0A' has a character that is not printable ASCII"},
      {2, [](Record& r) { r.raw(9, 9, "ab"); }, "9-9 (Registro): value 'ab' has 2 characters for 1 positions"},
      {2, [](Record& r) { r.plain(9, 9, "\t"); },
       "9-9 (Registro): value '\\x09' has a character that is not printable ASCII"},
      {3, [](Record& r) { r.amount(10, 24, Money::FromCents(-5)); },
       "10-24 (Valor): value '-0.05' is a negative amount"},
      {3, [](Record& r) { r.amount(10, 24, Money::FromCents(1'000'000'000'000'000)); },
       "10-24 (Valor): value '10000000000000.00' is an amount that does not fit in 15 positions"},
      {4, [](Record& r) { r.date(25, 32, MakeDate(2026, 2, 30), "ddmmyyyy"); },
       "25-32 (Data): holds a date that does not exist"},
      {4, [](Record& r) { r.date(25, 32, MakeDate(10000, 1, 1), "yyyymmdd"); },
       "25-32 (Data): holds a year that has no four digits"},
      {4, [](Record& r) { r.date(25, 32, MakeDate(2026, 1, 1), "ddmmyy"); },
       "25-32 (Data): value 'ddmmyy' is a date pattern of 6 characters for 8 positions"},
      {4, [](Record& r) { r.date(25, 32, std::nullopt, "ddmmyyy\x01"); },
       "25-32 (Data): value 'ddmmyyy\\x01' is a date pattern with a character that is not printable ASCII"},
      {5, [](Record& r) { r.digits(33, 40, "1.234.567.890"); },
       "33-40 (Nome): value '1.234.567.890' has more than 8 significant digits"},
      {6, [](Record& r) { r.num(41, 41, "x y"); }, "41-41 (DV): value 'x y' does not fit in 1 positions"},
  };
  for (const Case& c : cases) {
    Record rec(ctx, kTest);
    upTo(rec, c.before);
    EXPECT_EQ(ErrorOf([&] { c.field(rec); }),
              std::string("Banco (999), Segmento T, positions ") + c.message + "; slip 0001/0000001234");
  }
}

TEST(Record, FastAndGeneralPathsWriteTheSame) {
  // Numbers: blanks around are trimmed, leading zeros past the width dropped.
  struct Num {
    const char* value;
    const char* out;
  };
  for (const Num& c : {Num{"", "00000"}, Num{" 1", "00001"}, Num{"1 ", "00001"}, Num{"  ", "00000"},
                       Num{"0012345", "12345"}, Num{"a-b", "00a-b"}}) {
    Record rec(kCtx, "R", 5);
    rec.num(1, 5, c.value);
    EXPECT_EQ(rec.finish(), c.out) << "'" << c.value << "'";
  }
  // Text: each character mapped one by one as the host decodes it,
  // whatever its encoding (UTF-8 of two, three and four bytes, overlong
  // forms, cut sequences, Latin-1 bytes), then blanks; CampoValido agrees.
  for (const char* v : {"Jos\xc3\xa9 \xc3\x87\xc3\xa3o", "\xc1\x81xyz", "\xe2\x82\xac \xc3", "\xc3\x28" "ab",
                        "\xf0\x9f\x98\x80x", "\xe7\xe3o!", "\xc4\x80\xc2\xa0z", "a\xc3", "\xdf\xbf\xc2\x7f"}) {
    const std::string_view s(v);
    std::string mapped;
    for (std::size_t i = 0; i < s.size();) mapped.push_back(cnab_detail::CleanChar(cnab_detail::NextChar(s, i)));
    EXPECT_EQ(CampoValido(v), mapped) << v;
    Record rec(kCtx, "R", 8);
    rec.text(1, 8, v);
    std::string expected = mapped.substr(0, 8);
    expected.resize(8, ' ');
    EXPECT_EQ(rec.finish(), expected) << v;
  }
  // Amounts and dates at the edges of their widths.
  Record amount(kCtx, "R", 15);
  amount.amount(1, 15, Money::FromCents(999'999'999'999'999));
  EXPECT_EQ(amount.finish(), "999999999999999");
  struct Day {
    Date date;
    const char* pattern;
    const char* out;
  };
  for (const Day& c : {Day{MakeDate(1, 1, 1), "ddmmyyyy", "01010001"},
                       Day{MakeDate(9999, 12, 31), "yyyymmdd", "99991231"},
                       Day{MakeDate(0, 3, 4), "yyyymmdd", "00000304"},
                       Day{MakeDate(2026, 12, 6), "mmddyyyy", "12062026"}}) {
    Record rec(kCtx, "R", 8);
    rec.date(1, 8, c.date, c.pattern);
    EXPECT_EQ(rec.finish(), c.out) << c.pattern;
  }
}

TEST(Record, TheSlipIsNamedByItsBranchAndEntryWhenAnErrorIsRaised) {
  RecordContext ctx{"Banco (999)", {}};
  std::string branch = " 0001 ";
  std::string entry = "0000001234  ";
  ctx.slip.Set(branch, entry);
  EXPECT_FALSE(ctx.slip.empty());
  EXPECT_EQ(ctx.slip.str(), "0001/0000001234");
  Record rec(ctx, "R", 3);
  EXPECT_EQ(ErrorOf([&] { rec.num(1, 3, "1234"); }),
            "Banco (999), R, positions 1-3: value '1234' does not fit in 3 positions; slip 0001/0000001234");
  // A slip whose branch and entry are empty is still named; a cleared one is not.
  ctx.slip.Set("", "");
  EXPECT_EQ(ctx.slip.str(), "/");
  Record blank(ctx, "R", 3);
  EXPECT_NE(ErrorOf([&] { blank.finish(); }).find("; slip /"), std::string::npos);
  ctx.slip.Clear();
  EXPECT_TRUE(ctx.slip.empty());
  Record none(ctx, "R", 3);
  EXPECT_EQ(ErrorOf([&] { none.finish(); }), "Banco (999), R: no field was written, the record is 3 positions wide");
  // A label given whole is named as it is, and replaces the branch and entry.
  ctx.slip.Set(branch, entry);
  ctx.slip = SlipName("lote 7");
  EXPECT_EQ(ctx.slip.str(), "lote 7");
}

}  // namespace
}  // namespace pag
