#include "put_back.h"

#include <aclapi.h>
#include <sddl.h>

#include <cwchar>
#include <vector>

#include "driver.h"

namespace {

constexpr wchar_t kRecordVariable[] = L"TOOFEL_PUT_BACK";
constexpr DWORD kEndingMs = 5000;

std::wstring RecordFile() {
  wchar_t path[MAX_PATH * 2] = L"";
  const DWORD length = GetEnvironmentVariableW(kRecordVariable, path, MAX_PATH * 2);
  return length && length < MAX_PATH * 2 ? path : L"";
}

// One line a change, its fields apart by tabs, which no path holds.
void Note(const std::vector<std::wstring>& fields) {
  const std::wstring record = RecordFile();
  if (record.empty()) return;
  std::wstring line;
  for (const std::wstring& field : fields) line += (line.empty() ? L"" : L"\t") + field;
  line += L"\n";
  const HANDLE file = CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(file);
}

std::vector<std::vector<std::wstring>> LinesOf(const std::wstring& record) {
  const std::string bytes = ReadBytes(record);
  const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
  std::vector<std::vector<std::wstring>> lines;
  for (size_t at = 0, end; (end = text.find(L'\n', at)) != std::wstring::npos; at = end + 1) {
    std::vector<std::wstring> fields;
    for (size_t from = at, tab;; from = tab + 1) {
      tab = text.find(L'\t', from);
      if (tab == std::wstring::npos || tab > end) tab = end;
      fields.push_back(text.substr(from, tab - from));
      if (tab == end) break;
    }
    lines.push_back(fields);
  }
  return lines;
}

unsigned long long CreationTime(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Only the process the record names: an id whose process ended may have gone to another.
void EndProcess(const std::wstring& id, const std::wstring& created) {
  const HANDLE process = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE,
                                     static_cast<DWORD>(std::wcstoul(id.c_str(), nullptr, 10)));
  if (!process) return;
  if (CreationTime(process) == std::wcstoull(created.c_str(), nullptr, 10)) {
    TerminateProcess(process, 99);
    WaitForSingleObject(process, kEndingMs);
  }
  CloseHandle(process);
}

void SendMouseUp(DWORD flags, DWORD data = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  input.mi.mouseData = data;
  SendInput(1, &input, sizeof input);
}

// Both the input and the key state name the physical buttons.
void ReleaseHeldInput() {
  const struct {
    int key;
    DWORD up, data;
  } kButtons[] = {{VK_LBUTTON, MOUSEEVENTF_LEFTUP, 0},
                  {VK_RBUTTON, MOUSEEVENTF_RIGHTUP, 0},
                  {VK_MBUTTON, MOUSEEVENTF_MIDDLEUP, 0},
                  {VK_XBUTTON1, MOUSEEVENTF_XUP, XBUTTON1},
                  {VK_XBUTTON2, MOUSEEVENTF_XUP, XBUTTON2}};
  for (const auto& button : kButtons)
    if (GetAsyncKeyState(button.key) & 0x8000) SendMouseUp(button.up, button.data);
  for (int key = VK_BACK; key <= 0xFE; ++key) {  // past the buttons
    if (!(GetAsyncKeyState(key) & 0x8000)) continue;
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(key);
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
  }
}

// Only where the letter still names the folder: on Windows the target reads "\??\C:\...".
void RemoveDriveMapping(const std::wstring& drive, const std::wstring& folder) {
  if (RunsUnderWine()) return UnmapDrive(drive);
  wchar_t target[MAX_PATH * 2] = L"";
  if (!QueryDosDeviceW(drive.c_str(), target, MAX_PATH * 2)) return;
  const std::wstring named = target;
  if (named.size() >= folder.size() && lstrcmpiW(named.c_str() + named.size() - folder.size(), folder.c_str()) == 0)
    UnmapDrive(drive);
}

void RestoreAccessList(const std::wstring& folder, const std::wstring& sddl) {
  PSECURITY_DESCRIPTOR saved = nullptr;
  if (!Exists(folder) ||
      !ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &saved, nullptr))
    return;
  BOOL present = FALSE, defaulted = FALSE;
  PACL acl = nullptr;
  if (GetSecurityDescriptorDacl(saved, &present, &acl, &defaulted) && present)
    SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                          nullptr, acl, nullptr);
  LocalFree(saved);
}

void RestoreRegistryValue(const std::wstring& key, const std::wstring& name, const std::wstring& value) {
  if (!value.empty()) return WriteRegistryNumber(key, name, std::wcstoul(value.c_str(), nullptr, 10));
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS) return;
  RegDeleteValueW(opened, name.c_str());
  RegCloseKey(opened);
}

}  // namespace

bool KeepsARecord() {
  return !RecordFile().empty();
}

void NoteRemoval(const std::wstring& path) {
  Note({L"remove", path});
}

void NoteDriveMapping(const std::wstring& drive, const std::wstring& folder) {
  Note({L"drive", drive, folder});
}

void NoteAccessList(const std::wstring& folder) {
  PSECURITY_DESCRIPTOR now = nullptr;
  wchar_t* sddl = nullptr;
  if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                            nullptr, &now) == ERROR_SUCCESS &&
      ConvertSecurityDescriptorToStringSecurityDescriptorW(now, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &sddl,
                                                           nullptr)) {
    Note({L"access", folder, sddl});
    LocalFree(sddl);
  }
  LocalFree(now);
}

void NoteRegistryKey(const std::wstring& key) {
  Note({L"key", key});
}

bool ReadRegistryNumber(const std::wstring& key, const std::wstring& name, DWORD& value) {
  DWORD size = sizeof value, type = 0;
  HKEY opened = nullptr;
  bool there = false;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &opened) == ERROR_SUCCESS) {
    there = RegQueryValueExW(opened, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD;
    RegCloseKey(opened);
  }
  return there;
}

void WriteRegistryNumber(const std::wstring& key, const std::wstring& name, DWORD value) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS) return;
  RegSetValueExW(opened, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(opened);
}

void NoteRegistryValue(const std::wstring& key, const std::wstring& name) {
  DWORD value = 0;
  const bool there = ReadRegistryNumber(key, name, value);
  Note({L"value", key, name, there ? std::to_wstring(value) : L""});
}

void NoteProcess(const PROCESS_INFORMATION& process) {
  Note({L"process", std::to_wstring(process.dwProcessId), std::to_wstring(CreationTime(process.hProcess))});
}

void PutBack(const std::wstring& record) {
  const auto lines = LinesOf(record);
  for (const auto& line : lines)
    if (line[0] == L"process" && line.size() == 3) EndProcess(line[1], line[2]);
  ReleaseHeldInput();
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
    const std::wstring& kind = (*line)[0];
    if (kind == L"remove" && line->size() == 2) RemoveTree((*line)[1]);
    if (kind == L"drive" && line->size() == 3) RemoveDriveMapping((*line)[1], (*line)[2]);
    if (kind == L"access" && line->size() == 3) RestoreAccessList((*line)[1], (*line)[2]);
    if (kind == L"key" && line->size() == 2) RegDeleteKeyW(HKEY_CURRENT_USER, (*line)[1].c_str());
    if (kind == L"value" && line->size() == 4) RestoreRegistryValue((*line)[1], (*line)[2], (*line)[3]);
  }
  DeleteFileW(record.c_str());
}
