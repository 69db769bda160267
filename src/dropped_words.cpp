// Dropped text: the words of a command's arguments that its conversion does not show. All the
// words are looked for in one pass over the converted text (an Aho-Corasick automaton), so a
// long line costs its length, not its length times its number of words.
#include "dropped_words.h"

#include <algorithm>
#include <unordered_set>
#include <utility>
#include <vector>

#include "string_toolkit.h"

namespace {

bool IsWordChar(char c) { return IsNameChar(c) || c == '.'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = Lower(c);
  return lower;
}

// A word of the argument text, where it stands.
struct Word {
  std::string_view text;
  size_t at;
};

std::vector<Word> WordsOf(std::string_view text) {
  std::vector<Word> words;
  for (size_t i = 0; i < text.size();) {
    if (!IsWordChar(text[i])) {
      ++i;
      continue;
    }
    size_t start = i;
    while (i < text.size() && IsWordChar(text[i])) ++i;
    words.push_back({text.substr(start, i - start), start});
  }
  return words;
}

bool IsOneOf(std::string_view word, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), word) != names.end();
}

// The commands whose conversion consumes the words named in `Consumed`.
bool IsGo(std::string_view command) { return IsOneOf(command, {"g", "go"}); }
bool IsStep(std::string_view command) {
  return IsOneOf(command, {"s", "step", "i", "is", "istep"});
}
bool IsLog(std::string_view command) { return command == "log"; }

bool IsPrefixOfWhile(std::string_view word) {
  return !word.empty() && std::string_view("while").substr(0, word.size()) == word;
}

// Whether the conversion of `command` consumes the `index`-th word by design. `lower` is the
// word in lower case.
bool Consumed(std::string_view command, std::string_view arguments, const Word& word,
              std::string_view lower, size_t index) {
  if (IsOneOf(lower, {"do", "if"})) return true;
  if ((IsGo(command) || IsStep(command)) &&
      (lower == "while" || (index == 0 && IsPrefixOfWhile(lower)))) {
    return true;
  }
  if (IsStep(command) && IsOneOf(lower, {"in", "out"})) return true;
  if (IsLog(command) && index == 0 && lower == "off") return true;
  const bool width = IsOneOf(lower, {"16", "32"});
  return width && word.at > 0 && arguments[word.at - 1] == '/';
}

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

// Whether `a` and `b` are the same word, ignoring case.
bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t k = 0; k < a.size(); ++k) {
    if (Lower(a[k]) != Lower(b[k])) return false;
  }
  return true;
}

// Whether `word` occurs anywhere in `text`, ignoring case: a plain search, the cheapest for
// the few short words of an ordinary command.
bool OccursIn(std::string_view word, std::string_view text) {
  if (word.size() > text.size()) return false;
  const char first = Lower(word[0]);
  for (size_t at = 0; at + word.size() <= text.size(); ++at) {
    if (Lower(text[at]) == first && SameWord(word, text.substr(at, word.size()))) return true;
  }
  return false;
}

// Up to this many words, on a text up to this long, each word is searched on its own.
constexpr size_t kFewWords = 16;
constexpr size_t kShortText = 1024;

}  // namespace

std::string DroppedWords(std::string_view command, std::string_view arguments,
                         std::string_view converted) {
  const std::string command_lower = LowerCase(command);
  // Each word once, as first written.
  std::vector<std::string_view> candidates;
  std::vector<Word> words = WordsOf(arguments);
  for (size_t k = 0; k < words.size(); ++k) {
    std::string lower = LowerCase(words[k].text);
    if (Consumed(command_lower, arguments, words[k], lower, k)) continue;
    auto same = [&](std::string_view seen) { return SameWord(seen, words[k].text); };
    if (candidates.size() < kFewWords && std::any_of(candidates.begin(), candidates.end(), same)) {
      continue;
    }
    candidates.push_back(words[k].text);
  }
  if (candidates.empty()) return "";

  std::vector<bool> found(candidates.size());
  if (candidates.size() <= kFewWords && converted.size() <= kShortText) {
    for (size_t k = 0; k < candidates.size(); ++k) found[k] = OccursIn(candidates[k], converted);
  } else {
    // Many words or a long text: one pass over the text for all of them, each word once.
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
    const std::vector<bool>& occurs = finder.Scan(LowerCase(converted));
    for (size_t k = 0; k < candidates.size(); ++k) {
      found[k] = first_of[k] == std::string::npos || occurs[first_of[k]];
    }
  }
  std::string dropped;
  for (size_t k = 0; k < candidates.size(); ++k) {
    if (found[k]) continue;
    if (!dropped.empty()) dropped += ' ';
    dropped += candidates[k];
  }
  return dropped;
}
