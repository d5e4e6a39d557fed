#include "ui_script.h"

#include <gtest/gtest.h>

namespace {

// The running script of this thread; thread timers carry no pointer of their own.
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

}  // namespace

std::string WindowText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, &text[0], length + 1)));
    return text;
}

std::string ClassOf(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT DialogUnits(HWND dialog, int left, int top, int right, int bottom)
{
    RECT rect{left, top, right, bottom};
    EXPECT_TRUE(MapDialogRect(dialog, &rect));
    return rect;
}

RECT RectInParent(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HICON IconOf(HWND window, WPARAM which)
{
    return reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, which, 0));
}

int IconWidth(HICON icon)
{
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

std::vector<HWND> ThreadDialogs(const char* caption)
{
    std::vector<HWND> found;
    for (HWND window : ThreadWindows()) {
        if (IsWindow(window) && ClassOf(window) == "#32770" && (!caption || WindowText(window) == caption))
            found.push_back(window);
    }
    return found;
}

HWND FindMessageBox(const std::string& title)
{
    const std::vector<HWND> found = ThreadDialogs(title.c_str());
    return found.empty() ? nullptr : found.front();
}

std::string MessageBoxText(HWND box)
{
    return WindowText(GetDlgItem(box, 0xFFFF));  // the static control holding the message
}

void PressDialogButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

UiScript::~UiScript()
{
    Stop();
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

INT_PTR UiScript::Run(const std::function<INT_PTR()>& modalRun, UINT tickMs)
{
    Start(tickMs);
    const INT_PTR result = modalRun();
    Tick();  // without waiting for the next tick
    MSG message;
    while (!Finished() && !failed_ && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return result;
}

void CALLBACK UiScript::OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_running)
        g_running->Tick();
}

void UiScript::Tick()
{
    while (!Finished() && !failed_) {
        const Step& step = steps_[next_];
        if (step.condition && !step.condition()) {
            if (GetTickCount() - stepStarted_ > step.timeoutMs) {
                failed_ = true;
                ADD_FAILURE() << "timed out waiting for: " << step.what;
                Stop();
                for (HWND window : ThreadWindows()) {
                    if (IsWindow(window))
                        DestroyWindow(window);
                }
            }
            return;
        }
        ++next_;
        stepStarted_ = GetTickCount();
        if (step.action) {
            step.action();  // may run a modal loop, in which later ticks go on with the next steps
            return;         // one action per tick, so windows can settle between them
        }
    }
    if (Finished())
        Stop();
}

void UiScript::Stop()
{
    if (timer_)
        KillTimer(nullptr, timer_);
    timer_ = 0;
}
