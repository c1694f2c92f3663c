#include "writers/cnab/output_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "host/errors.h"

namespace pag {
namespace {

namespace fs = std::filesystem;

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("pag_output_" + std::to_string(::getpid()) + "_" + std::to_string(rd()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }

  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  static void WriteFile(const fs::path& p, const std::string& content) {
    std::ofstream(p, std::ios::binary) << content;
  }
  // Names of the entries in the test folder.
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.insert(e.path().filename().string());
    return names;
  }

  fs::path dir_;
};

TEST_F(OutputFileTest, CommitRenamesTheCompleteFileIntoPlace) {
  const fs::path target = dir_ / "CB061201.REM";
  {
    OutputFile out(target);
    EXPECT_EQ(out.temporary().parent_path(), dir_);
    EXPECT_TRUE(fs::exists(out.temporary()));
    EXPECT_FALSE(fs::exists(target));
    out.write("HEADER");
    out.write("DETAIL");
    out.write("TRAILER");
    EXPECT_EQ(out.records(), 3);
    out.commit();
    EXPECT_TRUE(out.committed());
  }
  EXPECT_EQ(Read(target), "HEADER\r\nDETAIL\r\nTRAILER\r\n");
  EXPECT_EQ(Entries(), std::set<std::string>{"CB061201.REM"});
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::owner_read, fs::perms::owner_read);
}

