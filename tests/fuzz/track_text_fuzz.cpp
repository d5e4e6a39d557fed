// The road from a drop to a catalogue line, fed with arbitrary bytes.
//
// Input layout (everything is optional, so any byte string is a case):
//  - The whole input, cut at each NUL or LF, is the dropped path list. The
//    first byte of each piece picks the attribute answer for that path
//    (kAttributeAnswers[byte % 8], so '0'..'7' in a text seed), the rest is
//    the path.
//  - The first byte of the input holds the dialog's check boxes and whether
//    the catalogue header is due (one bit each).
//  - The whole input, cut at each 0x1F byte, gives the free texts a user may
//    type: the rip/download note, the ID and a track text edited by hand.
// A broken property stops the process at once (a finding for libFuzzer).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalogue/catalogue_record.h"
#include "catalogue/selection_state.h"
#include "catalogue/track_text.h"

namespace {

// Folders plain and not, files, a failed query (0) and the all-ones answer of
// a missing file.
constexpr uint32_t kAttributeAnswers[8] = {0x10, 0x20, 0x80, 0x11, 0x12, 0x0, 0xFFFFFFFFu, 0x30};

const char kEarlierPath[] = "C:\\Earlier\\Earlier Artist - Earlier Album - Earlier Track.mp3";
const char kLogSeparatorLine[] = "-----------------------------------------";

void Require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "broken property: %s\n", property);
        std::abort();
    }
}

