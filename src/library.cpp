// The public interface of the conversion library: a conversion object over the script loop,
// reading and writing standard streams.
#include <algorithm>
#include <istream>
#include <ostream>
#include <utility>

#include "script_conversion.h"
#include "tvx2mxt/tvx2mxt.h"

namespace tvx2mxt {

namespace {

// Reads the lines of a stream in large pieces; a line may be of any length.
class StreamLineReader {
 public:
  explicit StreamLineReader(std::istream& in) : in_(in) {}

  // The next line with its newline (none after the last line of an input that lacks one);
  // false at the end of the input.
  bool Next(std::string_view& line) {
    for (;;) {
      size_t newline = data_.find('\n', scanned_);
      if (newline != std::string::npos) {
        line = std::string_view(data_).substr(start_, newline + 1 - start_);
        start_ = scanned_ = newline + 1;
        return true;
      }
      scanned_ = data_.size();
      if (end_) {
        if (start_ == data_.size()) return false;
        line = std::string_view(data_).substr(start_);
        start_ = scanned_ = data_.size();
        return true;
      }
      ReadMore();
    }
  }

 private:
  void ReadMore() {
    constexpr size_t kReadSize = 1 << 16;
    data_.erase(0, start_);
    scanned_ -= start_;
    start_ = 0;
    size_t kept = data_.size();
    data_.resize(kept + kReadSize);
    in_.read(&data_[kept], static_cast<std::streamsize>(kReadSize));
    data_.resize(kept + static_cast<size_t>(in_.gcount()));
    end_ = !in_.good();
  }

  std::istream& in_;
  std::string data_;
  size_t start_ = 0;    // where the next line begins
  size_t scanned_ = 0;  // the text before this holds no newline from `start_` on
  bool end_ = false;
};

// The lines of a text held in memory: each with its newline (none after a last line that lacks
// one).
class TextLineReader {
 public:
  explicit TextLineReader(std::string_view text) : text_(text) {}

  bool Next(std::string_view& line) {
    if (text_.empty()) return false;
    const size_t end = std::min(text_.find('\n'), text_.size() - 1) + 1;
    line = text_.substr(0, end);
    text_.remove_prefix(end);
    return true;
  }

 private:
  std::string_view text_;
};

// The results of a run so far, handed over; the run keeps counting from there.
ScriptResult HandOver(ScriptResult& run_result) {
  ScriptResult result;
  result.counts = run_result.counts;
  result.findings = std::move(run_result.findings);
  run_result.findings.clear();
  result.read_failed = run_result.read_failed;
  result.write_failed = run_result.write_failed;
  return result;
}

}  // namespace

struct Converter::Run {
  explicit Run(Options given) : options(std::move(given)), conversion(options) {}
  Options options;
  ScriptConversion conversion;
  bool finished = false;  // the closing text was given

  // Converts the lines of `reader` into `text`, handing the text to `write` whenever it grows
  // large, and ends the run with the closing text.
  template <typename Reader, typename Write>
  void ConvertAll(Reader& reader, std::string& text, Write write) {
    constexpr size_t kWriteSize = 1 << 16;
    std::string_view raw;
    while (reader.Next(raw)) {
      conversion.ConvertLineOfScript(raw, text);
      if (text.size() >= kWriteSize) write();
    }
    Close(text);
    write();
  }

  void Close(std::string& text) {
    if (finished) return;
    finished = true;
    conversion.Finish(text);
  }
};

Converter::Converter(Options options) : run_(std::make_unique<Run>(std::move(options))) {}
Converter::~Converter() = default;
Converter::Converter(Converter&&) noexcept = default;
Converter& Converter::operator=(Converter&&) noexcept = default;

ScriptResult Converter::ConvertScript(std::istream& in, std::ostream& out) {
  StreamLineReader reader(in);
  std::string text;
  run_->ConvertAll(reader, text, [&] {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    text.clear();
  });
  ScriptResult& run_result = run_->conversion.result();
  run_result.read_failed = in.bad();
  run_result.write_failed = !out.good();
  return HandOver(run_result);
}

LineResult Converter::ConvertLine(std::string_view line) {
  ScriptConversion& conversion = run_->conversion;
  std::vector<Finding>& findings = conversion.result().findings;
  const size_t before = findings.size();
  LineResult result;
  // Each line of a text with newlines inside is a line of the run; a newline at the end of the
  // text ends its last line.
  TextLineReader reader(line);
  std::string_view raw;
  if (line.empty()) conversion.ConvertLineOfScript(line, result.output);
  while (reader.Next(raw)) conversion.ConvertLineOfScript(raw, result.output);
  result.findings.assign(std::make_move_iterator(findings.begin() + static_cast<long>(before)),
                         std::make_move_iterator(findings.end()));
  findings.resize(before);
  return result;
}

std::string Converter::Finish() {
  std::string text;
  run_->Close(text);
  return text;
}

std::string ConvertText(std::string_view script, const Options& options, ScriptResult* result) {
  Converter converter(options);
  TextLineReader reader(script);
  std::string text;
  converter.run_->ConvertAll(reader, text, [] {});
  if (result != nullptr) *result = HandOver(converter.run_->conversion.result());
  return text;
}

ScriptResult ConvertScript(std::istream& in, std::ostream& out, const Options& options) {
  return Converter(options).ConvertScript(in, out);
}

void Counts::Add(FindingKind kind) {
  switch (kind) {
    case FindingKind::kNotConverted:
      ++not_converted;
      break;
    case FindingKind::kSemicolons:
      ++semicolon_lines;
      break;
    case FindingKind::kWarning:
      ++warnings;
      break;
    case FindingKind::kDropped:
      ++dropped;
      break;
  }
}

std::string_view KindName(FindingKind kind) {
  switch (kind) {
    case FindingKind::kNotConverted:
      return "not converted";
    case FindingKind::kSemicolons:
      return "semicolons";
    case FindingKind::kWarning:
      return "warning";
    case FindingKind::kDropped:
      return "dropped";
  }
  return "";
}

std::string_view Version() { return TVX2MXT_VERSION_STRING; }

}  // namespace tvx2mxt
