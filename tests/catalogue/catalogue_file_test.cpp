#include "catalogue/catalogue_file.h"
#include "catalogue/catalogue_record.h"
#include "catalogue/exist.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

CatalogueRecord Record(const std::string& trackField)
{
    return CatalogueRecord{"X", "-", "-", "Yes", "ID00042", "No", trackField};
}

const std::string HeaderLine = std::string(CatalogueHeader) + "\r\n";

std::string LineOf(const CatalogueRecord& record)
{
    return FormatCatalogueRecord(record) + "\r\n";
}

// One Update's append: the header goes first when EXIST finds no catalogue.
AppendOutcome AppendRecord(const std::string& path, const CatalogueRecord& record)
{
    return AppendToCatalogue(path, CatalogueAppendText(record, !CatalogueExists(path)));
}

bool IsMissing(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND;
}

class CatalogueFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(folder.Path().empty()) << "no temporary folder"; }

    TempFolder folder;
    const std::string catalogue = folder.PathOf("Vorlane.csv");
};

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

    outcome.failedStep = AppendStep::Write;
    outcome.errorCode = 112;
    const std::string atRoot = ComposeAppendFailureMessage(outcome, "C:\\Vorlane.csv", "");
    EXPECT_EQ(0u, atRoot.find("Vorlane could not write to the catalogue \"Vorlane.csv\" in C:\\:\r\n"));
    EXPECT_NE(std::string::npos, atRoot.find("Unknown error (error 112)"));

    outcome.failedStep = AppendStep::Flush;
    outcome.fileRestored = false;
    const std::string notRestored = ComposeAppendFailureMessage(outcome, "D:\\Vorlane.csv", "Disk full.");
    EXPECT_EQ(0u, notRestored.find("Vorlane could not finish writing to the catalogue"));
    EXPECT_EQ(std::string::npos, notRestored.find("Nothing was written"));
    EXPECT_NE(std::string::npos, notRestored.find("incomplete line"));
}

TEST_F(CatalogueFileTest, StartsAMissingCatalogueWithTheHeader)
{
    const CatalogueRecord first = Record("Alpha,Beta,Gamma");
    const CatalogueRecord second = Record("Delta,Epsilon,Zeta");
    ASSERT_TRUE(AppendRecord(catalogue, first).Succeeded());
    EXPECT_EQ(HeaderLine + LineOf(first), ReadTestFile(catalogue));
    ASSERT_TRUE(AppendRecord(catalogue, second).Succeeded());
    EXPECT_EQ(HeaderLine + LineOf(first) + LineOf(second), ReadTestFile(catalogue));
}

TEST_F(CatalogueFileTest, AppendsToAnExistingCatalogueAfterItsContent)
{
    const CatalogueRecord record = Record("Alpha,Beta,Gamma");
    ASSERT_TRUE(WriteTestFile(catalogue, ""));
    ASSERT_TRUE(AppendRecord(catalogue, record).Succeeded());
    EXPECT_EQ(LineOf(record), ReadTestFile(catalogue));

    const std::string other = folder.PathOf("other.csv");
    const std::string earlier = "written by hand\r\nno line end";
    ASSERT_TRUE(WriteTestFile(other, earlier));
    ASSERT_TRUE(AppendRecord(other, record).Succeeded());
    EXPECT_EQ(earlier + LineOf(record), ReadTestFile(other));
}

TEST_F(CatalogueFileTest, WritesTheHeaderAgainToAHiddenCatalogue)
{
    const CatalogueRecord record = Record("Alpha,Beta,Gamma");
    ASSERT_TRUE(WriteTestFile(catalogue, HeaderLine));
    ASSERT_TRUE(SetFileAttributesA(catalogue.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(AppendRecord(catalogue, record).Succeeded());
    ASSERT_TRUE(AppendRecord(catalogue, record).Succeeded());
    EXPECT_EQ(HeaderLine + HeaderLine + LineOf(record) + HeaderLine + LineOf(record), ReadTestFile(catalogue));
}

TEST_F(CatalogueFileTest, OpensTheBareNameInTheCurrentDirectory)
{
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    std::string previous(needed, '\0');
    previous.resize(GetCurrentDirectoryA(needed, &previous[0]));
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));

    const CatalogueRecord record = Record("Alpha,Beta,Gamma");
    const bool headerDue = !CatalogueExists(CatalogueFullName(folder.Path()));
    const AppendOutcome outcome = AppendToCatalogue(CatalogueFileName, CatalogueAppendText(record, headerDue));
    SetCurrentDirectoryA(previous.c_str());

    ASSERT_TRUE(outcome.Succeeded());
    EXPECT_EQ(HeaderLine + LineOf(record), ReadTestFile(catalogue));
}

TEST_F(CatalogueFileTest, GivesUpOnAFileHeldOpenAndLeavesItAlone)
{
    const std::string earlier = HeaderLine + LineOf(Record("Alpha,Beta,Gamma"));
    ASSERT_TRUE(WriteTestFile(catalogue, earlier));
    const HANDLE holder =
        CreateFileA(catalogue.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);

    const CatalogueRecord record = Record("Delta,Epsilon,Zeta");
    const AppendOutcome blocked = AppendToCatalogue(catalogue, LineOf(record));
    CloseHandle(holder);
    EXPECT_EQ(AppendStep::Open, blocked.failedStep);
    EXPECT_EQ(static_cast<uint32_t>(ERROR_SHARING_VIOLATION), blocked.errorCode);
    EXPECT_EQ(earlier, ReadTestFile(catalogue));

    const std::string message = DescribeAppendFailure(blocked, catalogue);
    EXPECT_NE(std::string::npos, message.find(" in " + folder.Path() + ":\r\n")) << message;
    EXPECT_NE(std::string::npos, message.find("(error 32)")) << message;
    EXPECT_EQ(std::string::npos, message.find("Unknown error")) << message;
    EXPECT_EQ(std::string::npos, message.find("\n (error")) << message;

    ASSERT_TRUE(AppendToCatalogue(catalogue, LineOf(record)).Succeeded());
    EXPECT_EQ(earlier + LineOf(record), ReadTestFile(catalogue));
}

