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
    std::string expected;                  // the text after clean-up
  } const cases[] = {
      // clang-format off
      // Unfilled placeholders with their separators; no pass at all when none is left.
      {"dump 0x8000..XXXXX2", "0x8000", "examine 0x8000", "dump 0x8000 "},
      {"search XXXXX2..+ XXXXX3=5", "5", "find 5", "search 5"},
      {"journal on=XXXXX1 \n", "", "log", "journal on \n"},
      // The comma of "readfile,raw" stays; a separator comma after it goes.
      {"readfile,raw XXXXX1 = XXXXX2", "", "getfile", "readfile,raw "},
      {"readfile,raw f.bin, = XXXXX2", "f.bin,", "getfile f.bin,", "readfile,raw f.bin "},
      {"readfile,raw f.bin  = 0x8000", "f.bin 0x8000", "getfile f.bin 0x8000",
       "readfile,raw f.bin  = 0x8000"},
      {"x readfile,raw, XXXXX2", "", "v", "x readfileraw,"},
      {"where XXXXX1", "", "where", "where"},
      // Quote pairs are tidied in the load template only.
      {"host a''b XXXXX2", "a''b", "!a''b", "host a''b"},
      {"host say  \"x\"' XXXXX3", "say \"x\"'", "!say \"x\"'", "host say  \"x\"'"},
      {"load/pd/r  'a''b;;XXXXX2'", "a''b", "load a''b", "load/pd/r  'ab;'"},
      {"load/pd/r  '\"x\";;XXXXX2'", "\"x\"", "load \"x\"", "load/pd/r  \"x\";'"},
      // "callgraph" and "profile" go as switches only: whole words after a "/".
      {"stepl profile XXXXX2", "profile", "step profile", "stepl profile"},
      {"stepinstr /profile XXXXX2", "/profile", "istep /profile", "stepinstr "},
      {"stepinstr /profile_x XXXXX2", "/profile_x", "istep /profile_x", "stepinstr /profile_x"},
      {"break profile_tick XXXXX2", "profile_tick", "b profile_tick", "break profile_tick"},
      {"breaka callgraph_depth XXXXX2", "callgraph_depth", "w callgraph_depth",
       "breaka callgraph_depth"},
      {"printtype callgraph  x XXXXX3", "callgraph x", "v callgraph x", "printtype callgraph  x"},
      {"printtype /callgraph  x XXXXX3", "/callgraph x", "v /callgraph x", "printtype  x"},
      {"printtype xprofile  profile XXXXX3", "xprofile profile", "v xprofile profile",
       "printtype xprofile  profile"},
      // Commas inside double quotes are no separators.
      {"host echo  \"a,b\" XXXXX3", "echo \"a,b\"", "!echo \"a,b\"", "host echo  \"a,b\""},
      {"host echo  \"a\",b XXXXX3", "echo \"a\",b", "!echo \"a\",b", "host echo  \"a\"b"},
      // Print and comment templates, with and without double quotes, and "%i" formats.
      {"printf \"STR\"", "\"$x\"", "comment \"$x\"", "printf \"$x\""},
      {"printf \"STR\"", "\"hello\" x", "comment \"hello\" x", "printf \"hello\" x"},
      {"printf \"STR\"", "\"unterminated", "comment \"unterminated", "printf \""},
      {"printf \"STR\"", "$result", "comment $result", "printf \"@result\"" + warning},
      // A comment's text is printed as it stands: its "%" signs are doubled.
      {"printf \"STR\"", "x %i4", "comment x %i4", "printf \"x %%i4\""},
      {"printf \"STR\"", "Progress 100% done", "comment Progress 100% done",
       "printf \"Progress 100%% done\""},
      {"printf \"STR\"", "say \"100%\"", "comm say \"100%\"", "printf say \"100%%\""},
      {"printf \"STR\"", "\"%d\", x", "com \"%d\", x", "printf \"%d\", x"},
      {"printf \"%i\",STR", "50%", "p 50%", "cexpression 50%"},
      {"printf \"%i\",STR", "x", "p x", "cexpression x"},
      {"printf \"%i\",STR", "p/%d", "p p/%d", "printf \"%i\",p/%d"},
      {"printf \"%i\",STR", "P/%D", "p P/%D", "printf \"%i\",P/%D"},
      // A quoted format opening the text of comment, p and print: the text as written, its
      // internal variables translated after the format only, the placement's warnings dropped.
      {"printf \"%i\",STR", "\"n %i\" n", "p \"n %i\" n", "printf \"n %i\" n"},
      {"printf \"%i\",STR", "\"x=%d\", $pc", "p \"x=%d\", $pc", "printf \"x=%d\",  pc"},
      {"printf \"%i\",@STR", "\"v \" x", "print \"v \" x", "printf \"v \" x"},
      {"printf \"%i\",@STR", "\"$x\"", "print \"$x\"", "printf \"$x\""},
      {"printf \"%i\",@STR", "\"$x\" $result", "print \"$x\" $result",
       "printf \"$x\" @result" + warning},
      {"printf \"%i\",STR\n//Warning sourcedir not available in MXT", "\"x\" $sourcedir",
       "p \"x\" $sourcedir", "printf \"x\" $sourcedir\n//Warning sourcedir not available in MXT"},
      {"printf \"STR\"", "\"Test 2 offset=%d\", adc_offset",
       "comment \"Test 2 offset=%d\", adc_offset", "printf \"Test 2 offset=%d\", adc_offset"},
      {"printf \"%d\",STR", "\"n \" n", "p/%d \"n \" n", "printf \"n \", n"},  // not p/%d
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
      {"cexpression s  =  \"a=b\"", "s = \"a=b\"", "let s = \"a=b\"", "cexpression s  =  \"a=b\""},
      {"cexpression s  =  \"a\"=b", "s = \"a\"=b", "let s = \"a\"=b", "cexpression s     \"a\"=b"},
      // Dump rule: only for a dump command.
      {"printtype dump_buf  x.", "dump_buf x.", "v dump_buf x.", "printtype dump_buf  x."},
      {"dump 0x8000.", "0x8000.", "e 0x8000.", "dump 0x8000 "},
      // clang-format on
  };
  for (const auto& c : cases) {
    LineConverter converter;
    LineWork work;
    work.line = c.line;
    work.command_word = c.line[0] == '!' ? "!" : c.line.substr(0, c.line.find(' '));
    work.arguments = c.arguments;
    work.postcon = c.postcon;
    CleanUpTemplate(work);
    EXPECT_EQ(work.postcon, c.expected) << "line: " << c.line;
  }
}

