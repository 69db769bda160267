// Placeholder removal: while the converted text holds "XXXXX", a pass of ten steps removes the
// first unfilled placeholder with the separator in front of it, then the punctuation such
// placeholders leave behind; a pass that changes nothing ends the removal. The comma of
// "readfile,raw" and a comma inside double quotes are not such punctuation, quote pairs are
// tidied in the load template only, and "callgraph" and "profile" go only as switches: after a
// "/", as whole words.
#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <queue>
#include <string>
#include <vector>

#include "converter.h"
#include "line_stages.h"

namespace {

bool IsPlaceholderDigit(char digit) { return (digit >= '1' && digit <= '9') || digit == 'x'; }

// Texts up to this length take the passes on the text itself (RemoveFromShortText); a pass then
// costs a few scans of a short text. A longer one does so for its first kFewPasses passes, which
// are all that the placeholders of a template need; a long text that needs more (its arguments
// brought many placeholders, or many separators to remove) goes on through LinkedText, where a
// pass costs what it changes.
constexpr size_t kShortText = 2048;
constexpr size_t kFewPasses = 16;

// The template whose file name and arguments stand in single quotes, and the one command whose
// name holds a comma.
constexpr std::string_view kLoadTemplate = "load/pd/r";
constexpr std::string_view kReadfileRaw = "readfile,raw";

// Deletes the first occurrence of `item`, if any. Returns whether it did.
bool DeleteFirst(std::string& text, std::string_view item) {
  Index found = FindString(text, item);
  if (found != -1) DeleteString(text, found, found + Length(item));
  return found != -1;
}

// Index of the first occurrence of the switch `word`: a whole word with "/" before it; -1 when
// there is none.
Index FindSwitch(std::string_view text, std::string_view word) {
  for (size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
    const Index index = static_cast<Index>(at);
    if (CharAt(text, index - 1) == '/' && !IsNameChar(CharAt(text, index + Length(word)))) {
      return index;
    }
  }
  return -1;
}

// Deletes the first switch `word` with its "/" and the character after it. Returns whether it
// did.
bool DeleteSwitch(std::string& text, std::string_view word) {
  Index found = FindSwitch(text, word);
  if (found != -1) DeleteString(text, found - 1, found + Length(word) + 1);
  return found != -1;
}

// Index of the first comma at index `from` or later that stands outside double quotes (an even
// number of them before it in the text), or npos.
size_t FindCommaOutsideQuotes(std::string_view text, size_t from) {
  bool quoted = false;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '"') quoted = !quoted;
    if (text[at] == ',' && !quoted && at >= from) return at;
  }
  return std::string_view::npos;
}

// Step 3: in a text without "cexpression", the first comma outside double quotes goes; the comma
// of a "readfile,raw" that the text begins with is passed over. Returns whether a comma went.
bool DeleteSeparatorComma(std::string& postcon) {
  if (Contains(postcon, "cexpression")) return false;
  size_t from = BeginsWith(postcon, kReadfileRaw) ? kReadfileRaw.size() : 0;
  size_t comma = FindCommaOutsideQuotes(postcon, from);
  if (comma == std::string::npos) return false;
  postcon.erase(comma, 1);
  return true;
}

// Steps 4 to 6, in the load template only: a pair of single quotes goes, and a single quote
// next to a double quote. Returns whether they changed the text.
bool TidyQuotes(std::string& postcon) {
  if (!BeginsWith(postcon, kLoadTemplate)) return false;
  bool changed = DeleteFirst(postcon, "''");            // 4.
  if (Index q = FindString(postcon, "'\""); q != -1) {  // 5.
    DeleteString(postcon, q, q + 1);
    changed = true;
  }
  if (Index q = FindString(postcon, "\"'"); q != -1) {  // 6.
    DeleteString(postcon, q + 1, q + 2);
    changed = true;
  }
  return changed;
}

// Step 1: the first placeholder, found at index `p`, goes with the character before it (at index
// 0 only the placeholder). Returns the index where the text was joined, or -1 when nothing was
// deleted.
Index DeleteFirstPlaceholder(std::string& postcon, Index p) {
  if (p == -1 || !IsPlaceholderDigit(CharAt(postcon, p + 5))) return -1;
  DeleteString(postcon, p - 1, p + 6);
  return p > 0 ? p - 1 : 0;
}

