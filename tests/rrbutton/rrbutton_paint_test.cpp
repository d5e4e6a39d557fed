// Pictures of round-rect buttons: the frame of each look and its focus ring,
// the clipping to the rounded region, the caption and image of each state,
// and what the parent hears and may do while a button paints.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton_drawing.h"
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

RECT Shifted(RECT rect, int by) {
    OffsetRect(&rect, by, by);
    return rect;
}

class ButtonPaint : public ::testing::Test {
protected:
    void SetUp() override {
        button_ = CreateTestButton(parent_.Handle(), "");
        ASSERT_NE(button_, nullptr);
        UpdateWindow(button_);
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(button_, message, wParam, lParam);
    }
    RRButtonRecord& Record() { return *RecordOf(button_); }
    std::unique_ptr<Picture> Compose() { return ComposedPicture(button_, kMarker); }

    TestParent parent_;
    HWND button_ = nullptr;
};

TEST_F(ButtonPaint, EachLookDrawsItsRingsAndFocusRing) {
    enum Shade { Highlight, Shadow, Face, SystemFace, FocusGreen, Darker, InfoBackground };
    struct Pixel {
        int x, y;
        Shade shade;
    };
    using Pixels = std::vector<Pixel>;
    auto with = [](Pixels pixels, const Pixels& more) {
        pixels.insert(pixels.end(), more.begin(), more.end());
        return pixels;
    };
    const Pixels inside = {{1, kMidY, Face}, {kRight - 1, kMidY, Face}, {kMidX, kMidY, Face}};
    const Pixels raised = with(inside, {{0, kMidY, Highlight}, {kMidX, 0, Highlight}, {kRight, kMidY, Shadow},
                                        {kMidX, kBottom, Shadow}, {kMidX, 1, Face}, {kMidX, kBottom - 1, Face}});
    const Pixels sunken = with(inside, {{0, kMidY, Shadow}, {kMidX, 0, Shadow}, {kRight, kMidY, Highlight},
                                        {kMidX, kBottom, Highlight}});
    auto innerRing = [](Shade shade) {
        return Pixels{{2, kMidY, shade}, {kRight - 2, kMidY, shade}, {kMidX, 2, shade}, {kMidX, kBottom - 2, shade},
                      {3, kMidY, Face}};
    };
    const struct {
        const char* name;
        bool focused;
        int drawState, isDefault, fixedLook, clickable;
        Pixels pixels;
    } cases[] = {
        {"hot: raised", false, 1, 0, 0, 1, raised},
        {"pressed: sunken, no focus ring", true, 2, 0, 0, 1, sunken},
        {"normal: flat, the last column and row left alone", false, 0, 0, 0, 1,
         with(inside, {{0, kMidY, Face}, {kMidX, 0, Face}, {kRight, kMidY, SystemFace}, {kMidX, kBottom, SystemFace}})},
        {"fixed flat look covers the client area", false, 0, 0, 1, 0,
         {{kRight, kMidY, Face}, {kMidX, kBottom, Face}, {0, kMidY, Face}}},
        {"normal and focused: green ring", true, 0, 0, 0, 1,
         {{0, kMidY, FocusGreen}, {kRight - 1, kMidY, FocusGreen}, {kMidX, 0, FocusGreen},
          {kMidX, kBottom - 1, FocusGreen}, {1, kMidY, Face}, {kRight, kMidY, SystemFace}}},
        {"passive and focused: no focus ring", true, 0, 0, 1, 0, {{0, kMidY, Face}, {kRight - 1, kMidY, Face}}},
        {"default and focused: darker inner ring", true, 0, 1, 0, 1, with(raised, innerRing(Darker))},
        {"fixed sunken look focused and clickable: info ring", true, 2, 0, 3, 1,
         with(sunken, innerRing(InfoBackground))},
    };
    for (const auto& frame : cases) {
        SCOPED_TRACE(frame.name);
        SetFocus(frame.focused ? button_ : parent_.Handle());
        ASSERT_EQ(GetFocus() == button_, frame.focused);
        RRButtonRecord& record = Record();
        record.drawState = frame.drawState;
        record.isDefault = frame.isDefault;
        record.fixedLook = frame.fixedLook;
        record.clickable = frame.clickable;
        const COLORREF shades[] = {GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW), record.faceColor,
                                   GetSysColor(COLOR_BTNFACE), RGB(119, 189, 133), record.paletteEntries[1],
                                   GetSysColor(COLOR_INFOBK)};
        const auto picture = Compose();
        for (const Pixel& pixel : frame.pixels) {
            EXPECT_EQ(picture->Pixel(pixel.x, pixel.y), shades[pixel.shade]) << "at " << pixel.x << ", " << pixel.y;
        }
    }
}

