#include "run_state.h"

#include <unordered_set>

#include "converter.h"

int MacroNumber = 0;
std::string macroname;

std::vector<std::string> running_lines;
std::vector<std::size_t> running_aliases;

namespace {

// Alias names in the order of their definitions (a redefinition adds an entry again), and the
// same names as a set, so that lookups cost the same however many aliases a script defines.
std::vector<std::string> AliasCommands;
std::unordered_set<std::string> alias_names;

}  // namespace

void AddAlias(const std::string& name) {
  AliasCommands.push_back(name);
  alias_names.insert(name);
}

bool IsAlias(const std::string& name) { return alias_names.count(name) != 0; }

std::size_t AliasCount() { return AliasCommands.size(); }

void ResetRunState() {
  MacroNumber = 0;
  macroname.clear();
  AliasCommands.clear();
  alias_names.clear();
  running_lines.clear();
  running_aliases.clear();
}
