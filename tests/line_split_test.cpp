// Line normalisation, the split into command word and argument text, and the contract of the
// line converter with its help branch.
#include <gtest/gtest.h>

#include <string>

#include "converter.h"
#include "line_stages.h"

namespace {

constexpr Index kAnyStart = -2;  // where the indent may be left in more than one way

// A line and what a fresh converter makes of it; "untouched" when it is not converted.
struct Conversion {
  const char *line, *converted;
};

template <size_t N>
void ExpectConversions(const Conversion (&cases)[N]) {
  for (const auto& c : cases) {
    LineConverter converter;
    std::string line = c.line, converted = "untouched";
    EXPECT_EQ(converter.ConvertLine(line, converted),
              std::string(c.converted) == "untouched" ? kNotConverted : kConverted)
        << c.line;
    EXPECT_EQ(converted, c.converted) << c.line;
  }
}

TEST(LineSplit, NormalisesThenSplitsIntoCommandWordAndArguments) {
  struct {
    const char* line;
    Index start;          // index where the command begins; -1 for blanks and tabs only
    const char* command;  // the normalised text from that index on
    const char *pre, *args;
  } const cases[] = {
      // clang-format off
      {"break\t\t\tmain", 0, "break main", "break", "main"},
      {"count  :  3", 0, "count =3", "let", "count =3"},  // runs shrink before " : " is looked for
      {"x= 5", 0, "x = 5", "let", "x = 5"},               // "=" second: a blank in any case
      {"abc= 5", 0, "abc= 5", "let", "abc= 5"},           // a blank next to some "=": none inserted
      {"a<=b", 0, "a<=b", "a<", "a<=b"},                  // never inside "<=" or ">="
      {"x!=y", 0, "x!=y", "x!", "x!=y"},
      {"! echo hi", 0, "! echo hi", "!", " echo hi"},
      // "p/%" prints, in any case; "print/%x" and "print/%d" are read as "p/%x" and "p/%d".
      {"P/%X val", 0, "P/%X val", "p/%x", "val"},
      {"p/%d val", 0, "p/%d val", "p/%d", "val"},
      {"print/%x val", 0, "print/%x val", "p/%x", "val"},
      {"PRINT/%d count", 0, "PRINT/%d count", "p/%d", "count"},
      {"Print/%X", 0, "Print/%X", "p/%x", ""},
      {"print/%s v", 0, "print/%s v", "print", "v"},  // no print switch: an ordinary switch
      {"print/%i x", 0, "print/%i x", "print", "x"},
      {"e/x p/%x", 0, "e/x p/%x", "e/x", "p/%x"},         // "p/%" anywhere keeps the "/"
      {"E/x P/%X", 0, "E/x P/%X", "e/x", "P/%X"},
      {"p/%x=5", 0, "p/%x =5", "p/%x", "p/%x =5"},       // "p/%x" overrides "let"
      {"P/%x=5", 0, "P/%x =5", "p/%x", "P/%x =5"},
      // A switch written against the command word goes with the blank after it.
      {"e/32 latency_hist 0x20", 0, "e/32 latency_hist 0x20", "e", "latency_hist 0x20"},
      {"load/r fw.axf", 0, "load/r fw.axf", "load", "fw.axf"},
      {"go/profile x", 0, "go/profile x", "go", "x"},
      // ... and on a line of one word the switch goes with the rest of the word.
      {"go/profile", 0, "go/profile", "go", ""},
      {"G/c", 0, "G/c", "g", ""},
      {"e/32/16", 0, "e/32/16", "e", ""},
      {"/x", 0, "/x", "/x", ""},  // a "/" first is no switch
      {"p/%x", 0, "p/%x", "p/%x", ""},
      {"P/%d", 0, "P/%d", "p/%d", ""},
      // A "$" command keeps its sign in the argument text.
      {"$fpresult", 0, "$fpresult", "$", "$fpresult"},
      {"$", 0, "$", "$", "$"},
      {"!ls", 0, "!ls", "!", "ls"},
      {"e x/32 y", 0, "e x/32 y", "e", "x/32 y"},  // a "/" after the first blank is no switch
      {"step /c /profile 3", 0, "step /c /profile 3", "step", " /profile 3"},
      // Comment commands keep their text; quoted text keeps its " : " and gets no blank.
      {"comment ===== start =====", 0, "comment ===== start =====", "comment", "===== start ====="},
      {"comment Errors found : see log", 0, "comment Errors found : see log", "comment",
       "Errors found : see log"},
      {"COMM x=1", 0, "COMM x=1", "comm", "x=1"},
      {"com\ta : b", 0, "com a : b", "com", "a : b"},
      {"comm=x", 0, "comm =x", "comm", "=x"},  // no blank: not a comment command
      {"comment=5", 0, "comment =5", "comment", "=5"},
      {"x \"a : b\" : 3", 0, "x \"a : b\" =3", "x", "\"a : b\" =3"},  // the first " : " outside
      {"p \"x=%d\", v", 0, "p \"x=%d\", v", "p", "\"x=%d\", v"},
      {"p \"a=1\" b=2", 0, "p \"a=1\" b=2", "p", "\"a=1\" b=2"},  // only the first "=" counts
      {"s=\"a=b\"", 0, "s =\"a=b\"", "let", "s =\"a=b\""},
      {"  break  main", 2, "break main", "break", "main"},
      {"\tbreak\tmain", 1, "break main", "break", "main"},
      {"  \tgo", kAnyStart, "go", "go", ""},
      {"\t \t", -1, "", "", ""}, {"", -1, "", "", ""},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("line '") + c.line + "'");
    std::string text = c.line;
    const Index start = NormaliseLine(text);
    if (c.start == -1) {
      EXPECT_EQ(start, -1);
      continue;
    }
    if (c.start != kAnyStart) {
      EXPECT_EQ(start, c.start);
    }
    ASSERT_GE(start, 0);
    ASSERT_LE(start, Length(text));
    EXPECT_EQ(text.substr(0, start), std::string(start, ' '));
    EXPECT_EQ(text.substr(start), c.command);
    LineWork work;
    work.line = text.substr(start);
    SplitCommand(work);
    EXPECT_EQ(work.command_word, c.pre);
    EXPECT_EQ(work.arguments, c.args);
  }
}

