#include "golden.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "host/text.h"

namespace pag::testing {
namespace {

std::vector<std::string_view> Lines(std::string_view content) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find("\r\n", start);
    if (end == std::string_view::npos) end = content.size();
    out.push_back(content.substr(start, end - start));
    start = end + 2;
  }
  return out;
}

std::string_view Slice(std::string_view line, int from, int to) {
  if (static_cast<std::size_t>(from) > line.size()) return {};
  return line.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1));
}

std::string Describe(std::string_view expected, std::string_view actual, std::size_t record, const LayoutOf& layoutOf,
                     std::string_view method) {
  std::size_t column = 0;
  while (column < expected.size() && column < actual.size() && expected[column] == actual[column]) ++column;
  std::ostringstream m;
  m << "record " << record << ", column " << column + 1;
  const Layout* layout = layoutOf ? layoutOf(expected, method) : nullptr;
  if (layout != nullptr) {
    for (std::size_t i = 0; i < layout->size(); ++i) {
      const FieldSpec& f = (*layout)[i];
      if (static_cast<int>(column) + 1 < f.from || static_cast<int>(column) + 1 > f.to) continue;
      m << " (" << layout->name() << ", " << f.name << ", " << f.from << "-" << f.to << ")\n"
        << "  expected: '" << Slice(expected, f.from, f.to) << "'\n"
        << "  actual:   '" << Slice(actual, f.from, f.to) << "'";
      return m.str();
    }
  }
  m << "\n  expected: '" << expected << "'\n  actual:   '" << actual << "'";
  return m.str();
}

bool UpdateGolden() {
  const char* v = std::getenv("PAG_UPDATE_GOLDEN");
  return v != nullptr && std::string_view(v) == "1";
}

}  // namespace

::testing::AssertionResult MatchesGolden(const std::string& path, const std::string& actual, const LayoutOf& layoutOf) {
  if (UpdateGolden()) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << actual;
    if (!out) return ::testing::AssertionFailure() << "could not write " << path;
    return ::testing::AssertionSuccess() << "wrote " << path;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return ::testing::AssertionFailure() << "no golden file " << path << " (PAG_UPDATE_GOLDEN=1 writes it)";
  std::ostringstream buf;
  buf << in.rdbuf();
  const std::string expected = buf.str();
  if (expected == actual) return ::testing::AssertionSuccess();

  const auto e = Lines(expected);
  const auto a = Lines(actual);
  std::string_view method;
  for (std::size_t i = 0; i < e.size() && i < a.size(); ++i) {
    if (e[i].size() >= 13 && e[i][7] == '1') method = e[i].substr(11, 2);
    if (e[i] != a[i]) return ::testing::AssertionFailure() << path << ": " << Describe(e[i], a[i], i + 1, layoutOf, method);
  }
  if (e.size() != a.size())
    return ::testing::AssertionFailure() << path << ": " << e.size() << " records expected, " << a.size() << " written";
  return ::testing::AssertionFailure() << path << ": the line ends differ (CR LF expected after every record)";
}

::testing::AssertionResult TrailersMatchDetails(const std::string& content, const DetailAmount& amountOf,
                                                bool exclusion) {
  const auto lines = Lines(content);
  if (lines.size() < 2) return ::testing::AssertionFailure() << "a file has a header and a trailer at least";
  if (lines.front()[7] != '0') return ::testing::AssertionFailure() << "record 1 is no file header";
  long batches = 0;
  long inBatch = 0;
  long sequence = 0;
  Money total;
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
    const std::string_view l = lines[i];
    const std::size_t record = i + 1;
    const char type = l[7];
    if (type == '1') {
      if (inBatch != 0) return ::testing::AssertionFailure() << "record " << record << ": a batch inside another";
      ++batches;
      inBatch = 1;
      sequence = 0;
      total = Money();
    } else if (inBatch == 0) {
      return ::testing::AssertionFailure() << "record " << record << ": outside any batch";
    } else {
      ++inBatch;
    }
    if (StrToInt(Slice(l, 4, 7)) != batches)
      return ::testing::AssertionFailure() << "record " << record << ": batch number " << Slice(l, 4, 7) << " in batch "
                                           << batches;
    if (type == '3') {
      if (StrToInt(Slice(l, 9, 13)) != ++sequence)
        return ::testing::AssertionFailure() << "record " << record << ": detail number " << Slice(l, 9, 13)
                                             << ", expected " << sequence;
      if (auto amount = amountOf(l); amount && !exclusion) total += *amount;
    } else if (type == '5') {
      if (StrToInt(Slice(l, 18, 23)) != inBatch)
        return ::testing::AssertionFailure() << "record " << record << ": the batch trailer counts " << Slice(l, 18, 23)
                                             << " records, the batch has " << inBatch;
      if (StrToInt(Slice(l, 24, 41)) != total.cents())
        return ::testing::AssertionFailure() << "record " << record << ": the batch trailer's total "
                                             << Slice(l, 24, 41) << ", the details sum " << total.ToString();
      inBatch = 0;
    } else if (type != '1') {
      return ::testing::AssertionFailure() << "record " << record << ": record type " << type;
    }
  }
  if (inBatch != 0) return ::testing::AssertionFailure() << "the last batch has no trailer";
  const std::string_view trailer = lines.back();
  if (trailer[7] != '9') return ::testing::AssertionFailure() << "the last record is no file trailer";
  if (StrToInt(Slice(trailer, 18, 23)) != batches)
    return ::testing::AssertionFailure() << "the file trailer counts " << Slice(trailer, 18, 23) << " batches, the file has "
                                         << batches;
  if (StrToInt(Slice(trailer, 24, 29)) != static_cast<long long>(lines.size()))
    return ::testing::AssertionFailure() << "the file trailer counts " << Slice(trailer, 24, 29)
                                         << " records, the file has " << lines.size();
  return ::testing::AssertionSuccess();
}

}  // namespace pag::testing
