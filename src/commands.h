// The command map: every Tavex command word the converter knows, with the MXT template that
// replaces it. Templates carry the placeholders "XXXXX1" to "XXXXX9" (argument n of the line goes
// in place of the placeholder with digit n) and "STR" (where a print command's expression goes).
// Abbreviations are rows of their own; the lookup compares whole words only.
#pragma once

typedef struct _CONV_COMM {
  const char* original;   // the Tavex command word, lower case
  const char* converted;  // the MXT template
} COMM_MAP;

// Register display: one MXT printf of r0 to r14, pc and cpsr. The "\\n" in the format is a printf
// escape for the target (backslash and "n"), not a newline of the template.
#define TVX_REGISTER_FORMAT                                                        \
  "printf \"r0=0x%x : r1=0x%x : r2=0x%x : r3=0x%x \\nr4=0x%x : r5=0x%x : r6=0x%x " \
  "\\nr7=0x%x : r8=0x%x : r9=0x%x \\nr10=0x%x : r11=0x%x : r12=0x%x : r13=0x%x "   \
  "\\nr14=0x%x : pc=0x%x : cpsr=0x%x"
#define TVX_REGISTER_VALUES \
  " ,@r0,@r1,@r2,@r3,@r4,@r5,@r6,@r7,@r8,@r9,@r10,@r11,@r12,@r13,@r14, @pc, @cpsr"

#define TVX_NINE_ARGS " XXXXX1 XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6 XXXXX7 XXXXX8 XXXXX9"
#define TVX_UNBREAK \
  "//warning unbreak not converted as MXT uses clearbreak #n where n is the breakpoint number"
#define TVX_EXPAND "expand\n//NOTE: Can only expand current context"
#define TVX_LOAD "load/pd/r  'XXXXX1;;XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6 XXXXX7 XXXXX8 XXXXX9'"

inline constexpr int kCommandCount = 98;

