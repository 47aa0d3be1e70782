#include "desktop_fixture.h"
#include "platform/clock.h"

// A chat client that stops answering for a while, or takes its time over each
// text: no line is ever left in its field without its Enter, and tøøfel can be
// closed while it waits.
namespace {

class HungClient : public Desktop {
 protected:
  // Both programs anew, the simulator with these options before its room.
  void StartAgain(const std::wstring& simOptions) {
    DeleteFileW(start.File(L"chat.log").c_str());
    StartBoth(simOptions + L" tcisr");
    BringToFront(toofel.window);
  }

  // Presses the title and returns once tøøfel is sending the id line to the
  // client, which stopped answering when the banner arrived.
  void PressIntoTheHang(DWORD hangMs) {
    StartAgain(L"--hang-after 1 " + std::to_wstring(hangMs));
    PressAndRelease(toofel.label, Button::Left);
    const auto lines = WaitForLines(1);
    ASSERT_EQ(BytesOf(lines), std::vector<std::string>{kBanner});
    constexpr double kPauseMs = 500, kIntoTheSendMs = 100;  // well inside the wait for the hung client
    WaitUntil([&] { return Platform::ClockSeconds() * 1000 > lines[0].ms + kPauseMs + kIntoTheSendMs; });
  }

  // The room's input field as the client shows it, once it answers.
  std::string FieldText() const {
    const HWND area = FindWindowExW(FindProcessWindow(sim.id, L"AOL Frame25"), nullptr, L"MDIClient", nullptr);
    const HWND field = FindWindowExA(FindWindowExA(area, nullptr, "AOL Child", nullptr), nullptr, "RICHCNTL", nullptr);
    char text[2048] = "";
    SendMessageTimeoutA(field, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000, nullptr);
    return text;
  }
};

// A text the client had not begun to take when the send gave up is withdrawn:
// it never arrives, and no Enter follows it.
TEST_F(HungClient, EnterGoesOnlyAfterATextTheClientTook) {
  PressIntoTheHang(2000);
  EXPECT_EQ(BytesOf(LinesOnceTheClientCaughtUp()), std::vector<std::string>{kBanner});
  EXPECT_EQ(FieldText(), "");
}

TEST_F(HungClient, AltF4OrTheTaskbarEndsTheProgramWhileTheClientHangs) {
  PressIntoTheHang(60000);
  ExpectExitAfter([] { PressKeys({VK_MENU, VK_F4}); });
  EndProcess(sim);
  PressIntoTheHang(60000);
  ExpectExitAfter([&] { CloseLikeTheTaskbar(toofel.window); });
}

// A client that takes longer over a text than tøøfel waits for the send still
// gets each line with its Enter, and keeps none of tøøfel's text. While a line
// waits for the slowest client, a press only drags and typing goes on, so the
// banner is the one built before: nothing comes between a text and its Enter.
TEST_F(HungClient, SlowClientGetsEveryLineWithItsEnter) {
  const std::string redBanner = InCodePage(TOOFEL_BANNER("red")), redId = InCodePage(TOOFEL_ID("red", "tester", "3"));
  for (const int applyMs : {100, 300, 1000}) {
    SCOPED_TRACE(applyMs);
    StartAgain(L"--slow-field " + std::to_wstring(applyMs));
    const bool slowest = applyMs == 1000;
    PressAndRelease(toofel.color, Button::Left);
    PressKeys({VK_END});
    PressKeys({VK_SHIFT, VK_HOME});
    GiveAtOnce([&] {
      PressAndRelease(toofel.label, Button::Left);
      if (!slowest) return;
      TypeText(L"red");
      PressAndRelease(toofel.label, Button::Right);
    });
    WaitForLines(2);
    PressKeys({VK_CONTROL, VK_RETURN});
    WaitForLines(4);
    ExpectExitAfter([&] { CloseLikeTheTaskbar(toofel.window); });
    EXPECT_EQ(BytesOf(LinesOnceTheClientCaughtUp()), slowest
                                                         ? (std::vector<std::string>{kBanner, redId, redBanner, redId})
                                                         : (std::vector<std::string>{kBanner, kId, kBanner, kId}));
    EXPECT_EQ(FieldText(), "");
    EndProcess(sim);
  }
}

}  // namespace
