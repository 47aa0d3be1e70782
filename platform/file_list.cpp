#include "platform/file_list.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
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

wchar_t LowerAscii(wchar_t c) {
  return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// The system matches a pattern against the short (8.3) names too, so "*.mp3"
// also finds "b.mp3x", whose short name may be "B~1.MP3". An extension is
// ASCII, so comparing its letters in either case is all "any case" takes.
bool EndsIn(const wchar_t* name, size_t length, const std::wstring& extension) {
  if (length < extension.size()) return false;
  const wchar_t* ending = name + length - extension.size();
  for (size_t i = 0; i < extension.size(); ++i)
    if (LowerAscii(ending[i]) != LowerAscii(extension[i])) return false;
  return true;
}

// Each name's sort key, as lstrcmpiW weighs it (its thread's locale, case
// ignored), all in one block; memcmp orders the keys as lstrcmpiW the names.
struct SortKeys {
  std::vector<BYTE> bytes;
  std::vector<size_t> starts;  // one more than there are names: a key ends where the next begins

  bool Less(size_t a, size_t b) const {
    const size_t lengthA = starts[a + 1] - starts[a], lengthB = starts[b + 1] - starts[b];
    const int order = std::memcmp(&bytes[starts[a]], &bytes[starts[b]], std::min(lengthA, lengthB));
    return order < 0 || (order == 0 && lengthA < lengthB);
  }
};

SortKeys MakeSortKeys(const NameList& names) {
  constexpr DWORD kKeyFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
  constexpr int kBytesPerCharacter = 8;  // room enough for nearly every name at the first try
  const LCID locale = GetThreadLocale();
  SortKeys keys;
  keys.bytes.reserve(names.text.size() * 3);
  keys.starts.reserve(names.size() + 1);
  keys.starts.push_back(0);
  for (size_t i = 0; i < names.size(); ++i) {
    const size_t start = keys.starts.back();
    const auto makeKey = [&](int room) {
      keys.bytes.resize(start + static_cast<size_t>(room));
      return LCMapStringW(locale, kKeyFlags, names[i], -1, reinterpret_cast<wchar_t*>(&keys.bytes[start]), room);
    };
    int length = makeKey(static_cast<int>(wcslen(names[i])) * kBytesPerCharacter + 16);
    if (!length) length = makeKey(LCMapStringW(locale, kKeyFlags, names[i], -1, nullptr, 0));
    keys.starts.push_back(start + static_cast<size_t>(length));
  }
  return keys;
}

}  // namespace

void NameList::Add(const wchar_t* name, size_t length) {
  starts.push_back(text.size());
  text.append(name, length + 1);
}

void SortAsTheSystemCompares(NameList& names) {
  const SortKeys keys = MakeSortKeys(names);
  std::vector<size_t> order(names.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  const auto less = [&](size_t a, size_t b) { return keys.Less(a, b); };
  // A folder hands its names out nearly in order, so the runs already in order
  // are merged, in pairs, until one is left; merging keeps equal names in turn.
  std::vector<size_t> runEnds;
  for (size_t i = 1; i < order.size(); ++i)
    if (less(order[i], order[i - 1])) runEnds.push_back(i);
  runEnds.push_back(order.size());
  std::vector<size_t> merged(order.size());
  while (runEnds.size() > 1) {
    std::vector<size_t> mergedEnds;
    size_t begin = 0;
    for (size_t run = 0; run < runEnds.size(); run += 2) {
      const size_t middle = runEnds[run], end = run + 1 < runEnds.size() ? runEnds[run + 1] : middle;
      std::merge(order.begin() + begin, order.begin() + middle, order.begin() + middle, order.begin() + end,
                 merged.begin() + begin, less);
      begin = end;
      mergedEnds.push_back(end);
    }
    order.swap(merged);
    runEnds.swap(mergedEnds);
  }
  for (size_t& start : order) start = names.starts[start];
  names.starts.swap(order);
}

NameList ListFiles(const std::wstring& extension, SearchForm form) {
  constexpr DWORD kLeftOut = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  NameList names;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirst((L"*" + extension).c_str(), form, entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const size_t length = wcslen(entry.cFileName);
    if (!(entry.dwFileAttributes & kLeftOut) && EndsIn(entry.cFileName, length, extension))
      names.Add(entry.cFileName, length);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  SortAsTheSystemCompares(names);
  return names;
}

void FillFileList(WindowHandle listBox, const std::wstring& extension) {
  const NameList names = ListFiles(extension);
  SendMessageW(listBox, WM_SETREDRAW, FALSE, 0);
  SendMessageW(listBox, LB_INITSTORAGE, names.size(), names.text.size() * sizeof(wchar_t));
  for (size_t i = 0; i < names.size(); ++i) SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i]));
  SendMessageW(listBox, WM_SETREDRAW, TRUE, 0);
}

}  // namespace Platform
