// Command line: option words are case-insensitive prefixes of their keywords, read left to
// right; long options are exact words; the help text is printed at most once; paths are the
// words after -I and -O; words that no option takes are usage errors; without -I the other words
// are the paths of a batch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "command_line.h"

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

// Reads the blank-separated `words` (after the program name) as a command line.
CommandLine Process(const std::string& words) {
  std::vector<std::string> args = {"tvx2mxt"};
  for (size_t at = 0, end; at < words.size(); at = end + 1) {
    end = std::min(words.find(' ', at), words.size());
    args.push_back(words.substr(at, end - at));
  }
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return ProcessInputs(static_cast<int>(args.size()), argv.data());
}

// What PrintMessages prints for a command line.
std::string Messages(const CommandLine& command_line) {
  char* buffer = nullptr;
  size_t size = 0;
  std::FILE* to = open_memstream(&buffer, &size);
  PrintMessages(command_line, to);
  std::fclose(to);
  std::string printed(buffer, size);
  std::free(buffer);
  return printed;
}

std::string Join(const std::vector<std::string>& words) {
  std::string joined;
  for (const std::string& word : words) joined += (joined.empty() ? "" : " ") + word;
  return joined;
}

TEST(CommandLine, OptionsAreReadLeftToRight) {
  const std::string v = kVersionLine, missing = "\nMissing input file\n";
  struct {
    const char* words;
    std::string printed;
    const char* input;   // "-": none
    const char* output;  // "-": none
    const char* flags;   // A, W, C, K (console input), U (usage error), N (no backup)
    const char* errors;  // the word errors, joined with "|"
  } const cases[] = {
      // clang-format off
      {"-I -A", "", "-A", "-", "A", ""},  // the path "-A" is also examined as an option
      {"-I a.txt -I b.txt", "", "b.txt", "-", "", ""},
      {"-i a.txt -o b.txt -a -w -c", "", "a.txt", "b.txt", "AWC", ""},
      {"-I a.txt -O", "\nMissing output file\n", "a.txt", "-", "U", ""},
      {"-I a.txt -I", missing, "a.txt", "-", "U", ""},
      {"-V -I", v + missing, "-", "-", "U", ""},
      {"-vsn -v -Vs", v + v + v, "-", "-", "", ""},
      {"-Version -Vsnx - -Input a.txt x.txt", "", "-", "-", "",
       "unknown option: -Version|unknown option: -Vsnx|unexpected operand: -|"
       "unknown option: -Input"},
      {"-x -I a.tvx -Output z.mxt b.tvx", "", "a.tvx", "-", "",
       "unknown option: -x|unknown option: -Output|unexpected operand: z.mxt|"
       "unexpected operand: b.tvx"},
      {"-I a.tvx -", "", "a.tvx", "-", "", "unexpected operand: -"},
      {"-", "", "-", "-", "K", ""},  // a lone "-" is standard input
      {"-I - -O -", "", "-", "-", "K", ""},  // paths are never reported
      {"-I -x", "", "-x", "-", "", ""},  // nor examined as unknown words
      {"-O --foo -I --", "", "--", "--foo", "", ""},  // nor as long options
      // Long options: a value after "=" or as the next word (whatever it begins with).
      {"--input=a.tvx --output b.mxt --echo --warnings --check --no-backup", "", "a.tvx", "b.mxt",
       "AWCN", ""},
      {"--input -A", "", "-A", "-", "", ""},  // a long option's value is no option word
      {"--output=", "", "-", "", "", ""},
      {"-I a.tvx --output", "\nMissing output file\n", "a.tvx", "-", "U", ""},
      {"--input", missing, "-", "-", "U", ""},
      {"-I a.tvx --report", "", "a.tvx", "-", "", "option '--report' requires an argument"},
      {"-I a.tvx --jobs", "", "a.tvx", "-", "", "option '--jobs' requires an argument"},
      {"-I a.tvx --echo=yes --verbose --Help --versio --inp=b", "", "a.tvx", "-", "",
       "option '--echo' doesn't allow an argument|unknown option: --verbose|"
       "unknown option: --Help|unknown option: --versio|unknown option: --inp=b"},
      {"-I a.tvx -- -x.tvx", "", "a.tvx", "-", "", "unexpected operand: -x.tvx"},
      {"-I con", "", "con", "-", "K", ""}, {"-I CON", "", "CON", "-", "K", ""},
      {"-I cOn", "", "cOn", "-", "K", ""}, {"-I cox", "", "cox", "-", "", ""},
      {"-I CONS", "", "CONS", "-", "", ""}, {"-I co", "", "co", "-", "", ""},
      {"-I con -I a.txt", "", "a.txt", "-", "", ""},  // the last -I decides
      {"-help -? -h -He", kHelpText, "-", "-", "", ""},  // the help only once
      {"", kHelpText, "-", "-", "", ""},
      {"-j 2 -I a.tvx -j", "\nMissing number of jobs\n", "a.tvx", "-", "U", ""},
      {"-j0", "\nNot a number of jobs: 0\n", "-", "-", "U", ""},
      {"--jobs=2x", "\nNot a number of jobs: 2x\n", "-", "-", "U", ""},
      {"-j -I a.tvx", "\nNot a number of jobs: -I\n", "-", "-", "U", ""},
      {"-jobs 0 a.tvx", "\nNot a number of jobs: 0\n", "-", "-", "U", ""},
      {"-j x2", "\nNot a number of jobs: x2\n", "-", "-", "U", ""},
      // clang-format on
  };
  for (const auto& c : cases) {
    CommandLine line = Process(c.words);
    EXPECT_EQ(Messages(line), c.printed) << c.words;
    EXPECT_EQ(line.input.value_or("-"), c.input) << c.words;
    EXPECT_EQ(line.output.value_or("-"), c.output) << c.words;
    std::string flags = std::string(line.echo_original ? "A" : "") + (line.warnings ? "W" : "") +
                        (line.check ? "C" : "") + (line.console_input ? "K" : "") +
                        (line.usage_error ? "U" : "") + (line.backup ? "" : "N");
    EXPECT_EQ(flags, c.flags) << c.words;
    std::string errors;
    for (const std::string& error : line.word_errors) errors += (errors.empty() ? "" : "|") + error;
    EXPECT_EQ(errors, c.errors) << c.words;
  }
}

