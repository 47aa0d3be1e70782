#pragma once
#include <string>

// The program's lasting settings, section "toofel", kept wherever they can be:
// in info.ini beside the program; where that cannot be written (Program Files,
// a read-only medium, a limited account), in the user's own info.ini; where
// neither can, in memory for the rest of the run.
namespace Settings {

// The first non-empty value of: info.ini beside the program, the user's
// info.ini, what was kept in memory earlier in this run. The user's file is
// looked for only when the one beside the program has nothing.
std::wstring ReadSetting(const std::wstring& key);

// Writes beside the program, else to the user's file, else keeps the value in memory.
void KeepSetting(const std::wstring& key, const std::wstring& value);

// The user's info.ini: %APPDATA%\toofel\info.ini, in the same layout; the
// empty text where the system names no such folder.
std::wstring UserSettingsPath();

}  // namespace Settings
