// Template clean-up and print conversion: unfilled placeholders go with their separators, print
// and comment commands become MXT printf or expression commands, and the search, dump and
// expression texts get their fix-ups.
#include <string>
#include <utility>

#include "converter.h"
#include "line_stages.h"

namespace {

// A call keeps its argument text exactly as written, commas included.
void RestoreCallArguments(LineWork& work) {
  if (Contains(work.postcon, "cexpression") && Contains(work.line, "call")) {
    work.postcon = "cexpression " + work.arguments;
  }
}

// Print text in double quotes: the text after the first quote becomes the arguments, a comma
// follows its last quote, and the template loses its own format.
void ExtractQuotedText(LineWork& work, Index q) {
  std::string& arguments = work.arguments;
  CutString(arguments, arguments, q + 1, Length(arguments) - 1);
  Index k = FindLastChar(arguments, '"');
  if (k < Length(arguments)) Insert(arguments, ',', k);
  Index p = FindString(work.postcon, "\"");
  DeleteString(work.postcon, p + 1, p + 5);
}

// "%i" in the print text: the three characters after its "%" take the place of the template's
// "%i". Without it, a default-format print becomes an expression evaluation.
void ApplyPrintFormat(LineWork& work) {
  std::string& postcon = work.postcon;
  Index r = FindString(work.arguments, "%i");
  if (r != -1) {
    std::string printargs;
    CutString(work.arguments, printargs, r + 1, r + 3);
    Replace(postcon, "%i", printargs);
    Index k = FindLastChar(postcon, '"');
    DeleteString(postcon, k + 1, k + 4);
  } else if (Contains(postcon, "%i") && !ContainsNoCase(postcon, "p/%d") &&
             !ContainsNoCase(postcon, "p/%x")) {
    postcon = "cexpression " + work.arguments;
  }
}

// The templates of "comment" (with "comm" and "com"), "p" and "print": the print commands that
// take a quoted format with its values as written.
bool TakesQuotedFormat(const std::string& postcon) {
  return BeginsWith(postcon, "printf \"STR\"") || BeginsWith(postcon, "printf \"%i\",STR") ||
         BeginsWith(postcon, "printf \"%i\",@STR");
}

// Print text that begins with a double-quoted format: the argument text, as written, is the
// argument list of the printf, except that the internal variables after the format are
// translated (with their warnings). It replaces the whole text. Returns whether it applied.
bool ConvertQuotedFormat(LineWork& work) {
  std::string& arguments = work.arguments;
  if (!TakesQuotedFormat(work.postcon) || !BeginsWith(arguments, "\"")) return false;
  Index closing = FindnChar(arguments, '"', 1);
  if (closing == -1) return false;
  std::string values = arguments.substr(static_cast<size_t>(closing) + 1);
  std::string warnings;
  StrArgs(values, warnings);
  arguments.replace(static_cast<size_t>(closing) + 1, std::string::npos, values);
  work.postcon = "printf " + arguments + warnings;
  return true;
}

// The template of "comment" (with "comm" and "com"): the text is printed as it stands.
constexpr std::string_view kCommentTemplate = "printf \"STR\"";

// A comment's text is printed, not read as a format: each "%" becomes "%%".
void PrintPercentSigns(std::string& arguments) { ReplaceEveryChar(arguments, '%', "%%"); }

// Print and comment commands (templates holding "STR").
void ConvertPrint(LineWork& work) {
  if (!Contains(work.postcon, "STR") || ConvertQuotedFormat(work)) return;
  std::string& arguments = work.arguments;
  const bool comment = work.postcon == kCommentTemplate;
  const bool print = Contains(work.line, "print");
  Index q = FindString(arguments, "\"");
  if (q != -1 && (FindLastChar(arguments, '"') != Length(arguments) || print)) {
    ExtractQuotedText(work, q);
  }
  if (q == -1 || print) {
    StrArgs(arguments, work.postcon);
    if (comment) PrintPercentSigns(arguments);
    Replace(work.postcon, "STR", arguments);
  } else {
    if (comment) PrintPercentSigns(arguments);
    for (std::string_view item : {"\"STR\"", "STR\"", "STR"}) {
      if (Contains(work.postcon, item)) {
        Replace(work.postcon, item, arguments);
        break;
      }
    }
  }
  if (!comment) ApplyPrintFormat(work);
}

// A search whose first "=" follows the word "search" directly gets a blank there.
void FixSearch(std::string& postcon) {
  if (Contains(postcon, "search") && FindFirstChar(postcon, '=') == 7) ChangeChar(postcon, 7, ' ');
}

// A dump command that ends with "." ends with a blank instead.
void FixDump(std::string& postcon) {
  if (!BeginsWith(postcon, "dump")) return;
  Index k = FindLastChar(postcon, '.');
  if (k != 0 && k == Length(postcon)) ChangeChar(postcon, k, ' ');
}

// Indexes of the first and the last "=" that stand outside double quotes (-1 when none).
std::pair<Index, Index> EqualsOutsideQuotes(std::string_view text) {
  Index first = -1, last = -1;
  bool quoted = false;
  for (Index i = 0; i < Length(text); ++i) {
    char c = CharAt(text, i);
    if (c == '"') quoted = !quoted;
    if (c != '=' || quoted) continue;
    if (first == -1) first = i;
    last = i;
  }
  return {first, last};
}

// An expression with two or more "=" outside double quotes: the first of them becomes a blank,
// unless it belongs to a comparison ("==", "!=", "<=", ">="), which must stay a comparison.
void FixExpression(std::string& postcon) {
  if (!Contains(postcon, "cexpression")) return;
  auto [first, last] = EqualsOutsideQuotes(postcon);
  if (first == last) return;
  char before = CharAt(postcon, first - 1);
  bool comparison = before == '=' || before == '!' || before == '<' || before == '>' ||
                    CharAt(postcon, first + 1) == '=';
  if (!comparison) ChangeChar(postcon, first + 1, ' ');
}

}  // namespace

void CleanUpTemplate(LineWork& work) {
  RemoveUnfilledPlaceholders(work.postcon);
  RestoreCallArguments(work);
  ConvertPrint(work);
  FixSearch(work.postcon);
  FixDump(work.postcon);
  FixExpression(work.postcon);
}
