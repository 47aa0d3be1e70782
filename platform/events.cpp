#include "platform/events.h"

#include <windows.h>

#include <algorithm>

#include "platform/clock.h"

namespace Platform {
namespace {

// The wake bits Windows XP knows. Windows 7 and earlier fail a wait whose mask
// holds a newer one (QS_TOUCH and QS_POINTER came with Windows 8), and Wine
// does not check the mask, so this is checked here, against the headers of the
// Windows the build is for.
constexpr UINT kXpWakeBits = QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_POSTMESSAGE | QS_TIMER | QS_PAINT |
                             QS_SENDMESSAGE | QS_HOTKEY | QS_ALLPOSTMESSAGE | QS_RAWINPUT;
constexpr UINT kWakeMask = QS_ALLINPUT;
static_assert((kWakeMask & ~kXpWakeBits) == 0, "the wake mask holds bits Windows XP does not know");

// A message that comes while a failed wait sleeps instead waits at most this long.
constexpr DWORD kFailedWaitSliceMs = 10;

// The window the message loop is handing a window key to, and the key, until the window asks.
HWND windowKeyReceiver = nullptr;
WPARAM windowKeyHandedOut = 0;

bool IsHeld(int key) {
  return GetKeyState(key) < 0;
}

// The window key the message presses; false when it presses none.
bool IsWindowKey(const MSG& message, WindowKey& key) {
  if (message.message != WM_KEYDOWN) return false;
  if (message.wParam == VK_TAB) {
    key = IsHeld(VK_SHIFT) ? WindowKey::ShiftTab : WindowKey::Tab;
    return true;
  }
  key = WindowKey::CtrlEnter;
  return message.wParam == VK_RETURN && IsHeld(VK_CONTROL);
}

// The send reaches the window's procedure directly, on this thread, before any
// other program's message can, so the window finds its key still handed out.
bool OfferWindowKey(HWND root, WindowKey key) {
  windowKeyReceiver = root;
  windowKeyHandedOut = static_cast<WPARAM>(key);
  const bool taken = SendMessageW(root, kWindowKeyMessage, windowKeyHandedOut, 0) != 0;
  windowKeyReceiver = nullptr;
  return taken;
}

// Keyboard navigation goes through the dialog manager, unless the window takes the key first.
void Handle(MSG& message) {
  const HWND root = GetAncestor(message.hwnd, GA_ROOT);
  WindowKey key;
  if (root && IsWindowKey(message, key)) {
    if (key == WindowKey::CtrlEnter && IsKeyRepeat(message)) return;
    if (OfferWindowKey(root, key)) return;
  }
  if (root && IsDialogMessageW(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace

bool IsKeyRepeat(const MSG& message) {
  return (HIWORD(message.lParam) & KF_REPEAT) != 0;
}

bool IsOwnWindowKey(HWND window, WPARAM key) {
  const bool own = window == windowKeyReceiver && key == windowKeyHandedOut;
  windowKeyReceiver = nullptr;
  return own;
}

bool DispatchPendingEvents(double budgetSeconds) {
  const double spentAt = ClockSeconds() + budgetSeconds;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    Handle(message);
    if (ClockSeconds() >= spentAt) break;
  }
  return true;
}

void WaitForEvents(double seconds, HANDLE alsoWakeOn) {
  const DWORD milliseconds = seconds > 0 ? static_cast<DWORD>(seconds * 1000) : 0;
  const DWORD result =
      MsgWaitForMultipleObjectsEx(alsoWakeOn ? 1 : 0, &alsoWakeOn, milliseconds, kWakeMask, MWMO_INPUTAVAILABLE);
  // Should the wait fail anyway, a plain sleep of one short slice stands in for
  // it: the caller handles the messages that came meanwhile and comes back, so
  // input waits at most a slice and nothing spins.
  if (result == WAIT_FAILED) Sleep(std::min(milliseconds, kFailedWaitSliceMs));
}

bool HandleEventsUntil(double deadline, double polledSeconds, HANDLE alsoWakeOn) {
  while (ClockSeconds() < deadline) {
    if (!DispatchPendingEvents(deadline - ClockSeconds())) return false;
    const double left = deadline - ClockSeconds();
    if (left > polledSeconds) WaitForEvents(left - polledSeconds, alsoWakeOn);
  }
  return true;
}

int RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) Handle(message);
  return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 1;
}

}  // namespace Platform
