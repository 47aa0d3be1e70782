// Both builds of toofel.exe and of the test kit's other files as the Windows
// loader sees them: the oldest Windows each header admits, and every function
// each imports checked against a list kept in the tree, each entry of which
// names the oldest Windows that exports it.
#include <windows.h>

#include <imagehlp.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "driver.h"

namespace {

// "dll!Function" to the oldest Windows the entry names; the lists sit in this
// test program's resources, so they need no path to the source tree.
std::map<std::string, std::string> AllowList(const wchar_t* name) {
  const HRSRC found = FindResourceW(nullptr, name, RT_RCDATA);
  std::istringstream words(std::string(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                                       SizeofResource(nullptr, found)));
  std::map<std::string, std::string> allowed;
  std::string word, dll;
  while (words >> word) {
    if (word[0] == '#') {
      std::getline(words, word);
    } else if (word[0] == '[') {
      dll = word.substr(1, word.size() - 2);
      CharLowerA(dll.data());
    } else {
      words >> allowed[dll + "!" + word];
    }
  }
  return allowed;
}

// "dll!Function", the DLL's name in lower case, or "dll!#N" by ordinal.
std::set<std::string> ImportsOf(const LOADED_IMAGE& file, bool is64Bit) {
  auto at = [&](ULONG rva) {
    return static_cast<const char*>(ImageRvaToVa(file.FileHeader, file.MappedAddress, rva, nullptr));
  };
  ULONG size = 0;
  auto dll = static_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
      ImageDirectoryEntryToData(file.MappedAddress, FALSE, IMAGE_DIRECTORY_ENTRY_IMPORT, &size));
  const size_t width = is64Bit ? 8 : 4;
  const ULONGLONG byOrdinal = is64Bit ? IMAGE_ORDINAL_FLAG64 : IMAGE_ORDINAL_FLAG32;
  std::set<std::string> imports;
  for (; dll && dll->Name; ++dll) {
    const char* thunk = at(dll->OriginalFirstThunk ? dll->OriginalFirstThunk : dll->FirstThunk);
    std::string dllName = at(dll->Name);
    CharLowerA(dllName.data());
    for (ULONGLONG entry = 0; std::memcpy(&entry, thunk, width), entry; thunk += width) {
      imports.insert(dllName + "!" +
                     (entry & byOrdinal ? "#" + std::to_string(entry & 0xFFFF)
                                        : std::string(at(static_cast<ULONG>(entry)) + sizeof(WORD))));
    }
  }
  return imports;
}

// The file's imports, each against the list; "XP-x64" only for a 64-bit file.
void ExpectOnlyAllowedImports(const std::set<std::string>& imports, const std::map<std::string, std::string>& allowed,
                              bool is64Bit) {
  for (const std::string& function : imports) {
    const auto entry = allowed.find(function);
    const std::string oldest = entry == allowed.end() ? "not on the allow-list" : entry->second;
    EXPECT_TRUE(oldest == "2000" || oldest == "XP" || (is64Bit && oldest == "XP-x64")) << function << ": " << oldest;
  }
}

// The file mapped read-only through the wide API; imagehlp's MapAndLoad takes
// its path through the ANSI code page, which cannot spell every folder.
LOADED_IMAGE MapImage(const std::wstring& path) {
  LOADED_IMAGE image{};
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  const HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  image.MappedAddress = static_cast<PUCHAR>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
  CloseHandle(mapping);
  CloseHandle(file);
  image.FileHeader = image.MappedAddress ? ImageNtHeader(image.MappedAddress) : nullptr;
  return image;
}

// Windows XP is 5.01; its x64 edition shares Server 2003's 5.02 and alone has
// what the list names for "XP-x64".
TEST(Imports, EachBuildAdmitsTheOldestWindowsOfItsKindAndImportsOnlyWhatItHas) {
  const std::map<std::string, std::string> allowed = AllowList(L"ALLOWED_IMPORTS");
  for (const BuiltFile& build : BuiltFiles(L"toofel.exe")) {
    SCOPED_TRACE(build.path);
    const LOADED_IMAGE file = MapImage(build.path);
    ASSERT_NE(file.FileHeader, nullptr);
    // The fields up to the data directories lie at the same places in both forms.
    const IMAGE_OPTIONAL_HEADER& header = file.FileHeader->OptionalHeader;
    const WORD oldestMinor = build.is64Bit ? 2 : 1;
    EXPECT_EQ(file.FileHeader->FileHeader.Machine, build.is64Bit ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(header.MajorOperatingSystemVersion, 5);
    EXPECT_EQ(header.MinorOperatingSystemVersion, oldestMinor);
    EXPECT_EQ(header.MajorSubsystemVersion, 5);
    EXPECT_EQ(header.MinorSubsystemVersion, oldestMinor);
    const std::set<std::string> imports = ImportsOf(file, build.is64Bit);
    UnmapViewOfFile(file.MappedAddress);
    EXPECT_EQ(imports.count("user32.dll!FindWindowExA"), 1u);  // the reader finds what the program calls
    ExpectOnlyAllowedImports(imports, allowed, build.is64Bit);
    std::printf("Checked the header and imports of %ls\n", build.path.c_str());
  }
}

// The test kit takes the tests to every Windows the program runs on, so each
// of its files loads there too: a subsystem version that Windows XP (5.01) or
// XP x64 (5.02) accepts, and only what its own list allows.
TEST(Imports, EveryOtherFileOfTheTestKitLoadsOnTheOldestWindowsOfItsKind) {
  const std::map<std::string, std::string> allowed = AllowList(L"KIT_IMPORTS");
  for (const wchar_t* name :
       {L"chat-sim.exe", L"test-runner.exe", L"tests\\toofel_tests.exe", L"tests\\desktop_tests.exe",
        L"tests\\settings-probe.exe", L"tests\\dll-probe.exe", L"tests\\load-trace.dll"}) {
    for (const BuiltFile& build : BuiltFiles(name)) {
      SCOPED_TRACE(build.path);
      const LOADED_IMAGE file = MapImage(build.path);
      ASSERT_NE(file.FileHeader, nullptr);
      const IMAGE_OPTIONAL_HEADER& header = file.FileHeader->OptionalHeader;
      EXPECT_LE(header.MajorSubsystemVersion * 100 + header.MinorSubsystemVersion, build.is64Bit ? 502 : 501);
      const std::set<std::string> imports = ImportsOf(file, build.is64Bit);
      UnmapViewOfFile(file.MappedAddress);
      EXPECT_EQ(imports.count("kernel32.dll!GetProcAddress"), 1u);
      ExpectOnlyAllowedImports(imports, allowed, build.is64Bit);
    }
  }
}

}  // namespace
