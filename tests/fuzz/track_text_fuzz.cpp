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
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/catalogue_record.h"
#include "catalogue/selection_state.h"
#include "catalogue/track_text.h"
#include "fuzz_input.h"

namespace {

// Folders plain and not, files, a failed query (0) and the all-ones answer of
// a missing file.
constexpr uint32_t kAttributeAnswers[8] = {0x10, 0x20, 0x80, 0x11, 0x12, 0x0, 0xFFFFFFFFu, 0x30};
const char kEarlierPath[] = "C:\\Earlier\\Earlier Artist - Earlier Album - Earlier Track.mp3";
const char kLogSeparatorLine[] = "-----------------------------------------\r\n";

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
    for (size_t start = 0, end; start <= input.size(); start = end + 1) {
        end = input.find_first_of(std::string("\0\n", 2), start);
        if (end == std::string::npos)
            end = input.size();
        if (end > start)
            drop.push_back({input.substr(start + 1, end - start - 1),
                            kAttributeAnswers[static_cast<unsigned char>(input[start]) % 8]});
    }
    return drop;
}

// The dropped path is the last one that is not a plain folder, without double
// quotes; the track text is its file name with at most the extension cut.
void CheckDrop(const std::vector<DroppedPath>& drop, SelectionValues& state)
{
    std::string expectedPath = kEarlierPath;
    for (const DroppedPath& dropped : drop) {
        state.DroppedFiles.push_back(dropped.path);
        if (dropped.attributes != PlainFolderAttributes) {
            expectedPath.clear();
            for (char c : dropped.path)
                if (c != '"')
                    expectedPath += c;
        }
    }
    state.DroppedPath = kEarlierPath;
    size_t queries = 0;
    TrackTextFromDrop(state, [&drop, &queries](const std::string& path) {
        Require(queries < drop.size() && drop[queries].path == path, "paths are asked in drop order, once each");
        return drop[queries++].attributes;
    });
    Require(queries == drop.size(), "every dropped path is asked for");
    Require(state.DroppedPath == expectedPath, "dropped path is the last one that is not a plain folder");

    const std::string& text = state.TrackText;
    Require(text.find_first_of("\\/\"") == std::string::npos, "track text holds no folder and no quote");
    const size_t nameStart = state.DroppedPath.find_last_of("\\/") + 1;  // npos + 1 == 0
    Require(state.DroppedPath.compare(nameStart, text.size(), text) == 0, "track text starts the file name");
    Require(nameStart + text.size() == state.DroppedPath.size() || state.DroppedPath[nameStart + text.size()] == '.',
            "only an extension is cut");
}

// Exactly two commas: commas appended to a text with fewer, a text with more
// cut before its third.
void CheckNormalise(const std::string& original)
{
    std::string text = original;
    NormaliseTrackText(text);
    Require(CountOf(text, ',') == 2, "a normalised text holds exactly two commas");
    const bool appended =
        StartsWith(text, original) && text.find_first_not_of(',', original.size()) == std::string::npos;
    const bool cut = StartsWith(original, text) && original[text.size()] == ',';
    Require(CountOf(original, ',') <= 2 ? appended : cut, "commas are appended, or the text is cut before the third");
}

void CheckRecord(const SelectionAnswers& answers, bool headerDue)
{
    const CatalogueRecord record = BuildCatalogueRecord(answers);
    for (const std::string* field : {&record.OriginalMark, &record.CdrMark, &record.RipDdlField, &record.CdBinField,
                                     &record.IdField, &record.HdBinField, &record.TrackField})
        Require(!HasLineBreak(*field), "no field holds a line break");
    const std::string line = FormatCatalogueRecord(record);
    Require(!HasLineBreak(line), "a record line holds no line break");

    const std::string text = CatalogueAppendText(record, headerDue);
    const std::string header = headerDue ? std::string(CatalogueHeader) + "\r\n" : std::string();
    Require(text == header + line + "\r\n", "header line when due, then the record line, each ended by CR LF");
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
    PrepareTrackTextForDialog(dialogText);
    Require(CountOf(dialogText, ',') == 2 && dialogText.find('-') == std::string::npos,
            "the dialog offers exactly two commas and no hyphen");

    const std::vector<std::string> freeTexts = SplitInto(input, '\x1F', 3);
    for (const std::string& typed : {freeTexts[2], input}) {
        const std::string fixed = FixTrackField(typed);
        Require(StartsWith(fixed, typed), "the fixed track keeps the text in front");
        Require(CountOf(typed, ',') > 2 || CountOf(fixed, ',') == 2, "a fixed track holds two commas");
    }

    // The check boxes from the first byte's bits; the track text as the dialog
    // offers it, then as a user may have typed over it.
    const auto bit = [flags](int n) { return ((flags >> n) & 1) != 0; };
    SelectionAnswers answers{bit(0), bit(1), bit(2), freeTexts[0], bit(3), bit(4), freeTexts[1], bit(5), dialogText};
    const bool headerDue = bit(6);
    CheckRecord(answers, headerDue);
    Require(BuildCatalogueRecord(answers).TrackField == OneLine(dialogText), "the dialog's text needs no fixing");
    answers.trackText = freeTexts[2];
    CheckRecord(answers, !headerDue);

    // A later entry goes on top; the first of a session keeps the separator below it.
    const std::string first = FixTrackField(dialogText);
    const std::string log = PrependLogEntry(PrependLogEntry("", first), freeTexts[2]);
    Require(log == freeTexts[2] + "\r\n" + first + "\r\n" + kLogSeparatorLine, "the log grows at the top");
    return 0;
}
