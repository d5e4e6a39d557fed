#include "shell/entry_log.h"

HWND MainWindow = nullptr;

void ShowEntryLog(HWND logBox, const std::string& shownLog, const std::string& newLog)
{
    const size_t entryLength = newLog.size() - shownLog.size();
    const bool onlyPrepended =
        newLog.size() >= shownLog.size() && newLog.compare(entryLength, std::string::npos, shownLog) == 0;
    const bool showsLog =
        !SendMessageA(logBox, EM_GETMODIFY, 0, 0) && GetWindowTextLengthA(logBox) == static_cast<int>(shownLog.size());
    if (!onlyPrepended || !showsLog) {
        SetWindowTextA(logBox, newLog.c_str());  // the user typed into the box: all of it anew
        return;
    }
    // Only the new entry goes in, at the top: setting the whole text costs
    // time in proportion to the log, and a long session's log is long.
    SendMessageA(logBox, WM_SETREDRAW, FALSE, 0);
    SendMessageA(logBox, EM_SETLIMITTEXT, 0, 0);  // EM_REPLACESEL, unlike WM_SETTEXT, obeys the limit
    SendMessageA(logBox, EM_SETSEL, 0, 0);
    SendMessageA(logBox, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(newLog.substr(0, entryLength).c_str()));
    SendMessageA(logBox, EM_SETSEL, 0, 0);
    SendMessageA(logBox, EM_SETMODIFY, FALSE, 0);
    SendMessageA(logBox, WM_SETREDRAW, TRUE, 0);
    SendMessageA(logBox, EM_SCROLLCARET, 0, 0);
    // The box has a frame and scroll bars: after WM_SETREDRAW they are
    // repainted only when asked for, or Windows leaves them stale.
    RedrawWindow(logBox, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}
