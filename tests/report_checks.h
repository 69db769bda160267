// Checks of a report page for the tests: a strict reader of its markup (every element closed,
// every text escaped) and counts of its parts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// How often `piece` occurs in `text`.
inline size_t Count(std::string_view text, std::string_view piece) {
  size_t count = 0;
  for (size_t at = text.find(piece); at != std::string_view::npos; at = text.find(piece, at + 1)) {
    ++count;
  }
  return count;
}

namespace report_checks {

inline bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

// A text between tags or in an attribute: no "<", and every "&" begins a reference.
inline std::string CheckText(std::string_view text, bool in_attribute) {
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '<') return "a bare < in text";
    if (in_attribute && text[at] == '"') return "a bare \" in a value";
    if (!in_attribute && text[at] == '>') return "a bare > in text";
    if (text[at] != '&') continue;
    const size_t end = text.find(';', at);
    if (end == std::string_view::npos) return "a bare &";
    const std::string_view name = text.substr(at + 1, end - at - 1);
    const bool numeric = name.size() > 1 && name[0] == '#' &&
                         name.find_first_not_of("0123456789", 1) == std::string_view::npos;
    if (!numeric && name != "amp" && name != "lt" && name != "gt" && name != "quot") {
      return "an unknown reference &" + std::string(name) + ";";
    }
  }
  return "";
}

}  // namespace report_checks

// "" when `page` is well formed: an optional <!DOCTYPE html>, then one element, every element
// closed (or written as <name .../>), attributes quoted, texts escaped. Otherwise what is wrong.
inline std::string CheckMarkup(std::string_view page) {
  using report_checks::CheckText;
  using report_checks::IsNameChar;
  constexpr std::string_view kDoctype = "<!DOCTYPE html>";
  if (page.substr(0, kDoctype.size()) == kDoctype) page.remove_prefix(kDoctype.size());
  std::vector<std::string> open;
  bool root_done = false;
  size_t at = 0;
  while (at < page.size()) {
    const size_t tag = page.find('<', at);
    const std::string_view text = page.substr(at, tag - at);
    if (std::string problem = CheckText(text, false); !problem.empty()) return problem;
    if (open.empty() && text.find_first_not_of(" \n") != std::string_view::npos) {
      return "text outside the root";
    }
    if (tag == std::string_view::npos) break;
    if (root_done) return "a second root element";
    const size_t end = page.find('>', tag);
    if (end == std::string_view::npos) return "an unclosed tag";
    std::string_view inside = page.substr(tag + 1, end - tag - 1);
    at = end + 1;
    if (!inside.empty() && inside[0] == '/') {
      if (open.empty() || open.back() != inside.substr(1)) return "</" + std::string(inside) + ">";
      open.pop_back();
      root_done = open.empty();
      continue;
    }
    const bool empty_element = !inside.empty() && inside.back() == '/';
    if (empty_element) inside.remove_suffix(1);
    size_t k = 0;
    while (k < inside.size() && IsNameChar(inside[k])) ++k;
    const std::string name(inside.substr(0, k));
    if (name.empty()) return "a tag without a name";
    while (k < inside.size()) {  // attributes: name="value"
      if (inside[k] == ' ') {
        ++k;
        continue;
      }
      const size_t equals = inside.find("=\"", k);
      if (equals == std::string_view::npos) return "an attribute without a quoted value";
      for (size_t n = k; n < equals; ++n) {
        if (!IsNameChar(inside[n])) return "a bad attribute name in <" + name + ">";
      }
      const size_t close = inside.find('"', equals + 2);
      if (close == std::string_view::npos) return "an unclosed value";
      const std::string_view value = inside.substr(equals + 2, close - equals - 2);
      if (std::string problem = CheckText(value, true); !problem.empty()) return problem;
      k = close + 1;
      if (k < inside.size() && inside[k] != ' ') return "no blank after a value in <" + name + ">";
    }
    if (empty_element) continue;
    if (name == "meta" || name == "br" || name == "col" || name == "img" || name == "link") {
      return "<" + name + "> is not closed";
    }
    open.push_back(name);
    if (name == "style") {  // its text runs to </style>
      const size_t style_end = page.find("</style>", at);
      if (style_end == std::string_view::npos) return "an unclosed <style>";
      if (page.substr(at, style_end - at).find_first_of("<&") != std::string_view::npos) {
        return "< or & in the style sheet";
      }
      at = style_end;
    }
  }
  if (!open.empty()) return "<" + open.back() + "> is not closed";
  if (!root_done) return "no element";
  return "";
}

// The number of input-line rows in each script section of a page, in order.
inline std::vector<long> RowsPerSection(std::string_view page) {
  std::vector<long> rows;
  constexpr std::string_view kSection = "<section class=\"script\"";
  for (size_t at = page.find(kSection); at != std::string_view::npos;) {
    const size_t next = page.find(kSection, at + 1);
    rows.push_back(static_cast<long>(Count(page.substr(at, next - at), "<tr class=\"line")));
    at = next;
  }
  return rows;
}
