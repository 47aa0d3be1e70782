#include "settings/profile.h"

#include <gtest/gtest.h>

#include "support.h"

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

// Wine run as root lets a write through the read-only attribute, so the file is
// also held open by a reader that shares no writing, as another program could.
TEST_F(Settings, FileThatCannotBeWrittenIsLeftAsItWas) {
  const std::string before = "[toofel]\r\nHANDLE=abc\r\n";
  WriteBytes(file, before);
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
  const HANDLE reader = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  WriteProfileValue(L"toofel", L"handle", L"new", file);
  WriteProfileValue(L"toofel", L"dir", L"d", file);
  EXPECT_EQ(ReadProfileValue(L"toofel", L"handle", file), L"abc");
  CloseHandle(reader);
  EXPECT_EQ(ReadBytes(file), before);
}

DWORD RunProbe(const std::wstring& folder, const std::wstring& arguments) {
  const std::wstring program = folder + L"\\settings-probe.exe";
  CopyFileW(BuiltProgram(L"tests\\settings-probe.exe").c_str(), program.c_str(), FALSE);
  Process probe = StartProcess(program, arguments, folder);
  const DWORD code = WaitForExit(probe);
  EndProcess(probe);
  DeleteFileW(program.c_str());
  return code;
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

}  // namespace
