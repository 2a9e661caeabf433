#include "support/TestEnv.h"

#include <stdexcept>

#include "platform/FileSystem.h"

namespace testenv {

void MakeDirs(const std::string& path) {
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\' || path[i] == '/') {
            const std::string part = path.substr(0, i);
            if (part.empty() || part.back() == ':' || part == "\\\\" ) continue;
            if (!platform::PathExists(part)) platform::MakeDir(part);
        }
    }
    if (!platform::PathExists(path)) throw std::runtime_error("cannot create folder " + path);
}

void WriteFile(const std::string& path, const std::string& bytes, int64_t writeTime) {
    const size_t sep = path.find_last_of("\\/");
    if (sep != std::string::npos) MakeDirs(path.substr(0, sep));
    if (!platform::WriteWholeFile(path, bytes)) throw std::runtime_error("cannot write " + path);
    if (writeTime >= 0 && !platform::SetFileWriteTime(path, writeTime))
        throw std::runtime_error("cannot set the time of " + path);
}

void RemoveTree(const std::string& path) {
    platform::FindFiles(path + "\\*.*", [&](const platform::FindData& d) {
        if (d.name == "." || d.name == "..") return true;
        const std::string full = path + "\\" + d.name;
        if (!(d.attrib & platform::kAttrDirectory))
            platform::RemoveFile(full);
        else if (d.attrib & platform::kAttrReparsePoint)
            platform::RemoveDir(full);
        else
            RemoveTree(full);
        return true;
    });
    platform::RemoveDir(path);
}

TempDir::~TempDir() {
    if (!path_.empty()) RemoveTree(path_);
}

MappedShare::~MappedShare() {
    if (!folder_.empty()) RemoveTree(folder_);
}

std::string ZDrivePath(std::string path) {
    if (path.empty() || path[0] != '/') return path;
    path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

}  // namespace testenv
