#include <gtest/gtest.h>

#include "expected_lines.h"
#include "driver.h"

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
