// The report as one self-contained page: a summary with the totals and a row per script (the
// scripts that need the most hands first, each with a bar of the shares of its lines by kind of
// finding), then a section per script with its lines side by side with what they became, the
// lines with findings marked by kind and the runs of lines without findings folded away.
//
// The page needs no script and no other file; every element is closed, so that it also reads
// as XML.
#include <algorithm>
#include <numeric>

#include "report.h"

namespace {

using tvx2mxt::FindingKind;

// Lines shown before and after a line with findings; a run of other lines at least
// kShortestFold long is folded.
constexpr long kContext = 2;
constexpr size_t kShortestFold = 4;

// The class that colours a kind, and what the legend says of it.
struct KindStyle {
  FindingKind kind;
  const char* css_class;
  const char* meaning;
};

constexpr KindStyle kKindStyles[] = {
    {FindingKind::kNotConverted, "k-nc",
     "a command that has no MXT conversion; it stays in the script as a comment"},
    {FindingKind::kWarning, "k-warn",
     "the conversion wrote a warning comment: MXT does it differently or not at all"},
    {FindingKind::kDropped, "k-drop",
     "words of the command that its conversion does not show: check what became of them"},
    {FindingKind::kSemicolons, "k-semi",
     "a line of several commands, converted piece by piece at its semicolons"},
};

const KindStyle& StyleOf(FindingKind kind) {
  return *std::find_if(std::begin(kKindStyles), std::end(kKindStyles),
                       [&](const KindStyle& style) { return style.kind == kind; });
}

// The kinds in the order of kKindsByUrgency.
const KindStyle& StyleAt(size_t urgency) { return StyleOf(kKindsByUrgency[urgency]); }

constexpr std::string_view kStyleSheet = R"css(
:root { --ink: #1f2328; --muted: #59636e; --rule: #d1d9e0; --paper: #ffffff; --page: #f3f5f7;
  --nc: #cf222e; --nc-bg: #ffebe9; --warn: #bf8700; --warn-bg: #fff8c5;
  --drop: #8250df; --drop-bg: #fbefff; --semi: #0969da; --semi-bg: #ddf4ff;
  --clean: #dcebe0; --ok: #1a7f37; }
* { box-sizing: border-box; }
body { margin: 0; background: var(--page); color: var(--ink);
  font: 14px/1.45 system-ui, -apple-system, "Segoe UI", "DejaVu Sans", sans-serif; }
header.page { background: #24292f; color: #ffffff; padding: 18px 28px; }
header.page h1 { margin: 0; font-size: 22px; font-weight: 600; }
header.page p { margin: 4px 0 0; color: #d1d9e0; }
main { padding: 20px 28px 40px; }
section { background: var(--paper); border: 1px solid var(--rule); border-radius: 8px;
  padding: 16px 20px; margin: 0 0 20px; }
h2 { font-size: 17px; margin: 0 0 10px; font-weight: 600; }
h2 a { color: inherit; text-decoration: none; }
h3 { font-size: 14px; margin: 18px 0 8px; color: var(--muted); font-weight: 600; }
.tiles { display: flex; flex-wrap: wrap; gap: 10px; margin: 0 0 12px; }
.tile { border: 1px solid var(--rule); border-top: 4px solid #818b98; border-radius: 6px;
  padding: 6px 14px; min-width: 110px; }
.tile b { display: block; font-size: 22px; font-weight: 600; }
.tile span { color: var(--muted); }
.tile.ok { border-top-color: var(--ok); }
.tile.hand { border-top-color: var(--warn); }
.tile.failed { border-top-color: var(--nc); }
.tile.k-nc { border-top-color: var(--nc); } .tile.k-warn { border-top-color: var(--warn); }
.tile.k-drop { border-top-color: var(--drop); } .tile.k-semi { border-top-color: var(--semi); }
.legend { display: grid; grid-template-columns: max-content 1fr; gap: 4px 12px; margin: 0;
  color: var(--muted); }
.legend dt { color: var(--ink); font-weight: 600; white-space: nowrap; }
.legend dd { margin: 0; }
.swatch { display: inline-block; width: 12px; height: 12px; border-radius: 2px;
  vertical-align: -1px; margin-right: 6px; }
.swatch.k-nc, .bar .k-nc { background: var(--nc); }
.swatch.k-warn, .bar .k-warn { background: var(--warn); }
.swatch.k-drop, .bar .k-drop { background: var(--drop); }
.swatch.k-semi, .bar .k-semi { background: var(--semi); }
.swatch.clean { background: var(--clean); border: 1px solid #b7d3be; }
table { border-collapse: collapse; }
table.scripts { width: 100%; }
table.scripts th { text-align: left; color: var(--muted); font-weight: 600;
  border-bottom: 2px solid var(--rule); padding: 4px 8px; white-space: nowrap; }
table.scripts td { border-bottom: 1px solid #eef1f4; padding: 4px 8px; vertical-align: middle; }
table.scripts td.n, table.scripts th.n { text-align: right; font-variant-numeric: tabular-nums; }
table.scripts td.n.zero { color: #afb8c1; }
table.scripts tr:hover td { background: #f6f8fa; }
.path { font-family: ui-monospace, "DejaVu Sans Mono", Menlo, Consolas, monospace;
  font-size: 13px; overflow-wrap: break-word; }
a { color: #0969da; }
.status { display: inline-block; border-radius: 10px; padding: 0 8px; font-size: 12px;
  font-weight: 600; white-space: nowrap; border: 1px solid transparent; }
.status.clean { color: var(--ok); border-color: #aceebb; background: #dafbe1; }
.status.hand { color: #7d4e00; border-color: #f5d977; background: #fff8c5; }
.status.failed { color: var(--nc); border-color: #ffcecb; background: #ffebe9; }
.status.skipped { color: var(--muted); border-color: var(--rule); background: #f6f8fa; }
.share { display: flex; align-items: center; gap: 8px; }
.bar { display: flex; width: 220px; min-width: 220px; height: 12px; border-radius: 3px;
  overflow: hidden; background: var(--clean); }
.bar span { display: block; height: 100%; }
.share small { color: var(--muted); white-space: nowrap; }
.reason { color: var(--nc); }
.skipped-reason { color: var(--muted); }
.counts { color: var(--muted); margin: 0 0 10px; }
.counts b { color: var(--ink); }
table.lines { width: 100%; table-layout: fixed; }
table.lines col.num { width: 4.5em; }
table.lines th { text-align: left; color: var(--muted); font-weight: 600; padding: 4px 8px;
  border-bottom: 2px solid var(--rule); }
table.lines th.num { text-align: right; }
table.lines td { padding: 2px 8px; border-top: 1px solid #eef1f4; vertical-align: top;
  font-family: ui-monospace, "DejaVu Sans Mono", Menlo, Consolas, monospace; font-size: 12.5px;
  white-space: pre-wrap; overflow-wrap: anywhere; tab-size: 4; }
table.lines td:first-child { text-align: right; color: var(--muted); white-space: nowrap;
  font-variant-numeric: tabular-nums; border-left: 4px solid transparent;
  font-family: inherit; font-size: 13px; }
tr.k-nc td { background: var(--nc-bg); } tr.k-nc td:first-child { border-left-color: var(--nc); }
tr.k-warn td { background: var(--warn-bg); }
tr.k-warn td:first-child { border-left-color: var(--warn); }
tr.k-drop td { background: var(--drop-bg); }
tr.k-drop td:first-child { border-left-color: var(--drop); }
tr.k-semi td { background: var(--semi-bg); }
tr.k-semi td:first-child { border-left-color: var(--semi); }
ul.findings { list-style: none; margin: 3px 0 2px; padding: 0; white-space: normal;
  font-family: system-ui, -apple-system, "Segoe UI", "DejaVu Sans", sans-serif; }
ul.findings li { margin: 1px 0; font-size: 12.5px; }
ul.findings .kind { display: inline-block; color: #ffffff; border-radius: 3px; padding: 0 5px;
  margin-right: 6px; font-size: 11.5px; font-weight: 600; }
ul.findings .k-nc .kind { background: var(--nc); } ul.findings .k-warn .kind { background: var(--warn); }
ul.findings .k-drop .kind { background: var(--drop); } ul.findings .k-semi .kind { background: var(--semi); }
details.fold { margin: 0; }
details.fold summary { cursor: pointer; color: var(--muted); padding: 3px 8px 3px 4.9em;
  border-top: 1px solid #eef1f4; background: #fafbfc; font-size: 12.5px; }
details.fold[open] summary { border-bottom: 1px dashed var(--rule); }
tr.closing td:nth-child(2) { color: var(--muted); font-style: italic;
  font-family: system-ui, -apple-system, "Segoe UI", "DejaVu Sans", sans-serif; }
p.back { margin: 10px 0 0; font-size: 12.5px; }
p.empty { color: var(--muted); margin: 0; }
p.how { color: var(--muted); margin: 0 0 12px; max-width: 60em; }
)css";

// Writes the page into one text, piece by piece.
class Page {
 public:
  explicit Page(const std::function<void(std::string_view)>& put) : put_(put) {}
  ~Page() { Flush(); }
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  Page& operator<<(std::string_view markup) {
    text_.append(markup);
    if (text_.size() >= kPiece) Flush();
    return *this;
  }
  Page& operator<<(long number) { return *this << std::string_view(std::to_string(number)); }
  // A text from a script or a path: escaped, valid UTF-8, control characters shown.
  Page& Text(std::string_view text);

  void Flush() {
    if (!text_.empty()) put_(text_);
    text_.clear();
  }

 private:
  static constexpr size_t kPiece = 1 << 16;
  const std::function<void(std::string_view)>& put_;
  std::string text_;
};

// Appends `text` escaped for the page: the characters of markup as references, control
// characters as their pictures (U+2400 and on; a tab and a newline stay), bytes that are no
// UTF-8 as U+FFFD.
void AppendEscaped(std::string& out, std::string_view text) {
  const bool ascii = std::all_of(text.begin(), text.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  const std::string valid = ascii ? std::string() : ValidUtf8(text);
  if (!ascii) text = valid;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      case '\t':
      case '\n':
        out += c;
        break;
      default:
        if (byte < 0x20) {
          out += "\xE2\x90";
          out += static_cast<char>(0x80 + byte);
        } else if (byte == 0x7F) {
          out += "\xE2\x90\xA1";
        } else {
          out += c;
        }
    }
  }
}

Page& Page::Text(std::string_view text) {
  AppendEscaped(text_, text);
  if (text_.size() >= kPiece) Flush();
  return *this;
}

// The badge of a script: what it asks of a reviewer.
void WriteStatus(Page& page, const ScriptReport& script) {
  if (script.status == ScriptStatus::kFailed) {
    page << "<span class=\"status failed\">failed</span>";
  } else if (script.status == ScriptStatus::kSkipped) {
    page << "<span class=\"status skipped\">skipped</span>";
  } else if (script.NeedsAHand()) {
    page << "<span class=\"status hand\">needs a hand</span>";
  } else {
    page << "<span class=\"status clean\">clean</span>";
  }
}

long CountOf(const tvx2mxt::Counts& counts, FindingKind kind) {
  switch (kind) {
    case FindingKind::kNotConverted:
      return counts.not_converted;
    case FindingKind::kSemicolons:
      return counts.semicolon_lines;
    case FindingKind::kWarning:
      return counts.warnings;
    case FindingKind::kDropped:
      return counts.dropped;
  }
  return 0;
}

// What a kind's count is called in the counts line and the tiles.
std::string_view CountName(FindingKind kind, long count) {
  switch (kind) {
    case FindingKind::kNotConverted:
      return "not converted";
    case FindingKind::kSemicolons:
      return count == 1 ? "semicolon line" : "semicolon lines";
    case FindingKind::kWarning:
      return count == 1 ? "warning" : "warnings";
    case FindingKind::kDropped:
      return "dropped";
  }
  return "";
}

// A share of a script's lines as a width, in percent with one decimal.
std::string Percent(long part, long whole) {
  const long tenths = whole > 0 ? (part * 1000 + whole / 2) / whole : 0;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "%";
}

// The bar of a script's lines with findings, by kind, and its words.
void WriteShare(Page& page, const ScriptReport& script) {
  if (script.status != ScriptStatus::kConverted) {
    page << "<span class=\""
         << (script.status == ScriptStatus::kFailed ? "reason" : "skipped-reason") << "\">";
    page.Text(script.reason) << "</span>";
    return;
  }
  const long marked = std::accumulate(script.lines_by_kind.begin(), script.lines_by_kind.end(), 0L);
  std::string title;
  for (size_t urgency = 0; urgency < kKindsByUrgency.size(); ++urgency) {
    const long lines = script.lines_by_kind[urgency];
    if (lines == 0) continue;
    if (!title.empty()) title += ", ";
    title += Plural(lines, "line", "lines") + " " +
             std::string(tvx2mxt::KindName(kKindsByUrgency[urgency]));
  }
  if (title.empty()) title = "no line with a finding";
  page << "<div class=\"share\"><div class=\"bar\" title=\"";
  page.Text(title) << "\">";
  for (size_t urgency = 0; urgency < kKindsByUrgency.size(); ++urgency) {
    const long lines = script.lines_by_kind[urgency];
    if (lines == 0) continue;
    page << "<span class=\"" << StyleAt(urgency).css_class
         << "\" style=\"width: " << Percent(lines, script.lines) << "\"></span>";
  }
  page << "</div><small>" << marked << " of " << Plural(script.lines, "line", "lines")
       << "</small></div>";
}

// The order of the summary: failed scripts, then those with the most findings, then the clean
// ones, then the skipped ones; otherwise the order of the run.
std::vector<size_t> SummaryOrder(const RunReport& run) {
  std::vector<size_t> order(run.scripts.size());
  std::iota(order.begin(), order.end(), 0);
  const auto rank = [](const ScriptReport& script) {
    return script.status == ScriptStatus::kFailed    ? 0
           : script.status == ScriptStatus::kSkipped ? 2
                                                     : 1;
  };
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const ScriptReport& first = run.scripts[a];
    const ScriptReport& second = run.scripts[b];
    if (rank(first) != rank(second)) return rank(first) < rank(second);
    return first.counts.Total() > second.counts.Total();
  });
  return order;
}

void WriteTile(Page& page, std::string_view css_class, long number, std::string_view label) {
  page << "<div class=\"tile " << css_class << "\"><b>" << number << "</b><span>" << label
       << "</span></div>";
}

void WriteHead(Page& page, const RunReport& run, const ReportTotals& totals) {
  page << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n"
       << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n"
       << "<title>tvx2mxt report: " << Plural(totals.scripts, "script", "scripts") << ", "
       << totals.needs_a_hand << " " << (totals.needs_a_hand == 1 ? "needs" : "need")
       << " a hand</title>\n<style>" << kStyleSheet << "</style>\n</head>\n<body>\n"
       << "<header class=\"page\" id=\"top\">\n<h1>Tavex to MXT conversion report</h1>\n<p>"
       << "tvx2mxt " << tvx2mxt::Version() << " · "
       << (run.check ? "check mode: no script was written" : "scripts converted") << " · "
       << Plural(totals.scripts, "script", "scripts") << ", "
       << Plural(totals.lines, "line", "lines") << "</p>\n</header>\n<main>\n";
}

void WriteTotals(Page& page, const ReportTotals& totals) {
  page << "<div class=\"tiles\">";
  WriteTile(page, "", totals.scripts, totals.scripts == 1 ? "script" : "scripts");
  WriteTile(page, "ok", totals.converted - totals.needs_a_hand, "clean");
  WriteTile(page, "hand", totals.needs_a_hand,
            totals.needs_a_hand == 1 ? "needs a hand" : "need a hand");
  WriteTile(page, "failed", totals.failed, "failed");
  if (totals.skipped > 0) WriteTile(page, "", totals.skipped, "skipped");
  WriteTile(page, "", totals.lines, totals.lines == 1 ? "line" : "lines");
  page << "</div>\n<div class=\"tiles\">";
  for (const KindStyle& style : kKindStyles) {
    const long count = CountOf(totals.counts, style.kind);
    WriteTile(page, style.css_class, count, CountName(style.kind, count));
  }
  page << "</div>\n";
}

void WriteLegend(Page& page) {
  page << "<dl class=\"legend\">";
  for (const KindStyle& style : kKindStyles) {
    page << "<dt><span class=\"swatch " << style.css_class << "\"></span>"
         << tvx2mxt::KindName(style.kind) << "</dt><dd>" << style.meaning << "</dd>";
  }
  page << "<dt><span class=\"swatch clean\"></span>no finding</dt><dd>a line that converted "
          "without a finding</dd></dl>\n";
}

void WriteScriptRows(Page& page, const RunReport& run) {
  if (run.scripts.empty()) {
    page << "<p class=\"empty\">The run had no script.</p>\n";
    return;
  }
  page << "<table class=\"scripts\">\n<thead><tr><th>Script</th><th>Status</th>"
          "<th class=\"n\">Lines</th>";
  for (const KindStyle& style : kKindStyles) {
    page << "<th class=\"n\">" << CountName(style.kind, 2) << "</th>";
  }
  page << "<th>Lines with findings</th></tr></thead>\n<tbody>\n";
  for (size_t index : SummaryOrder(run)) {
    const ScriptReport& script = run.scripts[index];
    page << "<tr><td><a class=\"path\" href=\"#" << SectionAnchor(index) << "\">";
    page.Text(script.script) << "</a></td><td>";
    WriteStatus(page, script);
    page << "</td><td class=\"n\">" << script.lines << "</td>";
    for (const KindStyle& style : kKindStyles) {
      const long count = CountOf(script.counts, style.kind);
      page << "<td class=\"n" << (count == 0 ? " zero" : "") << "\">" << count << "</td>";
    }
    page << "<td>";
    WriteShare(page, script);
    page << "</td></tr>\n";
  }
  page << "</tbody>\n</table>\n";
}

void WriteMostOften(Page& page, const ReportTotals& totals) {
  if (totals.not_converted_by_command.empty()) return;
  constexpr size_t kShown = 10;
  page << "<h3>Most often not converted</h3>\n<p>";
  const auto& words = totals.not_converted_by_command;
  for (size_t k = 0; k < words.size() && k < kShown; ++k) {
    if (k > 0) page << ", ";
    page << "<code class=\"path\">";
    page.Text(words[k].first.empty() ? "(empty)" : words[k].first)
        << "</code> (" << words[k].second << ")";
  }
  if (words.size() > kShown)
    page << ", and " << static_cast<long>(words.size() - kShown) << " more";
  page << "</p>\n";
}

void WriteSummary(Page& page, const RunReport& run, const ReportTotals& totals) {
  page << "<section class=\"summary\">\n<h2>Summary</h2>\n<p class=\"how\">Every script of the "
          "run has a section below: each Tavex line beside the MXT text it became, the lines "
          "with findings coloured by kind with the findings beneath them, and the runs of lines "
          "without findings folded (click to open them). A script needs a hand when it has any "
          "finding.</p>\n";
  WriteTotals(page, totals);
  WriteLegend(page);
  WriteMostOften(page, totals);
  page << "<h3>Scripts, those that need the most hands first</h3>\n";
  WriteScriptRows(page, run);
  page << "</section>\n";
}

// The most pressing kind among a line's findings.
FindingKind MostPressing(const std::vector<ReportFinding>& findings, const ReportLine& line) {
  size_t urgency = kKindsByUrgency.size() - 1;
  for (size_t k = line.first_finding; k < line.end_finding; ++k) {
    urgency = std::min(urgency, UrgencyOf(findings[k].kind));
  }
  return kKindsByUrgency[urgency];
}

void WriteLineRow(Page& page, const ScriptReport& script, const ReportLine& line) {
  const bool marked = line.end_finding > line.first_finding;
  page << "<tr class=\"line";
  if (marked) page << " " << StyleOf(MostPressing(script.findings, line)).css_class;
  page << "\"><td>" << line.number << "</td><td>";
  page.Text(line.text);
  if (marked) {
    page << "<ul class=\"findings\">";
    for (size_t k = line.first_finding; k < line.end_finding; ++k) {
      const ReportFinding& finding = script.findings[k];
      page << "<li class=\"" << StyleOf(finding.kind).css_class << "\"><span class=\"kind\">"
           << tvx2mxt::KindName(finding.kind) << "</span>";
      page.Text(finding.text) << "</li>";
    }
    page << "</ul>";
  }
  std::string_view output = line.output;
  if (!output.empty() && output.back() == '\n') output.remove_suffix(1);
  page << "</td><td>";
  page.Text(output) << "</td></tr>\n";
}

constexpr std::string_view kColumns = "<colgroup><col class=\"num\"/><col/><col/></colgroup>";

void WriteRows(Page& page, const ScriptReport& script, const std::vector<ReportLine>& lines,
               size_t first, size_t end) {
  page << "<table class=\"lines\">" << kColumns << "<tbody>\n";
  for (size_t k = first; k < end; ++k) WriteLineRow(page, script, lines[k]);
  page << "</tbody></table>\n";
}

// Which lines stay in view: those with findings and their neighbours; a run of other lines too
// short to be worth folding stays as well.
std::vector<bool> LinesInView(const std::vector<ReportLine>& lines) {
  std::vector<bool> in_view(lines.size(), false);
  for (size_t k = 0; k < lines.size(); ++k) {
    if (lines[k].end_finding == lines[k].first_finding) continue;
    const size_t from = k >= static_cast<size_t>(kContext) ? k - kContext : 0;
    const size_t to = std::min(lines.size(), k + kContext + 1);
    for (size_t near = from; near < to; ++near) in_view[near] = true;
  }
  for (size_t k = 0; k < lines.size();) {
    size_t end = k;
    while (end < lines.size() && in_view[end] == in_view[k]) ++end;
    if (!in_view[k] && end - k < kShortestFold)
      std::fill(in_view.begin() + k, in_view.begin() + end, true);
    k = end;
  }
  return in_view;
}

void WriteLines(Page& page, const ScriptReport& script, const std::vector<ReportLine>& lines) {
  page << "<table class=\"lines\">" << kColumns
       << "<thead><tr><th class=\"num\">Line</th><th>Tavex</th><th>MXT</th></tr></thead></table>\n";
  const std::vector<bool> in_view = LinesInView(lines);
  for (size_t k = 0; k < lines.size();) {
    size_t end = k;
    while (end < lines.size() && in_view[end] == in_view[k]) ++end;
    if (in_view[k]) {
      WriteRows(page, script, lines, k, end);
    } else {
      page << "<details class=\"fold\"><summary>";
      const long folded = static_cast<long>(end - k);
      if (end - k == lines.size()) {
        page << "All " << Plural(folded, "line", "lines") << ", none with a finding";
      } else {
        page << "Lines " << lines[k].number << "–" << lines[end - 1].number << " ("
             << Plural(folded, "line", "lines") << ") without findings";
      }
      page << "</summary>\n";
      WriteRows(page, script, lines, k, end);
      page << "</details>\n";
    }
    k = end;
  }
}

// The closing commands written after the last line (a journal or log the script left on is
// switched off), in a row of their own: they belong to no line.
void WriteClosing(Page& page, std::string_view closing) {
  while (!closing.empty() && closing.front() == '\n') closing.remove_prefix(1);
  while (!closing.empty() && closing.back() == '\n') closing.remove_suffix(1);
  if (closing.empty()) return;
  page << "<table class=\"lines\">" << kColumns
       << "<tbody>\n<tr class=\"closing\"><td>end</td><td>(written after the last line)</td><td>";
  page.Text(closing) << "</td></tr>\n</tbody></table>\n";
}

void WriteCounts(Page& page, const ScriptReport& script) {
  page << "<p class=\"counts\"><b>" << Plural(script.lines, "line", "lines") << "</b>";
  for (const KindStyle& style : kKindStyles) {
    const long count = CountOf(script.counts, style.kind);
    page << " · " << count << " " << CountName(style.kind, count);
  }
  if (script.backup.has_value()) {
    page << " · previous output kept as <span class=\"path\">";
    page.Text(*script.backup) << "</span>";
  }
  page << "</p>\n";
}

}  // namespace

std::string HtmlSection(const ScriptReport& script, const std::vector<ReportLine>& lines,
                        const std::string& anchor, std::string_view closing) {
  std::string section;
  const std::function<void(std::string_view)> put = [&](std::string_view text) {
    section.append(text);
  };
  Page page(put);
  page << "<section class=\"script\" id=\"" << anchor << "\">\n<h2>";
  WriteStatus(page, script);
  page << " <a class=\"path\" href=\"#" << anchor << "\">";
  page.Text(script.script) << "</a>";
  if (script.output.has_value()) {
    page << " → <span class=\"path\">";
    page.Text(*script.output == "-" ? "standard output" : *script.output) << "</span>";
  }
  page << "</h2>\n";
  if (script.status != ScriptStatus::kConverted) {
    page << "<p class=\"" << (script.status == ScriptStatus::kFailed ? "reason" : "skipped-reason")
         << "\">" << StatusName(script.status) << ": ";
    page.Text(script.reason) << "</p>\n";
  } else {
    WriteCounts(page, script);
    if (lines.empty()) {
      page << "<p class=\"empty\">The script has no line.</p>\n";
    } else {
      WriteLines(page, script, lines);
    }
    WriteClosing(page, closing);
  }
  page << "<p class=\"back\"><a href=\"#top\">↑ Summary</a></p>\n</section>\n";
  page.Flush();
  return section;
}

void WriteHtmlReport(const RunReport& run, const std::function<void(std::string_view)>& put) {
  const ReportTotals totals = TotalsOf(run);
  Page page(put);
  WriteHead(page, run, totals);
  WriteSummary(page, run, totals);
  page.Flush();
  for (const ScriptReport& script : run.scripts) {
    put(script.rendered.empty()
            ? HtmlSection(script, {}, SectionAnchor(&script - run.scripts.data()))
            : script.rendered);
  }
  page << "</main>\n</body>\n</html>\n";
}

std::string HtmlReport(const RunReport& run) {
  std::string text;
  WriteHtmlReport(run, [&](std::string_view piece) { text.append(piece); });
  return text;
}
