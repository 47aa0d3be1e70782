#pragma once

namespace Platform {

constexpr int kTwipsPerInch = 1440;

// Dots per inch of the screen the program is drawn on.
int ScreenDpi();

int TwipsToPixels(int twips, int dpi);

}  // namespace Platform
