// EXIST over one folder layout, called as other programs call it: with a
// string made by SysAllocStringByteLen.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include "catalogue/long_path.h"
#include "rrbutton/rrbutton.h"
#include "tests/support/test_support.h"

TEST(Exist, FindsVisibleEntriesOnly)
{
    TempFolder folder;
    const std::string root = folder.Path();
    for (const char* name : {"Albums", "veiled", "empty"})
        CreateDirectoryA((root + "\\" + name).c_str(), nullptr);
    const std::pair<const char*, DWORD> files[] = {{"song.mp3", FILE_ATTRIBUTE_READONLY},
                                                   {"Albums\\a.mp3", 0},
                                                   {"hidden.mp3", FILE_ATTRIBUTE_HIDDEN},
                                                   {"system.mp3", FILE_ATTRIBUTE_SYSTEM},
                                                   {"veiled\\h.mp3", FILE_ATTRIBUTE_HIDDEN}};
    for (const auto& [name, attributes] : files) {
        ASSERT_TRUE(WriteBytes(root + "\\" + name, "x")) << name;
        SetFileAttributesA((root + "\\" + name).c_str(), attributes | FILE_ATTRIBUTE_ARCHIVE);
    }
    std::string deep = root;  // a folder and a file past MAX_PATH
    for (int level = 0; level < 6; ++level) {
        deep += "\\" + std::string(50, static_cast<char>('a' + level));
        ASSERT_TRUE(CreateDirectoryW(ExtendedLengthPath(deep).c_str(), nullptr));
    }
    const HANDLE file = CreateFileW(ExtendedLengthPath(deep + "\\long.mp3").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(QueryFileAttributes(deep), DWORD{FILE_ATTRIBUTE_DIRECTORY}) << "a long path is a folder for a drop";
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(root.c_str()));
    const std::string drive = root.substr(0, 2);

    const std::pair<std::string, int> rows[] = {{root + "\\song.mp3", -1},
                                                {root + "\\hidden.mp3", 0},
                                                {root + "\\system.mp3", 0},
                                                {root + "\\Albums", -1},
                                                {root + "\\*.mp3", -1},
                                                {root + "\\s*.csv", 0},
                                                {root + "\\Albums\\", -1},
                                                {root + "\\empty\\", 0},
                                                {root + "\\veiled\\", 0},
                                                {drive, -1} /* the current folder of the drive */,
                                                {root + "\\\\song.mp3", -1},
                                                {root + std::string("\\song.mp3\0junk", 14), -1},
                                                {deep + "\\long.mp3", -1},
                                                {deep, -1},
                                                {deep + "\\", -1},
                                                {deep + "\\missing.mp3", 0},
                                                {"", 0}};
    for (const auto& [text, expected] : rows) {
        BSTR name = SysAllocStringByteLen(text.data(), static_cast<UINT>(text.size()));
        const char* handle = reinterpret_cast<const char*>(name);
        EXPECT_EQ(EXIST(&handle), expected) << text;
        SysFreeString(name);
    }
    const char* none = nullptr;
    EXPECT_EQ(EXIST(&none), 0);
    SetCurrentDirectoryA(previous);
}
