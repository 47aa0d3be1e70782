#pragma once
#include <windows.h>

#include <limits>

namespace Platform {

// Keys a top-level window is offered before its controls and the dialog manager see them.
enum class WindowKey { Tab, ShiftTab, CtrlEnter };

// Sent to a top-level window with a WindowKey in wParam. A window that acts on
// the key answers nonzero and the key goes no further; for the others the
// dialog manager moves the focus along the order of their child windows on
// Tab, and the focused control takes Ctrl+Enter. The keyboard's repeats of a
// held Ctrl+Enter are no new presses and go nowhere.
constexpr UINT kWindowKeyMessage = WM_APP;

// Whether the window key message the window just received is the one this
// thread's message loop made for a key pressed this moment, as opposed to a
// copy that another program or thread posted or sent. A window asks once, on
// receipt; the answer is true at most once for each key the loop hands out.
bool IsOwnWindowKey(HWND window, WPARAM key);

// A key-down for a key that was already down: the keyboard repeating a held key.
bool IsKeyRepeat(const MSG& message);

// Returns when a message is waiting, even one already looked at, or after the
// given seconds; should the wait fail, after a short sleep instead, so a caller
// that loops never spins. alsoWakeOn is a handle the wait watches too: none in
// the program; the tests pass one that may not be waited on, to make it fail.
void WaitForEvents(double seconds, HANDLE alsoWakeOn = nullptr);

// Handles every pending message, then returns; given a budget, returns once it
// is spent even while more keep coming, so that a stream of input, such as an
// auto-clicker's, cannot hold the caller up for good. Returns false once the
// program is quitting; the quit message is put back so every enclosing loop
// sees it too.
bool DispatchPendingEvents(double budgetSeconds = std::numeric_limits<double>::infinity());

// Handles messages as they come, sleeping in between, until the clock
// (ClockSeconds) has passed the deadline, also while input streams in; the last polledSeconds are polled, for
// a wait that must end on time although a sleep can end up to a timer tick
// late. Returns false, at once, when the program quits. alsoWakeOn goes to
// WaitForEvents.
bool HandleEventsUntil(double deadline, double polledSeconds = 0, HANDLE alsoWakeOn = nullptr);

// The program's message loop; returns the exit code the quit message carries.
int RunMessageLoop();

}  // namespace Platform
