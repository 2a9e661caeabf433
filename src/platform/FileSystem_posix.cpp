// Native build of the file system seam: Windows paths mapped onto the Unix
// tree as Wine does it, so the core runs unchanged under the sanitizers.
#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/PosixMapping.h"
#include "platform/Wildcard.h"

namespace platform {
namespace posix {
namespace {

std::mutex gMutex;
std::string gDosDevices;     // guarded by gMutex
std::string gCurrentDir;     // Windows form; guarded by gMutex

bool IsAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

// A name that cannot be converted gets '?' for each bad byte, as Wine shows
// such names; the file can then not be opened by that name, which is honest.
std::string Convert(const char* to, const char* from, const std::string& s) {
    if (IsAscii(s)) return s;
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) return s;
    std::string out;
    out.resize(s.size() * 2 + 4);
    char* in = const_cast<char*>(s.data());
    size_t inLeft = s.size();
    char* op = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &op, &outLeft) != size_t(-1)) break;
        if (errno == E2BIG) {
            const size_t used = size_t(op - out.data());
            out.resize(out.size() * 2);
            op = out.data() + used;
            outLeft = out.size() - used;
        } else {  // invalid or incomplete sequence: substitute and skip a byte
            if (outLeft == 0) {
                const size_t used = size_t(op - out.data());
                out.resize(out.size() * 2);
                op = out.data() + used;
                outLeft = out.size() - used;
            }
            *op++ = '?';
            --outLeft;
            ++in;
            --inLeft;
        }
    }
    out.resize(size_t(op - out.data()));
    iconv_close(cd);
    return out;
}

std::vector<std::string> SplitComponents(const std::string& rest) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : rest) {
        if (c == '\\' || c == '/') {
            if (!cur.empty()) out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

// "." and ".." resolve textually, never above the root, as GetFullPathName does.
std::vector<std::string> Resolve(const std::vector<std::string>& comps) {
    std::vector<std::string> out;
    for (const auto& c : comps) {
        if (c == ".") continue;
        if (c == "..") {
            if (!out.empty()) out.pop_back();
            continue;
        }
        out.push_back(c);
    }
    return out;
}

std::string InitialCurrentDir() {
    char buf[PATH_MAX];
    if (!getcwd(buf, sizeof buf)) return "Z:\\";
    return ToWindowsPath(buf);
}

std::string CurrentDirLocked() {
    if (gCurrentDir.empty()) gCurrentDir = InitialCurrentDir();
    return gCurrentDir;
}

struct Rooted {
    std::string root;  // "C:" or "\\host\share"
    std::vector<std::string> comps;
};

// Makes a Windows path absolute: drive or share root plus clean components.
std::optional<Rooted> Absolute(std::string p, const std::string& cwd, int depth = 0) {
    if (depth > 2) return std::nullopt;
    for (char& c : p)
        if (c == '/') c = '\\';
    if (p.size() >= 2 && p[0] == '\\' && p[1] == '\\') {
        auto comps = SplitComponents(p.substr(2));
        if (comps.size() < 2) return std::nullopt;
        Rooted r{"\\\\" + comps[0] + "\\" + comps[1], {}};
        r.comps = Resolve(std::vector<std::string>(comps.begin() + 2, comps.end()));
        return r;
    }
    if (p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':') {
        std::string rest = p.substr(2);
        if (rest.empty() || rest[0] != '\\') {  // drive-relative
            if (cwd.size() >= 2 && std::toupper(cwd[0]) == std::toupper(p[0]) && cwd[1] == ':')
                rest = cwd.substr(2) + "\\" + rest;
            else
                rest = "\\" + rest;
        }
        return Rooted{std::string(1, char(std::toupper(p[0]))) + ":", Resolve(SplitComponents(rest))};
    }
    if (!p.empty() && p[0] == '\\') {  // rooted on the current drive or share
        auto cur = Absolute(cwd, "Z:\\", depth + 1);
        if (!cur) return std::nullopt;
        return Rooted{cur->root, Resolve(SplitComponents(p))};
    }
    return Absolute(cwd + "\\" + p, cwd, depth + 1);
}

std::string Join(const Rooted& r) {
    std::string s = r.root;
    for (const auto& c : r.comps) s += "\\" + c;
    if (r.comps.empty()) s += "\\";
    return s;
}

bool Exists(const std::string& unixPath) {
    struct stat st;
    return lstat(unixPath.c_str(), &st) == 0;
}

// Appends one component, taking an existing entry whose name matches without
// regard to case when the exact name does not exist.
std::string Child(const std::string& dir, const std::string& cp949Name) {
    const std::string utf8 = Cp949ToUtf8(cp949Name);
    const std::string exact = (dir == "/" ? "" : dir) + "/" + utf8;
    if (Exists(exact)) return exact;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            if (NamesEqualNoCase(Utf8ToCp949(e->d_name), cp949Name)) {
                std::string hit = (dir == "/" ? "" : dir) + "/" + e->d_name;
                closedir(d);
                return hit;
            }
        }
        closedir(d);
    }
    return exact;
}

