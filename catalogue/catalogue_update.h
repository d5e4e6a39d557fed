// The work of an Update: the record built from the "Add Items" dialog's
// answers, appended to the catalogue, and the entry log that shows it.
#pragma once

#include <string>

#include "catalogue/append_outcome.h"
#include "catalogue/catalogue_record.h"

struct UpdateResult {
    AppendOutcome outcome;
    std::string entryLog;        // the new log text; the old one when the record did not reach the file
    std::string failureMessage;  // what to tell the user when it did not; empty otherwise
};

// Appends the record of these answers to the catalogue of `startDir`, with
// the header when the catalogue is new, and, once the record is on disk,
// puts its track text at the top of `entryLog`.
UpdateResult AppendUpdate(const SelectionAnswers& answers, const std::string& startDir, const std::string& entryLog);
