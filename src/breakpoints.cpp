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
  std::string context;
  CutString(command, context, pos + 1, pos2);
  if (context.empty()) return;

  std::string context_new = context;
  if (context_new[0] == '$' || context_new[0] == '@') context_new[0] = ' ';
  size_t digit = context_new.find_first_of("0123456789");
  if (digit != std::string::npos && context_new.find_first_not_of(" +") == digit) {
    Insert(context_new, '#', static_cast<Index>(digit));
  }
  Replace(command, context, context_new);
}

// A count: a digit right after the second blank of the text makes everything from there on
// the count.
void ConvertCount(std::string& command) {
  Index pos = FindString(command, " ");
  Index pos2 = FindnChar(command, ' ', pos + 1);
  if (pos2 == -1 || !IsDigit(CharAt(command, pos2 + 1))) return;
  std::string digit = command.substr(static_cast<size_t>(pos2) + 1);
  DeleteString(command, pos2, Length(command));
  Replace(command, "break", "break,pass:" + digit);
}

// A command list ("do" and what follows it) becomes a macro whose definition goes in front of
// the breakpoint command. Returns whether a macro was made.
bool ConvertCommandList(std::string& command, const std::string& arguments) {
  Index p = FindWord(arguments, "do");
  if (p == -1) return false;
  std::string formacro = arguments.substr(static_cast<size_t>(p));
  std::string macroreturn;
  std::string name = CreateMacro(formacro, macroreturn);
  macroreturn += "\n";
  Replace(command, "break", "break,macro:{" + name + "()}");
  ReplaceWord(command, " do", " ");
  command.insert(0, macroreturn);
  return true;
}

// A condition (" if" and what follows it) becomes "when"; a "}" anywhere in the argument text
// leaves it alone.
void ConvertCondition(std::string& command, const std::string& arguments, bool macroset) {
  Index p = FindWord(arguments, " if");
  if (p == -1 || Contains(arguments, "}")) return;
  std::string formacro = arguments.substr(static_cast<size_t>(p) + 3);
  ReplaceEveryChar(formacro, ':', "\\");
  if (macroset) {
    Replace(command, ")} ", ")} ,when:{" + formacro + "}");
  } else {
    Replace(command, "break", "break,when:{" + formacro + "} ");
  }
  ReplaceWord(command, " if", " ");
}

}  // namespace

std::string CreateMacro(std::string& macrostring, std::string& output) {
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
  std::string name = "MyMacro_" + std::to_string(MacroNumber++);
  macroname = name;
  std::string temp = "define int " + name + "()\n{\n";
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

void ConvertBreaks(std::string& command, const std::string& arguments) {
  ConvertLocation(command);
  ConvertCount(command);
  bool macroset = ConvertCommandList(command, arguments);
  ConvertCondition(command, arguments, macroset);
}
