#include <windows.h>

#include "platform/HeldWriter.h"

namespace helpers {

// Shares reading and writing, as the C runtime's fopen does: whoever reads
// must still notice that a writer is there.
HeldWriter::HeldWriter(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) handle_ = h;
}

HeldWriter::~HeldWriter() { Close(); }

bool HeldWriter::ok() const { return handle_ != nullptr; }

bool HeldWriter::Write(const std::string& bytes) {
    DWORD written = 0;
    return handle_ && WriteFile(handle_, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void HeldWriter::Close() {
    if (handle_) CloseHandle(handle_);
    handle_ = nullptr;
}

}  // namespace helpers
