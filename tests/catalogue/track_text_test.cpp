#include "catalogue/track_text.h"
#include "catalogue/selection_state.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

TEST(TrackTextOfPath, CutsFolderAndLastExtension)
{
    const char* const cases[][2] = {
        {"D:\\Music\\Alpha - Beta - Gamma.mp3", "Alpha - Beta - Gamma"}, {"D:\\Music\\live.2001.mp3", "live.2001"},
        {"a.b.c.mp3", "a.b.c"}, {"E:\\Rips\\Delta - Echo.MP3", "Delta - Echo"}, {"D:\\Music.old\\Intro", "Intro"},
        {"D:\\Music\\Intro.", "Intro"}, {"/home/me/song.ogg", "song"}, {"C:\\", ""}, {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c[1], TrackTextOfPath(c[0])) << "from '" << c[0] << "'";
}

// Each case is a series of drops onto a fresh state; unknown paths answer 0,
// as a failed attribute query does.
TEST(TrackTextFromDrop, LastPathThatIsNotAPlainFolderWins)
{
    const std::map<std::string, uint32_t> disk = {
        {"C:\\a - b.mp3", 0x20}, {"C:\\c - d.mp3", 0x20}, {"C:\\Folder", 0x10}, {"C:\\Hidden.dir", 0x12},
        {"C:\\", 0x16}};
    const struct {
        const char* name;
        std::vector<std::vector<std::string>> drops;
        const char* trackText;
        const char* droppedPath;
    } cases[] = {
        {"last file", {{"C:\\a - b.mp3", "C:\\c - d.mp3"}}, "c - d", "C:\\c - d.mp3"},
        {"folder after file", {{"C:\\a - b.mp3", "C:\\Folder"}}, "a - b", "C:\\a - b.mp3"},
        {"file after folder", {{"C:\\Folder", "C:\\c - d.mp3"}}, "c - d", "C:\\c - d.mp3"},
        {"folder with further bits", {{"C:\\a - b.mp3", "C:\\Hidden.dir"}}, "Hidden", "C:\\Hidden.dir"},
        {"unreadable path", {{"C:\\a - b.mp3", "C:\\*.mp3"}}, "*", "C:\\*.mp3"},
        {"only folders, first drop", {{"C:\\Folder"}}, "", ""},
        {"only folders keep the earlier path", {{"C:\\a - b.mp3"}, {"C:\\Folder"}}, "a - b", "C:\\a - b.mp3"},
        {"quotes", {{"\"C:\\My \"Song\".mp3\""}}, "My Song", "C:\\My Song.mp3"},
        {"drive root", {{"C:\\"}}, "", "C:\\"},
    };
    for (const auto& c : cases) {
        SelectionValues state;
        for (const auto& drop : c.drops) {
            state.DroppedFiles = drop;
            state.TrackText = "changed in the dialog";
            TrackTextFromDrop(state, [&disk](const std::string& path) {
                const auto found = disk.find(path);
                return found == disk.end() ? 0u : found->second;
            });
        }
        EXPECT_EQ(c.trackText, state.TrackText) << c.name;
        EXPECT_EQ(c.droppedPath, state.DroppedPath) << c.name;
    }
}

// The main window normalises the text, and each opening of the dialog
// converts separators and normalises again.
TEST(TrackText, NormalisedThenConvertedForTheDialog)
{
    const char* const cases[][3] = {
        // before, normalised, as the dialog shows it
        {"Artist - Album - Track", "Artist - Album - Track,,", "Artist , Album , Track.."},
        {"Me, Myself - Live", "Me, Myself - Live,", "Me. Myself , Live.,"},
        {"A - B - C - D", "A - B - C - D,,", "A , B , C "},
        {"a,b,c", "a,b,c", "a.b.c,,"},
        {",,,,,,", ",,", "..,,"},
        {"", ",,", "..,,"},
        {"..,,", "..,,", "....,,"},  // Add again after an empty first Add
    };
    for (const auto& c : cases) {
        std::string text = c[0];
        NormaliseTrackText(text);
        EXPECT_EQ(c[1], text) << "from '" << c[0] << "'";
        PrepareTrackTextForDialog(text);
        EXPECT_EQ(c[2], text) << "from '" << c[0] << "'";
    }
}
