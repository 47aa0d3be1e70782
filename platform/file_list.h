#pragma once
#include <string>
#include <vector>

#include "platform/window_handle.h"

namespace Platform {

// How a listing asks the system for the files: the fast form skips short names
// and fetches in large blocks, but only Windows 7 and later accept it.
enum class SearchForm { Fast, Plain };

// Names kept one after another in one block of text, each ended by a NUL: a
// hundred thousand of them cost one allocation rather than a hundred thousand.
struct NameList {
  std::wstring text;
  std::vector<size_t> starts;  // where each name begins in the text, in the list's order

  void Add(const wchar_t* name, size_t length);
  size_t size() const { return starts.size(); }
  const wchar_t* operator[](size_t index) const { return text.c_str() + starts[index]; }
};

// Names of the plain files in the current directory whose long name ends in
// the extension, in any case, in lstrcmpiW's order; folders and hidden or
// system files are left out. A system that refuses the fast form is asked
// again in the plain one.
NameList ListFiles(const std::wstring& extension, SearchForm form = SearchForm::Fast);

// Puts the names in the order lstrcmpiW gives them, whatever order they come
// in; names it holds equal keep their order. Each name is weighed once, not at
// every comparison, and runs already in order cost one comparison a name.
void SortAsTheSystemCompares(NameList& names);

// Appends the names of ListFiles to the list box, which is drawn once at the
// end: redrawn, with its scroll bar, for every name, it took six times as long
// as adding the names did.
void FillFileList(WindowHandle listBox, const std::wstring& extension);

}  // namespace Platform
