#include "settings/kept_settings.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "platform/program_dir.h"
#include "settings/profile.h"

namespace Settings {
namespace {

constexpr wchar_t kSection[] = L"toofel";
constexpr wchar_t kUserFolderName[] = L"\\toofel";
constexpr wchar_t kFileName[] = L"\\info.ini";

// The answers that could be written nowhere, as key and value; a small list
// costs the program less than a map.
std::vector<std::pair<std::wstring, std::wstring>> keptInMemory;

std::wstring* KeptInMemory(const std::wstring& key) {
  for (auto& [keptKey, value] : keptInMemory)
    if (keptKey == key) return &value;
  return nullptr;
}

std::wstring UserSettingsFolder() {
  const std::wstring data = Platform::UserDataDirectory();
  return data.empty() ? data : data + kUserFolderName;
}

}  // namespace

std::wstring UserSettingsPath() {
  const std::wstring folder = UserSettingsFolder();
  return folder.empty() ? folder : folder + kFileName;
}

std::wstring ReadSetting(const std::wstring& key) {
  std::wstring value = Module1::ReadProfileValue(kSection, key, SettingsPath());
  if (value.empty()) {
    const std::wstring userFile = UserSettingsPath();
    if (!userFile.empty()) value = Module1::ReadProfileValue(kSection, key, userFile);
  }
  const std::wstring* kept = value.empty() ? KeptInMemory(key) : nullptr;
  return kept ? *kept : value;
}

void KeepSetting(const std::wstring& key, const std::wstring& value) {
  if (Module1::WriteProfileValue(kSection, key, value, SettingsPath())) return;
  const std::wstring folder = UserSettingsFolder();
  if (!folder.empty()) {
    CreateDirectoryW(folder.c_str(), nullptr);  // may be there already; the write tells whether it can be used
    if (Module1::WriteProfileValue(kSection, key, value, folder + kFileName)) return;
  }
  if (std::wstring* kept = KeptInMemory(key)) {
    *kept = value;
  } else {
    keptInMemory.emplace_back(key, value);
  }
}

}  // namespace Settings
