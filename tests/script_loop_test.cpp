// The script loop through the library's interface: what the end-to-end cases cannot feed or
// see (NUL bytes, a one-byte input, the counts and findings of a run, a line at a time).
#include <gtest/gtest.h>

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

TEST(ScriptLoop, ConvertsAScriptHeldInMemory) {
  const std::string nc = "//No available conversion of command:\t";
  auto warning = [](const std::string& line) {
    return "//Warning: semicolon found on line: \"" + line +
           "\".  This conversion could contain errors.\n//Put multiple commands on seperate "
           "lines\n\n";
  };
  struct {
    std::string input;
    bool original;  // -A
    std::string expected;
    std::string findings;
  } const cases[] = {
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
      {"v {a;g\n", false, "printtype {a;g\n", ""},
      // Comments are written as read, and never split.
      {"| a : b\t c=d ;e\n", false, "//| a : b\t c=d ;e\n", ""},
      {" \t| a : b\n", true, "//tavex: \t| a : b\n", ""},
      // The journal flag comes from a converted command that begins with "journal on"; a log
      // flag from one that begins with the word "log". Words elsewhere set nothing.
      {"log my.log\nv catalog\n", false, "journal on=my.log \n\nprinttype catalog\n\njournal off\n",
       ""},
      {"v catalog\nh log\n!log x\nv journal on\n", false,
       "printtype catalog\ndcommands journal \nhost log  x\nprinttype journal  on\n", ""},
      // A repeated line converts as it would the first time: after an alias it names, and with
      // a macro of its own; its findings are reported again with their line numbers.
      {"foo\nalias foo go\nfoo\nfoo\ngo x\ngo x\nb f do {go}\nb f do {go}\n", false,
       nc + "foo\nalias foo = go\nfoo\nfoo\ngo\ngo\n" +
           "define int MyMacro_0()\n{\n$go$;\nreturn (1);\n}\n.\n\nbreak,macro:{MyMacro_0()} f   "
           "\n" +
           "define int MyMacro_1()\n{\n$go$;\nreturn (1);\n}\n.\n\nbreak,macro:{MyMacro_1()} f   "
           "\n",
       "1: not converted: foo\n5: dropped: x\n6: dropped: x\n"},
      // An alias keeps the spelling it was first defined with, whatever comes after it; a line
      // that names it converts the same way each time, in a list too.
      {"alias foo go\nFoo 1\nb f do {FOO}\nalias FOO step\nFoo 1\nb f do {FOO}\n", false,
       "alias foo = go\nfoo\n" +
           std::string("define int MyMacro_0()\n{\n$foo$;\nreturn "
                       "(1);\n}\n.\n\nbreak,macro:{MyMacro_0()} f   \n") +
           "alias FOO = stepl\nfoo\n" +
           "define int MyMacro_1()\n{\n$foo$;\nreturn (1);\n}\n.\n\nbreak,macro:{MyMacro_1()} f   "
           "\n",
       "2: dropped: 1\n5: dropped: 1\n"},
      // Findings: dropped words, and warnings wherever a conversion puts them.
      {"go main\nunbreak 3\n", false,
       "go\n//warning unbreak not converted as MXT uses clearbreak #n where n is the breakpoint "
       "number\n",
       "1: dropped: main\n2: warning: warning unbreak not converted as MXT uses clearbreak #n "
       "where n is the breakpoint number\n"},
  };
  for (const auto& c : cases) {
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

}  // namespace

// Each input line is passed on once, in order, with the text written for it and after its
// findings; a repeated line too.
TEST(ScriptLoop, PassesOnEveryLineWithWhatItBecame) {
  std::string seen;
  tvx2mxt::Options options;
  options.on_finding = [&](const tvx2mxt::Finding& f) {
    seen += "finding " + std::to_string(f.line) + "\n";
  };
  options.on_line = [&](const tvx2mxt::LineRecord& r) {
    seen += "line " + std::to_string(r.line) + " [" + std::string(r.text) + "] -> [" +
            std::string(r.output) + "]\n";
  };
  std::istringstream in("go\r\n\nfoo\nfoo\n| c\nlog x");
  std::ostringstream out;
  tvx2mxt::ConvertScript(in, out, options);
  const std::string nc = "//No available conversion of command:\t";
  EXPECT_EQ(seen, "line 1 [go] -> [go\n]\nline 2 [] -> [\n]\nfinding 3\nline 3 [foo] -> [" + nc +
                      "foo\n]\nfinding 4\nline 4 [foo] -> [" + nc +
                      "foo\n]\nline 5 [| c] -> [//| c\n]\n" +
                      "line 6 [log x] -> [journal on=x \n\n]\n");
}
