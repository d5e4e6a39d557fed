// A live round-rect button under tens of thousands of random messages of every
// kind it handles: its private messages WM_USER + 1 to + 147 (the gaps
// included), BM_SETIMAGE, mouse, keys, focus, timer, size, enabling, system
// colours, fonts, dialog codes, commands and notifications, with random values
// but valid pointers wherever a message carries one; real focus changes,
// resizes, pointer moves and paints of every kind, with the queue pumped so
// that timers and posted messages run. The parent reacts from inside the
// button's handling: it changes settings and repaints during paints, and now
// and then destroys the button, which is then made anew.
//
// After every step the drawing objects alive are exactly those the live
// buttons' records own, and a destroyed button left its freed record alone; at
// the end nothing the buttons made is left and everything the test handed them
// survives. The seed is printed: VORLANE_FUZZ_SEED=<seed> repeats a run (timers
// and the real pointer still vary a little), VORLANE_FUZZ_TRACE=1 prints every
// step as it is taken (to find the last one before a crash).
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "rrbutton/gdi_objects.h"
#include "tests/rrbutton/button_test_support.h"
#include "tests/rrbutton/rrbutton_test_resources.h"
#include "tests/support/temp_folder.h"

using rrb::gdi::LiveGdiObjects;

namespace {

constexpr int kSteps = 30000;  // about 5 s under Wine; the run prints its time
constexpr POINT kFarAway = {1000, 740};  // outside the shared test window

// splitmix64: small and the same everywhere, so a seed repeats a run.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint32_t Below(std::size_t bound) { return static_cast<std::uint32_t>(Next() % bound); }
    int Between(int low, int high) { return low + static_cast<int>(Below(static_cast<std::size_t>(high - low + 1))); }
    bool Chance(int perMille) { return Below(1000) < static_cast<std::uint32_t>(perMille); }
    template <typename T>
    T Pick(std::initializer_list<T> items) {
        return items.begin()[Below(items.size())];
    }
    // A wParam or lParam: mostly small, often at an edge, sometimes anything.
    std::uintptr_t Value() {
        switch (Below(4)) {
        case 0: return static_cast<std::uintptr_t>(Between(-20, 300));
        case 1:
            return Pick<std::uintptr_t>({0, 1, 2, 3, 0x7F, 0xFF, 0x7FFF, 0x8000, 0xFFFF, 0x10000, 0x7FFFFFFF,
                                         0x80000000, 0xFFFFFFFE, 0xFFFFFFFF});
        case 2: return Below(0x10000);
        default: return static_cast<std::uintptr_t>(Next());
        }
    }
    // The repaint flag of a setter: mostly 0, so that not every setter paints.
    LPARAM RedrawFlag() { return Chance(100) ? static_cast<LPARAM>(Value()) : 0; }

private:
    std::uint64_t state_;
};

std::uint64_t FuzzSeed() {
    if (const char* text = std::getenv("VORLANE_FUZZ_SEED"); text && *text) {
        return std::strtoull(text, nullptr, 0);
    }
    LARGE_INTEGER now = {};
    QueryPerformanceCounter(&now);
    return static_cast<std::uint64_t>(now.QuadPart) ^ (static_cast<std::uint64_t>(GetCurrentProcessId()) << 40);
}

// Drawing objects a record owns; between messages a button holds no others
// (pens, buffers and device contexts live only inside a paint).
long OwnedObjects(HWND button) {
    const RRButtonRecord* record = RecordOf(button);
    if (!record) {
        return 0;
    }
    long count = 0;
    for (HANDLE object : {HANDLE(record->hFaceBrush), HANDLE(record->palette), HANDLE(record->hLinkFont),
                          HANDLE(record->hRegion), record->imageShared ? nullptr : record->hImage, record->hHotImage,
                          record->hPressedImage, record->hDisabledImage}) {
        count += object != nullptr;
    }
    return count;
}

