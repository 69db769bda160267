// The command-specific rewrites, the last stage of the line converter: the order of their rules.
// Each case fills the working texts as the earlier stages leave them (the converted text so far,
// the argument text and the normalised line) and runs the rewrite chain on them.
#include <gtest/gtest.h>

#include <string>

#include "converter.h"
#include "line_stages.h"

namespace {

TEST(Rewrites, RulesApplyInTheirOrder) {
  struct {
    const char *post_con, *arguments, *line;  // as clean-up left them; the line normalised
    const char* expected;                     // the converted line
  } const cases[] = {
      // clang-format off
      // Expression block: memory rule, register rule, "=:", array rule, scope colons.
      {"cexpression 0x8000 =5", "0x8000 =5", "let 0x8000 =5", "setmem 0x8000 =5"},
      {"cexpression x =0x5", "x =0x5", "let x =0x5", "cexpression x =0x5"},
      {"cexpression 5", "5", "let 5", "setmem 5"},
      {"cexpression 5", "5", "call 5", "cexpression 5"},
      {"cexpression @pc=0x8000", "0x8000", "pc 0x8000", "cexpression @pc=0x8000"},
      {"cexpression lr 0x10 =5", "lr 0x10 =5", "let lr 0x10 =5", "setreg @lr 0x10 =5"},
      {"cexpression cpsr =0", "cpsr =0", "let cpsr =0", "setreg @cpsr =0"},
      {"cexpression 0x8000 =1,2", "0x8000 =1,2", "let 0x8000 =1,2",
       "setmem 0x8000 [0]=1\nsetmem 0x8000 [1]=2\n"},
      {"cexpression main:arr=:1,2", "main:arr=:1,2", "let main:arr=:1,2",
       "cexpression main\\arr[0]=1\ncexpression main\\arr[1]=2\n"},
      {"arr=12345,6 cexpression", "arr=12345,6", "let arr=12345,6",  // first comma at index 9
       "arr=12345,6 cexpression"},
      {"arr=123456,7 cexpression", "arr=123456,7", "let arr=123456,7",  // ... and at 10
       "arr[0]=123456\narr[1]=7\narr[2]=cexpression\n"},
      // go and step with a while condition, the step variants, step-out.
      {"go", "while x ==1", "g while x ==1", "gostep until(x !=1)"},
      {"stepl while a ==b", "while a ==b", "step while a ==b", "gostep until( a !=b)"},
      {"stepl in", "in", "step in", "stepinstr "},
      {"stepl out", "out", "step out", "stepoinstr "},
      {"stepl 5 while x", "5 while x", "step 5 while x",
       "stepl 5  x  //WARNING: while has been removed from step as unsupported\n"},
      {"stepl interval", "interval", "step interval", "stepl interval"},
      {"stepinstr out", "out", "istep out", "stepoinstr"},
      {"stepinstr timeout", "timeout", "istep timeout", "stepinstr timeout"},
      // Load quoting: "';;" is tried before "';".
      {"load/pd/r  ';;x'", "x", "load x", "load/pd/r  'x'"},
      // Dump ranges before register names; "@" only where an "r" starts a word outside quotes.
      {"dump r1,r2", "r1,r2", "examine r1,r2", "dump @r1 @r2"},
      {"cexpression r1+r13*xr2+_r3+@r4", "r1+r13*xr2+_r3+@r4", "let r1+r13*xr2+_r3+@r4",
       "cexpression @r1+@r13*xr2+_r3+@r4"},
      {"printf \"r1 %d\",r1", "\"r1 %d\",r1", "comment \"r1 %d\",r1", "printf \"r1 %d\",@r1"},
      // clang-format on
  };
  for (const auto& c : cases) {
    ResetRunState();
    LineWork work;
    work.line = c.line;
    work.PreCon = work.line.substr(0, work.line.find(' '));
    work.Arguments = c.arguments;
    work.PostCon = c.post_con;
    std::string converted = "untouched";
    EXPECT_EQ(RewriteCommand(work, converted), kConverted) << c.line;
    EXPECT_EQ(converted, c.expected) << c.line;
  }
}

}  // namespace
