#include <gtest/gtest.h>

#include "driver.h"

// The driver gives no input where the test's own programs do not have it. The
// stranger here is a field of the test process, which the driver did not
// start: what it receives shows what was sent.
namespace {

// Handles the test thread's messages until the field holds some text.
std::wstring TextOnceTyped(HWND field) {
  std::wstring text;
  WaitUntil([&] {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    return !(text = TextOf(field)).empty();
  });
  return text;
}

bool HasTheKeyboard(HWND field) {
  return GetForegroundWindow() == field && GetFocus() == field;
}

// Keys and a press refused while another window has the focus; a key typed
// past the driver afterwards is the first the field gets.
TEST(InputSafety, NothingIsSentWhileAWindowTheTestDidNotStartHasTheFocus) {
  const HWND field = CreateWindowExW(WS_EX_TOPMOST, L"Edit", L"", WS_POPUP | WS_VISIBLE | WS_BORDER, 100, 100, 300, 40,
                                     nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(field);
  SetFocus(field);
  // Where the foreground lock keeps the field back, a key past the driver could reach the tester's windows.
  if (!HasTheKeyboard(field)) {
    DestroyWindow(field);
    GTEST_SKIP() << "the system did not give the test's own field the focus";
  }
  EXPECT_THROW(TypeText(L"typed"), InputRefused);
  EXPECT_THROW(PressKeys({'A', VK_RETURN}), InputRefused);
  EXPECT_THROW(HoldKeys({VK_BACK}, 2), InputRefused);
  MoveMouseTo(CenterOf(field));
  EXPECT_THROW(PressButton(Button::Left), InputRefused);
  ASSERT_TRUE(HasTheKeyboard(field));
  INPUT strokes[2] = {};
  for (INPUT& stroke : strokes) {
    stroke.type = INPUT_KEYBOARD;
    stroke.ki.wScan = L'z';
    stroke.ki.dwFlags = KEYEVENTF_UNICODE;
  }
  strokes[1].ki.dwFlags |= KEYEVENTF_KEYUP;
  SendInput(2, strokes, sizeof(INPUT));
  EXPECT_EQ(TextOnceTyped(field), L"z");
  DestroyWindow(field);
}

}  // namespace
