#include "platform/screen.h"

#include "platform/system_library.h"

namespace Platform {
namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// Windows 10 1607 and later; looked up, so that older Windows still load the program.
GetDpiForWindowFunction FindGetDpiForWindow() {
  return FindFunction<GetDpiForWindowFunction>(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
}

}  // namespace

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

int WindowDpi(WindowHandle window) {
  const GetDpiForWindowFunction getDpiForWindow = FindGetDpiForWindow();
  const UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
  return dpi ? static_cast<int>(dpi) : ScreenDpi();
}

int TwipsToPixels(int twips, int dpi) {
  return MulDiv(twips, dpi, kTwipsPerInch);
}

}  // namespace Platform
