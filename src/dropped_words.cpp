// Dropped text: the words of a command's arguments that its conversion does not show. The words
// are looked for in a few passes over the converted text (Aho-Corasick automata of a bounded
// size), so a long line costs a small multiple of its length in time and in memory, not its
// length times its number of words.
#include "dropped_words.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "string_toolkit.h"

namespace {

// Letters, digits, "_" and ".": the characters of a word, looked up in a table made once.
constexpr std::array<bool, 256> kWordChars = [] {
  std::array<bool, 256> word_chars{};
  for (int c = 0; c < 256; ++c) word_chars[c] = IsNameChar(static_cast<char>(c)) || c == '.';
  return word_chars;
}();
bool IsWordChar(char c) { return kWordChars[static_cast<unsigned char>(c)]; }

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  MakeLower(lower);
  return lower;
}

// A word of the argument text, where it stands.
struct Word {
  std::string_view text;
  size_t at;
};

// The word that begins at or after index `from` of `text`; an empty one at the end of the text.
Word WordFrom(std::string_view text, size_t from) {
  while (from < text.size() && !IsWordChar(text[from])) ++from;
  size_t end = from;
  while (end < text.size() && IsWordChar(text[end])) ++end;
  return {text.substr(from, end - from), from};
}

// Whether `word` is one of `names`, ignoring case.
bool IsOneOf(std::string_view word, std::initializer_list<std::string_view> names) {
  return std::any_of(names.begin(), names.end(),
                     [&](std::string_view name) { return EqualsNoCase(word, name); });
}

bool IsPrefixOfWhile(std::string_view word) {
  constexpr std::string_view kWhile = "while";
  return !word.empty() && word.size() <= kWhile.size() &&
         EqualsNoCase(word, kWhile.substr(0, word.size()));
}

// The character before index `at` of `text`, blanks aside; 0 at the start.
char CharBefore(std::string_view text, size_t at) {
  while (at > 0 && text[at - 1] == ' ') --at;
  return at > 0 ? text[at - 1] : '\0';
}

// The command words of go and step, whose conversions consume a while word (and "in" and "out"
// for step).
bool IsGoWord(std::string_view word) { return IsOneOf(word, {"g", "go"}); }
bool IsStepWord(std::string_view word) { return IsOneOf(word, {"s", "step", "i", "is", "istep"}); }

// The words that the conversion of a command consumes by design.
class ConsumedWords {
 public:
  ConsumedWords(std::string_view command, std::string_view converted)
      : go_(IsGoWord(command)),
        step_(IsStepWord(command)),
        log_(EqualsNoCase(command, "log")),
        breakpoint_(IsOneOf(command, {"b", "br", "break", "w", "watch"})),
        alias_(IsOneOf(command, {"al", "alias"})),
        include_(IsOneOf(command, {"o", "obey"})),
        arguments_line_(BeginsWith(converted, "arguments")) {}

  // Whether the `index`-th word of the argument text is the command word of a command within
  // this one, which becomes an MXT command: of an entry of a breakpoint's command list (after
  // "do", "{" or ";"), or of an alias's body (after the alias's name). `previous` is the word
  // before it.
  bool IsInnerCommandWord(std::string_view arguments, const Word& word, size_t index,
                          std::string_view previous) const {
    if (alias_) return index == 1;
    return breakpoint_ && (EqualsNoCase(previous, "do") || CharBefore(arguments, word.at) == '{' ||
                           CharBefore(arguments, word.at) == ';');
  }

  // Whether the `index`-th word of the argument text is one of them. `inner_command` is the word
  // before it when that is the command word of a command within this one, and empty otherwise.
  bool Consume(std::string_view arguments, const Word& word, size_t index,
               std::string_view inner_command) const {
    const std::string_view text = word.text;
    // The variable "$cmdline" is MXT's "arguments".
    if (arguments_line_ && EqualsNoCase(text, "cmdline") && CharBefore(arguments, word.at) == '$') {
      return true;
    }
    if (text.size() > 5) return false;  // none of the other words is longer than "while"
    if (IsOneOf(text, {"do", "if"})) return true;
    if ((go_ || step_) && (EqualsNoCase(text, "while") || (index == 0 && IsPrefixOfWhile(text)))) {
      return true;
    }
    if (step_ && IsOneOf(text, {"in", "out"})) return true;
    // A go or step within this one consumes the same words right after its command word.
    const bool inner_step = IsStepWord(inner_command);
    if ((IsGoWord(inner_command) || inner_step) && IsPrefixOfWhile(text)) return true;
    if (inner_step && IsOneOf(text, {"in", "out"})) return true;
    if (log_ && index == 0 && EqualsNoCase(text, "off")) return true;
    const bool width = text == "16" || text == "32";
    return width && word.at > 0 && arguments[word.at - 1] == '/';
  }

