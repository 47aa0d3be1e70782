#include "app/pause.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace {

int timerTicks = 0;

void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) {
  ++timerTicks;
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
