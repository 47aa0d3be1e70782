#include "platform/file_list.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

namespace Platform {
namespace {

HANDLE FindFirst(const wchar_t* pattern, SearchForm form, WIN32_FIND_DATAW& entry) {
  if (form == SearchForm::Fast) {
    const HANDLE search =
        FindFirstFileExW(pattern, FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    // Before Windows 7 this fails with an invalid parameter; no match costs one more call.
    if (search != INVALID_HANDLE_VALUE) return search;
  }
  return FindFirstFileExW(pattern, FindExInfoStandard, &entry, FindExSearchNameMatch, nullptr, 0);
}

// The system matches a pattern against the short (8.3) names too, so "*.mp3"
// also finds "b.mp3x", whose short name may be "B~1.MP3".
bool EndsIn(const wchar_t* name, const std::wstring& extension) {
  const size_t length = wcslen(name);
  return length >= extension.size() && lstrcmpiW(name + length - extension.size(), extension.c_str()) == 0;
}

}  // namespace

std::vector<std::wstring> ListFiles(const std::wstring& extension, SearchForm form) {
  constexpr DWORD kLeftOut = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirst((L"*" + extension).c_str(), form, entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(entry.dwFileAttributes & kLeftOut) && EndsIn(entry.cFileName, extension)) names.emplace_back(entry.cFileName);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  std::sort(names.begin(), names.end(),
            [](const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) < 0; });
  return names;
}

}  // namespace Platform