inline constexpr COMM_MAP tavex_commands[kCommandCount] = {
    {" ", " "},
    {"!", "host" TVX_NINE_ARGS},
    {"$", "cexpression XXXXX1"},
    {"a", TVX_EXPAND},
    {"al", "alias XXXXX1 XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6 XXXXX7"},
    {"alias", "alias XXXXX1 XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6 XXXXX7"},
    {"arguments", TVX_EXPAND},
    {"ba", "where XXXXX1"},
    {"backtrace", "where XXXXX1"},
    {"b", "break XXXXX1 XXXXX2"},
    {"break", "break XXXXX1 XXXXX2"},
    {"br", "break XXXXX1 XXXXX2"},
    {"ca", "cexpression" TVX_NINE_ARGS},
    {"call", "cexpression" TVX_NINE_ARGS},
    {"comment", "printf \"STR\""},
    {"comm", "printf \"STR\""},
    {"com", "printf \"STR\""},
    {"cregisters", "cexpression" TVX_NINE_ARGS},
    {"e", "dump XXXXX1..XXXXX2"},
    {"examine", "dump XXXXX1..XXXXX2"},
    {"fi", "search XXXXX2..+ XXXXX3=XXXXX1"},
    {"find", "search XXXXX2..+ XXXXX3=XXXXX1"},
    {"fpregisters", "cexpression" TVX_NINE_ARGS},
    {"ge", "readfile,raw XXXXX1 = XXXXX2"},
    {"getfile", "readfile,raw XXXXX1 = XXXXX2"},
    {"g", "go"},
    {"go", "go"},
    {"h", "dcommands XXXXX1"},
    {"help", "dcommands XXXXX1"},
    {"i", "stepinstr" TVX_NINE_ARGS},
    {"in", "up"},
    {"is", "stepinstr" TVX_NINE_ARGS},
    {"istep", "stepinstr" TVX_NINE_ARGS},
    {"let", "cexpression" TVX_NINE_ARGS},
    {"l", "dump XXXXX1..XXXXX2"},
    {"list", "dump XXXXX1..XXXXX2"},
    {"lo", TVX_LOAD},
    {"load", TVX_LOAD},
    {"loadconfig", "readboardfile XXXXX1"},
    {"localvar", "add XXXXX1 XXXXX2"},
    {"log", "journal on=XXXXX1 \n"},
    {"ls", "printsymbols XXXXX1"},
    {"lsym", "printsymbols XXXXX1"},
    {"o", "include XXXXX1"},
    {"obey", "include XXXXX1"},
    {"ou", "down"},
    {"out", "down"},
    {"pa", "pause XXXXX1"},
    {"pause", "pause XXXXX1"},
    {"pc", "cexpression @pc=XXXXX1 XXXXX2"},
    {"p", "printf \"%i\",STR"},
    {"p/%x", "printf \"%x\",STR"},
    {"p/%d", "printf \"%d\",STR"},
    {"print", "printf \"%i\",@STR"},
    {"pu", "writefile XXXXX1=XXXXX2..+ XXXXX3"},
    {"putfile", "writefile XXXXX1=XXXXX2..+ XXXXX3"},
    {"q", "quit y"},
    {"quit", "quit y"},
    {"r", TVX_REGISTER_FORMAT "\"" TVX_REGISTER_VALUES},
    {"r0", "setreg @r0=XXXXX1 XXXXX2"},
    {"r1", "setreg @r1=XXXXX1 XXXXX2"},
    {"r2", "setreg @r2=XXXXX1 XXXXX2"},
    {"r3", "setreg @r3=XXXXX1 XXXXX2"},
    {"r4", "setreg @r4=XXXXX1 XXXXX2"},
    {"r5", "setreg @r5=XXXXX1 XXXXX2"},
    {"r6", "setreg @r6=XXXXX1 XXXXX2"},
    {"r7", "setreg @r7=XXXXX1 XXXXX2"},
    {"r8", "setreg @r8=XXXXX1 XXXXX2"},
    {"r9", "setreg @r9=XXXXX1 XXXXX2"},
    {"r10", "setreg @r10=XXXXX1 XXXXX2"},
    {"r11", "setreg @r11=XXXXX1 XXXXX2"},
    {"r12", "setreg @r12=XXXXX1 XXXXX2"},
    {"r13", "setreg @r13=XXXXX1 XXXXX2"},
    {"r14", "setreg @r14=XXXXX1 XXXXX2"},
    {"re", "load/n XXXXX1"},
    {"readsyms", "load/n XXXXX1"},
    {"registers", TVX_REGISTER_FORMAT " \"" TVX_REGISTER_VALUES},
    {"rel", "reload"},
    {"reload", "reload"},
    {"setregisters", "setreg @XXXXX2=XXXXX3"},
    {"sp", "cexpression @sp=XXXXX1 XXXXX2"},
    {"s", "stepl XXXXX1 XXXXX2"},
    {"step", "stepl XXXXX1 XXXXX2"},
    {"sy", "printsymbols XXXXX1 XXXXX2"},
    {"symbols", "printsymbols XXXXX1 XXXXX2"},
    {"type", "list" TVX_NINE_ARGS},
    {"u", TVX_UNBREAK},
    {"unb", TVX_UNBREAK},
    {"unbr", TVX_UNBREAK},
    {"unbreak", TVX_UNBREAK},
    {"unw", ""},
    {"v", "printtype" TVX_NINE_ARGS},
    {"variable", "printtype" TVX_NINE_ARGS},
    {"w", "breaka XXXXX1 XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6"},
    {"watch", "breaka XXXXX1 XXXXX2 XXXXX3 XXXXX4 XXXXX5 XXXXX6"},
    {"wh", "where XXXXX1"},
    {"where", "where XXXXX1"},
    {"while", "while" TVX_NINE_ARGS},
};

#undef TVX_REGISTER_FORMAT
#undef TVX_REGISTER_VALUES
#undef TVX_NINE_ARGS
#undef TVX_UNBREAK
#undef TVX_EXPAND
#undef TVX_LOAD
