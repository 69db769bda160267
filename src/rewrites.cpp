// The command-specific rewrites that finish a converted line, in their fixed order: alias
// definitions, closing a log, expressions (memory and register writes, arrays, scope colons), go
// and step with while conditions, step in and out, load quoting, breakpoints and watchpoints,
// dump ranges, register names, search patterns and doubled register prefixes.
#include <algorithm>
#include <string>
#include <string_view>

#include "converter.h"
#include "line_stages.h"

namespace {

constexpr std::string_view kStepWhileWarning =
    "\n//WARNING: while has been removed from step as unsupported";
constexpr std::string_view kGoArgumentWarning = "\n//Warning: go argument not converted: ";
constexpr std::string_view kScopeWarning = "\n//Warning: location scope not converted: ";

// The text is the word "alias" alone or followed by a blank: "alias" inside another word (a
// symbol such as alias_table) defines nothing.
bool IsAliasDefinition(std::string_view postcon) {
  return (postcon == "alias" || BeginsWith(postcon, "alias ")) && !Contains(postcon, "printf") &&
         !Contains(postcon, "dcommands");
}

// The bare word "alias" lists the aliases in MXT as well; anything else is a definition.
int ConvertAliasDefinition(LineConverter& converter, std::string& postcon, std::string& converted) {
  if (postcon.size() != 5 && converter.AliasConvert(postcon) != kConverted) return kNotConverted;
  converted = postcon;
  return kConverted;
}

// "log off" (the argument text, blanks aside, is "off" in any case) closes the journal that
// "log FILE" opened.
bool IsLogOff(const LineWork& work) {
  return work.command_word == "log" && EqualsNoCase(Trimmed(work.arguments), "off");
}

// The first character of the line, in lower case.
char LineInitial(const std::string& line) { return LowerCaseOf(CharAt(line, 0)); }

// A write to memory: an address ("0x...") before the last "=", or a number that the argument
// text and the expression "cexpression " begin with, on a line that is neither a call nor a
// print (its first letter is neither "c" nor "p").
void ApplyMemoryRule(LineWork& work) {
  std::string& postcon = work.postcon;
  Index z = FindString(postcon, "0x");
  bool address = z != -1 && z < FindLastChar(postcon, '=');
  Index expression = FindString(postcon, "cexpression ");
  char initial = LineInitial(work.line);
  bool number = expression != -1 && IsDigit(CharAt(work.arguments, 0)) && initial != 'c' &&
                initial != 'p' && IsDigit(CharAt(postcon, expression + 12));
  if (address || number) Replace(postcon, "cexpression", "setmem");
}

// The argument text begins with a register name that MXT writes with setreg.
bool BeginsWithRegister(const std::string& arguments) {
  for (std::string_view name : {"pc", "lr", "sp", "cpsr"}) {
    if (BeginsWith(arguments, name) && !IsNameChar(CharAt(arguments, Length(name)))) return true;
  }
  return false;
}

// An "=" outside double quotes: the text assigns.
bool HoldsAssignment(std::string_view text) {
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (c == '=' && !quoted) return true;
  }
  return false;
}

// An internal variable's line is MatchArguments'; an assignment to a register is MXT's setreg
// (a register that is only read stays in the expression).
void ApplyRegisterRule(LineWork& work) {
  if (BeginsWith(work.arguments, "$")) {
    MatchArguments(work.arguments, work.postcon);
  } else if (BeginsWithRegister(work.arguments) && HoldsAssignment(work.arguments)) {
    work.postcon = "setreg @" + work.arguments;
  }
}

// The colon rules leave text inside double quotes as written: a character stands inside them
// when an odd number of double quotes stand before it.
class QuoteTracker {
 public:
  // Whether `c`, the next character of the text, stands inside double quotes.
  bool Inside(char c) {
    bool inside = quoted_;
    if (c == '"') quoted_ = !quoted_;
    return inside;
  }

 private:
  bool quoted_ = false;
};

