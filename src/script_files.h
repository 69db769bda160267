// Converting script files: opening the input and the output, the conversion, and the reason
// when a file cannot be read or written.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "tvx2mxt/tvx2mxt.h"

// Converts the script read from `in` into `out` (nothing is written when `out` is null),
// passing each finding to `options.on_finding` as it is made.
tvx2mxt::ScriptResult ConvertScriptFile(std::FILE* in, std::FILE* out,
                                        const tvx2mxt::Options& options);

// One script file to convert.
struct ScriptFile {
  std::string input;                  // the path as given
  bool console = false;               // the script is standard input
  std::optional<std::string> output;  // the output path; none: standard output
  bool write = true;                  // false (check mode): convert, write nothing
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
};

// Converts one script file. The output file is written only when the conversion succeeds; a
// failure leaves it as it was.
FileConversion ParseFile(const ScriptFile& file, const tvx2mxt::Options& options);

// "tvx2mxt: PATH: REASON" and a newline.
std::string ReasonLine(const std::string& path, const std::string& reason);
