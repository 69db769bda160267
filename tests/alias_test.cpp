// Alias definitions through the whole line converter: the body converted on its own, the
// definition rewritten as "alias NAME = BODY", the name recorded in the alias store only on
// success; and the guards that keep re-entered conversions finite.
#include <gtest/gtest.h>

#include <string>

#include "alias_store.h"
#include "converter.h"

namespace {

TEST(Aliases, DefinitionsUsesAndTheStore) {
  LineConverter converter;
  struct {
    std::string line;
    const char* converted;  // nullptr: not converted
    size_t stored;          // names in the store afterwards
  } const steps[] = {
      {"alias foo go", "alias foo = go", 1},
      {"foo 1", "foo 1", 1},  // an alias is its own template: its arguments follow it
      {"foo  1  2 ", "foo 1 2", 1},
      {"foo", "foo", 1},
      {"alias bar nosuchcommand", nullptr, 1},
      {"bar", nullptr, 1},
      {"alias GoFast go", "alias GoFast = go", 2},  // found in any case, as first written
      {"GoFast", "GoFast", 2},
      {"gofast", "GoFast", 2},
      {"alias gofast step", "alias gofast = stepl", 3},  // the first spelling stays
      {"GOFAST", "GoFast", 3},
      {"gofast while x", "GoFast while x", 3},  // an alias use, not a go-while
      {"alias lonely", nullptr, 3},             // no body
      {"alias a1 alias a2 go", "alias a1 = alias a2 = go", 5},
      {"a2", "a2", 5},
      // A body that converts to a comment, or to nothing, defines nothing.
      {"alias clr unbreak 1", nullptr, 5},
      {"clr", nullptr, 5},
      {"alias clr unw", nullptr, 5},
      {"alias clr  ", nullptr, 5},
      // "alias" inside a word is no definition.
      {"let myalias", "cexpression myalias", 5},
      {"let alias_cnt = 1", "cexpression alias_cnt  =  1", 5},
      {"v alias_table", "printtype alias_table", 5},
      {"where alias", "where alias", 5},
      // A body that grows at every level (each level appends a warning line) is refused.
      {"alias a alias b $inputbase", nullptr, 5},
  };
  for (const auto& s : steps) {
    std::string line = s.line, converted = "untouched";
    EXPECT_EQ(converter.ConvertLine(line, converted), s.converted ? kConverted : kNotConverted)
        << s.line;
    EXPECT_EQ(converted, s.converted ? s.converted : "untouched") << s.line;
    EXPECT_EQ(converter.AliasCount(), s.stored) << s.line;
  }
  EXPECT_TRUE(converter.IsAlias("foo") && converter.IsAlias("GoFast") &&
              converter.IsAlias("gofast") && converter.IsAlias("a1"));
  EXPECT_FALSE(converter.IsAlias("bar") || converter.IsAlias("lonely") ||
               converter.IsAlias("clr") || converter.IsAlias("b"));
  for (int k = 6; k <= 50; ++k) {  // the store has no limit of 50 names
    std::string line = "alias n" + std::to_string(k) + " go", converted;
    EXPECT_EQ(converter.ConvertLine(line, converted), kConverted);
  }
  std::string line = "n50", converted;
  EXPECT_EQ(converter.ConvertLine(line, converted), kConverted);
  EXPECT_EQ(converted + " " + std::to_string(converter.AliasCount()), "n50 50");
}

// A help topic is converted as a line of its own: 70 nested topics go past the 64 conversions
// that may run at once, and the whole line is not converted.
TEST(Aliases, NestingBackstopEndsTheRecursion) {
  LineConverter converter;
  std::string deep = "break", shallow = "h h h h h h h h h h break", converted = "untouched";
  for (int k = 0; k < 70; ++k) deep = "h " + deep;
  EXPECT_EQ(converter.ConvertLine(deep, converted), kNotConverted);
  EXPECT_EQ(converted, "untouched");
  EXPECT_EQ(converter.ConvertLine(shallow, converted), kConverted);
  EXPECT_EQ(converted, "dcommands dcommands ");
}

// Conversions within others hold their texts: once those would hold more than twice the line
// (and more than a megabyte), a deeper one is not converted, so that a long line whose lists
// nest deeply costs a few times its length. A short line nests as deep as ever.
TEST(Aliases, NestedTextsHoldAFewTimesTheLine) {
  auto nested = [](int depth, size_t padding) {
    std::string line = "b f do {p x" + std::string(padding, 'x') + "}";
    for (int k = 1; k < depth; ++k) line = "b f do {" + line + "}";
    return line;
  };
  auto macros = [](const std::string& converted) {
    size_t count = 0;
    for (size_t at = converted.find("define int"); at != std::string::npos;
         at = converted.find("define int", at + 1)) {
      ++count;
    }
    return count;
  };
  LineConverter converter;
  std::string line = nested(20, 0), converted;
  EXPECT_EQ(converter.ConvertLine(line, converted), kConverted);
  EXPECT_EQ(macros(converted), 20u);
  // 600 KB a level: the outermost and its entry (1.2 MB) fit, the third level (1.8 MB) not: the
  // innermost macro is left empty.
  line = nested(3, 600000);
  EXPECT_EQ(converter.ConvertLine(line, converted), kConverted);
  EXPECT_EQ(macros(converted), 2u);
  EXPECT_NE(converted.find("define int MyMacro_21()\n{\nreturn (1);"), std::string::npos);
}

// The store of names on its own: any case finds a name, the first spelling stays, and a store of
// many names (its table grown many times) still finds each of them and nothing else.
TEST(AliasStore, NamesInAnyCaseAsFirstWritten) {
  AliasStore store;
  EXPECT_FALSE(store.Find("go").has_value());
  store.Add("GoFast");
  store.Add("gofast");  // matches: the first spelling stays
  store.Add("go_fast");
  store.Add("");
  EXPECT_EQ(store.size(), 3u);  // "", "GoFast", "go_fast"
  for (const char* name : {"GoFast", "gofast", "GOFAST", "gOfAsT"}) {
    ASSERT_TRUE(store.Find(name).has_value()) << name;
    EXPECT_EQ(*store.Find(name), "GoFast") << name;
  }
  EXPECT_EQ(store.Find("GO_FAST").value_or("-"), "go_fast");
  EXPECT_EQ(store.Find("").value_or("-"), "");
  store.Add("\xC9T\xC9");  // Latin-1 capital E acute: no case of its own here
  EXPECT_EQ(store.Find("\xC9t\xC9").value_or("-"), "\xC9T\xC9");
  EXPECT_FALSE(store.Find("\xE9t\xE9").has_value());
  // Only the letters A to Z have a case; other characters match only themselves.
  for (const char* other : {"gofas", "gofastx", "go fast", "gofast ", "go-fast"}) {
    EXPECT_FALSE(store.Find(other).has_value()) << other;
  }

  AliasStore many;
  for (int k = 0; k < 5000; ++k) many.Add("Name" + std::to_string(k));
  EXPECT_EQ(many.size(), 5000u);
  for (int k = 0; k < 5000; k += 7) {
    std::string name = "nAME" + std::to_string(k);
    EXPECT_EQ(many.Find(name).value_or("-"), "Name" + std::to_string(k)) << name;
  }
  EXPECT_FALSE(many.Find("name5000").has_value());
  EXPECT_FALSE(many.Find("name").has_value());
}

}  // namespace