// The first "=:" whose ":" stands outside double quotes loses its ":".
void DropFirstColonAfterEquals(std::string& postcon) {
  if (!Contains(postcon, "=:")) return;
  QuoteTracker quotes;
  for (size_t i = 0; i < postcon.size(); ++i) {
    bool inside = quotes.Inside(postcon[i]);
    if (postcon[i] == ':' && !inside && i > 0 && postcon[i - 1] == '=') {
      postcon.erase(i, 1);
      return;
    }
  }
}

// While the text holds "=:" with its ":" outside double quotes, that pair becomes "=".
void DropColonsAfterEquals(std::string& postcon) {
  if (!Contains(postcon, "=:")) return;  // the first pair to go stands in the text as it is
  QuoteTracker quotes;
  size_t kept = 0;
  for (size_t i = 0; i < postcon.size(); ++i) {
    char c = postcon[i];
    bool inside = quotes.Inside(c);
    if (c == ':' && !inside && kept > 0 && postcon[kept - 1] == '=') continue;
    postcon[kept++] = c;
  }
  postcon.resize(kept);
}

// Every scope colon outside double quotes becomes one backslash.
void ColonsToBackslashes(std::string& postcon) {
  ReplaceEveryCharOutsideQuotes(postcon, ':', "\\");
}

void RewriteExpression(LineWork& work) {
  std::string& postcon = work.postcon;
  if (!Contains(postcon, "cexpression")) return;
  if (!postcon.empty() && postcon.back() == '=') postcon.pop_back();
  ApplyMemoryRule(work);
  ApplyRegisterRule(work);
  DropFirstColonAfterEquals(postcon);
  if (IsArrayAssignment(postcon)) SortArrays(postcon);
  DropColonsAfterEquals(postcon);
  ColonsToBackslashes(postcon);
}

// The line's second word: "go while ..." and "step while ..." take a condition when it is
// "while" or a beginning of it ("w" to "whil"), in any case.
struct SecondWord {
  Index s;        // index of the line's first blank, -1 when none
  bool is_while;  // the word after it is "while" or a beginning of it
};

SecondWord FindSecondWord(const std::string& line) {
  Index s = FindString(line, " ");
  if (s == -1) return {s, false};
  size_t start = static_cast<size_t>(s) + 1;
  size_t end = std::min(line.find(' ', start), line.size());
  std::string word = line.substr(start, end - start);
  MakeLower(word);
  return {s, !word.empty() && BeginsWith("while", word)};
}

// go while CONDITION: the rest of the line after the while word is the condition.
bool RewriteGoWhile(LineWork& work) {
  std::string& postcon = work.postcon;
  if (!BeginsWith(postcon, "go") || Contains(postcon, "printf") || Contains(postcon, "stepinstr")) {
    return false;
  }
  SecondWord word = FindSecondWord(work.line);
  if (!word.is_while) return false;
  Index w = FindnChar(work.line, ' ', word.s + 2);
  CutString(work.line, postcon, w + 1, Length(work.line) - 1);
  ChangeWhile(postcon);
  return true;
}

// step while CONDITION: the condition keeps the blank in front of it; without a blank after the
// while word it is empty.
bool RewriteStepWhile(LineWork& work) {
  std::string& postcon = work.postcon;
  if (!BeginsWith(postcon, "step") || Contains(postcon, "printf")) return false;
  SecondWord word = FindSecondWord(work.line);
  if (!word.is_while) return false;
  Index w = FindnChar(work.line, ' ', word.s + 2);
  if (w == -1) {
    postcon.clear();
  } else {
    CutString(work.line, postcon, w, Length(work.line) - 1);
  }
  ChangeWhile(postcon);
  return true;
}

// Whether the argument text of a go holds more than blanks and "/" switches.
bool HoldsGoArgument(std::string_view arguments) {
  for (size_t word = arguments.find_first_not_of(' '); word != std::string_view::npos;
       word = arguments.find_first_not_of(' ', arguments.find(' ', word))) {
    if (arguments[word] != '/') return true;
  }
  return false;
}

// A go with a location or condition that the go-while rule did not take: MXT's go takes none,
// so the conversion says what it left out. An entry of a breakpoint's command list may hold the
// breakpoint's condition, and is left as it is.
bool TakesGoArgument(const LineWork& work) {
  const std::string_view word = work.command_word;
  return (word == "g" || word == "go") && !work.list_entry && HoldsGoArgument(work.arguments);
}

