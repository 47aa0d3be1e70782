#include "app/pause.h"

#include "platform/clock.h"
#include "platform/events.h"

namespace Module1 {
namespace {

// A wait can end up to one tick of the system timer late: 15.6 ms unless some
// program asks for finer. The pause asks for 1 ms while it runs, so only its
// last 2 ms are polled; should Windows refuse, its last whole tick is.
constexpr double kPolledSecondsFine = 0.002;
constexpr double kPolledSecondsCoarse = 0.016;

// Handles events until the clock has passed the deadline or the program quits.
void HandleEventsUntil(double deadline, double polledSeconds, HANDLE alsoWakeOn) {
  while (Platform::ClockSeconds() < deadline) {
    if (!Platform::DispatchPendingEvents()) return;
    const double left = deadline - Platform::ClockSeconds();
    if (left > polledSeconds) Platform::WaitForEvents(left - polledSeconds, alsoWakeOn);
  }
}

}  // namespace

void PauseSeconds(double seconds, HANDLE alsoWakeOn) {
  const double deadline = Platform::ClockSeconds() + seconds;
  const bool fineTimer = Platform::BeginFineTimer();
  HandleEventsUntil(deadline, fineTimer ? kPolledSecondsFine : kPolledSecondsCoarse, alsoWakeOn);
  if (fineTimer) Platform::EndFineTimer();
}

}  // namespace Module1
