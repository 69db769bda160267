// The command-specific rewrites, the last stage of the line converter: the order of their rules.
// Each case fills the working texts as the earlier stages leave them (the converted text so far,
// the argument text and the normalised line) and runs the rewrite chain on them.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "converter.h"
#include "line_stages.h"

namespace {

// The working texts as the earlier stages leave them (the converted text so far, the argument
// text and the normalised line), and the converted line the rewrite chain makes of them.
struct RewriteCase {
  std::string post_con, arguments, line;
  std::string expected;
};

void ExpectRewrites(std::initializer_list<RewriteCase> cases) {
  for (const RewriteCase& c : cases) {
    LineConverter converter;
    LineWork work;
    work.line = c.line;
    work.command_word = work.line.substr(0, work.line.find(' '));
    MakeLower(work.command_word);
    work.arguments = c.arguments;
    work.postcon = c.post_con;
    std::string converted = "untouched";
    EXPECT_EQ(converter.RewriteCommand(work, converted), kConverted) << c.line;
    EXPECT_EQ(converted, c.expected) << c.line;
  }
}

TEST(Rewrites, RulesApplyInTheirOrder) {
  ExpectRewrites({
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
       "stepl 5  x\n//WARNING: while has been removed from step as unsupported"},
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
  });
}

// The rules as they read now, each with a case that changes and one that stays as it was.
TEST(Rewrites, SoundRules) {
  const std::string step_warning = "\n//WARNING: while has been removed from step as unsupported";
  ExpectRewrites({
      // clang-format off
      // "log off", in any case and blanks aside, closes the journal.
      {"journal on=off \n", "off", "log off", "journal off"},
      {"journal on=OFF  \n", "OFF ", "LOG OFF ", "journal off"},
      {"journal on=offline \n", "offline", "log offline", "journal on=offline \n"},
      // The colon rules leave the text inside double quotes as written.
      {"cexpression s =\"a:b\"", "s =\"a:b\"", "let s =\"a:b\"", "cexpression s =\"a:b\""},
      {"cexpression m:s =\"a:b\"+c:d", "m:s =\"a:b\"+c:d", "let m:s =\"a:b\"+c:d",
       "cexpression m\\s =\"a:b\"+c\\d"},
      {"cexpression s =\"=:\" =:5", "s =\"=:\" =:5", "let s =\"=:\" =:5",
       "cexpression s =\"=:\" =5"},
      {"cexpression s =\"x\" =::5", "s =\"x\" =::5", "let s =\"x\" =::5",
       "cexpression s =\"x\" =5"},
      // Commas inside double quotes or parentheses neither open the array rule nor separate.
      {"cexpression y  =  max(a,b)", "y = max(a,b)", "let y = max(a,b)",
       "cexpression y  =  max(a,b)"},
      {"cexpression msg  =  \"a, b\"", "msg = \"a, b\"", "let msg = \"a, b\"",
       "cexpression msg  =  \"a, b\""},
      {"cexpression v  =  f(a,b),2", "v = f(a,b),2", "let v = f(a,b),2",
       "cexpression v  [0]=f(a,b)\ncexpression v  [1]=2\n"},
      {"cexpression s  =  \"a(b\",\"c\"", "", "let s",  // a "(" counts inside quotes too
       "cexpression s  =  \"a(b\",\"c\""},
      {"cexpression s  =  \"a,b\",\"c\"", "", "let s",
       "cexpression s  [0]=\"a,b\"\ncexpression s  [1]=\"c\"\n"},
      {"cexpression v  =  1),2", "v = 1),2", "let v = 1),2",  // the depth never goes below 0
       "cexpression v  [0]=1)\ncexpression v  [1]=2\n"},
      // Two or more integer literals separated by blanks are a value list.
      {"cexpression arr  =  1  2  3", "arr = 1 2 3", "let arr = 1 2 3",
       "cexpression arr  [0]=1\ncexpression arr  [1]=2\ncexpression arr  [2]=3\n"},
      {"cexpression 0x2001FFF0  =  0xDEAD  0xBEEF", "0x2001FFF0 = 0xDEAD 0xBEEF",
       "0x2001FFF0 = 0xDEAD 0xBEEF",
       "setmem 0x2001FFF0  [0]=0xDEAD\nsetmem 0x2001FFF0  [1]=0xBEEF\n"},
      {"cexpression t  =0X1f  007", "t =0X1f 007", "let t =0X1f 007",
       "cexpression t  [0]=0X1f\ncexpression t  [1]=007\n"},
      {"cexpression v  =  1.5  2.5", "v = 1.5 2.5", "let v = 1.5 2.5",
       "cexpression v  [0]=1.5\ncexpression v  [1]=2.5\n"},
      {"cexpression v  =  .5  1.", "v = .5 1.", "let v = .5 1.", "cexpression v  =  .5  1."},
      {"cexpression v  =  1.5e3  2", "v = 1.5e3 2", "let v = 1.5e3 2", "cexpression v  =  1.5e3  2"},
      {"cexpression x  =  a  +  b", "x = a + b", "let x = a + b", "cexpression x  =  a  +  b"},
      {"cexpression x  =  5", "x = 5", "let x = 5", "cexpression x  =  5"},
      {"cexpression x  =  -1  2", "x = -1 2", "let x = -1 2", "cexpression x  =  -1  2"},
      {"cexpression x  =  0x  2", "x = 0x 2", "let x = 0x 2", "cexpression x  =  0x  2"},
      {"cexpression x  =  1  2 ", "x = 1 2 ", "let x = 1 2 ",
       "cexpression x  [0]=1\ncexpression x  [1]=2\n"},  // blanks at the end separate nothing
      {"cexpression x  =1,2 ", "x =1,2 ", "let x =1,2 ", "cexpression x  [0]=1\ncexpression x  [1]=2\n"},
      {"cexpression x  =1,2,", "x =1,2,", "let x =1,2,",  // a written comma still separates
       "cexpression x  [0]=1\ncexpression x  [1]=2\ncexpression x  [2]=\n"},
      // The memory rule's number case needs "cexpression " and a line that is no print.
      {"printf \"%x\",0x4<<cexpression[13]", "0x4<<cexpression[13]", "p/%x 0x4<<cexpression[13]",
       "printf \"%x\",0x4<<cexpression[13]"},
      {"cexpression 5", "5", "p 5", "cexpression 5"},
      {"cexpression 0x20000000", "0x20000000", "print 0x20000000", "cexpression 0x20000000"},
      {"cexpression 5", "5", "PRINT 5", "cexpression 5"},
      {"cexpression 5", "5", "CALL 5", "cexpression 5"},
      {"cexpression 5", "5", "let 5", "setmem 5"},
      // go-while and step-while need "while" or a beginning of it, in any case; any other go
      // argument is said to be left out.
      {"go", "wdt_kick", "go wdt_kick", "go\n//Warning: go argument not converted: wdt_kick"},
      {"go", "whilex x", "go whilex x", "go\n//Warning: go argument not converted: whilex x"},
      {"go", "W x<1", "go W x<1", "gostep until(x>=1)"},
      {"go", "whil a", "go whil a", "gostep until(!a)"},
      {"stepl While x", "While x", "step While x", "gostep until(! x)"},
      {"stepl wait", "wait", "step wait", "stepl wait"},
      // The step variants and the step-out rule read their words in any case.
      {"stepl IN", "IN", "STEP IN", "stepinstr "},
      {"stepl Out", "Out", "Step Out", "stepoinstr "},
      {"stepl 5 WHILE x", "5 WHILE x", "step 5 WHILE x", "stepl 5  x" + step_warning},
      {"stepinstr OUT", "OUT", "ISTEP OUT", "stepoinstr"},
      {"stepinstr OUTER", "OUTER", "ISTEP OUTER", "stepinstr OUTER"},
      // A double-quoted file name keeps its quotes without the single quote after them.
      {"load/pd/r  \"build out/app.elf\"'", "\"build out/app.elf\"", "load \"build out/app.elf\"",
       "load/pd/r  \"build out/app.elf\""},
      {"load/pd/r  'app.elf'", "app.elf", "load app.elf", "load/pd/r  'app.elf'"},
      // The dump rule and the search-pattern rule act on their own commands only.
      {"readfile,raw dump.bin  = 0x20000000", "dump.bin 0x20000000", "getfile dump.bin 0x20000000",
       "readfile,raw dump.bin  = 0x20000000"},
      {"dump ..0x100", "..0x100", "e ..0x100", "dump 0x0..0x100"},
      {"cexpression *search_ptr", "*search_ptr", "p *search_ptr", "cexpression *search_ptr"},
      {"search 0x0..+ 0x100=*a*", "*a* 0x0 0x100", "find *a* 0x0 0x100", "search 0x0..+ 0x100=a"},
      // Register names: "r" or "R", one or two digits, and no further name character.
      {"where R1", "R1", "where R1", "where @R1"},
      {"where r13", "r13", "where r13", "where @r13"},
      {"include R1", "R1", "o R1", "include @R1"},
      {"printsymbols r2d2", "r2d2", "sy r2d2", "printsymbols r2d2"},
      {"cexpression r1_count  =  5", "r1_count = 5", "let r1_count = 5",
       "cexpression r1_count  =  5"},
      {"cexpression r123", "r123", "let r123", "cexpression r123"},
      {"cexpression r1,R2", "r1,R2", "let r1,R2", "cexpression @r1,@R2"},
      // The alias branch takes "alias" only as the whole command word.
      {"printtype alias_table", "alias_table", "v alias_table", "printtype alias_table"},
      {"alias", "", "alias", "alias"},
      // clang-format on
  });
}

