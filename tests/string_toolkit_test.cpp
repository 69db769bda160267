// String toolkit: the index/position conventions every conversion rule is written in, the
// clamping of offsets outside the text, and the one-pass rewrites checked against the literal
// "while it contains X, replace the first X" loops they stand for.
#include "string_toolkit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(StringToolkit, SearchesGivePositionsOrIndexes) {
  struct {
    const char* text;
    char find;
    Index offset, first, last, from;  // FindnChar offset; FindFirstChar, FindLastChar, FindnChar
  } const cases[] = {
      // clang-format off
      {"abc", 'z', 0, 0, 0, -1}, {"abc", 'a', 0, 1, 1, 0}, {"a;b;c", ';', 3, 2, 4, 3},
      {"a;b;c", ';', 4, 2, 4, -1}, {"a;b;c", ';', 5, 2, 4, -1}, {"a;b;c", ';', 9, 2, 4, -1},
      {"a;b;c", 'c', 4, 5, 5, 4}, {"", 'a', 0, 0, 0, -1},
      {"a;b;c", ';', -5, 2, 4, 1},  // an offset before the text is clamped to its start
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.find + " @" + std::to_string(c.offset));
    EXPECT_EQ(FindFirstChar(c.text, c.find), c.first);
    EXPECT_EQ(FindLastChar(c.text, c.find), c.last);
    EXPECT_EQ(FindnChar(c.text, c.find, c.offset), c.from);
  }
  EXPECT_EQ(FindString("abc", "z"), -1);
  EXPECT_EQ(FindString("abcbc", "bc"), 1);
  EXPECT_EQ(FindString("abc", ""), 0);
}

#define EDIT(call) [](std::string& s) { call; }

// The two-output operations, written back as one text: the output of CutString held "keep"
// before the call, CopySelection appends to "xy", SplitUp gives "word|rest" (both held "old").
void Cut(std::string& s, Index start, Index end) {
  std::string out = "keep";
  CutString(s, out, start, end);
  s = out;
}
void Copy(std::string& s, Index number, Index offset) {
  std::string target = "xy";
  CopySelection(s, target, number, offset);
  s = target;
}
void Split(std::string& s, Index number) {
  std::string word = "old", rest = "old";
  SplitUp(s, word, rest, number);
  s = word + "|" + rest;
}

