#pragma once
#include <windows.h>

// A platform window; nullptr means none.
using WindowHandle = HWND;