TEST_F(ButtonPaint, WindowShowsThePictureInsideTheRegionAndNothingOutside) {
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
    ASSERT_EQ(screen->Pixel(0, kMidY), GetSysColor(COLOR_BTNHIGHLIGHT));
    ASSERT_FALSE(PtInRegion(Record().hRegion, 0, 0));  // the corners are outside
    int differing = 0;
    int writtenOutside = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (PtInRegion(Record().hRegion, x, y)) {
                differing += screen->Pixel(x, y) != composed->Pixel(x, y);
            } else {
                writtenOutside += screen->Pixel(x, y) != kMarker;
            }
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(writtenOutside, 0);
}

TEST_F(ButtonPaint, CaptionTakesItsStateColourMovesWhenPressedAndIsEngravedWhenDisabled) {
    SetWindowTextA(button_, "HIH");
    Send(RRBM_SETTEXTCOLOR, kRed);
    Send(RRBM_SETHOTTEXTCOLOR, kGreen);
    Send(RRBM_SETPRESSEDTEXTCOLOR, kBlue);
    const RECT caption = Compose()->Bounds(kRed);
    ASSERT_FALSE(IsRectEmpty(&caption));
    const RECT none = {0, 0, 0, 0};
    const struct {
        int drawState, fixedLook;
        COLORREF color;
        RECT at;
    } states[] = {{0, 0, kRed, caption}, {1, 0, kGreen, caption}, {2, 0, kBlue, Shifted(caption, 1)},
                  {2, 3, kBlue, caption}};  // a fixed pressed look stays in place
    for (const auto& state : states) {
        SCOPED_TRACE(::testing::Message() << "state " << state.drawState << " fixed look " << state.fixedLook);
        Send(RRBM_SETFIXEDLOOK, state.fixedLook);
        Record().drawState = state.drawState;
        const auto picture = Compose();
        for (COLORREF color : {kRed, kGreen, kBlue}) {
            EXPECT_EQ(picture->Bounds(color), color == state.color ? state.at : none);
        }
    }
    Send(RRBM_SETFIXEDLOOK, 0);
    EnableWindow(button_, FALSE);
    const auto disabled = Compose();
    EXPECT_EQ(disabled->Bounds(kRed), none);
    EXPECT_EQ(disabled->Bounds(GetSysColor(COLOR_BTNSHADOW)), caption);
    const RECT highlight = disabled->Bounds(GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(highlight.right, caption.right + 1);
    EXPECT_EQ(highlight.bottom, caption.bottom + 1);
}

TEST_F(ButtonPaint, ImageOfEachStateShiftsWhenPressed) {
    TempFolder folder;
    const COLORREF colors[] = {kRed, kGreen, kBlue, kYellow};
    for (int slot = 0; slot < 4; ++slot) {  // normal, hot, pressed, disabled
        const std::string path = folder.PathOf(std::to_string(slot) + ".ico");
        ASSERT_TRUE(WriteIconFile(path, colors[slot]));
        Send(RRBM_LOADIMAGE + slot, IMAGE_ICON, reinterpret_cast<LPARAM>(path.c_str()));
        if (slot == 0) {
            Send(RRBM_SETIMAGEMARGINLEFT, 4);
            // Without a pressed image the normal one is drawn, shifted.
            Record().drawState = 2;
            EXPECT_EQ(Compose()->Bounds(kRed), (RECT{5, 5, 21, 21}));
        }
    }
    const RECT atRest = {4, 4, 20, 20};  // middle of the left side: (23 - 16) / 2 = 3.5 rounds to 4
    const struct {
        int drawState;
        bool enabled;
        int noShift;
        COLORREF color;
        RECT at;
    } cases[] = {{0, true, 0, kRed, atRest}, {1, true, 0, kGreen, atRest}, {2, true, 0, kBlue, Shifted(atRest, 1)},
                 {2, true, 1, kBlue, atRest}, {0, false, 0, kYellow, atRest}};
    for (const auto& state : cases) {
        SCOPED_TRACE(::testing::Message() << "state " << state.drawState << " enabled " << state.enabled);
        Record().drawState = state.drawState;
        Send(RRBM_SETIMAGENOSHIFT, state.noShift);
        EnableWindow(button_, state.enabled);
        EXPECT_EQ(Compose()->Bounds(state.color), state.at);
    }
}

// Found by the message fuzz test: an icon drawn INT_MIN pixels wide or high
// ended the process inside Wine's DrawIconEx. It is drawn -INT_MAX wide
// instead; the getters still answer what was set.
TEST_F(ButtonPaint, AnIconSizeOfIntMinIsDrawnAsMinusIntMax) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    Send(RRBM_LOADIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>("ICON2"));
    Send(RRBM_SETIMAGEPOS, 0, 0);
    const int sizes[][4] = {  // width and height set, then drawn
        {kMin, 16, -kMax, 16}, {16, kMin, 16, -kMax}, {kMin, kMin, -kMax, -kMax}, {kMin, 0, -kMax, 0}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(::testing::Message() << size[0] << " x " << size[1]);
        Send(RRBM_SETIMAGESIZE, static_cast<WPARAM>(size[2]), size[3]);
        const auto drawn = Compose();
        Send(RRBM_SETIMAGESIZE, static_cast<WPARAM>(size[0]), size[1]);
        Send(RRBM_REDRAW);
        EXPECT_TRUE(Compose()->SameAs(*drawn));
        EXPECT_EQ(Send(RRBM_GETIMAGEWIDTH), size[0]);
        EXPECT_EQ(Send(RRBM_GETIMAGEHEIGHT), size[1]);
    }
}

