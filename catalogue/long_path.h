// Path helpers for the platform's file functions. The ANSI functions fail on
// paths of MAX_PATH characters or more; such paths go through the wide
// functions with the extended-length prefix.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A wide path of any length, as the wide file functions take it. A small
// type of the program's own: the C++ library's wide string would bring all of
// its code into the executable for these few uses.
class WidePath {
public:
    WidePath() = default;
    explicit WidePath(const wchar_t* text) { *this += text; }

    const wchar_t* c_str() const { return chars_.empty() ? L"" : chars_.data(); }
    size_t size() const { return chars_.empty() ? 0 : chars_.size() - 1; }
    bool empty() const { return size() == 0; }
    bool StartsWith(const wchar_t* prefix) const;
    WidePath& operator+=(const wchar_t* text);

private:
    std::vector<wchar_t> chars_;  // with the closing NUL, once there is any character
};

// True when an ANSI path is too long for the ANSI file functions.
bool NeedsExtendedPath(const std::string& ansiPath);

// The path made full (GetFullPathNameW, which also folds doubled separators)
// with the "\\?\" or "\\?\UNC\" prefix; empty when it cannot be formed.
WidePath ExtendedLengthPath(const std::string& ansiPath);

// File attributes of a path of any length; 0 when the query fails.
uint32_t QueryFileAttributes(const std::string& path);
