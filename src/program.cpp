// The program: reads the command line, refuses the words no option takes, prints the messages it
// asks for where they belong, and runs one conversion (-I), a check (-C) or a batch (paths
// without -I).
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "batch.h"
#include "command_line.h"
#include "report.h"
#include "script_files.h"
#include "string_toolkit.h"

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsageError = 2;
constexpr int kNeedsAHand = 3;
constexpr int kOutOfMemory = 2;

void Print(std::FILE* to, const std::string& text) { std::fwrite(text.data(), 1, text.size(), to); }

// The summary of what was not converted (nothing when everything was).
void PrintSummary(std::FILE* to, const tvx2mxt::Counts& counts) {
  if (counts.not_converted > 0 || counts.semicolon_lines > 0) {
    std::fprintf(to, "\n\n// Summary of conversions\n// ======================\n//\n");
  }
  if (counts.not_converted == 1) {
    std::fprintf(to, "// %i command was not converted.\n", 1);
  } else if (counts.not_converted > 1) {
    std::fprintf(to, "// %ld commands were not converted.\n", counts.not_converted);
  }
  if (counts.semicolon_lines == 1) {
    std::fprintf(to,
                 "// %i original line contained semicolons, its conversions could contain "
                 "errors.\n",
                 1);
  } else if (counts.semicolon_lines > 1) {
    std::fprintf(to,
                 "// %ld original lines contained semicolons, their conversions could contain "
                 "errors.\n",
                 counts.semicolon_lines);
  }
}

// The failure's message goes where the run's messages go, its reason to standard error.
int ReportFailure(const FileFailure& failure, std::FILE* messages) {
  Print(messages, failure.message);
  std::fflush(messages);
  if (failure.system_error) Print(stderr, ReasonLine(failure.path, failure.reason));
  return kFailed;
}

ScriptFile SingleScript(const CommandLine& command_line) {
  ScriptFile file;
  file.input = *command_line.input;
  file.console = command_line.console_input;
  if (command_line.output.has_value() && *command_line.output != "-") {
    file.output = command_line.output;
  }
  file.write = !command_line.check;
  file.backup = command_line.backup;
  return file;
}

// The path that findings name: the script as the user named it.
std::string ReportPath(const CommandLine& command_line) {
  return command_line.console_input ? "standard input" : *command_line.input;
}

// What the report says of the script of a -I run.
ReportedScript SingleScriptReport(const ReportRequest* request, const CommandLine& command_line,
                                  const std::string& script) {
  std::optional<std::string> output;
  if (!command_line.check) output = command_line.output.value_or("-");
  return ReportedScript(request, script, std::move(output), SectionAnchor(0));
}

// Adds the report of the script of a -I run to the run's report (when one was asked for).
void Keep(ReportRequest* request, std::optional<ScriptReport> script) {
  if (script.has_value()) request->run.scripts.push_back(std::move(*script));
}

// -I: converts one script; with -W its findings go to standard error as they are made.
int ConvertSingleScript(const CommandLine& command_line, std::FILE* messages,
                        ReportRequest* request) {
  const ScriptFile file = SingleScript(command_line);
  const std::string report_path = ReportPath(command_line);
  ReportedScript recorded = SingleScriptReport(request, command_line, report_path);
  tvx2mxt::Options options;
  options.echo_original = command_line.echo_original;
  options.on_finding = [&](const tvx2mxt::Finding& finding) {
    if (command_line.warnings) Print(stderr, FindingLine(report_path, finding));
  };
  recorded.Attach(options);
  FileConversion conversion = ParseFile(file, options);
  if (conversion.failure) {
    const FileFailure& failure = *conversion.failure;
    Keep(request, recorded.Failed(failure.path, failure.reason));
    return ReportFailure(failure, messages);
  }

  PrintSummary(stdout, conversion.result.counts);
  if (!file.output.has_value()) {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
      int error = errno != 0 ? errno : EIO;
      std::clearerr(stdout);  // reported here, once
      const FileFailure failure{"\nCould not write the file standard output\n", "standard output",
                                std::strerror(error)};
      Keep(request, recorded.Failed(failure.path, failure.reason));
      return ReportFailure(failure, stderr);
    }
    Print(stderr,
          "Conversion completed, please examine standard output for any commands that could "
          "not be converted.\n");
  } else {
    std::fprintf(messages,
                 "Conversion completed, please examine %s for any commands that could not be "
                 "converted.\n",
                 file.output->c_str());
  }
  Keep(request, recorded.Converted(conversion.backup, conversion.closing));
  return kDone;
}

// -C with -I: converts without writing, prints every finding and the total on standard output,
// each line as soon as it is made.
int CheckSingleScript(const CommandLine& command_line, std::FILE* messages,
                      ReportRequest* request) {
  const std::string report_path = ReportPath(command_line);
  ReportedScript recorded = SingleScriptReport(request, command_line, report_path);
  Tally tally;
  ReportOutput report;
  tvx2mxt::Options options;
  options.echo_original = command_line.echo_original;
  options.on_finding = [&](const tvx2mxt::Finding& finding) {
    tally.Add(finding);
    report.Write(FindingLine(report_path, finding));
  };
  recorded.Attach(options);
  FileConversion conversion = ParseFile(SingleScript(command_line), options);
  if (conversion.failure) {
    const FileFailure& failure = *conversion.failure;
    Keep(request, recorded.Failed(failure.path, failure.reason));
    return report.Finish(ReportFailure(failure, messages));
  }
  Keep(request, recorded.Converted(std::nullopt, conversion.closing));
  tally.scripts = 1;
  report.Write(TotalLine(tally));
  return report.Finish(tally.counts.Total() > 0 ? kNeedsAHand : kDone);
}