  // Whether the conversion may include a script: an include, or a breakpoint or alias that holds
  // one.
  bool MayInclude() const { return include_ || breakpoint_ || alias_; }

 private:
  bool go_;              // go and its while word
  bool step_;            // step, with its while word and "in" and "out"
  bool log_;             // log and its "off"
  bool breakpoint_;      // a breakpoint or watchpoint, with its command list
  bool alias_;           // an alias definition, with its body
  bool include_;         // an included script
  bool arguments_line_;  // the conversion is an "arguments" line
};

// The places where `c` stands in `text`, in either case, in order.
class PlacesOf {
 public:
  PlacesOf(std::string_view text, char c)
      : text_(text),
        lower_(LowerCaseOf(c)),
        upper_(Upper(c)),
        next_lower_(Find(lower_, 0)),
        next_upper_(lower_ == upper_ ? std::string_view::npos : Find(upper_, 0)) {}

  // The next place, or npos.
  size_t Next() {
    const size_t at = std::min(next_lower_, next_upper_);
    if (at == std::string_view::npos) return at;
    if (at == next_lower_) next_lower_ = Find(lower_, at + 1);
    if (at == next_upper_) next_upper_ = Find(upper_, at + 1);
    return at;
  }

 private:
  static char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
  size_t Find(char c, size_t from) const { return text_.find(c, from); }

  std::string_view text_;
  char lower_, upper_;
  size_t next_lower_, next_upper_;
};

// Whether `word` occurs anywhere in `text`, ignoring case: a plain search, the cheapest for the
// few short words of an ordinary command. A word mostly stands in the conversion as written.
bool OccursIn(std::string_view word, std::string_view text) {
  if (word.size() > text.size()) return false;
  if (Contains(text, word)) return true;
  PlacesOf places(text, word[0]);
  for (size_t at; (at = places.Next()) != std::string_view::npos;) {
    if (EqualsNoCase(text.substr(at, word.size()), word)) return true;
  }
  return false;
}

// Up to this many words, on a text up to this long, each word is searched on its own.
constexpr size_t kFewWords = 16;
constexpr size_t kShortText = 1024;

// A word of the argument text by where it stands and how long it is.
struct Span {
  std::uint32_t at, size;
};

// The distinct words of the argument text that its conversion might not show, ignoring case,
// each as first written and in the order they first come. The first kFewWords are held without
// taking memory and compared one by one; from then on an open-addressed table of their places
// finds them, a few bytes a word whatever its length.
class DistinctWords {
 public:
  explicit DistinctWords(std::string_view arguments) : arguments_(arguments) {}

  void Add(size_t at, size_t size) {
    const Span word{static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(size)};
    if (many_.empty()) {
      const std::string_view text = Text(word);
      for (size_t k = 0; k < count_; ++k) {
        if (EqualsNoCase(Text(few_[k]), text)) return;  // an earlier spelling stays
      }
      if (count_ < kFewWords) {
        few_[count_++] = word;
        return;
      }
      many_.assign(few_, few_ + kFewWords);
      Grow();
    }
    if (2 * (many_.size() + 1) > slots_.size()) Grow();
    std::uint32_t& slot = slots_[SlotOf(word)];
    if (slot != 0) return;
    many_.push_back(word);
    slot = static_cast<std::uint32_t>(many_.size());
  }

  size_t size() const { return many_.empty() ? count_ : many_.size(); }
  std::string_view operator[](size_t k) const { return Text(many_.empty() ? few_[k] : many_[k]); }

 private:
  std::string_view Text(Span word) const { return arguments_.substr(word.at, word.size); }

