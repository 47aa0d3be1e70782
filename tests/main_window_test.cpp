#include <array>

#include "app/form1.h"
#include "desktop_fixture.h"
#include "platform/input_dialog.h"
#include "platform/screen.h"

namespace {

// clang-format off
const std::vector<std::wstring> kCommandReference = {L"p (mp3) - plays mp3", L"stop - stops the mp3",
    L"pause - pauses mp3", L"unpuase - unpause mp3", L"playing - get what mp3 you're listening to",
    L"count - counts the mp3's in your current firectory", L"r - random mp3", L"dir (directory) - sets directory",
    L"handle (handle) - sets handle", L"handle? - gets current handle", L"color - changes ascii color",
    L"exit - exits toofel"};
// clang-format on

// Started at 150 % under Wine, which applies the setting to programs started
// after it changes; Windows applies it only at the next logon, so there the
// screen's own is taken. The screen's DPI is read at start. The keyboard order crosses
// the frame twice: its lists, the window's list and screen name, the frame's
// directory, then the colour. Alt+Space opens no system menu, so the keys after
// it reach the field: a menu would take the "m" for Move and the arrow key would
// move the window.
TEST(MainWindow, OpensWithItsContentAtTheScreensDpiAndTakesKeysInItsOrder) {
  TempFolder program, start;
  for (const wchar_t* name : {L"b.mp3", L"A.mp3", L"c.mp3", L"notes.txt", L"song.mp3.txt"})
    WriteBytes(start.File(name), "");
  CreateDirectoryW(start.File(L"folder.mp3").c_str(), nullptr);
  constexpr DWORD at150Percent = 144;
  const DWORD saved = ScreenDpiSetting();
  if (RunsUnderWine()) SetScreenDpiSetting(at150Percent);
  Toofel toofel = StartToofel(program.path, start.path);
  if (RunsUnderWine()) SetScreenDpiSetting(saved ? saved : 96);  // 96 where nothing was set
  ASSERT_NE(toofel.window, nullptr);
  const int dpi = RunsUnderWine() ? at150Percent : Platform::WindowDpi(toofel.window);
  EXPECT_EQ(ListItems(toofel.coms), kCommandReference);
  EXPECT_EQ(ListItems(toofel.file1), (std::vector<std::wstring>{L"A.mp3", L"b.mp3", L"c.mp3"}));
  EXPECT_TRUE(IsWindowVisible(toofel.file1));  // filled with its drawing switched off
  EXPECT_TRUE(ListItems(toofel.list1).empty());
  EXPECT_EQ(TextOf(toofel.color), L"#0080c0");
  EXPECT_EQ(TextOf(toofel.handle), L"");
  EXPECT_EQ(TextOf(toofel.mp3dir), L"");
  EXPECT_EQ(TextOf(toofel.label), L" t\u00F8\u00F8fel mp3's");
  const std::pair<HWND, const wchar_t*> named[] = {{toofel.handle, L"screen name"}, {toofel.mp3dir, L"mp3 directory"},
                                                   {toofel.color, L"colour"},       {toofel.coms, L"chat commands"},
                                                   {toofel.file1, L"mp3 files"},    {toofel.list1, L"second list"}};
  for (const auto& [control, name] : named) EXPECT_EQ(AccessibleName(control), name);
  EXPECT_TRUE(GetWindowLongW(toofel.window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_NE(GetWindowLongW(toofel.window, GWL_STYLE) & WS_CAPTION, static_cast<LONG>(WS_CAPTION));
  RECT client{};
  GetClientRect(toofel.window, &client);
  EXPECT_EQ(client.right, MulDiv(1620, dpi, 1440));
  EXPECT_EQ(client.bottom, MulDiv(4290, dpi, 1440));

  BringToFront(toofel.window);
  PressAndRelease(toofel.handle, Button::Left);
  const HWND order[] = {toofel.handle, toofel.mp3dir, toofel.color, toofel.coms, toofel.file1, toofel.list1};
  for (int step = 1; step <= 12; ++step) {  // six forwards, then six back
    step <= 6 ? PressKeys({VK_TAB}) : PressKeys({VK_SHIFT, VK_TAB});
    const HWND expected = order[(step <= 6 ? step : 12 - step) % 6];
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl(toofel.window) == expected; }, 3000)) << "step " << step;
  }
  PressKeys({VK_MENU, VK_SPACE});
  TypeText(L"m");
  PressKeys({VK_LEFT});
  PressKeys({VK_RETURN});
  TypeText(L"x");
  EXPECT_TRUE(WaitUntil([&] { return TextOf(toofel.handle) == L"xm"; }, 3000)) << TextOf(toofel.handle).size();
  PressKeys({VK_MENU, VK_F4});
  EXPECT_EQ(WaitForExit(toofel.process, 5000), 0u);
  EndProcess(toofel.process);
}

// A control's place in twips inside its container, and its font's size in centipoints.
struct ControlSpot {
  HWND control;
  int left, top, width, height, centipoints;
};

