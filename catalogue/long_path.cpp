#include "catalogue/long_path.h"

#include <cwchar>

namespace {

// The ANSI path in the wide characters of the system's code page, with a
// closing NUL; empty when it cannot be converted.
std::vector<wchar_t> WideFromAnsi(const std::string& text)
{
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return {};
    std::vector<wchar_t> wide(static_cast<size_t>(length) + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

}  // namespace

bool WidePath::StartsWith(const wchar_t* prefix) const
{
    const size_t length = std::wcslen(prefix);
    return size() >= length && std::wmemcmp(chars_.data(), prefix, length) == 0;
}

WidePath& WidePath::operator+=(const wchar_t* text)
{
    const size_t length = std::wcslen(text);
    if (length == 0)
        return *this;
    if (!chars_.empty())
        chars_.pop_back();  // the closing NUL goes after the new characters
    chars_.insert(chars_.end(), text, text + length);
    chars_.push_back(L'\0');
    return *this;
}

bool NeedsExtendedPath(const std::string& ansiPath)
{
    return ansiPath.size() >= MAX_PATH;
}

WidePath ExtendedLengthPath(const std::string& ansiPath)
{
    const std::vector<wchar_t> wide = WideFromAnsi(ansiPath);
    if (wide.empty())
        return WidePath();
    const DWORD needed = GetFullPathNameW(wide.data(), 0, nullptr, nullptr);
    if (needed == 0)
        return WidePath();
    std::vector<wchar_t> full(needed, L'\0');
    const DWORD written = GetFullPathNameW(wide.data(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed)
        return WidePath();
    const WidePath plain(full.data());
    if (plain.StartsWith(L"\\\\?\\"))
        return plain;
    if (plain.StartsWith(L"\\\\"))
        return WidePath(L"\\\\?\\UNC\\") += plain.c_str() + 2;
    return WidePath(L"\\\\?\\") += plain.c_str();
}

uint32_t QueryFileAttributes(const std::string& path)
{
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (NeedsExtendedPath(path)) {
        const WidePath extended = ExtendedLengthPath(path);
        if (!extended.empty())
            attributes = GetFileAttributesW(extended.c_str());
    } else {
        attributes = GetFileAttributesA(path.c_str());
    }
    return attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes;
}
