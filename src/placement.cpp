// Argument placement: the argument text is cut into arguments, each of which replaces its
// numbered placeholder in the template. A placed argument keeps the separator that ended it.
#include <algorithm>
#include <array>
#include <string>

#include "converter.h"
#include "line_stages.h"

namespace {

// Placeholder numbers above this are not looked at: no template has more than nine.
constexpr int kLastPlaceholder = 12;
// The highest placeholder a template holds ("XXXXX9").
constexpr int kLastTemplatePlaceholder = 9;
// The template of "setregisters", whose register name goes to its second placeholder.
constexpr std::string_view kSetRegisters = "setreg @XXXXX2=XXXXX3";

// A "/16" or "/32" width switch anywhere in the argument text: the first of them goes, with the
// blank right after it.
void RemoveWidthSwitch(std::string& arguments) {
  constexpr std::string_view kNarrow = "/16", kWide = "/32";
  size_t k = std::min(arguments.find(kNarrow), arguments.find(kWide));
  if (k == std::string::npos) return;
  size_t end = k + kNarrow.size();
  if (end < arguments.size() && arguments[end] == ' ') ++end;
  arguments.erase(k, end - k);
}

// A switch at the start of a load's argument text ("/r fw.axf"): a "/", letters, digits or "_",
// then a blank. It goes with its blank. A path ("/home/fw.axf") is no switch.
void RemoveLoadSwitch(std::string& arguments, const std::string& postcon) {
  if (!BeginsWith(postcon, "load/pd/r") || !BeginsWith(arguments, "/")) return;
  size_t blank = arguments.find(' ');
  if (blank == std::string::npos || blank == 1) return;
  if (!std::all_of(arguments.begin() + 1, arguments.begin() + static_cast<long>(blank),
                   IsNameChar)) {
    return;
  }
  arguments.erase(0, blank + 1);
}

// Index of the first `c` at index `from` or later and before index `limit`, or -1. Searching
// no further than needed keeps a line of many short arguments from being scanned to its end
// for each of them.
Index FindBefore(std::string_view text, char c, Index from, Index limit) {
  return FindnChar(text.substr(0, static_cast<size_t>(std::max<Index>(limit, 0))), c, from);
}

// An argument that closes a quote or a parenthesis at `closer` runs on to the first blank or
// comma after it, which it takes as its separator; the last one runs to the end of the text.
Index RunOn(std::string_view arguments, Index closer) {
  size_t separator = arguments.find_first_of(" ,", static_cast<size_t>(closer) + 1);
  return separator == std::string_view::npos ? Length(arguments) : static_cast<Index>(separator);
}

// The index where the argument that starts at `i` ends: the separator that is placed with it,
// or the length of the text for the last one. Quoted strings and parenthesised groups (one level
// of nesting) stay within one argument; one without its partner runs to the end of the text.
Index ArgumentEnd(std::string_view arguments, Index i, Index end) {
  // Most arguments hold neither: one look at their characters settles it.
  const std::string_view argument =
      arguments.substr(static_cast<size_t>(i), static_cast<size_t>(std::max<Index>(end - i, 0)));
  if (std::none_of(argument.begin(), argument.end(), [](char c) { return c == '"' || c == '('; })) {
    return end;
  }
  Index length = Length(arguments);
  if (Index quote = FindBefore(arguments, '"', i, end); quote != -1) {
    Index closing = FindnChar(arguments, '"', quote + 1);
    if (closing == -1) return length;
    end = RunOn(arguments, closing);
  }
  if (Index open = FindBefore(arguments, '(', i, end); open != -1) {
    Index close = FindnChar(arguments, ')', open + 1);
    if (close == -1) return length;
    if (FindBefore(arguments, '(', open + 1, close) != -1) {
      close = FindnChar(arguments, ')', close + 1);
      if (close == -1) return length;
    }
    end = RunOn(arguments, close);
  }
  return end;
}

// A path keeps its colons: an argument in double quotes, or one whose last colon is followed by
// "\" or "/" ("C:\fw\app.elf").
bool IsPath(const std::string& individual) {
  if (BeginsWith(individual, "\"")) return true;
  char after = CharAt(individual, FindLastChar(individual, ':'));
  return after == '\\' || after == '/';
}

// An expression's target or value with a scope ("main:scale", "dsp.c:window"): a colon with a
// letter, digit, "_" or "." before it and a letter or "_" after it.
bool HoldsScope(std::string_view argument) {
  for (size_t at = argument.find(':'); at != std::string_view::npos;
       at = argument.find(':', at + 1)) {
    const char before = CharAt(argument, static_cast<Index>(at) - 1);
    const char after = CharAt(argument, static_cast<Index>(at) + 1);
    if ((IsNameChar(before) || before == '.') && (IsLetter(after) || after == '_')) return true;
  }
  return false;
}

// The colon rule keeps an argument's last colon-separated component, except in a path and in
// an expression's scope, whose colon the rewrites turn into a backslash.
bool ShortensAtColon(const std::string& individual, const std::string& postcon) {
  if (!Contains(individual, ":") || IsPath(individual)) return false;
  return !(BeginsWith(postcon, "cexpression") && HoldsScope(individual));
}

// "XXXXX" followed by the number in decimal (up to 99), written into `name`.
std::string_view Placeholder(int number, std::array<char, 7>& name) {
  size_t size = 0;
  for (char c : {'X', 'X', 'X', 'X', 'X'}) name[size++] = c;
  if (number >= 10) name[size++] = static_cast<char>('0' + number / 10);
  name[size++] = static_cast<char>('0' + number % 10);
  return std::string_view(name.data(), size);
}

}  // namespace

