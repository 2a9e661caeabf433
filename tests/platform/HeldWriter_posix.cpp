#include <fcntl.h>
#include <unistd.h>

#include "platform/HeldWriter.h"
#include "platform/PosixMapping.h"

namespace helpers {

HeldWriter::HeldWriter(const std::string& path) {
    const auto p = platform::posix::ToUnixPath(path);
    if (p) fd_ = open(p->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

HeldWriter::~HeldWriter() { Close(); }

bool HeldWriter::ok() const { return fd_ >= 0; }

bool HeldWriter::Write(const std::string& bytes) {
    return fd_ >= 0 && write(fd_, bytes.data(), bytes.size()) == ssize_t(bytes.size());
}

void HeldWriter::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

}  // namespace helpers
