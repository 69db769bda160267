// The report of a run (--report FILE.json or FILE.html): what became of every script, with its
// counts and findings, and for the page also every input line next to what it became.
//
// A ScriptRecorder hooks into a conversion's callbacks and gathers one script's part; the run
// puts the parts together in the order of its report lines, and WriteReport writes the whole in
// the format the report path asks for, replacing the file only when all of it was written.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tvx2mxt/tvx2mxt.h"

// The formats of a report, known from the ending of its path.
enum class ReportFormat { kJson, kHtml };

// ".json" or ".html" at the end of `path`, in any case; nothing for any other ending.
std::optional<ReportFormat> ReportFormatOf(std::string_view path);

// The command word of a segment of a line, as the command lookup sees it: its first word (after
// leading blanks and tabs, up to a blank or a tab), in lower case.
std::string CommandWordOf(std::string_view text);
// The same, into `word` (which keeps its room).
void AssignCommandWord(std::string& word, std::string_view text);

// "1 ONE" or "N MANY": a count with its noun.
std::string Plural(long count, std::string_view one, std::string_view many);

// `text` as valid UTF-8: each byte sequence that is no character becomes U+FFFD.
std::string ValidUtf8(std::string_view text);

// The kinds of findings, most pressing first; a line with several kinds is counted under the
// most pressing of them.
inline constexpr std::array<tvx2mxt::FindingKind, 4> kKindsByUrgency = {
    tvx2mxt::FindingKind::kNotConverted, tvx2mxt::FindingKind::kWarning,
    tvx2mxt::FindingKind::kDropped, tvx2mxt::FindingKind::kSemicolons};

// The place of `kind` in kKindsByUrgency.
std::size_t UrgencyOf(tvx2mxt::FindingKind kind);

enum class ScriptStatus { kConverted, kFailed, kSkipped };

// "converted", "failed" or "skipped".
std::string_view StatusName(ScriptStatus status);

struct ReportFinding {
  long line = 0;
  tvx2mxt::FindingKind kind = tvx2mxt::FindingKind::kNotConverted;
  std::string text;
  std::string command;  // the command word it is about, in lower case
};

// One script of the run. A failed or skipped script has no counts and no findings: nothing of
// its conversion was kept.
struct ScriptReport {
  std::string script;                 // the path as the run names it
  std::optional<std::string> output;  // the output path ("-": standard output); none: check mode
  ScriptStatus status = ScriptStatus::kConverted;
  std::string reason;  // why it failed or was skipped
  long lines = 0;      // the input lines read
  tvx2mxt::Counts counts;
  std::optional<std::string> backup;  // the previous output kept as OUTPUT~
  std::vector<ReportFinding> findings;
  // The lines with findings, each under its most pressing kind (in kKindsByUrgency order).
  std::array<long, 4> lines_by_kind{};
  // Its part of the report in the report's format (a JSON object, a section of the page), made
  // when the script was done.
  std::string rendered;

  bool NeedsAHand() const { return counts.Total() > 0; }
};

// The whole run, its scripts in the order of its report lines.
struct RunReport {
  bool check = false;  // check mode: no script was written
  std::vector<ScriptReport> scripts;
};

// A report asked for on the command line: where it goes, in what format, and what the run
// gathered for it.
struct ReportRequest {
  std::string path;
  ReportFormat format = ReportFormat::kJson;
  RunReport run;
};

// One input line with what it became and where its findings stand (page only).
struct ReportLine {
  long number = 0;
  std::string text;               // as read, without its line end
  std::string output;             // what was written for it, each output line ending with "\n"
  std::size_t first_finding = 0;  // its findings: ScriptReport::findings[first, end)
  std::size_t end_finding = 0;
};

// Gathers the report of one script from its conversion. The recorder must outlive the
// conversion that it is attached to.
class ScriptRecorder {
 public:
  // `anchor` names the script's section on the page (unique within a report).
  ScriptRecorder(ReportFormat format, std::string script, std::string anchor);
  // Attached to a conversion's callbacks, a recorder stays where it is.
  ScriptRecorder(const ScriptRecorder&) = delete;
  ScriptRecorder& operator=(const ScriptRecorder&) = delete;

  // Makes `options` pass every finding and line to this recorder too (after any callback
  // already set there).
  void Attach(tvx2mxt::Options& options);

  void AddFinding(const tvx2mxt::Finding& finding);
  void AddLine(const tvx2mxt::LineRecord& record);
  // The closing text written after the last line, which belongs to no line (page only).
  void AddClosing(std::string_view closing);

