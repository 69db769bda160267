// The stages of one line conversion and the working texts they share.
#pragma once

#include <string>

#include "converter.h"

// The working texts of one ConvertLine call. Every call owns its own; ConvertLine is re-entered
// by the help branch, the alias conversion and the breakpoint macros.
struct LineWork {
  std::string line;          // the normalised line, from the first character of the command
  std::string command_word;  // the command word
  std::string arguments;     // what follows the command word
  std::string postcon;       // the template, then the text being converted
  std::string result;        // the finished text, until it is handed out
  int next_placeholder = 1;  // number of the next placeholder to fill
  // The file or scope that the colon rule cut from a breakpoint's location (empty when none).
  std::string scope_cut;
  // The command is an entry of a breakpoint's command list.
  bool list_entry = false;
  // The alias's name, as stored, when the command word was found among the aliases and not in
  // the command map; empty otherwise.
  std::string alias_name;
};

// Cuts the normalised line into command word and argument text (lower-cases the word).
void SplitCommand(LineWork& work);
// Puts the arguments into the template's numbered placeholders.
void PlaceArguments(LineWork& work);
// Keeps the last colon-separated component of an argument; a leading "+" survives. Returns what
// it cut, without the colon that ended it and without a leading "+".
std::string ProcessColon(std::string& individual);
// Removes unfilled placeholders, converts print commands, fixes search, dump and expressions.
void CleanUpTemplate(LineWork& work);
// The placeholder removal of the clean-up: passes while a placeholder is left and a pass
// changes something.
void RemoveUnfilledPlaceholders(std::string& postcon);
// The same removal as RemoveUnfilledPlaceholders takes for a long text, whatever its length.
void RemovePlaceholdersFromLongText(std::string& postcon);