// Index of the first `keyword` (lower case) that stands between blanks in `text`, in any case.
Index FindBlankWordAnyCase(const std::string& text, std::string_view keyword) {
  std::string lower = text;
  MakeLower(lower);
  return FindBlankWord(lower, keyword);
}

// "step in", "step out" and a while further on, each as a word (in any case) of a "stepl"
// command.
void RewriteStepVariants(std::string& postcon) {
  if (!BeginsWith(postcon, "stepl") || Contains(postcon, "printf") ||
      Contains(postcon, "stepinstr")) {
    return;
  }
  if (Index k = FindBlankWordAnyCase(postcon, "in"); k != -1) {
    DeleteString(postcon, k, k + 2);
    Replace(postcon, "stepl", "stepinstr");
  }
  if (Index k = FindBlankWordAnyCase(postcon, "out"); k != -1) {
    DeleteString(postcon, k, k + 3);
    Replace(postcon, "stepl", "stepoinstr");
  }
  if (Index k = FindBlankWordAnyCase(postcon, "while"); k != -1) {
    DeleteString(postcon, k, k + 5);
    TrimRight(postcon);
    postcon.append(kStepWhileWarning);
  }
}

// An instruction step out ("out" as a word, in any case) is MXT's stepoinstr, without
// arguments.
void CollapseStepOut(std::string& postcon) {
  if (Contains(postcon, "stepinstr") && FindBlankWordAnyCase(postcon, "out") != -1) {
    postcon = "stepoinstr";
  }
}

// Inside the single quotes of a load, the blanks that placement left go: those before ";;" and
// before the closing quote, and a run of blanks becomes one.
void TidyLoadName(std::string& postcon) {
  const size_t open = postcon.find('\'');
  const size_t close = postcon.rfind('\'');
  if (open == std::string::npos || close == open) return;
  std::string name = postcon.substr(open + 1, close - open - 1);
  SqueezeRuns(name, ' ', 0);
  for (size_t at = name.find(" ;;"); at != std::string::npos; at = name.find(" ;;", at)) {
    name.erase(at, 1);
  }
  TrimRight(name);
  postcon.replace(open + 1, close - open - 1, name);
}

// The load template quotes the file name and its arguments: the separators that unfilled
// placeholders left next to a quote go, a load without a file loses its quote, and a file name
// written in double quotes keeps them without the single quote after them.
void QuoteLoad(std::string& postcon) {
  if (!Contains(postcon, "load/pd/r")) return;
  for (std::string_view item : {"';;", "';", ";;'", ";'"}) Replace(postcon, item, "'");
  if (Contains(postcon, "load/pd/r  '") && postcon.size() == 12) postcon = "load/pd/r";
  if (postcon.size() >= 2 && postcon.compare(postcon.size() - 2, 2, "\"'") == 0) {
    postcon.pop_back();
  }
  TidyLoadName(postcon);
}

// An included Tavex script is included as the MXT script it is converted into: a name (up to
// the blank or comma after it, or inside its double quotes) that ends in ".tvx", in any case,
// ends in ".mxt".
void IncludeConvertedScript(const LineWork& work, std::string& postcon) {
  constexpr std::string_view kInclude = "include ", kTavex = ".tvx", kMxt = ".mxt";
  if ((work.command_word != "o" && work.command_word != "obey") || !BeginsWith(postcon, kInclude)) {
    return;
  }
  const bool quoted = CharAt(postcon, Length(kInclude)) == '"';
  const size_t end = std::min(quoted ? postcon.find('"', kInclude.size() + 1)
                                     : postcon.find_first_of(" ,\n", kInclude.size()),
                              postcon.size());
  const std::string_view name =
      std::string_view(postcon).substr(kInclude.size(), end - kInclude.size());
  if (EndsWithNoCase(name, kTavex)) postcon.replace(end - kTavex.size(), kTavex.size(), kMxt);
}

