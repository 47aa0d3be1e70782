#include "report.h"

#include <cstdlib>

namespace {

// The text of an attribute value as GoogleTest escapes it, unescaped.
std::string Unescaped(const std::string& text) {
  static const struct {
    const char* entity;
    char character;
  } kNamed[] = {{"&quot;", '"'}, {"&apos;", '\''}, {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}};
  std::string plain;
  for (size_t at = 0; at < text.size();) {
    if (text[at] != '&') {
      plain += text[at++];
      continue;
    }
    const size_t end = text.find(';', at);
    if (end == std::string::npos) break;
    const std::string entity = text.substr(at, end + 1 - at);
    char character = '?';
    for (const auto& named : kNamed)
      if (entity == named.entity) character = named.character;
    if (entity.compare(0, 2, "&#") == 0) {
      const bool hex = entity[2] == 'x';
      character = static_cast<char>(std::strtol(entity.c_str() + (hex ? 3 : 2), nullptr, hex ? 16 : 10));
    }
    plain += character;
    at = end + 1;
  }
  return plain;
}

// The value of the first attribute of that name after the element's start;
// false where the report has no such element.
bool FindAttribute(const std::string& xml, const char* element, const char* attribute, std::string& value) {
  const size_t start = xml.find(element);
  if (start == std::string::npos) return false;
  const std::string name = std::string(" ") + attribute + "=\"";
  const size_t at = xml.find(name, start);
  const size_t end = at == std::string::npos ? at : xml.find('"', at + name.size());
  if (end == std::string::npos) return false;
  value = Unescaped(xml.substr(at + name.size(), end - at - name.size()));
  return true;
}

std::string Line(const std::string& text, size_t number) {
  size_t start = 0;
  for (size_t skipped = 0; skipped < number && start != std::string::npos; ++skipped) {
    start = text.find('\n', start);
    if (start != std::string::npos) ++start;
  }
  return start == std::string::npos ? std::string() : text.substr(start, text.find('\n', start) - start);
}

}  // namespace

// A message reads "file:line" on its first line, then what went wrong.
Outcome OutcomeOfReport(const std::string& xml) {
  std::string message;
  if (xml.find("<testcase ") == std::string::npos) return {Outcome::Failed, "its report names no test"};
  // An exception's message has only its one line.
  if (FindAttribute(xml, "<failure ", "message", message))
    return {Outcome::Failed, Line(message, 1).empty() ? Line(message, 0) : Line(message, 0) + ": " + Line(message, 1)};
  if (FindAttribute(xml, "<skipped ", "message", message)) return {Outcome::Skipped, Line(message, 1)};
  return {Outcome::Passed, ""};
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
