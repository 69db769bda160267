// The library's interface: a script converted from a text in memory, lines fed one by one and the
// closing text after them, lines with newlines inside, a failed output stream, and the version.
#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "tvx2mxt/tvx2mxt.h"

namespace {

const std::string kNotConverted = "//No available conversion of command:\t";

// A script converted through the stream interface, for comparison.
std::string ThroughStreams(const std::string& script, tvx2mxt::ScriptResult* result = nullptr) {
  std::istringstream in(script);
  std::ostringstream out;
  tvx2mxt::ScriptResult converted = tvx2mxt::ConvertScript(in, out);
  if (result != nullptr) *result = converted;
  return out.str();
}

TEST(Library, ConvertTextConvertsAScriptHeldInMemory) {
  struct {
    const char* script;
    std::string expected;  // "": compared with the stream interface only
    long not_converted;
  } const cases[] = {
      {"go\nfoo\n", "go\n" + kNotConverted + "foo\n", 1},
      {"go\nfoo", "go\n" + kNotConverted + "foo\n", 1},  // the last line lacks its newline
      {"q\n\ngo\n", "quit y\n\ngo\n", 0},
      {"", "", 0},
      {"log boot.log\ngo\n", "", 0},  // with its closing command
      {"b main,5\ntrace on\nstep 3 while busy\ngo;step\n", "", 1},
  };
  for (const auto& c : cases) {
    tvx2mxt::ScriptResult result;
    const std::string converted = tvx2mxt::ConvertText(c.script, {}, &result);
    if (!c.expected.empty()) {
      EXPECT_EQ(converted, c.expected) << c.script;
    }
    tvx2mxt::ScriptResult streamed;
    EXPECT_EQ(converted, ThroughStreams(c.script, &streamed)) << c.script;
    EXPECT_EQ(result.counts.not_converted, c.not_converted) << c.script;
    EXPECT_EQ(result.counts.Total(), streamed.counts.Total()) << c.script;
    EXPECT_EQ(result.findings.size(), streamed.findings.size()) << c.script;
    EXPECT_FALSE(result.read_failed || result.write_failed) << c.script;
    EXPECT_EQ(tvx2mxt::ConvertText(c.script), converted) << c.script;  // no result asked for
  }
}

TEST(Library, FinishGivesTheClosingTextAfterLinesFedOneByOne) {
  struct {
    std::vector<const char*> lines;
    const char* closing;
  } const cases[] = {
      {{"go", "step"}, ""},
      {{"log boot.log", "go"}, "\njournal off\n"},
      {{}, ""},
  };
  for (const auto& c : cases) {
    tvx2mxt::Converter converter;
    std::string script, fed;
    for (const char* line : c.lines) {
      fed += converter.ConvertLine(line).output;
      script += std::string(line) + "\n";
    }
    const std::string closing = converter.Finish();
    EXPECT_EQ(closing, c.closing) << script;
    // Lines and closing text together are the whole script's conversion.
    EXPECT_EQ(fed + closing, tvx2mxt::ConvertText(script)) << script;
    EXPECT_EQ(converter.Finish(), "") << "the closing text is given once";
  }
}

TEST(Library, ALineWithNewlinesInsideIsConvertedLineByLine) {
  struct {
    const char* text;
    std::vector<const char*> lines;  // the same text fed a line at a time
  } const cases[] = {
      {"go\nfoo", {"go", "foo"}},
      {"go\n", {"go"}},  // a newline at the end ends the last line
      {"q\n\nbar baz\n", {"q", "", "bar baz"}},
      {"alias ss step\nss 5", {"alias ss step", "ss 5"}},  // the alias holds for the next line
      {"", {""}},
  };
  for (const auto& c : cases) {
    tvx2mxt::Converter at_once, one_by_one;
    tvx2mxt::LineResult whole = at_once.ConvertLine(c.text);
    std::string output;
    std::vector<long> finding_lines;
    for (const char* line : c.lines) {
      tvx2mxt::LineResult part = one_by_one.ConvertLine(line);
      output += part.output;
      for (const tvx2mxt::Finding& finding : part.findings) finding_lines.push_back(finding.line);
    }
    EXPECT_EQ(whole.output, output) << c.text;
    std::vector<long> whole_lines;
    for (const tvx2mxt::Finding& finding : whole.findings) whole_lines.push_back(finding.line);
    EXPECT_EQ(whole_lines, finding_lines) << c.text;
  }
  // The findings name the line of the text they come from.
  tvx2mxt::LineResult two = tvx2mxt::Converter().ConvertLine("go\nfoo");
  ASSERT_EQ(two.findings.size(), 1u);
  EXPECT_EQ(two.findings[0].line, 2);
  EXPECT_EQ(two.output, "go\n" + kNotConverted + "foo\n");
  EXPECT_EQ(tvx2mxt::Converter().ConvertLine("").output, "\n");
}

// A stream buffer that takes nothing: every write fails.
class FullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(Library, AFailedOutputStreamIsReported) {
  struct {
    bool full;
    bool write_failed;
  } const cases[] = {{false, false}, {true, true}};
  for (const auto& c : cases) {
    std::istringstream in("go\nfoo\n");
    std::ostringstream fine;
    FullBuffer full_buffer;
    std::ostream full(&full_buffer);
    std::ostream& out = c.full ? full : fine;
    tvx2mxt::ScriptResult result = tvx2mxt::ConvertScript(in, out);
    EXPECT_EQ(result.write_failed, c.write_failed);
    EXPECT_FALSE(result.read_failed);
    EXPECT_EQ(result.counts.not_converted, 1);  // the conversion itself went on
  }
}

TEST(Library, TheVersionMacrosAgreeWithVersion) {
  const std::string composed = std::to_string(TVX2MXT_VERSION_MAJOR) + "." +
                               std::to_string(TVX2MXT_VERSION_MINOR) + "." +
                               std::to_string(TVX2MXT_VERSION_PATCH);
  EXPECT_EQ(composed, TVX2MXT_VERSION_STRING);
  EXPECT_EQ(tvx2mxt::Version(), TVX2MXT_VERSION_STRING);
  EXPECT_EQ(tvx2mxt::Version(), "1.1.0");
}

}  // namespace