class ButtonMessageFuzz : public ::testing::Test {
protected:
    void SetUp() override {
        std::printf("message fuzz seed %" PRIu64 " (repeat with VORLANE_FUZZ_SEED=%" PRIu64 ")\n", seed_, seed_);
        std::fflush(stdout);
        SetCursorPos(kFarAway.x, kFarAway.y);
        const std::string icon = folder_.PathOf("icon.ico"), bitmap = folder_.PathOf("picture.bmp");
        ASSERT_TRUE(WriteIconFile(icon) && WriteBitmapFile(bitmap));
        names_ = {"ICON1", "ICON2", "ICON3", "#101", "#0", "#99999", "", icon, bitmap, folder_.PathOf("missing.ico"),
                  folder_.Path() + ".", ".", "..", "a.b.c", "no such icon", "ICON2.", std::string(39, 'N'),
                  std::string(40, 'N'), std::string(45, 'X') + ".ico"};
        // Random names of up to 300 bytes; a dot makes them files that fail to load.
        static constexpr char kCharacters[] =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 ._-#\\/:*?\"<>|%~\x80\xA0\xE9\xFF";
        for (int name = 0; name < 40; ++name) {
            std::string text(static_cast<size_t>(random_.Between(0, 300)), ' ');
            for (char& c : text) {
                c = kCharacters[random_.Below(sizeof kCharacters - 1)];
            }
            names_.push_back(text);
        }
        for (int weight : {FW_NORMAL, FW_BOLD, FW_THIN}) {
            fonts_.push_back(CreateFontA(-11 - weight / 200, 0, 0, 0, weight, weight == FW_THIN, 0, 0, ANSI_CHARSET, 0,
                                         0, 0, 0, "Arial"));
        }
        const BYTE masks[32 * 4] = {};
        cursor_ = CreateCursor(GetModuleHandleA(nullptr), 3, 3, 32, 32, masks, masks);
        icons_ = {LoadImageA(nullptr, icon.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE),
                  LoadImageA(GetModuleHandleA(nullptr), "ICON1", IMAGE_ICON, 32, 32, 0), cursor_};
        bitmaps_ = {LoadImageA(nullptr, bitmap.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE),
                    CreateBitmap(24, 8, 1, 1, nullptr)};
        for (HANDLE handed : {HANDLE(fonts_[0]), HANDLE(fonts_[1]), HANDLE(fonts_[2]), icons_[0], icons_[1], icons_[2],
                              bitmaps_[0], bitmaps_[1]}) {
            ASSERT_NE(handed, nullptr);
        }

        liveBeforeButtons_ = LiveGdiObjects();
        parent_ = std::make_unique<TestParent>();
        other_ = CreateWindowExA(0, "BUTTON", "Other", kButtonStyle, 10, 150, 75, 23, parent_->Handle(), HMENU(1003),
                                 nullptr, nullptr);
        neighbour_ = CreateRRButton(parent_->Handle(), 1002, "Passive", 100, 150, 75, 23, kButtonStyle, 0, FALSE);
        SendMessageA(neighbour_, RRBM_SETFIXEDLOOK, 1, 1);
        parentSpy_ = std::make_unique<WindowSpy>(parent_->Handle(), [this](UINT message, WPARAM wParam, LPARAM lParam) {
            OnParentMessage(message, wParam, lParam);
        });
        MakeButton();
        UpdateWindow(parent_->Handle());
        PumpMessages();
        ASSERT_EQ(LiveGdiObjects(), liveBeforeButtons_ + OwnedByButtons());
    }

