// The resources of both builds of toofel.exe, as Explorer and the loader read
// them: the icon group, the version with the project's version and the commit
// built in it, the manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

#include "app/resources.h"
#include "commit.h"
#include "driver.h"
#include "version.h"

namespace {

std::string Bytes(HMODULE module, const wchar_t* name, const wchar_t* type) {
  const HRSRC found = FindResourceW(module, name, type);
  const char* data = found ? static_cast<const char*>(LockResource(LoadResource(module, found))) : nullptr;
  return data ? std::string(data, SizeofResource(module, found)) : std::string();
}

// The colour of the program's icon drawn at the size on black, in the field left of its ø.
COLORREF IconFieldColour(HMODULE program, int size) {
  const HICON icon =
      static_cast<HICON>(LoadImageW(program, MAKEINTRESOURCEW(IDI_TOOFEL), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  const HDC dc = CreateCompatibleDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, CreateBitmap(size, size, 1, 32, nullptr));
  PatBlt(dc, 0, 0, size, size, BLACKNESS);
  DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  const COLORREF colour = GetPixel(dc, size / 8, size / 2);
  DeleteObject(SelectObject(dc, old));
  DeleteDC(dc);
  DestroyIcon(icon);
  return colour;
}

TEST(Resources, EachBuildCarriesTheIconVersionAndManifest) {
  // The build's commit, which both builds must carry: ten lowercase hex digits.
  const std::string commit = TOOFEL_COMMIT;
  EXPECT_EQ(commit.size(), 10u);
  EXPECT_EQ(commit.find_first_not_of("0123456789abcdef"), std::string::npos) << commit;
  const std::string productVersion = TOOFEL_PRODUCT_VERSION;
  EXPECT_EQ(productVersion.rfind(TOOFEL_VERSION_TEXT " (" + commit, 0), 0u) << productVersion;
  for (const BuiltFile& build : BuiltFiles(L"toofel.exe")) {
    SCOPED_TRACE(std::string(build.path.begin(), build.path.end()));
    const HMODULE program = LoadLibraryExW(build.path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    const std::string group = Bytes(program, MAKEINTRESOURCEW(IDI_TOOFEL), RT_GROUP_ICON);
    EXPECT_EQ(group.size(), 6u + 3 * 14);  // GRPICONDIR and three GRPICONDIRENTRY as stored
    for (size_t i = 0; i < 3 && 6 + 14 * i < group.size(); ++i) {
      const int size = static_cast<unsigned char>(group[6 + 14 * i]);
      EXPECT_EQ(size, 16 * static_cast<int>(i + 1));
      EXPECT_EQ(IconFieldColour(program, size), RGB(0x00, 0x80, 0xC0)) << size;
    }
    const std::string manifest = Bytes(program, MAKEINTRESOURCEW(1), RT_MANIFEST);
    FreeLibrary(program);
    EXPECT_NE(manifest.find("name=\"toofel\" version=\"" TOOFEL_VERSION_TEXT ".0.0\" processorArchitecture=\"*\""),
              std::string::npos)
        << manifest;
    // The user's own rights and no redirected writes, in the form Windows XP reads too.
    EXPECT_NE(manifest.find("<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v2\">\n    <security>\n"
                            "      <requestedPrivileges>\n        <requestedExecutionLevel level=\"asInvoker\" "
                            "uiAccess=\"false\"/>\n      </requestedPrivileges>\n    </security>\n  </trustInfo>"),
              std::string::npos);
    // Per-monitor where Windows knows it, system-wide before 8.1, in the documented layout.
    EXPECT_NE(manifest.find(
                  "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n    <windowsSettings>\n"
                  "      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>\n"
                  "      <dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                  "PerMonitorV2, PerMonitor</dpiAwareness>\n    </windowsSettings>"),
              std::string::npos);

    std::string block(GetFileVersionInfoSizeW(build.path.c_str(), nullptr), '\0');
    ASSERT_TRUE(GetFileVersionInfoW(build.path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(TOOFEL_VERSION_MINOR, TOOFEL_VERSION_MAJOR)));
    for (const auto& [name, expected] : {std::pair<const wchar_t*, std::wstring>{L"ProductName", L"t\u00F8\u00F8fel"},
                                         {L"FileVersion", TEXT(TOOFEL_VERSION_TEXT)},
                                         {L"ProductVersion", TEXT(TOOFEL_PRODUCT_VERSION)},
                                         {L"OriginalFilename", L"toofel.exe"}}) {
      wchar_t* value = nullptr;
      VerQueryValueW(block.data(), (std::wstring(L"\\StringFileInfo\\040904B0\\") + name).c_str(),
                     reinterpret_cast<void**>(&value), &length);
      EXPECT_EQ(value ? value : L"(missing)", expected) << name;
    }
    std::printf("Checked the icon, manifest and version of %ls\n", build.path.c_str());
  }
}

}  // namespace
