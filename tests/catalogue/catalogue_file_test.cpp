#include "catalogue/catalogue_file.h"
#include "catalogue/catalogue_record.h"
#include "catalogue/exist.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

namespace {

CatalogueRecord Record(const std::string& trackField)
{
    return CatalogueRecord{"X", "-", "-", "Yes", "ID00042", "No", trackField};
}

const std::string Header = std::string(CatalogueHeader) + "\r\n";
const std::string Line = FormatCatalogueRecord(Record("Alpha,Beta,Gamma")) + "\r\n";

// One Update's append: the header goes first when EXIST finds no catalogue.
AppendOutcome AppendRecord(const std::string& path, const CatalogueRecord& record = Record("Alpha,Beta,Gamma"))
{
    return AppendToCatalogue(path, CatalogueAppendText(record, !CatalogueExists(path)));
}

// Opened as another program would, without sharing.
HANDLE Hold(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

TEST(CatalogueFullName, PutsTheFileNameAfterTheStartDirectory)
{
    EXPECT_EQ("C:\\Music\\Vorlane.csv", CatalogueFullName("C:\\Music"));
    EXPECT_EQ("C:\\\\Vorlane.csv", CatalogueFullName("C:\\"));
}

TEST(AppendFailureMessage, NamesTheFileTheFolderAndTheSystemsReason)
{
    AppendOutcome outcome;
    outcome.failedStep = AppendStep::Open;
    outcome.errorCode = 5;
    EXPECT_EQ("Vorlane could not open the catalogue \"Vorlane.csv\" in C:\\Music:\r\n"
              "Access denied. (error 5)\r\n"
              "Nothing was written. Your entries are kept; press Update to try again.",
              ComposeAppendFailureMessage(outcome, "C:\\Music\\Vorlane.csv", "Access denied."));

    outcome.failedStep = AppendStep::Flush;
    outcome.errorCode = 112;
    outcome.fileRestored = false;
    EXPECT_EQ("Vorlane could not finish writing to the catalogue \"Vorlane.csv\" in C:\\:\r\n"
              "Unknown error (error 112)\r\n"
              "The catalogue could not be put back as it was, so it may end with an incomplete line: "
              "please check its end before you press Update again. Your entries are kept.",
              ComposeAppendFailureMessage(outcome, "C:\\Vorlane.csv", ""));
}

TEST(CatalogueFile, TwoAppendsToEachKindOfStartingFile)
{
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::string byHand = "written by hand\r\nno line end";
    const struct {
        const char* name;
        std::optional<std::string> before;
        DWORD attributes;
        std::string after;
    } cases[] = {
        {"missing", std::nullopt, 0, Header + Line + Line},
        {"empty", "", FILE_ATTRIBUTE_NORMAL, Line + Line},
        {"with content", byHand, FILE_ATTRIBUTE_NORMAL, byHand + Line + Line},
        {"hidden, so EXIST misses it", Header, FILE_ATTRIBUTE_HIDDEN, Header + Header + Line + Header + Line},
    };
    for (const auto& c : cases) {
        const std::string path = folder.PathOf(std::string(c.name) + ".csv");
        ASSERT_TRUE(!c.before || (WriteTestFile(path, *c.before) && SetFileAttributesA(path.c_str(), c.attributes)));
        EXPECT_TRUE(AppendRecord(path).Succeeded()) << c.name;
        EXPECT_TRUE(AppendRecord(path).Succeeded()) << c.name;
        EXPECT_EQ(c.after, ReadTestFile(path)) << c.name;
    }
}

TEST(CatalogueFile, WaitsBrieflyForAFileHeldOpenThenGivesUpLeavingItAlone)
{
    TempFolder folder;
    const std::string catalogue = folder.PathOf("Vorlane.csv");
    ASSERT_TRUE(WriteTestFile(catalogue, Header));
    HANDLE holder = Hold(catalogue);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    const AppendOutcome blocked = AppendToCatalogue(catalogue, Line);
    CloseHandle(holder);
    EXPECT_EQ(AppendStep::Open, blocked.failedStep);
    EXPECT_EQ(static_cast<uint32_t>(ERROR_SHARING_VIOLATION), blocked.errorCode);
    EXPECT_EQ(Header, ReadTestFile(catalogue));

    // The message carries the folder and the system's own text for error 32.
    const std::string message = DescribeAppendFailure(blocked, catalogue);
    EXPECT_NE(std::string::npos, message.find(" in " + folder.Path() + ":\r\n")) << message;
    EXPECT_NE(std::string::npos, message.find("(error 32)")) << message;
    EXPECT_EQ(std::string::npos, message.find("Unknown error")) << message;
    EXPECT_EQ(std::string::npos, message.find("\n (error")) << message;

    ASSERT_TRUE(AppendToCatalogue(catalogue, Line).Succeeded());  // released: works
    holder = Hold(catalogue);  // a hold released within the retry window
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    std::thread releaser([holder] {
        Sleep(CatalogueOpenRetryPauseMs * 2);
        CloseHandle(holder);
    });
    const AppendOutcome waited = AppendToCatalogue(catalogue, Line);
    releaser.join();
    EXPECT_TRUE(waited.Succeeded()) << waited.errorCode;
    EXPECT_EQ(Header + Line + Line, ReadTestFile(catalogue));
}

TEST(CatalogueFile, LeavesAFolderOfTheSameNameIntact)
{
    TempFolder folder;
    const std::string catalogue = folder.PathOf("Vorlane.csv");
    ASSERT_TRUE(CreateDirectoryA(catalogue.c_str(), nullptr));
    ASSERT_TRUE(WriteTestFile(catalogue + "\\inside.txt", "kept"));
    const AppendOutcome outcome = AppendRecord(catalogue);
    EXPECT_EQ(AppendStep::Open, outcome.failedStep);
    EXPECT_NE(0u, outcome.errorCode);
    EXPECT_TRUE(outcome.fileRestored);
    EXPECT_EQ("kept", ReadTestFile(catalogue + "\\inside.txt"));
}

// CTest mounts a 16 KB file system from the Linux side and names it in
// VORLANE_TINY_FS; a marker file there says why it could not.
TEST(CatalogueOnAFullDisk, LeavesNoPartOfAFailedAppend)
{
    const char* const tinyFs = getenv("VORLANE_TINY_FS");
    if (!tinyFs)
        GTEST_SKIP() << "VORLANE_TINY_FS is not set; CTest sets it after mounting a tiny file system";
    if (const auto reason = ReadTestFile(std::string(tinyFs) + "\\NOT-MOUNTED.txt"))
        GTEST_SKIP() << "no tiny file system at " << tinyFs << ": " << *reason;
    ULARGE_INTEGER available{}, total{};
    ASSERT_TRUE(GetDiskFreeSpaceExA(tinyFs, &available, &total, nullptr)) << tinyFs;
    if (total.QuadPart > 1024 * 1024)  // never fill a real disk
        GTEST_SKIP() << tinyFs << " holds " << total.QuadPart << " bytes: not a tiny file system";

    TempFolder folder(tinyFs);
    ASSERT_FALSE(folder.Path().empty());
    const std::string existing = folder.PathOf("Vorlane.csv");
    const std::string fresh = folder.PathOf("Fresh.csv");
    ASSERT_TRUE(AppendRecord(existing).Succeeded());

    // Fill every free block; what stays free is the slack behind the last bytes.
    const std::string filler = folder.PathOf("filler.bin");
    EXPECT_FALSE(WriteTestFile(filler, std::string(64 * 1024, 'f')));  // keeps what fitted
    ASSERT_TRUE(GetDiskFreeSpaceExA(tinyFs, &available, &total, nullptr));
    ASSERT_LT(available.QuadPart, 4096u) << "the tiny file system did not fill up";

    const CatalogueRecord big = Record(std::string(6000, 'x') + ",Beta,Gamma");
    const AppendOutcome toExisting = AppendRecord(existing, big);
    EXPECT_EQ(AppendStep::Write, toExisting.failedStep);
    EXPECT_TRUE(toExisting.errorCode == ERROR_DISK_FULL || toExisting.errorCode == ERROR_HANDLE_DISK_FULL)
        << toExisting.errorCode;
    EXPECT_TRUE(toExisting.fileRestored);
    EXPECT_EQ(Header + Line, ReadTestFile(existing));

    const AppendOutcome toFresh = AppendRecord(fresh, big);
    EXPECT_FALSE(toFresh.Succeeded());
    EXPECT_TRUE(toFresh.fileRestored);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(fresh.c_str())) << "a failed new catalogue was left";

    ASSERT_TRUE(DeleteFileA(filler.c_str()));
    ASSERT_TRUE(AppendRecord(fresh).Succeeded());
    EXPECT_EQ(Header + Line, ReadTestFile(fresh));
    ASSERT_TRUE(AppendRecord(existing, big).Succeeded());
    EXPECT_EQ(Header + Line + FormatCatalogueRecord(big) + "\r\n", ReadTestFile(existing));
}
