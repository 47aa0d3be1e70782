#pragma once
#include <windows.h>

namespace Platform {

// Takes the current folder out of the DLL search and, where Windows can, keeps
// every later search in the system folder; a DLL lying beside the program or in
// the folder it was started in is then never loaded in place of the system's.
void SearchDllsOnlyInTheSystemFolder();

// Loads a DLL of the system folder by its full path, its own imports from there
// too; nullptr when it cannot be loaded. Stays loaded for the program's life.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A function of a loaded DLL, as the given pointer type; nullptr when the DLL
// or the function is missing, as on a Windows older than the function.
template <typename Function>
Function FindFunction(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace Platform
