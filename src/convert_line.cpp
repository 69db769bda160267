// ConvertLine: normalisation, command split, lookup, and the order of the stages.
#include <algorithm>
#include <string>
#include <utility>

#include "converter.h"
#include "line_stages.h"
#include "run_state.h"

// Records a running ConvertLine call for as long as it runs, and refuses a call that could not
// end: one whose text equals that of a call still running (it would convert itself again), one
// beyond the deepest nesting allowed, or one within others whose texts already hold as much as a
// line may. An admitted call gets the frame of its depth.
class LineConverter::RunningLine {
 public:
  RunningLine(LineConverter& converter, const std::string& text) : converter_(converter) {
    const bool list_entry = std::exchange(converter_.list_entry_next_, false);
    auto& frames = converter_.frames_;
    std::size_t& depth = converter_.running_depth_;
    if (depth >= kMaxConvertDepth) return;
    // A long text is compared by its hash, a short one as it is (mostly only its length, since a
    // text within another is shorter).
    const bool kept = text.size() <= kLongestKeptText;
    const std::uint64_t hash = kept ? 0 : HashOfLine(text);
    std::size_t held = text.size();
    for (size_t outer = 0; outer < depth; ++outer) {
      const ConvertFrame& frame = *frames[outer];
      held += frame.received_size;
      if (frame.received_size == text.size() &&
          (kept ? frame.received == text : frame.received_hash == hash)) {
        return;
      }
    }
    if (depth > 0 &&
        held > std::max(kHeldTextFloor, kHeldTextPerOutermost * frames[0]->received_size)) {
      return;
    }
    if (frames.size() == depth) frames.push_back(std::make_unique<ConvertFrame>());
    frame_ = frames[depth++].get();
    frame_->received_hash = hash;
    frame_->received_size = text.size();
    if (kept) {
      frame_->received.assign(text);
    } else {
      frame_->received.clear();
    }
    LineWork& work = frame_->work;
    work.line.clear();
    work.command_word.clear();
    work.arguments.clear();
    work.postcon.clear();
    work.result.clear();
    work.next_placeholder = 1;
    work.scope_cut.clear();
    work.list_entry = list_entry;
    work.alias_name.clear();
  }
  ~RunningLine() {
    if (frame_ == nullptr) return;
    --converter_.running_depth_;
    // A frame keeps the buffers of ordinary lines, not those of a huge one.
    for (std::string* text :
         {&frame_->received, &frame_->normalised, &frame_->work.line, &frame_->work.command_word,
          &frame_->work.arguments, &frame_->work.postcon, &frame_->work.result}) {
      if (text->capacity() > kKeptCapacity) std::string().swap(*text);
    }
  }
  RunningLine(const RunningLine&) = delete;
  RunningLine& operator=(const RunningLine&) = delete;

  bool admitted() const { return frame_ != nullptr; }
  LineWork& work() { return frame_->work; }
  // The text received, when it is short enough to be remembered.
  const std::string& received() const { return frame_->received; }
  bool rememberable() const { return frame_->received_size <= RememberedCommands::kLongestCommand; }
  std::string& normalised() { return frame_->normalised; }

 private:
  static constexpr size_t kKeptCapacity = 1 << 16;
  LineConverter& converter_;
  ConvertFrame* frame_ = nullptr;
};

