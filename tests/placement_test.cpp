// Argument placement: cutting the argument text into arguments and putting each into its numbered
// placeholder of the command template, with the width switch removal, the colon shortening, the
// register skip of "setreg" and the internal-variable translation of "$" arguments.
#include <gtest/gtest.h>

#include <string>

#include "converter.h"
#include "line_stages.h"

namespace {

// The placeholders from "XXXXXfrom" to "XXXXX9", each with its blank: the unfilled tail of the
// nine-placeholder templates.
std::string Unfilled(int from) {
  std::string tail;
  for (int n = from; n <= 9; ++n) tail += " XXXXX" + std::to_string(n);
  return tail;
}

TEST(ArgumentPlacement, PlacesArgumentsIntoTemplate) {
  const std::string brk = "break XXXXX1 XXXXX2", dump = "dump XXXXX1..XXXXX2";
  const std::string host = "host" + Unfilled(1), cexpr = "cexpression" + Unfilled(1);
  const std::string load = "load/pd/r  'XXXXX1;;XXXXX2" + Unfilled(3) + "'";
  const std::string sourcedir = "\n//Warning sourcedir not available in MXT";
  struct {
    std::string templ, arguments;  // the template as the lookup left it, and the argument text
    std::string postcon;           // the text after placement
    int j;                         // the next placeholder number
    std::string after = "=";       // the argument text afterwards ("=": unchanged)
  } const cases[] = {
      // clang-format off
      {brk, "main 3", "break main  3", 3},  // a placed argument keeps the blank that ended it
      {dump, "0x8000,0x100", "dump 0x8000,..0x100", 3},  // the last word is cut at commas ...
      {dump, "a,b c", "dump a,b ..c", 3},                // ... and only the last word
      {cexpr, "x =1,2", "cexpression x  =1,2" + Unfilled(3), 3},  // not for expressions
      {"x cexpression XXXXX1 XXXXX2", "1,2", "x cexpression 1, 2", 3},
      {"search XXXXX2..+ XXXXX3=XXXXX1", "5 0x8000 0x100", "search 0x8000 ..+ 0x100=5 ", 4},
      {host, "\"a b\" c", "host \"a b\"  c" + Unfilled(3), 3},
      {dump, "\"a,b\"", "dump \"a,b\"..XXXXX2", 2},
      {host, "f(g(x), y) z", "host f(g(x), y)  z" + Unfilled(3), 3},
      {host, "f(g(x)) y", "host f(g(x))  y" + Unfilled(3), 3},
      {host, "\"a (b) c", "host \"a (b) c" + Unfilled(2), 2},  // unmatched: to the end
      {host, "f(g(x) y", "host f(g(x) y" + Unfilled(2), 2},
      {"setreg @XXXXX2=XXXXX3", "r1 5", "setreg @r1 =5", 4},  // register skip
      // The register skip belongs to the "setregisters" template alone.
      {"setreg @r0=XXXXX1 XXXXX2", "5 r", "setreg @r0=5  r", 3},
      {"setreg @r0=XXXXX1 XXXXX2", "rx_count", "setreg @r0=rx_count XXXXX2", 2},
      {brk, "main.c:42 3", "break 42  3", 3},
      {brk, "+file:10", "break +10 XXXXX2", 2},
      {brk, "+file:", "break + XXXXX2", 2},
      {"where XXXXX1", "x:$r1", "where @r1", 2},  // colon first, then the internal variable
      // The first width switch goes, with the blank right after it; no other "/" is touched.
      {host, "x /16 y", "host x  y" + Unfilled(3), 3, "x y"},
      {dump, "0x40000000 /32 4", "dump 0x40000000 ..4", 3, "0x40000000 4"},
      {brk, "a/b /32", "break a/b  XXXXX2", 2, "a/b "},
      {dump, "/32/16 0x8000", "dump /16 ..0x8000", 3, "/16 0x8000"},
      {brk, "x/16", "break x XXXXX2", 2, "x"},
      {brk, "a/b c", "break a/b  c", 3},
      // A switch at the start of a load's argument text goes with its blank; a path stays.
      {load, "/r fw.axf", "load/pd/r  'fw.axf;;XXXXX2" + Unfilled(3) + "'", 2, "fw.axf"},
      {load, "/home/fw.axf", "load/pd/r  '/home/fw.axf;;XXXXX2" + Unfilled(3) + "'", 2},
      {load, "/r", "load/pd/r  '/r;;XXXXX2" + Unfilled(3) + "'", 2},
      {dump, "/r x", "dump /r ..x", 3},
      // A quoted or parenthesised argument runs on to the next blank or comma.
      {host, "*(int*)0x2001F004", "host *(int*)0x2001F004" + Unfilled(2), 2},
      {host, "*(int*)0x20 y", "host *(int*)0x20  y" + Unfilled(3), 3},
      {host, "\"x y\"z w", "host \"x y\"z  w" + Unfilled(3), 3},
      {dump, "f(a),x", "dump f(a),..x", 3},
      {host, "f(a) x", "host f(a)  x" + Unfilled(3), 3},
      // Paths keep their colons.
      {brk, "C:\\fw\\app.elf", "break C:\\fw\\app.elf XXXXX2", 2},
      {brk, "http://x/y", "break http://x/y XXXXX2", 2},
      {brk, "\"main.c:42\"", "break \"main.c:42\" XXXXX2", 2},
      {brk, "C:\\fw:main", "break main XXXXX2", 2},
      // An expression keeps a scope: a colon between a name and a name.
      {cexpr, "main:scale = 2", "cexpression main:scale  =  2" + Unfilled(4), 4},
      {cexpr, "x = dsp.c:w_2", "cexpression x  =  dsp.c:w_2" + Unfilled(4), 4},
      {cexpr, "x = main:42", "cexpression x  =  42" + Unfilled(4), 4},
      {cexpr, "x = :a", "cexpression x  =  a" + Unfilled(4), 4},
      {"where XXXXX1", "main:scale", "where scale", 2},
      // The rest of the text after the ninth argument follows it as it stands.
      {host, "a b c d e f g h i j k $sourcedir",
       "host a  b  c  d  e  f  g  h  i j k $sourcedir" + sourcedir, 13},
      {host, "a b c d e f g h i j k l $sourcedir", "host a  b  c  d  e  f  g  h  i j k l $sourcedir",
       13},
      {host, "a b c d e f g h i", "host a  b  c  d  e  f  g  h  i", 10},
      {host, "a b c d e f g h i ", "host a  b  c  d  e  f  g  h  i ", 10},
      {host, "a b c d e f g h i  j XXXXX3", "host a  b  c  d  e  f  g  h  i  j XXXXX3", 13},
      {cexpr, "a = 1, 2, 3, 4, 5, 6, 7, 8, 9",
       "cexpression a  =  1,  2,  3,  4,  5,  6,  7, 8, 9", 12},
      {load, "a b c d e f g h i j k", "load/pd/r  'a ;;b  c  d  e  f  g  h  i j k'", 12},
      {host, " x", "host x" + Unfilled(2), 2},  // a leading blank places nothing
      {"where XXXXX1", "$x", "where  x", 2},
      {cexpr, "$x", "cexpression $x" + Unfilled(2), 2},
      {"printf \"%i\",STR", "$sourcedir", "printf \"%i\",STR" + sourcedir, 2},
      // A placeholder that an argument brought takes a later argument.
      {brk, "XXXXX3 y z", "break z  y ", 4},
      // Without a placeholder left, the register names of setregisters still count.
      {"setreg @XXXXX2=XXXXX3", "r1 5 r2 r3", "setreg @r1 =5 ", 8},
      // clang-format on
  };
  for (const auto& c : cases) {
    LineConverter converter;
    LineWork work;
    work.command_word = "cmd";
    work.line = "cmd " + c.arguments;
    work.arguments = c.arguments;
    work.postcon = c.templ;
    PlaceArguments(work);
    EXPECT_EQ(work.postcon, c.postcon) << c.templ << " / " << c.arguments;
    EXPECT_EQ(work.arguments, c.after == "=" ? c.arguments : c.after) << c.arguments;
    EXPECT_EQ(work.next_placeholder, c.j) << c.arguments;
  }
}

}  // namespace
