// Breakpoints: the location gets MXT's "#" for addresses and lines, a pass count becomes
// "break,pass:", a command list becomes a generated macro named in "break,macro:{...}", and a
// condition becomes "break,when:{...}". Keywords ("do", "if") count only as words.
#include <algorithm>
#include <string>
#include <vector>

#include "converter.h"

namespace {

// Replaces the first occurrence of `keyword` that stands as a word.
void ReplaceWord(std::string& text, std::string_view keyword, std::string_view substitution) {
  Index found = FindWord(text, keyword);
  if (found != -1) text.replace(static_cast<size_t>(found), keyword.size(), substitution);
}

// A location that is an internal variable loses its sign; a numeric location (its first digit
// preceded by nothing but blanks and "+") gets "#" in front of that digit.
void ConvertLocation(std::string& command) {
  Index pos = FindString(command, " ");
  Index pos2 = FindnChar(command, ' ', pos + 1);
  if (pos == 0) return;
  if (pos2 == -1) pos2 = Length(command);
  const std::string_view context = Piece(command, pos + 1, pos2);
  if (context.empty()) return;

  const bool sign = context[0] == '$' || context[0] == '@';
  size_t digit = sign ? 1 : 0;  // the sign becomes a blank
  while (digit < context.size() && (context[digit] == ' ' || context[digit] == '+')) ++digit;
  const bool number = digit < context.size() && IsDigit(context[digit]);
  if (!sign && !number) return;  // the location stays as written
  std::string context_new(context);
  if (sign) context_new[0] = ' ';
  if (number) Insert(context_new, '#', static_cast<Index>(digit));
  Replace(command, context, context_new);
}

// A count written against the location: the word after the first blank ends with "," and
// decimal digits. Returns the index where the digits begin, or -1.
Index CountAgainstLocation(const std::string& command, Index pos, Index pos2) {
  if (pos == -1) return -1;
  Index end = pos2 == -1 ? Length(command) : pos2;
  Index digits = end;
  while (digits > pos + 1 && IsDigit(CharAt(command, digits - 1))) --digits;
  if (digits == end || CharAt(command, digits - 1) != ',' || digits - 1 <= pos) return -1;
  return digits;
}

// The count makes the command "break,pass:" followed by the count.
void PassCount(std::string& command, std::string_view digit) {
  Replace(command, "break", {"break,pass:", digit});
}

// A digit right after the second blank of the text makes everything from there on the count.
bool TakeCountAfterSecondBlank(std::string& command, Index pos2) {
  if (pos2 == -1 || !IsDigit(CharAt(command, pos2 + 1))) return false;
  std::string digit = command.substr(static_cast<size_t>(pos2) + 1);
  DeleteString(command, pos2, Length(command));
  PassCount(command, digit);
  return true;
}

// Digits after a comma at the end of the location ("main,3") are the count.
bool TakeCountAgainstLocation(std::string& command, Index pos, Index pos2) {
  Index digits = CountAgainstLocation(command, pos, pos2);
  if (digits == -1) return false;
  Index end = pos2 == -1 ? Length(command) : pos2;
  std::string digit =
      command.substr(static_cast<size_t>(digits), static_cast<size_t>(end - digits));
  DeleteString(command, digits, end);
  PassCount(command, digit);
  return true;
}

// A count after blanks ("break f  3"): the command word, one blank, the location word, blanks,
// decimal digits and then only blanks. The text from the end of the location word on goes.
bool TakeCountAfterBlanks(std::string& command, Index pos) {
  if (pos <= 0) return false;
  const size_t location = static_cast<size_t>(pos) + 1;
  const size_t location_end = std::min(command.find(' ', location), command.size());
  const size_t digits = std::min(command.find_first_not_of(' ', location_end), command.size());
  size_t digits_end = digits;
  while (digits_end < command.size() && IsDigit(command[digits_end])) ++digits_end;
  if (location_end == location || digits == location_end || digits_end == digits ||
      command.find_first_not_of(' ', digits_end) != std::string::npos) {
    return false;
  }
  std::string digit = command.substr(digits, digits_end - digits);
  command.erase(location_end);
  PassCount(command, digit);
  return true;
}

// The location word of a counted breakpoint ends with the comma that stood before its count;
// that comma goes.
void DropLocationComma(std::string& command) {
  Index pos = FindString(command, " ");
  if (pos == -1) return;
  const size_t end = std::min(command.find(' ', static_cast<size_t>(pos) + 1), command.size());
  if (end > static_cast<size_t>(pos) + 1 && command[end - 1] == ',') command.erase(end - 1, 1);
}

// A count: a digit right after the second blank, digits after a comma at the end of the
// location, or digits after blanks that end the text. The comma before it goes with it.
void ConvertCount(std::string& command) {
  Index pos = FindString(command, " ");
  Index pos2 = FindnChar(command, ' ', pos + 1);
  if (TakeCountAfterSecondBlank(command, pos2) || TakeCountAgainstLocation(command, pos, pos2) ||
      TakeCountAfterBlanks(command, pos)) {
    DropLocationComma(command);
  }
}

// Where the keywords of the argument text stand: the command list's "do", the last "}", and the
// condition's " if" (-1 for each that is not there).
struct Keywords {
  Index d, e, p;

