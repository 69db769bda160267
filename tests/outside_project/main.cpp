// Converts a short script held in a string with the installed library, and prints the converted
// text, the counts and the findings; then converts one line on its own.
#include <tvx2mxt/tvx2mxt.h>

#include <iostream>
#include <sstream>

int main() {
  std::istringstream in("go\nfoo\n");
  std::ostringstream out;
  tvx2mxt::ScriptResult result = tvx2mxt::ConvertScript(in, out);
  std::cout << out.str();
  std::cout << "not converted: " << result.counts.not_converted << "\n";
  std::cout << "semicolon lines: " << result.counts.semicolon_lines << "\n";
  std::cout << "needs a hand: " << (result.NeedsAHand() ? "yes" : "no") << "\n";
  for (const tvx2mxt::Finding& finding : result.findings) {
    std::cout << finding.line << ": " << tvx2mxt::KindName(finding.kind) << ": " << finding.text
              << "\n";
  }
  tvx2mxt::Converter converter;
  std::cout << "q becomes: " << converter.ConvertLine("q").output;
  return result.read_failed ? 1 : 0;
}
