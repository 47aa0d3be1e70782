#include "platform/file_list.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "driver.h"

using Platform::ListFiles;
using Platform::SearchForm;

namespace {

// The folder hands these out in case-insensitive ordinal order. lstrcmpiW
// passes over hyphens and apostrophes but for ties, and weighs an accented
// letter with its plain one, so its order is another.
const std::vector<std::wstring> kMp3Names = {L"b.mp3",     L"A.mp3",    L"c.MP3",           L"a-b.mp3",   L"aa.mp3",
                                             L"ab.mp3",    L"a_c.mp3",  L"'quoted.mp3",     L"10.mp3",    L"Zz.mp3",
                                             L"co-op.mp3", L"coop.mp3", L"\u00E9 song.mp3", L"e song.mp3"};

std::vector<std::wstring> Strings(const Platform::NameList& names) {
  std::vector<std::wstring> strings;
  for (size_t i = 0; i < names.size(); ++i) strings.emplace_back(names[i]);
  return strings;
}

std::vector<std::wstring> InLstrcmpiOrder(std::vector<std::wstring> names) {
  std::stable_sort(names.begin(), names.end(),
                   [](const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) < 0; });
  return names;
}

// Both ways of asking the system must give the same list: the plain one is all
// that Windows before 7 accepts, so it is what users there see in the file list.
TEST(FileList, BothFormsListThePlainMatchingFilesInOrder) {
  TempFolder folder;
  wchar_t saved[MAX_PATH] = L"";
  GetCurrentDirectoryW(MAX_PATH, saved);
  SetCurrentDirectoryW(folder.path.c_str());
  WriteBytes(folder.File(L"notes.txt"), "");
  for (const SearchForm form : {SearchForm::Fast, SearchForm::Plain})
    EXPECT_TRUE(Strings(ListFiles(L".mp3", form)).empty());

  for (const std::wstring& name : kMp3Names) WriteBytes(folder.File(name), "");
  // The system matches short names too: "b.mp3x" may be "B~1.MP3" on the disk.
  for (const wchar_t* name : {L"song.mp3.txt", L"hidden.mp3", L"system.mp3", L"b.mp3x", L"long name song.mp3a"})
    WriteBytes(folder.File(name), "");
  SetFileAttributesW(folder.File(L"hidden.mp3").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW(folder.File(L"system.mp3").c_str(), FILE_ATTRIBUTE_SYSTEM);
  CreateDirectoryW(folder.File(L"folder.mp3").c_str(), nullptr);
  for (const SearchForm form : {SearchForm::Fast, SearchForm::Plain})
    EXPECT_EQ(Strings(ListFiles(L".mp3", form)), InLstrcmpiOrder(kMp3Names));
  SetCurrentDirectoryW(saved);
}

// Names lstrcmpiW holds equal, which a folder on Linux can hold, keep the order they came in.
TEST(FileList, NamesTakeLstrcmpiWsOrderWhateverOrderTheyComeIn) {
  std::vector<std::wstring> names = kMp3Names;
  names.insert(names.end(), {L"same.mp3", L"SAME.mp3"});
  std::mt19937 shuffler(1);
  for (int order = 0; order < 4; ++order) {
    SCOPED_TRACE(order);
    order % 2 ? std::reverse(names.begin(), names.end()) : std::shuffle(names.begin(), names.end(), shuffler);
    Platform::NameList list;
    for (const std::wstring& name : names) list.Add(name.c_str(), name.size());
    Platform::SortAsTheSystemCompares(list);
    EXPECT_EQ(Strings(list), InLstrcmpiOrder(names));
  }
}

}  // namespace
