// The command line: option words, the help and version texts, the words that do nothing.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

#include "command_line.h"

namespace {

constexpr const char* kVersion = "Build number 497";

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

// Reads the command line word by word. A word that an option takes (the path after -I or -O,
// the number after -j) is that option's, and is never reported; a path that begins with "-" is
// also examined as an option word in its own right.
class OptionPass {
 public:
  OptionPass(int argc, char** argv) : argc_(argc), argv_(argv) {}

  CommandLine Run() {
    if (argc_ == 1) Ask(Message::kHelp);
    for (int argi = 1; argi < argc_ && argv_[argi] != nullptr; ++argi) {
      // The number of -j is that option's own word, never examined as an option.
      if (argi == taken_number_) continue;
      const bool taken = argi == taken_;
      const std::string_view word = argv_[argi];
      if (word == "--help") {
        Ask(Message::kHelp);
      } else if (word == "--version") {
        Ask(Message::kVersion);
        line_.long_version = true;
      } else if (word == "--report" || word.substr(0, 9) == "--report=") {
        ApplyReport(word, argi);
      } else if (word.empty() || word[0] != '-') {
        if (!taken) loose_words_.push_back(argi);
      } else if (auto keyword = MatchKeyword(argv_[argi] + 1)) {
        Apply(*keyword, argi);
      } else if (!taken) {
        unmatched_.push_back(argi);
      }
    }
    ReportLooseWords();
    return std::move(line_);
  }

 private:
  void Ask(Message message) {
    line_.messages.push_back(message);
    if (message == Message::kHelp) line_.help_asked = true;
  }

  // The word after `argi`, taken by the option there; null when there is none.
  const char* TakeNext(int argi) {
    if (argi + 1 >= argc_ || argv_[argi + 1] == nullptr) return nullptr;
    taken_ = argi + 1;
    return argv_[argi + 1];
  }

  void Apply(Keyword keyword, int argi) {
    switch (keyword) {
      case Keyword::kHelp:
        Ask(Message::kHelp);
        break;
      case Keyword::kInput:
        if (const char* path = TakeNext(argi)) {
          line_.input = path;
          line_.console_input = IsConsole(path);
        } else {
          Ask(Message::kMissingInput);
          line_.usage_error = true;
        }
        break;
      case Keyword::kOutput:
        if (const char* path = TakeNext(argi)) {
          line_.output = path;
        } else {
          Ask(Message::kMissingOutput);
          line_.usage_error = true;
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
        ApplyJobs(argi);
        break;
    }
  }

  // --report FILE or --report=FILE.
  void ApplyReport(std::string_view word, int argi) {
    if (word.size() > 8) {
      line_.report = std::string(word.substr(9));
    } else if (const char* path = TakeNext(argi)) {
      taken_number_ = argi + 1;
      line_.report = path;
    } else {
      line_.ignored.emplace_back(word);
      line_.usage_error = true;
    }
  }

  void ApplyJobs(int argi) {
    const char* word = TakeNext(argi);
    if (word == nullptr) {
      Ask(Message::kMissingJobs);
      line_.usage_error = true;
      return;
    }
    taken_number_ = argi + 1;
    if (auto jobs = ParseJobs(word)) {
      line_.jobs = *jobs;
    } else {
      line_.jobs_word = word;
      Ask(Message::kInvalidJobs);
      line_.usage_error = true;
    }
  }

  // Without -I the words that are not options are the paths of a batch; with it they do
  // nothing, and are reported with the option words that matched nothing.
  void ReportLooseWords() {
    std::vector<int> ignored = unmatched_;
    if (line_.input.has_value()) {
      ignored.insert(ignored.end(), loose_words_.begin(), loose_words_.end());
    } else {
      for (int argi : loose_words_) line_.paths.emplace_back(argv_[argi]);
    }
    std::sort(ignored.begin(), ignored.end());
    for (int argi : ignored) line_.ignored.emplace_back(argv_[argi]);
  }

  int argc_;
  char** argv_;
  CommandLine line_;
  int taken_ = 0;         // the last word taken by an option
  int taken_number_ = 0;  // the word taken by -j
  std::vector<int> loose_words_;
  std::vector<int> unmatched_;
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

void PrintMessages(const CommandLine& command_line, std::FILE* to) {
  bool help_printed = false;
  for (Message message : command_line.messages) {
    switch (message) {
      case Message::kHelp:
        if (!help_printed) PrintHelp(to);
        help_printed = true;
        break;
      case Message::kVersion:
        std::fprintf(to, "\nVersion: %s\n", kVersion);
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
