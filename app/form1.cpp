#include "app/form1.h"

#include <algorithm>
#include <array>

#include "app/announcement.h"
#include "app/command_reference.h"
#include "app/pause.h"
#include "app/resources.h"
#include "app/window_moves.h"
#include "chat_link/chat_link.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/file_list.h"
#include "platform/input_dialog.h"
#include "platform/screen.h"
#include "platform/text.h"
#include "settings/kept_settings.h"

namespace Form1 {
namespace {

constexpr wchar_t kWindowClass[] = L"toofel";
constexpr wchar_t kAppTitle[] = L"t\u00F8\u00F8fel";
constexpr wchar_t kTitleCaption[] = L" t\u00F8\u00F8fel mp3's";
constexpr wchar_t kInitialColor[] = L"#0080c0";
constexpr wchar_t kMp3Extension[] = L".mp3";
constexpr wchar_t kFontFace[] = L"Microsoft Sans Serif";
constexpr int kTitleFontCentipoints = 675;
constexpr int kStandardFontCentipoints = 800;
constexpr int kClientWidthTwips = 1620;
constexpr int kClientHeightTwips = 4290;
constexpr int kScreenMarginTwips = 600;
constexpr int kDefaultDpi = 96;
// WM_DPICHANGED, sent from Windows 8.1 on to windows that scale each monitor apart.
constexpr UINT kDpiChangedMessage = 0x02E0;
constexpr double kIdLineDelaySeconds = 0.5;
constexpr wchar_t kHandleKey[] = L"handle";
constexpr wchar_t kDirKey[] = L"dir";
constexpr wchar_t kHandlePrompt[] = L"what is your handle";
constexpr wchar_t kDirPrompt[] = L"what directory would you like to use for your mp3's?";
constexpr wchar_t kHandleWhenNoneGiven[] = L"new";
// No system menu, so Alt+Space offers no keyboard move; Alt+F4 and the taskbar's
// Close still arrive as a close command.
constexpr DWORD kWindowStyle = WS_POPUP | WS_BORDER;
constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

// Left, top, width and height in twips, inside the containing control.
struct Placement {
  int left, top, width, height;
};

// The window and its controls; all null once the window is destroyed.
struct Form {
  HWND window, picture1, label1, frame1, coms, file1, list1, handle, mp3dir, lumoScan1, player, color;
};

Form form{};
HFONT titleFont = nullptr;
HFONT standardFont = nullptr;
int dpi = kDefaultDpi;
WNDPROC labelStandardProc = nullptr;

int Pixels(int twips) {
  return Platform::TwipsToPixels(twips, dpi);
}

HFONT MakeFont(int centipoints) {
  return CreateFontW(-MulDiv(centipoints, dpi, 7200), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, kFontFace);
}

// Placed, and given its font, by LayOutControls.
HWND MakeControl(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, HWND parent) {
  return CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent, nullptr, nullptr,
                         nullptr);
}

// Screen readers name a text box or a list box after the label made just
// before it in the same parent, shown or not; this one never is.
void MakeHiddenLabel(const wchar_t* name, HWND parent) {
  CreateWindowExW(0, L"STATIC", name, WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0, parent, nullptr, nullptr, nullptr);
}

HWND MakeTextBox(const wchar_t* name, const wchar_t* text, HWND parent) {
  MakeHiddenLabel(name, parent);
  return MakeControl(L"EDIT", text, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, parent);
}

// Wine names a list box after its own text, which a list box never shows.
HWND MakeListBox(const wchar_t* name, HWND parent) {
  MakeHiddenLabel(name, parent);
  return MakeControl(L"LISTBOX", name, WS_TABSTOP | WS_VSCROLL | LBS_NOSEL | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE,
                     parent);
}

// The media player and chat-scan controls are never driven; a frame of their size holds their place.
HWND MakePlaceholder(HWND parent) {
  return MakeControl(L"STATIC", L"", SS_ETCHEDFRAME, 0, parent);
}

// Every control's place and font at the current DPI, for the first time and after each change of DPI.
// The placeholders show no text, so they need no font.
void LayOutControls() {
  struct Spot {
    HWND control;
    Placement at;
    HFONT font;
  };
  const Spot spots[] = {
      {form.picture1, {0, 0, 1600, 195}, standardFont},   {form.label1, {0, -10, 1575, 255}, titleFont},
      {form.frame1, {0, 130, 1625, 1295}, standardFont},  {form.coms, {40, 120, 1540, 420}, titleFont},
      {form.file1, {30, 520, 1555, 450}, titleFont},      {form.list1, {120, 1920, 735, 450}, standardFont},
      {form.handle, {120, 1560, 735, 285}, standardFont}, {form.mp3dir, {40, 960, 1540, 285}, titleFont},
      {form.lumoScan1, {120, 2640, 975, 255}, nullptr},   {form.player, {120, 3360, 975, 495}, nullptr},
      {form.color, {1080, 2520, 615, 285}, standardFont},
  };
  for (const Spot& spot : spots) {
    SetWindowPos(spot.control, nullptr, Pixels(spot.at.left), Pixels(spot.at.top), Pixels(spot.at.width),
                 Pixels(spot.at.height), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(spot.control, WM_SETFONT, reinterpret_cast<WPARAM>(spot.font), TRUE);
  }
}

// The window's outer size for the client area's twips at the current DPI.
SIZE WindowSize() {
  RECT frame{0, 0, Pixels(kClientWidthTwips), Pixels(kClientHeightTwips)};
  AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

// Lays the window out again at another DPI, with its top left corner at the given point.
// The controls let go of the old fonts before they are deleted.
void ChangeDpi(int newDpi, POINT topLeft) {
  const HFONT oldFonts[] = {titleFont, standardFont};
  dpi = newDpi;
  titleFont = MakeFont(kTitleFontCentipoints);
  standardFont = MakeFont(kStandardFontCentipoints);
  LayOutControls();
  for (const HFONT font : oldFonts) DeleteObject(font);
  const SIZE size = WindowSize();
  SetWindowPos(form.window, nullptr, topLeft.x, topLeft.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window reached a monitor of another DPI; Windows suggests where it goes.
void OnDpiChanged(WPARAM dpis, const RECT& suggested) {
  ChangeDpi(HIWORD(dpis), {suggested.left, suggested.top});
}

bool IsPress(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

// The second press of a quick double click arrives as a double-click message; it is a press too.
// A press sent from another thread is no user's: the user's are posted. Another program could send
// one from inside the message a line is sent with, and every such press would nest a whole sequence.
LRESULT CALLBACK LabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsPress(message)) {
    if (!InSendMessage()) OnTitlePress();
    return message == WM_XBUTTONDOWN || message == WM_XBUTTONDBLCLK;
  }
  return CallWindowProcW(labelStandardProc, label, message, wParam, lParam);
}

int FileCount() {
  return static_cast<int>(SendMessageW(form.file1, LB_GETCOUNT, 0, 0));
}

// The keyboard order of the fields, across the window and its frame; the dialog
// manager would finish the frame's fields before going on to the window's.
std::array<HWND, 6> TabOrder() {
  return {form.coms, form.file1, form.list1, form.handle, form.mp3dir, form.color};
}

// Tab and Shift+Tab, as the dialog manager moves the focus: a text box it enters is selected whole.
void OnTab(bool backwards) {
  const std::array<HWND, 6> order = TabOrder();
  const auto focused = std::find(order.begin(), order.end(), GetFocus());
  size_t next = backwards ? order.size() - 1 : 0;
  if (focused != order.end()) {
    const size_t at = static_cast<size_t>(focused - order.begin());
    next = (at + (backwards ? order.size() - 1 : 1)) % order.size();
  }
  if (SendMessageW(order[next], WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(order[next], EM_SETSEL, 0, -1);
  SetFocus(order[next]);
}

void OnWindowKey(Platform::WindowKey key) {
  if (key == Platform::WindowKey::CtrlEnter) {
    OnAnnounceKey();
  } else {
    OnTab(key == Platform::WindowKey::ShiftTab);
  }
}

void CreateControls(HWND window) {
  titleFont = MakeFont(kTitleFontCentipoints);
  standardFont = MakeFont(kStandardFontCentipoints);
  form.window = window;
  form.picture1 = MakeControl(L"STATIC", L"", 0, WS_EX_CONTROLPARENT, window);
  form.label1 = MakeControl(L"STATIC", kTitleCaption, SS_NOTIFY | SS_LEFTNOWORDWRAP, 0, form.picture1);
  labelStandardProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(form.label1, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LabelProc)));
  form.frame1 = MakeControl(L"BUTTON", L"", BS_GROUPBOX, WS_EX_CONTROLPARENT, window);
  form.coms = MakeListBox(L"chat commands", form.frame1);
  form.file1 = MakeListBox(L"mp3 files", form.frame1);
  form.mp3dir = MakeTextBox(L"mp3 directory", L"", form.frame1);
  // The placeholders first, so that the hidden labels come after them among the window's children.
  form.lumoScan1 = MakePlaceholder(window);
  form.player = MakePlaceholder(window);
  form.list1 = MakeListBox(L"second list", window);
  form.handle = MakeTextBox(L"screen name", L"", window);
  form.color = MakeTextBox(L"colour", kInitialColor, window);
  LayOutControls();
  Platform::FillFileList(form.file1, kMp3Extension);
}

void OnDestroy() {
  form = {};
  PostQuitMessage(0);
}

void OnFinalDestroy() {
  DeleteObject(titleFont);
  DeleteObject(standardFont);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls(window);
      return 0;
    case Platform::kWindowKeyMessage:
      if (!Platform::IsOwnWindowKey(window, wParam)) break;
      OnWindowKey(static_cast<Platform::WindowKey>(wParam));
      return TRUE;
    case WM_SYSCOMMAND:
      // The platform ignores a close of a window disabled by an open question; closing still ends the program.
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        SendMessageW(window, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    case kDpiChangedMessage:
      OnDpiChanged(wParam, *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_NCDESTROY:
      OnFinalDestroy();
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The window can close during any wait of a press; nothing may run on after that.
bool IsOpen() {
  return form.window != nullptr;
}

}  // namespace

WindowHandle Create(HINSTANCE instance, int show) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TOOFEL));
  // The 16-pixel image of the group, drawn for that size, rather than the large one scaled down.
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TOOFEL), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&windowClass)) return nullptr;

