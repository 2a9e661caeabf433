#include <windows.h>

#include "cli/CliSupport.h"

namespace clitest {

// Wine keeps the attribute as the file's missing write permission; the copy
// refuses a read-only target before it writes anything.
ReadOnlyFile::ReadOnlyFile(const std::string& path) : path_(path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    ok_ = a != INVALID_FILE_ATTRIBUTES && SetFileAttributesA(path.c_str(), a | FILE_ATTRIBUTE_READONLY) &&
          (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
}

ReadOnlyFile::~ReadOnlyFile() {
    if (ok_) SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Wine's mapping is the prefix's dosdevices folder, which every program of
// the prefix sees.
void ShareMappingsWithChildren() {}

}  // namespace clitest
