// Helpers for the round-rect button tests: a parent window, a recorder of the
// messages buttons receive, and image files written on the spot.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

// A visible window that buttons are made in: a child of one top-level window
// shared by all tests, destroyed with the buttons in it at the end.
class TestParent {
public:
    TestParent();
    ~TestParent();
    TestParent(const TestParent&) = delete;
    TestParent& operator=(const TestParent&) = delete;

    HWND Handle() const { return window_; }

private:
    HWND window_;
};

// Dispatches whatever is queued for this thread.
void PumpMessages();

// One message as a button received it. For the image loading messages, text
// holds the name they carried (empty for an integer id).
struct ReceivedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::string text;
};

bool operator==(const ReceivedMessage& a, const ReceivedMessage& b);
void PrintTo(const ReceivedMessage& message, std::ostream* out);

// Records, while it lives, the private messages (WM_USER and up), BM_SETIMAGE
// and WM_SETFONT sent to any RRBUTTON window of this thread, in order.
class ButtonMessageRecorder {
public:
    ButtonMessageRecorder();
    ~ButtonMessageRecorder();
    ButtonMessageRecorder(const ButtonMessageRecorder&) = delete;
    ButtonMessageRecorder& operator=(const ButtonMessageRecorder&) = delete;

    const std::vector<ReceivedMessage>& Messages() const { return messages_; }
    bool Received(UINT message) const;
    void Clear() { messages_.clear(); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_;
    std::vector<ReceivedMessage> messages_;
};

// A 16 x 16 icon file (32 bits per pixel with a mask) and a 16 x 16 bitmap
// file (24 bits per pixel); false when the file cannot be written.
bool WriteIconFile(const std::string& path);
bool WriteBitmapFile(const std::string& path);

// A 75 x 23 button at (10, 10) of the parent, visible, with control id 1001.
HWND CreateTestButton(HWND parent, const char* text = "Caption", int width = 75, int height = 23);

// Whether a region covers exactly the pixels of
// CreateRoundRectRgn(left, top, right, bottom, corner, corner).
bool RegionIs(HRGN region, int left, int top, int right, int bottom, int corner);

// Subclasses a window to record the messages it receives and, for chosen
// messages, to act before the window's own procedure runs. It lets go of the
// window at WM_NCDESTROY or when it ends, whichever comes first.
class WindowSpy {
public:
    using Action = std::function<void(WPARAM, LPARAM)>;

    explicit WindowSpy(HWND window);
    ~WindowSpy();
    WindowSpy(const WindowSpy&) = delete;
    WindowSpy& operator=(const WindowSpy&) = delete;

    // An empty action removes the one set for the message.
    void On(UINT message, Action action);
    void Clear() { messages_.clear(); }
    std::vector<ReceivedMessage> Received(UINT message) const;
    int Count(UINT message) const { return static_cast<int>(Received(message).size()); }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();

    HWND window_;
    WNDPROC original_ = nullptr;
    std::vector<ReceivedMessage> messages_;
    std::map<UINT, Action> actions_;
};

// Catches writes through the record of a destroyed button: right after the
// record has been freed, Spring takes heap blocks of the record's size (the
// heap hands the freed one out again) and fills them. Untouched tells
// whether they still hold what was written.
class FreedRecordTrap {
public:
    FreedRecordTrap() = default;
    ~FreedRecordTrap();
    FreedRecordTrap(const FreedRecordTrap&) = delete;
    FreedRecordTrap& operator=(const FreedRecordTrap&) = delete;

    void Spring(const void* freedRecord);
    bool Sprung() const { return !blocks_.empty(); }
    // Whether one of the blocks is the freed record's memory; without it the
    // check is weaker.
    bool HoldsFreedRecord() const { return holdsFreedRecord_; }
    bool Untouched() const;

private:
    std::vector<void*> blocks_;
    bool holdsFreedRecord_ = false;
};
