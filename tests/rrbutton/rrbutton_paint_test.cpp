// Pictures of round-rect buttons: the frame of each look and its focus ring,
// the clipping to the rounded region, the caption and image of each state,
// what the parent hears and may do while a button paints, and resources.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton.h"
#include "rrbutton/rrbutton_drawing.h"
#include "rrbutton/rrbutton_record.h"
#include "tests/rrbutton/button_picture.h"
#include "tests/rrbutton/button_test_support.h"
#include "tests/support/temp_folder.h"

using rrb::gdi::LiveGdiObjects;

namespace {

// CreateTestButton's size, and points on its edges away from the corners.
constexpr int kWidth = 75;
constexpr int kHeight = 23;
constexpr int kMidX = 37;
constexpr int kMidY = 11;
constexpr int kRight = kWidth - 1;
constexpr int kBottom = kHeight - 1;

constexpr COLORREF kMarker = RGB(255, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kFocusGreen = RGB(119, 189, 133);

RECT Shifted(RECT rect, int by) {
    OffsetRect(&rect, by, by);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

class ButtonPaint : public ::testing::Test {
protected:
    void SetUp() override {
        button_ = CreateTestButton(parent_.Handle(), "");
        ASSERT_NE(button_, nullptr);
        UpdateWindow(button_);
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
    std::unique_ptr<Picture> Compose() { return ComposedPicture(button_, kMarker); }
    void SetFocusTo(HWND window) {
        SetFocus(window);
        ASSERT_EQ(GetFocus(), window);
    }

    TestParent parent_;
    HWND button_ = nullptr;
};

enum class Shade { Highlight, Shadow, Face, SystemFace, FocusGreen, Darker, InfoBackground };

struct ExpectedPixel {
    int x;
    int y;
    Shade shade;
};

struct FrameCase {
    const char* name;
    bool focused;
    int drawState;
    int isDefault;
    int fixedLook;
    int clickable;
    std::vector<ExpectedPixel> pixels;
};

TEST_F(ButtonPaint, EachLookDrawsItsRingsAndFocusRing) {
    const std::vector<ExpectedPixel> raised = {
        {0, kMidY, Shade::Highlight}, {kMidX, 0, Shade::Highlight}, {kRight, kMidY, Shade::Shadow},
        {kMidX, kBottom, Shade::Shadow}, {1, kMidY, Shade::Face}, {kRight - 1, kMidY, Shade::Face},
        {kMidX, 1, Shade::Face}, {kMidX, kBottom - 1, Shade::Face}, {kMidX, kMidY, Shade::Face}};
    const std::vector<ExpectedPixel> sunken = {
        {0, kMidY, Shade::Shadow}, {kMidX, 0, Shade::Shadow}, {kRight, kMidY, Shade::Highlight},
        {kMidX, kBottom, Shade::Highlight}, {1, kMidY, Shade::Face}, {kRight - 1, kMidY, Shade::Face},
        {kMidX, kMidY, Shade::Face}};
    auto with = [](std::vector<ExpectedPixel> pixels, std::vector<ExpectedPixel> more) {
        pixels.insert(pixels.end(), more.begin(), more.end());
        return pixels;
    };
    const std::vector<ExpectedPixel> innerRing = {{2, kMidY, Shade::Darker}, {kRight - 2, kMidY, Shade::Darker},
                                                  {kMidX, 2, Shade::Darker}, {kMidX, kBottom - 2, Shade::Darker},
                                                  {3, kMidY, Shade::Face}};
    std::vector<ExpectedPixel> infoRing = innerRing;
    for (ExpectedPixel& pixel : infoRing) {
        pixel.shade = pixel.shade == Shade::Darker ? Shade::InfoBackground : pixel.shade;
    }

    const FrameCase cases[] = {
        {"hot: raised", false, 1, 0, 0, 1, raised},
        {"pressed: sunken", false, 2, 0, 0, 1, sunken},
        {"normal: flat, last column and row left alone", false, 0, 0, 0, 1,
         {{0, kMidY, Shade::Face}, {kRight - 1, kMidY, Shade::Face}, {kMidX, 0, Shade::Face},
          {kRight, kMidY, Shade::SystemFace}, {kMidX, kBottom, Shade::SystemFace}, {kMidX, kMidY, Shade::Face}}},
        {"fixed flat look covers the client area", false, 0, 0, 1, 0,
         {{kRight, kMidY, Shade::Face}, {kMidX, kBottom, Shade::Face}, {0, kMidY, Shade::Face}}},
        {"normal and focused: green ring", true, 0, 0, 0, 1,
         {{0, kMidY, Shade::FocusGreen}, {kRight - 1, kMidY, Shade::FocusGreen}, {kMidX, 0, Shade::FocusGreen},
          {kMidX, kBottom - 1, Shade::FocusGreen}, {1, kMidY, Shade::Face}, {kRight, kMidY, Shade::SystemFace}}},
        {"default and focused: darker inner ring", true, 0, 1, 0, 1, with(raised, innerRing)},
        {"fixed sunken look focused and clickable: info ring", true, 2, 0, 3, 1, with(sunken, infoRing)},
    };

    for (const FrameCase& frame : cases) {
        SCOPED_TRACE(frame.name);
        SetFocusTo(frame.focused ? button_ : parent_.Handle());
        RRButtonRecord& record = Record();
        record.drawState = frame.drawState;
        record.isDefault = frame.isDefault;
        record.fixedLook = frame.fixedLook;
        record.clickable = frame.clickable;
        const auto picture = Compose();
        for (const ExpectedPixel& pixel : frame.pixels) {
            COLORREF expected = CLR_INVALID;
            switch (pixel.shade) {
            case Shade::Highlight: expected = GetSysColor(COLOR_BTNHIGHLIGHT); break;
            case Shade::Shadow: expected = GetSysColor(COLOR_BTNSHADOW); break;
            case Shade::Face: expected = record.faceColor; break;
            case Shade::SystemFace: expected = GetSysColor(COLOR_BTNFACE); break;
            case Shade::FocusGreen: expected = kFocusGreen; break;
            case Shade::Darker: expected = record.paletteEntries[1]; break;
            case Shade::InfoBackground: expected = GetSysColor(COLOR_INFOBK); break;
            }
            EXPECT_EQ(picture->Pixel(pixel.x, pixel.y), expected) << "at " << pixel.x << ", " << pixel.y;
        }
    }
}

// A real WM_PAINT puts the composed picture on the screen, inside the region only.
TEST_F(ButtonPaint, WindowShowsThePictureInsideTheRegion) {
    ASSERT_FALSE(InButtonRegion(button_, 0, 0));
    EXPECT_EQ(ScreenPicture(button_)->Pixel(0, 0), GetSysColor(COLOR_BTNFACE));

    Record().drawState = 1;
    HDC dc = GetDC(button_);
    HBRUSH marker = CreateSolidBrush(kMarker);
    const RECT client = {0, 0, kWidth, kHeight};
    FillRect(dc, &client, marker);
    DeleteObject(marker);
    ReleaseDC(button_, dc);
    Send(RRBM_REDRAW);

    const auto screen = ScreenPicture(button_);
    const auto composed = Compose();
    EXPECT_EQ(screen->Pixel(0, kMidY), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(screen->Pixel(kRight, kMidY), GetSysColor(COLOR_BTNSHADOW));
    int differing = 0;
    int writtenOutside = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (InButtonRegion(button_, x, y)) {
                differing += screen->Pixel(x, y) != composed->Pixel(x, y) ? 1 : 0;
            } else {
                writtenOutside += screen->Pixel(x, y) != kMarker ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(writtenOutside, 0);
}

TEST_F(ButtonPaint, CaptionTakesItsStateColourAndMovesWhenPressed) {
    SetWindowTextA(button_, "HIH");
    Send(RRBM_SETTEXTCOLOR, kRed);
    Send(RRBM_SETHOTTEXTCOLOR, kGreen);
    Send(RRBM_SETPRESSEDTEXTCOLOR, kBlue);
    const auto normal = Compose();
    Record().drawState = 1;
    const auto hot = Compose();
    Record().drawState = 2;
    const auto pressed = Compose();

    EXPECT_GT(normal->Count(kRed), 0);
    EXPECT_EQ(normal->Count(kGreen) + normal->Count(kBlue), 0);
    EXPECT_EQ(hot->Count(kRed) + hot->Count(kBlue), 0);
    EXPECT_EQ(pressed->Count(kRed) + pressed->Count(kGreen), 0);
    const RECT caption = normal->Bounds(kRed);
    EXPECT_TRUE(SameRect(hot->Bounds(kGreen), caption));
    EXPECT_TRUE(SameRect(pressed->Bounds(kBlue), Shifted(caption, 1)));

    // A fixed pressed look keeps the caption in place.
    Send(RRBM_SETFIXEDLOOK, 3);
    EXPECT_TRUE(SameRect(Compose()->Bounds(kBlue), caption));

    // The highlight shadow lies one pixel right and down.
    Send(RRBM_SETFIXEDLOOK, 0);
    Send(RRBM_SETTEXTSHADOW, 1);
    const auto shadowed = Compose();
    const RECT shadow = shadowed->Bounds(GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(shadow.right, caption.right + 1);
    EXPECT_EQ(shadow.bottom, caption.bottom + 1);
    EXPECT_TRUE(SameRect(shadowed->Bounds(kRed), caption));
}

TEST_F(ButtonPaint, DisabledCaptionIsEngraved) {
    SetWindowTextA(button_, "HIH");
    Send(RRBM_SETTEXTCOLOR, kRed);
    Send(RRBM_SETHOTTEXTCOLOR, kGreen);
    const RECT caption = Compose()->Bounds(kRed);
    EnableWindow(button_, FALSE);
    Record().drawState = 0;

    const auto disabled = Compose();
    EXPECT_EQ(disabled->Count(kRed), 0);
    EXPECT_TRUE(SameRect(disabled->Bounds(GetSysColor(COLOR_BTNSHADOW)), caption));
    const RECT highlight = disabled->Bounds(GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(highlight.right, caption.right + 1);
    EXPECT_EQ(highlight.bottom, caption.bottom + 1);

    // Hot stays hot, enabled or not.
    Record().drawState = 1;
    EXPECT_GT(Compose()->Count(kGreen), 0);
}

TEST_F(ButtonPaint, ImageOfEachState) {
    TempFolder folder;
    const std::string normalIcon = folder.PathOf("normal.ico");
    const std::string hotIcon = folder.PathOf("hot.ico");
    const std::string pressedIcon = folder.PathOf("pressed.ico");
    const std::string disabledIcon = folder.PathOf("disabled.ico");
    ASSERT_TRUE(WriteSolidIconFile(normalIcon, kRed));
    ASSERT_TRUE(WriteSolidIconFile(hotIcon, kGreen));
    ASSERT_TRUE(WriteSolidIconFile(pressedIcon, kBlue));
    ASSERT_TRUE(WriteSolidIconFile(disabledIcon, kYellow));
    auto load = [this](UINT message, const std::string& path) {
        Send(message, IMAGE_ICON, reinterpret_cast<LPARAM>(path.c_str()));
    };
    load(RRBM_LOADIMAGE, normalIcon);
    Send(RRBM_SETIMAGEMARGINLEFT, 4);
    // Middle of the left side: x = 4, y = (23 - 16) / 2 = 3.5, rounded to 4.
    const RECT atRest = {4, 4, 20, 20};

    EXPECT_TRUE(SameRect(Compose()->Bounds(kRed), atRest));
    Record().drawState = 2;  // without a pressed or hot image, the normal one, shifted
    EXPECT_TRUE(SameRect(Compose()->Bounds(kRed), Shifted(atRest, 1)));

    load(RRBM_LOADHOTIMAGE, hotIcon);
    load(RRBM_LOADPRESSEDIMAGE, pressedIcon);
    load(RRBM_LOADDISABLEDIMAGE, disabledIcon);
    Record().drawState = 1;
    EXPECT_TRUE(SameRect(Compose()->Bounds(kGreen), atRest));
    Record().drawState = 2;
    const auto pressed = Compose();
    EXPECT_TRUE(SameRect(pressed->Bounds(kBlue), Shifted(atRest, 1)));
    EXPECT_EQ(pressed->Count(kBlue), 16 * 16);
    Send(RRBM_SETIMAGENOSHIFT, 1);
    EXPECT_TRUE(SameRect(Compose()->Bounds(kBlue), atRest));

    Record().drawState = 0;
    EnableWindow(button_, FALSE);
    const auto disabled = Compose();
    EXPECT_TRUE(SameRect(disabled->Bounds(kYellow), atRest));
    EXPECT_EQ(disabled->Count(kRed), 0);
}

TEST_F(ButtonPaint, BitmapIsDrawnAtItsOwnSizeIconsAtTheImageSize) {
    TempFolder folder;
    const std::string bitmap = folder.PathOf("image.bmp");
    const std::string icon = folder.PathOf("image.ico");
    ASSERT_TRUE(WriteBitmapFile(bitmap));  // 16 x 16 of RGB(0x50, 0xA0, 0x30)
    ASSERT_TRUE(WriteSolidIconFile(icon, kRed));
    SetWindowPos(button_, nullptr, 0, 0, 60, 40, SWP_NOMOVE | SWP_NOZORDER);
    Send(RRBM_SETIMAGEPOS, 8, 6);

    Send(RRBM_LOADIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.c_str()));
    Send(RRBM_SETIMAGESIZE, 24, 24);
    const RECT ownSize = {8, 6, 24, 22};
    EXPECT_TRUE(SameRect(Compose()->Bounds(RGB(0x50, 0xA0, 0x30)), ownSize));

    Send(RRBM_LOADIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon.c_str()));
    Send(RRBM_SETIMAGESIZE, 24, 24);
    const RECT stretched = {8, 6, 32, 30};
    EXPECT_TRUE(SameRect(Compose()->Bounds(kRed), stretched));
}

// Found by the message fuzz test: an icon drawn INT_MIN pixels wide or high
// ended the process inside Wine's DrawIconEx. Such a size is drawn as
// -INT_MAX; the getters still answer what was set.
TEST_F(ButtonPaint, AnIconSizeOfIntMinIsDrawnAsMinusIntMax) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    Send(RRBM_LOADIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>("ICON2"));
    Send(RRBM_SETIMAGEPOS, 0, 0);
    const struct {
        int width;
        int height;
        int drawnWidth;
        int drawnHeight;
    } sizes[] = {{kMin, 16, -kMax, 16}, {16, kMin, 16, -kMax}, {kMin, kMin, -kMax, -kMax}, {kMin, 0, -kMax, 0}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(::testing::Message() << size.width << " x " << size.height);
        Send(RRBM_SETIMAGESIZE, static_cast<WPARAM>(size.drawnWidth), size.drawnHeight);
        const auto drawn = Compose();
        Send(RRBM_SETIMAGESIZE, static_cast<WPARAM>(size.width), size.height);
        Send(RRBM_REDRAW);
        EXPECT_TRUE(Compose()->SameAs(*drawn));
        EXPECT_EQ(Send(RRBM_GETIMAGEWIDTH), size.width);
        EXPECT_EQ(Send(RRBM_GETIMAGEHEIGHT), size.height);
    }
}

struct Heard {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    COLORREF leftEdge;
    COLORREF rightEdge;
};

bool IsFrameNotification(UINT message) {
    return message >= RRBN_RAISED && message <= RRBN_FLAT;
}

TEST_F(ButtonPaint, ParentHearsTheLookBeforeAnyRingIsDrawn) {
    Picture picture(kWidth, kHeight, kMarker);
    std::vector<Heard> heard;
    ParentHandler handler(parent_.Handle(), [&](UINT message, WPARAM wParam, LPARAM lParam) {
        if (IsFrameNotification(message)) {
            heard.push_back({message, wParam, lParam, picture.Pixel(0, kMidY), picture.Pixel(kRight, kMidY)});
        }
    });
    struct LookCase {
        int drawState;
        int isDefault;
        int fixedLook;
        UINT expected;  // 0: nothing
    };
    const LookCase cases[] = {
        {0, 1, 1, 0}, {1, 0, 0, RRBN_RAISED}, {2, 0, 0, RRBN_SUNKEN}, {0, 0, 0, RRBN_FLAT},
    };
    for (const LookCase& look : cases) {
        SCOPED_TRACE(testing::Message() << look.drawState << " " << look.isDefault << " " << look.fixedLook);
        heard.clear();
        Record().drawState = look.drawState;
        Record().isDefault = look.isDefault;
        Record().fixedLook = look.fixedLook;
        EXPECT_TRUE(rrb::DrawButtonPicture(button_, picture.Dc(), kWidth, kHeight));
        if (look.expected == 0) {
            EXPECT_TRUE(heard.empty());
            continue;
        }
        ASSERT_EQ(heard.size(), 1u);
        EXPECT_EQ(heard[0].message, look.expected);
        EXPECT_EQ(heard[0].wParam, reinterpret_cast<WPARAM>(button_));
        EXPECT_EQ(heard[0].lParam, 1001);
        // The face fill is done, no ring yet.
        EXPECT_EQ(heard[0].leftEdge, GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(heard[0].rightEdge, GetSysColor(COLOR_BTNFACE));
    }

    heard.clear();
    Send(RRBM_REDRAW);
    EXPECT_EQ(heard.size(), 1u);  // one paint, one notification
}

TEST(ButtonPaintFromParent, ParentDestroysTheButtonWhileItPaints) {
    TestParent parent;
    const long atStart = LiveGdiObjects();
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    HWND painted = MakeRRButton(parent.Handle(), 1001, "About", 10, 10, 75, 23, style, 0, "ICON2", "ICON3", FALSE);
    HWND composed = MakeRRButton(parent.Handle(), 1002, "About", 10, 40, 75, 23, style, 0, "ICON2", "ICON3", FALSE);
    ASSERT_NE(painted, nullptr);
    ASSERT_NE(composed, nullptr);
    UpdateWindow(parent.Handle());
    int notifications = 0;
    ParentHandler handler(parent.Handle(), [&](UINT message, WPARAM wParam, LPARAM) {
        if (IsFrameNotification(message)) {
            ++notifications;
            DestroyWindow(reinterpret_cast<HWND>(wParam));
        }
    });

    SendMessageA(painted, RRBM_REDRAW, 0, 0);
    EXPECT_EQ(notifications, 1);
    EXPECT_FALSE(IsWindow(painted));

    Picture picture(kWidth, kHeight, kMarker);
    EXPECT_FALSE(rrb::DrawButtonPicture(composed, picture.Dc(), kWidth, kHeight));
    EXPECT_FALSE(IsWindow(composed));
    EXPECT_EQ(picture.Pixel(0, kMidY), GetSysColor(COLOR_BTNFACE));  // no ring after the notification

    PumpMessages();
    EXPECT_EQ(notifications, 2);
    EXPECT_EQ(LiveGdiObjects(), atStart);
}

TEST_F(ButtonPaint, RedrawAskedForDuringAPaintWaitsForTheNextTurn) {
    constexpr COLORREF kNewFace = RGB(10, 200, 30);
    int flats = 0;
    int loopTurns = 0;
    ParentHandler handler(parent_.Handle(), [&](UINT message, WPARAM, LPARAM) {
        if (message == RRBN_FLAT && ++flats == 1) {
            SendMessageA(button_, RRBM_SETTEXTCOLOR, kRed, 1);
            SendMessageA(button_, RRBM_SETFACECOLOR, kNewFace, 1);
            SendMessageA(button_, RRBM_REDRAW, 0, 0);
            InvalidateRect(button_, nullptr, FALSE);
            UpdateWindow(button_);
            // A message loop of the handler's own (a message box, say) runs dry.
            MSG queued;
            while (loopTurns < 100 && PeekMessageA(&queued, nullptr, 0, 0, PM_REMOVE)) {
                ++loopTurns;
                DispatchMessageA(&queued);
            }
        }
    });
    const long atStart = LiveGdiObjects();

    Send(RRBM_REDRAW);
    EXPECT_EQ(flats, 1);
    EXPECT_LT(loopTurns, 100);
    EXPECT_TRUE(GetUpdateRect(button_, nullptr, FALSE));
    PumpMessages();
    EXPECT_EQ(flats, 2);
    EXPECT_FALSE(GetUpdateRect(button_, nullptr, FALSE));
    EXPECT_EQ(ScreenPicture(button_)->Pixel(kMidX, kMidY), kNewFace);
    EXPECT_EQ(LiveGdiObjects(), atStart);
}

TEST_F(ButtonPaint, ThousandPaintsAndHundredRebuildsLeakNothing) {
    SetWindowTextA(button_, "Caption");
    Send(RRBM_LOADIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>("ICON2"));
    Send(RRBM_LOADHOTIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>("ICON3"));
    Send(RRBM_SETDEFAULT, 1);
    SetFocusTo(button_);
    int notifications = 0;
    ParentHandler handler(parent_.Handle(), [&](UINT message, WPARAM, LPARAM) {
        notifications += IsFrameNotification(message) ? 1 : 0;
    });
    const long atStart = LiveGdiObjects();

    for (int paint = 0; paint < 1000; ++paint) {
        Record().drawState = paint % 3;
        Send(RRBM_REDRAW);
    }
    EXPECT_EQ(notifications, 1000);
    EXPECT_EQ(LiveGdiObjects(), atStart);

    for (int rebuild = 0; rebuild < 100; ++rebuild) {
        Send(RRBM_SETFACECOLOR, RGB(rebuild, 100, 200));
    }
    EXPECT_EQ(LiveGdiObjects(), atStart);
    Send(RRBM_REDRAW);
    EXPECT_EQ(LiveGdiObjects(), atStart);
}

TEST_F(ButtonPaint, CaptionIsDrawnFromItsFirst1023Characters) {
    // Two lines: a long first one that leaves the button at the right, and a
    // second one that shows only what lies within the first 1023 characters.
    SetWindowPos(button_, nullptr, 0, 0, kWidth, 40, SWP_NOMOVE | SWP_NOZORDER);
    Send(RRBM_SETTEXTFORMAT, DT_LEFT | DT_TOP);
    Send(RRBM_SETTEXTCOLOR, kRed);
    auto pictureOf = [this](const std::string& text) {
        SetWindowTextA(button_, text.c_str());
        return Compose();
    };
    const std::string beyondTheLimit = std::string(1022, '.') + "\n";
    EXPECT_TRUE(pictureOf(beyondTheLimit + "WWW")->SameAs(*pictureOf(beyondTheLimit)));
    const std::string withinTheLimit = std::string(1021, '.') + "\n";
    EXPECT_FALSE(pictureOf(withinTheLimit + "WWW")->SameAs(*pictureOf(withinTheLimit)));
    EXPECT_EQ(Record().hFont, GetStockObject(DEFAULT_GUI_FONT));  // the font a paint without one used
}

// Found by the message fuzz test: Wine's DrawText ends the process on an
// assertion for some captions that do not fit when the path ellipsis comes
// with the end or word ellipsis (0xC31C was the format). Such a caption is
// drawn with the end or word ellipsis alone.
TEST_F(ButtonPaint, PathEllipsisWithAnotherEllipsisDrawsAsTheOtherAlone) {
    Send(RRBM_SETTEXTCOLOR, kRed);
    const UINT otherEllipses[] = {DT_END_ELLIPSIS, DT_WORD_ELLIPSIS, DT_END_ELLIPSIS | DT_WORD_ELLIPSIS};
    const UINT layouts[] = {DT_SINGLELINE | DT_VCENTER | DT_CENTER, DT_WORDBREAK | DT_VCENTER | DT_BOTTOM | DT_NOCLIP,
                            DT_LEFT | DT_TOP | DT_EXPANDTABS};
    for (const char* caption : {"Fuzzed", "Fuzzed link", "C:\\Music\\Artist\\Album\\Track.mp3", "A\tB C&D\r\nE"}) {
        SetWindowTextA(button_, caption);
        for (int width : {1, 6, 14, 30, 75}) {
            SetWindowPos(button_, nullptr, 0, 0, width, kHeight, SWP_NOMOVE | SWP_NOZORDER);
            for (UINT other : otherEllipses) {
                for (UINT layout : layouts) {
                    SCOPED_TRACE(::testing::Message() << '"' << caption << "\" width " << width << " format 0x"
                                                      << std::hex << (layout | other));
                    Send(RRBM_SETTEXTFORMAT, layout | other | DT_PATH_ELLIPSIS, 1);
                    const auto combined = Compose();
                    Send(RRBM_SETTEXTFORMAT, layout | other, 1);
                    EXPECT_TRUE(Compose()->SameAs(*combined));
                }
            }
        }
    }
}

TEST(ButtonOffscreenBuffer, KeepsNothingWhenItCannotBeMade) {
    HDC screen = GetDC(nullptr);
    const long atStart = LiveGdiObjects();
    {
        rrb::OffscreenBuffer buffer(screen, kWidth, kHeight, nullptr);
        ASSERT_NE(buffer.Dc(), nullptr);
        BITMAP bitmap = {};
        GetObjectA(GetCurrentObject(buffer.Dc(), OBJ_BITMAP), sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, kWidth);
        EXPECT_EQ(bitmap.bmHeight, kHeight);
        EXPECT_EQ(LiveGdiObjects(), atStart + 2);
    }
    EXPECT_EQ(LiveGdiObjects(), atStart);
    {
        rrb::OffscreenBuffer tooBig(screen, 40000, 40000, nullptr);
        EXPECT_EQ(tooBig.Dc(), nullptr);
        EXPECT_EQ(LiveGdiObjects(), atStart);
    }
    {
        rrb::OffscreenBuffer noTarget(reinterpret_cast<HDC>(static_cast<INT_PTR>(0x7777)), kWidth, kHeight, nullptr);
        EXPECT_EQ(noTarget.Dc(), nullptr);
        noTarget.CopyTo(screen);
    }
    EXPECT_EQ(LiveGdiObjects(), atStart);
    ReleaseDC(nullptr, screen);
}

}  // namespace
