#include "desktop_fixture.h"

// tøøfel of this build against the chat-room simulator of the other bitness,
// as on a 64-bit Windows: the 64-bit program beside the 32-bit chat client,
// and the 32-bit program beside a 64-bit peer.
namespace {

using OtherBuild = Desktop;

TEST_F(OtherBuild, ChatClientOfTheOtherBitnessGetsBothLinesExactly) {
  chatSimExe = OtherBuildProgram(L"chat-sim.exe");
  if (chatSimExe.empty()) GTEST_SKIP() << "TOOFEL_OTHER_BUILD names no other build";
  if (!OtherBuildRuns()) GTEST_SKIP() << "this host cannot run the other build's programs";
  StartBoth(L"tcs tcisr");
  PressAndRelease(toofel.label, Button::Left);
  ASSERT_EQ(WaitForLines(2).size(), 2u);

  // Once tøøfel has ended and the simulator has handled everything before a
  // message of ours, the log holds every carriage return that reached a room.
  CloseLikeTheTaskbar(toofel.window);
  EXPECT_EQ(WaitForExit(toofel.process), 0u);
  EndProcess(toofel.process);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(FindProcessWindow(sim.id, L"AOL Frame25"), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  const auto lines = ReadChatLog(log);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].bytes, TOOFEL_BANNER("#0080c0"));
  EXPECT_EQ(lines[1].bytes, TOOFEL_ID("#0080c0", "tester", "3"));
  EXPECT_EQ(lines[0].room, 2);  // room 1 lacks an icon button
  EXPECT_EQ(lines[1].room, 2);
}

}  // namespace
