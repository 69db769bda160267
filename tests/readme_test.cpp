// The README's command reference is generated from the command map; this test fails when the
// two differ. Run the test with TVX2MXT_UPDATE_README=1 in the environment to rewrite the table.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "commands.h"

namespace {

constexpr const char* kBegin = "<!-- command-table: generated from the command map -->\n";
constexpr const char* kEnd = "<!-- end of command-table -->\n";

// A template as the table shows it: in a code span, a newline of the template as "⏎".
std::string Cell(const char* text) {
  if (*text == '\0') return "(empty: reported as not converted)";
  std::string cell = "`";
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '\n') {
      cell += "⏎";
    } else {
      cell += *c;
    }
  }
  return cell + "`";
}

std::string RenderTable() {
  std::string table = kBegin;
  table += "| Tavex command | MXT template |\n|---|---|\n";
  for (const COMM_MAP& row : tavex_commands) {
    std::string word = row.original;
    table += "| `" + (word == " " ? std::string("(blank)") : word) + "` | " + Cell(row.converted) +
             " |\n";
  }
  return table + kEnd;
}

}  // namespace

TEST(Readme, CommandTableMatchesTheCommandMap) {
  std::ifstream in(TVX2MXT_README);
  ASSERT_TRUE(in) << "cannot read " << TVX2MXT_README;
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::string readme = buffer.str();
  size_t begin = readme.find(kBegin);
  size_t end = readme.find(kEnd);
  ASSERT_NE(begin, std::string::npos) << "the README has no command table";
  ASSERT_NE(end, std::string::npos);
  end += std::string(kEnd).size();

  std::string expected = RenderTable();
  if (readme.compare(begin, end - begin, expected) != 0 && std::getenv("TVX2MXT_UPDATE_README")) {
    readme.replace(begin, end - begin, expected);
    std::ofstream(TVX2MXT_README) << readme;
    return;
  }
  EXPECT_EQ(readme.substr(begin, end - begin), expected)
      << "regenerate with: TVX2MXT_UPDATE_README=1 ctest -R Readme";
}
