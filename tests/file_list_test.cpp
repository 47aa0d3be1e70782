#include "platform/file_list.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "driver.h"

using Platform::ListFiles;
using Platform::SearchForm;

// Both ways of asking the system must give the same list: the plain one is all
// that Windows before 7 accepts, so it is what users there see in the file list.
TEST(FileList, BothFormsListThePlainMatchingFilesInOrder) {
  TempFolder folder;
  wchar_t saved[MAX_PATH] = L"";
  GetCurrentDirectoryW(MAX_PATH, saved);
  SetCurrentDirectoryW(folder.path.c_str());
  WriteBytes(folder.File(L"notes.txt"), "");
  for (const SearchForm form : {SearchForm::Fast, SearchForm::Plain}) EXPECT_TRUE(ListFiles(L".mp3", form).empty());

  // The system matches short names too: "b.mp3x" may be "B~1.MP3" on the disk.
  for (const wchar_t* name :
       {L"b.mp3", L"A.mp3", L"c.MP3", L"song.mp3.txt", L"hidden.mp3", L"system.mp3", L"b.mp3x", L"long name song.mp3a"})
    WriteBytes(folder.File(name), "");
  SetFileAttributesW(folder.File(L"hidden.mp3").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW(folder.File(L"system.mp3").c_str(), FILE_ATTRIBUTE_SYSTEM);
  CreateDirectoryW(folder.File(L"folder.mp3").c_str(), nullptr);
  const std::vector<std::wstring> expected{L"A.mp3", L"b.mp3", L"c.MP3"};
  for (const SearchForm form : {SearchForm::Fast, SearchForm::Plain}) EXPECT_EQ(ListFiles(L".mp3", form), expected);
  SetCurrentDirectoryW(saved);
}
