// The button's creation functions as other programs see them: exported by
// undecorated name and by fixed ordinal, from the test program itself (linked
// with the same export definitions) and from Vorlane.exe's export table.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "rrbutton/rrbutton.h"
#include "tests/rrbutton/button_test_support.h"
#include "tests/support/pe_exports.h"
#include "tests/support/temp_folder.h"

namespace {

struct ExpectedExport {
    const char* name;
    unsigned ordinal;
    const void* function;
};

const ExpectedExport kButtonExports[] = {
    {"InitRRButtonClass", 1, reinterpret_cast<const void*>(&InitRRButtonClass)},
    {"CreateRRButton", 3, reinterpret_cast<const void*>(&CreateRRButton)},
    {"MakeRRButton", 4, reinterpret_cast<const void*>(&MakeRRButton)},
    {"MakeRRButtonURL", 5, reinterpret_cast<const void*>(&MakeRRButtonURL)},
};

using CreateRRButtonFunction = HWND(WINAPI*)(HWND, int, const char*, int, int, int, int, DWORD, DWORD, BOOL);

void ExpectButtonExports(const std::vector<PeExport>& exports) {
    for (const ExpectedExport& expected : kButtonExports) {
        SCOPED_TRACE(expected.name);
        bool found = false;
        for (const PeExport& entry : exports) {
            if (entry.name == expected.name) {
                found = true;
                EXPECT_EQ(entry.ordinal, expected.ordinal);
            }
        }
        EXPECT_TRUE(found);
    }
    std::set<unsigned> ordinals;
    for (const PeExport& entry : exports) {
        SCOPED_TRACE(entry.name);
        EXPECT_TRUE(ordinals.insert(entry.ordinal).second);
        // Plain names, as the definitions give them: no stdcall decoration.
        EXPECT_EQ(entry.name.find('@'), std::string::npos);
        EXPECT_NE(entry.name.rfind('_', 0), 0u);
    }
}

TEST(ButtonExports, ResolveOnTheRunningProgramByNameAndOrdinal) {
    HMODULE self = GetModuleHandleA(nullptr);
    for (const ExpectedExport& expected : kButtonExports) {
        SCOPED_TRACE(expected.name);
        EXPECT_EQ(reinterpret_cast<const void*>(GetProcAddress(self, expected.name)), expected.function);
        EXPECT_EQ(reinterpret_cast<const void*>(GetProcAddress(self, MAKEINTRESOURCEA(expected.ordinal))),
                  expected.function);
    }
}

TEST(ButtonExports, ButtonMadeThroughTheExportedFunction) {
    auto create = reinterpret_cast<CreateRRButtonFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(nullptr), "CreateRRButton")));
    ASSERT_NE(create, nullptr);
    TestParent parent;
    HWND button = create(parent.Handle(), 1234, "Exported", 5, 6, 70, 20, WS_CHILD | WS_VISIBLE, 0, FALSE);
    ASSERT_NE(button, nullptr);
    char className[16] = {};
    GetClassNameA(button, className, sizeof className);
    EXPECT_STREQ(className, "RRBUTTON");
    EXPECT_EQ(GetDlgCtrlID(button), 1234);
    EXPECT_EQ(SendMessageA(button, RRBM_GETCORNER, 0, 0), 5);
    DestroyWindow(button);
}

TEST(ButtonExports, TestProgramsExportTable) {
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    const auto exports = ReadPeExports(path);
    ASSERT_TRUE(exports.has_value());
    ExpectButtonExports(*exports);
}

TEST(ButtonExports, VorlaneExportTable) {
    const char* built = std::getenv("VORLANE_EXE");
    if (!built || !*built) {
        GTEST_SKIP() << "VORLANE_EXE is not set (CTest sets it to the built Vorlane.exe)";
    }
    const auto exports = ReadPeExports(HostPathForProcess(built));
    ASSERT_TRUE(exports.has_value()) << "cannot read " << HostPathForProcess(built);
    ExpectButtonExports(*exports);
}

TEST(ButtonExports, ExportReaderRejectsWhatIsNoProgram) {
    TempFolder folder;
    const std::string path = folder.PathOf("not-a-program.exe");
    ASSERT_TRUE(WriteTestFile(path, std::string("MZ") + std::string(200, '\x01')));
    EXPECT_FALSE(ReadPeExports(path).has_value());
    EXPECT_FALSE(ReadPeExports(folder.PathOf("missing.exe")).has_value());
    EXPECT_EQ(HostPathForProcess("/work/build/Vorlane.exe"), "Z:\\work\\build\\Vorlane.exe");
    EXPECT_EQ(HostPathForProcess("C:\\x\\Vorlane.exe"), "C:\\x\\Vorlane.exe");
}

}  // namespace
