// Both builds of toofel.exe as the Windows loader sees them: the oldest Windows
// each header admits, and every function each imports checked against a list
// kept in the tree, each entry of which names the oldest Windows that exports it.
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

// "dll!Function" to the oldest Windows the entry names; the list sits in this
// test program's resources, so it needs no path to the source tree.
std::map<std::string, std::string> AllowList() {
  const HRSRC found = FindResourceW(nullptr, L"ALLOWED_IMPORTS", RT_RCDATA);
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

// Windows XP is 5.01; its x64 edition shares Server 2003's 5.02 and alone has
// what the list names for "XP-x64".
TEST(Imports, EachBuildAdmitsTheOldestWindowsOfItsKindAndImportsOnlyWhatItHas) {
  const std::map<std::string, std::string> allowed = AllowList();
  for (const BuiltFile& build : BuiltFiles(L"toofel.exe")) {
    SCOPED_TRACE(std::string(build.path.begin(), build.path.end()));
    LOADED_IMAGE file{};
    ASSERT_TRUE(MapAndLoad(std::string(build.path.begin(), build.path.end()).c_str(), nullptr, &file, FALSE, TRUE));
    // The fields up to the data directories lie at the same places in both forms.
    const IMAGE_OPTIONAL_HEADER& header = file.FileHeader->OptionalHeader;
    const WORD oldestMinor = build.is64Bit ? 2 : 1;
    EXPECT_EQ(file.FileHeader->FileHeader.Machine, build.is64Bit ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(header.MajorOperatingSystemVersion, 5);
    EXPECT_EQ(header.MinorOperatingSystemVersion, oldestMinor);
    EXPECT_EQ(header.MajorSubsystemVersion, 5);
    EXPECT_EQ(header.MinorSubsystemVersion, oldestMinor);
    const std::set<std::string> imports = ImportsOf(file, build.is64Bit);
    UnMapAndLoad(&file);
    EXPECT_EQ(imports.count("user32.dll!FindWindowExA"), 1u);  // the reader finds what the program calls
    for (const std::string& function : imports) {
      const auto entry = allowed.find(function);
      const std::string oldest = entry == allowed.end() ? "not on the allow-list" : entry->second;
      EXPECT_TRUE(oldest == "2000" || oldest == "XP" || (build.is64Bit && oldest == "XP-x64"))
          << function << ": " << oldest;
    }
    std::printf("Checked the header and imports of %ls\n", build.path.c_str());
  }
}

}  // namespace
