// The script conversion driver: reads the input a line at a time, splits semicolon lines into
// segments, converts each segment, and writes the conversion or a comment in its place.
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "converter.h"
#include "output_file.h"
#include "parser.h"

namespace {

constexpr std::string_view kNotConvertedComment = "//No available conversion of command:\t";

// Reads lines of any length; the buffer grows to the longest line and no further.
class LineReader {
 public:
  explicit LineReader(std::FILE* in) : in_(in) {}
  ~LineReader() { std::free(buffer_); }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // The next line with its newline (none after the last line of an input that lacks one);
  // false at the end of the input or on a read error.
  bool Next(std::string_view& line) {
    errno = 0;
    ssize_t read = getline(&buffer_, &capacity_, in_);
    // A line too long for the memory left is memory exhaustion, not the end of the script.
    if (read < 0 && errno == ENOMEM) throw std::bad_alloc();
    if (read < 0) return false;
    line = std::string_view(buffer_, static_cast<size_t>(read));
    return true;
  }

  bool Failed() const { return std::ferror(in_) != 0; }

 private:
  std::FILE* in_;
  char* buffer_ = nullptr;
  size_t capacity_ = 0;
};

void Write(std::FILE* out, std::string_view text) { std::fwrite(text.data(), 1, text.size(), out); }

// The text of a line as the conversion sees it: a NUL byte ends it, the newline goes together
// with a carriage return right before it, and the first other carriage return becomes a blank.
std::string LineText(std::string_view raw) {
  std::string line(raw.substr(0, raw.find('\0')));
  if (!line.empty() && line.back() == '\n') {
    line.pop_back();
    if (!line.empty() && line.back() == '\r') line.pop_back();
  }
  if (size_t cr = line.find('\r'); cr != std::string::npos) line[cr] = ' ';
  return line;
}

bool IsBlankLine(std::string_view line) { return line.find_first_not_of(" \t") == line.npos; }

// A Tavex comment: the first character other than blanks and tabs is "|".
bool IsComment(std::string_view segment) {
  size_t first = segment.find_first_not_of(" \t");
  return first != segment.npos && segment[first] == '|';
}

// A line that holds ";" is split into segments, unless it holds "}" (a breakpoint's command
// list, which the breakpoint conversion takes whole) or is a comment.
bool IsSemicolonLine(std::string_view line) {
  return Contains(line, ";") && !Contains(line, "}") && !IsComment(line);
}

void WriteSemicolonWarning(std::FILE* out, std::string_view line) {
  Write(out, "//Warning: semicolon found on line: \"");
  Write(out, line);
  Write(out,
        "\".  This conversion could contain errors.\n//Put multiple commands on seperate "
        "lines\n\n");
}

// A journal or log that the script switched on is switched off at its end.
void WriteClosingCommands(std::FILE* out, const ScriptCounts& counts) {
  if (counts.journal) Write(out, "\njournal off");
  if (counts.log) Write(out, "\nlog off");
}

// The comment of a warning line of a conversion ("//Warning...", "//warning...", "//NOTE...",
// or a line holding "//WARNING"), without its slashes; empty for any other line.
std::string_view WarningText(std::string_view line) {
  for (std::string_view start : {"//Warning", "//warning", "//NOTE"}) {
    if (BeginsWith(line, start)) return line.substr(2);
  }
  size_t found = line.find("//WARNING");
  return found == line.npos ? std::string_view() : line.substr(found + 2);
}

// The conversion of one script: the segments of each line, what is written for each, and the
// findings reported with their line numbers.
class ScriptConversion {
 public:
  ScriptConversion(std::FILE* out, bool original, ScriptCounts& counts,
                   const FindingsReport* report)
      : out_(out), original_(original), counts_(counts), report_(report) {}

  void ConvertLineOfScript(std::string_view raw) {
    ++line_number_;
    MXT_Command_.clear();
    std::string line = LineText(raw);
    if (IsBlankLine(line)) {
      Write(out_, "\n");
      return;
    }
    if (!IsSemicolonLine(line)) {
      ConvertSegment(line);
      return;
    }
    counts_.semicolon += 1;
    for (std::string& segment : SplitAfter(line, ';')) ConvertSegment(segment);
    WriteSemicolonWarning(out_, line);
    Report("semicolons", line);
  }

 private:
  // Converts one segment and writes what becomes of it.
  void ConvertSegment(std::string& segment) {
    if (IsComment(segment)) {
      // A comment is shown as the line converter would normalise it, and never converted.
      NormaliseLine(segment);
      Write(out_, original_ ? "//tavex:" : "//");
      Write(out_, segment);
      Write(out_, "\n");
      return;
    }
    int ok = ConvertLine(segment, MXT_Command_);
    if (original_) {
      Write(out_, "//tavex:");
      Write(out_, segment);
      Write(out_, "\n");
    }
    if (ok != kNotConverted && MXT_Command_.size() >= 2) {
      if (!Contains(MXT_Command_, "dcommands")) {
        counts_.journal = counts_.journal || Contains(MXT_Command_, "journal");
        counts_.log = counts_.log || Contains(MXT_Command_, "log");
      }
      Write(out_, MXT_Command_);
      Write(out_, "\n");
      ReportWarnings(MXT_Command_);
    } else {
      Write(out_, kNotConvertedComment);
      Write(out_, segment);
      Write(out_, "\n");
      counts_.iNotConverted += 1;
      Report("not converted", segment);
    }
  }

