// Template clean-up and print conversion: unfilled placeholders go with their separators, print and
// comment templates become MXT printf or cexpression commands, and the call, search, dump and
// expression fix-ups apply.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "converter.h"
#include "line_stages.h"

namespace {

// The placeholders from "XXXXXfrom" to "XXXXX9", each with the blank in front of it.
std::string Unfilled(int from) {
  std::string tail;
  for (int n = from; n <= 9; ++n) tail += " XXXXX" + std::to_string(n);
  return tail;
}

const std::string kResultWarning =
    "\n//Warning the use of result is not consistant between Tavex and MXT";

struct CleanUpCase {
  const char* name;
  std::string postcon;    // PostCon as placement left it
  std::string arguments;  // the argument text
  std::string line;       // the normalised line
  std::string expected;   // PostCon after clean-up
};

const CleanUpCase kCleanUpCases[] = {
    // Unfilled placeholders with their separators.
    {"DumpSecondBoundMissing", "dump 0x8000..XXXXX2", "0x8000", "examine 0x8000", "dump 0x8000 "},
    {"DumpWithoutArguments", "dump XXXXX1..XXXXX2", "", "examine", "dump "},
    {"DumpCommaGoesInPass", "dump 0x8000,..XXXXX2", "0x8000,", "examine 0x8000,", "dump 0x8000 "},
    {"FilledDumpKeepsComma", "dump 0x8000,..0x100", "0x8000,0x100", "examine 0x8000,0x100",
     "dump 0x8000,..0x100"},
    {"SearchValueOnly", "search XXXXX2..+ XXXXX3=5", "5", "find 5", "search 5"},
    {"SearchWithoutLength", "search 0x8000..+ XXXXX3=5 ", "5 0x8000", "find 5 0x8000",
     "search 0x8000=5 "},
    {"FilledSearchUnchanged", "search 0x8000 ..+ 0x100=5 ", "5 0x8000 0x100", "find 5 0x8000 0x100",
     "search 0x8000 ..+ 0x100=5 "},
    {"LogWithoutFile", "journal on=XXXXX1 \n", "", "log", "journal on \n"},
    {"ReadfileWithoutArguments", "readfile,raw XXXXX1 = XXXXX2", "", "getfile", "readfileraw "},
    {"ReadfileWithoutAddress", "readfile,raw f.bin = XXXXX2", "f.bin", "getfile f.bin",
     "readfileraw f.bin "},
    {"FilledReadfileKeepsComma", "readfile,raw f.bin  = 0x8000", "f.bin 0x8000",
     "getfile f.bin 0x8000", "readfile,raw f.bin  = 0x8000"},
    {"WhereWithoutArgument", "where XXXXX1", "", "where", "where"},
    {"LoadWithoutArguments", "load/pd/r  'XXXXX1;;XXXXX2" + Unfilled(3) + "'", "", "load",
     "load/pd/r  ;'"},
    {"LoadOneFile", "load/pd/r  'f.axf;;XXXXX2" + Unfilled(3) + "'", "f.axf", "load f.axf",
     "load/pd/r  'f.axf;'"},
    {"LoadQuotedFileDropsSingleQuote", "load/pd/r  '\"f.axf\";;XXXXX2" + Unfilled(3) + "'",
     "\"f.axf\"", "load \"f.axf\"", "load/pd/r  \"f.axf\";'"},
    {"CallgraphSwitchDropped", "stepl callgraph XXXXX2", "callgraph", "step callgraph", "stepl"},
    {"ProfileSwitchDropped", "stepl profile XXXXX2", "profile", "step profile", "stepl"},
    {"CaretBecomesBlank", "stepl a^b XXXXX2", "a^b", "step a^b", "stepl a b"},
    // Print and comment templates.
    {"CommentText", "printf \"STR\"", "hello", "comment hello", "printf \"hello\""},
    {"CommentQuotedText", "printf \"STR\"", "\"hello world\"", "comment \"hello world\"",
     "printf \"hello world\""},
    {"CommentQuotedTextWithValue", "printf \"STR\"", "\"hello\" x", "comment \"hello\" x",
     "printf \""},
    {"CommentQuotedTextKeepsDollar", "printf \"STR\"", "\"$x\"", "comment \"$x\"", "printf \"$x\""},
    {"CommentResultKeepsWarning", "printf \"STR\"", "$result", "comment $result",
     "printf \"@result\"" + kResultWarning},
    {"DefaultPrintBecomesExpression", "printf \"%i\",STR", "x", "p x", "cexpression x"},
    {"DefaultPrintQuoted", "printf \"%i\",STR", "\"abc\"", "p \"abc\"", "cexpression \"abc\""},
    {"DefaultPrintTranslatesVariable", "printf \"%i\",STR", "$vector_catch", "p $vector_catch",
     "cexpression @vector_catch"},
    {"DefaultPrintResult", "printf \"%i\",STR", "$result", "p $result", "cexpression @result"},
    {"DefaultPrintWithPdInText", "printf \"%i\",STR", "p/%d", "p p/%d", "printf \"%i\",p/%d"},
    {"HexPrint", "printf \"%x\",STR", "x", "p/%x x", "printf \"%x\",x"},
    {"HexPrintQuoted", "printf \"%x\",STR", "\"abc\"", "p/%x \"abc\"", "printf \"%x\",\"abc\""},
    {"DecimalPrint", "printf \"%d\",STR", "x", "p/%d x", "printf \"%d\",x"},
    {"DecimalPrintTextAndValue", "printf \"%d\",STR", "\"n \" n", "p/%d \"n \" n",
     "printf \"n \", n"},
    {"PrintBecomesExpression", "printf \"%i\",@STR", "x", "print x", "cexpression x"},
    {"PrintQuoted", "printf \"%i\",@STR", "\"a b\"", "print \"a b\"", "printf \"@a b\""},
    {"PrintTextAndValue", "printf \"%i\",@STR", "\"v \" x", "print \"v \" x", "printf \"@v \", x"},
    {"PrintQuotedTranslatesDollar", "printf \"%i\",@STR", "\"$x\"", "print \"$x\"",
     "printf \"@ x\""},
    {"FormatInCommentText", "printf \"STR\"", "x %i4", "comment x %i4", "printf \"x i44\""},
    {"FormatInQuotedPrintText", "printf \"%i\",STR", "\"n %i\" n", "p \"n %i\" n",
     "printf \"n i\",\","},
    // Call rule.
    {"CallRestoresArguments", "cexpression foo(1 2)", "foo(1,2)", "call foo(1,2)",
     "cexpression foo(1,2)"},
    {"CallFoundAnywhereInLine", "cexpression recall  =1" + Unfilled(3), "recall =1",
     "let recall =1", "cexpression recall =1"},
    {"CallNeedsExpression", "host call  x" + Unfilled(3), "call x", "!call x", "host call  x"},
    // Expression "=" rule.
    {"SecondAssignmentBlanksFirst", "cexpression x  =y=1" + Unfilled(3), "x =y=1", "let x =y=1",
     "cexpression x   y=1"},
    {"FirstAssignmentBeforeComparison", "cexpression a = b == c", "a = b == c", "let a = b == c",
     "cexpression a   b == c"},
    {"EqualityStays", "printf \"%i\",STR", "x == 5", "p x == 5", "cexpression x == 5"},
    {"NotEqualStays", "cexpression a != b == c", "a != b == c", "let a != b == c",
     "cexpression a != b == c"},
    {"LessOrEqualStays", "cexpression a <= b == c", "a <= b == c", "let a <= b == c",
     "cexpression a <= b == c"},
    {"GreaterOrEqualStays", "cexpression a >= b = c", "a >= b = c", "let a >= b = c",
     "cexpression a >= b = c"},
    {"SingleAssignmentStays", "cexpression x =5", "x =5", "let x =5", "cexpression x =5"},
    {"OnlyExpressionsLoseEquals", "host a=b=c", "a=b=c", "!a=b=c", "host a=b=c"},
    // Text of the line's own that looks like a placeholder.
    {"OtherCharacterAfterMarkerStops", "host XXXXXa", "XXXXXa", "!XXXXXa", "host XXXXXa"},
    {"MarkerAtEndStops", "host XXXXX", "XXXXX", "!XXXXX", "host XXXXX"},
    {"LowerXMarkerRemoved", "host aXXXXXx b", "aXXXXXx b", "!aXXXXXx b", "host  b"},
    {"PlaceholderAtStart", "XXXXX1 go", "", "XXXXX1", " go"},
};

class CleanUpTest : public testing::TestWithParam<CleanUpCase> {
 protected:
  void SetUp() override { ResetRunState(); }
};

TEST_P(CleanUpTest, FinishesTemplate) {
  const CleanUpCase& c = GetParam();
  LineWork work;
  work.line = c.line;
  work.PreCon = c.line[0] == '!' ? "!" : c.line.substr(0, c.line.find_first_of(" "));
  work.Arguments = c.arguments;
  work.PostCon = c.postcon;
  work.j = 1;
  CleanUpTemplate(work);
  EXPECT_EQ(work.PostCon, c.expected);
}

INSTANTIATE_TEST_SUITE_P(TemplateCleanUp, CleanUpTest, testing::ValuesIn(kCleanUpCases),
                         [](const testing::TestParamInfo<CleanUpCase>& info) {
                           return std::string(info.param.name);
                         });

// The register display templates hold commas and no placeholder: no removal pass runs on them.
TEST(CleanUpRegisterDisplay, TemplatePassesUnchanged) {
  ResetRunState();
  for (const char* word : {"r", "registers"}) {
    LineWork work;
    work.line = work.PreCon = word;
    ASSERT_EQ(LookUpCommand(word, work.PostCon), 1);
    const std::string before = work.PostCon;
    CleanUpTemplate(work);
    EXPECT_EQ(work.PostCon, before) << word;
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

// The removal runs its passes in one sweep where only placeholders can go; the result must be
// the literal loop's, whatever the text holds.
TEST(PlaceholderRemoval, EqualsTheLiteralPassLoop) {
  // Whole patterns, and halves that only a deletion can join into one.
  const std::vector<std::string> mixed = {
      "XXXXX1", "XXXXX9", "XXXXXx", "XXXXX", "X", "XX", "1", "..",        "..+",     "+",
      "'",      "\"",     ",",      "^",     "=", " ",  "a", "callgraph", "profile", "cexpression"};
  const std::vector<std::string> halves = {"XXXXX1", "XXXXX", "X",   "1", "x",  "a",
                                           " ",      ".",     ".+",  "'", "\"", "callg",
                                           "raph",   "prof",  "ile", "="};
  std::mt19937 random(20261206);
  for (int round = 0; round < 40000; ++round) {
    const std::vector<std::string>& pieces = round % 2 == 0 ? mixed : halves;
    std::string text;
    for (int n = static_cast<int>(random() % 16); n > 0; --n) {
      text += pieces[random() % pieces.size()];
    }
    std::string removed = text;
    RemoveUnfilledPlaceholders(removed);
    ASSERT_EQ(removed, LiteralRemoval(text)) << "text: " << text;
  }
}

}  // namespace
