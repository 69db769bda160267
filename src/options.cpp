// The command line: option words, long options, the help and version texts, and the words
// that no option takes.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "command_line.h"
#include "tvx2mxt/version.h"

namespace {

constexpr const char* kBuildNumber = "497";

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// What an option asks for. The options of one dash and the long options share these.
enum class Option {
  kHelp,         // -HELP, -?: the help text of the help words
  kInput,        // -I, --input
  kOutput,       // -O, --output
  kEcho,         // -A, --echo
  kVersion,      // -VSN, -V: the version line
  kWarnings,     // -W, --warnings
  kCheck,        // -C, --check
  kJobs,         // -j, --jobs
  kReport,       // --report
  kNoBackup,     // --no-backup
  kLongHelp,     // --help
  kLongVersion,  // --version
};

bool TakesValue(Option option) {
  return option == Option::kInput || option == Option::kOutput || option == Option::kJobs ||
         option == Option::kReport;
}

struct KeywordRow {
  Option option;
  const char* spellings[2];  // the keyword and an alternative (or null)
};

// The keywords of the options of one dash, in the order every word is tested.
constexpr KeywordRow kKeywords[] = {
    {Option::kHelp, {"HELP", "?"}},       {Option::kInput, {"I", nullptr}},
    {Option::kOutput, {"O", nullptr}},    {Option::kEcho, {"A", nullptr}},
    {Option::kVersion, {"VSN", "V"}},     {Option::kWarnings, {"WARNINGS", nullptr}},
    {Option::kCheck, {"CHECK", nullptr}}, {Option::kJobs, {"JOBS", nullptr}},
};

// The option an option word (the text after its "-") matches; a word matches at most one.
std::optional<Option> MatchKeyword(const char* word) {
  int length = static_cast<int>(std::strlen(word));
  for (const KeywordRow& row : kKeywords) {
    for (const char* spelling : row.spellings) {
      if (spelling != nullptr && CLoption(word, length, spelling)) return row.option;
    }
  }
  return std::nullopt;
}

// "CON" in any case (exactly three characters) or "-": the script comes from standard input.
bool IsConsole(const std::string& path) {
  return (path.size() == 3 && CLoption(path.c_str(), 3, "CON") == 1) || path == "-";
}

// A number of jobs: decimal digits, at least 1.
std::optional<unsigned> ParseJobs(std::string_view word) {
  if (word.empty() || word.size() > 6) return std::nullopt;
  unsigned jobs = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return std::nullopt;
    jobs = jobs * 10 + static_cast<unsigned>(c - '0');
  }
  if (jobs == 0) return std::nullopt;
  return jobs;
}

struct LongOptionRow {
  std::string_view name;  // the word after "--"
  Option option;
};

// The options written as whole words after "--".
constexpr LongOptionRow kLongOptions[] = {
    {"input", Option::kInput},   {"output", Option::kOutput},
    {"echo", Option::kEcho},     {"warnings", Option::kWarnings},
    {"check", Option::kCheck},   {"jobs", Option::kJobs},
    {"report", Option::kReport}, {"no-backup", Option::kNoBackup},
    {"help", Option::kLongHelp}, {"version", Option::kLongVersion},
};

