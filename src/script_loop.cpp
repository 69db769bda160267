// The script conversion driver: reads the input a line at a time, splits semicolon lines into
// segments, converts each segment, and writes the conversion or a comment in its place.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "converter.h"
#include "dropped_words.h"
#include "remembered_lines.h"
#include "script_conversion.h"

namespace {

constexpr std::string_view kNotConvertedComment = "//No available conversion of command:\t";

// The line as read without its line end (a newline, with a carriage return before it).
std::string_view WithoutLineEnd(std::string_view raw) {
  if (!raw.empty() && raw.back() == '\n') raw.remove_suffix(1);
  if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
  return raw;
}

// The text of a line as the conversion sees it: a NUL byte ends it, the newline goes together
// with a carriage return right before it, and the first other carriage return becomes a blank
// (in a copy held by `edited`; otherwise the text is a view of the line as read).
std::string_view LineText(std::string_view raw, std::string& edited) {
  std::string_view line = raw.substr(0, raw.find('\0'));
  if (!line.empty() && line.back() == '\n') {
    line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  }
  const size_t cr = line.find('\r');
  if (cr == std::string_view::npos) return line;
  edited.assign(line);
  edited[cr] = ' ';
  return edited;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsBlankLine(std::string_view line) { return std::all_of(line.begin(), line.end(), IsBlank); }

// A Tavex comment: the first character other than blanks and tabs is "|".
bool IsComment(std::string_view segment) {
  auto first = std::find_if_not(segment.begin(), segment.end(), IsBlank);
  return first != segment.end() && *first == '|';
}

void WriteSemicolonWarning(std::string& out, std::string_view line) {
  out.append("//Warning: semicolon found on line: \"");
  out.append(line);
  out.append(
      "\".  This conversion could contain errors.\n//Put multiple commands on seperate "
      "lines\n\n");
}

// A converted command that switches a journal on: it begins with "journal on".
bool OpensJournal(std::string_view converted) { return BeginsWith(converted, "journal on"); }

// A converted command that switches the journal off: it begins with the words "journal off".
bool ClosesJournal(std::string_view converted) {
  constexpr std::string_view kJournalOff = "journal off";
  return BeginsWith(converted, kJournalOff) && !IsNameChar(CharAt(converted, Length(kJournalOff)));
}

// A converted command that switches a log on: it begins with the word "log".
bool OpensLog(std::string_view converted) {
  constexpr std::string_view kLog = "log";
  return BeginsWith(converted, kLog) && !IsNameChar(CharAt(converted, Length(kLog)));
}

// The warning comment of a line of a conversion, without its slashes: the text from the first
// "//Warning", "//warning", "//NOTE" or "//WARNING" that stands outside double quotes (at the
// start of a line, or behind a command as in an alias body); empty for any other line.
std::string_view WarningText(std::string_view line) {
  if (!Contains(line, "//")) return {};
  bool quoted = false;
  for (size_t at = 0; at + 1 < line.size(); ++at) {
    if (line[at] == '"') quoted = !quoted;
    if (quoted || line[at] != '/' || line[at + 1] != '/') continue;
    std::string_view comment = line.substr(at + 2);
    for (std::string_view start : {"Warning", "warning", "NOTE", "WARNING"}) {
      if (BeginsWith(comment, start)) return comment;
    }
  }
  return {};
}

// "{" less "}", counted outside double quotes.
long BraceBalance(std::string_view text) {
  long balance = 0;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '{') ++balance;
    if (c == '}') --balance;
  }
  return balance;
}

// Whether the first word of the line (blanks and tabs before and after it) names a breakpoint
// or a watchpoint, in any case.
bool BeginsWithBreakpoint(std::string_view line) {
  const size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  const std::string_view word = line.substr(first, line.find_first_of(" \t", first) - first);
  for (std::string_view name : {"b", "br", "break", "w", "watch"}) {
    if (EqualsNoCase(word, name)) return true;
  }
  return false;
}

// Whether the line holds the word "do" (after a blank or tab, before no letter, digit or "_")
// with a "{" somewhere after it.
bool HoldsListOpening(std::string_view line) {
  for (size_t at = line.find("do"); at != std::string_view::npos; at = line.find("do", at + 1)) {
    const char before = CharAt(line, static_cast<Index>(at) - 1);
    if ((before == ' ' || before == '\t') &&
        !IsNameChar(CharAt(line, static_cast<Index>(at) + 2))) {
      return line.find('{', at + 2) != std::string_view::npos;
    }
  }
  return false;
}

// A line written into a command without a separator: it begins by closing the list.
bool ClosesBeforeItself(std::string_view piece) { return BeginsWith(piece, "}"); }