// `converted` is written only when the line converts; the caller's line is normalised in place,
// and one text may be both source and result.
TEST(LineSplit, ConverterContractAndHelpBranch) {
  // clang-format off
  const Conversion cases[] = {
      {"h break", "dcommands break"}, {"h", "dcommands  "}, {"h quit", "dcommands quit "},
      {"h registers", "untouched"}, {"h foo", "untouched"}, {"\t \t", "  "},
      {"frobnicate", "untouched"}, {"\tgo", "go"},
      // A help topic names the MXT command its conversion begins with: a breakpoint or a
      // watchpoint without a location, a print without an expression, up to a newline that
      // comes before a blank; a topic that converts into a comment is no command.
      {"h w", "dcommands breaka"}, {"help WATCH", "dcommands breaka"}, {"h b", "dcommands break"},
      {"h print", "dcommands cexpression"}, {"h P", "dcommands cexpression"},
      {"h p x", "dcommands cexpression "}, {"h go x", "dcommands go"},
      {"h a", "dcommands expand"}, {"h log", "dcommands journal "},
      {"h unbreak", "untouched"}, {"h u 1", "untouched"}, {"h let", "untouched"}};
  // clang-format on
  ExpectConversions(cases);
  LineConverter converter;
  std::string line = "break\t\tmain  x", converted;
  converter.ConvertLine(line, converted);
  EXPECT_EQ(line, "break main x");
  std::string both = "h break";
  EXPECT_EQ(converter.ConvertLine(both, both), kConverted);
  EXPECT_EQ(both, "dcommands break");
}

