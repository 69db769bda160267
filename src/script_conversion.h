// The conversion of one script: each line as read becomes its converted commands or the
// comments in their place, and the run counts and reports what needs a hand.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "converter.h"
#include "remembered_lines.h"
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
  // What a line as read becomes, before it is passed on.
  void ConvertReadLine(std::string_view raw, std::string& out);
  void ConvertNewLine(std::string_view line, std::string& out);
  void Replay(const RememberedLines::Outcome& outcome, std::string& out);
  void Remember(std::string_view line, std::uint64_t hash, std::string_view output);
  void ConvertSegment(std::string& segment, std::string& out);
  void ReportWarnings(std::string_view converted);
  void ReportDropped(std::string_view converted);
  // Counts and passes on a finding of the line being converted, and notes it for the line's
  // next time.
  void Report(tvx2mxt::FindingKind kind, std::string_view text);
  // Counts and passes on a finding.
  void Deliver(tvx2mxt::FindingKind kind, std::string_view text);

  const tvx2mxt::Options& options_;
  LineConverter converter_;  // the aliases and macros of this script
  tvx2mxt::ScriptResult result_;
  std::string edited_line_;  // the line being converted, when it differs from the line as read
  std::string segment_;      // the segment being converted
  std::string converted_;    // the conversion of a segment
  // The findings of the line being converted, with their texts, and whether it switched a
  // journal or a log on.
  std::vector<RememberedLines::Finding> findings_;
  std::string finding_texts_;
  bool line_journal_ = false;
  bool line_log_ = false;
  tvx2mxt::Finding finding_;  // the finding being passed on
  RememberedLines remembered_;
  SeenLines seen_;  // the lines seen lately, which are worth remembering when they come again
  long line_number_ = 0;
  bool journal_ = false;  // a converted command switched a journal on
  bool log_ = false;      // a converted command switched a log on
};

// Reads the lines of a stream: the buffer grows to the longest line and no further. A regular
// file is read in large pieces; any other stream (a terminal, a pipe) a line at a time, so that
// each line is converted as soon as it is there.
class FileLineReader {
 public:
  explicit FileLineReader(std::FILE* in);
  ~FileLineReader();
  FileLineReader(const FileLineReader&) = delete;
  FileLineReader& operator=(const FileLineReader&) = delete;

  // The next line with its newline (none after the last line of an input that lacks one);
  // false at the end of the input or on a read error.
  bool Next(std::string_view& line);
  bool Failed() const { return std::ferror(in_) != 0; }

 private:
  bool NextPiece(std::string_view& line);
  std::FILE* in_;
  // A line at a time.
  char* buffer_ = nullptr;
  size_t capacity_ = 0;
  // In pieces: the lines not handed out yet are the bytes from `start_` to the end of `data_`.
  bool in_pieces_ = false;
  std::string data_;
  size_t start_ = 0;
  bool end_ = false;  // the whole file has been read
};
