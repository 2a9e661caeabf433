#pragma once
// A file the test keeps open for writing, as a slow writer would, written in
// pieces and closed when the test says so.
#include <string>

namespace helpers {

class HeldWriter {
public:
    explicit HeldWriter(const std::string& path);  // creates or truncates
    ~HeldWriter();
    HeldWriter(const HeldWriter&) = delete;
    HeldWriter& operator=(const HeldWriter&) = delete;
    bool ok() const;
    bool Write(const std::string& bytes);
    void Close();

private:
    void* handle_ = nullptr;
    int fd_ = -1;
};

}  // namespace helpers