void RewriteBreakpoint(LineConverter& converter, LineWork& work) {
  std::string& postcon = work.postcon;
  if (!Contains(postcon, "break") || Contains(postcon, "printf") ||
      Contains(postcon, "clearbreak")) {
    return;
  }
  if (work.arguments.empty()) {
    postcon = "dtbreak";
  } else {
    converter.ConvertBreaks(postcon, work.arguments);
  }
}

// A watchpoint has been converted as a breakpoint on the same argument text; MXT's command for
// it is "breaka": the first line that begins with "break" (after the definition of a command
// list's macro, when there is one) says so.
void NameWatchpoint(const LineWork& work, std::string& postcon) {
  if (!IsWatchpointWord(work.command_word)) return;
  for (size_t line = 0; line <= postcon.size();) {
    if (postcon.compare(line, 5, "break") == 0) {
      postcon.insert(line + 5, 1, 'a');
      return;
    }
    size_t newline = postcon.find('\n', line);
    if (newline == std::string::npos) return;
    line = newline + 1;
  }
}

// A dump range without a start begins at 0x0; a comma between start and end becomes a blank.
// Only a dump command: "dump" inside a file name or a macro line is no dump.
void RewriteDump(std::string& postcon) {
  if (!BeginsWith(postcon, "dump")) return;
  if (Contains(postcon, "dump ..")) Replace(postcon, "dump ..", "dump 0x0..");
  Replace(postcon, ",", " ");
}

// Register names for MXT's "@": "r" or "R", one or two digits, and then no further letter,
// digit or "_".
bool IsRegisterNameAt(std::string_view text, size_t at) {
  if (text[at] != 'r' && text[at] != 'R') return false;
  size_t digits = 0;
  while (digits < 3 && IsDigit(CharAt(text, static_cast<Index>(at + 1 + digits)))) ++digits;
  return digits >= 1 && digits <= 2 &&
         !IsNameChar(CharAt(text, static_cast<Index>(at + 1 + digits)));
}

// MXT writes registers with "@": a whole register name gets one, where it starts a word (it is
// not the first character of the text, no letter, digit, "_" or "@" stands before it) and is not
// inside a double-quoted string.
// A host command or a setreg command keeps its register names as they are, and so does a text
// without a blank.
bool KeepsRegisterNames(std::string_view postcon) {
  return Contains(postcon, "host") || Contains(postcon, "setreg") || !Contains(postcon, " ");
}

// The length of the register name pc, sp, lr or cpsr (in any case) that stands at `at` as a
// whole word's beginning and end, or 0.
size_t NamedRegisterAt(std::string_view text, size_t at) {
  for (std::string_view name : {"pc", "sp", "lr", "cpsr"}) {
    if (BeginsWithNoCase(text.substr(at), name) &&
        !IsNameChar(CharAt(text, static_cast<Index>(at + name.size())))) {
      return name.size();
    }
  }
  return 0;
}

// Writes "@" in front of each place that `places` passes to its callback, in increasing order.
// The places are counted first, so that the text takes the room it needs and no more; a text
// without any is left as it is.
template <typename Places>
void MarkPlaces(std::string& text, Places places) {
  size_t count = 0;
  places([&](size_t) { ++count; });
  if (count == 0) return;
  std::string marked;
  marked.reserve(text.size() + count);
  size_t copied = 0;  // the text before this is in `marked`
  places([&](size_t at) {
    marked.append(text, copied, at - copied).push_back('@');
    copied = at;
  });
  marked.append(text, copied, std::string::npos);
  text.swap(marked);
}

void MarkRegisterNames(std::string& postcon) {
  // Most texts hold no register name, and are passed over before anything else is looked at.
  // Quotes are counted only up to a name.
  MarkPlaces(postcon, [&postcon](auto&& place) {
    size_t counted = 0, quotes = 0;
    bool keeps_checked = false;
    for (size_t i = 1; i < postcon.size(); ++i) {
      if ((postcon[i] | 0x20) != 'r' || !IsRegisterNameAt(postcon, i)) continue;  // r or R
      const char before = postcon[i - 1];
      if (IsNameChar(before) || before == '@') continue;
      quotes += static_cast<size_t>(std::count(postcon.begin() + static_cast<long>(counted),
                                               postcon.begin() + static_cast<long>(i), '"'));
      counted = i;
      if (quotes % 2 == 1) continue;  // inside double quotes
      if (!keeps_checked && KeepsRegisterNames(postcon)) return;
      keeps_checked = true;
      place(i);
    }
  });
}

