// The record builder and the sink under arbitrary field tables. The input is
// lines "<kind><width, 2 digits><value>": kind n (number as text), i (number
// as integer), t (free text), p (plain text), b (blanks), z (zeros), a
// (amount), d (date, value yyyymmdd, the pattern chosen by the width), g
// (digits only), r (raw), l (literal). Fields follow each other; the record
// is as wide as they are together. A record either fails with FieldError or
// comes out exactly as wide, in printable ASCII; the sink accepts exactly
// the records that are printable ASCII.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/errors.h"
#include "writers/cnab/output_file.h"
#include "writers/cnab/record.h"

namespace {

void Require(bool ok) {
  if (!ok) std::abort();
}

struct Field {
  char kind;
  int width;
  std::string value;
};

std::vector<Field> ParseFields(std::string_view s) {
  std::vector<Field> out;
  std::size_t at = 0;
  while (at < s.size()) {
    std::size_t end = s.find('\n', at);
    if (end == std::string_view::npos) end = s.size();
    const std::string_view line = s.substr(at, end - at);
    at = end + 1;
    if (line.size() < 3 || line[1] < '0' || line[1] > '9' || line[2] < '0' || line[2] > '9') continue;
    out.push_back({line[0], (line[1] - '0') * 10 + (line[2] - '0'), std::string(line.substr(3))});
  }
  return out;
}

bool Printable(std::string_view s) {
  for (char c : s)
    if (c < 0x20 || c > 0x7E) return false;
  return true;
}

const char* DatePattern(int width) {
  switch (width) {
    case 8: return "ddmmyyyy";
    case 6: return "ddmmyy";
    case 4: return "yyyy";
    case 2: return "dd";
    default: return "yyyymmddhhnnss";
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // The sink: refuses exactly the records with a byte that is not printable.
  {
    pag::MemorySink sink;
    bool refused = false;
    try {
      sink.write(input);
    } catch (const pag::FieldError&) {
      refused = true;
    }
    Require(refused == !Printable(input));
    Require(refused ? sink.content().empty() : sink.content() == std::string(input) + "\r\n");
  }

  const std::vector<Field> fields = ParseFields(input);
  int width = 0;
  for (const Field& f : fields) width += f.width;
  if (fields.empty() || width < 1 || width > pag::kMaxRecordWidth) return 0;
  const pag::RecordContext ctx{"Banco de teste (999)", "0001/0000000001"};
  try {
    pag::Record rec(ctx, "Registro", width);
    for (const Field& f : fields) {
      const auto from = pag::Col::Computed(rec.next());
      const auto to = pag::Col::Computed(rec.next() + f.width - 1);
      switch (f.kind) {
        case 'n': rec.num(from, to, f.value); break;
        case 'i': rec.num(from, to, static_cast<std::int64_t>(std::strtoll(f.value.c_str(), nullptr, 10))); break;
        case 't': rec.text(from, to, f.value); break;
        case 'p': rec.plain(from, to, f.value); break;
        case 'b': rec.blank(from, to); break;
        case 'z': rec.zeros(from, to); break;
        case 'a': rec.amount(from, to, pag::Money::FromCents(std::strtoll(f.value.c_str(), nullptr, 10))); break;
        case 'd': {
          const long v = std::strtol(f.value.c_str(), nullptr, 10);
          const pag::Date d{std::chrono::year(static_cast<int>(v / 10000 % 100000)),
                            std::chrono::month(static_cast<unsigned>(v / 100 % 100)),
                            std::chrono::day(static_cast<unsigned>(v % 100))};
          if (f.value.empty())
            rec.date(from, to, std::nullopt, DatePattern(f.width));
          else
            rec.date(from, to, d, DatePattern(f.width));
          break;
        }
        case 'g': rec.digits(from, to, f.value); break;
        case 'r': rec.raw(from, to, f.value); break;
        default: rec.lit(from, to, f.value); break;
      }
    }
    const std::string_view line = rec.finish();
    Require(line.size() == static_cast<std::size_t>(width));
    Require(Printable(line));
    pag::MemorySink sink;
    sink.write(line);
  } catch (const pag::FieldError&) {
  }
  return 0;
}
