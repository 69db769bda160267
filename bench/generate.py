#!/usr/bin/env python3
"""Writes a Tavex script of realistic commands for the converter benchmark.

Usage: generate.py LINES OUTPUT
       generate.py --batch COUNT LINES FOLDER   (COUNT scripts of LINES lines, for batch runs)

The same arguments always give the same bytes: every choice comes from random.Random with a
fixed seed, whose random() sequence is stable across Python versions.

Every hundredth line (from the first) defines a new alias, "alias aN BODY", so a long script
keeps adding names to the alias store; other lines use aliases defined before them. The rest is
a weighted mix of what debugger scripts hold: "|" comments, blank lines, breakpoints (plain, with
counts, conditions and action lists), watchpoints, prints, assignments (variables, memory,
registers, arrays, internal variables), go and step (with while conditions, in and out), memory
dumps, loads, register displays and lines with several commands separated by semicolons.
"""

import os
import random
import sys

SEED = 20240601

FILES = ["main.c", "uart.c", "timer.c", "dma.c", "crc32.c", "startup.s"]
FUNCS = ["main", "init_clocks", "uart_send", "uart_isr", "timer_isr", "dma_start",
         "crc32_update", "process_packet", "reset_handler", "app_loop"]
VARS = ["x", "y", "count", "idx", "len", "flag", "state", "total", "ptr", "g_ticks",
        "buf[3]", "rx_buf[idx]", "main:i", "main:count", "uart_isr:head", "cfg.baud"]
REGS = ["r0", "r1", "r2", "r3", "r4", "r7", "r12", "sp", "pc", "lr"]
CONDS = ["x==1", "count !=0", "idx<10", "state ==3", "main:i ==5", "flag", "len>=16",
         "ptr == 0", "total>1000", "g_ticks !=0"]
WORDS = ["reset the board", "wait for the UART", "check the CRC", "clock setup",
         "DMA transfer done", "TODO remove", "packet parser", "timer overflow",
         "stack check", "boot sequence"]
ACTIONS = ["print x; go", "p/%x pc; go", "let count = 0; go", "step", "where; go",
           "p state; p/%d len; go", "go", "print \"hit\"; go"]
ALIAS_BODIES = ["go", "go", "go", "step", "where", "p/%x pc", "step out", "registers"]
INTERNALS = ["$vector_catch", "$top_of_memory", "$result", "$int_format", "$semihosting_enabled",
             "$statistics", "$inputbase", "$sourcedir"]
MISC = ["where", "backtrace", "registers", "r", "call init_clocks()", "symbols", "in", "out",
        "type main.c 10", "lsym uart*", "pause 100", "reload", "unbreak 3", "a"]

rnd = random.Random(SEED).random


def pick(seq):
    return seq[int(rnd() * len(seq))]


def number(low, high):
    return low + int(rnd() * (high - low + 1))


def address():
    return "0x%x" % (0x8000 + 4 * number(0, 4095))


def location():
    form = int(rnd() * 4)
    if form == 0:
        return "%s:%d" % (pick(FILES), number(1, 2000))
    if form == 1:
        return pick(FUNCS)
    if form == 2:
        return "%s:%d" % (pick(FUNCS), number(1, 400))
    return address()


def comment(_):
    return "|%s %d" % (pick(WORDS), number(1, 99))


def blank(_):
    return ""


def break_plain(_):
    return "%s %s" % (pick(["b", "break", "br"]), location())


def break_count(_):
    return "b %s,%d" % (pick([pick(FUNCS), location()]), number(2, 20))


def break_condition(_):
    return "b %s:%d if %s" % (pick(FUNCS), number(1, 400), pick(CONDS))


def break_actions(_):
    return "%s %s do {%s}" % (pick(["b", "break"]), location(), pick(ACTIONS))


def watch(_):
    return "%s %s" % (pick(["watch", "w"]), pick(VARS))


