// Drives the program's modal loops from inside: a list of steps run one after
// the other from a thread timer, which every modal loop of the thread (the
// program's own and the platform's message boxes) dispatches. A step either
// acts once or waits until a condition holds. A wait that times out fails the
// test and destroys every window of the thread, so the loops end.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class UiScript {
public:
    UiScript();
    ~UiScript();
    UiScript(const UiScript&) = delete;
    UiScript& operator=(const UiScript&) = delete;

    // Runs the action once, at the next tick after the previous step.
    UiScript& Then(std::function<void()> action);
    // Waits until the condition holds, at most timeoutMs.
    UiScript& WaitFor(const std::string& what, std::function<bool()> condition, DWORD timeoutMs = 5000);

    // Starts ticking; the steps run inside whatever loop the caller runs next.
    void Start(UINT tickMs = 15);
    bool Finished() const { return next_ >= steps_.size(); }
    bool Failed() const { return failed_; }

    // Runs the script in a loop of its own until it has finished or failed.
    void RunToEnd();

private:
    struct Step {
        std::string what;
        std::function<bool()> condition;  // empty for an action
        std::function<void()> action;
        DWORD timeoutMs = 0;
    };
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Tick();
    void Abort(const std::string& why);

    std::vector<Step> steps_;
    size_t next_ = 0;
    DWORD stepStarted_ = 0;
    UINT_PTR timer_ = 0;
    bool failed_ = false;
};

// Top-level windows of this thread with the given caption (and class, when given).
std::vector<HWND> ThreadWindowsTitled(const std::string& caption, const char* className = nullptr);
HWND FindThreadWindow(const std::string& caption, const char* className = nullptr);
// The platform's message boxes of this thread with the given title.
HWND FindMessageBox(const std::string& title);
// The text of a message box's message.
std::string MessageBoxText(HWND box);
// Presses the button with the given id in a message box or dialog.
void PressDialogButton(HWND dialog, int id);
// Destroys every window of this thread (after a failure, to end modal loops).
void DestroyThreadWindows();
std::string WindowText(HWND window);
