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

// A count: a digit right after the second blank of the text makes everything from there on the
// count. Failing that, digits after a comma at the end of the location ("main,3") are the
// count, and the comma stays.
void ConvertCount(std::string& command) {
  Index pos = FindString(command, " ");
  Index pos2 = FindnChar(command, ' ', pos + 1);
  if (pos2 != -1 && IsDigit(CharAt(command, pos2 + 1))) {
    std::string digit = command.substr(static_cast<size_t>(pos2) + 1);
    DeleteString(command, pos2, Length(command));
    Replace(command, "break", {"break,pass:", digit});
    return;
  }
  Index digits = CountAgainstLocation(command, pos, pos2);
  if (digits == -1) return;
  Index end = pos2 == -1 ? Length(command) : pos2;
  std::string digit =
      command.substr(static_cast<size_t>(digits), static_cast<size_t>(end - digits));
  DeleteString(command, digits, end);
  Replace(command, "break", {"break,pass:", digit});
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
// a macro whose definition goes in front of the breakpoint command. Returns whether a macro was
// made.
bool ConvertCommandList(LineConverter& converter, std::string& command,
                        const std::string& arguments, const Keywords& keywords) {
  if (keywords.d == -1) return false;
  size_t d = static_cast<size_t>(keywords.d);
  std::string formacro = keywords.ConditionAfterList()
                             ? arguments.substr(d, static_cast<size_t>(keywords.e) + 1 - d)
                             : arguments.substr(d);
  std::string macroreturn;
  std::string name = converter.CreateMacro(formacro, macroreturn);
  macroreturn += "\n";
  Replace(command, "break", {"break,macro:{", name, "()}"});
  ReplaceWord(command, " do", " ");
  command.insert(0, macroreturn);
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

// A condition becomes "when", behind the macro reference when there is a command list.
void ConvertCondition(std::string& command, const std::string& arguments, const Keywords& keywords,
                      bool macroset) {
  std::string formacro;
  if (!FindCondition(arguments, keywords, formacro)) return;
  ReplaceEveryChar(formacro, ':', "\\");
  if (macroset) {
    Replace(command, ")} ", {")} ,when:{", formacro, "}"});
  } else {
    Replace(command, "break", {"break,when:{", formacro, "} "});
  }
  ReplaceWord(command, " if", " ");
}

}  // namespace

std::string LineConverter::CreateMacro(std::string& macrostring, std::string& output) {
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
  std::string temp;
  // Room for what an ordinary list converts to; a long one grows the text as it needs.
  constexpr size_t kUsualMacro = 512;
  temp.reserve(std::min(64 + 2 * macrostring.size(), kUsualMacro));
  temp.append("define int ").append(name).append("()\n{\n");
  // The commands of the list: the texts between its semicolons.
  std::vector<std::string> commands = SplitAt(macrostring, ';');
  // The list lives on in its commands; its text is not kept while they are converted (a
  // command may hold a list of its own, and so on).
  std::string().swap(macrostring);
  for (std::string& command : commands) {
    ConvertLine(command, command);
    if (command.empty()) continue;
    // A warning line that the conversion appended is not part of the macro.
    if (size_t newline = command.rfind('\n'); newline != std::string::npos) {
      command.resize(newline);
    }
    temp.append("$").append(command).append("$;\n");
    std::string().swap(command);
  }
  temp += "return (1);\n}\n.\n";
  ReplaceWord(temp, " if", " ");
  output.swap(temp);
  return name;
}

void LineConverter::ConvertBreaks(std::string& command, const std::string& arguments) {
  ConvertLocation(command);
  ConvertCount(command);
  Keywords keywords = FindKeywords(arguments);
  bool macroset = ConvertCommandList(*this, command, arguments, keywords);
  ConvertCondition(command, arguments, keywords, macroset);
}
