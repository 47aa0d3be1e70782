#pragma once
#include "platform/window_handle.h"

// The main window: a narrow always-on-top strip whose title label announces
// the program in the chat room when pressed.
namespace Form1 {

// Creates the window with its controls, runs the load handler and shows it.
// Returns nullptr when the window cannot be created.
WindowHandle Create(HINSTANCE instance, int show);

// Load handler: runs once, before the window is first shown.
void ShowMainWindow();

// A press of any mouse button on the title label, with any modifier keys and at
// any spot: drag, make sure the settings are known, then announce.
void OnTitlePress();

// Ctrl+Enter with the focus anywhere in the window: the same announcement as
// a press, without the drag.
void OnAnnounceKey();

// Loads the screen name and mp3 directory from where they are kept into their
// fields, asking for each one that is empty and keeping the answer.
void EnsureSettings();

}  // namespace Form1
