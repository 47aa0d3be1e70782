#pragma once
#include <string>

namespace Platform {

// The folder holding the running program, without a trailing separator
// except at the root of a drive ("C:\").
std::wstring ProgramDirectory();

}  // namespace Platform
