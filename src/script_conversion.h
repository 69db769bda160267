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

// A breakpoint whose command list goes on over the lines after it: the lines as read, held until
// the list closes, and the one command they make together.
class CommandBlock {
 public:
  // A block spans the breakpoint's line and at most this many lines in all.
  static constexpr std::size_t kMostLines = 64;

  // What a line of the block is.
  enum class Kind { kOpening, kSkipped, kComment, kTaken };

  // Whether a line (its text, after the carriage-return handling) begins a block: a breakpoint
  // or watchpoint command with the word "do" and a "{" after it, and more "{" than "}" (outside
  // double quotes).
  static bool Opens(std::string_view line);

  bool open() const { return !kinds_.empty(); }
  std::size_t size() const { return kinds_.size(); }
  long first_line() const { return first_line_; }
  // The `k`-th line as read, and what it is.
  std::string_view Raw(std::size_t k) const;
  Kind KindOf(std::size_t k) const { return kinds_[k]; }
  // The command the lines make: the breakpoint's line and the lines taken, joined.
  const std::string& joined() const { return joined_; }

  // Opens the block with the breakpoint's line.
  void Open(std::string_view raw, std::string_view line, long number);
  // Takes the next line; returns whether the list closed with it.
  bool Take(std::string_view raw, std::string_view line);
  // Hands the lines over to `other` (which takes the place of this one) and leaves this closed.
  void MoveTo(CommandBlock& other);
  void Close();

 private:
  void Keep(std::string_view raw, Kind kind);

  std::string raws_;               // the lines as read, one after the other
  std::vector<std::size_t> ends_;  // where each ends in `raws_`
  std::vector<Kind> kinds_;
  std::string joined_;
  bool taken_ = false;  // a line has been taken into `joined_`
  long depth_ = 0;      // "{" less "}" so far
  long first_line_ = 0;
};

class ScriptConversion {
 public:
  explicit ScriptConversion(const tvx2mxt::Options& options);

  // Converts one line as read (with its newline; the last line of a script may lack it) and
  // appends what it becomes to `out`. The lines of a breakpoint's command list that goes on over
  // several lines are written (and passed on) when the list closes.
  void ConvertLineOfScript(std::string_view raw, std::string& out);
  // Settles a command list that never closed (its lines are converted as they come), then
  // appends the commands that switch off a journal or log the script switched on.
  void Finish(std::string& out);

  tvx2mxt::ScriptResult& result() { return result_; }

 private:
  // What the line numbered `number` becomes, or the block it goes into.
  void TakeLine(std::string_view raw, long number, std::string& out);
  // Writes the comments of a closed block and the conversion of its command, and passes its
  // lines on.
  void ConvertBlock(std::string& out);
  // A block that does not close is none: its first line is not converted, and the lines after
  // it are taken as they come.
  void SettleBlock(std::string& out);
  // Passes on the line numbered `number` with what was written for it from `start` on.
  void PassOn(long number, std::string_view raw, std::string_view out, std::size_t start,
              std::size_t end);
  // What a line as read becomes, before it is passed on.
  void ConvertReadLine(std::string_view line, std::string& out);
  void ConvertNewLine(std::string_view line, std::string& out);
  void Replay(const RememberedLines::Outcome& outcome, std::string& out);
  void Remember(std::string_view line, std::uint64_t hash, std::string_view output);
  // Starts the findings and switches of a line; its findings are kept only when the line may be
  // remembered.
  void StartLine(bool rememberable);
  void ConvertSegment(std::string& segment, std::string& out);
  void SwitchJournalAndLog(std::string_view converted);
  void ReportWarnings(std::string_view converted);
  void ReportDropped(std::string_view converted);
  // Counts and passes on a finding of the line being converted, and notes it for the line's
  // next time (when it may have one).
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
  bool line_journal_off_ = false;
  bool keep_findings_ = false;
  tvx2mxt::Finding finding_;  // the finding being passed on
  RememberedLines remembered_;
  SeenLines seen_;        // the lines seen lately, which are worth remembering when they come again
  long line_number_ = 0;  // the line being converted (its findings are numbered so)
  long lines_read_ = 0;
  CommandBlock block_;
  bool journal_ = false;  // a converted command switched a journal on (and none off since)
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
