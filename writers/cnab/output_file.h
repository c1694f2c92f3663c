// Where a writer's records go: each record followed by CR LF, counted.
// OutputFile writes a bank file atomically; MemorySink keeps the bytes in
// memory (benchmarks, golden tests).
//
//   OutputFile out("/data/remessa/CB061201.REM");
//   out.write(header.finish());
//   ...
//   out.commit();   // flushed, synced and renamed over the target
//
// Until commit() the records go to a temporary file in the target's folder
// (".CB061201.REM.Ab12Cd.tmp"); leaving without commit (an exception, or
// abort()) removes it and leaves any earlier file at the path untouched.
// finish() completes the temporary file on disk without putting it in place,
// so that whatever else belongs with the file (the remittance saved on the
// server) is done only when the file is sure to exist whole:
//
//   out.finish();    // written, synced, closed: a full disk shows up here
//   work.Commit();   // the store's side
//   out.commit();    // only the rename is left
//
// A process killed between those last two steps leaves the complete file
// under its temporary name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace pag {

// A fault of the output file; the message names the path and the system's
// reason.
class OutputFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class RecordSink {
 public:
  virtual ~RecordSink() = default;

  // Appends the record and CR LF. A record holding a byte that is not
  // printable ASCII (a line break among them) throws FieldError and is not
  // written.
  void write(std::string_view record);
  // Appends many records of `width` characters at once, each already
  // followed by its CR LF in `lines` (a file's records kept until it is
  // complete). The same checks as write, record by record: a line that is
  // not `width` printable characters and CR LF throws FieldError, and then
  // nothing of `lines` is written.
  void writeLines(std::string&& lines, std::size_t width);
  // Records written so far.
  std::int64_t records() const { return records_; }

 protected:
  virtual void append(std::string_view bytes) = 0;
  // Appends checked lines of `width` characters and CR LF each, which the
  // sink may keep; by default each record and its CR LF are appended as
  // write appends them.
  virtual void appendLines(std::string&& lines, std::size_t width);

 private:
  std::int64_t records_ = 0;
};

class MemorySink final : public RecordSink {
 public:
  const std::string& content() const { return content_; }

 private:
  void append(std::string_view bytes) override { content_.append(bytes); }
  void appendLines(std::string&& lines, std::size_t) override {
    if (content_.empty())
      content_ = std::move(lines);
    else
      content_.append(lines);
  }
  std::string content_;
};

class OutputFile final : public RecordSink {
 public:
  // Creates the temporary file next to the target. Throws OutputFileError
  // when the path has no file name, is a folder, or the folder is missing
  // or not writable.
  explicit OutputFile(std::filesystem::path target);
  // Removes the temporary file unless committed.
  ~OutputFile() override;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Writes what is buffered, sets the file's permissions, syncs it to disk
  // and closes it: the file is complete under its temporary name. Throws
  // OutputFileError (the temporary file is then removed). Nothing can be
  // written after it.
  void finish();
  // Finishes the file when finish() was not called, then renames it over
  // the target. Throws OutputFileError (the temporary file is then removed,
  // the target untouched).
  void commit();
  // Gives the file up: the temporary file is removed. Does nothing after
  // commit().
  void abort() noexcept;

  const std::filesystem::path& target() const { return target_; }
  const std::filesystem::path& temporary() const { return temporary_; }
  bool committed() const { return committed_; }

 private:
  void append(std::string_view bytes) override;
  void appendLines(std::string&& lines, std::size_t width) override;
  void Flush();
  void WriteAll(const char* p, std::size_t left);
  [[noreturn]] void Fail(const std::string& what, int error);

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  int fd_ = -1;
  bool finished_ = false;
  bool committed_ = false;
  bool failed_ = false;
  std::string buffer_;
};

}  // namespace pag
