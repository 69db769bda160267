// Breakpoints: location, pass count, command list and condition, and the macro definitions that
// command lists become (numbered over the whole run).
#include <gtest/gtest.h>

#include <string>

#include "converter.h"

namespace {

const std::string kGoMacro0 = "define int MyMacro_0()\n{\n$go$;\nreturn (1);\n}\n.\n";

std::string Breaks(LineConverter& converter, const std::string& command,
                   const std::string& arguments) {
  std::string text = command;
  converter.ConvertBreaks(text, arguments);
  return text;
}

TEST(Breakpoints, LocationCountListAndCondition) {
  LineConverter converter;
  struct {
    const char *command, *arguments;  // the converted text on entry; the full argument text
    std::string expected;
  } const cases[] = {
      // clang-format off
      // A count takes the comma that ends the location word.
      {"break 42, 5", "main:42,5", "break,pass:5 #42"},  // a digit after the second blank
      {"break +42", "+42", "break +#42"},
      {"break func2", "func2", "break func2"},  // "#" only for numeric locations
      {"break @vector_catch", "$vector_catch", "break  vector_catch"},
      {"break 42  if", "main:42 if x==1", "break,when:{ x==1}  #42  "},
      // A condition after a count stays in the chain of qualifiers, without a blank.
      {"break 42, 5", "main:42,5 if x==1", "break,when:{ x==1},pass:5 #42"},
      {"break 42  if", "main:42 if", "break,when:{}  #42  "},
      {"break 42  if", "main:42 if x==1 {go}", "break #42  if"},  // a "}" blocks the condition
      // A count written against the location ends its word: its digits go, and the comma.
      {"break 42,4  if ", "boot.c:42,4 if n>=3", "break,when:{ n>=3},pass:4 #42   "},
      {"break main,3  if ", "main,3 if x", "break,when:{ x},pass:3 main   "},
      {"break main,3  x", "main,3 x", "break,pass:3 main  x"},
      {"break main,3", "main,3", "break,pass:3 main"},
      {"break 42,x  if ", "main:42,x if y", "break,when:{ y}  #42,x   "},  // no digits
      {"break main,  if ", "main, if y", "break,when:{ y}  main,   "},
      {"break main3  if ", "main3 if y", "break,when:{ y}  main3   "},  // no comma
      {"break 42  iffy", "main:42 iffy", "break #42  iffy"},  // keywords are words
      // A count after blanks that end the text: the location word, then only the count.
      {"break 42  5", "main:42 5", "break,pass:5 #42"},
      {"break image_check  2", "image_check 2", "break,pass:2 image_check"},
      {"break main,  5  ", "main, 5 ", "break,pass:5 main"},
      {"break f  3 ", "f 3 if x", "break,when:{ x},pass:3 f"},
      {"break f  3x", "f 3x", "break f  3x"},
      {"break f  x", "f x 3", "break f  x"},
      {"break  3", " 3", "break,pass:3 "},  // a digit after the second blank, as ever
      // Colons in a quoted string of the condition stay colons.
      {"break f  if ", "f if s == \"a:b\" && c:d", "break,when:{ s == \"a:b\" && c\\d}  f   "},
      {"break update_done", "update_done", "break update_done"},
      {"breaka x  if", "x if y>1", "break,when:{ y>1} a x  "},
      // clang-format on
  };
  for (const auto& c : cases)
    EXPECT_EQ(Breaks(converter, c.command, c.arguments), c.expected) << c.arguments;
  EXPECT_EQ(converter.MacroNumber(), 0) << "no command list, no macro";

  const struct {
    const char* arguments;
    std::string expected;  // after the definition of MyMacro_0 and its empty line
  } lists[] = {
      {"main:42 do {go}", "break,macro:{MyMacro_0()} #42  "},
      // The condition goes right after the macro reference; the blank after it stays.
      {"main:42 do go if x", "break,macro:{MyMacro_0()},when:{ x} #42  "},
      // A condition after the list's last "}" is converted; the list ends at that "}".
      {"main:42 do {go} if x", "break,macro:{MyMacro_0()},when:{ x} #42  "},
      {"main:42 do {go} if a:b > 64", "break,macro:{MyMacro_0()},when:{ a\\b > 64} #42  "},
      // A condition before the list ends at the blank before "do", "}" or not.
      {"main:42 if x > 64 do {go}", "break,macro:{MyMacro_0()},when:{ x > 64} #42  "},
      {"main:42 if x do go", "break,macro:{MyMacro_0()},when:{ x} #42  "},
  };
  for (const auto& c : lists) {
    LineConverter converter;
    EXPECT_EQ(Breaks(converter, "break 42  do", c.arguments), kGoMacro0 + "\n" + c.expected)
        << c.arguments;
    EXPECT_EQ(converter.MacroNumber(), 1);
  }
  // With a count, whatever follows the reference.
  LineConverter counted;
  EXPECT_EQ(Breaks(counted, "break f,2  do ", "f,2 do {go} if x"),
            kGoMacro0 + "\nbreak,macro:{MyMacro_0()},when:{ x},pass:2 f   ");
}

TEST(Breakpoints, MacroDefinitions) {
  struct {
    const char* list;
    const char* body;        // the command lines between "{" and "return (1);"
    const char* notes = "";  // the comment lines collected for after the breakpoint
  } const cases[] = {
      {"do {print x; go}", "$cexpression x$;\n$go$;\n"},  // the texts between the ";"
      {"do {step} if x", "$stepl   x$;\n"},               // the whole text is the list
      {"do {p ifx}", "$cexpression ifx$;\n"},
      // Empty entries are left out silently; entries that did not convert, or converted into a
      // comment, are left out and noted.
      {"do {;go}", "$go$;\n"},
      {"do { ; \t;}", ""},
      {"do {}", ""},
      {"do {{go}}", "", "\n//Warning: not converted in the command list: {go}"},
      {"do {nosuch\tcmd ; go}", "$go$;\n",
       "\n//Warning: not converted in the command list: nosuch\tcmd"},
      {"do {bt; u 2; unw}", "",
       "\n//Warning: not converted in the command list: bt"
       "\n//Warning: not converted in the command list: u 2"
       "\n//Warning: not converted in the command list: unw"},
      // Each line of an entry's conversion is a command line of its own; its comment lines are
      // collected.
      {"do {let $statistics}", "$cexpression @statistics$;\n",
       "\n//warning kestrovan statistics usage"},
      {"do {let a = 1,2; go}", "$cexpression a  [0]=1$;\n$cexpression a  [1]=2$;\n$go$;\n"},
      {"do {step 5 while x; a}", "$stepl 5$;\n$expand$;\n",
       "\n//WARNING: while has been removed from step as unsupported"
       "\n//NOTE: Can only expand current context"},
      // An entry's go says nothing of its text: the breakpoint's condition may stand in it.
      {"do go if x", "$go$;\n"},
  };
  for (const auto& c : cases) {
    LineConverter converter;
    std::string list = c.list, output, notes;
    EXPECT_EQ(converter.CreateMacro(list, output, notes), "MyMacro_0");
    EXPECT_EQ(output, std::string("define int MyMacro_0()\n{\n") + c.body + "return (1);\n}\n.\n")
        << c.list;
    EXPECT_EQ(notes, c.notes) << c.list;
  }
  LineConverter converter;  // the number counts on over the run
  std::string first = "do go", second = "do go", output, notes;
  EXPECT_EQ(converter.CreateMacro(first, output, notes), "MyMacro_0");
  EXPECT_EQ(converter.CreateMacro(second, output, notes), "MyMacro_1");
  EXPECT_EQ(output, "define int MyMacro_1()\n{\n$go$;\nreturn (1);\n}\n.\n");
  EXPECT_EQ(converter.MacroNumber(), 2);
}

// A breakpoint with its own list inside a list: the inner definition takes the next number and
// becomes a command line of the outer one (its breakpoint line is cut off with the last newline);
// the outer breakpoint refers to the outer macro.
TEST(Breakpoints, NestedListsGetTheirOwnMacros) {
  LineConverter converter;
  EXPECT_EQ(Breaks(converter, "break 1  do", "main:1 do {break 2 do {go}}"),
            "define int MyMacro_0()\n{\n"
            "$define int MyMacro_1()\n{\n$go$;\nreturn (1);\n}\n.\n$;\n"
            "return (1);\n}\n.\n"
            "\nbreak,macro:{MyMacro_0()} #1  ");
  EXPECT_EQ(converter.MacroNumber(), 2);
}

// Whole lines through the line converter: a watchpoint converts exactly as a breakpoint on the
// same argument text, and its command is then "breaka".
TEST(Breakpoints, WholeLinesAndWatchpoints) {
  struct {
    std::string line, expected;
  } const cases[] = {
      // clang-format off
      {"b boot.c:177,4 if n>=3",
       "break,when:{ n>=3},pass:4 #177   \n//Warning: location scope not converted: boot.c"},
      {"break f if x > 64 do {go}", kGoMacro0 + "\nbreak,macro:{MyMacro_0()},when:{ x > 64} f   "},
      {"break f do {go} if x > 64", kGoMacro0 + "\nbreak,macro:{MyMacro_0()},when:{ x > 64} f   "},
      {"w h if h>=512", "breaka,when:{ h>=512}  h   "},
      {"watch h,3", "breaka,pass:3 h"},
      {"w x,2 if y>1", "breaka,when:{ y>1},pass:2 x   "},
      {"WATCH x", "breaka x"},
      {"w h do {go}", kGoMacro0 + "\nbreaka,macro:{MyMacro_0()} h   "},
      {"w printf_hook", "breaka printf_hook"},  // no breakpoint rewrite, still a watchpoint
      {"w", "dtbreak"},
      {"b h,3", "break,pass:3 h"},
      // A location that loses its file or scope says so, after the notes of its list.
      {"br flash.c:212", "break #212\n//Warning: location scope not converted: flash.c"},
      {"b +mod:f:10", "break +#10\n//Warning: location scope not converted: mod:f"},
      {"b main:42 5", "break,pass:5 #42\n//Warning: location scope not converted: main"},
      {"w tx.c:head", "breaka head\n//Warning: location scope not converted: tx.c"},
      {"b boot.c:88 do {bt}",
       "define int MyMacro_0()\n{\nreturn (1);\n}\n.\n\nbreak,macro:{MyMacro_0()} #88   "
       "\n//Warning: not converted in the command list: bt"
       "\n//Warning: location scope not converted: boot.c"},
      {"b f x:1", "break,pass:1 f"},     // only the location's scope counts
      {"b :42", "break #42"},            // nothing before the colon, nothing lost
      {"b \"a:b\"", "break \"a:b\""},  // a path keeps its colon
      // clang-format on
  };
  for (const auto& c : cases) {
    LineConverter converter;
    std::string line = c.line, converted;
    EXPECT_EQ(converter.ConvertLine(line, converted), kConverted) << c.line;
    EXPECT_EQ(converted, c.expected) << c.line;
  }
}

// The commands of a list convert the same way each time they come, unless they depend on what
// the script defined since: a word that was no alias may have become one.
TEST(Breakpoints, RepeatedListCommandsFollowTheAliases) {
  LineConverter converter;
  auto macro = [&](std::string line) {
    std::string converted;
    EXPECT_EQ(converter.ConvertLine(line, converted), kConverted) << line;
    return converted.substr(0, converted.find("\nbreak"));
  };
  EXPECT_EQ(macro("b f do {Foo; go}"), "define int MyMacro_0()\n{\n$go$;\nreturn (1);\n}\n.\n");
  EXPECT_EQ(macro("b f do {go;go;Foo}"),
            "define int MyMacro_1()\n{\n$go$;\n$go$;\nreturn (1);\n}\n.\n");
  std::string alias = "alias foo go", converted;
  EXPECT_EQ(converter.ConvertLine(alias, converted), kConverted);
  EXPECT_EQ(macro("b f do {Foo; go}"),
            "define int MyMacro_2()\n{\n$foo$;\n$go$;\nreturn (1);\n}\n.\n");
  // A command that is not converted is left out, each time.
  for (const char* number : {"3", "4"}) {
    EXPECT_EQ(macro("b f do {bar\t\tbaz;go}"),
              std::string("define int MyMacro_") + number + "()\n{\n$go$;\nreturn (1);\n}\n.\n");
  }
  // An entry of a list converts otherwise than the same text elsewhere: a go keeps its text.
  std::string go = "go x", go_converted;
  EXPECT_EQ(converter.ConvertLine(go, go_converted), kConverted);
  EXPECT_EQ(go_converted, "go\n//Warning: go argument not converted: x");
  EXPECT_EQ(macro("b f do {go x}"), "define int MyMacro_5()\n{\n$go$;\nreturn (1);\n}\n.\n");
  std::string help = "h go x", help_converted;
  EXPECT_EQ(converter.ConvertLine(help, help_converted), kConverted);
  EXPECT_EQ(help_converted, "dcommands go");
}

}  // namespace
