#include "driver.h"

#include <aclapi.h>
#include <oleacc.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "platform/input_dialog.h"
#include "put_back.h"

namespace {

using UnixFileName = char*(CDECL*)(const wchar_t*);

// Under Wine a drive letter is a symbolic link in the prefix's dosdevices
// folder; Wine's DefineDosDevice does not reach the file system.
UnixFileName WineUnixFileName() {
  return reinterpret_cast<UnixFileName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
}

bool DriveExists(const std::wstring& drive) {
  return GetDriveTypeW((drive + L"\\").c_str()) != DRIVE_NO_ROOT_DIR;
}

// The host's path of a file or folder under Wine, which gives it in UTF-8; the empty text elsewhere.
std::wstring UnixPathOf(const std::wstring& path) {
  const UnixFileName unixFileName = WineUnixFileName();
  char* unixPath = unixFileName ? unixFileName(path.c_str()) : nullptr;
  if (!unixPath) return {};
  std::wstring wide(std::strlen(unixPath) + 1, L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, &wide[0], static_cast<int>(wide.size()));
  wide.resize(length > 0 ? static_cast<size_t>(length) - 1 : 0);
  HeapFree(GetProcessHeap(), 0, unixPath);
  return wide;
}

constexpr DWORD kHostWorkMs = 60000;

// Wine runs a Unix program in no process of its own, and Wine 8 then hands back
// as its handles whatever its stack held: closing or ending those once closed
// this test's own output. So none is used, and the command says it has ended by
// making a file. Suspended, as Wine would otherwise resume that thread "handle".
void RunUnixCommand(const std::wstring& command) {
  static unsigned commands = 0;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring ended = temp + (L"toofel-unix-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                     std::to_wstring(++commands) + L".ended");
  NoteRemoval(ended);
  std::wstring commandLine = L"\"Z:\\bin\\sh\" -c \"" + command + L"; : >'" + UnixPathOf(ended) + L"'\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION unusable{};
  if (CreateProcessW(L"Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, L"C:\\",
                     &startup, &unusable))
    WaitUntil([&] { return Exists(ended); }, kHostWorkMs);
  DeleteFileW(ended.c_str());
}

// The processes StartProcess started and EndProcess has not yet ended: the
// open handle keeps each id from going to another program.
std::vector<DWORD>& StartedProcesses() {
  static std::vector<DWORD> ids;
  return ids;
}

bool StartedHere(HWND window) {
  DWORD owner = 0;
  if (!window || !GetWindowThreadProcessId(window, &owner)) return false;
  const std::vector<DWORD>& ids = StartedProcesses();
  return std::find(ids.begin(), ids.end(), owner) != ids.end();
}

// The test's own windows made to take input, which TakesInput names.
std::vector<HWND>& InputWindows() {
  static std::vector<HWND> windows;
  return windows;
}

bool IsOurs(HWND window) {
  const std::vector<HWND>& windows = InputWindows();
  return StartedHere(window) || (window && std::find(windows.begin(), windows.end(), window) != windows.end());
}

std::string Utf8(const std::wstring& text) {
  std::string bytes(text.size() * 3, '\0');
  bytes.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                       &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr)));
  return bytes;
}

std::string Described(HWND window) {
  if (!window) return "no window";
  wchar_t className[64] = L"";
  GetClassNameW(window, className, 64);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return "a window of class \"" + Utf8(className) + "\" of process " + std::to_string(owner);
}

void EnsureKeysReachOurs() {
  const HWND front = GetForegroundWindow();
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const bool focusInside = front && GetGUIThreadInfo(GetWindowThreadProcessId(front, nullptr), &info) &&
                           info.hwndFocus && (info.hwndFocus == front || IsChild(front, info.hwndFocus));
  if (!IsOurs(front))
    throw InputRefused("keys not sent: the window in front is " + Described(front) +
                       ", which is none of the test's own programs");
  if (!focusInside) throw InputRefused("keys not sent: the window in front, " + Described(front) + ", has no focus");
}

// The top-level window a click at the point lands on: disabled ones too, as a
// main window behind its question; a layered one that lets clicks through does not count.
HWND TopLevelWindowAt(POINT at) {
  for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
    const LONG_PTR clickThrough = WS_EX_LAYERED | WS_EX_TRANSPARENT;
    if (!IsWindowVisible(window) || (GetWindowLongPtrW(window, GWL_EXSTYLE) & clickThrough) == clickThrough) continue;
    RECT rect{};
    if (GetWindowRect(window, &rect) && PtInRect(&rect, at)) return window;
  }
  return nullptr;
}

