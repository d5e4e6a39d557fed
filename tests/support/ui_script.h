// Drives modal loops from inside: steps run one after the other from a thread
// timer, which every modal loop of the thread dispatches (the program's own
// and the platform's message boxes). A step acts once or waits until a
// condition holds; a wait that times out fails the test and destroys every
// window of the thread, so that the loops end. Below it, small readers of the
// thread's real windows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class UiScript {
public:
    UiScript() = default;
    ~UiScript();
    UiScript(const UiScript&) = delete;
    UiScript& operator=(const UiScript&) = delete;

    // Runs the action once, a tick after the previous step. When the action
    // opens a modal loop, the following steps run inside that loop.
    UiScript& Then(std::function<void()> action);
    UiScript& WaitFor(const std::string& what, std::function<bool()> condition, DWORD timeoutMs = 5000);

    // Starts ticking: the steps run inside whatever loop the caller runs next.
    void Start(UINT tickMs = 15);
    // Starts, calls `modalRun`, then runs the steps left in a loop of its own.
    INT_PTR Run(const std::function<INT_PTR()>& modalRun, UINT tickMs = 15);
    bool Finished() const { return next_ >= steps_.size(); }
    bool Failed() const { return failed_; }

private:
    struct Step {
        std::string what;
        std::function<bool()> condition;  // empty for an action
        std::function<void()> action;
        DWORD timeoutMs;
    };
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Tick();
    void Stop();

    std::vector<Step> steps_;
    size_t next_ = 0;
    DWORD stepStarted_ = 0;
    UINT_PTR timer_ = 0;
    bool failed_ = false;
};

// Dialog-class windows of this thread (dialogs and message boxes), all or
// those with this caption.
std::vector<HWND> ThreadDialogs(const char* caption = nullptr);
HWND FindMessageBox(const std::string& title);
std::string MessageBoxText(HWND box);
// Posts the click of the button with this id, as a message box or dialog gets it.
void PressDialogButton(HWND dialog, int id);
std::string WindowText(HWND window);
std::string ClassOf(HWND window);
// A rectangle in the dialog's units mapped to pixels (each value on its own).
RECT DialogUnits(HWND dialog, int left, int top, int right, int bottom);
// A window's rectangle in its parent's client area.
RECT RectInParent(HWND window);
HICON IconOf(HWND window, WPARAM which);
// An icon's width in pixels; 0 once it has been destroyed.
int IconWidth(HICON icon);
