// EXIST and the other exports, called as other programs call them: through
// the export tables of the built library and program, with a string made by
// SysAllocStringByteLen.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstring>

#include "catalogue/long_path.h"
#include "tests/support/test_support.h"

namespace {

// A module of the build folder, the parent of the tests' own.
HMODULE LoadBuilt(const char* name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    *std::strrchr(path, '\\') = '\0';
    return LoadLibraryA((std::string(path) + "\\..\\" + name).c_str());
}

}  // namespace

// The names and ordinals other programs rely on; Vorlane.exe forwards each to
// the library's function.
TEST(Exports, EveryFunctionByNameAndOrdinal)
{
    const HMODULE library = LoadBuilt("VorlaneLib.dll"), program = LoadBuilt("Vorlane.exe");
    ASSERT_NE(library, nullptr);
    ASSERT_NE(program, nullptr);
    const struct {
        const char* name;
        WORD ordinal;
    } exports[] = {
        {"InitRRButtonClass", 1}, {"EXIST", 2}, {"CreateRRButton", 3}, {"MakeRRButton", 4}, {"MakeRRButtonURL", 5}};
    for (const auto& [name, ordinal] : exports) {
        const FARPROC function = GetProcAddress(library, name);
        EXPECT_NE(function, nullptr) << name;
        EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(ordinal)), function) << name;
        EXPECT_EQ(GetProcAddress(program, name), function) << name;
        EXPECT_EQ(GetProcAddress(program, MAKEINTRESOURCEA(ordinal)), function) << name;
    }
}

TEST(Exports, ExistFindsVisibleEntriesOnly)
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

    const auto exist = reinterpret_cast<int(WINAPI*)(const char* const*)>(
        reinterpret_cast<void*>(GetProcAddress(LoadBuilt("VorlaneLib.dll"), "EXIST")));
    ASSERT_NE(exist, nullptr);
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
        EXPECT_EQ(exist(&handle), expected) << text;
        SysFreeString(name);
    }
    const char* none = nullptr;
    EXPECT_EQ(exist(&none), 0);
    SetCurrentDirectoryA(previous);
}
