// Appending to the catalogue file. An append either puts all its bytes on
// disk or leaves the file as it was: the catalogue is the user's data.
#pragma once

#include "catalogue/append_outcome.h"

#include <string>

// How often, and how far apart, an open that another program blocks is
// tried before it counts as failed: such holds (a virus scanner, a backup,
// a spreadsheet saving) are usually brief. Well under a second in all.
inline constexpr int CatalogueOpenAttempts = 10;
inline constexpr unsigned CatalogueOpenRetryPauseMs = 50;

// Opens (creating when missing) the file without sharing, and appends all of
// `bytes` in one write, flushed to disk. After a failed or short write or a
// failed flush the file is cut back to its previous length, and removed again
// when this append created it, so that the next append writes the header.
AppendOutcome AppendToCatalogue(const std::string& fileName, const std::string& bytes);

// The user's message for a failed append to `fileName`, with the system's own
// text for the error.
std::string DescribeAppendFailure(const AppendOutcome& outcome, const std::string& fileName);
