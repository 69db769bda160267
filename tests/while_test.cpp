// While conditions: the condition of a go or step command negated and wrapped as one
// "gostep until(...)" command.
#include <gtest/gtest.h>

#include <string>

#include "converter.h"

namespace {

TEST(ChangeWhile, NegatesTheCondition) {
  const struct {
    const char *condition, *expected;
  } cases[] = {
      // clang-format off
      // One comparison and no other operator: the opposite comparison.
      {"x !=1", "x ==1"}, {"x ==1", "x !=1"}, {"a>=b", "a<b"}, {"a<=b", "a>b"}, {"a<b", "a>=b"},
      {"a>b", "a<=b"}, {"a =b", "a !=b"}, {"x<10", "x>=10"}, {"n < 2", "n >= 2"},
      {"==", "!="}, {"=", "!="},
      // "->" belongs to a name: it is no ">".
      {" p->len > 0", " p->len <= 0"}, {"p->next", "!p->next"}, {"a->b==c->d", "a->b!=c->d"},
      // A single word (blanks around it aside), no operator: "!" in front, as before.
      {"flag", "!flag"}, {" x", "! x"}, {"x ", "!x "}, {"", "!"}, {"f(a)", "!f(a)"},
      // Anything else is negated whole.
      {"a==b && c!=d", "!(a==b && c!=d)"}, {"a<b || a>c", "!(a<b || a>c)"},
      {"!done", "!(!done)"}, {"a&b", "!(a&b)"}, {"a ? b : c", "!(a ? b \\ c)"},
      {"go w", "!(go w)"}, {"a<>b", "!(a<>b)"}, {"a===b", "!(a===b)"}, {"a=<b", "!(a=<b)"},
      // Every scope colon becomes one backslash; a leading blank (from step-while) stays.
      {"main:i ==1", "main\\i !=1"}, {"a:b:c", "!a\\b\\c"}, {" a ==b", " a !=b"},
      {" main:i<=3", " main\\i>3"},
      // ... but the colons of a quoted string stay colons.
      {"s == \"a:b\"", "s != \"a:b\""}, {"m:s == \"a:b\" + c:d", "m\\s != \"a:b\" + c\\d"},
      // clang-format on
  };
  for (const auto& c : cases) {
    std::string command = c.condition;
    ChangeWhile(command);
    EXPECT_EQ(command, std::string("gostep until(") + c.expected + ")") << c.condition;
  }
}

}  // namespace
