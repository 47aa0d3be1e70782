#include "chat_link/chat_link.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "expected_lines.h"

// Builds the chat client's window tree in this process with real windows, so
// the locator's lookups and the two messages run for real.
namespace {

// The input field each line was posted from, with the line's bytes.
using PostedLines = std::vector<std::pair<HWND, std::string>>;
PostedLines posted;
WNDPROC editProc = nullptr;

// An edit control that posts its text on Enter and empties, as the client's field does.
LRESULT CALLBACK InputFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR && wParam == 13) {
    char text[2048];
    GetWindowTextA(field, text, sizeof text);
    posted.emplace_back(field, text);
    SetWindowTextA(field, "");
    return 0;
  }
  return CallWindowProcA(editProc, field, message, wParam, lParam);
}

HWND Make(const char* className, HWND parent, void* parameter = nullptr) {
  return CreateWindowExA(0, className, "", parent ? WS_CHILD : WS_OVERLAPPED, 0, 0, 10, 10, parent, nullptr,
                         GetModuleHandleA(nullptr), parameter);
}

// Children of a document, by letter: Transcript, Combo box, Icon, Static and input field (R).
constexpr const char* kChildClasses[] = {"RICHCNTLREADONLY", "_AOL_Combobox", "_AOL_Icon", "_AOL_Static", "RICHCNTL"};

// The room is the first document with all four kinds, whatever comes before it,
// searched anew for every line; its input field gets the line in code page
// bytes, then Enter, and afterwards holds again what the user had typed there,
// with the caret at its end. Without the client's frame and its document area
// there is no room, whatever other programs' top-level windows look like;
// without a room, a top-level window of the input field's class gets nothing.
TEST(ChatLink, LineGoesToTheFirstRoomsInputFieldOnlyAndTheDraftComesBack) {
  WNDCLASSA edit{};
  GetClassInfoA(nullptr, "EDIT", &edit);
  editProc = edit.lpfnWndProc;
  for (const char* name : {"AOL Frame25", "Other Frame", "AOL Child", "RICHCNTLREADONLY", "_AOL_Combobox", "_AOL_Icon",
                           "_AOL_Static", "RICHCNTL"}) {
    const bool field = std::string(name) == "RICHCNTL";
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = field ? InputFieldProc : DefWindowProcA;
    windowClass.cbWndExtra = field ? edit.cbWndExtra : 0;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
  }
  const HWND stray = Make("RICHCNTL", nullptr);
  const struct {
    const char* frameClass;              // no client at all when null
    bool documentArea;                   // without it, the documents are top-level windows
    std::vector<std::string> documents;  // each document's children by kind
    int room;                            // index into documents, or -1 for none
  } cases[] = {
      {"AOL Frame25", true, {"tcsr", "tcisr"}, 1},
      {"AOL Frame25", true, {"tcisr", "rtcis"}, 0},
      {"AOL Frame25", true, {"csir", "tsir", "tcsr", "tcir"}, -1},
      {"AOL Frame25", true, {"tcis"}, 0},
      {"Other Frame", true, {"tcisr"}, -1},
      {nullptr, false, {}, -1},
      {nullptr, false, {"tcisr"}, -1},
      {"AOL Frame25", false, {"tcisr"}, -1},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(&test - cases);
    posted.clear();
    CLIENTCREATESTRUCT client{};
    const HWND frame = test.frameClass ? Make(test.frameClass, nullptr) : nullptr;
    const HWND documentArea = frame && test.documentArea ? Make("MDIClient", frame, &client) : nullptr;
    std::vector<HWND> documents;
    for (const std::string& kinds : test.documents) {
      documents.push_back(Make("AOL Child", documentArea));
      for (const char kind : kinds) {
        const HWND child = Make(kChildClasses[std::string("tcisr").find(kind)], documents.back());
        if (kind == 'r') SetWindowTextA(child, "brb");
      }
    }
    const HWND room = test.room < 0 ? nullptr : documents[test.room];
    EXPECT_EQ(Module1::FindChatRoom(), room);
    Module1::SendChatLine(L"t\u00F8\u00F8fel \u203A x");
    const HWND field = room ? FindWindowExA(room, nullptr, "RICHCNTL", nullptr) : nullptr;
    EXPECT_EQ(posted, (field ? PostedLines{{field, InCodePage(L"t\u00F8\u00F8fel \u203A x")}} : PostedLines{}));
    if (field) {
      char draft[64] = "";
      GetWindowTextA(field, draft, sizeof draft);
      DWORD start = 0, end = 0;
      SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      EXPECT_STREQ(draft, "brb");
      EXPECT_EQ(std::make_pair(start, end), std::make_pair(DWORD{3}, DWORD{3}));  // the caret after it
    }
    for (const HWND document : documents) DestroyWindow(document);
    DestroyWindow(frame);
  }
  EXPECT_EQ(GetWindowTextLengthA(stray), 0);
  DestroyWindow(stray);
}

}  // namespace
