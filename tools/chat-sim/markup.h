#pragma once
// Chat markup as the transcript draws it: a line of code-page bytes with
// <b> <i> <u> (and their closing tags) and <font color=RRGGBB> becomes a
// list of runs, each drawn in one style.

#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint32_t kDefaultTextColour = 0x000000;  // 0xRRGGBB

struct MarkupRun {
  std::wstring text;  // already converted from the ANSI code page
  bool bold = false;
  bool italic = false;
  bool underline = false;
  std::uint32_t colour = kDefaultTextColour;  // 0xRRGGBB
};

// Every line starts plain and black. Tags other than the ones above, and
// malformed ones, are dropped; a '<' with no '>' after it is shown as text.
// Adjacent text in the same style comes back as one run.
std::vector<MarkupRun> ParseMarkup(const std::string& line);