std::string ProcessColon(std::string& individual) {
  Index k = FindLastChar(individual, ':');
  const bool plus = BeginsWith(individual, "+");
  const size_t start = plus ? 1 : 0, colon = static_cast<size_t>(std::max<Index>(k - 1, 0));
  std::string cut = individual.substr(start, colon > start ? colon - start : 0);
  individual.erase(0, static_cast<size_t>(k));
  if (plus) individual.insert(0, 1, '+');
  return cut;
}

void PlaceArguments(LineWork& work) {
  std::string& arguments = work.arguments;
  std::string& postcon = work.postcon;
  RemoveWidthSwitch(arguments);
  RemoveLoadSwitch(arguments, postcon);

  const Index length = Length(arguments);
  const bool register_skip = postcon == kSetRegisters;
  std::string individual;
  // Once the template holds no placeholder, an argument has nowhere to go; only one with an
  // internal variable ("$") still has its say.
  bool placeholders = Contains(postcon, "XXXXX");
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
    const std::string_view argument = Piece(arguments, i, end);

    // The register name of "setregisters" takes the placeholder after the next one.
    if (register_skip && BeginsWith(argument, "r")) work.next_placeholder += 1;
    if (!placeholders && !Contains(argument, "$")) {
      work.next_placeholder += 1;
      if (work.next_placeholder > kLastPlaceholder) break;
      i = end + 1;
      continue;
    }
    individual.assign(argument);
    std::array<char, 7> name;
    const std::string_view placeholder = Placeholder(work.next_placeholder, name);
    if (ShortensAtColon(individual, postcon)) {
      std::string cut = ProcessColon(individual);
      if (work.next_placeholder == 1 && BeginsWith(postcon, "break")) work.scope_cut = cut;
    }
    if (BeginsWith(individual, "$") && !BeginsWith(postcon, "cexpression")) {
      InternalArgs(individual, postcon);
    }
    if (placeholders) {
      const Index at = FindString(postcon, placeholder);
      if (at != -1) {
        postcon.replace(static_cast<size_t>(at), placeholder.size(), individual);
        // The last placeholder of a template: the rest of the argument text follows the ninth
        // argument as it stands, so that nothing after it is lost.
        if (work.next_placeholder == kLastTemplatePlaceholder && end + 1 < length) {
          postcon.insert(static_cast<size_t>(at) + individual.size(), arguments,
                         static_cast<size_t>(end) + 1);
          placeholders = false;
        }
      }
      placeholders = placeholders && Contains(postcon, "XXXXX");
    }

    work.next_placeholder += 1;
    if (work.next_placeholder > kLastPlaceholder) break;
    i = end + 1;
  }
}
