#include "platform/system_library.h"

#include <string>

namespace Platform {
namespace {

// Newer than the headers the program is built against, so named and looked up
// here: SetDllDirectoryW came with XP SP1 and Server 2003, and
// SetDefaultDllDirectories with its LOAD_LIBRARY_SEARCH_SYSTEM32 with Windows 8
// (and 7 with KB2533623).
using SetDllDirectoryFunction = BOOL(WINAPI*)(const wchar_t*);
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
constexpr DWORD kSearchSystemFolder = 0x00000800;

}  // namespace

void SearchDllsOnlyInTheSystemFolder() {
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  if (const auto setDllDirectory = FindFunction<SetDllDirectoryFunction>(kernel32, "SetDllDirectoryW"))
    setDllDirectory(L"");
  if (const auto setDefault = FindFunction<SetDefaultDllDirectoriesFunction>(kernel32, "SetDefaultDllDirectories"))
    setDefault(kSearchSystemFolder);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  std::wstring path(MAX_PATH, L'\0');
  const UINT length = GetSystemDirectoryW(path.data(), MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  path.resize(length);
  return LoadLibraryExW((path + L"\\" + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace Platform
