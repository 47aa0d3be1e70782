// Runs the settings code from wherever the tests copy this program:
//   settings-probe write KEY VALUE    stores VALUE under KEY
//   settings-probe copy FROM TO       stores what FROM reads under TO
#include <string>

#include "settings/profile.h"

int wmain(int count, wchar_t** arguments) {
  if (count != 4) return 2;
  const bool copy = std::wstring(arguments[1]) == L"copy";
  const std::wstring value = copy ? Module1::ReadProfileValue(L"toofel", arguments[2], SettingsPath()) : arguments[3];
  Module1::WriteProfileValue(L"toofel", copy ? arguments[3] : arguments[2], value, SettingsPath());
  return 0;
}
