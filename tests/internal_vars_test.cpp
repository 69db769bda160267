// Internal variable translation: the Tavex "$name" variables in print texts (StrArgs), in single
// command arguments (InternalArgs) and in expression commands (MatchArguments), with the warning
// comments they append.
#include <gtest/gtest.h>

#include <string>

#include "converter.h"

namespace {

const std::string kResultWarning =
    "\n//Warning the use of result is not consistant between Tavex and MXT";
const std::string kInputTypesWarning = "\n//Warning Input types not available in MXT";
const std::string kInputbaseWarning = "\n//Warning inputbase not available in MXT";
const std::string kSourcedirWarning = "\n//Warning sourcedir not available in MXT";
const std::string kSubsetWarning =
    "\n//Warning only a subset of Tavex internal variables are avilable in MXT";

std::string Repeat(const std::string& text, int times, const std::string& separator = ",") {
  std::string joined;
  for (int n = 0; n < times; ++n) joined += (n ? separator : "") + text;
  return joined;
}

struct TranslationCase {
  const char* name;
  std::string arguments;  // text given
  std::string rewritten;  // the text afterwards
  std::string output;     // what is appended to Output, or the whole returnstring
  int result;
};

class InternalVariableTest : public testing::TestWithParam<TranslationCase> {
 protected:
  void SetUp() override { ResetRunState(); }
};

std::string CaseName(const testing::TestParamInfo<TranslationCase>& info) {
  return info.param.name;
}

// StrArgs: the print text; ten passes, the first matching test of each pass acts.
const TranslationCase kStrArgsCases[] = {
    {"RewrittenVariableTwice", "$vector_catch+$vector_catch", "@vector_catch+@vector_catch", "", 1},
    {"Result", "$result", "@result", kResultWarning, 1},
    {"ResultTwiceWarnsTwice", "$result,$result", "@result,@result", kResultWarning + kResultWarning,
     1},
    {"FpresultIsNoResult", "$fpresult", "@fpresult", "", 1},
    {"SemihostingQelSwi", "$semihosting_qel_swi", "@semihosting_qel_swi", "", 1},
    {"SubstringMatch", "x+$vector_catch2", "x+@vector_catch2", "", 1},
    {"UnknownNamesBecomeBlanks", "$foo,$bar", " foo, bar", "", 1},
    {"RegisterNameBecomesBlank", "$r0", " r0", "", 1},
    {"StatisticsBecomeBlanks", "$statistics $memory_statistics", " statistics  memory_statistics",
     "", 1},
    {"DollarInQuotesBecomesBlank", "\"$x\"", "\" x\"", "", 1},
    {"UnknownAfterRewritten", "$a $vector_catch", " a @vector_catch", "", 1},
    {"CmdlineStops", "$cmdline,$foo", "$cmdline,$foo", "", 0},
    {"RewrittenBeforeCmdline", "$cmdline $vector_catch", "$cmdline @vector_catch", "", 0},
    {"ResultBeforeCmdline", "$result $cmdline", "@result $cmdline", kResultWarning, 0},
    {"FormatVariableStops", "$x $int_format", "$x $int_format", kInputTypesWarning, 0},
    {"PointerFormat", "$pointer_format", "$pointer_format", kInputTypesWarning, 0},
    {"InputbaseAfterRewritten", "$vector_catch $inputbase", "@vector_catch $inputbase",
     kInputbaseWarning, 0},
    {"InputbaseBeforeSourcedir", "$sourcedir $inputbase", "$sourcedir $inputbase",
     kInputbaseWarning, 0},
    {"Sourcedir", "$sourcedir", "$sourcedir", kSourcedirWarning, 0},
    {"TenOfTwelveRewritten", Repeat("$top_of_memory", 12),
     Repeat("@top_of_memory", 10) + "," + Repeat("$top_of_memory", 2), "", 1},
    {"TenOfTwelveResults", Repeat("$result", 12),
     Repeat("@result", 10) + "," + Repeat("$result", 2), Repeat(kResultWarning, 10, ""), 1},
    {"TenOfTwelveDollars", Repeat("$", 12, ""), Repeat(" ", 10, "") + "$$", "", 1},
};

using StrArgsTest = InternalVariableTest;

TEST_P(StrArgsTest, TranslatesPrintText) {
  const TranslationCase& c = GetParam();
  std::string arguments = c.arguments;
  std::string output = "printf \"STR\"";
  EXPECT_EQ(StrArgs(arguments, output), c.result);
  EXPECT_EQ(arguments, c.rewritten);
  EXPECT_EQ(output, "printf \"STR\"" + c.output);
}

INSTANTIATE_TEST_SUITE_P(PrintText, StrArgsTest, testing::ValuesIn(kStrArgsCases), CaseName);

// InternalArgs: one argument beginning with "$"; only its first character is ever rewritten.
const TranslationCase kInternalArgsCases[] = {
    {"RegisterName", "$r3", "@r3", "", 0},
    {"ResultThroughRegisterPrefix", "$result", "@result", "", 0},
    {"MarkedVariable", "$vector_catch", "@vector_catch", "", 0},
    {"FpresultIsNotMarked", "$fpresult", " fpresult", "", 0},
    {"OnlyFirstCharacterRewritten", "$x+$vector_catch", "@x+$vector_catch", "", 0},
    {"MarkedBeforeCmdline", "$cmdline+$r1", "@cmdline+$r1", "", 0},
    {"FormatVariableUnchanged", "$int_format", "$int_format", "", 0},
    {"CmdlineUnchanged", "$cmdline", "$cmdline", "", 0},
    {"FormatBeforeSourcedir", "$int_format+$sourcedir", "$int_format+$sourcedir", "", 0},
    {"Inputbase", "$inputbase", "$inputbase", kInputbaseWarning, 0},
    {"InputbaseBeforeSourcedir", "$sourcedir+$inputbase", "$sourcedir+$inputbase",
     kInputbaseWarning, 0},
    {"Sourcedir", "$sourcedir", "$sourcedir", kSourcedirWarning, 0},
    {"Statistics", "$statistics", " statistics", "", 0},
    {"MemoryStatistics", "$memory_statistics", " memory_statistics", "", 0},
    {"Unknown", "$x", " x", "", 0},
};

using InternalArgsTest = InternalVariableTest;

TEST_P(InternalArgsTest, TranslatesArgument) {
  const TranslationCase& c = GetParam();
  std::string argument = c.arguments;
  std::string output = "where XXXXX1";
  EXPECT_EQ(InternalArgs(argument, output), c.result);
  EXPECT_EQ(argument, c.rewritten);
  EXPECT_EQ(output, "where XXXXX1" + c.output);
}

INSTANTIATE_TEST_SUITE_P(CommandArgument, InternalArgsTest, testing::ValuesIn(kInternalArgsCases),
                         CaseName);

// MatchArguments: the whole argument text of an expression command; the converted line is
// replaced.
const TranslationCase kMatchArgumentsCases[] = {
    {"MarkedVariable", "$vector_catch = 0", "@vector_catch = 0",
     "cexpression @vector_catch = 0" + kSubsetWarning, 0},
    {"ResultThroughRegisterPrefix", "$result", "@result", "cexpression @result" + kSubsetWarning,
     0},
    {"MarkedBeforeCmdline", "$cmdline =$r1", "@cmdline =$r1",
     "cexpression @cmdline =$r1" + kSubsetWarning, 0},
    {"Cmdline", "$cmdline = abc", "= abc", "arguments = abc", 0},
    {"CmdlineCutAtFirstEquals", "$cmdline = a=b", "= a=b", "arguments = a=b", 0},
    {"CmdlineWithoutEquals", "$cmdline", "", "arguments ", 0},
    {"FormatVariable", "$int_format = 1", "$int_format = 1",
     "cexpression $int_format = 1\n//Warning Formated print results not available in this format "
     "in MXT",
     0},
    {"Inputbase", "$inputbase", "$inputbase", "cexpression $inputbase" + kInputbaseWarning, 0},
    {"InputbaseBeforeSourcedir", "$sourcedir $inputbase", "$sourcedir $inputbase",
     "cexpression $sourcedir $inputbase" + kInputbaseWarning, 0},
    {"Sourcedir", "$sourcedir", "$sourcedir",
     "cexpression $sourcedir\n//warning $sourcedir not supported MXT functionality", 0},
    {"Statistics", "$statistics", "@statistics",
     "cexpression @statistics\n//warning kestrovan statistics usage", 0},
    {"StatisticsBeforeFpresult", "$fpresult + $statistics", "@fpresult + $statistics",
     "cexpression @fpresult + $statistics\n//warning kestrovan statistics usage", 0},
    {"Fpresult", "$fpresult", "@fpresult",
     "cexpression @fpresult\n//warning fpresult not used in MXT", 0},
    {"MemoryStatisticsIsNoStatistics", "$memory_statistics", "@memory_statistics",
     "cexpression @memory_statistics\n//warning kestrovan memory_statistics usage", 0},
    {"ExamineLines", "$examine_lines = 5", "@examine_lines = 5",
     "cexpression @examine_lines = 5\n//warning examine_lines is an internal TAVEX variable only",
     0},
    {"ListLines", "$list_lines", "@list_lines",
     "cexpression @list_lines\n//warning list_lines is an internal TAVEX variable only", 0},
    {"Unknown", "$x = 1", " x = 1", "cexpression  x = 1", 0},
    {"PercentIsPlainText", "$x %s%d", " x %s%d", "cexpression  x %s%d", 0},
};

using MatchArgumentsTest = InternalVariableTest;

TEST_P(MatchArgumentsTest, RewritesExpressionLine) {
  const TranslationCase& c = GetParam();
  std::string arguments = c.arguments;
  std::string returnstring = "cexpression XXXXX1 previous text";
  EXPECT_EQ(MatchArguments(arguments, returnstring), c.result);
  EXPECT_EQ(arguments, c.rewritten);
  EXPECT_EQ(returnstring, c.output);
}

INSTANTIATE_TEST_SUITE_P(ExpressionArguments, MatchArgumentsTest,
                         testing::ValuesIn(kMatchArgumentsCases), CaseName);

}  // namespace
