// The benchmark's yardstick: the least a Win32 program can do that tøøfel does
// too — create one window of the same size and show it. It exits as soon as the
// window is shown, with its peak working set in KiB as its exit code.
#include <windows.h>

#include <psapi.h>

namespace {

constexpr int kClientWidthTwips = 1620;
constexpr int kClientHeightTwips = 4290;
constexpr DWORD kStyle = WS_POPUP | WS_BORDER;
constexpr UINT kShown = WM_APP;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SHOWWINDOW && wParam) PostMessageW(window, kShown, 0, 0);
  // Ends without destroying the window first: under X without a window manager
  // that costs Wine a two-second wait, which tøøfel's measurement has no part of.
  if (message == kShown) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"toofel-baseline";
  RegisterClassW(&windowClass);
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  RECT frame{0, 0, MulDiv(kClientWidthTwips, dpi, 1440), MulDiv(kClientHeightTwips, dpi, 1440)};
  AdjustWindowRect(&frame, kStyle, FALSE);
  const HWND window = CreateWindowW(L"toofel-baseline", L"baseline", kStyle, 40, 40, frame.right - frame.left,
                                    frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  ShowWindow(window, show);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  return static_cast<int>(memory.PeakWorkingSetSize / 1024);
}
