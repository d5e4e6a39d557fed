#include "catalogue/catalogue_record.h"

#include <algorithm>

namespace {

const char MarkSet[] = "X";
const char MarkUnset[] = "-";
const char YesText[] = "Yes";
const char NoText[] = "No";
const char LogSeparator[] = "-----------------------------------------";  // 41 hyphens

std::string LineBreaksAsSpaces(std::string text)
{
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

std::string MarkOf(bool checked)
{
    return checked ? MarkSet : MarkUnset;
}
std::string YesNoOf(bool checked)
{
    return checked ? YesText : NoText;
}
std::string TextOrMark(bool checked, const std::string& text)
{
    return checked ? LineBreaksAsSpaces(text) : std::string(MarkUnset);
}

// Completes a track text with too few commas and marks one with too many.
std::string FixTrackField(const std::string& trackText)
{
    const auto commas = std::count(trackText.begin(), trackText.end(), ',');
    switch (commas) {
    case 0: return trackText + "Artist,Album,Track";
    case 1: return trackText + "Album,Track";
    case 2: return trackText;
    default: return trackText + "*******ERROR IN THIS LINE*******";
    }
}

}  // namespace

CatalogueRecord BuildCatalogueRecord(const SelectionAnswers& answers)
{
    CatalogueRecord record;
    record.OriginalMark = MarkOf(answers.original);
    record.CdrMark = MarkOf(answers.cdr);
    record.RipDdlField = TextOrMark(answers.ripDdl, answers.ripDdlText);
    record.CdBinField = YesNoOf(answers.cdBin);
    record.IdField = TextOrMark(answers.id, answers.idText);
    record.HdBinField = YesNoOf(answers.hdBin);
    record.TrackField = FixTrackField(LineBreaksAsSpaces(answers.trackText));
    return record;
}

std::string FormatCatalogueRecord(const CatalogueRecord& record)
{
    const std::string* fields[] = {&record.OriginalMark, &record.CdrMark,    &record.RipDdlField, &record.CdBinField,
                                   &record.IdField,      &record.HdBinField, &record.TrackField};
    std::string line = *fields[0];
    for (size_t i = 1; i < sizeof fields / sizeof fields[0]; ++i) {
        line += ',';
        line += *fields[i];
    }
    return LineBreaksAsSpaces(std::move(line));
}

std::string CatalogueAppendText(const CatalogueRecord& record, bool headerDue)
{
    std::string text;
    if (headerDue) {
        text += CatalogueHeader;
        text += CatalogueLineEnd;
    }
    text += FormatCatalogueRecord(record);
    text += CatalogueLineEnd;
    return text;
}

std::string PrependLogEntry(const std::string& entryLog, const std::string& trackField)
{
    std::string entry = trackField;
    if (entryLog.empty()) {
        entry += CatalogueLineEnd;
        entry += LogSeparator;
    }
    return entry + CatalogueLineEnd + entryLog;
}
