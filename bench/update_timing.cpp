// Times the two parts of an Update inside one process, with the program's
// own code: the append to the catalogue (open, write, flush, close) and the
// log box brought up to date.
//
//   update_timing FOLDER RUNS
//
// FOLDER must hold big.csv, a large catalogue made by the caller. Prints one
// line per measurement: name, median, fastest and slowest (microseconds, or
// per cent for a share).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/catalogue_file.h"
#include "catalogue/catalogue_record.h"
#include "shell/control_ids.h"
#include "shell/dialog/dialog_layer.h"
#include "shell/entry_log.h"

namespace {

constexpr DWORD LogBoxStyle = 0x50311084;  // as the main window's log box
const char TrackField[] = "Artist , Album , Track..";

double Microseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1e6 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

void Report(const std::string& name, std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    std::printf("%s %.1f %.1f %.1f\n", name.c_str(), samples[samples.size() / 2], samples.front(), samples.back());
    std::fflush(stdout);
}

// `measure` returns the microseconds of one run.
void Measure(const std::string& name, int runs, const std::function<double()>& measure)
{
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i)
        samples.push_back(measure());
    Report(name, samples);
}

std::string RecordLine()
{
    CatalogueRecord record{"X", "-", "-", "Yes", "ID04711", "No", TrackField};
    return CatalogueAppendText(record, false);
}

// The program's whole append: open, seek, one write, flush, close.
double TimeAppend(const std::string& file, const std::string& bytes)
{
    const LARGE_INTEGER start = Now();
    const AppendOutcome outcome = AppendToCatalogue(file, bytes);
    const LARGE_INTEGER end = Now();
    if (!outcome.Succeeded()) {
        std::fprintf(stderr, "update_timing: append to %s failed (error %u)\n", file.c_str(),
                     static_cast<unsigned>(outcome.errorCode));
        std::exit(1);
    }
    return Microseconds(start, end);
}

struct FlushTiming {
    double total;  // open to close
    double flush;  // FlushFileBuffers alone
};

// The append's steps by hand, to time the flush within them.
FlushTiming TimeFlush(const std::string& file, const std::string& bytes)
{
    const LARGE_INTEGER start = Now();
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "update_timing: cannot open %s\n", file.c_str());
        std::exit(1);
    }
    SetFilePointer(handle, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    const LARGE_INTEGER flushStart = Now();
    FlushFileBuffers(handle);
    const LARGE_INTEGER flushEnd = Now();
    CloseHandle(handle);
    const LARGE_INTEGER end = Now();
    return FlushTiming{Microseconds(start, end), Microseconds(flushStart, flushEnd)};
}

// The flush's time and its share of the whole append, run by run.
void MeasureFlush(const std::string& name, int runs, const std::function<FlushTiming()>& measure)
{
    std::vector<double> flush, share;
    for (int i = 0; i < runs; ++i) {
        const FlushTiming timing = measure();
        flush.push_back(timing.flush);
        share.push_back(100.0 * timing.flush / timing.total);
    }
    Report(name, flush);
    Report(name + "_share", share);
}

void TimeAppends(const std::string& folder, int runs)
{
    const std::string record = RecordLine();
    const std::string fresh = folder + "\\fresh.csv";
    const std::string big = folder + "\\big.csv";
    Measure("append_first_record", runs, [&] {
        DeleteFileA(fresh.c_str());
        return TimeAppend(fresh, std::string(CatalogueHeader) + CatalogueLineEnd + record);
    });
    MeasureFlush("flush_first_record", runs, [&] {
        DeleteFileA(fresh.c_str());
        return TimeFlush(fresh, std::string(CatalogueHeader) + CatalogueLineEnd + record);
    });
    DeleteFileA(fresh.c_str());
    Measure("append_100mb", runs, [&] { return TimeAppend(big, record); });
    MeasureFlush("flush_100mb", runs, [&] { return TimeFlush(big, record); });
}

// A shown window with a log box like the main window's.
HWND MakeLogWindow()
{
    HWND window = CreateWindowExA(0, "STATIC", "log box timing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 300, 260, 200,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", LogBoxStyle, 3, 74, 233, 140, window,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(LogBoxId)), GetModuleHandleA(nullptr), nullptr);
    return window;
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

// The log box at 1, 1,000 and 10,000 entries, brought up to date the two ways
// an Update can: its whole text set, and the new entry inserted at its top
// (ShowEntryLog, while the user has not edited the box); each with the
// repaint that follows it.
void TimeLogUpdates(int runs)
{
    HWND window = MakeLogWindow();
    const HWND logBox = GetDlgItem(window, LogBoxId);
    PumpMessages();
    std::string log;
    int entries = 0;
    for (int target : {1, 1000, 10000}) {
        for (; entries < target - 1; ++entries)
            log = PrependLogEntry(log, TrackField);
        std::vector<double> setting, inserting, painting;
        for (int i = 0; i < runs; ++i) {
            const std::string newLog = PrependLogEntry(log, TrackField);
            SetWindowTextA(logBox, log.c_str());  // as the Update before left it
            PumpMessages();
            const LARGE_INTEGER start = Now();
            ShowEntryLog(logBox, log, newLog);
            const LARGE_INTEGER inserted = Now();
            UpdateWindow(logBox);
            const LARGE_INTEGER painted = Now();
            SetWindowTextA(logBox, newLog.c_str());
            const LARGE_INTEGER set = Now();
            inserting.push_back(Microseconds(start, inserted));
            painting.push_back(Microseconds(inserted, painted));
            setting.push_back(Microseconds(painted, set));
            PumpMessages();
        }
        log = PrependLogEntry(log, TrackField);
        ++entries;
        Report("log_set_" + std::to_string(target), setting);
        Report("log_insert_" + std::to_string(target), inserting);
        Report("log_paint_" + std::to_string(target), painting);
    }
    DestroyWindow(window);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: update_timing FOLDER RUNS\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[2]));
    TimeAppends(argv[1], runs);
    TimeLogUpdates(runs);
    return 0;
}
