#include "remembered_lines.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace {

// Stirs the bits of `x` so that each bit of the result depends on every bit of `x`.
std::uint64_t Mix(std::uint64_t x) {
  x ^= x >> 31;
  x *= 0xbf58476d1ce4e5b9u;
  x ^= x >> 29;
  return x;
}

// The smallest power of two that is at least `n`.
std::size_t PowerOfTwoFor(std::size_t n) {
  std::size_t size = 1;
  while (size < n) size *= 2;
  return size;
}

// A slot: the place of a record + 1 in its lower 22 bits, the record's generation in the next
// bit, and the upper 9 bits of the line's hash above them.
constexpr std::uint32_t kPlaceBits = 22;
constexpr std::uint32_t kPlaceMask = (std::uint32_t{1} << kPlaceBits) - 1;
constexpr std::uint32_t kTagMask = ~((kPlaceMask << 1) | 1);
std::uint32_t TagOf(std::uint64_t hash) {
  return static_cast<std::uint32_t>(hash >> 32) & kTagMask;
}

// The bytes of a line's text, output and findings; its record takes a header more.
std::size_t BytesOf(std::string_view line, const RememberedLines::Outcome& outcome) {
  std::size_t bytes = line.size() + outcome.output.size();
  for (const RememberedLines::Finding& finding : outcome.findings) bytes += finding.size;
  return bytes;
}

}  // namespace

std::uint64_t HashOfLine(std::string_view line) {
  std::uint64_t hash = 0x9e3779b97f4a7c15u ^ line.size();
  size_t at = 0;
  for (; at + 8 <= line.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, line.data() + at, 8);
    hash = Mix(hash ^ word);
  }
  // The last bytes one at a time: a copy of a varying length would be a call.
  std::uint64_t tail = 0;
  for (size_t shift = 0; at < line.size(); ++at, shift += 8) {
    tail |= std::uint64_t{static_cast<unsigned char>(line[at])} << shift;
  }
  return Mix(hash ^ tail);
}

RememberedLines::RememberedLines(std::size_t lines, std::size_t findings, std::size_t bytes)
    : generations_{{lines, findings, bytes}, {lines, findings, bytes}},
      most_slots_(PowerOfTwoFor(4 * generations_[0].most_lines())) {}

void RememberedLines::File(std::size_t generation, std::uint32_t record) {
  const std::uint64_t hash = HashOfLine(generations_[generation].Line(record));
  const std::size_t mask = slot_count_ - 1;
  std::size_t slot = hash & mask;
  while (slots_[slot] != 0) slot = (slot + 1) & mask;
  slots_[slot] = SlotFor(hash, generation, record);
  MarkHeld(hash);
}

// The slots grow with the lines held, by doubling, up to the most the store needs, so that
// never more than half of them are taken; the lines held are filed again in the new slots.
void RememberedLines::MakeSlotsFor(std::size_t lines) {
  constexpr std::size_t kFirstSlots = 1 << 10;
  if (2 * lines <= slot_count_) return;
  std::size_t count = std::max(slot_count_, kFirstSlots);
  while (2 * lines > count && count < most_slots_) count *= 2;
  if (count == slot_count_) return;
  std::uint32_t* zeros = static_cast<std::uint32_t*>(std::calloc(count, 4));
  if (zeros == nullptr) throw std::bad_alloc();
  slots_.reset(zeros);
  slot_count_ = count;
  held_bits_.assign(std::max<std::size_t>(slot_count_ / 32, 1), 0);
  for (std::size_t generation = 0; generation < 2; ++generation) {
    const Generation& held = generations_[generation];
    for (std::size_t index = 0; index < held.size(); ++index) File(generation, held.Record(index));
  }
}

// The bit of a hash: from its upper half, which the slot does not take its place from.
bool RememberedLines::MightHold(std::uint64_t hash) const {
  const std::size_t bit = (hash >> 32) & (64 * held_bits_.size() - 1);
  return (held_bits_[bit / 64] >> (bit % 64) & 1) != 0;
}

void RememberedLines::MarkHeld(std::uint64_t hash) {
  const std::size_t bit = (hash >> 32) & (64 * held_bits_.size() - 1);
  held_bits_[bit / 64] |= std::uint64_t{1} << (bit % 64);
}

std::uint32_t RememberedLines::SlotFor(std::uint64_t hash, std::size_t generation,
                                       std::uint32_t record) {
  return TagOf(hash) | static_cast<std::uint32_t>(generation << kPlaceBits) | (record + 1u);
}

