// Alias definitions, converted through the whole line converter: the body is converted on its
// own, the definition rewritten as "alias NAME = BODY", and the name recorded in the alias store
// so that later lines may use it as their command word.
#include <gtest/gtest.h>

#include <string>

#include "converter.h"

namespace {

class AliasTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetRunState(); }

  // Converts one line; the result text is "untouched" when the converter wrote nothing.
  static std::string Convert(const std::string& text, int* result) {
    std::string line = text;
    std::string converted = "untouched";
    *result = ConvertLine(line, converted);
    return converted;
  }

  static void ExpectConverted(const std::string& text, const std::string& expected) {
    int result = -1;
    EXPECT_EQ(Convert(text, &result), expected) << text;
    EXPECT_EQ(result, kConverted) << text;
  }

  static void ExpectNotConverted(const std::string& text) {
    int result = -1;
    EXPECT_EQ(Convert(text, &result), "untouched") << text;
    EXPECT_EQ(result, kNotConverted) << text;
  }
};

TEST_F(AliasTest, DefinitionConvertsBodyAndStoresName) {
  ExpectConverted("alias foo go", "alias foo = go");
  EXPECT_TRUE(IsAlias("foo"));
  EXPECT_EQ(AliasCount(), 1u);
}

TEST_F(AliasTest, ShortCommandWordDefinesToo) {
  ExpectConverted("al foo go", "alias foo = go");
  EXPECT_TRUE(IsAlias("foo"));
}

TEST_F(AliasTest, BodyGetsTheWholeConversion) {
  ExpectConverted("alias sh where r1", "alias sh = where @r1");
  ExpectConverted("alias q quit", "alias q = quit y");
}

// An alias name is its own template: it takes no arguments, so they are dropped.
TEST_F(AliasTest, LaterLinesUseTheAlias) {
  ExpectConverted("alias foo go", "alias foo = go");
  ExpectConverted("foo", "foo");
  ExpectConverted("foo 1", "foo");
  ExpectConverted("FOO", "foo");
}

TEST_F(AliasTest, BuiltInCommandWordWinsOverAlias) {
  ExpectConverted("alias go quit", "alias go = quit y");
  ExpectConverted("go", "go");
}

TEST_F(AliasTest, FailedBodyStoresNothing) {
  ExpectNotConverted("alias bar nosuchcommand");
  EXPECT_FALSE(IsAlias("bar"));
  EXPECT_EQ(AliasCount(), 0u);
  ExpectNotConverted("bar");
}

TEST_F(AliasTest, AliasCanNameAnAlias) {
  ExpectConverted("alias foo go", "alias foo = go");
  ExpectConverted("alias bar foo", "alias bar = foo");
  ExpectConverted("bar", "bar");
  EXPECT_EQ(AliasCount(), 2u);
}

// The name is stored as written, but command words are lower-cased before the lookup.
TEST_F(AliasTest, CapitalsInNameAreStoredButNeverMatch) {
  ExpectConverted("alias Foo go", "alias Foo = go");
  EXPECT_TRUE(IsAlias("Foo"));
  ExpectNotConverted("Foo");
  ExpectNotConverted("foo");
}

TEST_F(AliasTest, DefinitionWithoutBodyIsNotConverted) {
  ExpectNotConverted("alias foo");
  EXPECT_EQ(AliasCount(), 0u);
  EXPECT_FALSE(IsAlias("foo"));
}

TEST_F(AliasTest, BareAliasIsCopied) {
  ExpectConverted("alias", "alias");
  EXPECT_EQ(AliasCount(), 0u);
}

TEST_F(AliasTest, StoreHoldsMoreThanFiftyAliases) {
  for (int k = 0; k <= 50; ++k) {
    const std::string name = "n" + std::to_string(k);
    ExpectConverted("alias " + name + " go", "alias " + name + " = go");
  }
  EXPECT_EQ(AliasCount(), 51u);
  ExpectConverted("n50", "n50");
  ExpectConverted("n0", "n0");
}

// A definition whose body is itself a definition: both are converted and stored.
TEST_F(AliasTest, NestedDefinitionStoresBothNames) {
  ExpectConverted("alias a1 alias a2 go", "alias a1 = alias a2 = go");
  EXPECT_TRUE(IsAlias("a1"));
  EXPECT_TRUE(IsAlias("a2"));
  EXPECT_EQ(AliasCount(), 2u);
  ExpectConverted("a2", "a2");
}

// "alias" inside a symbol name sends the line into the alias branch; with no blank after the
// word there is no body, and the line is not converted.
TEST_F(AliasTest, AliasInsideSymbolNameHasNoBody) {
  ExpectNotConverted("let myalias");
  EXPECT_EQ(AliasCount(), 0u);
}

// A line whose text grows at every alias level must end, not converted, with nothing stored.
TEST_F(AliasTest, GrowingAliasRecursionEnds) {
  ExpectNotConverted("isaliaswatch ==p/%dq$inputbasecallgraph STRprint ");
  EXPECT_EQ(AliasCount(), 0u);
}

}  // namespace
