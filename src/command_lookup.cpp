#include <array>
#include <cstdint>
#include <string_view>

#include "commands.h"
#include "converter.h"

namespace {

// A hash of a command word (FNV-1a).
constexpr std::uint32_t WordHash(std::string_view word) {
  std::uint32_t hash = 2166136261u;
  for (char c : word) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

// The command map indexed by command word, made once when the program is built: an
// open-addressed table of row numbers (-1 where free), placed by the hash of the word. Every word
// stands in one row only, so this finds the same row as a search in table order.
constexpr std::size_t kIndexSize = 256;  // a power of two, more than twice the rows
struct CommandIndex {
  std::array<std::string_view, kCommandCount> words{};
  std::array<std::string_view, kCommandCount> templates{};
  std::array<int, kIndexSize> rows{};
};

constexpr CommandIndex kCommandIndex = [] {
  CommandIndex index;
  for (int& row : index.rows) row = -1;
  for (int row = 0; row < kCommandCount; ++row) {
    index.words[row] = tavex_commands[row].original;
    index.templates[row] = tavex_commands[row].converted;
    std::size_t slot = WordHash(index.words[row]) & (kIndexSize - 1);
    while (index.rows[slot] != -1) slot = (slot + 1) & (kIndexSize - 1);
    index.rows[slot] = row;
  }
  return index;
}();

// The template of a command word of the map, if it is one.
bool FindTemplate(std::string_view word, std::string_view& found) {
  for (std::size_t slot = WordHash(word) & (kIndexSize - 1);;
       slot = (slot + 1) & (kIndexSize - 1)) {
    const int row = kCommandIndex.rows[slot];
    if (row == -1) return false;
    if (kCommandIndex.words[row] == word) {
      found = kCommandIndex.templates[row];
      return true;
    }
  }
}

}  // namespace

bool IsWatchpointWord(std::string_view word) { return word == "w" || word == "watch"; }

bool LineConverter::IsCommandWord(std::string_view word) {
  std::string_view found;
  return IsWatchpointWord(word) || FindTemplate(word, found);
}

int LineConverter::LookUpCommand(const std::string& pre, std::string& post) {
  // A watchpoint converts exactly as a breakpoint with the same argument text; the rewrites
  // name it "breaka" at the end.
  if (IsWatchpointWord(pre)) return LookUpCommand("break", post);
  if (std::string_view found; FindTemplate(pre, found)) {
    post.assign(found);
    return 1;
  }
  // An alias stands for itself, as its name was first written: the name has no placeholders,
  // and the later stages deal with the argument text.
  if (std::optional<std::string_view> name = FindAlias(pre)) {
    post.assign(*name);
    return 1;
  }
  ++alias_misses_;
  return 0;
}
