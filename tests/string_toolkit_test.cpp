// String toolkit: the index/position conventions every conversion rule is written in, the
// clamping of offsets that fall outside the text, and the one-pass rewrites checked against the
// "while it contains X, replace the first X" loops they stand for.
#include "string_toolkit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct SearchCase {
  const char* text;
  char find;
  Index offset;  // FindnChar only
  Index first;   // FindFirstChar: position, 0 when absent
  Index last;    // FindLastChar: position, 0 when absent
  Index from;    // FindnChar: index, -1 when absent
};

TEST(StringToolkitSearch, PositionsAreOneBasedAndIndexesZeroBased) {
  const SearchCase cases[] = {
      {"abc", 'z', 0, 0, 0, -1},   {"abc", 'a', 0, 1, 1, 0},    {"a;b;c", ';', 2, 2, 4, 3},
      {"a;b;c", ';', 3, 2, 4, 3},  {"a;b;c", ';', 4, 2, 4, -1}, {"a;b;c", ';', 5, 2, 4, -1},
      {"a;b;c", ';', 9, 2, 4, -1}, {"a;b;c", 'c', 4, 5, 5, 4},  {"", 'a', 0, 0, 0, -1},
      {"a;b;c", ';', -5, 2, 4, 1},  // an offset before the text is clamped to its start
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.find + " @" + std::to_string(c.offset));
    EXPECT_EQ(FindFirstChar(c.text, c.find), c.first);
    EXPECT_EQ(FindLastChar(c.text, c.find), c.last);
    EXPECT_EQ(FindnChar(c.text, c.find, c.offset), c.from);
  }
  EXPECT_EQ(FindString("abc", "z"), -1);
  EXPECT_EQ(FindString("abc", "a"), 0);
  EXPECT_EQ(FindString("abcbc", "bc"), 1);
  EXPECT_EQ(FindString("abc", ""), 0);
}

// One edit applied to a text; `expected` is the whole text afterwards.
struct EditCase {
  const char* name;
  std::string before;
  void (*edit)(std::string&);
  std::string expected;
};

#define EDIT(call) [](std::string& s) { call; }

TEST(StringToolkitEdit, InPlaceEditsKeepTheirConventions) {
  const EditCase cases[] = {
      {"ChangeChar 0 ends the text", "abc", EDIT(ChangeChar(s, 2, '\0')), "a"},
      {"ChangeChar position 1", "abc", EDIT(ChangeChar(s, 1, 'x')), "xbc"},
      {"Insert inside", "ab", EDIT(Insert(s, ',', 1)), "a,b"},
      {"Insert in front", "ab", EDIT(Insert(s, ',', 0)), ",ab"},
      {"Insert appends", "ab", EDIT(Insert(s, ',', 2)), "ab,"},
      {"DeleteString end is exclusive", "abcdef", EDIT(DeleteString(s, 1, 3)), "adef"},
      {"DeleteString one character", "abcdef", EDIT(DeleteString(s, 2, 3)), "abdef"},
      {"DeleteString end past the text", "abc", EDIT(DeleteString(s, 1, 10)), "a"},
      {"DeleteString empty range", "abc", EDIT(DeleteString(s, 2, 2)), "abc"},
      {"DeleteString from -1", "abcdef", EDIT(DeleteString(s, -1, 3)), "def"},
      {"DeleteString start past the text", "abc", EDIT(DeleteString(s, 5, 7)), "abc"},
      {"Replace first occurrence only", "axbx", EDIT(Replace(s, "x", "yy")), "ayybx"},
      {"Replace absent item", "axbx", EDIT(Replace(s, "q", "yy")), "axbx"},
      {"Replace empty item puts in front", "ab", EDIT(Replace(s, "", "yy")), "yyab"},
      {"Replace by text holding the item", "aXa", EDIT(Replace(s, "a", "aa")), "aaXa"},
      {"Replace by nothing", "abcabc", EDIT(Replace(s, "bc", "")), "aabc"},
      {"MakeLower", "SetReg R0", EDIT(MakeLower(s)), "setreg r0"},
      {"MakeLower is ASCII only", "A\xC0Z\xE9", EDIT(MakeLower(s)), "a\xC0z\xE9"},
      {"TrimRight spaces", "go  ", EDIT(TrimRight(s)), "go"},
      {"TrimRight leaves a tab", "go\t", EDIT(TrimRight(s)), "go\t"},
      {"TrimRight stops at a tab", "go\t ", EDIT(TrimRight(s)), "go\t"},
      {"TrimRight leaves CR", "go\r", EDIT(TrimRight(s)), "go\r"},
      {"TrimRight only spaces", "   ", EDIT(TrimRight(s)), ""},
      {"TrimRight empty", "", EDIT(TrimRight(s)), ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = c.before;
    c.edit(text);
    EXPECT_EQ(text, c.expected);
  }
}

struct CutCase {
  const char* text;
  Index start, end;
  const char* expected;  // the output, which held "keep" before the call
};

TEST(StringToolkitCut, CutStringIncludesBothEndsAndLeavesOutputForReversedRange) {
  const CutCase cases[] = {{"abcdef", 1, 3, "bcd"}, {"abc", 1, 10, "bc"}, {"abc", 2, 1, "keep"},
                           {"abc", 0, -1, "keep"},  {"abc", 0, 0, "a"},   {"abc", 3, 5, ""},
                           {"abcdef", -2, 1, "ab"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " " + std::to_string(c.start) + ".." +
                 std::to_string(c.end));
    std::string out = "keep";
    CutString(c.text, out, c.start, c.end);
    EXPECT_EQ(out, c.expected);
  }
}

TEST(StringToolkitCut, CutStringWithOneBufferAsSourceAndDestination) {
  std::string text = "abcdef";
  CutString(text, text, 0, 2);  // shorten to the first three characters
  EXPECT_EQ(text, "abc");
  text = "abcdef";
  CutString(text, text, 2, 10);
  EXPECT_EQ(text, "cdef");
  text = "abcdef";
  CutString(text, text, 3, 1);
  EXPECT_EQ(text, "abcdef");
}

TEST(StringToolkitCut, CopySelectionTakesEndBeforeStartAndAppends) {
  std::string target = "xy";
  CopySelection("abcdef", target, 4, 1);
  EXPECT_EQ(target, "xybcd");
  CopySelection("abcdef", target, 1, 4);  // offset after number: nothing
  EXPECT_EQ(target, "xybcd");
  target = "x";
  CopySelection("abc", target, 10, 1);  // end past the text is clamped
  EXPECT_EQ(target, "xbc");
  target = "";
  CopySelection("abc", target, 2, -1);  // start before the text is clamped
  EXPECT_EQ(target, "ab");
}

TEST(StringToolkitCut, SplitUpDropsTheCharacterAtThePosition) {
  struct {
    const char* full;
    Index number;
    const char* word;
    const char* rest;
  } const cases[] = {{"go main", 3, "go", "main"},
                     {"abc", 0, "", "abc"},
                     {"abc", 1, "", "bc"},
                     {"abc", 3, "ab", ""},
                     {"abc", 10, "abc", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.full) + " @" + std::to_string(c.number));
    std::string word = "old", rest = "old";  // both outputs are emptied first
    SplitUp(c.full, word, rest, c.number);
    EXPECT_EQ(word, c.word);
    EXPECT_EQ(rest, c.rest);
  }
}