std::size_t RememberedLines::SlotOf(std::string_view line, std::uint64_t hash) const {
  const std::size_t mask = slot_count_ - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t held = slots_[slot];
    if (held == 0) return slot;
    if ((held & kTagMask) != TagOf(hash)) continue;
    const Generation& generation = generations_[(held >> kPlaceBits) & 1];
    if (generation.Line((held & kPlaceMask) - 1) == line) return slot;
  }
}

std::optional<RememberedLines::Outcome> RememberedLines::Find(std::string_view line,
                                                              std::uint64_t hash) {
  if (slot_count_ == 0 || !MightHold(hash)) return std::nullopt;
  const std::size_t slot = SlotOf(line, hash);
  const std::uint32_t held = slots_[slot];
  if (held == 0) return std::nullopt;
  const std::size_t generation = (held >> kPlaceBits) & 1;
  const std::uint32_t record = (held & kPlaceMask) - 1;
  const Outcome outcome = generations_[generation].OutcomeOf(record);
  Generation& current = generations_[current_];
  if (generation == current_ || !current.HasRoomFor(line, outcome)) return outcome;
  // A line of the part before comes into the part at hand.
  const std::uint32_t moved = current.Add(line, outcome);
  slots_[slot] = SlotFor(hash, current_, moved);
  return current.OutcomeOf(moved);
}

void RememberedLines::Remember(std::string_view line, std::uint64_t hash, const Outcome& outcome) {
  if (!generations_[current_].CouldHold(line, outcome)) return;
  if (!generations_[current_].HasRoomFor(line, outcome)) StartGeneration();
  MakeSlotsFor(size() + 1);
  const std::size_t slot = SlotOf(line, hash);
  slots_[slot] = SlotFor(hash, current_, generations_[current_].Add(line, outcome));
  MarkHeld(hash);
}

void RememberedLines::StartGeneration() {
  const std::size_t before = current_;
  current_ = 1 - current_;
  generations_[current_].Clear();
  // The table is made again of the lines of the part before.
  std::fill_n(slots_.get(), slot_count_, 0);
  std::fill(held_bits_.begin(), held_bits_.end(), 0);
  const Generation& kept = generations_[before];
  for (std::size_t index = 0; index < kept.size(); ++index) File(before, kept.Record(index));
}

RememberedLines::Generation::Generation(std::size_t lines, std::size_t findings, std::size_t bytes)
    : most_lines_(std::min<std::size_t>(lines, kPlaceMask)),
      most_findings_(std::min<std::size_t>(findings, std::numeric_limits<std::uint32_t>::max())),
      most_bytes_(std::min<std::size_t>(bytes, kPlaceMask - 1)) {}

bool RememberedLines::Generation::HasRoomFor(std::string_view line, const Outcome& outcome) const {
  return records_.size() < most_lines_ &&
         findings_.size() + outcome.findings.size() <= most_findings_ &&
         used_ + sizeof(Header) + BytesOf(line, outcome) <= most_bytes_;
}

bool RememberedLines::Generation::CouldHold(std::string_view line, const Outcome& outcome) const {
  return most_lines_ > 0 && line.size() <= std::numeric_limits<std::uint16_t>::max() &&
         outcome.findings.size() <=
             std::min<std::size_t>(most_findings_, std::numeric_limits<std::uint8_t>::max()) &&
         sizeof(Header) + BytesOf(line, outcome) <= most_bytes_;
}

std::uint32_t RememberedLines::Generation::Add(std::string_view line, const Outcome& outcome) {
  MakeRoom(sizeof(Header) + BytesOf(line, outcome));
  const std::uint32_t record = static_cast<std::uint32_t>(used_);
  Header header;
  header.output_size = static_cast<std::uint32_t>(outcome.output.size());
  header.first_finding = static_cast<std::uint32_t>(findings_.size());
  header.line_size = static_cast<std::uint16_t>(line.size());
  header.finding_count = static_cast<std::uint8_t>(outcome.findings.size());
  header.switches =
      static_cast<std::uint8_t>((outcome.journal ? kJournal : 0) | (outcome.log ? kLog : 0) |
                                (outcome.journal_off ? kJournalOff : 0));
  Append(&header, sizeof(header));
  Append(line.data(), line.size());
  Append(outcome.output.data(), outcome.output.size());
  for (const Finding& finding : outcome.findings) {
    std::string_view text = outcome.findings.TextOf(finding);
    findings_.push_back({finding.kind, used_, text.size()});
    Append(text.data(), text.size());
  }
  records_.push_back(record);
  return record;
}

