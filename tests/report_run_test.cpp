// --report end to end: the converter run on a tree of scripts, its report read back (the JSON with
// a JSON parser, the page with a strict markup reader) and held against what the same run
// printed, and the refusals and failures around the report file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "report_checks.h"

using nlohmann::json;

namespace {

const std::string kFffd = "\xEF\xBF\xBD";

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

class ReportRun : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/tvx2mxt-report-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    work_ = name;
    chmod(work_.c_str(), 0755);  // an ordinary user may look in (the read-only case)
  }
  void TearDown() override { std::system(("rm -rf '" + work_ + "'").c_str()); }

  void Write(const std::string& path, const std::string& text) {
    std::system(("mkdir -p \"$(dirname '" + work_ + "/" + path + "')\"").c_str());
    std::ofstream(work_ + "/" + path, std::ios::binary) << text;
  }
  std::string Read(const std::string& path) const {
    std::ifstream in(work_ + "/" + path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // A JSON report, laid out as the library lays out a dump of it with two blanks a level.
  json ReadJson(const std::string& path) const {
    const std::string text = Read(path);
    EXPECT_EQ(nlohmann::ordered_json::parse(text).dump(2) + "\n", text) << path;
    return json::parse(text);
  }
  bool Exists(const std::string& path) const {
    return access((work_ + "/" + path).c_str(), F_OK) == 0;
  }
  // Runs the converter in the work folder, after `prefix` (a command to run it with).
  Outcome Run(const std::string& args, const std::string& prefix = "",
              const std::string& input = "/dev/null") {
    const std::string command = "cd '" + work_ + "' && " + prefix + " '" TVX2MXT_EXE "' " + args +
                                " >.stdout 2>.stderr <'" + input + "'";
    Outcome outcome;
    const int status = std::system(command.c_str());
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.out = Read(".stdout");
    outcome.err = Read(".stderr");
    return outcome;
  }

  // A tree of scripts like those of a migration, one that cannot be read, and one beside it.
  void WriteTree() {
    Write("tree/uart.tvx",
          "| stop in the UART driver\nb uart_rx_isr,5\nb main.c:120 if n>=16\ntrace on\n");
    Write("tree/power/boot.tvx", "log boot.log\nload fw.axf\nbr flash.c:212\ngo;step\n");
    Write("tree/power/sleep.tvx", "b main\ngo\nprint x\n");
    Write("tree/hostile.tvx",
          "v <script>alert(1)</script> & \"q\"\nfoo\xFF\xC3 <b>\nunw &amp; \"a\\b\"\n\n   \nstep 3 "
          "while "
          "busy\n");
    Write("bringup.script", "r0 5\nstep 3 while busy\ntrace off\n");
  }

  std::string work_;
};

std::string Plural(long count, const std::string& one, const std::string& many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The counts as a batch line writes them.
std::string CountsWords(const json& counts) {
  return std::to_string(counts["not_converted"].get<long>()) + " not converted, " +
         Plural(counts["semicolon_lines"], "semicolon line", "semicolon lines") + ", " +
         Plural(counts["warnings"], "warning", "warnings") + ", " +
         std::to_string(counts["dropped"].get<long>()) + " dropped";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(ReportRun, JsonHoldsWhatTheBatchLinesAndTheFindingsSay) {
  WriteTree();
  const Outcome run = Run("-W -j 2 --report=./r.JSON tree bringup.script nosuch.tvx");
  ASSERT_EQ(run.status, 1) << run.err;
  const json report = ReadJson("r.JSON");
  EXPECT_EQ(report["mode"], "convert");

  // Each converted script has its batch line, and its findings are the lines of -W.
  std::vector<std::string> batch_lines;
  std::vector<std::string> finding_lines;
  for (const json& script : report["scripts"]) {
    const std::string path = script["script"];
    if (script["status"] != "converted") continue;
    batch_lines.push_back(path + " -> " + script["output"].get<std::string>() + ": " +
                          CountsWords(script["counts"]));
    for (const json& finding : script["findings"]) {
      finding_lines.push_back(path + ":" + std::to_string(finding["line"].get<long>()) + ": " +
                              finding["kind"].get<std::string>() + ": " +
                              finding["text"].get<std::string>());
    }
  }
  std::vector<std::string> printed = Lines(run.out);
  ASSERT_FALSE(printed.empty());
  const std::string total_line = printed.back();
  printed.pop_back();
  EXPECT_EQ(batch_lines, printed);
  std::vector<std::string> reported = Lines(run.err);
  ASSERT_EQ(reported.front(), "tvx2mxt: nosuch.tvx: No such file or directory");
  reported.erase(reported.begin());
  // Texts that are no UTF-8 are U+FFFD in the report, as they are not in -W.
  for (std::string& line : reported) {
    if (line.find("foo") != std::string::npos)
      line = "tree/hostile.tvx:2: not converted: foo" + kFffd + kFffd + " <b>";
  }
  EXPECT_EQ(finding_lines, reported);

  // The failure is a script of the report, and the total is the sum of the scripts.
  EXPECT_EQ(report["scripts"][0]["script"], "nosuch.tvx");
  EXPECT_EQ(report["scripts"][0]["reason"], "No such file or directory");
  std::map<std::string, long> sums;
  std::map<std::string, long> counts;
  for (const json& script : report["scripts"]) {
    ++sums["scripts"];
    ++sums[script["status"].get<std::string>()];
    sums["lines"] += script["lines"].get<long>();
    sums["needs_a_hand"] += script["needs_a_hand"].get<bool>();
    for (const auto& [name, count] : script["counts"].items()) counts[name] += count.get<long>();
  }
  EXPECT_EQ(
      sums,
      (std::map<std::string, long>{
          {"converted", 5}, {"failed", 1}, {"lines", 20}, {"needs_a_hand", 4}, {"scripts", 6}}));
  const json& total = report["total"];
  for (const auto& [name, sum] : sums) EXPECT_EQ(total[name], sum) << name;
  EXPECT_EQ(total["skipped"], 0);
  EXPECT_EQ(total["counts"], json(counts));
  EXPECT_EQ(total_line.substr(0, total_line.find(';')),
            "total: 6 scripts, 1 failure, " + CountsWords(total["counts"]));
  EXPECT_EQ(total["not_converted_by_command"],
            json::parse(R"([{"command": "trace", "count": 2}, {"command": "\"a\\b\"", "count": 1},
                     {"command": "foo\ufffd\ufffd", "count": 1}, {"command": "unw", "count": 1}])"));
}

// The README's example is what the converter writes (with the version of the day).
TEST_F(ReportRun, ReadmeExampleIsTrue) {
  std::ifstream readme(TVX2MXT_README);
  std::stringstream text;
  text << readme.rdbuf();
  const std::string start = "<!-- report-example -->\n```json\n";
  const size_t from = text.str().find(start);
  const size_t to = text.str().find("```\n<!-- end of report-example -->");
  ASSERT_NE(from, std::string::npos);
  ASSERT_NE(to, std::string::npos);
  json documented = json::parse(text.str().substr(from + start.size(), to - from - start.size()));
  Write("scripts/uart.tvx",
        "| stop in the UART driver after five frames\nb uart_rx_isr,5\nb main.c:120 if "
        "rx_count>=16\nprint $vector_catch\nlet buf = 1,2\ntrace on\n");
  Write("scripts/power/boot.tvx", "log boot.log\nload fw.axf\nbr flash.c:212\ngo;step\n");
  Run("--report run.json scripts/power/boot.tvx scripts/uart.tvx nosuch.tvx");
  json written = ReadJson("run.json");
  documented["tool_version"] = written["tool_version"];
  EXPECT_EQ(written, documented);
}

TEST_F(ReportRun, PageHasASectionPerScriptAndARowPerLine) {
  WriteTree();
  const Outcome run = Run("--report r.html tree bringup.script");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string page = Read("r.html");
  EXPECT_EQ(CheckMarkup(page), "");
  // The scripts in the order of the batch lines: hostile, power/boot, power/sleep, uart, bringup.
  EXPECT_EQ(RowsPerSection(page), (std::vector<long>{6, 4, 3, 4, 3}));
  // The journal that power/boot switched on is switched off after its last line, in a row of
  // its own.
  EXPECT_EQ(Count(page, "<tr class=\"closing\">"), 1u);
  EXPECT_NE(page.find("<td>journal off</td></tr>"), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_NE(page.find("v &lt;script&gt;alert(1)&lt;/script&gt; &amp; &quot;q&quot;"),
            std::string::npos);
  EXPECT_NE(page.find("unw &amp;amp;"), std::string::npos);
  EXPECT_NE(page.find("foo" + kFffd + kFffd + " &lt;b&gt;"), std::string::npos);
}

TEST_F(ReportRun, EmptyBatchAndBatchWhereEveryScriptFails) {
  WriteTree();
  Write("blocker", "a file where the outputs' folder would be\n");
  std::system(("mkdir '" + work_ + "/empty'").c_str());

  Outcome run = Run("--report r.json empty");
  EXPECT_EQ(run.status, 0);
  json report = ReadJson("r.json");
  EXPECT_EQ(report["scripts"], json::array());
  EXPECT_EQ(report["total"]["scripts"], 0);
  run = Run("--report r.html empty");
  EXPECT_EQ(CheckMarkup(Read("r.html")), "");

  run = Run("-O blocker --report r.json tree/power bringup.script");
  EXPECT_EQ(run.status, 1);
  report = ReadJson("r.json");
  ASSERT_EQ(report["scripts"].size(), 3u);
  for (const json& script : report["scripts"]) {
    EXPECT_EQ(script["status"], "failed") << script;
    EXPECT_EQ(script["reason"], script["output"].get<std::string>() + ": Not a directory");
  }
  EXPECT_EQ(report["total"]["failed"], 3);
  run = Run("-O blocker --report r.html tree/power bringup.script");
  const std::string page = Read("r.html");
  EXPECT_EQ(CheckMarkup(page), "");
  EXPECT_EQ(RowsPerSection(page), (std::vector<long>{0, 0, 0}));
}

TEST_F(ReportRun, CheckModeWritesTheReportAndNoScript) {
  WriteTree();
  Outcome run = Run("-C --report r.json tree");
  EXPECT_EQ(run.status, 3);
  json report = ReadJson("r.json");
  EXPECT_EQ(report["mode"], "check");
  for (const json& script : report["scripts"]) EXPECT_EQ(script["output"], nullptr);
  EXPECT_FALSE(Exists("tree/uart.mxt"));
  EXPECT_FALSE(Exists("tree/power/sleep.mxt"));

  run = Run("-C -I tree/power/sleep.tvx --report r.html");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(RowsPerSection(Read("r.html")), std::vector<long>{3});
  EXPECT_FALSE(Exists("tree/power/sleep.mxt"));
}

TEST_F(ReportRun, SingleScriptToAFileOrToStandardOutput) {
  WriteTree();
  Outcome run = Run("-I tree/uart.tvx -O uart.mxt --report r.json");
  EXPECT_EQ(run.status, 0);
  json report = ReadJson("r.json");
  ASSERT_EQ(report["scripts"].size(), 1u);
  EXPECT_EQ(report["scripts"][0]["script"], "tree/uart.tvx");
  EXPECT_EQ(report["scripts"][0]["output"], "uart.mxt");
  EXPECT_EQ(report["scripts"][0]["counts"]["not_converted"], 1);

  const std::string alone = Run("-I tree/uart.tvx").out;
  run = Run("-I - --report r.json", "", "tree/uart.tvx");
  EXPECT_EQ(run.out, alone);  // standard output holds the script and nothing else
  report = ReadJson("r.json");
  EXPECT_EQ(report["scripts"][0]["script"], "standard input");
  EXPECT_EQ(report["scripts"][0]["output"], "-");

  run = Run("-I nosuch.tvx -O x.mxt --report r.json");
  EXPECT_EQ(run.status, 1);
  report = ReadJson("r.json");
  EXPECT_EQ(report["scripts"][0]["status"], "failed");
  EXPECT_EQ(report["scripts"][0]["reason"], "No such file or directory");
}

TEST_F(ReportRun, BackupsAndSkippedScripts) {
  Write("t/a.tvx", "go\ntrace on\n");
  std::system(("cd '" + work_ + "/t' && ln a.tvx b.tvx && echo edited > a.mxt").c_str());
  const Outcome run = Run("--report r.json t");
  EXPECT_EQ(run.status, 0) << run.err;
  const json report = ReadJson("r.json");
  ASSERT_EQ(report["scripts"].size(), 2u);
  EXPECT_EQ(report["scripts"][0]["backup"], "t/a.mxt~");
  EXPECT_EQ(report["scripts"][1]["status"], "skipped");
  EXPECT_EQ(report["scripts"][1]["reason"], "same file as t/a.tvx");
  EXPECT_EQ(report["total"]["skipped"], 1);
  EXPECT_EQ(report["total"]["scripts"], 2);
}

TEST_F(ReportRun, RefusalsBeforeConverting) {
  const std::string kTry = "Try 'tvx2mxt --help' for more information.\n";
  WriteTree();
  Write("a.html", "go\n");
  Write("named.json", "go\n");
  // Links to an output that is there, to one that is not there yet, and an output that is a
  // link to the report's place.
  std::system(("cd '" + work_ + "' && touch tree/uart.mxt && ln -s tree/uart.mxt link.html && " +
               "ln -s tree/power/boot.mxt future.html && ln -s out/boot.mxt future2.html && " +
               "ln -s ../../later.json tree/power/sleep.mxt")
                  .c_str());
  struct {
    std::string args;
    std::string err;
  } const cases[] = {
      {"--report r.txt tree", "tvx2mxt: --report: r.txt must end in .json or .html\n" + kTry},
      {"--report=r tree", "tvx2mxt: --report: r must end in .json or .html\n" + kTry},
      {"-I a.html -O a.mxt --report a.html",
       "tvx2mxt: a.html: the report would overwrite a script or an output\n"},
      {"-I tree/uart.tvx -O out.json --report ./out.json",
       "tvx2mxt: ./out.json: the report would overwrite a script or an output\n"},
      {"--report named.json named.json tree",
       "tvx2mxt: named.json: the report would overwrite a script or an output\n"},
      {"--report link.html tree",
       "tvx2mxt: link.html: the report would overwrite a script or an output\n"},
      {"--report future.html tree/power",
       "tvx2mxt: future.html: the report would overwrite a script or an output\n"},
      {"-O out --report future2.html tree/power",  // a folder the run would make
       "tvx2mxt: future2.html: the report would overwrite a script or an output\n"},
      {"--report ./later.json tree/power",
       "tvx2mxt: ./later.json: the report would overwrite a script or an output\n"},
  };
  for (const auto& c : cases) {
    const Outcome run = Run(c.args);
    EXPECT_EQ(run.status, 2) << c.args;
    EXPECT_EQ(run.err, c.err) << c.args;
    EXPECT_EQ(run.out, "") << c.args;
    EXPECT_FALSE(Exists("a.mxt") || Exists("out.json") || Exists("tree/power/boot.mxt") ||
                 Exists("named.json.mxt") || Exists("later.json") || Exists("out"))
        << c.args;
    EXPECT_EQ(Read("tree/uart.mxt"), "") << c.args;
  }
}

TEST_F(ReportRun, AReportThatCannotBeWrittenFailsTheRunAndLosesNoScript) {
  WriteTree();
  Outcome run = Run("--report nosuch/r.json tree/power");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tvx2mxt: nosuch/r.json: No such file or directory\n");
  EXPECT_TRUE(Exists("tree/power/boot.mxt"));
  EXPECT_FALSE(Exists("nosuch"));

  run = Run("-C --report tree/power/r.html/x.json tree/power");
  EXPECT_EQ(run.status, 1);  // a failure wins over "needs a hand"

  // A read-only report, as an ordinary user (the superuser may write any file).
  Write("ro.json", "kept\n");
  chmod((work_ + "/ro.json").c_str(), 0444);
  std::string as_user;
  if (geteuid() == 0) {
    std::system(("chown -R nobody '" + work_ + "'").c_str());
    as_user = "setpriv --reuid=nobody --regid=nogroup --clear-groups";
    const std::string can = as_user + " test -x '" TVX2MXT_EXE "' -a -w '" + work_ + "'";
    if (std::system(can.c_str()) != 0) GTEST_SKIP() << "no ordinary user to run as";
  }
  run = Run("-C --report ro.json tree/power/sleep.tvx", as_user);
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(run.err, "tvx2mxt: ro.json: Permission denied\n");
  EXPECT_EQ(Read("ro.json"), "kept\n");
}

}  // namespace
