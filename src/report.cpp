// The report of a run: what each script's conversion reported, gathered from its callbacks,
// and the report file written whole or not at all.
#include "report.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "output_file.h"
#include "string_toolkit.h"

namespace {

constexpr std::string_view kJsonEnding = ".json";
constexpr std::string_view kHtmlEnding = ".html";
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

bool IsContinuation(unsigned char c) { return c >= 0x80 && c <= 0xBF; }

// The length of the UTF-8 character that begins at `at`, or 0 when the bytes there are no
// character; `bad` is then the length of the maximal piece that begins like one (at least 1).
size_t CharacterLength(std::string_view text, size_t at, size_t& bad) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(at);
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  }
  bad = 1;
  if (length == 0 || at + 1 >= text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k) {
    if (at + k >= text.size() || !IsContinuation(byte(at + k))) {
      bad = k;
      return 0;
    }
  }
  return length;
}

// Findings in line order, those of one line in the order they were made.
void SortByLine(std::vector<ReportFinding>& findings) {
  const auto by_line = [](const ReportFinding& a, const ReportFinding& b) {
    return a.line < b.line;
  };
  if (!std::is_sorted(findings.begin(), findings.end(), by_line)) {
    std::stable_sort(findings.begin(), findings.end(), by_line);
  }
}

// Counts each line with findings under its most pressing kind (findings in line order).
void CountLinesByKind(ScriptReport& report) {
  const std::vector<ReportFinding>& findings = report.findings;
  for (size_t first = 0; first < findings.size();) {
    size_t end = first;
    size_t urgency = kKindsByUrgency.size();
    for (; end < findings.size() && findings[end].line == findings[first].line; ++end) {
      urgency = std::min(urgency, UrgencyOf(findings[end].kind));
    }
    ++report.lines_by_kind[urgency];
    first = end;
  }
}

// Points each line at its findings (both in line order).
void LinkFindings(const std::vector<ReportFinding>& findings, std::vector<ReportLine>& lines) {
  size_t at = 0;
  for (ReportLine& line : lines) {
    while (at < findings.size() && findings[at].line < line.number) ++at;
    line.first_finding = at;
    while (at < findings.size() && findings[at].line == line.number) ++at;
    line.end_finding = at;
  }
}

}  // namespace

std::optional<ReportFormat> ReportFormatOf(std::string_view path) {
  if (EndsWithNoCase(path, kJsonEnding)) return ReportFormat::kJson;
  if (EndsWithNoCase(path, kHtmlEnding)) return ReportFormat::kHtml;
  return std::nullopt;
}

void AssignCommandWord(std::string& word, std::string_view text) {
  size_t start = 0;
  while (start < text.size() && IsBlankOrTab(text[start])) ++start;
  size_t end = start;
  while (end < text.size() && !IsBlankOrTab(text[end])) ++end;
  word.assign(text, start, end - start);
  MakeLower(word);
}

std::string CommandWordOf(std::string_view text) {
  std::string word;
  AssignCommandWord(word, text);
  return word;
}

std::string Plural(long count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

std::string ValidUtf8(std::string_view text) {
  std::string valid;
  valid.reserve(text.size());
  size_t at = 0;
  while (at < text.size()) {
    // Runs of ASCII go over as they are.
    size_t ascii = at;
    while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80) ++ascii;
    valid.append(text, at, ascii - at);
    at = ascii;
    if (at == text.size()) break;
    size_t bad = 1;
    if (size_t length = CharacterLength(text, at, bad)) {
      valid.append(text, at, length);
      at += length;
    } else {
      valid.append(kReplacementCharacter);
      at += bad;
    }
  }
  return valid;
}

size_t UrgencyOf(tvx2mxt::FindingKind kind) {
  return static_cast<size_t>(std::find(kKindsByUrgency.begin(), kKindsByUrgency.end(), kind) -
                             kKindsByUrgency.begin());
}

