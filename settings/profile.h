#pragma once
#include <string>

// "info.ini" in the program's own folder, computed afresh on every call.
std::wstring SettingsPath();

namespace Module1 {

// The value stored under the key in the section, at most 749 characters; the
// empty text when the file, section or key is missing or cannot be read.
std::wstring ReadProfileValue(const std::wstring& section, const std::wstring& key, const std::wstring& file);

// Stores the value under the key (written in upper case), creating the file and
// the section when needed. A value is stored only up to its first line break.
// False when the file cannot be written, which leaves it as it was.
bool WriteProfileValue(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                       const std::wstring& file);

}  // namespace Module1
