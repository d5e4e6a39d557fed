// The image slots of a round-rect button: loading by resource name, file name
// and id, the drawing size, the stored name, and who releases which image.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "rrbutton/gdi_objects.h"
#include "tests/rrbutton/button_test_support.h"
#include "tests/rrbutton/rrbutton_test_resources.h"
#include "tests/support/temp_folder.h"

using rrb::gdi::LiveGdiObjects;

namespace {

LPARAM Name(const std::string& name) {
    return reinterpret_cast<LPARAM>(name.c_str());
}

class ButtonImages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteIconFile(iconPath_));
        ASSERT_TRUE(WriteBitmapFile(bitmapPath_));
        liveAtStart_ = LiveGdiObjects();
        button_ = CreateTestButton(parent_.Handle());
        ASSERT_NE(button_, nullptr);
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(button_, message, wParam, lParam);
    }
    RRButtonRecord& Record() { return *RecordOf(button_); }
    SIZE DrawingSize() { return SIZE{LONG(Send(RRBM_GETIMAGEWIDTH)), LONG(Send(RRBM_GETIMAGEHEIGHT))}; }
    // Images the button holds: the objects alive now less its region.
    long LiveImages() const { return LiveGdiObjects() - liveAtStart_ - 1; }

    TempFolder folder_;
    const std::string iconPath_ = folder_.PathOf("face.ico");
    const std::string bitmapPath_ = folder_.PathOf("face.bmp");
    TestParent parent_;
    HWND button_ = nullptr;
    long liveAtStart_ = 0;
};

TEST_F(ButtonImages, LoadsByResourceNameFileNameOrIdAndResetsTheDrawingSize) {
    Send(RRBM_SETIMAGESIZE, 48, 48);
    Send(RRBM_LOADIMAGE, IMAGE_ICON, Name("ICON2"));  // no dot: a resource
    EXPECT_TRUE(IsIcon(Record().hImage));
    EXPECT_STREQ(Record().imageName, "ICON2");
    EXPECT_EQ(DrawingSize().cx, 16);
    EXPECT_EQ(DrawingSize().cy, 16);

    Send(RRBM_LOADHOTIMAGE, IMAGE_BITMAP, Name(bitmapPath_));  // a dot: a file
    BITMAP bitmap = {};
    EXPECT_EQ(GetObjectA(Record().hHotImage, sizeof bitmap, &bitmap), static_cast<int>(sizeof bitmap));
    EXPECT_EQ(bitmap.bmWidth, 16);
    EXPECT_EQ(Record().imageType, IMAGE_BITMAP);  // one type serves all four images
    Send(RRBM_LOADPRESSEDIMAGE, IMAGE_ICON, Name(iconPath_));
    EXPECT_TRUE(IsIcon(Record().hPressedImage));

    Send(RRBM_LOADIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(TEST_ICON_ID)));
    EXPECT_TRUE(IsIcon(Record().hImage));
    EXPECT_STREQ(Record().imageName, "");  // an id stores no name
    EXPECT_EQ(LiveImages(), 3);

    // A dotted name is never looked up as a resource, real file or not.
    for (const char* failing : {"ICON2.ico", "NOSUCHICON"}) {
        SCOPED_TRACE(failing);
        Send(RRBM_LOADIMAGE, IMAGE_ICON, Name(failing));
        EXPECT_EQ(Record().hImage, nullptr);
        EXPECT_EQ(DrawingSize().cx + DrawingSize().cy, 0);
        EXPECT_STREQ(Record().imageName, failing);
        EXPECT_EQ(LiveImages(), 2);
    }
}

