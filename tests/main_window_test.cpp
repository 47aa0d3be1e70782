#include <gtest/gtest.h>

#include "app/form1.h"
#include "expected_lines.h"
#include "driver.h"
#include "platform/input_dialog.h"

namespace {

const std::vector<std::wstring> kCommandReference = {
    L"p (mp3) - plays mp3",
    L"stop - stops the mp3",
    L"pause - pauses mp3",
    L"unpuase - unpause mp3",
    L"playing - get what mp3 you're listening to",
    L"count - counts the mp3's in your current firectory",
    L"r - random mp3",
    L"dir (directory) - sets directory",
    L"handle (handle) - sets handle",
    L"handle? - gets current handle",
    L"color - changes ascii color",
    L"exit - exits toofel",
};

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// A simulator left running would hold the test runner's output open and take
// the lines of later tests.
struct Ending {
  Process& process;
  ~Ending() { EndProcess(process); }
};

struct Closing {
  Toofel& toofel;
  ~Closing() {
    CloseLikeTheTaskbar(toofel.window);
    WaitForExit(toofel.process);
    EndProcess(toofel.process);
  }
};

void BringToFront(HWND window) {
  SetForegroundWindow(window);
  WaitUntil([&] { return GetForegroundWindow() == window; });
}

TEST(MainWindow, StartsWithItsInitialContent) {
  TempFolder program, start;
  for (const wchar_t* name : {L"b.mp3", L"A.mp3", L"c.mp3", L"notes.txt", L"song.mp3.txt"})
    WriteBytes(start.File(name), "");
  CreateDirectoryW(start.File(L"folder.mp3").c_str(), nullptr);
  Toofel toofel = StartToofel(program.path, start.path);
  Closing closing{toofel};
  ASSERT_NE(toofel.window, nullptr);

  EXPECT_EQ(ListItems(toofel.coms), kCommandReference);
  EXPECT_EQ(ListItems(toofel.file1), (std::vector<std::wstring>{L"A.mp3", L"b.mp3", L"c.mp3"}));
  EXPECT_TRUE(ListItems(toofel.list1).empty());
  EXPECT_EQ(TextOf(toofel.color), L"#0080c0");
  EXPECT_EQ(TextOf(toofel.handle), L"");
  EXPECT_EQ(TextOf(toofel.mp3dir), L"");
  EXPECT_EQ(TextOf(toofel.label), L" t\u00F8\u00F8fel mp3's");

  EXPECT_TRUE(GetWindowLongW(toofel.window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_NE(GetWindowLongW(toofel.window, GWL_STYLE) & WS_CAPTION, static_cast<LONG>(WS_CAPTION));
  RECT client;
  GetClientRect(toofel.window, &client);
  EXPECT_EQ(client.right, MulDiv(1620, ScreenDpi(), 1440));
  EXPECT_EQ(client.bottom, MulDiv(4290, ScreenDpi(), 1440));
}

// The screen's DPI is read at start, so a changed setting reaches a program started after it.
TEST(MainWindow, SizesItselfAtTheScreensDpi) {
  constexpr DWORD k150Percent = 144;
  const wchar_t* const desktop = L"Control Panel\\Desktop";
  DWORD saved = 0, size = sizeof saved;
  const bool hadSetting =
      RegGetValueW(HKEY_CURRENT_USER, desktop, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &saved, &size) == ERROR_SUCCESS;
  RegSetKeyValueW(HKEY_CURRENT_USER, desktop, L"LogPixels", REG_DWORD, &k150Percent, sizeof k150Percent);
  TempFolder program, start;
  Toofel toofel = StartToofel(program.path, start.path);
  if (hadSetting) {
    RegSetKeyValueW(HKEY_CURRENT_USER, desktop, L"LogPixels", REG_DWORD, &saved, sizeof saved);
  } else {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, desktop, L"LogPixels");
  }
  Closing closing{toofel};
  RECT client{};
  GetClientRect(toofel.window, &client);
  EXPECT_EQ(client.right, 162);
  EXPECT_EQ(client.bottom, 429);
}

// A control's place in twips inside its container, and its font's size in centipoints.
struct ControlSpot {
  HWND control;
  int left, top, width, height, centipoints;
};

int FontHeight(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight;
}

RECT RectInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

constexpr wchar_t kQuestionCaption[] = L"question at a DPI";
struct DialogLook {
  int fontHeight;
  LONG clientWidth;
};
DialogLook shownQuestion;

// Reads the open question and closes it: the dialog's own loop calls this.
void CALLBACK ReadAndCloseQuestion(HWND, UINT, UINT_PTR, DWORD) {
  const HWND dialog = FindWindowW(L"#32770", kQuestionCaption);
  if (!dialog) return;
  RECT client;
  GetClientRect(dialog, &client);
  shownQuestion = {FontHeight(FindWindowExW(dialog, nullptr, L"Edit", nullptr)), client.right};
  EndDialog(dialog, IDCANCEL);
}

DialogLook AskAt(HWND owner, int dpi) {
  shownQuestion = {};
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, ReadAndCloseQuestion);
  Platform::AskForText(owner, dpi, kQuestionCaption, L"?");
  KillTimer(nullptr, timer);
  return shownQuestion;
}

// In this process, sent what Windows sends a window dragged between monitors of 150 % and 100 %.
TEST(MainWindow, FollowsTheDpiOfItsMonitor) {
  const HWND window = Form1::Create(GetModuleHandleW(nullptr), SW_HIDE);
  ASSERT_NE(window, nullptr);
  const Toofel toofel = ToofelOf({}, window);
  const HWND picture1 = GetParent(toofel.label), frame1 = GetParent(toofel.coms);
  const HWND lumoScan1 = FindWindowExW(window, picture1, L"Static", nullptr);
  const HWND player = FindWindowExW(window, lumoScan1, L"Static", nullptr);
  constexpr int kTitle = 675, kStandard = 800, kNoFont = 0;
  const ControlSpot spots[] = {
      {toofel.color, 1080, 2520, 615, 285, kStandard}, {lumoScan1, 120, 2640, 975, 255, kNoFont},
      {toofel.handle, 120, 1560, 735, 285, kStandard}, {toofel.list1, 120, 1920, 735, 450, kStandard},
      {picture1, 0, 0, 1600, 195, kStandard},          {toofel.label, 0, -10, 1575, 255, kTitle},
      {frame1, 0, 130, 1625, 1295, kStandard},         {toofel.mp3dir, 40, 960, 1540, 285, kTitle},
      {toofel.file1, 30, 520, 1555, 450, kTitle},      {toofel.coms, 40, 120, 1540, 420, kTitle},
      {player, 120, 3360, 975, 495, kNoFont},
  };
  const DialogLook questionAt96 = AskAt(window, 96);
  for (int change = 0; change < 10; ++change) {
    const int dpi = change % 2 ? 96 : 144;
    SCOPED_TRACE(change);
    const HFONT oldFonts[] = {reinterpret_cast<HFONT>(SendMessageW(toofel.label, WM_GETFONT, 0, 0)),
                              reinterpret_cast<HFONT>(SendMessageW(toofel.handle, WM_GETFONT, 0, 0))};
    RECT suggested{100 + change, 50, 300, 500};  // only the position is taken
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    const RECT frame = ScreenRectOf(window);
    EXPECT_EQ(frame.left, suggested.left);
    EXPECT_EQ(frame.top, suggested.top);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, MulDiv(1620, dpi, 1440));
    EXPECT_EQ(client.bottom, MulDiv(4290, dpi, 1440));
    for (const ControlSpot& spot : spots) {
      SCOPED_TRACE(testing::Message() << "control at " << spot.left << "," << spot.top);
      const RECT at = RectInParent(spot.control);
      EXPECT_EQ(at.left, MulDiv(spot.left, dpi, 1440));
      EXPECT_EQ(at.top, MulDiv(spot.top, dpi, 1440));
      EXPECT_EQ(at.right - at.left, MulDiv(spot.width, dpi, 1440));
      EXPECT_EQ(at.bottom - at.top, MulDiv(spot.height, dpi, 1440));
      EXPECT_EQ(FontHeight(spot.control), -MulDiv(spot.centipoints, dpi, 7200));
    }
    for (const HFONT old : oldFonts) EXPECT_EQ(GetObjectType(old), 0u);
    if (change == 0) {
      const DialogLook question = AskAt(window, dpi);
      EXPECT_EQ(question.fontHeight, -MulDiv(8, dpi, 72));
      EXPECT_EQ(question.clientWidth, MulDiv(questionAt96.clientWidth, dpi, 96));
    }
  }
  DestroyWindow(window);
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the window's end would end a message loop
}

