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

// The texts of one script's object (paths, reasons, findings) as JSON strings, escaped by the
// library in one dump of them all, then taken one by one in the order they were added.
class EscapedTexts {
 public:
  void Add(std::string_view text) { texts_.push_back(ValidUtf8(text)); }

  // The next text, quoted and escaped.
  std::string_view Next() {
    if (dumped_.empty()) {
      dumped_ = texts_.dump(-1, ' ', false, Json::error_handler_t::replace);
      at_ = 1;  // after the "["
    }
    // A string ends at the first quote that no backslash escapes; texts are parted by ",".
    size_t end = at_ + 1;
    while (dumped_[end] != '"') end += dumped_[end] == '\\' ? 2 : 1;
    const std::string_view text = std::string_view(dumped_).substr(at_, end + 1 - at_);
    at_ = end + 2;
    return text;
  }

 private:
  Json texts_ = Json::array();
  std::string dumped_;
  size_t at_ = 0;
};

// Writes the fields of an object as a dump with two blanks a level does.
class ObjectWriter {
 public:
  ObjectWriter(std::string& out, int level) : out_(out), level_(level) {}

  void Field(std::string_view name, std::string_view value, bool last = false) {
    Indent(level_ + 1);
    out_.append("\"").append(name).append("\": ").append(value).append(last ? "\n" : ",\n");
  }
  void Field(std::string_view name, long value, bool last = false) {
    Field(name, std::to_string(value), last);
  }
  // Opens a field holding an object or an array ("{" or "[").
  void Open(std::string_view name, char bracket) {
    Indent(level_ + 1);
    out_.append("\"").append(name).append("\": ").append(1, bracket).append("\n");
  }
  void Indent(int level) { out_.append(2 * static_cast<size_t>(level), ' '); }

 private:
  std::string& out_;
  int level_;
};

std::string Quoted(std::string_view word) { return "\"" + std::string(word) + "\""; }

const char* TrueOrFalse(bool value) { return value ? "true" : "false"; }

void WriteCounts(std::string& out, int level, const tvx2mxt::Counts& counts) {
  ObjectWriter object(out, level);
  object.Open("counts", '{');
  ObjectWriter fields(out, level + 1);
  fields.Field("not_converted", counts.not_converted);
  fields.Field("semicolon_lines", counts.semicolon_lines);
  fields.Field("warnings", counts.warnings);
  fields.Field("dropped", counts.dropped, true);
  object.Indent(level + 1);
  out.append("},\n");
}

void WriteFindings(std::string& out, int level, const std::vector<ReportFinding>& findings,
                   EscapedTexts& texts) {
  ObjectWriter object(out, level);
  if (findings.empty()) {
    object.Field("findings", "[]", true);
    return;
  }
  object.Open("findings", '[');
  for (const ReportFinding& finding : findings) {
    object.Indent(level + 2);
    out.append("{\n");
    ObjectWriter fields(out, level + 2);
    fields.Field("line", finding.line);
    fields.Field("kind", Quoted(tvx2mxt::KindName(finding.kind)));
    fields.Field("text", texts.Next());
    fields.Field("command", texts.Next(), true);
    object.Indent(level + 2);
    out.append(&finding == &findings.back() ? "}\n" : "},\n");
  }
  object.Indent(level + 1);
  out.append("]\n");
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
    words.push_back(Json{{"command", ValidUtf8(command)}, {"count", count}});
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
  const bool has_reason = script.status != ScriptStatus::kConverted;
  EscapedTexts texts;
  texts.Add(script.script);
  if (script.output.has_value()) texts.Add(*script.output);
  if (has_reason) texts.Add(script.reason);
  if (script.backup.has_value()) texts.Add(*script.backup);
  for (const ReportFinding& finding : script.findings) {
    texts.Add(finding.text);
    texts.Add(finding.command);
  }

  std::string out = "{\n";
  ObjectWriter object(out, kScriptLevel);
  object.Field("script", texts.Next());
  object.Field("output", script.output.has_value() ? texts.Next() : "null");
  object.Field("status", Quoted(StatusName(script.status)));
  object.Field("reason", has_reason ? texts.Next() : "null");
  object.Field("lines", script.lines);
  WriteCounts(out, kScriptLevel, script.counts);
  object.Field("needs_a_hand", TrueOrFalse(script.NeedsAHand()));
  object.Field("backup", script.backup.has_value() ? texts.Next() : "null");
  WriteFindings(out, kScriptLevel, script.findings, texts);
  object.Indent(kScriptLevel);
  return out.append("}");
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
