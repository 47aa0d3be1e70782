#include "app/announcement.h"

namespace {

constexpr wchar_t kOpening[] = L"</u></b></i><font fontace=\"arial narrow\"><font color=";

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
         L">" + std::to_wstring(fileCount) +
         L"</b>";
}
// clang-format on
