// While conditions: the condition of a go or step command inverted and wrapped as one
// "gostep until(...)" command.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "converter.h"

namespace {

struct WhileCase {
  const char* what;
  const char* condition;
  const char* expected;
};

void RunCases(const WhileCase* cases, size_t count) {
  for (size_t k = 0; k < count; ++k) {
    std::string command = cases[k].condition;
    ChangeWhile(command);
    EXPECT_EQ(command, cases[k].expected) << cases[k].what;
  }
}

// One case per row of the inversion table, in table order; "!" goes in front when no row applies.
TEST(ChangeWhileTest, InvertsEachOperator) {
  const WhileCase cases[] = {
      {"!= becomes ==", "x !=1", "gostep until(x ==1)"},
      {"== becomes !=", "x ==1", "gostep until(x !=1)"},
      {">= is mirrored", "a>=b", "gostep until(a<=b)"},
      {"<= is mirrored", "a<=b", "gostep until(a>=b)"},
      {"= becomes !=", "a =b", "gostep until(a !=b)"},
      {"no operator", "flag", "gostep until(!flag)"},
      {"bare < has no row", "a<b", "gostep until(!a<b)"},
      {"bare > has no row", "a>b", "gostep until(!a>b)"},
      {"empty condition", "", "gostep until(!)"},
  };
  RunCases(cases, std::size(cases));
}

// The first row that matches decides, and only the first occurrence of its operator changes.
TEST(ChangeWhileTest, OnlyFirstMatchingOperatorChanges) {
  const WhileCase cases[] = {
      {"!= is tried before ==", "a==b && c!=d", "gostep until(a==b && c==d)"},
      {"first != only", "a!=b || c!=d", "gostep until(a==b || c!=d)"},
      {"first == only", "a==b || c==d", "gostep until(a!=b || c==d)"},
      {"== is tried before >=", "a>=b && c==d", "gostep until(a>=b && c!=d)"},
      {">= is tried before <=", "a<=b && c>=d", "gostep until(a<=b && c<=d)"},
      {"<= is tried before =", "a=b && c<=d", "gostep until(a=b && c>=d)"},
      {"first = only", "a=b && c=d", "gostep until(a!=b && c=d)"},
  };
  RunCases(cases, std::size(cases));
}

TEST(ChangeWhileTest, ScopeColonsBecomeOneBackslash) {
  const WhileCase cases[] = {
      {"one colon", "main:i ==1", "gostep until(main\\i !=1)"},
      {"every colon", "a:b:c", "gostep until(!a\\b\\c)"},
      {"colon with ! in front", "main:flag", "gostep until(!main\\flag)"},
  };
  RunCases(cases, std::size(cases));
}

// The step-while rule hands the condition over with its leading blank; it stays.
TEST(ChangeWhileTest, LeadingBlankIsKept) {
  const WhileCase cases[] = {
      {"! goes before the blank", " x", "gostep until(! x)"},
      {"inverted with blank", " a ==b", "gostep until( a !=b)"},
  };
  RunCases(cases, std::size(cases));
}

}  // namespace
