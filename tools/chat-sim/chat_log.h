#pragma once
// The record of posted lines that tests read while chat-sim runs:
//   <ms> <room> <len> <bytes>\n
// <ms> is the performance counter in milliseconds with three decimals, so it
// compares with the same counter read in other processes.

#include <string>

bool OpenChatLog(const std::wstring& path);
void CloseChatLog();

// Milliseconds on the system-wide performance counter.
double CounterMilliseconds();

// Does nothing when no log is open.
void LogPostedLine(int room, const std::string& line, double postedAtMs);
