#include "catalogue/exist.h"

#include "catalogue/entry_rules.h"
#include "catalogue/long_path.h"

namespace {

// The first entry of a directory search that EXIST counts, through the ANSI
// or the wide pair of search functions.
template <typename Char, typename FindData>
bool SearchFindsVisibleEntry(const Char* pattern, HANDLE(WINAPI* findFirst)(const Char*, FindData*),
                             BOOL(WINAPI* findNext)(HANDLE, FindData*))
{
    FindData entry;
    const HANDLE search = findFirst(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool found = false;
    do {
        found = IsVisibleEntry(entry.cFileName, entry.dwFileAttributes);
    } while (!found && findNext(search, &entry));
    FindClose(search);
    return found;
}

bool SearchFindsVisibleEntry(const std::string& pattern)
{
    return SearchFindsVisibleEntry(pattern.c_str(), FindFirstFileA, FindNextFileA);
}

bool SearchFindsVisibleEntry(const WidePath& pattern)
{
    return SearchFindsVisibleEntry(pattern.c_str(), FindFirstFileW, FindNextFileW);
}

bool VisibleEntryExists(const std::string& name)
{
    const bool wholeFolder = NamesFolderContents(name);
    const std::string pattern = wholeFolder ? name + FolderContentsPattern : name;
    if (!NeedsExtendedPath(pattern))
        return SearchFindsVisibleEntry(pattern);

    // Too long for the ANSI functions. The folder pattern goes on after the
    // name is made full: the extended-length form is taken literally.
    WidePath extended = ExtendedLengthPath(name);
    if (extended.empty())
        return false;
    if (wholeFolder) {
        // The full path keeps a folder's trailing backslash, but a drive's
        // name ("C:") becomes the folder without one.
        if (extended.c_str()[extended.size() - 1] != L'\\')
            extended += L"\\";
        extended += L"*.*";
    }
    return SearchFindsVisibleEntry(extended);
}

}  // namespace

extern "C" int WINAPI EXIST(const char* const* nameHandle)
{
    const std::string name = TextOfByteCountedString(nameHandle ? *nameHandle : nullptr);
    if (name.empty())
        return 0;
    return VisibleEntryExists(name) ? -1 : 0;
}

bool CatalogueExists(const std::string& fullName)
{
    const ByteCountedString name(fullName);
    const char* handle = name.Handle();
    return EXIST(&handle) != 0;
}
