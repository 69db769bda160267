// The state of one line converter that outlives a line: the alias store and the frames of the
// re-entered calls.
#include "run_state.h"

#include <cstring>

#include "alias_store.h"
#include "converter.h"

namespace {

// A hash of the name in lower case: names that match in any case have the same hash.
std::uint64_t HashNoCase(std::string_view name) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (char c : name) hash = (hash ^ static_cast<unsigned char>(LowerCaseOf(c))) * 0x100000001b3u;
  return hash ^ (hash >> 32);
}

}  // namespace

namespace {

// A slot: where a name's length stands + 1 in its lower 40 bits, the upper bits of its hash above.
constexpr std::uint64_t kPlaceMask = (std::uint64_t{1} << 40) - 1;

std::uint64_t TagOf(std::uint64_t hash) { return hash & ~kPlaceMask; }

}  // namespace

void AliasStore::Add(std::string_view name) {
  const std::uint64_t hash = HashNoCase(name);
  if (!slots_.empty() && slots_[SlotOf(name, hash)] != 0) return;  // an earlier spelling stays
  if (2 * (size_ + 1) > slots_.size()) Grow();
  const std::size_t at = spellings_.size();
  const std::size_t length = name.size();
  spellings_.append(reinterpret_cast<const char*>(&length), sizeof(length)).append(name);
  slots_[SlotOf(name, hash)] = TagOf(hash) | (at + 1);
  ++size_;
}

std::optional<std::string_view> AliasStore::Find(std::string_view name) const {
  if (slots_.empty()) return std::nullopt;
  const std::uint64_t held = slots_[SlotOf(name, HashNoCase(name))];
  if (held == 0) return std::nullopt;
  return SpellingAt((held & kPlaceMask) - 1);
}

std::string_view AliasStore::SpellingAt(std::size_t at) const {
  std::size_t length;
  std::memcpy(&length, spellings_.data() + at, sizeof(length));
  return std::string_view(spellings_).substr(at + sizeof(length), length);
}

std::size_t AliasStore::SlotOf(std::string_view name, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint64_t held = slots_[slot];
    if (held == 0) return slot;
    if (TagOf(held) == TagOf(hash) && EqualsNoCase(SpellingAt((held & kPlaceMask) - 1), name)) {
      return slot;
    }
  }
}

// Twice the slots, each name in its new place.
void AliasStore::Grow() {
  std::vector<std::uint64_t> slots(slots_.empty() ? 16 : 2 * slots_.size());
  const std::size_t mask = slots.size() - 1;
  for (std::size_t at = 0; at < spellings_.size();) {
    const std::string_view spelling = SpellingAt(at);
    const std::uint64_t hash = HashNoCase(spelling);
    std::size_t slot = hash & mask;
    while (slots[slot] != 0) slot = (slot + 1) & mask;
    slots[slot] = TagOf(hash) | (at + 1);
    at += sizeof(std::size_t) + spelling.size();
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
