#include "app/announcement.h"

namespace {

constexpr wchar_t kOpening[] = L"</u></b></i><font fontace=\"arial narrow\"><font color=";

// The count in decimal, without sign or leading zeros. std::to_wstring would
// bring the runtime's whole formatted printing, floating point included: 27 KiB.
std::wstring Decimal(int count) {
  unsigned magnitude = count < 0 ? 0u - static_cast<unsigned>(count) : static_cast<unsigned>(count);
  std::wstring digits;
  do {
    digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude);
  return digits;
}

}  // namespace

// One markup piece a line, so each reads against the line it builds.
// clang-format off
std::wstring BannerLine(const std::wstring& color) {
  return kOpening + color +
         L"><b>*</b><font color=#0000000>t<b><font color=" + color +
         L">\u00F8\u00F8</b><font color=#000000>fel... v<font color=" + color +
         L">1<font color=#000000> <b>\u203A</b> by varo and quil <font color=" + color +
         L"><b>on</b><font color=" + color +
         L">line <b>\u203A</b> <fontcolor=" + color +
         L"><u>private";
}

std::wstring IdLine(const std::wstring& color, const std::wstring& handle, int fileCount) {
  return kOpening + color +
         L"><b>*</b><font color=#0000000>id.<b><font color=" + color +
         L">" + handle +
         L"</b><font color=#0000000> <b>\u203A</b> files.<b><font color=" + color +
         L">" + Decimal(fileCount) +
         L"</b>";
}
// clang-format on
