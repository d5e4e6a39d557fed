// The functions Vorlane.exe offers other programs: exported by undecorated
// name at fixed ordinals, as the test program itself (linked with the same
// export definitions) and Vorlane.exe's export table show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "catalogue/exist.h"
#include "tests/rrbutton/button_test_support.h"

namespace {

using ExportTable = std::map<unsigned, std::string>;  // ordinal to name, "" for none

const ExportTable kExports = {
    {1, "InitRRButtonClass"}, {2, "EXIST"}, {3, "CreateRRButton"}, {4, "MakeRRButton"}, {5, "MakeRRButtonURL"}};

// Reads the export table of a program file mapped as an image, so that
// addresses inside it are offsets from the start of the view.
std::optional<ExportTable> ReadExportTable(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY | SEC_IMAGE, 0, 0, nullptr);
    CloseHandle(file);
    const auto* base = mapping ? static_cast<const BYTE*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)) : nullptr;
    if (mapping) {
        CloseHandle(mapping);
    }
    if (!base) {
        return std::nullopt;
    }
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS32*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD directoryAt = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress;
    ExportTable table;
    if (directoryAt) {
        const auto* directory = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directoryAt);
        const auto* functions = reinterpret_cast<const DWORD*>(base + directory->AddressOfFunctions);
        const auto* names = reinterpret_cast<const DWORD*>(base + directory->AddressOfNames);
        const auto* nameIndexes = reinterpret_cast<const WORD*>(base + directory->AddressOfNameOrdinals);
        for (DWORD i = 0; i < directory->NumberOfFunctions; ++i) {
            if (functions[i]) {
                table[directory->Base + i];
            }
        }
        for (DWORD i = 0; i < directory->NumberOfNames; ++i) {
            table[directory->Base + nameIndexes[i]] = reinterpret_cast<const char*>(base + names[i]);
        }
    }
    UnmapViewOfFile(base);
    return table;
}

TEST(ButtonExports, ResolveOnTheRunningProgramByNameAndOrdinal) {
    const std::map<std::string, const void*> functions = {
        {"InitRRButtonClass", reinterpret_cast<const void*>(&InitRRButtonClass)},
        {"EXIST", reinterpret_cast<const void*>(&EXIST)},
        {"CreateRRButton", reinterpret_cast<const void*>(&CreateRRButton)},
        {"MakeRRButton", reinterpret_cast<const void*>(&MakeRRButton)},
        {"MakeRRButtonURL", reinterpret_cast<const void*>(&MakeRRButtonURL)}};
    HMODULE self = GetModuleHandleA(nullptr);
    for (const auto& [ordinal, name] : kExports) {
        SCOPED_TRACE(name);
        EXPECT_EQ(reinterpret_cast<const void*>(GetProcAddress(self, name.c_str())), functions.at(name));
        EXPECT_EQ(reinterpret_cast<const void*>(GetProcAddress(self, MAKEINTRESOURCEA(ordinal))), functions.at(name));
    }

    using CreateFunction = HWND(WINAPI*)(HWND, int, const char*, int, int, int, int, DWORD, DWORD, BOOL);
    const auto create =
        reinterpret_cast<CreateFunction>(reinterpret_cast<void*>(GetProcAddress(self, MAKEINTRESOURCEA(3))));
    TestParent parent;
    HWND button = create(parent.Handle(), 1234, "Exported", 5, 6, 70, 20, WS_CHILD | WS_VISIBLE, 0, FALSE);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(GetDlgCtrlID(button), 1234);
    EXPECT_EQ(SendMessageA(button, RRBM_GETCORNER, 0, 0), 5);
}

TEST(ButtonExports, ExportTablesHoldTheFiveUndecoratedNamesAtTheirOrdinals) {
    char self[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    EXPECT_EQ(ReadExportTable(self), kExports);

    const char* built = std::getenv("VORLANE_EXE");
    if (!built || !*built) {
        GTEST_SKIP() << "VORLANE_EXE is not set (CTest sets it to the built Vorlane.exe)";
    }
    std::string path = built;
    if (path[0] == '/') {  // a Linux path, seen through Wine's Z: drive
        path = "Z:" + path;
        std::replace(path.begin(), path.end(), '/', '\\');
    }
    EXPECT_EQ(ReadExportTable(path), kExports) << path;
}

}  // namespace
