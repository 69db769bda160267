// Dropped text: the words of a segment's arguments that its conversion does not show.
#include "dropped_words.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DroppedWords, WordsNowhereInTheConversion) {
  struct {
    const char* command;
    const char* arguments;
    const char* converted;
    const char* dropped;
  } const cases[] = {
      // clang-format off
      {"br", "flash.c:212", "break #212", "flash.c"},  // "." belongs to a word
      {"go", "main", "go", "main"},
      {"ss", "5", "ss", "5"},  // an alias takes no arguments
      {"break", "main", "break main", ""},
      {"print", "x", "cexpression x", ""},
      {"go", "while x<10", "gostep until(x>=10)", ""},
      {"v", "Counter", "printtype counter", ""},             // case does not matter
      {"p", "tick", "cexpression tick_count", ""},          // anywhere, also inside a word
      {"l", "a a b a", "dump", "a b"},                      // each word once, in input order
      {"l", "Ab aB", "dump", "Ab"},                         // as first written
      {"l", "xabcx abc bc c abd", "dump xabcx", "abd"},     // words inside words
      {"l", "she he hers his", "dump ushers", "his"},       // overlapping words
      // words the conversion consumes by design
      {"b", "f do {go} if x", "define int M()\n{\n$go$;\n}\n.\n\nbreak f", "x"},
      // the command words of a breakpoint's command list become the macro's MXT commands
      {"b", "main do {print x; p/%x pc; go}", "...$cexpression x$;\n$printf \"%x\",@pc$;\n$go$;\n...main",
       ""},
      {"watch", "h do let n=1", "...$cexpression n =1$;\n...breaka h", ""},
      {"v", "{show x}", "printtype {x}", "show"},  // only a breakpoint's list
      {"go", "wh x", "gostep until(!x)", ""},  {"go", "w x", "gostep until(!x)", ""},
      {"g", "WHILE x", "gostep until(!x)", ""},
      {"go", "x wh", "go", "x wh"},              // only the first word is the while word
      {"go", "x while y", "go", "x y"},          // "while" itself anywhere
      {"let", "x while y", "cexpression x", "while y"},  // not for other commands
      {"s", "in", "stepinstr ", ""},  {"istep", "OUT", "stepoinstr", ""},
      {"go", "in out", "go", "in out"},
      {"log", "off", "journal off", ""},  {"log", "x off", "journal on=x", "off"},
      {"e", "0x40 /32 4", "dump 0x40 ..4", ""},  {"e", "0x40 32 4", "dump 0x40 ..4", "32"},
      {"e", "/64 4", "dump 4", "64"},
      {"go", "", "go", ""},  {"go", "+-*/ ()", "go", ""},  // no words
      // "$cmdline" is MXT's "arguments"; elsewhere its word counts as any other.
      {"let", "$cmdline = \"x\"", "arguments = \"x\"", ""},
      {"pause", "1 $cmdline", "pause 1", "cmdline"},
      {"let", "cmdline = 1", "arguments = 1", "cmdline"},
      // an included script is named by its converted script; other words count as usual
      {"obey", "init.tvx", "include init.mxt", ""},
      {"o", "sub/Board.TVX y", "include sub/Board.mxt", "y"},
      {"v", "init.tvx", "printtype init.mxt", "init.tvx"},
      {"b", "f do {obey sub/x.tvx}", "...$include sub/x.mxt$;\n...break f", ""},  // in a list
      {"alias", "ld obey boot.TVX", "alias ld = include boot.mxt", ""},         // in an alias
      {"b", "f do {v x.tvx}", "...$printtype x.tvx$;\n...break f", ""},
      {"obey", "a.tvx b.tvx", "include a.mxt ", "b.tvx"},
      // The command word of an alias's body becomes its MXT command; the words of the
      // definition count as usual.
      {"alias", "ex examine 0x0 y", "alias ex = dump 0x0", "y"},
      // A go or step in a list consumes its while word, or in and out, as it does alone.
      {"b", "f do {step while x; go wh y}",
       "...$gostep until(! x)$;\n$gostep until(!y)$;\n...break f", ""},
      {"b", "f do {s in; step out; go out}", "...$stepinstr $;\n$stepoinstr $;\n$go$;\n...break f",
       "out"},
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DroppedWords(c.command, c.arguments, c.converted), c.dropped)
        << c.command << " " << c.arguments << " -> " << c.converted;
  }
}

// The one pass over the converted text finds the same words as a search for each word.
TEST(DroppedWords, OnePassFindsWhatASearchPerWordFinds) {
  std::string arguments, converted = "cexpression ";
  unsigned seed = 7;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) % 1000; };
  for (int k = 0; k < 4000; ++k) {
    arguments += "w" + std::to_string(next()) + "x" + std::to_string(next() % 7) + " ";
    converted += "w" + std::to_string(next()) + "x" + std::to_string(next() % 7) + "+";
  }
  std::string expected;
  for (size_t at = 0; at < arguments.size();) {
    size_t end = arguments.find(' ', at);
    std::string word = arguments.substr(at, end - at);
    at = end + 1;
    if (converted.find(word) != std::string::npos) continue;
    if ((" " + expected + " ").find(" " + word + " ") != std::string::npos) continue;
    expected += (expected.empty() ? "" : " ") + word;
  }
  EXPECT_EQ(DroppedWords("let", arguments, converted), expected);
}

// Words longer than an automaton holds are searched on their own, as written and in any case;
// words whose automata take several passes are all found.
TEST(DroppedWords, LongWordsAndManyPasses) {
  const std::string word(300000, 'x'), other = "y" + std::string(300000, 'x');
  EXPECT_EQ(DroppedWords("p", word, "cexpression " + word), "");
  std::string upper = word;
  upper[7] = 'X';
  EXPECT_EQ(DroppedWords("p", upper + " " + other, "cexpression " + word), other);
  // Forty thousand words of half a million characters take several automata; a third of them
  // are not in the conversion (each word ends with "z": none stands inside another).
  std::string arguments, converted, expected;
  for (int k = 0; k < 40000; ++k) {
    const std::string name = "n" + std::to_string(k) + std::string(k % 13, 'q') + "z";
    arguments += name + " ";
    if (k % 3 != 0) {
      converted += "+" + name;
    } else {
      expected += (expected.empty() ? "" : " ") + name;
    }
  }
  EXPECT_EQ(DroppedWords("let", arguments, converted), expected);
}

}  // namespace
