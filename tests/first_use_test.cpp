#include "desktop_fixture.h"

// The questions for a missing screen name or directory, answered through the
// real dialog with real keys and clicks; checked in the fields, the exact
// bytes of info.ini and the lines the chat room received.
namespace {

constexpr wchar_t kHandlePrompt[] = L"what is your handle";
constexpr wchar_t kDirPrompt[] = L"what directory would you like to use for your mp3's?";

class FirstUse : public Desktop {
 protected:
  void SetUp() override { StartBoth(L"tcisr", nullptr); }

  bool QuestionOpen() const { return FindProcessWindow(toofel.process.id, L"#32770") != nullptr; }

  HWND Question() {
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindProcessWindow(toofel.process.id, L"#32770")) != nullptr; }, 5000);
    return dialog;
  }

  // Waits for the question, checks its prompt and that it has the keyboard.
  HWND ExpectQuestion(const wchar_t* prompt) {
    const HWND dialog = Question();
    if (!dialog) {
      ADD_FAILURE() << "no question for " << testing::PrintToString(std::wstring(prompt));
      return nullptr;
    }
    EXPECT_EQ(TextOf(FindWindowExW(dialog, nullptr, L"Static", nullptr)), prompt);
    const HWND field = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl(dialog) == field; }));
    return dialog;
  }

  void Answer(const wchar_t* prompt, const std::wstring& text) {
    const HWND dialog = ExpectQuestion(prompt);
    TypeText(text);
    PressKeys({VK_RETURN});
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  }

  void Cancel(const wchar_t* prompt) {
    const HWND dialog = ExpectQuestion(prompt);
    PressKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  }

  void ExpectIdLine(size_t index, const std::string& line) {
    const auto lines = WaitForLines(index + 1);
    ASSERT_GT(lines.size(), index);
    EXPECT_EQ(lines[index].bytes, line);
  }
};

TEST_F(FirstUse, FirstPressAsksForBothAndStoresTheAnswers) {
  PressAndRelease(toofel.label, Button::Left);
  const HWND dialog = ExpectQuestion(kHandlePrompt);
  EXPECT_EQ(TextOf(dialog), L"t\u00F8\u00F8fel");
  EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(TextOf(FindWindowExW(dialog, nullptr, L"Edit", nullptr)), L"");
  Answer(kHandlePrompt, L"alice");
  EXPECT_EQ(TextOf(toofel.handle), L"alice");
  Answer(kDirPrompt, L"C:\\music");
  EXPECT_EQ(TextOf(toofel.mp3dir), L"C:\\music");
  ExpectIdLine(1, TOOFEL_ID("#0080c0", "alice", "3"));
  EXPECT_EQ(StoredSettings(), "[toofel]\r\nHANDLE=alice\r\nDIR=C:\\music\r\n");
}

TEST_F(FirstUse, StoredSettingsReplaceWhatWasTypedAndAskNothing) {
  WriteBytes(program.File(L"info.ini"), kStoredSettings);
  SendMessageW(toofel.handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"typed"));
  PressAndRelease(toofel.label, Button::Left);
  ExpectIdLine(1, TOOFEL_ID("#0080c0", "tester", "3"));
  EXPECT_FALSE(QuestionOpen());
  EXPECT_EQ(TextOf(toofel.handle), L"tester");
  EXPECT_EQ(TextOf(toofel.mp3dir), L"C:\\music");
  EXPECT_EQ(StoredSettings(), kStoredSettings);
}

TEST_F(FirstUse, CancelledHandleIsNewForNowAndAskedAgain) {
  PressAndRelease(toofel.label, Button::Left);
  Cancel(kHandlePrompt);
  EXPECT_EQ(TextOf(toofel.handle), L"new");
  Answer(kDirPrompt, L"d");
  ExpectIdLine(1, TOOFEL_ID("#0080c0", "new", "3"));
  EXPECT_EQ(StoredSettings(), "[toofel]\r\nHANDLE=\r\nDIR=d\r\n");

  PressAndRelease(toofel.label, Button::Left);
  Cancel(kHandlePrompt);
  ExpectIdLine(3, TOOFEL_ID("#0080c0", "new", "3"));
}

TEST_F(FirstUse, CancelledDirectoryStaysEmptyAndIsAskedAgain) {
  WriteBytes(program.File(L"info.ini"), "[toofel]\r\nHANDLE=tester\r\n");
  PressAndRelease(toofel.label, Button::Left);
  const HWND dialog = ExpectQuestion(kDirPrompt);
  PressAndRelease(GetDlgItem(dialog, IDCANCEL), Button::Left);
  ExpectIdLine(1, TOOFEL_ID("#0080c0", "tester", "3"));
  EXPECT_EQ(TextOf(toofel.mp3dir), L"");
  EXPECT_EQ(StoredSettings(), "[toofel]\r\nHANDLE=tester\r\nDIR=\r\n");

  PressAndRelease(toofel.label, Button::Left);
  Answer(kDirPrompt, L"D:\\mp3");
  ExpectIdLine(3, TOOFEL_ID("#0080c0", "tester", "3"));  // sent after the answer is stored
  EXPECT_EQ(StoredSettings(), "[toofel]\r\nHANDLE=tester\r\nDIR=D:\\mp3\r\n");
}

TEST_F(FirstUse, ScreenNameSurvivesARestart) {
  PressAndRelease(toofel.label, Button::Left);
  Answer(kHandlePrompt, L"b\u00F8b");
  Answer(kDirPrompt, L"C:\\music");
  WaitForLines(2);
  CloseLikeTheTaskbar(toofel.window);
  ASSERT_EQ(WaitForExit(toofel.process), 0u);
  EndProcess(toofel.process);

  StartToofel();
  PressAndRelease(toofel.label, Button::Left);
  ExpectIdLine(3, TOOFEL_ID("#0080c0",
                            "b\xF8"
                            "b",
                            "3"));
  EXPECT_FALSE(QuestionOpen());
}

TEST_F(FirstUse, PressWhileAQuestionIsOpenStartsNothing) {
  PressAndRelease(toofel.label, Button::Left);
  const HWND dialog = ExpectQuestion(kHandlePrompt);
  PressAndRelease(toofel.label, Button::Left);
  PressAndRelease(toofel.label, Button::Right);
  Sleep(500);
  EXPECT_EQ(Question(), dialog);
  SetForegroundWindow(dialog);
  Answer(kHandlePrompt, L"alice");
  Answer(kDirPrompt, L"d");
  WaitForLines(2);
  Sleep(1000);  // a second sequence would have sent its lines by now
  EXPECT_EQ(ReadChatLog(log).size(), 2u);
  EXPECT_FALSE(QuestionOpen());
}

TEST_F(FirstUse, ClosingWhileAQuestionIsOpenLeavesTheFileAsItWas) {
  const std::string before = "[toofel]\r\nHANDLE=\r\n";
  WriteBytes(program.File(L"info.ini"), before);
  PressAndRelease(toofel.label, Button::Left);
  ExpectQuestion(kHandlePrompt);
  CloseLikeTheTaskbar(toofel.window);
  EXPECT_EQ(WaitForExit(toofel.process), 0u);
  EndProcess(toofel.process);
  EXPECT_EQ(StoredSettings(), before);
  EXPECT_TRUE(ReadChatLog(log).empty());
}

}  // namespace
