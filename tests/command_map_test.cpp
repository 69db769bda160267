// Command map: every Tavex command word, in table order, with the MXT template it must yield,
// written out here by hand; then the lookup's near misses and the alias store.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "commands.h"
#include "converter.h"

namespace {

struct Row {
  const char* word;
  const char* templ;
};

#define NINE " XXXXX1 XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6 XXXXX7 XXXXX8 XXXXX9"
#define EXPAND "expand\n//NOTE: Can only expand current context"
#define LOAD "load/pd/r  'XXXXX1;;XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6 XXXXX7 XXXXX8 XXXXX9'"
#define UNBREAK \
  "//warning unbreak not converted as MXT uses clearbreak #n where n is the breakpoint number"
#define SETREG(n) \
  { "r" #n, "setreg @r" #n "=XXXXX1 XXXXX2" }

// Register display of "r"; "registers" has one blank more before the closing quote.
const char kRegistersShort[] =
    "printf \"r0=0x%x : r1=0x%x : r2=0x%x : r3=0x%x \\nr4=0x%x : r5=0x%x : r6=0x%x \\nr7=0x%x : "
    "r8=0x%x : r9=0x%x \\nr10=0x%x : r11=0x%x : r12=0x%x : r13=0x%x \\nr14=0x%x : pc=0x%x : "
    "cpsr=0x%x\" ,@r0,@r1,@r2,@r3,@r4,@r5,@r6,@r7,@r8,@r9,@r10,@r11,@r12,@r13,@r14, @pc, @cpsr";
const char kRegistersLong[] =
    "printf \"r0=0x%x : r1=0x%x : r2=0x%x : r3=0x%x \\nr4=0x%x : r5=0x%x : r6=0x%x \\nr7=0x%x : "
    "r8=0x%x : r9=0x%x \\nr10=0x%x : r11=0x%x : r12=0x%x : r13=0x%x \\nr14=0x%x : pc=0x%x : "
    "cpsr=0x%x \" ,@r0,@r1,@r2,@r3,@r4,@r5,@r6,@r7,@r8,@r9,@r10,@r11,@r12,@r13,@r14, @pc, @cpsr";

// clang-format off
const Row kRows[] = {
    {" ", " "}, {"!", "host" NINE}, {"$", "cexpression XXXXX1"}, {"a", EXPAND},
    {"al", "alias XXXXX1 XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6 XXXXX7"},
    {"alias", "alias XXXXX1 XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6 XXXXX7"}, {"arguments", EXPAND},
    {"ba", "where XXXXX1"}, {"backtrace", "where XXXXX1"}, {"b", "break XXXXX1 XXXXX2"},
    {"break", "break XXXXX1 XXXXX2"}, {"br", "break XXXXX1 XXXXX2"}, {"ca", "cexpression" NINE},
    {"call", "cexpression" NINE}, {"comment", "printf \"STR\""}, {"comm", "printf \"STR\""},
    {"com", "printf \"STR\""}, {"cregisters", "cexpression" NINE}, {"e", "dump XXXXX1..XXXXX2"},
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
    {"q", "quit y"}, {"quit", "quit y"}, {"r", kRegistersShort}, SETREG(0), SETREG(1), SETREG(2),
    SETREG(3), SETREG(4), SETREG(5), SETREG(6), SETREG(7), SETREG(8), SETREG(9), SETREG(10),
    SETREG(11), SETREG(12), SETREG(13), SETREG(14), {"re", "load/n XXXXX1"},
    {"readsyms", "load/n XXXXX1"}, {"registers", kRegistersLong}, {"rel", "reload"},
    {"reload", "reload"}, {"setregisters", "setreg @XXXXX2=XXXXX3"},
    {"sp", "cexpression @sp=XXXXX1 XXXXX2"}, {"s", "stepl XXXXX1 XXXXX2"},
    {"step", "stepl XXXXX1 XXXXX2"}, {"sy", "printsymbols XXXXX1 XXXXX2"},
    {"symbols", "printsymbols XXXXX1 XXXXX2"}, {"type", "list" NINE}, {"u", UNBREAK},
    {"unb", UNBREAK}, {"unbr", UNBREAK}, {"unbreak", UNBREAK}, {"unw", ""}, {"v", "printtype" NINE},
    {"variable", "printtype" NINE}, {"w", "breaka XXXXX1 XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6"},
    {"watch", "breaka XXXXX1 XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6"}, {"wh", "where XXXXX1"},
    {"where", "where XXXXX1"}, {"while", "while" NINE}
};
// clang-format on

class CommandMapTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetRunState(); }
  void TearDown() override { ResetRunState(); }
};

