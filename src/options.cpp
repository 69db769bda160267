// The command-line front end: option words, help and version, one conversion, the completion
// message.
#include <cstdio>
#include <cstring>

#include "parser.h"

int Help_once = 0;
int ConInput = 0;
const char* InputFile = nullptr;
const char* OutputFile = nullptr;
int bOriginal = 0;
int bWarnings = 0;

namespace {

constexpr const char* kVersion = "Build number 497";

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// "CON" in any case (exactly three characters) or "-": the script comes from standard input.
bool IsConsole(const char* path) {
  return (std::strlen(path) == 3 && CLoption(path, 3, "CON") == 1) || std::strcmp(path, "-") == 0;
}

// No output path, or "-": the script goes to standard output.
const char* OutputPath() {
  return OutputFile != nullptr && std::strcmp(OutputFile, "-") == 0 ? nullptr : OutputFile;
}

}  // namespace

int CLoption(const char* s1, int s1len, const char* s2) {
  if (s1len == 0) return 0;
  for (int k = 0; k < s1len; ++k) {
    // The keyword's terminator ends the comparison: a longer word never matches.
    if (Upper(s1[k]) != Upper(s2[k]) || s2[k] == '\0') return 0;
  }
  return 1;
}

void PrintHelp() {
  if (Help_once != 0) return;
  Help_once = 1;
  std::printf("\nMerovant Debugger script converter - Help");
  std::printf("\n");
  std::printf("\n-I <path>\tPath to input file");
  std::printf("\n-O <path>\tFile to save output to");
  std::printf("\n-A \t\tAdd commented out original script to output");
  std::printf("\n-Vsn\t\tVersion");
  std::printf("\n");
}

void ProcessInputs(int argc, char** argv) {
  if (argc == 1) PrintHelp();
  for (int argi = 1; argi < argc && argv[argi] != nullptr; ++argi) {
    const char* argument = argv[argi];
    if (argument[0] != '-') continue;  // paths are passed over here
    const char* word = argument + 1;
    int length = static_cast<int>(std::strlen(word));
    bool has_next = argi + 1 < argc;
    if (CLoption(word, length, "HELP") || CLoption(word, length, "?")) PrintHelp();
    if (CLoption(word, length, "I")) {
      if (has_next) {
        InputFile = argv[argi + 1];
        if (IsConsole(InputFile)) ConInput = 1;
      } else {
        std::printf("\nMissing input file\n");
      }
    }
    if (CLoption(word, length, "O")) {
      if (has_next) {
        OutputFile = argv[argi + 1];
      } else {
        std::printf("\nMissing output file\n");
      }
    }
    if (CLoption(word, length, "A")) bOriginal = 1;
    if (CLoption(word, length, "VSN") || CLoption(word, length, "V")) {
      std::printf("\nVersion: %s\n", kVersion);
    }
    if (CLoption(word, length, "WARNINGS")) bWarnings = 1;
  }
}

void ResetOptions() {
  Help_once = 0;
  ConInput = 0;
  InputFile = nullptr;
  OutputFile = nullptr;
  bOriginal = 0;
  bWarnings = 0;
}

int RunConverter(int argc, char** argv) {
  Help_once = 0;
  ConInput = 0;
  ProcessInputs(argc, argv);
  if (InputFile == nullptr) {
    if (argc != 1) PrintHelp();
    return 0;
  }
  const char* output = OutputPath();
  if (ParseFile(InputFile, output, bOriginal, ConInput, bWarnings) != 0) return 1;
  if (output != nullptr) {
    std::printf(
        "Conversion completed, please examine %s for any commands that could not be "
        "converted.\n",
        output);
  } else {
    // Standard output holds the converted script; the message must not end up in it.
    std::fprintf(stderr,
                 "Conversion completed, please examine standard output for any commands that "
                 "could not be converted.\n");
  }
  return 0;
}
