// Batch conversion: every script found under the paths of the command line, each converted as
// it would be alone, several at once, with one report line per script and a total.
#pragma once

#include <map>
#include <string>

#include "command_line.h"
#include "report.h"
#include "tvx2mxt/tvx2mxt.h"

// What a run counted, with the command words most often not converted.
struct Tally {
  // The scripts converted or failed (a path that failed counts as a failed script; a skipped
  // script, the same file again, does not count here).
  long scripts = 0;
  long failed = 0;
  long skipped = 0;  // scripts that are the same file as another of the batch
  tvx2mxt::Counts counts;
  std::map<std::string, long> not_converted_words;

  void Add(const tvx2mxt::Finding& finding);
  // Adds the counts and command words of one script.
  void Merge(const Tally& script);
};

// One finding as compilers and editors write them: "PATH:LINE: KIND: TEXT" and a newline.
std::string FindingLine(const std::string& path, const tvx2mxt::Finding& finding);
// "N not converted, M semicolon lines, K warnings, D dropped".
std::string CountsText(const tvx2mxt::Counts& counts);
// "total: S scripts, F failures, K skipped, COUNTS" (failures and skipped only when there are
// any) and the command words most often not converted (up to ten).
std::string TotalLine(const Tally& tally);

// The output path of a script: its name with the ending ".tvx" (any case) replaced by ".mxt",
// or ".mxt" appended to a name without that ending.
std::string OutputName(const std::string& script);

// Converts every script under the paths of `command_line`, and gathers the report of the run
// into `report` when one was asked for. Returns the exit status (2 when the report would
// replace a script or an output: nothing was converted then).
int RunBatch(const CommandLine& command_line, ReportRequest* report = nullptr);
