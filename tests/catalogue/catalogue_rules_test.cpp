// The catalogue's text rules: record lines, and the track text
// from a drop to what the dialog shows.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "catalogue/catalogue_record.h"
#include "catalogue/selection_state.h"
#include "catalogue/track_text.h"

TEST(CatalogueRecord, LineOfTheDialogsAnswers)
{
    // The answers (original, cdr, ripDdl, note, cdBin, id, ID text, hdBin, track) and their line.
    const std::pair<SelectionAnswers, const char*> rows[] = {
        {{false, false, false, "x", false, false, "y", false, "Alpha,Beta,Gamma"}, "-,-,-,No,-,No,Alpha,Beta,Gamma"},
        {{true, true, true, "RIP or DLL", true, true, "ID", true, "A,B,C"}, "X,X,RIP or DLL,Yes,ID,Yes,A,B,C"},
        {{false, true, false, "", false, true, "ID00231", false, ""}, "-,X,-,No,ID00231,No,Artist,Album,Track"},
        {{false, false, true, "", true, false, "", false, "Solo"}, "-,-,,Yes,-,No,SoloArtist,Album,Track"},
        {{false, false, false, "", false, false, "", true, "Alpha,Beta"}, "-,-,-,No,-,Yes,Alpha,BetaAlbum,Track"},
        {{false, false, false, "", false, false, "", false, "A,B,C,D"},
         "-,-,-,No,-,No,A,B,C,D*******ERROR IN THIS LINE*******"},
        {{false, false, true, "FLAC, 24 bit", false, false, "", false, "a,b,c"}, "-,-,FLAC, 24 bit,No,-,No,a,b,c"},
        {{false, false, true, "two\r\nlines", false, true, "ID\n7", false, "a\r,b\n,c"},
         "-,-,two  lines,No,ID 7,No,a ,b ,c"},
    };
    for (const auto& [answers, line] : rows)
        EXPECT_EQ(FormatCatalogueRecord(BuildCatalogueRecord(answers)), line);
}

TEST(TrackText, FromTheLastDroppedPathThatIsNoPlainFolder)
{
    const std::map<std::string, uint32_t> attributes = {{"D:\\Music", 0x10}, {"D:\\Ro", 0x11}};
    const auto query = [&](const std::string& path) {
        const auto found = attributes.find(path);
        return found == attributes.end() ? 0x20u : found->second;
    };
    // The paths of a drop, then the path and the track text taken.
    const std::tuple<std::vector<std::string>, const char*, const char*> rows[] = {
        {{"D:\\Music\\Alpha - Beta - Gamma.mp3"}, "D:\\Music\\Alpha - Beta - Gamma.mp3", "Alpha - Beta - Gamma"},
        {{"D:\\Music.old\\Intro"}, "D:\\Music.old\\Intro", "Intro"},
        {{"D:\\Music\\Intro."}, "D:\\Music\\Intro.", "Intro"},
        {{"C:\\"}, "C:\\", ""},
        {{"Z:/home/me/a.b.c.MP3"}, "Z:/home/me/a.b.c.MP3", "a.b.c"},
        {{"D:\\\"Quoted\" - x.mp3"}, "D:\\Quoted - x.mp3", "Quoted - x"},
        {{"D:\\1.mp3", "D:\\2.mp3", "D:\\3.mp3"}, "D:\\3.mp3", "3"},
        {{"D:\\1.mp3", "D:\\Music"}, "D:\\1.mp3", "1"},
        {{"D:\\Music", "D:\\1.mp3"}, "D:\\1.mp3", "1"},
        {{"D:\\Ro"}, "D:\\Ro", "Ro"},                   // a folder with another attribute counts as a file
        {{"D:\\Music"}, "E:\\Earlier.mp3", "Earlier"},  // folders only: the earlier path again
    };
    for (const auto& [paths, droppedPath, trackText] : rows) {
        SelectionValues state;
        state.DroppedPath = "E:\\Earlier.mp3";
        state.DroppedFiles = paths;
        TrackTextFromDrop(state, query);
        EXPECT_EQ(state.DroppedPath, droppedPath);
        EXPECT_EQ(state.TrackText, trackText);
    }
}

TEST(TrackText, AsTheDialogShowsIt)
{
    // The drop flow normalises once, then the dialog prepares the text.
    const std::pair<const char*, const char*> rows[] = {
        {"Artist - Album - Track", "Artist , Album , Track.."},
        {"A - B - C - D", "A , B , C "},
        {"Me, Myself - Live", "Me. Myself , Live.,"},
        {"", "..,,"},
        {"..,,", "....,,"},
    };
    for (const auto& [text, shown] : rows) {
        std::string track = text;
        NormaliseTrackText(track);
        PrepareTrackTextForDialog(track);
        EXPECT_EQ(track, shown) << text;
    }
}
