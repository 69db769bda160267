// Argument placement: the argument text is cut into arguments, each of which replaces its
// numbered placeholder in the template. A placed argument keeps the separator that ended it.
#include <algorithm>
#include <string>

#include "converter.h"
#include "line_stages.h"

namespace {

// Placeholder numbers above this are not looked at: no template has more than nine.
constexpr int kLastPlaceholder = 12;

// A "/16" or "/32" width switch anywhere in the argument text removes the first "/" of the text
// and the two characters after it.
void RemoveWidthSwitch(std::string& arguments) {
  if (!Contains(arguments, "/16") && !Contains(arguments, "/32")) return;
  Index k = FindString(arguments, "/");
  DeleteString(arguments, k, k + 3);
}

// Index of the first `c` at index `from` or later and before index `limit`, or -1. Searching
// no further than needed keeps a line of many short arguments from being scanned to its end
// for each of them.
Index FindBefore(std::string_view text, char c, Index from, Index limit) {
  return FindnChar(text.substr(0, static_cast<size_t>(std::max<Index>(limit, 0))), c, from);
}

// The index where the argument that starts at `i` ends: the separator that is placed with it,
// or the length of the text for the last one. Quoted strings and parenthesised groups (one level
// of nesting) stay within one argument; one without its partner runs to the end of the text.
Index ArgumentEnd(std::string_view arguments, Index i, Index end) {
  Index length = Length(arguments);
  if (Index quote = FindBefore(arguments, '"', i, end); quote != -1) {
    Index closing = FindnChar(arguments, '"', quote + 1);
    if (closing == -1) return length;
    end = closing + 1;
  }
  if (Index open = FindBefore(arguments, '(', i, end); open != -1) {
    Index close = FindnChar(arguments, ')', open + 1);
    if (close == -1) return length;
    end = close + 1;
    if (FindBefore(arguments, '(', open + 1, close) != -1) {
      Index outer_close = FindnChar(arguments, ')', close + 1);
      if (outer_close == -1) return length;
      end = outer_close + 1;
    }
  }
  return end;
}

// "XXXXX" followed by the number in decimal.
std::string Placeholder(int number) {
  std::string name = "XXXXX";
  if (number >= 10) name += static_cast<char>('0' + number / 10);
  name += static_cast<char>('0' + number % 10);
  return name;
}

}  // namespace

void ProcessColon(std::string& individual) {
  Index k = FindLastChar(individual, ':');
  std::string tail = individual.substr(static_cast<size_t>(k));
  if (BeginsWith(individual, "+")) tail.insert(0, 1, '+');
  individual.swap(tail);
}

void PlaceArguments(LineWork& work) {
  std::string& arguments = work.Arguments;
  std::string& postcon = work.PostCon;
  RemoveWidthSwitch(arguments);

  const Index length = Length(arguments);
  std::string individual;
  Index i = 0;
  while (i < length) {
    Index end = FindnChar(arguments, ' ', i);
    if (end == -1) end = length;
    if (end == length && !BeginsWith(postcon, "cexpression")) {
      // The last word is cut at commas instead.
      end = FindnChar(arguments, ',', i);
      if (end == -1) end = length;
    } else if (end == 0) {
      // The text begins with a blank: nothing to place.
      i += 1;
      continue;
    }
    end = ArgumentEnd(arguments, i, end);
    CutString(arguments, individual, i, end);

    // A register name sent to a setreg template takes the placeholder after the next one.
    if (Contains(postcon, "setreg") && BeginsWith(individual, "r")) work.j += 1;
    std::string placeholder = Placeholder(work.j);
    if (Contains(individual, ":")) ProcessColon(individual);
    if (!BeginsWith(postcon, "cexpression") && BeginsWith(individual, "$")) {
      InternalArgs(individual, postcon);
    }
    Replace(postcon, placeholder, individual);

    work.j += 1;
    if (work.j > kLastPlaceholder) break;
    i = end + 1;
  }
}