TEST(MainWindow, AltF4ClosesWithExitCodeZero) {
  TempFolder program, start;
  Toofel toofel = StartToofel(program.path, start.path);
  ASSERT_NE(toofel.window, nullptr);
  BringToFront(toofel.window);
  PressKeys({VK_MENU, VK_F4});
  EXPECT_EQ(WaitForExit(toofel.process), 0u);
  EndProcess(toofel.process);
}

// The keyboard order crosses the frame twice: its lists, the window's list and
// screen name, the frame's directory, then the colour.
TEST(MainWindow, TabAndShiftTabFollowTheKeyboardOrder) {
  TempFolder program, start;
  Toofel toofel = StartToofel(program.path, start.path);
  Closing closing{toofel};
  ASSERT_NE(toofel.window, nullptr);
  BringToFront(toofel.window);
  PressAndRelease(toofel.handle, Button::Left);
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(toofel.window) == toofel.handle; }));
  const HWND forwards[] = {toofel.mp3dir, toofel.color, toofel.coms, toofel.file1, toofel.list1, toofel.handle};
  for (const HWND next : forwards) {
    PressKeys({VK_TAB});
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl(toofel.window) == next; }, 3000));
  }
  const HWND backwards[] = {toofel.list1, toofel.file1, toofel.coms, toofel.color, toofel.mp3dir, toofel.handle};
  for (const HWND next : backwards) {
    PressKeys({VK_SHIFT, VK_TAB});
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl(toofel.window) == next; }, 3000));
  }
}