// A name right after "." or "->" is a member of a structure ("frame->pc", "ctx.sp"), not a
// register.
bool FollowsMemberAccess(std::string_view text, size_t at) {
  const char before = CharAt(text, static_cast<Index>(at) - 1);
  return before == '.' || (before == '>' && CharAt(text, static_cast<Index>(at) - 2) == '-');
}

// The registers pc, sp, lr and cpsr read in an expression (a printf, cexpression or setmem
// command, not a setreg or host one) are written with "@": each whole word, in any case as
// written, that has no "@" before it, is no member of a structure and stands outside double
// quotes.
void MarkNamedRegisters(std::string& postcon) {
  const bool expression = BeginsWith(postcon, "printf") || BeginsWith(postcon, "cexpression") ||
                          BeginsWith(postcon, "setmem");
  if (!expression || Contains(postcon, "setreg") || Contains(postcon, "host")) return;
  MarkPlaces(postcon, [&postcon](auto&& place) {
    bool quoted = false;
    for (size_t i = 0; i < postcon.size(); ++i) {
      if (postcon[i] == '"') quoted = !quoted;
      const char initial = LowerCaseOf(postcon[i]);
      if (initial != 'p' && initial != 's' && initial != 'l' && initial != 'c') continue;
      const char before = i > 0 ? postcon[i - 1] : '\0';
      if (quoted || IsNameChar(before) || before == '@' || FollowsMemberAccess(postcon, i)) {
        continue;
      }
      if (const size_t length = NamedRegisterAt(postcon, i); length != 0) {
        place(i);
        i += length - 1;
      }
    }
  });
}

// MXT search patterns have no wildcards.
void CleanSearchPattern(std::string& postcon) {
  if (BeginsWith(postcon, "search")) ReplaceEveryChar(postcon, '*', "");
}

void FixDoubledRegisterPrefix(std::string& postcon) {
  if (!Contains(postcon, "setreg")) return;
  if (Index q = FindString(postcon, "@rr"); q != -1) DeleteString(postcon, q + 1, q + 2);
}

// An alias used as a command word stands for itself: when nothing else became of it, its
// argument text follows its name.
void KeepAliasArguments(const LineWork& work, std::string& postcon) {
  if (work.alias_name.empty() || postcon != work.alias_name) return;
  const std::string_view arguments = Trimmed(work.arguments);
  if (!arguments.empty()) postcon.append(" ").append(arguments);
}

// The comment lines that end a conversion: what a go left out, and the file or scope a
// breakpoint's location lost.
void AppendClosingWarnings(const LineWork& work, bool go_argument, std::string& postcon) {
  if (go_argument) postcon.append(kGoArgumentWarning).append(Trimmed(work.arguments));
  if (!work.scope_cut.empty()) postcon.append(kScopeWarning).append(work.scope_cut);
}

}  // namespace

int LineConverter::RewriteCommand(LineWork& work, std::string& converted) {
  std::string& postcon = work.postcon;
  if (IsAliasDefinition(postcon)) return ConvertAliasDefinition(*this, postcon, converted);
  if (IsLogOff(work)) postcon = "journal off";
  RewriteExpression(work);
  const bool go_while = RewriteGoWhile(work);
  const bool go_argument = !go_while && TakesGoArgument(work);
  if (!go_while && !RewriteStepWhile(work)) RewriteStepVariants(postcon);
  CollapseStepOut(postcon);
  QuoteLoad(postcon);
  IncludeConvertedScript(work, postcon);
  RewriteBreakpoint(*this, work);
  NameWatchpoint(work, postcon);
  RewriteDump(postcon);
  MarkRegisterNames(postcon);
  MarkNamedRegisters(postcon);
  CleanSearchPattern(postcon);
  FixDoubledRegisterPrefix(postcon);
  KeepAliasArguments(work, postcon);
  AppendClosingWarnings(work, go_argument, postcon);
  converted.swap(postcon);
  return kConverted;
}
