// Converting script files: opening the input and the output, the conversion, and the reason
// when a file cannot be read or written.
#include "script_files.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "output_file.h"
#include "script_conversion.h"

namespace {

std::string Format(const char* format, const std::string& path) {
  std::string text(std::strlen(format) + path.size(), '\0');
  int length = std::snprintf(text.data(), text.size() + 1, format, path.c_str());
  text.resize(static_cast<size_t>(std::max(length, 0)));
  return text;
}

FileFailure Failure(const char* format, const std::string& path, int error) {
  return {Format(format, path), path, std::strerror(error)};
}

// Whether writing `output` would overwrite the input (`input_info` when known): the same path
// (unless the input is the console, whatever its path says), or the same file.
bool IsSameFile(const ScriptFile& file, const std::optional<struct stat>& input_info) {
  const std::string& output = *file.output;
  if (!file.console && file.input == output) return true;
  struct stat output_info;
  return input_info.has_value() && stat(output.c_str(), &output_info) == 0 &&
         input_info->st_dev == output_info.st_dev && input_info->st_ino == output_info.st_ino;
}

// Opens the script for reading, and tells what file it is; a folder cannot be read as a script.
std::FILE* OpenInput(const ScriptFile& file, std::optional<struct stat>& info, int& error) {
  std::FILE* in = file.console ? stdin : std::fopen(file.input.c_str(), "r");
  if (in == nullptr) {
    error = errno;
    return nullptr;
  }
  struct stat known;
  if (fstat(fileno(in), &known) == 0) info = known;
  if (!file.console && info.has_value() && S_ISDIR(info->st_mode)) {
    std::fclose(in);
    error = EISDIR;
    return nullptr;
  }
  return in;
}

class InputCloser {
 public:
  explicit InputCloser(std::FILE* in) : in_(in) {}
  ~InputCloser() {
    if (in_ != nullptr && in_ != stdin) std::fclose(in_);
  }
  InputCloser(const InputCloser&) = delete;
  InputCloser& operator=(const InputCloser&) = delete;

 private:
  std::FILE* in_;
};

}  // namespace

std::string ReasonLine(const std::string& path, const std::string& reason) {
  return "tvx2mxt: " + path + ": " + reason + "\n";
}

tvx2mxt::ScriptResult ConvertScriptFile(std::FILE* in, std::FILE* out,
                                        const tvx2mxt::Options& options) {
  // The output is written in large pieces; in check mode (no output) it is dropped.
  constexpr size_t kWriteSize = 1 << 16;
  ScriptConversion conversion(options);
  FileLineReader reader(in);
  std::string text;
  auto write = [&] {
    if (out != nullptr) std::fwrite(text.data(), 1, text.size(), out);
    text.clear();
  };
  std::string_view raw;
  while (reader.Next(raw)) {
    conversion.ConvertLineOfScript(raw, text);
    if (text.size() >= kWriteSize) write();
  }
  conversion.Finish(text);
  write();
  conversion.result().read_failed = reader.Failed();
  return std::move(conversion.result());
}

FileConversion ParseFile(const ScriptFile& file, const tvx2mxt::Options& options) {
  FileConversion conversion;
  int error = 0;
  std::optional<struct stat> input_info;
  std::FILE* in = OpenInput(file, input_info, error);
  if (in == nullptr) {
    conversion.failure = Failure("\nCould not open the file %s for reading\n", file.input, error);
    return conversion;
  }
  InputCloser close_input(in);
  const bool to_file = file.write && file.output.has_value();
  if (to_file && IsSameFile(file, input_info)) {
    conversion.failure =
        FileFailure{Format("\nInput and output are the same file: %s\n", *file.output),
                    *file.output, "input and output are the same file", false};
    return conversion;
  }
  // The output file is replaced only when the whole conversion was written.
  AtomicOutputFile output_file;
  if (to_file) {
    if (int open_error = output_file.Open(*file.output)) {
      conversion.failure =
          Failure("\nCould not create the file %s for output\n", *file.output, open_error);
      return conversion;
    }
  }
  std::FILE* out = to_file ? output_file.stream() : file.write ? stdout : nullptr;

  conversion.result = ConvertScriptFile(in, out, options);
  int read_error = errno;
  if (conversion.result.read_failed) {
    // The output stays as it was.
    conversion.failure = Failure("\nCould not read the file %s\n", file.input, read_error);
    return conversion;
  }
  int write_error = 0;
  if (to_file) {
    write_error = output_file.Commit();
  } else if (out != nullptr && (std::fflush(out) != 0 || std::ferror(out))) {
    write_error = errno != 0 ? errno : EIO;
  }
  if (write_error != 0) {
    std::string path = to_file ? *file.output : "standard output";
    conversion.failure = Failure("\nCould not write the file %s\n", path, write_error);
  }
  return conversion;
}
