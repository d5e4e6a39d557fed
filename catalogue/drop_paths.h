// The track text of the latest drop, judged against the files on disk.
#pragma once

// Fills DroppedPath and TrackText of SelectionState from its DroppedFiles.
void TrackTextFromDrop();