void EnsurePressReachesOurs() {
  POINT at{};
  GetCursorPos(&at);
  const HWND under = TopLevelWindowAt(at);
  if (!IsOurs(under))
    throw InputRefused("button not pressed: the pointer at " + std::to_string(at.x) + "," + std::to_string(at.y) +
                       " is over " + Described(under) + ", which is none of the test's own programs");
}

}  // namespace

void TakesInput(HWND window) {
  InputWindows().push_back(window);
}

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  static unsigned counter = 0;
  wchar_t name[64];
  swprintf(name, 64, L"toofel-test-%lu-%u", GetCurrentProcessId(), ++counter);
  path = std::wstring(base) + name;
  NoteRemoval(path);
  CreateDirectoryW(path.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  RemoveTree(path);
}

void RemoveTree(const std::wstring& path) {
  if (!Exists(path)) return;
  // Under Wine the host removes it: Wine's shell took minutes over a folder of
  // a hundred thousand files.
  const std::wstring unixPath = UnixPathOf(path);
  if (!unixPath.empty()) {
    return RunUnixCommand(L"rm -rf '" + unixPath + L"'");
  }
  // Read-only files left by a test must not keep the folder alive.
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  const std::wstring from = path + L"\\*";
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW(from.c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do SetFileAttributesW((path + L"\\" + entry.cFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
    while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  std::wstring doubleTerminated = path + L'\0';
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = doubleTerminated.c_str();
  operation.fFlags = FOF_NO_UI;
  SHFileOperationW(&operation);
}

bool RunsUnderWine() {
  return WineUnixFileName() != nullptr;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteBytes(const std::wstring& file, const std::string& bytes) {
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(handle);
}

std::string ReadBytes(const std::wstring& file) {
  const HANDLE handle =
      CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(handle, nullptr), '\0');
  DWORD read = 0;
  ReadFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(handle);
  bytes.resize(read);
  return bytes;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > timeoutMs) return false;  // unsigned, so right across the wrap
    Sleep(10);
  }
}

std::wstring BuiltProgram(const wchar_t* name) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder(self);
  folder.resize(folder.find_last_of(L'\\'));
  folder.resize(folder.find_last_of(L'\\'));
  return folder + L"\\" + name;
}

std::wstring OtherBuildProgram(const wchar_t* name) {
  const wchar_t* folder = _wgetenv(L"TOOFEL_OTHER_BUILD");
  return folder && *folder ? std::wstring(folder) + L"\\" + name : std::wstring();
}

bool OtherBuildRuns() {
  const wchar_t* runs = _wgetenv(L"TOOFEL_OTHER_BUILD_RUNS");
  return !runs || wcscmp(runs, L"no") != 0;
}

std::vector<BuiltFile> BuiltFiles(const wchar_t* name) {
  constexpr bool kIs64Bit = sizeof(void*) == 8;
  std::vector<BuiltFile> files{{BuiltProgram(name), kIs64Bit}};
  const std::wstring other = OtherBuildProgram(name);
  if (!other.empty()) files.push_back({other, !kIs64Bit});
  return files;
}

// The programs a test starts end with it, also when it is killed mid-test: left
// running, they would take the next test's presses and lines.
HANDLE JobEndingWithThisProcess() {
  static const HANDLE job = [] {
    const HANDLE created = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return created;
  }();
  return job;
}

Process StartProcess(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  Process process;
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      folder.c_str(), &startup, &info)) {
    std::fprintf(stderr, "could not start %ls (error %lu)\n", program.c_str(), GetLastError());
    return process;
  }
  NoteProcess(info);
  // Before Windows 8 a process in a job, as a test under the runner may be,
  // cannot put another in a second one; there the runner's record ends it.
  if (!AssignProcessToJobObject(JobEndingWithThisProcess(), info.hProcess) && !KeepsARecord())
    std::fprintf(stderr, "process %lu is in no job of this test's and may outlive it (error %lu)\n", info.dwProcessId,
                 GetLastError());
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  process.handle = info.hProcess;
  process.id = info.dwProcessId;
  StartedProcesses().push_back(process.id);
  return process;
}

DWORD WaitForExit(const Process& process, DWORD timeoutMs) {
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.handle, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(process.handle, &code);
  return code;
}

