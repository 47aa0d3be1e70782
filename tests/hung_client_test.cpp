#include "desktop_fixture.h"
#include "platform/clock.h"

// A chat client that stops answering for a while, takes its time over each
// text, or stays busy after it, with or without a message the user has typed
// into its field and not yet sent: no line of tøøfel's goes out mixed with the
// user's text or stays in the field without its Enter, the user's text is
// neither posted nor lost, and tøøfel can be closed while it waits.
namespace {

constexpr char kDraft[] = "brb in 5";
// A close while a line waits ends once tøøfel's text is out of the field, within the line's five seconds.
constexpr DWORD kExitWhileALineWaitsMs = 10000;
// Two presses' four lines on the slowest client, each with a draft to put back, take about ten seconds.
constexpr DWORD kSlowestPressMs = 30000;

class HungClient : public Desktop {
 protected:
  // Both programs anew, the simulator with these options before its room, its field holding the draft.
  void StartAgain(const std::wstring& simOptions, const std::string& draft = "") {
    DeleteFileW(start.File(L"chat.log").c_str());
    const std::wstring draftOption =
        draft.empty() ? L"" : L" --draft \"" + std::wstring(draft.begin(), draft.end()) + L"\"";
    StartBoth(simOptions + draftOption + L" tcisr");
    BringToFront(toofel.window);
  }

  // Presses the title and returns once the id line is due, with the client
  // stopped since it posted the banner.
  void PressIntoTheHang(DWORD hangMs) {
    StartAgain(L"--hang-after 1 " + std::to_wstring(hangMs));
    PressAndRelease(toofel.label, Button::Left);
    const auto lines = WaitForLines(1);
    ASSERT_EQ(BytesOf(lines), std::vector<std::string>{kBanner});
    constexpr double kPauseMs = 500, kIntoTheLineMs = 100;
    WaitUntilMs(lines[0].ms + kPauseMs + kIntoTheLineMs);
  }

  static void WaitUntilMs(double clockMs) {
    WaitUntil([&] { return Platform::ClockSeconds() * 1000 > clockMs; });
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

// A field that cannot be read in time might hold the user's text, so no line
// goes to a client that has stopped answering. Once it answers again, the
// next press posts both lines at once.
TEST_F(HungClient, NothingGoesToAStoppedClientAndAllOnceItAnswers) {
  PressIntoTheHang(2000);
  EXPECT_EQ(BytesOf(LinesOnceTheClientCaughtUp()), std::vector<std::string>{kBanner});
  EXPECT_EQ(FieldText(), "");
  WaitUntilMs(Platform::ClockSeconds() * 1000 + 1000);
  PressAndRelease(toofel.label, Button::Left);
  EXPECT_EQ(BytesOf(WaitForLines(3)), (std::vector<std::string>{kBanner, kBanner, kId}));
}

// Closed while a line waits, tøøfel ends with its window gone at once, sends
// no Enter, and leaves the field as the user had it once its text is out.
TEST_F(HungClient, ClosingWhileALineWaitsEndsTheProgramAndTakesItsTextBack) {
  PressIntoTheHang(60000);
  ExpectExitAfter([] { PressKeys({VK_MENU, VK_F4}); }, kExitWhileALineWaitsMs);
  EndProcess(sim);
  for (const std::string draft : {"", kDraft}) {
    SCOPED_TRACE(draft);
    StartAgain(L"--slow-field 1000", draft);
    PressAndRelease(toofel.label, Button::Left);
    WaitUntilMs(Platform::ClockSeconds() * 1000 + 300);
    ExpectExitAfter([&] { CloseLikeTheTaskbar(toofel.window); }, kExitWhileALineWaitsMs);
    EXPECT_EQ(FieldText(), draft);
    EXPECT_EQ(BytesOf(LinesOnceTheClientCaughtUp()), std::vector<std::string>{});
    EndProcess(sim);
  }
}

// A client that takes longer over a text than tøøfel waits for a send, or is
// busy drawing right after it, still gets each line with its Enter, and the
// user's draft is back in the field after each line, never in one. While a
// line waits on the slowest client, typing goes on and a press waits for the
// line: nothing comes between a text and its Enter.
class SlowClient : public HungClient {
 protected:
  void AnnounceTwiceOnEachClient(const std::string& draft) {
    const std::string redBanner = InCodePage(TOOFEL_BANNER("red")), redId = InCodePage(TOOFEL_ID("red", "tester", "3"));
    for (const std::wstring client :
         {L"--slow-field 100", L"--slow-field 300", L"--busy-after-text 400", L"--slow-field 1000"}) {
      SCOPED_TRACE(testing::Message() << client.c_str());
      StartAgain(client, draft);
      const bool slowest = client == L"--slow-field 1000";
      PressAndRelease(toofel.color, Button::Left);
      PressKeys({VK_END});
      PressKeys({VK_SHIFT, VK_HOME});
      GiveAtOnce([&] {
        PressAndRelease(toofel.label, Button::Left);
        if (!slowest) return;
        TypeText(L"red");
        PressAndRelease(toofel.label, Button::Right);
      });
      std::vector<std::string> lines{kBanner, kId};
      if (slowest) lines = {kBanner, redBanner, redId, redId};
      WaitForLines(lines.size(), kSlowestPressMs);
      // The busy client stays busy after taking the draft back, and a banner
      // whose field cannot be read is dropped: there it waits for the draft.
      if (client == L"--busy-after-text 400") WaitUntil([&] { return FieldText() == draft; });
      // Taken while the id line's draft may still be going back: it then announces after that.
      PressKeys({VK_CONTROL, VK_RETURN});
      lines.insert(lines.end(), {slowest ? redBanner : kBanner, slowest ? redId : kId});
      WaitForLines(lines.size(), kSlowestPressMs);
      ExpectExitAfter([&] { CloseLikeTheTaskbar(toofel.window); }, kExitWhileALineWaitsMs);
      EXPECT_EQ(BytesOf(LinesOnceTheClientCaughtUp()), lines);
      EXPECT_EQ(FieldText(), draft);
      EndProcess(sim);
    }
  }
};

TEST_F(SlowClient, GetsEveryLineWithItsEnter) {
  AnnounceTwiceOnEachClient("");
}

TEST_F(SlowClient, GetsEveryLineAndTheDraftComesBackAfterEach) {
  AnnounceTwiceOnEachClient(kDraft);
}

// Typed while the banner waits on a slow client, the user's text lands after
// it; an Enter then would post both, so the banner comes back out. This
// field appends what is typed, where a real one inserts it at its caret.
TEST_F(HungClient, TypingWhileALineWaitsIsNeitherPostedNorLost) {
  const std::string typed = " ok", afterwards = kDraft + typed;
  StartAgain(L"--slow-field 1000 --typed-during-first-text \"" + std::wstring(typed.begin(), typed.end()) + L"\"",
             kDraft);
  PressAndRelease(toofel.label, Button::Left);
  WaitForLines(1);
  ExpectExitAfter([&] { CloseLikeTheTaskbar(toofel.window); }, kExitWhileALineWaitsMs);
  EXPECT_EQ(BytesOf(LinesOnceTheClientCaughtUp()), std::vector<std::string>{kId});
  EXPECT_EQ(FieldText(), afterwards);
}

}  // namespace