LONG FontHeight(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight;
}

// A question's font height and client width, read in the dialog's own loop, which then closes it.
constexpr wchar_t kQuestionCaption[] = L"question at a DPI";
std::array<LONG, 2> shownQuestion;

void CALLBACK ReadAndCloseQuestion(HWND, UINT, UINT_PTR, DWORD) {
  const HWND dialog = FindWindowW(L"#32770", kQuestionCaption);
  if (!dialog) return;
  RECT client;
  GetClientRect(dialog, &client);
  shownQuestion = {FontHeight(FindWindowExW(dialog, nullptr, L"Edit", nullptr)), client.right};
  EndDialog(dialog, IDCANCEL);
}

std::array<LONG, 2> AskAt(HWND owner, int dpi) {
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, ReadAndCloseQuestion);
  Platform::AskForText(owner, dpi, kQuestionCaption, L"?");
  KillTimer(nullptr, timer);
  return shownQuestion;
}

// WM_DPICHANGED, which Windows 8.1 and later send.
constexpr UINT kDpiChanged = 0x02E0;

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
  const int screenDpi = Platform::ScreenDpi();
  const LONG questionWidth = AskAt(window, screenDpi)[1];  // as the dialog manager lays it out
  for (int change = 0; change < 10; ++change) {
    const int dpi = change % 2 ? 96 : 144;
    const auto pixels = [&](int twips) { return MulDiv(twips, dpi, 1440); };
    SCOPED_TRACE(change);
    const HFONT oldFonts[] = {reinterpret_cast<HFONT>(SendMessageW(toofel.label, WM_GETFONT, 0, 0)),
                              reinterpret_cast<HFONT>(SendMessageW(toofel.handle, WM_GETFONT, 0, 0))};
    RECT suggested{100 + change, 50, 300, 500};  // only the position is taken
    SendMessageW(window, kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    EXPECT_EQ((std::array<LONG, 4>{frame.left, frame.top, client.right, client.bottom}),
              (std::array<LONG, 4>{suggested.left, suggested.top, pixels(1620), pixels(4290)}));
    for (const ControlSpot& spot : spots) {
      RECT at;
      GetWindowRect(spot.control, &at);
      MapWindowPoints(nullptr, GetParent(spot.control), reinterpret_cast<POINT*>(&at), 2);
      EXPECT_EQ(
          (std::array<LONG, 5>{at.left, at.top, at.right - at.left, at.bottom - at.top, FontHeight(spot.control)}),
          (std::array<LONG, 5>{pixels(spot.left), pixels(spot.top), pixels(spot.width), pixels(spot.height),
                               -MulDiv(spot.centipoints, dpi, 7200)}))
          << "control at " << spot.left << "," << spot.top;
    }
    for (const HFONT old : oldFonts) EXPECT_EQ(GetObjectType(old), 0u);
    if (change == 0) {
      EXPECT_EQ(AskAt(window, dpi), (std::array<LONG, 2>{-MulDiv(8, dpi, 72), MulDiv(questionWidth, dpi, screenDpi)}));
    }
  }
  DestroyWindow(window);
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the window's end would end a message loop
}

// Keys posted into a question's own loop: an Enter in its first moment
// neither answers nor stops the typing after it; one after the moment answers.
// The first keys go the moment the question itself has shown (its field shows
// before it), as stamped on posting, however late the loop then takes them.
HHOOK questionShown = nullptr;
DWORD questionShownAt = 0;

HWND QuestionField() {
  return FindWindowExW(FindWindowW(L"#32770", kQuestionCaption), nullptr, L"Edit", nullptr);
}

LRESULT CALLBACK TypeOnceShown(int code, WPARAM wParam, LPARAM lParam) {
  const CWPRETSTRUCT& sent = *reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  const HWND question = FindWindowW(L"#32770", kQuestionCaption);
  if (code == HC_ACTION && sent.message == WM_SHOWWINDOW && sent.wParam && sent.hwnd == question && !questionShownAt) {
    questionShownAt = GetTickCount();
    PostMessageW(QuestionField(), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(QuestionField(), WM_CHAR, L'a', 0);
  }
  return CallNextHookEx(questionShown, code, wParam, lParam);
}

void CALLBACK AnswerAfterTheMoment(HWND, UINT, UINT_PTR, DWORD) {
  if (questionShownAt && GetTickCount() - questionShownAt > Platform::kQuestionUnreadMs + 50)
    PostMessageW(QuestionField(), WM_KEYDOWN, VK_RETURN, 0);
}

TEST(Question, AnEnterInItsFirstMomentNeitherAnswersNorStopsTyping) {
  questionShown = SetWindowsHookExW(WH_CALLWNDPROCRET, TypeOnceShown, nullptr, GetCurrentThreadId());
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, AnswerAfterTheMoment);
  EXPECT_EQ(Platform::AskForText(nullptr, 96, kQuestionCaption, L"?"), L"a");
  KillTimer(nullptr, timer);
  UnhookWindowsHookEx(questionShown);
}

}  // namespace