std::optional<std::string> RootToUnix(const std::string& root, const std::string& dosdevices) {
    if (root.size() >= 2 && root[0] == '\\') {
        if (dosdevices.empty()) return std::nullopt;
        auto parts = SplitComponents(root);
        std::string dir = Child(Child(dosdevices + "/unc", parts[0]), parts[1]);
        if (!Exists(dir)) return std::nullopt;
        return dir;
    }
    const char drive = char(std::tolower(static_cast<unsigned char>(root[0])));
    if (!dosdevices.empty()) {
        std::string dir = dosdevices + "/" + drive + ":";
        if (Exists(dir)) return dir;
    }
    if (drive == 'z') return std::string("/");
    return std::nullopt;
}

}  // namespace

void SetDosDevices(const std::string& unixDir) {
    std::lock_guard<std::mutex> lock(gMutex);
    gDosDevices = unixDir;
}

std::string DosDevices() {
    std::lock_guard<std::mutex> lock(gMutex);
    return gDosDevices;
}

std::string Cp949ToUtf8(const std::string& s) { return Convert("UTF-8", "CP949", s); }
std::string Utf8ToCp949(const std::string& s) { return Convert("CP949", "UTF-8", s); }

std::optional<std::string> ToUnixPath(const std::string& windowsPath) {
    std::string cwd, dosdevices;
    {
        std::lock_guard<std::mutex> lock(gMutex);
        cwd = CurrentDirLocked();
        dosdevices = gDosDevices;
    }
    auto abs = Absolute(windowsPath, cwd);
    if (!abs) return std::nullopt;
    auto dir = RootToUnix(abs->root, dosdevices);
    if (!dir) return std::nullopt;
    std::string path = *dir;
    for (const auto& c : abs->comps) path = Child(path, c);
    return path;
}

std::string ToWindowsPath(const std::string& unixPath) {
    std::string s = "Z:";
    for (char c : Utf8ToCp949(unixPath)) s += (c == '/') ? '\\' : c;
    if (s == "Z:") s += '\\';
    return s;
}

}  // namespace posix

using posix::ToUnixPath;

namespace {

FindData FromStat(const std::string& name, const struct statx& stx, bool isLink) {
    FindData d;
    d.name = name;
    const bool dir = S_ISDIR(stx.stx_mode);
    d.attrib = dir ? kAttrDirectory : kAttrArchive;
    if (isLink && dir) d.attrib |= kAttrReparsePoint;
    if (!(stx.stx_mode & S_IWUSR)) d.attrib |= kAttrReadOnly;
    if (name.size() > 1 && name[0] == '.' && name != "..") d.attrib |= kAttrHidden;
    d.timeWrite = stx.stx_mtime.tv_sec;
    d.timeAccess = stx.stx_atime.tv_sec;
    d.timeCreate = (stx.stx_mask & STATX_BTIME) ? stx.stx_btime.tv_sec : stx.stx_ctime.tv_sec;
    d.size = dir ? 0 : int64_t(stx.stx_size);
    return d;
}

}  // namespace

