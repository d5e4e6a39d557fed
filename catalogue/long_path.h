// Path helpers for the platform's file functions. The ANSI functions fail on
// paths of MAX_PATH characters or more; such paths go through the wide
// functions with the extended-length prefix.
#pragma once

#include <windows.h>

#include <string>

// True when an ANSI path is too long for the ANSI file functions.
bool NeedsExtendedPath(const std::string& ansiPath);

// The path made full (GetFullPathNameW, which also folds doubled separators)
// with the "\\?\" or "\\?\UNC\" prefix; empty when it cannot be formed.
std::wstring ExtendedLengthPath(const std::string& ansiPath);

// File attributes of a path of any length; 0 when the query fails.
uint32_t QueryFileAttributes(const std::string& path);
