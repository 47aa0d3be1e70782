#include "settings/profile.h"

#include <gtest/gtest.h>

#include <random>

#include "driver.h"

// The real profile functions on files made for each test; exact bytes where
// the layout is ours to state.
namespace {

using Module1::ReadProfileValue;
using Module1::WriteProfileValue;

class Settings : public ::testing::Test {
 protected:
  TempFolder folder;
  const std::wstring file = folder.File(L"info.ini");
};

TEST_F(Settings, KeysAreWrittenUpperAndFoundInAnyCase) {
  WriteBytes(file, "[toofel]\r\nHANDLE=abc\r\n");
  EXPECT_EQ(ReadProfileValue(L"toofel", L"handle", file), L"abc");
  EXPECT_EQ(ReadProfileValue(L"toofel", L"dir", file), L"");
  EXPECT_EQ(ReadProfileValue(L"other", L"handle", file), L"");
  EXPECT_EQ(ReadProfileValue(L"toofel", L"handle", folder.File(L"missing.ini")), L"");
}

TEST_F(Settings, WriteCreatesTheFileAndSectionInCodePageBytes) {
  WriteProfileValue(L"toofel", L"dir", L"x", file);
  EXPECT_EQ(ReadBytes(file), "[toofel]\r\nDIR=x\r\n");
  WriteProfileValue(L"toofel", L"handle", L"t\u00F8\u00F8fel", file);
  EXPECT_EQ(ReadBytes(file),
            "[toofel]\r\nDIR=x\r\nHANDLE=t\xF8\xF8"
            "fel\r\n");
  EXPECT_EQ(ReadProfileValue(L"toofel", L"handle", file), L"t\u00F8\u00F8fel");
}

TEST_F(Settings, EmptyValueKeepsTheKey) {
  WriteProfileValue(L"toofel", L"handle", L"abc", file);
  WriteProfileValue(L"toofel", L"handle", L"", file);
  EXPECT_EQ(ReadBytes(file), "[toofel]\r\nHANDLE=\r\n");
  EXPECT_EQ(ReadProfileValue(L"toofel", L"handle", file), L"");
}

TEST_F(Settings, LongValueReadsBackAsItsFirst749Characters) {
  const std::wstring value = std::wstring(700, L'a') + std::wstring(100, L'b');
  WriteProfileValue(L"toofel", L"dir", value, file);
  EXPECT_EQ(ReadProfileValue(L"toofel", L"dir", file), value.substr(0, 749));
}

TEST_F(Settings, OtherEntriesSurviveAWrite) {
  const std::string before = "[other]\r\nHANDLE=keep\r\n[toofel]\r\nHANDLE=old\r\nCOLOR=red\r\n[last]\r\nk=v\r\n";
  WriteBytes(file, before);
  WriteProfileValue(L"toofel", L"handle", L"new", file);
  EXPECT_EQ(ReadBytes(file), "[other]\r\nHANDLE=keep\r\n[toofel]\r\nHANDLE=new\r\nCOLOR=red\r\n[last]\r\nk=v\r\n");

  // Blank lines and blanks around "=" are the platform's to keep or drop; the entries are not.
  WriteBytes(file, "; settings\r\n\r\n[other]\r\nname = keep\r\n\r\n[toofel]\r\nDIR = d\r\n");
  WriteProfileValue(L"toofel", L"handle", L"new", file);
  EXPECT_NE(ReadBytes(file).find("; settings"), std::string::npos);
  EXPECT_EQ(ReadProfileValue(L"other", L"name", file), L"keep");
  EXPECT_EQ(ReadProfileValue(L"toofel", L"dir", file), L"d");
  EXPECT_EQ(ReadProfileValue(L"toofel", L"handle", file), L"new");
}

TEST_F(Settings, ValueIsStoredOnlyUpToItsFirstLineBreak) {
  WriteProfileValue(L"toofel", L"handle", L"evil\r\nDIR=C:\\x\r\n[other]\r\nK=v", file);
  WriteProfileValue(L"toofel", L"dir", L"d\nHANDLE=x", file);
  EXPECT_EQ(ReadBytes(file), "[toofel]\r\nHANDLE=evil\r\nDIR=d\r\n");
}

std::string Utf16WithByteOrderMark(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (const char c : ascii) bytes += {c, '\0'};
  return bytes;
}

// Files the program did not write itself: it reads what it can, writes its
// entry and every other entry reads back as before.
TEST_F(Settings, ForeignFilesKeepTheirOtherEntries) {
  std::mt19937 random(1234);
  std::string junk(4096, '\0');
  for (char& byte : junk) byte = static_cast<char>(random());
  const struct {
    const char* name;
    std::string bytes;
    const wchar_t* handle;
  } cases[] = {
      {"junk", junk, nullptr},
      {"LF line ends", "[toofel]\nHANDLE=abc\n[x]\ny=1\n", L"abc"},
      {"no final line end", "[x]\r\ny=1\r\n[toofel]\r\nHANDLE=abc", L"abc"},
      {"UTF-16", Utf16WithByteOrderMark("[x]\r\ny=1\r\n[toofel]\r\nHANDLE=abc\r\n"), L"abc"},
      {"section twice", "[toofel]\r\nHANDLE=abc\r\n[x]\r\ny=1\r\n[toofel]\r\nDIR=d\r\n", L"abc"},
      {"blanks around =", "[x]\r\ny = 1\r\n[toofel]\r\nHANDLE = abc\r\n", L"abc"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    WriteBytes(file, test.bytes);
    if (test.handle) {
      EXPECT_EQ(ReadProfileValue(L"toofel", L"handle", file), test.handle);
    }
    const std::wstring other = ReadProfileValue(L"x", L"y", file);
    const std::wstring dir = ReadProfileValue(L"toofel", L"dir", file);
    WriteProfileValue(L"toofel", L"handle", L"new", file);
    EXPECT_EQ(ReadProfileValue(L"toofel", L"handle", file), L"new");
    EXPECT_EQ(ReadProfileValue(L"x", L"y", file), other);
    EXPECT_EQ(ReadProfileValue(L"toofel", L"dir", file), dir);
  }
}

TEST_F(Settings, TenMegabytePlainFileChangesOnlyTheEntryWritten) {
  std::string entries = "[other]\r\n";
  for (int i = 0; entries.size() < 10'000'000; ++i) entries += "key" + std::to_string(i) + "=value\r\n";
  WriteBytes(file, entries + "[toofel]\r\nHANDLE=abc\r\n");
  EXPECT_EQ(ReadProfileValue(L"toofel", L"handle", file), L"abc");
  WriteProfileValue(L"toofel", L"handle", L"new", file);
  EXPECT_TRUE(ReadBytes(file) == entries + "[toofel]\r\nHANDLE=new\r\n");
}

// Wine run as root lets a write through the read-only attribute, so that case
// is also held open by a reader that shares no writing, as another program could.
TEST_F(Settings, FileThatCannotBeWrittenIsLeftAsItWas) {
  const std::string before = "[toofel]\r\nHANDLE=abc\r\n";
  WriteBytes(file, before);
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
  HANDLE holder = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  WriteProfileValue(L"toofel", L"handle", L"new", file);
  EXPECT_EQ(ReadProfileValue(L"toofel", L"handle", file), L"abc");
  CloseHandle(holder);

  holder = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);  // exclusive use
  EXPECT_EQ(ReadProfileValue(L"toofel", L"handle", file), L"");
  WriteProfileValue(L"toofel", L"dir", L"d", file);
  CloseHandle(holder);
  EXPECT_EQ(ReadBytes(file), before);
}

DWORD RunProbe(const std::wstring& folder, const std::wstring& arguments,
               const std::wstring& probe = BuiltProgram(L"tests\\settings-probe.exe")) {
  return RunCopyIn(folder, probe, arguments);
}

TEST_F(Settings, FileLandsInTheRootOfTheProgramsDrive) {
  const std::wstring drive = MapDrive(folder.path);
  ASSERT_FALSE(drive.empty());
  EXPECT_EQ(RunProbe(drive + L"\\", L"write dir x"), 0u);
  UnmapDrive(drive);
  EXPECT_EQ(ReadBytes(file), "[toofel]\r\nDIR=x\r\n");
}

TEST_F(Settings, FolderNamedOutsideTheCodePageKeepsItsSettings) {
  const std::wstring snowman = folder.File(L"\u2603");
  CreateDirectoryW(snowman.c_str(), nullptr);
  EXPECT_EQ(RunProbe(snowman, L"write handle t\u00F8\u00F8fel"), 0u);
  EXPECT_EQ(RunProbe(snowman, L"copy handle dir"), 0u);
  EXPECT_EQ(ReadBytes(snowman + L"\\info.ini"),
            "[toofel]\r\nHANDLE=t\xF8\xF8"
            "fel\r\nDIR=t\xF8\xF8"
            "fel\r\n");
}

// The 32-bit and the 64-bit program share one file when a user switches builds.
TEST_F(Settings, FileWrittenByTheOtherBuildReadsTheSame) {
  const std::wstring otherProbe = OtherBuildProgram(L"tests\\settings-probe.exe");
  if (otherProbe.empty()) GTEST_SKIP() << "TOOFEL_OTHER_BUILD names no other build";
  if (!OtherBuildRuns()) GTEST_SKIP() << "this host cannot run the other build's programs";
  EXPECT_EQ(RunProbe(folder.path, L"write handle t\u00F8\u00F8fel", otherProbe), 0u);
  EXPECT_EQ(RunProbe(folder.path, L"copy handle dir"), 0u);
  EXPECT_EQ(RunProbe(folder.path, L"copy dir color", otherProbe), 0u);
  EXPECT_EQ(ReadBytes(file),
            "[toofel]\r\nHANDLE=t\xF8\xF8"
            "fel\r\nDIR=t\xF8\xF8"
            "fel\r\nCOLOR=t\xF8\xF8"
            "fel\r\n");
}

}  // namespace
