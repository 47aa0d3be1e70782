#pragma once
// The two chat lines as the chat client must receive them: code page 1252
// bytes, 0xF8 for the two o-slashes and 0x9B for each single angle quote.

#define TOOFEL_OPENING "</u></b></i><font fontace=\"arial narrow\"><font color="

#define TOOFEL_BANNER(C)                                                                                           \
  TOOFEL_OPENING C "><b>*</b><font color=#0000000>t<b><font color=" C                                              \
                   ">\xF8\xF8</b><font color=#000000>fel... v<font color=" C                                       \
                   ">1<font color=#000000> <b>\x9B</b> by varo and quil <font color=" C "><b>on</b><font color=" C \
                   ">line <b>\x9B</b> <fontcolor=" C "><u>private"

#define TOOFEL_ID(C, HANDLE, COUNT)                                                \
  TOOFEL_OPENING C "><b>*</b><font color=#0000000>id.<b><font color=" C ">" HANDLE \
                   "</b><font color=#0000000> <b>\x9B</b> files.<b><font color=" C ">" COUNT "</b>"

// The settings file of a program folder that holds a screen name and directory.
constexpr char kStoredSettings[] = "[toofel]\r\nHANDLE=tester\r\nDIR=C:\\music\r\n";
