#include "tests/support/temp_folder.h"

#include "catalogue/long_path.h"

#include <windows.h>

#include <atomic>
#include <fstream>
#include <iterator>

namespace {

std::string MakeUniqueFolder(const std::string& parent)
{
    static std::atomic<unsigned> made{0};
    for (int attempt = 0; attempt < 100 && !parent.empty(); ++attempt) {
        const std::string path = parent + "\\vorlane-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(made++) + "-" + std::to_string(GetTickCount());
        if (CreateDirectoryA(path.c_str(), nullptr))
            return path;
    }
    return std::string();
}

std::string SystemTempFolder()
{
    char path[MAX_PATH + 1];  // the most GetTempPathA gives; it ends with a backslash
    const DWORD length = GetTempPathA(sizeof path, path);
    return length > 0 && length <= MAX_PATH ? std::string(path, length - 1) : std::string();
}

// Removes a tree given by its extended-length path, whatever its attributes.
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
    for (BOOL found = search != INVALID_HANDLE_VALUE; found; found = FindNextFileW(search, &entry))
        if (wcscmp(entry.cFileName, L".") != 0 && wcscmp(entry.cFileName, L"..") != 0)
            removedAll = RemoveTree(path + L"\\" + entry.cFileName) && removedAll;
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
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
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    return file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) && file.flush();
}

std::optional<std::string> ReadTestFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string content{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return file.is_open() && !file.bad() ? std::optional<std::string>(content) : std::nullopt;
}

bool RemoveTestTree(const std::string& path)
{
    const std::wstring extended = ExtendedLengthPath(path);
    return !extended.empty() && RemoveTree(extended);
}