// The room for the records grows with them, by doubling, up to the most a generation holds: a
// short script takes little memory (and a batch of short scripts takes and gives back little).
void RememberedLines::Generation::MakeRoom(std::size_t bytes) {
  constexpr std::size_t kFirstRoom = 1 << 14;
  if (used_ + bytes <= room_) return;
  std::size_t room = std::max(room_, kFirstRoom);
  while (room < used_ + bytes) room *= 2;
  room = std::min(std::max(room, used_ + bytes), most_bytes_);
  std::unique_ptr<char[]> grown(new char[room]);
  if (used_ != 0) std::memcpy(grown.get(), bytes_.get(), used_);
  bytes_.swap(grown);
  room_ = room;
}

void RememberedLines::Generation::Append(const void* data, std::size_t size) {
  if (size != 0) std::memcpy(bytes_.get() + used_, data, size);
  used_ += size;
}

RememberedLines::Generation::Header RememberedLines::Generation::HeaderAt(
    std::uint32_t record) const {
  Header header;
  std::memcpy(&header, bytes_.get() + record, sizeof(header));
  return header;
}

std::string_view RememberedLines::Generation::Line(std::uint32_t record) const {
  return std::string_view(bytes_.get() + record + sizeof(Header), HeaderAt(record).line_size);
}

RememberedLines::Outcome RememberedLines::Generation::OutcomeOf(std::uint32_t record) const {
  const Header header = HeaderAt(record);
  Outcome outcome;
  outcome.output = std::string_view(bytes_.get() + record + sizeof(Header) + header.line_size,
                                    header.output_size);
  const Finding* first = findings_.data() + header.first_finding;
  outcome.findings = {first, first + header.finding_count, bytes_.get()};
  outcome.journal = (header.switches & kJournal) != 0;
  outcome.log = (header.switches & kLog) != 0;
  outcome.journal_off = (header.switches & kJournalOff) != 0;
  return outcome;
}

void RememberedLines::Generation::Clear() {
  records_.clear();
  findings_.clear();
  used_ = 0;
}

namespace {

// The longest command, and conversion, that a place holds.
constexpr std::size_t kLongestConversion = 1024;

}  // namespace

RememberedCommands::RememberedCommands(std::size_t places) : most_places_(places) {}

bool RememberedCommands::Find(std::string_view command, std::uint64_t hash, int& result,
                              std::string_view& normalised, std::string_view& converted) const {
  if (places_.empty()) return false;
  const Place& place = places_[hash % places_.size()];
  if (!place.known || place.command != command) return false;
  result = place.result;
  normalised = place.normalised;
  converted = place.converted;
  return true;
}

void RememberedCommands::Remember(std::string_view command, std::uint64_t hash, int result,
                                  std::string_view normalised, std::string_view converted) {
  if (most_places_ == 0 || command.size() > kLongestCommand ||
      normalised.size() > kLongestCommand + 1 || converted.size() > kLongestConversion) {
    return;
  }
  if (places_.empty()) places_.resize(most_places_);  // when the first command is kept
  Place& place = places_[hash % places_.size()];
  place.known = true;
  place.command.assign(command);
  place.result = result;
  place.normalised.assign(normalised);
  place.converted.assign(converted);
}

SeenLines::SeenLines(std::size_t bits)
    : words_(std::max<std::size_t>(PowerOfTwoFor(bits) / 64, 1)) {}

bool SeenLines::Note(std::uint64_t hash) {
  constexpr std::size_t kFirstWords = 64;
  if (bits_.empty()) bits_.assign(std::min(kFirstWords, words_), 0);
  auto bit = [&] { return (hash >> 16) & (64 * bits_.size() - 1); };
  const std::uint64_t mask = std::uint64_t{1} << (bit() % 64);
  if ((bits_[bit() / 64] & mask) != 0) return true;
  if (8 * set_ >= 64 * bits_.size()) {
    if (bits_.size() < words_) {
      // Twice the bits: a hash takes one bit more, and each bit set stands in both halves, so
      // that no line seen is forgotten.
      const std::size_t words = bits_.size();
      bits_.resize(2 * words);
      std::copy_n(bits_.begin(), words, bits_.begin() + static_cast<long>(words));
    } else {
      std::fill(bits_.begin(), bits_.end(), 0);
      set_ = 0;
    }
  }
  bits_[bit() / 64] |= mask;
  ++set_;
  return false;
}
