#include "controls.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "chat_log.h"
#include "markup.h"
#include "sim.h"

namespace {

constexpr wchar_t kFontFace[] = L"Arial";
constexpr int kFontPoints = 10;
constexpr int kPointsPerInch = 72;
constexpr int kFontVariants = 8;  // every mix of bold, italic and underline
constexpr int kTextMargin = 4;
constexpr std::size_t kMaxTranscriptLines = 1000;

constexpr WPARAM kEnterKey = 13;
constexpr WPARAM kBackspaceKey = 8;
constexpr WPARAM kFirstPrintable = 32;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kIconColour = RGB(0, 128, 192);
constexpr int kIconInset = 5;

HFONT fonts[kFontVariants] = {};
std::map<HWND, std::vector<std::string>> transcriptLines;
std::map<HWND, std::string> fieldText;
int linesPosted = 0;
int hangLine = 0;
DWORD hangMs = 0;
FieldBehaviour fields;
bool firstTextApplied = false;

HFONT FontFor(bool bold, bool italic, bool underline) {
  return fonts[(bold ? 1 : 0) | (italic ? 2 : 0) | (underline ? 4 : 0)];
}

HFONT PlainFont() {
  return FontFor(false, false, false);
}

COLORREF ToColorRef(std::uint32_t rrggbb) {
  return RGB((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF);
}

int LineHeight(HDC dc) {
  TEXTMETRICW metrics;
  SelectObject(dc, FontFor(true, true, false));  // the tallest variant
  GetTextMetricsW(dc, &metrics);
  return metrics.tmHeight + metrics.tmExternalLeading;
}

// ---- transcript ----

void DrawRuns(HDC dc, int x, int y, const std::vector<MarkupRun>& runs) {
  for (const MarkupRun& run : runs) {
    SelectObject(dc, FontFor(run.bold, run.italic, run.underline));
    SetTextColor(dc, ToColorRef(run.colour));
    const int length = int(run.text.size());
    TextOutW(dc, x, y, run.text.c_str(), length);
    SIZE extent;
    GetTextExtentPoint32W(dc, run.text.c_str(), length, &extent);
    x += extent.cx;
  }
}

void DrawTranscriptLines(HDC dc, const RECT& area, const std::vector<std::string>& lines) {
  const int height = LineHeight(dc);
  const int total = int(lines.size()) * height;
  const int room = area.bottom - 2 * kTextMargin;
  // Fill from the top; once full, keep the newest line at the bottom edge.
  // A line cut off at the top is left out rather than shown in part.
  int y = total <= room ? kTextMargin : area.bottom - kTextMargin - total;
  for (const std::string& line : lines) {
    if (y >= kTextMargin) DrawRuns(dc, kTextMargin, y, ParseMarkup(line));
    y += height;
  }
}

// Drawn off screen first so a stream of new lines does not flicker.
void OnTranscriptPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT area;
  GetClientRect(window, &area);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, area.right, area.bottom);
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  HGDIOBJ oldFont = SelectObject(memory, PlainFont());

