// Converting script files: opening the input and the output, the conversion, and the reason
// when a file cannot be read or written.
#include "script_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>

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

// A script's stream, checked for NUL bytes in its first kTextCheckSize bytes. A regular file is
// looked at in place; the bytes of any other stream (a pipe) are read ahead, and the stream
// given to the conversion hands them out before the rest. A terminal is not read ahead, so
// that each line typed is converted as soon as it is there.
class ScriptInput {
 public:
  explicit ScriptInput(std::FILE* in) : in_(in) {}
  ~ScriptInput() {
    if (stream_ != nullptr && stream_ != in_) std::fclose(stream_);
    if (in_ != nullptr && in_ != stdin) std::fclose(in_);
  }
  ScriptInput(const ScriptInput&) = delete;
  ScriptInput& operator=(const ScriptInput&) = delete;

  // Whether the first bytes hold no NUL byte; `error` is set when they cannot be read.
  bool IsText(int& error) {
    const int fd = fileno(in_);
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
      std::string first(kTextCheckSize, '\0');
      const off_t at = lseek(fd, 0, SEEK_CUR);
      ssize_t got;
      do {
        got = pread(fd, first.data(), first.size(), at < 0 ? 0 : at);
      } while (got < 0 && errno == EINTR);
      if (got < 0) {
        error = errno;
        return true;  // the conversion's own read reports it
      }
      first.resize(static_cast<size_t>(got));
      return first.find('\0') == std::string::npos;
    }
    if (isatty(fd)) return true;
    ahead_.resize(kTextCheckSize);
    ahead_.resize(std::fread(ahead_.data(), 1, ahead_.size(), in_));
    if (std::ferror(in_)) error = errno != 0 ? errno : EIO;
    if (ahead_.find('\0') != std::string::npos) return false;
    cookie_io_functions_t functions{&ScriptInput::Read, nullptr, nullptr, nullptr};
    stream_ = fopencookie(this, "r", functions);
    if (stream_ == nullptr) throw std::bad_alloc();
    return true;
  }

  // The stream the conversion reads.
  std::FILE* stream() const { return stream_ != nullptr ? stream_ : in_; }

 private:
  static ssize_t Read(void* cookie, char* data, size_t size) {
    ScriptInput& input = *static_cast<ScriptInput*>(cookie);
    if (input.handed_out_ < input.ahead_.size()) {
      const size_t count = std::min(size, input.ahead_.size() - input.handed_out_);
      std::memcpy(data, input.ahead_.data() + input.handed_out_, count);
      input.handed_out_ += count;
      return static_cast<ssize_t>(count);
    }
    const size_t got = std::fread(data, 1, size, input.in_);
    return got == 0 && std::ferror(input.in_) ? -1 : static_cast<ssize_t>(got);
  }

  std::FILE* in_;
  std::FILE* stream_ = nullptr;  // the bytes read ahead, then the rest of `in_`
  std::string ahead_;
  size_t handed_out_ = 0;
};

}  // namespace

std::string ReasonLine(const std::string& path, const std::string& reason) {
  return "tvx2mxt: " + path + ": " + reason + "\n";
}

void ReportOutput::Write(const std::string& text) {
  errno = 0;
  if ((std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
       std::fflush(stdout) != 0) &&
      error_ == 0) {
    error_ = errno != 0 ? errno : EIO;
  }
}

int ReportOutput::Finish(int status) {
  if (error_ == 0) {
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
    error_ = errno != 0 ? errno : EIO;
  }
  std::clearerr(stdout);
  std::fputs(ReasonLine("standard output", std::strerror(error_)).c_str(), stderr);
  error_ = 0;
  return status == 2 ? status : 1;
}

tvx2mxt::ScriptResult ConvertScriptFile(std::FILE* in, std::FILE* out,
                                        const tvx2mxt::Options& options, std::string* closing) {
  // The output is written in large pieces; in check mode (no output) it is dropped.
  constexpr size_t kWriteSize = 1 << 16;
  // The closing text is what was written and passed on with no line: the end of the text.
  const bool find_closing = closing != nullptr && options.on_line;
  size_t written = 0, passed_on = 0;
  tvx2mxt::Options counted;
  if (find_closing) {
    counted = options;
    counted.on_line = [&](const tvx2mxt::LineRecord& record) {
      passed_on += record.output.size();
      options.on_line(record);
    };
  }
  ScriptConversion conversion(find_closing ? counted : options);
  FileLineReader reader(in);
  std::string text;
  auto write = [&] {
    if (out != nullptr) std::fwrite(text.data(), 1, text.size(), out);
    written += text.size();
    text.clear();
  };
  std::string_view raw;
  while (reader.Next(raw)) {
    conversion.ConvertLineOfScript(raw, text);
    if (text.size() >= kWriteSize) write();
  }
  conversion.Finish(text);
  if (find_closing && written + text.size() >= passed_on) {
    const size_t length = std::min(text.size(), written + text.size() - passed_on);
    closing->assign(text, text.size() - length, length);
  }
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
  ScriptInput input(in);
  int check_error = 0;
  if (!input.IsText(check_error)) {
    conversion.failure = FileFailure{"", file.input, kNotATextScript, true};
    return conversion;
  }
  if (check_error != 0) {
    conversion.failure = Failure("\nCould not read the file %s\n", file.input, check_error);
    return conversion;
  }
  in = input.stream();
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
    if (int open_error = output_file.Open(*file.output, file.backup)) {
      conversion.failure =
          Failure("\nCould not create the file %s for output\n", *file.output, open_error);
      return conversion;
    }
  }
  std::FILE* out = to_file ? output_file.stream() : file.write ? stdout : nullptr;

  conversion.result = ConvertScriptFile(in, out, options, &conversion.closing);
  int read_error = errno;
  if (conversion.result.read_failed) {
    // The output stays as it was.
    conversion.failure = Failure("\nCould not read the file %s\n", file.input, read_error);
    return conversion;
  }
  int write_error = 0;
  const std::string path = to_file ? *file.output : "standard output";
  std::string reason_path = path;
  if (to_file) {
    write_error = output_file.Commit();
    if (write_error == 0 && !output_file.backup().empty()) conversion.backup = output_file.backup();
    // A failure to keep the previous content names the backup in its reason.
    if (write_error != 0) reason_path = output_file.failed_path();
  } else if (out != nullptr && (std::fflush(out) != 0 || std::ferror(out))) {
    write_error = errno != 0 ? errno : EIO;
    std::clearerr(out);  // reported here, once
  }
  if (write_error != 0) {
    conversion.failure = Failure("\nCould not write the file %s\n", path, write_error);
    conversion.failure->path = reason_path;
  }
  return conversion;
}