TEST(StringToolkitWords, FindWordAndFindBlankWord) {
  constexpr Index kNotAsked = -2;
  struct {
    const char* text;
    const char* keyword;
    Index word;   // FindWord
    Index blank;  // FindBlankWord; kNotAsked where the keyword brings its own blank
  } const cases[] = {{"go main", "main", 3, 3},
                     {"main", "main", 0, -1},
                     {"main(", "main", 0, -1},
                     {"domain main", "main", 7, 7},
                     {"mainx main", "main", 6, 6},
                     {"main_1", "main", -1, -1},
                     {"x=main", "main", -1, -1},
                     {"x main(", "main", 2, -1},
                     {"x mains main", "main", 8, 8},
                     {"a while x", " while", 1, kNotAsked},
                     {"gowhile x", " while", -1, -1},
                     {"go whiles while", "while", 10, 10},
                     {"", "main", -1, -1},
                     {"x main y", "main", 2, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.keyword);
    EXPECT_EQ(FindWord(c.text, c.keyword), c.word);
    if (c.blank != kNotAsked) {
      EXPECT_EQ(FindBlankWord(c.text, c.keyword), c.blank);
    }
  }
}

// The one-pass rewrites must give exactly what the literal loops give, on many short texts over
// an alphabet made of the characters the loops act on.
class OnePassRewrites : public ::testing::Test {
 protected:
  std::uint32_t state_ = 12345u;
  std::uint32_t Next() {
    state_ = state_ * 1103515245u + 12345u;
    return (state_ >> 16) & 0x7fffu;
  }
  std::string RandomText() {
    static const char kAlphabet[] = "= :,a";
    std::string text(Next() % 13, ' ');
    for (char& ch : text) ch = kAlphabet[Next() % 5];
    return text;
  }
};

TEST_F(OnePassRewrites, MatchTheLiteralLoops) {
  for (int n = 0; n < 4000; ++n) {
    const std::string text = RandomText();
    const size_t from = Next() % (text.size() + 2);
    SCOPED_TRACE("\"" + text + "\" from " + std::to_string(from));

    std::string literal = text;  // from `from` on, the first pair of blanks becomes one blank
    for (size_t k; (k = literal.find("  ", from)) != std::string::npos;) literal.replace(k, 2, " ");
    std::string fast = text;
    SqueezeRuns(fast, ' ', from);
    EXPECT_EQ(fast, literal);

    literal = text;  // while it contains "=:", the first becomes "="
    for (size_t k; (k = literal.find("=:")) != std::string::npos;) literal.replace(k, 2, "=");
    fast = text;
    DropAfter(fast, '=', ':');
    EXPECT_EQ(fast, literal);

    literal = text;  // while it contains ':', the first becomes a backslash
    for (size_t k; (k = literal.find(':')) != std::string::npos;) literal.replace(k, 1, "\\");
    fast = text;
    ReplaceEveryChar(fast, ':', "\\");
    EXPECT_EQ(fast, literal);

    literal = text;  // a longer substitution
    for (size_t k; (k = literal.find(',')) != std::string::npos;) literal.replace(k, 1, "a=");
    fast = text;
    ReplaceEveryChar(fast, ',', "a=");
    EXPECT_EQ(fast, literal);
    if (HasFailure()) break;
  }
}

}  // namespace
