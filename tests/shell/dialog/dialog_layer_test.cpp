// The dialog layer's modal run on a live dialog with an owner: a close the
// callback refuses, and the result. The main window's tests see the rest of
// the layer at work.
#include <gtest/gtest.h>

#include "shell/dialog/dialog_layer.h"
#include "tests/support/test_support.h"

namespace {

bool refuseClose = false;

INT_PTR RefuseCloseOnce(HWND, UINT message, WPARAM, LPARAM)
{
    const bool refuse = message == WM_SYSCOMMAND && refuseClose;
    refuseClose = refuseClose && !refuse;
    return refuse;
}

}  // namespace

TEST(DialogLayer, ModalRunOwnerAndResult)
{
    const HWND owner =
        CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 500, 300, 50, 50, nullptr, nullptr, nullptr, nullptr);
    const HWND dialog = NewDialog(owner, "Layer", 0, 0, 100, 50, 0, 0);
    INT_PTR result = -1;
    Steps steps;
    steps.WaitFor("the dialog shown", [&] { return IsWindowVisible(dialog) != FALSE; }).Do([&] {
        EXPECT_FALSE(IsWindowEnabled(owner));
        refuseClose = true;
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    steps.WaitFor("the refused close", [] { return !refuseClose; }).Do([&] {
        EXPECT_TRUE(IsWindow(dialog)) << "a close the callback refused";
        CloseDialog(dialog, 7);
    });
    steps.Run([&] { result = ShowDialogModal(dialog, RefuseCloseOnce); });
    EXPECT_EQ(result, 7);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}
