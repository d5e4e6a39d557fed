#include <windows.h>
#include <commctrl.h>

#include <string>

#include "catalogue/selection_state.h"
#include "shell/main_window.h"

namespace {

// The current directory, whatever its length.
std::string CurrentDirectory()
{
    std::string directory(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(directory.size()), &directory[0]);
        if (length == 0)
            return std::string();
        if (length < directory.size()) {
            directory.resize(length);
            return directory;
        }
        directory.assign(length, '\0');  // too small: length is the size needed
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // The visual style of the manifest's common controls needs this on Windows.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    SelectionState.StartDir = CurrentDirectory();
    RunMainWindow(nullptr);
    return 0;
}