  static std::uint64_t Hash(std::string_view word) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (char c : word) hash = (hash ^ static_cast<unsigned char>(LowerCaseOf(c))) * 0x100000001b3u;
    return hash ^ (hash >> 29);
  }

  // The slot that holds the word (in any case), or the free one where it would go.
  size_t SlotOf(Span word) const {
    const std::string_view text = Text(word);
    const size_t mask = slots_.size() - 1;
    for (size_t slot = Hash(text) & mask;; slot = (slot + 1) & mask) {
      const std::uint32_t held = slots_[slot];
      if (held == 0 || EqualsNoCase(Text(many_[held - 1]), text)) return slot;
    }
  }

  // Twice the slots (at least four times the words), each word in its new place.
  void Grow() {
    size_t slots = slots_.empty() ? 4 * kFewWords : 2 * slots_.size();
    slots_.assign(slots, 0);
    for (size_t k = 0; k < many_.size(); ++k) {
      slots_[SlotOf(many_[k])] = static_cast<std::uint32_t>(k + 1);
    }
  }

  std::string_view arguments_;
  Span few_[kFewWords];
  size_t count_ = 0;
  std::vector<Span> many_;            // all of them, once there are more than kFewWords
  std::vector<std::uint32_t> slots_;  // index in many_ + 1; 0 when free
};

// Finds which of a set of words (in lower case, made only of word characters) occur in a text,
// ignoring case, in one pass over the text: an Aho-Corasick automaton whose nodes are a few
// arrays of numbers. The text is read in lower case, and a character that is no word character
// sends it back to the root, where no word continues.
class WordFinder {
 public:
  WordFinder() { AddNode(0); }

  size_t nodes() const { return label_.size(); }

  // Adds the word; `index` is what Scan reports it as.
  void Add(std::string_view word, size_t index) {
    std::uint32_t node = 0;
    for (char c : word) {
      const char lower = LowerCaseOf(c);
      std::uint32_t child = Child(node, lower);
      if (child == kNone) {
        child = static_cast<std::uint32_t>(label_.size());
        AddNode(lower);
        next_sibling_[child] = first_child_[node];
        first_child_[node] = child;
      }
      node = child;
    }
    word_[node] = static_cast<std::uint32_t>(index + 1);
  }

  // Marks in `found` (by their indexes) the words that occur in `text`.
  void Scan(std::string_view text, std::vector<bool>& found) {
    LinkFailures();
    std::vector<bool> visited(nodes(), false);
    std::uint32_t state = 0;
    for (char c : text) {
      state = IsWordChar(c) ? Next(state, LowerCaseOf(c)) : 0;
      visited[state] = true;
    }
    // A node that was reached stands for every suffix of its text: the nodes along its failure
    // links were reached too. Deepest first.
    for (size_t k = order_.size(); k-- > 0;) {
      const std::uint32_t node = order_[k];
      if (visited[node]) visited[failure_[node]] = true;
    }
    for (size_t node = 0; node < nodes(); ++node) {
      if (word_[node] != 0 && visited[node]) found[word_[node] - 1] = true;
    }
  }

 private:
  static constexpr std::uint32_t kNone = static_cast<std::uint32_t>(-1);

  void AddNode(char label) {
    label_.push_back(label);
    first_child_.push_back(kNone);
    next_sibling_.push_back(kNone);
    failure_.push_back(0);
    word_.push_back(0);
  }

  std::uint32_t Child(std::uint32_t node, char c) const {
    std::uint32_t child = first_child_[node];
    while (child != kNone && label_[child] != c) child = next_sibling_[child];
    return child;
  }

  std::uint32_t Next(std::uint32_t state, char c) const {
    for (;;) {
      if (std::uint32_t child = Child(state, c); child != kNone) return child;
      if (state == 0) return 0;
      state = failure_[state];
    }
  }

  // Breadth first: every node's failure is the longest proper suffix of its text that is a
  // prefix of some word.
  void LinkFailures() {
    order_.clear();
    order_.reserve(nodes());
    for (std::uint32_t child = first_child_[0]; child != kNone; child = next_sibling_[child]) {
      order_.push_back(child);
    }
    for (size_t head = 0; head < order_.size(); ++head) {
      const std::uint32_t node = order_[head];
      for (std::uint32_t child = first_child_[node]; child != kNone; child = next_sibling_[child]) {
        failure_[child] = Next(failure_[node], label_[child]);
        order_.push_back(child);
      }
    }
  }