TEST_F(CommandMapTest, TableHoldsTheNinetyEightRowsInOrder) {
  ASSERT_EQ(std::size(kRows), 98u);
  ASSERT_EQ(kCommandCount, 98);
  for (int k = 0; k < kCommandCount; ++k) {
    SCOPED_TRACE("row " + std::to_string(k + 1));
    EXPECT_STREQ(tavex_commands[k].original, kRows[k].word);
    EXPECT_STREQ(tavex_commands[k].converted, kRows[k].templ);
  }
}

TEST_F(CommandMapTest, EveryWordYieldsItsTemplate) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(std::string("word '") + row.word + "'");
    std::string post = "previous text";
    EXPECT_EQ(LookUpCommand(row.word, post), 1);
    EXPECT_EQ(post, row.templ);
  }
}

TEST_F(CommandMapTest, RegisterDisplaysDifferByOneBlank) {
  EXPECT_EQ(std::string(kRegistersShort).size(), 261u);
  EXPECT_EQ(std::string(kRegistersLong).size(), 262u);
  std::string r, registers;
  ASSERT_EQ(LookUpCommand("r", r), 1);
  ASSERT_EQ(LookUpCommand("registers", registers), 1);
  const size_t blank = registers.find("cpsr=0x%x") + 9;
  ASSERT_EQ(registers.substr(blank, 2), " \"");
  EXPECT_EQ(registers.erase(blank, 1), r);
}

TEST_F(CommandMapTest, NearMissesAreNotFound) {
  for (const char* word : {"bre", "brea", "r15", "Break", "BREAK", "", "go ", " go", "p/%X", "p/%o",
                           "exa", "qu", "hel", "r-1", "go;", "registe"}) {
    SCOPED_TRACE(std::string("word '") + word + "'");
    std::string post = "untouched";
    EXPECT_EQ(LookUpCommand(word, post), 0);
    EXPECT_EQ(post, "untouched");
  }
}

TEST_F(CommandMapTest, AliasStoreYieldsTheAliasName) {
  std::string post;
  EXPECT_EQ(LookUpCommand("myal", post), 0);
  AddAlias("myal");
  AddAlias("Other");
  EXPECT_EQ(LookUpCommand("myal", post), 1);
  EXPECT_EQ(post, "myal");
  EXPECT_EQ(LookUpCommand("Other", post), 1);
  EXPECT_EQ(post, "Other");
  post = "untouched";
  EXPECT_EQ(LookUpCommand("other", post), 0);  // exact comparison, case matters
  EXPECT_EQ(LookUpCommand("mya", post), 0);
  EXPECT_EQ(post, "untouched");
}

TEST_F(CommandMapTest, BuiltInWordWinsOverAliasOfSameName) {
  AddAlias("break");
  std::string post;
  EXPECT_EQ(LookUpCommand("break", post), 1);
  EXPECT_EQ(post, "break XXXXX1 XXXXX2");
}

TEST_F(CommandMapTest, ResetRunStateEmptiesTheAliasStore) {
  AddAlias("myal");
  ResetRunState();
  std::string post;
  EXPECT_EQ(LookUpCommand("myal", post), 0);
  EXPECT_EQ(AliasCount(), 0u);
}

}  // namespace