void EndProcess(Process& process) {
  if (!process.handle) return;
  if (WaitForSingleObject(process.handle, 0) != WAIT_OBJECT_0) {
    TerminateProcess(process.handle, 99);
    WaitForSingleObject(process.handle, 5000);
  }
  CloseHandle(process.handle);
  std::vector<DWORD>& ids = StartedProcesses();
  ids.erase(std::remove(ids.begin(), ids.end(), process.id), ids.end());
  process = {};
}

DWORD RunCopyIn(const std::wstring& folder, const std::wstring& program, const std::wstring& arguments) {
  const std::wstring copy = folder + program.substr(program.find_last_of(L'\\'));
  CopyFileW(program.c_str(), copy.c_str(), FALSE);
  Process process = StartProcess(copy, arguments, folder);
  const DWORD code = WaitForExit(process);
  EndProcess(process);
  DeleteFileW(copy.c_str());
  return code;
}

namespace {

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
  auto& search = *reinterpret_cast<WindowSearch*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[64];
  GetClassNameW(window, className, 64);
  if (owner == search.processId && (!search.visibleOnly || IsWindowVisible(window)) &&
      lstrcmpiW(className, search.className) == 0) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0, DWORD data = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.mouseData = data;
  SendInput(1, &input, sizeof input);
}

// The side button's presses carry which side button it is. Windows swaps the
// buttons of input as a mouse's, so for a left hand the primary one is sent as
// the right; Wine 8 swaps none, and there the left stays the left.
void SendButton(Button button, DWORD left, DWORD right, DWORD middle, DWORD side) {
  if (button == Button::X1) return SendMouse(side, 0, 0, XBUTTON1);
  const bool swapped = !RunsUnderWine() && GetSystemMetrics(SM_SWAPBUTTON) != 0;
  if (button == Button::Middle) return SendMouse(middle);
  SendMouse((button == Button::Left) != swapped ? left : right);
}

