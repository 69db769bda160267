// The script loop through the library's interface: what the end-to-end cases cannot feed or
// see (NUL bytes, a one-byte input, the counts and findings of a run, a line at a time).
#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>

#include "tvx2mxt/tvx2mxt.h"

using namespace std::string_literals;

namespace {

std::string Findings(const std::vector<tvx2mxt::Finding>& findings) {
  std::string text;
  for (const tvx2mxt::Finding& f : findings) {
    text += std::to_string(f.line) + ": " + std::string(tvx2mxt::KindName(f.kind)) + ": " + f.text +
            "\n";
  }
  return text;
}

const std::string kNotConverted = "//No available conversion of command:\t";

// The warning that follows the conversions of a line cut at its semicolons.
std::string SemicolonWarning(const std::string& line) {
  return "//Warning: semicolon found on line: \"" + line +
         "\".  This conversion could contain errors.\n//Put multiple commands on seperate "
         "lines\n\n";
}

// A script, whether it is converted with -A, and what it becomes: the output and the findings.
struct ScriptCase {
  std::string input;
  bool original;
  std::string expected;
  std::string findings;
};

void ExpectConversions(std::initializer_list<ScriptCase> cases) {
  for (const ScriptCase& c : cases) {
    std::istringstream in(c.input);
    std::ostringstream out;
    tvx2mxt::Options options;
    options.echo_original = c.original;
    tvx2mxt::ScriptResult result = tvx2mxt::ConvertScript(in, out, options);
    EXPECT_EQ(out.str(), c.expected) << "input: " << c.input;
    EXPECT_EQ(Findings(result.findings), c.findings) << "input: " << c.input;
    EXPECT_FALSE(result.read_failed);
  }
}

// Options that write into `seen` each finding's line and each line passed on, with its text and
// what it became.
tvx2mxt::Options Recording(std::string& seen) {
  tvx2mxt::Options options;
  options.on_finding = [&seen](const tvx2mxt::Finding& f) {
    seen += "finding " + std::to_string(f.line) + "\n";
  };
  options.on_line = [&seen](const tvx2mxt::LineRecord& r) {
    seen += "line " + std::to_string(r.line) + " [" + std::string(r.text) + "] -> [" +
            std::string(r.output) + "]\n";
  };
  return options;
}

TEST(ScriptLoop, ConvertsAScriptHeldInMemory) {
  const std::string& nc = kNotConverted;
  const std::string go_x = "go\n//Warning: go argument not converted: x\n";
  auto warning = SemicolonWarning;
  ExpectConversions({
      {"q", false, "quit y\n", ""},
      {"\n   \n\t\t\n \t \n", false, "\n\n\n\n", ""},
      {"fo\0o\n\0go\ngo\n"s, false, nc + "fo\n\ngo\n",
       "1: not converted: fo\n"},   // NUL ends a text
      {"foo\tbar\n\tgo;g\n", true,  // the echo and the reports show the normalised segment
       "//tavex:foo bar\n" + nc + "foo bar\n//tavex: go\ngo\n//tavex:g\ngo\n" + warning("\tgo;g"),
       "1: not converted: foo bar\n2: semicolons: \tgo;g\n"},
      // Semicolons separate: no segment holds one; empty segments convert as empty lines.
      {"a;;q\n", false,
       "expand\n//NOTE: Can only expand current context\n  \nquit y\n" + warning("a;;q"),
       "1: warning: NOTE: Can only expand current context\n1: semicolons: a;;q\n"},
      {"g;\n", true, "//tavex:g\ngo\n//tavex:\n  \n" + warning("g;"), "1: semicolons: g;\n"},
      {"foo;\n", false, nc + "foo\n  \n" + warning("foo;"),
       "1: not converted: foo\n1: semicolons: foo;\n"},
      // Only the semicolons outside braces separate.
      {"v {a;b}\n", false, "printtype {a;b}\n", ""},
      {"v {a;b};g\n", false, "printtype {a;b}\ngo\n" + warning("v {a;b};g"),
       "1: semicolons: v {a;b};g\n"},
      {"v }a;g\n", false, "printtype }a\ngo\n" + warning("v }a;g"), "1: semicolons: v }a;g\n"},
      // A line without "}" is cut at every semicolon, an unclosed "{" notwithstanding.
      {"v {a;g\n", false, "printtype {a\ngo\n" + warning("v {a;g"), "1: semicolons: v {a;g\n"},
      {"p \"{\"; go\n", false, "printf \"{\"\ngo\n" + warning("p \"{\"; go"),
       "1: semicolons: p \"{\"; go\n"},
      // Comments are written as read, and never split.
      {"| a : b\t c=d ;e\n", false, "//| a : b\t c=d ;e\n", ""},
      {" \t| a : b\n", true, "//tavex: \t| a : b\n", ""},
      // The journal flag comes from a converted command that begins with "journal on"; a log
      // flag from one that begins with the word "log". Words elsewhere set nothing.
      {"log my.log\nv catalog\n", false, "journal on=my.log \n\nprinttype catalog\n\njournal off\n",
       ""},
      // A converted "journal off" clears the journal flag, also when its line is written again
      // from what it became before.
      {"log a\nlog off\n", false, "journal on=a \n\njournal off\n", ""},
      {"log a\nLOG OFF\nlog a\nlog off\nlog a\nlog off\n", false,
       "journal on=a \n\njournal off\njournal on=a \n\njournal off\njournal on=a \n\njournal off\n",
       ""},
      {"log a\nlog off\nlog a\nlog off\nlog a\n", false,
       "journal on=a \n\njournal off\njournal on=a \n\njournal off\njournal on=a \n\n\njournal "
       "off\n",
       ""},
      {"log a;log off\n", false, "journal on=a \n\njournal off\n" + warning("log a;log off"),
       "1: semicolons: log a;log off\n"},
      {"log off;log a\n", false,
       "journal off\njournal on=a \n\n" + warning("log off;log a") + "\njournal off\n",
       "1: semicolons: log off;log a\n"},
      {"v catalog\nh log\n!log x\nv journal on\n", false,
       "printtype catalog\ndcommands journal \nhost log  x\nprinttype journal  on\n", ""},
      // A repeated line converts as it would the first time: after an alias it names, and with
      // a macro of its own; its findings are reported again with their line numbers.
      {"foo\nalias foo go\nfoo\nfoo\ngo x\ngo x\nb f do {go}\nb f do {go}\n", false,
       nc + "foo\nalias foo = go\nfoo\nfoo\n" + go_x + go_x +
           "define int MyMacro_0()\n{\n$go$;\nreturn (1);\n}\n.\n\nbreak,macro:{MyMacro_0()} f   "
           "\n" +
           "define int MyMacro_1()\n{\n$go$;\nreturn (1);\n}\n.\n\nbreak,macro:{MyMacro_1()} f   "
           "\n",
       "1: not converted: foo\n5: warning: Warning: go argument not converted: x\n"
       "6: warning: Warning: go argument not converted: x\n"},
      // An alias keeps the spelling it was first defined with, whatever comes after it; a line
      // that names it converts the same way each time, in a list too.
      {"alias foo go\nFoo 1\nb f do {FOO}\nalias FOO step\nFoo 1\nb f do {FOO}\n", false,
       "alias foo = go\nfoo 1\n" +
           std::string("define int MyMacro_0()\n{\n$foo$;\nreturn "
                       "(1);\n}\n.\n\nbreak,macro:{MyMacro_0()} f   \n") +
           "alias FOO = stepl\nfoo 1\n" +
           "define int MyMacro_1()\n{\n$foo$;\nreturn (1);\n}\n.\n\nbreak,macro:{MyMacro_1()} f   "
           "\n",
       ""},
      // Findings: dropped words, and warnings wherever a conversion puts them.
      {"where main x\nunbreak 3\n", false,
       "where main \n//warning unbreak not converted as MXT uses clearbreak #n where n is the "
       "breakpoint number\n",
       "1: dropped: x\n2: warning: warning unbreak not converted as MXT uses clearbreak #n "
       "where n is the breakpoint number\n"},
  });
}

// A conversion object keeps what a script defines (aliases, macro numbers) from line to line;
// two objects know nothing of each other.
TEST(ScriptLoop, ConversionsKeepTheirOwnState) {
  tvx2mxt::Converter first, second;
  EXPECT_EQ(first.ConvertLine("alias ff go").output, "alias ff = go\n");
  EXPECT_EQ(first.ConvertLine("ff").output, "ff\n");
  tvx2mxt::LineResult unknown = second.ConvertLine("ff");
  EXPECT_EQ(unknown.output, "//No available conversion of command:\tff\n");
  EXPECT_EQ(Findings(unknown.findings), "1: not converted: ff\n");
}

// Each input line is passed on once, in order, with the text written for it and after its
// findings; a repeated line too.
TEST(ScriptLoop, PassesOnEveryLineWithWhatItBecame) {
  std::string seen;
  std::istringstream in("go\r\n\nfoo\nfoo\n| c\nlog x");
  std::ostringstream out;
  tvx2mxt::ConvertScript(in, out, Recording(seen));
  const std::string& nc = kNotConverted;
  EXPECT_EQ(seen, "line 1 [go] -> [go\n]\nline 2 [] -> [\n]\nfinding 3\nline 3 [foo] -> [" + nc +
                      "foo\n]\nfinding 4\nline 4 [foo] -> [" + nc +
                      "foo\n]\nline 5 [| c] -> [//| c\n]\n" +
                      "line 6 [log x] -> [journal on=x \n\n]\n");
}

// A breakpoint whose command list goes on over the following lines converts as the one line the
// lines make together; comment lines are written in their place before it. A list that does not
// close within the breakpoint's line and the 63 lines after it, or before the end, is none.
TEST(ScriptLoop, CommandListsOverSeveralLines) {
  const std::string& nc = kNotConverted;
  auto macro = [](int number, const std::string& lines) {
    return "define int MyMacro_" + std::to_string(number) + "()\n{\n" + lines +
           "return (1);\n}\n.\n\n";
  };
  auto warning = SemicolonWarning;
  auto lines = [](int count, const std::string& line) {
    std::string text;
    for (int n = 0; n < count; ++n) text += line;
    return text;
  };
  ExpectConversions({
      // Taken lines lose their blanks and tabs, and one ";" unless they close the list; empty
      // ones and a lone ";" are skipped.
      {"break t do {\n  print n;\n\n ; \n\tgo\n}\n", false,
       macro(0, "$cexpression n$;\n$go$;\n") + "break,macro:{MyMacro_0()} t   \n", ""},
      {"B  f do {\r\n  | a comment's } counts for nothing\r\n  p n;\r\n} if n > 3\r\n", false,
       "//  | a comment's } counts for nothing\n" + macro(0, "$cexpression n$;\n") +
           "break,macro:{MyMacro_0()},when:{ n > 3} f   \n",
       ""},
      // The closing line keeps its ";": the line made is then cut at it, and so reported.
      {"w buf do {\np buf\n}; go\n", true,
       "//tavex:w buf do {p buf}\n" + macro(0, "$cexpression buf$;\n") +
           "breaka,macro:{MyMacro_0()} buf   \n//tavex: go\ngo\n" + warning("w buf do {p buf}; go"),
       "1: semicolons: w buf do {p buf}; go\n"},
      // A list may close with more "}" than it opened; "{" and "}" in double quotes count not.
      {"b g do {\n\"{\"\ngo}}\n", false,
       macro(0, "") + "break,macro:{MyMacro_0()} g   \n" +
           "//Warning: not converted in the command list: \"{\"\n"
           "//Warning: not converted in the command list: go}\n",
       "1: warning: Warning: not converted in the command list: \"{\"\n"
       "1: warning: Warning: not converted in the command list: go}\n"},
      // No block: a breakpoint without "do", or with its braces closed, or a comment.
      {"b f {\ngo\n}\n", false, "break f  {\ngo\n" + nc + "}\n", "3: not converted: }\n"},
      {"b f do {go}\ngo\n", false, macro(0, "$go$;\n") + "break,macro:{MyMacro_0()} f   \ngo\n",
       ""},
      {"| b f do {\ngo\n", false, "//| b f do {\ngo\n", ""},
      {"p \"do {\"\n", false, "printf \"do {\"\n", ""},
      // A list that never closes: its breakpoint is not converted, and the lines after it are
      // converted as they come (here one opens a list that closes).
      {"b f do {\ngo\nb g do {\nstep\n}\n", true,
       "//tavex:b f do {\n" + nc + "b f do {\n//tavex:go\ngo\n//tavex:b g do {step}\n" +
           macro(0, "$stepl$;\n") + "break,macro:{MyMacro_0()} g   \n",
       "1: not converted: b f do {\n"},
      {"b f do {\nb g do {\n}\n", false,
       nc + "b f do {\n" + macro(0, "") + "break,macro:{MyMacro_0()} g   \n",
       "1: not converted: b f do {\n"},
      // The breakpoint's line and 63 more make the longest list.
      {"b f do {\n" + lines(62, "go\n") + "}\n", false,
       macro(0, lines(62, "$go$;\n")) + "break,macro:{MyMacro_0()} f   \n", ""},
      {"b f do {\n" + lines(63, "go\n") + "}\n", false,
       nc + "b f do {\n" + lines(63, "go\n") + nc + "}\n",
       "1: not converted: b f do {\n65: not converted: }\n"},
      {"b f do {\n" + lines(63, "| c\n") + "}\n", false,
       nc + "b f do {\n" + lines(63, "//| c\n") + nc + "}\n",
       "1: not converted: b f do {\n65: not converted: }\n"},
      // A line seen before is taken into the list all the same.
      {"go\ngo\nb f do {\ngo\n}\ngo\n", false,
       "go\ngo\n" + macro(0, "$go$;\n") + "break,macro:{MyMacro_0()} f   \ngo\n", ""},
  });
}

// The lines of a list over several lines are passed on when it closes, in order: the
// breakpoint's line with what the list became, the lines taken with nothing, a comment line with
// its comment. Fed a line at a time, the list is written with its closing line.
TEST(ScriptLoop, PassesOnTheLinesOfAListWhenItCloses) {
  std::string seen;
  const tvx2mxt::Options options = Recording(seen);
  const std::string list = "define int MyMacro_0()\n{\n$go$;\nreturn (1);\n}\n.\n\n";
  tvx2mxt::Converter converter(options);
  std::string outputs;
  for (const char* line : {"go", "b main.c:9 do {", "| wait", "", "go", "};go", "b x do {"}) {
    outputs += "[" + converter.ConvertLine(line).output + "]";
  }
  std::istringstream none("");
  std::ostringstream out;
  converter.ConvertScript(none, out);  // the end of the input: the open list is none
  const std::string& nc = kNotConverted;
  const std::string semicolons = SemicolonWarning("b main.c:9 do {go};go");
  const std::string block = list + "break,macro:{MyMacro_0()} #9   \n" +
                            "//Warning: location scope not converted: main.c\ngo\n" + semicolons;
  EXPECT_EQ(outputs, "[go\n][][][][][//| wait\n" + block + "][]");
  EXPECT_EQ(out.str(), nc + "b x do {\n");
  EXPECT_EQ(seen,
            "line 1 [go] -> [go\n]\n"
            "finding 2\nfinding 2\n"
            "line 2 [b main.c:9 do {] -> [" +
                block +
                "]\n"
                "line 3 [| wait] -> [//| wait\n]\n"
                "line 4 [] -> []\nline 5 [go] -> []\nline 6 [};go] -> []\n"
                "finding 7\nline 7 [b x do {] -> [" +
                nc + "b x do {\n]\n");
}

}  // namespace
