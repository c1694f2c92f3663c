// The invariant every generated bank file keeps, whatever the bank: every
// record exactly the layout's width, only printable ASCII (0x20 to 0x7E),
// and CR LF after every record, the last one included.
//
//   auto problems = CheckRecords(sink.content(), 240);
//   for (const auto& p : problems) std::cerr << Describe(p) << '\n';
//   RequireValidRecords(content, 240);   // or throw, listing the problems
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pag {

struct FileProblem {
  long record = 0;  // 1-based
  int column = 0;   // 1-based, within the record
  std::string what;
};

// "record 3, column 241: ..."
std::string Describe(const FileProblem& problem);

// The problems of a file's content, in order; at most kMaxProblems of them,
// the last saying that more were left out.
inline constexpr std::size_t kMaxProblems = 100;
std::vector<FileProblem> CheckRecords(std::string_view content, int width);
// The same for a file on disk; an unreadable file is one problem (record 0).
std::vector<FileProblem> CheckRecordFile(const std::filesystem::path& path, int width);

class RecordFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws RecordFileError listing the problems (the first ten) when there
// are any.
void RequireValidRecords(std::string_view content, int width);

}  // namespace pag
