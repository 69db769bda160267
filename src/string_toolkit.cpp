#include "string_toolkit.h"

#include <algorithm>
#include <functional>

namespace {

// Clamps `index` into [low, high].
Index Clamp(Index index, Index low, Index high) { return std::max(low, std::min(index, high)); }

size_t At(Index index) { return static_cast<size_t>(index); }

// Whether `view` begins within the characters of `text`: an edit of `text` would change it.
bool IsViewOf(std::string_view view, const std::string& text) {
  std::less_equal<const char*> before;
  return before(text.data(), view.data()) && before(view.data(), text.data() + text.size());
}

}  // namespace

Index FindFirstChar(std::string_view string, char find) {
  size_t found = string.find(find);
  return found == std::string_view::npos ? 0 : static_cast<Index>(found) + 1;
}

Index FindLastChar(std::string_view string, char find) {
  size_t found = string.rfind(find);
  return found == std::string_view::npos ? 0 : static_cast<Index>(found) + 1;
}

Index FindString(std::string_view original, std::string_view search) {
  size_t found = original.find(search);
  return found == std::string_view::npos ? -1 : static_cast<Index>(found);
}

Index FindnChar(std::string_view string, char find, Index offset) {
  offset = std::max<Index>(offset, 0);
  if (offset > Length(string)) return -1;
  size_t found = string.find(find, At(offset));
  return found == std::string_view::npos ? -1 : static_cast<Index>(found);
}

void ChangeChar(std::string& fullstring, Index pos, char newchar) {
  if (pos < 1 || pos > Length(fullstring)) return;
  if (newchar == '\0') {
    fullstring.resize(At(pos - 1));
  } else {
    fullstring[At(pos - 1)] = newchar;
  }
}

void Insert(std::string& fullstring, char insertthis, Index where) {
  fullstring.insert(fullstring.begin() + Clamp(where, 0, Length(fullstring)), insertthis);
}

void DeleteString(std::string& fullstring, Index start, Index size) {
  Index length = Length(fullstring);
  start = Clamp(start, 0, length);
  size = Clamp(size, start, length);
  fullstring.erase(At(start), At(size - start));
}

std::string_view Piece(std::string_view fullstring, Index start, Index end) {
  if (start > end) return {};
  start = Clamp(start, 0, Length(fullstring));
  end = Clamp(end, start - 1, Length(fullstring) - 1);
  return fullstring.substr(At(start), At(end - start + 1));
}

void CutString(std::string_view fullstring, std::string& returnstring, Index start, Index end) {
  if (start > end) return;
  std::string_view cut = Piece(fullstring, start, end);
  if (!IsViewOf(cut, returnstring)) {
    returnstring.assign(cut);
    return;
  }
  // The source is a view of `returnstring` itself: the piece is kept where it stands.
  const size_t offset = static_cast<size_t>(cut.data() - returnstring.data());
  returnstring.resize(offset + cut.size());
  returnstring.erase(0, offset);
}

void CopySelection(std::string_view original, std::string& targetstr, Index number, Index offset) {
  offset = Clamp(offset, 0, Length(original));
  number = Clamp(number, offset, Length(original));
  targetstr.append(original.substr(At(offset), At(number - offset)));
}

void SplitUp(std::string_view full, std::string& truncated, std::string& rest, Index number) {
  Index length = Length(full);
  std::string_view before = full.substr(0, At(Clamp(number - 1, 0, length)));
  std::string_view after = full.substr(At(Clamp(number, 0, length)));
  if (!IsViewOf(full, truncated) && !IsViewOf(full, rest)) {
    truncated.assign(before);
    rest.assign(after);
    return;
  }
  // The source is a view of an output: through copies.
  std::string before_copy(before), after_copy(after);
  truncated.swap(before_copy);
  rest.swap(after_copy);
}

void Replace(std::string& fullstring, std::string_view item, std::string_view substitution) {
  size_t found = fullstring.find(item);
  if (found == std::string::npos) return;
  fullstring.replace(found, item.size(), substitution);
}

void Replace(std::string& fullstring, std::string_view item,
             std::initializer_list<std::string_view> pieces) {
  size_t found = fullstring.find(item);
  if (found == std::string::npos) return;
  size_t size = 0;
  bool within = false;  // a piece is a view of the text itself
  for (std::string_view piece : pieces) {
    size += piece.size();
    within = within || IsViewOf(piece, fullstring);
  }
  if (within) {
    std::string substitution;
    for (std::string_view piece : pieces) substitution.append(piece);
    fullstring.replace(found, item.size(), substitution);
    return;
  }
  // Room for the pieces, then the pieces.
  fullstring.replace(found, item.size(), size, ' ');
  for (std::string_view piece : pieces) {
    std::copy(piece.begin(), piece.end(), fullstring.begin() + static_cast<long>(found));
    found += piece.size();
  }
}

void MakeLower(std::string& text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
}

void TrimRight(std::string& fullstring) {
  size_t kept = fullstring.find_last_not_of(' ');
  fullstring.resize(kept == std::string::npos ? 0 : kept + 1);
}

std::string_view Trimmed(std::string_view text, std::string_view blanks) {
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) + 1 - first);
}

