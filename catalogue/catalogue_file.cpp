#include "catalogue/catalogue_file.h"

#include <windows.h>

namespace {

// Another opener holds the file or a locked range of it.
bool HeldByAnotherOpener(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// Opens the file for appending; on failure returns INVALID_HANDLE_VALUE with
// the error in `error`.
HANDLE OpenForAppend(const std::string& fileName, bool& createdNow, DWORD& error)
{
    for (int attempt = 1;; ++attempt) {
        const HANDLE file = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            createdNow = GetLastError() != ERROR_ALREADY_EXISTS;
            return file;
        }
        error = GetLastError();
        if (!HeldByAnotherOpener(error) || attempt == CatalogueOpenAttempts)
            return INVALID_HANDLE_VALUE;
        Sleep(CatalogueOpenRetryPauseMs);
    }
}

// Writes all bytes at the file position in one write and flushes them.
// Returns the failed step (None on success) with its error.
AppendStep WriteAndFlush(HANDLE file, const std::string& bytes, DWORD& error)
{
    if (bytes.size() > MAXDWORD) {
        error = ERROR_ARITHMETIC_OVERFLOW;
        return AppendStep::Write;
    }
    const DWORD wanted = static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), wanted, &written, nullptr)) {
        error = GetLastError();
        return AppendStep::Write;
    }
    if (written != wanted) {
        // A write to a disk file stops short only when the volume is full.
        error = ERROR_DISK_FULL;
        return AppendStep::Write;
    }
    if (!FlushFileBuffers(file)) {
        error = GetLastError();
        return AppendStep::Flush;
    }
    return AppendStep::None;
}

bool CutBack(HANDLE file, const LARGE_INTEGER& oldEnd)
{
    return SetFilePointerEx(file, oldEnd, nullptr, FILE_BEGIN) && SetEndOfFile(file) && FlushFileBuffers(file);
}

std::string FullPathOf(const std::string& fileName)
{
    const DWORD needed = GetFullPathNameA(fileName.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return fileName;
    std::string full(needed, '\0');
    const DWORD length = GetFullPathNameA(fileName.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed)
        return fileName;
    full.resize(length);
    return full;
}

std::string SystemErrorText(DWORD error)
{
    char* buffer = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (length != 0 && buffer != nullptr)
        text.assign(buffer, length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

}  // namespace

AppendOutcome AppendToCatalogue(const std::string& fileName, const std::string& bytes)
{
    AppendOutcome outcome;
    bool createdNow = false;
    DWORD error = 0;
    const HANDLE file = OpenForAppend(fileName, createdNow, error);
    if (file == INVALID_HANDLE_VALUE) {
        outcome.failedStep = AppendStep::Open;
        outcome.errorCode = error;
        return outcome;
    }

    LARGE_INTEGER oldEnd{};
    const LARGE_INTEGER noMove{};
    if (!SetFilePointerEx(file, noMove, &oldEnd, FILE_END)) {
        outcome.failedStep = AppendStep::Write;  // before a byte was written
        outcome.errorCode = GetLastError();
    } else {
        outcome.failedStep = WriteAndFlush(file, bytes, error);
        if (!outcome.Succeeded()) {
            // Leave no partial line behind.
            outcome.errorCode = error;
            outcome.fileRestored = CutBack(file, oldEnd);
        }
    }
    CloseHandle(file);
    // A file this append created goes again, so the next append starts it
    // with the header.
    if (!outcome.Succeeded() && createdNow)
        outcome.fileRestored = DeleteFileA(fileName.c_str()) != FALSE;
    return outcome;
}

std::string DescribeAppendFailure(const AppendOutcome& outcome, const std::string& fileName)
{
    return ComposeAppendFailureMessage(outcome, FullPathOf(fileName), SystemErrorText(outcome.errorCode));
}