HWND FindOwnedWindow(DWORD processId, const wchar_t* className, bool visibleOnly) {
  WindowSearch search{processId, className, visibleOnly, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

HWND FindProcessWindow(DWORD processId, const wchar_t* className) {
  return FindOwnedWindow(processId, className, true);
}

HWND WaitForQuestionShown(DWORD processId) {
  HWND dialog = nullptr;
  WaitUntil([&] { return (dialog = FindProcessWindow(processId, L"#32770")) != nullptr; });
  return dialog;
}

HWND WaitForQuestion(DWORD processId) {
  const HWND dialog = WaitForQuestionShown(processId);
  // Seen once shown, so after it began; the tick count moves in steps of up to 16 ms.
  constexpr DWORD kTickSteps = 2 * 16;
  if (dialog) Sleep(Platform::kQuestionUnreadMs + kTickSteps);
  return dialog;
}

std::vector<ChatRecord> ReadChatLog(const std::wstring& file) {
  const std::string log = ReadBytes(file);
  std::vector<ChatRecord> records;
  size_t at = 0;
  while (at < log.size()) {
    double ms = 0;
    int room = 0;
    size_t length = 0;
    int consumed = 0;
    if (std::sscanf(log.c_str() + at, "%lf %d %zu %n", &ms, &room, &length, &consumed) != 3) break;
    at += static_cast<size_t>(consumed);
    if (at + length + 1 > log.size()) break;  // a record still being written
    records.push_back({ms, room, log.substr(at, length)});
    at += length + 1;
  }
  return records;
}

void MoveMouseTo(POINT to) {
  const LONG width = GetSystemMetrics(SM_CXSCREEN);
  const LONG height = GetSystemMetrics(SM_CYSCREEN);
  SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (to.x * 65536 + width - 1) / width,
            (to.y * 65536 + height - 1) / height);
  // Under Wine a press sent before the pointer is seen to arrive can land where
  // the pointer was, on whatever window the last test left there.
  WaitUntil(
      [&] {
        POINT now{};
        return GetCursorPos(&now) && now.x == to.x && now.y == to.y;
      },
      2000);
}

void PressButton(Button button) {
  EnsurePressReachesOurs();
  SendButton(button, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_XDOWN);
}

void ReleaseButton(Button button) {
  SendButton(button, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_MIDDLEUP, MOUSEEVENTF_XUP);
}

RECT ScreenRectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

POINT CenterOf(HWND window) {
  const RECT rect = ScreenRectOf(window);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::wstring CopyToofelInto(const std::wstring& programFolder, const std::wstring& from) {
  const std::wstring program = programFolder + L"\\toofel.exe";
  CopyFileW(from.c_str(), program.c_str(), FALSE);
  return program;
}

Toofel ToofelOf(const Process& process, HWND window) {
  Toofel toofel;
  toofel.process = process;
  toofel.window = window;
  const HWND picture1 = FindWindowExW(toofel.window, nullptr, L"Static", nullptr);
  const HWND frame1 = FindWindowExW(toofel.window, nullptr, L"Button", nullptr);
  toofel.label = FindWindowExW(picture1, nullptr, L"Static", nullptr);
  toofel.handle = FindWindowExW(toofel.window, nullptr, L"Edit", nullptr);
  toofel.color = FindWindowExW(toofel.window, toofel.handle, L"Edit", nullptr);
  toofel.mp3dir = FindWindowExW(frame1, nullptr, L"Edit", nullptr);
  toofel.coms = FindWindowExW(frame1, nullptr, L"ListBox", nullptr);
  toofel.file1 = FindWindowExW(frame1, toofel.coms, L"ListBox", nullptr);
  toofel.list1 = FindWindowExW(toofel.window, nullptr, L"ListBox", nullptr);
  return toofel;
}

namespace {

// Twice under Wine tøøfel showed no window within 10 s; the longer wait tells
// a slow start from a failed one.
constexpr DWORD kToofelStartMs = 30000;

// A window that never came says whether tøøfel ended, and how, or runs on without it.
void SayWhyNoWindow(const Process& process) {
  if (!process.handle) return;  // StartProcess said why
  const DWORD code = WaitForExit(process, 0);
  if (code != STILL_ACTIVE) {
    std::fprintf(stderr, "toofel.exe (process %lu) ended with exit code 0x%08lX and showed no window\n", process.id,
                 code);
    return;
  }
  // No visible one was found, so any left is hidden.
  const bool hidden = FindOwnedWindow(process.id, L"toofel", false) != nullptr;
  std::fprintf(stderr, "toofel.exe (process %lu) still runs, %s\n", process.id,
               hidden ? "its main window hidden" : "with no main window");
}

}  // namespace

Toofel StartToofelAt(const std::wstring& program, const std::wstring& startFolder) {
  const Process process = StartProcess(program, L"", startFolder);
  HWND window = nullptr;
  if (!WaitUntil([&] { return (window = FindProcessWindow(process.id, L"toofel")) != nullptr; }, kToofelStartMs))
    SayWhyNoWindow(process);
  return ToofelOf(process, window);
}

Toofel StartToofel(const std::wstring& programFolder, const std::wstring& startFolder, const std::wstring& from) {
  return StartToofelAt(CopyToofelInto(programFolder, from), startFolder);
}

Process StartChatSim(const std::wstring& logFile, const std::wstring& rooms, const std::wstring& program) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  Process sim = StartProcess(program, L"--log \"" + logFile + L"\" " + rooms, folder);
  WaitUntil([&] { return FindProcessWindow(sim.id, L"AOL Frame25") != nullptr; });
  WaitForInputIdle(sim.handle, 60000);  // and has drawn its rooms
  return sim;
}

void CloseLikeTheTaskbar(HWND window) {
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void BringToFront(HWND window) {
  if (!SetForegroundWindow(window)) {
    const RECT frame = ScreenRectOf(window);
    MoveMouseTo({frame.left, frame.top});
    PressButton(Button::Left);
    ReleaseButton(Button::Left);
  }
  WaitUntil([&] { return GetForegroundWindow() == window; });
}

HWND FocusedControl(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

HWND CaptureOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndCapture : nullptr;
}

// The name of the control's standard client object, which screen readers read.
std::wstring AccessibleName(HWND control) {
  // IID_IAccessible; Wine refuses the one of mingw-w64's import library.
  constexpr GUID kAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
  IAccessible* accessible = nullptr;
  if (FAILED(CreateStdAccessibleObject(control, OBJID_CLIENT, kAccessible, reinterpret_cast<void**>(&accessible))))
    return L"(no client object)";
  VARIANT self{};  // CHILDID_SELF
  self.vt = VT_I4;
  BSTR name = nullptr;
  accessible->get_accName(self, &name);
  const std::wstring text = name ? name : L"";
  SysFreeString(name);
  accessible->Release();
  return text;
}

std::wstring TextOf(HWND control) {
  wchar_t text[1024] = L"";
  SendMessageW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return text;
}

std::vector<std::wstring> ListItems(HWND listBox) {
  std::vector<std::wstring> items;
  const LRESULT count = SendMessageW(listBox, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t item[1024] = L"";
    SendMessageW(listBox, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
    items.emplace_back(item);
  }
  return items;
}

void PressAndRelease(HWND control, Button button, POINT offset) {
  POINT at = CenterOf(control);
  MoveMouseTo(at);
  PressButton(button);
  constexpr int kSteps = 4;
  for (int step = 1; step <= kSteps && (offset.x || offset.y); ++step) {
    Sleep(30);
    MoveMouseTo({at.x + offset.x * step / kSteps, at.y + offset.y * step / kSteps});
  }
  ReleaseButton(button);
}

std::wstring MapDrive(const std::wstring& folder) {
  std::wstring drive = L"T:";
  while (DriveExists(drive))
    if (--drive[0] < L'M') return L"";
  NoteDriveMapping(drive, folder);
  if (!WineUnixFileName()) return DefineDosDeviceW(0, drive.c_str(), folder.c_str()) ? drive : L"";
  const wchar_t* prefix = _wgetenv(L"WINEPREFIX");
  const std::wstring target = UnixPathOf(folder);
  if (prefix && !target.empty()) {
    RunUnixCommand(L"ln -s '" + target + L"' '" + prefix + L"/dosdevices/" + static_cast<wchar_t>(towlower(drive[0])) +
                   L":'");
  }
  return WaitUntil([&] { return DriveExists(drive); }, 2000) ? drive : L"";
}

namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kDpiValue[] = L"LogPixels";

}  // namespace

DWORD ScreenDpiSetting() {
  DWORD dpi = 0;
  return ReadRegistryNumber(kDesktopKey, kDpiValue, dpi) ? dpi : 0;
}

void SetScreenDpiSetting(DWORD dpi) {
  NoteRegistryValue(kDesktopKey, kDpiValue);
  WriteRegistryNumber(kDesktopKey, kDpiValue, dpi);
}

NativeDllsFirst::NativeDllsFirst(const std::wstring& programName, std::initializer_list<const wchar_t*> dlls)
    : programKey(L"Software\\Wine\\AppDefaults\\" + programName) {
  constexpr wchar_t kNativeFirst[] = L"native,builtin";
  if (!RunsUnderWine()) return;
  HKEY existing = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, programKey.c_str(), 0, KEY_READ, &existing) == ERROR_SUCCESS) {
    RegCloseKey(existing);
  } else {
    NoteRegistryKey(programKey);
    NoteRegistryKey(programKey + L"\\DllOverrides");
  }
  HKEY overrides = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, (programKey + L"\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &overrides, nullptr) != ERROR_SUCCESS)
    return;
  for (const wchar_t* dll : dlls)
    RegSetValueExW(overrides, dll, 0, REG_SZ, reinterpret_cast<const BYTE*>(kNativeFirst), sizeof kNativeFirst);
  RegCloseKey(overrides);
}

NativeDllsFirst::~NativeDllsFirst() {
  if (!RunsUnderWine()) return;
  RegDeleteKeyW(HKEY_CURRENT_USER, (programKey + L"\\DllOverrides").c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, programKey.c_str());
}

WritesDenied::WritesDenied(const std::wstring& deniedFolder) : folder(deniedFolder) {
  if (RunsUnderWine()) return;
  NoteAccessList(folder);
  GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &savedAcl, nullptr,
                        &saved);
  EXPLICIT_ACCESSW deny{};
  deny.grfAccessPermissions = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD;
  deny.grfAccessMode = DENY_ACCESS;
  deny.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
  deny.Trustee.ptstrName = const_cast<wchar_t*>(L"CURRENT_USER");
  PACL acl = nullptr;
  if (SetEntriesInAclW(1, &deny, savedAcl, &acl) == ERROR_SUCCESS) {
    SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                          nullptr, acl, nullptr);
    LocalFree(acl);
  }
  const std::wstring probe = folder + L"\\probe.tmp";
  const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  denied = file == INVALID_HANDLE_VALUE;
  if (!denied) {
    CloseHandle(file);
    DeleteFileW(probe.c_str());
  }
}

