#pragma once
#include <string>
#include <vector>

namespace Platform {

// How a listing asks the system for the files: the fast form skips short names
// and fetches in large blocks, but only Windows 7 and later accept it.
enum class SearchForm { Fast, Plain };

// Names of the plain files in the current directory whose long name ends in
// the extension, in any case, in case-insensitive order; folders and hidden or
// system files are left out. A system that refuses the fast form is asked
// again in the plain one.
std::vector<std::wstring> ListFiles(const std::wstring& extension, SearchForm form = SearchForm::Fast);

}  // namespace Platform
