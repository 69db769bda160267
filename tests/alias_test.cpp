// Alias definitions through the whole line converter: the body converted on its own, the
// definition rewritten as "alias NAME = BODY", the name recorded in the alias store only on
// success; and the guards that keep re-entered conversions finite.
#include <gtest/gtest.h>

#include <string>

#include "converter.h"

namespace {

TEST(Aliases, DefinitionsUsesAndTheStore) {
  ResetRunState();
  struct {
    std::string line;
    const char* converted;  // nullptr: not converted
    size_t stored;          // names in the store afterwards
  } const steps[] = {
      {"alias foo go", "alias foo = go", 1},
      {"foo 1", "foo", 1},  // an alias is its own template: arguments are dropped
      {"alias bar nosuchcommand", nullptr, 1},
      {"bar", nullptr, 1},
      {"alias GoFast go", "alias GoFast = go", 2},  // stored as written, never found again:
      {"GoFast", nullptr, 2},        // command words are lower-cased before the lookup
      {"alias lonely", nullptr, 2},  // no body
      {"alias a1 alias a2 go", "alias a1 = alias a2 = go", 4},
      {"a2", "a2", 4},
      {"let myalias", nullptr, 4},  // "alias" inside a name: no body either
      {"isaliaswatch ==p/%dq$inputbasecallgraph STRprint ", nullptr, 4},  // grows at every level
  };
  for (const auto& s : steps) {
    std::string line = s.line, converted = "untouched";
    EXPECT_EQ(ConvertLine(line, converted), s.converted ? kConverted : kNotConverted) << s.line;
    EXPECT_EQ(converted, s.converted ? s.converted : "untouched") << s.line;
    EXPECT_EQ(AliasCount(), s.stored) << s.line;
  }
  EXPECT_TRUE(IsAlias("foo") && IsAlias("GoFast") && IsAlias("a1") && IsAlias("a2"));
  EXPECT_FALSE(IsAlias("bar") || IsAlias("lonely"));
  for (int k = 4; k <= 50; ++k) {  // the store has no limit of 50 names
    std::string line = "alias n" + std::to_string(k) + " go", converted;
    EXPECT_EQ(ConvertLine(line, converted), kConverted);
  }
  std::string line = "n50", converted;
  EXPECT_EQ(ConvertLine(line, converted), kConverted);
  EXPECT_EQ(converted + " " + std::to_string(AliasCount()), "n50 51");
}

// A help topic is converted as a line of its own: 70 nested topics go past the 64 conversions
// that may run at once, and the whole line is not converted.
TEST(Aliases, NestingBackstopEndsTheRecursion) {
  ResetRunState();
  std::string deep = "break", shallow = "h h h h h h h h h h break", converted = "untouched";
  for (int k = 0; k < 70; ++k) deep = "h " + deep;
  EXPECT_EQ(ConvertLine(deep, converted), kNotConverted);
  EXPECT_EQ(converted, "untouched");
  EXPECT_EQ(ConvertLine(shallow, converted), kConverted);
  EXPECT_EQ(converted, "dcommands dcommands ");
}

}  // namespace
