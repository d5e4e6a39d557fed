// What the fuzz targets share: stopping on a broken property, cutting the
// input into parts, and a few string tests.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// A broken property stops the process at once: a finding for libFuzzer.
inline void Require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "broken property: %s\n", property);
        std::abort();
    }
}

// The text cut at each separator, always exactly `count` parts (missing ones empty, extra ones dropped).
inline std::vector<std::string> SplitInto(const std::string& text, char separator, std::size_t count)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    parts.resize(count);
    return parts;
}

inline std::size_t CountOf(const std::string& text, char wanted)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), wanted));
}

inline bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

inline bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
