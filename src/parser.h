// The script conversion driver and the command-line front end.
#pragma once

#include <cstdio>
#include <string>

// What a run of the script loop counted; read at its end for the closing commands and the
// summary.
struct ScriptCounts {
  long iNotConverted = 0;  // segments reported as not converted
  long semicolon = 0;      // lines split at semicolons
  bool journal = false;    // a converted command switched a journal on
  bool log = false;        // a converted command switched a log on
};

// Where the findings of a conversion are reported, one line each ("PATH:LINE: KIND: TEXT"):
// segments not converted, lines split at semicolons, warning lines of conversions.
struct FindingsReport {
  std::FILE* to;
  std::string path;  // the input as the user named it
};

// Converts every line of `in` into `out` (comments, conversions and reports as the script loop
// writes them, then the closing journal and log commands), reporting findings to `report` when
// one is given. Returns false when the input could not be read.
bool ConvertScript(std::FILE* in, std::FILE* out, bool original, ScriptCounts& counts,
                   const FindingsReport* report = nullptr);

// Prints the summary of what was not converted (nothing when everything was).
void PrintSummary(std::FILE* to, const ScriptCounts& counts);

// Converts the script `pFileIn` (standard input in console input mode) into `pFileOut`
// (standard output when null), echoing the original commands with `Original` and reporting the
// findings on standard error with `Warnings`. Returns 0 when the conversion ran to its end, 1
// when a file could not be opened, read or written; the reason has been printed.
int ParseFile(const char* pFileIn, const char* pFileOut, int Original, int ConsoleInput,
              int Warnings = 0);

// The option settings of the command line.
extern int Help_once;
extern int ConInput;
extern const char* InputFile;
extern const char* OutputFile;
extern int bOriginal;
extern int bWarnings;

// Case-insensitive prefix comparison of an option word with a keyword: 1 when the first
// `s1len` characters of both are equal (never for an empty word).
int CLoption(const char* s1, int s1len, const char* s2);
void PrintHelp();
void ProcessInputs(int argc, char** argv);
// Sets the option settings back to their values at program start.
void ResetOptions();

// The whole program: options, at most one conversion, the completion message. Returns the exit
// status: 1 when a conversion was asked for and failed, else 0.
int RunConverter(int argc, char** argv);
