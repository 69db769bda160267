// The command-specific rewrites, the last stage of the line converter. Each case fills the working
// texts as the earlier stages leave them (the converted text so far, the argument text and the
// normalised line) and runs the rewrite chain on them.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "converter.h"
#include "line_stages.h"

namespace {

struct RewriteCase {
  const char* what;
  const char* post_con;   // converted text after clean-up and print conversion
  const char* arguments;  // argument text of the line
  const char* line;       // the normalised line
  const char* expected;   // the converted line
};

class RewriteTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetRunState(); }

  static std::string Rewrite(const RewriteCase& c, int* result) {
    LineWork work;
    work.line = c.line;
    work.PreCon = work.line.substr(0, work.line.find(' '));
    work.Arguments = c.arguments;
    work.PostCon = c.post_con;
    std::string converted = "untouched";
    *result = RewriteCommand(work, converted);
    return converted;
  }

  static void RunTable(const RewriteCase* cases, size_t count) {
    for (size_t k = 0; k < count; ++k) {
      const RewriteCase& c = cases[k];
      int result = -1;
      EXPECT_EQ(Rewrite(c, &result), c.expected) << c.what;
      EXPECT_EQ(result, kConverted) << c.what;
    }
  }
};

// Memory rule, register rule, "=:" handling, the array rule and scope colons, in their order.
TEST_F(RewriteTest, ExpressionBlockAppliesItsRulesInOrder) {
  const RewriteCase cases[] = {
      {"0x before the last = makes a memory write", "cexpression 0x8000 =5", "0x8000 =5",
       "let 0x8000 =5", "setmem 0x8000 =5"},
      {"0x after the last = is a value", "cexpression x =0x5", "x =0x5", "let x =0x5",
       "cexpression x =0x5"},
      {"a leading digit makes a memory write", "cexpression 5", "5", "let 5", "setmem 5"},
      {"a line beginning with c keeps the expression", "cexpression 5", "5", "call 5",
       "cexpression 5"},
      {"digit case needs a digit after the command", "cexpression @pc=0x8000", "0x8000",
       "pc 0x8000", "cexpression @pc=0x8000"},
      {"register write", "cexpression pc =0x8000", "pc =0x8000", "let pc =0x8000",
       "setreg @pc =0x8000"},
      {"cpsr register write", "cexpression cpsr =0", "cpsr =0", "let cpsr =0", "setreg @cpsr =0"},
      {"register rule replaces the memory rule", "cexpression lr 0x10 =5", "lr 0x10 =5",
       "let lr 0x10 =5", "setreg @lr 0x10 =5"},
      {"register name must end where a name ends", "cexpression speed = 3", "speed = 3",
       "let speed = 3", "cexpression speed = 3"},
      {"internal variable goes to the variable translator", "cexpression $statistics",
       "$statistics", "let $statistics",
       "cexpression @statistics\n//warning kestrovan statistics usage"},
      {"register name in an expression", "cexpression r1 = 5", "r1 = 5", "let r1 = 5",
       "cexpression @r1 = 5"},
      {"=: loses its colon", "cexpression x=:5", "x=:5", "let x=:5", "cexpression x=5"},
      {"=: with a doubled colon", "cexpression x=::5", "x=::5", "let x=::5", "cexpression x=5"},
      {"scope colon becomes one backslash", "cexpression main:x = 1", "main:x = 1",
       "let main:x = 1", "cexpression main\\x = 1"},
      {"final = goes", "cexpression x =", "x =", "let x =", "cexpression x "},
      {"memory write unfolded", "cexpression 0x8000 =1,2", "0x8000 =1,2", "let 0x8000 =1,2",
       "setmem 0x8000 [0]=1\nsetmem 0x8000 [1]=2\n"},
      {"=: and scope colons around the unfolding", "cexpression main:arr=:1,2", "main:arr=:1,2",
       "let main:arr=:1,2", "cexpression main\\arr[0]=1\ncexpression main\\arr[1]=2\n"},
      {"first comma at index 9 is not unfolded", "arr=12345,6 cexpression", "arr=12345,6",
       "let arr=12345,6", "arr=12345,6 cexpression"},
      {"first comma at index 10 is unfolded", "arr=123456,7 cexpression", "arr=123456,7",
       "let arr=123456,7", "arr[0]=123456\narr[1]=7\narr[2]=cexpression\n"},
  };
  RunTable(cases, std::size(cases));
}