// A line without a "}" has no list to keep whole: it is cut at each of its semicolons, however
// many "{" it holds. (The character stands in for the opening bracket; it never stands in a
// line, which a NUL byte ends.)
constexpr char kNoBracket = '\0';

// The remembered lines: a line longer than this seldom repeats and is not kept. Each generation
// holds this many lines, and room for their outputs and findings.
constexpr size_t kLongestLine = 256;
constexpr size_t kMostLines = 16384;
constexpr size_t kMostFindings = 2 * kMostLines;
constexpr size_t kMostBytes = 1 << 21;
// Bits of the lines seen lately: a line is remembered from its second time on.
constexpr size_t kSeenBits = 1 << 18;
// The room of a conversion that is kept for the next one; a longer one's is let go.
constexpr size_t kKeptConversion = 1 << 16;

}  // namespace

bool CommandBlock::Opens(std::string_view line) {
  return line.find('{') != std::string_view::npos && !IsComment(line) &&
         BeginsWithBreakpoint(line) && HoldsListOpening(line) && BraceBalance(line) > 0;
}

std::string_view CommandBlock::Raw(std::size_t k) const {
  const std::size_t start = k == 0 ? 0 : ends_[k - 1];
  return std::string_view(raws_).substr(start, ends_[k] - start);
}

void CommandBlock::Keep(std::string_view raw, Kind kind) {
  raws_.append(raw);
  ends_.push_back(raws_.size());
  kinds_.push_back(kind);
}

void CommandBlock::Open(std::string_view raw, std::string_view line, long number) {
  Keep(raw, Kind::kOpening);
  first_line_ = number;
  joined_.assign(line, 0, line.find_last_not_of(' ') + 1);
  depth_ = BraceBalance(line);
}

// Comment lines and empty ones (blanks, tabs and one ";" aside) are no part of the command; a
// line taken is written without its blanks and tabs, and without one ";" at its end unless it
// closes the list.
bool CommandBlock::Take(std::string_view raw, std::string_view line) {
  if (IsComment(line)) {
    Keep(raw, Kind::kComment);
    return false;
  }
  std::string_view piece = Trimmed(line, " \t");
  if (piece.empty() || piece == ";") {
    Keep(raw, Kind::kSkipped);
    return false;
  }
  Keep(raw, Kind::kTaken);
  depth_ += BraceBalance(piece);
  const bool closes = depth_ <= 0;
  if (!closes && piece.back() == ';') piece.remove_suffix(1);
  if (taken_ && !ClosesBeforeItself(piece)) joined_ += ';';
  joined_.append(piece);
  taken_ = true;
  return closes;
}

void CommandBlock::MoveTo(CommandBlock& other) {
  other = std::move(*this);
  Close();
}

void CommandBlock::Close() {
  raws_.clear();
  ends_.clear();
  kinds_.clear();
  joined_.clear();
  taken_ = false;
  depth_ = 0;
}

ScriptConversion::ScriptConversion(const tvx2mxt::Options& options)
    : options_(options), remembered_(kMostLines, kMostFindings, kMostBytes), seen_(kSeenBits) {}

void ScriptConversion::ConvertLineOfScript(std::string_view raw, std::string& out) {
  TakeLine(raw, ++lines_read_, out);
}

void ScriptConversion::TakeLine(std::string_view raw, long number, std::string& out) {
  line_number_ = number;
  if (block_.open() && block_.size() == CommandBlock::kMostLines) SettleBlock(out);
  line_number_ = number;
  const std::string_view line = LineText(raw, edited_line_);
  if (block_.open()) {
    if (block_.Take(raw, line)) ConvertBlock(out);
    return;
  }
  if (CommandBlock::Opens(line)) {
    block_.Open(raw, line, number);
    return;
  }
  const size_t start = out.size();
  ConvertReadLine(line, out);
  PassOn(number, raw, out, start, out.size());
}

void ScriptConversion::PassOn(long number, std::string_view raw, std::string_view out,
                              std::size_t start, std::size_t end) {
  if (options_.on_line) {
    options_.on_line({number, WithoutLineEnd(raw), out.substr(start, end - start)});
  }
}

// The comment lines of the block come first, as comments always are; then the command the block
// makes, converted as one line read at the breakpoint's line.
void ScriptConversion::ConvertBlock(std::string& out) {
  const long last = line_number_;
  std::vector<std::size_t> starts(block_.size() + 1, out.size());
  for (std::size_t k = 1; k < block_.size(); ++k) {
    starts[k] = out.size();
    if (block_.KindOf(k) != CommandBlock::Kind::kComment) continue;
    segment_.assign(LineText(block_.Raw(k), edited_line_));
    ConvertSegment(segment_, out);
  }
  starts[block_.size()] = out.size();
  line_number_ = block_.first_line();
  StartLine(false);
  ConvertNewLine(block_.joined(), out);
  PassOn(block_.first_line(), block_.Raw(0), out, starts[block_.size()], out.size());
  for (std::size_t k = 1; k < block_.size(); ++k) {
    PassOn(block_.first_line() + static_cast<long>(k), block_.Raw(k), out, starts[k],
           starts[k + 1]);
  }
  block_.Close();
  line_number_ = last;
}

