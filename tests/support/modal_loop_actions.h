// Test code that has to run inside a modal message loop (a dialog's or a
// message box's): thread timers, whose procedures whichever loop of this
// thread is running dispatches.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

// Runs `action` once, `delayMs` from now, from the message loop running then.
// Returns an id for CancelLoopAction.
UINT_PTR RunFromLoop(std::function<void()> action, UINT delayMs = 1);
// Drops an action that has not run yet.
void CancelLoopAction(UINT_PTR id);

// A visible top-level dialog-class window (dialog or message box) of this
// thread with exactly this caption, or null.
HWND FindThreadDialog(const std::string& caption);

// Ends a modal run that hangs: if `window` still exists after `timeoutMs`, it
// is destroyed (which ends the loop running it) and Fired() turns true.
class ModalWatchdog {
public:
    explicit ModalWatchdog(HWND window, UINT timeoutMs = 10000);
    ~ModalWatchdog();
    ModalWatchdog(const ModalWatchdog&) = delete;
    ModalWatchdog& operator=(const ModalWatchdog&) = delete;

    bool Fired() const { return *fired_; }

private:
    std::shared_ptr<bool> fired_;
    UINT_PTR timer_;
};
