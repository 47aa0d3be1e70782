#pragma once
#include <string>

#include "platform/window_handle.h"

namespace Platform {

// Asks for one line of text in a modal dialog in front of the owner, which
// takes no input meanwhile, drawn at the owner's DPI. Returns the edited text
// for OK (or Enter) and the empty text for Cancel, Escape or closing the dialog.
std::wstring AskForText(WindowHandle owner, int ownerDpi, const std::wstring& caption, const std::wstring& prompt);

}  // namespace Platform
