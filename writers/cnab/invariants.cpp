#include "writers/cnab/invariants.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace pag {
namespace {

std::string Hex(unsigned char c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  return std::string("0x") + kHex[c >> 4] + kHex[c & 0xF];
}

class Collector {
 public:
  // False once the list is full.
  bool Add(long record, int column, std::string what) {
    if (problems_.size() + 1 == kMaxProblems) {
      problems_.push_back({record, column, "more problems left out"});
      return false;
    }
    problems_.push_back({record, column, std::move(what)});
    return true;
  }
  std::vector<FileProblem> Take() { return std::move(problems_); }

 private:
  std::vector<FileProblem> problems_;
};

}  // namespace

std::string Describe(const FileProblem& p) {
  return "record " + std::to_string(p.record) + ", column " + std::to_string(p.column) + ": " + p.what;
}

std::vector<FileProblem> CheckRecords(std::string_view content, int width) {
  Collector out;
  if (content.empty()) {
    out.Add(1, 1, "the file is empty");
    return out.Take();
  }
  long record = 0;
  std::size_t start = 0;
  while (start < content.size()) {
    ++record;
    std::size_t end = start;
    while (end < content.size() && content[end] != '\r' && content[end] != '\n') ++end;
    const auto length = static_cast<int>(end - start);
    for (std::size_t i = start; i < end; ++i) {
      const auto c = static_cast<unsigned char>(content[i]);
      if (c < 0x20 || c > 0x7E) {
        if (!out.Add(record, static_cast<int>(i - start) + 1, "byte " + Hex(c) + " is not printable ASCII"))
          return out.Take();
      }
    }
    if (length != width) {
      if (!out.Add(record, std::min(length, width) + 1,
                   "the record has " + std::to_string(length) + " characters instead of " + std::to_string(width)))
        return out.Take();
    }
    if (end == content.size()) {
      out.Add(record, length + 1, "the last record is not ended by CR LF");
      break;
    }
    if (content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n') {
      start = end + 2;
      continue;
    }
    const bool cr = content[end] == '\r';
    if (!out.Add(record, length + 1, cr ? "CR without LF after it" : "LF without CR before it")) return out.Take();
    start = end + 1;
  }
  return out.Take();
}

std::vector<FileProblem> CheckRecordFile(const std::filesystem::path& path, int width) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {{0, 0, "cannot read the file '" + path.string() + "'"}};
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return CheckRecords(content, width);
}

void RequireValidRecords(std::string_view content, int width) {
  const auto problems = CheckRecords(content, width);
  if (problems.empty()) return;
  std::ostringstream m;
  m << problems.size() << " problem" << (problems.size() == 1 ? "" : "s") << " in a file of " << width
    << "-position records";
  for (std::size_t i = 0; i < problems.size() && i < 10; ++i) m << "\n  " << Describe(problems[i]);
  throw RecordFileError(m.str());
}

}  // namespace pag
