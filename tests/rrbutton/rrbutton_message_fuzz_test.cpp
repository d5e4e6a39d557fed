// A live round-rect button under tens of thousands of random messages of
// every kind it handles: its private messages WM_USER + 1 to + 147 (the gaps
// included), BM_SETIMAGE, mouse, keys, focus, timer, size, enabling, system
// colours, fonts, dialog codes, commands and notifications, with random
// values but valid pointers wherever a message carries one; real focus
// changes, resizes, enabling and pointer moves; paints of every kind; and the
// thread's queue pumped so that timers and posted messages run. The parent
// reacts to what the button tells it from inside the button's own handling:
// it changes settings and repaints during paints, and now and then destroys
// the button, which is then made anew.
//
// After every step the drawing objects alive are exactly those the live
// buttons' records own (the program's GDI wrappers count them), a destroyed
// button left its freed record alone, and at the end, with the buttons gone,
// nothing they made is left while everything the test handed them survives.
//
// The messages come from a seeded generator. The seed is printed; run with
// VORLANE_FUZZ_SEED=<seed> to repeat a sequence (timers and the real pointer
// still vary a little between runs), and with VORLANE_FUZZ_TRACE=1 to print
// every step as it is taken (to find the last one before a crash).
#include <gtest/gtest.h>

#include <array>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton.h"
#include "rrbutton/rrbutton_record.h"
#include "tests/rrbutton/button_picture.h"
#include "tests/rrbutton/button_test_support.h"
#include "tests/rrbutton/rrbutton_test_resources.h"
#include "tests/support/temp_folder.h"

using rrb::gdi::LiveGdiObjects;

namespace {

// About 5 s under Wine on a quiet build machine, up to 10 s on a busy one;
// the run prints its time.
constexpr int kSteps = 30000;
constexpr int kPumpEvery = 24;
constexpr int kFuzzedId = 1001;
constexpr int kNeighbourId = 1002;
constexpr int kOtherId = 1003;
constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr int kGuardBytes = 24;
constexpr unsigned char kGuardFill = 0x5A;
constexpr POINT kFarAway = {1000, 740};  // outside the shared test window
constexpr int kLargeSizeSteps = 5;      // a very large button is made small again after this many steps

// splitmix64: small, fast and the same everywhere, so a seed repeats a run.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint32_t Below(std::uint32_t bound) { return bound ? static_cast<std::uint32_t>(Next() % bound) : 0; }
    int Between(int low, int high) { return low + static_cast<int>(Below(static_cast<std::uint32_t>(high - low + 1))); }
    bool PerMille(std::uint32_t chance) { return Below(1000) < chance; }
    template <typename T, std::size_t N>
    const T& Pick(const std::array<T, N>& items) {
        return items[Below(N)];
    }
    // A wParam or lParam: mostly small, often at an edge, sometimes anything.
    std::uintptr_t Value() {
        static constexpr std::array<std::uint32_t, 14> kEdges = {
            0, 1, 2, 3, 0x7F, 0xFF, 0x7FFF, 0x8000, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFE, 0xFFFFFFFF};
        switch (Below(4)) {
        case 0: return static_cast<std::uintptr_t>(Between(-20, 300));
        case 1: return Pick(kEdges);
        case 2: return static_cast<std::uintptr_t>(Below(0x10000));
        default: return static_cast<std::uintptr_t>(Next());
        }
    }
    // The repaint flag of a setter: mostly 0, so that not every setter paints.
    LPARAM RedrawFlag() { return PerMille(100) ? static_cast<LPARAM>(Value()) : 0; }

private:
    std::uint64_t state_;
};

std::uint64_t FuzzSeed() {
    const char* text = std::getenv("VORLANE_FUZZ_SEED");
    if (text && *text) {
        return std::strtoull(text, nullptr, 0);
    }
    LARGE_INTEGER now = {};
    QueryPerformanceCounter(&now);
    return static_cast<std::uint64_t>(now.QuadPart) ^ (static_cast<std::uint64_t>(GetCurrentProcessId()) << 40);
}

bool TraceWanted() {
    const char* text = std::getenv("VORLANE_FUZZ_TRACE");
    return text && std::strcmp(text, "1") == 0;
}

