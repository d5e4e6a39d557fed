// A drop of files as the shell delivers it: a DROPFILES block with ANSI
// paths, posted to the window that accepts files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A global memory block holding a DROPFILES header and the paths, each ended
// by a NUL, with a closing NUL. `point` is the drop point in client
// coordinates of the receiving window. The receiver frees it (DragFinish).
HGLOBAL MakeDropBlock(const std::vector<std::string>& paths, POINT point = POINT{10, 10});

// Posts WM_DROPFILES with such a block; false when it could not be posted.
bool PostDrop(HWND target, const std::vector<std::string>& paths, POINT point = POINT{10, 10});
