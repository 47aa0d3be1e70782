// chat-sim: stands in for the chat client so toofel can be tested and shown
// without it. It builds the client's window tree (frame, MDI client, one
// document window per room), and lines posted in a room's input field are
// drawn in that room's transcript and appended to the log.
//
//   chat-sim.exe [--log FILE] [--hang-after N MS] [--slow-field MS]
//                [--busy-after-text MS] [--draft TEXT] [--typed-during-first-text TEXT] [ROOM ...]
//
// Each ROOM is a string of letters, one child window each, created in that
// order: t transcript, c combo box, i icon button, s static text, r input
// field. Other letters are ignored. No ROOM means one room "tcisr".
// --hang-after N MS: once the Nth line (counted over all rooms) is logged, the
// simulator stops answering messages for MS milliseconds, like a client that
// hangs.
// --slow-field MS: each input field takes MS milliseconds to apply a text it
// is given, like a client on a busy machine.
// --busy-after-text MS: each input field, once it has applied a text and
// answered its sender, stays busy for MS milliseconds, like a client drawing a
// long line.
// --draft TEXT: each input field starts holding TEXT, a message the user has
// typed and not yet sent.
// --typed-during-first-text TEXT: TEXT is typed into the field while it
// applies the first text it is given; it lands after that text.

#include "sim.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>

#include "chat_log.h"
#include "controls.h"

