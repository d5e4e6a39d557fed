// The image slots of a round-rect button: loading by resource name, file name
// and id, the drawing size, the stored name, and who releases which image.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton.h"
#include "rrbutton/rrbutton_record.h"
#include "tests/rrbutton/button_test_support.h"
#include "tests/rrbutton/rrbutton_test_resources.h"
#include "tests/support/temp_folder.h"

using rrb::gdi::LiveGdiObjects;

namespace {

LPARAM Name(const char* name) {
    return reinterpret_cast<LPARAM>(name);
}

LPARAM Name(const std::string& name) {
    return reinterpret_cast<LPARAM>(name.c_str());
}

bool IsIcon(HANDLE image) {
    ICONINFO info = {};
    if (!GetIconInfo(static_cast<HICON>(image), &info)) {
        return false;
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

bool IsBitmapOfSize(HANDLE image, int width, int height) {
    BITMAP bitmap = {};
    return GetObjectA(image, sizeof bitmap, &bitmap) == static_cast<int>(sizeof bitmap) &&
           bitmap.bmWidth == width && bitmap.bmHeight == height;
}

class ButtonImages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.Path().empty());
        iconPath_ = folder_.PathOf("face.ico");
        bitmapPath_ = folder_.PathOf("face.bmp");
        ASSERT_TRUE(WriteIconFile(iconPath_));
        ASSERT_TRUE(WriteBitmapFile(bitmapPath_));
        liveAtStart_ = LiveGdiObjects();
        button_ = CreateTestButton(parent_.Handle());
        ASSERT_NE(button_, nullptr);
    }
    void TearDown() override {
        if (IsWindow(button_)) {
            DestroyWindow(button_);
        }
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(button_, message, wParam, lParam);
    }
    RRButtonRecord& Record() { return *RecordOf(button_); }
    // Images the button holds: the objects alive now less the region.
    long LiveImages() const { return LiveGdiObjects() - liveAtStart_ - 1; }

    TempFolder folder_;
    std::string iconPath_;
    std::string bitmapPath_;
    TestParent parent_;
    HWND button_ = nullptr;
    long liveAtStart_ = 0;
};

TEST_F(ButtonImages, NameWithoutADotIsAResourceOfTheButtonsModule) {
    Send(RRBM_SETIMAGESIZE, 48, 48);
    EXPECT_EQ(Send(RRBM_LOADIMAGE, IMAGE_ICON, Name("ICON2")), 0);
    EXPECT_TRUE(IsIcon(Record().hImage));
    EXPECT_EQ(Record().imageType, IMAGE_ICON);
    EXPECT_EQ(Record().imageShared, 0);
    EXPECT_STREQ(Record().imageName, "ICON2");
    // A load sets the drawing size; a program wanting another sets it after.
    EXPECT_EQ(Send(RRBM_GETIMAGEWIDTH), 16);
    EXPECT_EQ(Send(RRBM_GETIMAGEHEIGHT), 16);
    Send(RRBM_SETIMAGESIZE, 48, 48);
    EXPECT_EQ(Send(RRBM_GETIMAGEWIDTH), 48);
    EXPECT_EQ(LiveImages(), 1);
}

TEST_F(ButtonImages, NameWithADotIsAFile) {
    Send(RRBM_LOADIMAGE, IMAGE_ICON, Name(iconPath_));
    EXPECT_TRUE(IsIcon(Record().hImage));
    Send(RRBM_LOADHOTIMAGE, IMAGE_BITMAP, Name(bitmapPath_));
    EXPECT_TRUE(IsBitmapOfSize(Record().hHotImage, 16, 16));
    EXPECT_EQ(LiveImages(), 2);

    // A dotted name is never looked up as a resource, real file or not.
    Send(RRBM_LOADIMAGE, IMAGE_ICON, Name("ICON2.ico"));
    EXPECT_EQ(Record().hImage, nullptr);
    EXPECT_EQ(Send(RRBM_GETIMAGEWIDTH), 0);
    EXPECT_EQ(Send(RRBM_GETIMAGEHEIGHT), 0);
    EXPECT_STREQ(Record().imageName, "ICON2.ico");
    EXPECT_EQ(LiveImages(), 1);
}

