// Both builds of toofel.exe as the Windows loader sees them: the oldest Windows
// each header admits, and every function each imports checked against a list
// kept in the tree, each entry of which names the oldest Windows that exports it.
#include <windows.h>

#include <imagehlp.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "driver.h"

namespace {

// What an allow-list entry may name as the oldest Windows; the last exists only in 64 bits.
const std::set<std::string> kOldEnough{"2000", "XP", "XP-x64"};
constexpr char kOnly64Bit[] = "XP-x64";

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return text;
}

struct Image {
  bool readable = false;
  WORD machine = 0;
  WORD osMajor = 0, osMinor = 0, subsystemMajor = 0, subsystemMinor = 0;
  std::set<std::string> imports;  // "dll!Function", the DLL's name in lower case; "dll!#N" by ordinal
};

// The import thunks of a 32-bit or 64-bit image, read from the mapped file.
template <typename Headers, typename Thunk>
void ReadImports(const LOADED_IMAGE& file, Thunk ordinalFlag, Image& image) {
  const auto& headers = *reinterpret_cast<const Headers*>(file.FileHeader);
  auto at = [&](DWORD rva) -> const char* {
    for (ULONG i = 0; i < file.NumberOfSections; ++i) {
      const IMAGE_SECTION_HEADER& section = file.Sections[i];
      if (rva >= section.VirtualAddress && rva - section.VirtualAddress < section.SizeOfRawData)
        return reinterpret_cast<const char*>(file.MappedAddress) + section.PointerToRawData +
               (rva - section.VirtualAddress);
    }
    return nullptr;
  };
  const DWORD importsRva = headers.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (auto dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(importsRva)); dll && dll->Name; ++dll) {
    const std::string dllName = Lower(at(dll->Name));
    const char* thunks = at(dll->OriginalFirstThunk ? dll->OriginalFirstThunk : dll->FirstThunk);
    for (Thunk thunk; std::memcpy(&thunk, thunks, sizeof thunk), thunk; thunks += sizeof thunk) {
      image.imports.insert(dllName + "!" +
                           (thunk & ordinalFlag ? "#" + std::to_string(thunk & 0xFFFF)
                                                : std::string(at(static_cast<DWORD>(thunk)) + sizeof(WORD))));
    }
  }
  image.readable = true;
}

Image ReadImage(const std::wstring& program) {
  Image image;
  LOADED_IMAGE file{};
  if (!MapAndLoad(std::string(program.begin(), program.end()).c_str(), nullptr, &file, FALSE, TRUE)) return image;
  // The fields up to the data directories lie at the same places in both forms.
  const IMAGE_NT_HEADERS& headers = *file.FileHeader;
  image.machine = headers.FileHeader.Machine;
  image.osMajor = headers.OptionalHeader.MajorOperatingSystemVersion;
  image.osMinor = headers.OptionalHeader.MinorOperatingSystemVersion;
  image.subsystemMajor = headers.OptionalHeader.MajorSubsystemVersion;
  image.subsystemMinor = headers.OptionalHeader.MinorSubsystemVersion;
  if (headers.OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
    ReadImports<IMAGE_NT_HEADERS64, ULONGLONG>(file, IMAGE_ORDINAL_FLAG64, image);
  } else {
    ReadImports<IMAGE_NT_HEADERS32, DWORD>(file, IMAGE_ORDINAL_FLAG32, image);
  }
  UnMapAndLoad(&file);
  return image;
}

// "dll!Function" to the oldest Windows the entry names; the list sits in this
// test program's resources, so it needs no path to the source tree.
std::map<std::string, std::string> AllowList() {
  const HRSRC found = FindResourceW(nullptr, L"ALLOWED_IMPORTS", RT_RCDATA);
  const char* text = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
  std::istringstream lines(std::string(text ? text : "", text ? SizeofResource(nullptr, found) : 0));
  std::map<std::string, std::string> allowed;
  std::string line, dll;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string first, oldest;
    if (!(words >> first) || first[0] == '#') continue;
    if (first.front() == '[' && first.back() == ']') {
      dll = Lower(first.substr(1, first.size() - 2));
    } else {
      words >> oldest;
      allowed[dll + "!" + first] = oldest;
    }
  }
  return allowed;
}

// Windows XP is 5.01; its x64 edition shares Server 2003's 5.02.
TEST(Imports, EachBuildAdmitsTheOldestWindowsOfItsKindAndImportsOnlyWhatItHas) {
  const std::map<std::string, std::string> allowed = AllowList();
  ASSERT_FALSE(allowed.empty());
  for (const auto& [function, oldest] : allowed) {
    EXPECT_EQ(kOldEnough.count(oldest), 1u) << function << " is listed for " << oldest;
  }
  for (const BuiltFile& build : BuiltFiles(L"toofel.exe")) {
    SCOPED_TRACE(std::string(build.path.begin(), build.path.end()));
    const Image image = ReadImage(build.path);
    ASSERT_TRUE(image.readable);
    EXPECT_EQ(image.machine, build.is64Bit ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386);
    const WORD oldestMinor = build.is64Bit ? 2 : 1;
    EXPECT_EQ(image.osMajor, 5);
    EXPECT_EQ(image.osMinor, oldestMinor);
    EXPECT_EQ(image.subsystemMajor, 5);
    EXPECT_EQ(image.subsystemMinor, oldestMinor);
    // The reader finds what the program is known to call.
    EXPECT_EQ(image.imports.count("user32.dll!FindWindowExA"), 1u);
    for (const std::string& function : image.imports) {
      const auto entry = allowed.find(function);
      if (entry == allowed.end()) {
        ADD_FAILURE() << function << " is not on the allow-list";
      } else if (!build.is64Bit) {
        EXPECT_NE(entry->second, kOnly64Bit) << function << " exists only in 64-bit Windows";
      }
    }
  }
}

}  // namespace
