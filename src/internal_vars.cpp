// Internal variables of the Tavex debugger ("$name"): MXT writes its own with "@", has no
// counterpart for some, and treats others differently. Names are found by substring search
// anywhere in the text, not as words.
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "converter.h"

namespace {

using NameList = std::vector<std::string_view>;

// Variables whose "$" becomes "@" wherever they stand in a print text, in the order tried.
const NameList kRewrittenVariables = {"$vector_catch",
                                      "$qpo_log",
                                      "$fpresult",
                                      "$top_of_memory",
                                      "$target_fpu",
                                      "$semihosting_enabled",
                                      "$semihosting_vector",
                                      "$semihosting_qel_swi",
                                      "$qel_swi",
                                      "$plimb_swi",
                                      "$system_reset",
                                      "$semihosting_dcchandler_address"};

// Variables that MXT knows under the same name with "@": the rewritten ones but "$fpresult"
// (which has rules of its own), and "$r", which stands for every name that begins with "r"
// (registers among them).
const NameList kMarkedVariables = [] {
  NameList marked = {"$r"};
  for (std::string_view name : kRewrittenVariables) {
    if (name != "$fpresult") marked.push_back(name);
  }
  return marked;
}();

const NameList kFormatVariables = {"$int_format",     "$uint_format",   "$float_format",
                                   "$sbyte_format",   "$ubyte_format",  "$string_format",
                                   "$complex_format", "$pointer_format"};

constexpr std::string_view kResultWarning =
    "\n//Warning the use of result is not consistant between Tavex and MXT";
constexpr std::string_view kInputTypesWarning = "\n//Warning Input types not available in MXT";
constexpr std::string_view kInputbaseWarning = "\n//Warning inputbase not available in MXT";
constexpr std::string_view kSourcedirWarning = "\n//Warning sourcedir not available in MXT";
constexpr std::string_view kStatisticsWarning = "\n//warning kestrovan statistics usage";
constexpr std::string_view kMemoryStatisticsWarning =
    "\n//warning kestrovan memory_statistics usage";
constexpr std::string_view kExamineLinesWarning =
    "\n//warning examine_lines is an internal TAVEX variable only";
constexpr std::string_view kListLinesWarning =
    "\n//warning list_lines is an internal TAVEX variable only";

// Debugger variables that a print reads with "@", each with the warning of its assignment, in
// the order tried.
struct ReadVariable {
  std::string_view name, warning;
};
constexpr ReadVariable kReadVariables[] = {
    {"$statistics", kStatisticsWarning},
    {"$memory_statistics", kMemoryStatisticsWarning},
    {"$examine_lines", kExamineLinesWarning},
    {"$list_lines", kListLinesWarning},
};

// The most rewrites StrArgs makes in one call.
constexpr int kStrArgsPasses = 10;

bool ContainsAny(std::string_view text, const NameList& names) {
  for (std::string_view name : names) {
    if (Contains(text, name)) return true;
  }
  return false;
}

// The first occurrence of a text that only ever loses occurrences: every edit turns a "$" into
// another character, and every name begins with "$". The search therefore resumes where the
// last occurrence stood, and a whole call costs one scan of the text per name.
class FirstOccurrence {
 public:
  FirstOccurrence(const std::string& text, std::string_view item)
      : text_(text), item_(item), at_(text.find(item)) {}

  // Index of the first occurrence left, or npos.
  size_t Find() {
    while (at_ != std::string::npos && text_.compare(at_, item_.size(), item_) != 0) {
      at_ = text_.find(item_, at_ + 1);
    }
    return at_;
  }

 private:
  const std::string& text_;
  std::string_view item_;
  size_t at_;
};

// What a row of MatchArguments does with the argument text.
enum class Rewrite {
  kMark,         // the first character becomes "@"
  kKeep,         // the text stays as it is
  kCommandLine,  // the text becomes its value: from its first "=" on (empty without one)
};

// One row of MatchArguments: the names it applies to, its rewrite, and the line it writes.
struct MatchRow {
  const NameList& names;
  Rewrite rewrite;
  std::string_view format;  // the converted line, with the argument text after its first word
  std::string_view warning;
};

void SetFirstChar(std::string& text, char c) {
  if (c != '\0' && !text.empty()) text[0] = c;
}

// The first debugger variable of kReadVariables in the text gets "@" for its "$", and the
// warning of its assignment goes to `output`. Returns whether there was one.
bool MarkReadVariable(std::string& arguments, std::vector<FirstOccurrence>& read,
                      std::string& output) {
  for (size_t k = 0; k < read.size(); ++k) {
    if (size_t at = read[k].Find(); at != std::string::npos) {
      arguments[at] = '@';
      output.append(kReadVariables[k].warning);
      return true;
    }
  }
  return false;
}

}  // namespace

