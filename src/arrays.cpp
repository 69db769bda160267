// Array assignments: a value list given to one target becomes one element assignment per line,
// "prefix[k]=value", numbered from 0.
#include <algorithm>
#include <string>
#include <vector>

#include "converter.h"

namespace {

// After the first "= " of the text, the blanks that follow it go.
void JoinValuesToEquals(std::string& text) {
  size_t found = text.find("= ");
  if (found == std::string::npos) return;
  size_t value = text.find_first_not_of(' ', found + 1);
  if (value == std::string::npos) value = text.size();
  text.erase(found + 1, value - (found + 1));
}

bool IsSeparator(char c) { return c == ',' || c == ' '; }

// A run of commas that a blank's conversion has joined to the run before it.
constexpr long kJoined = -1;

// A stretch of commas and blanks between two values: its place in the text, and the index of
// its first comma run. A stretch with b blanks has b + 1 runs (some of them empty).
struct Gap {
  size_t begin, end;
  size_t first_run, runs;
};

}  // namespace

// Every blank from `pos` on becomes a comma, and after each such change the first ",," of the
// value list becomes ",". The blanks change one at a time, left to right; each change joins the
// comma runs on both sides of the blank into the run the gap's conversion has reached (its
// head), and the merge then shrinks the leftmost run of two or more commas. That run lies
// either among the runs before the head (which never grow again), or is the head itself, or
// lies after it (runs the conversion has not reached, which only shrink). Two cursors that only
// move forward therefore find it, and the whole text costs one pass.
void ChangeSpaceComma(std::string& string, Index pos) {
  JoinValuesToEquals(string);
  size_t from = static_cast<size_t>(std::clamp<Index>(pos, 0, Length(string)));
  if (string.find(' ', from) == std::string::npos) return;

  std::vector<Gap> gaps;
  std::vector<long> commas;  // every comma run of every gap, in text order
  for (size_t i = from; i < string.size(); ++i) {
    if (!IsSeparator(string[i])) continue;
    Gap gap{i, i, commas.size(), 1};
    commas.push_back(0);
    for (; i < string.size() && IsSeparator(string[i]); ++i) {
      if (string[i] == ',') {
        ++commas.back();
      } else {
        commas.push_back(0);
        ++gap.runs;
      }
    }
    gap.end = i;
    gaps.push_back(gap);
  }

  size_t behind = 0;  // runs before it, up to the head, hold at most one comma
  size_t ahead = 0;   // runs from the head on up to it hold at most one comma
  for (const Gap& gap : gaps) {
    const size_t head = gap.first_run;
    for (size_t run = head + 1; run < head + gap.runs; ++run) {
      commas[head] += 1 + commas[run];
      commas[run] = kJoined;
      while (behind < head && commas[behind] <= 1) ++behind;
      if (behind < head) {
        --commas[behind];
      } else if (commas[head] >= 2) {
        --commas[head];
      } else {
        ahead = std::max(ahead, head + 1);
        while (ahead < commas.size() && commas[ahead] <= 1) ++ahead;
        if (ahead < commas.size()) --commas[ahead];
      }
    }
  }

  std::string result(string, 0, from);
  size_t copied = from;
  for (const Gap& gap : gaps) {
    result.append(string, copied, gap.begin - copied);
    for (size_t run = gap.first_run; run < gap.first_run + gap.runs; ++run) {
      result.append(static_cast<size_t>(std::max(commas[run], 0L)), ',');
    }
    copied = gap.end;
  }
  result.append(string, copied, std::string::npos);
  string.swap(result);
}

// Commas before the "=" belong to the target, not to the value list: they neither count nor
// split elements.
void SortArrays(std::string& returnstring) {
  Index pos = FindString(returnstring, "=");
  if (pos == -1) return;
  ChangeSpaceComma(returnstring, pos);

  const std::string_view text = returnstring;
  const std::string_view prefix = text.substr(0, static_cast<size_t>(pos));
  std::string result;
  long count = 0;
  size_t start = static_cast<size_t>(pos) + 1;
  for (;;) {
    size_t comma = text.find(',', start);
    std::string_view element = text.substr(
        start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    result.append(prefix).append("[").append(std::to_string(count++)).append("]=");
    result.append(element).append("\n");
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  returnstring.swap(result);
}