// Steps 2 to 10: the punctuation that unfilled placeholders leave behind. Returns whether they
// changed the text.
bool TidyAfterPlaceholder(std::string& postcon) {
  bool changed = DeleteFirst(postcon, "..+");                   // 2.
  changed = DeleteSeparatorComma(postcon) || changed;           // 3.
  changed = TidyQuotes(postcon) || changed;                     // 4 to 6.
  changed = DeleteSwitch(postcon, "callgraph") || changed;      // 7.
  if (Index caret = FindFirstChar(postcon, '^'); caret != 0) {  // 8.
    ChangeChar(postcon, caret, ' ');
    changed = true;
  }
  changed = DeleteSwitch(postcon, "profile") || changed;                    // 9.
  if (!postcon.empty() && FindLastChar(postcon, '=') == Length(postcon)) {  // 10.
    ChangeChar(postcon, Length(postcon), '\0');
    changed = true;
  }
  return changed;
}

// The texts of steps 2, 4 to 7 and 9, which a deletion can form where it joins the text.
constexpr std::string_view kJoinable[] = {"..+", "''", "'\"", "\"'", "/callgraph", "/profile"};

// Whether steps 2 to 10 surely find nothing to do: the text holds none of the texts they look
// for (where they would pass over one, it is not looked at more closely). They then keep finding
// nothing while only step 1 deletes, as long as no deletion forms a kJoinable text across its
// join or leaves an "=" at the end: deletions bring in no comma and no "^".
bool TidyIsIdle(std::string_view text) {
  if (!text.empty() && text.back() == '=') return false;
  if (Contains(text, ",") || Contains(text, "^")) return false;
  for (std::string_view joinable : kJoinable) {
    if (Contains(text, joinable)) return false;
  }
  return true;
}

// Whether the deletion that joined `text` in front of index `join` gave steps 2 to 10 work.
// A kJoinable text formed there straddles the join, so the two characters that meet there
// follow each other in it.
bool JoinMakesWork(std::string_view text, size_t join) {
  if (join >= text.size()) return !text.empty() && text.back() == '=';
  if (join == 0) return false;
  static const auto* kFollows = [] {
    auto* follows = new std::array<std::bitset<256>, 256>();
    for (std::string_view joinable : kJoinable) {
      for (size_t i = 0; i + 1 < joinable.size(); ++i) {
        (*follows)[static_cast<unsigned char>(joinable[i])].set(
            static_cast<unsigned char>(joinable[i + 1]));
      }
    }
    return follows;
  }();
  if (!(*kFollows)[static_cast<unsigned char>(text[join - 1])].test(
          static_cast<unsigned char>(text[join]))) {
    return false;
  }
  // The longest kJoinable text has ten characters: it starts at most nine before the join.
  constexpr size_t kReach = 9;
  std::string_view window = text.substr(join > kReach ? join - kReach : 0, 2 * kReach);
  for (std::string_view joinable : kJoinable) {
    if (Contains(window, joinable)) return true;
  }
  return false;
}

// The first placeholder ("XXXXX") at index `from` or later. After a deletion the next one mostly
// starts a few characters on: the first places are looked at one by one before the text is
// searched.
size_t NextPlaceholder(std::string_view text, size_t from) {
  constexpr std::string_view kPlaceholderText = "XXXXX";
  constexpr size_t kNear = 6;
  for (size_t at = from; at < from + kNear && at < text.size(); ++at) {
    if (text[at] == 'X' && text.substr(at, kPlaceholderText.size()) == kPlaceholderText) {
      return at;
    }
  }
  return from + kNear < text.size() ? text.find(kPlaceholderText, from + kNear)
                                    : std::string_view::npos;
}

// The passes on a short text. While steps 2 to 10 are idle, a pass is step 1 alone, and the
// only question is whether its deletion gave them work. No placeholder starts before `from`: a
// deletion alone can only form one across the place where it joins the text.
// At most `most_passes` passes are made; returns whether the removal ended within them.
bool RemoveFromShortText(std::string& postcon, size_t most_passes) {
  constexpr std::string_view kPlaceholder = "XXXXX";
  size_t from = 0;
  std::optional<bool> idle;  // known once there is a placeholder
  for (size_t p, passes = 0; (p = NextPlaceholder(postcon, from)) != std::string::npos; ++passes) {
    if (passes == most_passes) return false;
    if (!idle) idle = TidyIsIdle(postcon);
    Index join = DeleteFirstPlaceholder(postcon, static_cast<Index>(p));
    bool changed = join != -1;
    if (*idle) {
      if (!changed) return true;  // steps 2 to 10 have nothing to do either
      if (!JoinMakesWork(postcon, static_cast<size_t>(join))) {
        from = static_cast<size_t>(std::max<Index>(join - (Length(kPlaceholder) - 1), 0));
        continue;
      }
    }
    changed = TidyAfterPlaceholder(postcon) || changed;
    if (!changed) return true;
    idle = TidyIsIdle(postcon);
    from = 0;
  }
  return true;
}

