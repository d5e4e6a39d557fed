#include "catalogue/entry_rules.h"

#include <cstring>

namespace {

template <typename Char>
bool IsDotEntry(const Char* name)
{
    return name[0] == Char('.') && (name[1] == Char('\0') || (name[1] == Char('.') && name[2] == Char('\0')));
}

template <typename Char>
bool IsVisible(const Char* entryName, uint32_t attributes)
{
    return !IsDotEntry(entryName) && (attributes & (HiddenEntryAttribute | SystemEntryAttribute)) == 0;
}

}  // namespace

bool IsVisibleEntry(const char* entryName, uint32_t attributes)
{
    return IsVisible(entryName, attributes);
}

bool IsVisibleEntry(const wchar_t* entryName, uint32_t attributes)
{
    return IsVisible(entryName, attributes);
}

bool NamesFolderContents(const std::string& name)
{
    return !name.empty() && (name.back() == ':' || name.back() == '\\');
}

std::string TextOfByteCountedString(const char* text)
{
    if (text == nullptr)
        return std::string();
    uint32_t length = 0;
    std::memcpy(&length, text - sizeof length, sizeof length);
    const void* nul = std::memchr(text, '\0', length);
    const size_t usable = nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : length;
    return std::string(text, usable);
}

ByteCountedString::ByteCountedString(const std::string& text) : storage_(sizeof(uint32_t) + text.size() + 1, '\0')
{
    const uint32_t length = static_cast<uint32_t>(text.size());
    std::memcpy(storage_.data(), &length, sizeof length);
    std::memcpy(storage_.data() + sizeof length, text.data(), text.size());
}