const LongOptionRow* FindLongOption(std::string_view name) {
  for (const LongOptionRow& row : kLongOptions) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

// "-j" or "-J" with the digits of its number attached ("-j4"): the number is the rest.
bool IsAttachedJobs(std::string_view word) {
  return word.size() > 2 && (word[1] == 'j' || word[1] == 'J') && word[2] >= '0' && word[2] <= '9';
}

// Reads the command line word by word. A word that an option takes (the path after -I or -O,
// the number after -j, the value of a long option) is that option's, and is never reported; a
// path of -I or -O that begins with "-" is also examined as an option word in its own right.
// After "--" every word is an operand.
class OptionPass {
 public:
  OptionPass(int argc, char** argv) : argc_(argc), argv_(argv) {}

  CommandLine Run() {
    if (argc_ == 1) Ask(Message::kHelp);
    bool options_end = false;
    for (int argi = 1; argi < argc_ && argv_[argi] != nullptr; ++argi) {
      // The value of -j or of a long option is that option's own word, never examined.
      if (argi == taken_value_) continue;
      const std::string_view word = argv_[argi];
      if (argi == taken_) {
        ExamineTakenPath(word, argi);
      } else if (options_end || word.empty() || word[0] != '-' || word == "-") {
        operands_.push_back(argi);
      } else if (word == "--") {
        options_end = true;
      } else if (word.substr(0, 2) == "--") {
        ApplyLong(word.substr(2), argi);
      } else if (IsAttachedJobs(word)) {
        Set(Option::kJobs, argv_[argi] + 2);
      } else if (auto option = MatchKeyword(argv_[argi] + 1)) {
        ApplyShort(*option, argi);
      } else {
        WordError(argi, "unknown option: " + std::string(word));
      }
    }
    SortOperands();
    return std::move(line_);
  }

 private:
  void Ask(Message message) {
    line_.messages.push_back(message);
    if (message == Message::kHelp) line_.help_asked = true;
  }

  // The path of -I or -O is that option's, and is never reported; one that begins with "-" is
  // also applied as an option word of one dash when it is one ("-I -A" sets -A).
  void ExamineTakenPath(std::string_view word, int argi) {
    if (word.size() < 2 || word[0] != '-' || word[1] == '-') return;
    if (IsAttachedJobs(word)) {
      Set(Option::kJobs, argv_[argi] + 2);
    } else if (auto option = MatchKeyword(argv_[argi] + 1)) {
      ApplyShort(*option, argi);
    }
  }

  void WordError(int argi, std::string text) { word_errors_.emplace_back(argi, std::move(text)); }

  // The word after `argi`, taken by the option there; null when there is none.
  const char* TakeNext(int argi) {
    if (argi + 1 >= argc_ || argv_[argi + 1] == nullptr) return nullptr;
    taken_ = argi + 1;
    return argv_[argi + 1];
  }

  // The value of the option at `argi` given as the next word, which is then no word of its own.
  const char* TakeValue(int argi) {
    if (argi + 1 >= argc_ || argv_[argi + 1] == nullptr) return nullptr;
    taken_value_ = argi + 1;
    return argv_[argi + 1];
  }

  // An option of one dash: the path of -I and -O is the next word (also examined as an option
  // word), the number of -j the next word (only that).
  void ApplyShort(Option option, int argi) {
    if (!TakesValue(option)) {
      Set(option, "");
    } else if (const char* value = option == Option::kJobs ? TakeValue(argi) : TakeNext(argi)) {
      Set(option, value);
    } else if (!MissingPath(option)) {
      Ask(Message::kMissingJobs);
      line_.usage_error = true;
    }
  }

  // "--NAME", "--NAME=VALUE" or "--NAME VALUE" (`text` is the word without its "--").
  void ApplyLong(std::string_view text, int argi) {
    const size_t equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    const LongOptionRow* row = FindLongOption(name);
    if (row == nullptr) {
      WordError(argi, "unknown option: --" + std::string(text));
      return;
    }
    const std::string quoted = "option '--" + std::string(name) + "'";
    if (!TakesValue(row->option)) {
      if (equals != std::string_view::npos) {
        WordError(argi, quoted + " doesn't allow an argument");
      } else {
        Set(row->option, "");
      }
    } else if (equals != std::string_view::npos) {
      Set(row->option, std::string(text.substr(equals + 1)));
    } else if (const char* next = TakeValue(argi)) {
      Set(row->option, next);
    } else if (!MissingPath(row->option)) {
      WordError(argi, quoted + " requires an argument");
    }
  }

  // -I, -O, --input or --output as the last word has the message of -I or -O; false for the
  // other options.
  bool MissingPath(Option option) {
    if (option == Option::kInput) {
      Ask(Message::kMissingInput);
    } else if (option == Option::kOutput) {
      Ask(Message::kMissingOutput);
    } else {
      return false;
    }
    line_.usage_error = true;
    return true;
  }

  // What an option asks for, with its value (the path, the number, the report file).
  void Set(Option option, const std::string& value) {
    switch (option) {
      case Option::kHelp:
        Ask(Message::kHelp);
        break;
      case Option::kInput:
        line_.input = value;
        line_.console_input = IsConsole(value);
        break;
      case Option::kOutput:
        line_.output = value;
        break;
      case Option::kEcho:
        line_.echo_original = true;
        break;
      case Option::kVersion:
        Ask(Message::kVersion);
        break;
      case Option::kWarnings:
        line_.warnings = true;
        break;
      case Option::kCheck:
        line_.check = true;
        break;
      case Option::kJobs:
        if (auto jobs = ParseJobs(value)) {
          line_.jobs = *jobs;
        } else {
          line_.jobs_word = value;
          Ask(Message::kInvalidJobs);
          line_.usage_error = true;
        }
        break;
      case Option::kReport:
        line_.report = value;
        break;
      case Option::kNoBackup:
        line_.backup = false;
        break;
      case Option::kLongHelp:
        Immediately(Immediate::kLongHelp);
        break;
      case Option::kLongVersion:
        Immediately(Immediate::kLongVersion);
        break;
    }
  }

  // The first of --help and --version wins.
  void Immediately(Immediate immediate) {
    if (line_.immediate == Immediate::kNone) line_.immediate = immediate;
  }

  // Without -I the operands are the paths of a batch; a lone "-" as the only one is standard
  // input, converted onto standard output as "-I -" does. Any other operand with -I, and a "-"
  // among other paths, is taken by nothing.
  void SortOperands() {
    const bool lone_dash = !line_.input.has_value() && operands_.size() == 1 &&
                           std::string_view(argv_[operands_.front()]) == "-";
    if (lone_dash) {
      Set(Option::kInput, argv_[operands_.front()]);
    } else {
      for (int argi : operands_) {
        const std::string_view word = argv_[argi];
        if (line_.input.has_value() || word == "-") {
          WordError(argi, "unexpected operand: " + std::string(word));
        } else {
          line_.paths.emplace_back(word);
        }
      }
    }
    std::stable_sort(word_errors_.begin(), word_errors_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [argi, text] : word_errors_) line_.word_errors.push_back(std::move(text));
  }

  int argc_;
  char** argv_;
  CommandLine line_;
  int taken_ = 0;        // the last path taken by -I or -O
  int taken_value_ = 0;  // the last value taken by -j or a long option
  std::vector<int> operands_;
  std::vector<std::pair<int, std::string>> word_errors_;
};

}  // namespace

