#include "catalogue/catalogue_update.h"

#include "catalogue/catalogue_file.h"
#include "catalogue/exist.h"

UpdateResult AppendUpdate(const SelectionAnswers& answers, const std::string& startDir, const std::string& entryLog)
{
    UpdateResult result;
    const CatalogueRecord record = BuildCatalogueRecord(answers);
    const bool headerDue = !CatalogueExists(CatalogueFullName(startDir));
    result.outcome = AppendToCatalogue(CatalogueFileName, CatalogueAppendText(record, headerDue));
    if (result.outcome.Succeeded()) {
        result.entryLog = PrependLogEntry(entryLog, record.TrackField);
    } else {
        result.entryLog = entryLog;
        result.failureMessage = DescribeAppendFailure(result.outcome, CatalogueFileName);
    }
    return result;
}
