// Internal variable translation: the Tavex "$name" variables in print texts (StrArgs), in single
// command arguments (InternalArgs) and in expression commands (MatchArguments), the precedence of
// their tests and the exact warning comments they append.
#include <gtest/gtest.h>

#include <string>

#include "converter.h"

namespace {

const std::string kResult = "\n//Warning the use of result is not consistant between Tavex and MXT";
const std::string kTypes = "\n//Warning Input types not available in MXT";
const std::string kBase = "\n//Warning inputbase not available in MXT";
const std::string kSource = "\n//Warning sourcedir not available in MXT";
const std::string kSubset =
    "\n//Warning only a subset of Tavex internal variables are avilable in MXT";

std::string Repeat(const std::string& text, int times) {
  std::string joined;
  for (int n = 0; n < times; ++n) joined += text;
  return joined;
}

// Each translator on one text: StrArgs on a print text ('S': at most ten passes, the first
// matching test of each pass acts), InternalArgs on one "$" argument ('I': only its first
// character is ever rewritten), MatchArguments on an expression's argument text ('M': the
// converted line is replaced). The first matching test decides.
TEST(InternalVariables, PrecedenceAndWarnings) {
  const std::string c = "cexpression ", w = "\n//warning ";
  const struct {
    char op;
    std::string arguments, rewritten;  // the text given, and afterwards
    std::string output;                // S and I: what is appended to the output; M: the whole line
    int result;
  } cases[] = {
      // clang-format off
      {'S', "$vector_catch+$vector_catch", "@vector_catch+@vector_catch", "", 1},
      {'S', "$result,$result", "@result,@result", kResult + kResult, 1},
      {'S', "$fpresult", "@fpresult", "", 1},
      {'S', "$a $vector_catch", " a @vector_catch", "", 1},  // unknown names only after the rest
      {'S', "$cmdline,$foo", "$cmdline,$foo", "", 0},
      {'S', "$result $cmdline", "@result $cmdline", kResult, 0},
      {'S', "$x $int_format", "$x $int_format", kTypes, 0},
      {'S', "$vector_catch $inputbase", "@vector_catch $inputbase", kBase, 0},
      {'S', "$sourcedir $inputbase", "$sourcedir $inputbase", kBase, 0},
      {'S', "$sourcedir", "$sourcedir", kSource, 0},
      {'S', Repeat("$top_of_memory,", 12),
       Repeat("@top_of_memory,", 10) + Repeat("$top_of_memory,", 2), "", 1},
      {'S', Repeat("$", 12), Repeat(" ", 10) + "$$", "", 1},
      // Debugger variables read in a print: "@" and the warning of their assignment, in order.
      {'S', "$statistics", "@statistics", w + "kestrovan statistics usage", 1},
      {'S', "$list_lines+$memory_statistics", "@list_lines+@memory_statistics",
       w + "kestrovan memory_statistics usage" + w + "list_lines is an internal TAVEX variable only",
       1},
      {'S', "$examine_lines $x", "@examine_lines  x",
       w + "examine_lines is an internal TAVEX variable only", 1},
      {'S', "$x $statistics", " x @statistics", w + "kestrovan statistics usage", 1},
      {'S', "$statistics $sourcedir", "$statistics $sourcedir", kSource, 0},  // after the stops
      {'S', "$statisticsx", "@statisticsx", w + "kestrovan statistics usage", 1},
      {'I', "$result", "@result", "", 0}, {'I', "$fpresult", " fpresult", "", 0},
      {'I', "$x+$vector_catch", "@x+$vector_catch", "", 0},
      {'I', "$cmdline+$r1", "@cmdline+$r1", "", 0},
      {'I', "$int_format+$sourcedir", "$int_format+$sourcedir", "", 0},
      {'I', "$sourcedir+$inputbase", "$sourcedir+$inputbase", kBase, 0},
      {'I', "$sourcedir", "$sourcedir", kSource, 0},
      {'I', "$memory_statistics", " memory_statistics", "", 0},
      {'M', "$vector_catch = 0", "@vector_catch = 0", c + "@vector_catch = 0" + kSubset, 0},
      {'M', "$result", "@result", c + "@result" + kSubset, 0},
      {'M', "$cmdline =$r1", "@cmdline =$r1", c + "@cmdline =$r1" + kSubset, 0},
      {'M', "$cmdline = abc", "= abc", "arguments = abc", 0},
      {'M', "$cmdline", "", "arguments ", 0},
      {'M', "$int_format = 1", "$int_format = 1", c + "$int_format = 1"
       "\n//Warning Formated print results not available in this format in MXT", 0},
      {'M', "$sourcedir $inputbase", "$sourcedir $inputbase",
       c + "$sourcedir $inputbase" + kBase, 0},
      {'M', "$sourcedir", "$sourcedir",
       c + "$sourcedir" + w + "$sourcedir not supported MXT functionality", 0},
      {'M', "$statistics", "@statistics", c + "@statistics" + w + "kestrovan statistics usage", 0},
      {'M', "$fpresult + $statistics", "@fpresult + $statistics",
       c + "@fpresult + $statistics" + w + "kestrovan statistics usage", 0},
      {'M', "$fpresult", "@fpresult", c + "@fpresult" + w + "fpresult not used in MXT", 0},
      {'M', "$memory_statistics", "@memory_statistics",
       c + "@memory_statistics" + w + "kestrovan memory_statistics usage", 0},
      {'M', "$examine_lines = 5", "@examine_lines = 5",
       c + "@examine_lines = 5" + w + "examine_lines is an internal TAVEX variable only", 0},
      {'M', "$list_lines", "@list_lines",
       c + "@list_lines" + w + "list_lines is an internal TAVEX variable only", 0},
      {'M', "$x = 1", " x = 1", c + " x = 1", 0},
      {'M', "$x %s%d", " x %s%d", c + " x %s%d", 0},  // no format directives in the text
      // clang-format on
  };
  for (const auto& k : cases) {
    std::string arguments = k.arguments, output = "previous text";
    const int result = k.op == 'S'   ? StrArgs(arguments, output)
                       : k.op == 'I' ? InternalArgs(arguments, output)
                                     : MatchArguments(arguments, output);
    EXPECT_EQ(result, k.result) << k.op << " " << k.arguments;
    EXPECT_EQ(arguments, k.rewritten) << k.op << " " << k.arguments;
    EXPECT_EQ(output, k.op == 'M' ? k.output : "previous text" + k.output) << k.arguments;
  }
}

}  // namespace