// The removal loop, exactly as worded: while the text holds "XXXXX", one pass of the ten steps,
// each on the first occurrence it finds; a pass that changes nothing ends it. The comma step
// passes over the comma of a "readfile,raw" that the text begins with and the commas inside
// double quotes, the quote steps act on a text that begins with "load/pd/r", and "callgraph" and
// "profile" count as switches only: whole words after a "/".
std::string LiteralRemoval(std::string text) {
  auto erase = [&](size_t from, size_t to) {
    from = std::min(from, text.size());
    text.erase(from, std::min(to, text.size()) - from);
  };
  auto erase_first = [&](std::string_view item) {
    size_t at = text.find(item);
    if (at != std::string::npos) erase(at, at + item.size());
  };
  auto word_char = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  };
  auto erase_switch = [&](std::string_view word) {
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
      size_t after = at + word.size();
      if (at == 0 || text[at - 1] != '/' || (after < text.size() && word_char(text[after]))) {
        continue;
      }
      erase(at - 1, after + 1);
      return;
    }
  };
  auto first_comma_outside_quotes = [&](size_t from) {
    size_t quotes = 0;
    for (size_t at = 0; at < text.size(); ++at) {
      if (text[at] == '"') ++quotes;
      if (text[at] == ',' && quotes % 2 == 0 && at >= from) return at;
    }
    return std::string::npos;
  };
  auto begins = [&](std::string_view prefix) { return text.rfind(prefix, 0) == 0; };
  while (text.find("XXXXX") != std::string::npos) {
    const std::string old = text;
    size_t p = text.find("XXXXX");
    char digit = p + 5 < text.size() ? text[p + 5] : '\0';
    if ((digit >= '1' && digit <= '9') || digit == 'x') erase(p == 0 ? 0 : p - 1, p + 6);
    erase_first("..+");
    if (text.find("cexpression") == std::string::npos) {
      size_t comma = first_comma_outside_quotes(begins("readfile,raw") ? 12 : 0);
      if (comma != std::string::npos) erase(comma, comma + 1);
    }
    if (begins("load/pd/r")) {
      erase_first("''");
      if (size_t q = text.find("'\""); q != std::string::npos) erase(q, q + 1);
      if (size_t q = text.find("\"'"); q != std::string::npos) erase(q + 1, q + 2);
    }
    erase_switch("callgraph");
    if (size_t caret = text.find('^'); caret != std::string::npos) text[caret] = ' ';
    erase_switch("profile");
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
      "XXXXX1", "XXXXX9", "XXXXXx", "XXXXX",    "X",          "XX",         "1",
      "..",     "..+",    "+",      "'",        "\"",         ",",          "^",
      "=",      " ",      "a",      "_",        "/",          "callgraph",  "profile",
      "\",\"",  "\"\"",   ",,",     "/profile", "/callgraph", "cexpression"};
  const std::vector<std::string> halves = {"XXXXX1",
                                           "XXXXX",
                                           "X",
                                           "1",
                                           "x",
                                           "a",
                                           " ",
                                           ".",
                                           ".+",
                                           "'",
                                           "\"",
                                           "callg",
                                           "raph",
                                           "prof",
                                           "ile",
                                           "=",
                                           ",",
                                           "cexpr",
                                           "ession",
                                           "^",
                                           "..aXXXXX1+",
                                           "'aXXXXX1'",
                                           "_",
                                           "profileXXXXX1",
                                           "/",
                                           "/prof",
                                           "/callg",
                                           "\"XXXXX1",
                                           "/XXXXX1profile"};
  // Beginnings that the comma and quote steps look for, whole or to be joined.
  const std::vector<std::string> starts = {"readfile,raw",       "load/pd/r",   "XXXXX1load/pd/r",
                                           "readfile,XXXXX1raw", "load/pd/r '", "readfile,raw,"};
  std::mt19937 random(20261206);
  for (int round = 0; round < 60000; ++round) {
    const std::vector<std::string>& pieces = round % 2 == 0 ? mixed : halves;
    std::string text = round % 3 == 0 ? starts[random() % starts.size()] : "";
    // Some texts span several words of 64 characters of the long-text removal's comma index.
    const int most = round % 10 == 0 ? 96 : 16;
    for (int n = static_cast<int>(random() % most); n > 0; --n) {
      text += pieces[random() % pieces.size()];
    }
    // Some are long: the removal begins on the text itself and may go on in the linked text.
    if (round % 50 == 0) {
      text += std::string(2100, 'a');
      for (int n = static_cast<int>(random() % 64); n > 0; --n) {
        text += pieces[random() % pieces.size()];
      }
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