TEST_F(ButtonImages, ReplacedClearedAndMixedImagesAreReleasedByTheirOwnKind) {
    Send(RRBM_LOADIMAGE, IMAGE_ICON, Name("ICON2"));
    Send(RRBM_LOADIMAGE, IMAGE_ICON, Name("ICON3"));
    Send(RRBM_LOADHOTIMAGE, IMAGE_ICON, Name("ICON3"));
    Send(RRBM_LOADHOTIMAGE, IMAGE_ICON, Name("ICON2"));
    Send(RRBM_LOADPRESSEDIMAGE, IMAGE_ICON, Name("ICON2"));
    Send(RRBM_LOADDISABLEDIMAGE, IMAGE_ICON, Name("ICON3"));
    EXPECT_EQ(LiveImages(), 4);

    // State images and clearing the normal one keep type, drawing size and name.
    Send(RRBM_SETIMAGESIZE, 32, 24);
    Send(RRBM_LOADHOTIMAGE, IMAGE_ICON, Name("ICON3"));
    Send(RRBM_LOADIMAGE, IMAGE_BITMAP, 0);
    EXPECT_EQ(Record().hImage, nullptr);
    EXPECT_EQ(Record().imageType, IMAGE_ICON);
    EXPECT_EQ(DrawingSize().cx, 32);
    EXPECT_STREQ(Record().imageName, "ICON3");
    Send(RRBM_LOADDISABLEDIMAGE, IMAGE_ICON, 0);
    EXPECT_EQ(Record().hDisabledImage, nullptr);
    EXPECT_EQ(LiveImages(), 2);

    // Bitmaps beside icons: each is released as what it is, by a replacement
    // or at the end, whatever the shared type says.
    Send(RRBM_LOADIMAGE, IMAGE_BITMAP, Name(bitmapPath_));
    Send(RRBM_LOADHOTIMAGE, IMAGE_BITMAP, Name(bitmapPath_));
    Send(RRBM_LOADDISABLEDIMAGE, IMAGE_ICON, Name("ICON3"));
    Send(RRBM_LOADIMAGE, IMAGE_BITMAP, Name(bitmapPath_));
    EXPECT_EQ(Record().imageType, IMAGE_BITMAP);
    EXPECT_EQ(LiveImages(), 4);
    DestroyWindow(button_);
    EXPECT_EQ(LiveGdiObjects(), liveAtStart_);
}

TEST_F(ButtonImages, HandedInImageIsTheCallersAndTheButtonsOwnComesBack) {
    Send(BM_SETIMAGE, IMAGE_BITMAP, 0);
    EXPECT_EQ(DrawingSize().cx + DrawingSize().cy, 0);
    HICON own = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "ICON3", IMAGE_ICON, 0, 0, 0));
    ASSERT_NE(own, nullptr);
    Send(RRBM_LOADIMAGE, IMAGE_ICON, Name("ICON2"));
    HANDLE loaded = Record().hImage;

    EXPECT_EQ(Send(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(own)), reinterpret_cast<LRESULT>(loaded));
    EXPECT_EQ(Record().imageShared, 1);
    EXPECT_EQ(DrawingSize().cx, 16);
    EXPECT_TRUE(rrb::gdi::ReleaseImage(loaded, IMAGE_ICON));  // the caller's now

    // Neither a new load nor the button's end destroys the caller's image.
    Send(RRBM_LOADIMAGE, IMAGE_ICON, 0);
    EXPECT_EQ(Record().imageShared, 0);
    EXPECT_TRUE(IsIcon(own));
    EXPECT_EQ(Send(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(own)), 0);
    DestroyWindow(button_);
    EXPECT_TRUE(IsIcon(own));
    EXPECT_EQ(LiveGdiObjects(), liveAtStart_);
    DestroyIcon(own);
}

TEST_F(ButtonImages, LongNameIsLoadedWholeAndItsNameReadBackCutWithoutATerminator) {
    const std::string name = "an_icon_with_a_name_longer_than_it_stores.ico";  // 45 characters
    ASSERT_TRUE(WriteIconFile(folder_.PathOf(name)));
    char previousFolder[MAX_PATH] = {};
    ASSERT_TRUE(GetCurrentDirectoryA(MAX_PATH, previousFolder));
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.Path().c_str()));
    Send(RRBM_LOADIMAGE, IMAGE_ICON, Name(name));
    SetCurrentDirectoryA(previousFolder);
    EXPECT_TRUE(IsIcon(Record().hImage));

    char buffer[48];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(Send(RRBM_GETIMAGENAME, reinterpret_cast<WPARAM>(buffer)), 0);
    EXPECT_EQ(std::string(buffer, sizeof buffer), name.substr(0, 39) + std::string(9, '#'));

    Send(RRBM_LOADIMAGE, IMAGE_ICON, Name("ICON2"));
    std::memset(buffer, '#', sizeof buffer);
    Send(RRBM_GETIMAGENAME, reinterpret_cast<WPARAM>(buffer));
    EXPECT_EQ(std::string(buffer, 6), "ICON2#");
    EXPECT_EQ(Send(RRBM_GETIMAGENAME, 0), 0);  // no buffer, nothing copied
}

}  // namespace
