#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "driver.h"

namespace {

// Nothing narrows the DLL search of a program on Windows XP, Vista and 7
// without KB2533623, so a load by bare name would look beside the program
// first. The probe loads winmm and shell32 as the program does, beside copies
// of a DLL that leaves a trace under both names, and Wine prefers a DLL it
// finds there to its own: both must still come from the system folder.
TEST(DllSearch, SystemDllsComeFromTheSystemFolderWhereNothingNarrowsTheSearch) {
  TempFolder folder;
  for (const wchar_t* name : {L"winmm.dll", L"shell32.dll"})
    CopyFileW(BuiltProgram(L"tests\\load-trace.dll").c_str(), folder.File(name).c_str(), FALSE);
  const NativeDllsFirst nativeFirst(L"dll-probe.exe", {L"winmm", L"shell32"});
  ASSERT_EQ(RunCopyIn(folder.path, BuiltProgram(L"tests\\dll-probe.exe"), L"loaded.txt"), 0u);
  const std::string bytes = ReadBytes(folder.File(L"loaded.txt"));
  std::wstring loaded(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2), system(MAX_PATH, L'\0');
  system.resize(GetSystemDirectoryW(system.data(), MAX_PATH));
  const std::wstring expected = system + L"\\winmm.dll\n" + system + L"\\shell32.dll\n";
  EXPECT_EQ(CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, loaded.c_str(), -1, expected.c_str(), -1), CSTR_EQUAL)
      << std::string(loaded.begin(), loaded.end());
  EXPECT_FALSE(Exists(folder.File(L"loaded.trace")));
}

}  // namespace
