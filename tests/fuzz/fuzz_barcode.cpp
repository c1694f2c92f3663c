// The barcode and typed-line helpers under arbitrary input: each either
// answers or refuses with BarcodeError; the pieces of a barcode rebuild it,
// and a typed line made from a barcode gives the barcode back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "host/barcode.h"

namespace {

void Require(bool ok) {
  if (!ok) std::abort();
}

template <typename F>
void Guarded(F f) {
  try {
    f();
  } catch (const pag::BarcodeError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view s(reinterpret_cast<const char*>(data), size);
  Guarded([&] {
    const pag::BarcodePieces p = pag::BarcodePieces::FromBarcode(s);
    const std::string code = p.Barcode();
    Require(code.size() == 44);
    Require(pag::BarcodePieces::FromBarcode(code).Barcode() == code);
    const std::string line = pag::TypedLineFromBarcode(code);
    Require(line.size() == 47);
    Require(pag::BarcodeFromTypedLine(line) == code);
  });
  Guarded([&] {
    const pag::BarcodePieces p = pag::BarcodePieces::FromTypedLine(s);
    Require(p.Barcode().size() == 44);
    Require(pag::BarcodeFromTypedLine(s) == p.Barcode());
  });
  Guarded([&] { (void)pag::BancoCdBarra(s); });
  Guarded([&] { (void)pag::AgenciaCdBarra(s); });
  Guarded([&] { (void)pag::ContaCdBarra(s); });
  Guarded([&] { (void)pag::AccountFromBarcode(s); });
  Guarded([&] { (void)pag::Mod11_B7(s); });
  Guarded([&] { (void)pag::Nr_Codigo(s); });
  (void)pag::IsUtilityBarcode(s);
  (void)pag::BankSlipBarcodeProblem(s);
  (void)pag::TypedLineProblem(s);
  (void)pag::UtilityBarcodeProblem(s);
  (void)pag::UtilityTypedLineProblem(s);
  if (!s.empty()) (void)pag::BarcodeKindKey(s.substr(0, 1), s.substr(1));
  // The check digits take digit strings.
  std::string digits;
  for (char c : s)
    if (c >= '0' && c <= '9') digits.push_back(c);
  if (!digits.empty()) {
    const int m10 = pag::Mod10Digit(digits), b11 = pag::BankSlipMod11Digit(digits), u11 = pag::UtilityMod11Digit(digits);
    Require(m10 >= 0 && m10 <= 9 && b11 >= 1 && b11 <= 9 && u11 >= 0 && u11 <= 9);
  }
  return 0;
}