size_t CountOf(const std::string& text, char wanted)
{
    size_t count = 0;
    for (char c : text)
        count += c == wanted;
    return count;
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool HasLineBreak(const std::string& text)
{
    return text.find_first_of("\r\n") != std::string::npos;
}

std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

struct DroppedPath {
    std::string path;
    uint32_t attributes;
};

std::vector<DroppedPath> SplitDrop(const std::string& input)
{
    std::vector<DroppedPath> drop;
    size_t start = 0;
    while (start <= input.size()) {
        size_t end = input.find_first_of(std::string("\0\n", 2), start);
        if (end == std::string::npos)
            end = input.size();
        if (end > start) {
            const auto selector = static_cast<unsigned char>(input[start]);
            drop.push_back({input.substr(start + 1, end - start - 1), kAttributeAnswers[selector % 8]});
        }
        start = end + 1;
    }
    return drop;
}

std::vector<std::string> SplitFreeTexts(const std::string& input)
{
    std::vector<std::string> texts;
    size_t start = 0;
    for (size_t end; (end = input.find('\x1F', start)) != std::string::npos; start = end + 1)
        texts.push_back(input.substr(start, end - start));
    texts.push_back(input.substr(start));
    texts.resize(3);
    return texts;
}

// The track text a drop must give: the last path that is not a plain folder,
// without double quotes, cut to its file name without the last extension.
void CheckDrop(const std::vector<DroppedPath>& drop, SelectionValues& state)
{
    std::string expectedPath = kEarlierPath;
    for (const DroppedPath& dropped : drop) {
        if (dropped.attributes == PlainFolderAttributes)
            continue;
        expectedPath.clear();
        for (char c : dropped.path)
            if (c != '"')
                expectedPath += c;
    }

    state.DroppedFiles.clear();
    for (const DroppedPath& dropped : drop)
        state.DroppedFiles.push_back(dropped.path);
    state.DroppedPath = kEarlierPath;
    size_t queries = 0;
    TrackTextFromDrop(state, [&drop, &queries](const std::string& path) {
        Require(queries < drop.size() && drop[queries].path == path, "paths are asked in drop order, once each");
        return drop[queries++].attributes;
    });
    Require(queries == drop.size(), "every dropped path is asked for");
    Require(state.DroppedPath == expectedPath, "dropped path is the last one that is not a plain folder");

    const std::string& text = state.TrackText;
    Require(text == TrackTextOfPath(state.DroppedPath), "track text comes from the dropped path");
    Require(text.find_first_of("\\/\"") == std::string::npos, "track text holds no folder and no quote");
    const size_t nameStart = state.DroppedPath.find_last_of("\\/") + 1;  // npos + 1 == 0
    Require(state.DroppedPath.compare(nameStart, text.size(), text) == 0, "track text starts the file name");
    const size_t nameLength = state.DroppedPath.size() - nameStart;
    Require(text.size() == nameLength || state.DroppedPath[nameStart + text.size()] == '.',
            "only an extension is cut");
}

// What normalising must give: missing commas appended, or the text cut right
// before its third comma.
std::string ExpectedNormalised(const std::string& original)
{
    const size_t commas = CountOf(original, ',');
    if (commas < 2)
        return original + std::string(2 - commas, ',');
    const size_t second = original.find(',', original.find(',') + 1);
    return original.substr(0, original.find(',', second + 1));
}

void CheckNormalise(const std::string& original)
{
    std::string text = original;
    NormaliseTrackText(text);
    Require(CountOf(text, ',') == 2, "a normalised text holds exactly two commas");
    Require(text == ExpectedNormalised(original), "commas are appended, or the text is cut before the third");
}

void CheckDialogText(std::string& text)
{
    std::string separatorsSwapped = text;
    for (char& c : separatorsSwapped)
        c = c == ',' ? '.' : c == '-' ? ',' : c;
    PrepareTrackTextForDialog(text);
    Require(CountOf(text, ',') == 2, "the dialog offers exactly two commas");
    Require(text.find('-') == std::string::npos, "the dialog offers no hyphen");
    Require(text == ExpectedNormalised(separatorsSwapped), "commas become dots, hyphens commas, then normalised");
}

void CheckFixTrackField(const std::string& text)
{
    const std::string fixed = FixTrackField(text);
    Require(StartsWith(fixed, text), "the fixed track keeps the text in front");
    const std::string added = fixed.substr(text.size());
    switch (CountOf(text, ',')) {
    case 0: Require(added == "Artist,Album,Track", "no comma gets all three names"); break;
    case 1: Require(added == "Album,Track", "one comma gets album and track"); break;
    case 2: Require(added.empty(), "two commas stay as they are"); break;
    default: Require(added == "*******ERROR IN THIS LINE*******", "too many commas are marked"); break;
    }
}

void CheckRecord(const SelectionAnswers& answers, bool headerDue)
{
    const CatalogueRecord record = BuildCatalogueRecord(answers);
    const std::string fields[] = {record.OriginalMark, record.CdrMark, record.RipDdlField, record.CdBinField,
                                  record.IdField,      record.HdBinField, record.TrackField};
    for (const std::string& field : fields)
        Require(!HasLineBreak(field), "no field holds a line break");
    Require(record.OriginalMark == (answers.original ? "X" : "-"), "original mark");
    Require(record.CdrMark == (answers.cdr ? "X" : "-"), "CD-R mark");
    Require(record.CdBinField == (answers.cdBin ? "Yes" : "No"), "CD bin answer");
    Require(record.HdBinField == (answers.hdBin ? "Yes" : "No"), "HD bin answer");
    Require(record.RipDdlField == (answers.ripDdl ? OneLine(answers.ripDdlText) : "-"), "rip/download note or a hyphen");
    Require(record.IdField == (answers.id ? OneLine(answers.idText) : "-"), "ID or a hyphen");

    Require(record.TrackField == FixTrackField(OneLine(answers.trackText)), "track field is the fixed one-line text");

    const std::string line = FormatCatalogueRecord(record);
    Require(!HasLineBreak(line), "a record line holds no line break");
    std::string joined = fields[0];
    for (size_t i = 1; i < 7; ++i)
        joined += "," + fields[i];
    Require(line == joined, "a record line is the seven fields joined by commas");

    const std::string text = CatalogueAppendText(record, headerDue);
    const std::string header = std::string(CatalogueHeader) + "\r\n";
    Require(headerDue == StartsWith(text, header), "the header comes exactly when due");
    Require(text == (headerDue ? header : std::string()) + line + "\r\n", "header line, then record line");
    Require(CountOf(text, '\n') == (headerDue ? 2u : 1u) && CountOf(text, '\r') == CountOf(text, '\n'),
            "one CR LF per line");
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        Require(at > 0 && text[at - 1] == '\r', "every LF follows a CR");
    Require(EndsWith(text, "\r\n"), "the appended text ends its last line");
}

void CheckLog(const std::vector<std::string>& trackFields)
{
    std::string log;
    for (const std::string& field : trackFields) {
        const std::string before = log;
        log = PrependLogEntry(log, field);
        if (before.empty())
            Require(log == field + "\r\n" + kLogSeparatorLine + "\r\n", "the first entry stands above the separator");
        else
            Require(log == field + "\r\n" + before, "a later entry goes on top of the log");
    }
    if (!trackFields.empty())
        Require(EndsWith(log, trackFields.front() + "\r\n" + kLogSeparatorLine + "\r\n"),
                "the first entry of a session keeps the separator below it");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const uint8_t flags = size > 0 ? data[0] : 0;

    SelectionValues state;
    CheckDrop(SplitDrop(input), state);
    CheckNormalise(state.TrackText);
    CheckNormalise(input);
    std::string dialogText = state.TrackText;
    CheckDialogText(dialogText);

    const std::vector<std::string> freeTexts = SplitFreeTexts(input);
    CheckFixTrackField(freeTexts[2]);
    CheckFixTrackField(input);

    SelectionAnswers answers;
    answers.original = flags & 0x01;
    answers.cdr = flags & 0x02;
    answers.ripDdl = flags & 0x04;
    answers.cdBin = flags & 0x08;
    answers.id = flags & 0x10;
    answers.hdBin = flags & 0x20;
    answers.ripDdlText = freeTexts[0];
    answers.idText = freeTexts[1];
    const bool headerDue = flags & 0x40;

    // As the dialog offers it, then as a user may have typed over it.
    answers.trackText = dialogText;
    CheckRecord(answers, headerDue);
    Require(BuildCatalogueRecord(answers).TrackField == OneLine(dialogText), "the dialog's text needs no fixing");
    answers.trackText = freeTexts[2];
    CheckRecord(answers, !headerDue);

    CheckLog({FixTrackField(dialogText), FixTrackField(freeTexts[2]), freeTexts[0]});
    return 0;
}
