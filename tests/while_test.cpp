// While conditions: the condition of a go or step command inverted and wrapped as one
// "gostep until(...)" command.
#include <gtest/gtest.h>

#include <string>

#include "converter.h"

namespace {

TEST(ChangeWhile, InvertsTheFirstMatchingOperatorOnce) {
  const struct {
    const char *condition, *expected;
  } cases[] = {
      // clang-format off
      // Each row of the inversion table; "!" in front when none applies.
      {"x !=1", "x ==1"}, {"x ==1", "x !=1"}, {"a>=b", "a<=b"}, {"a<=b", "a>=b"}, {"a =b", "a !=b"},
      {"flag", "!flag"}, {"a<b", "!a<b"}, {"a>b", "!a>b"}, {"", "!"},
      // The first row that matches decides, and only its first occurrence changes.
      {"a==b && c!=d", "a==b && c==d"}, {"a!=b || c!=d", "a==b || c!=d"},
      {"a==b || c==d", "a!=b || c==d"}, {"a>=b && c==d", "a>=b && c!=d"},
      {"a<=b && c>=d", "a<=b && c<=d"}, {"a=b && c<=d", "a=b && c>=d"},
      {"a=b && c=d", "a!=b && c=d"},
      // Every scope colon becomes one backslash; a leading blank (from step-while) stays.
      {"main:i ==1", "main\\i !=1"}, {"a:b:c", "!a\\b\\c"}, {" x", "! x"}, {" a ==b", " a !=b"},
      // clang-format on
  };
  for (const auto& c : cases) {
    std::string command = c.condition;
    ChangeWhile(command);
    EXPECT_EQ(command, std::string("gostep until(") + c.expected + ")") << c.condition;
  }
}

}  // namespace
