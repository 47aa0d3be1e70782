#pragma once
#include <string>

#include "platform/window_handle.h"

namespace Module1 {

// The first document window of the chat client that has a transcript, a combo
// box, an icon button and a static text; nullptr when there is none, or no
// client frame with its document area. Searched anew on every call.
WindowHandle FindChatRoom();

// Types the line into the chat room's input field and presses Enter there.
// Without a client, a room or an input field nothing happens. A client slow to
// take the text gets its Enter once the field holds it, and tøøfel handles its
// own events while it waits; a client that never takes it gets no Enter.
void SendChatLine(const std::wstring& text);

}  // namespace Module1
