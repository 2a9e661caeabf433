#pragma once
// A progress window without a window: it keeps what the real one shows (the
// lines, which buttons are visible, whether it is shown, the countdown) and
// the order of the calls, for native tests of the runs and for front ends
// that have no window. One thread only.
#include <string>
#include <vector>

#include "ui/AutoHideCountdown.h"
#include "ui/ProgressView.h"

namespace ui {

class ProgressRecorder : public IProgressView {
public:
    void ShowForRun() override;
    void ResetLog() override;
    void ShowIgnoreWaitButton() override;
    void AddLine(std::string_view text, int newLine) override;
    void SetOpenFolder(std::optional<std::string_view> folder) override;
    void StartAutoHide() override;

    // The window's own events.
    void TimerTick();  // one second of the countdown
    void TakeHold();   // a click on the background, or the focus in the list
    void Close();      // OK, Enter, Escape or the close box: hidden

    // What the window shows. Widths are one unit per byte of a line.
    std::vector<std::string> lines;
    int selectedLine = -1;
    bool visible = false;
    bool ignoreWaitShown = false;
    bool openFolderShown = false;
    std::string openFolder;
    int widestLine = 0;
    int horizontalExtent = 0;  // as the list box keeps it: ResetLog leaves it
    AutoHideCountdown countdown;
    bool timerRunning = false;
    int timerStarts = 0;
    // Operation names in call order ("ShowForRun", "AddLine", ...).
    std::vector<std::string> calls;

private:
    void Reset();
};

}  // namespace ui
