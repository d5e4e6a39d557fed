#include "tests/support/modal_loop_actions.h"

#include <map>
#include <memory>
#include <utility>

namespace {

std::map<UINT_PTR, std::function<void()>>& PendingActions()
{
    static std::map<UINT_PTR, std::function<void()>> actions;
    return actions;
}

void CALLBACK RunPendingAction(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    auto& actions = PendingActions();
    const auto found = actions.find(id);
    if (found == actions.end())
        return;
    const std::function<void()> action = std::move(found->second);
    actions.erase(found);
    action();
}

struct DialogSearch {
    std::string caption;
    HWND found = nullptr;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<DialogSearch*>(lParam);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    const int length = GetWindowTextLengthA(window);
    std::string caption(static_cast<size_t>(length) + 1, '\0');
    caption.resize(static_cast<size_t>(GetWindowTextA(window, &caption[0], length + 1)));
    if (std::string(className) == "#32770" && IsWindowVisible(window) && caption == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

UINT_PTR RunFromLoop(std::function<void()> action, UINT delayMs)
{
    const UINT_PTR id = SetTimer(nullptr, 0, delayMs, RunPendingAction);
    if (id != 0)
        PendingActions()[id] = std::move(action);
    return id;
}

void CancelLoopAction(UINT_PTR id)
{
    KillTimer(nullptr, id);
    PendingActions().erase(id);
}

HWND FindThreadDialog(const std::string& caption)
{
    DialogSearch search{caption};
    EnumThreadWindows(GetCurrentThreadId(), MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

ModalWatchdog::ModalWatchdog(HWND window, UINT timeoutMs) : fired_(std::make_shared<bool>(false))
{
    std::shared_ptr<bool> fired = fired_;
    timer_ = RunFromLoop(
        [window, fired] {
            if (IsWindow(window)) {
                *fired = true;
                DestroyWindow(window);
            }
        },
        timeoutMs);
}

ModalWatchdog::~ModalWatchdog()
{
    CancelLoopAction(timer_);
}
