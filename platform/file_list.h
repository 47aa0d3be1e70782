#pragma once
#include <string>
#include <vector>

namespace Platform {

// Names of the plain files in the current directory that match the pattern,
// in case-insensitive order; folders and hidden or system files are left out.
std::vector<std::wstring> ListFiles(const wchar_t* pattern);

}  // namespace Platform
