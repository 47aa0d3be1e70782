#include "app/pause.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace {

int timerTicks = 0;

void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) {
  ++timerTicks;
}

constexpr UINT kProbe = WM_APP + 1;
int probesHandled = 0;

LRESULT CALLBACK QuitOnProbe(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kProbe) return DefWindowProcW(window, message, wParam, lParam);
  ++probesHandled;
  PostQuitMessage(3);
  return 0;
}

// Posts to the waiting thread from outside while it waits.
DWORD WINAPI PostProbeSoon(LPVOID window) {
  Sleep(100);
  PostMessageW(static_cast<HWND>(window), kProbe, 0, 0);
  return 0;
}

}  // namespace

TEST(Pause, HandlesEventsWhileWaiting) {
  timerTicks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, CountTick);
  const double start = Platform::ClockSeconds();
  Module1::PauseSeconds(0.5);
  const double elapsed = Platform::ClockSeconds() - start;
  KillTimer(nullptr, timer);
  EXPECT_GE(elapsed, 0.5);
  EXPECT_GE(timerTicks, 3);
}

// The wait sleeps, but a message from outside wakes it: here one that quits, which ends the pause.
TEST(Pause, WakesForAMessagePostedWhileItWaits) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = QuitOnProbe;
  windowClass.lpszClassName = L"pause-probe";
  RegisterClassW(&windowClass);
  const HWND window = CreateWindowW(L"pause-probe", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  probesHandled = 0;
  const HANDLE poster = CreateThread(nullptr, 0, PostProbeSoon, window, 0, nullptr);
  const double start = Platform::ClockSeconds();
  Module1::PauseSeconds(30);
  EXPECT_LT(Platform::ClockSeconds() - start, 10);
  EXPECT_EQ(probesHandled, 1);
  MSG message;
  EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  WaitForSingleObject(poster, INFINITE);
  CloseHandle(poster);
  DestroyWindow(window);
}

TEST(Pause, EndsAtOnceWhenTheProgramQuitsAndKeepsTheQuit) {
  PostQuitMessage(7);
  const double start = Platform::ClockSeconds();
  Module1::PauseSeconds(30);
  EXPECT_LT(Platform::ClockSeconds() - start, 10);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 7u);
}
