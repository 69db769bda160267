// The conversion of one script: each line as read becomes its converted commands or the
// comments in their place, and the run counts and reports what needs a hand.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "converter.h"
#include "tvx2mxt/tvx2mxt.h"

class ScriptConversion {
 public:
  explicit ScriptConversion(const tvx2mxt::Options& options);

  // Converts one line as read (with its newline; the last line of a script may lack it) and
  // appends what it becomes to `out`.
  void ConvertLineOfScript(std::string_view raw, std::string& out);
  // Appends the commands that switch off a journal or log the script switched on.
  void Finish(std::string& out);

  tvx2mxt::ScriptResult& result() { return result_; }

 private:
  // What a line became: the text written for it, the findings it made and the closing commands
  // it asked for. The lines of a script repeat (go, step, where...), and a line converts the
  // same way each time as long as the aliases stay as they are and it makes no macro.
  struct LineOutcome {
    std::string output;
    std::vector<std::pair<tvx2mxt::FindingKind, std::string>> findings;
    bool journal = false;
    bool log = false;
  };

  void ConvertNewLine(std::string& line, std::string& out);
  void Replay(const LineOutcome& outcome, std::string& out);
  const LineOutcome* Recall(const std::string& line);
  void Remember(const std::string& line, std::string_view output);
  void ConvertSegment(std::string& segment, std::string& out);
  void ReportWarnings(std::string_view converted);
  void ReportDropped(const std::string& segment, const std::string& converted);
  void Report(tvx2mxt::FindingKind kind, std::string_view text);

  const tvx2mxt::Options& options_;
  LineConverter converter_;  // the aliases and macros of this script
  tvx2mxt::ScriptResult result_;
  std::string line_;       // the line being converted, as the conversion sees it
  std::string converted_;  // the conversion of a segment
  LineOutcome current_;    // the findings and closing commands of the line being converted
  // What recent lines became: the lines of the part of the script at hand, and those of the
  // part before it that came again since.
  std::unordered_map<std::string, LineOutcome> remembered_;
  std::unordered_map<std::string, LineOutcome> remembered_before_;
  long line_number_ = 0;
  bool journal_ = false;  // a converted command switched a journal on
  bool log_ = false;      // a converted command switched a log on
};

// Reads the lines of a stream: the buffer grows to the longest line and no further.
class FileLineReader {
 public:
  explicit FileLineReader(std::FILE* in) : in_(in) {}
  ~FileLineReader();
  FileLineReader(const FileLineReader&) = delete;
  FileLineReader& operator=(const FileLineReader&) = delete;

  // The next line with its newline (none after the last line of an input that lacks one);
  // false at the end of the input or on a read error.
  bool Next(std::string_view& line);
  bool Failed() const { return std::ferror(in_) != 0; }

 private:
  std::FILE* in_;
  char* buffer_ = nullptr;
  size_t capacity_ = 0;
};
