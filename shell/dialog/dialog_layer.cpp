#include "shell/dialog/dialog_layer.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace {

// The window property that ties a dialog to its record.
constexpr char RecordProperty[] = "VorlaneDialogRecord";
// Marks a live record; a freed one is filled with FreedRecordFill, so a stale
// pointer shows up as a bad tag, a wild callback or a wild result pointer.
constexpr std::uint32_t LiveRecordTag = 0x474C4456;  // "VDLG"
constexpr int FreedRecordFill = 0xDD;

struct ControlCallbackEntry {
    HWND control;
    DialogCallback callback;
};

// What the layer keeps for a dialog it made, from creation until WM_NCDESTROY.
// Any call that can run a callback can also destroy the dialog and free this,
// so it is never held across such a call: it is looked up again by window.
struct DialogRecord {
    std::uint32_t tag = LiveRecordTag;
    int showCommand = ShowCommandShow;
    HFONT font = nullptr;  // the dialog's own font, handed to every control
    DialogCallback callback = nullptr;
    // While ShowDialogModal runs the dialog: its result, in that call's frame.
    INT_PTR* modalResult = nullptr;
    HICON bigIcon = nullptr;    // owned
    HICON smallIcon = nullptr;  // owned
    std::vector<ControlCallbackEntry> controlCallbacks;
};

HINSTANCE ProgramInstance()
{
    return GetModuleHandleA(nullptr);
}

DialogRecord* FindRecord(HWND dialog)
{
    if (!dialog)
        return nullptr;
    auto* record = static_cast<DialogRecord*>(GetPropA(dialog, RecordProperty));
    return record && record->tag == LiveRecordTag ? record : nullptr;
}

// Detaches the record from the dialog and frees it with the icons it owns.
void FreeRecord(HWND dialog)
{
    DialogRecord* record = FindRecord(dialog);
    RemovePropA(dialog, RecordProperty);
    if (!record)
        return;
    if (record->bigIcon)
        DestroyIcon(record->bigIcon);
    if (record->smallIcon)
        DestroyIcon(record->smallIcon);
    record->~DialogRecord();
    std::memset(static_cast<void*>(record), FreedRecordFill, sizeof(DialogRecord));
    ::operator delete(record);
}

DialogCallback ControlCallbackOf(HWND dialog, HWND control)
{
    const DialogRecord* record = FindRecord(dialog);
    if (!record || !control)
        return nullptr;
    for (const ControlCallbackEntry& entry : record->controlCallbacks) {
        if (entry.control == control)
            return entry.callback;
    }
    return nullptr;
}

INT_PTR CallControlCallback(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COMMAND && message != WM_HSCROLL && message != WM_VSCROLL)
        return 0;
    const DialogCallback callback = ControlCallbackOf(dialog, reinterpret_cast<HWND>(lParam));
    return callback ? callback(dialog, message, wParam, lParam) : 0;
}

INT_PTR CallDialogCallback(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    const DialogRecord* record = FindRecord(dialog);
    const DialogCallback callback = record ? record->callback : nullptr;
    return callback ? callback(dialog, message, wParam, lParam) : 0;
}

// A callback's non-zero answer becomes the message's result.
INT_PTR AnswerHandled(HWND dialog, INT_PTR result)
{
    if (IsWindow(dialog))
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return result;
}

// What the layer does with a message no callback took: the close command
// ends the dialog; everything else goes to the platform's dialog defaults.
INT_PTR DefaultAnswer(HWND dialog, UINT message, WPARAM wParam)
{
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        CloseDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

// Dialog procedure of every dialog the layer makes. While the platform creates
// the dialog there is no record yet, so WM_INITDIALOG is answered 0 and the
// platform sets no initial focus.
INT_PTR CALLBACK LayerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result = CallControlCallback(dialog, message, wParam, lParam);
    if (result == 0)
        result = CallDialogCallback(dialog, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        FreeRecord(dialog);
        return result;
    }
    if (result != 0)
        return AnswerHandled(dialog, result);
    return DefaultAnswer(dialog, message, wParam);
}

