#pragma once
#include <gtest/gtest.h>

#include "driver.h"
#include "expected_lines.h"

// tøøfel beside the chat-room simulator, each a process of its own: the start
// folder holds three mp3 files and a text file, the program folder the given
// settings. Every test ends with a close that must exit with code 0.
class Desktop : public ::testing::Test {
 protected:
  void StartBoth(const std::wstring& rooms, const char* settings = kStoredSettings) {
    for (const wchar_t* name : {L"b.mp3", L"A.mp3", L"c.mp3", L"notes.txt"}) WriteBytes(start.File(name), "");
    if (settings) WriteBytes(program.File(L"info.ini"), settings);
    log = start.File(L"chat.log");
    sim = StartChatSim(log, rooms, chatSimExe);
    StartToofel();
  }

  void StartToofel() {
    toofel = ::StartToofel(program.path, start.path, toofelExe);
    ASSERT_NE(toofel.window, nullptr);
  }

  void TearDown() override {
    if (toofel.process.handle) {
      CloseLikeTheTaskbar(toofel.window);
      EXPECT_EQ(WaitForExit(toofel.process), 0u);
      EndProcess(toofel.process);
    }
    EndProcess(sim);
  }

  std::vector<ChatRecord> WaitForLines(size_t count) {
    std::vector<ChatRecord> lines;
    WaitUntil([&] { return (lines = ReadChatLog(log)).size() >= count; });
    return lines;
  }

  std::string StoredSettings() const { return ReadBytes(program.File(L"info.ini")); }

  // The builds StartBoth starts; a test may take one from the other build.
  std::wstring toofelExe = BuiltProgram(L"toofel.exe");
  std::wstring chatSimExe = BuiltProgram(L"chat-sim.exe");
  TempFolder program, start;
  std::wstring log;
  Process sim;
  Toofel toofel;
};