// Drawing objects the record says the button owns; between messages the
// button holds no others (pens, buffers and device contexts live only
// inside a paint).
long OwnedObjects(const RRButtonRecord& record) {
    const HANDLE owned[] = {record.hFaceBrush,
                            record.palette,
                            record.hLinkFont,
                            record.hRegion,
                            record.imageShared ? nullptr : record.hImage,
                            record.hHotImage,
                            record.hPressedImage,
                            record.hDisabledImage};
    long count = 0;
    for (HANDLE object : owned) {
        count += object != nullptr ? 1 : 0;
    }
    return count;
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

// One step as taken, for the report of a failure.
struct Step {
    int index;
    const char* what;
    UINT message;
    std::uintptr_t wParam;
    std::uintptr_t lParam;
};

class ButtonMessageFuzz : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // ---- What the test owns and hands to the button ---------------------------
    void MakeImageNames();
    void MakeHandedObjects();
    void ReleaseHandedObjects();

    // ---- Buttons ----------------------------------------------------------------
    HWND MakeFuzzedButton();
    long OwnedByButtons() const;
    ::testing::AssertionResult OwnershipHolds() const;
    ::testing::AssertionResult FreedRecordsUntouched();
    void DestroyFuzzedButton();

    // ---- Steps --------------------------------------------------------------------
    void TakeStep();
    void PrivateMessage();
    void SetImage();
    void GetImageName();
    void MouseMessage();
    void KeyMessage();
    void FocusChange();
    void SizeChange();
    void Paint();
    void Enable();
    void SystemFaceChange();
    void SetFont();
    void GetDlgCode();
    void SetCaption();
    void MovePointer();
    void ResizeTo(int width, int height);
    void Deliver(const char* what, UINT message, WPARAM wParam, LPARAM lParam, bool mayPost = true);
    WPARAM ImageKind();
    LPARAM ImageName();
    HWND SomeWindow();
    void Note(const char* what, UINT message, std::uintptr_t wParam, std::uintptr_t lParam);
    std::string RecentSteps() const;

    // ---- The parent -----------------------------------------------------------------
    void OnParentMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void ReactInHandler();

    std::uint64_t seed_ = FuzzSeed();
    Random random_{seed_};
    bool trace_ = TraceWanted();
    int stepIndex_ = 0;
    std::array<Step, 24> recent_{};
    int recentCount_ = 0;

    TempFolder folder_;
    std::vector<std::string> imageNames_;
    std::vector<HFONT> fonts_;
    std::vector<HANDLE> icons_;    // icons and cursors the test made, for BM_SETIMAGE
    std::vector<HANDLE> bitmaps_;  // bitmaps the test made, for BM_SETIMAGE
    HCURSOR ownCursor_ = nullptr;
    HDC printDc_ = nullptr;
    HBITMAP printBitmap_ = nullptr;
    HGDIOBJ printKept_ = nullptr;
    COLORREF systemFace_ = 0;

    long liveBeforeButtons_ = 0;
    long liveBesideButtons_ = 0;  // objects alive that no button owns
    std::unique_ptr<TestParent> parent_;
    std::unique_ptr<ParentHandler> parentHandler_;
    HWND button_ = nullptr;
    HWND neighbour_ = nullptr;  // a passive round-rect button the focus may pass over
    HWND other_ = nullptr;      // a system button that takes the focus
    int largeFor_ = 0;          // steps left before a very large button is made small again
    bool reacting_ = false;
    std::vector<std::unique_ptr<FreedRecordTrap>> traps_;
    int buttonsMade_ = 0;
    int buttonsDestroyedByParent_ = 0;
    int paintNotifications_ = 0;
};

void ButtonMessageFuzz::SetUp() {
    std::printf("message fuzz seed %" PRIu64 " (repeat with VORLANE_FUZZ_SEED=%" PRIu64 ")\n", seed_, seed_);
    std::fflush(stdout);
    ASSERT_FALSE(folder_.Path().empty());
    systemFace_ = GetSysColor(COLOR_BTNFACE);
    SetCursorPos(kFarAway.x, kFarAway.y);
    MakeImageNames();
    MakeHandedObjects();
    if (HasFatalFailure()) {
        return;
    }

    liveBeforeButtons_ = LiveGdiObjects();
    parent_ = std::make_unique<TestParent>();
    other_ = CreateWindowExA(0, "BUTTON", "Other", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 150, 75, 23,
                             parent_->Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOtherId)),
                             GetModuleHandleA(nullptr), nullptr);
    neighbour_ = CreateRRButton(parent_->Handle(), kNeighbourId, "Passive", 100, 150, 75, 23, kStyle, 0, FALSE);
    ASSERT_NE(neighbour_, nullptr);
    SendMessageA(neighbour_, RRBM_SETFIXEDLOOK, 1, 1);
    auto onParentMessage = [this](UINT message, WPARAM wParam, LPARAM lParam) {
        OnParentMessage(message, wParam, lParam);
    };
    parentHandler_ = std::make_unique<ParentHandler>(parent_->Handle(), onParentMessage);
    button_ = MakeFuzzedButton();
    ASSERT_NE(button_, nullptr);
    UpdateWindow(parent_->Handle());
    PumpMessages();
    liveBesideButtons_ = LiveGdiObjects() - OwnedByButtons();
    ASSERT_EQ(liveBesideButtons_, liveBeforeButtons_);
}

void ButtonMessageFuzz::TearDown() {
    ReleaseCapture();
    SetCursorPos(kFarAway.x, kFarAway.y);
    const INT element = COLOR_BTNFACE;
    SetSysColors(1, &element, &systemFace_);
    parentHandler_.reset();
    parent_.reset();  // destroys whatever is still in it
    PumpMessages();
    traps_.clear();
    ReleaseHandedObjects();
}

// ---- What the test owns and hands to the button ---------------------------------

