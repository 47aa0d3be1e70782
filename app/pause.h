#pragma once
#include <windows.h>

namespace Module1 {

// Waits while still handling the user's input, so the window stays responsive
// and a press during the wait runs at once. Ends early when the program quits.
// alsoWakeOn goes to Platform::WaitForEvents: none in the program.
void PauseSeconds(double seconds, HANDLE alsoWakeOn = nullptr);

}  // namespace Module1
