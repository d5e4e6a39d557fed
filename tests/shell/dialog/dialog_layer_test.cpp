// The dialog layer's modal run on a live dialog with an owner: the owner is
// disabled while it runs and enabled again, and the result is the one the
// dialog was closed with. The main window's tests see the rest of the layer
// at work.
#include <gtest/gtest.h>

#include "shell/dialog/dialog_layer.h"
#include "tests/support/test_support.h"

TEST(DialogLayer, ModalRunOwnerAndResult)
{
    const HWND owner =
        CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 500, 300, 50, 50, nullptr, nullptr, nullptr, nullptr);
    const HWND dialog = NewDialog(owner, "Layer", 0, 0, 100, 50, 0, 0);
    INT_PTR result = -1;
    Steps steps;
    steps.WaitFor("the dialog shown", [&] { return IsWindowVisible(dialog) != FALSE; }).Do([&] {
        EXPECT_FALSE(IsWindowEnabled(owner));
        CloseDialog(dialog, 7);
    });
    steps.Run([&] { result = ShowDialogModal(dialog, nullptr); });
    EXPECT_EQ(result, 7);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}
