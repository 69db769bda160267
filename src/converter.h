// The line conversion engine: converts one Tavex command into MXT text, with the translators and
// the breakpoint conversion it calls, and the state that outlives a line (alias store, macro
// counter).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alias_store.h"
#include "remembered_lines.h"
#include "string_toolkit.h"

// Results of ConvertLine and of the alias conversion.
inline constexpr int kConverted = 0;
inline constexpr int kNotConverted = 1;

// Normalises a segment in place: tabs become blanks, runs of blanks one blank, the first " : "
// outside double quotes an "=", and a blank goes in front of the first "=" where the rules ask
// for one (never when it stands inside double quotes). The text of a comment command is not
// touched by the last two. Blanks in front of the command are left as they stand. Returns the
// index where the command begins, or -1 when the segment holds only blanks and tabs.
Index NormaliseLine(std::string& text);

// The command words of a watchpoint ("w", "watch"): converted as a breakpoint on the same
// argument text, then named "breaka".
bool IsWatchpointWord(std::string_view word);

// Internal variables of the Tavex debugger ("$name").
int StrArgs(std::string& arguments, std::string& output);
int InternalArgs(std::string& arguments, std::string& output);
int MatchArguments(std::string& arguments, std::string& returnstring);

// Array assignments: one element assignment per line. A text is one when its first comma that
// separates values (outside double quotes and parentheses) stands after index 9, or when it holds
// no comma and its first "=" is followed by two or more number literals separated by blanks.
bool IsArrayAssignment(std::string_view text);
void SortArrays(std::string& returnstring);
void ChangeSpaceComma(std::string& text, Index pos);

// While conditions: the inverted condition wrapped as "gostep until(...)".
void ChangeWhile(std::string& command);

struct LineWork;
struct ConvertFrame;
class MacroText;

// The line converter of one conversion run. It converts commands one at a time and keeps what
// outlives a line: the aliases the script defined, the numbering of the macros generated for
// breakpoint command lists, and the bookkeeping that keeps re-entered conversions finite. Two
// line converters know nothing of each other and may work in different threads.
class LineConverter {
 public:
  LineConverter();
  ~LineConverter();
  LineConverter(const LineConverter&) = delete;
  LineConverter& operator=(const LineConverter&) = delete;

  // Converts one command. Normalises `original` in place (so callers that show the segment
  // afterwards show it normalised) and, only when it succeeds, writes the result into
  // `converted` after the last read of `original`: the two may be the same text. Returns
  // kConverted or kNotConverted.
  int ConvertLine(std::string& original, std::string& converted);
  // The command word and the argument text of the last command converted from outside (not from
  // within another conversion), as the command split cut them, before the later stages edit
  // them; both empty when that command was blank.
  std::string_view LastCommandWord() const { return last_command_word_; }
  std::string_view LastArguments() const { return last_arguments_; }

  // Finds the template of a lower-cased command word: the command map first, then the names of
  // the aliases defined so far, in any case (an alias yields its name as first written). A
  // watchpoint takes the template of a breakpoint. Returns 1 and writes `post` when found.
  int LookUpCommand(const std::string& pre, std::string& post);
  // Whether a lower-cased command word is one of the command map (a watchpoint's too).
  static bool IsCommandWord(std::string_view word);

  // Alias definitions: converts the body and records the name. kConverted or kNotConverted.
  int AliasConvert(std::string& command);

  // Breakpoints: location, pass count, command list (a generated macro) and condition.
  void ConvertBreaks(std::string& command, const std::string& arguments);
  // Builds the macro definition for a breakpoint's command list into `output`; returns its
  // name. Each definition takes the next macro number of the run. The list holds only the
  // commands that converted: `notes` receives a comment line (after a newline) for each entry
  // left out, and the comment lines of the entries' conversions.
  std::string CreateMacro(std::string& macrostring, std::string& output, std::string& notes);
  // Converts one entry of a command list in place (as ConvertLine with one text for both).
  int ConvertListEntry(std::string& entry);

  // The command-specific rewrites that finish a line; writes `converted` and returns
  // ConvertLine's result.
  int RewriteCommand(LineWork& work, std::string& converted);

  // The alias store: names of the aliases defined so far in this run. Names match in any case;
  // a name keeps the spelling it was first stored with.
  void AddAlias(const std::string& name);
  bool IsAlias(std::string_view name) const { return FindAlias(name).has_value(); }
  // The stored spelling of the alias `name` (in any case), if there is one.
  std::optional<std::string_view> FindAlias(std::string_view name) const;
  // The number of alias definitions converted (a redefinition counts again).
  std::size_t AliasCount() const { return alias_count_; }

  // The number the next generated macro takes.
  int MacroNumber() const { return macro_number_; }
  // How many times a command word was looked for among the aliases and not found. An alias,
  // once defined, stays with the spelling it was first stored with: a conversion that found
  // every word it looked for there converts the same way whatever aliases the script defines
  // after it.
  std::size_t AliasMisses() const { return alias_misses_; }

 private:
  class RunningLine;
  class RunningAlias;

  int ConvertHelpTopic(LineWork& work, std::string& converted);
  bool FindCommandTemplate(LineWork& work);
  // One entry of a command list: its command lines go into the macro text `temp`.
  void AddListEntry(std::string& command, MacroText& temp, std::string& notes);
  // The conversion of a received command: its normalisation, then the rest.
  int ConvertReceived(LineWork& work, std::string& original, std::string& converted);
  // The conversion of a normalised command from its split on.
  int ConvertCommand(LineWork& work, std::string& converted);
  // The conversion of a command within another, which may be known already.
  int ConvertWithin(RunningLine& running, std::string& original, std::string& converted);

  AliasStore aliases_;
  std::size_t alias_count_ = 0;
  std::size_t alias_misses_ = 0;
  int macro_number_ = 0;
  // Frames of the ConvertLine calls that are running (the first `running_depth_`, outermost
  // first), and of earlier calls, kept so that their buffers are reused.
  std::vector<std::unique_ptr<ConvertFrame>> frames_;
  std::size_t running_depth_ = 0;
  // What commands converted within others became: entries of command lists, and the others.
  RememberedCommands commands_{64};
  RememberedCommands list_entries_{64};
  // The next ConvertLine call converts an entry of a command list.
  bool list_entry_next_ = false;
  std::size_t calls_ = 0;  // ConvertLine calls so far, refused ones too
  std::string last_command_word_;
  std::string last_arguments_;
  // Lengths of the texts of the AliasConvert calls that are running, outermost first.
  std::vector<std::size_t> running_aliases_;
};
