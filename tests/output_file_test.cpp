// Output files: replaced whole or not at all, whatever ends the writing; the permissions of new
// and replaced files; outputs written directly; links; refusals; signals and threads.
#include "output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kUnprivilegedUser = 65534;  // "nobody", for the refusals the superuser never sees

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text, mode_t mode) {
  std::ofstream(path, std::ios::binary) << text;
  chmod(path.c_str(), mode);
}

mode_t ModeOf(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

void Write(AtomicOutputFile& output, const std::string& text) {
  ASSERT_NE(output.stream(), nullptr);
  std::fwrite(text.data(), 1, text.size(), output.stream());
}

// What a folder holds, by name, sorted.
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class OutputFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = fs::temp_directory_path().string() + "/output-file-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    chmod(folder_.c_str(), 0755);
    saved_umask_ = umask(022);
  }
  void TearDown() override {
    umask(saved_umask_);
    std::error_code ignored;
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(folder_, ignored);
  }
  std::string Path(const std::string& name) const { return folder_ + "/" + name; }

  std::string folder_;
  mode_t saved_umask_ = 0;
};

// A writing that is not committed, however it ends, leaves the output as it was and no
// temporary file; a committed one leaves exactly the new text, with the old file's mode.
TEST_F(OutputFileTest, TheOutputIsReplacedWholeOrLeftAsItWas) {
  enum class End { kCommit, kDiscard, kDestroyed, kException, kMovedThenCommitted };
  struct {
    const char* old_text;  // null: no file before
    mode_t old_mode;
    End end;
    const char* expected_text;  // null: no file after
    mode_t expected_mode;
  } const cases[] = {
      {nullptr, 0, End::kCommit, "new\n", 0644},  // the umask 022 of the fixture
      {nullptr, 0, End::kDiscard, nullptr, 0},
      {nullptr, 0, End::kDestroyed, nullptr, 0},
      {nullptr, 0, End::kException, nullptr, 0},
      {nullptr, 0, End::kMovedThenCommitted, "new\n", 0644},
      {"old\n", 0640, End::kCommit, "new\n", 0640},
      {"old\n", 0751, End::kCommit, "new\n", 0751},
      {"old\n", 0600, End::kMovedThenCommitted, "new\n", 0600},
      {"old\n", 0640, End::kDiscard, "old\n", 0640},
      {"old\n", 0640, End::kDestroyed, "old\n", 0640},
      {"old\n", 0604, End::kException, "old\n", 0604},
      {"", 0644, End::kDestroyed, "", 0644},  // an empty file stays empty
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    std::string out = Path("out.mxt");
    fs::remove(out);
    if (c.old_text != nullptr) WriteFile(out, c.old_text, c.old_mode);
    try {
      AtomicOutputFile output;
      ASSERT_EQ(output.Open(out), 0);
      Write(output, "new\n");
      // While the script is written, the output holds what it held, and the text goes to a
      // hidden file beside it named after it.
      std::string temporary = output.TemporaryPath();
      EXPECT_EQ(temporary.rfind(Path(".out.mxt."), 0), 0u) << temporary;
      EXPECT_EQ(fs::exists(out), c.old_text != nullptr);
      if (c.old_text != nullptr) {
        EXPECT_EQ(ReadFile(out), c.old_text);
      }
      switch (c.end) {
        case End::kCommit:
          EXPECT_EQ(output.Commit(), 0);
          break;
        case End::kDiscard:
          output.Discard();
          break;
        case End::kDestroyed:
          break;
        case End::kException:
          throw std::runtime_error("conversion failed");
        case End::kMovedThenCommitted: {
          AtomicOutputFile owner(std::move(output));
          AtomicOutputFile last;
          last = std::move(owner);
          Write(last, "");
          EXPECT_EQ(last.Commit(), 0);
          break;
        }
      }
    } catch (const std::runtime_error&) {
    }
    if (c.expected_text == nullptr) {
      EXPECT_EQ(Entries(folder_), std::vector<std::string>{});
    } else {
      EXPECT_EQ(Entries(folder_), std::vector<std::string>{"out.mxt"});
      EXPECT_EQ(ReadFile(out), c.expected_text);
      EXPECT_EQ(ModeOf(out), c.expected_mode);
    }
  }
}

