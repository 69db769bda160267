// The command-line front end: the option words, the messages they ask for, and the program.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// A message that the command line asks for, printed in the order the words were met.
enum class Message {
  kHelp,           // the help text (printed at most once per run)
  kVersion,        // the version line (printed each time it is asked for)
  kMissingInput,   // "-I" was the last word
  kMissingOutput,  // "-O" was the last word
  kMissingJobs,    // "-j" was the last word
  kInvalidJobs,    // the word after "-j" is not a number of jobs
};

// What the command line asks for first, before anything else happens: the first of "--help" and
// "--version" on the line.
enum class Immediate { kNone, kLongHelp, kLongVersion };

// What the command line asks for. Options are read left to right; a later -I, -O, -j or
// --report replaces an earlier one.
struct CommandLine {
  std::optional<std::string> input;   // the script of -I, as given
  bool console_input = false;         // that script is standard input ("CON" in any case, "-")
  std::optional<std::string> output;  // the path of -O, as given ("-": standard output)
  bool echo_original = false;         // -A
  bool warnings = false;              // -W
  bool check = false;                 // -C
  unsigned jobs = 0;                  // -j N; 0: one job per core
  std::string jobs_word;              // the word given to -j (for its message)
  std::optional<std::string> report;  // --report FILE: where a report of the run goes
  bool backup = true;                 // keep an output's previous content as OUTPUT~ (--no-backup)
  std::vector<std::string> paths;     // without -I: the scripts and folders of a batch
  // Words that no option takes or knows ("unknown option: -x", "unexpected operand: a.tvx",
  // "option '--report' requires an argument"), in command-line order: the run does nothing else.
  std::vector<std::string> word_errors;
  Immediate immediate = Immediate::kNone;
  std::vector<Message> messages;
  bool usage_error = false;  // -I, -O or -j without a usable word: nothing is converted
  bool help_asked = false;   // a help word was met

  // The converted script of a -I conversion goes to standard output.
  bool ScriptToStandardOutput() const {
    return input.has_value() && !check && (!output.has_value() || *output == "-");
  }
};

// Case-insensitive prefix comparison of an option word with a keyword: 1 when the first
// `s1len` characters of both are equal (never for an empty word, nor for a word longer than the
// keyword).
int CLoption(const char* s1, int s1len, const char* s2);

// Reads the command line (the words after the program name).
CommandLine ProcessInputs(int argc, char** argv);

// Prints the help text of the help words (-HELP, -?).
void PrintHelp(std::FILE* to);

// The help text of "--help": every option, both forms of invocation and the exit statuses.
extern const char kLongHelp[];
// The line "--version" prints.
std::string LongVersionLine();

// Prints the messages of the command line, in order, the help text at most once.
void PrintMessages(const CommandLine& command_line, std::FILE* to);

// The whole program. Returns the exit status: 0 done, 1 a script could not be converted, 2 a
// usage error, 3 (check mode) something needs a hand.
int RunConverter(int argc, char** argv);
