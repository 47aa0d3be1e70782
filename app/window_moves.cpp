#include "app/window_moves.h"

#include <initializer_list>

namespace Module1 {
namespace {

bool IsHeld(int buttonKey) {
  // GetKeyState follows the message queue, so it tells the state at the press being handled.
  return (GetKeyState(buttonKey) & 0x8000) != 0;
}

bool IsButtonRelease(UINT message) {
  return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP || message == WM_XBUTTONUP;
}

// The platform's move loop ends only on a left release, so the other buttons
// get this loop: the window follows the mouse until the button is let go.
// The grabbed spot is kept as a share of the window's size, so that it stays
// under the pointer when the window is drawn at another size on reaching a
// monitor of another DPI.
void FollowMouseUntilReleased(HWND window, int buttonKey) {
  const DWORD pressedAt = GetMessagePos();
  const POINT grab{static_cast<short>(LOWORD(pressedAt)), static_cast<short>(HIWORD(pressedAt))};
  RECT start;
  GetWindowRect(window, &start);
  const SIZE grabbed{grab.x - start.left, grab.y - start.top};
  const SIZE startSize{start.right - start.left, start.bottom - start.top};
  SetCapture(window);
  MSG message;
  // Losing the capture (another program took the mouse) ends the drag too.
  while (GetCapture() == window) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (message.message == WM_MOUSEMOVE) {
      RECT now;
      GetWindowRect(window, &now);
      SetWindowPos(window, nullptr, message.pt.x - MulDiv(grabbed.cx, now.right - now.left, startSize.cx),
                   message.pt.y - MulDiv(grabbed.cy, now.bottom - now.top, startSize.cy), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (IsButtonRelease(message.message) && !IsHeld(buttonKey)) {
      break;
    } else {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  ReleaseCapture();
}

}  // namespace

void KeepOnTop(WindowHandle window) {
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void DragByTitle(WindowHandle window) {
  if (IsHeld(VK_LBUTTON)) {
    ReleaseCapture();
    SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    // A close inside the platform's move loop ends the window there, and the loop
    // takes the quit message meant for the program's own loop.
    if (!IsWindow(window)) PostQuitMessage(0);
    return;
  }
  for (const int buttonKey : {VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1, VK_XBUTTON2}) {
    if (IsHeld(buttonKey)) {
      FollowMouseUntilReleased(window, buttonKey);
      return;
    }
  }
}

}  // namespace Module1