void ButtonMessageFuzz::MakeImageNames() {
    const std::string iconPath = folder_.PathOf("icon.ico");
    const std::string bitmapPath = folder_.PathOf("picture.bmp");
    ASSERT_TRUE(WriteIconFile(iconPath));
    ASSERT_TRUE(WriteBitmapFile(bitmapPath));
    imageNames_ = {"ICON1",
                   "ICON2",
                   "ICON3",
                   "#101",
                   "#0",
                   "#99999",
                   "",
                   iconPath,
                   bitmapPath,
                   folder_.PathOf("missing.ico"),
                   folder_.Path() + ".",
                   ".",
                   "..",
                   "a.b.c",
                   "no such icon",
                   "ICON2.",
                   std::string(39, 'N'),
                   std::string(40, 'N'),
                   std::string(45, 'X') + ".ico"};
    // Random names, of any length up to 300 and any bytes but zero; a dot
    // makes them files that fail to load.
    static constexpr char kCharacters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 ._-#\\/:*?\"<>|%~\x80\xA0\xE9\xFF";
    for (int name = 0; name < 40; ++name) {
        std::string text(static_cast<size_t>(random_.Between(0, 300)), ' ');
        for (char& c : text) {
            c = kCharacters[random_.Below(sizeof kCharacters - 1)];
        }
        imageNames_.push_back(text);
    }
}

void ButtonMessageFuzz::MakeHandedObjects() {
    for (int weight : {FW_NORMAL, FW_BOLD, FW_THIN}) {
        HFONT font = CreateFontA(-11 - weight / 200, 0, 0, 0, weight, weight == FW_THIN, 0, 0, ANSI_CHARSET, 0, 0, 0, 0,
                                 "Arial");
        ASSERT_NE(font, nullptr);
        fonts_.push_back(font);
    }
    const std::string iconPath = folder_.PathOf("icon.ico");
    const std::string bitmapPath = folder_.PathOf("picture.bmp");
    HANDLE fileIcon = LoadImageA(nullptr, iconPath.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE);
    HANDLE resourceIcon = LoadImageA(GetModuleHandleA(nullptr), "ICON1", IMAGE_ICON, 32, 32, 0);
    HANDLE fileBitmap = LoadImageA(nullptr, bitmapPath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    const BYTE andMask[32 * 4] = {};
    const BYTE xorMask[32 * 4] = {};
    ownCursor_ = CreateCursor(GetModuleHandleA(nullptr), 3, 3, 32, 32, andMask, xorMask);
    HANDLE madeBitmap = CreateBitmap(24, 8, 1, 1, nullptr);
    ASSERT_NE(fileIcon, nullptr);
    ASSERT_NE(resourceIcon, nullptr);
    ASSERT_NE(fileBitmap, nullptr);
    ASSERT_NE(ownCursor_, nullptr);
    ASSERT_NE(madeBitmap, nullptr);
    icons_ = {fileIcon, resourceIcon, ownCursor_};
    bitmaps_ = {fileBitmap, madeBitmap};

    HDC screen = GetDC(nullptr);
    printDc_ = CreateCompatibleDC(screen);
    printBitmap_ = CreateCompatibleBitmap(screen, 120, 60);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(printDc_, nullptr);
    ASSERT_NE(printBitmap_, nullptr);
    printKept_ = SelectObject(printDc_, printBitmap_);
}

// Everything the test handed the button is still the test's and alive.
void ButtonMessageFuzz::ReleaseHandedObjects() {
    for (HFONT font : fonts_) {
        EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT)) << "a caller's font was deleted";
        DeleteObject(font);
    }
    for (HANDLE icon : icons_) {
        EXPECT_TRUE(IsIcon(icon)) << "a caller's icon or cursor was destroyed";
        if (icon == ownCursor_) {
            DestroyCursor(static_cast<HCURSOR>(icon));
        } else {
            DestroyIcon(static_cast<HICON>(icon));
        }
    }
    for (HANDLE bitmap : bitmaps_) {
        EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP)) << "a caller's bitmap was deleted";
        DeleteObject(bitmap);
    }
    if (printDc_) {
        SelectObject(printDc_, printKept_);
        DeleteObject(printBitmap_);
        DeleteDC(printDc_);
    }
    fonts_.clear();
    icons_.clear();
    bitmaps_.clear();
    printDc_ = nullptr;
}

// ---- Buttons ---------------------------------------------------------------------

HWND ButtonMessageFuzz::MakeFuzzedButton() {
    ++buttonsMade_;
    HWND parent = parent_->Handle();
    switch (random_.Below(3)) {
    case 0: return CreateRRButton(parent, kFuzzedId, "Fuzzed", 10, 10, 75, 23, kStyle, 0, FALSE);
    case 1: return MakeRRButton(parent, kFuzzedId, "Fuzzed", 10, 10, 75, 23, kStyle, 0, "ICON2", "ICON3", FALSE);
    default:
        return MakeRRButtonURL(parent, kFuzzedId, "Fuzzed link", 10, 10, 90, 23, kStyle, 0, "ICON2", "ICON3", "ICON1",
                               FALSE);
    }
}

