// What recent lines of a script became. The lines of a script repeat (go, step, where...), and a
// line that converts the same way each time it comes is written again from here instead of being
// converted again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "tvx2mxt/tvx2mxt.h"

// The hash of a line that the store files it under.
std::uint64_t HashOfLine(std::string_view line);

// A bounded store of lines and what they became. It holds two generations: the lines of the part
// of the script at hand, and those of the part before it that have not come again since. When the
// part at hand fills its generation, it becomes the part before and the part before that is
// forgotten; a line of the part before that comes again moves into the part at hand. Each
// generation has room for a fixed number of lines and of bytes, set aside once, so a store never
// grows, and what Find returns stays valid until the next call of Remember.
class RememberedLines {
 public:
  // A finding a line made, as reported.
  struct Finding {
    tvx2mxt::FindingKind kind;
    std::string_view text;
  };
  // The findings of a line, in the order they were made.
  struct Findings {
    const Finding* first = nullptr;
    const Finding* last = nullptr;
    const Finding* begin() const { return first; }
    const Finding* end() const { return last; }
    std::size_t size() const { return static_cast<std::size_t>(last - first); }
  };
  // What a line became: the text written for it, its findings, and whether it switched a journal
  // or a log on.
  struct Outcome {
    std::string_view output;
    Findings findings;
    bool journal = false;
    bool log = false;
  };

  // Room for `lines` lines, `findings` findings and `bytes` bytes of lines, outputs and finding
  // texts in each generation.
  RememberedLines(std::size_t lines, std::size_t findings, std::size_t bytes);

  // What `line` (whose HashOfLine is `hash`) became, or null when it is not known.
  const Outcome* Find(std::string_view line, std::uint64_t hash);
  // Keeps what `line` became, a line that Find does not know. A line too large for a whole
  // generation is not kept.
  void Remember(std::string_view line, std::uint64_t hash, const Outcome& outcome);

  // The number of lines the two generations hold (a line that moved back is in both).
  std::size_t size() const { return current_.size() + previous_.size(); }

 private:
  class Generation {
   public:
    Generation(std::size_t lines, std::size_t findings, std::size_t bytes);
    const Outcome* Find(std::string_view line, std::uint64_t hash) const;
    // Whether the line and its outcome fit into what is left; into an empty generation.
    bool HasRoomFor(std::string_view line, const Outcome& outcome) const;
    bool CouldHold(std::string_view line, const Outcome& outcome) const;
    // Copies the line and its outcome in (there must be room); returns the copy of the outcome.
    const Outcome* Add(std::string_view line, std::uint64_t hash, const Outcome& outcome);
    void Clear();
    std::size_t size() const { return entries_.size(); }

   private:
    struct Entry {
      std::uint64_t hash;
      std::string_view line;
      Outcome outcome;
    };
    std::string_view Copy(std::string_view text);

    std::size_t most_lines_, most_findings_, most_bytes_;
    // Open addressing: each slot holds the upper half of an entry's hash and its index + 1, or 0
    // when free. Never more than half of the slots are taken.
    std::vector<std::uint64_t> slots_;
    std::vector<Entry> entries_;
    std::vector<Finding> findings_;
    std::vector<char> bytes_;  // never grows past its first capacity: the views stay valid
  };

  Generation current_, previous_;
};
