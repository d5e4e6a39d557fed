// How EXIST reads the names it is handed and which entries it counts, and the
// message after a failed append, fed with arbitrary bytes.
//
// Input layout: the first four bytes (little-endian) are a byte count, cut to
// what follows; the fifth picks attributes and the append step. The rest is
// the text: a byte-counted name, an entry name, a start folder, a path and
// the system's error text (cut at each 0x1F byte).
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/append_outcome.h"
#include "catalogue/entry_rules.h"
#include "fuzz_input.h"

namespace {

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
    Require(TextOfByteCountedString(block.data() + sizeof length) == UpToNul(text.substr(0, length)),
            "a counted name ends at its count or at a NUL");
    Require(TextOfByteCountedString(ByteCountedString(text).Handle()) == UpToNul(text), "a made name reads back");
}

void CheckEntry(const std::string& name, uint32_t attributes)
{
    const std::string entry = UpToNul(name);
    const bool visible = IsVisibleEntry(entry.c_str(), attributes);
    Require(visible == IsVisibleEntry(std::wstring(entry.begin(), entry.end()).c_str(), attributes),
            "narrow and wide names count alike");
    const bool passedBy = entry == "." || entry == ".." || (attributes & (HiddenEntryAttribute | SystemEntryAttribute));
    Require(visible != passedBy, "counted unless a dot entry, hidden or system");
}

void CheckFailureMessage(const std::string& path, const std::string& systemText, uint8_t selector,
                         uint32_t errorCode)
{
    AppendOutcome outcome;
    const AppendStep steps[] = {AppendStep::None, AppendStep::Open, AppendStep::Write, AppendStep::Flush};
    outcome.failedStep = steps[selector % 4];
    outcome.errorCode = errorCode;
    outcome.fileRestored = (selector & 0x04) != 0;
    const std::string message = ComposeAppendFailureMessage(outcome, path, systemText);

    const std::string fileName = path.substr(path.find_last_of('\\') + 1);  // npos + 1 == 0
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
    const std::vector<std::string> parts = SplitInto(text, '\x1F', 3);

    CheckByteCountedText(claimedLength, text);
    CheckEntry(parts[0], selector & 0x3Fu);
    Require(CatalogueFullName(parts[0]) == parts[0] + "\\" + CatalogueFileName, "the catalogue sits in the folder");
    CheckFailureMessage(parts[1], parts[2], selector, claimedLength);
    return 0;
}
