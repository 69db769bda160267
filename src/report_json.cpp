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

// An object with room for `fields` fields, added in their order by Add.
Json Object(size_t fields) {
  Json object = Json::object();
  object.get_ref<Json::object_t&>().reserve(fields);
  return object;
}

// Adds a field of a new name: its place is at the end, with no search for the name.
void Add(Json& object, const char* name, Json value) {
  object.get_ref<Json::object_t&>().emplace_back(name, std::move(value));
}

Json CountsObject(const tvx2mxt::Counts& counts) {
  Json object = Object(4);
  Add(object, "not_converted", counts.not_converted);
  Add(object, "semicolon_lines", counts.semicolon_lines);
  Add(object, "warnings", counts.warnings);
  Add(object, "dropped", counts.dropped);
  return object;
}

Json FindingObject(const ReportFinding& finding) {
  Json object = Object(4);
  Add(object, "line", finding.line);
  Add(object, "kind", tvx2mxt::KindName(finding.kind));
  Add(object, "text", Text(finding.text));
  Add(object, "command", Text(finding.command));
  return object;
}

Json ScriptObject(const ScriptReport& script) {
  Json findings = Json::array();
  findings.get_ref<Json::array_t&>().reserve(script.findings.size());
  for (const ReportFinding& finding : script.findings) findings.push_back(FindingObject(finding));
  Json object = Object(9);
  Add(object, "script", Text(script.script));
  Add(object, "output", TextOrNull(script.output));
  Add(object, "status", StatusName(script.status));
  Add(object, "reason", script.status != ScriptStatus::kConverted ? Text(script.reason) : Json());
  Add(object, "lines", script.lines);
  Add(object, "counts", CountsObject(script.counts));
  Add(object, "needs_a_hand", script.NeedsAHand());
  Add(object, "backup", TextOrNull(script.backup));
  Add(object, "findings", std::move(findings));
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
