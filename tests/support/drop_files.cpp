#include "drop_files.h"

#include <shlobj.h>

#include <cstring>

HGLOBAL MakeDropBlock(const std::vector<std::string>& paths, POINT point)
{
    size_t bytes = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths)
        bytes += path.size() + 1;
    HGLOBAL block = GlobalAlloc(GHND, bytes);
    if (!block)
        return nullptr;
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->pt = point;
    header->fNC = FALSE;
    header->fWide = FALSE;
    char* text = reinterpret_cast<char*>(header + 1);
    for (const std::string& path : paths) {
        std::memcpy(text, path.c_str(), path.size() + 1);
        text += path.size() + 1;
    }
    *text = '\0';
    GlobalUnlock(block);
    return block;
}

bool PostDrop(HWND target, const std::vector<std::string>& paths, POINT point)
{
    HGLOBAL block = MakeDropBlock(paths, point);
    if (!block)
        return false;
    if (!PostMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0)) {
        GlobalFree(block);
        return false;
    }
    return true;
}