long ButtonMessageFuzz::OwnedByButtons() const {
    long owned = 0;
    for (HWND button : {button_, neighbour_}) {
        if (const RRButtonRecord* record = RecordOf(button)) {
            owned += OwnedObjects(*record);
        }
    }
    return owned;
}

::testing::AssertionResult ButtonMessageFuzz::OwnershipHolds() const {
    const long live = LiveGdiObjects();
    const long expected = liveBesideButtons_ + OwnedByButtons();
    if (live == expected) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "after step " << stepIndex_ << " (seed " << seed_ << ") " << live
                                         << " drawing objects are alive, but the buttons own " << OwnedByButtons()
                                         << " and " << liveBesideButtons_ << " were alive beside them; last steps:\n"
                                         << RecentSteps();
}

::testing::AssertionResult ButtonMessageFuzz::FreedRecordsUntouched() {
    for (const auto& trap : traps_) {
        if (!trap->Untouched()) {
            return ::testing::AssertionFailure() << "a destroyed button wrote to its freed record, step " << stepIndex_
                                                 << " (seed " << seed_ << "); last steps:\n"
                                                 << RecentSteps();
        }
    }
    traps_.clear();
    return ::testing::AssertionSuccess();
}

// From inside the button's handling (the parent's handler of something the
// button sent): the handling goes on after the button is gone.
void ButtonMessageFuzz::DestroyFuzzedButton() {
    const void* record = RecordOf(button_);
    if (!record) {
        return;
    }
    Note("parent destroys the button", 0, 0, 0);
    ++buttonsDestroyedByParent_;
    DestroyWindow(button_);
    traps_.push_back(std::make_unique<FreedRecordTrap>());
    traps_.back()->Spring(record);
}

// ---- Steps ---------------------------------------------------------------------------

void ButtonMessageFuzz::Note(const char* what, UINT message, std::uintptr_t wParam, std::uintptr_t lParam) {
    recent_[static_cast<size_t>(recentCount_ % static_cast<int>(recent_.size()))] =
        Step{stepIndex_, what, message, wParam, lParam};
    ++recentCount_;
    if (trace_) {
        std::printf("%d %s 0x%x 0x%lx 0x%lx\n", stepIndex_, what, message, static_cast<unsigned long>(wParam),
                    static_cast<unsigned long>(lParam));
        std::fflush(stdout);
    }
}

std::string ButtonMessageFuzz::RecentSteps() const {
    std::string text;
    const int count = recentCount_ < static_cast<int>(recent_.size()) ? recentCount_ : static_cast<int>(recent_.size());
    for (int back = count; back > 0; --back) {
        const Step& step = recent_[static_cast<size_t>((recentCount_ - back) % static_cast<int>(recent_.size()))];
        char line[160];
        std::snprintf(line, sizeof line, "  %d %s message 0x%x wParam 0x%lx lParam 0x%lx\n", step.index, step.what,
                      step.message, static_cast<unsigned long>(step.wParam), static_cast<unsigned long>(step.lParam));
        text += line;
    }
    return text;
}

// Sends, or for messages that carry no pointer sometimes posts, to the fuzzed button.
void ButtonMessageFuzz::Deliver(const char* what, UINT message, WPARAM wParam, LPARAM lParam, bool mayPost) {
    Note(what, message, wParam, static_cast<std::uintptr_t>(lParam));
    if (mayPost && random_.PerMille(100)) {
        PostMessageA(button_, message, wParam, lParam);
    } else {
        SendMessageA(button_, message, wParam, lParam);
    }
}

WPARAM ButtonMessageFuzz::ImageKind() {
    const std::uint32_t roll = random_.Below(100);
    if (roll < 35) {
        return IMAGE_BITMAP;
    }
    if (roll < 80) {
        return IMAGE_ICON;
    }
    if (roll < 88) {
        return IMAGE_CURSOR;
    }
    return roll < 92 ? IMAGE_ENHMETAFILE : random_.Value();
}

// A name as the image loading messages take it: a string of the test's, an
// integer resource id, or null.
LPARAM ButtonMessageFuzz::ImageName() {
    const std::uint32_t roll = random_.Below(100);
    if (roll < 10) {
        return 0;
    }
    if (roll < 20) {
        const int id = random_.PerMille(500) ? TEST_ICON_ID : random_.Between(1, 0xFFFF);
        return reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(id));
    }
    return reinterpret_cast<LPARAM>(imageNames_[random_.Below(static_cast<std::uint32_t>(imageNames_.size()))].c_str());
}

HWND ButtonMessageFuzz::SomeWindow() {
    switch (random_.Below(6)) {
    case 0: return nullptr;
    case 1: return parent_->Handle();
    case 2: return other_;
    case 3: return neighbour_;
    case 4: return button_;
    default: return reinterpret_cast<HWND>(random_.Value());
    }
}

