#pragma once
// Drives the built programs from outside, as a user would: starts them in
// folders of its own, finds their windows, gives them real mouse and keyboard
// input and reads the chat-room simulator's log. Shared by the tests and the
// benchmark.
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

// A fresh folder under the temporary folder, removed with its contents at the end.
struct TempFolder {
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::wstring File(const std::wstring& name) const { return path + L"\\" + name; }
  std::wstring path;
};

bool Exists(const std::wstring& path);
// Removes the file or the folder with all it holds, read-only files too.
void RemoveTree(const std::wstring& path);
void WriteBytes(const std::wstring& file, const std::string& bytes);
// Empty files of these names in the folder. Under Wine every new name costs a
// scan of the whole folder, so a hundred thousand took most of an hour; there
// the host makes them, in one command.
void MakeEmptyFiles(const std::wstring& folder, const std::vector<std::wstring>& names);
std::string ReadBytes(const std::wstring& file);

// Whether the tests run under Wine, where a few of them take Wine's ways.
bool RunsUnderWine();

// Polls every few milliseconds; false when the condition still fails after the timeout.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// A program of the build, found in the folder above the tests.
std::wstring BuiltProgram(const wchar_t* name);
// The same program of the build of the other bitness, whose folder the
// environment variable TOOFEL_OTHER_BUILD names; the empty text without it.
std::wstring OtherBuildProgram(const wchar_t* name);
// Whether the other build's programs may be started here: a host that cannot
// run 32-bit programs sets TOOFEL_OTHER_BUILD_RUNS to "no".
bool OtherBuildRuns();

// A file of this build and, where TOOFEL_OTHER_BUILD names one, the same file of
// the other bitness's build, for the checks that only read it.
struct BuiltFile {
  std::wstring path;
  bool is64Bit;
};
std::vector<BuiltFile> BuiltFiles(const wchar_t* name);

struct Process {
  HANDLE handle = nullptr;
  DWORD id = 0;
};
Process StartProcess(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder);
// The exit code, or STILL_ACTIVE when the process has not ended within the timeout.
DWORD WaitForExit(const Process& process, DWORD timeoutMs = 10000);
// Ends the process if it still runs and closes its handle.
void EndProcess(Process& process);
// Runs a copy of the program from the folder, with the folder as its current
// directory, and removes the copy again; returns the exit code.
DWORD RunCopyIn(const std::wstring& folder, const std::wstring& program, const std::wstring& arguments);

// The first visible top-level window of a process with the given class.
HWND FindProcessWindow(DWORD processId, const wchar_t* className);

// The question the process shows, once it has been up long enough to take
// Enter and Escape; nullptr when none comes.
HWND WaitForQuestion(DWORD processId);
// The same as soon as it shows, in its first moment.
HWND WaitForQuestionShown(DWORD processId);

// One line the chat-room simulator received: its monotonic time stamp, the
// 1-based room number and the exact bytes.
struct ChatRecord {
  double ms;
  int room;
  std::string bytes;
};
std::vector<ChatRecord> ReadChatLog(const std::wstring& file);

// Input goes only to the programs this driver started. Before each batch of
// keys the window in front must be one of theirs with the focus inside it;
// before each press of a button, the window under the pointer. Otherwise
// nothing is sent and this is thrown, which fails the test: on a tester's
// desktop the keys would reach whatever else has the focus.
struct InputRefused : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Real mouse input, through the system's input queue. Left is the primary
// button, which a left-handed mouse setting puts on the right.
enum class Button { Left, Right, Middle, X1 };
void MoveMouseTo(POINT to);
void PressButton(Button button);
void ReleaseButton(Button button);
POINT CenterOf(HWND window);
RECT ScreenRectOf(HWND window);

// The main window of a running tøøfel and the controls the tests look at.
struct Toofel {
  Process process;
  HWND window = nullptr, label = nullptr, handle = nullptr, color = nullptr, mp3dir = nullptr;
  HWND coms = nullptr, file1 = nullptr, list1 = nullptr;
};

