// Line normalisation, the split into command word and argument text, and the help branch of
// the line converter.
#include <gtest/gtest.h>

#include <string>

#include "converter.h"
#include "line_stages.h"

namespace {

constexpr Index kAnyStart = -2;  // where the indent may be left in more than one way

TEST(LineNormalisationTest, TabsBlanksColonsAndTheBlankBeforeEquals) {
  struct {
    const char* line;
    Index start;          // the returned index; -1 for blanks and tabs only
    const char* command;  // the text from that index on
  } const cases[] = {{"break\tmain", 0, "break main"},
                     {"break\t\t\tmain", 0, "break main"},
                     {"break    main   x", 0, "break main x"},
                     {"go   ", 0, "go "},
                     {"count : 3", 0, "count =3"},
                     {"count  :  3", 0, "count =3"},  // runs shrink before the " : " rule looks
                     {"a : b : c", 0, "a =b : c"},    // only the first " : "
                     {"count: 3", 0, "count: 3"},
                     {"x=5", 0, "x =5"},
                     {"x= 5", 0, "x = 5"},      // "=" second: inserted whatever follows
                     {"x=a!=b", 0, "x =a!=b"},  // likewise
                     {"abc=5", 0, "abc =5"},
                     {"abc==b", 0, "abc ==b"},
                     {"a = b", 0, "a = b"},
                     {"abc= 5", 0, "abc= 5"},
                     {"abc=1 d = 2", 0, "abc=1 d = 2"},  // some "=" already has a blank next to it
                     {"x!=y", 0, "x!=y"},
                     {"r0=a!=b", 0, "r0=a!=b"},
                     {"a<=b", 0, "a<=b"},
                     {"go while x>=10", 0, "go while x>=10"},
                     {"  break  main", 2, "break main"},
                     {"\tbreak\tmain", 1, "break main"},
                     {"\t\tbreak main", kAnyStart, "break main"},
                     {"  \tgo", kAnyStart, "go"},
                     {"   ", -1, ""},
                     {"\t \t", -1, ""},
                     {"", -1, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("line '") + c.line + "'");
    std::string text = c.line;
    const Index start = NormaliseLine(text);
    if (c.start == -1) {
      EXPECT_EQ(start, -1);
      continue;
    }
    if (c.start != kAnyStart) {
      EXPECT_EQ(start, c.start);
    }
    ASSERT_GE(start, 0);
    ASSERT_LE(start, Length(text));
    EXPECT_EQ(text.substr(0, start), std::string(start, ' '));
    EXPECT_EQ(text.substr(start), c.command);
  }
}

TEST(CommandSplitTest, CommandWordAndArgumentText) {
  struct {
    const char* line;
    const char* pre;
    const char* args;
  } const cases[] = {{"break main", "break", "main"},
                     {"BREAK Main", "break", "Main"},
                     {"go", "go", ""},
                     {"$x", "$", "x"},
                     {"!ls -l", "!", "ls -l"},
                     {"!ls", "!", "ls"},
                     {"! echo hi", "!", " echo hi"},
                     {"load/r file", "load", "r file"},
                     {"p/%x val", "p/%x", "val"},
                     {"p/%d val", "p/%d", "val"},
                     {"P/%X val", "p", "%X val"},
                     {"print/%x val", "print", "%x val"},
                     {"e/x p/%x", "e/x", "p/%x"},  // "p/%" anywhere keeps the "/" in the word
                     {"go /profile x", "go", " x"},
                     {"go /c x", "go", " x"},
                     {"go/profile x", "go", "profile x"},
                     {"step /c /profile 3", "step", " /profile 3"},
                     {"step /cc 3", "step", "/cc 3"},
                     {"step /PROFILE 3", "step", "/PROFILE 3"},
                     {"r0=a!=b", "r0", "a!=b"},
                     {"pc=a!=b", "pc", "a!=b"},
                     {"r10=a!=b", "r1", "r10=a!=b"},
                     {"x!=y", "x!", "x!=y"},
                     // Assignments become "let" with the whole line as argument text.
                     {"x=5", "let", "x =5"},
                     {"abc=5", "let", "abc =5"},
                     {"count : 3", "let", "count =3"},
                     {"a = b", "let", "a = b"},
                     {"$x=5", "let", "$x =5"},
                     {"main:x=3", "let", "main:x =3"},
                     {"p/%x=5", "p/%x", "p/%x =5"},  // "p/%x" overrides "let"
                     // Comment commands print their text, even when it begins with "=".
                     {"comment ===== start =====", "comment", "===== start ====="},
                     {"COMMENT =x", "comment", "=x"},
                     {"com = done =", "com", "= done ="},
                     {"comm=x", "comm", "=x"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("line '") + c.line + "'");
    std::string text = c.line;
    const Index start = NormaliseLine(text);
    ASSERT_GE(start, 0);
    LineWork work;
    work.line = text.substr(start);
    SplitCommand(work);
    EXPECT_EQ(work.PreCon, c.pre);
    EXPECT_EQ(work.Arguments, c.args);
  }
}

class LineConverterTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetRunState(); }
  void TearDown() override { ResetRunState(); }
};

TEST_F(LineConverterTest, HelpBranchAndTheContract) {
  struct {
    const char* line;
    int result;
    const char* converted;  // nullptr: left untouched
  } const cases[] = {
      {"h break", kConverted, "dcommands dtbreak"},
      {"help break", kConverted, "dcommands dtbreak"},
      {"HELP BREAK", kConverted, "dcommands dtbreak"},
      {"h", kConverted, "dcommands  "},
      {"h go", kConverted, "dcommands go"},
      {"h quit", kConverted, "dcommands quit "},  // cut after the first blank
      {"h load", kConverted, "dcommands load"},
      {"h lo app.axf", kConverted, "dcommands load"},
      {"h log", kConverted, "dcommands journal "},
      {"h h break", kConverted, "dcommands dcommands "},
      {"h registers", kNotConverted, nullptr},
      {"h setregisters", kNotConverted, nullptr},
      {"h foo", kNotConverted, nullptr},
      {"h bre", kNotConverted, nullptr},
      {"!echo dcommands", kNotConverted, nullptr},  // "dcommands" in the placed arguments
      {"", kConverted, "  "},
      {"   ", kConverted, "  "},
      {"\t \t", kConverted, "  "},
      {"\tgo", kConverted, "go"},
      {"  go", kConverted, "go"},
      {"frobnicate", kNotConverted, nullptr},
      {"Break", kConverted, "dtbreak"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("line '") + c.line + "'");
    std::string line = c.line;
    std::string converted = "untouched";
    EXPECT_EQ(ConvertLine(line, converted), c.result);
    EXPECT_EQ(converted, c.converted ? c.converted : "untouched");
  }
}

TEST_F(LineConverterTest, NormalisesTheCallersLineAndAllowsOneBuffer) {
  std::string line = "break\t\tmain  x";
  std::string converted;
  ConvertLine(line, converted);
  EXPECT_EQ(line, "break main x");

  std::string both = "h break";  // source and result in one text
  EXPECT_EQ(ConvertLine(both, both), kConverted);
  EXPECT_EQ(both, "dcommands dtbreak");
}

}  // namespace