TEST_F(ButtonImages, FailedLoadLeavesAnEmptySlotOfSizeZero) {
    Send(RRBM_LOADIMAGE, IMAGE_ICON, Name("NOSUCHICON"));
    EXPECT_EQ(Record().hImage, nullptr);
    EXPECT_EQ(Send(RRBM_GETIMAGEWIDTH), 0);
    EXPECT_EQ(Send(RRBM_GETIMAGEHEIGHT), 0);
    EXPECT_STREQ(Record().imageName, "NOSUCHICON");
    EXPECT_EQ(LiveImages(), 0);
}

TEST_F(ButtonImages, IntegerIdLoadsByIdAndStoresNoName) {
    Send(RRBM_LOADIMAGE, IMAGE_ICON, Name("ICON2"));
    Send(RRBM_LOADIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(TEST_ICON_ID)));
    EXPECT_TRUE(IsIcon(Record().hImage));
    EXPECT_STREQ(Record().imageName, "");
    Send(RRBM_LOADPRESSEDIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(TEST_ICON_ID)));
    EXPECT_TRUE(IsIcon(Record().hPressedImage));
    EXPECT_EQ(LiveImages(), 2);
}

TEST_F(ButtonImages, ReplacedAndClearedImagesAreReleased) {
    Send(RRBM_LOADIMAGE, IMAGE_ICON, Name("ICON2"));
    Send(RRBM_LOADIMAGE, IMAGE_ICON, Name("ICON3"));
    Send(RRBM_LOADHOTIMAGE, IMAGE_ICON, Name("ICON3"));
    Send(RRBM_LOADHOTIMAGE, IMAGE_ICON, Name("ICON2"));
    Send(RRBM_LOADPRESSEDIMAGE, IMAGE_ICON, Name("ICON2"));
    Send(RRBM_LOADDISABLEDIMAGE, IMAGE_ICON, Name("ICON3"));
    EXPECT_EQ(LiveImages(), 4);

    // Clearing the normal image keeps its type, size and name.
    Send(RRBM_SETIMAGESIZE, 32, 24);
    Send(RRBM_LOADIMAGE, IMAGE_BITMAP, 0);
    EXPECT_EQ(Record().hImage, nullptr);
    EXPECT_EQ(Record().imageType, IMAGE_ICON);
    EXPECT_EQ(Send(RRBM_GETIMAGEWIDTH), 32);
    EXPECT_STREQ(Record().imageName, "ICON3");
    Send(RRBM_LOADHOTIMAGE, IMAGE_ICON, 0);
    Send(RRBM_LOADPRESSEDIMAGE, IMAGE_ICON, 0);
    Send(RRBM_LOADDISABLEDIMAGE, IMAGE_ICON, 0);
    EXPECT_EQ(Record().hHotImage, nullptr);
    EXPECT_EQ(Record().hPressedImage, nullptr);
    EXPECT_EQ(Record().hDisabledImage, nullptr);
    EXPECT_EQ(LiveImages(), 0);
}

TEST_F(ButtonImages, StateImagesKeepTheNameAndTheDrawingSize) {
    Send(RRBM_LOADIMAGE, IMAGE_ICON, Name("ICON2"));
    Send(RRBM_SETIMAGESIZE, 48, 48);
    Send(RRBM_LOADHOTIMAGE, IMAGE_ICON, Name("ICON3"));
    Send(RRBM_LOADPRESSEDIMAGE, IMAGE_ICON, Name("NOSUCHICON"));
    EXPECT_TRUE(IsIcon(Record().hHotImage));
    EXPECT_EQ(Record().hPressedImage, nullptr);
    EXPECT_EQ(Send(RRBM_GETIMAGEWIDTH), 48);
    EXPECT_STREQ(Record().imageName, "ICON2");
}

