// Feeds arbitrary bytes to the line converter as one segment (the script loop never passes a
// NUL byte or a newline on, so the text ends at the first of them).
#include <cstddef>
#include <cstdint>
#include <string>

#include "converter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  LineConverter converter;
  std::string segment(reinterpret_cast<const char*>(data), size);
  segment.resize(segment.find_first_of(std::string("\0\n", 2)) == std::string::npos
                     ? segment.size()
                     : segment.find_first_of(std::string("\0\n", 2)));
  std::string converted;
  converter.ConvertLine(segment, converted);
  return 0;
}
