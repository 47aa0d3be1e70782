#include "platform/clock.h"

#include <windows.h>

#include <mmsystem.h>

#include "platform/system_library.h"

namespace Platform {
namespace {

constexpr UINT kFineTimerMs = 1;

// winmm's two calls for the system timer. winmm is loaded on the first pause,
// from the system folder only: Windows would look beside the program first
// for an import of it.
struct SystemTimer {
  decltype(&timeBeginPeriod) begin;
  decltype(&timeEndPeriod) end;
};

const SystemTimer& Winmm() {
  static const SystemTimer timer = [] {
    const HMODULE winmm = LoadSystemLibrary(L"winmm.dll");
    return SystemTimer{FindFunction<decltype(&timeBeginPeriod)>(winmm, "timeBeginPeriod"),
                       FindFunction<decltype(&timeEndPeriod)>(winmm, "timeEndPeriod")};
  }();
  return timer;
}

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
  const SystemTimer& timer = Winmm();
  return timer.begin && timer.end && timer.begin(kFineTimerMs) == TIMERR_NOERROR;
}

void EndFineTimer() {
  Winmm().end(kFineTimerMs);
}

}  // namespace Platform