void ButtonMessageFuzz::PrivateMessage() {
    const UINT message = static_cast<UINT>(WM_USER + random_.Between(1, 147));
    switch (message) {
    case RRBM_LOADIMAGE:
    case RRBM_LOADHOTIMAGE:
    case RRBM_LOADPRESSEDIMAGE:
    case RRBM_LOADDISABLEDIMAGE: {
        const WPARAM kind = ImageKind();
        Deliver("load image", message, kind, ImageName(), false);
        return;
    }
    case RRBM_GETIMAGENAME:
        GetImageName();
        return;
    case RRBM_SETCURSOR: {
        static constexpr std::array<std::uint32_t, 17> kCursorIds = {
            32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642, 32643,
            32644, 32645, 32646, 32648, 32649, 32650, 32651, 0};
        WPARAM id = random_.PerMille(700) ? random_.Pick(kCursorIds) : random_.Value();
        LPARAM handle = 0;
        switch (random_.Below(4)) {
        case 0: handle = reinterpret_cast<LPARAM>(ownCursor_); break;
        case 1: handle = reinterpret_cast<LPARAM>(LoadCursorA(nullptr, IDC_CROSS)); break;
        default: break;
        }
        Deliver("set cursor", message, id, handle, false);
        return;
    }
    default:
        Deliver("private", message, random_.Value(), random_.RedrawFlag());
        return;
    }
}

void ButtonMessageFuzz::SetImage() {
    HANDLE image = nullptr;
    switch (random_.Below(5)) {
    case 0: break;
    case 1:
    case 2: image = icons_[random_.Below(static_cast<std::uint32_t>(icons_.size()))]; break;
    default: image = bitmaps_[random_.Below(static_cast<std::uint32_t>(bitmaps_.size()))]; break;
    }
    const RRButtonRecord before = *RecordOf(button_);
    const WPARAM kind = ImageKind();
    Note("BM_SETIMAGE", BM_SETIMAGE, kind, reinterpret_cast<std::uintptr_t>(image));
    const auto previous = reinterpret_cast<HANDLE>(
        SendMessageA(button_, BM_SETIMAGE, kind, reinterpret_cast<LPARAM>(image)));
    ASSERT_EQ(previous, before.hImage);
    if (previous && !before.imageShared) {
        // The button's own image came back: it is the caller's now, released
        // through the wrappers that counted it when the button loaded it.
        EXPECT_TRUE(rrb::gdi::ReleaseImage(previous, static_cast<UINT>(before.imageKind)))
            << "an image the button handed back was already gone";
    }
}

// The characters of the stored name and nothing else: no terminating zero,
// nothing past the 40 bytes.
void ButtonMessageFuzz::GetImageName() {
    std::array<char, kImageNameSize + kGuardBytes> buffer;
    std::memset(buffer.data(), kGuardFill, buffer.size());
    const bool withBuffer = random_.PerMille(900);
    Deliver("get image name", RRBM_GETIMAGENAME, withBuffer ? reinterpret_cast<WPARAM>(buffer.data()) : 0,
            static_cast<LPARAM>(random_.Value()), false);
    const RRButtonRecord* record = RecordOf(button_);
    ASSERT_NE(record, nullptr);
    const size_t length = withBuffer ? std::strlen(record->imageName) : 0;
    ASSERT_LT(length, static_cast<size_t>(kImageNameSize));
    EXPECT_EQ(std::memcmp(buffer.data(), record->imageName, length), 0);
    for (size_t i = length; i < buffer.size(); ++i) {
        ASSERT_EQ(static_cast<unsigned char>(buffer[i]), kGuardFill)
            << "byte " << i << " of the caller's buffer was written, step " << stepIndex_ << " (seed " << seed_ << ")";
    }
}

void ButtonMessageFuzz::MouseMessage() {
    static constexpr std::array<UINT, 4> kMessages = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK};
    const UINT message = random_.Pick(kMessages);
    const WPARAM keys = random_.PerMille(800) ? random_.Below(0x80) : random_.Value();
    const LPARAM where = random_.PerMille(800) ? MAKELPARAM(random_.Between(-20, 120), random_.Between(-20, 60))
                                               : static_cast<LPARAM>(random_.Value());
    Deliver("mouse", message, keys, where);
}

void ButtonMessageFuzz::KeyMessage() {
    static constexpr std::array<std::uint32_t, 8> kKeys = {VK_SPACE, VK_SPACE, VK_SPACE, VK_RETURN,
                                                           VK_RETURN, VK_TAB, VK_SHIFT, VK_ESCAPE};
    static constexpr std::array<std::uint32_t, 3> kKeyData = {0x00390001, 0x40390001, 0xC0390001};
    const UINT message = random_.PerMille(550) ? WM_KEYDOWN : WM_KEYUP;
    const std::uint32_t roll = random_.Below(10);
    const WPARAM key = roll < 7 ? random_.Pick(kKeys) : roll < 9 ? random_.Below(256) : random_.Value();
    const LPARAM data = static_cast<LPARAM>(random_.PerMille(800) ? random_.Pick(kKeyData) : random_.Value());
    Deliver("key", message, key, data);
}

