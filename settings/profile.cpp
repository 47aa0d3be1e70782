#include "settings/profile.h"

#include <windows.h>

#include "platform/program_dir.h"
#include "platform/text.h"

// The wide profile functions reach a folder whose name the ANSI code page
// cannot spell; the file's content stays in the ANSI code page all the same.

std::wstring SettingsPath() {
  return Platform::ProgramDirectory() + L"\\info.ini";
}

namespace Module1 {
namespace {

constexpr DWORD kValueBufferSize = 750;

}  // namespace

std::wstring ReadProfileValue(const std::wstring& section, const std::wstring& key, const std::wstring& file) {
  wchar_t value[kValueBufferSize] = {};
  const DWORD length = GetPrivateProfileStringW(section.c_str(), Platform::ToLower(key).c_str(), L"", value,
                                                kValueBufferSize, file.c_str());
  return std::wstring(value, length);
}

bool WriteProfileValue(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                       const std::wstring& file) {
  // A line break would end the entry early and let the rest become entries of its own.
  const std::wstring firstLine = value.substr(0, value.find_first_of(L"\r\n"));
  const std::wstring upperKey = Platform::ToUpper(key);
  return WritePrivateProfileStringW(section.c_str(), upperKey.c_str(), firstLine.c_str(), file.c_str()) != FALSE;
}

}  // namespace Module1