TEST_F(OutputFileTest, ReplacingKeepsTheOldFilesPermissions) {
  const fs::path target = dir_ / "old.rem";
  WriteFile(target, "OLD\r\n");
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  OutputFile out(target);
  out.write("NEW");
  out.commit();
  EXPECT_EQ(Read(target), "NEW\r\n");
  EXPECT_EQ(fs::status(target).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(OutputFileTest, AbortExceptionOrDestructionLeaveTheOldFileAndNoTemporary) {
  const fs::path target = dir_ / "remessa.rem";
  WriteFile(target, "OLD\r\n");
  {
    OutputFile out(target);
    out.write("NEW");
    out.abort();
    EXPECT_THROW(out.write("MORE"), OutputFileError);
    EXPECT_THROW(out.commit(), OutputFileError);
  }
  EXPECT_EQ(Read(target), "OLD\r\n");
  EXPECT_EQ(Entries(), std::set<std::string>{"remessa.rem"});

  try {
    OutputFile out(target);
    out.write("NEW");
    throw std::runtime_error("a writer stopped");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(Read(target), "OLD\r\n");
  EXPECT_EQ(Entries(), std::set<std::string>{"remessa.rem"});
}

TEST_F(OutputFileTest, ARecordThatWouldBreakTheFileIsRefused) {
  const fs::path target = dir_ / "x.rem";
  OutputFile out(target);
  out.write("ONE");
  EXPECT_THROW(out.write("TW\r\nO"), FieldError);
  EXPECT_THROW(out.write("CONCEI\xC3\x87\xC3\x83O"), FieldError);
  EXPECT_EQ(out.records(), 1);
  out.commit();
  EXPECT_EQ(Read(target), "ONE\r\n");
}

TEST_F(OutputFileTest, BadPathsNameThePathAndTheReason) {
  struct Case {
    fs::path path;
    const char* reason;
  };
  const fs::path blocker = dir_ / "plain-file";
  WriteFile(blocker, "x");
  fs::create_directories(dir_ / "folder");
  const Case cases[] = {
      {dir_ / "missing" / "a.rem", "No such file or directory"},
      {blocker / "a.rem", "Not a directory"},
      {dir_ / "folder", "is a folder"},
      {dir_ / "folder" / "", "no file name"},
      {fs::path(), "no file name"},
  };
  for (const auto& c : cases) {
    try {
      OutputFile out(c.path);
      ADD_FAILURE() << "opened " << c.path;
    } catch (const OutputFileError& e) {
      const std::string m = e.what();
      EXPECT_NE(m.find(c.reason), std::string::npos) << m;
      EXPECT_NE(m.find(c.path.string()), std::string::npos) << m;
    }
  }
  EXPECT_EQ(Entries(), (std::set<std::string>{"plain-file", "folder"}));
}

TEST_F(OutputFileTest, AFolderThatCannotBeWrittenIsReported) {
  // Root ignores permission bits; /proc refuses new files to everyone.
  fs::path folder = dir_ / "locked";
  if (::geteuid() == 0) {
    folder = "/proc/self";
  } else {
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  }
  if (!fs::is_directory(folder)) GTEST_SKIP() << "no unwritable folder here";
  try {
    OutputFile out(folder / "a.rem");
    ADD_FAILURE() << "opened a file in " << folder;
  } catch (const OutputFileError& e) {
    EXPECT_NE(std::string(e.what()).find((folder / "a.rem").string()), std::string::npos) << e.what();
  }
}

TEST_F(OutputFileTest, AFullDiskStopsTheFileAndKeepsTheOldOne) {
  const fs::path target = dir_ / "full.rem";
  WriteFile(target, "OLD\r\n");
  // A file-size limit makes writes fail the way a full disk does.
  struct sigaction ignore {}, previous {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGXFSZ, &ignore, &previous);
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 100 * 1024;
  ::setrlimit(RLIMIT_FSIZE, &small);
  std::string message;
  try {
    OutputFile out(target);
    const std::string record(240, 'X');
    for (int i = 0; i < 2000; ++i) out.write(record);
    out.commit();
  } catch (const OutputFileError& e) {
    message = e.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::sigaction(SIGXFSZ, &previous, nullptr);
  EXPECT_NE(message.find("cannot write"), std::string::npos) << message;
  EXPECT_NE(message.find(target.string()), std::string::npos) << message;
  EXPECT_EQ(Read(target), "OLD\r\n");
  EXPECT_EQ(Entries(), std::set<std::string>{"full.rem"});
}

TEST(MemorySink, KeepsRecordsWithLineEndsAndCountsThem) {
  MemorySink sink;
  sink.write("A");
  sink.write("BC");
  EXPECT_EQ(sink.content(), "A\r\nBC\r\n");
  EXPECT_EQ(sink.records(), 2);
  EXPECT_THROW(sink.write("D\n"), FieldError);
  EXPECT_EQ(sink.records(), 2);
}

// A file's records handed over in one block must land exactly as written
// one by one, and a block with one bad record must write nothing at all.
TEST(RecordSink, BlockOfLinesIsCheckedRecordByRecord) {
  struct Case {
    std::string lines;
    std::size_t width;
    std::string error;  // empty: accepted
  };
  const Case cases[] = {
      {"ABC\r\nDEF\r\n", 3, ""},
      {"", 3, ""},
      {"ABC\r\nD\tF\r\n", 3, "record 3 has a byte that is not printable ASCII at column 2"},
      {"ABC\r\nDEF\n\r", 3, "record 3 does not end with CR LF"},
      {"ABC\r\nDE\r\n", 3, "has 9 bytes"},
      {"ABCDEF\r\n", 3, "has 8 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    MemorySink sink;
    sink.write("HEAD");
    if (c.error.empty()) {
      sink.writeLines(std::string(c.lines), c.width);
      EXPECT_EQ(sink.content(), "HEAD\r\n" + c.lines);
      EXPECT_EQ(sink.records(), 1 + static_cast<std::int64_t>(c.lines.size() / (c.width + 2)));
    } else {
      try {
        sink.writeLines(std::string(c.lines), c.width);
        ADD_FAILURE() << "accepted";
      } catch (const FieldError& e) {
        EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
      }
      EXPECT_EQ(sink.content(), "HEAD\r\n");
      EXPECT_EQ(sink.records(), 1);
    }
  }
}

// Each byte is checked wherever it falls: in the first or second eight of
// a sixteen-byte group, or in the tail of a line whose width is no multiple
// of sixteen; the bytes just inside printable ASCII pass.
TEST(RecordSink, EveryColumnOfABlockIsChecked) {
  constexpr std::size_t kWidth = 37;
  const std::string good(kWidth, 'x');
  for (std::size_t column = 0; column < kWidth; ++column) {
    for (const char bad : {'\0', '\x1F', '\x7F', '\x80', '\xFF'}) {
      std::string second = good;
      second[column] = bad;
      MemorySink sink;
      try {
        sink.writeLines(good + "\r\n" + second + "\r\n", kWidth);
        ADD_FAILURE() << "accepted byte " << static_cast<int>(bad) << " at column " << column + 1;
      } catch (const FieldError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "record 2 has a byte that is not printable ASCII at column " + std::to_string(column + 1));
      }
    }
    for (const char edge : {' ', '~'}) {
      std::string line = good;
      line[column] = edge;
      MemorySink sink;
      sink.writeLines(line + "\r\n", kWidth);
      EXPECT_EQ(sink.records(), 1);
    }
  }
}

// A sink of its own sees a block as it sees records written one by one.
TEST(RecordSink, ABlockReachesOtherSinksRecordByRecord) {
  class Recording final : public RecordSink {
   public:
    std::vector<std::string> pieces;

   private:
    void append(std::string_view bytes) override { pieces.emplace_back(bytes); }
  };
  Recording one, block;
  one.write("AB");
  one.write("CD");
  block.writeLines("AB\r\nCD\r\n", 2);
  EXPECT_EQ(block.pieces, one.pieces);
  EXPECT_EQ(block.records(), 2);
}

TEST_F(OutputFileTest, ALargeBlockFollowsWhatIsBuffered) {
  const fs::path target = dir_ / "big.rem";
  std::string lines;
  for (int i = 0; i < 2000; ++i) lines += std::string(238, static_cast<char>('A' + i % 26)) + "\r\n";
  const std::string expected = "HEADER\r\n" + lines + "TRAILER\r\n";
  {
    OutputFile out(target);
    out.write("HEADER");
    out.writeLines(std::move(lines), 238);
    out.write("TRAILER");
    EXPECT_EQ(out.records(), 2002);
    out.commit();
  }
  EXPECT_EQ(Read(target), expected);
}

}  // namespace
}  // namespace pag