// The texts the passes look for.
enum Sought {
  kPlaceholder,
  kRange,
  kComma,
  kExpression,
  kQuotes,
  kQuoteDouble,
  kDoubleQuote,
  kCallgraph,
  kCaret,
  kProfile,
  kSoughtCount
};
constexpr std::array<std::string_view, kSoughtCount> kSought = {
    "XXXXX", "..+", ",", "cexpression", "''", "'\"", "\"'", "callgraph", "^", "profile"};

// The sought texts that count only as switches: whole words after a "/".
bool IsWordSought(size_t k) { return k == kCallgraph || k == kProfile; }

// The commas of a long text that stand outside double quotes, as its characters are deleted: a
// bit for each live comma and each live double quote, 64 characters to a word, and over the
// words a tree whose nodes tell, for their stretch of the text, whether it holds an odd number
// of quotes and where its first comma stands after an even and after an odd number of quotes
// (counted from the start of the stretch). A deletion costs the height of the tree.
class CommasOutsideQuotes {
 public:
  static constexpr size_t kNone = static_cast<size_t>(-1);

  explicit CommasOutsideQuotes(std::string_view text) {
    const size_t words = text.size() / 64 + 1;
    leaves_ = 1;
    while (leaves_ < words) leaves_ *= 2;
    commas_.assign(leaves_, 0);
    quotes_.assign(leaves_, 0);
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == ',') commas_[i / 64] |= Bit(i);
      if (text[i] == '"') quotes_[i / 64] |= Bit(i);
    }
    nodes_.resize(2 * leaves_);
    for (size_t w = 0; w < leaves_; ++w) nodes_[leaves_ + w] = Summary(w);
    for (size_t node = leaves_ - 1; node > 0; --node) Join(node);
  }

  // The character at `i` is no comma and no quote any more (deleted, or a comma passed over).
  void Remove(size_t i) { Change(i, false); }
  // The comma at `i` counts again.
  void RestoreComma(size_t i) { Change(i, true); }
  // Where the first comma outside double quotes stands, or kNone.
  size_t First() const { return nodes_[1].first_even; }

 private:
  struct Node {
    bool odd = false;
    size_t first_even = kNone, first_odd = kNone;
  };

  static std::uint64_t Bit(size_t i) { return std::uint64_t{1} << (i % 64); }

  void Change(size_t i, bool comma) {
    const size_t w = i / 64;
    if (comma) {
      commas_[w] |= Bit(i);
    } else {
      commas_[w] &= ~Bit(i);
      quotes_[w] &= ~Bit(i);
    }
    nodes_[leaves_ + w] = Summary(w);
    for (size_t node = (leaves_ + w) / 2; node > 0; node /= 2) Join(node);
  }

  // The node of one word: a comma stands after an even number of quotes when the quotes before
  // it in the word, counted by a running exclusive or, are even.
  Node Summary(size_t w) const {
    std::uint64_t parity = quotes_[w];
    for (int shift = 1; shift < 64; shift *= 2) parity ^= parity << shift;
    const std::uint64_t before = parity << 1;  // odd number of quotes before each place
    const std::uint64_t even = commas_[w] & ~before, odd = commas_[w] & before;
    Node node;
    node.odd = (parity >> 63) & 1;
    if (even != 0) node.first_even = w * 64 + static_cast<size_t>(__builtin_ctzll(even));
    if (odd != 0) node.first_odd = w * 64 + static_cast<size_t>(__builtin_ctzll(odd));
    return node;
  }

  void Join(size_t node) {
    const Node& left = nodes_[2 * node];
    const Node& right = nodes_[2 * node + 1];
    Node& joined = nodes_[node];
    joined.odd = left.odd != right.odd;
    joined.first_even = left.first_even != kNone ? left.first_even
                                                 : (left.odd ? right.first_odd : right.first_even);
    joined.first_odd =
        left.first_odd != kNone ? left.first_odd : (left.odd ? right.first_even : right.first_odd);
  }

  size_t leaves_;
  std::vector<std::uint64_t> commas_, quotes_;
  std::vector<Node> nodes_;
};

