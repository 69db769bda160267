// The store of remembered lines: what a line became is found again as it was kept, the oldest
// lines are forgotten first, and the store never holds more than its room.
#include "remembered_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Kind = tvx2mxt::FindingKind;

// Findings with their texts, as the script loop gives them to the store.
struct FindingList {
  std::vector<RememberedLines::Finding> findings;
  std::string texts;

  FindingList& Add(Kind kind, std::string_view text) {
    findings.push_back({kind, texts.size(), text.size()});
    texts.append(text);
    return *this;
  }
};

RememberedLines::Outcome OutcomeOf(std::string_view output, const FindingList& list = {}) {
  RememberedLines::Outcome outcome;
  outcome.output = output;
  outcome.findings = {list.findings.data(), list.findings.data() + list.findings.size(),
                      list.texts.data()};
  return outcome;
}

void Remember(RememberedLines& store, std::string_view line, std::string_view output) {
  store.Remember(line, HashOfLine(line), OutcomeOf(output));
}

// The output kept for `line`, or "(none)".
std::string Recall(RememberedLines& store, std::string_view line) {
  std::optional<RememberedLines::Outcome> known = store.Find(line, HashOfLine(line));
  return known ? std::string(known->output) : "(none)";
}

TEST(RememberedLines, FindsWhatALineBecame) {
  RememberedLines store(8, 8, 1024);
  FindingList list;
  list.Add(Kind::kDropped, "x").Add(Kind::kWarning, "Warning z");
  RememberedLines::Outcome outcome = OutcomeOf("go\n", list);
  outcome.journal = true;
  std::string line = "go x";
  store.Remember(line, HashOfLine(line), outcome);
  // The store keeps copies: the texts it was given may change.
  line = "go y";
  list.texts = "yWARNING z";

  std::optional<RememberedLines::Outcome> known = store.Find("go x", HashOfLine("go x"));
  ASSERT_TRUE(known.has_value());
  EXPECT_EQ(known->output, "go\n");
  ASSERT_EQ(known->findings.size(), 2u);
  const RememberedLines::Finding* first = known->findings.begin();
  EXPECT_EQ(first[0].kind, Kind::kDropped);
  EXPECT_EQ(known->findings.TextOf(first[0]), "x");
  EXPECT_EQ(first[1].kind, Kind::kWarning);
  EXPECT_EQ(known->findings.TextOf(first[1]), "Warning z");
  EXPECT_TRUE(known->journal);
  EXPECT_FALSE(known->log);
  // Only the same bytes are the same line.
  for (std::string_view other : {"go y", "go", "go x ", "GO X", ""}) {
    EXPECT_EQ(Recall(store, other), "(none)") << other;
  }
}

TEST(RememberedLines, LinesWithTheSameHashAreTold) {
  RememberedLines store(8, 8, 1024);
  store.Remember("a", 42, OutcomeOf("A"));
  store.Remember("b", 42, OutcomeOf("B"));
  store.Remember("c", 42 + (1u << 20), OutcomeOf("C"));  // another slot's hash, same upper half
  ASSERT_TRUE(store.Find("a", 42).has_value());
  EXPECT_EQ(store.Find("a", 42)->output, "A");
  EXPECT_EQ(store.Find("b", 42)->output, "B");
  EXPECT_EQ(store.Find("c", 42 + (1u << 20))->output, "C");
  EXPECT_FALSE(store.Find("d", 42).has_value());
}

