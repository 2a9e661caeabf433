#include "ui/AutoHideCountdown.h"

namespace ui {

bool AutoHideCountdown::Start() {
    const bool startTimer = remaining_ <= 0;
    remaining_ = kSeconds;
    return startTimer;
}

bool AutoHideCountdown::Tick() {
    if (remaining_ <= 0) return false;
    --remaining_;
    return remaining_ == 0;
}

}  // namespace ui
