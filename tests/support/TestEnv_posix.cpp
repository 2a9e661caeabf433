#include <fcntl.h>
#include <linux/fs.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <mutex>
#include <stdexcept>

#include "platform/PosixMapping.h"
#include "support/TestEnv.h"

namespace testenv {
namespace {

// One dosdevices folder per test process, set up on first use.
std::string DosDevices() {
    static std::once_flag once;
    static std::string dir;
    std::call_once(once, [] {
        char tmpl[] = "/tmp/qvdos_XXXXXX";
        if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
        dir = tmpl;
        std::filesystem::create_directories(dir + "/unc");
        platform::posix::SetDosDevices(dir);
        std::atexit([] { std::error_code ec; std::filesystem::remove_all(dir, ec); });
    });
    return dir;
}

}  // namespace

TempDir::TempDir() {
    char tmpl[] = "/tmp/qvtest_XXXXXX";
    if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
    path_ = platform::posix::ToWindowsPath(tmpl);
}

MappedShare::MappedShare(const std::string& host, const std::string& share) {
    const std::string dir = DosDevices() + "/unc/" + host + "/" + share;
    std::filesystem::create_directories(dir);
    folder_ = platform::posix::ToWindowsPath(dir);
    unc_ = "\\\\" + host + "\\" + share;
}

bool MakeDirLink(const std::string& target, const std::string& link) {
    auto t = platform::posix::ToUnixPath(target);
    auto l = platform::posix::ToUnixPath(link);
    return t && l && symlink(t->c_str(), l->c_str()) == 0;
}

void EnsureDriveC() { std::filesystem::create_directories(DosDevices() + "/c:"); }

HeldOpen::HeldOpen(const std::string&, bool) {}
HeldOpen::~HeldOpen() = default;

namespace {
bool SetImmutableFlag(const std::string& unixPath, bool on) {
    const int fd = open(unixPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(fd);
    return ok;
}
}  // namespace

Immutable::Immutable(const std::string& path) {
    auto p = platform::posix::ToUnixPath(path);
    if (!p) return;
    unixPath_ = *p;
    ok_ = SetImmutableFlag(unixPath_, true);
}

Immutable::~Immutable() {
    if (ok_) SetImmutableFlag(unixPath_, false);
}

}  // namespace testenv
