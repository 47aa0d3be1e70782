// Loads the system DLLs the program loads after start-up, through the program's
// own code but without its start-up narrowing of the DLL search, as on Windows
// XP, Vista and 7 without KB2533623; then writes the full path each was loaded
// from to the file named, a line each, in UTF-16.
//   dll-probe FILE
#include <windows.h>

#include <string>

#include "platform/clock.h"
#include "settings/kept_settings.h"

int wmain(int count, wchar_t** arguments) {
  if (count != 2) return 2;
  if (Platform::BeginFineTimer()) Platform::EndFineTimer();  // winmm
  Settings::UserSettingsPath();                              // shell32
  std::wstring paths;
  for (const wchar_t* name : {L"winmm.dll", L"shell32.dll"}) {
    wchar_t path[MAX_PATH] = L"(not loaded)";
    if (const HMODULE module = GetModuleHandleW(name)) GetModuleFileNameW(module, path, MAX_PATH);
    paths += path + std::wstring(L"\n");
  }
  const HANDLE file = CreateFileW(arguments[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  const bool done = WriteFile(file, paths.data(), static_cast<DWORD>(paths.size() * 2), &written, nullptr);
  CloseHandle(file);
  return done ? 0 : 1;
}
