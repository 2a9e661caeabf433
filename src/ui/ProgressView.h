#pragma once
// The progress window as the runs see it (copy run, package builder, the main
// window's logic): six operations, whatever the toolkit. The Win32 window
// carries out each call on its own thread before the call returns, so a
// worker may call them and a line is in the log when AddLine returns.
#include <optional>
#include <string_view>

namespace ui {

class IProgressView {
public:
    virtual ~IProgressView() = default;

    // A new run: ResetLog, then the window is shown beside its owner (the
    // main window), brought to the top and activated.
    virtual void ShowForRun() = 0;
    // Stops the auto-hide countdown, empties the log, forgets the open
    // folder and hides the open-folder and ignore-wait buttons. The widest
    // line starts again from 0.
    virtual void ResetLog() = 0;
    // Shows the button that lets the operator stop waiting for the agents.
    virtual void ShowIgnoreWaitButton() = 0;
    // newLine 0 replaces the last line (on an empty log it simply appends);
    // any other value appends. The last line ends selected.
    virtual void AddLine(std::string_view text, int newLine) = 0;
    // No value changes nothing; otherwise the folder the open-folder button
    // opens, and a folder that is not empty shows the button.
    virtual void SetOpenFolder(std::optional<std::string_view> folder) = 0;
    // After a run without failure: the window hides itself three seconds
    // later unless the operator takes hold of it. A second call restarts the
    // countdown.
    virtual void StartAutoHide() = 0;
};

}  // namespace ui
