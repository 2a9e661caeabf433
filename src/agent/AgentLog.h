#pragma once
// The agent's log in its folder: one line per thing done, with the local
// time, so an operator can read over the share what a PC did. Bounded: when
// the file grows past its limit it becomes the older log (replacing the
// previous older one) and a new file begins.
#include <cstdint>
#include <string>

namespace agent {

inline constexpr const char* kLogFileName = "qvAgent.log";
inline constexpr const char* kOldLogFileName = "qvAgent.old.log";
inline constexpr int64_t kLogLimit = 64 * 1024;

class AgentLog {
public:
    // folder without a trailing backslash.
    explicit AgentLog(const std::string& folder, int64_t limit = kLogLimit);
    // Appends "yyyy-mm-dd hh:mm:ss <text>" and CR LF. A log that cannot be
    // written is passed over: the commands matter more than their record.
    void Write(const std::string& text);
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string oldPath_;
    int64_t limit_;
};

// The text cut to at most max bytes, never inside a double-byte character,
// control bytes shown as '?': a line read from a file may hold anything.
std::string Printable(const std::string& text, size_t max = 200);

}  // namespace agent
