// The benchmark's floor for start-up: tøøfel's window with the same controls,
// fonts and list contents, made in the plainest way and nothing else — no
// handlers, settings or chat link. It exits as soon as the window is shown,
// with its peak working set in KiB as its exit code.
#include "yardstick.h"

#include <string>
#include <vector>

#include "app/command_reference.h"
#include "platform/file_list.h"
#include "platform/screen.h"

namespace {

constexpr wchar_t kClass[] = L"toofel-floor";
constexpr int kClientWidthTwips = 1620;
constexpr int kClientHeightTwips = 4290;
constexpr DWORD kStyle = WS_POPUP | WS_BORDER;
constexpr DWORD kExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT | WS_EX_TOPMOST;
constexpr DWORD kListStyle = WS_TABSTOP | WS_VSCROLL | LBS_NOSEL | LBS_NOINTEGRALHEIGHT;
constexpr DWORD kTextStyle = WS_TABSTOP | ES_AUTOHSCROLL;

enum Parent { kWindow, kTitleStrip, kFrame };
enum Font { kStandard, kTitle };

struct Control {
  const wchar_t* className;
  const wchar_t* text;
  DWORD style, exStyle;
  Parent parent;
  int left, top, width, height;
  Font font;
};

// In tøøfel's order of creation; the title strip, frame and two lists are looked up by position.
constexpr Control kControls[] = {
    {L"STATIC", L"", 0, WS_EX_CONTROLPARENT, kWindow, 0, 0, 1600, 195, kStandard},
    {L"STATIC", L" t\u00F8\u00F8fel mp3's", SS_NOTIFY | SS_LEFTNOWORDWRAP, 0, kTitleStrip, 0, -10, 1575, 255, kTitle},
    {L"BUTTON", L"", BS_GROUPBOX, WS_EX_CONTROLPARENT, kWindow, 0, 130, 1625, 1295, kStandard},
    {L"LISTBOX", L"", kListStyle, WS_EX_CLIENTEDGE, kFrame, 40, 120, 1540, 420, kTitle},
    {L"LISTBOX", L"", kListStyle, WS_EX_CLIENTEDGE, kFrame, 30, 520, 1555, 450, kTitle},
    {L"LISTBOX", L"", kListStyle, WS_EX_CLIENTEDGE, kWindow, 120, 1920, 735, 450, kStandard},
    {L"EDIT", L"", kTextStyle, WS_EX_CLIENTEDGE, kWindow, 120, 1560, 735, 285, kStandard},
    {L"EDIT", L"", kTextStyle, WS_EX_CLIENTEDGE, kFrame, 40, 960, 1540, 285, kTitle},
    {L"STATIC", L"", SS_ETCHEDFRAME, 0, kWindow, 120, 2640, 975, 255, kStandard},
    {L"STATIC", L"", SS_ETCHEDFRAME, 0, kWindow, 120, 3360, 975, 495, kStandard},
    {L"EDIT", L"#0080c0", kTextStyle, WS_EX_CLIENTEDGE, kWindow, 1080, 2520, 615, 285, kStandard},
};
constexpr int kTitleStripIndex = 0;
constexpr int kFrameIndex = 2;
constexpr int kCommandListIndex = 3;
constexpr int kFileListIndex = 4;

HFONT MakeFont(int centipoints, int dpi) {
  return CreateFontW(-MulDiv(centipoints, dpi, 7200), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Microsoft Sans Serif");
}

void MakeControls(HWND window, int dpi) {
  const HFONT fonts[] = {MakeFont(800, dpi), MakeFont(675, dpi)};
  HWND made[sizeof kControls / sizeof kControls[0]] = {};
  int index = 0;
  for (const Control& control : kControls) {
    const HWND parent = control.parent == kTitleStrip ? made[kTitleStripIndex]
                        : control.parent == kFrame    ? made[kFrameIndex]
                                                      : window;
    auto pixels = [dpi](int twips) { return Platform::TwipsToPixels(twips, dpi); };
    made[index] = CreateWindowExW(control.exStyle, control.className, control.text,
                                  WS_CHILD | WS_VISIBLE | control.style, pixels(control.left), pixels(control.top),
                                  pixels(control.width), pixels(control.height), parent, nullptr, nullptr, nullptr);
    SendMessageW(made[index++], WM_SETFONT, reinterpret_cast<WPARAM>(fonts[control.font]), FALSE);
  }
  for (const wchar_t* line : Form1::kCommandReference)
    SendMessageW(made[kCommandListIndex], LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
  Platform::FillFileList(made[kFileListIndex], L".mp3");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = QuitOnceShown;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClass;
  RegisterClassW(&windowClass);
  const int dpi = Platform::ScreenDpi();
  RECT frame{0, 0, Platform::TwipsToPixels(kClientWidthTwips, dpi), Platform::TwipsToPixels(kClientHeightTwips, dpi)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const HWND window = CreateWindowExW(kExStyle, kClass, L"floor", kStyle, 40, 40, frame.right - frame.left,
                                      frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  MakeControls(window, dpi);
  ShowWindow(window, show);
  return RunUntilShown();
}
