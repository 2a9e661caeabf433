#pragma once
// Change notification for one folder: a wait that ends when a file in it is
// created, renamed, deleted or written, or when another thread wakes it.
#include <memory>
#include <string>

namespace platform {

class DirWatch {
public:
    explicit DirWatch(const std::string& folder);
    ~DirWatch();
    DirWatch(const DirWatch&) = delete;
    DirWatch& operator=(const DirWatch&) = delete;

    // False when the folder cannot be watched (missing, or a file system
    // that does not notify); Wait then only waits for its time-out or a Wake.
    bool Notifies() const;
    // Waits up to timeoutMs. True when a change in the folder or a Wake ended
    // the wait; changes that came before the call count too. Changes are not
    // told apart: the caller looks at the folder itself.
    bool Wait(int timeoutMs);
    // Ends a current or the next Wait; callable from any thread.
    void Wake();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
