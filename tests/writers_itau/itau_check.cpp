#include "itau_check.h"

#include <algorithm>
#include <map>

#include "host/text.h"

namespace pag::testing {
namespace {

bool In(const std::string& form, std::initializer_list<const char*> forms) {
  return std::any_of(forms.begin(), forms.end(), [&form](const char* f) { return form == f; });
}

bool IsJ52(const std::string& r) { return r[13] == 'J' && Field(r, 18, 19) == "52"; }

Money Cents(const std::string& r, int from, int to) { return Money::FromCents(StrToInt(Field(r, from, to))); }

// The tax body a form's segment N carries (positions 18-19).
std::string TaxBodyOf(const std::string& form) {
  static const std::map<std::string, std::string> bodies = {{"16", "02"}, {"18", "03"}, {"17", "01"},
                                                            {"22", "05"}, {"21", "04"}, {"19", "11"},
                                                            {"25", "11"}, {"27", "11"}, {"35", "11"}};
  auto it = bodies.find(form);
  return it == bodies.end() ? std::string() : it->second;
}

// Why a detail does not belong in a batch of `form`; empty when it does.
std::string Misplaced(const std::string& r, const std::string& form, const std::string& previous) {
  const std::string bank = Field(r, 18, 20);
  switch (r[13]) {
    case 'A': {
      const std::string payee = Field(r, 21, 23);
      if (form == "45") return bank == "009" ? "" : "a PIX segment A without clearing house 009";
      if (bank != "000") return "a segment A of form " + form + " with clearing house " + bank;
      if (form == "01") return payee == "341" ? "" : "a credit to bank " + payee + " in a batch of form 01";
      if (In(form, {"03", "41"})) return payee != "341" ? "" : "a credit to bank 341 in a batch of form " + form;
      return "a segment A in a batch of form " + form;
    }
    case 'B':
      if (form != "45") return "a segment B in a batch of form " + form;
      if (previous.empty() || previous[13] != 'A' || Field(previous, 113, 114) != "04")
        return "a segment B after no PIX segment A with a key";
      return "";
    case 'J':
      if (IsJ52(r)) {
        if (!In(form, {"30", "31", "47"})) return "a segment J-52 in a batch of form " + form;
        if (previous.empty() || previous[13] != 'J') return "a segment J-52 after no segment J";
        return "";
      }
      if (form == "30") return bank == "341" ? "" : "a bank slip of bank " + bank + " in a batch of form 30";
      if (form == "31") return bank != "341" ? "" : "a bank slip of bank 341 in a batch of form 31";
      if (form == "47") return Field(r, 18, 61) == std::string(44, '0') ? "" : "a PIX segment J with a barcode";
      return "a segment J in a batch of form " + form;
    case 'N':
      if (Field(r, 18, 19) == TaxBodyOf(form)) return "";
      return "a tax body " + Field(r, 18, 19) + " in a batch of form " + form;
    case 'O': return In(form, {"13", "91"}) ? "" : "a segment O in a batch of form " + form;
    default: return std::string("an unknown segment ") + r[13];
  }
}

}  // namespace

std::vector<std::string> Records(const std::string& content) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find("\r\n", start);
    if (end == std::string::npos) end = content.size();
    out.push_back(content.substr(start, end - start));
    start = end + 2;
  }
  return out;
}

std::string Field(const std::string& record, int from, int to) {
  return record.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1));
}

std::vector<std::string> Batches(const std::string& content) {
  std::vector<std::string> out;
  for (const auto& r : Records(content))
    if (r[7] == '1') out.push_back(Field(r, 4, 7) + " " + Field(r, 12, 13));
  return out;
}

std::vector<std::string> Details(const std::string& content) {
  std::vector<std::string> out;
  int j52 = 0;  // J-52 since the last J
  for (const auto& r : Records(content)) {
    if (r[7] != '3') continue;
    std::string seg(1, r[13]);
    if (IsJ52(r)) seg = ++j52 == 2 ? "J52PIX" : "J52";
    else if (r[13] == 'J') j52 = 0;
    out.push_back(Field(r, 9, 13) + seg);
  }
  return out;
}

std::string SlipOf(const std::string& r) {
  switch (r[13]) {
    case 'A': return AllTrim(Field(r, 74, 93));
    case 'J': return IsJ52(r) ? "" : AllTrim(Field(r, 183, 202));
    case 'N': return AllTrim(Field(r, 196, 215));
    case 'O': return AllTrim(Field(r, 175, 194));
    default: return "";
  }
}

std::optional<Money> AmountOf(const std::string& r) {
  switch (r[13]) {
    case 'A': return Cents(r, 120, 134);
    case 'J': return IsJ52(r) ? std::nullopt : std::optional<Money>(Cents(r, 153, 167));
    case 'O': return Cents(r, 122, 136);
    case 'N': {
      const std::string body = Field(r, 18, 19);
      if (body == "02" || body == "03") return Cents(r, 106, 119);
      if (body == "01") return Cents(r, 86, 99);
      if (body == "05") return Cents(r, 125, 138);
      if (body == "04") return Cents(r, 120, 133);
      if (body == "11") return Cents(r, 152, 165);
      return std::nullopt;
    }
    default: return std::nullopt;
  }
}

