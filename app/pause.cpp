#include "app/pause.h"

#include "platform/clock.h"
#include "platform/events.h"

namespace Module1 {

void PauseSeconds(double seconds) {
  // Polls without sleeping: a sleep would overshoot by a timer tick.
  const double start = Platform::ClockSeconds();
  while (Platform::ClockSeconds() - start < seconds) {
    if (!Platform::DispatchPendingEvents()) return;
  }
}

}  // namespace Module1