namespace {

// Every tab of the text from `from` on becomes a blank.
void TabsToBlanks(std::string& text, size_t from) {
  for (size_t tab = text.find('\t', from); tab != std::string::npos; tab = text.find('\t', tab)) {
    text[tab] = ' ';
  }
}

bool IsCommentWord(std::string_view word) {
  return EqualsNoCase(word, "comment") || EqualsNoCase(word, "comm") || EqualsNoCase(word, "com");
}

// A comment command ("comment", "comm" or "com", in any case, before the line's first blank)
// keeps its text as written.
bool IsCommentCommand(std::string_view line) {
  return IsCommentWord(line.substr(0, line.find(' ')));
}

// The first " : " whose colon stands outside double quotes becomes "=".
void ColonAssignment(std::string& text, size_t start) {
  // Found by its colon: blanks are everywhere in a line, colons are rare. The quotes before
  // each colon are counted on from the previous one.
  size_t quotes = 0, counted = start;
  for (size_t colon = text.find(':', start + 1); colon != std::string::npos;
       colon = text.find(':', colon + 1)) {
    quotes += static_cast<size_t>(std::count(text.begin() + static_cast<long>(counted),
                                             text.begin() + static_cast<long>(colon), '"'));
    counted = colon;
    if (quotes % 2 == 0 && text[colon - 1] == ' ' && colon + 1 < text.size() &&
        text[colon + 1] == ' ') {
      text.replace(colon - 1, 3, "=");
      return;
    }
  }
}

// A blank goes in front of the first "=" when it is the line's second character, or when no "="
// of the line has a blank beside it and the line holds no "!=". Never inside "<=" or ">=", nor
// when that "=" stands inside double quotes.
void BlankBeforeEquals(std::string& text, size_t start) {
  std::string_view line = std::string_view(text).substr(start);
  Index p = FindFirstChar(line, '=');
  if (p == 0 || InsideQuotes(line, p - 1)) return;
  char before = CharAt(line, p - 2);
  if (before == '<' || before == '>') return;
  if (p == 2) {
    Insert(text, ' ', static_cast<Index>(start) + 1);
  } else if (!Contains(line, "!=") && !Contains(line, " =") && !Contains(line, "= ")) {
    Insert(text, ' ', static_cast<Index>(start) + p - 1);
  }
}

// A line without a blank: "$" and "!" are command words of one character ("$" keeps its sign
// in the argument text, where the internal variable is read); a switch written against a word
// ends the word and goes; a register or pc assignment written with "!=" keeps its register name
// as the command word.
void SplitWord(LineWork& work) {
  const std::string& line = work.line;
  if (!Contains(line, "=")) {
    if (BeginsWith(line, "$")) {
      work.command_word = "$";
      work.arguments = line;
    } else if (BeginsWith(line, "!")) {
      work.command_word = "!";
      work.arguments = line.substr(1);
    } else {
      const size_t slash = line.find('/');
      const bool word_switch =
          slash != std::string::npos && slash > 0 && !ContainsNoCase(line, "p/%");
      work.command_word = line.substr(0, word_switch ? slash : std::string::npos);
      work.arguments.clear();
    }
    return;
  }
  work.command_word = line.substr(0, 2);
  bool register_write = BeginsWith(line, "r") || BeginsWith(line, "pc");
  if (FindFirstChar(line, '=') == 3 && register_write) {
    work.arguments = line.substr(3);
  } else {
    work.arguments = line;
  }
}

// "print/%x" and "print/%d" (in any case) are read as the print commands "p/%x" and "p/%d": the
// letters of the word after its "p" go.
void ReadPrintSwitchAsP(std::string& line) {
  constexpr std::string_view kPrintSwitch = "print/%";
  char format = CharAt(line, Length(kPrintSwitch));
  bool print_format = format == 'x' || format == 'X' || format == 'd' || format == 'D';
  if (print_format && BeginsWithNoCase(line, kPrintSwitch)) line.erase(1, Length("rint"));
}

// A line with a blank: the command word ends at the first blank; a switch written against it
// (its first "/" comes before that blank, and the line is no "p/%" print) ends the command word
// and goes with the blank. Assignments become "let" commands of the whole line.
void SplitAtBlank(LineWork& work) {
  const std::string& line = work.line;
  if (BeginsWith(line, "!")) {
    work.command_word = "!";
    work.arguments = line.substr(1);
    return;
  }
  Index n = FindFirstChar(line, ' ');
  Index slash = FindFirstChar(line, '/');
  SplitUp(line, work.command_word, work.arguments, n);
  if (slash != 0 && slash < n && !ContainsNoCase(line, "p/%")) work.command_word.resize(slash - 1);
  bool assignment = BeginsWith(work.arguments, "=") || Contains(work.command_word, "=");
  if (assignment && !IsCommentWord(work.command_word)) {
    work.arguments = line;
    work.command_word = "let";
  }
  if (BeginsWithNoCase(line, "p/%x")) work.command_word = "p/%x";
}

// A "/profile " or "/c " switch at the start of the argument text becomes one blank.
void DropLeadingSwitch(std::string& arguments) {
  if (BeginsWith(arguments, "/profile ")) {
    arguments.replace(0, 9, " ");
  } else if (BeginsWith(arguments, "/c ")) {
    arguments.replace(0, 3, " ");
  }
}

// A command that does nothing: an expression command without an expression, a file read without
// a file, or a register write without a register or a value ("setreg" alone, "setreg" and
// blanks before its "=", or "setreg @" and a name with no "="). Trailing blanks aside.
bool IsEmptyCommand(std::string_view text) {
  text = text.substr(0, text.find_last_not_of(' ') + 1);
  if (text == "cexpression" || text == "setreg" || text == "readfile,raw") return true;
  constexpr std::string_view kRegisterWrite = "setreg @", kSetreg = "setreg";
  const size_t value = text.find_first_not_of(' ', kSetreg.size());
  if (BeginsWith(text, kSetreg) && value > kSetreg.size() &&
      CharAt(text, static_cast<Index>(value)) == '=') {
    return true;
  }
  if (!BeginsWith(text, kRegisterWrite)) return false;
  std::string_view name = text.substr(kRegisterWrite.size());
  return std::all_of(name.begin(), name.end(), IsNameChar);
}

// A register shown by its name alone: "r" and one or two digits, "lr" or "cpsr" (the command
// word is in lower case), with no argument. MXT shows it as an expression.
bool IsLoneRegister(const LineWork& work) {
  if (!Trimmed(work.arguments).empty()) return false;
  const std::string_view word = work.command_word;
  if (word == "lr" || word == "cpsr") return true;
  return (word.size() == 2 || word.size() == 3) && word[0] == 'r' &&
         std::all_of(word.begin() + 1, word.end(), IsDigit);
}

// The first word of a help topic, in lower case.
std::string TopicWord(std::string_view topic) {
  const size_t first = std::min(topic.find_first_not_of(' '), topic.size());
  std::string word(topic.substr(first, topic.find(' ', first) - first));
  MakeLower(word);
  return word;
}

// The name of the MXT command that a help topic's conversion begins with: up to its first
// newline when that comes before its first blank, otherwise up to and including its first blank.
void CutToCommandName(std::string& temp) {
  const size_t blank = temp.find(' '), newline = temp.find('\n');
  if (newline < blank) {
    temp.resize(newline);
  } else if (blank != std::string::npos) {
    temp.resize(blank + 1);
  }
}

}  // namespace

