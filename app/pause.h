#pragma once

namespace Module1 {

// Waits while still handling the user's input, so the window stays responsive
// and a press during the wait runs at once. Ends early when the program quits.
void PauseSeconds(double seconds);

}  // namespace Module1