// go and step with a while condition, the step variants and step-out.
TEST_F(RewriteTest, GoAndStepRules) {
  const RewriteCase cases[] = {
      {"go while", "go", "while x ==1", "go while x ==1", "gostep until(x !=1)"},
      {"g while", "go", "while x ==1", "g while x ==1", "gostep until(x !=1)"},
      {"go w without a further blank takes the whole line", "go", "w", "go w",
       "gostep until(!go w)"},
      {"go while condition untouched by step variants", "go", "while index ==1",
       "go while index ==1", "gostep until(index !=1)"},
      {"go while condition with scope colon", "go", "while main:i ==1", "go while main:i ==1",
       "gostep until(main\\i !=1)"},
      {"go while condition register gets marked", "go", "while r1 ==0", "go while r1 ==0",
       "gostep until(@r1 !=0)"},
      {"step while keeps the leading blank", "stepl while a ==b", "while a ==b", "step while a ==b",
       "gostep until( a !=b)"},
      {"s while", "stepl while  x", "while x", "s while x", "gostep until(! x)"},
      {"step while with no condition", "stepl while", "while", "step while", "gostep until(!)"},
      {"step in", "stepl in", "in", "step in", "stepinstr "},
      {"step out", "stepl out", "out", "step out", "stepoinstr "},
      {"while after a count is removed with a warning", "stepl 5 while x", "5 while x",
       "step 5 while x",
       "stepl 5  x  //WARNING: while has been removed from step as unsupported\n"},
      {"in inside a word stays", "stepl interval", "interval", "step interval", "stepl interval"},
      {"step inside a name is no step command", "cexpression step_n = interval",
       "step_n = interval", "let step_n = interval", "cexpression step_n = interval"},
      {"istep out", "stepinstr out", "out", "istep out", "stepoinstr"},
      {"out inside a word is no step-out", "stepinstr timeout", "timeout", "istep timeout",
       "stepinstr timeout"},
  };
  RunTable(cases, std::size(cases));
}

// Load quoting, the breakpoint entry, dump ranges, register names, search patterns, "@rr".
TEST_F(RewriteTest, LateRules) {
  const RewriteCase cases[] = {
      {"load ;' quote", "load/pd/r  'prog.elf;'", "prog.elf", "load prog.elf",
       "load/pd/r  'prog.elf'"},
      {"load ';; quote", "load/pd/r  ';;x'", "x", "load x", "load/pd/r  'x'"},
      {"load without a file", "load/pd/r  ;'", "", "load", "load/pd/r"},
      {"load without a file, ;;'", "load/pd/r  ;;'", "", "load", "load/pd/r"},
      {"load with arguments stays", "load/pd/r  'prog.elf;;arg1'", "prog.elf arg1",
       "load prog.elf arg1", "load/pd/r  'prog.elf;;arg1'"},
      {"break without arguments", "break", "", "break", "dtbreak"},
      {"watch without arguments", "breaka", "", "watch", "dtbreak"},
      {"clearbreak is no breakpoint", "clearbreak", "", "clearbreak", "clearbreak"},
      {"break with a location", "break 0x8000", "0x8000", "break 0x8000", "break #0x8000"},
      {"printf is no breakpoint", "printf \"break 42\"", "\"break 42\"", "comment \"break 42\"",
       "printf \"break 42\""},
      {"dump from zero", "dump ..0x100", "0x100", "examine ,0x100", "dump 0x0..0x100"},
      {"dump comma", "dump 0x8000,0x10", "0x8000,0x10", "examine 0x8000,0x10", "dump 0x8000 0x10"},
      {"dump registers", "dump r1,r2", "r1,r2", "examine r1,r2", "dump @r1 @r2"},
      {"where r1", "where r1", "r1", "where r1", "where @r1"},
      {"r2d2", "printsymbols r2d2", "r2d2", "ls r2d2", "printsymbols @r2d2"},
      {"no blank, no marking", "r1", "", "r1", "r1"},
      {"host is never marked", "host r1", "r1", "! r1", "host r1"},
      {"r inside a word", "cexpression timer1", "timer1", "print timer1", "cexpression timer1"},
      {"r at the end", "where r", "r", "where r", "where r"},
      {"several names", "cexpression r1+r13*xr2+_r3+@r4", "r1+r13*xr2+_r3+@r4",
       "let r1+r13*xr2+_r3+@r4", "cexpression @r1+@r13*xr2+_r3+@r4"},
      {"not inside a double-quoted string", "printf \"r1 %d\",r1", "\"r1 %d\",r1",
       "comment \"r1 %d\",r1", "printf \"r1 %d\",@r1"},
      {"search pattern stars", "search 0x0..+ 0x100=*a*b*", "*a*b* 0x0 0x100",
       "find *a*b* 0x0 0x100", "search 0x0..+ 0x100=ab"},
      {"doubled register prefix", "setreg @rr1=5", "rr1 5", "setregisters rr1 5", "setreg @r1=5"},
  };
  RunTable(cases, std::size(cases));
}

TEST_F(RewriteTest, BareAliasIsCopied) {
  const RewriteCase c = {"bare alias", "alias", "", "alias", "alias"};
  int result = -1;
  EXPECT_EQ(Rewrite(c, &result), "alias");
  EXPECT_EQ(result, kConverted);
}

// The register display spells its labels inside the format string; only its argument list names
// registers, and those already carry "@".
TEST_F(RewriteTest, RegisterDisplayKeepsItsLabels) {
  const std::string display =
      "printf \"r0=0x%x : r1=0x%x : r2=0x%x : r3=0x%x \\nr4=0x%x : r5=0x%x : r6=0x%x "
      "\\nr7=0x%x : r8=0x%x : r9=0x%x \\nr10=0x%x : r11=0x%x : r12=0x%x : r13=0x%x "
      "\\nr14=0x%x : pc=0x%x : cpsr=0x%x\" "
      ",@r0,@r1,@r2,@r3,@r4,@r5,@r6,@r7,@r8,@r9,@r10,@r11,@r12,@r13,@r14, @pc, @cpsr";
  std::string line = "r";
  std::string converted;
  ASSERT_EQ(ConvertLine(line, converted), kConverted);
  EXPECT_EQ(converted, display);
}

}  // namespace
