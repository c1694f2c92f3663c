// A generated remittance store for the end-to-end benchmarks and the
// reliability tests: one company with one branch, a Banco do Brasil account
// (001) with its agreement and payer identification, three payment kinds
// (bank slips, credits in account, TEDs) and n slips that every check of the
// remittance screen accepts, each with the payable that makes its value.
//
//   std::string json = RemitStoreJson(10000);
//   pag::Store store(path, pag::Store::Mode::kCreate);
//   pag::ImportJson(store, json);
//   // pag00100 remit --db path --company 01 --account 001 --slips all
//   //   --out rem.txt --date 2026-12-06 --clock 2026-12-06T14:30:05
//
// Slip i (1-based) is branch 0001, entry i written in 10 digits. Two slips
// in four are bank slips (of Banco do Brasil and of Itaú, with sound
// barcodes), one a credit to a Banco do Brasil account, one a TED to
// another bank. Their due dates fall around the processing date
// 2026-12-06, so the slip filter's default window offers all of them.
#pragma once

#include <cstdio>
#include <string>

#include "host/barcode.h"

namespace pag::bench {

inline std::string RemitEntry(int i) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%010d", i);
  return buf;
}

// A bank slip's barcode: bank, currency 9, check digit, due-date factor,
// the amount in cents and a free field made of the entry number.
inline std::string RemitBarcode(const std::string& bank, int factor, long long cents, int entry) {
  char body[64];
  std::snprintf(body, sizeof body, "%s9%04d%010lld%025d", bank.c_str(), factor, cents, entry);
  const std::string without(body);  // 43 digits: the check digit goes at position 5
  const int dv = BankSlipMod11Digit(without);
  return without.substr(0, 4) + std::to_string(dv) + without.substr(4);
}

