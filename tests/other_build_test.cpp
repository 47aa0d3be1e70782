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
  ExpectExitAfter([&] { CloseLikeTheTaskbar(toofel.window); });
  const auto lines = LinesOnceTheClientCaughtUp();
  EXPECT_EQ(BytesOf(lines), (std::vector<std::string>{kBanner, kId}));
  for (const ChatRecord& line : lines) EXPECT_EQ(line.room, 2);  // room 1 lacks an icon button
}

}  // namespace
