// The catalogue's name and place, and what an append to it reports. Plain
// functions: no platform calls.
#pragma once

#include <cstdint>
#include <string>

// The catalogue's file name, opened relative to the start directory.
inline constexpr char CatalogueFileName[] = "Vorlane.csv";

// The name the header test looks up: the start directory, a backslash and
// the file name. A drive root such as 'C:\' gives two backslashes in a row,
// which the platform's lookup reads as one.
std::string CatalogueFullName(const std::string& startDir);

// The step of an append that failed.
enum class AppendStep {
    None,   // nothing failed: the bytes are on disk
    Open,   // the file could not be opened or created
    Write,  // the bytes could not all be written
    Flush,  // the bytes were written but could not be committed to disk
};

struct AppendOutcome {
    AppendStep failedStep = AppendStep::None;
    uint32_t errorCode = 0;    // the platform's error code of that step
    bool fileRestored = true;  // the file is as it was before the append

    bool Succeeded() const { return failedStep == AppendStep::None; }
};

// The message for the user after a failed append: which file and folder,
// the system's text for the error, and what became of the file.
// `fullPath` is the catalogue's full path, `systemText` the system's
// description of outcome.errorCode (may be empty).
std::string ComposeAppendFailureMessage(const AppendOutcome& outcome, const std::string& fullPath,
                                        const std::string& systemText);
