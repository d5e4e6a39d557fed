#include "catalogue/catalogue_record.h"

#include <gtest/gtest.h>

#include <string>

namespace {

SelectionAnswers Answers(bool checked, const std::string& ripDdl, const std::string& id, const std::string& track)
{
    SelectionAnswers answers;
    answers.original = answers.cdr = answers.ripDdl = answers.cdBin = answers.id = answers.hdBin = checked;
    answers.ripDdlText = ripDdl;
    answers.idText = id;
    answers.trackText = track;
    return answers;
}

}  // namespace

TEST(CatalogueHeader, IsTheNinetySixCharacterTitleLine)
{
    EXPECT_EQ("[X]original ,[X]CD-R ,[Rip-DDL] Copy ,[YES]CD-bin ,[ID#####],[YES]HD-bin ,Artist ,Album ,Tracks ",
              std::string(CatalogueHeader));
    EXPECT_EQ(96u, std::string(CatalogueHeader).size());
}

TEST(FixTrackField, CompletesOrMarksByCommaCount)
{
    const char* const cases[][2] = {
        {"", "Artist,Album,Track"}, {"Solo", "SoloArtist,Album,Track"},
        {"Artist,", "Artist,Album,Track"}, {"Alpha,Beta", "Alpha,BetaAlbum,Track"},
        {"Alpha,Beta,Gamma", "Alpha,Beta,Gamma"}, {",,", ",,"},
        {"A,B,C,D", "A,B,C,D*******ERROR IN THIS LINE*******"},
        {",,,,,", ",,,,,*******ERROR IN THIS LINE*******"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c[1], FixTrackField(c[0])) << "from '" << c[0] << "'";
}

TEST(CatalogueRecordLine, FormatsEachKindOfAnswer)
{
    const struct {
        const char* name;
        SelectionAnswers answers;
        const char* line;
    } cases[] = {
        {"all unchecked", Answers(false, "RIP or DLL", "ID", "Alpha,Beta,Gamma"), "-,-,-,No,-,No,Alpha,Beta,Gamma"},
        {"all checked, starting texts", Answers(true, "RIP or DLL", "ID", "A,B,C"), "X,X,RIP or DLL,Yes,ID,Yes,A,B,C"},
        {"comma and quotes written as they are", Answers(true, "say \"hi\"", "ID12,345", ""),
         "X,X,say \"hi\",Yes,ID12,345,Yes,Artist,Album,Track"},
        {"checked empty box", Answers(true, "R", "", "A,B,C"), "X,X,R,Yes,,Yes,A,B,C"},
        {"line breaks", Answers(true, "two\r\nlines", "ID\n1", "A\r,B,C"), "X,X,two  lines,Yes,ID 1,Yes,A ,B,C"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.line, FormatCatalogueRecord(BuildCatalogueRecord(c.answers))) << c.name;

    CatalogueRecord byHand;  // a record not built from answers is cleaned as well
    byHand.TrackField = "x\ny";
    EXPECT_EQ(",,,,,,x y", FormatCatalogueRecord(byHand));
}

TEST(EntryLog, NewestFirstWithSeparatorBelowTheFirst)
{
    const std::string hyphens(41, '-');
    std::string log = PrependLogEntry("", "T1");
    EXPECT_EQ("T1\r\n" + hyphens + "\r\n", log);
    log = PrependLogEntry(PrependLogEntry(log, "T2"), "T3");
    EXPECT_EQ("T3\r\nT2\r\nT1\r\n" + hyphens + "\r\n", log);
}
