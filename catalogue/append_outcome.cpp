#include "catalogue/append_outcome.h"

std::string CatalogueFullName(const std::string& startDir)
{
    return startDir + "\\" + CatalogueFileName;
}

namespace {

const char* FailedAction(AppendStep step)
{
    switch (step) {
    case AppendStep::Open: return "open";
    case AppendStep::Flush: return "finish writing to";
    case AppendStep::Write:
    case AppendStep::None: break;
    }
    return "write to";
}

}  // namespace

std::string ComposeAppendFailureMessage(const AppendOutcome& outcome, const std::string& fullPath,
                                        const std::string& systemText)
{
    const size_t lastSeparator = fullPath.find_last_of('\\');
    std::string fileName = fullPath;
    std::string folder;
    if (lastSeparator != std::string::npos) {
        fileName = fullPath.substr(lastSeparator + 1);
        folder = fullPath.substr(0, lastSeparator);
        if (!folder.empty() && folder.back() == ':')
            folder += '\\';  // a drive root keeps its backslash
    }

    std::string message = "Vorlane could not ";
    message += FailedAction(outcome.failedStep);
    message += " the catalogue \"" + fileName + "\"";
    if (!folder.empty())
        message += " in " + folder;
    message += ":\r\n";
    message += systemText.empty() ? "Unknown error" : systemText;
    message += " (error " + std::to_string(outcome.errorCode) + ")\r\n";
    if (outcome.fileRestored)
        message += "Nothing was written. Your entries are kept; press Update to try again.";
    else
        message += "The catalogue could not be put back as it was, so it may end with an incomplete line: "
                   "please check its end before you press Update again. Your entries are kept.";
    return message;
}