  void ReportWarnings(std::string_view converted) {
    if (report_ == nullptr) return;
    size_t start = 0;
    for (size_t end = 0; end != converted.npos; start = end + 1) {
      end = converted.find('\n', start);
      std::string_view text = WarningText(converted.substr(start, end - start));
      if (!text.empty()) Report("warning", text);
    }
  }

  // One finding, as compilers and editors write them: "PATH:LINE: KIND: TEXT".
  void Report(std::string_view kind, std::string_view text) {
    if (report_ == nullptr) return;
    std::string finding = report_->path;
    finding.append(":").append(std::to_string(line_number_)).append(": ");
    finding.append(kind).append(": ").append(text).append("\n");
    Write(report_->to, finding);
  }

  std::FILE* out_;
  bool original_;
  ScriptCounts& counts_;
  const FindingsReport* report_;
  std::string MXT_Command_;
  long line_number_ = 0;
};

bool IsDirectory(std::FILE* file) {
  struct stat info;
  return fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode);
}

// Whether writing `output` would overwrite the input: the same path (unless the input is the
// console, whatever its path says), or the same file.
bool IsSameFile(const char* input_path, bool console, std::FILE* in, const char* output_path) {
  if (!console && std::strcmp(input_path, output_path) == 0) return true;
  struct stat input, output;
  return fstat(fileno(in), &input) == 0 && stat(output_path, &output) == 0 &&
         input.st_dev == output.st_dev && input.st_ino == output.st_ino;
}

}  // namespace

bool ConvertScript(std::FILE* in, std::FILE* out, bool original, ScriptCounts& counts,
                   const FindingsReport* report) {
  LineReader reader(in);
  ScriptConversion conversion(out, original, counts, report);
  std::string_view raw;
  while (reader.Next(raw)) conversion.ConvertLineOfScript(raw);
  WriteClosingCommands(out, counts);
  return !reader.Failed();
}

void PrintSummary(std::FILE* to, const ScriptCounts& counts) {
  if (counts.iNotConverted > 0 || counts.semicolon > 0) {
    std::fprintf(to, "\n\n// Summary of conversions\n// ======================\n//\n");
  }
  if (counts.iNotConverted == 1) {
    std::fprintf(to, "// %i command was not converted.\n", 1);
  } else if (counts.iNotConverted > 1) {
    std::fprintf(to, "// %ld commands were not converted.\n", counts.iNotConverted);
  }
  if (counts.semicolon == 1) {
    std::fprintf(to,
                 "// %i original line contained semicolons, its conversions could contain "
                 "errors.\n",
                 1);
  } else if (counts.semicolon > 1) {
    std::fprintf(to,
                 "// %ld original lines contained semicolons, their conversions could contain "
                 "errors.\n",
                 counts.semicolon);
  }
}

int ParseFile(const char* pFileIn, const char* pFileOut, int Original, int ConsoleInput,
              int Warnings) {
  std::FILE* in = ConsoleInput ? stdin : std::fopen(pFileIn, "r");
  if (in == nullptr || IsDirectory(in)) {
    std::printf("\nCould not open the file %s for reading\n", pFileIn);
    if (in != nullptr && in != stdin) std::fclose(in);
    return 1;
  }
  auto close_input = [&] {
    if (in != stdin) std::fclose(in);
  };
  if (pFileOut != nullptr && IsSameFile(pFileIn, ConsoleInput != 0, in, pFileOut)) {
    std::printf("\nInput and output are the same file: %s\n", pFileOut);
    close_input();
    return 1;
  }
  // The output file is replaced only when the whole conversion was written.
  AtomicOutputFile output_file;
  if (pFileOut != nullptr && output_file.Open(pFileOut) != 0) {
    std::printf("\nCould not create the file %s for output\n", pFileOut);
    close_input();
    return 1;
  }
  std::FILE* out = pFileOut != nullptr ? output_file.stream() : stdout;

  ScriptCounts counts;
  FindingsReport report{stderr, ConsoleInput ? "standard input" : pFileIn};
  bool read = ConvertScript(in, out, Original != 0, counts, Warnings ? &report : nullptr);
  close_input();
  bool written = true;
  if (out == stdout) {
    written = std::fflush(out) == 0 && std::ferror(out) == 0;
  } else if (read) {
    written = output_file.Commit() == 0;  // after a read error the output stays as it was
  }
  if (!read) {
    std::printf("\nCould not read the file %s\n", pFileIn);
    return 1;
  }
  if (written) {
    PrintSummary(stdout, counts);
    if (out == stdout) written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  }
  if (!written) {
    // A broken standard output can only be reported on standard error.
    if (pFileOut != nullptr) {
      std::printf("\nCould not write the file %s\n", pFileOut);
    } else {
      std::fprintf(stderr, "\nCould not write the file standard output\n");
    }
    return 1;
  }
  return 0;
}