namespace {

constexpr wchar_t kFrameTitle[] = L"chat-sim";
constexpr int kFrameX = 300;  // clear of a narrow window at the top left
constexpr int kFrameY = 40;
constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;

constexpr int kMdiClientId = 1;
constexpr UINT kFirstMdiChildId = 50000;
constexpr int kFirstControlId = 100;

constexpr char kFullRoom[] = "tcisr";
constexpr wchar_t kLogOption[] = L"--log";
constexpr wchar_t kHangOption[] = L"--hang-after";
constexpr wchar_t kSlowFieldOption[] = L"--slow-field";
constexpr wchar_t kBusyAfterTextOption[] = L"--busy-after-text";
constexpr wchar_t kDraftOption[] = L"--draft";
constexpr wchar_t kTypedDuringFirstTextOption[] = L"--typed-during-first-text";
constexpr int kExitBadArguments = 2;
constexpr int kExitNoWindows = 3;

// Room layout, in pixels.
constexpr int kMargin = 6;
constexpr int kGap = 4;
constexpr int kRowHeight = 22;
constexpr int kFieldHeight = 24;
constexpr int kStaticWidth = 110;
constexpr int kComboWidth = 150;
constexpr int kIconWidth = 24;

struct ChildKind {
  char letter;
  const wchar_t* className;
  DWORD exStyle;
};

constexpr ChildKind kChildKinds[] = {
    {'t', kTranscriptClass, WS_EX_CLIENTEDGE}, {'c', kComboClass, 0}, {'i', kIconClass, 0}, {'s', kStaticClass, 0},
    {'r', kFieldClassW, WS_EX_CLIENTEDGE},
};

struct Options {
  std::wstring logPath;
  std::vector<std::string> rooms;  // letters of each room, unknown ones removed
  int hangAfterLine = 0;           // 0: never hangs
  DWORD hangMs = 0;
  FieldBehaviour fields;
  bool valid = true;
};

HWND frame = nullptr;
HWND mdiClient = nullptr;
std::vector<Room> rooms;

const ChildKind* FindChildKind(wchar_t letter) {
  for (const ChildKind& kind : kChildKinds)
    if (wchar_t(kind.letter) == letter) return &kind;
  return nullptr;
}

// The input field is an ANSI window: what the user types into it is code-page bytes.
std::string CodePageBytes(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(size_t(std::max(size, 1)), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  bytes.resize(bytes.size() - 1);
  return bytes;
}

Options ParseCommandLine() {
  Options options;
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; arguments && i < count; ++i) {
    const std::wstring argument = arguments[i];
    if (argument == kLogOption) {
      if (i + 1 < count)
        options.logPath = arguments[++i];
      else
        options.valid = false;
      continue;
    }
    if (argument == kHangOption) {
      if (i + 2 < count) {
        options.hangAfterLine = _wtoi(arguments[++i]);
        options.hangMs = DWORD(_wtoi(arguments[++i]));
      } else {
        options.valid = false;
      }
      continue;
    }
    if (argument == kSlowFieldOption || argument == kBusyAfterTextOption || argument == kDraftOption ||
        argument == kTypedDuringFirstTextOption) {
      if (i + 1 == count) {
        options.valid = false;
        continue;
      }
      const std::wstring value = arguments[++i];
      if (argument == kSlowFieldOption) options.fields.applyTextMs = DWORD(_wtoi(value.c_str()));
      if (argument == kBusyAfterTextOption) options.fields.busyAfterTextMs = DWORD(_wtoi(value.c_str()));
      if (argument == kDraftOption) options.fields.draft = CodePageBytes(value);
      if (argument == kTypedDuringFirstTextOption) options.fields.typedDuringFirstText = CodePageBytes(value);
      continue;
    }
    std::string letters;
    for (wchar_t letter : argument)
      if (FindChildKind(letter)) letters += char(letter);
    options.rooms.push_back(letters);
  }
  LocalFree(arguments);
  if (options.rooms.empty()) options.rooms.push_back(kFullRoom);
  return options;
}

// ---- layout ----

// Spreads the windows evenly across one row.
void PlaceInRow(const std::vector<HWND>& windows, int left, int top, int width, int height) {
  if (windows.empty()) return;
  const int count = int(windows.size());
  const int each = std::max(0, (width - (count - 1) * kGap) / count);
  for (int i = 0; i < count; ++i)
    MoveWindow(windows[i], left + i * (each + kGap), top, each, std::max(0, height), TRUE);
}

int SmallControlWidth(char letter) {
  switch (letter) {
    case 's':
      return kStaticWidth;
    case 'c':
      return kComboWidth;
    default:
      return kIconWidth;
  }
}

// Transcript on top taking what is left, then a row of the small controls,
// then the input field along the bottom.
void LayoutRoom(const Room& room) {
  RECT client;
  GetClientRect(room.document, &client);
  const int width = client.right - 2 * kMargin;

  std::vector<HWND> transcripts, fields, smalls;
  for (const RoomChild& child : room.children) {
    if (child.letter == 't')
      transcripts.push_back(child.window);
    else if (child.letter == 'r')
      fields.push_back(child.window);
    else
      smalls.push_back(child.window);
  }

  int bottom = client.bottom - kMargin;
  if (!fields.empty()) {
    PlaceInRow(fields, kMargin, bottom - kFieldHeight, width, kFieldHeight);
    bottom -= kFieldHeight + kGap;
  }
  if (!smalls.empty()) {
    int x = kMargin;
    for (const RoomChild& child : room.children) {
      if (child.letter == 't' || child.letter == 'r') continue;
      const int childWidth = SmallControlWidth(child.letter);
      MoveWindow(child.window, x, bottom - kRowHeight, childWidth, kRowHeight, TRUE);
      x += childWidth + kGap;
    }
    bottom -= kRowHeight + kGap;
  }
  PlaceInRow(transcripts, kMargin, kMargin, width, bottom - kMargin);
}

// ---- window procedures ----

void OnFrameClose(HWND frame) {
  DestroyWindow(frame);
}

void OnFrameDestroy() {
  PostQuitMessage(0);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      OnFrameClose(window);
      return 0;
    case WM_DESTROY:
      OnFrameDestroy();
      return 0;
  }
  return DefFrameProcW(window, mdiClient, message, wParam, lParam);
}

void OnDocumentSize(HWND document) {
  if (const Room* room = RoomOfDocument(document)) LayoutRoom(*room);
}

LRESULT CALLBACK DocumentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) OnDocumentSize(window);  // and MDI needs to see it too
  return DefMDIChildProcW(window, message, wParam, lParam);
}

// ---- creating the windows ----

bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, int background) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(background);
  windowClass.lpszClassName = name;
  return RegisterClassW(&windowClass) != 0;
}

bool RegisterClasses(HINSTANCE instance) {
  return RegisterWindowClass(instance, kFrameClass, FrameProc, COLOR_APPWORKSPACE) &&
         RegisterWindowClass(instance, kDocumentClass, DocumentProc, COLOR_BTNFACE) && RegisterControlClasses(instance);
}

std::wstring RoomTitle(int number) {
  return L"Room " + std::to_wstring(number);
}

