#pragma once
#include "platform/window_handle.h"

namespace Module1 {

// Keeps the window above every window that is not topmost itself.
void KeepOnTop(WindowHandle window);

// Lets the user drag the window with the mouse button that is held now;
// returns once that button is released.
void DragByTitle(WindowHandle window);

}  // namespace Module1
