#pragma once

namespace Platform {

// Handles every pending message, then returns. Returns false once the program
// is quitting; the quit message is put back so every enclosing loop sees it too.
bool DispatchPendingEvents();

// The program's message loop; returns the exit code the quit message carries.
int RunMessageLoop();

}  // namespace Platform