TEST_F(ButtonPaint, ParentHearsTheLookBeforeAnyRingAndMayDestroyTheButtonThen) {
    Picture picture(kWidth, kHeight, kMarker);
    std::vector<ReceivedMessage> heard;
    std::vector<COLORREF> edges;
    bool destroy = false;
    WindowSpy parentSpy(parent_.Handle(), [&](UINT message, WPARAM wParam, LPARAM lParam) {
        if (message >= RRBN_RAISED && message <= RRBN_FLAT) {
            heard.push_back({message, wParam, lParam, ""});
            edges.insert(edges.end(), {picture.Pixel(0, kMidY), picture.Pixel(kRight, kMidY)});
            if (destroy) {
                DestroyWindow(reinterpret_cast<HWND>(wParam));
            }
        }
    });
    const struct {
        int drawState, isDefault, fixedLook;
        UINT expected;  // 0: nothing
    } cases[] = {{0, 1, 0, RRBN_RAISED}, {0, 1, 1, 0}, {1, 0, 0, RRBN_RAISED},
                 {2, 0, 0, RRBN_SUNKEN}, {0, 0, 0, RRBN_FLAT}};
    for (const auto& look : cases) {
        SCOPED_TRACE(::testing::Message() << look.drawState << " " << look.isDefault << " " << look.fixedLook);
        heard.clear();
        edges.clear();
        Record().drawState = look.drawState;
        Record().isDefault = look.isDefault;
        Record().fixedLook = look.fixedLook;
        EXPECT_TRUE(rrb::DrawButtonPicture(button_, picture.Dc(), kWidth, kHeight));
        if (look.expected == 0) {
            EXPECT_TRUE(heard.empty());
            continue;
        }
        EXPECT_EQ(heard, (std::vector<ReceivedMessage>{{look.expected, WPARAM(button_), 1001, ""}}));
        // The face fill is done, no ring yet.
        EXPECT_EQ(edges, std::vector<COLORREF>(2, GetSysColor(COLOR_BTNFACE)));
    }
    heard.clear();
    Send(RRBM_REDRAW);
    EXPECT_EQ(heard.size(), 1u);  // one paint, one notification

    const long atStart = LiveGdiObjects();
    destroy = true;
    EXPECT_FALSE(rrb::DrawButtonPicture(button_, picture.Dc(), kWidth, kHeight));
    EXPECT_FALSE(IsWindow(button_));
    EXPECT_EQ(picture.Pixel(0, kMidY), GetSysColor(COLOR_BTNFACE));  // no ring after the notification
    EXPECT_EQ(LiveGdiObjects(), atStart - 2);  // the button's region and brush
}

