#include "tests/support/temp_folder.h"

#include "catalogue/long_path.h"

#include <windows.h>

#include <atomic>

namespace {

std::string MakeUniqueFolder(const std::string& parent)
{
    static std::atomic<unsigned> made{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = parent + "\\vorlane-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(made++) + "-" + std::to_string(GetTickCount());
        if (CreateDirectoryA(path.c_str(), nullptr))
            return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return std::string();
}

std::string SystemTempFolder()
{
    const DWORD needed = GetTempPathA(0, nullptr);
    std::string path(needed, '\0');
    const DWORD length = GetTempPathA(needed, &path[0]);
    path.resize(length < needed ? length : 0);
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

// Removes a tree given by its extended-length path.
bool RemoveTree(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return DeleteFileW(path.c_str()) != FALSE;

    bool removedAll = true;
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..")
                removedAll = RemoveTree(path + L"\\" + name) && removedAll;
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    return RemoveDirectoryW(path.c_str()) && removedAll;
}

}  // namespace

TempFolder::TempFolder() : path_(MakeUniqueFolder(SystemTempFolder())) {}

TempFolder::TempFolder(const std::string& parent) : path_(MakeUniqueFolder(parent)) {}

TempFolder::~TempFolder()
{
    if (!path_.empty())
        RemoveTestTree(path_);
}

bool WriteTestFile(const std::string& path, const std::string& bytes)
{
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

std::optional<std::string> ReadTestFile(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string content;
    char chunk[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, chunk, sizeof chunk, &got, nullptr) != FALSE) && got > 0)
        content.append(chunk, got);
    CloseHandle(file);
    if (!ok)
        return std::nullopt;
    return content;
}

bool RemoveTestTree(const std::string& path)
{
    const std::wstring extended = ExtendedLengthPath(path);
    return !extended.empty() && RemoveTree(extended);
}