// A conversion that would be an empty command (an expression without one, a register write
// without a value) is not converted, wherever the converter is called from.
TEST(LineSplit, EmptyCommandsAreNotConverted) {
  const Conversion cases[] = {
      // clang-format off
      {"let", "untouched"}, {"let   ", "untouched"}, {"fpregisters", "untouched"},
      {"call", "untouched"}, {"$", "untouched"}, {"p", "untouched"},
      {"setregisters XXXX X2 XXXXX3", "untouched"}, {"setregisters", "untouched"},
      {"h let", "untouched"},
      // A file read without a file, a register write without a register.
      {"getfile", "untouched"}, {"ge  ", "untouched"}, {"setregisters x r1 5", "untouched"},
      {"ge f.bin 0x8000", "readfile,raw f.bin  = 0x8000"},
      {"let x", "cexpression x"}, {"r13 5", "setreg @r13=5"}, {"h r13 5", "dcommands setreg "},
      {"setregisters r2 7", "setreg @r2 =7"}, {"comment", "printf \"\""},
      // clang-format on
  };
  ExpectConversions(cases);
  // A command of a breakpoint's list that is not converted is left out of the macro and noted.
  LineConverter converter;
  std::string list = "do {let}", output, notes;
  converter.CreateMacro(list, output, notes);
  EXPECT_EQ(output, "define int MyMacro_0()\n{\nreturn (1);\n}\n.\n");
  EXPECT_EQ(notes, "\n//Warning: not converted in the command list: let");
}

// Whole lines whose command word or argument text decides: a register shown by its name, the
// "$" command reading its variable, the memory rule's first letter in any case, a switch against
// a lone word, an alias's arguments.
TEST(LineSplit, WordsThatDecideTheConversion) {
  // clang-format off
  const Conversion cases[] = {
      {"r13", "cexpression @r13"}, {"R7", "cexpression @r7"}, {"r0  ", "cexpression @r0"},
      {"lr", "cexpression @lr"}, {"CPSR", "cexpression @cpsr"}, {"r15", "cexpression @r15"},
      {"r13 0x20020000", "setreg @r13=0x20020000"}, {"r100", "untouched"}, {"sp", "cexpression @sp"},
      {"$fpresult", "cexpression @fpresult\n//warning fpresult not used in MXT"},
      {"$count", "cexpression  count"}, {"$qpo_log", "cexpression @qpo_log"
       "\n//Warning only a subset of Tavex internal variables are avilable in MXT"},
      {"$statistics", "cexpression @statistics\n//warning kestrovan statistics usage"},
      {"$x=5", "cexpression  x =5"},
      {"P 0x400270BD", "cexpression 0x400270BD"}, {"CREGISTERS 0x40-r9", "cexpression 0x40-@r9"},
      {"let 0x40", "setmem 0x40"},
      {"print $statistics", "cexpression @statistics"},
      {"p/%x $statistics", "printf \"%x\",@statistics\n//warning kestrovan statistics usage"},
      {"go/profile", "go"}, {"g/c", "go"}, {"load/r", "load/pd/r"}, {"frob/x", "untouched"},
      {"main:scale = 2", "cexpression main\\scale  =  2"},
      {"let arr = main:a, 1", "cexpression arr  [0]=main\\a\ncexpression arr  [1]=1\n"},
      {"let 0x0805FFF0 = 0x77, 0xC2, 0x95, 0xF3, 0x00, 0x00, 0x00, 0x01",
       "setmem 0x0805FFF0  [0]=0x77\nsetmem 0x0805FFF0  [1]=0xC2\nsetmem 0x0805FFF0  [2]=0x95\n"
       "setmem 0x0805FFF0  [3]=0xF3\nsetmem 0x0805FFF0  [4]=0x00\nsetmem 0x0805FFF0  [5]=0x00\n"
       "setmem 0x0805FFF0  [6]=0x00\nsetmem 0x0805FFF0  [7]=0x01\n"},
      {"r0 rx_count", "setreg @r0=rx_count"}, {"r1 r7", "setreg @r1=r7"},
      {"setregisters r4 count", "setreg @r4 =count"},
  };
  // clang-format on
  ExpectConversions(cases);
}

}  // namespace
