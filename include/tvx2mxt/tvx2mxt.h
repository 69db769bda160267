// tvx2mxt: converts Tavex debugger command scripts into MXT debugger command scripts.
//
// A conversion is an object of its own: the aliases a script defines, the numbering of the
// macros generated for breakpoint command lists, and the counts and findings of the run belong
// to it, so that conversions can run side by side in one process.
//
//   #include <tvx2mxt/tvx2mxt.h>
//
//   tvx2mxt::ScriptResult result;
//   std::string converted = tvx2mxt::ConvertText("b main,5\ntrace on\n", {}, &result);
//   for (const tvx2mxt::Finding& finding : result.findings)
//     std::cerr << finding.line << ": " << tvx2mxt::KindName(finding.kind) << ": "
//               << finding.text << "\n";
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tvx2mxt/version.h"  // TVX2MXT_VERSION_MAJOR, _MINOR, _PATCH and _STRING

namespace tvx2mxt {

// What a conversion reports besides the converted script.
enum class FindingKind {
  kNotConverted,  // a command (or one segment of a semicolon line) that was not converted
  kSemicolons,    // a line that was split at semicolons
  kWarning,       // a warning comment that a conversion put into the output
  kDropped,       // words of a command's arguments that its conversion does not show
};

// "not converted", "semicolons", "warning" or "dropped": the words of the findings report.
std::string_view KindName(FindingKind kind);

struct Finding {
  long line = 0;  // input line, counted from 1
  FindingKind kind = FindingKind::kNotConverted;
  std::string text;  // the segment, the line, the warning (without its "//"), or the words
};

// How many findings of each kind a conversion made.
struct Counts {
  long not_converted = 0;
  long semicolon_lines = 0;
  long warnings = 0;
  long dropped = 0;

  // Counts one more finding of `kind`.
  void Add(FindingKind kind);
  // All the findings counted.
  long Total() const { return not_converted + semicolon_lines + warnings + dropped; }
};

// What one input line became, as the conversion wrote it.
struct LineRecord {
  long line = 0;            // the input line, counted from 1
  std::string_view text;    // the line as read, without its line end
  std::string_view output;  // what was written for it, each output line ending with "\n"
};

struct Options {
  // Also write every original command, as a "//tavex:" comment before its conversion (-A).
  bool echo_original = false;
  // When set, every finding is passed here as it is made instead of being collected in
  // ScriptResult::findings (a long script then keeps no list).
  std::function<void(const Finding&)> on_finding;
  // When set, called once for every input line, in input order, after the findings of that line
  // were passed on; the texts are valid only during the call.
  std::function<void(const LineRecord&)> on_line;
};

struct ScriptResult {
  Counts counts;
  std::vector<Finding> findings;  // in input order; empty when Options::on_finding is set
  bool read_failed = false;       // the input stream failed before its end
  bool write_failed = false;      // writing the output stream failed: the output is incomplete
  // The run needs a hand: something was not converted or dropped, a line held semicolons, or a
  // conversion warned.
  bool NeedsAHand() const { return counts.Total() > 0; }
};

// What one input line becomes.
struct LineResult {
  std::string output;  // the text written for the line, each output line ending with "\n"
  std::vector<Finding> findings;
};

// One conversion run. Lines converted through the same Converter share the aliases defined so
// far and the macro numbering.
class Converter {
 public:
  explicit Converter(Options options = {});
  ~Converter();
  Converter(Converter&&) noexcept;
  Converter& operator=(Converter&&) noexcept;

  // Converts a whole script from `in` into `out`, with the closing commands at its end; this
  // ends the run, as Finish does.
  ScriptResult ConvertScript(std::istream& in, std::ostream& out);
  // Converts one line of a script (without its newline), as the next line of this run. A text
  // with newlines inside is converted line by line, each as the next line of the run, and the
  // outputs and findings of all of them are returned together; a newline at its end ends its
  // last line.
  LineResult ConvertLine(std::string_view line);
  // Ends the run: the closing text that a whole script gets at its end after its last line (the
  // commands that switch off a journal or log the script switched on), as one text whose lines
  // end with "\n"; empty when there is none. Call it once, after the last ConvertLine; a second
  // call returns "".
  std::string Finish();

 private:
  friend std::string ConvertText(std::string_view, const Options&, ScriptResult*);
  struct Run;
  std::unique_ptr<Run> run_;
};

// Converts a whole script with a conversion of its own.
ScriptResult ConvertScript(std::istream& in, std::ostream& out, const Options& options = {});

// Converts a whole script held in memory with a conversion of its own, and returns the
// converted script with its closing commands: what ConvertScript writes. The counts and
// findings go to `result` when it is given.
std::string ConvertText(std::string_view script, const Options& options = {},
                        ScriptResult* result = nullptr);

// The version of the library and the converter, TVX2MXT_VERSION_STRING ("1.1.0"), as
// `tvx2mxt --version` prints it.
std::string_view Version();

}  // namespace tvx2mxt
