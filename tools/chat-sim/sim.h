#pragma once
// What the parts of chat-sim share: the window class names the chat client
// uses, and the rooms built from the command line.

#include <windows.h>

#include <string>
#include <vector>

constexpr wchar_t kFrameClass[] = L"AOL Frame25";
constexpr wchar_t kDocumentClass[] = L"AOL Child";
constexpr wchar_t kTranscriptClass[] = L"RICHCNTLREADONLY";
constexpr wchar_t kComboClass[] = L"_AOL_Combobox";
constexpr wchar_t kIconClass[] = L"_AOL_Icon";
constexpr wchar_t kStaticClass[] = L"_AOL_Static";
// The input field is an ANSI window, so its class is registered by byte name.
constexpr char kFieldClass[] = "RICHCNTL";
constexpr wchar_t kFieldClassW[] = L"RICHCNTL";

struct RoomChild {
  char letter;  // t, c, i, s or r
  HWND window;
};

struct Room {
  int number = 0;  // 1-based position among the room arguments
  std::string letters;
  HWND document = nullptr;
  HWND transcript = nullptr;        // the first transcript; posted lines go there
  std::vector<RoomChild> children;  // in creation order
};

// The room whose document window is given, or nullptr.
const Room* RoomOfDocument(HWND document);
