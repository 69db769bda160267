// While conditions: Tavex goes on while a condition holds, MXT's gostep until it holds. The
// first operator of the table below that the condition holds is inverted (its first occurrence
// only; the ordering operators are mirrored, not negated), scope colons become backslashes, and
// the text is wrapped.
#include <string>
#include <utility>

#include "converter.h"

void ChangeWhile(std::string& Command) {
  static const std::pair<std::string_view, std::string_view> kInversions[] = {
      {"!=", "=="}, {"==", "!="}, {">=", "<="}, {"<=", ">="}, {"=", "!="}};
  bool inverted = false;
  for (const auto& [from, to] : kInversions) {
    if (Contains(Command, from)) {
      Replace(Command, from, to);
      inverted = true;
      break;
    }
  }
  if (!inverted) Insert(Command, '!', 0);
  ReplaceEveryChar(Command, ':', "\\");
  Command = "gostep until(" + Command + ")";
}