void ButtonMessageFuzz::FocusChange() {
    if (random_.PerMille(500)) {
        const UINT message = random_.PerMille(500) ? WM_SETFOCUS : WM_KILLFOCUS;
        Deliver("focus message", message, reinterpret_cast<WPARAM>(SomeWindow()), static_cast<LPARAM>(random_.Value()));
        return;
    }
    static constexpr std::array<int, 5> kTargets = {0, 0, 1, 2, 3};
    HWND target = nullptr;
    switch (random_.Pick(kTargets)) {
    case 0: target = button_; break;
    case 1: target = other_; break;
    case 2: target = neighbour_; break;
    default: target = parent_->Handle(); break;
    }
    Note("SetFocus", 0, reinterpret_cast<std::uintptr_t>(target), 0);
    SetFocus(target);
}

void ButtonMessageFuzz::ResizeTo(int width, int height) {
    Note("SetWindowPos", 0, static_cast<std::uintptr_t>(width), static_cast<std::uintptr_t>(height));
    SetWindowPos(button_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ButtonMessageFuzz::SizeChange() {
    if (random_.PerMille(400)) {
        Deliver("WM_SIZE", WM_SIZE, random_.Value(), static_cast<LPARAM>(random_.Value()));
        return;
    }
    const std::uint32_t roll = random_.Below(100);
    if (roll < 10) {
        ResizeTo(0, 0);
    } else if (roll < 20) {
        ResizeTo(random_.Between(0, 3), random_.Between(0, 3));
    } else if (roll < 25) {
        // Very large: paints then compose pictures of megabytes, so the button
        // is made small again soon.
        ResizeTo(random_.Between(600, 1600), random_.Between(300, 1000));
        largeFor_ = kLargeSizeSteps;
    } else if (roll < 27) {
        ResizeTo(random_.PerMille(500) ? 30000 : 5, random_.PerMille(500) ? 30000 : 5);
        largeFor_ = kLargeSizeSteps;
    } else {
        ResizeTo(random_.Between(4, 160), random_.Between(4, 60));
    }
}

void ButtonMessageFuzz::Paint() {
    switch (random_.Below(15)) {
    case 0:
    case 1:
    case 2:
        Note("InvalidateRect + UpdateWindow", 0, 0, 0);
        InvalidateRect(button_, nullptr, random_.PerMille(500));
        UpdateWindow(button_);
        return;
    case 3:
    case 4:
    case 5:
        Note("RedrawWindow", 0, 0, 0);
        RedrawWindow(button_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_UPDATENOW | (random_.PerMille(500) ? RDW_ERASE : 0));
        return;
    case 6:
    case 7:
    case 8:
        Note("InvalidateRect", 0, 0, 0);
        InvalidateRect(button_, nullptr, FALSE);  // painted at the next pump
        return;
    case 9:
        Note("parent repaint", 0, 0, 0);
        RedrawWindow(parent_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return;
    case 10:
        Note("PrintWindow", 0, 0, 0);
        PrintWindow(button_, printDc_, 0);
        return;
    case 11:
        Deliver("WM_PRINTCLIENT", WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printDc_), PRF_CLIENT | PRF_ERASEBKGND,
                false);
        return;
    default:
        Deliver("RRBM_REDRAW", RRBM_REDRAW, random_.Value(), static_cast<LPARAM>(random_.Value()));
        return;
    }
}

void ButtonMessageFuzz::Enable() {
    if (random_.PerMille(500)) {
        Deliver("WM_ENABLE", WM_ENABLE, random_.Value(), static_cast<LPARAM>(random_.Value()));
        return;
    }
    const BOOL enable = random_.PerMille(700);
    Note("EnableWindow", 0, static_cast<std::uintptr_t>(enable), 0);
    EnableWindow(button_, enable);
}

// The face colour of the system changes: black and white reset the button's
// colours, any other is followed at the next paint.
void ButtonMessageFuzz::SystemFaceChange() {
    static constexpr std::array<COLORREF, 4> kFaces = {RGB(255, 255, 255), RGB(0, 0, 0), RGB(200, 190, 180),
                                                       CLR_INVALID};
    COLORREF face = random_.Pick(kFaces);
    face = face == CLR_INVALID ? systemFace_ : face;  // back to the original
    const INT element = COLOR_BTNFACE;
    Note("SetSysColors", 0, face, 0);
    SetSysColors(1, &element, &face);
}

void ButtonMessageFuzz::SetFont() {
    static constexpr std::array<int, 6> kFonts = {-1, 0, 1, 2, -2, -3};
    const int which = random_.Pick(kFonts);
    HGDIOBJ font = which >= 0    ? static_cast<HGDIOBJ>(fonts_[static_cast<size_t>(which)])
                   : which == -2 ? GetStockObject(DEFAULT_GUI_FONT)
                   : which == -3 ? GetStockObject(SYSTEM_FONT)
                                 : nullptr;
    Deliver("WM_SETFONT", WM_SETFONT, reinterpret_cast<WPARAM>(font), random_.RedrawFlag());
}

void ButtonMessageFuzz::GetDlgCode() {
    static constexpr std::array<UINT, 4> kQueued = {WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_SYSKEYDOWN};
    MSG queued = {};
    queued.hwnd = button_;
    queued.message = random_.PerMille(900) ? random_.Pick(kQueued) : static_cast<UINT>(random_.Value());
    queued.wParam = random_.PerMille(700) ? (random_.PerMille(500) ? VK_RETURN : VK_SPACE) : random_.Value();
    queued.lParam = static_cast<LPARAM>(random_.Value());
    const LPARAM pointer = random_.PerMille(300) ? 0 : reinterpret_cast<LPARAM>(&queued);
    Deliver("WM_GETDLGCODE", WM_GETDLGCODE, random_.Value(), pointer, false);
}

// The caption is the program's own text: any length, tabs, line breaks,
// prefix characters.
void ButtonMessageFuzz::SetCaption() {
    static const std::array<std::string, 6> kCaptions = {
        "", "&Fuzzed", "A\tB\tC&&D", "line one\r\nline two\nthree", std::string(1500, 'W'), "C:\\Music\\Track.mp3"};
    const std::string& caption = random_.PerMille(500)
                                     ? random_.Pick(kCaptions)
                                     : imageNames_[random_.Below(static_cast<std::uint32_t>(imageNames_.size()))];
    Note("SetWindowText", WM_SETTEXT, caption.size(), 0);
    SetWindowTextA(button_, caption.c_str());
}

// The real pointer over the button, beside it or far away: the button
// decides from where it really is.
void ButtonMessageFuzz::MovePointer() {
    RECT window = {};
    GetWindowRect(button_, &window);
    POINT to = kFarAway;
    switch (random_.Below(3)) {
    case 0: to = {(window.left + window.right) / 2, (window.top + window.bottom) / 2}; break;
    case 1: to = {window.left + random_.Between(-10, 90), window.top + random_.Between(-10, 30)}; break;
    default: break;
    }
    Note("SetCursorPos", 0, static_cast<std::uintptr_t>(to.x), static_cast<std::uintptr_t>(to.y));
    SetCursorPos(to.x, to.y);
}

void ButtonMessageFuzz::TakeStep() {
    // Kinds of step, by weight out of 1000. Steps that paint cost most under
    // Wine, which bounds how many of them a run can afford.
    enum Kind { Private, SetImg, Mouse, Key, Focus, Timer, Size, Enabling, SysColor, SystemFace, Font, DlgCode,
                Command, Notify, Painting, Caption, Pointer, Remake };
    static constexpr std::array<std::pair<Kind, int>, 18> kWeights = {{
        {Private, 579}, {SetImg, 40}, {Mouse, 90}, {Key, 75}, {Focus, 20}, {Timer, 15},
        {Size, 15}, {Enabling, 10}, {SysColor, 10}, {SystemFace, 1}, {Font, 25}, {DlgCode, 30},
        {Command, 20}, {Notify, 15}, {Painting, 40}, {Caption, 10}, {Pointer, 4}, {Remake, 1}}};
    int roll = static_cast<int>(random_.Below(1000));
    Kind kind = Private;
    for (const auto& [candidate, weight] : kWeights) {
        if (roll < weight) {
            kind = candidate;
            break;
        }
        roll -= weight;
    }
    switch (kind) {
    case Private: PrivateMessage(); return;
    case SetImg: SetImage(); return;
    case Mouse: MouseMessage(); return;
    case Key: KeyMessage(); return;
    case Focus: FocusChange(); return;
    case Timer: Deliver("WM_TIMER", WM_TIMER, random_.PerMille(500) ? kFuzzedId : random_.Value(), 0); return;
    case Size: SizeChange(); return;
    case Enabling: Enable(); return;
    case SysColor:
        Deliver("WM_SYSCOLORCHANGE", WM_SYSCOLORCHANGE, random_.Value(), static_cast<LPARAM>(random_.Value()));
        return;
    case SystemFace: SystemFaceChange(); return;
    case Font: SetFont(); return;
    case DlgCode: GetDlgCode(); return;
    case Command: {
        const LPARAM from =
            random_.PerMille(300) ? reinterpret_cast<LPARAM>(button_) : reinterpret_cast<LPARAM>(SomeWindow());
        Deliver("WM_COMMAND", WM_COMMAND, random_.Value(), from);
        return;
    }
    case Notify: {
        NMHDR header = {SomeWindow(), random_.Value(), static_cast<UINT>(random_.Value())};
        Deliver("WM_NOTIFY", WM_NOTIFY, random_.Value(), reinterpret_cast<LPARAM>(&header), false);
        return;
    }
    case Painting: Paint(); return;
    case Caption: SetCaption(); return;
    case Pointer: MovePointer(); return;
    case Remake:
        Note("destroy and make anew", 0, 0, 0);
        DestroyWindow(button_);
        return;
    }
}

// ---- The parent --------------------------------------------------------------------

// What a parent may do in its handler of something the button sent (while the
// button paints, or of a click): change its settings, ask for a repaint, run a
// message loop.
void ButtonMessageFuzz::ReactInHandler() {
    switch (random_.Below(10)) {
    case 0:
    case 1: {
        const auto color = static_cast<WPARAM>(random_.Next() & 0xFFFFFF);
        Note("parent: face colour", RRBM_SETFACECOLOR, color, 0);
        SendMessageA(button_, RRBM_SETFACECOLOR, color, random_.PerMille(500));
        return;
    }
    case 2:
        Note("parent: RRBM_REDRAW", RRBM_REDRAW, 0, 0);
        SendMessageA(button_, RRBM_REDRAW, 0, 0);
        return;
    case 3:
        Note("parent: text colour", RRBM_SETTEXTCOLOR, 0, 1);
        SendMessageA(button_, RRBM_SETTEXTCOLOR, static_cast<WPARAM>(random_.Next() & 0xFFFFFF), 1);
        return;
    case 4:
        Note("parent: InvalidateRect + UpdateWindow", 0, 0, 0);
        InvalidateRect(button_, nullptr, TRUE);
        UpdateWindow(button_);
        return;
    case 5: {
        const WPARAM kind = ImageKind();
        Note("parent: load image", RRBM_LOADIMAGE, kind, 0);
        SendMessageA(button_, RRBM_LOADIMAGE + random_.Below(4), kind, ImageName());
        return;
    }
    case 6:
        Note("parent: font", WM_SETFONT, 0, 1);
        SendMessageA(button_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[random_.Below(3)]), 1);
        return;
    case 7:
        ResizeTo(random_.Between(0, 120), random_.Between(0, 40));
        return;
    case 8:
        Note("parent: corner", RRBM_SETCORNER, 0, 1);
        SendMessageA(button_, RRBM_SETCORNER, random_.Value(), random_.RedrawFlag());
        return;
    default: {
        // A message box's loop, say.
        Note("parent: message loop", 0, 0, 0);
        MSG queued;
        for (int turn = 0; turn < 20 && PeekMessageA(&queued, nullptr, 0, 0, PM_REMOVE); ++turn) {
            TranslateMessage(&queued);
            DispatchMessageA(&queued);
        }
        return;
    }
    }
}

void ButtonMessageFuzz::OnParentMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool frameNotification =
        message >= RRBN_RAISED && message <= RRBN_FLAT && wParam == reinterpret_cast<WPARAM>(button_);
    const bool command = message == WM_COMMAND && lParam == reinterpret_cast<LPARAM>(button_);
    const bool notification = message == WM_NOTIFY;  // only ever passed on by the button here
    const bool fromButton = frameNotification || command || notification;
    if (!fromButton || reacting_ || !IsWindow(button_)) {
        return;
    }
    reacting_ = true;
    if (frameNotification) {
        ++paintNotifications_;
        if (random_.PerMille(3)) {
            DestroyFuzzedButton();
        } else if (random_.PerMille(40)) {
            ReactInHandler();
        }
    } else if (random_.PerMille(10)) {
        DestroyFuzzedButton();
    } else if (message == WM_COMMAND && random_.PerMille(30)) {
        ReactInHandler();
    }
    reacting_ = false;
}

