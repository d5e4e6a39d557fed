// The catalogue file's header and record lines, and the entry log shown in
// the main window. Plain text functions: no platform calls.
#pragma once

#include <string>

// First line of a new catalogue, without its line end: 96 characters, the
// last one a space.
inline constexpr char CatalogueHeader[] =
    "[X]original ,[X]CD-R ,[Rip-DDL] Copy ,[YES]CD-bin ,[ID#####],[YES]HD-bin ,Artist ,Album ,Tracks ";

inline constexpr char CatalogueLineEnd[] = "\r\n";

// The seven values of one catalogue line, in file order.
struct CatalogueRecord {
    std::string OriginalMark;  // "X" or "-"
    std::string CdrMark;       // "X" or "-"
    std::string RipDdlField;   // free text or "-"
    std::string CdBinField;    // "Yes" or "No"
    std::string IdField;       // free text or "-"
    std::string HdBinField;    // "Yes" or "No"
    std::string TrackField;    // artist, album, track: normally two commas
};

// What the user left in the "Add Items" dialog when Update was clicked.
struct SelectionAnswers {
    bool original = false;
    bool cdr = false;
    bool ripDdl = false;
    std::string ripDdlText;
    bool cdBin = false;
    bool id = false;
    std::string idText;
    bool hdBin = false;
    std::string trackText;
};

// The record built from the dialog's answers. The track part is completed
// when it has fewer than two commas and marked when it has more, and line
// breaks inside free text become spaces so a record stays one line.
CatalogueRecord BuildCatalogueRecord(const SelectionAnswers& answers);

// The seven fields joined by commas, no quoting; without the line end. A CR
// or LF that reached a field is written as a space.
std::string FormatCatalogueRecord(const CatalogueRecord& record);

// Bytes one Update appends: the header line when it is due, then the record
// line, each ending with CR LF.
std::string CatalogueAppendText(const CatalogueRecord& record, bool headerDue);

// The log box text after an Update: the new entry on top; below the first
// entry of a session stands a line of 41 hyphens.
std::string PrependLogEntry(const std::string& entryLog, const std::string& trackField);
