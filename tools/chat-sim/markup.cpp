#include "markup.h"

#include <windows.h>

namespace {

constexpr char kColourAttribute[] = "color=";
constexpr std::size_t kColourDigits = 6;

struct Style {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  std::uint32_t colour = kDefaultTextColour;
};

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = LowerAscii(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string lowered(std::string s) {
  for (char& c : s) c = LowerAscii(c);
  return s;
}

std::wstring FromCodePage(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int size = int(bytes.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  std::wstring text(std::size_t(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, &text[0], length);
  return text;
}

// Reads the colour of a font tag's color= attribute (body is the tag without
// its angle brackets). Leaves the colour alone when there is no such
// attribute or its value has fewer than six hex digits.
void ApplyFontColour(const std::string& body, std::uint32_t& colour) {
  const std::string lower = lowered(body);
  std::size_t at = lower.find(kColourAttribute);
  // Only a whole attribute name counts, so "bgcolor=" is not a colour.
  while (at != std::string::npos && (at == 0 || !IsBlank(lower[at - 1]))) at = lower.find(kColourAttribute, at + 1);
  if (at == std::string::npos) return;

  std::size_t pos = at + sizeof(kColourAttribute) - 1;
  if (pos < body.size() && body[pos] == '"') ++pos;
  if (pos < body.size() && body[pos] == '#') ++pos;
  std::uint32_t value = 0;
  std::size_t digits = 0;
  for (; pos < body.size() && digits < kColourDigits; ++pos, ++digits) {
    const int digit = HexDigit(body[pos]);
    if (digit < 0) break;
    value = value * 16 + std::uint32_t(digit);
  }
  if (digits == kColourDigits) colour = value;
}

void ApplyTag(const std::string& body, Style& style) {
  std::size_t nameEnd = 0;
  while (nameEnd < body.size() && !IsBlank(body[nameEnd])) ++nameEnd;
  const std::string name = lowered(body.substr(0, nameEnd));
  if (name == "b")
    style.bold = true;
  else if (name == "/b")
    style.bold = false;
  else if (name == "i")
    style.italic = true;
  else if (name == "/i")
    style.italic = false;
  else if (name == "u")
    style.underline = true;
  else if (name == "/u")
    style.underline = false;
  else if (name == "font")
    ApplyFontColour(body, style.colour);
}

bool SameStyle(const MarkupRun& run, const Style& style) {
  return run.bold == style.bold && run.italic == style.italic && run.underline == style.underline &&
         run.colour == style.colour;
}

void AddText(std::vector<MarkupRun>& runs, const std::string& bytes, const Style& style) {
  if (bytes.empty()) return;
  if (!runs.empty() && SameStyle(runs.back(), style)) {
    runs.back().text += FromCodePage(bytes);
    return;
  }
  MarkupRun run;
  run.text = FromCodePage(bytes);
  run.bold = style.bold;
  run.italic = style.italic;
  run.underline = style.underline;
  run.colour = style.colour;
  runs.push_back(run);
}

}  // namespace

std::vector<MarkupRun> ParseMarkup(const std::string& line) {
  std::vector<MarkupRun> runs;
  Style style;
  std::size_t pos = 0;
  while (pos < line.size()) {
    const std::size_t open = line.find('<', pos);
    const std::size_t close = open == std::string::npos ? open : line.find('>', open);
    if (close == std::string::npos) {
      AddText(runs, line.substr(pos), style);
      break;
    }
    AddText(runs, line.substr(pos, open - pos), style);
    ApplyTag(line.substr(open + 1, close - open - 1), style);
    pos = close + 1;
  }
  return runs;
}
