#include "tests/support/pe_exports.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.append(chunk, got);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        return std::nullopt;
    }
    return bytes;
}

// Little-endian reads that report running off the end instead of doing it.
class Image {
public:
    explicit Image(std::string bytes) : bytes_(std::move(bytes)) {}

    bool Has(std::uint64_t offset, std::uint64_t size) const {
        return offset <= bytes_.size() && size <= bytes_.size() - offset;
    }
    std::optional<std::uint32_t> U32(std::uint64_t offset) const { return Read(offset, 4); }
    std::optional<std::uint32_t> U16(std::uint64_t offset) const { return Read(offset, 2); }

    std::optional<std::string> CString(std::uint64_t offset) const {
        if (!Has(offset, 1)) {
            return std::nullopt;
        }
        const std::size_t end = bytes_.find('\0', offset);
        if (end == std::string::npos) {
            return std::nullopt;
        }
        return bytes_.substr(offset, end - offset);
    }

private:
    std::optional<std::uint32_t> Read(std::uint64_t offset, int size) const {
        if (!Has(offset, size)) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i) {
            value = (value << 8) | static_cast<unsigned char>(bytes_[offset + i]);
        }
        return value;
    }

    std::string bytes_;
};

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t virtualSize;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

std::optional<std::uint64_t> FileOffsetOf(const std::vector<Section>& sections, std::uint32_t rva) {
    for (const Section& section : sections) {
        const std::uint32_t span = section.virtualSize > section.rawSize ? section.virtualSize : section.rawSize;
        if (rva >= section.virtualAddress && rva - section.virtualAddress < span) {
            const std::uint32_t inSection = rva - section.virtualAddress;
            if (inSection >= section.rawSize) {
                return std::nullopt;  // in memory only, not in the file
            }
            return static_cast<std::uint64_t>(section.rawOffset) + inSection;
        }
    }
    return std::nullopt;
}

constexpr std::uint32_t kPe32Magic = 0x10B;
constexpr std::uint32_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kMaxExports = 65536;

}  // namespace

std::optional<std::vector<PeExport>> ReadPeExports(const std::string& path) {
    std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) {
        return std::nullopt;
    }
    const Image image(std::move(*bytes));
    if (image.U16(0) != 0x5A4Du) {  // "MZ"
        return std::nullopt;
    }
    const auto peOffset = image.U32(0x3C);
    if (!peOffset || image.U32(*peOffset) != 0x00004550u) {  // "PE\0\0"
        return std::nullopt;
    }
    const std::uint64_t fileHeader = *peOffset + 4ull;
    const auto sectionCount = image.U16(fileHeader + 2);
    const auto optionalSize = image.U16(fileHeader + 16);
    const std::uint64_t optionalHeader = fileHeader + 20;
    const auto magic = image.U16(optionalHeader);
    if (!sectionCount || !optionalSize || !magic || (*magic != kPe32Magic && *magic != kPe32PlusMagic)) {
        return std::nullopt;
    }
    const std::uint64_t directories = optionalHeader + (*magic == kPe32Magic ? 96 : 112);
    const auto directoryCount = image.U32(directories - 4);
    if (!directoryCount) {
        return std::nullopt;
    }
    std::vector<Section> sections;
    const std::uint64_t sectionTable = optionalHeader + *optionalSize;
    for (std::uint32_t i = 0; i < *sectionCount; ++i) {
        const std::uint64_t at = sectionTable + 40ull * i;
        const auto virtualSize = image.U32(at + 8);
        const auto virtualAddress = image.U32(at + 12);
        const auto rawSize = image.U32(at + 16);
        const auto rawOffset = image.U32(at + 20);
        if (!virtualSize || !virtualAddress || !rawSize || !rawOffset) {
            return std::nullopt;
        }
        sections.push_back(Section{*virtualAddress, *virtualSize, *rawSize, *rawOffset});
    }

    std::vector<PeExport> exports;
    const auto exportRva = *directoryCount > 0 ? image.U32(directories) : std::optional<std::uint32_t>(0);
    if (!exportRva) {
        return std::nullopt;
    }
    if (*exportRva == 0) {
        return exports;
    }
    const auto directory = FileOffsetOf(sections, *exportRva);
    if (!directory) {
        return std::nullopt;
    }
    const auto base = image.U32(*directory + 16);
    const auto functionCount = image.U32(*directory + 20);
    const auto nameCount = image.U32(*directory + 24);
    const auto functionsRva = image.U32(*directory + 28);
    const auto namesRva = image.U32(*directory + 32);
    const auto nameOrdinalsRva = image.U32(*directory + 36);
    if (!base || !functionCount || !nameCount || !functionsRva || !namesRva || !nameOrdinalsRva ||
        *functionCount > kMaxExports || *nameCount > kMaxExports) {
        return std::nullopt;
    }

    std::vector<std::string> names(*functionCount);
    if (*nameCount > 0) {
        const auto namesAt = FileOffsetOf(sections, *namesRva);
        const auto ordinalsAt = FileOffsetOf(sections, *nameOrdinalsRva);
        if (!namesAt || !ordinalsAt) {
            return std::nullopt;
        }
        for (std::uint32_t i = 0; i < *nameCount; ++i) {
            const auto nameRva = image.U32(*namesAt + 4ull * i);
            const auto index = image.U16(*ordinalsAt + 2ull * i);
            if (!nameRva || !index || *index >= *functionCount) {
                return std::nullopt;
            }
            const auto nameAt = FileOffsetOf(sections, *nameRva);
            const auto name = nameAt ? image.CString(*nameAt) : std::nullopt;
            if (!name) {
                return std::nullopt;
            }
            names[*index] = *name;
        }
    }
    if (*functionCount > 0) {
        const auto functionsAt = FileOffsetOf(sections, *functionsRva);
        if (!functionsAt) {
            return std::nullopt;
        }
        for (std::uint32_t i = 0; i < *functionCount; ++i) {
            const auto functionRva = image.U32(*functionsAt + 4ull * i);
            if (!functionRva) {
                return std::nullopt;
            }
            if (*functionRva != 0) {  // 0: an unused ordinal
                exports.push_back(PeExport{names[i], *base + i});
            }
        }
    }
    return exports;
}

std::string HostPathForProcess(const std::string& path) {
    if (path.empty() || path[0] != '/') {
        return path;
    }
    std::string windowsPath = "Z:" + path;
    for (char& c : windowsPath) {
        if (c == '/') {
            c = '\\';
        }
    }
    return windowsPath;
}
