#pragma once

namespace Platform {

// Seconds on a monotonic clock: unaffected by midnight or changes of the wall-clock time.
double ClockSeconds();

}  // namespace Platform
