// Alias definitions: "alias NAME BODY" keeps the name, converts the body as a line of its own
// and records the name, so that later lines may use it as their command word.
#include <string>

#include "converter.h"

// Records a running AliasConvert call for as long as it runs. A call whose text is not shorter
// than that of the alias conversion it runs within could only lead into the same conversion
// again (or into a longer one), so it is refused.
class LineConverter::RunningAlias {
 public:
  RunningAlias(std::vector<std::size_t>& running, const std::string& text)
      : running_(running), admitted_(running.empty() || text.size() < running.back()) {
    if (admitted_) running_.push_back(text.size());
  }
  ~RunningAlias() {
    if (admitted_) running_.pop_back();
  }
  RunningAlias(const RunningAlias&) = delete;
  RunningAlias& operator=(const RunningAlias&) = delete;

  bool admitted() const { return admitted_; }

 private:
  std::vector<std::size_t>& running_;
  bool admitted_;
};

int LineConverter::AliasConvert(std::string& command) {
  RunningAlias running(running_aliases_, command);
  if (!running.admitted()) return kNotConverted;

  // The name starts right after "alias " and ends at the next blank; without a blank there is
  // no body, and nothing to define.
  Index pos = FindString(command, "alias");
  if (pos == -1) return kNotConverted;
  Index pos2 = FindnChar(command, ' ', pos + 7);
  if (pos2 == -1) return kNotConverted;
  std::string firsthalf;
  CutString(command, firsthalf, pos + 6, pos2 - 1);
  std::string secondhalf = command.substr(static_cast<size_t>(pos2));

  // A body that converts to a comment (a command MXT lacks, such as unbreak) or to nothing (unw)
  // defines nothing.
  std::string postfirsthalf;
  if (ConvertLine(secondhalf, postfirsthalf) != kConverted) return kNotConverted;
  if (BeginsWith(postfirsthalf, "//")) return kNotConverted;
  if (Trimmed(postfirsthalf).empty()) return kNotConverted;
  command = "alias " + firsthalf + " = " + postfirsthalf;
  AddAlias(firsthalf);
  return kConverted;
}