// n slips of `suppliers` suppliers. The legal name of supplier F0 may be
// given (a JSON string body, escaped by the caller); the others are plain.
inline std::string RemitStoreJson(int slipCount, int supplierCount = 50, const std::string& firstSupplierName = {}) {
  struct {
    int slips, suppliers;
    const std::string& firstSupplierName;
  } o{slipCount, supplierCount, firstSupplierName};
  std::string j;
  j.reserve(static_cast<std::size_t>(o.slips) * 700 + 4096);
  j += R"({"format":1,)";
  j += R"("companies":[{"CDEMPRESA":"01","NMEMPRESA":"ACME COMERCIO","IDTPIJUREMPR":"J",)"
       R"("NMRAZSOCEMPR":"ACME COMERCIO DE PECAS LTDA","DSENDEEMPR":"RUA DAS FLORES, 100","SGESTADO":"SP",)"
       R"("NMMUNICIPIO":"SAO PAULO","NRINSJUREMPR":"12.345.678/0001-95","NRCEPEMPR":"01001-000"}],)";
  j += R"("branches":[{"CDFILIAL":"0001","CDEMPRESA":"01","NMFILIAL":"MATRIZ","IDTPIJURFILI":"J",)"
       R"("NRINSJURFILI":"12.345.678/0001-95","NMRAZSOCFILI":"ACME COMERCIO DE PECAS LTDA",)"
       R"("DSENDEFILI":"RUA DAS FLORES, 100","NMMUNICIPIO":"SAO PAULO","SGESTADO":"SP","NRCEPFILI":"01001-000"}],)";
  j += R"("banks":[{"CDBANCO":"001","NMBANCO":"BANCO DO BRASIL S.A.","CDBANCCNAB":"001",)"
       R"("CDPICTCONT":"99999999-9","CDPICTAGEN":"9999-9"},)"
       R"({"CDBANCO":"341","NMBANCO":"ITAU UNIBANCO S.A.","CDPICTCONT":"99999-9","CDPICTAGEN":"9999"},)"
       R"({"CDBANCO":"237","NMBANCO":"BANCO BRADESCO S.A.","CDPICTCONT":"9999999-9","CDPICTAGEN":"9999-9"}],)";
  j += R"("accounts":[{"CDREDUCONT":"001","CDEMPRESA":"01","CDBANCO":"001","CDAGENCIA":"98426",)"
       R"("CDCONTCORR":"103508414","DSCONTCORR":"BB MOVIMENTO","CDBANCCNAB":"001","IDFASCNABPAG":"P"}],)";
  j += R"("account_ids":[{"CDREDUCONT":"001","CDIDPAGCONTCORR":"000987654"}],)";
  j += R"("agreements":[{"CDEMPRESA":"01","CDBANCO":"001","CDEMPBANCPAG":"000987654","IDPADRAGENCNABPAG":"1",)"
       R"("IDPADRCNABPAG":"1","DSARQBORDPAG":"BORDPAG.QR2"}],)";
  j += R"("settings":[{"CDGERALPAG":"1","QTDIAANTBOLP":30,"QTDIAAPOBOLP":30,"IDHABIBOLE":"S","IDUTCTRLCANREMP":"S"}],)";
  j += R"("payment_kinds":[{"CDTPBAIXAPAG":"01","NMTPBAIXAPAG":"BOLETO BANCARIO","IDBAIXAUTILP":"B"},)"
       R"({"CDTPBAIXAPAG":"13","NMTPBAIXAPAG":"CREDITO EM CONTA","IDBAIXAUTILP":"C"},)"
       R"({"CDTPBAIXAPAG":"16","NMTPBAIXAPAG":"TED","IDBAIXAUTILP":"T"}],)";
  j += R"("operators":[{"CDOPERADOR":"ANA","NMOPERADOR":"ANA LIMA"}],)";
  j += R"("operator_companies":[{"CDOPERADOR":"ANA","CDEMPRESA":"01"}],)";
  j += R"("suppliers":[)";
  for (int s = 0; s < o.suppliers; ++s) {
    const std::string name = s == 0 && !o.firstSupplierName.empty()
                                 ? o.firstSupplierName
                                 : "FORNECEDOR " + std::to_string(s) + " LTDA";
    j += s ? "," : "";
    j += R"({"CDFORNECED":"F)" + std::to_string(s) + R"(","NMRAZSOCFORN":")" + name +
         R"(","IDTPIJURFORN":"J","NRINSJURFORN":"11.222.333/0001-81"})";
  }
  j += R"(],"supplier_addresses":[)";
  for (int s = 0; s < o.suppliers; ++s) {
    j += s ? "," : "";
    j += R"({"CDFORNECED":"F)" + std::to_string(s) +
         R"(","IDTPENDEFORN":"C","DSENDEFORN":"RUA DO COMERCIO, 45","NMBAIRFORN":"BRAS","NRCEPFORN":"03001-000",)"
         R"("SGESTADO":"SP"})";
  }
  std::string slips, payables;
  slips.reserve(static_cast<std::size_t>(o.slips) * 450);
  payables.reserve(static_cast<std::size_t>(o.slips) * 150);
  for (int i = 1; i <= o.slips; ++i) {
    const std::string e = RemitEntry(i);
    const std::string sep = i > 1 ? "," : "";
    const long long cents = 1000 + (static_cast<long long>(i) * 7919) % 400000;  // 10.00 to 4009.99
    char value[32];
    std::snprintf(value, sizeof value, "%lld.%02lld", cents / 100, cents % 100);
    const int day = 1 + i % 28;  // 2026-12-01 .. 2026-12-28
    char due[16];
    std::snprintf(due, sizeof due, "2026-12-%02d", day);
    const int factor = 1646 + day;  // 2026-12-01 is factor 1647 (see docs/demo-store.md)
    slips += sep + R"({"CDFILIBPAG":"0001","NRLANBOLPAG":")" + e + R"(","CDEMPRESA":"01","CDFORNECED":"F)" +
             std::to_string(i % o.suppliers) + R"(","CDREDUCONT":"001","VRFINALBPAG":")" + value +
             R"(","DTVENBOLPAG":")" + due + "\"";
    switch (i % 4) {
      case 0:
      case 1:
        slips += R"(,"CDTPBAIXAPAG":"01","CDBARRAPAG":")" + RemitBarcode(i % 4 ? "001" : "341", factor, cents, i) +
                 "\"";
        break;
      case 2:
        slips += R"(,"CDTPBAIXAPAG":"13","CDBANCBOLP":"001","CDAGENBOLP":"1234","CDCCORBOLP":"12345-6")";
        break;
      default:
        slips += R"(,"CDTPBAIXAPAG":"16","CDBANCBOLP":"237","CDAGENBOLP":"4321","CDCCORBOLP":"654321-0")";
        break;
    }
    slips += "}";
    payables += sep + R"({"CDFILIBPAG":"0001","NRLANBOLPAG":")" + e + R"(","FILORIG":"0001","DOCUMENTO":"DOC)" + e +
                R"(","VRCONTA":")" + value + R"("})";
  }
  j += "],\"slips\":[" + slips + "],\"slip_payables\":[" + payables + "]}";
  return j;
}

}  // namespace pag::bench
