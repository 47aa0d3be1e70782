#include "desktop_fixture.h"
#include "platform/clock.h"

// A chat client that stops answering for a while after the banner: the line it
// missed is never half entered, and tøøfel can be closed while it waits.
namespace {

class HungClient : public Desktop {
 protected:
  // Presses the title and returns once tøøfel is sending the id line to the
  // client, which stopped answering when the banner arrived.
  void PressIntoTheHang(DWORD hangMs) {
    DeleteFileW(start.File(L"chat.log").c_str());
    StartBoth(L"--hang-after 1 " + std::to_wstring(hangMs) + L" tcisr");
    BringToFront(toofel.window);
    PressAndRelease(toofel.label, Button::Left);
    const auto lines = WaitForLines(1);
    ASSERT_EQ(BytesOf(lines), std::vector<std::string>{kBanner});
    constexpr double kPauseMs = 500, kIntoTheSendMs = 100;  // well inside the wait for the hung client
    WaitUntil([&] { return Platform::ClockSeconds() * 1000 > lines[0].ms + kPauseMs + kIntoTheSendMs; });
  }
};

// A text that did not arrive in time arrives late; had the Enter gone after
// it, the client would post it too once it woke.
TEST_F(HungClient, EnterGoesOnlyAfterATextTheClientTook) {
  PressIntoTheHang(2000);
  EXPECT_EQ(BytesOf(LinesOnceTheClientCaughtUp()), std::vector<std::string>{kBanner});
}

TEST_F(HungClient, AltF4OrTheTaskbarEndsTheProgramWhileTheClientHangs) {
  PressIntoTheHang(60000);
  ExpectExitAfter([] { PressKeys({VK_MENU, VK_F4}); });
  EndProcess(sim);
  PressIntoTheHang(60000);
  ExpectExitAfter([&] { CloseLikeTheTaskbar(toofel.window); });
}

}  // namespace
