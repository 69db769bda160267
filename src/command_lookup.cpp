#include <string_view>
#include <unordered_map>

#include "commands.h"
#include "converter.h"

namespace {

// The command map indexed by command word. Every word stands in one row only, so this finds the
// same row as a search in table order.
const std::unordered_map<std::string_view, std::string_view>& CommandIndex() {
  static const auto* index = [] {
    auto* built = new std::unordered_map<std::string_view, std::string_view>();
    built->reserve(kCommandCount);
    for (const COMM_MAP& row : tavex_commands) built->emplace(row.original, row.converted);
    return built;
  }();
  return *index;
}

}  // namespace

bool IsWatchpointWord(std::string_view word) { return word == "w" || word == "watch"; }

int LineConverter::LookUpCommand(const std::string& pre, std::string& post) {
  // A watchpoint converts exactly as a breakpoint with the same argument text; the rewrites
  // name it "breaka" at the end.
  if (IsWatchpointWord(pre)) return LookUpCommand("break", post);
  const auto& index = CommandIndex();
  if (auto row = index.find(pre); row != index.end()) {
    post.assign(row->second);
    return 1;
  }
  // An alias stands for itself, as its name was first written: the name has no placeholders,
  // and the later stages deal with the argument text.
  ++alias_lookups_;
  if (std::optional<std::string_view> name = FindAlias(pre)) {
    post.assign(*name);
    return 1;
  }
  return 0;
}
