#pragma once
#include <string>

#include "platform/window_handle.h"

namespace Platform {

// A question's first moment on screen, shorter than anyone can read it and
// react: Enter and Escape first pressed in it neither answer nor cancel, nor
// do their repeats while they are held. It starts when the question shows. Browsers
// hold back the buttons of a suddenly shown prompt for as long.
constexpr long kQuestionUnreadMs = 250;

// Asks for one line of text in a modal dialog in front of the owner, which
// takes no input meanwhile, drawn at the owner's DPI. Returns the edited text
// for OK (or Enter) and the empty text for Cancel, Escape or closing the dialog.
// Only keys pressed after the question showed reach it.
std::wstring AskForText(WindowHandle owner, int ownerDpi, const std::wstring& caption, const std::wstring& prompt);

}  // namespace Platform
