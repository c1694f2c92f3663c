#include "writers/cnab/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <utility>

#include "host/errors.h"

namespace pag {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr std::string_view kLineEnd = "\r\n";

std::string Reason(int error) { return std::strerror(error); }

// The process's umask, read without changing it; 077 when it cannot be read.
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
  }
  return 077;
}

void RemoveQuietly(const std::filesystem::path& p) {
  if (!p.empty()) ::unlink(p.c_str());
}


// Whether every byte is printable ASCII (0x20 to 0x7E), sixteen at a time:
// a byte below 0x20 or from 0x7F up sets the high bit of its place in the
// flags of its eight-byte word. (Borrows and carries across places only
// arise next to such a byte, so they never flag a word that has none.)
std::uint64_t Unprintable(std::uint64_t w) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  return ((w - kOnes * 0x20) & ~w) | ((w + kOnes) | w);
}

bool AllPrintable(std::string_view s) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
  std::size_t i = 0;
  for (; i + 16 <= s.size(); i += 16) {
    std::uint64_t a;
    std::uint64_t b;
    std::memcpy(&a, s.data() + i, 8);
    std::memcpy(&b, s.data() + i + 8, 8);
    if (((Unprintable(a) | Unprintable(b)) & kHighBits) != 0) return false;
  }
  for (; i < s.size(); ++i)
    if (s[i] < 0x20 || s[i] > 0x7E) return false;
  return true;
}

}  // namespace

void RecordSink::write(std::string_view record) {
  if (!AllPrintable(record)) {
    for (std::size_t i = 0; i < record.size(); ++i) {
      const char c = record[i];
      if (c < 0x20 || c > 0x7E)
        throw FieldError("record " + std::to_string(records_ + 1) +
                         " has a byte that is not printable ASCII at column " + std::to_string(i + 1));
    }
  }
  append(record);
  append(kLineEnd);
  ++records_;
}

void RecordSink::writeLines(std::string&& lines, std::size_t width) {
  const std::size_t stride = width + kLineEnd.size();
  if (width == 0 || lines.size() % stride != 0)
    throw FieldError("a block of records of " + std::to_string(width) + " characters has " +
                     std::to_string(lines.size()) + " bytes");
  const std::string_view all(lines);
  const std::size_t n = lines.size() / stride;
  for (std::size_t i = 0; i < n; ++i) {
    const std::string_view line = all.substr(i * stride, stride);
    if (line[width] != '\r' || line[width + 1] != '\n')
      throw FieldError("record " + std::to_string(records_ + static_cast<std::int64_t>(i) + 1) + " does not end with CR LF");
    if (AllPrintable(line.substr(0, width))) continue;
    for (std::size_t c = 0; c < width; ++c)
      if (line[c] < 0x20 || line[c] > 0x7E)
        throw FieldError("record " + std::to_string(records_ + static_cast<std::int64_t>(i) + 1) +
                         " has a byte that is not printable ASCII at column " + std::to_string(c + 1));
  }
  if (!lines.empty()) appendLines(std::move(lines), width);
  records_ += static_cast<std::int64_t>(n);
}

void RecordSink::appendLines(std::string&& lines, std::size_t width) {
  const std::string_view all(lines);
  for (std::size_t at = 0; at < all.size(); at += width + kLineEnd.size()) {
    append(all.substr(at, width));
    append(kLineEnd);
  }
}

OutputFile::OutputFile(std::filesystem::path target) : target_(std::move(target)) {
  const std::string name = target_.filename().string();
  if (target_.empty() || name.empty() || name == "." || name == "..")
    throw OutputFileError("the output path '" + target_.string() + "' has no file name");
  std::error_code ec;
  if (std::filesystem::is_directory(target_, ec))
    throw OutputFileError("the output path '" + target_.string() + "' is a folder");
  std::filesystem::path folder = target_.parent_path();
  if (folder.empty()) folder = ".";
  std::string pattern = (folder / ("." + name + ".XXXXXX.tmp")).string();
  fd_ = ::mkostemps(pattern.data(), 4, O_CLOEXEC);
  if (fd_ < 0) {
    const int error = errno;
    throw OutputFileError("cannot create the file '" + target_.string() + "' (temporary file in '" + folder.string() +
                          "'): " + Reason(error));
  }
  temporary_ = pattern;
  buffer_.reserve(kBufferSize);
}

OutputFile::~OutputFile() { abort(); }

void OutputFile::Fail(const std::string& what, int error) {
  std::string message = what + " '" + target_.string() + "' (temporary file '" + temporary_.string() +
                        "'): " + Reason(error);
  abort();
  throw OutputFileError(message);
}

void OutputFile::append(std::string_view bytes) {
  if (finished_ || committed_ || failed_ || fd_ < 0)
    throw OutputFileError("the file '" + target_.string() + "' is no longer open for writing");
  if (buffer_.size() + bytes.size() > kBufferSize) Flush();
  buffer_.append(bytes);
}

// A large block goes to the file as it is, after what is buffered.
void OutputFile::appendLines(std::string&& bytes, std::size_t) {
  if (bytes.size() < kBufferSize) return append(bytes);
  if (finished_ || committed_ || failed_ || fd_ < 0)
    throw OutputFileError("the file '" + target_.string() + "' is no longer open for writing");
  Flush();
  WriteAll(bytes.data(), bytes.size());
}

void OutputFile::Flush() {
  WriteAll(buffer_.data(), buffer_.size());
  buffer_.clear();
}

void OutputFile::WriteAll(const char* p, std::size_t left) {
  while (left > 0) {
    const ssize_t n = ::write(fd_, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("cannot write", errno);
    }
    if (n == 0) Fail("cannot write", EIO);
    p += n;
    left -= static_cast<std::size_t>(n);
  }
}

void OutputFile::finish() {
  if (committed_) throw OutputFileError("the file '" + target_.string() + "' was already committed");
  if (finished_) return;
  if (failed_ || fd_ < 0) throw OutputFileError("the file '" + target_.string() + "' was given up and cannot be finished");
  Flush();
  // The permissions of a file created the ordinary way, or those of the file
  // being replaced.
  struct stat old {};
  const mode_t mode = ::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode) ? (old.st_mode & 07777)
                                                                                  : (0666 & ~CurrentUmask());
  if (::fchmod(fd_, mode) != 0) Fail("cannot set the permissions of", errno);
  if (::fsync(fd_) != 0) Fail("cannot flush", errno);
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) Fail("cannot close", errno);
  finished_ = true;
}

void OutputFile::commit() {
  if (committed_) throw OutputFileError("the file '" + target_.string() + "' was already committed");
  finish();
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) Fail("cannot rename the temporary file to", errno);
  committed_ = true;
  // Make the rename itself durable; the file is in place whatever happens here.
  std::filesystem::path folder = target_.parent_path();
  if (folder.empty()) folder = ".";
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

void OutputFile::abort() noexcept {
  if (committed_) return;
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
  RemoveQuietly(temporary_);
  temporary_.clear();
  buffer_.clear();
  failed_ = true;
}

}  // namespace pag
