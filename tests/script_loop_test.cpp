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
       "//tavex:foo bar\n" + nc + "foo bar\n//tavex: go;\n" + nc + " go;\n//tavex:g\ngo\n" +
           "//Warning: semicolon found on line: \"\tgo;g\".  This conversion could contain "
           "errors.\n//Put multiple commands on seperate lines\n\n",
       2, 1, false, false},
      {"log my.log\nv catalog\n", false,
       "journal on=my.log \n\nprinttype catalog\n\njournal off\nlog off", 0, 0, true, true},
      {"v catalog\nh log\n", false, "printtype catalog\ndcommands journal \n\nlog off", 0, 0, false,
       true},
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
