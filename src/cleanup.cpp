// Template clean-up and print conversion: unfilled placeholders go with their separators, print
// and comment commands become MXT printf or expression commands, and the search, dump and
// expression texts get their fix-ups.
#include <array>
#include <bitset>
#include <string>

#include "converter.h"
#include "line_stages.h"

namespace {

// Deletes the first occurrence of `item`, if any. Returns whether it did.
bool DeleteFirst(std::string& text, std::string_view item) {
  Index found = FindString(text, item);
  if (found != -1) DeleteString(text, found, found + Length(item));
  return found != -1;
}

// Deletes the first occurrence of `word` together with the character before and after it.
bool DeleteWithNeighbours(std::string& text, std::string_view word) {
  Index found = FindString(text, word);
  if (found != -1) DeleteString(text, found - 1, found + Length(word) + 1);
  return found != -1;
}

bool IsPlaceholderDigit(char digit) { return (digit >= '1' && digit <= '9') || digit == 'x'; }

// Step 1 of a removal pass: the first placeholder goes with the separator in front of it (at
// index 0 only the placeholder goes).
bool DeleteFirstPlaceholder(std::string& postcon) {
  Index p = FindString(postcon, "XXXXX");
  if (p == -1 || !IsPlaceholderDigit(CharAt(postcon, p + 5))) return false;
  DeleteString(postcon, p - 1, p + 6);
  return true;
}

// Steps 2 to 10 of a removal pass: the punctuation that unfilled placeholders leave behind.
bool TidyAfterPlaceholder(std::string& postcon) {
  bool changed = DeleteFirst(postcon, "..+");
  if (Contains(postcon, ",") && !Contains(postcon, "cexpression")) {
    changed = DeleteFirst(postcon, ",") || changed;
  }
  changed = DeleteFirst(postcon, "''") || changed;
  if (Index q = FindString(postcon, "'\""); q != -1) {
    DeleteString(postcon, q, q + 1);
    changed = true;
  }
  if (Index q = FindString(postcon, "\"'"); q != -1) {
    DeleteString(postcon, q + 1, q + 2);
    changed = true;
  }
  changed = DeleteWithNeighbours(postcon, "callgraph") || changed;
  if (Index caret = FindFirstChar(postcon, '^'); caret != 0) {
    ChangeChar(postcon, caret, ' ');
    changed = true;
  }
  changed = DeleteWithNeighbours(postcon, "profile") || changed;
  if (!postcon.empty() && FindLastChar(postcon, '=') == Length(postcon)) {
    ChangeChar(postcon, Length(postcon), '\0');
    changed = true;
  }
  return changed;
}

// The texts that steps 2 to 9 look for and that a deletion can form where it joins two parts.
constexpr std::string_view kJoinablePatterns[] = {"..+", "''",        "'\"",
                                                  "\"'", "callgraph", "profile"};

// Whether steps 2 to 10 find nothing to do in `text`. They keep finding nothing while only
// placeholders are deleted, as long as no deletion forms one of kJoinablePatterns where it
// joins the text or leaves an "=" at its end: deletions never bring in a comma or a "^".
bool TidyIsIdle(std::string_view text) {
  if (text.find_first_of(",^") != text.npos || (!text.empty() && text.back() == '=')) return false;
  for (std::string_view pattern : kJoinablePatterns) {
    if (Contains(text, pattern)) return false;
  }
  return true;
}

// Whether the deletion that joined `left` to `right` gave steps 2 to 10 work: one of
// kJoinablePatterns across the join, or an "=" at the end of the text. Neither side held a
// pattern before, so a new one straddles the join, and the two characters that meet there are
// two consecutive characters of that pattern.
bool JoinMakesWork(std::string_view left, std::string_view right) {
  if (left.empty() || right.empty()) return right.empty() && !left.empty() && left.back() == '=';
  // Which characters follow which in some pattern.
  static const auto* kFollows = [] {
    auto* follows = new std::array<std::bitset<256>, 256>();
    for (std::string_view pattern : kJoinablePatterns) {
      for (size_t i = 0; i + 1 < pattern.size(); ++i) {
        (*follows)[static_cast<unsigned char>(pattern[i])].set(
            static_cast<unsigned char>(pattern[i + 1]));
      }
    }
    return follows;
  }();
  if (!(*kFollows)[static_cast<unsigned char>(left.back())].test(
          static_cast<unsigned char>(right.front()))) {
    return false;
  }
  std::string window(left.substr(left.size() > 8 ? left.size() - 8 : 0));
  window.append(right.substr(0, 8));
  for (std::string_view pattern : kJoinablePatterns) {
    if (Contains(window, pattern)) return true;
  }
  return false;
}

// Runs removal passes while steps 2 to 10 have nothing to do, in one sweep instead of one scan
// of the whole text per pass. Each such pass only deletes the first placeholder, and the first
// placeholder after a deletion starts at most four characters before the place where the text
// was joined; so the text is rebuilt from left to right into `done`, the rest still to come
// from `source`. The sweep ends after a pass that finds no placeholder to delete, and after a
// pass whose deletion gave steps 2 to 10 work, which it then does. Returns whether the text
// changed.
bool SweepPlaceholders(std::string& postcon) {
  const std::string source = std::move(postcon);
  std::string done;
  size_t in = 0;  // the text is `done` followed by source[in..]
  auto at = [&](size_t index) {
    if (index < done.size()) return done[index];
    size_t k = in + (index - done.size());
    return k < source.size() ? source[k] : '\0';
  };
  auto placeholder_at = [&](size_t index) {
    for (size_t k = 0; k < 5; ++k) {
      if (at(index + k) != 'X') return false;
    }
    return true;
  };
  bool changed = false;
  for (;;) {
    size_t first = std::string::npos;
    // A placeholder can straddle the join only if `done` ends with an "X".
    size_t straddle_from = done.empty() || done.back() != 'X' ? done.size()
                           : done.size() >= 4                 ? done.size() - 4
                                                              : 0;
    for (size_t index = straddle_from; index < done.size(); ++index) {
      if (placeholder_at(index)) {
        first = index;
        break;
      }
    }
    if (first == std::string::npos) {
      size_t found = source.find("XXXXX", in);
      if (found != std::string::npos) first = done.size() + (found - in);
    }
    if (first == std::string::npos || !IsPlaceholderDigit(at(first + 5))) break;

    if (first > done.size()) {
      size_t count = first - done.size();
      done.append(source, in, count);
      in += count;
    }
    // The placeholder's first characters may already stand in `done`.
    size_t straddling = done.size() - first;
    done.resize(first > 0 ? first - 1 : 0);
    in += 6 - straddling;
    changed = true;
    if (JoinMakesWork(done, std::string_view(source).substr(in))) {
      postcon = std::move(done.append(source, in));
      TidyAfterPlaceholder(postcon);
      return true;
    }
  }
  postcon = std::move(done.append(source, in));
  return changed;
}

// A call keeps its argument text exactly as written, commas included.
void RestoreCallArguments(LineWork& work) {
  if (Contains(work.PostCon, "cexpression") && Contains(work.line, "call")) {
    work.PostCon = "cexpression " + work.Arguments;
  }
}

// Print text in double quotes: the text after the first quote becomes the arguments, a comma
// follows its last quote, and the template loses its own format.
void ExtractQuotedText(LineWork& work, Index q) {
  std::string& arguments = work.Arguments;
  CutString(arguments, arguments, q + 1, Length(arguments) - 1);
  Index k = FindLastChar(arguments, '"');
  if (k < Length(arguments)) Insert(arguments, ',', k);
  Index p = FindString(work.PostCon, "\"");
  DeleteString(work.PostCon, p + 1, p + 5);
}

// "%i" in the print text: the three characters after its "%" take the place of the template's
// "%i". Without it, a default-format print becomes an expression evaluation.
void ApplyPrintFormat(LineWork& work) {
  std::string& postcon = work.PostCon;
  Index r = FindString(work.Arguments, "%i");
  if (r != -1) {
    std::string printargs;
    CutString(work.Arguments, printargs, r + 1, r + 3);
    Replace(postcon, "%i", printargs);
    Index k = FindLastChar(postcon, '"');
    DeleteString(postcon, k + 1, k + 4);
  } else if (Contains(postcon, "%i") && !Contains(postcon, "p/%d") && !Contains(postcon, "p/%x")) {
    postcon = "cexpression " + work.Arguments;
  }
}

// Print and comment commands (templates holding "STR").
void ConvertPrint(LineWork& work) {
  if (!Contains(work.PostCon, "STR")) return;
  std::string& arguments = work.Arguments;
  const bool print = Contains(work.line, "print");
  Index q = FindString(arguments, "\"");
  if (q != -1 && (FindLastChar(arguments, '"') != Length(arguments) || print)) {
    ExtractQuotedText(work, q);
  }
  if (q == -1 || print) {
    StrArgs(arguments, work.PostCon);
    Replace(work.PostCon, "STR", arguments);
  } else {
    for (std::string_view item : {"\"STR\"", "STR\"", "STR"}) {
      if (Contains(work.PostCon, item)) {
        Replace(work.PostCon, item, arguments);
        break;
      }
    }
  }
  ApplyPrintFormat(work);
}

// A search whose first "=" follows the word "search" directly gets a blank there.
void FixSearch(std::string& postcon) {
  if (Contains(postcon, "search") && FindFirstChar(postcon, '=') == 7) ChangeChar(postcon, 7, ' ');
}

// A dump that ends with "." ends with a blank instead.
void FixDump(std::string& postcon) {
  Index k = FindLastChar(postcon, '.');
  if (Contains(postcon, "dump") && k != 0 && k == Length(postcon)) ChangeChar(postcon, k, ' ');
}

// An expression with two or more "=": the first becomes a blank, unless it belongs to a
// comparison ("==", "!=", "<=", ">="), which must stay a comparison.
void FixExpression(std::string& postcon) {
  if (!Contains(postcon, "cexpression")) return;
  Index first = FindString(postcon, "=");
  if (first == -1 || first == FindLastChar(postcon, '=') - 1) return;
  char before = CharAt(postcon, first - 1);
  bool comparison = before == '=' || before == '!' || before == '<' || before == '>' ||
                    CharAt(postcon, first + 1) == '=';
  if (!comparison) ChangeChar(postcon, first + 1, ' ');
}

}  // namespace

// Passes run while a placeholder is left; a pass that changes nothing ends the removal, so a
// line whose own text holds "XXXXX" cannot keep it going.
void RemoveUnfilledPlaceholders(std::string& postcon) {
  while (Contains(postcon, "XXXXX")) {
    bool changed;
    if (TidyIsIdle(postcon)) {
      changed = SweepPlaceholders(postcon);
    } else {
      changed = DeleteFirstPlaceholder(postcon);
      changed = TidyAfterPlaceholder(postcon) || changed;
    }
    if (!changed) break;
  }
}

void CleanUpTemplate(LineWork& work) {
  RemoveUnfilledPlaceholders(work.PostCon);
  RestoreCallArguments(work);
  ConvertPrint(work);
  FixSearch(work.PostCon);
  FixDump(work.PostCon);
  FixExpression(work.PostCon);
}
