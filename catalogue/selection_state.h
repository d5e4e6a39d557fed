// The values that the drop handling, the "Add Items" dialog and the catalogue
// update share for the life of the process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SelectionValues {
    std::vector<std::string> DroppedFiles;  // full paths of the latest drop
    std::string DroppedPath;                // last dropped path that is not a plain folder
    std::string TrackText;                  // artist/album/track text offered by the dialog
    int32_t DropPending = 0;                // 1 from a drop until an Update has written its record
    std::string EntryLog;                   // whole text of the main window's log box
    std::string StartDir;                   // current directory at start-up
};

extern SelectionValues SelectionState;
