// Command line: option words are case-insensitive prefixes of their keywords, read left to
// right; the help text is printed at most once; paths are the arguments after -I and -O.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parser.h"

namespace {

const char kHelpText[] =
    "\nMerovant Debugger script converter - Help\n"
    "\n-I <path>\tPath to input file"
    "\n-O <path>\tFile to save output to"
    "\n-A \t\tAdd commented out original script to output"
    "\n-Vsn\t\tVersion\n";
const char kVersionLine[] = "\nVersion: Build number 497\n";

TEST(OptionWordTest, CLoptionMatchesNonEmptyCaseInsensitivePrefixes) {
  struct {
    const char* word;
    int len;
    const char* keyword;
    int expected;
  } const cases[] = {
      {"h", 1, "HELP", 1},
      {"He", 2, "HELP", 1},
      {"help", 4, "HELP", 1},
      {"HELP", 4, "HELP", 1},
      {"?", 1, "?", 1},
      {"i", 1, "I", 1},
      {"Vs", 2, "VSN", 1},
      {"vSn", 3, "VSN", 1},
      {"v", 1, "V", 1},
      {"helpme", 4, "HELP", 1},  // only the first `len` characters are compared
      {"", 0, "HELP", 0},
      {"helpx", 5, "HELP", 0},
      {"Input", 5, "I", 0},
      {"Version", 7, "VSN", 0},
      {"Out", 3, "O", 0},
      {"hx", 2, "HELP", 0},
      {"x", 1, "HELP", 0},
      {"?", 1, "HELP", 0},
      {"\xE9", 1, "\xC9", 0},  // only A to Z and a to z change case
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.word) + " vs " + c.keyword);
    EXPECT_EQ(CLoption(c.word, c.len, c.keyword), c.expected);
  }
}

class CommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetOptions(); }
  void TearDown() override { ResetOptions(); }

  // Runs the option pass over `words` (the program name is added) and returns what it printed.
  std::string Process(std::vector<std::string> words) {
    args_ = {"tvx2mxt"};
    args_.insert(args_.end(), words.begin(), words.end());
    argv_.clear();
    for (auto& a : args_) argv_.push_back(a.data());
    argv_.push_back(nullptr);
    testing::internal::CaptureStdout();
    ProcessInputs(static_cast<int>(args_.size()), argv_.data());
    return testing::internal::GetCapturedStdout();
  }
  static std::string Str(const char* p) { return p ? p : "(null)"; }

  std::vector<std::string> args_;  // the paths point into these
  std::vector<char*> argv_;
};

TEST_F(CommandLineTest, PathAfterInputOptionIsAlsoExaminedAsOption) {
  EXPECT_EQ(Process({"-I", "-A"}), "");
  EXPECT_EQ(Str(InputFile), "-A");
  EXPECT_EQ(bOriginal, 1);
  EXPECT_EQ(ConInput, 0);
}

TEST_F(CommandLineTest, LastInputOptionWins) {
  EXPECT_EQ(Process({"-I", "a.txt", "-I", "b.txt"}), "");
  EXPECT_EQ(Str(InputFile), "b.txt");
}

TEST_F(CommandLineTest, LowerCaseOptionsWorkLikeUpperCase) {
  EXPECT_EQ(Process({"-i", "a.txt", "-o", "b.txt", "-a"}), "");
  EXPECT_EQ(Str(InputFile), "a.txt");
  EXPECT_EQ(Str(OutputFile), "b.txt");
  EXPECT_EQ(bOriginal, 1);
}

TEST_F(CommandLineTest, MissingPathsAreReportedAndLeaveTheSettings) {
  EXPECT_EQ(Process({"-I", "a.txt", "-O"}), "\nMissing output file\n");
  EXPECT_EQ(Str(InputFile), "a.txt");
  EXPECT_EQ(OutputFile, nullptr);
  ResetOptions();
  EXPECT_EQ(Process({"-I", "a.txt", "-I"}), "\nMissing input file\n");
  EXPECT_EQ(Str(InputFile), "a.txt");
  ResetOptions();
  EXPECT_EQ(Process({"-V", "-I"}), std::string(kVersionLine) + "\nMissing input file\n");
  EXPECT_EQ(InputFile, nullptr);
}

TEST_F(CommandLineTest, HelpIsPrintedOnce) {
  EXPECT_EQ(Process({"-help", "-?"}), kHelpText);
  EXPECT_EQ(Help_once, 1);
  ResetOptions();
  EXPECT_EQ(Process({"-h", "-HELP", "-He"}), kHelpText);
  ResetOptions();
  EXPECT_EQ(Process({}), kHelpText);  // no arguments at all
  testing::internal::CaptureStdout();
  PrintHelp();  // already printed in this run
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(CommandLineTest, VersionLineForEveryVersionWord) {
  EXPECT_EQ(Process({"-V"}), kVersionLine);  // "V" matches two keywords, one line
  ResetOptions();
  EXPECT_EQ(Process({"-vsn", "-v", "-Vs"}),
            std::string(kVersionLine) + kVersionLine + kVersionLine);
  ResetOptions();
  EXPECT_EQ(Process({"-Version", "-Vsnx", "-", "-Input", "a.txt", "x.txt"}), "");
  EXPECT_EQ(InputFile, nullptr);
}

TEST_F(CommandLineTest, ConsoleInputForConInAnyCase) {
  struct {
    const char* path;
    int console;
  } const cases[] = {{"con", 1}, {"CON", 1},  {"Con", 1}, {"cOn", 1},
                     {"cox", 0}, {"CONS", 0}, {"cat", 0}, {"co", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    ResetOptions();
    Process({"-I", c.path});
    EXPECT_EQ(ConInput, c.console);
    EXPECT_EQ(Str(InputFile), c.path);
  }
  ResetOptions();
  Process({"-I", "con", "-I", "a.txt"});  // a later -I does not clear console mode
  EXPECT_EQ(ConInput, 1);
  EXPECT_EQ(Str(InputFile), "a.txt");
}

}  // namespace
