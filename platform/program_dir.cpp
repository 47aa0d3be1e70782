#include "platform/program_dir.h"

#include <windows.h>

#include <shlobj.h>

#include "platform/system_library.h"

namespace Platform {

std::wstring ProgramDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t separator = path.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return path;
  const bool atDriveRoot = separator == 2 && path[1] == L':';
  path.resize(atDriveRoot ? separator + 1 : separator);
  return path;
}

std::wstring UserDataDirectory() {
  using GetFolderPath = decltype(&SHGetFolderPathW);
  const auto getFolderPath = FindFunction<GetFolderPath>(LoadSystemLibrary(L"shell32.dll"), "SHGetFolderPathW");
  wchar_t path[MAX_PATH] = L"";
  if (!getFolderPath || getFolderPath(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) return {};
  return path;
}

}  // namespace Platform
