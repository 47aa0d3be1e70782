#pragma once
#include "platform/window_handle.h"

namespace Platform {

constexpr int kTwipsPerInch = 1440;

// Dots per inch of the screen as a whole: the system's setting.
int ScreenDpi();

// Dots per inch the window is drawn at: its monitor's on Windows that scale
// each monitor apart, the system's elsewhere.
int WindowDpi(WindowHandle window);

int TwipsToPixels(int twips, int dpi);

}  // namespace Platform