// A long text under removal passes, so that each step costs what it changes rather than a scan
// of the whole text: the characters are a linked list, and for each sought text a heap holds
// the places where it may start, checked when the first occurrence is asked for (the commas
// outside double quotes are kept apart, in CommasOutsideQuotes). Only the two kinds of edit a
// pass makes change occurrences: a deletion, which can form a new occurrence only across the
// place where it joins the text (so the few characters before that place are added as
// candidates), or make a switch of a word by changing what stands right before or after it (so
// the words that begin or end at that place are added too), and a "^" becoming a blank, which
// forms none (no sought text holds a blank, and neither is a character of a word).
class LinkedText {
 public:
  explicit LinkedText(std::string text)
      : chars_(std::move(text)),
        size_(chars_.size()),
        next_(size_ + 2),
        prev_(size_ + 2),
        alive_(size_, true),
        commas_(chars_) {
    for (size_t i = 0; i < size_; ++i) {
      next_[i] = Place(i + 1 < size_ ? i + 1 : kEnd());
      prev_[i] = Place(i > 0 ? i - 1 : kBegin());
    }
    next_[kBegin()] = Place(size_ > 0 ? 0 : kEnd());
    prev_[kEnd()] = Place(size_ > 0 ? size_ - 1 : kBegin());
    for (size_t k = 0; k < kSoughtCount; ++k) {
      if (k == kComma) continue;  // found through commas_
      for (size_t at = chars_.find(kSought[k]); at != std::string::npos;
           at = chars_.find(kSought[k], at + 1)) {
        candidates_[k].push(Place(at));
      }
    }
  }

  static std::uint32_t Place(size_t i) { return static_cast<std::uint32_t>(i); }

  size_t kBegin() const { return size_; }
  size_t kEnd() const { return size_ + 1; }
  bool Found(size_t i) const { return i < size_; }

  // Where the first occurrence of a sought text starts (a switch for the word texts), or
  // kEnd().
  size_t First(Sought k) {
    auto& heap = candidates_[k];
    while (!heap.empty()) {
      size_t start = heap.top();
      if (alive_[start] && StartsAt(start, kSought[k]) &&
          (!IsWordSought(k) || IsSwitch(start, kSought[k].size()))) {
        return start;
      }
      heap.pop();
    }
    return kEnd();
  }

  // Where the first comma outside double quotes stands that is not the one at `skip`, or kEnd().
  size_t FirstCommaBut(size_t skip) {
    const bool own = Found(skip) && chars_[skip] == ',';
    if (own) commas_.Remove(skip);
    const size_t first = commas_.First();
    if (own) commas_.RestoreComma(skip);
    return first == CommasOutsideQuotes::kNone ? kEnd() : first;
  }

  bool BeginsWith(std::string_view prefix) const { return StartsAt(next_[kBegin()], prefix); }

  size_t Next(size_t i) const { return next_[i]; }
  size_t Prev(size_t i) const { return prev_[i]; }
  size_t Last() const { return prev_[kEnd()]; }
  char At(size_t i) const { return Found(i) ? chars_[i] : '\0'; }

  // The character `count` characters after `i`, or kEnd().
  size_t Forward(size_t i, size_t count) const {
    while (count-- > 0 && i != kEnd()) i = next_[i];
    return i;
  }

  void Set(size_t i, char c) { chars_[i] = c; }

  // Deletes `count` characters from `from` on, `from` and one character before it when
  // `with_previous` (fewer at the ends of the text).
  void Delete(size_t from, size_t count, bool with_previous = false) {
    if (with_previous && prev_[from] != kBegin()) {
      from = prev_[from];
      ++count;
    }
    size_t left = prev_[from], right = from;
    for (; count > 0 && right != kEnd(); --count) {
      alive_[right] = false;
      if (chars_[right] == ',' || chars_[right] == '"') commas_.Remove(right);
      right = next_[right];
    }
    next_[left] = Place(right);
    prev_[right] = Place(left);
    for (size_t k = 0; k < kSoughtCount; ++k) {
      if (k == kComma) continue;
      std::string_view sought = kSought[k];
      // Occurrences across the join start at most sought.size() - 1 characters before it; a
      // word that ends right before it starts one further back.
      size_t reach = sought.size() - (IsWordSought(k) ? 0 : 1);
      bool across = left != kBegin() && right != kEnd();
      size_t start = left;
      for (size_t back = 1; back <= reach && start != kBegin(); ++back) {
        bool ends_here = IsWordSought(k) && back == reach;
        if ((across || ends_here) && chars_[start] == sought[0]) {
          candidates_[k].push(Place(start));
        }
        start = prev_[start];
      }
      if (IsWordSought(k) && Found(right) && chars_[right] == sought[0]) {
        candidates_[k].push(Place(right));
      }
    }
  }

