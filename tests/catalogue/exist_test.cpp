#include "catalogue/exist.h"
#include "catalogue/long_path.h"
#include "catalogue/selection_state.h"
#include "catalogue/track_text.h"
#include "tests/support/temp_folder.h"

#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <string>

namespace {

using ExistFunction = int(WINAPI*)(const char* const*);

ExistFunction ExportedExist(const char* nameOrOrdinal)
{
    return reinterpret_cast<ExistFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA(nullptr), nameOrOrdinal)));
}

// EXIST called as another program calls it: found at ordinal 2, with the
// address of a string handle made by SysAllocStringByteLen.
int ExistAsClient(const std::string& name, size_t length = std::string::npos)
{
    const ExistFunction exist = ExportedExist(MAKEINTRESOURCEA(2));
    if (!exist) {
        ADD_FAILURE() << "EXIST is not exported at ordinal 2";
        return 1;
    }
    BSTR handle = SysAllocStringByteLen(name.data(), static_cast<UINT>(std::min(length, name.size())));
    const char* text = reinterpret_cast<const char*>(handle);
    const int result = exist(&text);
    SysFreeString(handle);
    return result;
}

// A new file of any path length, with the attributes checked as the platform
// keeps them (Wine keeps hidden and system in extended attributes).
bool MakeFile(const std::string& path, DWORD attributes = 0)
{
    const std::wstring extended = ExtendedLengthPath(path);
    const HANDLE file = CreateFileW(extended.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return (GetFileAttributesW(extended.c_str()) & attributes) == attributes;
}

bool MakeFolder(const std::string& path)
{
    return CreateDirectoryW(ExtendedLengthPath(path).c_str(), nullptr) != FALSE;
}

}  // namespace

TEST(Exist, AnswersForRealEntries)
{
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const auto at = [&folder](const std::string& name) { return folder.PathOf(name); };
    for (const char* name : {"Music", "Mixed", "empty", "withFile", "onlyHidden", "withFolder", "withFolder\\sub"})
        ASSERT_TRUE(MakeFolder(at(name))) << name;
    const std::pair<const char*, DWORD> files[] = {
        {"plain.csv", 0}, {"readonly.csv", FILE_ATTRIBUTE_READONLY}, {"hidden.csv", FILE_ATTRIBUTE_HIDDEN},
        {"system.csv", FILE_ATTRIBUTE_SYSTEM}, {"both.csv", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY},
        {"Music\\old.csv", FILE_ATTRIBUTE_HIDDEN}, {"Music\\notes.txt", 0}, {"Mixed\\old.csv", FILE_ATTRIBUTE_HIDDEN},
        {"Mixed\\new.csv", 0}, {"withFile\\track.mp3", 0}, {"onlyHidden\\secret.csv", FILE_ATTRIBUTE_HIDDEN}};
    for (const auto& [name, attributes] : files)
        ASSERT_TRUE(MakeFile(at(name), attributes)) << name << ": hidden and system need a file system with xattrs";

    const struct {
        const char* name;
        int expected;
    } cases[] = {
        {"plain.csv", -1}, {"readonly.csv", -1}, {"Music", -1},
        {"hidden.csv", 0}, {"system.csv", 0}, {"both.csv", 0}, {"missing.csv", 0}, {"missing\\plain.csv", 0},
        // wildcards in the last component
        {"Music\\*.csv", 0}, {"Music\\*.txt", -1}, {"Music\\not??.*", -1}, {"Mixed\\*.csv", -1},
        {"Mixed\\???.csv", -1},
        // "." and ".." never count; past them the search goes on
        {"empty\\*", 0}, {"empty\\.*", 0}, {"empty\\", 0}, {"empty", -1}, {"withFile\\*", -1},
        // a name ending in a backslash stands for the folder's contents
        {"withFile\\", -1}, {"onlyHidden\\", 0}, {"onlyHidden", -1}, {"withFolder\\", -1}, {"missing\\", 0},
        // a doubled backslash (a drive-root start directory) reads as one
        {"Music\\\\notes.txt", -1}, {"Music\\\\other.csv", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, ExistAsClient(at(c.name))) << "'" << c.name << "'";
        EXPECT_EQ(c.expected == -1, CatalogueExists(at(c.name))) << "'" << c.name << "'";
    }

    // The byte count decides where the name ends, or an embedded NUL before it.
    EXPECT_EQ(0, ExistAsClient(at("plain.csv.bak")));
    EXPECT_EQ(-1, ExistAsClient(at("plain.csv.bak"), at("plain.csv").size()));
    EXPECT_EQ(-1, ExistAsClient(at("plain.csv") + std::string("\0.bak", 5)));
}

TEST(Exist, IsExportedByNameAndOrdinalAndAnswersFalseForNoName)
{
    EXPECT_EQ(&EXIST, ExportedExist("EXIST"));
    EXPECT_EQ(&EXIST, ExportedExist(MAKEINTRESOURCEA(2)));
    EXPECT_EQ(0, EXIST(nullptr));
    const char* nullHandle = nullptr;
    EXPECT_EQ(0, EXIST(&nullHandle));
    EXPECT_EQ(0, ExistAsClient(""));
    EXPECT_FALSE(CatalogueExists(""));
}

// Names of MAX_PATH characters or more, for EXIST and for the drop's
// attribute query.
TEST(Exist, LooksUpLongNamesWhole)
{
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::string link(60, 'd');
    std::string deep = folder.Path();
    while (deep.size() < MAX_PATH + 40) {
        deep += "\\" + link;
        ASSERT_TRUE(MakeFolder(deep)) << GetLastError();
    }
    ASSERT_TRUE(MakeFile(deep + "\\track.mp3"));
    ASSERT_TRUE(MakeFile(deep + "\\secret.mp3", FILE_ATTRIBUTE_HIDDEN));

    for (const std::string& present : {deep + "\\track.mp3", deep, deep + "\\", deep + "\\*.mp3",
                                       deep + "\\\\track.mp3", deep + "\\..\\" + link + "\\track.mp3"})
        EXPECT_EQ(-1, ExistAsClient(present)) << present;
    for (const std::string& absent : {deep + "\\secret.mp3", deep + "\\missing.mp3", deep + "\\missing\\"})
        EXPECT_EQ(0, ExistAsClient(absent)) << absent;

    // A missing name whose first 256 characters name an existing file.
    const std::string existing = folder.PathOf(std::string(256 - folder.Path().size() - 1, 'a'));
    ASSERT_TRUE(MakeFile(existing));
    EXPECT_EQ(-1, ExistAsClient(existing));
    EXPECT_EQ(0, ExistAsClient(existing + "bbbbbbbb"));

    // A real long folder is a folder to the drop, so the file before it wins.
    SelectionValues state;
    state.DroppedFiles = {deep + "\\track.mp3", deep};
    TrackTextFromDrop(state, QueryFileAttributes);
    EXPECT_EQ("track", state.TrackText);
    EXPECT_EQ(deep + "\\track.mp3", state.DroppedPath);
}
