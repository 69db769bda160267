#include <cstdio>
#include <cstdlib>
#include <new>

#include "command_line.h"
#include "output_file.h"

int main(int argc, char** argv) {
  RemoveTemporaryOutputsOnSignals();
  try {
    return RunConverter(argc, argv);
  } catch (const std::bad_alloc&) {
    std::printf("\nmalloc error");
    std::fflush(stdout);
    return 2;
  }
}
