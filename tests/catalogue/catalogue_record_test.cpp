#include "catalogue/catalogue_record.h"

#include <gtest/gtest.h>

#include <string>

namespace {

SelectionAnswers AllChecked()
{
    SelectionAnswers answers;
    answers.original = answers.cdr = answers.ripDdl = answers.cdBin = answers.id = answers.hdBin = true;
    answers.ripDdlText = "RIP or DLL";
    answers.idText = "ID";
    answers.trackText = "A,B,C";
    return answers;
}

}  // namespace

TEST(CatalogueHeader, IsTheNinetySixCharacterTitleLine)
{
    const std::string header = CatalogueHeader;
    ASSERT_EQ(96u, header.size());
    EXPECT_EQ(' ', header.back());
    EXPECT_EQ("[X]original ,[X]CD-R ,[Rip-DDL] Copy ,[YES]CD-bin ,[ID#####],[YES]HD-bin ,Artist ,Album ,Tracks ",
              header);
    EXPECT_EQ(std::string::npos, header.find('\r'));
}

TEST(FixTrackField, CompletesOrMarksByCommaCount)
{
    EXPECT_EQ("Artist,Album,Track", FixTrackField(""));
    EXPECT_EQ("SoloArtist,Album,Track", FixTrackField("Solo"));
    EXPECT_EQ("Artist,Album,Track", FixTrackField("Artist,"));
    EXPECT_EQ("Alpha,BetaAlbum,Track", FixTrackField("Alpha,Beta"));
    EXPECT_EQ("Alpha,Beta,Gamma", FixTrackField("Alpha,Beta,Gamma"));
    EXPECT_EQ(",,", FixTrackField(",,"));
    EXPECT_EQ("A,B,C,D*******ERROR IN THIS LINE*******", FixTrackField("A,B,C,D"));
    EXPECT_EQ(",,,,,*******ERROR IN THIS LINE*******", FixTrackField(",,,,,"));
}

TEST(CatalogueRecordLine, AllUncheckedGivesMarksAndNo)
{
    SelectionAnswers answers;
    answers.ripDdlText = "RIP or DLL";
    answers.idText = "ID";
    answers.trackText = "Alpha,Beta,Gamma";
    EXPECT_EQ("-,-,-,No,-,No,Alpha,Beta,Gamma", FormatCatalogueRecord(BuildCatalogueRecord(answers)));
}

TEST(CatalogueRecordLine, AllCheckedTakesTheStartingTexts)
{
    EXPECT_EQ("X,X,RIP or DLL,Yes,ID,Yes,A,B,C", FormatCatalogueRecord(BuildCatalogueRecord(AllChecked())));
}

TEST(CatalogueRecordLine, FreeTextIsWrittenUnquoted)
{
    SelectionAnswers answers = AllChecked();
    answers.idText = "ID12,345";
    answers.ripDdlText = "say \"hi\"";
    answers.trackText = "";
    EXPECT_EQ("X,X,say \"hi\",Yes,ID12,345,Yes,Artist,Album,Track",
              FormatCatalogueRecord(BuildCatalogueRecord(answers)));

    answers.idText = "";  // a checked, empty box gives an empty field
    EXPECT_EQ("X,X,say \"hi\",Yes,,Yes,Artist,Album,Track", FormatCatalogueRecord(BuildCatalogueRecord(answers)));
}

TEST(CatalogueRecordLine, LineBreaksInFieldsBecomeSpaces)
{
    SelectionAnswers answers = AllChecked();
    answers.ripDdlText = "two\r\nlines";
    answers.idText = "ID\n1";
    answers.trackText = "A\r,B,C";
    const std::string line = FormatCatalogueRecord(BuildCatalogueRecord(answers));
    EXPECT_EQ("X,X,two  lines,Yes,ID 1,Yes,A ,B,C", line);

    CatalogueRecord raw;  // a record filled by hand is cleaned as well
    raw.TrackField = "x\ny";
    EXPECT_EQ(",,,,,,x y", FormatCatalogueRecord(raw));
}

TEST(CatalogueAppendText, HeaderOnlyWhenDue)
{
    const CatalogueRecord record = BuildCatalogueRecord(AllChecked());
    EXPECT_EQ("X,X,RIP or DLL,Yes,ID,Yes,A,B,C\r\n", CatalogueAppendText(record, false));
    EXPECT_EQ(std::string(CatalogueHeader) + "\r\nX,X,RIP or DLL,Yes,ID,Yes,A,B,C\r\n",
              CatalogueAppendText(record, true));
}

TEST(EntryLog, NewestFirstWithSeparatorBelowTheFirst)
{
    const std::string hyphens(41, '-');
    std::string log = PrependLogEntry("", "T1");
    EXPECT_EQ("T1\r\n" + hyphens + "\r\n", log);
    log = PrependLogEntry(log, "T2");
    log = PrependLogEntry(log, "T3");
    EXPECT_EQ("T3\r\nT2\r\nT1\r\n" + hyphens + "\r\n", log);
}
