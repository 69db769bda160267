// The state of one run that outlives a line, and the bookkeeping that keeps re-entered
// conversions finite.
#pragma once

#include <string>
#include <vector>

// Texts (as received) of the ConvertLine calls that are running, outermost first.
extern std::vector<std::string> running_lines;
// Lengths of the texts of the AliasConvert calls that are running, outermost first.
extern std::vector<std::size_t> running_aliases;

// The most ConvertLine calls that may run at once; a deeper call is not converted.
inline constexpr std::size_t kMaxConvertDepth = 64;
