// Conversions side by side: two conversion objects in two threads give exactly what they give one
// after the other (run under ThreadSanitizer by the continuous integration).
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <thread>

#include "tvx2mxt/tvx2mxt.h"

namespace {

// A script that uses what outlives a line: aliases (defined, then used in any case), macros of
// breakpoint command lists (numbered over the run), and findings of every kind.
std::string Script(int variant) {
  std::string script;
  for (int k = 0; k < 400; ++k) {
    std::string n = std::to_string(k + variant);
    script += "alias A" + n + " step " + n + "\n";
    script += "a" + n + "\n";
    script += "b main:" + n + " do {print x" + n + "; go} if y > " + n + "\n";
    script += "go while n" + n + " < 10;foo " + n + "\n";
    script += "let arr = 1, 2, " + n + "\n";
    script += "print $result\ngo main\n|comment " + n + "\n";
  }
  return script;
}

struct Outcome {
  std::string output;
  tvx2mxt::ScriptResult result;
};

Outcome Convert(const std::string& script) {
  std::istringstream in(script);
  std::ostringstream out;
  Outcome outcome;
  outcome.result = tvx2mxt::ConvertScript(in, out);
  outcome.output = out.str();
  return outcome;
}

std::string Summary(const Outcome& outcome) {
  const tvx2mxt::Counts& c = outcome.result.counts;
  std::string text = std::to_string(c.not_converted) + " " + std::to_string(c.semicolon_lines) +
                     " " + std::to_string(c.warnings) + " " + std::to_string(c.dropped) + "\n";
  for (const tvx2mxt::Finding& f : outcome.result.findings) {
    text += std::to_string(f.line) + std::string(tvx2mxt::KindName(f.kind)) + f.text + "\n";
  }
  return text + outcome.output;
}

TEST(Concurrency, TwoConversionsInTwoThreadsGiveWhatTheyGiveOneAfterTheOther) {
  const std::string first_script = Script(0), second_script = Script(1000);
  const std::string first_alone = Summary(Convert(first_script));
  const std::string second_alone = Summary(Convert(second_script));
  ASSERT_NE(first_alone, second_alone);

  std::string first_beside, second_beside;
  std::thread first([&] { first_beside = Summary(Convert(first_script)); });
  std::thread second([&] { second_beside = Summary(Convert(second_script)); });
  first.join();
  second.join();
  EXPECT_EQ(first_beside, first_alone);
  EXPECT_EQ(second_beside, second_alone);
}

}  // namespace
