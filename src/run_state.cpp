#include "run_state.h"

#include <unordered_map>

#include "converter.h"

int MacroNumber = 0;
std::string macroname;

std::vector<std::unique_ptr<ConvertFrame>> frames;
std::size_t running_depth = 0;
std::vector<std::size_t> running_aliases;

namespace {

// The names of the aliases defined so far, by their lower-case form, each with the spelling it
// was first stored with: a lookup costs the same however many aliases a script defines.
// `aliascount` counts the definitions (a redefinition counts again).
std::unordered_map<std::string, std::string> AliasCommands;
std::size_t aliascount = 0;

std::string Lower(std::string text) {
  MakeLower(text);
  return text;
}

}  // namespace

void AddAlias(const std::string& name) {
  AliasCommands.emplace(Lower(name), name);  // an earlier spelling stays
  ++aliascount;
}

const std::string* FindAlias(const std::string& name) {
  auto found = AliasCommands.find(Lower(name));
  return found == AliasCommands.end() ? nullptr : &found->second;
}

bool IsAlias(const std::string& name) { return FindAlias(name) != nullptr; }

std::size_t AliasCount() { return aliascount; }

void ResetRunState() {
  MacroNumber = 0;
  macroname.clear();
  AliasCommands.clear();
  aliascount = 0;
  frames.clear();
  running_depth = 0;
  running_aliases.clear();
}
