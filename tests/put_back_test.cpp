#include <gtest/gtest.h>

#include "driver.h"
#include "put_back.h"
#include "settings/kept_settings.h"

// A test process ended half-way, as the runner ends one at the time limit,
// then put back from its record as the runner puts back every test.
namespace {

std::wstring DrivesInUse() {
  std::wstring drives;
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter)
    if (GetDriveTypeW((std::wstring(1, letter) + L":\\").c_str()) != DRIVE_NO_ROOT_DIR) drives += letter;
  return drives;
}

bool TempFoldersOf(DWORD processId) {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  WIN32_FIND_DATAW entry;
  const std::wstring pattern = base + (L"toofel-test-" + std::to_wstring(processId) + L"-*");
  const HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

// The key state names the physical button.
bool PrimaryButtonDown() {
  return GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000;
}

HWND DraggedToofel() {
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"toofel", nullptr));)
    if (CaptureOf(window)) return window;
  return nullptr;
}

// The temporary folder whose writes were denied goes only once its access
// list is back; under Wine, which enforces none, none was denied, and there
// the DPI setting is changed too.
TEST(PutBack, ATestEndedHalfWayThroughAFirstUseLeavesNothingBehind) {
  const std::wstring userFile = Settings::UserSettingsPath();
  const std::wstring userFolder = userFile.substr(0, userFile.rfind(L'\\'));
  if (Exists(userFolder)) GTEST_SKIP() << "the user's own %APPDATA%\\toofel is there, and is left alone";
  TempFolder here;
  const std::wstring record = here.File(L"put-back.txt"), drives = DrivesInUse();
  const DWORD dpi = ScreenDpiSetting();
  wchar_t self[MAX_PATH], ownRecord[MAX_PATH * 2] = L"";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const bool recorded = GetEnvironmentVariableW(L"TOOFEL_PUT_BACK", ownRecord, MAX_PATH * 2) != 0;
  SetEnvironmentVariableW(L"TOOFEL_PUT_BACK", record.c_str());
  Process test = StartProcess(
      self, L"--gtest_also_run_disabled_tests --gtest_filter=UnwritableFolder.DISABLED_HalfWayWhenEnded", here.path);
  SetEnvironmentVariableW(L"TOOFEL_PUT_BACK", recorded ? ownRecord : nullptr);
  HWND toofel = nullptr;
  // The first use's own presses drag too; the drive comes after them.
  const bool halfWay =
      WaitUntil([&] { return DrivesInUse() != drives && (toofel = DraggedToofel()) != nullptr; }, 60000);
  EXPECT_TRUE(halfWay) << "the test never held the button on tøøfel";
  EXPECT_TRUE(Exists(userFile));
  EXPECT_TRUE(TempFoldersOf(test.id));
  EXPECT_TRUE(PrimaryButtonDown());
  EXPECT_TRUE(!RunsUnderWine() || ScreenDpiSetting() != dpi);
  const DWORD testId = test.id;
  EndProcess(test);
  PutBack(record);
  EXPECT_FALSE(Exists(userFolder));
  EXPECT_EQ(DrivesInUse(), drives);
  EXPECT_FALSE(TempFoldersOf(testId));
  EXPECT_FALSE(PrimaryButtonDown());
  EXPECT_EQ(ScreenDpiSetting(), dpi);
  EXPECT_FALSE(halfWay && IsWindow(toofel));
  EXPECT_FALSE(Exists(record));
}

}  // namespace
