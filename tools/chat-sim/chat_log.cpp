#include "chat_log.h"

#include <windows.h>

#include <cstdio>

namespace {

HANDLE log = INVALID_HANDLE_VALUE;

}  // namespace

double CounterMilliseconds() {
  LARGE_INTEGER count;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  // Whole seconds first, so a large counter keeps its sub-millisecond part.
  const long long seconds = count.QuadPart / frequency.QuadPart;
  const long long rest = count.QuadPart % frequency.QuadPart;
  return double(seconds) * 1000.0 + double(rest) * 1000.0 / double(frequency.QuadPart);
}

bool OpenChatLog(const std::wstring& path) {
  // Append-only and shared, so a test can read it while records arrive.
  log = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
  return log != INVALID_HANDLE_VALUE;
}

void CloseChatLog() {
  if (log == INVALID_HANDLE_VALUE) return;
  CloseHandle(log);
  log = INVALID_HANDLE_VALUE;
}

void LogPostedLine(int room, const std::string& line, double postedAtMs) {
  if (log == INVALID_HANDLE_VALUE) return;
  char head[64];
  const int headLength = std::snprintf(head, sizeof head, "%.3f %d %lu ", postedAtMs, room,
                                       static_cast<unsigned long>(line.size()));
  std::string record(head, std::size_t(headLength));
  record += line;
  record += '\n';
  // One unbuffered write per record, so a reader sees it at once.
  DWORD written = 0;
  WriteFile(log, record.data(), DWORD(record.size()), &written, nullptr);
}
