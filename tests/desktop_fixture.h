#pragma once
#include <gtest/gtest.h>

#include "driver.h"
#include "expected_lines.h"

inline const std::string kBanner = InCodePage(TOOFEL_BANNER("#0080c0"));
inline const std::string kId = InCodePage(TOOFEL_ID("#0080c0", "tester", "3"));

inline std::vector<std::string> BytesOf(const std::vector<ChatRecord>& lines) {
  std::vector<std::string> bytes;
  for (const ChatRecord& line : lines) bytes.push_back(line.bytes);
  return bytes;
}

// tøøfel beside the chat-room simulator, each a process of its own: the start
// folder holds three mp3 files and three that are not, two of them with short
// names that end in .MP3; the program folder holds the given settings. Every
// test ends with a close that must exit with code 0.
class Desktop : public ::testing::Test {
 protected:
  void StartBoth(const std::wstring& rooms, const char* settings = kStoredSettings) {
    for (const wchar_t* name : {L"b.mp3", L"A.mp3", L"c.mp3", L"notes.txt", L"b.mp3x", L"long name song.mp3a"})
      WriteBytes(start.File(name), "");
    if (settings) WriteBytes(program.File(L"info.ini"), settings);
    log = start.File(L"chat.log");
    sim = StartChatSim(log, rooms, chatSimExe);
    StartToofel();
  }

  void StartToofel() {
    toofel =
        programAt.empty() ? ::StartToofel(program.path, start.path, toofelExe) : StartToofelAt(programAt, start.path);
    ASSERT_NE(toofel.window, nullptr);
  }

  void TearDown() override {
    if (toofel.process.handle) ExpectExitAfter([&] { CloseLikeTheTaskbar(toofel.window); });
    EndProcess(sim);
  }

  // A close while a line waits on a slow client ends once tøøfel's text is out of its field.
  void ExpectExitAfter(const std::function<void()>& close, DWORD timeoutMs = 5000) {
    close();
    EXPECT_EQ(WaitForExit(toofel.process, timeoutMs), 0u);
    EndProcess(toofel.process);
  }

  // Alt+F4 waits in the queue behind the presses; tøøfel takes it with the first events it handles after the
  // first press: while the banner goes out, or in the pause where none can.
  void PressThenCloseByKeyboard(std::initializer_list<Button> presses) {
    BringToFront(toofel.window);
    ExpectExitAfter([&] {
      GiveAtOnce([&] {
        for (const Button button : presses) PressAndRelease(toofel.label, button);
        PressKeys({VK_MENU, VK_F4});
      });
    });
  }

  std::vector<ChatRecord> WaitForLines(size_t count, DWORD timeoutMs = 10000) {
    std::vector<ChatRecord> lines;
    WaitUntil([&] { return (lines = ReadChatLog(log)).size() >= count; }, timeoutMs);
    return lines;
  }

  // Once the simulator has handled everything sent to it before a message of
  // ours, the log holds every line it took; after tøøfel's end, every line sent.
  std::vector<ChatRecord> LinesOnceTheClientCaughtUp() const {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(FindProcessWindow(sim.id, L"AOL Frame25"), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    return ReadChatLog(log);
  }

  // Gives the input while tøøfel's thread stands still, so that all of it waits in its queue, in order.
  void GiveAtOnce(const std::function<void()>& input) {
    const HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(toofel.window, nullptr));
    SuspendThread(thread);
    input();
    ResumeThread(thread);
    CloseHandle(thread);
  }

  std::string StoredSettings() const { return ReadBytes(program.File(L"info.ini")); }

  // The builds StartBoth starts; a test may take one from the other build.
  std::wstring toofelExe = BuiltProgram(L"toofel.exe");
  std::wstring chatSimExe = BuiltProgram(L"chat-sim.exe");
  // A toofel.exe to start where it lies, instead of a copy in the program folder.
  std::wstring programAt;
  TempFolder program, start;
  std::wstring log;
  Process sim;
  Toofel toofel;
};
