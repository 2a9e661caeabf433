// Folder change notification through FindFirstChangeNotification; a wake is an event.
#include <windows.h>

#include "platform/DirWatch.h"

namespace platform {

struct DirWatch::Impl {
    HANDLE change = INVALID_HANDLE_VALUE;
    HANDLE wake = nullptr;
};

DirWatch::DirWatch(const std::string& folder) : impl_(std::make_unique<Impl>()) {
    // Names (create, rename, delete) and writes: a file written in place by a
    // writer that created it earlier shows up as a write.
    impl_->change = FindFirstChangeNotificationA(
        folder.c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE);
    impl_->wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

DirWatch::~DirWatch() {
    if (impl_->change != INVALID_HANDLE_VALUE) FindCloseChangeNotification(impl_->change);
    if (impl_->wake) CloseHandle(impl_->wake);
}

bool DirWatch::Notifies() const { return impl_->change != INVALID_HANDLE_VALUE; }

bool DirWatch::Wait(int timeoutMs) {
    HANDLE handles[2];
    DWORD count = 0;
    if (impl_->wake) handles[count++] = impl_->wake;
    if (impl_->change != INVALID_HANDLE_VALUE) handles[count++] = impl_->change;
    const DWORD wait = timeoutMs < 0 ? 0 : DWORD(timeoutMs);
    if (count == 0) {
        Sleep(wait);
        return false;
    }
    const DWORD r = WaitForMultipleObjects(count, handles, FALSE, wait);
    if (r >= WAIT_OBJECT_0 && r < WAIT_OBJECT_0 + count) {
        if (handles[r - WAIT_OBJECT_0] == impl_->change && !FindNextChangeNotification(impl_->change)) {
            // The folder went away: no more notification from it.
            FindCloseChangeNotification(impl_->change);
            impl_->change = INVALID_HANDLE_VALUE;
        }
        return true;
    }
    return false;
}

void DirWatch::Wake() {
    if (impl_->wake) SetEvent(impl_->wake);
}

}  // namespace platform
