// Template clean-up and print conversion: unfilled placeholders go with their separators, print and
// comment templates become MXT printf or cexpression commands, and the call, search, dump and
// expression fix-ups apply.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "converter.h"
#include "line_stages.h"

namespace {

TEST(TemplateCleanUp, FinishesTheTemplate) {
  const std::string warning =
      "\n//Warning the use of result is not consistant between Tavex and MXT";
  struct {
    std::string postcon, arguments, line;  // as placement left them; the line normalised
    std::string expected;                  // PostCon after clean-up
  } const cases[] = {
      // clang-format off
      // Unfilled placeholders with their separators; no pass at all when none is left.
      {"dump 0x8000..XXXXX2", "0x8000", "examine 0x8000", "dump 0x8000 "},
      {"search XXXXX2..+ XXXXX3=5", "5", "find 5", "search 5"},
      {"journal on=XXXXX1 \n", "", "log", "journal on \n"},
      {"readfile,raw XXXXX1 = XXXXX2", "", "getfile", "readfileraw "},
      {"readfile,raw f.bin  = 0x8000", "f.bin 0x8000", "getfile f.bin 0x8000",
       "readfile,raw f.bin  = 0x8000"},
      {"where XXXXX1", "", "where", "where"},
      // Print and comment templates, with and without double quotes, and "%i" formats.
      {"printf \"STR\"", "\"$x\"", "comment \"$x\"", "printf \"$x\""},
      {"printf \"STR\"", "\"hello\" x", "comment \"hello\" x", "printf \""},
      {"printf \"STR\"", "$result", "comment $result", "printf \"@result\"" + warning},
      {"printf \"STR\"", "x %i4", "comment x %i4", "printf \"x i44\""},
      {"printf \"%i\",STR", "x", "p x", "cexpression x"},
      {"printf \"%i\",STR", "p/%d", "p p/%d", "printf \"%i\",p/%d"},
      {"printf \"%i\",STR", "\"n %i\" n", "p \"n %i\" n", "printf \"n i\",\","},
      {"printf \"%d\",STR", "\"n \" n", "p/%d \"n \" n", "printf \"n \", n"},
      {"printf \"%i\",@STR", "\"v \" x", "print \"v \" x", "printf \"@v \", x"},
      {"printf \"%i\",@STR", "\"$x\"", "print \"$x\"", "printf \"@ x\""},
      // Call rule: "call" anywhere in the line, only for expressions.
      {"cexpression foo(1 2)", "foo(1,2)", "call foo(1,2)", "cexpression foo(1,2)"},
      {"cexpression recall  =1 XXXXX3", "recall =1", "let recall =1", "cexpression recall =1"},
      {"host call  x XXXXX3", "call x", "!call x", "host call  x"},
      // Expression rule: the first "=" becomes a blank unless it belongs to a comparison.
      {"cexpression x  =y=1 XXXXX3", "x =y=1", "let x =y=1", "cexpression x   y=1"},
      {"cexpression a = b == c", "a = b == c", "let a = b == c", "cexpression a   b == c"},
      {"cexpression a != b == c", "a != b == c", "let a != b == c", "cexpression a != b == c"},
      {"cexpression a <= b == c", "a <= b == c", "let a <= b == c", "cexpression a <= b == c"},
      {"cexpression a >= b = c", "a >= b = c", "let a >= b = c", "cexpression a >= b = c"},
      // clang-format on
  };
  for (const auto& c : cases) {
    ResetRunState();
    LineWork work;
    work.line = c.line;
    work.PreCon = c.line[0] == '!' ? "!" : c.line.substr(0, c.line.find(' '));
    work.Arguments = c.arguments;
    work.PostCon = c.postcon;
    CleanUpTemplate(work);
    EXPECT_EQ(work.PostCon, c.expected) << "line: " << c.line;
  }
}

// The removal loop, exactly as worded: while the text holds "XXXXX", one pass of the ten steps,
// each on the first occurrence it finds; a pass that changes nothing ends it.
std::string LiteralRemoval(std::string text) {
  auto erase = [&](size_t from, size_t to) {
    from = std::min(from, text.size());
    text.erase(from, std::min(to, text.size()) - from);
  };
  auto erase_first = [&](std::string_view item, size_t before, size_t after) {
    size_t at = text.find(item);
    if (at != std::string::npos) erase(at >= before ? at - before : 0, at + item.size() + after);
  };
  while (text.find("XXXXX") != std::string::npos) {
    const std::string old = text;
    size_t p = text.find("XXXXX");
    char digit = p + 5 < text.size() ? text[p + 5] : '\0';
    if ((digit >= '1' && digit <= '9') || digit == 'x') erase(p == 0 ? 0 : p - 1, p + 6);
    erase_first("..+", 0, 0);
    if (text.find(',') != std::string::npos && text.find("cexpression") == std::string::npos) {
      erase_first(",", 0, 0);
    }
    erase_first("''", 0, 0);
    if (size_t q = text.find("'\""); q != std::string::npos) erase(q, q + 1);
    if (size_t q = text.find("\"'"); q != std::string::npos) erase(q + 1, q + 2);
    erase_first("callgraph", 1, 1);
    if (size_t caret = text.find('^'); caret != std::string::npos) text[caret] = ' ';
    erase_first("profile", 1, 1);
    if (!text.empty() && text.back() == '=') text.pop_back();
    if (text == old) break;
  }
  return text;
}

// Long texts take the removal on a linked text, short ones the passes as worded; both must give
// the literal loop's result, whatever the text holds.
TEST(PlaceholderRemoval, EqualsTheLiteralPassLoop) {
  // Whole patterns, and halves that only a deletion can join into one.
  const std::vector<std::string> mixed = {
      "XXXXX1", "XXXXX9", "XXXXXx", "XXXXX", "X", "XX", "1", "..",        "..+",     "+",
      "'",      "\"",     ",",      "^",     "=", " ",  "a", "callgraph", "profile", "cexpression"};
  const std::vector<std::string> halves = {
      "XXXXX1", "XXXXX", "X",      "1",     "x",          "a",        " ",   ".",
      ".+",     "'",     "\"",     "callg", "raph",       "prof",     "ile", "=",
      ",",      "cexpr", "ession", "^",     "..aXXXXX1+", "'aXXXXX1'"};
  std::mt19937 random(20261206);
  for (int round = 0; round < 40000; ++round) {
    const std::vector<std::string>& pieces = round % 2 == 0 ? mixed : halves;
    std::string text;
    for (int n = static_cast<int>(random() % 16); n > 0; --n) {
      text += pieces[random() % pieces.size()];
    }
    const std::string expected = LiteralRemoval(text);
    std::string removed = text, linked = text;
    RemoveUnfilledPlaceholders(removed);
    RemovePlaceholdersFromLongText(linked);
    ASSERT_EQ(removed, expected) << "text: " << text;
    ASSERT_EQ(linked, expected) << "linked, text: " << text;
  }
}

}  // namespace