Index NormaliseLine(std::string& text) {
  size_t lead = text.find_first_not_of(' ');
  if (lead == std::string::npos) return -1;
  TabsToBlanks(text, lead);
  SqueezeRuns(text, ' ', lead);
  // Blanks that came from tabs are skipped like the others: an indented command converts like
  // the same command unindented.
  size_t start = text.find_first_not_of(' ', lead);
  if (start == std::string::npos) return -1;
  if (!IsCommentCommand(std::string_view(text).substr(start))) {
    ColonAssignment(text, start);
    BlankBeforeEquals(text, start);
  }
  return static_cast<Index>(start);
}

void SplitCommand(LineWork& work) {
  ReadPrintSwitchAsP(work.line);
  if (Contains(work.line, " ")) {
    SplitAtBlank(work);
  } else {
    SplitWord(work);
  }
  MakeLower(work.command_word);
  DropLeadingSwitch(work.arguments);
}

// "h" and "help": the topic is converted as a line of its own, and the result names the MXT
// command it became. A topic that converts into a comment has no MXT command to name; a print
// without an expression is MXT's cexpression; a breakpoint or watchpoint without a location is
// MXT's break or breaka.
int LineConverter::ConvertHelpTopic(LineWork& work, std::string& converted) {
  if (Contains(work.arguments, "register")) return kNotConverted;
  std::string temp;
  int ok = ConvertLine(work.arguments, temp);
  const std::string word = TopicWord(work.arguments);
  if (ok == kConverted && BeginsWith(temp, "//")) return kNotConverted;
  if (ok != kConverted && (word == "p" || word == "print")) {
    temp = "cexpression";
    ok = kConverted;
  }
  if (temp == "dtbreak") temp = IsWatchpointWord(word) ? "breaka" : "break";
  if (Contains(temp, "load/")) temp = "load";
  CutToCommandName(temp);
  if (ok != kConverted) return kNotConverted;
  converted = "dcommands " + temp;
  return kConverted;
}

