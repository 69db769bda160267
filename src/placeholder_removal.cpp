// Placeholder removal: while the converted text holds "XXXXX", a pass of ten steps removes the
// first unfilled placeholder with the separator in front of it, then the punctuation such
// placeholders leave behind; a pass that changes nothing ends the removal. The comma of
// "readfile,raw" is not such punctuation, quote pairs are tidied in the load template only, and
// "callgraph" and "profile" go only where they are whole words.
#include <algorithm>
#include <array>
#include <bitset>
#include <functional>
#include <optional>
#include <queue>
#include <string>
#include <vector>

#include "converter.h"
#include "line_stages.h"

namespace {

bool IsPlaceholderDigit(char digit) { return (digit >= '1' && digit <= '9') || digit == 'x'; }

// Texts up to this length take the passes on the text itself (RemoveFromShortText); a pass then
// costs a few scans of a short text. Longer ones go through LinkedText.
constexpr size_t kShortText = 2048;

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

// Deletes the first occurrence of `word` that is a whole word, with the character before it and
// the one after it. Returns whether it did.
bool DeleteWholeWord(std::string& text, std::string_view word) {
  Index found = FindWholeWord(text, word);
  if (found != -1) DeleteString(text, found - 1, found + Length(word) + 1);
  return found != -1;
}

// Step 3: in a text without "cexpression", the first comma goes; the comma of a "readfile,raw"
// that the text begins with is passed over. Returns whether a comma went.
bool DeleteSeparatorComma(std::string& postcon) {
  if (Contains(postcon, "cexpression")) return false;
  size_t from = BeginsWith(postcon, kReadfileRaw) ? kReadfileRaw.size() : 0;
  size_t comma = postcon.find(',', from);
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
  changed = DeleteWholeWord(postcon, "callgraph") || changed;   // 7.
  if (Index caret = FindFirstChar(postcon, '^'); caret != 0) {  // 8.
    ChangeChar(postcon, caret, ' ');
    changed = true;
  }
  changed = DeleteWholeWord(postcon, "profile") || changed;                 // 9.
  if (!postcon.empty() && FindLastChar(postcon, '=') == Length(postcon)) {  // 10.
    ChangeChar(postcon, Length(postcon), '\0');
    changed = true;
  }
  return changed;
}

// The texts of steps 2, 4 to 7 and 9, which a deletion can form where it joins the text.
constexpr std::string_view kJoinable[] = {"..+", "''", "'\"", "\"'", "callgraph", "profile"};

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
  std::string_view window = text.substr(join > 8 ? join - 8 : 0, 16);
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
void RemoveFromShortText(std::string& postcon) {
  constexpr std::string_view kPlaceholder = "XXXXX";
  size_t from = 0;
  std::optional<bool> idle;  // known once there is a placeholder
  for (size_t p; (p = NextPlaceholder(postcon, from)) != std::string::npos;) {
    if (!idle) idle = TidyIsIdle(postcon);
    Index join = DeleteFirstPlaceholder(postcon, static_cast<Index>(p));
    bool changed = join != -1;
    if (*idle) {
      if (!changed) return;  // steps 2 to 10 have nothing to do either
      if (!JoinMakesWork(postcon, static_cast<size_t>(join))) {
        from = static_cast<size_t>(std::max<Index>(join - (Length(kPlaceholder) - 1), 0));
        continue;
      }
    }
    changed = TidyAfterPlaceholder(postcon) || changed;
    if (!changed) return;
    idle = TidyIsIdle(postcon);
    from = 0;
  }
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

// The sought texts that count only as whole words.
bool IsWordSought(size_t k) { return k == kCallgraph || k == kProfile; }

// A long text under removal passes, so that each step costs what it changes rather than a scan
// of the whole text: the characters are a linked list, and for each sought text a heap holds
// the places where it may start, checked when the first occurrence is asked for. Only the two
// kinds of edit a pass makes change occurrences: a deletion, which can form a new occurrence
// only across the place where it joins the text (so the few characters before that place are
// added as candidates), or make a word whole by changing what stands right before or after it
// (so the words that begin or end at that place are added too), and a "^" becoming a blank,
// which forms none (no sought text holds a blank, and neither is a character of a word).
class LinkedText {
 public:
  explicit LinkedText(std::string text)
      : chars_(std::move(text)),
        size_(chars_.size()),
        next_(size_ + 2),
        prev_(size_ + 2),
        alive_(size_, true) {
    for (size_t i = 0; i < size_; ++i) {
      next_[i] = i + 1 < size_ ? i + 1 : kEnd();
      prev_[i] = i > 0 ? i - 1 : kBegin();
    }
    next_[kBegin()] = size_ > 0 ? 0 : kEnd();
    prev_[kEnd()] = size_ > 0 ? size_ - 1 : kBegin();
    for (size_t k = 0; k < kSoughtCount; ++k) {
      for (size_t at = chars_.find(kSought[k]); at != std::string::npos;
           at = chars_.find(kSought[k], at + 1)) {
        candidates_[k].push(at);
      }
    }
  }

  size_t kBegin() const { return size_; }
  size_t kEnd() const { return size_ + 1; }
  bool Found(size_t i) const { return i < size_; }

  // Where the first occurrence of a sought text starts (a whole word for the word texts), or
  // kEnd().
  size_t First(Sought k) {
    auto& heap = candidates_[k];
    while (!heap.empty()) {
      size_t start = heap.top();
      if (alive_[start] && StartsAt(start, kSought[k]) &&
          (!IsWordSought(k) || IsWholeWord(start, kSought[k].size()))) {
        return start;
      }
      heap.pop();
    }
    return kEnd();
  }

  // Where the first occurrence of a sought text starts that is not the one at `skip`.
  size_t FirstBut(Sought k, size_t skip) {
    size_t first = First(k);
    if (first != skip || !Found(skip)) return first;
    candidates_[k].pop();
    size_t next = First(k);
    candidates_[k].push(skip);
    return next;
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
      right = next_[right];
    }
    next_[left] = right;
    prev_[right] = left;
    for (size_t k = 0; k < kSoughtCount; ++k) {
      std::string_view sought = kSought[k];
      // Occurrences across the join start at most sought.size() - 1 characters before it; a
      // word that ends right before it starts one further back.
      size_t reach = sought.size() - (IsWordSought(k) ? 0 : 1);
      bool across = left != kBegin() && right != kEnd();
      size_t start = left;
      for (size_t back = 1; back <= reach && start != kBegin(); ++back) {
        bool ends_here = IsWordSought(k) && back == reach;
        if ((across || ends_here) && chars_[start] == sought[0]) candidates_[k].push(start);
        start = prev_[start];
      }
      if (IsWordSought(k) && Found(right) && chars_[right] == sought[0]) {
        candidates_[k].push(right);
      }
    }
  }

  std::string Text() const {
    std::string text;
    for (size_t i = next_[kBegin()]; i != kEnd(); i = next_[i]) text += chars_[i];
    return text;
  }

 private:
  bool StartsAt(size_t start, std::string_view sought) const {
    for (char c : sought) {
      if (start == kEnd() || chars_[start] != c) return false;
      start = next_[start];
    }
    return true;
  }

  // Whether the `length` characters from `start` on have no letter, digit or "_" beside them.
  bool IsWholeWord(size_t start, size_t length) const {
    return !IsNameChar(At(prev_[start])) && !IsNameChar(At(Forward(start, length)));
  }

  std::string chars_;
  size_t size_;
  std::vector<size_t> next_, prev_;  // of each character, and of the two ends
  std::vector<bool> alive_;
  std::array<std::priority_queue<size_t, std::vector<size_t>, std::greater<>>, kSoughtCount>
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
  if (size_t q = text.FirstBut(kComma, own_comma); found(q) && !found(text.First(kExpression))) {
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
  postcon = text.Text();
}

void RemoveUnfilledPlaceholders(std::string& postcon) {
  if (postcon.size() > kShortText) {
    RemovePlaceholdersFromLongText(postcon);
    return;
  }
  RemoveFromShortText(postcon);
}
