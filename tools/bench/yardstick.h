#pragma once
// What the benchmark's yardsticks share: they end as soon as their window is
// shown and report their peak working set in KiB as the exit code.
#include <windows.h>

#include <psapi.h>

constexpr UINT kYardstickShown = WM_APP;

inline LRESULT CALLBACK QuitOnceShown(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SHOWWINDOW && wParam) PostMessageW(window, kYardstickShown, 0, 0);
  // Ends without destroying the window first: under X without a window manager
  // that costs Wine a two-second wait, which tøøfel's measurement has no part of.
  if (message == kYardstickShown) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

// Runs the window until it is shown; returns the exit code to end with.
inline int RunUntilShown() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  return static_cast<int>(memory.PeakWorkingSetSize / 1024);
}