WritesDenied::~WritesDenied() {
  if (!saved) return;
  SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                        nullptr, savedAcl, nullptr);
  LocalFree(saved);
}

void UnmapDrive(const std::wstring& drive) {
  const wchar_t* prefix = _wgetenv(L"WINEPREFIX");
  if (!WineUnixFileName()) {
    DefineDosDeviceW(DDD_REMOVE_DEFINITION, drive.c_str(), nullptr);
  } else if (prefix) {
    RunUnixCommand(std::wstring(L"rm -f '") + prefix + L"/dosdevices/" + static_cast<wchar_t>(towlower(drive[0])) +
                   L":'");
  }
}

void TypeText(const std::wstring& text) {
  for (const wchar_t character : text) {
    EnsureKeysReachOurs();
    INPUT strokes[2] = {};
    for (INPUT& stroke : strokes) {
      stroke.type = INPUT_KEYBOARD;
      stroke.ki.wScan = character;
      stroke.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    strokes[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, strokes, sizeof(INPUT));
  }
}

namespace {

// The keys of the block between the main keys and the keypad, and the right-hand
// modifiers, which a keyboard sends with the E0 prefix. Without it Home and the
// others are the keypad's keys: with NumLock on, Windows takes them for digits,
// or lifts Shift for them, so that Shift+Home does not select.
bool IsExtendedKey(WORD key) {
  switch (key) {
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_DIVIDE:
      return true;
    default:
      return false;
  }
}

// Each key as a keyboard sends it, with its scan code. The system marks a
// key-down for a key that is already down as the keyboard's repeat.
void SendChords(std::initializer_list<WORD> keys, int repeats, int times, DWORD repeatEveryMs = 0) {
  std::vector<INPUT> strokes;
  const auto send = [&] {
    EnsureKeysReachOurs();
    SendInput(static_cast<UINT>(strokes.size()), strokes.data(), sizeof(INPUT));
    strokes.clear();
  };
  const auto stroke = [&](WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    strokes.push_back(input);
  };
  for (int chord = 0; chord < times; ++chord) {
    for (const WORD key : keys) stroke(key, 0);
    for (int repeat = 0; repeat < repeats; ++repeat) {
      if (repeatEveryMs) {  // as a keyboard sends them: each on its own, some time after the last
        send();
        Sleep(repeatEveryMs);
      }
      stroke(*std::rbegin(keys), 0);
    }
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) stroke(*key, KEYEVENTF_KEYUP);
  }
  send();
}

// Under Wine every move of the pointer grabs and releases it, and the window
// under it then gets a keymap notification from X. Handling one, Wine lets go
// of each key that X does not see pressed, as no key sent here is: handled in
// the middle of a hold, it turns the next repeat into a fresh press. So a hold
// first reads the pointer from X, which Wine does once its own copy of the
// position is 100 ms old; that round trip follows the last move's release, so
// its notification is under way. Once the window under the pointer and the one
// in front have each answered a message, they have taken it.
void LetThePointersLastMoveSettle() {
  if (!RunsUnderWine()) return;
  constexpr DWORD kWineCursorCopyMs = 100, kMargin = 20;
  Sleep(kWineCursorCopyMs + kMargin);
  POINT at{};
  GetCursorPos(&at);
  for (const HWND window : {WindowFromPoint(at), GetForegroundWindow()})
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
}

}  // namespace

void PressKeys(std::initializer_list<WORD> keys, int times) {
  SendChords(keys, 0, times);
}

void HoldKeys(std::initializer_list<WORD> keys, int repeats, DWORD repeatEveryMs) {
  LetThePointersLastMoveSettle();
  SendChords(keys, repeats, 1, repeatEveryMs);
}

void MakeEmptyFiles(const std::wstring& folder, const std::vector<std::wstring>& names) {
  const std::wstring unixFolder = UnixPathOf(folder);
  if (unixFolder.empty()) {
    for (const std::wstring& name : names) WriteBytes(folder + L"\\" + name, "");
    return;
  }
  std::string list;
  for (const std::wstring& name : names) {
    std::string utf8(name.size() * 3, '\0');
    utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()),
                                                        utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
    list += utf8 + '\0';
  }
  WriteBytes(folder + L"\\names.list", list);
  RunUnixCommand(L"cd '" + unixFolder + L"' && xargs -0 touch < names.list && rm names.list");
}
