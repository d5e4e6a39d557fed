#include "shell/data_selection.h"

#include <string>

#include "catalogue/append_outcome.h"
#include "catalogue/catalogue_update.h"
#include "catalogue/selection_state.h"
#include "catalogue/track_text.h"
#include "shell/control_ids.h"
#include "shell/dialog/dialog_layer.h"
#include "shell/entry_log.h"

namespace {

constexpr DWORD DataSelectionStyle = DS_FIXEDSYS;

struct ControlLayout {
    ControlKind kind;
    int id;
    const char* text;
    int x, y, width, height;
    DialogCallback callback;
};

// In creation order, which is the tab order.
const ControlLayout DialogControls[] = {
    {ControlKind::CheckBox, OriginalCheckId, "[ CD ] Original Store Version", 19, 18, 146, 12, nullptr},
    {ControlKind::CheckBox, CdrCheckId, "[ R ] CD-R Burned Version ", 19, 30, 144, 12, nullptr},
    {ControlKind::CheckBox, RipDdlCheckId, "[ RIP ] or DDL File Copy", 19, 42, 92, 12, nullptr},
    {ControlKind::TextBox, RipDdlBoxId, "RIP or DLL", 115, 42, 47, 12, nullptr},
    {ControlKind::CheckBox, CdBinCheckId, "[ Yes ] CD-RW-R Bin Copy", 19, 54, 144, 12, nullptr},
    {ControlKind::CheckBox, IdCheckId, "[ ID00000 ] Identification Number", 19, 66, 90, 12, nullptr},
    {ControlKind::TextBox, IdBoxId, "ID", 109, 66, 54, 12, nullptr},
    {ControlKind::CheckBox, HdBinCheckId, "[ Yes ] HD Bin Copy", 19, 78, 146, 12, nullptr},
    {ControlKind::TextBox, TrackBoxId, "", 18, 122, 202, 13, nullptr},
    {ControlKind::GroupBox, TrackFrameId, "Artist , Album , Tracks", 8, 106, 221, 40, nullptr},
    {ControlKind::GroupBox, SelectionFrameId, "Data Selection", 8, 4, 163, 94, nullptr},
    {ControlKind::PushButton, UpdateButtonId, "Update", 183, 16, 47, 16, UpdateCatalogue},
    {ControlKind::PushButton, SelAboutButtonId, "About", 183, 73, 47, 16, ShowAbout},
    {ControlKind::PushButton, SelExitButtonId, "Exit", 183, 44, 47, 16, ExitSelection},
};

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

std::string AboutText()
{
    return "Vorlane 1.0\r\n\r\n"
           "A catalogue of your music collection. Drop MP3 files named 'Artist - Album - Track.mp3' on the "
           "Vorlane window, say how you hold each copy, and Update adds one line for the track.\r\n\r\n"
           "The catalogue is the file " +
           std::string(CatalogueFileName) + " in the folder Vorlane was started from:\r\n" + SelectionState.StartDir;
}

}  // namespace

void NormaliseTrackText()
{
    NormaliseTrackText(SelectionState.TrackText);
}

INT_PTR UpdateCatalogue(HWND dialog, UINT, WPARAM, LPARAM)
{
    const UpdateResult result = AppendUpdate(ReadAnswers(dialog), SelectionState.StartDir, SelectionState.EntryLog);
    if (!result.outcome.Succeeded()) {
        // Owned by the dialog, so its buttons cannot run again while the box
        // is up. The dialog keeps what the user entered; nothing more to do,
        // whether or not it still exists after the box.
        MessageBoxA(dialog, result.failureMessage.c_str(), "Vorlane", MB_OK | MB_ICONERROR);
        return 0;
    }
    ShowEntryLog(GetDlgItem(MainWindow, LogBoxId), SelectionState.EntryLog, result.entryLog);
    SelectionState.EntryLog = result.entryLog;
    // On purpose for any dialog, not only the drop's: a drop's dialog left
    // with Exit keeps the drop pending, and the next Update, in whichever
    // dialog, closes that dialog.
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

INT_PTR ShowAbout(HWND, UINT, WPARAM, LPARAM)
{
    ShowMessage(AboutText(), AboutTitle, MB_OK | MB_ICONINFORMATION);
    return 0;
}

INT_PTR ShowDataSelection(HWND /*owner: the dialog has none*/)
{
    HWND dialog = NewDialog(nullptr, "Add Items", 162, 0, 238, 175, DataSelectionStyle, 0);
    for (const ControlLayout& control : DialogControls)
        AddControl(control.kind, dialog, control.id, control.text, control.x, control.y, control.width, control.height,
                   0, 0, control.callback);
    PrepareTrackTextForDialog(SelectionState.TrackText);
    SetControlText(dialog, TrackBoxId, SelectionState.TrackText);
    return ShowDialogModal(dialog, nullptr);
}