// Hands the dialog a freshly loaded icon of one size and takes ownership of
// it, destroying the one it replaces.
void SetOwnedIcon(HWND dialog, const std::string& iconName, WPARAM which, int size)
{
    const auto icon = static_cast<HICON>(LoadImageA(ProgramInstance(), iconName.c_str(), IMAGE_ICON, size, size, 0));
    if (!icon)
        return;
    SendMessageA(dialog, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    DialogRecord* record = FindRecord(dialog);
    if (!record) {  // ended by a callback meanwhile: nobody holds the icon
        DestroyIcon(icon);
        return;
    }
    HICON& owned = which == ICON_BIG ? record->bigIcon : record->smallIcon;
    if (owned && owned != icon)
        DestroyIcon(owned);
    owned = icon;
}

// Runs until the dialog is gone, dispatching the messages of every window of
// the thread so that other windows stay alive and dialogs can nest.
void RunModalLoop(HWND dialog)
{
    for (;;) {
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsWindow(dialog))
                return;
            MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            continue;
        }
        // A message the dialog manager took has been delivered already.
        if (IsWindow(dialog) && IsDialogMessageA(dialog, &message)) {
            if (!IsWindow(dialog))
                return;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
        if (!IsWindow(dialog))
            return;
    }
}

// Dialog units to pixels; (0, 0) when the dialog cannot map.
POINT UnitsToPixels(HWND dialog, int x, int y)
{
    RECT area{0, 0, x, y};
    if (!MapDialogRect(dialog, &area))
        return POINT{0, 0};
    return POINT{area.right, area.bottom};
}

}  // namespace

HWND NewDialog(HWND owner, const std::string& caption, int x, int y, int width, int height, DWORD style, DWORD exStyle)
{
    const DWORD dialogStyle = AdjustDialogStyle(style, owner != nullptr);
    const std::vector<std::uint16_t> words = BuildDialogTemplate(dialogStyle, exStyle, x, y, width, height);
    // The platform wants the template DWORD-aligned.
    std::vector<DWORD> alignedTemplate((words.size() + 1) / 2, 0);
    std::memcpy(alignedTemplate.data(), words.data(), words.size() * sizeof(words[0]));

    const HWND dialog = CreateDialogIndirectParamA(
        ProgramInstance(), reinterpret_cast<LPCDLGTEMPLATEA>(alignedTemplate.data()), owner, LayerDialogProc, 0);
    if (!dialog)
        return nullptr;
    SetWindowTextA(dialog, caption.c_str());
    const auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));

    auto* record = new (std::nothrow) DialogRecord;
    if (!record)
        return dialog;
    record->showCommand = ShowCommandForStyle(dialogStyle);
    record->font = font;
    if (!SetPropA(dialog, RecordProperty, record))
        delete record;
    return dialog;
}

HWND AddControl(ControlKind kind, HWND dialog, int id, const std::string& text, int x, int y, int width, int height,
                DWORD style, DWORD exStyle, DialogCallback callback)
{
    const DialogRecord* record = FindRecord(dialog);
    const HFONT font = record ? record->font : nullptr;

    RECT area{x, y, x + width, y + height};
    MapDialogRect(dialog, &area);
    const ControlStyles styles = AdjustControlStyles(kind, style, exStyle);
    const HWND control = CreateWindowExA(styles.exStyle, ControlClassName(kind), text.c_str(), styles.style, area.left,
                                         area.top, area.right - area.left, area.bottom - area.top, dialog,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ProgramInstance(), nullptr);
    if (!control)
        return nullptr;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (MakesDefaultButton(kind, styles.style))
        SendMessageA(dialog, DM_SETDEFID, static_cast<WPARAM>(id), 0);

    if (callback) {
        if (DialogRecord* current = FindRecord(dialog))
            current->controlCallbacks.push_back({control, callback});
    }
    return control;
}