TEST(RememberedLines, ForgetsThePartBeforeThePartBefore) {
  // Two lines a generation.
  RememberedLines store(2, 4, 1024);
  Remember(store, "a", "A");
  Remember(store, "b", "B");
  Remember(store, "c", "C");  // a and b become the part before
  EXPECT_EQ(store.size(), 3u);
  EXPECT_EQ(Recall(store, "a"), "A");  // comes again: back into the part at hand, with c
  Remember(store, "d", "D");           // c and a become the part before; b is forgotten
  EXPECT_EQ(store.size(), 3u);
  EXPECT_EQ(Recall(store, "b"), "(none)");
  EXPECT_EQ(Recall(store, "a"), "A");
  EXPECT_EQ(Recall(store, "c"), "C");
  EXPECT_EQ(Recall(store, "d"), "D");
  // Lines that move back keep their findings and switches.
  FindingList list;
  list.Add(Kind::kSemicolons, "e;f").Add(Kind::kNotConverted, "f");
  RememberedLines::Outcome outcome = OutcomeOf("E", list);
  outcome.log = true;
  store.Remember("e", HashOfLine("e"), outcome);
  Remember(store, "f", "F");  // e becomes a line of the part before
  Remember(store, "g", "G");
  std::optional<RememberedLines::Outcome> e = store.Find("e", HashOfLine("e"));
  ASSERT_TRUE(e.has_value());
  ASSERT_EQ(e->findings.size(), 2u);
  EXPECT_EQ(e->findings.TextOf(e->findings.begin()[0]), "e;f");
  EXPECT_EQ(e->findings.begin()[1].kind, Kind::kNotConverted);
  EXPECT_EQ(e->findings.TextOf(e->findings.begin()[1]), "f");
  EXPECT_TRUE(e->log);
  EXPECT_FALSE(e->journal);
}

TEST(RememberedLines, NeverHoldsMoreThanItsRoom) {
  RememberedLines store(4, 4, 128);  // a record takes a dozen bytes besides its texts
  for (int k = 0; k < 100; ++k) {
    std::string line = "line " + std::to_string(k);
    Remember(store, line, "output " + std::to_string(k));
    EXPECT_LE(store.size(), 8u);
    EXPECT_EQ(Recall(store, line), "output " + std::to_string(k));
  }
  // The most recent lines are the ones kept.
  EXPECT_EQ(Recall(store, "line 99"), "output 99");
  EXPECT_EQ(Recall(store, "line 92"), "output 92");
  EXPECT_EQ(Recall(store, "line 0"), "(none)");

  // Bytes run out before lines do: 38 bytes of texts a line (and its record's), 64 a generation.
  RememberedLines narrow(4, 4, 64);
  std::string long_output(36, 'o');
  Remember(narrow, "x1", long_output);
  Remember(narrow, "x2", long_output);
  Remember(narrow, "x3", long_output);
  EXPECT_EQ(narrow.size(), 2u);
  EXPECT_EQ(Recall(narrow, "x1"), "(none)");
  EXPECT_EQ(Recall(narrow, "x3"), long_output);

  // A line larger than a whole generation is not kept, and forgets nothing.
  Remember(narrow, "huge", std::string(100, 'h'));
  EXPECT_EQ(Recall(narrow, "huge"), "(none)");
  EXPECT_EQ(Recall(narrow, "x2"), long_output);

  // Findings run out too.
  RememberedLines few(4, 2, 1024);
  FindingList three;
  three.Add(Kind::kDropped, "w").Add(Kind::kDropped, "w").Add(Kind::kDropped, "w");
  few.Remember("many", HashOfLine("many"), OutcomeOf("M", three));
  EXPECT_EQ(Recall(few, "many"), "(none)");

  // A store without room keeps nothing.
  RememberedLines none(0, 0, 0);
  Remember(none, "go", "go\n");
  EXPECT_EQ(Recall(none, "go"), "(none)");
}

TEST(RememberedLines, AnOutcomeFoundStaysValidWhileLinesMoveBack) {
  RememberedLines store(2, 4, 1024);
  Remember(store, "a", "A");
  Remember(store, "b", "B");
  Remember(store, "c", "C");
  std::optional<RememberedLines::Outcome> a = store.Find("a", HashOfLine("a"));
  std::optional<RememberedLines::Outcome> b = store.Find("b", HashOfLine("b"));  // stays put
  ASSERT_TRUE(a.has_value());
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(a->output, "A");
  EXPECT_EQ(b->output, "B");
}

