// The report of a run: the helpers it is made with, what a script's conversion gives it, and the
// JSON and the page it is written as (read back with a JSON parser and a strict markup checker).
#include "report.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "report_checks.h"

using namespace std::string_literals;
using nlohmann::json;
using tvx2mxt::FindingKind;

namespace {

const std::string kFffd = "\xEF\xBF\xBD";

TEST(Report, FormatComesFromTheEnding) {
  struct {
    const char* path;
    std::optional<ReportFormat> format;
  } const cases[] = {
      {"run.json", ReportFormat::kJson},
      {"out/RUN.JSON", ReportFormat::kJson},
      {"r.Html", ReportFormat::kHtml},
      {".html", ReportFormat::kHtml},
      {"r.htm", std::nullopt},
      {"r.json.txt", std::nullopt},
      {"json", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ReportFormatOf(c.path), c.format) << c.path;
}

TEST(Report, CommandWordIsTheFirstWordInLowerCase) {
  struct {
    const char* text;
    const char* word;
  } const cases[] = {
      {"trace on", "trace"}, {"  TRACE on", "trace"},
      {"\tB\tmain", "b"},    {"go;step", "go;step"},
      {"p/%x pc", "p/%x"},   {"", ""},
      {" \t ", ""},          {"Q", "q"},
  };
  for (const auto& c : cases) EXPECT_EQ(CommandWordOf(c.text), c.word) << c.text;
}

TEST(Report, InvalidUtf8BecomesReplacementCharacters) {
  struct {
    std::string bytes;
    std::string valid;
  } const cases[] = {
      {"plain", "plain"},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {"a\xFF"
       "b",
       "a" + kFffd + "b"},
      {"\xE2\x82", kFffd},                                  // cut short: one piece
      {"\xE2\x82z", kFffd + "z"},                           // cut short before ASCII
      {"\xC0\xAF", kFffd + kFffd},                          // overlong
      {"\xED\xA0\x80", kFffd + kFffd + kFffd},              // a surrogate
      {"\xF4\x90\x80\x80", kFffd + kFffd + kFffd + kFffd},  // above U+10FFFF
      {"\xF0\x9F\x98", kFffd},
      {"\x80\x80", kFffd + kFffd},
      {"nul\0ok"s, "nul\0ok"s},
  };
  for (const auto& c : cases) EXPECT_EQ(ValidUtf8(c.bytes), c.valid) << c.bytes;
}

// A script converted with a recorder attached, as a run does.
ScriptReport Record(const std::string& script, ReportFormat format) {
  ScriptRecorder recorder(format, "s.tvx", "script-1");
  tvx2mxt::Options options;
  options.on_finding = [](const tvx2mxt::Finding&) {};
  recorder.Attach(options);
  std::istringstream in(script);
  std::ostringstream out;
  tvx2mxt::ConvertScript(in, out, options);
  return recorder.Converted("s.mxt", std::nullopt);
}

std::string FindingsOf(const ScriptReport& report) {
  std::string text;
  for (const ReportFinding& f : report.findings) {
    text += std::to_string(f.line) + " " + std::string(tvx2mxt::KindName(f.kind)) + " [" +
            f.command + "] " + f.text + "\n";
  }
  return text;
}

TEST(Report, RecorderTakesCountsFindingsAndCommandWords) {
  struct {
    std::string script;
    long lines;
    std::string findings;
    std::array<long, 4> lines_by_kind;  // not converted, warning, dropped, semicolons
  } const cases[] = {
      {"", 0, "", {0, 0, 0, 0}},
      {"go\nwhere\n", 2, "", {0, 0, 0, 0}},
      {"go\nTrace on\n", 2, "2 not converted [trace] Trace on\n", {1, 0, 0, 0}},
      // A not-converted segment names its own word; the line's other findings name the line's.
      {"Go x;trace on\n",
       1,
       "1 dropped [go] x\n1 not converted [trace] trace on\n1 semicolons [go] Go x;trace on\n",
       {1, 0, 0, 0}},
      {"\tBR flash.c:212\nstep 3 while busy\n",
       2,
       "1 dropped [br] flash.c\n"
       "2 warning [step] WARNING: while has been removed from step as unsupported\n"
       "2 dropped [step] busy\n",
       {0, 1, 1, 0}},
      {"b main;g", 1, "1 semicolons [b] b main;g\n", {0, 0, 0, 1}},
  };
  for (const auto& c : cases) {
    for (ReportFormat format : {ReportFormat::kJson, ReportFormat::kHtml}) {
      const ScriptReport report = Record(c.script, format);
      EXPECT_EQ(report.lines, c.lines) << c.script;
      EXPECT_EQ(FindingsOf(report), c.findings) << c.script;
      EXPECT_EQ(report.lines_by_kind, c.lines_by_kind) << c.script;
      EXPECT_EQ(report.counts.Total(), static_cast<long>(report.findings.size())) << c.script;
      EXPECT_EQ(report.rendered[0], format == ReportFormat::kJson ? '{' : '<') << c.script;
    }
  }
}

// Findings that come after their line (a command that takes later lines with it reports at its
// first line) still get that line's command word; a finding whose line never came gets none.
TEST(Report, LateAndEarlyFindingsGetTheirLinesWord) {
  ScriptRecorder recorder(ReportFormat::kHtml, "s.tvx", "script-1");
  const auto line = [&](long number, std::string_view text, std::string_view output) {
    recorder.AddLine({number, text, output});
  };
  const auto finding = [&](long number, FindingKind kind, std::string text) {
    recorder.AddFinding({number, kind, std::move(text)});
  };
  line(1, "B f do {", "");
  line(2, "  go", "");
  finding(1, FindingKind::kDropped, "f");
  line(3, "}", "macro\n");
  finding(4, FindingKind::kWarning, "NOTE: x");
  line(4, "Where x", "where\n");
  finding(9, FindingKind::kDropped, "y");
  const ScriptReport report = recorder.Converted("s.mxt", std::nullopt);
  EXPECT_EQ(FindingsOf(report), "1 dropped [b] f\n4 warning [where] NOTE: x\n9 dropped [] y\n");
  EXPECT_EQ(report.lines, 4);
}

TEST(Report, FailedAndSkippedScriptsKeepNoCountsOrFindings) {
  ScriptRecorder recorder(ReportFormat::kJson, "s.tvx", "script-1");
  recorder.AddFinding({1, FindingKind::kNotConverted, "foo"});
  recorder.AddLine({1, "foo", "//x\n"});
  const ScriptReport failed =
      recorder.NotConverted(ScriptStatus::kFailed, "s.mxt", "s.mxt: No space left on device");
  EXPECT_EQ(failed.status, ScriptStatus::kFailed);
  EXPECT_EQ(failed.lines, 1);
  EXPECT_EQ(failed.counts.Total(), 0);
  EXPECT_TRUE(failed.findings.empty());
  EXPECT_FALSE(failed.NeedsAHand());
}

ScriptReport Script(std::string path, ScriptStatus status, long lines, tvx2mxt::Counts counts,
                    std::vector<ReportFinding> findings = {}) {
  ScriptReport script;
  script.script = std::move(path);
  script.output = script.script + ".mxt";
  script.status = status;
  if (status != ScriptStatus::kConverted) script.reason = "why";
  script.lines = lines;
  script.counts = counts;
  script.findings = std::move(findings);
  return script;
}

TEST(Report, JsonReadsBackWithTotalsThatAreTheSums) {
  RunReport run;
  run.scripts.push_back(Script("a.tvx", ScriptStatus::kConverted, 10, {2, 1, 0, 1},
                               {{3, FindingKind::kNotConverted, "trace on", "trace"},
                                {4, FindingKind::kSemicolons, "go;x", "go"},
                                {5, FindingKind::kNotConverted, "unw", "unw"},
                                {6, FindingKind::kDropped, "busy", "step"}}));
  run.scripts.push_back(Script("b\xFF.tvx", ScriptStatus::kConverted, 4, {1, 0, 0, 0},
                               {{1, FindingKind::kNotConverted, "Trace <&\"\x01\xC3", "trace"}}));
  run.scripts.push_back(Script("c.tvx", ScriptStatus::kFailed, 0, {}));
  run.scripts.push_back(Script("d.tvx", ScriptStatus::kSkipped, 0, {}));
  run.scripts.push_back(Script("e.tvx", ScriptStatus::kConverted, 7, {}));
  run.scripts.back().backup = "e.mxt~";

  const std::string text = JsonReport(run);
  const json report = json::parse(text);  // throws on anything that is not JSON
  // Laid out as one dump of the whole, two blanks a level.
  EXPECT_EQ(nlohmann::ordered_json::parse(text).dump(2) + "\n", text);
  EXPECT_EQ(report["format"], "tvx2mxt-report");
  EXPECT_EQ(report["format_version"], 1);
  EXPECT_EQ(report["tool_version"], std::string(tvx2mxt::Version()));
  EXPECT_EQ(report["mode"], "convert");
  const json& scripts = report["scripts"];
  ASSERT_EQ(scripts.size(), 5u);
  EXPECT_EQ(scripts[1]["script"], "b" + kFffd + ".tvx");
  EXPECT_EQ(scripts[1]["findings"][0]["text"], "Trace <&\"\x01" + kFffd);
  EXPECT_EQ(scripts[0]["findings"][1],
            json::parse(R"({"line": 4, "kind": "semicolons", "text": "go;x", "command": "go"})"));
  EXPECT_EQ(scripts[0]["reason"], nullptr);
  EXPECT_EQ(scripts[2]["status"], "failed");
  EXPECT_EQ(scripts[2]["reason"], "why");
  EXPECT_EQ(scripts[3]["status"], "skipped");
  EXPECT_EQ(scripts[4]["backup"], "e.mxt~");
  EXPECT_EQ(scripts[0]["backup"], nullptr);

  json sums = {{"scripts", 0}, {"converted", 0}, {"failed", 0},
               {"skipped", 0}, {"lines", 0},     {"needs_a_hand", 0}};
  json counts = {{"not_converted", 0}, {"semicolon_lines", 0}, {"warnings", 0}, {"dropped", 0}};
  for (const json& script : scripts) {
    sums["scripts"] = sums["scripts"].get<long>() + 1;
    sums[script["status"].get<std::string>()] =
        sums[script["status"].get<std::string>()].get<long>() + 1;
    sums["lines"] = sums["lines"].get<long>() + script["lines"].get<long>();
    sums["needs_a_hand"] = sums["needs_a_hand"].get<long>() + (script["needs_a_hand"] ? 1 : 0);
    long findings = 0;
    for (auto& [name, count] : script["counts"].items()) {
      counts[name] = counts[name].get<long>() + count.get<long>();
      findings += count.get<long>();
    }
    EXPECT_EQ(script["needs_a_hand"], findings > 0) << script["script"];
  }
  const json& total = report["total"];
  for (auto& [name, sum] : sums.items()) EXPECT_EQ(total[name], sum) << name;
  EXPECT_EQ(total["counts"], counts);
  EXPECT_EQ(total["not_converted_by_command"],
            json::parse(R"([{"command": "trace", "count": 2}, {"command": "unw", "count": 1}])"));
}

TEST(Report, JsonOfAnEmptyCheckRun) {
  RunReport run;
  run.check = true;
  const std::string text = JsonReport(run);
  EXPECT_EQ(nlohmann::ordered_json::parse(text).dump(2) + "\n", text);
  const json report = json::parse(text);
  EXPECT_EQ(report["mode"], "check");
  EXPECT_EQ(report["scripts"], json::array());
  EXPECT_EQ(report["total"]["scripts"], 0);
  EXPECT_EQ(report["total"]["not_converted_by_command"], json::array());
}

// The page of a run made by recorders, as a run makes it.
RunReport RecordedRun(const std::vector<std::pair<std::string, std::string>>& scripts) {
  RunReport run;
  for (const auto& [path, text] : scripts) {
    ScriptRecorder recorder(ReportFormat::kHtml, path, SectionAnchor(run.scripts.size()));
    tvx2mxt::Options options;
    options.on_finding = [](const tvx2mxt::Finding&) {};
    recorder.Attach(options);
    std::istringstream in(text);
    std::ostringstream out;
    tvx2mxt::ConvertScript(in, out, options);
    run.scripts.push_back(recorder.Converted(path + ".mxt", std::nullopt));
  }
  return run;
}

std::string Repeat(const std::string& line, int times) {
  std::string text;
  for (int k = 0; k < times; ++k) text += line;
  return text;
}

TEST(Report, PageIsWellFormedWithASectionPerScriptAndARowPerLine) {
  const RunReport run = RecordedRun({
      {"clean.tvx", Repeat("go\n", 30)},
      {"mixed.tvx", Repeat("go\n", 12) + "trace on\n" + Repeat("where\n", 12) + "b main;g\n"},
      {"hostile<script>.tvx", "v <script>alert(1)</script> & \"x\"\nfoo\xFF\x01\rbar\n"},
      {"empty.tvx", ""},
  });
  const std::string page = HtmlReport(run);
  EXPECT_EQ(CheckMarkup(page), "");
  EXPECT_EQ(Count(page, "<section class=\"script\""), 4u);
  const std::vector<long> rows = RowsPerSection(page);
  EXPECT_EQ(rows, (std::vector<long>{30, 26, 2, 0}));
  EXPECT_NE(page.find("<meta charset=\"utf-8\"/>"), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);  // no script, and none let in
  EXPECT_NE(page.find("v &lt;script&gt;alert(1)&lt;/script&gt; &amp; &quot;x&quot;"),
            std::string::npos);
  EXPECT_NE(page.find("foo" + kFffd +
                      "\xE2\x90\x81\xE2\x90\x8D"
                      "bar"),
            std::string::npos);
  EXPECT_EQ(page.find("src="), std::string::npos);  // nothing loaded
  EXPECT_EQ(page.find("http"), std::string::npos);
}

TEST(Report, PageFoldsRunsOfCleanLinesAndMarksFindingsByKind) {
  const RunReport run = RecordedRun({
      {"a.tvx",
       Repeat("go\n", 10) + "trace on\n" + Repeat("go\n", 3) + "b main;g\n" + Repeat("go\n", 10)},
      {"b.tvx", Repeat("where\n", 5)},
  });
  const std::string& section = run.scripts[0].rendered;
  // Lines 1-8 fold; 9-17 stand around the findings of lines 11 and 15; 18-25 fold.
  EXPECT_EQ(Count(section, "<details"), 2u);
  EXPECT_NE(section.find("Lines 1–8"), std::string::npos);
  EXPECT_NE(section.find("Lines 18–25"), std::string::npos);
  EXPECT_EQ(Count(section, "<tr class=\"line k-nc\">"), 1u);
  EXPECT_EQ(Count(section, "<tr class=\"line k-semi\">"), 1u);
  EXPECT_EQ(Count(section, "<span class=\"kind\">not converted</span>trace on"), 1u);
  EXPECT_EQ(Count(run.scripts[1].rendered, "<details"), 1u);

  // The summary lists the script with findings first, its bar split by the kinds of its lines.
  const std::string page = HtmlReport(RecordedRun({{"b.tvx", "go\n"}, {"a.tvx", "trace\ngo\n"}}));
  EXPECT_LT(page.find("href=\"#script-2\""), page.find("href=\"#script-1\""));
  EXPECT_NE(page.find("<span class=\"k-nc\" style=\"width: 50.0%\"></span>"), std::string::npos);
}

TEST(Report, PageOfAnEmptyRunAndOfFailures) {
  RunReport run;
  EXPECT_EQ(CheckMarkup(HtmlReport(run)), "");
  run.scripts.push_back(FailedScript("x<.tvx", "x.mxt", "No such file & more", ReportFormat::kHtml,
                                     SectionAnchor(0)));
  const std::string page = HtmlReport(run);
  EXPECT_EQ(CheckMarkup(page), "");
  EXPECT_EQ(RowsPerSection(page), std::vector<long>{0});
  EXPECT_NE(page.find("failed: No such file &amp; more"), std::string::npos);
}

// The checker itself finds what it is there to find.
TEST(Report, MarkupCheckerFindsFaults) {
  struct {
    const char* page;
    bool well_formed;
  } const cases[] = {
      {"<!DOCTYPE html>\n<html><p a=\"1\">x &amp; &#39;</p><br/></html>", true},
      {"<html><p>x</html>", false},
      {"<html><p>x</p>", false},
      {"<html>a < b</html>", false},
      {"<html>a & b</html>", false},
      {"<html><p a=\"x\"y\">z</p></html>", false},
      {"<html><meta charset=\"utf-8\"></html>", false},
      {"<html></html><p></p>", false},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckMarkup(c.page).empty(), c.well_formed) << c.page;
}

}  // namespace
