#include "ui_script.h"

#include <gtest/gtest.h>

namespace {

// The running script of this thread; timers carry no pointer of their own.
UiScript* g_running = nullptr;

BOOL CALLBACK CollectWindow(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadWindows()
{
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string ClassOf(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

}  // namespace

std::string WindowText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, &text[0], length + 1)));
    return text;
}

std::vector<HWND> ThreadWindowsTitled(const std::string& caption, const char* className)
{
    std::vector<HWND> found;
    for (HWND window : ThreadWindows()) {
        if (IsWindow(window) && WindowText(window) == caption && (!className || ClassOf(window) == className))
            found.push_back(window);
    }
    return found;
}

HWND FindThreadWindow(const std::string& caption, const char* className)
{
    const std::vector<HWND> found = ThreadWindowsTitled(caption, className);
    return found.empty() ? nullptr : found.front();
}

HWND FindMessageBox(const std::string& title)
{
    return FindThreadWindow(title, "#32770");
}

std::string MessageBoxText(HWND box)
{
    // The message is the static control with id 0xFFFF.
    return WindowText(GetDlgItem(box, 0xFFFF));
}

void PressDialogButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void DestroyThreadWindows()
{
    for (HWND window : ThreadWindows()) {
        if (IsWindow(window))
            DestroyWindow(window);
    }
}

UiScript::UiScript() = default;

UiScript::~UiScript()
{
    if (timer_)
        KillTimer(nullptr, timer_);
    if (g_running == this)
        g_running = nullptr;
}

UiScript& UiScript::Then(std::function<void()> action)
{
    steps_.push_back(Step{"action", nullptr, std::move(action), 0});
    return *this;
}

UiScript& UiScript::WaitFor(const std::string& what, std::function<bool()> condition, DWORD timeoutMs)
{
    steps_.push_back(Step{what, std::move(condition), nullptr, timeoutMs});
    return *this;
}

void UiScript::Start(UINT tickMs)
{
    g_running = this;
    stepStarted_ = GetTickCount();
    timer_ = SetTimer(nullptr, 0, tickMs, OnTick);
}

void CALLBACK UiScript::OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_running)
        g_running->Tick();
}

void UiScript::Tick()
{
    // An action may run a modal loop of its own (a dialog, a message box),
    // inside which further ticks arrive: they go on with the following steps.
    while (next_ < steps_.size() && !failed_) {
        Step& step = steps_[next_];
        if (step.condition) {
            if (!step.condition()) {
                if (GetTickCount() - stepStarted_ > step.timeoutMs)
                    Abort("timed out waiting for: " + step.what);
                return;
            }
            ++next_;
            stepStarted_ = GetTickCount();
            continue;
        }
        ++next_;
        stepStarted_ = GetTickCount();
        step.action();  // may not return until a loop it opened ends
        return;         // one action per tick, so windows can settle between them
    }
    if (timer_ && next_ >= steps_.size()) {
        KillTimer(nullptr, timer_);
        timer_ = 0;
    }
}

void UiScript::Abort(const std::string& why)
{
    failed_ = true;
    ADD_FAILURE() << why;
    if (timer_) {
        KillTimer(nullptr, timer_);
        timer_ = 0;
    }
    DestroyThreadWindows();
}

void UiScript::RunToEnd()
{
    if (!timer_)
        Start();
    MSG message;
    while (!Finished() && !failed_ && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
