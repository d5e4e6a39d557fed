#include "catalogue/entry_rules.h"
#include "catalogue/exist.h"
#include "catalogue/long_path.h"
#include "tests/support/temp_folder.h"

#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// EXIST called as another program calls it: with the address of a string
// handle made by SysAllocStringByteLen.
int ExistAsClient(const char* bytes, unsigned length)
{
    BSTR handle = SysAllocStringByteLen(bytes, length);
    const char* text = reinterpret_cast<const char*>(handle);
    const int result = EXIST(&text);
    SysFreeString(handle);
    return result;
}

int ExistAsClient(const std::string& name)
{
    return ExistAsClient(name.data(), static_cast<unsigned>(name.size()));
}

// A file with the given attributes, checked as the platform reports them.
bool MakeFile(const std::string& path, DWORD attributes = 0)
{
    if (!WriteTestFile(path, "x"))
        return false;
    if (attributes == 0)
        return true;
    return SetFileAttributesA(path.c_str(), attributes) && (GetFileAttributesA(path.c_str()) & attributes) == attributes;
}

class ExistTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(folder.Path().empty()) << "no temporary folder"; }

    std::string PathOf(const std::string& name) const { return folder.PathOf(name); }

    // A folder inside the test folder; its path.
    std::string MakeFolder(const std::string& name) const
    {
        const std::string path = PathOf(name);
        EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
        return path;
    }

    TempFolder folder;
};

}  // namespace

TEST(EntryRules, ByteCountedStringsAreLaidOutAsTheSystemMakesThem)
{
    const std::string name = "C:\\Music\\Vorlane.csv";
    const ByteCountedString ours(name);
    BSTR system = SysAllocStringByteLen(name.data(), static_cast<UINT>(name.size()));
    const char* theirs = reinterpret_cast<const char*>(system);
    EXPECT_EQ(0, std::memcmp(theirs - 4, ours.Handle() - 4, 4 + name.size() + 1));
    EXPECT_EQ(name, TextOfByteCountedString(theirs));
    SysFreeString(system);

    EXPECT_EQ("", TextOfByteCountedString(nullptr));
    EXPECT_EQ("", TextOfByteCountedString(ByteCountedString("").Handle()));
    // The count decides, not a NUL after it; an embedded NUL ends the name.
    BSTR shortened = SysAllocStringByteLen("Vorlane.csv.bak", 11);
    EXPECT_EQ("Vorlane.csv", TextOfByteCountedString(reinterpret_cast<const char*>(shortened)));
    SysFreeString(shortened);
    EXPECT_EQ("Vor", TextOfByteCountedString(ByteCountedString(std::string("Vor\0lane", 8)).Handle()));
}

