// How EXIST reads the name it is handed and which directory entries it
// counts. Plain functions: no platform calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Attribute bits that make EXIST pass an entry by.
inline constexpr uint32_t HiddenEntryAttribute = 0x2;
inline constexpr uint32_t SystemEntryAttribute = 0x4;

// Search pattern appended to a name that stands for a folder's contents.
inline constexpr char FolderContentsPattern[] = "*.*";

// True for an entry that EXIST counts as present: neither "." nor "..", and
// neither hidden nor system. Folders, read-only and archive entries count.
bool IsVisibleEntry(const char* entryName, uint32_t attributes);
bool IsVisibleEntry(const wchar_t* entryName, uint32_t attributes);

// True when the name stands for a folder's contents rather than for one
// entry: it ends with ':' (a drive) or '\'.
bool NamesFolderContents(const std::string& name);

// The text of a byte-counted string: `text` is the address of its first
// byte and the 32-bit word just before it holds its length in bytes. A null
// address is the empty string. The text ends at an embedded NUL, if any, as
// the platform's file functions would read it.
std::string TextOfByteCountedString(const char* text);

// A string laid out as EXIST's callers hand it over: the byte count, then
// the bytes and a closing NUL.
class ByteCountedString {
public:
    explicit ByteCountedString(const std::string& text);

    // Address of the first byte: the handle EXIST expects.
    const char* Handle() const { return storage_.data() + sizeof(uint32_t); }

private:
    std::vector<char> storage_;
};
