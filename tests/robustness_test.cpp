#include "desktop_fixture.h"

#include <algorithm>

#include "platform/clock.h"

// Ways the chat client, the user and other programs can misbehave around a
// press; tøøfel must go on working, send nothing wrong and exit cleanly.
namespace {

using Robustness = Desktop;

// Each line costs a search of its own, so rooms closing during the pause pass
// the id line on; a room without an input field takes nothing; a press another
// program sends starts nothing; a client going away stops nothing.
TEST_F(Robustness, RoomsAndClientComingAndGoing) {
  StartBoth(L"tcis tcisr tcisr");
  const HWND area = FindWindowExW(FindProcessWindow(sim.id, L"AOL Frame25"), nullptr, L"MDIClient", nullptr);
  const auto closeRoom = [&](int number) {
    const HWND room = FindWindowExW(area, nullptr, L"AOL Child", (L"Room " + std::to_wstring(number)).c_str());
    SendMessageW(area, WM_MDIDESTROY, reinterpret_cast<WPARAM>(room), 0);
  };
  PressThenCloseByKeyboard({Button::Left});
  EXPECT_TRUE(LinesOnceTheClientCaughtUp().empty());
  closeRoom(1);
  StartToofel();

  // Had it been taken, the whole sequence would have run before the send returned.
  SendMessageW(toofel.label, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageW(toofel.label, WM_LBUTTONUP, 0, 0);
  EXPECT_TRUE(LinesOnceTheClientCaughtUp().empty());

  PressAndRelease(toofel.label, Button::Left);
  WaitForLines(1);
  closeRoom(2);
  const auto lines = WaitForLines(2);
  EXPECT_EQ(BytesOf(lines), (std::vector<std::string>{kBanner, kId}));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].room, 2);
  EXPECT_EQ(lines[1].room, 3);

  PressAndRelease(toofel.label, Button::Right);
  WaitForLines(3);
  PostMessageW(FindProcessWindow(sim.id, L"AOL Frame25"), WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForExit(sim), 0u);
  PressThenCloseByKeyboard({Button::Right});  // with no client at all
}

// An auto-clicker or a stuck button: presses far quicker than the pause, each
// one through the drag. With every press nesting a whole announcement in the
// pause before it, the stack gave out after about 1,200 presses. The stream keeps its pace on
// a 1 ms timer of its own: from Windows 10 2004 on, the program's does not shorten its Sleep(1).
TEST_F(Robustness, StreamOfPressesNestsTwentyDeepAndEndsNothing) {
  StartBoth(L"tcisr");
  MoveMouseTo(CenterOf(toofel.label));
  ASSERT_TRUE(Platform::BeginFineTimer()) << "the system refused this process a 1 ms timer";
  for (int press = 0; press < 3000; ++press) {
    PressButton(Button::Left);
    Sleep(1);
    ReleaseButton(Button::Left);
    Sleep(1);
  }
  Platform::EndFineTimer();
  ASSERT_EQ(WaitForExit(toofel.process, 0), STILL_ACTIVE);
  std::vector<ChatRecord> lines;
  // More lines than the count, and every banner followed by its id.
  const auto allEndedBeyond = [&](size_t count) {
    return WaitUntil([&] {
      lines = ReadChatLog(log);
      const auto banners =
          std::count_if(lines.begin(), lines.end(), [](const ChatRecord& l) { return l.bytes == kBanner; });
      return lines.size() > count && 2 * static_cast<size_t>(banners) == lines.size();
    });
  };
  ASSERT_TRUE(allEndedBeyond(0));
  int open = 0, deepest = 0;
  for (const ChatRecord& line : lines) {
    ASSERT_TRUE(line.bytes == kBanner || line.bytes == kId);
    open += line.bytes == kBanner ? 1 : -1;
    ASSERT_GE(open, 0);  // each id after its own banner
    deepest = std::max(deepest, open);
  }
  EXPECT_GE(deepest, 20);  // twenty quick presses all announce
  EXPECT_LT(deepest, 64);  // where Wine stops calling nested window procedures
  const size_t streamed = lines.size();
  PressAndRelease(toofel.label, Button::Left);
  EXPECT_TRUE(allEndedBeyond(streamed));
}

// A winmm.dll beside the program, as a browser may leave one in Downloads, is
// never loaded: not at start-up, not by the pause, which loads the system's,
// not at the end. Wine is told to prefer a DLL it finds to its own, as Windows
// does for all but a few.
TEST_F(Robustness, ADllLyingBesideTheProgramIsNeverLoaded) {
  const std::wstring planted = BuiltProgram(L"tests\\load-trace.dll");
  CopyFileW(planted.c_str(), start.File(L"seen.dll").c_str(), FALSE);
  FreeLibrary(LoadLibraryW(start.File(L"seen.dll").c_str()));
  ASSERT_TRUE(Exists(start.File(L"loaded.trace"))) << "the planted DLL leaves no trace";
  const NativeDllsFirst nativeFirst(L"toofel.exe", {L"winmm"});

  CopyFileW(planted.c_str(), program.File(L"winmm.dll").c_str(), FALSE);
  const std::wstring trace = program.File(L"loaded.trace");
  StartBoth(L"tcisr");
  EXPECT_FALSE(Exists(trace)) << "loaded at start-up";
  PressAndRelease(toofel.label, Button::Left);
  EXPECT_EQ(BytesOf(WaitForLines(2)), (std::vector<std::string>{kBanner, kId}));
  EXPECT_FALSE(Exists(trace)) << "loaded by a press";
  ExpectExitAfter([&] { CloseLikeTheTaskbar(toofel.window); });
  EXPECT_FALSE(Exists(trace)) << "loaded at the end";
}

}  // namespace
