#pragma once

namespace Form1 {

// The lines of the command reference list, shown for reference only.
constexpr const wchar_t* kCommandReference[] = {
    L"p (mp3) - plays mp3",
    L"stop - stops the mp3",
    L"pause - pauses mp3",
    L"unpuase - unpause mp3",
    L"playing - get what mp3 you're listening to",
    L"count - counts the mp3's in your current firectory",
    L"r - random mp3",
    L"dir (directory) - sets directory",
    L"handle (handle) - sets handle",
    L"handle? - gets current handle",
    L"color - changes ascii color",
    L"exit - exits toofel",
};

}  // namespace Form1
