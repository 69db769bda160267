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

}  // namespace

std::string DroppedWords(std::string_view command, std::string_view arguments,
                         std::string_view converted) {
  const std::string command_lower = LowerCase(command);
  // Each word once, in lower case for the search, as first written for the report.
  std::vector<std::string> candidates;
  std::vector<std::string_view> written;
  std::unordered_set<std::string> seen;
  std::vector<Word> words = WordsOf(arguments);
  for (size_t k = 0; k < words.size(); ++k) {
    std::string lower = LowerCase(words[k].text);
    if (Consumed(command_lower, arguments, words[k], lower, k)) continue;
    if (!seen.insert(lower).second) continue;
    candidates.push_back(std::move(lower));
    written.push_back(words[k].text);
  }
  if (candidates.empty()) return "";

  WordFinder finder(candidates);
  const std::vector<bool>& found = finder.Scan(LowerCase(converted));
  std::string dropped;
  for (size_t k = 0; k < candidates.size(); ++k) {
    if (found[k]) continue;
    if (!dropped.empty()) dropped += ' ';
    dropped += written[k];
  }
  return dropped;
}