std::string_view StatusName(ScriptStatus status) {
  switch (status) {
    case ScriptStatus::kConverted:
      return "converted";
    case ScriptStatus::kFailed:
      return "failed";
    case ScriptStatus::kSkipped:
      return "skipped";
  }
  return "";
}

std::string SectionAnchor(size_t index) { return "script-" + std::to_string(index + 1); }

ScriptRecorder::ScriptRecorder(ReportFormat format, std::string script, std::string anchor)
    : format_(format), anchor_(std::move(anchor)) {
  report_.script = std::move(script);
}

void ScriptRecorder::Attach(tvx2mxt::Options& options) {
  options.on_finding = [this,
                        previous = std::move(options.on_finding)](const tvx2mxt::Finding& finding) {
    if (previous) previous(finding);
    AddFinding(finding);
  };
  options.on_line = [this,
                     previous = std::move(options.on_line)](const tvx2mxt::LineRecord& record) {
    if (previous) previous(record);
    AddLine(record);
  };
}

void ScriptRecorder::AddFinding(const tvx2mxt::Finding& finding) {
  report_.counts.Add(finding.kind);
  ReportFinding& added = report_.findings.emplace_back();
  added.line = finding.line;
  added.kind = finding.kind;
  added.text = finding.text;
  // A segment that was not converted names its own command word; any other finding is about
  // the command word of its line, known once the line was read.
  if (finding.kind == tvx2mxt::FindingKind::kNotConverted) {
    added.command = CommandWordOf(finding.text);
  } else if (finding.line <= report_.lines &&
             static_cast<size_t>(report_.lines - finding.line) < kRecentLines) {
    added.command = recent_words_[static_cast<size_t>(finding.line) % kRecentLines];
  } else if (finding.line > report_.lines) {
    waiting_.push_back(report_.findings.size() - 1);
  }
}

void ScriptRecorder::AddLine(const tvx2mxt::LineRecord& record) {
  report_.lines = record.line;
  // The command word of a line of several commands is that of its first.
  std::string& word = recent_words_[static_cast<size_t>(record.line) % kRecentLines];
  AssignCommandWord(word, record.text);
  word.resize(std::min(word.size(), word.find(';')));
  if (!waiting_.empty()) {
    auto still = std::remove_if(waiting_.begin(), waiting_.end(), [&](size_t k) {
      if (report_.findings[k].line != record.line) return false;
      report_.findings[k].command = word;
      return true;
    });
    waiting_.erase(still, waiting_.end());
  }
  if (format_ == ReportFormat::kHtml) {
    ReportLine& line = lines_.emplace_back();
    line.number = record.line;
    line.text = record.text;
    line.output = record.output;
  }
}

void ScriptRecorder::AddClosing(std::string_view closing) {
  if (format_ == ReportFormat::kHtml) closing_ = closing;
}

ScriptReport ScriptRecorder::Converted(std::optional<std::string> output,
                                       std::optional<std::string> backup) {
  report_.status = ScriptStatus::kConverted;
  report_.output = std::move(output);
  report_.backup = std::move(backup);
  SortByLine(report_.findings);
  CountLinesByKind(report_);
  if (format_ == ReportFormat::kHtml) {
    LinkFindings(report_.findings, lines_);
    report_.rendered = HtmlSection(report_, lines_, anchor_, closing_);
    lines_ = {};
  } else {
    report_.rendered = JsonScript(report_);
  }
  return std::move(report_);
}

ScriptReport ScriptRecorder::NotConverted(ScriptStatus status, std::optional<std::string> output,
                                          std::string reason) {
  report_.status = status;
  report_.output = std::move(output);
  report_.reason = std::move(reason);
  report_.counts = {};
  report_.findings.clear();
  lines_ = {};
  report_.rendered =
      format_ == ReportFormat::kHtml ? HtmlSection(report_, lines_, anchor_) : JsonScript(report_);
  return std::move(report_);
}

