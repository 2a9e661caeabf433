// Native build: a read lease stands in for Windows' sharing modes, flock on
// the folder itself for the named mutex.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/PosixMapping.h"
#include "platform/SharedFile.h"

namespace platform {
namespace {

SharedFileResult OpenResult(int error) {
    if (error == ENOENT || error == ENOTDIR) return SharedFileResult::Missing;
    // O_NONBLOCK: another holder of a lease makes the open fail instead of wait.
    if (error == EAGAIN || error == EWOULDBLOCK) return SharedFileResult::Busy;
    return SharedFileResult::Failed;
}

FileStamp StampOf(const struct stat& st) {
    FileStamp s;
    s.volume = uint64_t(st.st_dev);
    s.index = uint64_t(st.st_ino);
    s.size = int64_t(st.st_size);
    s.writeTime = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return s;
}

// An open file with a read lease, granted only while nobody has the file open
// for writing; while it is held a writer's open waits for its release, which
// comes as soon as the object goes.
class LeasedFile {
public:
    explicit LeasedFile(const std::string& path) {
        const auto p = posix::ToUnixPath(path);
        if (!p) {
            result_ = SharedFileResult::Missing;
            return;
        }
        fd_ = open(p->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd_ < 0) {
            result_ = OpenResult(errno);
            return;
        }
        // A writer's open tells the lease holder by a signal, SIGIO unless
        // set otherwise, and SIGIO ends a process that does not handle it.
        // SIGURG is ignored unless handled, and the lease goes within
        // microseconds anyway.
        fcntl(fd_, F_SETSIG, SIGURG);
        if (fcntl(fd_, F_SETLEASE, F_RDLCK) == 0) {
            leased_ = true;
        } else if (errno == EAGAIN || errno == EBUSY) {
            result_ = SharedFileResult::Busy;
            return;
        }
        // Other errors: a file system without leases; read it as it is.
        result_ = SharedFileResult::Done;
    }
    ~LeasedFile() {
        if (fd_ < 0) return;
        if (leased_) fcntl(fd_, F_SETLEASE, F_UNLCK);
        close(fd_);
    }
    SharedFileResult result() const { return result_; }
    int fd() const { return fd_; }

private:
    int fd_ = -1;
    bool leased_ = false;
    SharedFileResult result_ = SharedFileResult::Failed;
};

bool ReadAll(int fd, std::string& bytes) {
    bytes.clear();
    char buf[65536];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        bytes.append(buf, size_t(n));
    }
}

}  // namespace

SharedFileResult ReadClosedFile(const std::string& path, std::string& bytes, FileStamp& stamp) {
    LeasedFile file(path);
    if (file.result() != SharedFileResult::Done) return file.result();
    struct stat st;
    if (fstat(file.fd(), &st) != 0 || !S_ISREG(st.st_mode)) return SharedFileResult::Failed;
    if (!ReadAll(file.fd(), bytes)) return SharedFileResult::Failed;
    stamp = StampOf(st);
    stamp.contentHash = ContentHash(bytes);
    return SharedFileResult::Done;
}

SharedFileResult DeleteIfUnchanged(const std::string& path, const FileStamp& stamp) {
    LeasedFile file(path);
    if (file.result() != SharedFileResult::Done) return file.result();
    struct stat st;
    std::string bytes;
    if (fstat(file.fd(), &st) != 0 || !S_ISREG(st.st_mode) || !ReadAll(file.fd(), bytes))
        return SharedFileResult::Failed;
    FileStamp now = StampOf(st);
    now.contentHash = ContentHash(bytes);
    if (now != stamp) return SharedFileResult::Changed;
    const auto p = posix::ToUnixPath(path);
    // The name must still lead to the file checked: unlink takes a name.
    struct stat named;
    if (!p || stat(p->c_str(), &named) != 0) return SharedFileResult::Missing;
    if (named.st_dev != st.st_dev || named.st_ino != st.st_ino) return SharedFileResult::Changed;
    return unlink(p->c_str()) == 0 ? SharedFileResult::Done : SharedFileResult::Failed;
}

bool AppendToFile(const std::string& path, const std::string& bytes) {
    const auto p = posix::ToUnixPath(path);
    if (!p) return false;
    const int fd = open(p->c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += size_t(n);
    }
    return close(fd) == 0 && done == bytes.size();
}

FolderLock::FolderLock(const std::string& folder) {
    // flock on the folder: released by the kernel when the holder ends, and
    // one lock per folder whatever path reached it.
    const auto p = posix::ToUnixPath(folder);
    if (!p) return;
    fd_ = open(p->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return;
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        held_ = true;
        return;
    }
    close(fd_);
    fd_ = -1;
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) close(fd_);
}

}  // namespace platform
