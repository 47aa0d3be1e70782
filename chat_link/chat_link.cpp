#include "chat_link/chat_link.h"

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

// A null parent searches the top-level windows, as the platform defines it.
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

}  // namespace

WindowHandle FindChatRoom() {
  const HWND frame = FindWindowA(kFrameClass, nullptr);
  const HWND documentArea = FirstChild(frame, kDocumentAreaClass);
  for (HWND document = FirstChild(documentArea, kDocumentClass); document;
       document = NextChild(documentArea, document, kDocumentClass)) {
    if (IsChatRoom(document)) return document;
  }
  return nullptr;
}

void SendChatLine(const std::wstring& text) {
  const HWND field = FirstChild(FindChatRoom(), kInputFieldClass);
  const std::string line = Platform::ToAnsi(text);
  SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(line.c_str()));
  SendMessageA(field, WM_CHAR, kCarriageReturn, 0);
}

}  // namespace Module1
