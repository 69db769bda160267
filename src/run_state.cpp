// The state of one line converter that outlives a line: the alias store and the frames of the
// re-entered calls.
#include "run_state.h"

#include "converter.h"

namespace {

std::string Lower(std::string text) {
  MakeLower(text);
  return text;
}

}  // namespace

LineConverter::LineConverter() = default;
LineConverter::~LineConverter() = default;

void LineConverter::AddAlias(const std::string& name) {
  aliases_.emplace(Lower(name), name);  // an earlier spelling stays
  ++alias_count_;
}

const std::string* LineConverter::FindAlias(const std::string& name) const {
  auto found = aliases_.find(Lower(name));
  return found == aliases_.end() ? nullptr : &found->second;
}
