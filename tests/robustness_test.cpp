#include "desktop_fixture.h"

#include <algorithm>

// Ways the chat client, the user and the settings can misbehave around a
// press; tøøfel must go on working, send nothing wrong and exit cleanly.
namespace {

// A chat client in a thread of this process that, inside the message bringing
// the first line's text, sends a press to tøøfel's title label and notes every
// message that reaches its field meanwhile.
struct PressingPeer {
  HWND label = nullptr;
  bool pressSent = false;
  int arrivedDuringPress = 0;
  bool pressing = false;
  std::vector<std::string> lines;
  volatile LONG lineCount = 0;
  DWORD thread = 0;
};
PressingPeer peer;

LRESULT CALLBACK PeerFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTEXT || message == WM_CHAR) peer.arrivedDuringPress += peer.pressing;
  if (message == WM_SETTEXT && !peer.pressSent) {
    peer.pressSent = peer.pressing = true;
    SendMessageW(peer.label, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageW(peer.label, WM_LBUTTONUP, 0, 0);
    peer.pressing = false;
  }
  if (message == WM_CHAR && wParam == 13) {
    char text[2048] = "";
    GetWindowTextA(field, text, sizeof text);
    peer.lines.push_back(text);
    InterlockedIncrement(&peer.lineCount);
    return 0;
  }
  return DefWindowProcA(field, message, wParam, lParam);
}

HWND MakePeerWindow(const char* className, HWND parent, WNDPROC procedure = DefWindowProcA) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, className, "", parent ? WS_CHILD : WS_OVERLAPPED, 0, 0, 10, 10, parent, nullptr, nullptr,
                         nullptr);
}

DWORD WINAPI RunPeer(LPVOID ready) {
  const HWND frame = MakePeerWindow("AOL Frame25", nullptr);
  const HWND room = MakePeerWindow("AOL Child", MakePeerWindow("MDIClient", frame));
  for (const char* kind : {"RICHCNTLREADONLY", "_AOL_Combobox", "_AOL_Icon", "_AOL_Static"}) MakePeerWindow(kind, room);
  MakePeerWindow("RICHCNTL", room, PeerFieldProc);
  SetEvent(ready);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  DestroyWindow(frame);
  return 0;
}

class Robustness : public Desktop {
 protected:
  // A responsive program answers at once; a hung one would time out.
  bool Responsive() const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(toofel.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
  }

  HWND Room(int number) const {
    const HWND area = FindWindowExW(FindProcessWindow(sim.id, L"AOL Frame25"), nullptr, L"MDIClient", nullptr);
    const std::wstring title = L"Room " + std::to_wstring(number);
    return FindWindowExW(area, nullptr, L"AOL Child", title.c_str());
  }
};

TEST_F(Robustness, RoomClosingDuringThePauseSendsTheIdToTheNextRoom) {
  StartBoth(L"tcisr tcisr");
  const HWND first = Room(1);
  PressAndRelease(toofel.label, Button::Left);
  WaitForLines(1);
  SendMessageW(GetParent(first), WM_MDIDESTROY, reinterpret_cast<WPARAM>(first), 0);
  const auto lines = WaitForLines(2);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].room, 1);
  EXPECT_EQ(lines[1].room, 2);
  EXPECT_EQ(lines[1].bytes, TOOFEL_ID("#0080c0", "tester", "3"));
}

TEST_F(Robustness, ClientGoingAwayLeavesTheProgramWorking) {
  StartBoth(L"tcisr");
  PressAndRelease(toofel.label, Button::Left);
  WaitForLines(1);
  PostMessageW(FindProcessWindow(sim.id, L"AOL Frame25"), WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForExit(sim), 0u);
  PressAndRelease(toofel.label, Button::Right);  // no client at all now
  Sleep(1500);
  EXPECT_TRUE(Responsive());
  EXPECT_EQ(ReadChatLog(log).size(), 1u);
}

// Only another program can send a press, and one sent from inside a line's
// message would nest a whole announcement there, press after press.
TEST_F(Robustness, PressSentByAnotherProgramStartsNothing) {
  for (const wchar_t* name : {L"b.mp3", L"A.mp3", L"c.mp3"}) WriteBytes(start.File(name), "");
  WriteBytes(program.File(L"info.ini"), kStoredSettings);
  StartToofel();
  peer.label = toofel.label;
  const HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const HANDLE thread = CreateThread(nullptr, 0, RunPeer, ready, 0, &peer.thread);
  WaitForSingleObject(ready, 10000);
  PressAndRelease(toofel.label, Button::Left);
  const bool announced = WaitUntil([&] { return peer.lineCount >= 2; });
  PostThreadMessageW(peer.thread, WM_QUIT, 0, 0);
  WaitForSingleObject(thread, 10000);
  CloseHandle(thread);
  CloseHandle(ready);
  ASSERT_TRUE(announced);
  EXPECT_TRUE(peer.pressSent);
  EXPECT_EQ(peer.arrivedDuringPress, 0);
  EXPECT_EQ(peer.lines, (std::vector<std::string>{TOOFEL_BANNER("#0080c0"), TOOFEL_ID("#0080c0", "tester", "3")}));
}

