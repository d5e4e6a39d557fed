// How a track text is taken from dropped paths and brought into the
// "artist, album, track" form. Plain functions: the file-attribute query is
// handed in, so callers decide where attributes come from.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct SelectionValues;

// Attribute bits of a path as the platform reports them; 0 when the query fails.
using FileAttributeQuery = std::function<uint32_t(const std::string& path)>;

inline constexpr uint32_t PlainFolderAttributes = 0x10;  // directory and no other bit

// Picks the last dropped path that is not a plain folder as DroppedPath (double
// quotes removed) and sets TrackText to its file name without the extension.
// A drop of plain folders only keeps the earlier DroppedPath.
void TrackTextFromDrop(SelectionValues& state, const FileAttributeQuery& queryAttributes);

// Makes the text hold exactly two commas: appends commas while there are fewer,
// cuts before the last comma while there are more.
void NormaliseTrackText(std::string& trackText);

// What the dialog does to the text each time it opens: every ',' becomes '.',
// then every '-' becomes ',', then the text is normalised.
void PrepareTrackTextForDialog(std::string& trackText);
