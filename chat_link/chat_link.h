#pragma once
#include <string>

#include "platform/window_handle.h"

namespace Module1 {

// The first document window of the chat client that has a transcript, a combo
// box, an icon button and a static text; nullptr when there is none, or no
// client frame with its document area. Searched anew on every call.
WindowHandle FindChatRoom();

// Types the line into the chat room's input field and presses Enter there.
// Without a client, a room or an input field nothing happens; a client that
// does not answer in time gets no Enter after the text it missed.
void SendChatLine(const std::wstring& text);

}  // namespace Module1
