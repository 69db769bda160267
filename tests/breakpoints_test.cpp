// Breakpoints: location, pass count, command list and condition, and the macro definitions that
// command lists become (numbered over the whole run).
#include <gtest/gtest.h>

#include <string>

#include "converter.h"

namespace {

class BreakpointTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetRunState(); }

  static std::string Breaks(const std::string& command, const std::string& arguments) {
    std::string text = command;
    ConvertBreaks(text, arguments);
    return text;
  }

  static std::string Macro(const std::string& list) {
    std::string text = list;
    std::string output;
    CreateMacro(text, output);
    return output;
  }

  static std::string Convert(const std::string& text) {
    std::string line = text;
    std::string converted = "untouched";
    EXPECT_EQ(ConvertLine(line, converted), kConverted) << text;
    return converted;
  }
};

struct BreakCase {
  const char* what;
  const char* command;    // converted text on entry
  const char* arguments;  // the breakpoint's full argument text
  const char* expected;
};

const char kGoMacro0[] = "define int MyMacro_0()\n{\n$go$;\nreturn (1);\n}\n.\n";

TEST_F(BreakpointTest, LocationCountAndCondition) {
  const BreakCase cases[] = {
      {"count after one blank", "break 42, 5", "main:42,5", "break,pass:5 #42,"},
      {"count of two digits", "break 42, 17", "main:42,17", "break,pass:17 #42,"},
      {"two blanks: no count", "break 42  5", "main:42 5", "break #42  5"},
      {"hex location", "break 0x8000", "0x8000", "break #0x8000"},
      {"plus before the number", "break +42", "+42", "break +#42"},
      {"digit inside a name", "break func2", "func2", "break func2"},
      {"digits inside a name", "break crc32_update", "crc32_update", "break crc32_update"},
      {"internal variable loses its sign", "break @vector_catch", "$vector_catch",
       "break  vector_catch"},
      {"condition", "break 42  if", "main:42 if x==1", "break,when:{ x==1}  #42  "},
      {"condition after a count", "break 42, 5", "main:42,5 if x==1",
       "break,when:{ x==1} ,pass:5 #42,"},
      {"condition scope colon", "break 42  if", "main:42 if a:b", "break,when:{ a\\b}  #42  "},
      {"empty condition", "break 42  if", "main:42 if", "break,when:{}  #42  "},
      {"} blocks the condition", "break 42  if", "main:42 if x==1 {go}", "break #42  if"},
      {"if inside a word", "break 42  iffy", "main:42 iffy", "break #42  iffy"},
      {"do inside a word", "break update_done", "update_done", "break update_done"},
      {"do at the start of a word", "break do_init", "do_init", "break do_init"},
      {"watchpoint condition", "breaka x  if", "x if y>1", "break,when:{ y>1} a x  "},
  };
  for (const BreakCase& c : cases) {
    EXPECT_EQ(Breaks(c.command, c.arguments), c.expected) << c.what;
  }
  EXPECT_EQ(MacroNumber, 0) << "no command list, no macro";
}

TEST_F(BreakpointTest, CommandListBecomesMacro) {
  EXPECT_EQ(Breaks("break 42  do", "main:42 do {go}"),
            std::string(kGoMacro0) + "\nbreak,macro:{MyMacro_0()} #42  ");
  EXPECT_EQ(MacroNumber, 1);
}

// Without a "}" the condition is attached right after the macro reference.
TEST_F(BreakpointTest, ConditionAfterMacroReference) {
  EXPECT_EQ(Breaks("break 42  do", "main:42 do go if x"),
            std::string(kGoMacro0) + "\nbreak,macro:{MyMacro_0()} ,when:{ x}#42  ");
}

TEST_F(BreakpointTest, ConditionAfterBracedListStaysInTheList) {
  EXPECT_EQ(Breaks("break 42  do", "main:42 do {go} if x"),
            std::string(kGoMacro0) + "\nbreak,macro:{MyMacro_0()} #42  ");
}

struct MacroCase {
  const char* what;
  const char* list;
  const char* body;  // the command lines between "{" and "return (1);"
};

TEST_F(BreakpointTest, MacroDefinitions) {
  const MacroCase cases[] = {
      {"braces", "do {go}", "$go$;\n"},
      {"no braces", "do go", "$go$;\n"},
      {"semicolons keep theirs", "do {print x; go}", "$cexpression x;$;\n$go$;\n"},
      {"inner braces stay", "do {{go}}", "${go}$;\n"},
      {"empty list", "do {}", "$  $;\n"},
      {"unconvertible keeps its normalised text", "do {nosuch\tcmd}", "$nosuch cmd$;\n"},
      {"warning line cut off", "do {let $statistics}", "$cexpression @statistics$;\n"},
      {"if keyword removed", "do {step} if x", "$stepl   x$;\n"},
      {"if inside a word stays", "do {p ifx}", "$cexpression ifx$;\n"},
  };
  for (const MacroCase& c : cases) {
    ResetRunState();
    EXPECT_EQ(Macro(c.list),
              std::string("define int MyMacro_0()\n{\n") + c.body + "return (1);\n}\n.\n")
        << c.what;
  }
}

TEST_F(BreakpointTest, MacroNameComesFromTheRunCounter) {
  std::string list = "do go";
  std::string output;
  EXPECT_EQ(CreateMacro(list, output), "MyMacro_0");
  EXPECT_EQ(macroname, "MyMacro_0");
  list = "do go";
  EXPECT_EQ(CreateMacro(list, output), "MyMacro_1");
  EXPECT_EQ(output, "define int MyMacro_1()\n{\n$go$;\nreturn (1);\n}\n.\n");
  EXPECT_EQ(MacroNumber, 2);
}

// Whole lines: breakpoints without a list do not advance the numbering.
TEST_F(BreakpointTest, MacrosAreNumberedOverTheRun) {
  EXPECT_EQ(Convert("break main:42 do {go}"),
            std::string(kGoMacro0) + "\nbreak,macro:{MyMacro_0()} #42   ");
  EXPECT_EQ(Convert("break 42"), "break #42");
  EXPECT_EQ(Convert("break update_done"), "break update_done");
  EXPECT_EQ(MacroNumber, 1);
  EXPECT_EQ(Convert("break main:43 do {step}"),
            "define int MyMacro_1()\n{\n$stepl$;\nreturn (1);\n}\n.\n"
            "\nbreak,macro:{MyMacro_1()} #43   ");
  EXPECT_EQ(MacroNumber, 2);
}

// A breakpoint with its own list inside a list: the inner definition takes the next number and
// becomes a command line of the outer one (its breakpoint line is cut off with the last newline);
// the outer breakpoint refers to the outer macro.
TEST_F(BreakpointTest, NestedListsGetTheirOwnMacros) {
  EXPECT_EQ(Breaks("break 1  do", "main:1 do {break 2 do {go}}"),
            "define int MyMacro_0()\n{\n"
            "$define int MyMacro_1()\n{\n$go$;\nreturn (1);\n}\n.\n$;\n"
            "return (1);\n}\n.\n"
            "\nbreak,macro:{MyMacro_0()} #1  ");
  EXPECT_EQ(MacroNumber, 2);
}

}  // namespace
