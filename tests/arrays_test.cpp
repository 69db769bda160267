// Array assignments: a value list unfolded into one element assignment per line, and the
// blank-to-comma conversion of the value list that comes first.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "converter.h"

namespace {

TEST(Arrays, SortArraysUnfoldsValueLists) {
  const std::string three = "cexpression arr[0]=1\ncexpression arr[1]=2\ncexpression arr[2]=3\n";
  struct {
    const char* text;
    std::string expected;
  } const cases[] = {
      // clang-format off
      {"cexpression arr=1, 2, 3", three}, {"cexpression arr=1 2 3", three},
      {"cexpression arr=  1,2", "cexpression arr[0]=1\ncexpression arr[1]=2\n"},  // blanks go
      {"cexpression arr = 1 2", "cexpression arr [0]=1\ncexpression arr [1]=2\n"},
      // Blanks at the end separate nothing; a written comma does.
      {"cexpression arr=1,2 ", "cexpression arr[0]=1\ncexpression arr[1]=2\n"},
      {"cexpression arr=1 2  ", "cexpression arr[0]=1\ncexpression arr[1]=2\n"},
      {"cexpression arr=1,2,", "cexpression arr[0]=1\ncexpression arr[1]=2\ncexpression arr[2]=\n"},
      {"cexpression f(a, b)", "cexpression f(a, b)"},  // no "=": unchanged
      {"cexpression v=1,,2", "cexpression v[0]=1\ncexpression v[1]=\ncexpression v[2]=2\n"},
      {"cexpression a,,b=1 ,2", "cexpression a,,b[0]=1\ncexpression a,,b[1]=2\n"},  // target commas
      {"cexpression a b=1 2", "cexpression a b[0]=1\ncexpression a b[1]=2\n"},
      // Commas inside double quotes or parentheses belong to one value.
      {"cexpression x=f(1,2),\"a,b\"", "cexpression x[0]=f(1,2)\ncexpression x[1]=\"a,b\"\n"},
      {"cexpression x=(a,(b,c)),d", "cexpression x[0]=(a,(b,c))\ncexpression x[1]=d\n"},
      {"cexpression f(a=1,2", "cexpression f(a[0]=1,2\n"},  // depth counted from the start
      // clang-format on
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    SortArrays(text);
    EXPECT_EQ(text, c.expected) << c.text;
  }
}

TEST(Arrays, WhichTextsAreArrayAssignments) {
  const struct {
    const char* text;
    bool array;
  } cases[] = {
      // clang-format off
      {"cexpression arr=1,2", true}, {"cexp a=1,2", false},  // the first comma after index 9
      {"cexpression y=max(a,b)", false}, {"cexpression s=\"a,b\"", false},
      {"cexpression y=max(a,b),c", true}, {"cexpression s=\"(\",1", false},
      {"cexpression a=1 2", true}, {"cexpression a=  0x1F 0XaB  7", true},
      {"cexpression a=1", false}, {"cexpression a=+1 2", false},
      // Fractions: digits, ".", digits; blanks after the last value count for nothing.
      {"cexpression a=1.5 2", true}, {"cexpression a=0.5 0.25", true},
      {"cexpression a=.5 1", false}, {"cexpression a=1. 2", false}, {"cexpression a=1.2.3 4", false},
      {"cexpression a=0x1.5 2", false},
      {"cexpression a=1 2 ", true}, {"cexpression a=1 ", false},
      {"cexpression a 1 2", false}, {"cexpression a=0x 2", false},
      {"cexpression a=b 1 2", false}, {"cexpression a==1 2", false},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(IsArrayAssignment(c.text), c.array) << c.text;
}

// The conversion step by step: the first "= " loses every blank right after it; then, while a
// blank stands at the start index or later, the first such blank becomes a comma and the first
// ",," at the start index or later becomes ",".
std::string StepwiseSpaceComma(std::string s, size_t pos) {
  const size_t eq = s.find("= ");
  if (eq != std::string::npos) {
    while (eq + 1 < s.size() && s[eq + 1] == ' ') s.erase(eq + 1, 1);
  }
  for (size_t blank; (blank = s.find(' ', pos)) != std::string::npos;) {
    s[blank] = ',';
    const size_t pair = s.find(",,", pos);
    if (pair != std::string::npos) s.erase(pair, 1);
  }
  return s;
}

TEST(Arrays, ChangeSpaceCommaMatchesTheStepwiseConversion) {
  const struct {
    const char* text;
    Index pos;
    const char* expected;
  } cases[] = {// clang-format off
      {"a b=1 2", 3, "a b=1,2"}, {"x=1 ,2", 1, "x=1,2"}, {"x=   1 2", 1, "x=1,2"},
      {"x=1 2 ", 1, "x=1,2,"}, {"a,,b=1,,2", 4, "a,,b=1,,2"}};
  // clang-format on
  for (const auto& c : cases) {
    std::string text = c.text;
    ChangeSpaceComma(text, c.pos);
    EXPECT_EQ(text, c.expected) << c.text << " from " << c.pos;
  }
  const std::string alphabet = "a1 ,=";
  std::mt19937 gen(20240611u);
  for (int n = 0; n < 5000; ++n) {
    std::string text(gen() % 25, ' ');
    for (char& ch : text) ch = alphabet[gen() % alphabet.size()];
    const size_t pos = gen() % (text.size() + 1);
    std::string got = text;
    ChangeSpaceComma(got, static_cast<Index>(pos));
    ASSERT_EQ(got, StepwiseSpaceComma(text, pos)) << "text '" << text << "' from " << pos;
  }
}

}  // namespace
