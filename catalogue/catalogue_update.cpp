#include "catalogue/catalogue_update.h"

#include <string>

#include "catalogue/append_outcome.h"
#include "catalogue/catalogue_file.h"
#include "catalogue/catalogue_record.h"
#include "catalogue/exist.h"
#include "catalogue/selection_state.h"
#include "shell/control_ids.h"
#include "shell/dialog/dialog_layer.h"
#include "shell/main_window.h"

namespace {

bool IsChecked(HWND dialog, int id)
{
    return GetControlCheck(dialog, id) == BST_CHECKED;  // only the state "checked" counts
}

SelectionAnswers ReadAnswers(HWND dialog)
{
    SelectionAnswers answers;
    answers.original = IsChecked(dialog, OriginalCheckId);
    answers.cdr = IsChecked(dialog, CdrCheckId);
    answers.ripDdl = IsChecked(dialog, RipDdlCheckId);
    if (answers.ripDdl)
        answers.ripDdlText = GetControlText(dialog, RipDdlBoxId);
    answers.cdBin = IsChecked(dialog, CdBinCheckId);
    answers.id = IsChecked(dialog, IdCheckId);
    if (answers.id)
        answers.idText = GetControlText(dialog, IdBoxId);
    answers.hdBin = IsChecked(dialog, HdBinCheckId);
    answers.trackText = GetControlText(dialog, TrackBoxId);
    return answers;
}

}  // namespace

INT_PTR UpdateCatalogue(HWND dialog, UINT, WPARAM, LPARAM)
{
    const CatalogueRecord record = BuildCatalogueRecord(ReadAnswers(dialog));
    const bool headerDue = !CatalogueExists(CatalogueFullName(SelectionState.StartDir));
    const AppendOutcome outcome = AppendToCatalogue(CatalogueFileName, CatalogueAppendText(record, headerDue));
    if (!outcome.Succeeded()) {
        // Owned by the dialog, so its buttons cannot run again while the box
        // is up. The dialog keeps what the user entered; nothing more to do,
        // whether or not it still exists after the box.
        MessageBoxA(dialog, DescribeAppendFailure(outcome, CatalogueFileName).c_str(), "Vorlane",
                    MB_OK | MB_ICONERROR);
        return 0;
    }

    const std::string log = PrependLogEntry(SelectionState.EntryLog, record.TrackField);
    SetControlText(MainWindow, LogBoxId, log);
    SelectionState.EntryLog = log;

    if (SelectionState.DropPending == 1) {
        CloseDialog(dialog, 0);
        SelectionState.DropPending = 0;
    }
    return 0;
}

INT_PTR ExitSelection(HWND dialog, UINT, WPARAM, LPARAM)
{
    CloseDialog(dialog, 0);
    return 0;
}