  std::vector<char> label_;
  std::vector<std::uint32_t> first_child_, next_sibling_, failure_;
  std::vector<std::uint32_t> word_;   // the index of the word that ends at a node + 1, or 0
  std::vector<std::uint32_t> order_;  // the nodes but the root, breadth first
};

// Whether a word longer than an automaton holds occurs in `text`, ignoring case: as written,
// or in lower case in the text in lower case (made once, in `lower_text`).
bool OccursLong(std::string_view word, std::string_view text, std::string& lower_text) {
  if (memmem(text.data(), text.size(), word.data(), word.size()) != nullptr) return true;
  if (lower_text.empty()) lower_text = LowerCase(text);
  const std::string lower_word = LowerCase(word);
  return memmem(lower_text.data(), lower_text.size(), lower_word.data(), lower_word.size()) !=
         nullptr;
}

// Which of the words occur in `text`: the words in automata of at most kMostNodes nodes, one pass
// over the text for each; a longer word is searched on its own.
std::vector<bool> FindAll(const DistinctWords& words, std::string_view text) {
  constexpr size_t kMostNodes = 1 << 18;
  std::vector<bool> found(words.size(), false);
  std::string lower_text;
  for (size_t k = 0; k < words.size();) {
    if (words[k].size() >= kMostNodes) {
      found[k] = OccursLong(words[k], text, lower_text);
      ++k;
      continue;
    }
    WordFinder finder;
    while (k < words.size() && words[k].size() < kMostNodes &&
           finder.nodes() + words[k].size() <= kMostNodes) {
      finder.Add(words[k], k);
      ++k;
    }
    finder.Scan(text, found);
  }
  return found;
}

// Which of the words occur in `text`: each searched on its own when they are few and the text
// is short, otherwise in the passes of FindAll.
std::vector<bool> FindWords(const DistinctWords& words, std::string_view text) {
  if (words.size() > kFewWords || text.size() > kShortText) return FindAll(words, text);
  std::vector<bool> found(words.size(), false);
  for (size_t k = 0; k < words.size(); ++k) found[k] = OccursIn(words[k], text);
  return found;
}

// An included script is named by its converted script ("init.tvx" is included as "init.mxt"): a
// word ending in ".tvx" that the conversion shows so is found. The words so renamed are looked
// for together.
void FindIncludedScripts(const DistinctWords& words, std::string_view text,
                         std::vector<bool>& found) {
  constexpr std::string_view kTavex = ".tvx", kMxt = ".mxt";
  std::string renamed;  // each renamed word followed by a blank
  std::vector<size_t> which;
  for (size_t k = 0; k < words.size(); ++k) {
    if (found[k] || !EndsWithNoCase(words[k], kTavex)) continue;
    renamed.append(words[k], 0, words[k].size() - kTavex.size()).append(kMxt) += ' ';
    which.push_back(k);
  }
  if (which.empty()) return;
  // The words are distinct in any case, and so are their renamed forms: each keeps its place.
  DistinctWords renamed_words(renamed);
  for (size_t at = 0, k = 0; k < which.size(); ++k) {
    const size_t size = words[which[k]].size();
    renamed_words.Add(at, size);
    at += size + 1;
  }
  const std::vector<bool> shown = FindWords(renamed_words, text);
  for (size_t k = 0; k < which.size(); ++k) found[which[k]] = found[which[k]] || shown[k];
}

}  // namespace

std::string DroppedWords(std::string_view command, std::string_view arguments,
                         std::string_view converted) {
  const ConsumedWords consumed(command, converted);
  DistinctWords words(arguments);
  size_t index = 0;
  std::string_view previous, inner_command;
  for (Word word = WordFrom(arguments, 0); !word.text.empty();
       previous = word.text, word = WordFrom(arguments, word.at + word.text.size()), ++index) {
    const bool inner = consumed.IsInnerCommandWord(arguments, word, index, previous);
    if (!inner && !consumed.Consume(arguments, word, index, inner_command)) {
      words.Add(word.at, word.text.size());
    }
    inner_command = inner ? word.text : std::string_view();
  }
  std::vector<bool> found = FindWords(words, converted);
  if (consumed.MayInclude()) FindIncludedScripts(words, converted, found);
  std::string dropped;
  for (size_t k = 0; k < words.size(); ++k) {
    if (found[k]) continue;
    if (!dropped.empty()) dropped += ' ';
    dropped += words[k];
  }
  return dropped;
}
