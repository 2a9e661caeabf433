// Native build: the copy semantics of the Win32 calls over POSIX, with errno
// mapped onto the Win32 codes the core reports.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/FileCopy.h"
#include "platform/PosixMapping.h"

namespace platform {
namespace {

uint32_t FromErrno(int e) {
    switch (e) {
    case ENOENT: return kErrPathNotFound;
    case EEXIST: return kErrFileExists;
    case ENOSPC:
    case EDQUOT: return kErrDiskFull;
    case ETXTBSY:
    case EBUSY: return kErrSharingViolation;
    default: return kErrAccessDenied;
    }
}

// Copies bytes, permission bits and times from an open source to a new file.
CopyOutcome CopyUnix(const std::string& from, const std::string& to, bool exclusive) {
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return {false, errno == ENOENT ? kErrFileNotFound : FromErrno(errno)};
    struct stat st {};
    if (fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(in);
        return {false, kErrAccessDenied};
    }
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC), 0666);
    if (out < 0) {
        const int e = errno;
        close(in);
        return {false, FromErrno(e)};
    }
    char buf[1 << 16];
    int error = 0;
    for (;;) {
        const ssize_t n = read(in, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            break;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = write(out, buf + done, size_t(n - done));
            if (w < 0) {
                if (errno == EINTR) continue;
                error = errno;
                break;
            }
            done += w;
        }
        if (error) break;
    }
    if (!error) {
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        futimens(out, times);
        fchmod(out, st.st_mode & 07777);
    }
    if (close(out) != 0 && !error) error = errno;
    close(in);
    if (error) {
        unlink(to.c_str());
        return {false, FromErrno(error)};
    }
    return {true, 0};
}

}  // namespace

CopyOutcome CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) {
    const auto f = posix::ToUnixPath(from);
    const auto t = posix::ToUnixPath(to);
    if (!f) return {false, kErrPathNotFound};
    if (!t) return {false, kErrPathNotFound};
    struct stat st {};
    if (stat(t->c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return {false, kErrAccessDenied};
    if (!failIfExists && stat(t->c_str(), &st) == 0) {
        // CopyFile writes into the existing file; a file that may not be
        // written fails without being truncated.
        const int fd = open(t->c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return {false, FromErrno(errno)};
        close(fd);
    }
    return CopyUnix(*f, *t, failIfExists);
}

CopyOutcome CheckReplaceable(const std::string& to) {
    const auto t = posix::ToUnixPath(to);
    if (!t) return {false, kErrPathNotFound};
    struct stat st {};
    if (stat(t->c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return {false, kErrAccessDenied};
        const int fd = open(t->c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return {false, FromErrno(errno)};
        close(fd);
    }
    return {true, 0};
}

CopyOutcome ReplaceFileWithCopy(const std::string& from, const std::string& to, const std::string& tempPath) {
    const auto f = posix::ToUnixPath(from);
    const auto t = posix::ToUnixPath(to);
    const auto tmp = posix::ToUnixPath(tempPath);
    if (!f || !t || !tmp) return {false, kErrPathNotFound};
    const CopyOutcome writable = CheckReplaceable(to);
    if (!writable.ok) return writable;
    unlink(tmp->c_str());
    CopyOutcome c = CopyUnix(*f, *tmp, false);
    if (!c.ok) return c;
    if (rename(tmp->c_str(), t->c_str()) != 0) {
        const int e = errno;
        unlink(tmp->c_str());
        return {false, FromErrno(e)};
    }
    return {true, 0};
}

CopyOutcome CopyFileAsNew(const std::string& from, const std::string& to, const std::string& tempPath) {
    const auto f = posix::ToUnixPath(from);
    const auto t = posix::ToUnixPath(to);
    const auto tmp = posix::ToUnixPath(tempPath);
    if (!f || !t || !tmp) return {false, kErrPathNotFound};
    struct stat st {};
    if (lstat(t->c_str(), &st) == 0) return {false, kErrFileExists};
    unlink(tmp->c_str());
    CopyOutcome c = CopyUnix(*f, *tmp, false);
    if (!c.ok) return c;
    // link(2) refuses an existing name, so a file that appeared meanwhile
    // is never replaced.
    const int linked = link(tmp->c_str(), t->c_str());
    const int e = errno;
    unlink(tmp->c_str());
    if (linked != 0) return {false, FromErrno(e)};
    return {true, 0};
}

std::string ErrorText(uint32_t error) {
    switch (error) {
    case kErrFileNotFound: return "The system cannot find the file specified";
    case kErrPathNotFound: return "The system cannot find the path specified";
    case kErrAccessDenied: return "Access is denied";
    case kErrSharingViolation: return "The process cannot access the file because it is being used by another process";
    case kErrDiskFull: return "There is not enough space on the disk";
    case kErrFileExists: return "The file exists";
    default: return "error " + std::to_string(error);
    }
}

}  // namespace platform
