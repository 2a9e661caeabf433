#include "ui/ProgressRecorder.h"

namespace ui {

void ProgressRecorder::ShowForRun() {
    calls.emplace_back("ShowForRun");
    Reset();
    visible = true;
}

void ProgressRecorder::ResetLog() {
    calls.emplace_back("ResetLog");
    Reset();
}

void ProgressRecorder::Reset() {
    countdown.Cancel();
    timerRunning = false;
    lines.clear();
    selectedLine = -1;
    widestLine = 0;
    openFolder.clear();
    openFolderShown = false;
    ignoreWaitShown = false;
}

void ProgressRecorder::ShowIgnoreWaitButton() {
    calls.emplace_back("ShowIgnoreWaitButton");
    ignoreWaitShown = true;
}

void ProgressRecorder::AddLine(std::string_view text, int newLine) {
    calls.emplace_back("AddLine");
    const int width = int(text.size());
    if (width > widestLine) {
        widestLine = width;
        horizontalExtent = width;
    }
    if (newLine == 0 && !lines.empty()) lines.pop_back();
    lines.emplace_back(text);
    selectedLine = int(lines.size()) - 1;
}

void ProgressRecorder::SetOpenFolder(std::optional<std::string_view> folder) {
    calls.emplace_back("SetOpenFolder");
    if (!folder) return;
    openFolder.assign(*folder);
    if (!openFolder.empty()) openFolderShown = true;
}

void ProgressRecorder::StartAutoHide() {
    calls.emplace_back("StartAutoHide");
    if (countdown.Start()) {
        timerRunning = true;
        ++timerStarts;
    }
}

void ProgressRecorder::TimerTick() {
    if (!timerRunning) return;
    if (countdown.Tick()) visible = false;
    if (!countdown.Running()) timerRunning = false;
}

void ProgressRecorder::TakeHold() {
    countdown.Cancel();
    timerRunning = false;
}

void ProgressRecorder::Close() { visible = false; }

}  // namespace ui