ReportedScript::ReportedScript(const ReportRequest* request, std::string script,
                               std::optional<std::string> output, std::string anchor)
    : script_(std::move(script)), output_(std::move(output)) {
  if (request != nullptr) recorder_.emplace(request->format, script_, std::move(anchor));
}

void ReportedScript::Attach(tvx2mxt::Options& options) {
  if (recorder_) recorder_->Attach(options);
}

std::optional<ScriptReport> ReportedScript::Converted(std::optional<std::string> backup,
                                                      std::string_view closing) {
  if (!recorder_) return std::nullopt;
  recorder_->AddClosing(closing);
  return recorder_->Converted(output_, std::move(backup));
}

std::optional<ScriptReport> ReportedScript::Failed(const std::string& path,
                                                   const std::string& reason) {
  if (!recorder_) return std::nullopt;
  return recorder_->NotConverted(ScriptStatus::kFailed, output_,
                                 path == script_ ? reason : path + ": " + reason);
}

std::optional<ScriptReport> ReportedScript::Skipped(std::string reason) {
  if (!recorder_) return std::nullopt;
  return recorder_->NotConverted(ScriptStatus::kSkipped, output_, std::move(reason));
}

ReportTotals TotalsOf(const RunReport& run) {
  ReportTotals totals;
  std::map<std::string, long> words;
  for (const ScriptReport& script : run.scripts) {
    ++totals.scripts;
    switch (script.status) {
      case ScriptStatus::kConverted:
        ++totals.converted;
        break;
      case ScriptStatus::kFailed:
        ++totals.failed;
        break;
      case ScriptStatus::kSkipped:
        ++totals.skipped;
        break;
    }
    totals.lines += script.lines;
    if (script.NeedsAHand()) ++totals.needs_a_hand;
    AddCounts(totals.counts, script.counts);
    for (const ReportFinding& finding : script.findings) {
      if (finding.kind == tvx2mxt::FindingKind::kNotConverted) ++words[finding.command];
    }
  }
  totals.not_converted_by_command = MostFrequentFirst(words);
  return totals;
}

void AddCounts(tvx2mxt::Counts& sum, const tvx2mxt::Counts& more) {
  sum.not_converted += more.not_converted;
  sum.semicolon_lines += more.semicolon_lines;
  sum.warnings += more.warnings;
  sum.dropped += more.dropped;
}

std::vector<std::pair<std::string, long>> MostFrequentFirst(
    const std::map<std::string, long>& words) {
  std::vector<std::pair<std::string, long>> sorted(words.begin(), words.end());
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  return sorted;
}

ReportTarget::ReportTarget(const std::string& path)
    : path_(path), id_(IdOf(path)), place_(PlaceOf(path)) {}

std::optional<ReportTarget::Id> ReportTarget::IdOf(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return std::nullopt;
  return Id{static_cast<unsigned long long>(info.st_dev),
            static_cast<unsigned long long>(info.st_ino)};
}

std::string ReportTarget::PlaceOf(const std::string& path) {
  const std::string written = WrittenPath(path);
  const std::string folder = FolderOf(written);
  std::string place;
  if (char* real = realpath(folder.empty() ? "." : folder.c_str(), nullptr)) {
    place = std::string(real) + "/";
    std::free(real);
  } else {
    std::error_code error;
    place = std::filesystem::absolute(folder, error).lexically_normal().string();
  }
  return place + written.substr(folder.size());
}

bool ReportTarget::Replaces(const std::string& path) const {
  if (path == path_) return true;
  if (id_.has_value()) return IdOf(path) == id_;
  // No file yet: the same name in the same folder.
  return PlaceOf(path) == place_;
}

int WriteReport(const std::string& path, ReportFormat format, const RunReport& run) {
  AtomicOutputFile file;
  if (int error = file.Open(path)) return error;
  const auto put = [&](std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), file.stream());
  };
  if (format == ReportFormat::kJson) {
    WriteJsonReport(run, put);
  } else {
    WriteHtmlReport(run, put);
  }
  return file.Commit();
}