TEST_F(ButtonPaint, RedrawAskedForDuringAPaintWaitsForTheNextTurn) {
    constexpr COLORREF kNewFace = RGB(10, 200, 30);
    int flats = 0;
    int loopTurns = 0;
    WindowSpy parentSpy(parent_.Handle(), [&](UINT message, WPARAM, LPARAM) {
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

TEST_F(ButtonPaint, CaptionIsDrawnFromItsFirst1023Characters) {
    // A long first line that leaves the button, and a second one that shows
    // only where it lies within the first 1023 characters.
    SetWindowPos(button_, nullptr, 0, 0, kWidth, 40, SWP_NOMOVE | SWP_NOZORDER);
    Send(RRBM_SETTEXTFORMAT, DT_LEFT | DT_TOP);
    auto pictureOf = [this](const std::string& text) {
        SetWindowTextA(button_, text.c_str());
        return Compose();
    };
    const std::string beyondTheLimit = std::string(1022, '.') + "\n";
    EXPECT_TRUE(pictureOf(beyondTheLimit + "WWW")->SameAs(*pictureOf(beyondTheLimit)));
    const std::string withinTheLimit = std::string(1021, '.') + "\n";
    EXPECT_FALSE(pictureOf(withinTheLimit + "WWW")->SameAs(*pictureOf(withinTheLimit)));
}

// Found by the message fuzz test: Wine's DrawText ends the process on an
// assertion for some captions that do not fit when the path ellipsis comes
// with the end or word ellipsis (format 0xC31C). Such a caption is drawn with
// the other ellipsis alone.
TEST_F(ButtonPaint, PathEllipsisWithAnotherEllipsisDrawsAsTheOtherAlone) {
    const UINT layouts[] = {DT_SINGLELINE | DT_VCENTER | DT_CENTER, DT_WORDBREAK | DT_VCENTER | DT_BOTTOM | DT_NOCLIP,
                            DT_LEFT | DT_TOP | DT_EXPANDTABS};
    for (const char* caption : {"Fuzzed", "Fuzzed link", "C:\\Music\\Artist\\Album\\Track.mp3", "A\tB C&D\r\nE"}) {
        SetWindowTextA(button_, caption);
        for (int width : {1, 6, 14, 30, 75}) {
            SetWindowPos(button_, nullptr, 0, 0, width, kHeight, SWP_NOMOVE | SWP_NOZORDER);
            for (UINT other : {DT_END_ELLIPSIS, DT_WORD_ELLIPSIS, DT_END_ELLIPSIS | DT_WORD_ELLIPSIS}) {
                for (UINT layout : layouts) {
                    SCOPED_TRACE(::testing::Message() << '"' << caption << "\" width " << width << " format 0x"
                                                      << std::hex << (layout | other));
                    Send(RRBM_SETTEXTFORMAT, layout | other | DT_PATH_ELLIPSIS);
                    const auto combined = Compose();
                    Send(RRBM_SETTEXTFORMAT, layout | other);
                    EXPECT_TRUE(Compose()->SameAs(*combined));
                }
            }
        }
    }
}

}  // namespace