TEST_F(CatalogueFileTest, WaitsForAFileHeldOnlyForAMoment)
{
    ASSERT_TRUE(WriteTestFile(catalogue, HeaderLine));
    const HANDLE holder =
        CreateFileA(catalogue.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    std::thread releaser([holder] {
        Sleep(CatalogueOpenRetryPauseMs * 2);
        CloseHandle(holder);
    });

    const CatalogueRecord record = Record("Alpha,Beta,Gamma");
    const AppendOutcome outcome = AppendToCatalogue(catalogue, LineOf(record));
    releaser.join();
    EXPECT_TRUE(outcome.Succeeded()) << outcome.errorCode;
    EXPECT_EQ(HeaderLine + LineOf(record), ReadTestFile(catalogue));
}

TEST_F(CatalogueFileTest, LeavesAFolderOfTheSameNameIntact)
{
    ASSERT_TRUE(CreateDirectoryA(catalogue.c_str(), nullptr));
    ASSERT_TRUE(WriteTestFile(catalogue + "\\inside.txt", "kept"));

    const AppendOutcome outcome = AppendRecord(catalogue, Record("Alpha,Beta,Gamma"));
    EXPECT_EQ(AppendStep::Open, outcome.failedStep);
    EXPECT_NE(0u, outcome.errorCode);
    EXPECT_TRUE(outcome.fileRestored);
    const DWORD attributes = GetFileAttributesA(catalogue.c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ("kept", ReadTestFile(catalogue + "\\inside.txt"));
}

// The disk-full case needs a file system a few kilobytes small. CTest mounts
// one from the Linux side and names it in VORLANE_TINY_FS; a marker file says
// why it could not.
TEST(CatalogueOnAFullDisk, LeavesNoPartOfAFailedAppend)
{
    const DWORD needed = GetEnvironmentVariableA("VORLANE_TINY_FS", nullptr, 0);
    if (needed == 0)
        GTEST_SKIP() << "VORLANE_TINY_FS is not set; CTest sets it after mounting a tiny file system";
    std::string tinyFs(needed, '\0');
    tinyFs.resize(GetEnvironmentVariableA("VORLANE_TINY_FS", &tinyFs[0], needed));
    if (const auto reason = ReadTestFile(tinyFs + "\\NOT-MOUNTED.txt"))
        GTEST_SKIP() << "no tiny file system at " << tinyFs << ": " << *reason;
    ULARGE_INTEGER available{}, total{};
    ASSERT_TRUE(GetDiskFreeSpaceExA((tinyFs + "\\").c_str(), &available, &total, nullptr)) << tinyFs;
    // Never fill a real disk.
    if (total.QuadPart > 1024 * 1024)
        GTEST_SKIP() << tinyFs << " holds " << total.QuadPart << " bytes: not a tiny file system";

    TempFolder folder(tinyFs);
    ASSERT_FALSE(folder.Path().empty());
    const std::string existing = folder.PathOf("Vorlane.csv");
    const std::string fresh = folder.PathOf("Fresh.csv");
    const CatalogueRecord small = Record("Alpha,Beta,Gamma");
    ASSERT_TRUE(AppendRecord(existing, small).Succeeded());
    const auto before = ReadTestFile(existing);
    ASSERT_EQ(HeaderLine + LineOf(small), before);

    // Fill every free block; what stays free is the slack behind the
    // catalogue's last bytes.
    const std::string filler = folder.PathOf("filler.bin");
    const HANDLE fill = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, fill);
    const std::string block(4096, 'f');
    DWORD written = block.size();
    for (int blocks = 0; blocks < 1024 && written == block.size(); ++blocks) {
        if (!WriteFile(fill, block.data(), static_cast<DWORD>(block.size()), &written, nullptr))
            break;
    }
    CloseHandle(fill);
    ASSERT_TRUE(GetDiskFreeSpaceExA((tinyFs + "\\").c_str(), &available, &total, nullptr));
    ASSERT_LT(available.QuadPart, 4096u) << "the tiny file system did not fill up";

    const CatalogueRecord big = Record(std::string(6000, 'x') + ",Beta,Gamma");
    const AppendOutcome toExisting = AppendRecord(existing, big);
    EXPECT_EQ(AppendStep::Write, toExisting.failedStep);
    EXPECT_TRUE(toExisting.errorCode == ERROR_DISK_FULL || toExisting.errorCode == ERROR_HANDLE_DISK_FULL)
        << toExisting.errorCode;
    EXPECT_TRUE(toExisting.fileRestored);
    EXPECT_EQ(before, ReadTestFile(existing));

    const AppendOutcome toFresh = AppendRecord(fresh, big);
    EXPECT_FALSE(toFresh.Succeeded());
    EXPECT_TRUE(toFresh.fileRestored);
    EXPECT_TRUE(IsMissing(fresh)) << "a new catalogue was left behind after a failed first append";

    ASSERT_TRUE(DeleteFileA(filler.c_str()));
    ASSERT_TRUE(AppendRecord(fresh, small).Succeeded());
    EXPECT_EQ(HeaderLine + LineOf(small), ReadTestFile(fresh));
    ASSERT_TRUE(AppendRecord(existing, big).Succeeded());
    EXPECT_EQ(*before + LineOf(big), ReadTestFile(existing));
}
