#include "run_state.h"

#include <unordered_set>

#include "converter.h"

int MacroNumber = 0;
std::string macroname;

std::vector<std::unique_ptr<ConvertFrame>> frames;
std::size_t running_depth = 0;
std::vector<std::size_t> running_aliases;

namespace {

// The names of the aliases defined so far, as a set: a lookup costs the same however many
// aliases a script defines. `aliascount` counts the definitions (a redefinition counts again).
std::unordered_set<std::string> AliasCommands;
std::size_t aliascount = 0;

}  // namespace

void AddAlias(const std::string& name) {
  AliasCommands.insert(name);
  ++aliascount;
}

bool IsAlias(const std::string& name) { return AliasCommands.count(name) != 0; }

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
