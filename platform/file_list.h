#pragma once
#include <string>
#include <vector>

namespace Platform {

// How a listing asks the system for the files: the fast form skips short names
// and fetches in large blocks, but only Windows 7 and later accept it.
enum class SearchForm { Fast, Plain };

// Names of the plain files in the current directory that match the pattern,
// in case-insensitive order; folders and hidden or system files are left out.
// A system that refuses the fast form is asked again in the plain one.
std::vector<std::wstring> ListFiles(const wchar_t* pattern, SearchForm form = SearchForm::Fast);

}  // namespace Platform
