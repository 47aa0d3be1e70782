// Runs the settings code from wherever the tests copy this program:
//   settings-probe write KEY VALUE    stores VALUE under KEY
//   settings-probe copy FROM TO       stores what FROM reads under TO
#include <windows.h>

#include <shellapi.h>

#include "settings/profile.h"

int wmain() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (count != 4) return 2;
  const std::wstring command = arguments[1];
  const std::wstring value = command == L"copy" ? Module1::ReadProfileValue(L"toofel", arguments[2], SettingsPath())
                                                : std::wstring(arguments[3]);
  const std::wstring key = command == L"copy" ? arguments[3] : arguments[2];
  Module1::WriteProfileValue(L"toofel", key, value, SettingsPath());
  return 0;
}
