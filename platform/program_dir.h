#pragma once
#include <string>

namespace Platform {

// The folder holding the running program, without a trailing separator
// except at the root of a drive ("C:\").
std::wstring ProgramDirectory();

// The user's folder for programs' settings (%APPDATA%); the empty text where
// the system names none. Loads the shell on the first call, so nothing that
// runs at start-up asks for it.
std::wstring UserDataDirectory();

}  // namespace Platform
