// The report as JSON: one object with the run's scripts, their counts and findings, and the
// totals, its fields in the order the README documents them.
#include <nlohmann/json.hpp>

#include "report.h"

namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kFormat = "tvx2mxt-report";
// Raised with every change of the format.
constexpr int kFormatVersion = 1;

// A text from a script or a path, as valid UTF-8.
Json Text(std::string_view text) { return ValidUtf8(text); }

Json TextOrNull(const std::optional<std::string>& text) {
  return text.has_value() ? Text(*text) : Json(nullptr);
}

Json CountsObject(const tvx2mxt::Counts& counts) {
  return Json{{"not_converted", counts.not_converted},
              {"semicolon_lines", counts.semicolon_lines},
              {"warnings", counts.warnings},
              {"dropped", counts.dropped}};
}

Json FindingObject(const ReportFinding& finding) {
  return Json{{"line", finding.line},
              {"kind", std::string(tvx2mxt::KindName(finding.kind))},
              {"text", Text(finding.text)},
              {"command", Text(finding.command)}};
}

Json ScriptObject(const ScriptReport& script) {
  Json findings = Json::array();
  for (const ReportFinding& finding : script.findings) findings.push_back(FindingObject(finding));
  const bool has_reason = script.status != ScriptStatus::kConverted;
  return Json{{"script", Text(script.script)},
              {"output", TextOrNull(script.output)},
              {"status", std::string(StatusName(script.status))},
              {"reason", has_reason ? Text(script.reason) : Json(nullptr)},
              {"lines", script.lines},
              {"counts", CountsObject(script.counts)},
              {"needs_a_hand", script.NeedsAHand()},
              {"backup", TextOrNull(script.backup)},
              {"findings", std::move(findings)}};
}

Json TotalObject(const ReportTotals& totals) {
  Json words = Json::array();
  for (const auto& [command, count] : totals.not_converted_by_command) {
    words.push_back(Json{{"command", Text(command)}, {"count", count}});
  }
  return Json{{"scripts", totals.scripts},
              {"converted", totals.converted},
              {"failed", totals.failed},
              {"skipped", totals.skipped},
              {"lines", totals.lines},
              {"counts", CountsObject(totals.counts)},
              {"needs_a_hand", totals.needs_a_hand},
              {"not_converted_by_command", std::move(words)}};
}

}  // namespace

std::string JsonReport(const RunReport& run) {
  Json scripts = Json::array();
  for (const ScriptReport& script : run.scripts) scripts.push_back(ScriptObject(script));
  Json report{{"format", std::string(kFormat)},
              {"format_version", kFormatVersion},
              {"tool_version", std::string(tvx2mxt::Version())},
              {"mode", run.check ? "check" : "convert"},
              {"scripts", std::move(scripts)},
              {"total", TotalObject(TotalsOf(run))}};
  // Every text is valid UTF-8 already; a fault there still gives U+FFFD rather than no report.
  return report.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
