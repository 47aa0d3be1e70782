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

}  // namespace

void PauseSeconds(double seconds, HANDLE alsoWakeOn) {
  const double deadline = Platform::ClockSeconds() + seconds;
  const bool fineTimer = Platform::BeginFineTimer();
  Platform::HandleEventsUntil(deadline, fineTimer ? kPolledSecondsFine : kPolledSecondsCoarse, alsoWakeOn);
  if (fineTimer) Platform::EndFineTimer();
}

}  // namespace Module1
