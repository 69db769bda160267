// Feeds arbitrary bytes through the conversion of a whole script: the script loop on an
// in-memory input, with the echo and the findings report on.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "converter.h"
#include "script_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::FILE* sink = std::fopen("/dev/null", "w");
  // fmemopen refuses an empty buffer; an empty script is read from an empty file instead.
  static const char kEmpty[1] = {0};
  std::FILE* in = size > 0 ? fmemopen(const_cast<std::uint8_t*>(data), size, "r")
                           : fmemopen(const_cast<char*>(kEmpty), 1, "r");
  if (in == nullptr) return 0;
  if (size == 0) std::fgetc(in);
  tvx2mxt::Options options;
  options.echo_original = size % 2 == 1;
  options.on_finding = [](const tvx2mxt::Finding&) {};
  ConvertScriptFile(in, sink, options);
  std::fclose(in);
  return 0;
}