// The commands converted within others: each has one place; another command that comes to the
// same place takes it over.
TEST(RememberedCommands, OnePlaceACommand) {
  RememberedCommands store(4);
  int result = -1;
  std::string_view normalised, converted;
  EXPECT_FALSE(store.Find("go", 1, result, normalised, converted));
  store.Remember("\tgo", 1, 0, " go", "go");
  store.Remember("foo", 2, 1, "foo", "");
  ASSERT_TRUE(store.Find("\tgo", 1, result, normalised, converted));
  EXPECT_EQ(result, 0);
  EXPECT_EQ(normalised, " go");
  EXPECT_EQ(converted, "go");
  ASSERT_TRUE(store.Find("foo", 2, result, normalised, converted));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(normalised, "foo");
  EXPECT_EQ(converted, "");
  EXPECT_FALSE(store.Find("\tGo", 1, result, normalised, converted));  // the same bytes only
  store.Remember("step", 5, 0, "step", "stepl");  // 5 and 1 share a place of four
  EXPECT_FALSE(store.Find("\tgo", 1, result, normalised, converted));
  ASSERT_TRUE(store.Find("step", 5, result, normalised, converted));
  EXPECT_EQ(converted, "stepl");
  // Too long to keep: the place keeps what it had.
  store.Remember(std::string(300, 's'), 5, 0, "s", "x");
  store.Remember("s", 5, 0, "s", std::string(2000, 'x'));
  EXPECT_TRUE(store.Find("step", 5, result, normalised, converted));
  EXPECT_FALSE(store.Find(std::string(300, 's'), 5, result, normalised, converted));
  RememberedCommands none(0);
  none.Remember("go", 1, 0, "go", "go");
  EXPECT_FALSE(none.Find("go", 1, result, normalised, converted));
}

// The lines seen lately: a line is known from its second time on, and what was seen is forgotten
// once an eighth of the bits are taken.
TEST(SeenLines, KnownTheSecondTime) {
  SeenLines seen(1024);  // 128 lines between clearings
  // The bit of a hash is taken from its bits 16 on.
  auto line = [](std::uint64_t bit) { return bit << 16; };
  EXPECT_FALSE(seen.Note(line(1)));
  EXPECT_TRUE(seen.Note(line(1)));
  EXPECT_TRUE(seen.Note(line(1) + 1));  // another line with the same bit
  EXPECT_FALSE(seen.Note(line(2)));
  EXPECT_TRUE(seen.Note(line(2)));
  for (std::uint64_t bit = 3; bit <= 128; ++bit) EXPECT_FALSE(seen.Note(line(bit))) << bit;
  EXPECT_TRUE(seen.Note(line(1)));     // 128 bits taken: not cleared yet
  EXPECT_FALSE(seen.Note(line(129)));  // the 129th: all are forgotten first
  EXPECT_FALSE(seen.Note(line(1)));
  EXPECT_TRUE(seen.Note(line(129)));
  EXPECT_TRUE(seen.Note(line(1025)));  // bits wrap around: 1025 is bit 1
}

// The bits start few and double instead of being cleared: no line seen is forgotten, and a line
// whose bit in the larger table was copied from one seen counts as seen.
TEST(SeenLines, GrowWithoutForgetting) {
  SeenLines seen(1 << 14);  // at most 16,384 bits; 4,096 to begin with
  auto line = [](std::uint64_t bit) { return bit << 16; };
  for (std::uint64_t bit = 0; bit < 512; ++bit) EXPECT_FALSE(seen.Note(line(bit))) << bit;
  EXPECT_FALSE(seen.Note(line(600)));  // an eighth taken: 8,192 bits now
  for (std::uint64_t bit = 0; bit < 512; ++bit) EXPECT_TRUE(seen.Note(line(bit))) << bit;
  EXPECT_TRUE(seen.Note(line(4096 + 3)));     // the copy of bit 3
  EXPECT_FALSE(seen.Note(line(4096 + 700)));  // bit 700 was never set
}

}  // namespace
