// String toolkit: the index/position conventions every conversion rule is written in, the
// clamping of offsets outside the text, and the one-pass rewrites checked against the literal
// "while it contains X, replace the first X" loops they stand for.
#include "string_toolkit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

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
      {"abcdef", EDIT(Copy(s, 4, 1)), "xybcd"},  // the end index comes first
      {"abcdef", EDIT(Copy(s, 1, 4)), "xy"}, {"abc", EDIT(Copy(s, 10, -1)), "xyabc"},
      {"go main", EDIT(Split(s, 3)), "go|main"}, {"abc", EDIT(Split(s, 0)), "|abc"},
      {"abc", EDIT(Split(s, 1)), "|bc"}, {"abc", EDIT(Split(s, 10)), "abc|"},
      {"axbx", EDIT(Replace(s, "x", "yy")), "ayybx"}, {"axbx", EDIT(Replace(s, "q", "yy")), "axbx"},
      {"ab", EDIT(Replace(s, "", "yy")), "yyab"}, {"aXa", EDIT(Replace(s, "a", "aa")), "aaXa"},
      {"SetReg R0\xC0\xE9", EDIT(MakeLower(s)), "setreg r0\xC0\xE9"},  // ASCII only
      {"go  ", EDIT(TrimRight(s)), "go"}, {"go\t", EDIT(TrimRight(s)), "go\t"},
      {"go\t ", EDIT(TrimRight(s)), "go\t"}, {"   ", EDIT(TrimRight(s)), ""},
      // clang-format on
  };
  for (const auto& c : cases) {
    std::string text = c.before;
    c.edit(text);
    EXPECT_EQ(text, c.expected) << "before: " << c.before;
  }
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
