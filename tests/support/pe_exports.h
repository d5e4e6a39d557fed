// Reads the export table of a PE file (an executable or a DLL) from disk,
// without loading it: the names and ordinals other programs link against.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct PeExport {
    std::string name;  // empty for a function exported by ordinal only
    unsigned ordinal;
};

// Every exported function of the file, in ordinal order; nothing when the file
// cannot be read or is no PE image. A file without exports gives an empty list.
std::optional<std::vector<PeExport>> ReadPeExports(const std::string& path);

// A path handed in by the build, such as $VORLANE_EXE, as this process opens
// it: an absolute Linux path becomes Wine's Z: drive with backslashes; a
// Windows path stays as it is.
std::string HostPathForProcess(const std::string& path);