void SetDialogIcon(HWND dialog, const std::string& iconName)
{
    if (!FindRecord(dialog))
        return;
    SetOwnedIcon(dialog, iconName, ICON_BIG, 32);
    SetOwnedIcon(dialog, iconName, ICON_SMALL, 16);
}

INT_PTR ShowDialogModal(HWND dialog, DialogCallback callback)
{
    const DialogRecord* record = FindRecord(dialog);
    if (!record)
        return 0;
    const int showCommand = record->showCommand;

    // The callback prepares the dialog before anyone can see it.
    if (callback) {
        callback(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(dialog), 0);
        if (IsWindow(dialog)) {
            RECT client{};
            GetClientRect(dialog, &client);
            callback(dialog, WM_SIZE, static_cast<WPARAM>(SizeTypeForShowCommand(showCommand)),
                     MAKELPARAM(client.right, client.bottom));
        }
    }

    INT_PTR result = 0;
    if (DialogRecord* current = FindRecord(dialog)) {
        current->callback = callback;
        current->modalResult = &result;
    }
    const auto owner = reinterpret_cast<HWND>(GetWindowLongPtrA(dialog, GWLP_HWNDPARENT));
    if (owner) {
        SendMessageA(owner, WM_CANCELMODE, 0, 0);
        EnableWindow(owner, FALSE);
    }
    ShowWindow(dialog, showCommand);
    RunModalLoop(dialog);
    if (owner)
        SetFocus(owner);
    return result;
}

void CloseDialog(HWND dialog, INT_PTR result)
{
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    const auto owner = reinterpret_cast<HWND>(GetWindowLongPtrA(dialog, GWLP_HWNDPARENT));
    // EnableWindow answers whether the owner was disabled before.
    const bool ownerWasDisabled = owner && EnableWindow(owner, TRUE);
    if (const DialogRecord* record = FindRecord(dialog); record && record->modalResult)
        *record->modalResult = result;
    if (!DestroyWindow(dialog) && ownerWasDisabled)
        EnableWindow(owner, FALSE);
}

int GetControlCheck(HWND dialog, int id)
{
    return static_cast<int>(SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0));
}

std::string GetControlText(HWND dialog, int id)
{
    const HWND control = GetDlgItem(dialog, id);
    int length = GetWindowTextLengthA(control);
    for (;;) {
        if (length <= 0)
            return std::string();
        std::string text(static_cast<size_t>(length) + 1, '\0');
        const int copied = GetWindowTextA(control, &text[0], length + 1);
        // A full buffer may mean the text grew since its length was asked for.
        const int lengthNow = copied >= length ? GetWindowTextLengthA(control) : length;
        if (lengthNow <= length) {
            text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
            return text;
        }
        length = lengthNow;
    }
}

void SetControlText(HWND dialog, int id, const std::string& text)
{
    SetWindowTextA(GetDlgItem(dialog, id), text.c_str());
}

POINT GetControlLocation(HWND dialog, int id)
{
    const HWND control = GetDlgItem(dialog, id);
    RECT bounds{};
    if (!GetWindowRect(control, &bounds))
        return POINT{0, 0};
    POINT corner{bounds.left, bounds.top};
    ScreenToClient(GetParent(control), &corner);
    return PixelsToUnits(dialog, corner.x, corner.y);
}

void SetControlSize(HWND dialog, int id, int width, int height)
{
    const POINT size = UnitsToPixels(dialog, width, height);
    SetWindowPos(GetDlgItem(dialog, id), nullptr, 0, 0, size.x, size.y, SWP_NOMOVE | SWP_NOZORDER);
}

POINT PixelsToUnits(HWND dialog, int x, int y)
{
    RECT scale{0, 0, 1024, 1024};
    if (!MapDialogRect(dialog, &scale))
        return POINT{0, 0};
    return POINT{ScalePixelsToUnits(x, scale.right), ScalePixelsToUnits(y, scale.bottom)};
}

int ShowMessage(const std::string& text, const std::string& title, UINT style)
{
    return MessageBoxA(nullptr, text.c_str(), title.c_str(), style);
}