void ScriptConversion::SettleBlock(std::string& out) {
  CommandBlock block;
  block_.MoveTo(block);
  line_number_ = block.first_line();
  StartLine(false);
  const size_t start = out.size();
  const std::string_view line = LineText(block.Raw(0), edited_line_);
  if (options_.echo_original) out.append("//tavex:").append(line) += '\n';
  out.append(kNotConvertedComment).append(line) += '\n';
  Report(tvx2mxt::FindingKind::kNotConverted, line);
  PassOn(block.first_line(), block.Raw(0), out, start, out.size());
  for (std::size_t k = 1; k < block.size(); ++k) {
    TakeLine(block.Raw(k), block.first_line() + static_cast<long>(k), out);
  }
}

void ScriptConversion::StartLine(bool rememberable) {
  findings_.clear();
  finding_texts_.clear();
  keep_findings_ = rememberable;
  line_journal_ = line_log_ = line_journal_off_ = false;
}

void ScriptConversion::ConvertReadLine(std::string_view line, std::string& out) {
  if (IsBlankLine(line)) {
    out += '\n';
    return;
  }
  const std::uint64_t hash = HashOfLine(line);
  if (std::optional<RememberedLines::Outcome> known = remembered_.Find(line, hash)) {
    Replay(*known, out);
    return;
  }
  const size_t start = out.size();
  const size_t misses = converter_.AliasMisses();
  const size_t aliases = converter_.AliasCount();
  const int macros = converter_.MacroNumber();
  StartLine(line.size() <= kLongestLine);
  ConvertNewLine(line, out);
  // A line with a word that is no alias yet may convert otherwise once the script defines more;
  // one that defined an alias or made a macro must do so again.
  if (converter_.AliasMisses() == misses && converter_.AliasCount() == aliases &&
      converter_.MacroNumber() == macros) {
    Remember(line, hash, std::string_view(out).substr(start));
  }
}

// The segments of a line are the texts between the semicolons that stand outside braces (a
// semicolon inside a breakpoint's command list belongs to the list); a line without "}" is cut
// at every semicolon. A comment is one segment.
void ScriptConversion::ConvertNewLine(std::string_view line, std::string& out) {
  converted_.clear();
  if (IsComment(line)) {
    segment_.assign(line);
    ConvertSegment(segment_, out);
    return;
  }
  PiecesOutside segments(line, ';', Contains(line, "}") ? '{' : kNoBracket, '}');
  size_t count = 0;
  for (std::string_view segment; segments.Next(segment); ++count) {
    segment_.assign(segment);
    ConvertSegment(segment_, out);
  }
  if (count == 1) return;
  WriteSemicolonWarning(out, line);
  Report(tvx2mxt::FindingKind::kSemicolons, line);
}

void ScriptConversion::Replay(const RememberedLines::Outcome& outcome, std::string& out) {
  out += outcome.output;
  for (const RememberedLines::Finding& finding : outcome.findings) {
    Deliver(finding.kind, outcome.findings.TextOf(finding));
  }
  if (outcome.journal_off) journal_ = false;
  journal_ = journal_ || outcome.journal;
  log_ = log_ || outcome.log;
}

// Keeps what the line became for its next time.
void ScriptConversion::Remember(std::string_view line, std::uint64_t hash,
                                std::string_view output) {
  if (line.size() > kLongestLine || !seen_.Note(hash)) return;
  RememberedLines::Outcome outcome;
  outcome.output = output;
  outcome.findings = {findings_.data(), findings_.data() + findings_.size(), finding_texts_.data()};
  outcome.journal = line_journal_;
  outcome.log = line_log_;
  outcome.journal_off = line_journal_off_;
  remembered_.Remember(line, hash, outcome);
}

// Converts one segment and writes what becomes of it.
void ScriptConversion::ConvertSegment(std::string& segment, std::string& out) {
  if (IsComment(segment)) {
    // A comment is written as it was read, and never converted.
    out.append(options_.echo_original ? "//tavex:" : "//").append(segment) += '\n';
    return;
  }
  int ok = converter_.ConvertLine(segment, converted_);
  if (options_.echo_original) out.append("//tavex:").append(segment) += '\n';
  if (ok != kNotConverted && converted_.size() >= 2) {
    SwitchJournalAndLog(converted_);
    // Room for the conversion and its newline, and no more: a long one is written as it is,
    // and then read where it was written (its own text is let go).
    out.reserve(out.size() + converted_.size() + 1);
    const size_t start = out.size();
    out.append(converted_) += '\n';
    const std::string_view written = std::string_view(out).substr(start, converted_.size());
    if (converted_.capacity() > kKeptConversion) std::string().swap(converted_);
    ReportWarnings(written);
    ReportDropped(written);
  } else {
    out.append(kNotConvertedComment).append(segment) += '\n';
    Report(tvx2mxt::FindingKind::kNotConverted, segment);
  }
}

