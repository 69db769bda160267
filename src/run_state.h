// The state of one run that outlives a line, and the bookkeeping that keeps re-entered
// conversions finite.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "line_stages.h"

// One ConvertLine call: the text it received (before normalisation) and its working texts.
// Frames are kept for the next call at the same depth, so that their buffers are reused.
struct ConvertFrame {
  std::string received;
  LineWork work;
};

// Frames of the ConvertLine calls that are running (the first `running_depth`, outermost
// first), and of earlier calls.
extern std::vector<std::unique_ptr<ConvertFrame>> frames;
extern std::size_t running_depth;

// Lengths of the texts of the AliasConvert calls that are running, outermost first.
extern std::vector<std::size_t> running_aliases;

// The most ConvertLine calls that may run at once; a deeper call is not converted.
inline constexpr std::size_t kMaxConvertDepth = 64;
