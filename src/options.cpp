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

// What an option word can ask for, in the order every word is tested.
enum class Keyword { kHelp, kInput, kOutput, kOriginal, kVersion, kWarnings, kCheck, kJobs };

struct KeywordRow {
  Keyword keyword;
  const char* spellings[2];  // the keyword and an alternative (or null)
};

constexpr KeywordRow kKeywords[] = {
    {Keyword::kHelp, {"HELP", "?"}},       {Keyword::kInput, {"I", nullptr}},
    {Keyword::kOutput, {"O", nullptr}},    {Keyword::kOriginal, {"A", nullptr}},
    {Keyword::kVersion, {"VSN", "V"}},     {Keyword::kWarnings, {"WARNINGS", nullptr}},
    {Keyword::kCheck, {"CHECK", nullptr}}, {Keyword::kJobs, {"JOBS", nullptr}},
};

// The keyword an option word (the text after its "-") matches; a word matches at most one.
std::optional<Keyword> MatchKeyword(const char* word) {
  int length = static_cast<int>(std::strlen(word));
  for (const KeywordRow& row : kKeywords) {
    for (const char* spelling : row.spellings) {
      if (spelling != nullptr && CLoption(word, length, spelling)) return row.keyword;
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

// The options written as whole words after "--".
enum class LongOption {
  kInput,
  kOutput,
  kEcho,
  kWarnings,
  kCheck,
  kJobs,
  kReport,
  kNoBackup,
  kHelp,
  kVersion
};

struct LongOptionRow {
  std::string_view name;  // the word after "--"
  LongOption option;
  bool takes_value;  // a value after "=" or as the next word
};

constexpr LongOptionRow kLongOptions[] = {
    {"input", LongOption::kInput, true},   {"output", LongOption::kOutput, true},
    {"echo", LongOption::kEcho, false},    {"warnings", LongOption::kWarnings, false},
    {"check", LongOption::kCheck, false},  {"jobs", LongOption::kJobs, true},
    {"report", LongOption::kReport, true}, {"no-backup", LongOption::kNoBackup, false},
    {"help", LongOption::kHelp, false},    {"version", LongOption::kVersion, false},
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
        SetJobs(argv_[argi] + 2);
      } else if (auto keyword = MatchKeyword(argv_[argi] + 1)) {
        Apply(*keyword, argi);
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
      SetJobs(argv_[argi] + 2);
    } else if (auto keyword = MatchKeyword(argv_[argi] + 1)) {
      Apply(*keyword, argi);
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

  void SetInput(const char* path) {
    line_.input = path;
    line_.console_input = IsConsole(path);
  }

  void MissingInput() {
    Ask(Message::kMissingInput);
    line_.usage_error = true;
  }

  void MissingOutput() {
    Ask(Message::kMissingOutput);
    line_.usage_error = true;
  }

  void Apply(Keyword keyword, int argi) {
    switch (keyword) {
      case Keyword::kHelp:
        Ask(Message::kHelp);
        break;
      case Keyword::kInput:
        if (const char* path = TakeNext(argi)) {
          SetInput(path);
        } else {
          MissingInput();
        }
        break;
      case Keyword::kOutput:
        if (const char* path = TakeNext(argi)) {
          line_.output = path;
        } else {
          MissingOutput();
        }
        break;
      case Keyword::kOriginal:
        line_.echo_original = true;
        break;
      case Keyword::kVersion:
        Ask(Message::kVersion);
        break;
      case Keyword::kWarnings:
        line_.warnings = true;
        break;
      case Keyword::kCheck:
        line_.check = true;
        break;
      case Keyword::kJobs:
        if (const char* word = TakeValue(argi)) {
          SetJobs(word);
        } else {
          Ask(Message::kMissingJobs);
          line_.usage_error = true;
        }
        break;
    }
  }

  // "--NAME", "--NAME=VALUE" or "--NAME VALUE" (`text` is the word without its "--").
  void ApplyLong(std::string_view text, int argi) {
    const size_t equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    const LongOptionRow* row = FindLongOption(name);
    const std::string quoted = "option '--" + std::string(name) + "'";
    if (row == nullptr) {
      WordError(argi, "unknown option: --" + std::string(text));
      return;
    }
    std::optional<std::string> value;
    if (equals != std::string_view::npos) {
      if (!row->takes_value) {
        WordError(argi, quoted + " doesn't allow an argument");
        return;
      }
      value = std::string(text.substr(equals + 1));
    } else if (row->takes_value) {
      if (const char* next = TakeValue(argi)) value = next;
    }
    if (row->takes_value && !value.has_value()) {
      // The paths keep the messages of -I and -O; the other values are usage errors of the word.
      if (row->option == LongOption::kInput) {
        MissingInput();
      } else if (row->option == LongOption::kOutput) {
        MissingOutput();
      } else {
        WordError(argi, quoted + " requires an argument");
      }
      return;
    }
    switch (row->option) {
      case LongOption::kInput:
        SetInput(value->c_str());
        break;
      case LongOption::kOutput:
        line_.output = *value;
        break;
      case LongOption::kEcho:
        line_.echo_original = true;
        break;
      case LongOption::kWarnings:
        line_.warnings = true;
        break;
      case LongOption::kCheck:
        line_.check = true;
        break;
      case LongOption::kJobs:
        SetJobs(*value);
        break;
      case LongOption::kReport:
        line_.report = *value;
        break;
      case LongOption::kNoBackup:
        line_.backup = false;
        break;
      case LongOption::kHelp:
        Immediately(Immediate::kLongHelp);
        break;
      case LongOption::kVersion:
        Immediately(Immediate::kLongVersion);
        break;
    }
  }

  // The first of --help and --version wins.
  void Immediately(Immediate immediate) {
    if (line_.immediate == Immediate::kNone) line_.immediate = immediate;
  }

  void SetJobs(const std::string& word) {
    if (auto jobs = ParseJobs(word)) {
      line_.jobs = *jobs;
    } else {
      line_.jobs_word = word;
      Ask(Message::kInvalidJobs);
      line_.usage_error = true;
    }
  }

  // Without -I the operands are the paths of a batch; a lone "-" as the only one is standard
  // input, converted onto standard output as "-I -" does. Any other operand with -I, and a "-"
  // among other paths, is taken by nothing.
  void SortOperands() {
    const bool lone_dash = !line_.input.has_value() && operands_.size() == 1 &&
                           std::string_view(argv_[operands_.front()]) == "-";
    if (lone_dash) {
      SetInput(argv_[operands_.front()]);
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
