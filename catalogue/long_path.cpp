#include "catalogue/long_path.h"

namespace {

std::wstring WideFromAnsi(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

}  // namespace

bool NeedsExtendedPath(const std::string& ansiPath)
{
    return ansiPath.size() >= MAX_PATH;
}

std::wstring ExtendedLengthPath(const std::string& ansiPath)
{
    const std::wstring wide = WideFromAnsi(ansiPath);
    if (wide.empty())
        return std::wstring();
    DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), needed, &full[0], nullptr);
    if (written == 0 || written >= needed)
        return std::wstring();
    full.resize(written);
    if (full.compare(0, 4, L"\\\\?\\") == 0)
        return full;
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

uint32_t QueryFileAttributes(const std::string& path)
{
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (NeedsExtendedPath(path)) {
        const std::wstring extended = ExtendedLengthPath(path);
        if (!extended.empty())
            attributes = GetFileAttributesW(extended.c_str());
    } else {
        attributes = GetFileAttributesA(path.c_str());
    }
    return attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes;
}
