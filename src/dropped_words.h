// Dropped text: the words of a command's arguments that its conversion does not show.
#pragma once

#include <string>
#include <string_view>

// The words of `arguments` (the argument text of a converted segment, after its command word
// `command`) that appear nowhere in `converted`, in input order, separated by blanks; empty
// when none is dropped. A word is a run of letters, digits, "_" and "."; it is looked for
// anywhere in the converted text, ignoring case. Words the conversion consumes by design are
// never reported: "while" (or a prefix of it) after go and step, "in" and "out" after a step,
// "off" after log, "do" and "if", the width of a "/16" or "/32" switch, and the "cmdline" of
// "$cmdline" in a conversion that became an "arguments" line.
std::string DroppedWords(std::string_view command, std::string_view arguments,
                         std::string_view converted);