    void TearDown() override {
        ReleaseCapture();
        SetCursorPos(kFarAway.x, kFarAway.y);
        parentSpy_.reset();
        parent_.reset();  // destroys whatever is still in it
        PumpMessages();
        // Everything the test handed the buttons is still the test's and alive.
        for (HFONT font : fonts_) {
            EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT)) << "a caller's font was deleted";
            DeleteObject(font);
        }
        for (HANDLE icon : icons_) {
            EXPECT_TRUE(IsIcon(icon)) << "a caller's icon or cursor was destroyed";
            icon == cursor_ ? DestroyCursor(HCURSOR(icon)) : DestroyIcon(HICON(icon));
        }
        for (HANDLE bitmap : bitmaps_) {
            EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP)) << "a caller's bitmap was deleted";
            DeleteObject(bitmap);
        }
    }

    void MakeButton() {
        ++buttonsMade_;
        HWND parent = parent_->Handle();
        switch (random_.Below(3)) {
        case 0: button_ = CreateRRButton(parent, 1001, "Fuzzed", 10, 10, 75, 23, kButtonStyle, 0, FALSE); break;
        case 1:
            button_ = MakeRRButton(parent, 1001, "Fuzzed", 10, 10, 75, 23, kButtonStyle, 0, "ICON2", "ICON3", FALSE);
            break;
        default:
            button_ = MakeRRButtonURL(parent, 1001, "Fuzzed link", 10, 10, 90, 23, kButtonStyle, 0, "ICON2", "ICON3",
                                      "ICON1", FALSE);
        }
        ASSERT_NE(button_, nullptr);
    }

    long OwnedByButtons() const { return OwnedObjects(button_) + OwnedObjects(neighbour_); }

    // Where a failure happened: the step, the seed and the last steps taken.
    std::string Where() const {
        std::string where = "step " + std::to_string(step_) + " (seed " + std::to_string(seed_) + "); last steps:\n";
        for (const std::string& line : recent_) {
            where += "  " + line + "\n";
        }
        return where;
    }

    void Note(const char* what, UINT message = 0, std::uintptr_t wParam = 0, std::uintptr_t lParam = 0) {
        char line[160];
        std::snprintf(line, sizeof line, "%d %s 0x%x 0x%lx 0x%lx", step_, what, message,
                      static_cast<unsigned long>(wParam), static_cast<unsigned long>(lParam));
        recent_.push_back(line);
        if (recent_.size() > 24) {
            recent_.pop_front();
        }
        if (trace_) {
            std::printf("%s\n", line);
            std::fflush(stdout);
        }
    }

    // Sends, or for messages that carry no pointer sometimes posts, to the fuzzed button.
    void Deliver(const char* what, UINT message, WPARAM wParam, LPARAM lParam, bool mayPost = true) {
        Note(what, message, wParam, static_cast<std::uintptr_t>(lParam));
        if (mayPost && random_.Chance(100)) {
            PostMessageA(button_, message, wParam, lParam);
        } else {
            SendMessageA(button_, message, wParam, lParam);
        }
    }

    void ResizeTo(int width, int height) {
        Note("SetWindowPos", 0, std::uintptr_t(width), std::uintptr_t(height));
        SetWindowPos(button_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    WPARAM ImageKind() {
        const std::uint32_t roll = random_.Below(100);
        return roll < 35 ? IMAGE_BITMAP : roll < 80 ? IMAGE_ICON : roll < 88 ? IMAGE_CURSOR : random_.Value();
    }

    // A name of the test's, an integer resource id, or null.
    LPARAM ImageName() {
        const std::uint32_t roll = random_.Below(100);
        if (roll < 20) {
            return roll < 10 ? 0 : LPARAM(MAKEINTRESOURCEA(roll < 15 ? TEST_ICON_ID : random_.Between(1, 0xFFFF)));
        }
        return LPARAM(names_[random_.Below(names_.size())].c_str());
    }

    HWND SomeWindow() {
        return random_.Pick<HWND>({nullptr, parent_->Handle(), other_, neighbour_, button_, HWND(random_.Value())});
    }

    void PrivateMessage(UINT message) {
        if (message >= RRBM_LOADIMAGE && message <= RRBM_LOADDISABLEDIMAGE) {
            const WPARAM kind = ImageKind();
            Deliver("load image", message, kind, ImageName(), false);
        } else if (message == RRBM_GETIMAGENAME) {
            // The characters of the stored name and nothing else: no
            // terminating zero, nothing past the 40 bytes.
            char buffer[kImageNameSize + 24];
            std::memset(buffer, 0x5A, sizeof buffer);
            const bool withBuffer = random_.Chance(900);
            Deliver("get image name", message, withBuffer ? WPARAM(buffer) : 0, LPARAM(random_.Value()), false);
            const char* stored = RecordOf(button_)->imageName;
            std::string expected(stored, withBuffer ? std::strlen(stored) : 0);
            ASSERT_LT(expected.size(), static_cast<size_t>(kImageNameSize));
            expected.resize(sizeof buffer, 0x5A);
            ASSERT_EQ(std::string(buffer, sizeof buffer), expected) << "the caller's buffer, " << Where();
        } else if (message == RRBM_SETCURSOR) {
            const WPARAM id = random_.Chance(700) ? 32512 + random_.Below(140) : random_.Value();  // IDC_ARROW and on
            const HCURSOR handle = random_.Pick<HCURSOR>({cursor_, LoadCursorA(nullptr, IDC_CROSS), nullptr, nullptr});
            Deliver("set cursor", message, id, LPARAM(handle), false);
        } else {
            Deliver("private", message, random_.Value(), random_.RedrawFlag());
        }
    }

    void SetImage() {
        const std::uint32_t roll = random_.Below(5);
        const HANDLE image = roll == 0 ? nullptr : roll < 3 ? icons_[random_.Below(3)] : bitmaps_[random_.Below(2)];
        const RRButtonRecord before = *RecordOf(button_);
        const WPARAM kind = ImageKind();
        Note("BM_SETIMAGE", BM_SETIMAGE, kind, std::uintptr_t(image));
        const auto previous = HANDLE(SendMessageA(button_, BM_SETIMAGE, kind, LPARAM(image)));
        ASSERT_EQ(previous, before.hImage) << Where();
        if (previous && !before.imageShared) {
            // The button's own image came back: the caller releases it, through
            // the wrappers that counted it when the button loaded it.
            EXPECT_TRUE(rrb::gdi::ReleaseImage(previous, UINT(before.imageKind))) << Where();
        }
    }

    void Paint() {
        switch (random_.Below(15)) {
        case 0: case 1: case 2:
            Note("InvalidateRect + UpdateWindow");
            InvalidateRect(button_, nullptr, random_.Chance(500));
            UpdateWindow(button_);
            return;
        case 3: case 4: case 5:
            Note("RedrawWindow");
            RedrawWindow(button_, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_UPDATENOW | (random_.Chance(500) ? RDW_ERASE : 0));
            return;
        case 6: case 7: case 8:
            Note("InvalidateRect");
            InvalidateRect(button_, nullptr, FALSE);  // painted at the next pump
            return;
        case 9:
            Note("parent repaint");
            RedrawWindow(parent_->Handle(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            return;
        case 10:
            Note("PrintWindow");
            PrintWindow(button_, printTarget_.Dc(), 0);
            return;
        case 11:
            Deliver("WM_PRINTCLIENT", WM_PRINTCLIENT, WPARAM(printTarget_.Dc()), PRF_CLIENT | PRF_ERASEBKGND, false);
            return;
        default: Deliver("RRBM_REDRAW", RRBM_REDRAW, random_.Value(), LPARAM(random_.Value())); return;
        }
    }

    void TakeStep() {
        // Kinds of step, by weight out of 1000. Steps that paint cost most under
        // Wine, which bounds how many of them a run can afford.
        enum Kind { Private, SetImg, Mouse, Key, Focus, Timer, Size, Enabling, SysColor, SystemFace, Font, DlgCode,
                    Command, Notify, Painting, Caption, Pointer, Remake };
        static constexpr int kWeights[] = {579, 40, 90, 75, 20, 15, 15, 10, 10, 1, 25, 30, 20, 15, 40, 10, 4, 1};
        int kind = 0;
        for (int roll = int(random_.Below(1000)); roll >= kWeights[kind]; ++kind) {
            roll -= kWeights[kind];
        }
        switch (Kind(kind)) {
        case Private: PrivateMessage(UINT(WM_USER + random_.Between(1, 147))); return;
        case SetImg: SetImage(); return;
        case Mouse: {
            const UINT message = random_.Pick<UINT>({WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK});
            const WPARAM keys = random_.Chance(800) ? random_.Below(0x80) : random_.Value();
            const LPARAM where = random_.Chance(800) ? MAKELPARAM(random_.Between(-20, 120), random_.Between(-20, 60))
                                                     : LPARAM(random_.Value());
            Deliver("mouse", message, keys, where);
            return;
        }
        case Key: {
            const std::uint32_t which = random_.Below(10);
            const WPARAM key = which < 7 ? random_.Pick<WPARAM>({VK_SPACE, VK_SPACE, VK_SPACE, VK_RETURN, VK_RETURN,
                                                                 VK_TAB, VK_SHIFT, VK_ESCAPE})
                                         : which < 9 ? random_.Below(256) : random_.Value();
            const LPARAM data = random_.Chance(800) ? random_.Pick<LPARAM>({0x00390001, 0x40390001, LPARAM(0xC0390001)})
                                                    : LPARAM(random_.Value());
            Deliver("key", random_.Chance(550) ? WM_KEYDOWN : WM_KEYUP, key, data);
            return;
        }
        case Focus:
            if (random_.Chance(500)) {
                Deliver("focus message", random_.Chance(500) ? WM_SETFOCUS : WM_KILLFOCUS, WPARAM(SomeWindow()),
                        LPARAM(random_.Value()));
            } else {
                HWND target = random_.Pick<HWND>({button_, button_, other_, neighbour_, parent_->Handle()});
                Note("SetFocus", 0, std::uintptr_t(target));
                SetFocus(target);
            }
            return;
        case Timer: Deliver("WM_TIMER", WM_TIMER, random_.Chance(500) ? 1001 : random_.Value(), 0); return;
        case Size:
            if (random_.Chance(400)) {
                Deliver("WM_SIZE", WM_SIZE, random_.Value(), LPARAM(random_.Value()));
            } else if (const std::uint32_t size = random_.Below(100); size < 20) {
                ResizeTo(size < 10 ? 0 : random_.Between(0, 3), size < 10 ? 0 : random_.Between(0, 3));
            } else if (size < 27) {
                // Very large: paints then compose pictures of megabytes, so the
                // button is made small again soon.
                size < 25 ? ResizeTo(random_.Between(600, 1600), random_.Between(300, 1000))
                          : ResizeTo(random_.Chance(500) ? 30000 : 5, random_.Chance(500) ? 30000 : 5);
                largeFor_ = 5;
            } else {
                ResizeTo(random_.Between(4, 160), random_.Between(4, 60));
            }
            return;
        case Enabling:
            if (random_.Chance(500)) {
                Deliver("WM_ENABLE", WM_ENABLE, random_.Value(), LPARAM(random_.Value()));
            } else {
                const BOOL enable = random_.Chance(700);
                Note("EnableWindow", 0, std::uintptr_t(enable));
                EnableWindow(button_, enable);
            }
            return;
        case SysColor:
            Deliver("WM_SYSCOLORCHANGE", WM_SYSCOLORCHANGE, random_.Value(), LPARAM(random_.Value()));
            return;
        case SystemFace: {
            // Black and white reset the button's colours; any other is followed at the next paint.
            const COLORREF face = random_.Pick<COLORREF>({RGB(255, 255, 255), RGB(0, 0, 0), RGB(200, 190, 180)});
            Note("SetSysColors", 0, face);
            systemColors_.Set(COLOR_BTNFACE, face);
            return;
        }
        case Font: {
            const HGDIOBJ font = random_.Pick<HGDIOBJ>({nullptr, fonts_[0], fonts_[1], fonts_[2],
                                                        GetStockObject(DEFAULT_GUI_FONT), GetStockObject(SYSTEM_FONT)});
            Deliver("WM_SETFONT", WM_SETFONT, WPARAM(font), random_.RedrawFlag());
            return;
        }
        case DlgCode: {
            const UINT message = random_.Chance(900)
                                     ? random_.Pick<UINT>({WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_SYSKEYDOWN})
                                     : UINT(random_.Value());
            const WPARAM key = random_.Chance(700) ? random_.Pick<WPARAM>({VK_RETURN, VK_SPACE}) : random_.Value();
            MSG queued = {button_, message, key, LPARAM(random_.Value()), 0, {}};
            Deliver("WM_GETDLGCODE", WM_GETDLGCODE, random_.Value(), random_.Chance(300) ? 0 : LPARAM(&queued), false);
            return;
        }
        case Command:
            Deliver("WM_COMMAND", WM_COMMAND, random_.Value(), LPARAM(random_.Chance(300) ? button_ : SomeWindow()));
            return;
        case Notify: {
            NMHDR header = {SomeWindow(), random_.Value(), UINT(random_.Value())};
            Deliver("WM_NOTIFY", WM_NOTIFY, random_.Value(), LPARAM(&header), false);
            return;
        }
        case Painting: Paint(); return;
        case Caption: {
            // The program's own text: any length, tabs, line breaks, prefix characters.
            static const std::string kCaptions[] = {"", "&Fuzzed", "A\tB\tC&&D", "one\r\ntwo\nthree",
                                                    std::string(1500, 'W'), "C:\\Music\\Track.mp3"};
            const std::string& caption = random_.Chance(500) ? kCaptions[random_.Below(std::size(kCaptions))]
                                                             : names_[random_.Below(names_.size())];
            Note("SetWindowText", WM_SETTEXT, caption.size());
            SetWindowTextA(button_, caption.c_str());
            return;
        }
        case Pointer: {
            // Over the button, beside it or far away: the button decides from where it really is.
            RECT window = {};
            GetWindowRect(button_, &window);
            const POINT beside = {window.left + random_.Between(-10, 90), window.top + random_.Between(-10, 30)};
            const POINT to = random_.Pick<POINT>(
                {{(window.left + window.right) / 2, (window.top + window.bottom) / 2}, beside, kFarAway});
            Note("SetCursorPos", 0, std::uintptr_t(to.x), std::uintptr_t(to.y));
            SetCursorPos(to.x, to.y);
            return;
        }
        case Remake:
            Note("destroy and make anew");
            DestroyWindow(button_);
            return;
        }
    }

    // What a parent may do in its handler of something the button sent:
    // change its settings, ask for a repaint, run a message loop.
    void ReactInHandler() {
        switch (random_.Below(10)) {
        case 0: case 1:
            Deliver("parent: face colour", RRBM_SETFACECOLOR, random_.Next() & 0xFFFFFF, random_.Chance(500), false);
            return;
        case 2: Deliver("parent: RRBM_REDRAW", RRBM_REDRAW, 0, 0, false); return;
        case 3: Deliver("parent: text colour", RRBM_SETTEXTCOLOR, random_.Next() & 0xFFFFFF, 1, false); return;
        case 4:
            Note("parent: InvalidateRect + UpdateWindow");
            InvalidateRect(button_, nullptr, TRUE);
            UpdateWindow(button_);
            return;
        case 5: {
            const WPARAM kind = ImageKind();
            Deliver("parent: load image", RRBM_LOADIMAGE + random_.Below(4), kind, ImageName(), false);
            return;
        }
        case 6: Deliver("parent: font", WM_SETFONT, WPARAM(fonts_[random_.Below(3)]), 1, false); return;
        case 7: ResizeTo(random_.Between(0, 120), random_.Between(0, 40)); return;
        case 8: Deliver("parent: corner", RRBM_SETCORNER, random_.Value(), random_.RedrawFlag(), false); return;
        default: {
            Note("parent: message loop");  // a message box's, say
            MSG queued;
            for (int turn = 0; turn < 20 && PeekMessageA(&queued, nullptr, 0, 0, PM_REMOVE); ++turn) {
                TranslateMessage(&queued);
                DispatchMessageA(&queued);
            }
        }
        }
    }

    void OnParentMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        const bool frameNotification = message >= RRBN_RAISED && message <= RRBN_FLAT && wParam == WPARAM(button_);
        const bool command = message == WM_COMMAND && lParam == LPARAM(button_);
        if (!(frameNotification || command || message == WM_NOTIFY) || reacting_ || !RecordOf(button_)) {
            return;
        }
        reacting_ = true;
        paintNotifications_ += frameNotification;
        if (random_.Chance(frameNotification ? 3 : 10)) {
            // From inside the button's handling, which goes on after the button is gone.
            Note("parent destroys the button");
            ++destroyedByParent_;
            traps_.push_back(std::make_unique<FreedRecordTrap>());
            traps_.back()->DestroyButton(button_);
        } else if (random_.Chance(frameNotification ? 40 : command ? 30 : 0)) {
            ReactInHandler();
        }
        reacting_ = false;
    }

    const std::uint64_t seed_ = FuzzSeed();
    Random random_{seed_};
    const bool trace_ = std::getenv("VORLANE_FUZZ_TRACE") && std::strcmp(std::getenv("VORLANE_FUZZ_TRACE"), "1") == 0;
    int step_ = 0;
    std::deque<std::string> recent_;  // the last steps, for the report of a failure

    TempFolder folder_;
    std::vector<std::string> names_;  // image names, and captions
    std::vector<HFONT> fonts_;
    std::vector<HANDLE> icons_;    // icons and a cursor of the test's, for BM_SETIMAGE
    std::vector<HANDLE> bitmaps_;  // bitmaps of the test's, for BM_SETIMAGE
    HCURSOR cursor_ = nullptr;
    Picture printTarget_{120, 60, RGB(0, 0, 0)};
    SystemColors systemColors_;

    long liveBeforeButtons_ = 0;
    std::unique_ptr<TestParent> parent_;
    std::unique_ptr<WindowSpy> parentSpy_;
    HWND button_ = nullptr;
    HWND neighbour_ = nullptr;  // a passive round-rect button the focus may pass over
    HWND other_ = nullptr;      // a system button that takes the focus
    int largeFor_ = 0;          // steps left before a very large button is made small again
    bool reacting_ = false;
    std::vector<std::unique_ptr<FreedRecordTrap>> traps_;
    int buttonsMade_ = 0;
    int destroyedByParent_ = 0;
    int paintNotifications_ = 0;
};

TEST_F(ButtonMessageFuzz, LivesThroughRandomMessagesAndLeavesNothingBehind) {
    const DWORD start = GetTickCount();
    for (step_ = 0; step_ < kSteps; ++step_) {
        TakeStep();
        if (step_ % 24 == 0) {
            Note("pump");
            PumpMessages();
            parentSpy_->Clear();
        }
        if (largeFor_ > 0 && --largeFor_ == 0 && IsWindow(button_)) {
            ResizeTo(75, 23);
        }
        if (!IsWindow(button_)) {
            PumpMessages();
            for (const auto& trap : traps_) {
                ASSERT_TRUE(trap->NothingWritten()) << Where();
            }
            traps_.clear();
            ASSERT_EQ(LiveGdiObjects(), liveBeforeButtons_ + OwnedByButtons())
                << "a destroyed button left drawing objects behind, " << Where();
            MakeButton();
        }
        ASSERT_EQ(LiveGdiObjects(), liveBeforeButtons_ + OwnedByButtons())
            << "the drawing objects alive are not those the buttons own, " << Where();
        if (HasFatalFailure()) {
            return;
        }
    }
    PumpMessages();
    std::printf("%d steps in %lu ms: %d buttons made, %d destroyed by the parent, %d paint notifications\n", kSteps,
                static_cast<unsigned long>(GetTickCount() - start), buttonsMade_, destroyedByParent_,
                paintNotifications_);
    EXPECT_GT(paintNotifications_, kSteps / 60) << "the buttons were hardly ever painted";
    DestroyWindow(button_);
    DestroyWindow(neighbour_);
    EXPECT_EQ(LiveGdiObjects(), liveBeforeButtons_) << "seed " << seed_;
}

}  // namespace