int CLoption(const char* s1, int s1len, const char* s2) {
  if (s1len == 0) return 0;
  for (int k = 0; k < s1len; ++k) {
    // The keyword's terminator ends the comparison: a longer word never matches.
    if (Upper(s1[k]) != Upper(s2[k]) || s2[k] == '\0') return 0;
  }
  return 1;
}

CommandLine ProcessInputs(int argc, char** argv) { return OptionPass(argc, argv).Run(); }

void PrintHelp(std::FILE* to) {
  std::fputs("\nMerovant Debugger script converter - Help", to);
  std::fputs("\n", to);
  std::fputs("\n-I <path>\tPath to input file", to);
  std::fputs("\n-O <path>\tFile to save output to", to);
  std::fputs("\n-A \t\tAdd commented out original script to output", to);
  std::fputs("\n-Vsn\t\tVersion", to);
  std::fputs("\n", to);
}

const char kLongHelp[] = R"(Usage: tvx2mxt [OPTION]... -I SCRIPT [-O OUTPUT]
  or:  tvx2mxt [OPTION]... PATH...
Convert Tavex debugger scripts into MXT debugger scripts.

With -I, convert one script into OUTPUT, or onto standard output when -O is
missing or "-". SCRIPT "-" (or CON) is standard input; a lone "-" as PATH
converts standard input onto standard output.
With PATHs, convert each script named and every *.tvx file below each folder
into a .mxt file beside it (or under the folder -O names), several at once,
with a report line per script and a total.

  -I, --input=SCRIPT   the script to convert
  -O, --output=PATH    where the converted script goes (with PATHs: a folder)
  -A, --echo           copy each original command into the output as a
                         //tavex: comment before its conversion
  -W, --warnings       list every finding on standard error as
                         PATH:LINE: KIND: TEXT
  -C, --check          convert without writing; list the findings and exit
                         with status 3 when a script needs a hand
  -j, --jobs=N         convert N scripts at once (default: the number of cores)
      --report=FILE    also write a report of the run: FILE.json or FILE.html
      --no-backup      replace an output whose content changes without
                         keeping the previous one as OUTPUT~
  -V, -Vsn             print the build number of the conversion rules
      --help           print this help and exit
      --version        print the version and exit

Options may be written as any prefix of their word (-i, -warn, -che) in any
case. Exit status: 0 done; 1 a script or an output failed; 2 usage error;
3 (with -C) a script needs a hand.
)";

std::string LongVersionLine() {
  return std::string("tvx2mxt ") + TVX2MXT_VERSION_STRING + " (build number " + kBuildNumber +
         ")\n";
}

void PrintMessages(const CommandLine& command_line, std::FILE* to) {
  bool help_printed = false;
  for (Message message : command_line.messages) {
    switch (message) {
      case Message::kHelp:
        if (!help_printed) PrintHelp(to);
        help_printed = true;
        break;
      case Message::kVersion:
        std::fprintf(to, "\nVersion: Build number %s\n", kBuildNumber);
        break;
      case Message::kMissingInput:
        std::fputs("\nMissing input file\n", to);
        break;
      case Message::kMissingOutput:
        std::fputs("\nMissing output file\n", to);
        break;
      case Message::kMissingJobs:
        std::fputs("\nMissing number of jobs\n", to);
        break;
      case Message::kInvalidJobs:
        std::fprintf(to, "\nNot a number of jobs: %s\n", command_line.jobs_word.c_str());
        break;
    }
  }
}
