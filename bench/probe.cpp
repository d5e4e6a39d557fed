// vorlane_probe: looks at and pokes the windows of other programs running in
// the same Wine prefix (or on the same Windows desktop), for the benchmark and
// the screenshot script. Everything it reads from another process goes
// through messages sent with a timeout, since GetWindowTextA reads only a
// control's stored caption across processes and an edit box would read as
// empty.
//
// A window is chosen by a selector: its caption ("Add Items"), optionally
// with the id of a control it must contain ("Vorlane@1001" is the main
// window, "Vorlane@65535" a message box captioned "Vorlane"), or a handle in
// hex ("0x10042"). Only visible top-level windows count; of several matches
// the topmost wins.
//
//   probe count SEL                      how many windows match
//   probe wait SEL [ms]                  waits until one matches (default 10 s)
//   probe gone SEL [ms]                  waits until none matches
//   probe text SEL ID|-                  a control's text (or the caption), raw bytes
//   probe rect SEL [ID]                  screen rectangle: the client area, or a control's window
//   probe frame SEL                      screen rectangle of the whole window, title bar and frame
//   probe focus SEL                      the id of the control with the focus in that window's thread
//   probe start-time EXE SEL [ms]        starts EXE in the current directory, prints the
//                                        milliseconds until its window SEL is visible, ends it
//   probe watch SEL [ms]                 prints "watching", then the time (Unix seconds, from
//                                        the system clock) at which SEL became visible
//   probe time-command SEL ID N FILE     sends N clicks (WM_COMMAND BN_CLICKED) of control ID, one
//                                        after the other, and prints for each the times (Unix
//                                        seconds) it was sent and answered; each must grow FILE
//
// Before the command, "--desktop NAME" makes the probe look at the windows of
// that desktop (a Wine virtual desktop started with explorer /desktop=NAME)
// instead of the default one.
//
// Exit status: 0 on success, 1 when a window or control is not found or a
// wait times out, 2 on a usage error.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr UINT kSendTimeoutMs = 5000;
constexpr DWORD kDefaultWaitMs = 10000;

struct Selector {
    HWND handle = nullptr;  // set for a selector given as a handle
    std::string caption;
    int requiredControl = -1;
};

Selector ParseSelector(const std::string& text)
{
    Selector selector;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        selector.handle = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(text.c_str(), nullptr, 16)));
        return selector;
    }
    const size_t at = text.rfind('@');
    if (at != std::string::npos && at + 1 < text.size() &&
        text.find_first_not_of("0123456789", at + 1) == std::string::npos) {
        selector.caption = text.substr(0, at);
        selector.requiredControl = std::atoi(text.c_str() + at + 1);
    } else {
        selector.caption = text;
    }
    return selector;
}

std::string CaptionOf(HWND window)
{
    // The caption of a top-level window is stored by the system, so this
    // works across processes.
    const int length = GetWindowTextLengthA(window);
    std::string caption(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, &caption[0], length + 1);
    caption.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return caption;
}

