// The report as JSON: one object with the run's scripts, their counts and findings, and the
// totals, its fields in the order the README documents them.
#include <nlohmann/json.hpp>

#include "report.h"

namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kFormat = "tvx2mxt-report";
// Raised with every change of the format.
constexpr int kFormatVersion = 1;
// The depth of a script's object in the report: in the "scripts" array of the report's object.
constexpr int kScriptLevel = 2;

// A text from a script or a path, as valid UTF-8.
Json Text(std::string_view text) { return ValidUtf8(text); }

Json TextOrNull(const std::optional<std::string>& text) {
  return text.has_value() ? Text(*text) : Json(nullptr);
}

Json CountsObject(const tvx2mxt::Counts& counts) {
  Json object(Json::value_t::object);
  object["not_converted"] = counts.not_converted;
  object["semicolon_lines"] = counts.semicolon_lines;
  object["warnings"] = counts.warnings;
  object["dropped"] = counts.dropped;
  return object;
}

Json FindingObject(const ReportFinding& finding) {
  Json object(Json::value_t::object);
  object["line"] = finding.line;
  object["kind"] = tvx2mxt::KindName(finding.kind);
  object["text"] = Text(finding.text);
  object["command"] = Text(finding.command);
  return object;
}

Json ScriptObject(const ScriptReport& script) {
  Json object(Json::value_t::object);
  object["script"] = Text(script.script);
  object["output"] = TextOrNull(script.output);
  object["status"] = StatusName(script.status);
  object["reason"] = script.status != ScriptStatus::kConverted ? Text(script.reason) : Json();
  object["lines"] = script.lines;
  object["counts"] = CountsObject(script.counts);
  object["needs_a_hand"] = script.NeedsAHand();
  object["backup"] = TextOrNull(script.backup);
  Json& findings = object["findings"] = Json::array();
  for (const ReportFinding& finding : script.findings) findings.push_back(FindingObject(finding));
  return object;
}

// The text of a value, two blanks a level. Every text is valid UTF-8 already; a fault there
// still gives U+FFFD rather than no report.
std::string Dump(const Json& value) {
  return value.dump(2, ' ', false, Json::error_handler_t::replace);
}

// Appends a dumped value, its lines after the first indented `levels` levels deeper (a newline
// stands only between the elements of a dump: texts hold theirs as "\n").
void AppendIndented(std::string& text, std::string_view dumped, int levels) {
  const std::string indent(2 * static_cast<size_t>(levels), ' ');
  for (size_t newline; (newline = dumped.find('\n')) != std::string_view::npos;) {
    text.append(dumped.substr(0, newline + 1)).append(indent);
    dumped.remove_prefix(newline + 1);
  }
  text.append(dumped);
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

std::string JsonScript(const ScriptReport& script) {
  std::string text;
  AppendIndented(text, Dump(ScriptObject(script)), kScriptLevel);
  return text;
}

// The report is put together from the objects of its scripts, each made when its script was
// done (by the job that converted it), laid out as one dump of the whole would be.
void WriteJsonReport(const RunReport& run, const std::function<void(std::string_view)>& put) {
  std::string text = "{\n";
  const auto field = [&](std::string_view name, const Json& value) {
    text.append("  \"").append(name).append("\": ");
    AppendIndented(text, Dump(value), 1);
    text.append(",\n");
  };
  field("format", std::string(kFormat));
  field("format_version", kFormatVersion);
  field("tool_version", std::string(tvx2mxt::Version()));
  field("mode", run.check ? "check" : "convert");
  text.append("  \"scripts\": [");
  put(text);
  for (const ScriptReport& script : run.scripts) {
    put(&script == run.scripts.data() ? "\n    " : ",\n    ");
    put(script.rendered.empty() ? JsonScript(script) : script.rendered);
  }
  text = run.scripts.empty() ? "],\n" : "\n  ],\n";
  text.append("  \"total\": ");
  AppendIndented(text, Dump(TotalObject(TotalsOf(run))), 1);
  put(text.append("\n}\n"));
}

std::string JsonReport(const RunReport& run) {
  std::string text;
  WriteJsonReport(run, [&](std::string_view piece) { text.append(piece); });
  return text;
}