TEST(CommandLine, TheFirstOfHelpAndVersionIsAnsweredAlone) {
  struct {
    const char* words;
    Immediate immediate;
  } const cases[] = {
      {"--help --version", Immediate::kLongHelp},
      {"-I a.tvx --version -x --help", Immediate::kLongVersion},  // -x is refused first
      {"-V -HELP", Immediate::kNone},                             // the design's words
      {"--helpme", Immediate::kNone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Process(c.words).immediate, c.immediate) << c.words;
  }
}

TEST(CommandLine, WithoutInputTheOtherWordsAreBatchPaths) {
  struct {
    const char* words;
    const char* paths;
    unsigned jobs;
    const char* output;
    const char* report;  // "": none
  } const cases[] = {
      {"scripts a.tvx", "scripts a.tvx", 0, "-", ""},
      {"-j 4 -O out scripts -W b.TVX", "scripts b.TVX", 4, "out", ""},
      {"-JOBS 12 -C x", "x", 12, "-", ""},  // the number is the option's word, not a path
      {"-j3 x -J4 y", "x y", 4, "-", ""},   // digits attached
      {"--jobs 5 x --jobs=6 y", "x y", 6, "-", ""},
      {"-O x.mxt", "", 0, "x.mxt", ""},
      {"-- -x.tvx", "-x.tvx", 0, "-", ""},  // after "--" every word is a path
      {"s --report=a.html --report b.json", "s", 0, "-", "b.json"},  // the last one named
      {"s --report -", "s", 0, "-", "-"},  // the value, not a lone "-" operand
  };
  for (const auto& c : cases) {
    CommandLine line = Process(c.words);
    EXPECT_EQ(Join(line.paths), c.paths) << c.words;
    EXPECT_EQ(line.jobs, c.jobs) << c.words;
    EXPECT_EQ(line.output.value_or("-"), c.output) << c.words;
    EXPECT_EQ(line.report.value_or(""), c.report) << c.words;
    EXPECT_TRUE(line.word_errors.empty()) << c.words;
  }
}

}  // namespace
