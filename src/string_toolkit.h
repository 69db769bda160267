// String toolkit: the search and edit operations that every conversion rule is written in.
//
// Two ways of counting are used, and each operation keeps to one of them:
//   - an index is zero-based (index 0 is the first character);
//   - a position is one-based (position = index + 1).
// Searches that give a position return 0 when nothing is found; searches that give an index
// return -1. Every operation clamps its arguments to the text, so no rule can read or write
// outside it, whatever offsets it computes.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Index or position within a text; signed so that -1 can mean "not found".
using Index = long;

// Position (one-based) of the first `find` in `string`, or 0.
Index FindFirstChar(std::string_view string, char find);
// Position (one-based) of the last `find` in `string`, or 0.
Index FindLastChar(std::string_view string, char find);
// Index of the first occurrence of `search` in `original`, or -1. An empty `search` is found at 0.
Index FindString(std::string_view original, std::string_view search);
// Index of the first `find` at or after index `offset`, or -1 (also when `offset` is past the end).
Index FindnChar(std::string_view string, char find, Index offset);

// Overwrites the character at position `pos`; with `newchar` 0 the text ends before `pos`.
void ChangeChar(std::string& fullstring, Index pos, char newchar);
// Inserts `insertthis` so that it stands at index `where` (0 in front, the length to append).
void Insert(std::string& fullstring, char insertthis, Index where);
// Removes the characters from index `start` up to, not including, index `size`.
void DeleteString(std::string& fullstring, Index start, Index size);
// The characters from index `start` through index `end` (both included), clamped to the text;
// none when `start` > `end`.
std::string_view Piece(std::string_view fullstring, Index start, Index end);
// Copies the characters from index `start` through index `end` (both included) into
// `returnstring`; leaves `returnstring` as it was when `start` > `end`. The two may be one text.
void CutString(std::string_view fullstring, std::string& returnstring, Index start, Index end);
// Appends the characters of `original` from index `offset` up to, not including, index `number`.
void CopySelection(std::string_view original, std::string& targetstr, Index number, Index offset);
// Splits `full` around the character at position `number`, which goes to neither part:
// `truncated` gets the characters before it, `rest` those after it.
void SplitUp(std::string_view full, std::string& truncated, std::string& rest, Index number);
// Replaces the first occurrence of `item` by `substitution`; nothing when `item` is absent.
void Replace(std::string& fullstring, std::string_view item, std::string_view substitution);
// The same with a substitution made of `pieces`, one after the other.
void Replace(std::string& fullstring, std::string_view item,
             std::initializer_list<std::string_view> pieces);
// Lower-cases the letters A to Z (no locale).
void MakeLower(std::string& text);
// Removes trailing spaces (only the space character).
void TrimRight(std::string& fullstring);
// The text without the characters of `blanks` at its start and at its end; empty when it holds
// nothing else.
std::string_view Trimmed(std::string_view text, std::string_view blanks = " ");

// The words every rule is phrased in.
inline bool Contains(std::string_view text, std::string_view item) {
  return text.find(item) != std::string_view::npos;
}
inline bool BeginsWith(std::string_view text, std::string_view item) {
  return text.substr(0, item.size()) == item;
}
// The character at `index`, or 0 outside the text (the terminator of a C text).
inline char CharAt(std::string_view text, Index index) {
  return index >= 0 && index < static_cast<Index>(text.size()) ? text[static_cast<size_t>(index)]
                                                               : '\0';
}
inline Index Length(std::string_view text) { return static_cast<Index>(text.size()); }

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
// Letters, digits and "_": the characters a name is made of.
constexpr bool IsNameChar(char c) { return IsLetter(c) || IsDigit(c) || c == '_'; }

// Index of the first occurrence of `keyword` that stands as a word: preceded by the start of the
// text or by a blank (a keyword that begins with a blank brings its own), and followed by a
// character that cannot continue a name, or by the end. -1 when there is none.
Index FindWord(std::string_view text, std::string_view keyword);
// Index of the first occurrence of `keyword` that stands between blanks: preceded by a blank and
// followed by a blank or the end. -1 when there is none.
Index FindBlankWord(std::string_view text, std::string_view keyword);

// Case-insensitive comparisons: the letters A to Z match a to z (no locale).
inline char LowerCaseOf(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
inline bool EqualsNoCase(std::string_view text, std::string_view item) {
  if (text.size() != item.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (LowerCaseOf(text[i]) != LowerCaseOf(item[i])) return false;
  }
  return true;
}
inline bool BeginsWithNoCase(std::string_view text, std::string_view item) {
  return EqualsNoCase(text.substr(0, item.size()), item);
}
inline bool EndsWithNoCase(std::string_view text, std::string_view ending) {
  return text.size() >= ending.size() &&
         EqualsNoCase(text.substr(text.size() - ending.size()), ending);
}
bool ContainsNoCase(std::string_view text, std::string_view item);

// Whether the character at `index` stands inside double quotes: an odd number of '"' stand
// before it in `text`.
bool InsideQuotes(std::string_view text, Index index);

// Index of the first occurrence of `word` that is a whole word: no letter, digit or "_" directly
// before or after it. -1 when there is none.
Index FindWholeWord(std::string_view text, std::string_view word);

// The pieces of `text` between the characters `separator`, without them. A text without one is
// a single piece; a separator at the start or at the end, or two in a row, give an empty piece.
std::vector<std::string> SplitAt(std::string_view text, char separator);
// The same cut at the separators that stand outside brackets: walking the text from its start,
// the depth rises at `open` and falls at `close` (never below 0), and only a separator at depth
// 0 cuts.
std::vector<std::string> SplitOutside(std::string_view text, char separator, char open, char close);
// The pieces of SplitOutside one at a time, as views of the text.
class PiecesOutside {
 public:
  PiecesOutside(std::string_view text, char separator, char open, char close)
      : text_(text), separator_(separator), open_(open), close_(close) {}
  // The next piece; false after the last one.
  bool Next(std::string_view& piece);

 private:
  std::string_view text_;
  char separator_, open_, close_;
  size_t start_ = 0;  // where the next piece begins
  size_t depth_ = 0;  // the depth there
  bool done_ = false;
};

// Rules worded "while the text contains X, replace the first X", each done in one pass with the
// same result.
//
// Every occurrence of the character `item` becomes `substitution` (which must not contain it).
void ReplaceEveryChar(std::string& fullstring, char item, std::string_view substitution);
// The same for the occurrences of `item` that stand outside double quotes (an even number of
// '"' before them).
void ReplaceEveryCharOutsideQuotes(std::string& fullstring, char item,
                                   std::string_view substitution);
// From index `from` on, while the text holds `c` twice in a row, the pair becomes one `c`: every
// run of `c` ends as a single one.
void SqueezeRuns(std::string& fullstring, char c, size_t from);
// While the text holds `anchor` followed by `drop`, that pair becomes `anchor`: every `drop`
// that follows an `anchor` (directly or after other such `drop`s) goes.
void DropAfter(std::string& fullstring, char anchor, char drop);
