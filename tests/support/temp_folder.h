// A fresh folder for one test's files, removed with everything in it (hidden,
// system and read-only entries, and paths of any length) when the test ends.
#pragma once

#include <optional>
#include <string>

class TempFolder {
public:
    // A new folder in the system's temporary folder.
    TempFolder();
    // A new folder inside `parent` (no trailing backslash).
    explicit TempFolder(const std::string& parent);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Full path, without a trailing backslash; empty when it could not be made.
    const std::string& Path() const { return path_; }
    // Full path of an entry inside the folder.
    std::string PathOf(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Writes a whole file anew; false when it cannot.
bool WriteTestFile(const std::string& path, const std::string& bytes);
// The whole content of a file; nothing when it cannot be read (or is missing).
std::optional<std::string> ReadTestFile(const std::string& path);
// Removes a file or folder tree of any path length; false when something stays.
bool RemoveTestTree(const std::string& path);
