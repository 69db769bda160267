// The state of one line converter that outlives a line: the alias store and the frames of the
// re-entered calls.
#include "run_state.h"

#include "alias_store.h"
#include "converter.h"

namespace {

char LowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A hash of the name in lower case: names that match in any case have the same hash.
std::uint64_t HashNoCase(std::string_view name) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (char c : name) hash = (hash ^ static_cast<unsigned char>(LowerCase(c))) * 0x100000001b3u;
  return hash ^ (hash >> 32);
}

}  // namespace

void AliasStore::Add(std::string_view name) {
  const std::uint64_t hash = HashNoCase(name);
  if (!slots_.empty() && slots_[SlotOf(name, hash)] != 0) return;  // an earlier spelling stays
  if (2 * (names_.size() + 1) > slots_.size()) Grow();
  names_.push_back({spellings_.size(), name.size(), static_cast<std::uint32_t>(hash)});
  spellings_.append(name);
  slots_[SlotOf(name, hash)] = static_cast<std::uint32_t>(names_.size());
}

std::optional<std::string_view> AliasStore::Find(std::string_view name) const {
  if (slots_.empty()) return std::nullopt;
  std::uint32_t index = slots_[SlotOf(name, HashNoCase(name))];
  if (index == 0) return std::nullopt;
  return Spelling(names_[index - 1]);
}

std::size_t AliasStore::SlotOf(std::string_view name, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t index = slots_[slot];
    if (index == 0) return slot;
    const Name& stored = names_[index - 1];
    if (stored.hash == static_cast<std::uint32_t>(hash) && EqualsNoCase(Spelling(stored), name)) {
      return slot;
    }
  }
}

// Twice the slots, each name in its new place.
void AliasStore::Grow() {
  std::vector<std::uint32_t> slots(slots_.empty() ? 16 : 2 * slots_.size());
  const std::size_t mask = slots.size() - 1;
  for (std::size_t index = 0; index < names_.size(); ++index) {
    std::size_t slot = HashNoCase(Spelling(names_[index])) & mask;
    while (slots[slot] != 0) slot = (slot + 1) & mask;
    slots[slot] = static_cast<std::uint32_t>(index + 1);
  }
  slots_.swap(slots);
}

LineConverter::LineConverter() = default;
LineConverter::~LineConverter() = default;

void LineConverter::AddAlias(const std::string& name) {
  aliases_.Add(name);
  ++alias_count_;
}

std::optional<std::string_view> LineConverter::FindAlias(std::string_view name) const {
  return aliases_.Find(name);
}
