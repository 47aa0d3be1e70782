#include "chat_link/chat_link.h"

#include <optional>

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
// client that is only busy (drawing, or starved of the CPU) take its message,
// and holds tøøfel up for no longer than a blink when the client has stopped;
// one that has not read its messages for seconds is passed over at once.
constexpr UINT kClientAnswerMs = 200;
// How long one line may wait on a slow client, from its first message to the
// draft back in the field: Windows calls a window hung after five seconds
// without an answer.
constexpr double kLineBoundSeconds = 5;
// Before each look at the field, tøøfel handles its own events this long; a
// hung client answers a look at once, so the looks are paced.
constexpr double kLookIntervalSeconds = 0.05;
// Between two messages to the client, tøøfel's own events are handled for at
// most this long: a stream of input, an auto-clicker's, would hold a line up
// for good.
constexpr double kOwnEventsSliceSeconds = 0.05;
// See Stage::TextSent.
constexpr double kWithdrawnAfterSeconds = 0.1;
// Longer fields are read again with twice the room.
constexpr size_t kFirstReadChars = 1024;

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

// A message that timed out may still have been begun: the client then
// finishes it later. One it never took is withdrawn.
enum class Sent { Taken, TimedOut, Failed };

Sent Outcome(LRESULT answered) {
  if (answered) return Sent::Taken;
  return GetLastError() == ERROR_TIMEOUT ? Sent::TimedOut : Sent::Failed;
}

Sent SendToClient(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR ignored = 0;
  return Outcome(SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kClientAnswerMs, &ignored));
}

// The line itself goes as code-page bytes, as the client reads them.
Sent SendLineText(HWND field, const std::string& bytes) {
  DWORD_PTR ignored = 0;
  return Outcome(SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes.c_str()), SMTO_ABORTIFHUNG,
                                     kClientAnswerMs, &ignored));
}

// Where one line stands in the field. Each send that times out is followed by
// looks at the field, which tell what became of it.
enum class Stage {
  PutText,
  // The text's send timed out. A text withdrawn unread never lands; one the
  // client had begun lands once it answers again. So once the client has
  // answered two looks this far apart without showing the line, it was
  // withdrawn: a client that answers other messages inside its handling of a
  // text could still show it later, and is out of reach.
  TextSent,
  TextLanded,
  // Enter's send timed out: withdrawn, as from a client busy drawing the long
  // line, while the field still holds exactly the line; taken, once it empties.
  EnterSent,
  EnterTaken,
  PutBack,
  PutBackSent,
  Done,
};

// Everything one line needs while it waits on the client.
struct Line {
  HWND field;
  std::string bytes;   // what the field is set to
  std::wstring shown;  // what the field reads back once it holds the line
  std::wstring draft;  // the user's own text, found in the field before
  double giveUpAt;
  std::wstring putBack;     // what the field is to hold once tøøfel is done with it
  double missedSince = -1;  // the first of the looks in a row that found no line, after the text's time-out
  double enterAt = -1;      // when Enter last went out
  bool quitting = false;    // the window is closed: no Enter goes out, only tøøfel's text comes back out
};

// So that input never waits on two sends to the client in a row.
void HandleOwnEvents(Line& line) {
  if (!line.quitting && !Platform::DispatchPendingEvents(kOwnEventsSliceSeconds)) line.quitting = true;
}

void WaitForNextLook(Line& line) {
  if (!line.quitting && !Platform::HandleEventsUntil(Platform::ClockSeconds() + kLookIntervalSeconds))
    line.quitting = true;
  // With the quit pending, every wait for events would end at once.
  if (line.quitting) Sleep(static_cast<DWORD>(kLookIntervalSeconds * 1000));
}

// The field's whole text; nothing when the client does not answer in time.
std::optional<std::wstring> ReadField(Line& line) {
  for (size_t room = kFirstReadChars;; room *= 2) {
    std::wstring text(room, L'\0');
    if (SendToClient(line.field, WM_GETTEXT, room, reinterpret_cast<LPARAM>(text.data())) != Sent::Taken)
      return std::nullopt;
    const size_t length = text.find(L'\0');
    if (length + 1 < room) return text.substr(0, length);
    HandleOwnEvents(line);
  }
}

// The line has gone out: back comes the draft, before anything the user typed since.
Stage PutDraftBack(Line& line, const std::wstring& typedSince) {
  if (line.draft.empty()) return Stage::Done;
  line.putBack = line.draft + typedSince;
  return Stage::PutBack;
}

// Out comes tøøfel's text, in goes the draft, and after it what the user typed meanwhile.
Stage TakeBack(Line& line, std::wstring seen) {
  seen.erase(seen.find(line.shown), line.shown.size());
  line.putBack = line.draft + seen;
  return Stage::PutBack;
}

