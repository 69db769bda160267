// The line conversion engine: converts one Tavex command into MXT text, with the translators and
// the breakpoint conversion it calls, and the state that outlives a line (alias store, macro
// counter).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "string_toolkit.h"

// Results of ConvertLine and of the alias conversion.
inline constexpr int kConverted = 0;
inline constexpr int kNotConverted = 1;

// Converts one command. Normalises `original` in place (so callers that show the segment
// afterwards show it normalised) and, only when it succeeds, writes the result into `converted`
// after the last read of `original`: the two may be the same text. Returns kConverted or
// kNotConverted.
int ConvertLine(std::string& original, std::string& converted);

// Normalises a segment in place: tabs become blanks, runs of blanks one blank, the first " : "
// outside double quotes an "=", and a blank goes in front of the first "=" where the rules ask
// for one (never when it stands inside double quotes). The text of a comment command is not
// touched by the last two. Blanks in front of the command are left as they stand. Returns the
// index where the command begins, or -1 when the segment holds only blanks and tabs.
Index NormaliseLine(std::string& text);

// Finds the template of a lower-cased command word: the command map first, then the names of the
// aliases defined so far, in any case (an alias yields its name as first written). A watchpoint
// takes the template of a breakpoint. Returns 1 and writes `post` when found.
int LookUpCommand(const std::string& pre, std::string& post);
// The command words of a watchpoint ("w", "watch"): converted as a breakpoint on the same
// argument text, then named "breaka".
bool IsWatchpointWord(const std::string& word);

// Internal variables of the Tavex debugger ("$name").
int StrArgs(std::string& arguments, std::string& Output);
int InternalArgs(std::string& arguments, std::string& Output);
int MatchArguments(std::string& arguments, std::string& returnstring);

// Array assignments: one element assignment per line. A text is one when its first comma that
// separates values (outside double quotes and parentheses) stands after index 9, or when it holds
// no comma and its first "=" is followed by two or more integer literals separated by blanks.
bool IsArrayAssignment(std::string_view text);
void SortArrays(std::string& returnstring);
void ChangeSpaceComma(std::string& string, Index pos);

// While conditions: the inverted condition wrapped as "gostep until(...)".
void ChangeWhile(std::string& Command);

// Alias definitions: converts the body and records the name. kConverted or kNotConverted.
int AliasConvert(std::string& command);

// Breakpoints: location, pass count, command list (a generated macro) and condition.
void ConvertBreaks(std::string& command, const std::string& arguments);
// Builds the macro definition for a breakpoint's command list into `output`; returns its name.
std::string CreateMacro(std::string& macrostring, std::string& output);

// Number of the next generated macro, and the name of the last one begun.
extern int MacroNumber;
extern std::string macroname;

// The alias store: names of the aliases defined so far in this run. Names match in any case; a
// name keeps the spelling it was first stored with.
void AddAlias(const std::string& name);
bool IsAlias(const std::string& name);
// The stored spelling of the alias `name` (in any case), or nullptr when there is none.
const std::string* FindAlias(const std::string& name);
std::size_t AliasCount();

// Clears everything that outlives a line (alias store, macro counter, recursion bookkeeping), so
// that a new run (or a test) starts clean.
void ResetRunState();
