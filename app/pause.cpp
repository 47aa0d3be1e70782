#include "app/pause.h"

#include "platform/clock.h"
#include "platform/events.h"

namespace Module1 {
namespace {

// A wait can end up to one tick of the system timer late (15.6 ms unless some
// program asks for finer), so only that last stretch is polled.
constexpr double kPolledSeconds = 0.016;

}  // namespace

void PauseSeconds(double seconds, HANDLE alsoWakeOn) {
  const double start = Platform::ClockSeconds();
  while (Platform::ClockSeconds() - start < seconds) {
    if (!Platform::DispatchPendingEvents()) return;
    const double left = seconds - (Platform::ClockSeconds() - start);
    if (left > kPolledSeconds) Platform::WaitForEvents(left - kPolledSeconds, alsoWakeOn);
  }
}

}  // namespace Module1