void CreateRoomChildren(HINSTANCE instance, Room& room) {
  const std::wstring title = RoomTitle(room.number);
  int id = kFirstControlId;
  for (char letter : room.letters) {
    const ChildKind* kind = FindChildKind(wchar_t(letter));
    // Only the static text shows a caption; it names the room.
    const wchar_t* text = letter == 's' ? title.c_str() : nullptr;
    HWND child = CreateWindowExW(kind->exStyle, kind->className, text, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, room.document,
                                 reinterpret_cast<HMENU>(INT_PTR(id++)), instance, nullptr);
    room.children.push_back({letter, child});
    if (letter == 't' && !room.transcript) room.transcript = child;
  }
}

// Room 1 must be the MDI client's first child (FindWindowEx walks children
// front to back), then Room 2, and so on, whatever MDI did while tiling.
void PutRoomsInArgumentOrder() {
  HWND previous = HWND_TOP;
  for (const Room& room : rooms) {
    SetWindowPos(room.document, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = room.document;
  }
}

// Full-width bands, top to bottom, like MDI's horizontal tiling, but in one
// batch with drawing held back: MDI's own tiling repaints every sibling per
// move and takes minutes for a thousand rooms.
void TileRooms() {
  RECT client;
  GetClientRect(mdiClient, &client);
  const int count = int(rooms.size());
  SendMessageW(mdiClient, WM_SETREDRAW, FALSE, 0);
  HDWP moves = BeginDeferWindowPos(count);
  for (int i = 0; i < count && moves; ++i) {
    const int top = client.bottom * i / count;
    const int bottom = client.bottom * (i + 1) / count;
    moves = DeferWindowPos(moves, rooms[i].document, nullptr, 0, top, client.right, bottom - top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (moves) EndDeferWindowPos(moves);
  SendMessageW(mdiClient, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(mdiClient, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

bool CreateWindows(HINSTANCE instance, const std::vector<std::string>& roomLetters) {
  frame = CreateWindowExW(0, kFrameClass, kFrameTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, kFrameX, kFrameY,
                          kFrameWidth, kFrameHeight, nullptr, nullptr, instance, nullptr);
  if (!frame) return false;

  CLIENTCREATESTRUCT mdi = {};
  mdi.idFirstChild = kFirstMdiChildId;
  RECT client;
  GetClientRect(frame, &client);
  mdiClient = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDIClient", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                              client.right, client.bottom, frame, reinterpret_cast<HMENU>(INT_PTR(kMdiClientId)),
                              instance, &mdi);
  if (!mdiClient) return false;

  rooms.resize(roomLetters.size());
  for (std::size_t i = 0; i < rooms.size(); ++i) {
    rooms[i].number = int(i) + 1;
    rooms[i].letters = roomLetters[i];
  }
  // Each new MDI child goes in front, so the last room is made first.
  for (std::size_t i = rooms.size(); i-- > 0;) {
    Room& room = rooms[i];
    // Placed by the tiling below; a default position makes MDI walk every
    // earlier child.
    room.document = CreateWindowExW(WS_EX_MDICHILD, kDocumentClass, RoomTitle(room.number).c_str(),
                                    WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, kFrameWidth,
                                    kFrameHeight, mdiClient, nullptr, instance, nullptr);
    if (!room.document) return false;
    CreateRoomChildren(instance, room);
    LayoutRoom(room);
  }
  TileRooms();
  PutRoomsInArgumentOrder();
  ShowWindow(frame, SW_SHOWNORMAL);
  UpdateWindow(frame);
  return true;
}

int RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (TranslateMDISysAccel(mdiClient, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return int(message.wParam);
}

}  // namespace

const Room* RoomOfDocument(HWND document) {
  for (const Room& room : rooms)
    if (room.document && room.document == document) return &room;
  return nullptr;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const Options options = ParseCommandLine();
  if (!options.valid) return kExitBadArguments;
  if (!options.logPath.empty() && !OpenChatLog(options.logPath)) return kExitBadArguments;

  HangAfterLine(options.hangAfterLine, options.hangMs);
  SetFieldBehaviour(options.fields);
  CreateControlFonts();
  int exitCode = kExitNoWindows;
  if (RegisterClasses(instance) && CreateWindows(instance, options.rooms)) exitCode = RunMessageLoop();
  DeleteControlFonts();
  CloseChatLog();
  return exitCode;
}
