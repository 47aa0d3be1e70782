#include <gtest/gtest.h>

#include "driver.h"

namespace {

std::vector<LPARAM> keyDowns;

LRESULT CALLBACK RecordKeyDowns(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) keyDowns.push_back(lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

// The driver's keys as a window of the test's own receives them: those between the main keys and
// the keypad with the E0 prefix that tells them from the keypad's, which NumLock turns into digits.
TEST(Keyboard, KeysComeWithTheirScanCodesAndTheNavigationBlockAsExtendedKeys) {
  const WNDCLASSW windowClass{0, RecordKeyDowns, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"keys test"};
  RegisterClassW(&windowClass);
  const HWND window = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 99,
                                      99, nullptr, nullptr, nullptr, nullptr);
  TakesInput(window);
  BringToFront(window);  // which gives it the focus
  const std::vector<WORD> keys = {VK_HOME, VK_END,  VK_PRIOR,  VK_NEXT,   VK_LEFT,  VK_RIGHT,
                                  VK_UP,   VK_DOWN, VK_INSERT, VK_DELETE, VK_SHIFT, VK_RETURN};
  constexpr size_t kExtended = 10;  // the first ten
  for (const WORD key : keys) PressKeys({key});
  WaitUntil([&] {
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
    return keyDowns.size() >= keys.size();
  });
  ASSERT_EQ(keyDowns.size(), keys.size());
  for (size_t at = 0; at < keys.size(); ++at) {
    EXPECT_EQ((HIWORD(keyDowns[at]) & KF_EXTENDED) != 0, at < kExtended) << keys[at];
    EXPECT_EQ(HIWORD(keyDowns[at]) & 0xFFu, MapVirtualKeyW(keys[at], MAPVK_VK_TO_VSC)) << keys[at];
  }
  DestroyWindow(window);
}

}  // namespace
