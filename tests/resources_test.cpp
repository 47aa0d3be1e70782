// The resources of both builds of toofel.exe, as Explorer and the loader read
// them: the icon group, the version with the project's version in it, the manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/resources.h"
#include "driver.h"
#include "version.h"

namespace {

// The colour of the icon's field, left of its ø.
constexpr COLORREF kIconBlue = RGB(0x00, 0x80, 0xC0);
constexpr POINT FieldSpot(int size) { return {size / 8, size / 2}; }

// The colour at a spot of the icon drawn at the given size on black.
COLORREF IconPixel(HICON icon, int size, POINT at) {
  const HDC screen = GetDC(nullptr);
  const HDC dc = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  const RECT all{0, 0, size, size};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  const COLORREF colour = GetPixel(dc, at.x, at.y);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return colour;
}

std::string Bytes(HMODULE module, const wchar_t* name, const wchar_t* type) {
  const HRSRC found = FindResourceW(module, name, type);
  const char* data = found ? static_cast<const char*>(LockResource(LoadResource(module, found))) : nullptr;
  return data ? std::string(data, SizeofResource(module, found)) : std::string();
}

void ExpectIconInThreeSizes(HMODULE program) {
  const std::string group = Bytes(program, MAKEINTRESOURCEW(IDI_TOOFEL), RT_GROUP_ICON);
  constexpr size_t kHeader = 6, kEntry = 14;  // GRPICONDIR and GRPICONDIRENTRY as stored
  ASSERT_GE(group.size(), kHeader);
  const size_t count = static_cast<unsigned char>(group[4]);
  ASSERT_EQ(group.size(), kHeader + count * kEntry);
  std::string sizes;
  for (size_t i = 0; i < count; ++i) sizes += std::to_string(static_cast<unsigned char>(group[kHeader + i * kEntry])) + " ";
  EXPECT_EQ(sizes, "16 32 48 ");
  for (const int size : {16, 32, 48}) {
    const HICON icon =
        static_cast<HICON>(LoadImageW(program, MAKEINTRESOURCEW(IDI_TOOFEL), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    ASSERT_NE(icon, nullptr) << size;
    EXPECT_EQ(IconPixel(icon, size, FieldSpot(size)), kIconBlue) << size;
    DestroyIcon(icon);
  }
}

void ExpectTheProjectsVersion(const std::wstring& program) {
  std::string block(GetFileVersionInfoSizeW(program.c_str(), nullptr), '\0');
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(TOOFEL_VERSION_MINOR, TOOFEL_VERSION_MAJOR)));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  auto text = [&](const wchar_t* name) {
    wchar_t* value = nullptr;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    return VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) && value
               ? std::wstring(value)
               : std::wstring(L"(missing)");
  };
  const std::wstring version = TEXT(TOOFEL_VERSION_TEXT);
  EXPECT_EQ(text(L"ProductName"), L"t\u00F8\u00F8fel");
  EXPECT_EQ(text(L"FileVersion"), version);
  EXPECT_EQ(text(L"ProductVersion"), version);
  EXPECT_EQ(text(L"OriginalFilename"), L"toofel.exe");
  EXPECT_NE(text(L"FileDescription").find(L"chat rooms"), std::wstring::npos);
}

void ExpectManifestForEitherProcessor(HMODULE program) {
  const std::string manifest = Bytes(program, MAKEINTRESOURCEW(1), RT_MANIFEST);
  EXPECT_NE(manifest.find("name=\"toofel\" version=\"" TOOFEL_VERSION_TEXT ".0.0\" processorArchitecture=\"*\""),
            std::string::npos)
      << manifest;
  EXPECT_EQ(manifest.find("amd64"), std::string::npos);
  // Per-monitor where Windows knows it, system-wide before 8.1, in the documented layout.
  EXPECT_NE(manifest.find(
                "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n    <windowsSettings>\n"
                "      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>\n"
                "      <dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                "PerMonitorV2, PerMonitor</dpiAwareness>\n    </windowsSettings>"),
            std::string::npos);
}

TEST(Resources, EachBuildCarriesTheIconVersionAndManifest) {
  for (const BuiltFile& build : BuiltFiles(L"toofel.exe")) {
    SCOPED_TRACE(std::string(build.path.begin(), build.path.end()));
    const HMODULE program = LoadLibraryExW(build.path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    ExpectIconInThreeSizes(program);
    ExpectManifestForEitherProcessor(program);
    FreeLibrary(program);
    ExpectTheProjectsVersion(build.path);
  }
}

}  // namespace
