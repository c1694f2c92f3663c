#include "writers/cnab/fields.h"

#include <gtest/gtest.h>

#include "host/errors.h"
#include "host/text.h"

namespace pag {
namespace {

struct TextCase {
  const char* in;
  const char* out;
};

TEST(CampoValido, MapsEachCharacterToOnePrintablePosition) {
  const TextCase cases[] = {
      {"José da Conceição & Cia.", "JOSE DA CONCEICAO   CIA."},
      {"rua das flores, 12 - apto 3/4", "RUA DAS FLORES, 12 - APTO 3/4"},
      {"50% C\\D", "50% C\\D"},
      {"ÀÁÂÃÄàáâãä", "AAAAAAAAAA"},
      {"ÈÉÊËèéêë", "EEEEEEEE"},
      {"ÌÍÎÏìíîï", "IIIIIIII"},
      {"ÒÓÔÕÖòóôõö", "OOOOOOOOOO"},
      {"ÙÚÛÜùúûü", "UUUUUUUU"},
      {"Çç", "CC"},
      // Letters the host never mapped become blanks, like every symbol.
      {"ÅåÑñÿß", "      "},
      {"a&b*c_d(e)f#g@h!i?j:k;l'm\"n", "A B C D E F G H I J K L M N"},
      {"tab\there\r\nend", "TAB HERE  END"},
      {"€ 10", "  10"},
      {"😀x", " X"},
      // Latin-1 bytes that are not UTF-8 count as one character each.
      {"JOS\xC9 CONCEI\xC7\xC3O", "JOSE CONCEICAO"},
      {"\xC3(", "A "},
      {"", ""},
  };
  for (const auto& c : cases) {
    const std::string out = CampoValido(c.in);
    EXPECT_EQ(out, c.out) << c.in;
    EXPECT_EQ(out.size(), TextLength(c.in)) << c.in;
    for (char ch : out) EXPECT_TRUE(ch >= 0x20 && ch <= 0x7E) << c.in;
  }
}

TEST(NovosCamposValidos, KeepsOnlyLettersAndDigits) {
  const TextCase cases[] = {
      {"12.345.678/0001-95", "12345678000195"},
      {"123.456.789-09", "12345678909"},
      {"01310-100", "01310100"},
      {"chave.pix@empresa.com.br", "CHAVEPIXEMPRESACOMBR"},
      {"São João - SP", "SAOJOAOSP"},
      {"Ñandú", "ANDU"},  // Ñ is not mapped, ú is
      {"  ", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(NovosCamposValidos(c.in), c.out) << c.in;
}

struct AmountTextCase {
  const char* value;
  int width;
  const char* out;
};

TEST(VirgDeciAssu, SplitsAtTheFirstSeparatorAndZeroFills) {
  const AmountTextCase cases[] = {
      {"123,45", 15, "000000000012345"},
      {"123.45", 15, "000000000012345"},
      {"0,00", 15, "000000000000000"},
      {"0.01", 2, "001"},  // wider than the field: Ajusta drops the zero
      // A thousands point and a decimal comma: only the comma is taken out.
      {"1.234,56", 10, "0001.23456"},
      // More digits than the width: no zeros, nothing cut.
      {"1234567,89", 5, "123456789"},
      // No separator at all: width + 1 characters.
      {"1234", 5, "001234"},
      {"", 3, "0000"},
      // The count uses the trimmed value, the split the value as given.
      {" 12,50", 6, "00 1250"},
  };
  for (const auto& c : cases) EXPECT_EQ(VirgDeciAssu(c.value, c.width), c.out) << c.value << " / " << c.width;
}

TEST(AmountField, GivesCentsInExactlyTheWidth) {
  struct Case {
    std::int64_t cents;
    int width;
    const char* out;
  };
  const Case cases[] = {
      {12345, 15, "000000000012345"}, {0, 15, "000000000000000"}, {1, 2, "01"},
      {99999, 5, "99999"},            {500000, 10, "0000500000"},  {123456789012345, 15, "123456789012345"},
  };
  for (const auto& c : cases) EXPECT_EQ(AmountField(Money::FromCents(c.cents), c.width), c.out) << c.cents;
}

TEST(AmountField, RefusesNegativeAndOversizedAmounts) {
  EXPECT_THROW(AmountField(Money::FromCents(-1), 15), FieldError);
  try {
    AmountField(Money::FromCents(100000), 5);
    FAIL() << "an amount was cut";
  } catch (const FieldError& e) {
    EXPECT_NE(std::string(e.what()).find("1000.00"), std::string::npos) << e.what();
  }
}

struct SplitCase {
  const char* value;
  const char* picture;
  const char* number;
  const char* check;
};

TEST(AccountSplit, CutsAtTheDashOfThePicture) {
  const SplitCase cases[] = {
      {"123457", "99999-9", "12345", "7"},
      {"  123457 ", "99999-9", "12345", "7"},
      {"123457", "999999", "123457", " "},   // no dash: whole value, blank digit
      {"12345X", "99999-X", "12345", "X"},
      {"1234567", "9999-999", "1234", "567"},
      {"12", "9999-9", "12", ""},            // value shorter than the picture
      {"", "99999-9", "", ""},
      {"123", "-999", "", "123"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Retorna_ContaCorrente(c.value, c.picture), c.number) << c.value << " " << c.picture;
    EXPECT_EQ(Retorna_DAC_ContaCorrente(c.value, c.picture), c.check) << c.value << " " << c.picture;
    EXPECT_EQ(Retorna_Agencia(c.value, c.picture), c.number) << c.value << " " << c.picture;
    EXPECT_EQ(Retorna_DV_Agencia(c.value, c.picture), c.check) << c.value << " " << c.picture;
  }
  EXPECT_EQ(Retorna_Agencia("0123", "9999"), "0123");
  EXPECT_EQ(Retorna_DV_Agencia("0123", "9999"), " ");
  EXPECT_EQ(Retorna_Agencia("01234", "9999-9"), "0123");
  EXPECT_EQ(Retorna_DV_Agencia("01234", "9999-9"), "4");
}

}  // namespace
}  // namespace pag
