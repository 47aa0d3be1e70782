#include "report.h"

namespace {

// The line at the offset, without its line break.
std::string LineAt(const std::string& text, size_t at) {
  const size_t end = text.find('\n', at);
  std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// The line after the one at the offset.
std::string NextLine(const std::string& text, size_t at) {
  const size_t end = text.find('\n', at);
  return end == std::string::npos ? std::string() : LineAt(text, end + 1);
}

}  // namespace

// GoogleTest ends a test's output with "[       OK ] Suite.Test (N ms)", or with
// "[  SKIPPED ]" or "[  FAILED  ]" after a line "file:line: Skipped" or
// "file:line: Failure" and, on the next, what went wrong.
Outcome OutcomeOfOutput(const std::string& output, const std::string& test) {
  const auto ended = [&](const char* mark) { return output.find(mark + test + " (") != std::string::npos; };
  if (ended("[       OK ] ")) return {Outcome::Passed, ""};
  if (ended("[  SKIPPED ] ")) {
    const size_t skip = output.find(": Skipped");
    return {Outcome::Skipped, skip == std::string::npos ? std::string() : NextLine(output, skip)};
  }
  const size_t failure = output.find(": Failure");
  if (failure == std::string::npos) return {Outcome::Failed, kNoOutcome};
  const size_t line = output.rfind('\n', failure) + 1;  // 0 where it is the first line
  return {Outcome::Failed, output.substr(line, failure - line) + ": " + NextLine(output, failure)};
}

std::vector<std::string> TestsOfListing(const std::string& listing) {
  std::vector<std::string> tests;
  std::string suite;
  for (size_t at = 0; at < listing.size();) {
    size_t end = listing.find('\n', at);
    if (end == std::string::npos) end = listing.size();
    std::string line = listing.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, 2, "  ") == 0) {
      const std::string test = line.substr(2, line.find("  #") == std::string::npos ? std::string::npos
                                                                                      : line.find("  #") - 2);
      if (!suite.empty() && test.compare(0, 9, "DISABLED_") != 0) tests.push_back(suite + test);
    } else if (!line.empty() && line.back() == '.' && line.find(' ') == std::string::npos) {
      suite = line.compare(0, 9, "DISABLED_") == 0 ? std::string() : line;
    }
  }
  return tests;
}
