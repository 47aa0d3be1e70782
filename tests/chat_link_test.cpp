#include "chat_link/chat_link.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Builds the chat client's window tree in this process with real windows, so
// the locator's lookups and the two messages run for real.
namespace {

struct PostedLine {
  HWND field;
  std::string bytes;
};
std::vector<PostedLine> posted;

LRESULT CALLBACK InputFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR && wParam == 13) {
    char text[2048];
    GetWindowTextA(field, text, sizeof text);
    posted.push_back({field, text});
    return 0;
  }
  return DefWindowProcA(field, message, wParam, lParam);
}

void Register(const char* className, WNDPROC procedure) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);
}

HWND Make(const char* className, HWND parent) {
  return CreateWindowExA(0, className, "", parent ? WS_CHILD : WS_OVERLAPPED, 0, 0, 10, 10, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

class ChatLink : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const char* name :
         {"AOL Frame25", "Other Frame", "AOL Child", "RICHCNTLREADONLY", "_AOL_Combobox", "_AOL_Icon", "_AOL_Static"}) {
      Register(name, DefWindowProcA);
    }
    Register("RICHCNTL", InputFieldProc);
  }

  void SetUp() override {
    posted.clear();
    frame = Make("AOL Frame25", nullptr);
    CLIENTCREATESTRUCT client{};
    documentArea =
        CreateWindowExA(0, "MDIClient", "", WS_CHILD, 0, 0, 10, 10, frame, nullptr, GetModuleHandleA(nullptr), &client);
  }

  void TearDown() override { DestroyWindow(frame); }

  // A document window with children named by letters: Transcript, Combo box,
  // Icon, Static, input field (R). Documents come in creation order.
  HWND AddDocument(const std::string& kinds, HWND parent = nullptr) {
    const HWND document = Make("AOL Child", parent ? parent : documentArea);
    for (const char kind : kinds) {
      const char* className = kind == 't'   ? "RICHCNTLREADONLY"
                              : kind == 'c' ? "_AOL_Combobox"
                              : kind == 'i' ? "_AOL_Icon"
                              : kind == 's' ? "_AOL_Static"
                                            : "RICHCNTL";
      Make(className, document);
    }
    return document;
  }

  static HWND FieldOf(HWND document) { return FindWindowExA(document, nullptr, "RICHCNTL", nullptr); }

  HWND frame = nullptr;
  HWND documentArea = nullptr;
};

TEST_F(ChatLink, PassesOverADocumentThatLacksAKind) {
  AddDocument("tcsr");
  const HWND room = AddDocument("tcisr");
  EXPECT_EQ(Module1::FindChatRoom(), room);
  Module1::SendChatLine(L"hello");
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].field, FieldOf(room));
  EXPECT_EQ(posted[0].bytes, "hello");
}

TEST_F(ChatLink, EachOfTheFourKindsIsNeeded) {
  for (const std::string kinds : {"csir", "tsir", "tcsr", "tcir"}) {
    const HWND document = AddDocument(kinds);
    EXPECT_EQ(Module1::FindChatRoom(), nullptr) << kinds;
    DestroyWindow(document);
  }
  Module1::SendChatLine(L"lost");
  EXPECT_TRUE(posted.empty());
}

TEST_F(ChatLink, WithoutTheClientFrameNothingIsFoundOrSent) {
  DestroyWindow(frame);
  frame = Make("Other Frame", nullptr);
  CLIENTCREATESTRUCT client{};
  const HWND area =
      CreateWindowExA(0, "MDIClient", "", WS_CHILD, 0, 0, 10, 10, frame, nullptr, GetModuleHandleA(nullptr), &client);
  AddDocument("tcisr", area);
  EXPECT_EQ(Module1::FindChatRoom(), nullptr);
  Module1::SendChatLine(L"lost");
  EXPECT_TRUE(posted.empty());
}

// Another program's top-level window of the input field's class must not take the lines.
TEST_F(ChatLink, WithoutARoomAStrayInputFieldGetsNothing) {
  const HWND stray = Make("RICHCNTL", nullptr);
  AddDocument("tcsr");  // the client runs, but no document is a room
  Module1::SendChatLine(L"lost");
  DestroyWindow(frame);
  frame = nullptr;
  Module1::SendChatLine(L"lost");  // no client at all
  char text[16] = "";
  EXPECT_EQ(GetWindowTextA(stray, text, sizeof text), 0);
  DestroyWindow(stray);
  EXPECT_TRUE(posted.empty());
}

TEST_F(ChatLink, FirstOfTwoRoomsGetsTheLineAndEveryLineSearchesAnew) {
  const HWND first = AddDocument("tcisr");
  const HWND firstField = FieldOf(first);
  const HWND second = AddDocument("rtcis");
  Module1::SendChatLine(L"one");
  DestroyWindow(first);
  Module1::SendChatLine(L"two");
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[0].field, firstField);
  EXPECT_EQ(posted[1].field, FieldOf(second));
  EXPECT_EQ(posted[1].bytes, "two");
}

TEST_F(ChatLink, LineArrivesInCodePageBytesBeforeTheCarriageReturn) {
  AddDocument("tcisr");
  Module1::SendChatLine(L"t\u00F8\u00F8fel \u203A x");
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].bytes,
            "t\xF8\xF8"
            "fel \x9B x");
}

TEST_F(ChatLink, RoomWithoutInputFieldTakesNothing) {
  const HWND room = AddDocument("tcis");
  EXPECT_EQ(Module1::FindChatRoom(), room);
  Module1::SendChatLine(L"lost");
  EXPECT_TRUE(posted.empty());
}

}  // namespace