// A replaced file with different content is kept as OUTPUT~ (replacing an older one) when asked;
// a file that already holds the content written is left as it is, its time stamps too.
TEST_F(OutputFileTest, ChangedContentKeepsABackupAndTheSameContentTouchesNothing) {
  const std::string big(100000, 'x');
  struct {
    const char* old_text;    // null: no output yet
    const char* old_backup;  // null: no backup yet
    std::string written;
    bool keep_backup;
    const char* expected_backup;  // null: none
    bool unchanged;
  } const cases[] = {
      {nullptr, nullptr, "new\n", true, nullptr, false},
      {"old\n", nullptr, "new\n", true, "old\n", false},
      {"old\n", "older\n", "new\n", true, "old\n", false},
      {"nex\n", nullptr, "new\n", true, "nex\n", false},  // same size, other bytes
      {"new\n", "older\n", "new\n", true, "older\n", true},
      {"new\n", nullptr, "new\n", false, nullptr, true},
      {"old\n", nullptr, "new\n", false, nullptr, false},
      {"old\n", "older\n", "new\n", false, "older\n", false},
      {"new\n\n", nullptr, "new\n", true, "new\n\n", false},  // a longer file
      {"", nullptr, "", true, nullptr, true},
  };
  const timespec old_times[2] = {{1000000000, 0}, {1000000000, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    std::string out = Path("out.mxt"), backup = out + "~";
    fs::remove(out);
    fs::remove(backup);
    if (c.old_text != nullptr) WriteFile(out, c.old_text, 0640);
    if (c.old_backup != nullptr) WriteFile(backup, c.old_backup, 0600);
    utimensat(AT_FDCWD, out.c_str(), old_times, 0);
    AtomicOutputFile output;
    ASSERT_EQ(output.Open(out, c.keep_backup), 0);
    Write(output, c.written);
    ASSERT_EQ(output.Commit(), 0);
    EXPECT_EQ(ReadFile(out), c.written);
    EXPECT_EQ(output.unchanged(), c.unchanged);
    EXPECT_EQ(fs::exists(backup), c.expected_backup != nullptr);
    if (c.expected_backup != nullptr) {
      EXPECT_EQ(ReadFile(backup), c.expected_backup);
    }
    // The backup a commit reports is the one it made now.
    const bool made = c.keep_backup && c.old_text != nullptr && !c.unchanged;
    EXPECT_EQ(output.backup(), made ? backup : "");
    struct stat info;
    ASSERT_EQ(stat(out.c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime == old_times[1].tv_sec, c.unchanged);
    std::vector<std::string> entries = {"out.mxt"};
    if (c.expected_backup != nullptr) entries.push_back("out.mxt~");
    EXPECT_EQ(Entries(folder_), entries);  // no temporary file left
  }
  // Files larger than one piece of the comparison.
  WriteFile(Path("big.mxt"), big + "y", 0644);
  AtomicOutputFile output;
  ASSERT_EQ(output.Open(Path("big.mxt"), true), 0);
  Write(output, big + "z");
  ASSERT_EQ(output.Commit(), 0);
  EXPECT_FALSE(output.unchanged());
  EXPECT_EQ(ReadFile(Path("big.mxt~")), big + "y");
}

// Outputs with nothing to replace are written directly; outputs that cannot be written give the
// reason as an errno value, in errno too.
TEST_F(OutputFileTest, DevicesAreWrittenDirectlyAndFailuresGiveTheirReason) {
  mkdir(Path("folder").c_str(), 0755);
  WriteFile(Path("file"), "x", 0644);
  symlink("loop2", Path("loop1").c_str());
  symlink("loop1", Path("loop2").c_str());
  const std::string big(200000, 'x');  // more than the stream's buffer
  struct {
    std::string path;
    std::string text;
    int open_error;
    int commit_error;
  } const cases[] = {
      {"/dev/null", "go\n", 0, 0},
      {"/dev/null", big, 0, 0},
      {"/dev/full", "go\n", 0, ENOSPC},
      {"/dev/full", big, 0, ENOSPC},
      {Path("nodir/out.mxt"), "", ENOENT, 0},
      {Path("file/out.mxt"), "", ENOTDIR, 0},
      {Path("folder"), "", EISDIR, 0},
      {Path("loop1"), "", ELOOP, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    AtomicOutputFile output;
    errno = 0;
    int error = output.Open(c.path);
    EXPECT_EQ(error, c.open_error) << std::strerror(error);
    if (error != 0) {
      EXPECT_EQ(errno, c.open_error);
      EXPECT_EQ(output.stream(), nullptr);
      continue;
    }
    EXPECT_EQ(output.TemporaryPath(), "");
    Write(output, c.text);
    error = output.Commit();
    EXPECT_EQ(error, c.commit_error) << std::strerror(error);
    if (error != 0) {
      EXPECT_EQ(errno, c.commit_error);
    }
  }
  EXPECT_EQ(Entries(folder_), (std::vector<std::string>{"file", "folder", "loop1", "loop2"}));
  EXPECT_EQ(Entries(Path("folder")), std::vector<std::string>{});
}

TEST_F(OutputFileTest, AFifoIsWrittenDirectly) {
  std::string fifo = Path("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  std::string received;
  std::thread reader([&] { received = ReadFile(fifo); });
  AtomicOutputFile output;
  ASSERT_EQ(output.Open(fifo), 0);
  EXPECT_EQ(output.TemporaryPath(), "");
  Write(output, "go\n");
  EXPECT_EQ(output.Commit(), 0);
  reader.join();
  EXPECT_EQ(received, "go\n");
  EXPECT_EQ(Entries(folder_), std::vector<std::string>{"pipe"});
}

// The file a link names is replaced in its own folder; the link stays a link.
TEST_F(OutputFileTest, LinksAreFollowedToTheFileTheyName) {
  mkdir(Path("sub").c_str(), 0755);
  struct {
    std::vector<std::pair<std::string, std::string>> links;  // name, what it names
    std::string output;                                      // the path given
    std::string file;                                        // the file that gets the text
    bool file_exists;
  } const cases[] = {
      {{{"link", "real"}}, "link", "real", true},
      {{{"link", "real"}}, "link", "real", false},  // a dangling link: its file is created
      {{{"sub/link", "../real"}}, "sub/link", "real", true},
      {{{"link", "sub/real"}}, "link", "sub/real", true},
      {{{"link2", "link1"}, {"link1", "sub/real"}}, "link2", "sub/real", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    for (const auto& [name, named] : c.links) {
      fs::remove(Path(name));
      ASSERT_EQ(symlink(named.c_str(), Path(name).c_str()), 0);
    }
    fs::remove(Path(c.file));
    if (c.file_exists) WriteFile(Path(c.file), "old\n", 0640);
    AtomicOutputFile output;
    ASSERT_EQ(output.Open(Path(c.output)), 0);
    EXPECT_EQ(fs::path(output.TemporaryPath()).lexically_normal().parent_path(),
              fs::path(Path(c.file)).lexically_normal().parent_path());
    Write(output, "new\n");
    EXPECT_EQ(output.Commit(), 0);
    for (const auto& [name, named] : c.links) {
      EXPECT_TRUE(fs::is_symlink(Path(name))) << name;
      EXPECT_EQ(fs::read_symlink(Path(name)).string(), named);
    }
    EXPECT_EQ(ReadFile(Path(c.file)), "new\n");
    EXPECT_EQ(ModeOf(Path(c.file)), c.file_exists ? 0640 : 0644);
    for (const auto& [name, named] : c.links) fs::remove(Path(name));
    fs::remove(Path(c.file));
    EXPECT_EQ(Entries(folder_), std::vector<std::string>{"sub"});
    EXPECT_EQ(Entries(Path("sub")), std::vector<std::string>{});
  }
}

TEST_F(OutputFileTest, TheProcessLinksOfOpenFilesAreWrittenDirectly) {
  // /dev/fd/N names a file this process has open: writing it writes that open file.
  std::string file = Path("opened");
  WriteFile(file, "old\n", 0644);
  FILE* opened = std::fopen(file.c_str(), "r+");
  ASSERT_NE(opened, nullptr);
  AtomicOutputFile output;
  ASSERT_EQ(output.Open("/dev/fd/" + std::to_string(fileno(opened))), 0);
  EXPECT_EQ(output.TemporaryPath(), "");
  Write(output, "new\n");
  EXPECT_EQ(output.Commit(), 0);
  std::fclose(opened);
  EXPECT_EQ(ReadFile(file), "new\n");
  EXPECT_EQ(Entries(folder_), std::vector<std::string>{"opened"});
}

TEST_F(OutputFileTest, TheLongestNameGetsATemporaryFileToo) {
  std::string out = Path(std::string(255, 'n'));
  WriteFile(out, "old\n", 0644);
  AtomicOutputFile output;
  ASSERT_EQ(output.Open(out), 0);
  EXPECT_NE(output.TemporaryPath(), "");
  EXPECT_LE(fs::path(output.TemporaryPath()).filename().string().size(), 255u);
  Write(output, "new\n");
  EXPECT_EQ(output.Commit(), 0);
  EXPECT_EQ(ReadFile(out), "new\n");
  EXPECT_EQ(Entries(folder_).size(), 1u);
}

// Permissions, checked as an ordinary user (the superuser may write any file): a read-only file
// is refused as opening it for writing would refuse it; a file that may be written in a folder
// that takes no new file is written in place, unless its previous content is to be kept: it is
// then left as it is when it holds the new content already, and refused for its backup otherwise.
TEST_F(OutputFileTest, PermissionsOfTheFileAndItsFolderAreRespected) {
  struct {
    mode_t folder_mode;
    mode_t file_mode;
    bool keep_backup;
    const char* written;
    int error;           // of Open or Commit
    const char* failed;  // the name the failure is about
    const char* expected_text;
  } const cases[] = {
      {0755, 0444, false, "new\n", EACCES, "out.mxt", "old\n"},
      {0755, 0644, false, "new\n", 0, "", "new\n"},
      {0555, 0644, false, "new\n", 0, "", "new\n"},
      {0555, 0444, false, "new\n", EACCES, "out.mxt", "old\n"},
      {0555, 0644, true, "new\n", EACCES, "out.mxt~", "old\n"},
      {0555, 0644, true, "old\n", 0, "", "old\n"},
      {0555, 0644, true, "old\nnew\n", EACCES, "out.mxt~", "old\n"},
      {0555, 0644, true, "ol", EACCES, "out.mxt~", "old\n"},
  };
  bool superuser = geteuid() == 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    std::string folder = Path("f" + std::to_string(&c - cases));
    std::string out = folder + "/out.mxt";
    mkdir(folder.c_str(), 0755);
    WriteFile(out, "old\n", c.file_mode);
    if (superuser) {
      ASSERT_EQ(chown(folder.c_str(), kUnprivilegedUser, kUnprivilegedUser), 0);
      ASSERT_EQ(chown(out.c_str(), kUnprivilegedUser, kUnprivilegedUser), 0);
    }
    chmod(folder.c_str(), c.folder_mode);
    auto write_as_a_user = [&] {
      if (superuser && (setgid(kUnprivilegedUser) != 0 || setuid(kUnprivilegedUser) != 0)) {
        std::exit(9);
      }
      AtomicOutputFile output;
      int error = output.Open(out, c.keep_backup);
      if (error == 0) {
        std::fputs(c.written, output.stream());
        error = output.Commit();
      }
      const bool named = error == 0 || output.failed_path() == folder + "/" + c.failed;
      std::exit(error == c.error && named ? 0 : 1);
    };
    EXPECT_EXIT(write_as_a_user(), testing::ExitedWithCode(0), "");
    chmod(folder.c_str(), 0755);
    EXPECT_EQ(ReadFile(out), c.expected_text);
    EXPECT_EQ(ModeOf(out), c.file_mode);
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"out.mxt"});
  }
}

TEST_F(OutputFileTest, AFailedWriteGivesItsReasonAndKeepsTheOutput) {
  std::string out = Path("out.mxt");
  WriteFile(out, "old\n", 0640);
  auto write_past_the_limit = [&] {
    // Files may not grow past 4 KB, and the signal for it is ignored: writes fail with EFBIG.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    AtomicOutputFile output;
    if (output.Open(out) != 0) std::exit(2);
    std::string text(100000, 'x');
    std::fwrite(text.data(), 1, text.size(), output.stream());
    std::exit(output.Commit() == EFBIG ? 0 : 1);
  };
  EXPECT_EXIT(write_past_the_limit(), testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadFile(out), "old\n");
  EXPECT_EQ(ModeOf(out), 0640);
  EXPECT_EQ(Entries(folder_), std::vector<std::string>{"out.mxt"});
}

// SIGINT and SIGTERM remove the temporary files of every thread and end the process by the
// signal; a signal ignored from the start stays ignored.
TEST_F(OutputFileTest, SignalsRemoveTheTemporaryFilesOfEveryThread) {
  struct {
    int signal;
    bool ignored_at_start;
  } const cases[] = {{SIGTERM, false}, {SIGINT, false}, {SIGINT, true}, {SIGTERM, true}};
  constexpr int kThreads = 4;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.signal << (c.ignored_at_start ? " ignored" : ""));
    for (int k = 0; k < kThreads; ++k) WriteFile(Path("out" + std::to_string(k)), "old\n", 0640);
    auto run = [&] {
      if (c.ignored_at_start) std::signal(c.signal, SIG_IGN);
      RemoveTemporaryOutputsOnSignals();
      std::atomic<int> open{0};
      std::atomic<bool> done{false};
      std::vector<std::thread> threads;
      for (int k = 0; k < kThreads; ++k) {
        threads.emplace_back([&, k] {
          AtomicOutputFile output;
          if (output.Open(Path("out" + std::to_string(k))) != 0) std::exit(2);
          std::fputs("new\n", output.stream());
          ++open;
          while (!done) std::this_thread::yield();
          if (output.Commit() != 0) std::exit(3);
        });
      }
      while (open < kThreads) std::this_thread::yield();
      std::raise(c.signal);
      done = true;
      for (std::thread& thread : threads) thread.join();
      std::exit(0);
    };
    if (c.ignored_at_start) {
      EXPECT_EXIT(run(), testing::ExitedWithCode(0), "");
    } else {
      EXPECT_EXIT(run(), testing::KilledBySignal(c.signal), "");
    }
    for (int k = 0; k < kThreads; ++k) {
      EXPECT_EQ(ReadFile(Path("out" + std::to_string(k))), c.ignored_at_start ? "new\n" : "old\n");
    }
    EXPECT_EQ(Entries(folder_), (std::vector<std::string>{"out0", "out1", "out2", "out3"}));
  }
}

}  // namespace
