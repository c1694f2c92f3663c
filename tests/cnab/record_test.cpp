#include "writers/cnab/record.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pag
