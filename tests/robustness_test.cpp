#include "desktop_fixture.h"

// Ways the chat client, the user and the settings can misbehave around a
// press; tøøfel must go on working, send nothing wrong and exit cleanly.
namespace {

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

TEST_F(Robustness, RoomWithoutInputFieldTakesNothing) {
  StartBoth(L"tcis");
  PressAndRelease(toofel.label, Button::Left);
  Sleep(1500);
  EXPECT_TRUE(Responsive());
  EXPECT_TRUE(ReadChatLog(log).empty());
}

TEST_F(Robustness, TwentyQuickPressesAllAnnounce) {
  StartBoth(L"tcisr");
  constexpr size_t kPresses = 20;
  for (size_t press = 0; press < kPresses; ++press) PressAndRelease(toofel.label, Button::Left);
  const auto lines = WaitForLines(2 * kPresses);
  ASSERT_EQ(lines.size(), 2 * kPresses);
  size_t banners = 0;
  for (const ChatRecord& line : lines) banners += line.bytes == TOOFEL_BANNER("#0080c0");
  EXPECT_EQ(banners, kPresses);
  EXPECT_EQ(lines.back().bytes, TOOFEL_ID("#0080c0", "tester", "3"));
  EXPECT_TRUE(Responsive());
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