  dpi = Platform::ScreenDpi();
  const SIZE size = WindowSize();
  const POINT topLeft{Pixels(kScreenMarginTwips), Pixels(kScreenMarginTwips)};
  const HWND window = CreateWindowExW(kWindowExStyle, kWindowClass, kAppTitle, kWindowStyle, topLeft.x, topLeft.y,
                                      size.cx, size.cy, nullptr, nullptr, instance, nullptr);
  if (!window) return nullptr;
  // Where each monitor has its own DPI, the one the window opens on need not be the system's.
  const int monitorDpi = Platform::WindowDpi(window);
  if (monitorDpi != dpi) ChangeDpi(monitorDpi, topLeft);
  ShowMainWindow();
  ShowWindow(window, show);
  return window;
}

void ShowMainWindow() {
  Module1::KeepOnTop(form.window);
  for (const wchar_t* line : kCommandReference) {
    SendMessageW(form.coms, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
  }
}

namespace {

// A press during the pause nests a whole announcement inside it, so an
// auto-clicker or a stuck button would nest them until the stack gives out.
// Thirty-two is more than a hand can press within the half seconds, and with
// the few levels of the drag on top it stays below the 64 nested window
// procedures after which Wine stops calling them. A deeper press only drags,
// and a deeper Ctrl+Enter does nothing.
constexpr int kMostNestedAnnouncements = 32;
int announcementsUnderway = 0;
// Events are handled while a line goes out; an announcement then would come
// between the line's text and its Enter, or the draft's return. A press or
// Ctrl+Enter meanwhile announces once the line is done, as one that waited
// in the queue would.
bool lineUnderway = false;
bool announcementOwed = false;

void AnnounceWithinBound();

// The clock reading when the line's Enter went out.
double SendLine(const std::wstring& line) {
  lineUnderway = true;
  const double enterAt = Module1::SendChatLine(line);
  lineUnderway = false;
  if (announcementOwed) {
    announcementOwed = false;
    AnnounceWithinBound();
  }
  return enterAt;
}

void Announce() {
  EnsureSettings();
  if (!IsOpen()) return;
  const double bannerAt = SendLine(BannerLine(Platform::TextOf(form.color)));
  if (!IsOpen()) return;
  // Counted from the banner's Enter: putting the user's draft back takes its share of the wait.
  Module1::PauseSeconds(kIdLineDelaySeconds - (Platform::ClockSeconds() - bannerAt));
  if (!IsOpen()) return;
  SendLine(IdLine(Platform::TextOf(form.color), Platform::TextOf(form.handle), FileCount()));
}

void AnnounceWithinBound() {
  if (!IsOpen() || announcementsUnderway == kMostNestedAnnouncements) return;
  if (lineUnderway) {
    announcementOwed = true;
    return;
  }
  ++announcementsUnderway;
  Announce();
  --announcementsUnderway;
}

}  // namespace

void OnTitlePress() {
  Module1::DragByTitle(form.window);
  AnnounceWithinBound();
}

void OnAnnounceKey() {
  AnnounceWithinBound();
}

void EnsureSettings() {
  using Platform::SetText;
  using Platform::TextOf;
  using Settings::KeepSetting;
  using Settings::ReadSetting;

  SetText(form.handle, ReadSetting(kHandleKey));
  if (TextOf(form.handle).empty()) {
    const std::wstring answer = Platform::AskForText(form.window, dpi, kAppTitle, kHandlePrompt);
    if (!IsOpen()) return;
    // An empty answer is stored too, so the question comes again next time.
    SetText(form.handle, answer.empty() ? kHandleWhenNoneGiven : answer);
    KeepSetting(kHandleKey, answer);
  }
  SetText(form.mp3dir, ReadSetting(kDirKey));
  if (TextOf(form.mp3dir).empty()) {
    const std::wstring answer = Platform::AskForText(form.window, dpi, kAppTitle, kDirPrompt);
    if (!IsOpen()) return;
    SetText(form.mp3dir, answer);
    KeepSetting(kDirKey, answer);
  }
}

}  // namespace Form1
