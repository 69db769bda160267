// Command map: every Tavex command word, in table order, with the MXT template it must yield,
// written out here by hand; then the lookup's near misses and the alias store.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "commands.h"
#include "converter.h"

namespace {

#define NINE " XXXXX1 XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6 XXXXX7 XXXXX8 XXXXX9"
#define SEVEN " XXXXX1 XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6 XXXXX7"
#define EXPAND "expand\n//NOTE: Can only expand current context"
#define LOAD "load/pd/r  'XXXXX1;;XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6 XXXXX7 XXXXX8 XXXXX9'"
#define UNBREAK \
  "//warning unbreak not converted as MXT uses clearbreak #n where n is the breakpoint number"
#define SETREG(n) \
  { "r" #n, "setreg @r" #n "=XXXXX1 XXXXX2" }
// The register display of "r"; that of "registers" has one blank more before the closing quote.
#define REGS(blank)                                                                             \
  "printf \"r0=0x%x : r1=0x%x : r2=0x%x : r3=0x%x \\nr4=0x%x : r5=0x%x : r6=0x%x \\nr7=0x%x : " \
  "r8=0x%x : r9=0x%x \\nr10=0x%x : r11=0x%x : r12=0x%x : r13=0x%x \\nr14=0x%x : pc=0x%x : "     \
  "cpsr=0x%x" blank                                                                             \
  "\" ,@r0,@r1,@r2,@r3,@r4,@r5,@r6,@r7,@r8,@r9,@r10,@r11,@r12,@r13,@r14, @pc, @cpsr"

// clang-format off
const struct { const char *word, *templ; } kRows[] = {
    {" ", " "}, {"!", "host" NINE}, {"$", "cexpression XXXXX1"}, {"a", EXPAND},
    {"al", "alias" SEVEN}, {"alias", "alias" SEVEN}, {"arguments", EXPAND}, {"ba", "where XXXXX1"},
    {"backtrace", "where XXXXX1"}, {"b", "break XXXXX1 XXXXX2"}, {"break", "break XXXXX1 XXXXX2"},
    {"br", "break XXXXX1 XXXXX2"}, {"ca", "cexpression" NINE}, {"call", "cexpression" NINE},
    {"comment", "printf \"STR\""}, {"comm", "printf \"STR\""}, {"com", "printf \"STR\""},
    {"cregisters", "cexpression" NINE}, {"e", "dump XXXXX1..XXXXX2"},
    {"examine", "dump XXXXX1..XXXXX2"}, {"fi", "search XXXXX2..+ XXXXX3=XXXXX1"},
    {"find", "search XXXXX2..+ XXXXX3=XXXXX1"}, {"fpregisters", "cexpression" NINE},
    {"ge", "readfile,raw XXXXX1 = XXXXX2"}, {"getfile", "readfile,raw XXXXX1 = XXXXX2"},
    {"g", "go"}, {"go", "go"}, {"h", "dcommands XXXXX1"}, {"help", "dcommands XXXXX1"},
    {"i", "stepinstr" NINE}, {"in", "up"}, {"is", "stepinstr" NINE}, {"istep", "stepinstr" NINE},
    {"let", "cexpression" NINE}, {"l", "dump XXXXX1..XXXXX2"}, {"list", "dump XXXXX1..XXXXX2"},
    {"lo", LOAD}, {"load", LOAD}, {"loadconfig", "readboardfile XXXXX1"},
    {"localvar", "add XXXXX1 XXXXX2"}, {"log", "journal on=XXXXX1 \n"},
    {"ls", "printsymbols XXXXX1"}, {"lsym", "printsymbols XXXXX1"}, {"o", "include XXXXX1"},
    {"obey", "include XXXXX1"}, {"ou", "down"}, {"out", "down"}, {"pa", "pause XXXXX1"},
    {"pause", "pause XXXXX1"}, {"pc", "cexpression @pc=XXXXX1 XXXXX2"}, {"p", "printf \"%i\",STR"},
    {"p/%x", "printf \"%x\",STR"}, {"p/%d", "printf \"%d\",STR"}, {"print", "printf \"%i\",@STR"},
    {"pu", "writefile XXXXX1=XXXXX2..+ XXXXX3"}, {"putfile", "writefile XXXXX1=XXXXX2..+ XXXXX3"},
    {"q", "quit y"}, {"quit", "quit y"}, {"r", REGS("")}, SETREG(0), SETREG(1), SETREG(2),
    SETREG(3), SETREG(4), SETREG(5), SETREG(6), SETREG(7), SETREG(8), SETREG(9), SETREG(10),
    SETREG(11), SETREG(12), SETREG(13), SETREG(14), {"re", "load/n XXXXX1"},
    {"readsyms", "load/n XXXXX1"}, {"registers", REGS(" ")}, {"rel", "reload"},
    {"reload", "reload"}, {"setregisters", "setreg @XXXXX2=XXXXX3"},
    {"sp", "cexpression @sp=XXXXX1 XXXXX2"}, {"s", "stepl XXXXX1 XXXXX2"},
    {"step", "stepl XXXXX1 XXXXX2"}, {"sy", "printsymbols XXXXX1 XXXXX2"},
    {"symbols", "printsymbols XXXXX1 XXXXX2"}, {"type", "list" NINE}, {"u", UNBREAK},
    {"unb", UNBREAK}, {"unbr", UNBREAK}, {"unbreak", UNBREAK}, {"unw", ""}, {"v", "printtype" NINE},
    {"variable", "printtype" NINE}, {"w", "breaka XXXXX1 XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6"},
    {"watch", "breaka XXXXX1 XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6"}, {"wh", "where XXXXX1"},
    {"where", "where XXXXX1"}, {"while", "while" NINE}};
// clang-format on

TEST(CommandMap, EveryRowInOrderAndFoundByItsWord) {
  LineConverter converter;
  ASSERT_EQ(std::size(kRows), 98u);
  ASSERT_EQ(kCommandCount, 98);
  EXPECT_EQ(std::string(REGS(" ")).size(), 262u);
  for (int k = 0; k < kCommandCount; ++k) {
    SCOPED_TRACE("row " + std::to_string(k + 1) + " '" + kRows[k].word + "'");
    EXPECT_STREQ(tavex_commands[k].original, kRows[k].word);
    EXPECT_STREQ(tavex_commands[k].converted, kRows[k].templ);
    std::string post = "previous text";
    EXPECT_EQ(converter.LookUpCommand(kRows[k].word, post), 1);
    // A watchpoint takes the template of a breakpoint (its command is named "breaka" later).
    bool watch = std::string(kRows[k].word) == "w" || std::string(kRows[k].word) == "watch";
    EXPECT_EQ(post, watch ? "break XXXXX1 XXXXX2" : kRows[k].templ);
  }
}

// Whole words, exactly: no prefixes, no case folding, no trimming. Then the alias store, which is
// searched after the map, in any case, and yields the alias name as it was first stored.
TEST(CommandMap, NearMissesAndTheAliasStore) {
  LineConverter converter;
  std::string post = "untouched";
  for (const char* word : {"bre", "r15", "Break", "", "go ", " go", "p/%X", "registe", "myal"}) {
    EXPECT_EQ(converter.LookUpCommand(word, post), 0) << "'" << word << "'";
  }
  EXPECT_EQ(post, "untouched");
  for (const char* name : {"myal", "Other", "break", "OTHER", "MyAl"}) converter.AddAlias(name);
  std::string found;
  for (const char* word : {"myal", "Other", "other", "OTHER", "mya", "break"}) {
    found += converter.LookUpCommand(word, post) ? "|" + post : "|-";
  }
  EXPECT_EQ(found, "|myal|Other|Other|Other|-|break XXXXX1 XXXXX2");  // the built-in row wins
  EXPECT_EQ(converter.AliasCount(), 5u);  // a name stored again counts as a definition
  LineConverter other_run;                // another conversion has a store of its own
  EXPECT_EQ(other_run.LookUpCommand("myal", post) + other_run.AliasCount(), 0u);
}

}  // namespace
