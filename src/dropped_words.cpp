// Dropped text: the words of a command's arguments that its conversion does not show. All the
// words are looked for in one pass over the converted text (an Aho-Corasick automaton), so a
// long line costs its length, not its length times its number of words.
#include "dropped_words.h"

#include <algorithm>
#include <array>
#include <unordered_set>
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

// The words that the conversion of a command consumes by design.
class ConsumedWords {
 public:
  ConsumedWords(std::string_view command, std::string_view converted)
      : go_(IsOneOf(command, {"g", "go"})),
        step_(IsOneOf(command, {"s", "step", "i", "is", "istep"})),
        log_(EqualsNoCase(command, "log")),
        breakpoint_(IsOneOf(command, {"b", "br", "break", "w", "watch"})),
        arguments_line_(BeginsWith(converted, "arguments")) {}

  // Whether the `index`-th word of the argument text is one of them. `previous` is the word
  // before it.
  bool Consume(std::string_view arguments, const Word& word, size_t index,
               std::string_view previous) const {
    const std::string_view text = word.text;
    // The commands of a breakpoint's command list become MXT commands of the macro: their
    // command words (after "do", "{" or ";") go.
    if (breakpoint_ && (EqualsNoCase(previous, "do") || CharBefore(arguments, word.at) == '{' ||
                        CharBefore(arguments, word.at) == ';')) {
      return true;
    }
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
    if (log_ && index == 0 && EqualsNoCase(text, "off")) return true;
    const bool width = text == "16" || text == "32";
    return width && word.at > 0 && arguments[word.at - 1] == '/';
  }

 private:
  bool go_;              // go and its while word
  bool step_;            // step, with its while word and "in" and "out"
  bool log_;             // log and its "off"
  bool breakpoint_;      // a breakpoint or watchpoint, with its command list
  bool arguments_line_;  // the conversion is an "arguments" line
};

// Up to this many words, on a text up to this long, each word is searched on its own.
constexpr size_t kFewWords = 16;
constexpr size_t kShortText = 1024;

// The words of the argument text that the conversion might not show: each word that is not
// consumed, once (ignoring case) and as first written while there are fewer than kFewWords of
// them; every further one after that. The first kFewWords are held without taking memory.
class Candidates {
 public:
  Candidates(std::string_view command, std::string_view arguments, std::string_view converted) {
    const ConsumedWords consumed(command, converted);
    size_t index = 0;
    std::string_view previous;
    for (Word word = WordFrom(arguments, 0); !word.text.empty();
         previous = word.text, word = WordFrom(arguments, word.at + word.text.size()), ++index) {
      if (consumed.Consume(arguments, word, index, previous)) continue;
      auto same = [&](std::string_view seen) { return EqualsNoCase(seen, word.text); };
      if (size() < kFewWords && std::any_of(begin(), end(), same)) continue;
      Add(word.text);
    }
  }

  // A word of the argument text; nothing to set up until it is one (a string_view would be).
  struct Span {
    const char* data;
    size_t size;
    operator std::string_view() const { return std::string_view(data, size); }
  };

  const Span* begin() const { return many_.empty() ? few_ : many_.data(); }
  const Span* end() const { return begin() + size(); }
  size_t size() const { return many_.empty() ? count_ : many_.size(); }
  std::string_view operator[](size_t k) const { return begin()[k]; }

 private:
  void Add(std::string_view word) {
    const Span span{word.data(), word.size()};
    if (count_ < kFewWords) {
      few_[count_++] = span;
      return;
    }
    if (many_.empty()) many_.assign(few_, few_ + kFewWords);
    many_.push_back(span);
  }

  Span few_[kFewWords];
  size_t count_ = 0;
  std::vector<Span> many_;  // all of them, once there are more than kFewWords
};

// Finds which of a set of words occur in a text, in one pass over the text.
class WordFinder {
 public:
  explicit WordFinder(const std::vector<std::string>& words) : found_(words.size(), false) {
    nodes_.emplace_back();
    for (size_t k = 0; k < words.size(); ++k) AddWord(words[k], k);
    LinkFailures();
  }

