#pragma once
#include <string>

#include "platform/window_handle.h"

namespace Platform {

// Text in the system ANSI code page; characters it lacks become its default character.
std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const std::string& text);

std::wstring ToUpper(std::wstring text);
std::wstring ToLower(std::wstring text);

// The current text of a control, read at the moment of the call.
std::wstring TextOf(WindowHandle control);
void SetText(WindowHandle control, const std::wstring& text);

}  // namespace Platform
