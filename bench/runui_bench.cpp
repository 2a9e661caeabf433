// How long the main window takes to answer a message while a copy run copies:
// the real window on a workspace of 1 000 files with a local target, the run
// started by button 1011, and another thread sending the window WM_NULL every
// few milliseconds for as long as the run lasts. Prints the worst and the
// median answer time; not a test.
// Usage (under Wine with a display): runui_bench [runs]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileSystem.h"
#include "support/TestEnv.h"
#include "ui/ControlIds.h"
#include "ui/win32/CopyStateIds.h"
#include "ui/win32/MainDialog.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Sample {
    Clock::time_point sent;
    double ms;
    bool answered;
};

// Sends WM_NULL every few ms until told to stop; keeps every answer time.
class Prober {
public:
    Prober(HWND window, int everyMs) : window_(window), every_(everyMs), thread_([this] { Loop(); }) {}
    ~Prober() {
        stop_ = true;
        thread_.join();
    }
    std::vector<Sample> Samples() {
        std::lock_guard<std::mutex> lock(mutex_);
        return samples_;
    }

private:
    void Loop() {
        while (!stop_) {
            const auto t0 = Clock::now();
            DWORD_PTR result = 0;
            const bool ok = SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
            const double ms = Ms(Clock::now() - t0);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                samples_.push_back({t0, ms, ok});
            }
            Sleep(DWORD(every_));
        }
    }

    HWND window_;
    int every_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Sample> samples_;
    std::thread thread_;
};

// The window's own message loop, until cond holds or the time is up.
template <typename Cond>
bool LoopUntil(ui::win32::MainDialog& d, int ms, Cond cond) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!cond()) {
        if (Clock::now() > end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        ui::win32::PumpPending(d);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    testenv::TempDir temp;
    const char* const folders[] = {"", "bin\\", "data\\", "lang\\ko\\", "plugins\\"};
    for (int i = 0; i < 1000; ++i) {
        const std::string rel = std::string(folders[i % 5]) + "File_" + std::to_string(i) + ".dll";
        const std::string bytes(2048 + size_t(i * 37 % 4096), char('a' + i % 26));
        testenv::WriteFile(temp / ("src\\" + rel), bytes, 1700000000);
        testenv::WriteFile(temp / ("tgt\\" + rel), bytes.substr(100), 1600000000);
    }
    testenv::WriteFile(temp / "bench.ini", "IDC_ACS_FILENAME_SRC=`" + (temp / "src") + "`\r\nIDC_ACS_FILENAME_TARGET=`" +
                                               (temp / "tgt") + "`\r\nm_chkSubFolder=`1`\r\nIDC_CHK_AUTOBACKUP=`0`\r\n"
                                               "IDC_CHECK_UPDATEMODE=`0`\r\n");
    ui::win32::MainDialog d(temp / "bench.ini");
    d.messageBoxHook = [](std::string_view, unsigned) { return IDOK; };
    if (!d.Create(GetModuleHandleA(nullptr))) return 1;
    d.Logic().Refresh();
    d.Logic().MoveAllSourceNewer();
    const int rows = d.GetItemCount(ui::kIdCopyList);
    std::printf("copy list: %d files, local target\n", rows);
    if (rows != 1000) return 1;
    HWND copyButton = GetDlgItem(d.Handle(), ui::kIdCopy);
    LoopUntil(d, 1500, [] { return false; });  // the window shown and settled

    std::vector<double> during;
    double worstRun = 0;
    for (int run = 0; run < runs; ++run) {
        LoopUntil(d, 3000, [&] { return IsWindowEnabled(copyButton) != FALSE; });
        Prober prober(d.Handle(), 5);
        LoopUntil(d, 200, [] { return false; });  // a few answers before the run
        const auto start = Clock::now();
        SendMessageA(copyButton, BM_CLICK, 0, 0);
        if (!d.Logic().RunActive()) {
            std::printf("the run did not start\n");
            return 1;
        }
        LoopUntil(d, 600000, [&] { return !d.Logic().RunActive(); });
        const auto end = Clock::now();
        const std::vector<Sample> samples = prober.Samples();
        std::vector<double> mine;
        int unanswered = 0;
        for (const Sample& s : samples)
            if (s.sent >= start && s.sent < end) {
                mine.push_back(s.ms);
                unanswered += s.answered ? 0 : 1;
            }
        if (mine.empty()) continue;
        std::sort(mine.begin(), mine.end());
        std::printf("  run %d: %.0f ms, %zu messages sent during it, worst %.1f ms, median %.2f ms%s\n", run + 1,
                    Ms(end - start), mine.size(), mine.back(), mine[mine.size() / 2],
                    unanswered ? " (some unanswered)" : "");
        std::fflush(stdout);
        worstRun = std::max(worstRun, Ms(end - start));
        during.insert(during.end(), mine.begin(), mine.end());
    }
    if (during.empty()) return 1;
    // Where the run's time goes: every step's line is a message the window's
    // thread carries out while the worker waits. The same lines added on the
    // window's own thread, with the progress window shown:
    {
        ui::win32::CCopyStateDlg& progress = d.ProgressWindow();
        progress.ShowForRun();
        const int lines = 300;
        const auto t0 = Clock::now();
        for (int i = 0; i < lines; ++i)
            progress.AddLine("  복사완료 " + (temp / "src\\bin\\File_") + std::to_string(i) + ".dll -> " +
                                 (temp / "tgt\\bin\\File_") + std::to_string(i) + ".dll",
                             1);
        std::printf("progress window: %.2f ms per line added on the window's thread (%d lines)\n",
                    Ms(Clock::now() - t0) / lines, lines);
        // The steps of one added line, each timed alone on the log list.
        HWND log = GetDlgItem(progress.Handle(), IDC_COPYSTATE_LOG);
        const std::string text = "  복사완료 " + (temp / "src\\File_1.dll -> ") + (temp / "tgt\\File_1.dll");
        double measure = 0, insert = 0, select = 0;
        for (int i = 0; i < lines; ++i) {
            auto t = Clock::now();
            HDC dc = GetDC(log);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(log, WM_GETFONT, 0, 0)));
            SIZE size{};
            GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
            SelectObject(dc, old);
            ReleaseDC(log, dc);
            measure += Ms(Clock::now() - t);
            t = Clock::now();
            const LRESULT index = SendMessageA(log, LB_INSERTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
            insert += Ms(Clock::now() - t);
            t = Clock::now();
            SendMessageA(log, LB_SETCURSEL, WPARAM(index), 0);
            select += Ms(Clock::now() - t);
        }
        std::printf("  of which: measuring the text %.2f ms, LB_INSERTSTRING %.2f ms, LB_SETCURSEL %.2f ms\n",
                    measure / lines, insert / lines, select / lines);
    }
    std::sort(during.begin(), during.end());
    std::printf("main window's answer to WM_NULL while the run copies (%zu messages, %d runs):\n", during.size(), runs);
    std::printf("  worst %.1f ms (target < 100), 99th percentile %.1f ms, median %.2f ms\n", during.back(),
                during[during.size() * 99 / 100], during[during.size() / 2]);
    return 0;
}
