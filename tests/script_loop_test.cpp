// Script loop: what each input line becomes in the output script (blank lines, line ends,
// comments, the -A echo, semicolon segments and their warning, the not-converted report), the
// closing journal and log commands, and the summary.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "converter.h"
#include "parser.h"

using namespace std::string_literals;

namespace {

const char kNotConverted[] = "//No available conversion of command:\t";

std::string SemicolonWarning(const std::string& line) {
  return "//Warning: semicolon found on line: \"" + line +
         "\".  This conversion could contain errors.\n//Put multiple commands on seperate "
         "lines\n\n";
}

class ScriptLoopTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetRunState(); }
  void TearDown() override { ResetRunState(); }

  // Converts `input` held in memory and returns the output script.
  std::string Convert(std::string input, bool original, ScriptCounts& counts) {
    std::FILE* in = input.empty() ? std::tmpfile() : fmemopen(input.data(), input.size(), "r");
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    EXPECT_TRUE(in && out);
    EXPECT_TRUE(ConvertScript(in, out, original, counts));
    std::fclose(in);
    std::fclose(out);
    std::string result(buffer, size);
    std::free(buffer);
    return result;
  }
};

struct ScriptCase {
  const char* name;
  std::string input;
  bool original;  // -A
  std::string expected;
  long notConverted;
  long semicolonLines;
};

TEST_F(ScriptLoopTest, EachLineBecomesItsOutput) {
  const std::string nc = kNotConverted;
  const ScriptCase cases[] = {
      {"empty input", "", false, "", 0, 0},
      {"blank lines", "\n   \n\t\t\n \t \n", false, "\n\n\n\n", 0, 0},
      {"CRLF pairs go with the newline", "go\r\nbreak main\r\n\r\nfoo\r\n", false,
       "go\nbreak main\n\n" + nc + "foo\n", 1, 0},
      {"lone CR becomes a blank", "foo\rbar\nfoo\rbar\r\n", false,
       nc + "foo bar\n" + nc + "foo bar\n", 2, 0},
      {"NUL ends the line's text", "fo\0o\n\0go\ngo\n"s, false, nc + "fo\n\ngo\n", 1, 0},
      {"last line of one character", "go\ng", false, "go\ngo\n", 0, 0},
      {"only line of one character", "q", false, "quit y\n", 0, 0},
      {"last line without newline", "go\nfoo", false, "go\n" + nc + "foo\n", 1, 0},
      {"indented commands", "  go\n\tgo\n \tbreak main\n", false, "go\ngo\nbreak main\n", 0, 0},
      {"comments are never converted or split",
       "|note\n| comment  with   blanks\n|x=5\n| =====\n  |indented\n|a;b\n|\tx\n", false,
       "//|note\n//| comment with blanks\n//|x =5\n//| =====\n//  |indented\n//|a;b\n//| x\n", 0,
       0},
      {"echo shows the normalised segment", "go\n|note\nfoo\tbar\n\tgo\n", true,
       "//tavex:go\ngo\n//tavex:|note\n//tavex:foo bar\n" + nc + "foo bar\n//tavex: go\ngo\n", 1,
       0},
      {"not converted and counted", "frobnicate\nunw\nbre main\n", false,
       nc + "frobnicate\n" + nc + "unw\n" + nc + "bre main\n", 3, 0},
      {"semicolon segments keep their ;", "foo;go\n", false,
       nc + "foo;\ngo\n" + SemicolonWarning("foo;go"), 1, 1},
      {"semicolon line with CRLF", "foo;go\r\n", false,
       nc + "foo;\ngo\n" + SemicolonWarning("foo;go"), 1, 1},
      {"warning quotes the line as read", "foo\t; go\n", false,
       nc + "foo ;\ngo\n" + SemicolonWarning("foo\t; go"), 1, 1},
      {"trailing ; gives a line of two blanks", "foo;\n", false,
       nc + "foo;\n  \n" + SemicolonWarning("foo;"), 1, 1},
      {"comment segment of a semicolon line", "foo;|x\n", false,
       nc + "foo;\n//|x\n" + SemicolonWarning("foo;|x"), 1, 1},
      {"semicolon lines with echo", "foo;go\nbar;\n", true,
       "//tavex:foo;\n" + nc + "foo;\n//tavex:go\ngo\n" + SemicolonWarning("foo;go") +
           "//tavex:bar;\n" + nc + "bar;\n//tavex:\n  \n" + SemicolonWarning("bar;"),
       2, 2},
      {"; with } is converted whole", "x {a;b}\n", false, nc + "x {a;b}\n", 1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptCounts counts;
    EXPECT_EQ(Convert(c.input, c.original, counts), c.expected);
    EXPECT_EQ(counts.iNotConverted, c.notConverted);
    EXPECT_EQ(counts.semicolon, c.semicolonLines);
    EXPECT_FALSE(counts.journal);
    EXPECT_FALSE(counts.log);
  }
}

TEST_F(ScriptLoopTest, CrlfScriptConvertsLikeLfScript) {
  ScriptCounts lf, crlf;
  EXPECT_EQ(Convert("go\nbreak main\nfoo;g\n|c\n\nq\n", false, lf),
            Convert("go\r\nbreak main\r\nfoo;g\r\n|c\r\n\r\nq\r\n", false, crlf));
}

TEST_F(ScriptLoopTest, JournalAndLogAreClosedAtTheEnd) {
  struct {
    const char* input;
    bool journal, log;
    const char* tail;  // the end of the output script
  } const cases[] = {
      {"log my.log\n", true, true, "\n\njournal off\nlog off"},
      {"v catalog\n", false, true, "printtype catalog\n\nlog off"},          // "log" inside a word
      {"h log\n", false, false, "dcommands journal \n"},                     // help sets nothing
      {"journal on\nfrobnicate log\n", false, false, "\tfrobnicate log\n"},  // not converted
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    ScriptCounts counts;
    const std::string output = Convert(c.input, false, counts);
    EXPECT_EQ(counts.journal, c.journal);
    EXPECT_EQ(counts.log, c.log);
    const std::string tail = c.tail;
    ASSERT_GE(output.size(), tail.size()) << output;
    EXPECT_EQ(output.substr(output.size() - tail.size()), tail);
  }
}

TEST(ConversionSummaryTest, SingularAndPluralTexts) {
  const std::string header = "\n\n// Summary of conversions\n// ======================\n//\n";
  const std::string one = "// 1 command was not converted.\n";
  const std::string semiOne =
      "// 1 original line contained semicolons, its conversions could contain errors.\n";
  struct {
    long notConverted, semicolon;
    std::string expected;
  } const cases[] = {
      {0, 0, ""},
      {1, 0, header + one},
      {2, 0, header + "// 2 commands were not converted.\n"},
      {0, 1, header + semiOne},
      {1, 1, header + one + semiOne},
      {3, 2,
       header + "// 3 commands were not converted.\n// 2 original lines contained semicolons, "
                "their conversions could contain errors.\n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.notConverted) + "/" + std::to_string(c.semicolon));
    ScriptCounts counts;
    counts.iNotConverted = c.notConverted;
    counts.semicolon = c.semicolon;
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* to = open_memstream(&buffer, &size);
    PrintSummary(to, counts);
    std::fclose(to);
    EXPECT_EQ(std::string(buffer, size), c.expected);
    std::free(buffer);
  }
}

}  // namespace
