// How EXIST reads the names it is handed and which entries it counts, and the
// message after a failed append, fed with arbitrary bytes.
//
// Input layout: the first four bytes (little-endian) are a byte count, cut to
// what follows; the fifth picks attributes and the append step. The rest is
// the text: a byte-counted name, an entry name, a start folder, a path and
// the system's error text (cut at each 0x1F byte).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/append_outcome.h"
#include "catalogue/entry_rules.h"

namespace {

void Require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "broken property: %s\n", property);
        std::abort();
    }
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string UpToNul(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

// A caller's block holds exactly the count and the counted bytes, with no
// closing NUL: reading one byte further is an overrun AddressSanitizer sees.
void CheckByteCountedText(uint32_t claimedLength, const std::string& text)
{
    const uint32_t length = static_cast<uint32_t>(claimedLength % (text.size() + 1));
    std::vector<char> block(sizeof length + length);
    std::memcpy(block.data(), &length, sizeof length);
    std::memcpy(block.data() + sizeof length, text.data(), length);
    const std::string read = TextOfByteCountedString(block.data() + sizeof length);
    Require(read == UpToNul(text.substr(0, length)), "a counted name ends at its count or at a NUL");

    const ByteCountedString made(text);
    Require(TextOfByteCountedString(made.Handle()) == UpToNul(text), "a made name reads back");
    Require(TextOfByteCountedString(nullptr).empty(), "no name is the empty name");
}

void CheckEntry(const std::string& name, uint32_t attributes)
{
    const std::string entry = UpToNul(name);
    const std::wstring wideEntry(entry.begin(), entry.end());
    const bool visible = IsVisibleEntry(entry.c_str(), attributes);
    Require(visible == IsVisibleEntry(wideEntry.c_str(), attributes), "narrow and wide names count alike");
    const bool dotEntry = entry == "." || entry == "..";
    Require(visible == (!dotEntry && (attributes & (HiddenEntryAttribute | SystemEntryAttribute)) == 0),
            "counted: not a dot entry, neither hidden nor system");

    const bool folderContents = !name.empty() && (name.back() == ':' || name.back() == '\\');
    Require(NamesFolderContents(name) == folderContents, "a drive or a trailing backslash names contents");
}

void CheckFailureMessage(const std::string& startDir, const std::string& path, const std::string& systemText,
                         uint8_t selector, uint32_t errorCode)
{
    Require(CatalogueFullName(startDir) == startDir + "\\" + CatalogueFileName, "the catalogue sits in the folder");

    AppendOutcome outcome;
    const AppendStep steps[] = {AppendStep::None, AppendStep::Open, AppendStep::Write, AppendStep::Flush};
    outcome.failedStep = steps[selector % 4];
    outcome.errorCode = errorCode;
    outcome.fileRestored = (selector & 0x04) != 0;
    const std::string message = ComposeAppendFailureMessage(outcome, path, systemText);

    const size_t separator = path.find_last_of('\\');
    const std::string fileName = separator == std::string::npos ? path : path.substr(separator + 1);
    Require(message.rfind("Vorlane could not ", 0) == 0, "the message says what failed");
    Require(Contains(message, " the catalogue \"" + fileName + "\""), "the message names the file");
    Require(Contains(message, systemText.empty() ? std::string("Unknown error") : systemText),
            "the message gives the system's reason");
    Require(Contains(message, " (error " + std::to_string(errorCode) + ")\r\n"), "the message gives the error code");
    Require(EndsWith(message, outcome.fileRestored ? "press Update to try again." : "Your entries are kept."),
            "the message says what became of the file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint32_t claimedLength = 0;
    uint8_t selector = 0;
    if (size >= 5) {
        std::memcpy(&claimedLength, data, sizeof claimedLength);
        selector = data[4];
        data += 5;
        size -= 5;
    }
    const std::string text(reinterpret_cast<const char*>(data), size);

    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t end; (end = text.find('\x1F', start)) != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    parts.resize(3);

    const uint32_t attributes = selector & 0x3Fu;
    CheckByteCountedText(claimedLength, text);
    CheckEntry(parts[0], attributes);
    CheckFailureMessage(parts[0], parts[1], parts[2], selector, claimedLength);
    return 0;
}
