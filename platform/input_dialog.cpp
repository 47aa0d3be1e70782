#include "platform/input_dialog.h"

#include <bitset>
#include <initializer_list>
#include <vector>

#include "platform/events.h"
#include "platform/screen.h"
#include "platform/text.h"

namespace Platform {
namespace {

constexpr WORD kAnswerId = 100;
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kFontPoints = 8;
constexpr int kPointsPerInch = 72;
constexpr wchar_t kFontFace[] = L"MS Shell Dlg";

// Builds the dialog in memory, so the program needs no resource script for it.
using Template = std::vector<WORD>;

void AddDword(Template& words, DWORD value) {
  words.push_back(LOWORD(value));
  words.push_back(HIWORD(value));
}

void AddText(Template& words, const std::wstring& text) {
  words.insert(words.end(), text.begin(), text.end());
  words.push_back(0);
}

void AddBox(Template& words, short x, short y, short width, short height) {
  for (const short value : {x, y, width, height}) words.push_back(static_cast<WORD>(value));
}

void AddItem(Template& words, WORD classAtom, const std::wstring& text, DWORD style, WORD id, short x, short y,
             short width, short height) {
  if (words.size() % 2) words.push_back(0);  // items start on a DWORD boundary
  AddDword(words, WS_CHILD | WS_VISIBLE | style);
  AddDword(words, 0);
  AddBox(words, x, y, width, height);
  words.push_back(id);
  words.push_back(0xFFFF);
  words.push_back(classAtom);
  AddText(words, text);
  words.push_back(0);  // no creation data
}

Template MakeTemplate(const std::wstring& caption, const std::wstring& prompt) {
  Template words;
  AddDword(words, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER | DS_SETFOREGROUND);
  AddDword(words, WS_EX_TOPMOST);  // in front of the always-on-top main window
  words.push_back(4);              // items
  AddBox(words, 0, 0, 220, 62);
  words.push_back(0);  // no menu
  words.push_back(0);  // the standard dialog class
  AddText(words, caption);
  words.push_back(kFontPoints);
  AddText(words, kFontFace);
  AddItem(words, kStaticClass, prompt, SS_LEFT | SS_NOPREFIX, static_cast<WORD>(-1), 7, 7, 206, 16);
  AddItem(words, kEditClass, L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kAnswerId, 7, 25, 206, 12);
  AddItem(words, kButtonClass, L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 109, 43, 50, 14);
  AddItem(words, kButtonClass, L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, 163, 43, 50, 14);
  return words;
}

// What the dialog's procedure reads and fills in; the font is made only when the dialog needs one.
struct Question {
  std::wstring answer;
  int ownerDpi;
  HFONT font;
  bool shown;     // once the dialog manager has shown the dialog
  DWORD shownAt;  // the tick count then
  std::bitset<256> keysMeant;
};

// The open question, for the keyboard filter, which is handed no context of its own.
Question* asking = nullptr;

bool IsKeyMessage(UINT message) {
  return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

// Only keys pressed once the question shows answer it. A key typed ahead,
// still queued when the question opened, was meant for what was on screen
// before. A key held down since before, such as the Ctrl+Enter that asked,
// keeps repeating with fresh times; only a key pressed afresh counts. In the
// question's first moment, Enter and Escape neither answer nor cancel, nor do
// their repeats: a second tap of the key that asked, or a bouncing key, comes
// that soon, and may then be held. The tick count wraps, so only differences
// of times are compared.
bool IsMeantForTheQuestion(const MSG& message, Question& question) {
  if (!question.shown) return false;
  const LONG sinceShown = static_cast<LONG>(message.time - question.shownAt);
  if (sinceShown < 0) return false;
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return true;
  const size_t key = message.wParam & 0xFF;
  if (!IsKeyRepeat(message))
    question.keysMeant.set(key, sinceShown >= kQuestionUnreadMs || (key != VK_RETURN && key != VK_ESCAPE));
  return question.keysMeant.test(key);
}

LRESULT CALLBACK TakeOnlyKeysMeantForTheQuestion(int code, WPARAM wParam, LPARAM lParam) {
  const MSG& message = *reinterpret_cast<const MSG*>(lParam);
  if (code == MSGF_DIALOGBOX && asking && IsKeyMessage(message.message) && !IsMeantForTheQuestion(message, *asking))
    return TRUE;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The dialog manager lays the dialog out at the dialog's DPI, which before Windows 10
// is the system's whatever the monitor; an owner drawn at another DPI gets the
// dialog laid out again at its own, about the same centre.
void DrawAtOwnersDpi(HWND dialog, Question& question) {
  const int fromDpi = WindowDpi(dialog);
  const int toDpi = question.ownerDpi;
  if (fromDpi == toDpi) return;
  const auto scale = [&](LONG pixels) { return MulDiv(pixels, toDpi, fromDpi); };
  question.font =
      CreateFontW(-MulDiv(kFontPoints, toDpi, kPointsPerInch), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, kFontFace);
  for (HWND item = GetWindow(dialog, GW_CHILD); item; item = GetWindow(item, GW_HWNDNEXT)) {
    RECT at;
    GetWindowRect(item, &at);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&at), 2);
    SetWindowPos(item, nullptr, scale(at.left), scale(at.top), scale(at.right - at.left), scale(at.bottom - at.top),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(question.font), FALSE);
  }
  RECT client, outer;
  GetClientRect(dialog, &client);
  GetWindowRect(dialog, &outer);
  RECT frame{0, 0, scale(client.right), scale(client.bottom)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  SetWindowPos(dialog, nullptr, (outer.left + outer.right - width) / 2, (outer.top + outer.bottom - height) / 2, width,
               height, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SHOWWINDOW: {
      Question& question = *reinterpret_cast<Question*>(GetWindowLongPtrW(dialog, DWLP_USER));
      if (wParam && !question.shown) {
        question.shown = true;
        question.shownAt = GetTickCount();
      }
      return FALSE;
    }
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      DrawAtOwnersDpi(dialog, *reinterpret_cast<Question*>(lParam));
      return TRUE;  // the focus goes to the answer field
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        reinterpret_cast<Question*>(GetWindowLongPtrW(dialog, DWLP_USER))->answer =
            TextOf(GetDlgItem(dialog, kAnswerId));
      }
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

std::wstring AskForText(WindowHandle owner, int ownerDpi, const std::wstring& caption, const std::wstring& prompt) {
  const Template words = MakeTemplate(caption, prompt);
  Question question{std::wstring(), ownerDpi, nullptr, false, 0, {}};
  Question* const outer = asking;
  asking = &question;
  const HHOOK filter = SetWindowsHookExW(WH_MSGFILTER, TakeOnlyKeysMeantForTheQuestion, nullptr, GetCurrentThreadId());
  DialogBoxIndirectParamW(nullptr, reinterpret_cast<const DLGTEMPLATE*>(words.data()), owner, DialogProc,
                          reinterpret_cast<LPARAM>(&question));
  if (filter) UnhookWindowsHookEx(filter);
  asking = outer;
  if (question.font) DeleteObject(question.font);  // the dialog and its fields are gone by now
  return question.answer;
}

}  // namespace Platform
