// Argument placement: cutting the argument text into arguments and putting each into its numbered
// placeholder of the command template, with the width switch removal, the colon shortening, the
// register skip of "setreg" and the internal-variable translation of "$" arguments.
#include <gtest/gtest.h>

#include <string>

#include "converter.h"
#include "line_stages.h"

namespace {

// The placeholders from "XXXXXfrom" to "XXXXX9", each with the blank in front of it: the unfilled
// tail of the nine-placeholder templates ("host", "cexpression", ...).
std::string Unfilled(int from) {
  std::string tail;
  for (int n = from; n <= 9; ++n) tail += " XXXXX" + std::to_string(n);
  return tail;
}

const std::string kBreak = "break XXXXX1 XXXXX2";
const std::string kDump = "dump XXXXX1..XXXXX2";
const std::string kHost = "host" + Unfilled(1);
const std::string kCexpression = "cexpression" + Unfilled(1);
const std::string kSourcedirWarning = "\n//Warning sourcedir not available in MXT";

struct PlacementCase {
  const char* name;
  std::string templ;      // PostCon as the lookup left it
  std::string arguments;  // the argument text
  std::string postcon;    // PostCon after placement
  std::string after;      // the argument text after placement ("=" means unchanged)
  int j;                  // the next placeholder number after placement
};

const PlacementCase kPlacementCases[] = {
    {"OneArgumentLeavesSecondPlaceholder", kBreak, "main", "break main XXXXX2", "=", 2},
    {"PlacedArgumentKeepsItsBlank", kBreak, "main 3", "break main  3", "=", 3},
    {"LastWordIsCutAtComma", kDump, "0x8000,0x100", "dump 0x8000,..0x100", "=", 3},
    {"BlankSeparatedRange", kDump, "0x8000 0x100", "dump 0x8000 ..0x100", "=", 3},
    {"CommaCutOnlyInLastWord", kDump, "a,b c", "dump a,b ..c", "=", 3},
    {"NoCommaCutForExpression", kCexpression, "x =1,2", "cexpression x  =1,2" + Unfilled(3), "=",
     3},
    {"NoCommaCutForPcTemplate", "cexpression @pc=XXXXX1 XXXXX2", "1,2",
     "cexpression @pc=1,2 XXXXX2", "=", 2},
    {"CommaCutWhenExpressionNotAtStart", "x cexpression XXXXX1 XXXXX2", "1,2", "x cexpression 1, 2",
     "=", 3},
    {"OutOfOrderSearchPlaceholders", "search XXXXX2..+ XXXXX3=XXXXX1", "5 0x8000 0x100",
     "search 0x8000 ..+ 0x100=5 ", "=", 4},
    {"WritefileRange", "writefile XXXXX1=XXXXX2..+ XXXXX3", "f.bin 0x8000 0x100",
     "writefile f.bin =0x8000 ..+ 0x100", "=", 4},
    {"QuotedStringIsOneArgument", kHost, "\"a b\" c", "host \"a b\"  c" + Unfilled(3), "=", 3},
    {"QuotedCommaInLastWord", kDump, "\"a,b\"", "dump \"a,b\"..XXXXX2", "=", 2},
    {"ParenthesisedGroup", kHost, "f(a, b) x", "host f(a, b)  x" + Unfilled(3), "=", 3},
    {"NestedParentheses", kHost, "f(g(x), y) z", "host f(g(x), y)  z" + Unfilled(3), "=", 3},
    {"NestedParenthesesClosingTogether", kHost, "f(g(x)) y", "host f(g(x))  y" + Unfilled(3), "=",
     3},
    {"ParenthesesInLastWordWithComma", kHost, "f(a,b)", "host f(a,b)" + Unfilled(2), "=", 2},
    {"UnmatchedQuoteRunsToEnd", kHost, "\"a (b) c", "host \"a (b) c" + Unfilled(2), "=", 2},
    {"UnmatchedQuoteAfterArgument", kHost, "x \"a b", "host x  \"a b" + Unfilled(3), "=", 3},
    {"UnmatchedParenthesisRunsToEnd", kHost, "f(a b", "host f(a b" + Unfilled(2), "=", 2},
    {"MissingOuterParenthesisRunsToEnd", kHost, "f(g(x) y", "host f(g(x) y" + Unfilled(2), "=", 2},
    {"RegisterSkip", "setreg @XXXXX2=XXXXX3", "r1 5", "setreg @r1 =5", "=", 4},
    {"SetregValueIsNoRegister", "setreg @r0=XXXXX1 XXXXX2", "5", "setreg @r0=5 XXXXX2", "=", 2},
    {"RegisterSkipForEveryArgument", "setreg @r0=XXXXX1 XXXXX2", "5 r", "setreg @r0=5  XXXXX2", "=",
     4},
    {"ColonKeepsLastComponent", kBreak, "main.c:42 3", "break 42  3", "=", 3},
    {"ColonKeepsLeadingPlus", kBreak, "+file:10", "break +10 XXXXX2", "=", 2},
    {"FinalColonLeavesEmptyArgument", kBreak, "file:", "break  XXXXX2", "=", 2},
    {"FinalColonKeepsPlus", kBreak, "+file:", "break + XXXXX2", "=", 2},
    {"ColonBeforeInternalVariable", "where XXXXX1", "x:$r1", "where @r1", "=", 2},
    {"WidthSwitchLeavesDoubledBlank", kHost, "x /16 y", "host x    y" + Unfilled(4), "x  y", 4},
    {"WidthSwitchAtStart", kDump, "/16 0x8000 0x10", "dump 0x8000 ..0x10", " 0x8000 0x10", 3},
    {"SwitchRemovalTakesFirstSlash", kBreak, "a/b /32", "break a/32 XXXXX2", "a/32", 2},
    {"TwelfthArgumentIsLookedAt", kHost, "a b c d e f g h i j k $sourcedir",
     "host a  b  c  d  e  f  g  h  i " + kSourcedirWarning, "=", 13},
    {"ThirteenthArgumentIsNotLookedAt", kHost, "a b c d e f g h i j k l $sourcedir",
     "host a  b  c  d  e  f  g  h  i ", "=", 13},
    {"LeadingBlankPlacesNothing", kHost, " x", "host x" + Unfilled(2), "=", 2},
    {"InternalVariableInCommandArgument", "where XXXXX1", "$x", "where  x", "=", 2},
    {"InternalVariableLeftInExpression", kCexpression, "$x", "cexpression $x" + Unfilled(2), "=",
     2},
    {"PrintTemplateGetsOnlyWarnings", "printf \"%i\",STR", "$sourcedir",
     "printf \"%i\",STR" + kSourcedirWarning, "=", 2},
};

class PlacementTest : public testing::TestWithParam<PlacementCase> {
 protected:
  void SetUp() override { ResetRunState(); }
};

TEST_P(PlacementTest, PlacesArgumentsIntoTemplate) {
  const PlacementCase& c = GetParam();
  LineWork work;
  work.PreCon = "cmd";
  work.line = "cmd " + c.arguments;
  work.Arguments = c.arguments;
  work.PostCon = c.templ;
  work.j = 1;
  PlaceArguments(work);
  EXPECT_EQ(work.PostCon, c.postcon);
  EXPECT_EQ(work.Arguments, c.after == "=" ? c.arguments : c.after);
  EXPECT_EQ(work.j, c.j);
}

INSTANTIATE_TEST_SUITE_P(ArgumentPlacement, PlacementTest, testing::ValuesIn(kPlacementCases),
                         [](const testing::TestParamInfo<PlacementCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(ProcessColonTest, KeepsLastColonComponent) {
  ResetRunState();
  const struct {
    const char* argument;
    const char* shortened;
  } cases[] = {
      {"main.c:42", "42"}, {"+file:10", "+10"}, {"a:b:c", "c"}, {"+a:b:c", "+c"}, {":x", "x"},
      {"file:", ""},       {"+file:", "+"},     {"+:", "+"},    {"a+b:c", "c"},
  };
  for (const auto& c : cases) {
    std::string individual = c.argument;
    ProcessColon(individual);
    EXPECT_EQ(individual, c.shortened) << "argument: " << c.argument;
  }
}

}  // namespace
