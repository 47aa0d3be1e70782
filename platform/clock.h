#pragma once

namespace Platform {

// Seconds on a monotonic clock: unaffected by midnight or changes of the wall-clock time.
double ClockSeconds();

// Asks the system timer to tick every millisecond, so that waits end within a
// millisecond of their time instead of up to a whole 15.6 ms tick late. True
// when granted; each grant is ended by EndFineTimer.
bool BeginFineTimer();
void EndFineTimer();

}  // namespace Platform