TEST_F(ButtonImages, OneTypeServesAllImagesButEachIsReleasedByItsOwnKind) {
    Send(RRBM_LOADIMAGE, IMAGE_ICON, Name("ICON2"));
    Send(RRBM_LOADHOTIMAGE, IMAGE_BITMAP, Name(bitmapPath_));
    EXPECT_EQ(Record().imageType, IMAGE_BITMAP);  // all four are drawn as bitmaps now
    EXPECT_EQ(LiveImages(), 2);

    // The normal icon replaced by a bitmap: the icon goes as an icon.
    Send(RRBM_LOADIMAGE, IMAGE_BITMAP, Name(bitmapPath_));
    EXPECT_EQ(LiveImages(), 2);
    Send(RRBM_LOADPRESSEDIMAGE, IMAGE_ICON, Name("ICON3"));
    EXPECT_EQ(Record().imageType, IMAGE_ICON);
    EXPECT_EQ(LiveImages(), 3);

    DestroyWindow(button_);
    EXPECT_EQ(LiveGdiObjects(), liveAtStart_);
}

TEST_F(ButtonImages, HandedInImageIsTheCallers) {
    HICON own = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "ICON3", IMAGE_ICON, 0, 0, 0));
    ASSERT_NE(own, nullptr);
    Send(RRBM_LOADIMAGE, IMAGE_ICON, Name("ICON2"));
    HANDLE loaded = Record().hImage;

    // The previous image comes back, and with it the duty to release it.
    EXPECT_EQ(Send(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(own)), reinterpret_cast<LRESULT>(loaded));
    EXPECT_EQ(Record().hImage, own);
    EXPECT_EQ(Record().imageShared, 1);
    EXPECT_EQ(Send(RRBM_GETIMAGEWIDTH), 16);
    EXPECT_TRUE(IsIcon(loaded));
    EXPECT_TRUE(rrb::gdi::ReleaseImage(loaded, IMAGE_ICON));

    // Neither a new load nor the button's end destroys the caller's image.
    Send(RRBM_LOADIMAGE, IMAGE_ICON, 0);
    EXPECT_EQ(Record().imageShared, 0);
    EXPECT_TRUE(IsIcon(own));
    EXPECT_EQ(Send(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(own)), 0);
    Send(RRBM_LOADHOTIMAGE, IMAGE_ICON, Name("ICON2"));
    DestroyWindow(button_);
    EXPECT_TRUE(IsIcon(own));
    EXPECT_EQ(LiveGdiObjects(), liveAtStart_);
    DestroyIcon(own);
}

TEST_F(ButtonImages, HandingInNoImageSetsSizeZero) {
    Send(BM_SETIMAGE, IMAGE_BITMAP, 0);
    EXPECT_EQ(Send(RRBM_GETIMAGEWIDTH), 0);
    EXPECT_EQ(Send(RRBM_GETIMAGEHEIGHT), 0);
    EXPECT_EQ(Record().imageType, IMAGE_BITMAP);
}

TEST_F(ButtonImages, LongNameIsLoadedWholeAndStoredCut) {
    // A relative file name of 45 characters, found in the current folder.
    const std::string name = "an_icon_with_a_name_longer_than_it_stores.ico";
    ASSERT_EQ(name.size(), 45u);
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
    EXPECT_EQ(std::string(buffer, 39), name.substr(0, 39));
    EXPECT_EQ(buffer[39], '#');  // no terminating zero
    EXPECT_EQ(std::strlen(Record().imageName), 39u);
}

TEST_F(ButtonImages, ImageNameCopiesOnlyItsCharacters) {
    Send(RRBM_LOADIMAGE, IMAGE_ICON, Name("ICON2"));
    char buffer[40];
    std::memset(buffer, '#', sizeof buffer);
    Send(RRBM_GETIMAGENAME, reinterpret_cast<WPARAM>(buffer));
    EXPECT_EQ(std::string(buffer, 6), "ICON2#");
    EXPECT_EQ(Send(RRBM_GETIMAGENAME, 0), 0);  // no buffer, nothing copied
}

}  // namespace