  // The report of the converted script, its part of the report made in the report's format.
  ScriptReport Converted(std::optional<std::string> output, std::optional<std::string> backup);
  // The report of a script that failed or was skipped, with the lines read so far.
  ScriptReport NotConverted(ScriptStatus status, std::optional<std::string> output,
                            std::string reason);

 private:
  // The command words of the last lines read, for findings that come after their line.
  static constexpr std::size_t kRecentLines = 256;

  ReportFormat format_;
  std::string anchor_;
  ScriptReport report_;
  std::array<std::string, kRecentLines> recent_words_;
  std::vector<std::size_t> waiting_;  // the findings that came before their line was read
  std::vector<ReportLine> lines_;     // page only
  std::string closing_;               // page only
};

// What the report says of one script of a run: gathered by a recorder from its conversion when
// a report was asked for; nothing otherwise.
class ReportedScript {
 public:
  // `request` null: no report. `output` is none in check mode; `anchor` names the section.
  ReportedScript(const ReportRequest* request, std::string script,
                 std::optional<std::string> output, std::string anchor);

  // Makes the conversion's callbacks feed the recorder too.
  void Attach(tvx2mxt::Options& options);

  // Converted; `closing` is the closing text written after its last line.
  std::optional<ScriptReport> Converted(std::optional<std::string> backup,
                                        std::string_view closing = {});
  // Failed, for `reason`, which names `path` when that is not the script itself
  // ("out/a.mxt: No space left on device").
  std::optional<ScriptReport> Failed(const std::string& path, const std::string& reason);
  // Skipped, for `reason`.
  std::optional<ScriptReport> Skipped(std::string reason);

 private:
  std::string script_;
  std::optional<std::string> output_;
  std::optional<ScriptRecorder> recorder_;
};

// The name of the section of the `index`-th script (from 0) on the page.
std::string SectionAnchor(std::size_t index);

// What the scripts of a run add up to.
struct ReportTotals {
  long scripts = 0;
  long converted = 0;
  long failed = 0;
  long skipped = 0;
  long lines = 0;
  long needs_a_hand = 0;  // scripts
  tvx2mxt::Counts counts;
  // Every command word not converted, with its count, the most frequent first (then by word).
  std::vector<std::pair<std::string, long>> not_converted_by_command;
};

ReportTotals TotalsOf(const RunReport& run);

// Adds the counts of `more` to `sum`.
void AddCounts(tvx2mxt::Counts& sum, const tvx2mxt::Counts& more);
// The command words with their counts, the most frequent first (then by word).
std::vector<std::pair<std::string, long>> MostFrequentFirst(
    const std::map<std::string, long>& words);

// The report as JSON, one object ending with a newline, passed to `put` piece by piece.
void WriteJsonReport(const RunReport& run, const std::function<void(std::string_view)>& put);
// The same report as one text.
std::string JsonReport(const RunReport& run);
// The JSON object of one script, laid out for its place in the report.
std::string JsonScript(const ScriptReport& script);
// The report as one self-contained page, passed to `put` piece by piece.
void WriteHtmlReport(const RunReport& run, const std::function<void(std::string_view)>& put);
// The same page as one text.
std::string HtmlReport(const RunReport& run);
// The page's section of one script, from its report, its lines and the closing text written
// after them.
std::string HtmlSection(const ScriptReport& script, const std::vector<ReportLine>& lines,
                        const std::string& anchor, std::string_view closing = {});

// The file a report path names, to tell whether writing the report would replace a script or an
// output of the run.
class ReportTarget {
 public:
  explicit ReportTarget(const std::string& path);
  // Whether `path` names the report's file: the same path, the same file, or the same name in
  // the same folder (for a file that does not exist yet), symbolic links followed on both sides
  // as writing them follows them (a dangling link writes the file it names).
  bool Replaces(const std::string& path) const;

 private:
  struct Id {
    unsigned long long device = 0, inode = 0;
    bool operator==(const Id& other) const {
      return device == other.device && inode == other.inode;
    }
  };
  static std::optional<Id> IdOf(const std::string& path);

  // Where writing `path` puts its file: the real path of its folder (made absolute as it is
  // written when the folder is not there yet) and its name.
  static std::string PlaceOf(const std::string& path);

  std::string path_;
  std::optional<Id> id_;
  std::string place_;
};

// "the report would overwrite a script or an output".
inline constexpr const char* kReportOverwrites = "the report would overwrite a script or an output";

// Writes the report to `path` in `format`: a temporary file renamed over the path once the whole
// report was written. Returns 0, or the errno value of the failure (the path then holds what it
// held before).
int WriteReport(const std::string& path, ReportFormat format, const RunReport& run);
