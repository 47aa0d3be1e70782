#pragma once
#include <string>

#include "platform/window_handle.h"

namespace Module1 {

// The first document window of the chat client that has a transcript, a combo
// box, an icon button and a static text; nullptr when there is none, or no
// client frame with its document area. Searched anew on every call.
WindowHandle FindChatRoom();

// Types the line into the chat room's input field and presses Enter there,
// then puts back what the user had typed in the field and not yet sent.
// Returns the clock reading (ClockSeconds) when the Enter went out, or when
// the call ended where none did. Without a client, a room or an input field,
// or with a field that cannot be read in time, nothing is sent. tøøfel handles
// its own events between any two messages to the client, and waits on a slow
// one for up to five seconds; whatever it cannot post, it takes back out of
// the field. Once the program quits, no Enter goes out.
double SendChatLine(const std::wstring& text);

}  // namespace Module1
