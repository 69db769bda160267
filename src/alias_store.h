// The names of the aliases a script defined.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Names match in any case (the letters A to Z match a to z), and a name keeps the spelling it was
// first stored with. The spellings are kept one after the other in one text and found through an
// open-addressed table of their hashes, so that a lookup costs the same however many names there
// are and each name costs little more than its letters.
class AliasStore {
 public:
  // Stores `name`, unless a name that matches it is there already.
  void Add(std::string_view name);
  // The stored spelling of the name that matches `name`, if there is one. It stays valid until
  // the next Add.
  std::optional<std::string_view> Find(std::string_view name) const;
  std::size_t size() const { return names_.size(); }

 private:
  struct Name {
    std::size_t at;      // where its spelling begins in `spellings_`
    std::size_t size;    // and its length
    std::uint32_t hash;  // the lower half of its hash
  };

  // The slot of `name` (whose hash is `hash`): the one that holds it, or the free one where it
  // would go.
  std::size_t SlotOf(std::string_view name, std::uint64_t hash) const;
  std::string_view Spelling(const Name& name) const {
    return std::string_view(spellings_).substr(name.at, name.size);
  }
  void Grow();

  std::string spellings_;
  std::vector<Name> names_;
  // Each slot holds a name's index + 1, or 0 when free; never more than half are taken.
  std::vector<std::uint32_t> slots_;
};
