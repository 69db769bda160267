// The report of a run: the helpers it is made with, what a script's conversion gives it, and the
// page's folding and marking (the written reports are read back end to end in report_run_test).
#include "report.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "report_checks.h"

using namespace std::string_literals;
using tvx2mxt::FindingKind;

namespace {

const std::string kFffd = "\xEF\xBF\xBD";

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
ScriptReport Record(const std::string& script, ReportFormat format,
                    const std::string& path = "s.tvx", const std::string& anchor = "script-1") {
  ScriptRecorder recorder(format, path, anchor);
  tvx2mxt::Options options;
  options.on_finding = [](const tvx2mxt::Finding&) {};
  recorder.Attach(options);
  std::istringstream in(script);
  std::ostringstream out;
  tvx2mxt::ConvertScript(in, out, options);
  return recorder.Converted(path + ".mxt", std::nullopt);
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
       "1 warning [go] Warning: go argument not converted: x\n1 not converted [trace] trace on\n"
       "1 semicolons [go] Go x;trace on\n",
       {1, 0, 0, 0}},
      {"\tBR flash.c:212\nstep 3 while busy\n",
       2,
       "1 warning [br] Warning: location scope not converted: flash.c\n"
       "2 warning [step] WARNING: while has been removed from step as unsupported\n"
       "2 dropped [step] busy\n",
       {0, 2, 0, 0}},
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

// The page of a run made by recorders, as a run makes it.
RunReport RecordedRun(const std::vector<std::pair<std::string, std::string>>& scripts) {
  RunReport run;
  for (const auto& [path, text] : scripts) {
    run.scripts.push_back(
        Record(text, ReportFormat::kHtml, path, SectionAnchor(run.scripts.size())));
  }
  return run;
}

std::string Repeat(const std::string& line, int times) {
  std::string text;
  for (int k = 0; k < times; ++k) text += line;
  return text;
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