  // The condition follows a braced command list: the list ends at its last "}".
  bool ConditionAfterList() const { return d != -1 && d < e && e < p; }
  // The condition stands before the command list.
  bool ConditionBeforeList() const { return p != -1 && d != -1 && p < d; }
};

Keywords FindKeywords(const std::string& arguments) {
  size_t brace = arguments.rfind('}');
  return {FindWord(arguments, "do"), brace == std::string::npos ? -1 : static_cast<Index>(brace),
          FindWord(arguments, " if")};
}

// A command list ("do" and what follows it, up to its last "}" when a condition follows) becomes
// a macro: `definition` receives its definition, which goes in front of the breakpoint command
// (after an empty line), and `notes` what the list could not hold. Returns whether a macro was
// made.
bool ConvertCommandList(LineConverter& converter, std::string& command,
                        const std::string& arguments, const Keywords& keywords,
                        std::string& definition, std::string& notes) {
  if (keywords.d == -1) return false;
  size_t d = static_cast<size_t>(keywords.d);
  std::string formacro = keywords.ConditionAfterList()
                             ? arguments.substr(d, static_cast<size_t>(keywords.e) + 1 - d)
                             : arguments.substr(d);
  std::string name = converter.CreateMacro(formacro, definition, notes);
  Replace(command, "break", {"break,macro:{", name, "()}"});
  ReplaceWord(command, " do", " ");
  return true;
}

// The text of the condition: what follows " if", up to the blank before "do" when the command
// list comes after it. Without a "}" in the argument text, or with one that closes a command
// list before the condition, there is a condition; any other "}" leaves it alone.
bool FindCondition(const std::string& arguments, const Keywords& keywords, std::string& condition) {
  if (keywords.p == -1) return false;
  size_t start = static_cast<size_t>(keywords.p) + 3;
  if (keywords.ConditionBeforeList()) {
    size_t blank = static_cast<size_t>(keywords.d) - 1;
    condition = arguments.substr(start, blank > start ? blank - start : 0);
    return true;
  }
  if (Contains(arguments, "}") && !keywords.ConditionAfterList()) return false;
  condition = arguments.substr(start);
  return true;
}

// The condition inside "when:{...}"; its scope colons become backslashes, those of a quoted
// string stay.
void ConditionText(std::string& condition) { ReplaceEveryCharOutsideQuotes(condition, ':', "\\"); }

// With a macro, the condition goes right after the macro reference: after the first ")}" of the
// breakpoint command (the last line of the text).
void ConditionAfterMacro(std::string& command, std::string_view condition) {
  const size_t last_line = command.rfind('\n') + 1;  // 0 without a newline
  const size_t reference = command.find(")}", last_line);
  if (reference == std::string::npos) return;
  command.insert(reference + 2, std::string(",when:{").append(condition).append("}"));
}

// Without a macro, the condition comes first: "break,when:{...} ", or in a chain of qualifiers
// ("break,pass:...") "break,when:{...}" without the blank.
void ConditionFirst(std::string& command, std::string_view condition) {
  if (BeginsWith(command, "break,")) {
    Replace(command, "break", {"break,when:{", condition, "}"});
  } else {
    Replace(command, "break", {"break,when:{", condition, "} "});
  }
}

// A condition becomes "when", behind the macro reference when there is a command list. Its
// keyword " if" goes from the text the definition and the command make together: from the
// definition when it holds one.
void ConvertCondition(std::string& command, std::string& definition, const std::string& arguments,
                      const Keywords& keywords, bool macroset) {
  std::string condition;
  if (!FindCondition(arguments, keywords, condition)) return;
  ConditionText(condition);
  if (macroset) {
    ConditionAfterMacro(command, condition);
  } else {
    ConditionFirst(command, condition);
  }
  ReplaceWord(FindWord(definition, " if") != -1 ? definition : command, " if", " ");
}

// The definition of the macro, an empty line, the breakpoint command and the notes of its list,
// written once into a text of their length.
void JoinBreakpoint(std::string& command, const std::string& definition, const std::string& notes) {
  if (definition.empty() && notes.empty()) return;
  std::string joined;
  joined.reserve(definition.size() + 1 + command.size() + notes.size());
  if (!definition.empty()) joined.append(definition).append("\n");
  joined.append(command).append(notes);
  command.swap(joined);
}

// A conversion that brings a macro definition of its own: a breakpoint with a list inside a list.
bool HoldsMacroDefinition(std::string_view converted) {
  return Contains(converted, "define int MyMacro_") && Contains(converted, "\n");
}

// An entry converted into nothing but blanks, or into a comment (a command MXT lacks), did not
// convert.
bool ConvertedToCommand(int result, std::string_view converted) {
  return result == kConverted && !Trimmed(converted).empty() && !BeginsWith(converted, "//");
}

}  // namespace

