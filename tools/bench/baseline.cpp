// The benchmark's yardstick: the least a Win32 program can do that tøøfel does
// too — create one window of the same size and show it. It exits as soon as the
// window is shown, with its peak working set in KiB as its exit code.
#include "yardstick.h"

namespace {

constexpr int kClientWidthTwips = 1620;
constexpr int kClientHeightTwips = 4290;
constexpr DWORD kStyle = WS_POPUP | WS_BORDER;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = QuitOnceShown;
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
  return RunUntilShown();
}