  FillRect(memory, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(memory, TRANSPARENT);
  DrawTranscriptLines(memory, area, transcriptLines[window]);
  BitBlt(dc, 0, 0, area.right, area.bottom, memory, 0, 0, SRCCOPY);

  SelectObject(memory, oldFont);
  SelectObject(memory, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
  EndPaint(window, &paint);
}

LRESULT CALLBACK TranscriptProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnTranscriptPaint(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // painting covers everything
    case WM_SIZE:
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_NCDESTROY:
      transcriptLines.erase(window);
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// ---- input field (ANSI window: its text is code-page bytes) ----

void OnFieldPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT area;
  GetClientRect(window, &area);
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

  const std::string& text = fieldText[window];
  HGDIOBJ oldFont = SelectObject(dc, PlainFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kBlack);
  SIZE extent = {};
  GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &extent);
  // Long text shows its end, where typing happens.
  const int x = std::min(kTextMargin, int(area.right) - kTextMargin - int(extent.cx));
  const int y = (area.bottom - extent.cy) / 2;
  TextOutA(dc, x, y, text.c_str(), int(text.size()));
  SelectObject(dc, oldFont);
  EndPaint(window, &paint);
}

LRESULT OnFieldSetText(HWND window, LPARAM lParam) {
  if (fields.applyTextMs) Sleep(fields.applyTextMs);  // busy, not reading messages: the sender may give up meanwhile
  const char* text = reinterpret_cast<const char*>(lParam);
  std::string& field = fieldText[window] = text ? text : "";
  // Keys typed meanwhile wait in the queue and land after the text: this field
  // appends what is typed, where a real one inserts it at its caret.
  if (!firstTextApplied) field += fields.typedDuringFirstText;
  firstTextApplied = true;
  InvalidateRect(window, nullptr, FALSE);
  if (fields.busyAfterTextMs) {
    ReplyMessage(TRUE);
    Sleep(fields.busyAfterTextMs);  // drawing the long line, or starved of the CPU
  }
  return TRUE;
}

LRESULT OnFieldGetText(HWND window, WPARAM capacity, LPARAM lParam) {
  char* buffer = reinterpret_cast<char*>(lParam);
  if (!buffer || capacity == 0) return 0;
  const std::string& text = fieldText[window];
  const std::size_t length = std::min<std::size_t>(text.size(), capacity - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return LRESULT(length);
}

// Enter sends the field's text to the room, as the chat client does.
void PostFieldLine(HWND field) {
  const double postedAt = CounterMilliseconds();
  // The sender goes on at once: logging and drawing are the simulator's cost, not the sender's.
  ReplyMessage(0);
  std::string line;
  line.swap(fieldText[field]);
  InvalidateRect(field, nullptr, FALSE);
  const Room* room = RoomOfDocument(GetParent(field));
  if (!room) return;
  LogPostedLine(room->number, line, postedAt);
  if (room->transcript) AppendTranscriptLine(room->transcript, line);
  // Not reading messages is what makes a client hung; the sender's reply went out above.
  if (++linesPosted == hangLine) Sleep(hangMs);
}

void OnFieldChar(HWND field, WPARAM character) {
  if (character == kEnterKey) {
    PostFieldLine(field);
    return;
  }
  std::string& text = fieldText[field];
  if (character == kBackspaceKey) {
    if (!text.empty()) text.pop_back();
  } else if (character >= kFirstPrintable) {
    text += char(character);
  } else {
    return;
  }
  InvalidateRect(field, nullptr, FALSE);
}

LRESULT CALLBACK FieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      fieldText[window] = fields.draft;
      return 0;
    case WM_SETTEXT:
      return OnFieldSetText(window, lParam);
    case WM_GETTEXT:
      return OnFieldGetText(window, wParam, lParam);
    case WM_GETTEXTLENGTH:
      return LRESULT(fieldText[window].size());
    case WM_CHAR:
      OnFieldChar(window, wParam);
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(window);
      return 0;
    case WM_PAINT:
      OnFieldPaint(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_NCDESTROY:
      fieldText.erase(window);
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// ---- painted stand-ins ----

void OnComboPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT area;
  GetClientRect(window, &area);
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawEdge(dc, &area, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  RECT button = area;
  button.left = std::max(area.left, area.right - GetSystemMetrics(SM_CXVSCROLL));
  DrawFrameControl(dc, &button, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
  EndPaint(window, &paint);
}

LRESULT CALLBACK ComboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    OnComboPaint(window);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void OnIconPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT area;
  GetClientRect(window, &area);
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &area, EDGE_RAISED, BF_RECT);
  HBRUSH brush = CreateSolidBrush(kIconColour);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  Ellipse(dc, kIconInset, kIconInset, area.right - kIconInset + 1, area.bottom - kIconInset + 1);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(brush);
  EndPaint(window, &paint);
}

LRESULT CALLBACK IconProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    OnIconPaint(window);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void OnStaticPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT area;
  GetClientRect(window, &area);
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  wchar_t text[64] = L"";
  GetWindowTextW(window, text, int(sizeof text / sizeof text[0]));
  HGDIOBJ oldFont = SelectObject(dc, FontFor(true, false, false));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawTextW(dc, text, -1, &area, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  SelectObject(dc, oldFont);
  EndPaint(window, &paint);
}

LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnStaticPaint(window);
      return 0;
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, TRUE);
      return result;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterWide(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, LPCWSTR cursor) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, cursor);
  windowClass.lpszClassName = name;
  return RegisterClassW(&windowClass) != 0;
}

bool RegisterField(HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = FieldProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
  windowClass.lpszClassName = kFieldClass;
  return RegisterClassA(&windowClass) != 0;
}

}  // namespace

bool RegisterControlClasses(HINSTANCE instance) {
  return RegisterWide(instance, kTranscriptClass, TranscriptProc, IDC_ARROW) &&
         RegisterWide(instance, kComboClass, ComboProc, IDC_ARROW) &&
         RegisterWide(instance, kIconClass, IconProc, IDC_HAND) &&
         RegisterWide(instance, kStaticClass, StaticProc, IDC_ARROW) && RegisterField(instance);
}

void CreateControlFonts() {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(kFontPoints, GetDeviceCaps(screen, LOGPIXELSY), kPointsPerInch);
  ReleaseDC(nullptr, screen);
  for (int variant = 0; variant < kFontVariants; ++variant) {
    const bool bold = variant & 1;
    const bool italic = variant & 2;
    const bool underline = variant & 4;
    fonts[variant] =
        CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, underline, FALSE, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, kFontFace);
  }
}

void DeleteControlFonts() {
  for (HFONT& font : fonts) {
    DeleteObject(font);
    font = nullptr;
  }
}

void HangAfterLine(int line, DWORD milliseconds) {
  hangLine = line;
  hangMs = milliseconds;
}

void SetFieldBehaviour(const FieldBehaviour& behaviour) {
  fields = behaviour;
}

void AppendTranscriptLine(HWND transcript, const std::string& line) {
  std::vector<std::string>& lines = transcriptLines[transcript];
  lines.push_back(line);
  if (lines.size() > kMaxTranscriptLines) lines.erase(lines.begin());
  InvalidateRect(transcript, nullptr, FALSE);
}