  // The text left, written over the characters (each stays where it was or moves forward).
  std::string Text() && {
    size_t kept = 0;
    for (size_t i = next_[kBegin()]; i != kEnd(); i = next_[i]) chars_[kept++] = chars_[i];
    chars_.resize(kept);
    return std::move(chars_);
  }

 private:
  bool StartsAt(size_t start, std::string_view sought) const {
    for (char c : sought) {
      if (start == kEnd() || chars_[start] != c) return false;
      start = next_[start];
    }
    return true;
  }

  // Whether the `length` characters from `start` on have "/" before them and no letter, digit
  // or "_" after them.
  bool IsSwitch(size_t start, size_t length) const {
    return At(prev_[start]) == '/' && !IsNameChar(At(Forward(start, length)));
  }

  std::string chars_;
  size_t size_;
  // Of each character, and of the two ends; a text of a long line is far shorter than 4 GiB.
  std::vector<std::uint32_t> next_, prev_;
  std::vector<bool> alive_;
  CommasOutsideQuotes commas_;
  std::array<std::priority_queue<std::uint32_t, std::vector<std::uint32_t>, std::greater<>>,
             kSoughtCount>
      candidates_;
};

// The same pass on a LinkedText.
bool RemovalPass(LinkedText& text) {
  bool changed = false;
  auto found = [&](size_t i) { return text.Found(i); };
  if (size_t p = text.First(kPlaceholder);
      found(p) && IsPlaceholderDigit(text.At(text.Forward(p, 5)))) {
    text.Delete(p, 6, true);
    changed = true;
  }
  if (size_t q = text.First(kRange); found(q)) {
    text.Delete(q, 3);
    changed = true;
  }
  // The comma of "readfile,raw" at the start is the ninth character.
  size_t own_comma =
      text.BeginsWith(kReadfileRaw) ? text.Forward(text.Next(text.kBegin()), 8) : text.kEnd();
  if (size_t q = text.FirstCommaBut(own_comma); found(q) && !found(text.First(kExpression))) {
    text.Delete(q, 1);
    changed = true;
  }
  if (text.BeginsWith(kLoadTemplate)) {
    if (size_t q = text.First(kQuotes); found(q)) {
      text.Delete(q, 2);
      changed = true;
    }
    if (size_t q = text.First(kQuoteDouble); found(q)) {
      text.Delete(q, 1);
      changed = true;
    }
    if (size_t q = text.First(kDoubleQuote); found(q)) {
      text.Delete(text.Next(q), 1);
      changed = true;
    }
  }
  if (size_t q = text.First(kCallgraph); found(q)) {
    text.Delete(q, 10, true);
    changed = true;
  }
  if (size_t q = text.First(kCaret); found(q)) {
    text.Set(q, ' ');
    changed = true;
  }
  if (size_t q = text.First(kProfile); found(q)) {
    text.Delete(q, 8, true);
    changed = true;
  }
  if (size_t last = text.Last(); found(last) && text.At(last) == '=') {
    text.Delete(last, 1);
    changed = true;
  }
  return changed;
}

}  // namespace

void RemovePlaceholdersFromLongText(std::string& postcon) {
  LinkedText text(std::move(postcon));
  while (text.Found(text.First(kPlaceholder)) && RemovalPass(text)) {
  }
  postcon = std::move(text).Text();
}

void RemoveUnfilledPlaceholders(std::string& postcon) {
  if (postcon.size() <= kShortText) {
    RemoveFromShortText(postcon, std::numeric_limits<size_t>::max());
    return;
  }
  // A long text goes on through LinkedText when it needs more than a few passes: the passes are
  // the same, whichever carries them out.
  if (!RemoveFromShortText(postcon, kFewPasses)) RemovePlaceholdersFromLongText(postcon);
}