int LineConverter::ConvertLine(std::string& original, std::string& converted) {
  ++calls_;
  RunningLine running(*this, original);
  if (!running.admitted()) return kNotConverted;
  if (running_depth_ > 1) return ConvertWithin(running, original, converted);
  last_command_word_.clear();
  last_arguments_.clear();
  return ConvertReceived(running.work(), original, converted);
}

int LineConverter::ConvertReceived(LineWork& work, std::string& original, std::string& converted) {
  Index start = NormaliseLine(original);
  if (start < 0) {
    converted = "  ";
    return kConverted;
  }
  work.line.assign(original, static_cast<size_t>(start));
  return ConvertCommand(work, converted);
}

// The commands converted within others (those of breakpoint command lists, alias bodies, help
// topics) come again and again. One whose conversion needed nothing but its own text and the
// aliases already defined (no word that is no alias yet, no alias definition, no macro, no
// conversion within it) converts the same way each time it comes, and normalises the same way.
int LineConverter::ConvertWithin(RunningLine& running, std::string& original,
                                 std::string& converted) {
  if (!running.rememberable()) return ConvertReceived(running.work(), original, converted);
  const std::string& received = running.received();
  const std::uint64_t hash = HashOfLine(received);
  // An entry of a command list converts otherwise than the same text elsewhere.
  RememberedCommands& commands = running.work().list_entry ? list_entries_ : commands_;
  int result = kNotConverted;
  std::string_view normalised, known;
  if (commands.Find(received, hash, result, normalised, known)) {
    original.assign(normalised);
    if (result == kConverted) converted.assign(known);
    return result;
  }
  const std::size_t calls = calls_, misses = alias_misses_, aliases = alias_count_;
  const int macros = macro_number_;
  // The normalised text is kept aside: the conversion may be written over it.
  std::string& kept = running.normalised();
  Index start = NormaliseLine(original);
  kept.assign(original);
  if (start < 0) {
    converted = "  ";
    result = kConverted;
  } else {
    running.work().line.assign(original, static_cast<size_t>(start));
    result = ConvertCommand(running.work(), converted);
  }
  if (calls_ == calls && alias_misses_ == misses && alias_count_ == aliases &&
      macro_number_ == macros) {
    commands.Remember(received, hash, result, kept, result == kConverted ? converted : "");
  }
  return result;
}

int LineConverter::ConvertListEntry(std::string& entry) {
  list_entry_next_ = true;
  return ConvertLine(entry, entry);
}

// The template of a command: a lone register's display, or what the command map or the alias
// store holds for the command word.
bool LineConverter::FindCommandTemplate(LineWork& work) {
  if (IsLoneRegister(work)) {
    work.postcon = "cexpression @" + work.command_word;
    return true;
  }
  if (!LookUpCommand(work.command_word, work.postcon)) return false;
  if (!IsCommandWord(work.command_word)) work.alias_name.assign(work.postcon);
  return true;
}

int LineConverter::ConvertCommand(LineWork& work, std::string& converted) {
  SplitCommand(work);
  if (running_depth_ == 1) {  // the outermost command
    last_command_word_.assign(work.command_word);
    last_arguments_.assign(work.arguments);
  }
  if (!FindCommandTemplate(work)) return kNotConverted;
  PlaceArguments(work);
  if (Contains(work.postcon, "dcommands")) return ConvertHelpTopic(work, converted);
  CleanUpTemplate(work);
  std::string& result = work.result;
  if (RewriteCommand(work, result) != kConverted || IsEmptyCommand(result)) return kNotConverted;
  converted.swap(result);
  return kConverted;
}