// Alt+Space opens nothing, so the keys after it reach the field: a system
// menu would take the "m" for Move and the arrow key would move the window.
TEST(MainWindow, AltSpaceBringsUpNoMenuAndTheTaskbarsCloseStillEndsIt) {
  TempFolder program, start;
  Toofel toofel = StartToofel(program.path, start.path);
  ASSERT_NE(toofel.window, nullptr);
  BringToFront(toofel.window);
  PressAndRelease(toofel.handle, Button::Left);
  ASSERT_TRUE(WaitUntil([&] { return FocusedControl(toofel.window) == toofel.handle; }));
  const RECT before = ScreenRectOf(toofel.window);
  PressKeys({VK_MENU, VK_SPACE});
  TypeText(L"m");
  PressKeys({VK_LEFT});
  PressKeys({VK_RETURN});
  TypeText(L"x");
  EXPECT_TRUE(WaitUntil([&] { return TextOf(toofel.handle) == L"xm"; }, 3000)) << TextOf(toofel.handle).size() << " characters in the field";
  EXPECT_EQ(FindProcessWindow(toofel.process.id, L"#32768"), nullptr);
  const RECT after = ScreenRectOf(toofel.window);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  CloseLikeTheTaskbar(toofel.window);
  EXPECT_EQ(WaitForExit(toofel.process), 0u);
  EndProcess(toofel.process);
}

TEST(MainWindow, EmptyStartFolderListsNothingAndCountsZero) {
  TempFolder program, start, logs;
  WriteBytes(program.File(L"info.ini"), kStoredSettings);
  const std::wstring log = logs.File(L"chat.log");
  Process sim = StartChatSim(log, L"tcisr");
  const Ending endingSim{sim};
  Toofel toofel = StartToofel(program.path, start.path);
  Closing closing{toofel};
  EXPECT_TRUE(ListItems(toofel.file1).empty());
  PressAndRelease(toofel.label, Button::Right);
  std::vector<ChatRecord> lines;
  WaitUntil([&] { return (lines = ReadChatLog(log)).size() >= 2; });
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].bytes, TOOFEL_ID("#0080c0", "tester", "0"));
}

}  // namespace