TEST_F(ExistTest, FindsVisibleFilesAndFoldersOnly)
{
    ASSERT_TRUE(MakeFile(PathOf("plain.csv")));
    ASSERT_TRUE(MakeFile(PathOf("readonly.csv"), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(MakeFile(PathOf("archive.csv"), FILE_ATTRIBUTE_ARCHIVE));
    // Wine keeps these two attributes in extended attributes: the folder must
    // be on a file system that stores them.
    ASSERT_TRUE(MakeFile(PathOf("hidden.csv"), FILE_ATTRIBUTE_HIDDEN)) << "hidden attribute not kept";
    ASSERT_TRUE(MakeFile(PathOf("system.csv"), FILE_ATTRIBUTE_SYSTEM)) << "system attribute not kept";
    ASSERT_TRUE(MakeFile(PathOf("both.csv"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    MakeFolder("Music");

    EXPECT_EQ(-1, ExistAsClient(PathOf("plain.csv")));
    EXPECT_EQ(-1, ExistAsClient(PathOf("readonly.csv")));
    EXPECT_EQ(-1, ExistAsClient(PathOf("archive.csv")));
    EXPECT_EQ(-1, ExistAsClient(PathOf("Music")));
    EXPECT_EQ(-1, ExistAsClient(folder.Path()));
    EXPECT_EQ(0, ExistAsClient(PathOf("hidden.csv")));
    EXPECT_EQ(0, ExistAsClient(PathOf("system.csv")));
    EXPECT_EQ(0, ExistAsClient(PathOf("both.csv")));
    EXPECT_EQ(0, ExistAsClient(PathOf("missing.csv")));
    EXPECT_EQ(0, ExistAsClient(PathOf("missing\\plain.csv")));
}

TEST_F(ExistTest, ReadsTheNameByItsByteCount)
{
    ASSERT_TRUE(MakeFile(PathOf("plain.csv")));
    const std::string longer = PathOf("plain.csv.bak");
    EXPECT_EQ(0, ExistAsClient(longer));
    EXPECT_EQ(-1, ExistAsClient(longer.data(), static_cast<unsigned>(longer.size() - 4)));
}

TEST_F(ExistTest, NeverCountsTheDotEntries)
{
    const std::string empty = MakeFolder("empty");
    EXPECT_EQ(0, ExistAsClient(empty + "\\*"));
    EXPECT_EQ(0, ExistAsClient(empty + "\\.*"));
    EXPECT_EQ(0, ExistAsClient(empty + "\\"));  // the folder's *.*
    EXPECT_EQ(-1, ExistAsClient(empty));

    // Past "." and ".." the search goes on to the entries after them.
    ASSERT_TRUE(MakeFile(empty + "\\track.mp3"));
    EXPECT_EQ(-1, ExistAsClient(empty + "\\*"));
    EXPECT_EQ(-1, ExistAsClient(empty + "\\"));
}

TEST_F(ExistTest, MatchesWildcardsInTheLastComponent)
{
    const std::string music = MakeFolder("Music");
    ASSERT_TRUE(MakeFile(music + "\\old.csv", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(MakeFile(music + "\\notes.txt"));
    EXPECT_EQ(0, ExistAsClient(music + "\\*.csv"));
    EXPECT_EQ(-1, ExistAsClient(music + "\\*.txt"));
    EXPECT_EQ(-1, ExistAsClient(music + "\\not??.*"));

    ASSERT_TRUE(MakeFile(music + "\\new.csv"));
    EXPECT_EQ(-1, ExistAsClient(music + "\\*.csv"));
    EXPECT_EQ(-1, ExistAsClient(music + "\\???.csv"));
    EXPECT_EQ(0, ExistAsClient(music + "\\????.csv"));
}

TEST_F(ExistTest, SearchesAFolderNameEndingInABackslashAsItsContents)
{
    const std::string onlyHidden = MakeFolder("onlyHidden");
    ASSERT_TRUE(MakeFile(onlyHidden + "\\secret.csv", FILE_ATTRIBUTE_HIDDEN));
    const std::string withFolder = MakeFolder("withFolder");
    MakeFolder("withFolder\\sub");

    EXPECT_EQ(0, ExistAsClient(onlyHidden + "\\"));
    EXPECT_EQ(-1, ExistAsClient(onlyHidden));
    EXPECT_EQ(-1, ExistAsClient(withFolder + "\\"));
    EXPECT_EQ(0, ExistAsClient(PathOf("missing\\")));
}

TEST_F(ExistTest, ReadsADoubledBackslashAsOne)
{
    // A drive-root start directory gives 'C:\' + '\Vorlane.csv'.
    const std::string music = MakeFolder("Music");
    ASSERT_TRUE(MakeFile(music + "\\Vorlane.csv"));
    EXPECT_EQ(-1, ExistAsClient(music + "\\\\Vorlane.csv"));
    EXPECT_EQ(0, ExistAsClient(music + "\\\\Other.csv"));
}

TEST_F(ExistTest, AnswersFalseForNoName)
{
    EXPECT_EQ(0, EXIST(nullptr));
    const char* nullHandle = nullptr;
    EXPECT_EQ(0, EXIST(&nullHandle));
    EXPECT_EQ(0, ExistAsClient(""));
    EXPECT_FALSE(CatalogueExists(""));
}

TEST_F(ExistTest, LooksUpLongNamesWhole)
{
    // A folder chain well past MAX_PATH, made with extended-length paths.
    std::string deep = folder.Path();
    while (deep.size() < MAX_PATH + 40) {
        deep += "\\" + std::string(60, 'd');
        ASSERT_TRUE(CreateDirectoryW(ExtendedLengthPath(deep).c_str(), nullptr)) << GetLastError();
    }
    const std::wstring track = ExtendedLengthPath(deep + "\\track.mp3");
    const HANDLE file = CreateFileW(track.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    const std::wstring secret = ExtendedLengthPath(deep + "\\secret.mp3");
    const HANDLE hidden =
        CreateFileW(secret.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hidden);
    CloseHandle(hidden);

    EXPECT_EQ(-1, ExistAsClient(deep + "\\track.mp3"));
    EXPECT_EQ(-1, ExistAsClient(deep));
    EXPECT_EQ(-1, ExistAsClient(deep + "\\"));
    EXPECT_EQ(-1, ExistAsClient(deep + "\\*.mp3"));
    EXPECT_EQ(-1, ExistAsClient(deep + "\\\\track.mp3"));
    EXPECT_EQ(-1, ExistAsClient(deep + "\\..\\" + std::string(60, 'd') + "\\track.mp3"));
    EXPECT_EQ(0, ExistAsClient(deep + "\\secret.mp3"));
    EXPECT_EQ(0, ExistAsClient(deep + "\\missing.mp3"));
    EXPECT_EQ(0, ExistAsClient(deep + "\\missing\\"));
    EXPECT_TRUE(CatalogueExists(deep + "\\track.mp3"));

    // A missing name whose first 256 characters name an existing file.
    const std::string existing = PathOf(std::string(256 - folder.Path().size() - 1, 'a'));
    ASSERT_EQ(256u, existing.size());
    ASSERT_TRUE(MakeFile(existing));
    EXPECT_EQ(-1, ExistAsClient(existing));
    EXPECT_EQ(0, ExistAsClient(existing + "bbbbbbbb"));
}

TEST_F(ExistTest, IsExportedByNameAndAtOrdinalTwo)
{
    using ExistFunction = int(WINAPI*)(const char* const*);
    const HMODULE self = GetModuleHandleA(nullptr);
    const FARPROC byName = GetProcAddress(self, "EXIST");
    const FARPROC byOrdinal = GetProcAddress(self, MAKEINTRESOURCEA(2));
    ASSERT_NE(nullptr, byName);
    EXPECT_EQ(byName, byOrdinal);
    const auto exist = reinterpret_cast<ExistFunction>(reinterpret_cast<void (*)()>(byName));
    EXPECT_EQ(reinterpret_cast<void*>(&EXIST), reinterpret_cast<void*>(exist));

    ASSERT_TRUE(MakeFile(PathOf("plain.csv")));
    BSTR present = SysAllocStringByteLen(PathOf("plain.csv").c_str(), static_cast<UINT>(PathOf("plain.csv").size()));
    BSTR missing = SysAllocStringByteLen(PathOf("gone.csv").c_str(), static_cast<UINT>(PathOf("gone.csv").size()));
    const char* presentHandle = reinterpret_cast<const char*>(present);
    const char* missingHandle = reinterpret_cast<const char*>(missing);
    EXPECT_EQ(-1, exist(&presentHandle));
    EXPECT_EQ(0, exist(&missingHandle));
    SysFreeString(present);
    SysFreeString(missing);
}

TEST_F(ExistTest, CatalogueExistsAsksExist)
{
    ASSERT_TRUE(MakeFile(PathOf("Vorlane.csv")));
    ASSERT_TRUE(MakeFile(PathOf("hidden.csv"), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(CatalogueExists(PathOf("Vorlane.csv")));
    EXPECT_FALSE(CatalogueExists(PathOf("hidden.csv")));
    EXPECT_FALSE(CatalogueExists(PathOf("missing.csv")));
}
