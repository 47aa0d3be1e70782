#include "platform/program_dir.h"

#include <windows.h>

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

}  // namespace Platform
