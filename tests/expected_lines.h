#pragma once
#include <windows.h>

#include <string>

#include "platform/text.h"

// The two chat lines as wide text; the _1252 forms in that code page's bytes.

#define TOOFEL_OPENING "</u></b></i><font fontace=\"arial narrow\"><font color="

#define TOOFEL_BANNER_WITH(C, O, Q)                                                                                \
  TOOFEL_OPENING C "><b>*</b><font color=#0000000>t<b><font color=" C ">" O O                                      \
                   "</b><font color=#000000>fel... v<font color=" C ">1<font color=#000000> <b>" Q                 \
                   "</b> by varo and quil <font color=" C "><b>on</b><font color=" C ">line <b>" Q "</b> <fontcolor=" C \
                   "><u>private"

#define TOOFEL_ID_WITH(C, HANDLE, COUNT, Q)                                        \
  TOOFEL_OPENING C "><b>*</b><font color=#0000000>id.<b><font color=" C ">" HANDLE \
                   "</b><font color=#0000000> <b>" Q "</b> files.<b><font color=" C ">" COUNT "</b>"

#define TOOFEL_BANNER(C) L"" TOOFEL_BANNER_WITH(C, "\u00F8", "\u203A")
#define TOOFEL_ID(C, HANDLE, COUNT) L"" TOOFEL_ID_WITH(C, HANDLE, COUNT, "\u203A")
#define TOOFEL_BANNER_1252(C) TOOFEL_BANNER_WITH(C, "\xF8", "\x9B")
#define TOOFEL_ID_1252(C, HANDLE, COUNT) TOOFEL_ID_WITH(C, HANDLE, COUNT, "\x9B")

// The bytes an ANSI program such as the chat client reads for the text here,
// with the code page's stand-in for what it lacks.
inline std::string InCodePage(const std::wstring& text) {
  std::string bytes(3 * text.size(), '\0');  // three at most, in UTF-8
  bytes.resize(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()),
                                                       &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr)));
  return bytes;
}

constexpr UINT kWesternCodePage = 1252;

// The settings file of a program folder that holds a screen name and directory.
constexpr char kStoredSettings[] = "[toofel]\r\nHANDLE=tester\r\nDIR=C:\\music\r\n";
