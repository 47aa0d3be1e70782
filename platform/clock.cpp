#include "platform/clock.h"

#include <windows.h>

#include <mmsystem.h>

namespace Platform {
namespace {

constexpr UINT kFineTimerMs = 1;

}  // namespace

double ClockSeconds() {
  static const double ticksPerSecond = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticksPerSecond;
}

bool BeginFineTimer() {
  return timeBeginPeriod(kFineTimerMs) == TIMERR_NOERROR;
}

void EndFineTimer() {
  timeEndPeriod(kFineTimerMs);
}

}  // namespace Platform
