#include "remembered_lines.h"

#include <algorithm>
#include <cstring>
#include <utility>

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

constexpr std::uint64_t kIndexMask = 0xffffffffu;

std::size_t BytesOf(std::string_view line, const RememberedLines::Outcome& outcome) {
  std::size_t bytes = line.size() + outcome.output.size();
  for (const RememberedLines::Finding& finding : outcome.findings) bytes += finding.text.size();
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
  std::uint64_t tail = 0;
  if (at < line.size()) std::memcpy(&tail, line.data() + at, line.size() - at);
  return Mix(hash ^ tail);
}

RememberedLines::RememberedLines(std::size_t lines, std::size_t findings, std::size_t bytes)
    : current_(lines, findings, bytes), previous_(lines, findings, bytes) {}

const RememberedLines::Outcome* RememberedLines::Find(std::string_view line, std::uint64_t hash) {
  if (const Outcome* known = current_.Find(line, hash)) return known;
  const Outcome* before = previous_.Find(line, hash);
  if (before == nullptr || !current_.HasRoomFor(line, *before)) return before;
  return current_.Add(line, hash, *before);
}

void RememberedLines::Remember(std::string_view line, std::uint64_t hash, const Outcome& outcome) {
  if (!current_.CouldHold(line, outcome)) return;
  if (!current_.HasRoomFor(line, outcome)) {
    std::swap(current_, previous_);
    current_.Clear();
  }
  current_.Add(line, hash, outcome);
}

RememberedLines::Generation::Generation(std::size_t lines, std::size_t findings, std::size_t bytes)
    : most_lines_(lines),
      most_findings_(findings),
      most_bytes_(bytes),
      slots_(PowerOfTwoFor(2 * lines)) {
  entries_.reserve(lines);
  findings_.reserve(findings);
  bytes_.reserve(bytes);
}

const RememberedLines::Outcome* RememberedLines::Generation::Find(std::string_view line,
                                                                  std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  const std::uint64_t tag = hash & ~kIndexMask;
  for (std::size_t slot = hash & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
    if ((slots_[slot] & ~kIndexMask) != tag) continue;
    const Entry& entry = entries_[(slots_[slot] & kIndexMask) - 1];
    if (entry.hash == hash && entry.line == line) return &entry.outcome;
  }
  return nullptr;
}

bool RememberedLines::Generation::HasRoomFor(std::string_view line, const Outcome& outcome) const {
  return entries_.size() < most_lines_ &&
         findings_.size() + outcome.findings.size() <= most_findings_ &&
         bytes_.size() + BytesOf(line, outcome) <= most_bytes_;
}

bool RememberedLines::Generation::CouldHold(std::string_view line, const Outcome& outcome) const {
  return most_lines_ > 0 && outcome.findings.size() <= most_findings_ &&
         BytesOf(line, outcome) <= most_bytes_;
}

std::string_view RememberedLines::Generation::Copy(std::string_view text) {
  const std::size_t at = bytes_.size();
  bytes_.insert(bytes_.end(), text.begin(), text.end());
  return std::string_view(bytes_.data() + at, text.size());
}

const RememberedLines::Outcome* RememberedLines::Generation::Add(std::string_view line,
                                                                 std::uint64_t hash,
                                                                 const Outcome& outcome) {
  Entry entry{hash, Copy(line), {Copy(outcome.output), {}, outcome.journal, outcome.log}};
  const Finding* first = findings_.data() + findings_.size();
  for (const Finding& finding : outcome.findings) {
    findings_.push_back({finding.kind, Copy(finding.text)});
  }
  entry.outcome.findings = {first, findings_.data() + findings_.size()};
  entries_.push_back(entry);

  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = hash & mask;
  while (slots_[slot] != 0) slot = (slot + 1) & mask;
  slots_[slot] = (hash & ~kIndexMask) | entries_.size();
  return &entries_.back().outcome;
}

void RememberedLines::Generation::Clear() {
  std::fill(slots_.begin(), slots_.end(), 0);
  entries_.clear();
  findings_.clear();
  bytes_.clear();
}
