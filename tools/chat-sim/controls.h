#pragma once
// The windows inside a room: transcript, input field, and the painted
// stand-ins for the combo box, icon button and static text.

#include <windows.h>

#include <string>

bool RegisterControlClasses(HINSTANCE instance);

// The transcript fonts, made once for the life of the program.
void CreateControlFonts();
void DeleteControlFonts();

// Once the given line is posted (1 for the first), the whole simulator stops
// answering for that many milliseconds. Line 0 never comes.
void HangAfterLine(int line, DWORD milliseconds);

// Each input field takes that many milliseconds to apply a text it is given.
void TakeTimeToApplyText(DWORD milliseconds);

void AppendTranscriptLine(HWND transcript, const std::string& line);