// A converted command that switches the journal on or off, or a log on; the line's own switches
// are kept with it, the last of the journal's.
void ScriptConversion::SwitchJournalAndLog(std::string_view converted) {
  if (ClosesJournal(converted)) {
    line_journal_ = journal_ = false;
    line_journal_off_ = true;
  } else if (OpensJournal(converted)) {
    line_journal_ = journal_ = true;
    line_journal_off_ = false;
  }
  if (OpensLog(converted)) line_log_ = log_ = true;
}

// A journal or log that the script switched on (and did not switch off) is switched off at its
// end; the output then ends with a newline. A block still open at the end is none.
void ScriptConversion::Finish(std::string& out) {
  while (block_.open()) SettleBlock(out);
  if (journal_) out += "\njournal off";
  if (log_) out += "\nlog off";
  if (journal_ || log_) out += '\n';
}

void ScriptConversion::ReportWarnings(std::string_view converted) {
  if (!Contains(converted, "//")) return;
  size_t start = 0;
  for (size_t end = 0; end != converted.npos; start = end + 1) {
    end = converted.find('\n', start);
    std::string_view text = WarningText(converted.substr(start, end - start));
    if (!text.empty()) Report(tvx2mxt::FindingKind::kWarning, text);
  }
}

// The words of the segment's arguments (after its command word, as the converter split it)
// that the conversion does not show. A conversion into a comment (a command MXT lacks) drops
// the whole command, and its warning says so already.
void ScriptConversion::ReportDropped(std::string_view converted) {
  if (BeginsWith(converted, "//")) return;
  const std::string_view command = converter_.LastCommandWord();
  // A help command names the MXT command its topic became; the topic's words go by design.
  if (command == "h" || command == "help") return;
  std::string dropped = DroppedWords(command, converter_.LastArguments(), converted);
  if (!dropped.empty()) Report(tvx2mxt::FindingKind::kDropped, dropped);
}

void ScriptConversion::Report(tvx2mxt::FindingKind kind, std::string_view text) {
  if (keep_findings_) {
    findings_.push_back({kind, finding_texts_.size(), text.size()});
    finding_texts_.append(text);
  }
  Deliver(kind, text);
}

void ScriptConversion::Deliver(tvx2mxt::FindingKind kind, std::string_view text) {
  result_.counts.Add(kind);
  finding_.line = line_number_;
  finding_.kind = kind;
  finding_.text.assign(text);
  if (options_.on_finding) {
    options_.on_finding(finding_);
  } else {
    result_.findings.push_back(finding_);
  }
}

FileLineReader::FileLineReader(std::FILE* in) : in_(in) {
  struct stat info;
  in_pieces_ = fstat(fileno(in), &info) == 0 && S_ISREG(info.st_mode);
}

FileLineReader::~FileLineReader() { std::free(buffer_); }

bool FileLineReader::Next(std::string_view& line) {
  if (in_pieces_) return NextPiece(line);
  errno = 0;
  ssize_t read = getline(&buffer_, &capacity_, in_);
  // A line too long for the memory left is memory exhaustion, not the end of the script.
  if (read < 0 && errno == ENOMEM) throw std::bad_alloc();
  if (read < 0) return false;
  line = std::string_view(buffer_, static_cast<size_t>(read));
  return true;
}

bool FileLineReader::NextPiece(std::string_view& line) {
  constexpr size_t kPiece = 1 << 16;
  for (;;) {
    const std::string_view data = data_;
    const size_t newline = data.find('\n', start_);
    if (newline != std::string_view::npos) {
      line = std::string_view(data.data() + start_, newline + 1 - start_);
      start_ = newline + 1;
      return true;
    }
    if (end_) {
      if (start_ == data_.size()) return false;
      line = std::string_view(data_).substr(start_);
      start_ = data_.size();
      return true;
    }
    // The rest of the file's last piece moves to the front, and the next piece follows it.
    data_.erase(0, start_);
    start_ = 0;
    const size_t kept = data_.size();
    data_.resize(kept + kPiece);
    const size_t read = std::fread(&data_[kept], 1, kPiece, in_);
    data_.resize(kept + read);
    if (read < kPiece) end_ = true;
    if (std::ferror(in_)) return false;
  }
}