int StrArgs(std::string& arguments, std::string& output) {
  // Without a "$" there is nothing to translate; the ten passes would change nothing.
  if (!Contains(arguments, "$")) return 1;
  std::vector<FirstOccurrence> rewritten;
  rewritten.reserve(kRewrittenVariables.size());
  for (std::string_view name : kRewrittenVariables) rewritten.emplace_back(arguments, name);
  FirstOccurrence result(arguments, "$result");
  std::vector<FirstOccurrence> read;
  read.reserve(std::size(kReadVariables));
  for (const ReadVariable& variable : kReadVariables) read.emplace_back(arguments, variable.name);
  FirstOccurrence dollar(arguments, "$");
  // These names are never edited here, so whether the text holds them does not change.
  const bool cmdline = Contains(arguments, "$cmdline");
  const bool format = ContainsAny(arguments, kFormatVariables);
  const bool inputbase = Contains(arguments, "$inputbase");
  const bool sourcedir = Contains(arguments, "$sourcedir");

  for (int count = 0; count < kStrArgsPasses; ++count) {
    size_t at = std::string::npos;
    for (FirstOccurrence& variable : rewritten) {
      if ((at = variable.Find()) != std::string::npos) break;
    }
    if (at != std::string::npos) {
      arguments[at] = '@';
      continue;
    }
    if ((at = result.Find()) != std::string::npos) {
      arguments[at] = '@';
      output.append(kResultWarning);
      continue;
    }
    if (cmdline) return 0;
    if (format) {
      output.append(kInputTypesWarning);
      return 0;
    }
    if (inputbase) {
      output.append(kInputbaseWarning);
      return 0;
    }
    if (sourcedir) {
      output.append(kSourcedirWarning);
      return 0;
    }
    if (MarkReadVariable(arguments, read, output)) continue;
    if ((at = dollar.Find()) != std::string::npos) arguments[at] = ' ';
  }
  return 1;
}

int InternalArgs(std::string& arguments, std::string& output) {
  if (ContainsAny(arguments, kMarkedVariables)) {
    SetFirstChar(arguments, '@');
  } else if (Contains(arguments, "$cmdline") || ContainsAny(arguments, kFormatVariables)) {
    // MXT has the same setting: nothing to change.
  } else if (Contains(arguments, "$inputbase")) {
    output.append(kInputbaseWarning);
  } else if (Contains(arguments, "$sourcedir")) {
    output.append(kSourcedirWarning);
  } else {
    SetFirstChar(arguments, ' ');
  }
  return 0;
}

int MatchArguments(std::string& arguments, std::string& returnstring) {
  static const NameList kCmdline = {"$cmdline"}, kInputbase = {"$inputbase"},
                        kSourcedir = {"$sourcedir"}, kStatistics = {"$statistics"},
                        kFpresult = {"$fpresult"}, kMemoryStatistics = {"$memory_statistics"},
                        kExamineLines = {"$examine_lines"}, kListLines = {"$list_lines"};
  static const MatchRow kRows[] = {
      {kMarkedVariables, Rewrite::kMark, "cexpression ",
       "\n//Warning only a subset of Tavex internal variables are avilable in MXT"},
      {kCmdline, Rewrite::kCommandLine, "arguments ", ""},
      {kFormatVariables, Rewrite::kKeep, "cexpression ",
       "\n//Warning Formated print results not available in this format in MXT"},
      {kInputbase, Rewrite::kKeep, "cexpression ", "\n//Warning inputbase not available in MXT"},
      {kSourcedir, Rewrite::kKeep, "cexpression ",
       "\n//warning $sourcedir not supported MXT functionality"},
      {kStatistics, Rewrite::kMark, "cexpression ", kStatisticsWarning},
      {kFpresult, Rewrite::kMark, "cexpression ", "\n//warning fpresult not used in MXT"},
      {kMemoryStatistics, Rewrite::kMark, "cexpression ", kMemoryStatisticsWarning},
      {kExamineLines, Rewrite::kMark, "cexpression ", kExamineLinesWarning},
      {kListLines, Rewrite::kMark, "cexpression ", kListLinesWarning},
  };

  for (const MatchRow& row : kRows) {
    if (!ContainsAny(arguments, row.names)) continue;
    if (row.rewrite == Rewrite::kMark) SetFirstChar(arguments, '@');
    if (row.rewrite == Rewrite::kCommandLine) {
      Index equals = FindString(arguments, "=");
      arguments.erase(0, equals == -1 ? arguments.size() : static_cast<size_t>(equals));
    }
    returnstring.assign(row.format).append(arguments).append(row.warning);
    return 0;
  }
  // Any other name: its "$" becomes a blank.
  SetFirstChar(arguments, ' ');
  returnstring = "cexpression " + arguments;
  return 0;
}
