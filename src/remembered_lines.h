// What recent lines of a script became. The lines of a script repeat (go, step, where...), and a
// line that converts the same way each time it comes is written again from here instead of being
// converted again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tvx2mxt/tvx2mxt.h"

// The hash of a line that the store files it under.
std::uint64_t HashOfLine(std::string_view line);

// A bounded store of lines and what they became. It holds two generations: the lines of the part
// of the script at hand, and those of the part before it that have not come again since. When the
// part at hand fills its generation, it becomes the part before and the part before that is
// forgotten; a line of the part before that comes again moves into the part at hand. Each
// generation holds at most a fixed number of lines, findings and bytes; its room grows with what
// it holds, up to that. One open-addressed table of hashes finds the lines of both generations.
class RememberedLines {
 public:
  // A finding a line made: its kind, and where its text stands among the texts of the findings.
  struct Finding {
    tvx2mxt::FindingKind kind;
    std::size_t at;
    std::size_t size;
  };
  // The findings of a line, in the order they were made, and the text that holds their texts.
  struct Findings {
    const Finding* first = nullptr;
    const Finding* last = nullptr;
    const char* texts = nullptr;
    const Finding* begin() const { return first; }
    const Finding* end() const { return last; }
    std::size_t size() const { return static_cast<std::size_t>(last - first); }
    std::string_view TextOf(const Finding& finding) const {
      return std::string_view(texts + finding.at, finding.size);
    }
  };
  // What a line became: the text written for it, its findings, and whether it switched a journal
  // or a log on, or the journal off (last).
  struct Outcome {
    std::string_view output;
    Findings findings;
    bool journal = false;
    bool log = false;
    bool journal_off = false;
  };

  // Room for `lines` lines, `findings` findings and `bytes` bytes (up to 4 MiB) of records in
  // each generation.
  RememberedLines(std::size_t lines, std::size_t findings, std::size_t bytes);

  // What `line` (whose HashOfLine is `hash`) became, if the store knows it. The views stay valid
  // until the next call of Find or Remember.
  std::optional<Outcome> Find(std::string_view line, std::uint64_t hash);
  // Keeps what `line` became, a line that Find does not know. A line too long, or with too many
  // findings or bytes for a whole generation, is not kept.
  void Remember(std::string_view line, std::uint64_t hash, const Outcome& outcome);

  // The number of lines the store holds.
  std::size_t size() const { return generations_[0].size() + generations_[1].size(); }

 private:
  // The lines of one generation, their outputs and findings.
  class Generation {
   public:
    Generation(std::size_t lines, std::size_t findings, std::size_t bytes);
    std::size_t most_lines() const { return most_lines_; }
    // Whether the line and its outcome fit into what is left; into an empty generation.
    bool HasRoomFor(std::string_view line, const Outcome& outcome) const;
    bool CouldHold(std::string_view line, const Outcome& outcome) const;
    // Copies the line and its outcome in (there must be room); returns where its record is.
    std::uint32_t Add(std::string_view line, const Outcome& outcome);
    std::string_view Line(std::uint32_t record) const;
    Outcome OutcomeOf(std::uint32_t record) const;
    void Clear();
    std::size_t size() const { return records_.size(); }
    // Where the record of the `index`-th line held is.
    std::uint32_t Record(std::size_t index) const { return records_[index]; }

   private:
    // Room for `bytes` more bytes of records.
    void MakeRoom(std::size_t bytes);
    // Copies `size` bytes to the end of the bytes (there must be room).
    void Append(const void* data, std::size_t size);

    // A line's record: this, then the line, its output and the texts of its findings, one
    // after the other in `bytes_`, so that a line and what it became are read together.
    struct Header {
      std::uint32_t output_size;
      std::uint32_t first_finding;
      std::uint16_t line_size;
      std::uint8_t finding_count;
      std::uint8_t switches;  // kJournal, kLog, kJournalOff
    };
    static constexpr std::uint8_t kJournal = 1, kLog = 2, kJournalOff = 4;
    Header HeaderAt(std::uint32_t record) const;

    std::size_t most_lines_, most_findings_, most_bytes_;
    std::vector<std::uint32_t> records_;  // in the order they were added
    std::vector<Finding> findings_;
    // The records; the first `used_` bytes of `room_` are taken.
    std::unique_ptr<char[]> bytes_;
    std::size_t room_ = 0;
    std::size_t used_ = 0;
  };

  // A slot holds the upper bits of a line's hash, the generation of the line and where its
  // record is, + 1; 0 when free.
  static std::uint32_t SlotFor(std::uint64_t hash, std::size_t generation, std::uint32_t record);
  // The slot that holds `line`, or the free slot where it would go.
  std::size_t SlotOf(std::string_view line, std::uint64_t hash) const;
  // The generation at hand becomes the one before; the one before is forgotten.
  void StartGeneration();
  void MakeSlotsFor(std::size_t lines);
  // Files the line of `record` in `generation` in a free slot, and marks its bit.
  void File(std::size_t generation, std::uint32_t record);

  Generation generations_[2];
  std::size_t current_ = 0;  // the generation at hand
  // Never more than half of the slots are taken.
  struct Free {
    void operator()(void* memory) const { std::free(memory); }
  };
  std::unique_ptr<std::uint32_t[], Free> slots_;
  std::size_t slot_count_ = 0;
  std::size_t most_slots_;
  // A bit for each of the lines held, chosen by its hash: a line whose bit is clear is surely not
  // held. Small enough to stay near at hand, it spares a new line the look into the slots.
  std::vector<std::uint64_t> held_bits_;
  bool MightHold(std::uint64_t hash) const;
  void MarkHeld(std::uint64_t hash);
};

// The lines seen lately, by their hashes. Most lines that come once never come again, and a line
// is worth remembering from its second time on. A bit for each hash (two lines may share one);
// the bits are all cleared once an eighth of them have been set, so that they stand for the
// lines of the part of the script at hand. The bits start few and double, instead of being
// cleared, up to their number.
class SeenLines {
 public:
  // `bits` is rounded up to a power of two.
  explicit SeenLines(std::size_t bits);

  // Notes the line whose HashOfLine is `hash`; returns whether it was seen before.
  bool Note(std::uint64_t hash);

 private:
  std::size_t words_;  // the most words of 64 bits; fewer while few lines have been noted
  std::vector<std::uint64_t> bits_;
  std::size_t set_ = 0;  // bits set since they were last cleared
};

// What recent commands became that were converted within other commands: the commands of
// breakpoint command lists, alias bodies and help topics come again and again. Each command has
// one place, given by its hash; a command that comes to a taken place takes it over. Commands and
// conversions longer than a place holds are not kept.
class RememberedCommands {
 public:
  // The longest command kept.
  static constexpr std::size_t kLongestCommand = 256;

  explicit RememberedCommands(std::size_t places);

  // The result, the normalised text and the conversion (empty when not converted) of
  // `command`, whose HashOfLine is `hash`, if known. The views stay valid until the next call of
  // Remember.
  bool Find(std::string_view command, std::uint64_t hash, int& result, std::string_view& normalised,
            std::string_view& converted) const;
  void Remember(std::string_view command, std::uint64_t hash, int result,
                std::string_view normalised, std::string_view converted);

 private:
  struct Place {
    bool known = false;
    std::string command;
    int result = 0;
    std::string normalised;
    std::string converted;
  };
  std::size_t most_places_;
  std::vector<Place> places_;  // set aside when the first command is kept
};