BOOL CALLBACK CollectVisible(HWND window, LPARAM list)
{
    if (IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// In z-order, topmost first.
std::vector<HWND> VisibleTopLevelWindows()
{
    std::vector<HWND> windows;
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool Matches(HWND window, const Selector& selector)
{
    if (selector.handle)
        return window == selector.handle;
    if (CaptionOf(window) != selector.caption)
        return false;
    return selector.requiredControl < 0 || GetDlgItem(window, selector.requiredControl) != nullptr;
}

std::vector<HWND> FindAll(const Selector& selector)
{
    std::vector<HWND> found;
    if (selector.handle) {
        if (IsWindow(selector.handle) && IsWindowVisible(selector.handle))
            found.push_back(selector.handle);
        return found;
    }
    for (HWND window : VisibleTopLevelWindows())
        if (Matches(window, selector))
            found.push_back(window);
    return found;
}

HWND FindOne(const std::string& selectorText)
{
    const std::vector<HWND> found = FindAll(ParseSelector(selectorText));
    if (found.empty()) {
        std::fprintf(stderr, "probe: no visible window \"%s\"\n", selectorText.c_str());
        return nullptr;
    }
    return found.front();
}

HWND FindControl(HWND window, const std::string& idText)
{
    HWND control = GetDlgItem(window, std::atoi(idText.c_str()));
    if (!control)
        std::fprintf(stderr, "probe: no control %s\n", idText.c_str());
    return control;
}

void WriteRaw(const std::string& bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

int WaitFor(const std::string& selectorText, DWORD timeoutMs, bool untilGone)
{
    const Selector selector = ParseSelector(selectorText);
    const DWORD start = GetTickCount();
    for (;;) {
        const std::vector<HWND> found = FindAll(selector);
        if (untilGone && found.empty())
            return 0;
        if (!untilGone && !found.empty()) {
            std::printf("%#lx\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(found.front())));
            return 0;
        }
        if (GetTickCount() - start >= timeoutMs) {
            std::fprintf(stderr, "probe: timed out waiting for \"%s\" to %s\n", selectorText.c_str(),
                         untilGone ? "go" : "show");
            return 1;
        }
        Sleep(20);
    }
}

bool SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result)
{
    if (SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        return true;
    std::fprintf(stderr, "probe: message %#x got no answer\n", message);
    return false;
}

int PrintText(const std::string& selectorText, const std::string& idText)
{
    HWND window = FindOne(selectorText);
    if (!window)
        return 1;
    HWND target = idText == "-" ? window : FindControl(window, idText);
    if (!target)
        return 1;
    DWORD_PTR length = 0;
    if (!SendWithTimeout(target, WM_GETTEXTLENGTH, 0, 0, length))
        return 1;
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendWithTimeout(target, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), copied))
        return 1;
    text.resize(copied);
    WriteRaw(text);
    return 0;
}

// The screen rectangle of a control's window, of the whole window (frame), or
// of its client area.
int PrintRect(const std::string& selectorText, const char* idText, bool frame)
{
    HWND window = FindOne(selectorText);
    HWND target = window && idText ? FindControl(window, idText) : window;
    if (!target)
        return 1;
    RECT rect = {};
    if (idText || frame) {
        GetWindowRect(target, &rect);
    } else {
        GetClientRect(window, &rect);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    }
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return 0;
}

int PrintFocus(const std::string& selectorText)
{
    HWND window = FindOne(selectorText);
    if (!window)
        return 1;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus) {
        std::printf("none\n");
        return 0;
    }
    std::printf("%d\n", GetDlgCtrlID(info.hwndFocus));
    return 0;
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Starts the program and times it to its first visible window of the
// selector; then ends it.
int StartTime(const std::string& exe, const std::string& selectorText, DWORD timeoutMs)
{
    const Selector selector = ParseSelector(selectorText);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + exe + "\"";
    const LARGE_INTEGER started = Now();
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "probe: cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
        return 1;
    }
    CloseHandle(process.hThread);
    int status = 1;
    while (status != 0) {
        for (HWND window : VisibleTopLevelWindows()) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == process.dwProcessId && Matches(window, selector)) {
                std::printf("%.3f\n", Milliseconds(started, Now()));
                status = 0;
                break;
            }
        }
        if (status != 0 && Milliseconds(started, Now()) > timeoutMs) {
            std::fprintf(stderr, "probe: %s showed no \"%s\" in time\n", exe.c_str(), selectorText.c_str());
            break;
        }
        if (status != 0)
            Sleep(1);  // each look asks wineserver: do not crowd out the starting program
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    return status;
}

// The system clock in Unix seconds, comparable with the Linux side's clock.
double UnixSeconds()
{
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    const ULONGLONG ticks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const ULONGLONG unixEpochTicks = 116444736000000000ULL;  // 1970-01-01 in 100 ns ticks since 1601
    return static_cast<double>(ticks - unixEpochTicks) / 1e7;
}

int Watch(const std::string& selectorText, DWORD timeoutMs)
{
    const Selector selector = ParseSelector(selectorText);
    std::printf("watching\n");
    std::fflush(stdout);
    const DWORD start = GetTickCount();
    while (FindAll(selector).empty()) {
        if (GetTickCount() - start >= timeoutMs) {
            std::fprintf(stderr, "probe: timed out watching for \"%s\"\n", selectorText.c_str());
            return 1;
        }
        Sleep(1);
    }
    std::printf("%.6f\n", UnixSeconds());
    return 0;
}

bool FileSize(const std::string& fileName, ULONGLONG& size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(fileName.c_str(), GetFileExInfoStandard, &data))
        return false;
    size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

// Clicks a button by sending its command to the window, as the button itself
// does, and notes when each click was sent and when its handler returned, on
// the system clock, so that the Linux side can place its own observations
// (such as the file's close) between them.
int TimeCommand(const std::string& selectorText, const std::string& idText, long count, const std::string& fileName)
{
    HWND window = FindOne(selectorText);
    HWND control = window ? FindControl(window, idText) : nullptr;
    if (!control)
        return 1;
    const WPARAM command = MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED);
    ULONGLONG before = 0;
    FileSize(fileName, before);
    for (long i = 0; i < count; ++i) {
        const double sent = UnixSeconds();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(window, WM_COMMAND, command, reinterpret_cast<LPARAM>(control), SMTO_NORMAL, 60000,
                                 &result)) {
            std::fprintf(stderr, "probe: click %ld got no answer\n", i + 1);
            return 1;
        }
        const double answered = UnixSeconds();
        ULONGLONG after = 0;
        if (!FileSize(fileName, after) || after <= before) {
            std::fprintf(stderr, "probe: click %ld did not grow %s\n", i + 1, fileName.c_str());
            return 1;
        }
        before = after;
        std::printf("%.6f %.6f\n", sent, answered);
    }
    return 0;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: probe count SEL | wait SEL [ms] | gone SEL [ms] | text SEL ID|- | rect SEL [ID] | frame SEL\n"
                 "             | focus SEL | start-time EXE SEL [ms] | watch SEL [ms] | time-command SEL ID N FILE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);  // texts are printed byte for byte
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 2 && args[0] == "--desktop") {
        HDESK desktop = OpenDesktopA(args[1].c_str(), 0, FALSE, GENERIC_ALL);
        if (!desktop || !SetThreadDesktop(desktop)) {
            std::fprintf(stderr, "probe: cannot use the desktop %s (error %lu)\n", args[1].c_str(), GetLastError());
            return 1;
        }
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty())
        return Usage();
    const std::string& command = args[0];
    const size_t n = args.size();
    auto number = [&](size_t index, DWORD fallback) {
        return n > index ? static_cast<DWORD>(std::strtoul(args[index].c_str(), nullptr, 10)) : fallback;
    };
    if (command == "count" && n == 2) {
        std::printf("%u\n", static_cast<unsigned>(FindAll(ParseSelector(args[1])).size()));
        return 0;
    }
    if ((command == "wait" || command == "gone") && (n == 2 || n == 3))
        return WaitFor(args[1], number(2, kDefaultWaitMs), command == "gone");
    if (command == "text" && n == 3)
        return PrintText(args[1], args[2]);
    if (command == "rect" && (n == 2 || n == 3))
        return PrintRect(args[1], n == 3 ? args[2].c_str() : nullptr, false);
    if (command == "frame" && n == 2)
        return PrintRect(args[1], nullptr, true);
    if (command == "focus" && n == 2)
        return PrintFocus(args[1]);
    if (command == "start-time" && (n == 3 || n == 4))
        return StartTime(args[1], args[2], number(3, kDefaultWaitMs));
    if (command == "watch" && (n == 2 || n == 3))
        return Watch(args[1], number(2, kDefaultWaitMs));
    if (command == "time-command" && n == 5)
        return TimeCommand(args[1], args[2], std::strtol(args[3].c_str(), nullptr, 10), args[4]);
    return Usage();
}
