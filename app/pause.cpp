#include "app/pause.h"

#include <mmsystem.h>

#include "platform/clock.h"
#include "platform/events.h"

namespace Module1 {
namespace {

// A wait can end up to one tick of the system timer late: 15.6 ms unless some
// program asks for finer. The pause asks for the finest, 1 ms, while it runs,
// so only the last 2 ms are polled; should Windows refuse, the last whole tick
// is, as before.
constexpr UINT kFineTimerMs = 1;
constexpr double kPolledSecondsFine = 0.002;
constexpr double kPolledSecondsCoarse = 0.016;

// The finer system timer for as long as it lives.
class FineTimer {
 public:
  FineTimer() : granted_(timeBeginPeriod(kFineTimerMs) == TIMERR_NOERROR) {}
  ~FineTimer() {
    if (granted_) timeEndPeriod(kFineTimerMs);
  }
  FineTimer(const FineTimer&) = delete;
  FineTimer& operator=(const FineTimer&) = delete;
  bool granted() const { return granted_; }

 private:
  const bool granted_;
};

}  // namespace

void PauseSeconds(double seconds, HANDLE alsoWakeOn) {
  const double start = Platform::ClockSeconds();
  const FineTimer timer;
  const double polledSeconds = timer.granted() ? kPolledSecondsFine : kPolledSecondsCoarse;
  while (Platform::ClockSeconds() - start < seconds) {
    if (!Platform::DispatchPendingEvents()) return;
    const double left = seconds - (Platform::ClockSeconds() - start);
    if (left > polledSeconds) Platform::WaitForEvents(left - polledSeconds, alsoWakeOn);
  }
}

}  // namespace Module1
