// Bounds on hostile input: any single line of up to 1 MB converts in well under 2 seconds,
// whatever it holds; a line of 2 MB takes under 40 MB of memory; lookups do not slow down as the
// alias store grows; memory stays bounded by the longest line, not by the length of the script.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "command_line.h"
#include "converter.h"
#include "script_files.h"

namespace {

constexpr size_t kMegabyte = 1 << 20;

std::string Repeat(const std::string& piece, size_t total) {
  std::string text;
  text.reserve(total + piece.size());
  while (text.size() < total) text += piece;
  return text;
}

// Seconds that the script loop takes for `script`, output thrown away.
double SecondsToConvert(const std::string& script) {
  LineConverter converter;
  std::FILE* in = fmemopen(const_cast<char*>(script.data()), script.size(), "r");
  std::FILE* out = std::fopen("/dev/null", "w");
  tvx2mxt::Options options;
  options.echo_original = true;
  options.on_finding = [](const tvx2mxt::Finding&) {};
  auto start = std::chrono::steady_clock::now();
  ConvertScriptFile(in, out, options);
  std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  std::fclose(in);
  std::fclose(out);
  return elapsed.count();
}

struct Shape {
  const char* name;
  std::string head, piece, tail;
};

// Each shape makes its long text reach a rule: the call rule and the comment print keep the
// whole argument text, most other templates drop surplus arguments.
const Shape kShapes[] = {
    {"blank runs", "call a", " ", "b"},
    {"tab runs", "call a", "\t", "b"},
    {"scope colons in an expression", "call x=", "a:", ""},
    {"scope colons in a while condition", "go while ", "a:", "==1"},
    {"value list with commas", "call arr=", "1,", "2"},
    {"value list with blanks after a comma", "call arr=1,2", " 2", ""},
    {"registers in a call", "call ", "r1 ", ""},
    {"registers in a comment", "comment ", "r1 ", ""},
    {"internal variables in a print", "print ", "$x", ""},
    {"quotes without partners", "call ", "\"", ""},
    {"parentheses without partners", "! ", "( ", ""},
    {"alias definitions", "", "alias ", "go"},
    {"semicolons", "", ";", ""},
    {"command lists", "b f ", "do {", ""},
    {"nested command lists", "b f ", "do {b f ", ""},
    {"nested help", "", "h ", "break"},
    {"breakpoint condition", "b main if ", "x==1 && ", "y"},
    {"step words", "step ", "in out while ", ""},
    {"placeholder text", "v ", "XXXXX1", ""},
    {"placeholders whose removal forms punctuation", "v ", "..aXXXXX1+", ""},
    {"placeholders whose removal forms words", "v ", "callgXXXXX1raph'aXXXXX1'", ""},
    {"placeholders whose removal makes words whole", "v ", "callgraph_XXXXX1.profileaXXXXX1.", ""},
    {"semicolons inside and outside braces", "", "{;};", ""},
    {"quoted print format", "p \"x\"", ",$x", ""},
    {"quoted comment", "comment ", "\" : ", "="},
    {"width switches", "e ", "/16 ", ""},
};

// The peak resident memory, in KiB, of the converter on the script at `path`. The script is
// written beforehand in small pieces, so that this process stays small: a forked child's peak
// counts what its parent held.
long PeakKibToConvert(const std::string& path) {
  pid_t child = fork();
  if (child == 0) {
    std::freopen("/dev/null", "w", stdout);
    execl(TVX2MXT_EXE, TVX2MXT_EXE, "-I", path.c_str(), "-O", "/dev/null", nullptr);
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (child == -1 || wait4(child, &status, 0, &usage) != child || WEXITSTATUS(status) != 0) {
    return -1;
  }
  return usage.ru_maxrss;
}

// Peak resident memory of the converter on a script of a million short lines. The child's
// peak counts what this process held when it forked, so this test comes first, before the
// megabyte lines of the others have grown the test process.
TEST(SlowBounds, MemoryDoesNotGrowWithTheScript) {
  const std::string path = testing::TempDir() + "tvx2mxt_million.tvx";
  {
    std::ofstream script(path);
    for (int n = 0; n < 1000000; ++n) script << "b main.c:" << n << " if x==" << n << "\n";
  }
  const long kib = PeakKibToConvert(path);
  EXPECT_GT(kib, 0);
  EXPECT_LT(kib, 16 * 1024) << "peak resident memory in KiB";
  std::remove(path.c_str());
}

// A line of two megabytes costs a small multiple of its length: under 40 MB, whatever it holds
// (the shapes whose conversion is itself many times the line, such as a value list of single
// digits, excepted: those cost about twice their output).
TEST(SlowBounds, ATwoMegabyteLineTakesUnder40Megabytes) {
  constexpr size_t kTwoMegabytes = 2 * kMegabyte;
  struct LongLine {
    const char* name;
    std::string head, piece, tail;
    size_t closing = 0;  // "}" after the tail, one for each piece
  };
  const LongLine lines[] = {
      {"print text", "print ", "x", ""},
      {"value list", "let a = ", "", "0"},  // 0, 1, 2, ... (below)
      {"call with blanks", "call a", " b", ""},
      {"command list", "b f do {", "p x;", "go}"},
      {"nested command lists", "b f ", "do {b f ", "go", 1},
      {"placeholder text", "v ", "XXXXX1", ""},
      {"placeholders and quoted commas", "v ", "\"a,XXXXX1\",", ""},
      {"breakpoint condition", "b main if ", "x==1 && ", "y"},
      {"scope colons", "let x = ", "a:", "b"},
      {"distinct words", "v ", "", ""},  // w0 w1 w2 ... (below)
      {"a command list over several lines", "b f do {\n", "p x;", "\n}"},
  };
  const std::string path = testing::TempDir() + "tvx2mxt_long_line.tvx";
  for (const LongLine& line : lines) {
    {
      std::ofstream script(path);
      script << line.head;
      size_t written = 0, count = 0;
      for (; written < kTwoMegabytes; ++count) {
        std::string piece = line.piece;
        if (piece.empty()) {
          piece =
              line.head == "v " ? "w" + std::to_string(count) + " " : std::to_string(count) + ", ";
        }
        script << piece;
        written += piece.size();
      }
      script << line.tail;
      for (size_t n = 0; n < count * line.closing; ++n) script << '}';
      script << '\n';
    }
    const long kib = PeakKibToConvert(path);
    EXPECT_GT(kib, 0) << line.name;
    EXPECT_LT(kib, 40 * 1024) << line.name << ": peak resident memory in KiB";
  }
  std::remove(path.c_str());
}

TEST(SlowBounds, EveryShapeOfAMegabyteLineConvertsInUnderTwoSeconds) {
  for (const Shape& shape : kShapes) {
    std::string line = shape.head + Repeat(shape.piece, kMegabyte) + shape.tail + "\n";
    EXPECT_LT(SecondsToConvert(line), 2.0) << shape.name;
  }
}

// A script that defines a new alias every hundred lines and uses them: four times the lines
// (and four times the aliases) must take about four times as long, not sixteen.
std::string AliasScript(int lines) {
  std::string script;
  for (int n = 0; n < lines; ++n) {
    if (n % 100 == 0) {
      script += "alias a" + std::to_string(n) + " go\n";
    } else {
      script += "a" + std::to_string(n / 100 * 100) + "\nbreak main\n";
    }
  }
  return script;
}

TEST(SlowBounds, AliasLookupsStayLinearAsTheStoreGrows) {
  double small = SecondsToConvert(AliasScript(100000));
  double large = SecondsToConvert(AliasScript(400000));
  EXPECT_LT(large, 8 * small + 0.2)
      << small << " s for 100,000 lines, " << large << " s for 400,000";
}

}  // namespace
