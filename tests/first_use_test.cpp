#include <cstdlib>

#include "desktop_fixture.h"
#include "put_back.h"
#include "settings/kept_settings.h"

// The questions for a missing screen name or directory, answered through the
// real dialog with real keys and clicks; checked in the fields, the exact
// bytes of info.ini and the lines the chat room received.
namespace {

constexpr wchar_t kHandlePrompt[] = L"what is your handle";
constexpr wchar_t kDirPrompt[] = L"what directory would you like to use for your mp3's?";
constexpr DWORD kKeyRepeatMs = 33;  // a keyboard repeats a held key about thirty times a second

class FirstUse : public Desktop {
 protected:
  // The program reads the user's own settings where its folder has none, and
  // these tests remove them: none runs where the user has some.
  void SetUp() override {
    if (Exists(userFolder)) GTEST_SKIP() << "the user's own %APPDATA%\\toofel is there, and is left alone";
    NoteRemoval(userFolder);
    StartBoth(L"tcisr", nullptr);
  }

  static HWND FieldOf(HWND dialog) { return FindWindowExW(dialog, nullptr, L"Edit", nullptr); }

  // The question, once it takes answers; checks its prompt and that its field has the keyboard.
  HWND Question(const wchar_t* prompt) {
    const HWND dialog = WaitForQuestion(toofel.process.id);
    EXPECT_NE(dialog, nullptr) << "no question";
    if (!dialog) return nullptr;
    EXPECT_EQ(TextOf(FindWindowExW(dialog, nullptr, L"Static", nullptr)), prompt);
    EXPECT_TRUE(WaitUntil([&] { return FocusedControl(dialog) == FieldOf(dialog); }));
    return dialog;
  }

  // Once the field holds exactly the text, every key before it was taken and none answered.
  void Type(HWND dialog, const std::wstring& text) {
    TypeText(text);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(FieldOf(dialog)) == text; })) << TextOf(FieldOf(dialog)).size();
  }

  // Types the answer and Enter, or cancels with Escape where there is none.
  void Answer(HWND dialog, const wchar_t* text) {
    if (text) Type(dialog, text);
    PressKeys({static_cast<WORD>(text ? VK_RETURN : VK_ESCAPE)});
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  }

  const std::wstring userFile = Settings::UserSettingsPath();
  const std::wstring userFolder = userFile.substr(0, userFile.rfind(L'\\'));
};

// Only keys pressed once a question shows answer it: not the Ctrl+Enter that
// asks, held on past the question's first moment, nor a second tap typed
// ahead of the question, nor an Enter bouncing into a question's first moment,
// also held on; a Backspace held in it still repeats. Cancelled, the name is "new" for the line and stored empty, the
// directory stays empty, and both are asked again. Closing with a question
// open leaves the file as it was; presses while one is open start nothing.
// Each press reads the stored name anew, over one typed into the field.
TEST_F(FirstUse, QuestionsComeInTurnUntilAnsweredAndTheAnswersAreStored) {
  const std::string idOfNew = InCodePage(TOOFEL_ID("#0080c0", "new", "3")),
                    cancelled = "[toofel]\r\nHANDLE=\r\nDIR=\r\n";
  BringToFront(toofel.window);
  HoldKeys({VK_CONTROL, VK_RETURN}, 30, kKeyRepeatMs);
  HWND dialog = Question(kHandlePrompt);
  Type(dialog, L"xyz");
  HoldKeys({VK_BACK}, 2);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(FieldOf(dialog)).empty(); }));
  EXPECT_FALSE(Exists(program.File(L"info.ini")));
  Answer(dialog, nullptr);
  EXPECT_EQ(TextOf(toofel.handle), L"new");
  PressAndRelease(GetDlgItem(Question(kDirPrompt), IDCANCEL), Button::Left);
  EXPECT_EQ(BytesOf(WaitForLines(2)), (std::vector<std::string>{kBanner, idOfNew}));
  EXPECT_EQ(TextOf(toofel.mp3dir), L"");
  EXPECT_EQ(StoredSettings(), cancelled);
  PressAndRelease(toofel.label, Button::Left);
  dialog = WaitForQuestionShown(toofel.process.id);
  HoldKeys({VK_RETURN}, 30, kKeyRepeatMs);
  Type(dialog, L"q");
  ExpectExitAfter([&] { CloseLikeTheTaskbar(toofel.window); });
  EXPECT_EQ(StoredSettings(), cancelled);

  StartToofel();
  BringToFront(toofel.window);
  PressKeys({VK_CONTROL, VK_RETURN}, 2);
  dialog = Question(kHandlePrompt);
  EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
  PressAndRelease(toofel.label, Button::Left);
  PressAndRelease(toofel.label, Button::Right);
  BringToFront(dialog);
  Type(dialog, L"b\u00F8b\u2603");
  EXPECT_EQ(StoredSettings(), cancelled);
  PressKeys({VK_RETURN});
  Sleep(40);
  PressKeys({VK_RETURN});
  dialog = Question(kDirPrompt);
  EXPECT_EQ(TextOf(toofel.handle), L"b\u00F8b\u2603");
  Type(dialog, L"C:\\music");
  const std::string storedName = InCodePage(L"b\u00F8b\u2603");  // outside the code page, its stand-in
  EXPECT_EQ(StoredSettings(), "[toofel]\r\nHANDLE=" + storedName + "\r\nDIR=\r\n");
  PressKeys({VK_RETURN});
  const std::string id = InCodePage(TOOFEL_ID("#0080c0", "b\u00F8b\u2603", "3"));
  EXPECT_EQ(WaitForLines(4).back().bytes, id);
  EXPECT_EQ(TextOf(toofel.mp3dir), L"C:\\music");
  EXPECT_EQ(StoredSettings(), "[toofel]\r\nHANDLE=" + storedName + "\r\nDIR=C:\\music\r\n");

  SendMessageW(toofel.handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"typed"));
  PressAndRelease(toofel.label, Button::Left);
  WaitForLines(6);
  EXPECT_EQ(TextOf(toofel.handle), Platform::FromAnsi(InCodePage(L"b\u00F8b\u2603")));
  ExpectExitAfter([&] { CloseLikeTheTaskbar(toofel.window); });
  EXPECT_EQ(BytesOf(LinesOnceTheClientCaughtUp()),
            (std::vector<std::string>{kBanner, idOfNew, kBanner, id, kBanner, id}));
  EXPECT_FALSE(Exists(Settings::UserSettingsPath()));
}