// A send that failed outright leaves nothing to wait for.
Stage After(Sent sent, Stage ifTaken, Stage ifTimedOut) {
  switch (sent) {
    case Sent::Taken:
      return ifTaken;
    case Sent::TimedOut:
      return ifTimedOut;
    default:
      return Stage::Done;
  }
}

Stage PutText(Line& line) {
  if (line.quitting) return Stage::Done;
  return After(SendLineText(line.field, line.bytes), Stage::TextLanded, Stage::TextSent);
}

Stage PressEnter(Line& line) {
  if (line.quitting) return TakeBack(line, line.shown);
  const Sent sent = SendToClient(line.field, WM_CHAR, kCarriageReturn, 0);
  line.enterAt = Platform::ClockSeconds();
  return After(sent, line.draft.empty() ? Stage::Done : Stage::EnterTaken, Stage::EnterSent);
}

Stage PutBack(Line& line) {
  const Sent sent = SendToClient(line.field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(line.putBack.c_str()));
  if (sent == Sent::Taken) {
    HandleOwnEvents(line);
    const LPARAM end = static_cast<LPARAM>(line.putBack.size());
    SendToClient(line.field, EM_SETSEL, static_cast<WPARAM>(end), end);  // the caret after the user's text
  }
  return After(sent, Stage::Done, Stage::PutBackSent);
}

Stage Send(Line& line, Stage stage) {
  HandleOwnEvents(line);
  switch (stage) {
    case Stage::PutText:
      return PutText(line);
    case Stage::TextLanded:
      return PressEnter(line);
    default:
      return PutBack(line);
  }
}

// What the field shows decides what comes next.
Stage AfterLook(Line& line, Stage stage, const std::wstring& seen) {
  const bool holdsLine = seen.find(line.shown) != std::wstring::npos;
  const bool holdsOnlyLine = seen == line.shown;
  if (stage != Stage::TextSent || holdsLine) line.missedSince = -1;
  switch (stage) {
    case Stage::TextSent:
      if (holdsOnlyLine) return Stage::TextLanded;
      if (holdsLine) return TakeBack(line, seen);  // typed after the line: an Enter now would post both
      if (line.missedSince < 0) line.missedSince = Platform::ClockSeconds();
      return Platform::ClockSeconds() - line.missedSince >= kWithdrawnAfterSeconds ? Stage::Done : stage;
    case Stage::EnterSent:
      // Sent again, a client that handled other messages inside its handling
      // of the first Enter could post the line twice: rarer, and less harm,
      // than a line left in the field to go out with the user's next one.
      if (holdsOnlyLine) return Stage::TextLanded;
      if (holdsLine) return TakeBack(line, seen);
      return PutDraftBack(line, seen);
    case Stage::EnterTaken:
      if (holdsLine) return stage;  // not posted yet
      return PutDraftBack(line, seen);
    default:  // Stage::PutBackSent
      if (holdsLine) return TakeBack(line, seen);
      // Otherwise it is in, or the user has typed into the emptied field since.
      return seen.empty() && !line.putBack.empty() ? Stage::PutBack : Stage::Done;
  }
}

// The line's time is up: tøøfel's text, where the field still holds it, comes back out.
Stage AtBound(Line& line, Stage stage) {
  if (stage == Stage::PutBackSent) return Stage::Done;
  HandleOwnEvents(line);
  const std::optional<std::wstring> seen = ReadField(line);
  if (!seen || seen->find(line.shown) == std::wstring::npos) return Stage::Done;
  return TakeBack(line, *seen);
}

bool IsSend(Stage stage) {
  return stage == Stage::PutText || stage == Stage::TextLanded || stage == Stage::PutBack;
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

double SendChatLine(const std::wstring& text) {
  const HWND room = FindChatRoom();
  const HWND field = room ? FirstChild(room, kInputFieldClass) : nullptr;
  if (!field) return Platform::ClockSeconds();
  Line line{field, Platform::ToAnsi(text), {}, {}, Platform::ClockSeconds() + kLineBoundSeconds, {}};
  line.shown = Platform::FromAnsi(line.bytes);
  // A field that cannot be read might hold the user's text: it weighs more than the line.
  const std::optional<std::wstring> draft = ReadField(line);
  if (!draft) return Platform::ClockSeconds();
  line.draft = *draft;
  bool pastBound = false;
  Stage stage = Stage::PutText;
  while (stage != Stage::Done) {
    if (IsSend(stage)) {
      stage = Send(line, stage);
    } else if (!IsWindow(field)) {
      stage = Stage::Done;
    } else if (Platform::ClockSeconds() >= line.giveUpAt) {
      stage = pastBound ? Stage::Done : AtBound(line, stage);
      pastBound = true;
    } else {
      WaitForNextLook(line);
      const std::optional<std::wstring> seen = ReadField(line);
      if (seen) {
        stage = AfterLook(line, stage, *seen);
      } else {
        line.missedSince = -1;
      }
    }
  }
  return line.enterAt < 0 ? Platform::ClockSeconds() : line.enterAt;
}

}  // namespace Module1
