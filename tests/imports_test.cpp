// The built toofel.exe as the Windows loader sees it: the oldest Windows its
// header admits, and every function it imports checked against a list kept in
// the tree, each entry of which names the oldest Windows that exports it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "driver.h"

namespace {

constexpr bool kIs64Bit = sizeof(void*) == 8;
constexpr WORD kOwnMachine = kIs64Bit ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;
// Windows XP is 5.01; its x64 edition shares Server 2003's 5.02.
constexpr WORD kOldestMinor = kIs64Bit ? 2 : 1;
// What an allow-list entry may name as the oldest Windows; the last exists only in 64 bits.
const std::set<std::string> kOldEnough{"2000", "XP", "XP-x64"};
constexpr char kOnly64Bit[] = "XP-x64";

struct PeFile {
  std::string bytes;
  std::vector<IMAGE_SECTION_HEADER> sections;
};

template <typename T>
bool Read(const PeFile& file, size_t offset, T& value) {
  if (offset > file.bytes.size() || file.bytes.size() - offset < sizeof(T)) return false;
  std::memcpy(&value, file.bytes.data() + offset, sizeof(T));
  return true;
}

std::string NameAt(const PeFile& file, size_t offset) {
  return offset < file.bytes.size() ? std::string(file.bytes.c_str() + offset) : std::string();
}

// The file offset of a relative virtual address; 0 when no section holds it.
size_t OffsetOf(const PeFile& file, DWORD rva) {
  for (const IMAGE_SECTION_HEADER& section : file.sections) {
    const DWORD size = std::max(section.Misc.VirtualSize, section.SizeOfRawData);
    if (rva >= section.VirtualAddress && rva - section.VirtualAddress < size)
      return section.PointerToRawData + (rva - section.VirtualAddress);
  }
  return 0;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return text;
}

struct Image {
  bool readable = false;
  WORD machine = 0;
  WORD osMajor = 0, osMinor = 0, subsystemMajor = 0, subsystemMinor = 0;
  std::set<std::string> imports;  // "dll!Function", the DLL's name in lower case
};

// Imports by name; one by ordinal shows as "dll!#N".
template <typename OptionalHeader, typename Thunk>
void ReadOptionalPart(const PeFile& file, size_t at, Thunk ordinalFlag, Image& image) {
  OptionalHeader header;
  if (!Read(file, at, header)) return;
  image.osMajor = header.MajorOperatingSystemVersion;
  image.osMinor = header.MinorOperatingSystemVersion;
  image.subsystemMajor = header.MajorSubsystemVersion;
  image.subsystemMinor = header.MinorSubsystemVersion;
  const DWORD importsRva = header.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (size_t at = OffsetOf(file, importsRva);; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    IMAGE_IMPORT_DESCRIPTOR dll;
    if (!at || !Read(file, at, dll)) return;
    if (!dll.Name) break;
    const std::string dllName = Lower(NameAt(file, OffsetOf(file, dll.Name)));
    const DWORD thunksRva = dll.OriginalFirstThunk ? dll.OriginalFirstThunk : dll.FirstThunk;
    for (size_t thunkAt = OffsetOf(file, thunksRva);; thunkAt += sizeof(Thunk)) {
      Thunk thunk = 0;
      if (!thunkAt || !Read(file, thunkAt, thunk)) return;
      if (!thunk) break;
      const std::string function = thunk & ordinalFlag
                                       ? "#" + std::to_string(thunk & 0xFFFF)
                                       : NameAt(file, OffsetOf(file, static_cast<DWORD>(thunk)) + sizeof(WORD));
      image.imports.insert(dllName + "!" + function);
    }
  }
  image.readable = true;
}

Image ReadImage(const std::wstring& program) {
  PeFile file{ReadBytes(program), {}};
  Image image;
  IMAGE_DOS_HEADER dos;
  DWORD signature = 0;
  IMAGE_FILE_HEADER header;
  WORD magic = 0;
  if (!Read(file, 0, dos) || !Read(file, dos.e_lfanew, signature) || signature != IMAGE_NT_SIGNATURE) return image;
  const size_t headerAt = dos.e_lfanew + sizeof signature;
  const size_t optionalAt = headerAt + sizeof header;
  if (!Read(file, headerAt, header) || !Read(file, optionalAt, magic)) return image;
  image.machine = header.Machine;
  for (WORD i = 0; i < header.NumberOfSections; ++i) {
    IMAGE_SECTION_HEADER section;
    if (!Read(file, optionalAt + header.SizeOfOptionalHeader + i * sizeof section, section)) return image;
    file.sections.push_back(section);
  }
  if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
    ReadOptionalPart<IMAGE_OPTIONAL_HEADER64, ULONGLONG>(file, optionalAt, IMAGE_ORDINAL_FLAG64, image);
  } else {
    ReadOptionalPart<IMAGE_OPTIONAL_HEADER32, DWORD>(file, optionalAt, IMAGE_ORDINAL_FLAG32, image);
  }
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

TEST(Imports, HeaderAdmitsTheOldestWindowsOfItsKind) {
  const Image image = ReadImage(BuiltProgram(L"toofel.exe"));
  ASSERT_TRUE(image.readable);
  EXPECT_EQ(image.machine, kOwnMachine);
  EXPECT_EQ(image.osMajor, 5);
  EXPECT_EQ(image.osMinor, kOldestMinor);
  EXPECT_EQ(image.subsystemMajor, 5);
  EXPECT_EQ(image.subsystemMinor, kOldestMinor);
}

TEST(Imports, EveryImportIsOnTheAllowList) {
  const Image image = ReadImage(BuiltProgram(L"toofel.exe"));
  ASSERT_TRUE(image.readable);
  // The reader finds what the program is known to call.
  EXPECT_EQ(image.imports.count("user32.dll!FindWindowExA"), 1u);
  EXPECT_EQ(image.imports.count("kernel32.dll!WritePrivateProfileStringW"), 1u);

  const std::map<std::string, std::string> allowed = AllowList();
  ASSERT_FALSE(allowed.empty());
  for (const auto& [function, oldest] : allowed) {
    EXPECT_EQ(kOldEnough.count(oldest), 1u) << function << " is listed for " << oldest;
  }
  for (const std::string& function : image.imports) {
    const auto entry = allowed.find(function);
    if (entry == allowed.end()) {
      ADD_FAILURE() << function << " is not on the allow-list";
    } else if (!kIs64Bit) {
      EXPECT_NE(entry->second, kOnly64Bit) << function << " exists only in 64-bit Windows";
    }
  }
}

}  // namespace