// Registers read in expressions, loads, includes and the closing warnings: a case that changes
// and one that stays for each rule.
TEST(Rewrites, RegistersLoadsIncludesAndClosingWarnings) {
  ExpectRewrites({
      // clang-format off
      // A register is written with setreg only when the text assigns to it.
      {"cexpression cpsr & 0x1f", "cpsr & 0x1f", "p cpsr & 0x1f", "cexpression @cpsr & 0x1f"},
      {"cexpression pc  =  5", "pc = 5", "let pc = 5", "setreg @pc = 5"},
      {"cexpression pc \"=\"", "pc \"=\"", "let pc \"=\"", "cexpression @pc \"=\""},
      // pc, sp, lr and cpsr read in an expression get "@": whole words, outside quotes.
      {"printf \"%x\",pc", "pc", "p/%x pc", "printf \"%x\",@pc"},
      {"printf \"%x\", sp", " sp", "p/%x $sp", "printf \"%x\", @sp"},
      {"cexpression PC  =  Lr+CPSR", "PC = Lr+CPSR", "let PC = Lr+CPSR",
       "cexpression @PC  =  @Lr+@CPSR"},
      {"setmem 0x20  =  sp", "0x20 = sp", "let 0x20 = sp", "setmem 0x20  =  @sp"},
      {"printf \"%x\",pc_count", "pc_count", "p/%x pc_count", "printf \"%x\",pc_count"},
      {"printf \"pc=%x\", x", "\"pc=%x\", x", "p \"pc=%x\", x", "printf \"pc=%x\", x"},
      {"cexpression a+pc+@sp+_lr", "a+pc+@sp+_lr", "let a+pc+@sp+_lr", "cexpression a+@pc+@sp+_lr"},
      // A member of a structure is no register.
      {"cexpression a.pc+f->sp+f-lr", "a.pc+f->sp+f-lr", "let a.pc+f->sp+f-lr",
       "cexpression a.pc+f->sp+f-@lr"},
      {"printtype pc", "pc", "v pc", "printtype pc"},  // not an expression command
      {"host echo pc", "echo pc", "!echo pc", "host echo pc"},
      // A load's quoted name holds no stray blanks.
      {"load/pd/r  'demo.axf '", "demo.axf ", "load demo.axf ", "load/pd/r  'demo.axf'"},
      {"load/pd/r  'app.axf ;;-boot  slot1'", "app.axf -boot slot1", "load app.axf -boot slot1",
       "load/pd/r  'app.axf;;-boot slot1'"},
      // An included Tavex script is included as its MXT script.
      {"include init.tvx", "init.tvx", "obey init.tvx", "include init.mxt"},
      {"include sub/Board.TVX ", "sub/Board.TVX x", "o sub/Board.TVX x", "include sub/Board.mxt "},
      {"include init.tvx2", "init.tvx2", "obey init.tvx2", "include init.tvx2"},
      {"include .tvx", ".tvx", "obey .tvx", "include .mxt"},
      {"include \"my dir/init.tvx\"", "\"my dir/init.tvx\"", "obey \"my dir/init.tvx\"",
       "include \"my dir/init.mxt\""},
      {"printtype init.tvx", "init.tvx", "v init.tvx", "printtype init.tvx"},
      // A go with more than "/" switches says what it left out; not in a list's entry.
      {"go", "/profile", "go /profile", "go"},
      {"go", " while x", "go /c while x", "go\n//Warning: go argument not converted: while x"},
      {"go", "5 while x", "g 5 while x", "go\n//Warning: go argument not converted: 5 while x"},
      {"go", "r1 /x", "go r1 /x", "go\n//Warning: go argument not converted: r1 /x"},
      // The step-while warning stands on its own line.
      {"stepl 10  while ", "10 while ready", "step 10 while ready",
       "stepl 10\n//WARNING: while has been removed from step as unsupported"},
      // clang-format on
  });
}

}  // namespace
