// What the tests of the program's windows share: a folder of their own, files,
// steps run inside the program's modal loops, and calls the program makes to
// the system replaced by the test's own.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>

// A fresh folder in the system's temporary folder, removed with all it holds.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string Path(const std::string& name = "") const { return name.empty() ? path_ : path_ + "\\" + name; }

private:
    std::string path_;
};

bool WriteBytes(const std::string& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const std::string& path);
// Posts a button's click to its dialog, as a mouse click arrives.
void PostClick(HWND dialog, int id);

// Moves the pointer and waits until the system reports it there; false when
// it does not land.
bool MovePointer(POINT to);

// Dispatches the thread's messages until the condition holds or `ms` pass.
bool PumpUntil(const std::function<bool()>& condition, DWORD ms = 5000);

// Steps run one a tick from a thread timer, and so inside whatever modal loop
// the thread runs: the program's own and the system's message boxes. Actions
// post rather than send what would run a modal loop. A wait that still fails
// after five seconds fails the test and destroys the thread's windows, so
// that every loop ends.
class Steps {
public:
    Steps& Do(std::function<void()> action);
    Steps& WaitFor(const char* what, std::function<bool()> condition);
    // Starts the ticks, calls `modal`, then goes on until every step has run.
    void Run(const std::function<void()>& modal);

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    std::deque<std::pair<const char*, std::function<bool()>>> steps_;
    DWORD started_ = 0;
};

// Points this executable's import of a kernel32 function at a replacement and
// returns the function it replaced (null when there is no such import). The
// program's code is linked in, so its calls go to the replacement.
void* ReplaceImport(const char* name, void* replacement);