// Copies toofel.exe into the folder; returns the copy's path.
std::wstring CopyToofelInto(const std::wstring& programFolder, const std::wstring& from = BuiltProgram(L"toofel.exe"));
// The controls of a tøøfel whose main window is shown.
Toofel ToofelOf(const Process& process, HWND window);
// Starts the program where it is, with startFolder as its current directory;
// waits until its window is up.
Toofel StartToofelAt(const std::wstring& program, const std::wstring& startFolder);
// The same with a copy of the program made in programFolder.
Toofel StartToofel(const std::wstring& programFolder, const std::wstring& startFolder,
                   const std::wstring& from = BuiltProgram(L"toofel.exe"));

// Starts the chat-room simulator with the given rooms, logging to the file;
// waits until its frame is up with every room built and drawn.
Process StartChatSim(const std::wstring& logFile, const std::wstring& rooms,
                     const std::wstring& program = BuiltProgram(L"chat-sim.exe"));

// What the taskbar's Close does.
void CloseLikeTheTaskbar(HWND window);

// Makes the window the foreground window. Windows grants a program that only
// where the user last worked with it; elsewhere a click on the window's
// border, as a user's, brings it to the front. Wine has no such lock, so the
// click has not run here.
void BringToFront(HWND window);

// The control that has the keyboard focus in the window's thread, or nullptr.
HWND FocusedControl(HWND window);
// The window that has the mouse captured in the window's thread, as during a drag, or nullptr.
HWND CaptureOf(HWND window);

std::wstring TextOf(HWND control);
// What a screen reader reads as the control's name.
std::wstring AccessibleName(HWND control);
std::vector<std::wstring> ListItems(HWND listBox);

// Presses and releases a button on the control, moving the mouse by the offset in between.
void PressAndRelease(HWND control, Button button, POINT offset = {0, 0});

// The screen DPI set for the user (Control Panel\Desktop's LogPixels); 0
// where none is. Wine applies a new one to the programs started after it,
// Windows only at the next logon. Setting it notes the old one for the
// put-back first.
DWORD ScreenDpiSetting();
void SetScreenDpiSetting(DWORD dpi);

// Tells Wine to prefer the named DLLs that the program finds to its own, as
// Windows does for all but its known DLLs, for as long as the guard lives.
// Windows needs no telling: there it does nothing.
struct NativeDllsFirst {
  NativeDllsFirst(const std::wstring& programName, std::initializer_list<const wchar_t*> dlls);
  ~NativeDllsFirst();
  NativeDllsFirst(const NativeDllsFirst&) = delete;
  NativeDllsFirst& operator=(const NativeDllsFirst&) = delete;
  std::wstring programKey;
};

// Denies the user the making of files and folders in the folder, as a
// read-only medium would, for as long as the guard lives; only on Windows, for
// Wine does not enforce access lists, so this is written from the platform's
// documentation and has not run here. denied tells whether a file could not be
// made there.
struct WritesDenied {
  explicit WritesDenied(const std::wstring& folder);
  ~WritesDenied();
  WritesDenied(const WritesDenied&) = delete;
  WritesDenied& operator=(const WritesDenied&) = delete;
  std::wstring folder;
  PACL savedAcl = nullptr;
  PSECURITY_DESCRIPTOR saved = nullptr;
  bool denied = false;
};

// Makes a free drive letter name the folder; returns the drive ("T:"), or the
// empty text when no letter could be mapped.
std::wstring MapDrive(const std::wstring& folder);
void UnmapDrive(const std::wstring& drive);

// Names a top-level window of the test's own that may take the driver's keys
// and clicks, as the programs it started do; every other is refused.
void TakesInput(HWND window);

// Real keyboard input to the window that has the focus.
void TypeText(const std::wstring& text);
// Presses the keys in order and releases them in reverse, as a chord; the chord
// as often as asked, all in one batch of input.
void PressKeys(std::initializer_list<WORD> keys, int times = 1);
// The chord once, with the last key held while the keyboard repeats it this
// many times: all in one batch, or each repeat on its own this long after the last.
void HoldKeys(std::initializer_list<WORD> keys, int repeats, DWORD repeatEveryMs = 0);
