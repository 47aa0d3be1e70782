#pragma once
// What a test changes outside its own folders and processes is written down
// before it changes it, in the file that TOOFEL_PUT_BACK names, so that it can
// be put back however the test ends: the test runner does so after every test
// process, also one it ended at the time limit. Without the variable nothing is
// written and the test's own clean-up is all there is.
#include <windows.h>

#include <string>

// Whatever stands at the path afterwards is removed: a folder the test makes,
// or the user's settings folder, which was not there before.
void NoteRemoval(const std::wstring& path);
// The drive letter, free now, is removed afterwards where it names the folder.
void NoteDriveMapping(const std::wstring& drive, const std::wstring& folder);
// The folder's access list as it is now comes back afterwards.
void NoteAccessList(const std::wstring& folder);
// The key under HKEY_CURRENT_USER, not there now, is removed afterwards; a
// key within it is to be noted after it.
void NoteRegistryKey(const std::wstring& key);
// The number value under the key of HKEY_CURRENT_USER comes back afterwards
// as it is now, or goes where there is none.
void NoteRegistryValue(const std::wstring& key, const std::wstring& name);
// The number value under the key of HKEY_CURRENT_USER; false where there is none.
bool ReadRegistryNumber(const std::wstring& key, const std::wstring& name, DWORD& value);
// Sets it, where the key is there; noted first with NoteRegistryValue to come back.
void WriteRegistryNumber(const std::wstring& key, const std::wstring& name, DWORD value);
// The process, started suspended, is ended afterwards if it still runs.
void NoteProcess(const PROCESS_INFORMATION& process);
// Whether a record is kept, so that a process left over is ended afterwards.
bool KeepsARecord();

// Ends the processes the record names, releases every key and mouse button
// held down, puts back the rest newest first and removes the record.
void PutBack(const std::wstring& record);
