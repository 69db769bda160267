// The public interface of the conversion library: a conversion object over the script loop,
// reading and writing standard streams.
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

}  // namespace

struct Converter::Run {
  explicit Run(Options given) : options(std::move(given)), conversion(options) {}
  Options options;
  ScriptConversion conversion;
};

Converter::Converter(Options options) : run_(std::make_unique<Run>(std::move(options))) {}
Converter::~Converter() = default;
Converter::Converter(Converter&&) noexcept = default;
Converter& Converter::operator=(Converter&&) noexcept = default;

ScriptResult Converter::ConvertScript(std::istream& in, std::ostream& out) {
  constexpr size_t kWriteSize = 1 << 16;
  ScriptConversion& conversion = run_->conversion;
  StreamLineReader reader(in);
  std::string text;
  std::string_view raw;
  while (reader.Next(raw)) {
    conversion.ConvertLineOfScript(raw, text);
    if (text.size() >= kWriteSize) {
      out.write(text.data(), static_cast<std::streamsize>(text.size()));
      text.clear();
    }
  }
  conversion.Finish(text);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  ScriptResult& run_result = conversion.result();
  run_result.read_failed = in.bad();
  ScriptResult result;
  result.counts = run_result.counts;
  result.findings = std::move(run_result.findings);
  run_result.findings.clear();
  result.read_failed = run_result.read_failed;
  return result;
}

LineResult Converter::ConvertLine(std::string_view line) {
  ScriptConversion& conversion = run_->conversion;
  std::vector<Finding>& findings = conversion.result().findings;
  const size_t before = findings.size();
  LineResult result;
  conversion.ConvertLineOfScript(line, result.output);
  result.findings.assign(std::make_move_iterator(findings.begin() + static_cast<long>(before)),
                         std::make_move_iterator(findings.end()));
  findings.resize(before);
  return result;
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

std::string_view Version() { return "Build number 497"; }

}  // namespace tvx2mxt
