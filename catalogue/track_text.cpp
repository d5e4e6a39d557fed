#include "catalogue/track_text.h"

#include <algorithm>

#include "catalogue/selection_state.h"

namespace {

// The file name of a path (after its last '\' or '/') without its last '.' and
// what follows it.
std::string TrackTextOfPath(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    const std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

}  // namespace

void TrackTextFromDrop(SelectionValues& state, const FileAttributeQuery& queryAttributes)
{
    for (const std::string& path : state.DroppedFiles) {
        if (queryAttributes(path) == PlainFolderAttributes)
            continue;
        std::string unquoted = path;
        unquoted.erase(std::remove(unquoted.begin(), unquoted.end(), '"'), unquoted.end());
        state.DroppedPath = std::move(unquoted);
    }
    state.TrackText = TrackTextOfPath(state.DroppedPath);
}

void NormaliseTrackText(std::string& trackText)
{
    auto commas = std::count(trackText.begin(), trackText.end(), ',');
    if (commas < 2) {
        trackText.append(static_cast<size_t>(2 - commas), ',');
        return;
    }
    // Each round of cutting before the last comma drops exactly one comma.
    while (commas-- > 2)
        trackText.erase(trackText.rfind(','));
}

void PrepareTrackTextForDialog(std::string& trackText)
{
    std::replace(trackText.begin(), trackText.end(), ',', '.');
    std::replace(trackText.begin(), trackText.end(), '-', ',');
    NormaliseTrackText(trackText);
}
