// The dialog layer's modal run on a live dialog with an owner: the callbacks
// in their order, a close the callback refuses, and the result. The main
// window's tests see the rest of the layer at work.
#include <gtest/gtest.h>

#include "shell/dialog/dialog_layer.h"
#include "tests/support/test_support.h"

namespace {

std::vector<std::string> seen;  // what the callbacks saw, in order
bool refuseClose = false;

INT_PTR RecordDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG || message == WM_SIZE || message == WM_COMMAND)
        seen.push_back(std::to_string(message) + (IsWindowVisible(dialog) ? " shown " : " ") + std::to_string(wParam));
    const bool refuse = message == WM_SYSCOMMAND && refuseClose;
    refuseClose = refuseClose && !refuse;
    return refuse;
}

INT_PTR RecordControlCommand(HWND, UINT, WPARAM wParam, LPARAM)
{
    seen.push_back("control " + std::to_string(LOWORD(wParam)));
    return LOWORD(wParam) == 2;  // button 2 handles its own command
}

}  // namespace

TEST(DialogLayer, ModalRunCallbacksOwnerAndResult)
{
    const HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 500, 300, 50, 50, nullptr, nullptr,
                                       nullptr, nullptr);
    const HWND dialog = NewDialog(owner, "Layer", 0, 0, 100, 50, 0, 0);
    for (int id : {1, 2})
        AddControl(ControlKind::PushButton, dialog, id, "Push", 10, 10 * id, 40, 10, 0, 0, RecordControlCommand);
    INT_PTR result = -1;
    seen.clear();
    Steps steps;
    steps.WaitFor("the dialog shown", [&] { return IsWindowVisible(dialog) != FALSE; }).Do([&] {
        EXPECT_FALSE(IsWindowEnabled(owner));
        PostClick(dialog, 1);
        PostClick(dialog, 2);
        refuseClose = true;
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    steps.WaitFor("the refused close", [] { return !refuseClose; }).Do([&] {
        EXPECT_TRUE(IsWindow(dialog)) << "a close the callback refused";
        CloseDialog(dialog, 7);
    });
    steps.Run([&] { result = ShowDialogModal(dialog, RecordDialogMessage); });
    EXPECT_EQ(result, 7);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(seen, (std::vector<std::string>{"272 " + std::to_string(WPARAM(dialog)), "5 0", "control 1", "273 shown 1",
                                              "control 2"}));
    DestroyWindow(owner);
}