namespace {

// Indexes of the occurrences of `keyword` in `text`, in order, found by their rarer part: a
// keyword that begins with a blank is searched without it (blanks are everywhere in a command
// line) and its blank checked afterwards.
template <typename Accept>
Index FindOccurrence(std::string_view text, std::string_view keyword, Accept accept) {
  const bool leading_blank = BeginsWith(keyword, " ") && keyword.size() > 1;
  std::string_view core = leading_blank ? keyword.substr(1) : keyword;
  for (size_t at = text.find(core); at != std::string_view::npos; at = text.find(core, at + 1)) {
    if (leading_blank && (at == 0 || text[at - 1] != ' ')) continue;
    Index index = static_cast<Index>(at) - (leading_blank ? 1 : 0);
    if (accept(index)) return index;
  }
  return -1;
}

}  // namespace

Index FindWord(std::string_view text, std::string_view keyword) {
  bool brings_blank = BeginsWith(keyword, " ");
  return FindOccurrence(text, keyword, [&](Index index) {
    bool starts = brings_blank || index == 0 || CharAt(text, index - 1) == ' ';
    return starts && !IsNameChar(CharAt(text, index + Length(keyword)));
  });
}

Index FindBlankWord(std::string_view text, std::string_view keyword) {
  return FindOccurrence(text, keyword, [&](Index index) {
    char after = CharAt(text, index + Length(keyword));
    return CharAt(text, index - 1) == ' ' && (after == ' ' || after == '\0');
  });
}

void ReplaceEveryChar(std::string& fullstring, char item, std::string_view substitution) {
  if (fullstring.find(item) == std::string::npos) return;
  std::string result;
  result.reserve(fullstring.size());
  for (char c : fullstring) {
    if (c == item) {
      result.append(substitution);
    } else {
      result.push_back(c);
    }
  }
  fullstring.swap(result);
}

void ReplaceEveryCharOutsideQuotes(std::string& fullstring, char item,
                                   std::string_view substitution) {
  if (fullstring.find(item) == std::string::npos) return;
  std::string result;
  result.reserve(fullstring.size());
  bool quoted = false;
  for (char c : fullstring) {
    if (c == item && !quoted) {
      result.append(substitution);
    } else {
      result.push_back(c);
    }
    if (c == '"') quoted = !quoted;
  }
  fullstring.swap(result);
}

void SqueezeRuns(std::string& fullstring, char c, size_t from) {
  // Nothing moves before the first pair.
  size_t i = from;
  while (i + 1 < fullstring.size() && !(fullstring[i] == c && fullstring[i + 1] == c)) ++i;
  if (i + 1 >= fullstring.size()) return;
  size_t kept = i + 1;
  for (i += 2; i < fullstring.size(); ++i) {
    if (fullstring[i] == c && fullstring[kept - 1] == c) continue;
    fullstring[kept++] = fullstring[i];
  }
  fullstring.resize(kept);
}

void DropAfter(std::string& fullstring, char anchor, char drop) {
  size_t kept = 0;
  for (char c : fullstring) {
    if (c == drop && kept > 0 && fullstring[kept - 1] == anchor) continue;
    fullstring[kept++] = c;
  }
  fullstring.resize(kept);
}

bool ContainsNoCase(std::string_view text, std::string_view item) {
  if (item.empty()) return true;
  for (size_t at = 0; at + item.size() <= text.size(); ++at) {
    if (EqualsNoCase(text.substr(at, item.size()), item)) return true;
  }
  return false;
}

bool InsideQuotes(std::string_view text, Index index) {
  std::string_view before = text.substr(0, static_cast<size_t>(Clamp(index, 0, Length(text))));
  return std::count(before.begin(), before.end(), '"') % 2 == 1;
}

Index FindWholeWord(std::string_view text, std::string_view word) {
  if (word.empty()) return -1;
  for (size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
    Index index = static_cast<Index>(at);
    if (!IsNameChar(CharAt(text, index - 1)) && !IsNameChar(CharAt(text, index + Length(word)))) {
      return index;
    }
  }
  return -1;
}

std::vector<std::string> SplitAt(std::string_view text, char separator) {
  std::vector<std::string> pieces;
  pieces.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), separator)) + 1);
  size_t start = 0;
  for (size_t at = text.find(separator); at != text.npos; at = text.find(separator, start)) {
    pieces.emplace_back(text.substr(start, at - start));
    start = at + 1;
  }
  pieces.emplace_back(text.substr(start));
  return pieces;
}

std::vector<std::string> SplitOutside(std::string_view text, char separator, char open,
                                      char close) {
  std::vector<std::string> pieces;
  PiecesOutside cut(text, separator, open, close);
  for (std::string_view piece; cut.Next(piece);) pieces.emplace_back(piece);
  return pieces;
}

bool PiecesOutside::Next(std::string_view& piece) {
  if (done_) return false;
  // Without a separator in the rest of the text, the rest is the last piece, brackets or not.
  const bool separated = text_.find(separator_, start_) != std::string_view::npos;
  for (size_t at = start_; separated && at < text_.size(); ++at) {
    char c = text_[at];
    if (c == open_) {
      ++depth_;
    } else if (c == close_) {
      if (depth_ > 0) --depth_;
    } else if (c == separator_ && depth_ == 0) {
      piece = text_.substr(start_, at - start_);
      start_ = at + 1;
      return true;
    }
  }
  piece = text_.substr(start_);
  done_ = true;
  return true;
}