TEST(StringToolkit, EditsKeepTheirConventions) {
  struct {
    std::string before;
    void (*edit)(std::string&);
    std::string expected;
  } const cases[] = {
      // clang-format off
      {"abc", EDIT(ChangeChar(s, 2, '\0')), "a"},
      {"ab", EDIT(Insert(s, ',', 1)), "a,b"}, {"ab", EDIT(Insert(s, ',', 0)), ",ab"},
      {"ab", EDIT(Insert(s, ',', 2)), "ab,"},
      {"abcdef", EDIT(DeleteString(s, 1, 3)), "adef"},  // the end is exclusive
      {"abc", EDIT(DeleteString(s, 1, 10)), "a"}, {"abc", EDIT(DeleteString(s, 2, 2)), "abc"},
      {"abcdef", EDIT(DeleteString(s, -1, 3)), "def"},  // offsets outside the text are clamped
      {"abc", EDIT(DeleteString(s, 5, 7)), "abc"},
      {"abcdef", EDIT(Cut(s, 1, 3)), "bcd"},  // both ends included
      {"abc", EDIT(Cut(s, 1, 10)), "bc"}, {"abc", EDIT(Cut(s, 2, 1)), "keep"},
      {"abc", EDIT(Cut(s, 0, -1)), "keep"}, {"abc", EDIT(Cut(s, 0, 0)), "a"},
      {"abc", EDIT(Cut(s, 3, 5)), ""}, {"abcdef", EDIT(Cut(s, -2, 1)), "ab"},
      {"abcdef", EDIT(CutString(s, s, 0, 2)), "abc"},  // one text as source and output
      {"abcdef", EDIT(CutString(s, s, 3, 1)), "abcdef"},
      {"abcdef", EDIT(CutString(s, s, 2, 4)), "cde"}, {"abcdef", EDIT(CutString(s, s, 4, 9)), "ef"},
      {"abcdef", EDIT(CutString(s, s, 6, 8)), ""},
      {"abcdef", EDIT(Copy(s, 4, 1)), "xybcd"},  // the end index comes first
      {"abcdef", EDIT(Copy(s, 1, 4)), "xy"}, {"abc", EDIT(Copy(s, 10, -1)), "xyabc"},
      {"go main", EDIT(Split(s, 3)), "go|main"}, {"abc", EDIT(Split(s, 0)), "|abc"},
      {"abc", EDIT(Split(s, 1)), "|bc"}, {"abc", EDIT(Split(s, 10)), "abc|"},
      {"go main", EDIT(std::string rest; SplitUp(s, s, rest, 3); s += "|" + rest), "go|main"},
      {"go main", EDIT(std::string word; SplitUp(s, word, s, 3); s = word + "|" + s), "go|main"},
      {"axbx", EDIT(Replace(s, "x", "yy")), "ayybx"}, {"axbx", EDIT(Replace(s, "q", "yy")), "axbx"},
      {"ab", EDIT(Replace(s, "", "yy")), "yyab"}, {"aXa", EDIT(Replace(s, "a", "aa")), "aaXa"},
      {"axbx", EDIT(Replace(s, "x", {"[", "y", "]"})), "a[y]bx"},  // a substitution in pieces
      {"axbx", EDIT(Replace(s, "q", {"[", "]"})), "axbx"}, {"ab", EDIT(Replace(s, "b", {})), "a"},
      {"abc", EDIT(Replace(s, "b", {std::string_view(s).substr(0, 2), "!"})), "aab!c"},
      {"SetReg R0\xC0\xE9", EDIT(MakeLower(s)), "setreg r0\xC0\xE9"},  // ASCII only
      {"go  ", EDIT(TrimRight(s)), "go"}, {"go\t", EDIT(TrimRight(s)), "go\t"},
      {"go\t ", EDIT(TrimRight(s)), "go\t"}, {"   ", EDIT(TrimRight(s)), ""},
      {" \tgo x\t ", EDIT(s = std::string(Trimmed(s))), "\tgo x\t"},
      {"\t go x \t", EDIT(s = std::string(Trimmed(s, " \t"))), "go x"},
      {" \t ", EDIT(s = std::string(Trimmed(s, " \t"))), ""},
      // clang-format on
  };
  for (const auto& c : cases) {
    std::string text = c.before;
    c.edit(text);
    EXPECT_EQ(text, c.expected) << "before: " << c.before;
  }
}

// Cutting at separators: the pieces hold no separator, and a separator at an end or two in a row
// give an empty piece. Outside brackets, only a separator at depth 0 cuts; the depth never goes
// below 0.
TEST(StringToolkit, SplitsAtSeparators) {
  using Pieces = std::vector<std::string>;
  struct {
    const char* text;
    Pieces at, outside;  // SplitAt(';'), SplitOutside(';', '{', '}')
  } const cases[] = {
      // clang-format off
      {"go;step", {"go", "step"}, {"go", "step"}},
      {"a;;b", {"a", "", "b"}, {"a", "", "b"}},
      {"go;", {"go", ""}, {"go", ""}},
      {";", {"", ""}, {"", ""}},
      {"go", {"go"}, {"go"}},
      {"", {""}, {""}},
      {"b t do {print ticks; go}; go", {"b t do {print ticks", " go}", " go"},
       {"b t do {print ticks; go}", " go"}},
      {"b f do {print x; go}", {"b f do {print x", " go}"}, {"b f do {print x; go}"}},
      {"a {{;};b}", {"a {{", "}", "b}"}, {"a {{;};b}"}},  // still inside the outer braces
      {"go; }", {"go", " }"}, {"go", " }"}},
      {"}};a{;", {"}}", "a{", ""}, {"}}", "a{;"}},  // "}" at depth 0 changes nothing
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitAt(c.text, ';'), c.at) << c.text;
    EXPECT_EQ(SplitOutside(c.text, ';', '{', '}'), c.outside) << c.text;
  }
}

