// Array assignments: a value list unfolded into one element assignment per line, and the
// blank-to-comma conversion of the value list that comes first.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <random>
#include <string>

#include "converter.h"

namespace {

struct ArrayCase {
  const char* what;
  const char* text;
  const char* expected;
};

TEST(SortArraysTest, UnfoldsValueLists) {
  const ArrayCase cases[] = {
      {"comma and blank", "cexpression arr=1, 2, 3",
       "cexpression arr[0]=1\ncexpression arr[1]=2\ncexpression arr[2]=3\n"},
      {"blanks only", "cexpression arr=1 2 3",
       "cexpression arr[0]=1\ncexpression arr[1]=2\ncexpression arr[2]=3\n"},
      {"blank after =", "cexpression arr= 1,2", "cexpression arr[0]=1\ncexpression arr[1]=2\n"},
      {"several blanks after =", "cexpression arr=  1,2",
       "cexpression arr[0]=1\ncexpression arr[1]=2\n"},
      {"blanks around =", "cexpression arr = 1 2",
       "cexpression arr [0]=1\ncexpression arr [1]=2\n"},
      {"memory target", "setmem 0x8000=1,2", "setmem 0x8000[0]=1\nsetmem 0x8000[1]=2\n"},
      {"trailing blank gives an empty element", "cexpression arr=1,2 ",
       "cexpression arr[0]=1\ncexpression arr[1]=2\ncexpression arr[2]=\n"},
      {"commas inside parentheses still split", "cexpression x=f(1,2)",
       "cexpression x[0]=f(1\ncexpression x[1]=2)\n"},
      {"no = leaves the text", "cexpression f(a, b)", "cexpression f(a, b)"},
      {"single value", "cexpression x=5", "cexpression x[0]=5\n"},
      {"empty value", "cexpression x=", "cexpression x[0]=\n"},
      {"adjacent commas give an empty element", "cexpression v=1,,2",
       "cexpression v[0]=1\ncexpression v[1]=\ncexpression v[2]=2\n"},
      {"commas before = belong to the target", "cexpression a,b=1,2",
       "cexpression a,b[0]=1\ncexpression a,b[1]=2\n"},
      {"blanks before = belong to the target", "cexpression a b=1 2",
       "cexpression a b[0]=1\ncexpression a b[1]=2\n"},
      {"doubled commas before = stay", "cexpression a,,b=1 ,2",
       "cexpression a,,b[0]=1\ncexpression a,,b[1]=2\n"},
  };
  for (const ArrayCase& c : cases) {
    std::string text = c.text;
    SortArrays(text);
    EXPECT_EQ(text, c.expected) << c.what;
  }
}

TEST(SortArraysTest, NumbersMoreThanTenElements) {
  std::string text = "cexpression v=0,1,2,3,4,5,6,7,8,9,10,11";
  std::string expected;
  for (int k = 0; k < 12; ++k) {
    expected += "cexpression v[" + std::to_string(k) + "]=" + std::to_string(k) + "\n";
  }
  SortArrays(text);
  EXPECT_EQ(text, expected);
}

// The whole line: placement keeps the blanks around "=" and after each comma, and every blank
// after the "=" must go before the list is cut, so that element 0 holds the first value.
TEST(SortArraysTest, AssignmentLineWithBlanksUnfoldsFromElementZero) {
  ResetRunState();
  std::string line = "let arr = 1, 2, 3";
  std::string converted;
  ASSERT_EQ(ConvertLine(line, converted), kConverted);
  EXPECT_EQ(converted, "cexpression arr  [0]=1\ncexpression arr  [1]=2\ncexpression arr  [2]=3\n");
}

struct SpaceCommaCase {
  const char* text;
  Index pos;
  const char* expected;
};

TEST(ChangeSpaceCommaTest, TurnsBlanksFromTheStartIndexIntoCommas) {
  const SpaceCommaCase cases[] = {
      {"a b=1 2", 3, "a b=1,2"},    {"x=1, 2", 1, "x=1,2"},        {"x=1 ,2", 1, "x=1,2"},
      {"x=1  2", 1, "x=1,2"},       {"x=   1 2", 1, "x=1,2"},      {"x=1 2 ", 1, "x=1,2,"},
      {"a,,b=1 ,2", 4, "a,,b=1,2"}, {"a,,b=1,,2", 4, "a,,b=1,,2"}, {"x=12", 1, "x=12"},
  };
  for (const SpaceCommaCase& c : cases) {
    std::string text = c.text;
    ChangeSpaceComma(text, c.pos);
    EXPECT_EQ(text, c.expected) << c.text << " from " << c.pos;
  }
}

// The conversion step by step: the first "= " loses every blank right after it; then, while a
// blank stands at the start index or later, the first such blank becomes a comma and the first
// ",," at the start index or later becomes ",".
std::string StepwiseSpaceComma(std::string s, size_t pos) {
  const size_t eq = s.find("= ");
  if (eq != std::string::npos) {
    while (eq + 1 < s.size() && s[eq + 1] == ' ') s.erase(eq + 1, 1);
  }
  for (;;) {
    const size_t blank = s.find(' ', pos);
    if (blank == std::string::npos) break;
    s[blank] = ',';
    const size_t pair = s.find(",,", pos);
    if (pair != std::string::npos) s.erase(pair, 1);
  }
  return s;
}

TEST(ChangeSpaceCommaTest, MatchesTheStepwiseConversionOnGeneratedTexts) {
  const std::string alphabet = "a1 ,=";
  std::mt19937 gen(20240611u);
  for (int n = 0; n < 5000; ++n) {
    const size_t length = gen() % 25;
    std::string text;
    for (size_t k = 0; k < length; ++k) text += alphabet[gen() % alphabet.size()];
    const size_t pos = gen() % (length + 1);
    std::string got = text;
    ChangeSpaceComma(got, static_cast<Index>(pos));
    ASSERT_EQ(got, StepwiseSpaceComma(text, pos)) << "text '" << text << "' from " << pos;
  }
}

}  // namespace