  // Marks the words that occur in `text`; returns for each word whether it occurs.
  const std::vector<bool>& Scan(std::string_view text) {
    size_t state = 0;
    for (char c : text) {
      state = Next(state, c);
      // Every word that ends here: the state's own and those along its output links.
      for (size_t at = state; at != 0 && !nodes_[at].reported; at = nodes_[at].output) {
        nodes_[at].reported = true;
        for (size_t word : nodes_[at].words) found_[word] = true;
      }
    }
    return found_;
  }

 private:
  struct Node {
    std::vector<std::pair<char, size_t>> children;  // sorted by character
    size_t failure = 0;
    size_t output = 0;  // the nearest node along the failure links that ends a word, or 0
    std::vector<size_t> words;
    bool reported = false;
  };

  size_t Child(size_t node, char c) const {
    const auto& children = nodes_[node].children;
    auto it = std::lower_bound(children.begin(), children.end(), std::make_pair(c, size_t{0}),
                               [](const auto& a, const auto& b) { return a.first < b.first; });
    return it != children.end() && it->first == c ? it->second : 0;
  }

  void AddWord(const std::string& word, size_t index) {
    size_t node = 0;
    for (char c : word) {
      size_t child = Child(node, c);
      if (child == 0) {
        child = nodes_.size();
        nodes_.emplace_back();
        auto& children = nodes_[node].children;
        children.insert(
            std::upper_bound(children.begin(), children.end(), std::make_pair(c, size_t{0}),
                             [](const auto& a, const auto& b) { return a.first < b.first; }),
            {c, child});
      }
      node = child;
    }
    nodes_[node].words.push_back(index);
  }

  size_t Next(size_t state, char c) const {
    for (;;) {
      if (size_t child = Child(state, c)) return child;
      if (state == 0) return 0;
      state = nodes_[state].failure;
    }
  }

  // Breadth first: every node's failure is the longest proper suffix of its text that is a
  // prefix of some word.
  void LinkFailures() {
    std::vector<size_t> queue;
    for (const auto& [c, child] : nodes_[0].children) queue.push_back(child);
    for (size_t head = 0; head < queue.size(); ++head) {
      size_t node = queue[head];
      for (const auto& [c, child] : nodes_[node].children) {
        size_t failure = node == 0 ? 0 : Next(nodes_[node].failure, c);
        nodes_[child].failure = failure;
        nodes_[child].output = nodes_[failure].words.empty() ? nodes_[failure].output : failure;
        queue.push_back(child);
      }
    }
  }

  std::vector<Node> nodes_;
  std::vector<bool> found_;
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

// Which of the candidates occur in `text`: one pass over the text for all of them (a word that
// stands more than once counts as found after its first time).
std::vector<bool> FindAll(const Candidates& candidates, std::string_view text) {
  std::vector<std::string> lower;
  std::unordered_set<std::string> distinct;
  std::vector<size_t> first_of;  // candidate index -> index in `lower`, or npos
  for (std::string_view candidate : candidates) {
    std::string word = LowerCase(candidate);
    if (distinct.insert(word).second) {
      first_of.push_back(lower.size());
      lower.push_back(std::move(word));
    } else {
      first_of.push_back(std::string::npos);
    }
  }
  WordFinder finder(lower);
  const std::vector<bool>& occurs = finder.Scan(LowerCase(text));
  std::vector<bool> found(candidates.size());
  for (size_t k = 0; k < candidates.size(); ++k) {
    found[k] = first_of[k] == std::string::npos || occurs[first_of[k]];
  }
  return found;
}

}  // namespace

std::string DroppedWords(std::string_view command, std::string_view arguments,
                         std::string_view converted) {
  const Candidates candidates(command, arguments, converted);
  std::string dropped;
  auto drop = [&](std::string_view word) {
    if (!dropped.empty()) dropped += ' ';
    dropped += word;
  };
  if (candidates.size() <= kFewWords && converted.size() <= kShortText) {
    for (std::string_view candidate : candidates) {
      if (!OccursIn(candidate, converted)) drop(candidate);
    }
    return dropped;
  }
  // Many words or a long text.
  const std::vector<bool> found = FindAll(candidates, converted);
  for (size_t k = 0; k < candidates.size(); ++k) {
    if (!found[k]) drop(candidates[k]);
  }
  return dropped;
}