TEST_F(Robustness, RoomWithoutInputFieldTakesNothing) {
  StartBoth(L"tcis");
  PressAndRelease(toofel.label, Button::Left);
  Sleep(1500);
  EXPECT_TRUE(Responsive());
  EXPECT_TRUE(ReadChatLog(log).empty());
}

// An auto-clicker or a stuck button: presses far quicker than the pause, each
// one through the drag. With every press nesting a whole announcement in the
// pause before it, the stack gave out after about 1,200 presses.
TEST_F(Robustness, StreamOfPressesNestsTwentyDeepAndEndsNothing) {
  StartBoth(L"tcisr");
  constexpr int kPresses = 3000;
  const std::string banner = TOOFEL_BANNER("#0080c0"), id = TOOFEL_ID("#0080c0", "tester", "3");
  MoveMouseTo(CenterOf(toofel.label));
  for (int press = 0; press < kPresses; ++press) {
    PressButton(Button::Left);
    Sleep(1);
    ReleaseButton(Button::Left);
    Sleep(1);
  }
  ASSERT_EQ(WaitForExit(toofel.process, 0), STILL_ACTIVE);
  std::vector<ChatRecord> lines;
  // More lines than the count, and every banner followed by its id.
  auto allEndedBeyond = [&](size_t count) {
    return WaitUntil([&] {
      lines = ReadChatLog(log);
      const auto banners =
          std::count_if(lines.begin(), lines.end(), [&](const ChatRecord& l) { return l.bytes == banner; });
      return lines.size() > count && 2 * static_cast<size_t>(banners) == lines.size();
    });
  };
  ASSERT_TRUE(allEndedBeyond(0));
  int open = 0, deepest = 0;
  for (const ChatRecord& line : lines) {
    ASSERT_TRUE(line.bytes == banner || line.bytes == id);
    open += line.bytes == banner ? 1 : -1;
    ASSERT_GE(open, 0);  // each id after its own banner
    deepest = std::max(deepest, open);
  }
  EXPECT_GE(deepest, 20);  // twenty quick presses all announce
  EXPECT_LT(deepest, 64);  // where Wine stops calling nested window procedures
  const size_t streamed = lines.size();
  PressAndRelease(toofel.label, Button::Left);
  EXPECT_TRUE(allEndedBeyond(streamed));
}

TEST_F(Robustness, LongScreenNamesAreCutWhereTheSettingsFileCutsThem) {
  const std::string name749(749, 'n');
  const std::string name800 = name749 + std::string(51, 'x');
  const std::string settings = "[toofel]\r\nHANDLE=" + name800 + "\r\nDIR=d\r\n";
  StartBoth(L"tcisr", settings.c_str());
  PressAndRelease(toofel.label, Button::Left);
  const std::string expected = TOOFEL_ID("#0080c0", "HANDLE", "3");
  auto withName = [&](const std::string& name) {
    std::string line = expected;
    return line.replace(line.find("HANDLE"), 6, name);
  };
  auto lines = WaitForLines(2);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].bytes, withName(name749));

  WriteBytes(program.File(L"info.ini"), "[toofel]\r\nHANDLE=" + name749 + "\r\nDIR=d\r\n");
  PressAndRelease(toofel.label, Button::Left);
  lines = WaitForLines(4);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3].bytes, withName(name749));
}

TEST_F(Robustness, ScreenNameOutsideTheCodePageArrivesAsItsReplacement) {
  StartBoth(L"tcisr", "[toofel]\r\nDIR=d\r\n");
  PressAndRelease(toofel.label, Button::Left);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (dialog = FindProcessWindow(toofel.process.id, L"#32770")) != nullptr; }));
  SendMessageW(FindWindowExW(dialog, nullptr, L"Edit", nullptr), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"a\u2603b"));
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  const auto lines = WaitForLines(2);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].bytes, TOOFEL_ID("#0080c0", "a?b", "3"));
  EXPECT_EQ(TextOf(toofel.handle), L"a\u2603b");
  EXPECT_EQ(StoredSettings(), "[toofel]\r\nDIR=d\r\nHANDLE=a?b\r\n");
}

}  // namespace
