// Script loop through its in-memory interface: what the end-to-end cases cannot feed or see (NUL
// bytes, a one-byte input, the counts and flags handed to the summary and the closing commands).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "converter.h"
#include "parser.h"

using namespace std::string_literals;

namespace {

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
    long not_converted, semicolon_lines;
    bool journal, log;
  } const cases[] = {
      {"q", false, "quit y\n", 0, 0, false, false},
      {"\n   \n\t\t\n \t \n", false, "\n\n\n\n", 0, 0, false, false},
      {"fo\0o\n\0go\ngo\n"s, false, nc + "fo\n\ngo\n", 1, 0, false, false},  // NUL ends a text
      {"foo\tbar\n\tgo;g\n", true,  // the echo and the reports show the normalised segment
       "//tavex:foo bar\n" + nc + "foo bar\n//tavex: go\ngo\n//tavex:g\ngo\n" + warning("\tgo;g"),
       1, 1, false, false},
      // Semicolons separate: no segment holds one; empty segments convert as empty lines.
      {"a;;q\n", false,
       "expand\n//NOTE: Can only expand current context\n  \nquit y\n" + warning("a;;q"), 0, 1,
       false, false},
      {"g;\n", true, "//tavex:g\ngo\n//tavex:\n  \n" + warning("g;"), 0, 1, false, false},
      {"foo;\n", false, nc + "foo\n  \n" + warning("foo;"), 1, 1, false, false},
      // Only the semicolons outside braces separate.
      {"v {a;b}\n", false, "printtype {a;b}\n", 0, 0, false, false},
      {"v {a;b};g\n", false, "printtype {a;b}\ngo\n" + warning("v {a;b};g"), 0, 1, false, false},
      {"v }a;g\n", false, "printtype }a\ngo\n" + warning("v }a;g"), 0, 1, false, false},
      {"v {a;g\n", false, "printtype {a;g\n", 0, 0, false, false},
      // Comments are written as read, and never split.
      {"| a : b\t c=d ;e\n", false, "//| a : b\t c=d ;e\n", 0, 0, false, false},
      {" \t| a : b\n", true, "//tavex: \t| a : b\n", 0, 0, false, false},
      // The journal flag comes from a converted command that begins with "journal on"; a log
      // flag from one that begins with the word "log". Words elsewhere set nothing.
      {"log my.log\nv catalog\n", false, "journal on=my.log \n\nprinttype catalog\n\njournal off\n",
       0, 0, true, false},
      {"v catalog\nh log\n!log x\nv journal on\n", false,
       "printtype catalog\ndcommands journal \nhost log  x\nprinttype journal  on\n", 0, 0, false,
       false},
  };
  for (const auto& c : cases) {
    ResetRunState();
    std::string input = c.input;
    std::FILE* in = fmemopen(input.data(), input.size(), "r");
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    ASSERT_TRUE(in && out);
    ScriptCounts counts;
    EXPECT_TRUE(ConvertScript(in, out, c.original, counts));
    std::fclose(in);
    std::fclose(out);
    EXPECT_EQ(std::string(buffer, size), c.expected) << "input: " << c.input;
    std::free(buffer);
    EXPECT_EQ(counts.iNotConverted, c.not_converted);
    EXPECT_EQ(counts.semicolon, c.semicolon_lines);
    EXPECT_EQ(counts.journal, c.journal);
    EXPECT_EQ(counts.log, c.log);
  }
}

}  // namespace
