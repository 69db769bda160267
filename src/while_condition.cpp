// While conditions: Tavex goes on while a condition holds, MXT's gostep until it holds. The
// condition is negated: a lone comparison gets the opposite operator, a lone name a "!", and
// anything else is wrapped whole in "!(...)". Scope colons become backslashes (those of a quoted
// string stay), and the text is wrapped as one gostep command.
#include <string>
#include <string_view>

#include "converter.h"

namespace {

// The characters that operators are made of.
bool IsOperatorChar(char c) {
  return c == '<' || c == '>' || c == '=' || c == '!' || c == '&' || c == '|' || c == '?';
}

// A "=" that stands alone: none of "=", "!", "<" and ">" right before or after it.
bool IsLoneEquals(std::string_view text, size_t at) {
  auto joins = [](char c) { return c == '=' || c == '!' || c == '<' || c == '>'; };
  return text[at] == '=' && !joins(CharAt(text, static_cast<Index>(at) - 1)) &&
         !joins(CharAt(text, static_cast<Index>(at) + 1));
}

// What a condition is made of, as far as its negation cares.
struct ConditionShape {
  int comparisons = 0;          // comparison operators
  bool other_operator = false;  // a character of "<>=!&|?" that belongs to no comparison
  size_t at = 0;                // where the (last) comparison stands
  size_t length = 0;            // and how many characters it has
};

// Reads the condition from its start: "->" belongs to a name; "==", "!=", "<=", ">=", "<", ">"
// and a lone "=" are comparisons; any other character of "<>=!&|?" is another operator.
ConditionShape ReadCondition(std::string_view text) {
  ConditionShape shape;
  for (size_t i = 0; i < text.size();) {
    if (text.compare(i, 2, "->") == 0) {
      i += 2;
      continue;
    }
    if (!IsOperatorChar(text[i])) {
      ++i;
      continue;
    }
    size_t length = 0;
    std::string_view pair = text.substr(i, 2);
    if (pair == "==" || pair == "!=" || pair == "<=" || pair == ">=") {
      length = 2;
    } else if (text[i] == '<' || text[i] == '>' || IsLoneEquals(text, i)) {
      length = 1;
    }
    if (length == 0) {
      shape.other_operator = true;
      ++i;
      continue;
    }
    ++shape.comparisons;
    shape.at = i;
    shape.length = length;
    i += length;
  }
  return shape;
}

std::string_view Negation(std::string_view comparison) {
  if (comparison == "==") return "!=";
  if (comparison == "!=") return "==";
  if (comparison == ">=") return "<";
  if (comparison == "<=") return ">";
  if (comparison == "<") return ">=";
  if (comparison == ">") return "<=";
  return "!=";  // a lone "="
}

// A single word: no blank once the blanks around it are set aside.
bool IsSingleWord(std::string_view text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return true;
  size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1).find(' ') == std::string_view::npos;
}

void Negate(std::string& condition) {
  ConditionShape shape = ReadCondition(condition);
  if (shape.comparisons == 1 && !shape.other_operator) {
    std::string_view comparison = std::string_view(condition).substr(shape.at, shape.length);
    condition.replace(shape.at, shape.length, std::string(Negation(comparison)));
  } else if (shape.comparisons == 0 && !shape.other_operator && IsSingleWord(condition)) {
    Insert(condition, '!', 0);
  } else {
    condition.insert(0, "!(");
    condition.append(")");
  }
}

}  // namespace

void ChangeWhile(std::string& command) {
  Negate(command);
  ReplaceEveryCharOutsideQuotes(command, ':', "\\");
  command = "gostep until(" + command + ")";
}
