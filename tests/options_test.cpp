// Command line: option words are case-insensitive prefixes of their keywords, read left to
// right; the help text is printed at most once; paths are the arguments after -I and -O.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "parser.h"

namespace {

const std::string kHelpText =
    "\nMerovant Debugger script converter - Help\n\n-I <path>\tPath to input file"
    "\n-O <path>\tFile to save output to\n-A \t\tAdd commented out original script to output"
    "\n-Vsn\t\tVersion\n";
const std::string kVersionLine = "\nVersion: Build number 497\n";

TEST(OptionWord, CLoptionMatchesNonEmptyCaseInsensitivePrefixes) {
  struct {
    const char* word;
    int len;
    const char* keyword;
    int expected;
  } const cases[] = {
      // clang-format off
      {"h", 1, "HELP", 1}, {"He", 2, "HELP", 1}, {"help", 4, "HELP", 1}, {"?", 1, "?", 1},
      {"vSn", 3, "VSN", 1}, {"helpme", 4, "HELP", 1},  // only `len` characters are compared
      {"", 0, "HELP", 0}, {"helpx", 5, "HELP", 0}, {"Input", 5, "I", 0}, {"Version", 7, "VSN", 0},
      {"hx", 2, "HELP", 0}, {"?", 1, "HELP", 0}, {"\xE9", 1, "\xC9", 0},  // ASCII case only
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CLoption(c.word, c.len, c.keyword), c.expected) << c.word << " vs " << c.keyword;
  }
}

// Runs the option pass over the blank-separated `words` (after the program name); returns what
// it printed and the settings: input path, output path, -A and console mode.
std::string Process(const std::string& words, std::string* settings) {
  static std::vector<std::string> args;  // the paths point into these
  static std::vector<char*> argv;
  ResetOptions();
  args = {"tvx2mxt"};
  for (size_t at = 0, end; at < words.size(); at = end + 1) {
    end = std::min(words.find(' ', at), words.size());
    args.push_back(words.substr(at, end - at));
  }
  argv.clear();
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  testing::internal::CaptureStdout();
  ProcessInputs(static_cast<int>(args.size()), argv.data());
  auto str = [](const char* p) { return std::string(p ? p : "-"); };
  *settings = str(InputFile) + " " + str(OutputFile) + " " + std::to_string(bOriginal) +
              std::to_string(ConInput);
  return testing::internal::GetCapturedStdout();
}

TEST(CommandLine, OptionsArePassedLeftToRight) {
  const std::string v = kVersionLine, missing = "\nMissing input file\n";
  struct {
    const char* words;
    std::string printed, settings;
  } const cases[] = {
      // clang-format off
      {"-I -A", "", "-A - 10"},  // the path "-A" is also examined as an option
      {"-I a.txt -I b.txt", "", "b.txt - 00"}, {"-i a.txt -o b.txt -a", "", "a.txt b.txt 10"},
      {"-I a.txt -O", "\nMissing output file\n", "a.txt - 00"},
      {"-I a.txt -I", missing, "a.txt - 00"},
      {"-V -I", v + missing, "- - 00"}, {"-vsn -v -Vs", v + v + v, "- - 00"},
      {"-Version -Vsnx - -Input a.txt x.txt", "", "- - 00"},
      {"-I con", "", "con - 01"}, {"-I CON", "", "CON - 01"}, {"-I cOn", "", "cOn - 01"},
      {"-I cox", "", "cox - 00"}, {"-I CONS", "", "CONS - 00"}, {"-I co", "", "co - 00"},
      {"-I con -I a.txt", "", "a.txt - 01"},  // a later -I does not clear console mode
      {"-help -? -h -He", kHelpText, "- - 00"}, {"", kHelpText, "- - 00"},  // help only once
      // clang-format on
  };
  for (const auto& c : cases) {
    std::string settings;
    EXPECT_EQ(Process(c.words, &settings), c.printed) << c.words;
    EXPECT_EQ(settings, c.settings) << c.words;
  }
  testing::internal::CaptureStdout();
  PrintHelp();  // already printed in the last run
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  ResetOptions();
}

}  // namespace
