// Converting script files: opening the input and the output, the conversion, and the reason
// when a file cannot be read or written.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "tvx2mxt/tvx2mxt.h"

// Converts the script read from `in` into `out` (nothing is written when `out` is null),
// passing each finding to `options.on_finding` as it is made. With `closing`, and
// `options.on_line` set, the closing text written after the last line (the commands that switch
// off a journal or log) goes there too: it belongs to no line that `on_line` passes on.
tvx2mxt::ScriptResult ConvertScriptFile(std::FILE* in, std::FILE* out,
                                        const tvx2mxt::Options& options,
                                        std::string* closing = nullptr);

// One script file to convert.
struct ScriptFile {
  std::string input;                  // the path as given
  bool console = false;               // the script is standard input
  std::optional<std::string> output;  // the output path; none: standard output
  bool write = true;                  // false (check mode): convert, write nothing
  bool backup = true;  // keep the previous content of an output file that changes as OUTPUT~
};

// Why a script file could not be converted.
struct FileFailure {
  std::string message;       // the converter's message for a single-file run ("\nCould not ...\n")
  std::string path;          // the file the reason is about
  std::string reason;        // the system's text for the error, or the converter's own words
  bool system_error = true;  // false: a refusal of the converter, which its message explains
};

struct FileConversion {
  tvx2mxt::ScriptResult result;
  std::optional<FileFailure> failure;
  std::optional<std::string> backup;  // where the output's previous content was kept
  std::string closing;  // with Options::on_line: the closing text, which belongs to no line
};

// How much of a script is looked at for NUL bytes before it is converted.
constexpr size_t kTextCheckSize = 64 * 1024;
// The reason given for a script that holds NUL bytes in its first kTextCheckSize bytes.
constexpr const char* kNotATextScript = "not a text script (it holds NUL bytes)";

// Converts one script file. A script that holds a NUL byte in its first kTextCheckSize bytes is
// refused before anything is written. The output file is written only when the conversion
// succeeds; a failure leaves it as it was, and so does a conversion that gives the content the
// file already holds.
FileConversion ParseFile(const ScriptFile& file, const tvx2mxt::Options& options);

// "tvx2mxt: PATH: REASON" and a newline.
std::string ReasonLine(const std::string& path, const std::string& reason);

// The lines of a report on standard output (a batch's lines, the findings and total of a check):
// each is flushed as soon as it is written, whatever standard output is, so that a run that is
// interrupted leaves every line written so far. The first failure is kept for the end of the run.
class ReportOutput {
 public:
  void Write(const std::string& text);
  // Returns `status`, or 1 after "tvx2mxt: standard output: REASON" on standard error when a
  // line could not be written.
  int Finish(int status);

 private:
  int error_ = 0;
};
