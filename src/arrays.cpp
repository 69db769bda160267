// Array assignments: a value list given to one target becomes one element assignment per line,
// "prefix[k]=value", numbered from 0.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
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
constexpr std::int32_t kJoined = -1;

// A stretch of commas and blanks between two values: its place in the text, and the index of
// its first comma run. A stretch with b blanks has b + 1 runs (some of them empty).
struct Gap {
  std::uint32_t begin, end;
  std::uint32_t first_run, runs;
};

// Reads a text from its start and tells which of its commas separate values: a comma inside
// double quotes (an odd number of them before it) or inside parentheses (the depth counted from
// the start of the text, quotes included, never below 0) belongs to one value.
class ValueCommas {
 public:
  // Whether `c`, the next character of the text, is a comma that separates values.
  bool Separates(char c) {
    bool separates = c == ',' && !quoted_ && depth_ == 0;
    if (c == '"') quoted_ = !quoted_;
    if (c == '(') ++depth_;
    if (c == ')' && depth_ > 0) --depth_;
    return separates;
  }

 private:
  bool quoted_ = false;
  size_t depth_ = 0;
};

// Index of the first comma of the text that separates values, or -1.
Index FindValueComma(std::string_view text) {
  ValueCommas commas;
  for (size_t i = 0; i < text.size(); ++i) {
    if (commas.Separates(text[i])) return static_cast<Index>(i);
  }
  return -1;
}

bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The number of decimal digits at the start of `text`.
size_t DigitsLength(std::string_view text) {
  size_t length = 0;
  while (length < text.size() && IsDigit(text[length])) ++length;
  return length;
}

// Length of the number literal at the start of `text` ("0x" or "0X" and hex digits, decimal
// digits, or decimal digits, "." and decimal digits; no sign) when it runs up to a blank or the
// end; 0 otherwise.
size_t NumberLiteralLength(std::string_view text) {
  size_t length = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    length = 2;
    while (length < text.size() && IsHexDigit(text[length])) ++length;
    if (length == 2) return 0;
  } else {
    length = DigitsLength(text);
    if (length > 0 && CharAt(text, static_cast<Index>(length)) == '.') {
      const size_t fraction = DigitsLength(text.substr(length + 1));
      length = fraction > 0 ? length + 1 + fraction : 0;
    }
  }
  return length == text.size() || text[length] == ' ' ? length : 0;
}

// A text without a comma whose first "=" is followed, to its end, by blanks and then two or
// more number literals separated by blanks (blanks after the last one aside): a value list
// written without commas.
bool IsBlankSeparatedNumberList(std::string_view text) {
  if (Contains(text, ",")) return false;
  size_t at = text.find('=');
  if (at == std::string_view::npos) return false;
  at = text.find_first_not_of(' ', at + 1);
  int literals = 0;
  while (at != std::string_view::npos) {
    size_t length = NumberLiteralLength(text.substr(at));
    if (length == 0) return false;
    ++literals;
    at = text.find_first_not_of(' ', at + length);
  }
  return literals >= 2;
}

}  // namespace

// Every blank from `pos` on becomes a comma, and after each such change the first ",," of the
// value list becomes ",". The blanks change one at a time, left to right; each change joins the
// comma runs on both sides of the blank into the run the gap's conversion has reached (its
// head), and the merge then shrinks the leftmost run of two or more commas. That run lies
// either among the runs before the head (which never grow again), or is the head itself, or
// lies after it (runs the conversion has not reached, which only shrink). Two cursors that only
// move forward therefore find it, and the whole text costs one pass.
void ChangeSpaceComma(std::string& text, Index pos) {
  JoinValuesToEquals(text);
  size_t from = static_cast<size_t>(std::clamp<Index>(pos, 0, Length(text)));
  if (text.find(' ', from) == std::string::npos) return;

  // Places in a text of a line are far below 4 GiB, and so are the commas of a run.
  auto place = [](size_t i) { return static_cast<std::uint32_t>(i); };
  std::vector<Gap> gaps;
  std::vector<std::int32_t> commas;  // every comma run of every gap, in text order
  for (size_t i = from; i < text.size(); ++i) {
    if (!IsSeparator(text[i])) continue;
    Gap gap{place(i), place(i), place(commas.size()), 1};
    commas.push_back(0);
    for (; i < text.size() && IsSeparator(text[i]); ++i) {
      if (text[i] == ',') {
        ++commas.back();
      } else {
        commas.push_back(0);
        ++gap.runs;
      }
    }
    gap.end = place(i);
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

  std::string result(text, 0, from);
  size_t copied = from;
  for (const Gap& gap : gaps) {
    result.append(text, copied, gap.begin - copied);
    for (size_t run = gap.first_run; run < gap.first_run + gap.runs; ++run) {
      result.append(static_cast<size_t>(std::max(commas[run], 0)), ',');
    }
    copied = gap.end;
  }
  result.append(text, copied, std::string::npos);
  text.swap(result);
}

bool IsArrayAssignment(std::string_view text) {
  return FindValueComma(text) > 9 || IsBlankSeparatedNumberList(text);
}

// Commas before the "=" belong to the target, not to the value list: they neither count nor
// split elements; nor does a comma inside double quotes or parentheses. Blanks at the end of the
// text separate nothing.
void SortArrays(std::string& returnstring) {
  Index pos = FindString(returnstring, "=");
  if (pos == -1) return;
  TrimRight(returnstring);
  ChangeSpaceComma(returnstring, pos);

  const std::string_view text = returnstring;
  const std::string_view prefix = text.substr(0, static_cast<size_t>(pos));
  // The elements, each from after its separator to the next one: counted and measured first, so
  // that the result takes the room it needs and no more, then written.
  auto for_each_element = [&](auto&& element) {
    // Quotes and parentheses count from the start of the text.
    ValueCommas commas;
    for (char c : text.substr(0, static_cast<size_t>(pos) + 1)) commas.Separates(c);
    size_t start = static_cast<size_t>(pos) + 1;
    for (size_t i = start; i < text.size(); ++i) {
      if (!commas.Separates(text[i])) continue;
      element(text.substr(start, i - start));
      start = i + 1;
    }
    element(text.substr(start));
  };
  size_t count = 0, size = 0;
  for_each_element([&](std::string_view value) {
    size += prefix.size() + std::to_string(count++).size() + value.size() + Length("[]=\n");
  });
  std::string result;
  result.reserve(size);
  count = 0;
  for_each_element([&](std::string_view value) {
    result.append(prefix).append("[").append(std::to_string(count++)).append("]=");
    result.append(value).append("\n");
  });
  returnstring.swap(result);
}
