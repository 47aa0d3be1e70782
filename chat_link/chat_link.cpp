#include "chat_link/chat_link.h"

#include "platform/clock.h"
#include "platform/events.h"
#include "platform/text.h"

namespace Module1 {
namespace {

constexpr char kFrameClass[] = "AOL Frame25";
constexpr char kDocumentAreaClass[] = "MDIClient";
constexpr char kDocumentClass[] = "AOL Child";
constexpr char kTranscriptClass[] = "RICHCNTLREADONLY";
constexpr char kComboBoxClass[] = "_AOL_Combobox";
constexpr char kIconClass[] = "_AOL_Icon";
constexpr char kStaticClass[] = "_AOL_Static";
constexpr char kInputFieldClass[] = "RICHCNTL";
constexpr WPARAM kCarriageReturn = 13;
// The client answers in well under a millisecond. A fifth of a second lets a
// client that is only busy (drawing, or starved of the CPU) take its line, and
// holds tøøfel up for no longer than a blink when the client has stopped; one
// that has not read its messages for seconds is passed over at once.
constexpr UINT kClientAnswerMs = 200;
// A client may have begun applying a text when the send gives up on it; the
// text then lands later. It is looked for this long: Windows calls a window
// hung after five seconds without an answer. A client slower than that keeps
// the text, without its Enter.
constexpr double kLandingBoundSeconds = 5;
// Before each look at the field, tøøfel handles its own events this long; a
// hung client answers a look at once, so the looks are paced.
constexpr double kLookIntervalSeconds = 0.05;

// A null parent searches the top-level windows, where any program's window
// could pass for the client's; callers make sure the parent is there.
HWND FirstChild(HWND parent, const char* className) {
  return FindWindowExA(parent, nullptr, className, nullptr);
}

HWND NextChild(HWND parent, HWND after, const char* className) {
  return FindWindowExA(parent, after, className, nullptr);
}

bool IsChatRoom(HWND document) {
  // Every lookup runs, in this order, whatever the earlier ones found.
  const bool transcript = FirstChild(document, kTranscriptClass) != nullptr;
  const bool comboBox = FirstChild(document, kComboBoxClass) != nullptr;
  const bool icon = FirstChild(document, kIconClass) != nullptr;
  const bool staticText = FirstChild(document, kStaticClass) != nullptr;
  return transcript && comboBox && icon && staticText;
}

// False when the client did not take the message in time or is hung.
bool SendToClient(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result = nullptr) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kClientAnswerMs,
                             result ? result : &ignored) != 0;
}

// Whether the field holds exactly the line's bytes; false when the client does not answer in time.
bool FieldHolds(HWND field, const std::string& line) {
  std::string text(line.size() + 2, '\0');  // room to see a longer text
  DWORD_PTR length = 0;
  return SendToClient(field, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &length) &&
         length == line.size() && text.compare(0, line.size(), line) == 0;
}

// After the send of the text gave up: looks until the field holds the text,
// handling tøøfel's own events before each look, so that input never waits on
// two sends to the client in a row. False when the bound passes, the field
// goes away or the program quits.
bool TextLanded(HWND field, const std::string& line) {
  const double giveUpAt = Platform::ClockSeconds() + kLandingBoundSeconds;
  for (;;) {
    const double nextLook = Platform::ClockSeconds() + kLookIntervalSeconds;
    if (nextLook > giveUpAt || !Platform::HandleEventsUntil(nextLook) || !IsWindow(field)) return false;
    if (FieldHolds(field, line)) return Platform::DispatchPendingEvents();
  }
}

}  // namespace

WindowHandle FindChatRoom() {
  const HWND frame = FindWindowA(kFrameClass, nullptr);
  if (!frame) return nullptr;
  const HWND documentArea = FirstChild(frame, kDocumentAreaClass);
  if (!documentArea) return nullptr;
  for (HWND document = FirstChild(documentArea, kDocumentClass); document;
       document = NextChild(documentArea, document, kDocumentClass)) {
    if (IsChatRoom(document)) return document;
  }
  return nullptr;
}

void SendChatLine(const std::wstring& text) {
  const HWND room = FindChatRoom();
  if (!room) return;
  const HWND field = FirstChild(room, kInputFieldClass);
  const std::string line = Platform::ToAnsi(text);
  // Enter after a text that never arrived would post whatever the field held;
  // a text that arrived without its Enter would go out with the user's next line.
  if (!SendToClient(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(line.c_str())) &&
      (GetLastError() != ERROR_TIMEOUT || !TextLanded(field, line)))
    return;
  SendToClient(field, WM_CHAR, kCarriageReturn, 0);
}

}  // namespace Module1
