#include "desktop_fixture.h"

// tøøfel and the chat-room simulator as separate processes, the title label
// pressed with real mouse input, the lines checked in the simulator's log.
namespace {

constexpr int kRoom = 2;  // room 1 is a decoy without an icon button
const std::string kBanner = TOOFEL_BANNER("#0080c0");
const std::string kId = TOOFEL_ID("#0080c0", "tester", "3");

class TitlePress : public Desktop {
 protected:
  void SetUp() override { StartBoth(L"tcs tcisr"); }
};

void ExpectAnnouncement(const ChatRecord& banner, const ChatRecord& id) {
  EXPECT_EQ(banner.bytes, kBanner);
  EXPECT_EQ(id.bytes, kId);
  EXPECT_EQ(banner.room, kRoom);
  EXPECT_EQ(id.room, kRoom);
  EXPECT_GT(id.ms - banner.ms, 450);  // about half a second
  EXPECT_LT(id.ms - banner.ms, 2000);
}

TEST_F(TitlePress, PressWithoutMovingAnnouncesAndLeavesTheWindowInPlace) {
  const RECT before = ScreenRectOf(toofel.window);
  PressAndRelease(toofel.label, Button::Left);
  const auto lines = WaitForLines(2);
  ASSERT_EQ(lines.size(), 2u);
  ExpectAnnouncement(lines[0], lines[1]);
  const RECT after = ScreenRectOf(toofel.window);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
}

// Every button drags, and the sequence goes on once it is released: no further click is needed.
TEST_F(TitlePress, EveryButtonDragsByTheDistanceTheMouseMoved) {
  const POINT offset{36, 24};
  size_t expected = 0;
  for (const Button button : {Button::Left, Button::Right, Button::Middle}) {
    SCOPED_TRACE(static_cast<int>(button));
    const RECT before = ScreenRectOf(toofel.window);
    PressAndRelease(toofel.label, button, offset);
    expected += 2;
    const auto lines = WaitForLines(expected);
    ASSERT_EQ(lines.size(), expected);
    ExpectAnnouncement(lines[expected - 2], lines[expected - 1]);
    const RECT after = ScreenRectOf(toofel.window);
    EXPECT_EQ(after.left - before.left, offset.x);
    EXPECT_EQ(after.top - before.top, offset.y);
  }
}

// A window that changes size mid-drag, as on reaching a monitor of another DPI,
// keeps the grabbed spot under the pointer at the same fraction of its size.
TEST_F(TitlePress, GrabbedSpotStaysUnderThePointerWhenTheSizeChangesMidDrag) {
  const RECT before = ScreenRectOf(toofel.window);
  const POINT grab = CenterOf(toofel.label);
  MoveMouseTo(grab);
  PressButton(Button::Right);
  MoveMouseTo({grab.x + 10, grab.y + 10});
  EXPECT_TRUE(WaitUntil([&] { return ScreenRectOf(toofel.window).left == before.left + 10; }, 3000));
  SetWindowPos(toofel.window, nullptr, 0, 0, 2 * (before.right - before.left), 2 * (before.bottom - before.top),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const POINT to{grab.x + 30, grab.y + 20};
  MoveMouseTo(to);
  const POINT expected{to.x - 2 * (grab.x - before.left), to.y - 2 * (grab.y - before.top)};
  EXPECT_TRUE(WaitUntil(
      [&] {
        const RECT now = ScreenRectOf(toofel.window);
        return now.left == expected.x && now.top == expected.y;
      },
      3000))
      << ScreenRectOf(toofel.window).left << " for " << expected.x;
  ReleaseButton(Button::Right);
  EXPECT_EQ(WaitForLines(2).size(), 2u);
}

TEST_F(TitlePress, SecondPressDuringThePauseRunsNested) {
  PressAndRelease(toofel.label, Button::Left);
  WaitForLines(1);
  PressAndRelease(toofel.label, Button::Left);
  const auto lines = WaitForLines(4);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].bytes, kBanner);
  EXPECT_EQ(lines[1].bytes, kBanner);
  EXPECT_EQ(lines[2].bytes, kId);
  EXPECT_EQ(lines[3].bytes, kId);
}

TEST_F(TitlePress, QuickDoubleClickCountsAsTwoPresses) {
  PressAndRelease(toofel.label, Button::Left);
  PressAndRelease(toofel.label, Button::Left);
  const auto lines = WaitForLines(4);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1].bytes, kBanner);
  EXPECT_EQ(lines[3].bytes, kId);
}

TEST_F(TitlePress, ClosingDuringNestedPausesEndsCleanly) {
  PressAndRelease(toofel.label, Button::Left);
  WaitForLines(1);
  PressAndRelease(toofel.label, Button::Left);
  ASSERT_EQ(WaitForLines(2).size(), 2u);
  CloseLikeTheTaskbar(toofel.window);
  EXPECT_EQ(WaitForExit(toofel.process), 0u);
  EndProcess(toofel.process);
  Sleep(800);  // past both pauses: nothing more may arrive
  EXPECT_EQ(ReadChatLog(log).size(), 2u);
}

}  // namespace
