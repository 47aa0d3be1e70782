#pragma once
#include <string>

// The two chat lines of a title press, in the chat client's markup.
std::wstring BannerLine(const std::wstring& color);
std::wstring IdLine(const std::wstring& color, const std::wstring& handle, int fileCount);
