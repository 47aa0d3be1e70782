#include "desktop_fixture.h"

// tøøfel and the chat-room simulator as separate processes, the title label
// pressed with real mouse input, the lines checked in the simulator's log.
namespace {

class TitlePress : public Desktop {
 protected:
  void SetUp() override { StartBoth(L"tcs tcisr"); }  // room 1 is a decoy without an icon button
};

// Every button drags, and the sequence goes on once it is released: no further click is needed.
TEST_F(TitlePress, EveryButtonDragsByTheDistanceTheMouseMovedAndAnnounces) {
  const std::pair<Button, POINT> presses[] = {{Button::Left, {0, 0}},
                                              {Button::Left, {36, 24}},
                                              {Button::Right, {-24, 12}},
                                              {Button::Middle, {30, -18}},
                                              {Button::X1, {-12, 30}}};
  size_t count = 0;
  for (const auto& [button, offset] : presses) {
    SCOPED_TRACE(static_cast<int>(button));
    const RECT before = ScreenRectOf(toofel.window);
    PressAndRelease(toofel.label, button, offset);
    const auto lines = WaitForLines(count += 2);
    ASSERT_EQ(lines.size(), count);
    const ChatRecord &banner = lines[count - 2], &id = lines[count - 1];
    EXPECT_EQ(BytesOf({banner, id}), (std::vector<std::string>{kBanner, kId}));
    EXPECT_EQ(banner.room, 2);
    EXPECT_EQ(id.room, 2);
    EXPECT_GT(id.ms - banner.ms, 450);  // never before the half second is out
    const RECT after = ScreenRectOf(toofel.window);
    EXPECT_EQ(after.left - before.left, offset.x);
    EXPECT_EQ(after.top - before.top, offset.y);
  }
}

// The second click of a double click waits in the queue behind the first, so
// it is taken in the first one's pause and its whole announcement nests there.
// A colour typed into its box goes into every line.
TEST_F(TitlePress, DoubleClickNestsTheSecondAnnouncementInTheFirstsPause) {
  BringToFront(toofel.window);
  PressAndRelease(toofel.color, Button::Left);
  PressKeys({VK_END});
  PressKeys({VK_SHIFT, VK_HOME});
  TypeText(L"red");
  ASSERT_TRUE(WaitUntil([&] { return TextOf(toofel.color) == L"red"; }));
  GiveAtOnce([&] {
    PressAndRelease(toofel.label, Button::Left);
    PressAndRelease(toofel.label, Button::Left);
  });
  const std::string banner = InCodePage(TOOFEL_BANNER("red")), id = InCodePage(TOOFEL_ID("red", "tester", "3"));
  EXPECT_EQ(BytesOf(WaitForLines(4)), (std::vector<std::string>{banner, banner, id, id}));
}

// Ctrl+Enter announces as a press does, from any field, which keeps the
// focus; typing, Enter included, never announces. A held Ctrl+Enter is one
// press however long the keyboard repeats it. The window's private messages,
// posted or sent by another program, in a pause or idle, neither announce nor
// move the focus. A fresh Ctrl+Enter is taken after all that came before it,
// so its two lines right after the others show that nothing else announced.
TEST_F(TitlePress, CtrlEnterAnnouncesFromAnyFieldAndPlainKeysNever) {
  const auto postAndSendPrivateMessages = [&] {
    for (UINT message = WM_APP; message <= WM_APP + 16; ++message) {
      for (WPARAM key = 0; key < 4; ++key) {
        PostMessageW(toofel.window, message, key, 0);
        SendMessageTimeoutW(toofel.window, message, key, 0, SMTO_NORMAL, 5000, nullptr);
      }
    }
  };
  BringToFront(toofel.window);
  PressAndRelease(toofel.handle, Button::Left);
  TypeText(L"abc");
  PressKeys({VK_RETURN});
  PressKeys({VK_CONTROL, VK_RETURN});
  EXPECT_EQ(BytesOf(WaitForLines(2)), (std::vector<std::string>{kBanner, kId}));
  PressAndRelease(toofel.coms, Button::Left);
  HoldKeys({VK_CONTROL, VK_RETURN}, 30);
  WaitForLines(3);
  postAndSendPrivateMessages();
  WaitForLines(4);
  postAndSendPrivateMessages();
  PressKeys({VK_CONTROL, VK_RETURN});
  EXPECT_EQ(BytesOf(WaitForLines(6)), (std::vector<std::string>{kBanner, kId, kBanner, kId, kBanner, kId}));
  EXPECT_EQ(FocusedControl(toofel.window), toofel.coms);
  ExpectExitAfter([&] { CloseLikeTheTaskbar(toofel.window); });
  EXPECT_EQ(LinesOnceTheClientCaughtUp().size(), 6u);
}

// Alt+F4 queued behind two presses is taken while the first banner goes out,
// after the look at the field and before the text: nothing goes out, and the
// second press, kept for after that line, starts nothing.
TEST_F(TitlePress, ClosingWhileTheFirstLineGoesOutSendsNothing) {
  PressThenCloseByKeyboard({Button::Left, Button::Left});
  EXPECT_EQ(BytesOf(LinesOnceTheClientCaughtUp()), std::vector<std::string>{});
}

// The platform's move loop holds the left button's drag, tøøfel's own loop the
// others'. A window that changes size mid-drag, as on reaching a monitor of
// another DPI, keeps the grabbed spot under the pointer at the same fraction of
// its size. Closed mid-drag, it ends the program and sends nothing.
TEST_F(TitlePress, DragFollowsASizeChangeAndEndsWithTheWindow) {
  for (const Button button : {Button::Right, Button::Middle, Button::Left}) {
    SCOPED_TRACE(static_cast<int>(button));
    if (!toofel.process.handle) StartToofel();
    const RECT before = ScreenRectOf(toofel.window);
    const POINT grab = CenterOf(toofel.label);
    MoveMouseTo(grab);
    PressButton(button);
    MoveMouseTo({grab.x + 10, grab.y + 10});
    EXPECT_TRUE(WaitUntil([&] { return CaptureOf(toofel.window) == toofel.window; }));
    if (button == Button::Right) {
      EXPECT_TRUE(WaitUntil([&] { return ScreenRectOf(toofel.window).left == before.left + 10; }));
      SetWindowPos(toofel.window, nullptr, 0, 0, 2 * (before.right - before.left), 2 * (before.bottom - before.top),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      const POINT to{grab.x + 30, grab.y + 20};
      MoveMouseTo(to);
      const POINT expected{to.x - 2 * (grab.x - before.left), to.y - 2 * (grab.y - before.top)};
      EXPECT_TRUE(WaitUntil([&] {
        const RECT now = ScreenRectOf(toofel.window);
        return now.left == expected.x && now.top == expected.y;
      })) << ScreenRectOf(toofel.window).left
          << " for " << expected.x;
    }
    ExpectExitAfter([&] { CloseLikeTheTaskbar(toofel.window); });
    ReleaseButton(button);
  }
  EXPECT_TRUE(LinesOnceTheClientCaughtUp().empty());
}

}  // namespace
