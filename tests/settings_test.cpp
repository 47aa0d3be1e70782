#include "settings/profile.h"

#include <gtest/gtest.h>

#include "driver.h"
#include "expected_lines.h"

// The real profile functions on files made for each test; exact bytes where
// the layout is ours to state.
namespace {

using Module1::ReadProfileValue;
using Module1::WriteProfileValue;

const std::wstring kToofel = L"t\u00F8\u00F8fel";
const std::string kToofelTwice = "[toofel]\r\nHANDLE=" + InCodePage(kToofel) + "\r\nDIR=" + InCodePage(kToofel) + "\r\n";

TEST(Settings, WritingAValueGivesTheseBytesAndReadsBack) {
  const struct {
    const char* name;
    const char* before;  // no file when null
    const wchar_t* key;
    std::wstring value;
    std::string after;
    std::wstring readBack;
  } cases[] = {
      {"new file", nullptr, L"dir", L"x", "[toofel]\r\nDIR=x\r\n", L"x"},
      {"code page", "[toofel]\r\nDIR=x\r\n", L"handle", kToofel, "[toofel]\r\nDIR=x\r\nHANDLE=" + InCodePage(kToofel) + "\r\n",
       Platform::FromAnsi(InCodePage(kToofel))},
      {"empty value", "[toofel]\r\nHANDLE=abc\r\n", L"handle", L"", "[toofel]\r\nHANDLE=\r\n", L""},
      {"other entries", "[other]\r\nHANDLE=keep\r\n[toofel]\r\nHANDLE=old\r\nCOLOR=red\r\n[last]\r\nk=v\r\n", L"handle",
       L"new", "[other]\r\nHANDLE=keep\r\n[toofel]\r\nHANDLE=new\r\nCOLOR=red\r\n[last]\r\nk=v\r\n", L"new"},
      {"CR LF in value", nullptr, L"handle", L"evil\r\nDIR=C:\\x\r\n[other]\r\nK=v", "[toofel]\r\nHANDLE=evil\r\n",
       L"evil"},
      {"LF in value", nullptr, L"dir", L"d\nHANDLE=x", "[toofel]\r\nDIR=d\r\n", L"d"},
      {"long value", nullptr, L"dir", std::wstring(800, L'a'), "[toofel]\r\nDIR=" + std::string(800, 'a') + "\r\n",
       std::wstring(749, L'a')},
  };
  TempFolder folder;
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    const std::wstring file = folder.File(std::to_wstring(&test - cases) + L".ini");
    if (test.before) WriteBytes(file, test.before);
    WriteProfileValue(L"toofel", test.key, test.value, file);
    EXPECT_EQ(ReadBytes(file), test.after);
    EXPECT_EQ(ReadProfileValue(L"toofel", test.key, file), test.readBack);
  }
}

TEST(Settings, OnCodePage1252AValueIsKeptInItsBytes) {
  if (GetACP() != kWesternCodePage) GTEST_SKIP() << "the system's code page is " << GetACP() << ", not 1252";
  TempFolder folder;
  WriteProfileValue(L"toofel", L"handle", kToofel, folder.File(L"info.ini"));
  EXPECT_EQ(ReadBytes(folder.File(L"info.ini")), "[toofel]\r\nHANDLE=t\xF8\xF8" "fel\r\n");
}

TEST(Settings, MissingFileSectionOrKeyReadsEmpty) {
  TempFolder folder;
  WriteBytes(folder.File(L"info.ini"), "[other]\r\nHANDLE=abc\r\n[toofel]\r\nCOLOR=red\r\n");
  EXPECT_EQ(ReadProfileValue(L"toofel", L"handle", folder.File(L"info.ini")), L"");
  EXPECT_EQ(ReadProfileValue(L"missing", L"handle", folder.File(L"info.ini")), L"");
  EXPECT_EQ(ReadProfileValue(L"toofel", L"color", folder.File(L"missing.ini")), L"");
}

DWORD RunProbe(const std::wstring& folder, const std::wstring& arguments,
               const std::wstring& probe = BuiltProgram(L"tests\\settings-probe.exe")) {
  return RunCopyIn(folder, probe, arguments);
}

// At a drive's root the program's folder already ends in a separator; a folder
// the code page cannot spell is reached through the wide functions.
TEST(Settings, ProgramAtADriveRootOrInAFolderOutsideTheCodePageKeepsItsFile) {
  TempFolder folder;
  const std::wstring snowman = folder.File(L"\u2603");
  CreateDirectoryW(snowman.c_str(), nullptr);
  EXPECT_EQ(RunProbe(snowman, L"write handle " + kToofel), 0u);
  MoveFileW((snowman + L"\\info.ini").c_str(), folder.File(L"info.ini").c_str());
  const std::wstring drive = MapDrive(folder.path);
  ASSERT_FALSE(drive.empty());
  EXPECT_EQ(RunProbe(drive + L"\\", L"copy handle dir"), 0u);
  UnmapDrive(drive);
  EXPECT_EQ(ReadBytes(folder.File(L"info.ini")), kToofelTwice);
}

// The 32-bit and the 64-bit program share one file when a user switches builds.
TEST(Settings, FileWrittenByTheOtherBuildReadsTheSame) {
  const std::wstring otherProbe = OtherBuildProgram(L"tests\\settings-probe.exe");
  if (otherProbe.empty()) GTEST_SKIP() << "TOOFEL_OTHER_BUILD names no other build";
  if (!OtherBuildRuns()) GTEST_SKIP() << "this host cannot run the other build's programs";
  TempFolder folder;
  EXPECT_EQ(RunProbe(folder.path, L"write handle " + kToofel, otherProbe), 0u);
  EXPECT_EQ(RunProbe(folder.path, L"copy handle dir"), 0u);
  EXPECT_EQ(RunProbe(folder.path, L"copy dir handle", otherProbe), 0u);
  EXPECT_EQ(ReadBytes(folder.File(L"info.ini")), kToofelTwice);
}

}  // namespace
