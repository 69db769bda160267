// The names of the aliases a script defined.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Names match in any case (the letters A to Z match a to z), and a name keeps the spelling it was
// first stored with. The spellings are kept one after the other in one text, each behind its
// length, and found through an open-addressed table of their hashes, so that a lookup costs the
// same however many names there are and each name costs little more than its letters.
class AliasStore {
 public:
  // Stores `name`, unless a name that matches it is there already.
  void Add(std::string_view name);
  // The stored spelling of the name that matches `name`, if there is one. It stays valid until
  // the next Add.
  std::optional<std::string_view> Find(std::string_view name) const;
  std::size_t size() const { return size_; }

 private:
  // The slot of `name` (whose hash is `hash`): the one that holds it, or the free one where it
  // would go.
  std::size_t SlotOf(std::string_view name, std::uint64_t hash) const;
  // The spelling whose length stands at `at` in `spellings_`.
  std::string_view SpellingAt(std::size_t at) const;
  void Grow();

  std::string spellings_;
  std::size_t size_ = 0;
  // Each slot holds the upper bits of a name's hash and where its length stands + 1, or 0 when
  // free; never more than half are taken.
  std::vector<std::uint64_t> slots_;
};