// The text of a macro definition as it is written: in blocks, each filled before the next one is
// begun, so that a long definition is not copied as it grows; joined once at the end.
class MacroText {
 public:
  void Append(std::string_view text) {
    if (blocks_.empty() || blocks_.back().size() + text.size() > blocks_.back().capacity()) {
      const size_t room = std::max(blocks_.empty() ? kFirstBlock : kBlock, text.size());
      blocks_.emplace_back().reserve(room);
    }
    blocks_.back().append(text);
  }
  // A command line of the macro: "$", the command, "$;".
  void AppendCommandLine(std::string_view command) {
    Append("$");
    Append(command);
    Append("$;\n");
  }
  std::string Join() {
    if (blocks_.size() == 1) return std::move(blocks_[0]);
    size_t size = 0;
    for (const std::string& block : blocks_) size += block.size();
    std::string text;
    text.reserve(size);
    for (std::string& block : blocks_) {
      text.append(block);
      std::string().swap(block);
    }
    return text;
  }

 private:
  // Room for what an ordinary list converts to; a long one takes further blocks.
  static constexpr size_t kFirstBlock = 512;
  static constexpr size_t kBlock = 1 << 16;
  std::vector<std::string> blocks_;
};

// The macro's command lines, one for each line of an entry's conversion but its comment lines,
// which are collected in `notes` (each after a newline) with a note for each entry that did not
// convert.
void LineConverter::AddListEntry(std::string& command, MacroText& temp, std::string& notes) {
  // The entry without the blanks and tabs around it.
  const std::string entry(Trimmed(command, " \t"));
  if (entry.empty()) return;
  const int result = ConvertListEntry(command);
  if (!ConvertedToCommand(result, command)) {
    notes.append("\n//Warning: not converted in the command list: ").append(entry);
    return;
  }
  if (HoldsMacroDefinition(command)) {
    // The inner definition is one command line; its breakpoint, the last line, is cut off.
    command.resize(std::min(command.rfind('\n'), command.size()));
    temp.AppendCommandLine(command);
    return;
  }
  std::string_view lines = command;
  for (size_t start = 0; start <= lines.size();) {
    const size_t end = std::min(lines.find('\n', start), lines.size());
    const std::string_view line = lines.substr(start, end - start);
    if (BeginsWith(line, "//")) {
      notes.append("\n").append(line);
    } else if (!line.empty()) {
      temp.AppendCommandLine(line);
    }
    start = end + 1;
  }
}

std::string LineConverter::CreateMacro(std::string& macrostring, std::string& output,
                                       std::string& notes) {
  if (Index found = FindString(macrostring, "do"); found != -1) {
    DeleteString(macrostring, found, found + 2);
  }
  if (Index found = FindString(macrostring, "{"); found != -1) {
    DeleteString(macrostring, found, found + 1);
  }
  if (Index found = FindString(macrostring, "}"); found != -1) {
    DeleteString(macrostring, found, found + 1);
  }
  macrostring.erase(0, std::min(macrostring.find_first_not_of(' '), macrostring.size()));
  TrimRight(macrostring);

  // The number is taken before the commands are converted: a breakpoint in the list makes a
  // macro of its own, with the next number.
  std::string name = "MyMacro_" + std::to_string(macro_number_++);
  MacroText temp;
  temp.Append("define int ");
  temp.Append(name);
  temp.Append("()\n{\n");
  // The commands of the list: the texts between its semicolons, each converted in a text of
  // its own. A list of one command is that text itself, so that a list within a list holds its
  // text once.
  std::string command;
  if (macrostring.find(';') == std::string::npos) {
    command.swap(macrostring);
    AddListEntry(command, temp, notes);
  } else {
    for (size_t start = 0;;) {
      const size_t end = macrostring.find(';', start);
      command.assign(macrostring, start, end - start);
      AddListEntry(command, temp, notes);
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }
  std::string().swap(command);
  std::string().swap(macrostring);
  temp.Append("return (1);\n}\n.\n");
  output = temp.Join();
  ReplaceWord(output, " if", " ");
  return name;
}

void LineConverter::ConvertBreaks(std::string& command, const std::string& arguments) {
  ConvertLocation(command);
  ConvertCount(command);
  Keywords keywords = FindKeywords(arguments);
  std::string definition, notes;
  bool macroset = ConvertCommandList(*this, command, arguments, keywords, definition, notes);
  ConvertCondition(command, definition, arguments, keywords, macroset);
  JoinBreakpoint(command, definition, notes);
}
