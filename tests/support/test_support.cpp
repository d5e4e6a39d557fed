#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "catalogue/long_path.h"

namespace {

Steps* running = nullptr;

// Removes a tree, whatever its attributes and path length.
void RemoveTree(const std::wstring& path)
{
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
    for (BOOL found = search != INVALID_HANDLE_VALUE; found; found = FindNextFileW(search, &entry))
        if (wcscmp(entry.cFileName, L".") != 0 && wcscmp(entry.cFileName, L"..") != 0)
            RemoveTree(path + L"\\" + entry.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    if (!RemoveDirectoryW(path.c_str()))
        DeleteFileW(path.c_str());
}

BOOL CALLBACK Destroy(HWND window, LPARAM)
{
    DestroyWindow(window);
    return TRUE;
}

}  // namespace

TempFolder::TempFolder()
{
    static int made = 0;
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    // Wine hands out the same process ids again, and a run that crashed leaves its folders behind.
    do
        path_ =
            std::string(temp) + "vorlane-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++made);
    while (!CreateDirectoryA(path_.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
}

TempFolder::~TempFolder()
{
    RemoveTree(ExtendedLengthPath(path_).c_str());
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    return file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) && file.flush();
}

std::optional<std::string> ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return file ? std::optional<std::string>({std::istreambuf_iterator<char>(file), {}}) : std::nullopt;
}

void PostClick(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool MovePointer(POINT to)
{
    SetCursorPos(to.x, to.y);
    POINT at{};
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 2000; Sleep(1))
        if (GetCursorPos(&at) && at.x == to.x && at.y == to.y)
            return true;
    return false;
}

bool PumpUntil(const std::function<bool()>& condition, DWORD ms)
{
    for (const DWORD start = GetTickCount(); !condition(); Sleep(1)) {
        if (GetTickCount() - start > ms)
            return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return true;
}

Steps& Steps::Do(std::function<void()> action)
{
    steps_.emplace_back("an action", [action] {
        action();
        return true;
    });
    return *this;
}

Steps& Steps::WaitFor(const char* what, std::function<bool()> condition)
{
    steps_.emplace_back(what, std::move(condition));
    return *this;
}

void Steps::Run(const std::function<void()>& modal)
{
    running = this;
    started_ = GetTickCount();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, OnTick);
    modal();
    PumpUntil([this] { return steps_.empty(); });
    KillTimer(nullptr, timer);
    running = nullptr;
    EXPECT_TRUE(steps_.empty()) << steps_.size() << " steps did not run";
}

void CALLBACK Steps::OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    Steps* self = running;
    if (!self || self->steps_.empty())
        return;
    if (self->steps_.front().second()) {
        self->steps_.pop_front();
        self->started_ = GetTickCount();
    } else if (GetTickCount() - self->started_ > 5000) {
        ADD_FAILURE() << "timed out waiting until " << self->steps_.front().first;
        self->steps_.clear();
        EnumThreadWindows(GetCurrentThreadId(), Destroy, 0);
    }
}

void* ReplaceImport(const char* name, void* replacement)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* headers =
        reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); module->Name; ++module) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; lstrcmpiA(reinterpret_cast<char*>(base + module->Name), "kernel32.dll") == 0 && names->u1.AddressOfData;
             ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ||
                strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name, name) != 0)
                continue;
            DWORD protection;
            VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &protection);
            void* original = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof(void*), protection, &protection);
            return original;
        }
    }
    return nullptr;
}