// Words that no option takes or knows: each is named, then how to get help; nothing else
// happens.
int RefuseWords(const CommandLine& command_line) {
  for (const std::string& error : command_line.word_errors) {
    Print(stderr, "tvx2mxt: " + error + "\n");
  }
  Print(stderr, "Try 'tvx2mxt --help' for more information.\n");
  return kUsageError;
}

// --help and --version print on standard output and end the run.
int PrintImmediately(const CommandLine& command_line) {
  Print(stdout, command_line.immediate == Immediate::kLongHelp ? std::string(kLongHelp)
                                                               : LongVersionLine());
  return ReportOutput().Finish(kDone);
}

// A path of a batch that names an MXT script ("NAME.mxt" in any case, a file or nothing yet) is
// refused: "tvx2mxt old.tvx new.mxt" means an output, which only -O names.
bool IsOutputScriptPath(const std::string& path) {
  constexpr std::string_view kEnding = ".mxt";
  if (!EndsWithNoCase(path, kEnding)) return false;
  struct stat info;
  return stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode);
}

int RefuseOutputScriptPaths(const CommandLine& command_line) {
  int status = kDone;
  for (const std::string& path : command_line.paths) {
    if (!IsOutputScriptPath(path)) continue;
    Print(stderr, ReasonLine(path, "is an MXT script; to name an output use -O"));
    status = kUsageError;
  }
  return status;
}

// The report asked for, or nothing; a usage error when its path has an ending of no format.
std::optional<ReportRequest> AskedReport(const CommandLine& command_line, bool& usage_error) {
  if (!command_line.report.has_value()) return std::nullopt;
  const std::string& path = *command_line.report;
  std::optional<ReportFormat> format = ReportFormatOf(path);
  if (!format.has_value()) {
    Print(stderr, ReasonLine("--report", path + " must end in .json or .html"));
    Print(stderr, "Try 'tvx2mxt --help' for more information.\n");
    usage_error = true;
    return std::nullopt;
  }
  return ReportRequest{path, *format, {command_line.check, {}}};
}

// Whether the report of a -I run would replace its script or its output.
bool ReportReplacesAFile(const CommandLine& command_line, const std::string& report) {
  const ReportTarget target(report);
  const ScriptFile file = SingleScript(command_line);
  return (!file.console && target.Replaces(file.input)) ||
         (file.write && file.output.has_value() && target.Replaces(*file.output));
}

// -I: one script converted or checked.
int RunSingleScript(const CommandLine& command_line, std::FILE* messages, ReportRequest* request) {
  if (request != nullptr && ReportReplacesAFile(command_line, request->path)) {
    Print(stderr, ReasonLine(request->path, kReportOverwrites));
    return kUsageError;
  }
  return command_line.check ? CheckSingleScript(command_line, messages, request)
                            : ConvertSingleScript(command_line, messages, request);
}

// Writes the report at the end of the run: a report that cannot be written fails the run.
int FinishReport(const ReportRequest* request, int status) {
  if (request == nullptr || status == kUsageError) return status;
  if (int error = WriteReport(request->path, request->format, request->run)) {
    Print(stderr, ReasonLine(request->path, std::strerror(error)));
    return kFailed;
  }
  return status;
}

}  // namespace

int RunConverter(int argc, char** argv) {
  const CommandLine command_line = ProcessInputs(argc, argv);
  if (!command_line.word_errors.empty()) return RefuseWords(command_line);
  if (command_line.immediate != Immediate::kNone) return PrintImmediately(command_line);
  // A report path of no known format is a usage error: nothing else happens.
  bool report_error = false;
  std::optional<ReportRequest> report = AskedReport(command_line, report_error);
  if (report_error) return kUsageError;
  ReportRequest* request = report.has_value() ? &*report : nullptr;
  // Standard output holds nothing but the script and its summary when the script goes there.
  std::FILE* messages =
      command_line.ScriptToStandardOutput() && !command_line.usage_error ? stderr : stdout;
  PrintMessages(command_line, messages);
  const bool nothing_named = !command_line.input.has_value() && command_line.paths.empty();
  if (nothing_named && !command_line.help_asked) PrintHelp(messages);
  std::fflush(messages);

  if (command_line.usage_error) return kUsageError;
  if (int refused = RefuseOutputScriptPaths(command_line)) return refused;
  int status = kDone;
  try {
    if (command_line.input.has_value()) {
      status = FinishReport(request, RunSingleScript(command_line, messages, request));
    } else if (!command_line.paths.empty()) {
      // The outputs of a batch are files: "-O -" names no folder for them.
      if (!command_line.check && command_line.output == "-") {
        Print(stderr, ReasonLine("-O -", "a batch writes its outputs into a folder"));
        return kUsageError;
      }
      status = FinishReport(request, RunBatch(command_line, request));
    }
  } catch (const std::bad_alloc&) {
    std::fputs("\nmalloc error", messages);
    std::fflush(messages);
    return kOutOfMemory;
  }
  // Whatever went to standard output and could not be written makes the run a failure.
  return ReportOutput().Finish(status);
}
