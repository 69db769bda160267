// The bookkeeping of the line converter's re-entered calls.
#pragma once

#include <cstddef>
#include <string>

#include "line_stages.h"

// One ConvertLine call: the text it received, the same normalised (for a call within another),
// and its working texts. Frames are kept for the next call at the same depth, so that their
// buffers are reused.
struct ConvertFrame {
  std::string received;
  std::string normalised;
  LineWork work;
};

// The most ConvertLine calls that may run at once; a deeper call is not converted.
inline constexpr std::size_t kMaxConvertDepth = 64;
