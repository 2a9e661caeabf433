#pragma once
// Scratch folders and mapped PC shares for tests, on both builds. Paths are
// Windows paths, as the core sees them.
#include <cstdint>
#include <string>

namespace testenv {

// A new empty folder, deleted with its contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }  // no trailing backslash
    std::string operator/(const std::string& rel) const { return path_ + "\\" + rel; }

private:
    std::string path_;
};

// \\host\share made to resolve to a new empty folder (Wine's dosdevices/unc on
// the Windows build, the same layout on the native one). ok() is false where
// shares cannot be mapped (a real Windows PC); tests then skip.
class MappedShare {
public:
    MappedShare(const std::string& host, const std::string& share);
    ~MappedShare();
    MappedShare(const MappedShare&) = delete;
    MappedShare& operator=(const MappedShare&) = delete;
    bool ok() const { return !folder_.empty(); }
    const std::string& folder() const { return folder_; }  // where the share's files live
    std::string unc() const { return unc_; }                 // \\host\share

private:
    std::string folder_;
    std::string unc_;
};

// A path the build knows in Unix form (a program or a source file of the
// tree) as both builds reach it: "/a/b" becomes "Z:\a\b" (Wine's drive Z:
// is the Unix root, and the native build maps it the same way). Any other
// text is returned as it is.
std::string ZDrivePath(std::string path);

// Makes drive C: usable: Wine's prefix has one; the native build gets an
// empty folder of the test process for it.
void EnsureDriveC();

// Writes a file, creating its folders; sets its modification time when given.
void WriteFile(const std::string& path, const std::string& bytes, int64_t writeTime = -1);
void MakeDirs(const std::string& path);
// Deletes a tree without following directory links.
void RemoveTree(const std::string& path);
// A directory symbolic link at `link` pointing to `target`; false where the
// platform cannot make one.
bool MakeDirLink(const std::string& target, const std::string& link);

// Another program's open handle on a file (Windows build): shared for
// reading and writing but not for deletion, so a rename onto the file is
// refused while writing into it works; exclusive, so neither works. ok() is
// false where this cannot be done (the native build).
class HeldOpen {
public:
    HeldOpen(const std::string& path, bool exclusive);
    ~HeldOpen();
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    bool ok() const { return handle_ != nullptr; }

private:
    void* handle_ = nullptr;
};

// The Unix immutable flag (chattr +i) on a file or folder for the object's
// life (native build): an immutable folder refuses new files and renames but
// lets its files be rewritten; an immutable file refuses everything. ok() is
// false where the flag cannot be set.
class Immutable {
public:
    explicit Immutable(const std::string& path);
    ~Immutable();
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;
    bool ok() const { return ok_; }

private:
    std::string unixPath_;
    bool ok_ = false;
};

}  // namespace testenv