def print_(_):
    form = int(rnd() * 6)
    if form == 0:
        return "print %s" % pick(VARS)
    if form == 1:
        return "p %s" % pick(VARS)
    if form == 2:
        return "p/%%x %s" % pick(REGS + VARS)
    if form == 3:
        return "p/%%d %s" % pick(VARS)
    if form == 4:
        return "print \"%s\"" % pick(WORDS)
    return "comment %s" % pick(WORDS)


def assignment(_):
    form = int(rnd() * 8)
    if form <= 2:
        return "let %s = %d" % (pick(VARS), number(0, 255))
    if form == 3:
        return "let %s =%s+1" % (pick(VARS), pick(VARS))
    if form == 4:
        return "let %s = %d" % (address(), number(0, 255))
    if form == 5:
        return "let %s =0x%x" % (pick(REGS), 0x8000 + 4 * number(0, 255))
    if form == 6:
        values = ",".join(str(number(0, 9)) for _ in range(number(2, 5)))
        return "let arr = %s" % values
    return "%s 0x%x" % (pick(["r1", "r3", "r7", "pc", "sp"]), 0x2000 + 4 * number(0, 255))


def internal(_):
    form = int(rnd() * 3)
    if form == 0:
        return "let %s = 0x%x" % (pick(INTERNALS), number(0, 255))
    if form == 1:
        return "p %s" % pick(INTERNALS)
    return "print %s" % pick(INTERNALS)


def go(_):
    return pick(["go", "go", "g"])


def go_while(_):
    return "go while %s" % pick(CONDS)


def step(_):
    return pick(["step", "s", "step in", "step out", "istep", "step %d" % number(2, 9)])


def step_while(_):
    return "step while %s" % pick(CONDS)


def examine(_):
    return "%s %s 0x%x" % (pick(["e", "e", "examine"]), address(), 16 * number(1, 32))


def load(_):
    return pick(["load app.axf", "load build/app.axf", "lo app.axf -v", "readsyms app.axf"])


def alias_use(aliases):
    name = "a%d" % int(rnd() * aliases)
    return name if rnd() < 0.7 else "%s %s" % (name, pick(VARS))


def semicolons(_):
    return pick(["go; where", "p x; p y", "step; step", "let x = 1; go", "s;p/%x pc"])


def misc(_):
    return pick(MISC)


# Weights out of 100 for the lines between alias definitions.
MIX = [
    (7, comment), (4, blank), (6, break_plain), (3, break_count), (4, break_condition),
    (5, break_actions), (2, watch), (12, print_), (11, assignment), (3, internal), (5, go),
    (4, go_while), (6, step), (3, step_while), (4, examine), (1, load), (5, alias_use),
    (3, semicolons), (12, misc),
]
SLOTS = [kind for weight, kind in MIX for _ in range(weight)]
assert len(SLOTS) == 100


def script_lines(total):
    """The lines of one script: an alias definition every hundred lines, the mix between."""
    aliases = 0
    for line in range(total):
        if line % 100 == 0:
            yield "alias a%d %s" % (aliases, pick(ALIAS_BODIES))
            aliases += 1
        else:
            yield SLOTS[int(rnd() * 100)](aliases)


def write_script(path, total):
    chunk = []
    with open(path, "w", encoding="ascii", newline="\n") as out:
        for text in script_lines(total):
            chunk.append(text)
            if len(chunk) == 100000:
                out.write("\n".join(chunk))
                out.write("\n")
                chunk = []
        if chunk:
            out.write("\n".join(chunk))
            out.write("\n")


def write_batch(folder, count, total):
    """COUNT scripts of TOTAL lines each, in twenty sub-folders of FOLDER."""
    for k in range(count):
        sub = os.path.join(folder, "board%02d" % (k % 20))
        os.makedirs(sub, exist_ok=True)
        write_script(os.path.join(sub, "script%04d.tvx" % k), total)


def main():
    args = sys.argv[1:]
    if len(args) == 4 and args[0] == "--batch":
        write_batch(args[3], int(args[1]), int(args[2]))
    elif len(args) == 2:
        write_script(args[1], int(args[0]))
    else:
        sys.exit("usage: generate.py LINES OUTPUT\n       generate.py --batch COUNT LINES FOLDER")


if __name__ == "__main__":
    main()