// Where the program's folder takes no file (a folder stands where info.ini
// would be, or the whole folder lies on a read-only medium), the answers go to
// the user's own info.ini: asked once, then never again, also after a restart.
// Where the user's folder takes none either, they last the run.
class UnwritableFolder : public FirstUse {
 protected:
  void SetUp() override {
    CreateDirectoryW(program.File(L"info.ini").c_str(), nullptr);
    FirstUse::SetUp();
  }

  // All tests share the user's folder: what is left there would silence the next test's questions.
  void TearDown() override {
    FirstUse::TearDown();
    if (IsSkipped()) return;
    DeleteFileW(userFile.c_str());
    RemoveDirectoryW(userFolder.c_str());
    DeleteFileW(userFolder.c_str());
  }

  // In turn: "a" a press that must ask both questions, "n" one that must ask
  // none, "r" a restart. Every press's lines carry the answers.
  void Run(const std::string& steps) {
    for (const char step : steps) {
      if (step == 'r') {
        ExpectExitAfter([&] { CloseLikeTheTaskbar(toofel.window); });
        StartToofel();
        continue;
      }
      PressAndRelease(toofel.label, Button::Left);
      if (step == 'a') {
        Answer(Question(kHandlePrompt), L"kept");
        Answer(Question(kDirPrompt), L"C:\\kept");
      }
      const auto lines = WaitForLines(lineCount += 2);
      ASSERT_EQ(lines.size(), lineCount) << "at step " << step;
      EXPECT_EQ(BytesOf({lines.end() - 2, lines.end()}), (std::vector<std::string>{kBanner, kIdOfKept}));
    }
  }

  const std::string kIdOfKept = InCodePage(TOOFEL_ID("#0080c0", "kept", "3"));
  size_t lineCount = 0;
};

constexpr char kKeptForTheUser[] = "[toofel]\r\nHANDLE=kept\r\nDIR=C:\\kept\r\n";

TEST_F(UnwritableFolder, AnswersGoToTheUsersOwnFile) {
  Run("anrn");
  EXPECT_EQ(ReadBytes(userFile), kKeptForTheUser);
}

// A folder holding toofel.exe that takes no file: on Windows one whose access
// list denies it; under Wine, which does not enforce access lists, a read-only
// mount that scripts/test makes in a mount namespace of its own and names here.
TEST_F(UnwritableFolder, AnswersGoToTheUsersOwnFileFromAReadOnlyMedium) {
  TempFolder deniedFolder;
  if (RunsUnderWine()) {
    const wchar_t* folder = _wgetenv(L"TOOFEL_READ_ONLY_FOLDER");
    const char* why = std::getenv("TOOFEL_NO_READ_ONLY_FOLDER_WHY");
    if (!folder || !*folder)
      GTEST_SKIP() << "no read-only folder: " << (why ? why : "Wine enforces no access lists, and no mount is named");
    programAt = std::wstring(folder) + L"\\toofel.exe";
  } else {
    programAt = CopyToofelInto(deniedFolder.path);
  }
  const WritesDenied denied(deniedFolder.path);
  ASSERT_TRUE(RunsUnderWine() || denied.denied) << "the folder's access list still lets a file be made";
  Run("ranrn");
  EXPECT_EQ(ReadBytes(userFile), kKeptForTheUser);
  ExpectExitAfter([&] { CloseLikeTheTaskbar(toofel.window); });
}

TEST_F(UnwritableFolder, WhereTheUsersFolderTakesNoFileEitherEachQuestionComesOnceARun) {
  WriteBytes(userFolder, "");
  Run("anra");
  EXPECT_EQ(ReadBytes(userFolder), "");
}

// Started only by PutBack's test, which ends it here, half-way: the user's
// file holds the answers, a drive is mapped, a folder takes no file, under
// Wine the screen's DPI is changed, and the primary button is held down on
// the title strip.
TEST_F(UnwritableFolder, DISABLED_HalfWayWhenEnded) {
  constexpr DWORD kLongerThanItsEndTakes = 60000, kOddDpi = 123;
  Run("a");
  TempFolder mapped;
  ASSERT_FALSE(MapDrive(mapped.path).empty());
  const WritesDenied denied(mapped.path);
  if (RunsUnderWine()) SetScreenDpiSetting(kOddDpi);
  MoveMouseTo(CenterOf(toofel.label));
  PressButton(Button::Left);
  Sleep(kLongerThanItsEndTakes);
}

}  // namespace
