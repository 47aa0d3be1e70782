#include "desktop_fixture.h"
#include "platform/clock.h"

// A chat client that stops answering for a while after the banner: the line it
// missed is never half entered, and tøøfel can be closed while it waits.
namespace {

const std::string kBanner = TOOFEL_BANNER("#0080c0");
const std::string kId = TOOFEL_ID("#0080c0", "tester", "3");
constexpr double kPauseMs = 500;
constexpr double kIntoTheSendMs = 100;  // well inside the wait for the hung client
constexpr DWORD kCloseWithinMs = 5000;

class HungClient : public Desktop {
 protected:
  void StartWithHangAfterBanner(DWORD hangMs) { StartBoth(L"--hang-after 1 " + std::to_wstring(hangMs) + L" tcisr"); }

  // Presses the title and returns once tøøfel is sending the id line to the
  // hung client, which starts half a second after the banner arrived.
  void PressIntoTheHang() {
    PressAndRelease(toofel.label, Button::Left);
    const auto lines = WaitForLines(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].bytes, kBanner);
    const double sendingAt = lines[0].ms + kPauseMs + kIntoTheSendMs;
    WaitUntil([&] { return Platform::ClockSeconds() * 1000 > sendingAt; });
  }

  bool ClientAnswers() const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(FindProcessWindow(sim.id, L"AOL Frame25"), WM_NULL, 0, 0, SMTO_NORMAL, 100, &result);
  }

  void ExpectEndedWithNothingMoreSent() {
    EXPECT_EQ(WaitForExit(toofel.process, kCloseWithinMs), 0u);
    EndProcess(toofel.process);
    EXPECT_EQ(StoredSettings(), kStoredSettings);
    EXPECT_EQ(ReadChatLog(log).size(), 1u);
  }
};

// Had the Enter gone after the missed text, the id line would be posted once
// the client woke, ahead of the next press's banner.
TEST_F(HungClient, EnterGoesOnlyAfterATextTheClientTook) {
  StartWithHangAfterBanner(2000);
  PressIntoTheHang();
  ASSERT_TRUE(WaitUntil([&] { return ClientAnswers(); }));
  PressAndRelease(toofel.label, Button::Left);
  const auto lines = WaitForLines(3);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].bytes, kBanner);
  EXPECT_EQ(lines[2].bytes, kId);
}

TEST_F(HungClient, AltF4EndsTheProgramWhileTheClientHangs) {
  StartWithHangAfterBanner(60000);
  SetForegroundWindow(toofel.window);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == toofel.window; }));
  PressIntoTheHang();
  PressKeys({VK_MENU, VK_F4});
  ExpectEndedWithNothingMoreSent();
}

TEST_F(HungClient, TaskbarCloseEndsTheProgramWhileTheClientHangs) {
  StartWithHangAfterBanner(60000);
  PressIntoTheHang();
  CloseLikeTheTaskbar(toofel.window);
  ExpectEndedWithNothingMoreSent();
}

}  // namespace
