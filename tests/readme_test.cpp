// The README's command reference is generated from the command map; this test fails when the
// two differ. Run it with TVX2MXT_UPDATE_README=1 in the environment to rewrite the table.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "commands.h"
#include "converter.h"

namespace {

// A template in a code span, its newlines shown as "⏎"; an empty template says what it does.
std::string TemplateCell(const char* converted) {
  if (*converted == '\0') return "(empty: reported as not converted)";
  std::string cell = "`";
  for (const char* c = converted; *c != '\0'; ++c) cell += *c == '\n' ? "⏎" : std::string(1, *c);
  return cell + "`";
}

// The map's template of a command word.
const char* TemplateOf(const char* word) {
  for (const COMM_MAP& row : tavex_commands) {
    if (std::strcmp(row.original, word) == 0) return row.converted;
  }
  return "";
}

// What a row of the table says a command word becomes. A watchpoint converts as a breakpoint
// with the same arguments and is then named "breaka", whatever its own row holds.
std::string ConversionCell(const COMM_MAP& row) {
  if (IsWatchpointWord(row.original)) {
    return "converted as `b` (" + TemplateCell(TemplateOf("b")) + "), then named `breaka`";
  }
  return TemplateCell(row.converted);
}

}  // namespace

TEST(Readme, CommandTableMatchesTheCommandMap) {
  const std::string begin_mark = "<!-- command-table: generated from the command map -->\n";
  const std::string end_mark = "<!-- end of command-table -->\n";
  std::string table = begin_mark + "| Tavex command | MXT template |\n|---|---|\n";
  for (const COMM_MAP& row : tavex_commands) {
    const std::string word = row.original;
    table += "| `" + (word == " " ? "(blank)" : word) + "` | " + ConversionCell(row) + " |\n";
  }
  table += end_mark;

  std::stringstream buffer;
  buffer << std::ifstream(TVX2MXT_README).rdbuf();
  std::string readme = buffer.str();
  const size_t begin = readme.find(begin_mark), end = readme.find(end_mark);
  ASSERT_NE(begin, std::string::npos) << "no command table in " << TVX2MXT_README;
  ASSERT_NE(end, std::string::npos);
  const size_t length = end + end_mark.size() - begin;
  if (readme.compare(begin, length, table) != 0 && std::getenv("TVX2MXT_UPDATE_README")) {
    std::ofstream(TVX2MXT_README) << readme.replace(begin, length, table);
    return;
  }
  EXPECT_EQ(readme.substr(begin, length), table)
      << "regenerate with: TVX2MXT_UPDATE_README=1 ctest -R Readme";
}
