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

// How every input field behaves towards the sender of a text and the user.
struct FieldBehaviour {
  DWORD applyTextMs = 0;             // taken over applying a text, not reading messages
  DWORD busyAfterTextMs = 0;         // busy once the text is applied and the sender answered
  std::string draft;                 // what the user has typed and not yet sent, at start
  std::string typedDuringFirstText;  // typed while the first text given is applied
};
void SetFieldBehaviour(const FieldBehaviour& behaviour);

void AppendTranscriptLine(HWND transcript, const std::string& line);