TEST_F(ButtonMessageFuzz, LivesThroughRandomMessagesAndLeavesNothingBehind) {
    const DWORD start = GetTickCount();
    for (stepIndex_ = 0; stepIndex_ < kSteps; ++stepIndex_) {
        TakeStep();
        if (stepIndex_ % kPumpEvery == 0) {
            Note("pump", 0, 0, 0);
            PumpMessages();
        }
        if (largeFor_ > 0 && --largeFor_ == 0 && IsWindow(button_)) {
            ResizeTo(75, 23);
        }
        if (!IsWindow(button_)) {
            PumpMessages();
            ASSERT_TRUE(FreedRecordsUntouched());
            ASSERT_EQ(LiveGdiObjects(), liveBesideButtons_ + OwnedByButtons())
                << "a destroyed button left drawing objects behind, step " << stepIndex_ << " (seed " << seed_
                << "); last steps:\n"
                << RecentSteps();
            button_ = MakeFuzzedButton();
            ASSERT_NE(button_, nullptr);
        }
        ASSERT_TRUE(OwnershipHolds());
        if (HasFatalFailure()) {
            return;
        }
    }
    PumpMessages();
    const DWORD elapsed = GetTickCount() - start;
    std::printf("%d steps in %lu ms: %d buttons made, %d destroyed by the parent, %d paint notifications\n", kSteps,
                static_cast<unsigned long>(elapsed), buttonsMade_, buttonsDestroyedByParent_, paintNotifications_);
    EXPECT_GT(paintNotifications_, kSteps / 60) << "the buttons were hardly ever painted";

    DestroyWindow(button_);
    DestroyWindow(neighbour_);
    PumpMessages();
    EXPECT_EQ(LiveGdiObjects(), liveBeforeButtons_) << "seed " << seed_;
}

}  // namespace