::testing::AssertionResult ItauFileHolds(const std::string& content, const std::vector<std::string>& slips,
                                         bool exclusion) {
  using ::testing::AssertionFailure;
  const auto lines = Records(content);
  if (lines.size() < 2) return AssertionFailure() << "a file has a header and a trailer at least";
  if (lines.front()[7] != '0' || Field(lines.front(), 1, 8) != "34100000")
    return AssertionFailure() << "record 1 is no Itaú file header";
  long batches = 0;
  long inBatch = 0;
  long number = 0;
  std::string form;
  std::string previous;
  Money total;
  std::vector<std::string> written;
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
    const std::string& l = lines[i];
    const std::size_t record = i + 1;
    const char type = l[7];
    if (Field(l, 1, 3) != "341") return AssertionFailure() << "record " << record << ": bank " << Field(l, 1, 3);
    if (type == '1') {
      if (inBatch != 0) return AssertionFailure() << "record " << record << ": a batch inside another";
      ++batches;
      inBatch = 1;
      number = 0;
      form = Field(l, 12, 13);
      previous.clear();
      total = Money();
    } else if (inBatch == 0) {
      return AssertionFailure() << "record " << record << ": outside any batch";
    } else {
      ++inBatch;
    }
    if (StrToInt(Field(l, 4, 7)) != batches)
      return AssertionFailure() << "record " << record << ": batch number " << Field(l, 4, 7) << " in batch "
                                << batches;
    if (type == '3') {
      const bool continues = l[13] == 'B' || IsJ52(l);
      const long expected = continues ? number : number + 1;
      if (continues && number == 0) return AssertionFailure() << "record " << record << ": a continuation first";
      if (StrToInt(Field(l, 9, 13)) != expected)
        return AssertionFailure() << "record " << record << ": detail number " << Field(l, 9, 13) << ", expected "
                                  << expected;
      number = expected;
      if (const std::string why = Misplaced(l, form, previous); !why.empty())
        return AssertionFailure() << "record " << record << ": " << why;
      if (l[13] != 'B' && Field(l, 15, 17) != (exclusion ? "999" : "000"))
        return AssertionFailure() << "record " << record << ": movement " << Field(l, 15, 17);
      if (auto amount = AmountOf(l); amount && !exclusion) total += *amount;
      if (const std::string slip = SlipOf(l); !slip.empty()) written.push_back(slip);
      previous = l;
    } else if (type == '5') {
      if (StrToInt(Field(l, 18, 23)) != inBatch)
        return AssertionFailure() << "record " << record << ": the batch trailer counts " << Field(l, 18, 23)
                                  << " records, the batch has " << inBatch;
      const bool taxes = !TaxBodyOf(form).empty();
      const bool barcoded = In(form, {"13", "91"});
      const Money stated = taxes ? Cents(l, 24, 37) : Cents(l, 24, 41);
      if (stated != total)
        return AssertionFailure() << "record " << record << ": the batch trailer's total " << stated.ToString()
                                  << ", the details sum " << total.ToString();
      if (taxes && (Cents(l, 66, 79) != total || Field(l, 38, 65) != std::string(28, '0') ||
                    !EmptyString(Field(l, 80, 240))))
        return AssertionFailure() << "record " << record << ": no taxes trailer";
      if (barcoded && (Field(l, 42, 56) != std::string(15, '0') || !EmptyString(Field(l, 57, 240))))
        return AssertionFailure() << "record " << record << ": no barcoded taxes trailer";
      if (!taxes && !barcoded && (Field(l, 42, 59) != std::string(18, '0') || !EmptyString(Field(l, 60, 240))))
        return AssertionFailure() << "record " << record << ": no payments trailer";
      inBatch = 0;
    } else if (type != '1') {
      return AssertionFailure() << "record " << record << ": record type " << type;
    }
  }
  if (inBatch != 0) return AssertionFailure() << "the last batch has no trailer";
  const std::string& trailer = lines.back();
  if (Field(trailer, 1, 8) != "34199999") return AssertionFailure() << "the last record is no file trailer";
  if (StrToInt(Field(trailer, 18, 23)) != batches)
    return AssertionFailure() << "the file trailer counts " << Field(trailer, 18, 23) << " batches, the file has "
                              << batches;
  if (StrToInt(Field(trailer, 24, 29)) != static_cast<long long>(lines.size()))
    return AssertionFailure() << "the file trailer counts " << Field(trailer, 24, 29) << " records, the file has "
                              << lines.size();
  std::vector<std::string> expected = slips;
  std::sort(expected.begin(), expected.end());
  std::sort(written.begin(), written.end());
  if (written != expected) {
    auto m = AssertionFailure() << "slips written:";
    for (const auto& s : written) m << " " << s;
    m << "; expected:";
    for (const auto& s : expected) m << " " << s;
    return m;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace pag::testing
