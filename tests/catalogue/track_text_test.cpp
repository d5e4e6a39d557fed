#include "catalogue/track_text.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "catalogue/selection_state.h"

namespace {

// Attribute answers by path; unknown paths fail like a missing file (0).
struct FakeDisk {
    std::map<std::string, uint32_t> attributes;
    std::vector<std::string> asked;
    FileAttributeQuery Query()
    {
        return [this](const std::string& path) {
            asked.push_back(path);
            auto found = attributes.find(path);
            return found == attributes.end() ? 0u : found->second;
        };
    }
};

constexpr uint32_t kFile = 0x20;      // archive
constexpr uint32_t kFolder = 0x10;    // plain folder
constexpr uint32_t kHiddenFolder = 0x12;

std::string TrackTextAfterDrop(SelectionValues& state, FakeDisk& disk, std::vector<std::string> paths)
{
    state.DroppedFiles = std::move(paths);
    TrackTextFromDrop(state, disk.Query());
    return state.TrackText;
}

}  // namespace

TEST(TrackTextOfPath, CutsFolderAndLastExtension)
{
    EXPECT_EQ("Alpha - Beta - Gamma", TrackTextOfPath("D:\\Music\\Alpha - Beta - Gamma.mp3"));
    EXPECT_EQ("live.2001", TrackTextOfPath("D:\\Music\\live.2001.mp3"));
    EXPECT_EQ("Intro", TrackTextOfPath("D:\\Music.old\\Intro"));
    EXPECT_EQ("Intro", TrackTextOfPath("D:\\Music\\Intro."));
    EXPECT_EQ("Delta - Echo - Echo", TrackTextOfPath("E:\\Rips\\Delta - Echo - Echo.MP3"));
    EXPECT_EQ("a.b.c", TrackTextOfPath("a.b.c.mp3"));
    EXPECT_EQ("song", TrackTextOfPath("/home/me/song.ogg"));
    EXPECT_EQ("", TrackTextOfPath("C:\\"));
    EXPECT_EQ("", TrackTextOfPath(""));
    EXPECT_EQ(" spaced , name ", TrackTextOfPath("x/ spaced , name .mp3"));
}

TEST(TrackTextFromDrop, LastPathThatIsNotAPlainFolderWins)
{
    SelectionValues state;
    FakeDisk disk;
    disk.attributes = {{"C:\\a - b.mp3", kFile}, {"C:\\c - d.mp3", kFile}, {"C:\\e - f.mp3", kFile},
                       {"C:\\Folder", kFolder}, {"C:\\Hidden.dir", kHiddenFolder}};

    EXPECT_EQ("e - f", TrackTextAfterDrop(state, disk, {"C:\\a - b.mp3", "C:\\c - d.mp3", "C:\\e - f.mp3"}));
    EXPECT_EQ((std::vector<std::string>{"C:\\a - b.mp3", "C:\\c - d.mp3", "C:\\e - f.mp3"}), disk.asked);

    EXPECT_EQ("a - b", TrackTextAfterDrop(state, disk, {"C:\\a - b.mp3", "C:\\Folder"}));
    EXPECT_EQ("c - d", TrackTextAfterDrop(state, disk, {"C:\\Folder", "C:\\c - d.mp3"}));

    // A folder with any further attribute bit counts as a file.
    EXPECT_EQ("Hidden", TrackTextAfterDrop(state, disk, {"C:\\a - b.mp3", "C:\\Hidden.dir"}));

    // An unreadable path (gone, or holding wildcards) counts as a file too.
    EXPECT_EQ("gone", TrackTextAfterDrop(state, disk, {"C:\\gone.mp3"}));
    EXPECT_EQ("*", TrackTextAfterDrop(state, disk, {"C:\\*.mp3"}));
}

TEST(TrackTextFromDrop, FoldersOnlyKeepTheEarlierPath)
{
    SelectionValues state;
    FakeDisk disk;
    disk.attributes = {{"C:\\x - y.mp3", kFile}, {"C:\\Folder", kFolder}};

    EXPECT_EQ("", TrackTextAfterDrop(state, disk, {"C:\\Folder"}));
    EXPECT_EQ("", state.DroppedPath);

    TrackTextAfterDrop(state, disk, {"C:\\x - y.mp3"});
    state.TrackText = "changed by the dialog";
    EXPECT_EQ("x - y", TrackTextAfterDrop(state, disk, {"C:\\Folder"}));
    EXPECT_EQ("C:\\x - y.mp3", state.DroppedPath);
}

TEST(TrackTextFromDrop, QuotesAreRemovedFromThePath)
{
    SelectionValues state;
    FakeDisk disk;
    EXPECT_EQ("My Song", TrackTextAfterDrop(state, disk, {"\"C:\\My \"Song\".mp3\""}));
    EXPECT_EQ("C:\\My Song.mp3", state.DroppedPath);
}

TEST(TrackTextFromDrop, DriveRootGivesEmptyText)
{
    SelectionValues state;
    FakeDisk disk;
    disk.attributes = {{"C:\\", 0x16}};  // a root reports more than the folder bit
    EXPECT_EQ("", TrackTextAfterDrop(state, disk, {"C:\\"}));
    EXPECT_EQ("C:\\", state.DroppedPath);
}

TEST(NormaliseTrackText, EndsWithExactlyTwoCommas)
{
    struct Case {
        const char* before;
        const char* after;
    } cases[] = {
        {"", ",,"},
        {"Artist - Album - Track", "Artist - Album - Track,,"},
        {"a,b", "a,b,"},
        {"a,b,c", "a,b,c"},
        {"A , B , C , D..", "A , B , C "},
        {",,,,,,", ",,"},
    };
    for (const Case& c : cases) {
        std::string text = c.before;
        NormaliseTrackText(text);
        EXPECT_EQ(c.after, text) << "from '" << c.before << "'";
    }
}

TEST(PrepareTrackTextForDialog, ConvertsSeparatorsEachTimeTheDialogOpens)
{
    std::string text = "Artist - Album - Track";
    NormaliseTrackText(text);  // as the main window does before opening the dialog
    PrepareTrackTextForDialog(text);
    EXPECT_EQ("Artist , Album , Track..", text);

    text = "Me, Myself - Live";
    NormaliseTrackText(text);
    EXPECT_EQ("Me, Myself - Live,", text);
    PrepareTrackTextForDialog(text);
    EXPECT_EQ("Me. Myself , Live.,", text);

    text = "A - B - C - D";
    NormaliseTrackText(text);
    PrepareTrackTextForDialog(text);
    EXPECT_EQ("A , B , C ", text);

    text = "";  // Add before any drop, then Add again
    NormaliseTrackText(text);
    PrepareTrackTextForDialog(text);
    EXPECT_EQ("..,,", text);
    NormaliseTrackText(text);
    PrepareTrackTextForDialog(text);
    EXPECT_EQ("....,,", text);
}