// Comparisons that ignore case map A to Z onto a to z and nothing else; quotes are counted from
// the start of the text; a whole word has no letter, digit or "_" beside it.
TEST(StringToolkit, CaseQuotesAndWholeWords) {
  EXPECT_TRUE(EqualsNoCase("CoMM", "comm"));
  EXPECT_FALSE(EqualsNoCase("comm", "comment"));
  EXPECT_FALSE(EqualsNoCase("[", "{"));  // 0x5B and 0x7B differ by the case bit only
  EXPECT_FALSE(EqualsNoCase("@", "`"));
  EXPECT_TRUE(BeginsWithNoCase("PRINT/%d x", "print/%"));
  EXPECT_FALSE(BeginsWithNoCase("prin", "print"));
  EXPECT_TRUE(ContainsNoCase("e/x P/%X", "p/%"));
  EXPECT_FALSE(ContainsNoCase("e/x p/x", "p/%"));
  EXPECT_TRUE(ContainsNoCase("abc", ""));

  const char* quoted = "a \"b=c\" d";
  EXPECT_FALSE(InsideQuotes(quoted, 0));
  EXPECT_FALSE(InsideQuotes(quoted, 2));  // the opening quote itself has none before it
  EXPECT_TRUE(InsideQuotes(quoted, 4));
  EXPECT_TRUE(InsideQuotes(quoted, 6));  // the closing quote has one before it
  EXPECT_FALSE(InsideQuotes(quoted, 8));
  EXPECT_FALSE(InsideQuotes(quoted, 99));  // past the end: every quote counted

  struct {
    const char *text, *word;
    Index found;
  } const words[] = {
      {"profile", "profile", 0},
      {"b profile_tick", "profile", -1},
      {"xprofile 2profile", "profile", -1},
      {"step /profile", "profile", 6},
      {"profile_tick profile", "profile", 13},
      {"callgraph.", "callgraph", 0},
      {"", "profile", -1},
  };
  for (const auto& c : words) EXPECT_EQ(FindWholeWord(c.text, c.word), c.found) << c.text;
}

// The one-pass rewrites must give exactly what the literal loops give, on many short texts over
// an alphabet of the characters the loops act on.
TEST(StringToolkit, OnePassRewritesMatchTheLiteralLoops) {
  std::uint32_t state = 12345u;
  auto next = [&state] { return ((state = state * 1103515245u + 12345u) >> 16) & 0x7fffu; };
  auto every = [](std::string s, const char* item, const char* by, size_t from = 0) {
    for (size_t k; (k = s.find(item, from)) != std::string::npos;) s.replace(k, strlen(item), by);
    return s;
  };
  for (int n = 0; n < 4000 && !HasFailure(); ++n) {
    std::string text(next() % 13, ' ');
    for (char& ch : text) ch = "= :,a"[next() % 5];
    const size_t from = next() % (text.size() + 2);
    SCOPED_TRACE("\"" + text + "\" from " + std::to_string(from));
    std::string fast = text;
    SqueezeRuns(fast, ' ', from);
    EXPECT_EQ(fast, every(text, "  ", " ", from));
    DropAfter(fast = text, '=', ':');
    EXPECT_EQ(fast, every(text, "=:", "="));
    ReplaceEveryChar(fast = text, ':', "\\");
    EXPECT_EQ(fast, every(text, ":", "\\"));
    ReplaceEveryChar(fast = text, ',', "a=");
    EXPECT_EQ(fast, every(text, ",", "a="));
  }
}

}  // namespace
