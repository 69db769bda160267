// The bookkeeping of the line converter's re-entered calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "line_stages.h"

// One ConvertLine call: the text it received (its length, and the text itself when it is not
// long, its hash when it is), the same normalised (for a call within another that may be
// remembered), and its working texts. Frames are kept for the next call at the same depth, so that
// their buffers are reused.
struct ConvertFrame {
  std::string received;
  std::uint64_t received_hash = 0;
  std::size_t received_size = 0;
  std::string normalised;
  LineWork work;
};

// The most ConvertLine calls that may run at once; a deeper call is not converted.
inline constexpr std::size_t kMaxConvertDepth = 64;
// A received text up to this long is kept to be compared with those of the calls within it; a
// longer one is compared by its hash and its length.
inline constexpr std::size_t kLongestKeptText = 1 << 16;
// A call within others is not converted when the texts of the running calls, its own included,
// would hold more than this many times the outermost text, or more than kHeldTextFloor when that
// is more: each running call holds a few copies of its text, and a long line whose command lists
// nest deeply would otherwise cost its length times its depth.
inline constexpr std::size_t kHeldTextPerOutermost = 2;
inline constexpr std::size_t kHeldTextFloor = 1 << 20;
