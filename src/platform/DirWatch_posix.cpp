// Folder change notification through inotify; a wake is an eventfd.
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/DirWatch.h"
#include "platform/PosixMapping.h"

namespace platform {

struct DirWatch::Impl {
    int inotify = -1;
    int wake = -1;
};

DirWatch::DirWatch(const std::string& folder) : impl_(std::make_unique<Impl>()) {
    impl_->wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    const auto dir = posix::ToUnixPath(folder);
    if (!dir) return;
    impl_->inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (impl_->inotify < 0) return;
    // What FindFirstChangeNotification reports for names, writes and sizes.
    const uint32_t mask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY | IN_CLOSE_WRITE |
                          IN_ATTRIB | IN_ONLYDIR;
    if (inotify_add_watch(impl_->inotify, dir->c_str(), mask) < 0) {
        close(impl_->inotify);
        impl_->inotify = -1;
    }
}

DirWatch::~DirWatch() {
    if (impl_->inotify >= 0) close(impl_->inotify);
    if (impl_->wake >= 0) close(impl_->wake);
}

bool DirWatch::Notifies() const { return impl_->inotify >= 0; }

bool DirWatch::Wait(int timeoutMs) {
    pollfd fds[2];
    nfds_t count = 0;
    if (impl_->wake >= 0) fds[count++] = {impl_->wake, POLLIN, 0};
    if (impl_->inotify >= 0) fds[count++] = {impl_->inotify, POLLIN, 0};
    if (count == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs));
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    int r;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        r = poll(fds, count, left > 0 ? int(left) : 0);
        if (r >= 0 || errno != EINTR) break;
    }
    if (r <= 0) return false;
    // Drain both: the caller looks at the folder as a whole, once.
    char buf[4096];
    for (nfds_t i = 0; i < count; ++i) {
        if (!(fds[i].revents & POLLIN)) continue;
        while (read(fds[i].fd, buf, sizeof buf) > 0) {
        }
    }
    return true;
}

void DirWatch::Wake() {
    if (impl_->wake < 0) return;
    const uint64_t one = 1;
    // Only fails when the counter is full, and then a wake is pending anyway.
    [[maybe_unused]] const ssize_t n = write(impl_->wake, &one, sizeof one);
}

}  // namespace platform