bool FindFiles(const std::string& pattern, const FindCallback& onEntry) {
    const size_t sep = pattern.find_last_of("\\/");
    std::string folder, spec;
    if (sep == std::string::npos) {
        if (pattern.size() >= 2 && pattern[1] == ':') {
            folder = pattern.substr(0, 2);
            spec = pattern.substr(2);
        } else {
            folder = ".";
            spec = pattern;
        }
    } else {
        folder = pattern.substr(0, sep + 1);
        spec = pattern.substr(sep + 1);
    }
    if (spec.empty()) return false;
    auto dir = ToUnixPath(folder);
    if (!dir) return false;
    DIR* d = opendir(dir->c_str());
    if (!d) return false;
    const int fd = dirfd(d);
    bool any = false;
    while (dirent* e = readdir(d)) {
        const std::string name = posix::Utf8ToCp949(e->d_name);
        if (!MatchFindPattern(spec, name)) continue;
        struct statx stx;
        if (statx(fd, e->d_name, AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &stx) != 0)
            continue;
        bool isLink = false;
        if (S_ISLNK(stx.stx_mode)) {
            isLink = true;
            // Dangling links are not shown, as Wine does not show them.
            if (statx(fd, e->d_name, 0, STATX_BASIC_STATS | STATX_BTIME, &stx) != 0) continue;
        }
        any = true;
        if (!onEntry(FromStat(name, stx, isLink))) break;
    }
    closedir(d);
    return any;
}

std::optional<DirectoryId> GetDirectoryId(const std::string& path) {
    auto p = ToUnixPath(path);
    struct stat st;
    if (!p || stat(p->c_str(), &st) != 0) return std::nullopt;
    return DirectoryId{uint64_t(st.st_dev), uint64_t(st.st_ino)};
}

std::string GetCurrentDir() {
    std::lock_guard<std::mutex> lock(posix::gMutex);
    return posix::CurrentDirLocked();
}

bool SetCurrentDir(const std::string& path) {
    std::string cwd;
    {
        std::lock_guard<std::mutex> lock(posix::gMutex);
        cwd = posix::CurrentDirLocked();
    }
    auto abs = posix::Absolute(path, cwd);
    auto unix = ToUnixPath(path);
    struct stat st;
    if (!abs || !unix || stat(unix->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    if (chdir(unix->c_str()) != 0) return false;
    std::lock_guard<std::mutex> lock(posix::gMutex);
    posix::gCurrentDir = posix::Join(*abs);
    return true;
}

std::string ExecutablePath() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    return posix::ToWindowsPath(std::string(buf, size_t(n)));
}

bool MakeDir(const std::string& path) {
    auto p = ToUnixPath(path);
    return p && mkdir(p->c_str(), 0777) == 0;
}

bool RemoveDir(const std::string& path) {
    auto p = ToUnixPath(path);
    if (!p) return false;
    // A directory link goes as a link, as RemoveDirectory does with junctions.
    struct stat st;
    if (lstat(p->c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        struct stat target;
        return stat(p->c_str(), &target) == 0 && S_ISDIR(target.st_mode) && unlink(p->c_str()) == 0;
    }
    return rmdir(p->c_str()) == 0;
}

bool RemoveFile(const std::string& path) {
    auto p = ToUnixPath(path);
    struct stat st;
    if (!p || lstat(p->c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return unlink(p->c_str()) == 0;
}

bool PathExists(const std::string& path) {
    auto p = ToUnixPath(path);
    struct stat st;
    return p && stat(p->c_str(), &st) == 0;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
    auto f = ToUnixPath(from);
    auto t = ToUnixPath(to);
    struct stat st;
    // MoveFileEx refuses to replace a folder; rename(2) would take an empty one.
    if (!f || !t || (stat(t->c_str(), &st) == 0 && S_ISDIR(st.st_mode))) return false;
    return rename(f->c_str(), t->c_str()) == 0;
}

// The right to create a file in a folder is the right to remove it there.
WriteOutcome WriteFileBytes(const std::string& path, const std::string& bytes, bool /*forReplace*/) {
    auto p = ToUnixPath(path);
    if (!p) return WriteOutcome::NotOpened;
    const int fd = open(p->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return WriteOutcome::NotOpened;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            close(fd);
            return WriteOutcome::NotWritten;
        }
        done += size_t(n);
    }
    return close(fd) == 0 ? WriteOutcome::Written : WriteOutcome::NotWritten;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    auto p = ToUnixPath(path);
    if (!p) return std::nullopt;
    const int fd = open(p->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string out;
    char buf[65536];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        out.append(buf, size_t(n));
    }
    close(fd);
    return out;
}

bool SetFileWriteTime(const std::string& path, int64_t unixSeconds) {
    auto p = ToUnixPath(path);
    if (!p) return false;
    struct timespec ts[2];
    ts[0].tv_sec = 0;
    ts[0].tv_nsec = UTIME_OMIT;
    ts[1].tv_sec = time_t(unixSeconds);
    ts[1].tv_nsec = 0;
    return utimensat(AT_FDCWD, p->c_str(), ts, 0) == 0;
}

}  // namespace platform
