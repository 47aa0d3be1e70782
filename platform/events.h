#pragma once

namespace Platform {

// Returns when a message is waiting, even one already looked at, or after the
// given seconds.
void WaitForEvents(double seconds);

// Handles every pending message, then returns. Returns false once the program
// is quitting; the quit message is put back so every enclosing loop sees it too.
bool DispatchPendingEvents();

// The program's message loop; returns the exit code the quit message carries.
int RunMessageLoop();

}  // namespace Platform
